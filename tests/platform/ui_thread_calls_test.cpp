#include <gtest/gtest.h>

#include <atomic>
#include <functional>
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
};

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
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_EQ(release.events, (std::vector<std::string>{"release", "reacquire"}));
  EXPECT_EQ(caught, "refused");
}

TEST_F(UiThreadCalls, RunAtOnceOnTheUserInterfaceThreadAndOtherThreadsNeitherDeliverNorRunTasks) {
  bool ran = false;
  app.Call([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(app.IsUiThread());
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
  int answer = 0;
  OnWorker([&] {
    {
      WaitCursor hourglass;  // not this thread's to change
    }
    answer = MessageDlg("Ahoj", MsgDlgType::Confirmation, mbYes | mbNo);
  });
  EXPECT_EQ(answer, mrNo);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Ahoj");
  EXPECT_TRUE(dialogs.CursorChanges.empty());
}

}  // namespace
}  // namespace platform
