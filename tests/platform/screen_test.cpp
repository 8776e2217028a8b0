#include "platform/screen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "platform/screen_points.h"

namespace platform {
namespace {

std::tuple<int, int, int, int> Tuple(const Bounds& b) { return {b.Left, b.Top, b.Width, b.Height}; }

// A window is placed wholly on the screen's work area: moved back where it
// reaches past an edge, shrunk where it is larger, never of negative size.
TEST(ScreenTest, WindowsAreFittedOntoTheScreensWorkArea) {
  const ScreenExtent screen = ScreenSize();
  const Bounds area = ScreenWorkArea();
  ASSERT_GT(area.Width, 100);
  ASSERT_GT(area.Height, 100);
  EXPECT_GE(area.Left, 0);
  EXPECT_GE(area.Top, 0);
  EXPECT_LE(area.Left + area.Width, screen.Width) << "the work area is a part of the screen";
  EXPECT_LE(area.Top + area.Height, screen.Height) << "the work area is a part of the screen";
  const char* platformName = std::getenv("QT_QPA_PLATFORM");
  if (platformName != nullptr && std::string(platformName) == "offscreen") {
    EXPECT_EQ(Tuple(area), Tuple({0, 0, screen.Width, screen.Height})) << "offscreen, no system bars take a part";
  }
  const int right = area.Left + area.Width, bottom = area.Top + area.Height;
  const struct {
    const char* name;
    Bounds asked, fitted;
  } rows[] = {
      {"inside: as it was", {area.Left + 10, area.Top + 10, 50, 40}, {area.Left + 10, area.Top + 10, 50, 40}},
      {"past the right and the bottom", {right - 20, bottom - 10, 50, 40}, {right - 50, bottom - 40, 50, 40}},
      {"before the left and the top", {area.Left - 30, area.Top - 5, 50, 40}, {area.Left, area.Top, 50, 40}},
      {"larger than the area", {area.Left - 1, area.Top - 1, area.Width + 10, area.Height + 10}, area},
      {"of negative size", {area.Left + 10, area.Top + 10, -5, -5}, {area.Left + 10, area.Top + 10, 0, 0}},
  };
  for (const auto& row : rows) EXPECT_EQ(Tuple(FitOnScreen(row.asked)), Tuple(row.fitted)) << row.name;
}

}  // namespace
}  // namespace platform
