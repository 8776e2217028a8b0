#include "platform/widget_bounds.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace platform {
namespace {

auto Fields(const Bounds& b) { return std::tuple(b.Left, b.Top, b.Width, b.Height); }

// Places and sizes from outside are brought within the range in which the
// toolkit can add a size to a place; those inside it stay as they are.
TEST(WidgetBoundsTest, BoundsBeyondTheToolkitsRangeAreHeldAtItsEdges) {
  const struct {
    const char* name;
    Bounds given;
    Bounds held;
  } rows[] = {
      {"ordinary", {10, -20, 300, 200}, {10, -20, 300, 200}},
      {"largest int place", {INT_MAX, INT_MAX, 400, 400}, {kWidgetExtent, kWidgetExtent, 400, 400}},
      {"smallest int place", {INT_MIN, INT_MIN, 1, 1}, {-kWidgetExtent, -kWidgetExtent, 1, 1}},
      {"largest int size", {0, 0, INT_MAX, INT_MAX}, {0, 0, kWidgetExtent, kWidgetExtent}},
      {"negative size", {5, 5, -7, INT_MIN}, {5, 5, 0, 0}},
  };
  for (const auto& row : rows) EXPECT_EQ(Fields(WidgetBounds(row.given)), Fields(row.held)) << row.name;
}

}  // namespace
}  // namespace platform
