#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/app_queue.h"

namespace platform {
namespace {

using ::testing::ElementsAre;

class MessageHoldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.TakePending();
    app.SetMessageHook([this](AppMessage& m, bool& handled) {
      delivered.push_back(m.Msg);
      handled = true;
      if (onDeliver) onDeliver(m.Msg);
    });
  }
  void TearDown() override {
    app.SetMessageHook(nullptr);
    app.TakePending();
  }

  Application& app = Application::Instance();
  std::vector<unsigned> delivered;
  std::function<void(unsigned)> onDeliver;
};

TEST_F(MessageHoldTest, HeldMessagesWaitUntilTheLastHoldEnds) {
  app.PostMessage({1, 0, 0});
  {
    MessageHold outer;
    {
      MessageHold inner;
      EXPECT_TRUE(app.MessagesHeld());
      app.PostMessage({2, 0, 0});
      app.ProcessMessages();
    }
    EXPECT_TRUE(app.MessagesHeld());
    app.ProcessMessages();
    EXPECT_TRUE(delivered.empty());
    EXPECT_EQ(app.PendingCount(), 2u);
  }
  EXPECT_FALSE(app.MessagesHeld());
  app.ProcessMessages();
  EXPECT_THAT(delivered, ElementsAre(1u, 2u));
}

// Under the event loop a hold taken inside a handler keeps later messages
// back even while the loop's events run, and its end lets the loop deliver
// them without anyone calling ProcessMessages.
TEST_F(MessageHoldTest, TheLoopDeliversWhatWasHeldOnceTheHoldEnds) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  std::vector<unsigned> seenInsideHold;
  onDeliver = [&](unsigned code) {
    if (code == 1) {
      MessageHold hold;
      app.PostMessage({2, 0, 0});
      app.ProcessMessages();
      seenInsideHold = delivered;
    } else if (code == 2) {
      app.Terminate();
    }
  };
  std::mutex mutex;
  std::condition_variable doneChanged;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock lock(mutex);
    if (!doneChanged.wait_for(lock, std::chrono::seconds(10), [&] { return done; })) app.Terminate();
  });
  app.PostMessage({1, 0, 0});
  char name[] = "test_platform";
  char* argv[] = {name, nullptr};
  app.Run(1, argv);
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  doneChanged.notify_one();
  watchdog.join();
  EXPECT_THAT(seenInsideHold, ElementsAre(1u));
  EXPECT_THAT(delivered, ElementsAre(1u, 2u));
}

}  // namespace
}  // namespace platform
