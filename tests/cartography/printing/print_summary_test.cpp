#include "cartography/printing/print_summary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double kSecond = 1.0 / 86400;

TEST(PrintSummaryTest, TimesShowHoursMinutesAndSecondsAndDatesCountDaysFromTheEndOf1899) {
  struct Case {
    const char* name;
    double days;
    const char* time;
    const char* dateTime;
  };
  const Case cases[] = {
      {"the first day at midnight", 0, "0:00:00", "30.12.1899 0:00:00"},
      {"five seconds", 5 * kSecond, "0:00:05", "30.12.1899 0:00:05"},
      {"an afternoon in 2026", 46363 + (13 * 3600 + 4 * 60 + 59) * kSecond, "13:04:59", "7.12.2026 13:04:59"},
      {"half a second before midnight rounds into the next day", 46363 + (86400 - 0.4) * kSecond, "0:00:00",
       "8.12.2026 0:00:00"},
      {"a leap day", 45351.5, "12:00:00", "29.2.2024 12:00:00"},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(TimeText(test.days), test.time) << test.name;
    EXPECT_EQ(DateTimeText(test.days), test.dateTime) << test.name;
  }
}

TEST(PrintSummaryTest, TheSummaryIsTheDateThePrinterAndTheDurationEachAfterTwoLineBreaks) {
  EXPECT_EQ(PrintSummary(46363.5, "/tmp/tisk.pdf", 65 * kSecond),
            "7.12.2026 12:00:00\n\nUkončen tisk na \"/tmp/tisk.pdf\"\n\nTrvání: 0:01:05");
}

}  // namespace
