#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "framework/core/framework_classes.h"
#include "framework/core/messages.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"

namespace {

using namespace std::chrono_literals;

TEST(WorldLock, IsRecursiveAndLetsGoOfEveryLevelAtOnce) {
  TWorldLock& lock = WorldLock();
  lock.lock();
  lock.lock();
  EXPECT_EQ(lock.ReleaseAll(), 2);
  std::atomic<bool> taken = false;
  std::thread other([&] {
    std::lock_guard guard(lock);
    taken = true;
  });
  other.join();
  EXPECT_TRUE(taken);
  lock.Reacquire(2);
  EXPECT_EQ(lock.ReleaseAll(), 2);
  EXPECT_EQ(lock.ReleaseAll(), 0);
}

TEST(WorldLock, TellsWhenAnotherThreadWaits) {
  TWorldLock& lock = WorldLock();
  lock.lock();
  EXPECT_FALSE(lock.Contended());
  std::thread waiter([&] { std::lock_guard guard(lock); });
  while (!lock.Contended()) std::this_thread::sleep_for(1ms);
  lock.unlock();
  waiter.join();
  EXPECT_FALSE(lock.Contended());
}

// Receives messages and notes whether the world was locked for it.
class TLockProbe : public TElement {
 public:
  void ReceiveMessage(TKestuMessage*&, bool& handled) override {
    depth = WorldLock().ReleaseAll();
    WorldLock().Reacquire(depth);
    handled = true;
  }
  int depth = 0;
};

TEST(WorldLock, IsHeldWhileTheWorldDeliversAMessage) {
  RegisterFrameworkClasses();
  TWorld world;
  TLockProbe probe;
  auto* message = new TKestuMessage(msgLogText, nullptr, &probe, nullptr, false);
  PostKestuMessage(message);
  platform::Application::Instance().SetMessageHook(
      [&world](platform::AppMessage& m, bool& handled) { world.DispatchAppMessage(m, handled); });
  platform::Application::Instance().ProcessMessages();
  platform::Application::Instance().SetMessageHook(nullptr);
  EXPECT_EQ(probe.depth, 1);
}

}  // namespace
