#include "platform/timer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>

#include "platform/app_queue.h"

namespace platform {
namespace {

TEST(TimerTest, ATimerIsMadeOffAndTicksOnlyWhileEnabled) {
  Timer timer(500);
  int ticks = 0;
  timer.OnTimer([&] { ++ticks; });
  EXPECT_EQ(std::tuple(timer.Interval(), timer.Enabled()), std::tuple(500, false));
  UserTimerTick(timer);
  timer.SetEnabled(true);
  UserTimerTick(timer);
  UserTimerTick(timer);
  timer.SetEnabled(false);
  UserTimerTick(timer);
  EXPECT_EQ(ticks, 2);
}

TEST(TimerTest, WhatATickRaisesGoesToTheApplicationsExceptionHook) {
  std::string reported;
  Application::Instance().SetExceptionHook([&](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      reported = e.what();
    }
  });
  Timer timer(500);
  timer.OnTimer([] { throw std::runtime_error("tik"); });
  timer.SetEnabled(true);
  UserTimerTick(timer);
  Application::Instance().SetExceptionHook(nullptr);
  EXPECT_EQ(reported, "tik");
}

}  // namespace
}  // namespace platform
