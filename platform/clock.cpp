#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace platform {
namespace {

std::function<std::uint64_t()>& TickSource() {
  static std::function<std::uint64_t()> source;
  return source;
}

std::function<double()>& TimeSource() {
  static std::function<double()> source;
  return source;
}

std::function<double()>& NowSource() {
  static std::function<double()> source;
  return source;
}

}  // namespace

std::uint64_t TickCount() {
  if (TickSource()) return TickSource()();
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

double TimeOfDay() {
  if (TimeSource()) return TimeSource()();
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return ((local.tm_hour * 60.0 + local.tm_min) * 60.0 + local.tm_sec + millis / 1000.0) / 86400.0;
}

double Now() {
  if (NowSource()) return NowSource()();
  const std::time_t seconds = std::time(nullptr);
  std::tm local{};
  localtime_r(&seconds, &local);
  using namespace std::chrono;
  const sys_days day = year{local.tm_year + 1900} / month{unsigned(local.tm_mon + 1)} / std::chrono::day{unsigned(local.tm_mday)};
  constexpr sys_days kDayZero = year{1899} / December / 30;
  return double((day - kDayZero).count()) + TimeOfDay();
}

void SetTickSource(std::function<std::uint64_t()> source) { TickSource() = std::move(source); }
void SetTimeOfDaySource(std::function<double()> source) { TimeSource() = std::move(source); }
void SetNowSource(std::function<double()> source) { NowSource() = std::move(source); }

}  // namespace platform
