#include "cartography/printing/print_summary.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kSecondsADay = 86400;

}  // namespace

std::string TimeText(double days) {
  const double fraction = days - std::floor(days);
  const auto seconds = static_cast<long>(std::llround(fraction * kSecondsADay)) % static_cast<long>(kSecondsADay);
  char text[16];
  std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

std::string DateTimeText(double days) {
  using namespace std::chrono;
  // Rounding to the second may carry the time into the next day.
  const double whole = std::floor(days + 0.5 / kSecondsADay);
  const year_month_day date{sys_days{year{1899} / December / 30} + std::chrono::days{static_cast<long>(whole)}};
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%d ", unsigned(date.day()), unsigned(date.month()), int(date.year()));
  return text + TimeText(days - whole);
}

std::string PrintSummary(double now, const std::string& printerName, double elapsed) {
  return DateTimeText(now) + "\n\nUkončen tisk na \"" + printerName + "\"\n\nTrvání: " + TimeText(elapsed);
}
