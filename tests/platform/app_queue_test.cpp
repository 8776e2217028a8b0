#include "platform/app_queue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <numeric>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialogs.h"
#include "platform/event_handlers.h"
#include "platform/timer.h"

namespace platform {
namespace {

using ::testing::ElementsAre;

AppMessage Msg(unsigned msg, std::uintptr_t wparam = 0, std::uintptr_t lparam = 0) { return {msg, wparam, lparam}; }

// Records what a waiting thread let go of and took back.
class CountingRelease : public WaitRelease {
 public:
  void Release() override { events.push_back("release"); }
  void Reacquire() override { events.push_back("reacquire"); }
  std::vector<std::string> events;
};

class AppQueue : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    app.SetMessageHook(nullptr);
    app.SetExceptionHook(nullptr);
    app.TakePending();
    SetDialogs(nullptr);
  }

  // Installs a hook that records the codes it is given.
  void Record() {
    app.SetMessageHook([this](AppMessage& m, bool& handled) {
      delivered.push_back(m.Msg);
      handled = true;
    });
  }

  // Runs the Qt loop under a real QApplication until Terminate, or ends it
  // after ten seconds should the messages never arrive.
  int Run() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char name[] = "test_platform";
    char* argv[] = {name, nullptr};
    std::promise<void> ended;
    std::thread watchdog([this, done = ended.get_future()] {
      if (done.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) app.Terminate();
    });
    const int result = app.Run(1, argv);
    ended.set_value();
    watchdog.join();
    return result;
  }

  // Runs work on another thread while this (the user-interface) thread delivers.
  void OnWorker(const std::function<void()>& work) {
    std::atomic<bool> done = false;
    std::thread worker([&] {
      work();
      done = true;
    });
    while (!done) {
      app.ProcessMessages();
      std::this_thread::yield();
    }
    worker.join();
  }
  Application& app = Application::Instance();
  std::vector<unsigned> delivered;
};

TEST_F(AppQueue, PostedMessagesWaitForProcessMessagesAndArriveInOrderSentOnesAtOnce) {
  app.PostMessage(Msg(1));
  app.ProcessMessages();  // without a hook: dropped
  EXPECT_EQ(app.PendingCount(), 0u);
  Record();
  for (unsigned i = 1; i <= 5; ++i) app.PostMessage(Msg(WM_USER + i));
  app.SendMessage(Msg(2));
  EXPECT_EQ(std::pair(delivered, app.PendingCount()), std::pair(std::vector<unsigned>{2u}, std::size_t{5}));
  app.ProcessMessages();
  EXPECT_THAT(delivered, ElementsAre(2u, WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4, WM_USER + 5));
  app.PostMessage(Msg(1, 10, 100));
  app.PostMessage(Msg(2, 20, 200));
  const std::vector<AppMessage> pending = app.TakePending();  // handed back undelivered
  ASSERT_EQ(pending.size(), 2u);
  EXPECT_EQ(std::tuple(pending[0].Msg, pending[0].WParam, pending[0].LParam, pending[1].Msg, pending[1].WParam,
                       pending[1].LParam),
            std::tuple(1u, 10u, 100u, 2u, 20u, 200u));
  app.ProcessMessages();
  EXPECT_EQ(delivered.size(), 6u);
  std::uintptr_t seenLParam = 0;  // a sent message reaches the hook as it is
  app.SetMessageHook([&](AppMessage& m, bool&) { seenLParam = m.LParam; });
  app.SendMessage(Msg(WM_USER, 0, 77));
  EXPECT_EQ(seenLParam, 77u);
}

TEST_F(AppQueue, MessagesFromOtherThreadsAllArriveInOrderPerThread) {
  constexpr unsigned kThreads = 4;
  constexpr std::uintptr_t kEach = 2000;
  std::vector<std::vector<std::uintptr_t>> seen(kThreads);
  app.SetMessageHook([&](AppMessage& m, bool&) { seen.at(m.WParam).push_back(m.LParam); });

  OnWorker([&] {  // this thread drains while the posters are still at work
    std::vector<std::thread> posters;
    for (unsigned t = 0; t < kThreads; ++t) {
      posters.emplace_back([&, t] {
        for (std::uintptr_t i = 0; i < kEach; ++i) app.PostMessage(Msg(WM_USER, t, i));
      });
    }
    for (auto& poster : posters) poster.join();
  });
  app.ProcessMessages();

  std::vector<std::uintptr_t> inOrder(kEach);
  std::iota(inOrder.begin(), inOrder.end(), 0);
  for (unsigned t = 0; t < kThreads; ++t) ASSERT_EQ(seen[t], inOrder) << "thread " << t;
}

// An idle ProcessMessages answers without the lock; whatever emptied the
// queue, what another thread queues next is still delivered by the next call.
TEST_F(AppQueue, WhatAnotherThreadQueuesAfterTheQueueEmptiedIsDeliveredByTheNextCall) {
  const struct {
    const char* name;
    std::function<void(Application&)> empty;
  } rows[] = {
      {"delivered", [](Application& a) { a.ProcessMessages(); }},
      {"taken back", [](Application& a) { a.TakePending(); }},
      {"tasks run alone", [](Application& a) { a.RunPendingTasks(); }},
      {"held, then let go",
       [](Application& a) {
         MessageHold hold;
         a.ProcessMessages();
       }},
  };
  Record();
  for (const auto& row : rows) {
    app.PostMessage(Msg(WM_USER));
    app.Invoke([] {});
    if (row.empty) row.empty(app);
    app.ProcessMessages();
    delivered.clear();
    bool taskRan = false;
    std::thread([&] {
      app.PostMessage(Msg(WM_USER + 1));
      app.Invoke([&] { taskRan = true; });
    }).join();
    app.ProcessMessages();
    EXPECT_EQ(std::pair(delivered, taskRan), std::pair(std::vector<unsigned>{WM_USER + 1}, true)) << row.name;
  }
}

TEST_F(AppQueue, HookCallingProcessMessagesGetsTheLaterMessagesDeliveredInsideIt) {
  int depth = 0;
  std::vector<std::pair<unsigned, int>> trace;
  app.SetMessageHook([&](AppMessage& m, bool&) {
    ++depth;
    trace.emplace_back(m.Msg, depth);
    if (m.Msg == 1) {
      app.PostMessage(Msg(4));
      app.ProcessMessages();
      trace.emplace_back(100, depth);
    }
    --depth;
  });
  for (unsigned i : {1u, 2u, 3u}) app.PostMessage(Msg(i));
  app.ProcessMessages();
  EXPECT_THAT(trace, ElementsAre(std::pair(1u, 1), std::pair(2u, 2), std::pair(3u, 2), std::pair(4u, 2),
                                 std::pair(100u, 1)));
  EXPECT_EQ(app.PendingCount(), 0u);
}

// A task asked for while a message is handled waits until that handler, the
// outermost, has returned: not at the deliveries it lets run meanwhile, nor
// in a window event handled inside it.  Asked for with nothing handled, it
// runs at the next delivery.
TEST_F(AppQueue, ATaskForWhenIdleWaitsUntilTheOutermostHandlerHasReturned) {
  std::vector<std::string> trace;
  app.SetMessageHook([&](AppMessage& m, bool&) {
    trace.push_back("message " + std::to_string(m.Msg));
    if (m.Msg != 1) return;
    app.InvokeWhenIdle([&] { trace.push_back("idle task"); });
    app.PostMessage(Msg(2));
    app.ProcessMessages();
    RunEventHandler([&] { trace.push_back("window event"); });
    trace.push_back("end of message 1");
  });
  app.PostMessage(Msg(1));
  app.ProcessMessages();
  app.InvokeWhenIdle([&] { trace.push_back("idle task"); });
  app.ProcessMessages();
  EXPECT_THAT(trace, ElementsAre("message 1", "message 2", "window event", "end of message 1", "idle task",
                                 "idle task"));
}

TEST_F(AppQueue, ExceptionsFromHooksReachTheExceptionHookOrStderrAndDeliveryGoesOn) {
  std::vector<std::string> errors;
  app.SetExceptionHook([&](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      errors.push_back(e.what());
    }
  });
  app.SetMessageHook([&](AppMessage& m, bool&) {
    delivered.push_back(m.Msg);
    if (m.Msg == 2) throw std::runtime_error("Chyba čtení");
    if (m.Msg == 4) throw 42;
  });
  for (unsigned i = 1; i <= 3; ++i) app.PostMessage(Msg(i));
  app.ProcessMessages();
  app.SendMessage(Msg(2));
  EXPECT_THAT(delivered, ElementsAre(1u, 2u, 3u, 2u));
  EXPECT_THAT(errors, ElementsAre("Chyba čtení", "Chyba čtení"));

  app.SetExceptionHook(nullptr);  // without an exception hook: stderr
  for (unsigned i = 2; i <= 5; ++i) app.PostMessage(Msg(i));
  ::testing::internal::CaptureStderr();
  app.ProcessMessages();
  app.SetExceptionHook([](std::exception_ptr) { throw std::runtime_error("handler failed"); });
  app.PostMessage(Msg(2));  // an exception hook that raises itself: stderr too
  app.PostMessage(Msg(6));
  app.ProcessMessages();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Chyba čtení\nUnknown exception\nhandler failed\n");
  EXPECT_THAT(delivered, ElementsAre(1u, 2u, 3u, 2u, 2u, 3u, 4u, 5u, 2u, 6u));
}

TEST_F(AppQueue, HookReplacingItselfStaysAliveUntilItReturns) {
  auto state = std::make_shared<std::vector<unsigned>>();
  std::vector<unsigned> second;
  app.SetMessageHook([this, state, &second](AppMessage& m, bool&) {
    app.SetMessageHook([&second](AppMessage& n, bool&) { second.push_back(n.Msg); });
    // Still uses its own captures after being replaced.
    state->push_back(m.Msg);
  });
  std::weak_ptr<std::vector<unsigned>> watch = state;
  for (unsigned i : {1u, 2u}) app.PostMessage(Msg(i));
  app.ProcessMessages();
  EXPECT_EQ(std::pair(*state, second), std::pair(std::vector<unsigned>{1u}, std::vector<unsigned>{2u}));
  state.reset();
  EXPECT_TRUE(watch.expired());
}

// Under a real QApplication: the loop delivers what was posted before it ran
// and what other threads post while it runs, always on its own thread.
TEST_F(AppQueue, RunDeliversPostedMessagesOnTheLoopThreadUntilTerminate) {
  Record();  // Terminate before Run makes Run return at once
  app.PostMessage(Msg(1));
  app.Terminate();
  const int early = Run();
  EXPECT_EQ(std::tuple(early, delivered.size(), app.PendingCount()), std::tuple(0, 0u, 1u));

  const std::thread::id loopThread = std::this_thread::get_id();
  std::vector<std::pair<unsigned, bool>> trace;
  std::thread late;
  app.SetMessageHook([&](AppMessage& m, bool&) {
    trace.emplace_back(m.Msg, std::this_thread::get_id() == loopThread);
    if (m.Msg == 1) {
      // The loop's thread waits here, so only the helper could deliver 2,
      // and away from the loop's thread it must not.
      std::thread([this] {
        app.PostMessage(Msg(2));
        app.ProcessMessages();
      }).join();
    } else if (m.Msg == 2) {
      // Posted once the loop has gone idle, so only a wake-up delivers it.
      late = std::thread([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        app.PostMessage(Msg(3));
      });
    } else if (m.Msg == 3) {
      app.Terminate();
    }
  });

  const int result = Run();
  if (late.joinable()) late.join();

  EXPECT_EQ(result, 0);
  EXPECT_THAT(trace, ElementsAre(std::pair(1u, true), std::pair(2u, true), std::pair(3u, true)));
  // With the loop gone, posting waits for ProcessMessages again.
  Record();
  app.PostMessage(Msg(4));
  EXPECT_TRUE(delivered.empty());
  app.ProcessMessages();
  EXPECT_THAT(delivered, ElementsAre(4u));
}

// A timer's handler that runs in the loop's last turn, after the end was
// asked for, hands the loop a task (a window closed as the program ends lets
// go of itself so): the task still runs, the messages wait as ever.
TEST_F(AppQueue, ATaskGivenInTheLoopsLastTurnStillRuns) {
  bool ran = false;
  Timer last(0);
  last.OnTimer([&] {
    last.SetEnabled(false);
    app.Invoke([&] { ran = true; });
    app.PostMessage(Msg(2));
  });
  Record();
  app.SetMessageHook([&](AppMessage& m, bool&) {
    delivered.push_back(m.Msg);
    app.Terminate();
    last.SetEnabled(true);
  });
  app.PostMessage(Msg(1));
  Run();
  EXPECT_TRUE(ran);
  EXPECT_THAT(delivered, ElementsAre(1u));
  EXPECT_EQ(app.PendingCount(), 1u);
}

// A window that closes at its timer's next tick (a print dialog whose job
// has ended) still closes when the program ends first: a running timer ticks
// once more as the loop ends, a stopped one does not.
TEST_F(AppQueue, ATimerStillRunningWhenTheLoopEndsTicksOnceMore) {
  int runningTicks = 0, stoppedTicks = 0;
  Timer running(60000), stopped(60000);
  running.OnTimer([&] { ++runningTicks; });
  stopped.OnTimer([&] { ++stoppedTicks; });
  running.SetEnabled(true);
  app.SetMessageHook([&](AppMessage&, bool&) { app.Terminate(); });
  app.PostMessage(Msg(1));
  Run();
  EXPECT_EQ(std::pair(runningTicks, stoppedTicks), std::pair(1, 0));
}

TEST_F(AppQueue, HeldMessagesWaitUntilTheLastHoldEnds) {
  Record();
  app.PostMessage(Msg(1));
  {
    MessageHold outer;
    {
      MessageHold inner;
      app.PostMessage(Msg(2));
      app.ProcessMessages();
    }
    app.ProcessMessages();
    EXPECT_EQ(std::tuple(app.MessagesHeld(), delivered.size(), app.PendingCount()), std::tuple(true, 0u, 2u));
  }
  app.ProcessMessages();
  EXPECT_THAT(delivered, ElementsAre(1u, 2u));
}

// Under the event loop a hold keeps messages back even while the loop's events run, and its end, on this thread or
// on another once the loop has gone idle, lets the loop deliver them without anyone calling ProcessMessages.
TEST_F(AppQueue, TheLoopDeliversWhatWasHeldOnceTheHoldEnds) {
  auto held = std::make_unique<MessageHold>();  // ended by the helper
  std::vector<unsigned> seenInsideHold;
  app.SetMessageHook([&](AppMessage& m, bool&) {
    delivered.push_back(m.Msg);
    if (m.Msg == 1) {
      MessageHold hold;
      app.PostMessage(Msg(2));
      app.ProcessMessages();
      seenInsideHold = delivered;
    } else if (m.Msg == 2) {
      app.Terminate();
    }
  });
  app.PostMessage(Msg(1));
  std::thread helper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    held.reset();
  });
  Run();
  helper.join();
  EXPECT_THAT(seenInsideHold, ElementsAre(1u));
  EXPECT_THAT(delivered, ElementsAre(1u, 2u));
}

// Calls to the user-interface thread from others, and what other threads may not do.
class UiThreadCalls : public AppQueue {};

TEST_F(UiThreadCalls, RunOnTheUserInterfaceThreadWhileTheCallerWaitsWithoutItsLocks) {
  std::thread::id ranOn;
  CountingRelease release;
  std::string caught;
  OnWorker([&] {
    SetThreadWaitRelease(&release);
    app.Call([&] { ranOn = std::this_thread::get_id(); });
    SetThreadWaitRelease(nullptr);
    try {  // the task's exception reaches the caller
      app.Call([] { throw std::runtime_error("refused"); });
    } catch (const std::runtime_error& error) {
      caught = error.what();
    }
  });
  EXPECT_EQ(std::tuple(ranOn, release.events, caught),
            std::tuple(std::this_thread::get_id(), std::vector<std::string>{"release", "reacquire"}, "refused"));
}

TEST_F(UiThreadCalls, RunAtOnceOnTheUserInterfaceThreadAndOtherThreadsNeitherDeliverNorRunTasks) {
  bool ran = false;
  app.Call([&] { ran = true; });
  EXPECT_TRUE(ran && app.IsUiThread());
  Record();
  bool taskRan = false;
  app.PostMessage(Msg(WM_USER + 7));
  app.Invoke([&] { taskRan = true; });
  bool uiThread = true;
  std::thread other([&] {
    uiThread = app.IsUiThread();
    app.ProcessMessages();
    app.RunPendingTasks();
  });
  other.join();
  EXPECT_EQ(std::tuple(uiThread, delivered.size(), taskRan), std::tuple(false, 0u, false));
  app.RunPendingTasks();
  EXPECT_EQ(std::pair(taskRan, delivered.size()), std::pair(true, std::size_t{0}));
  app.ProcessMessages();
  EXPECT_THAT(delivered, ElementsAre(WM_USER + 7));
}

TEST_F(UiThreadCalls, MessageBoxesOfOtherThreadsAreShownByTheUserInterfaceThread) {
  RecordingDialogs dialogs;
  dialogs.DefaultAnswer = mrNo;
  SetDialogs(&dialogs);
  int answer = 0;
  OnWorker([&] {
    {
      WaitCursor hourglass;  // not this thread's to change
    }
    answer = MessageDlg("Ahoj", MsgDlgType::Confirmation, mbYes | mbNo);
  });
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(std::tuple(answer, dialogs.Messages[0].Text, dialogs.CursorChanges.size()), std::tuple(mrNo, "Ahoj", 0u));
}

}  // namespace
}  // namespace platform
