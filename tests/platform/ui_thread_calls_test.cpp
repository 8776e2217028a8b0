#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/app_queue.h"
#include "platform/dialogs.h"

namespace platform {
namespace {

// Records what a waiting thread let go of and took back.
class CountingRelease : public WaitRelease {
 public:
  void Release() override { events.push_back("release"); }
  void Reacquire() override { events.push_back("reacquire"); }
  std::vector<std::string> events;
};

class UiThreadCalls : public ::testing::Test {
 protected:
  void TearDown() override {
    app.ProcessMessages();
    app.SetMessageHook(nullptr);
    SetDialogs(nullptr);
  }
  // Lets this (the user-interface) thread deliver until done is set.
  void PumpUntil(const std::atomic<bool>& done) {
    while (!done) {
      app.ProcessMessages();
      std::this_thread::yield();
    }
  }
  Application& app = Application::Instance();
};

TEST_F(UiThreadCalls, RunOnTheUserInterfaceThreadWhileTheCallerWaitsWithoutItsLocks) {
  std::atomic<bool> done = false;
  std::thread::id ranOn;
  std::vector<std::string> events;
  std::thread worker([&] {
    CountingRelease release;
    SetThreadWaitRelease(&release);
    app.Call([&] { ranOn = std::this_thread::get_id(); });
    SetThreadWaitRelease(nullptr);
    events = release.events;
    done = true;
  });
  PumpUntil(done);
  worker.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_EQ(events, (std::vector<std::string>{"release", "reacquire"}));
}

TEST_F(UiThreadCalls, HandTheTasksExceptionToTheCaller) {
  std::atomic<bool> done = false;
  std::string caught;
  std::thread worker([&] {
    try {
      app.Call([] { throw std::runtime_error("refused"); });
    } catch (const std::runtime_error& error) {
      caught = error.what();
    }
    done = true;
  });
  PumpUntil(done);
  worker.join();
  EXPECT_EQ(caught, "refused");
}

TEST_F(UiThreadCalls, RunAtOnceOnTheUserInterfaceThread) {
  bool ran = false;
  app.Call([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(app.IsUiThread());
}

TEST_F(UiThreadCalls, OtherThreadsNeitherDeliverNorRunTasks) {
  int delivered = 0;
  app.SetMessageHook([&](AppMessage&, bool& handled) {
    ++delivered;
    handled = true;
  });
  bool taskRan = false;
  app.PostMessage({WM_USER + 7, 0, 0});
  app.Invoke([&] { taskRan = true; });
  bool uiThread = true;
  std::thread other([&] {
    uiThread = app.IsUiThread();
    app.ProcessMessages();
    app.RunPendingTasks();
  });
  other.join();
  EXPECT_FALSE(uiThread);
  EXPECT_EQ(delivered, 0);
  EXPECT_FALSE(taskRan);
  app.RunPendingTasks();
  EXPECT_TRUE(taskRan);
  EXPECT_EQ(delivered, 0);
  app.ProcessMessages();
  EXPECT_EQ(delivered, 1);
}

TEST_F(UiThreadCalls, MessageBoxesOfOtherThreadsAreShownByTheUserInterfaceThread) {
  RecordingDialogs dialogs;
  dialogs.DefaultAnswer = mrNo;
  SetDialogs(&dialogs);
  std::atomic<bool> done = false;
  int answer = 0;
  std::thread worker([&] {
    {
      WaitCursor hourglass;  // not this thread's to change
    }
    answer = MessageDlg("Ahoj", MsgDlgType::Confirmation, mbYes | mbNo);
    done = true;
  });
  PumpUntil(done);
  worker.join();
  EXPECT_EQ(answer, mrNo);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Ahoj");
  EXPECT_TRUE(dialogs.CursorChanges.empty());
}

}  // namespace
}  // namespace platform
