#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "spatial/geometry/polygon_clipper.h"

namespace {

using Points = std::vector<TDevicePoint>;

Points Clip(const TDeviceRect& R, const Points& polygon) {
  std::unique_ptr<TDevicePoint[]> in(new TDevicePoint[polygon.size()]);
  std::copy(polygon.begin(), polygon.end(), in.get());
  const auto count = static_cast<std::int32_t>(polygon.size());
  TOrezavacPloch clipper(R, std::move(in), 8 * count, count);
  clipper.Clip();
  std::unique_ptr<TDevicePoint[]> out;
  std::int32_t byteSize = 0;
  std::int32_t outCount = 0;
  clipper.GetResult(out, byteSize, outCount);
  return out ? Points(out.get(), out.get() + outCount) : Points();
}

// Every side is clipped alike: a vertex on the side is inside and stays as
// it is, and only the vertex beyond it is cut off.  The case is built for the
// top side of a 100 x 100 rectangle and turned onto the other three.
TEST(PolygonClipperSides, EverySideKeepsItsOwnVerticesAndCutsWhatLiesBeyond) {
  const TDeviceRect rect{0, 0, 100, 100};
  // (20, 0) and (80, 0) lie on the top side, (50, -20) beyond it.
  const Points polygon{{20, 50}, {20, 0}, {50, -20}, {80, 0}, {80, 50}};
  const Points clipped{{20, 50}, {20, 0}, {20, 0}, {80, 0}, {80, 0}, {80, 50}, {20, 50}};
  struct Side {
    const char* Name;
    TDevicePoint (*Turn)(TDevicePoint);
  };
  const Side sides[] = {
      {"top", [](TDevicePoint p) { return p; }},
      {"bottom", [](TDevicePoint p) { return TDevicePoint{p.X, 100 - p.Y}; }},
      {"left", [](TDevicePoint p) { return TDevicePoint{p.Y, p.X}; }},
      {"right", [](TDevicePoint p) { return TDevicePoint{100 - p.Y, p.X}; }},
  };
  for (const Side& side : sides) {
    Points in;
    Points expected;
    std::transform(polygon.begin(), polygon.end(), std::back_inserter(in), side.Turn);
    std::transform(clipped.begin(), clipped.end(), std::back_inserter(expected), side.Turn);
    EXPECT_EQ(Clip(rect, in), expected) << side.Name;
  }
}

}  // namespace
