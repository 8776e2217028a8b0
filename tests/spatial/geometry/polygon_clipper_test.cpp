#include "spatial/geometry/polygon_clipper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using Points = std::vector<TDevicePoint>;
const TDeviceRect kRect{0, 0, 10, 10};
constexpr std::int32_t kMin = -2147483647 - 1;

std::unique_ptr<TDevicePoint[]> Buffer(const Points& points, std::size_t capacity = 0) {
  std::unique_ptr<TDevicePoint[]> b(new TDevicePoint[std::max(capacity, points.size())]);
  std::copy(points.begin(), points.end(), b.get());
  return b;
}

// What the clipper hands back: points, count, byte size, failure and whether a buffer came.
struct TClipped {
  Points points;
  std::int32_t count = 0, byteSize = 0;
  bool failed = false, hasBuffer = false;
};

TClipped Clipped(TOrezavacPloch& clipper) {
  clipper.Clip();
  std::unique_ptr<TDevicePoint[]> out;
  TClipped r;
  r.count = r.byteSize = -1;
  clipper.GetResult(out, r.byteSize, r.count);
  r.hasBuffer = out != nullptr;
  if (out) r.points.assign(out.get(), out.get() + r.count);
  r.failed = clipper.Failed();
  return r;
}

TClipped Clip(const TDeviceRect& rect, const Points& in) {
  const auto n = static_cast<std::int32_t>(in.size());
  TOrezavacPloch clipper(rect, Buffer(in), 8 * n, n);
  return Clipped(clipper);
}

TEST(PolygonClipper, ClipsToTheRectangleClosingWhatItCut) {
  const struct {
    const char* name;
    TDeviceRect rect;
    Points in, out;
    std::int32_t byteSize;
  } cases[] = {
      {"inside: unchanged and unclosed", kRect, {{1, 1}, {9, 2}, {5, 9}}, {{1, 1}, {9, 2}, {5, 9}}, 24},
      {"cuts at 6.5 and 3.5 round to even",
       kRect,
       {{5, 5}, {-5, 2}, {-5, 8}},
       {{0, 6}, {5, 5}, {0, 4}, {0, 6}},
       3 * 16},
      {"a vertex on the side counts as inside",
       kRect,
       {{-5, 1}, {5, 1}, {5, 9}, {0, 5}},
       {{0, 5}, {0, 1}, {5, 1}, {5, 9}, {0, 5}},
       4 * 16},
      {"intersections keep the 32-bit range",
       {0, kMin, 10, 10},
       {{-1, kMin}, {5, kMin}, {5, 0}, {-1, 0}},
       {{0, -2147483647}, {5, kMin}, {5, 0}, {0, 0}, {0, -2147483647}},
       4 * 16},
  };
  for (const auto& c : cases) {
    const TClipped r = Clip(c.rect, c.in);
    EXPECT_FALSE(r.failed) << c.name;
    EXPECT_EQ(r.points, c.out) << c.name;
    EXPECT_EQ(r.byteSize, c.byteSize) << c.name;
  }
  TOrezavacPloch larger(kRect, Buffer({{1, 1}, {9, 1}, {5, 5}}, 6), 48, 3);  // a larger block comes back whole
  const TClipped r = Clipped(larger);
  EXPECT_EQ(std::pair(r.byteSize, r.count), std::pair(48, 3));
}

// Every side is clipped alike: a vertex on the side is inside and stays as it is, and only the vertex beyond
// it is cut off.  The case is built for the top side of a 100 x 100 rectangle and turned onto the other three.
TEST(PolygonClipper, EverySideKeepsItsOwnVerticesAndCutsWhatLiesBeyond) {
  const Points polygon{{20, 50}, {20, 0}, {50, -20}, {80, 0}, {80, 50}};
  const Points clipped{{20, 50}, {20, 0}, {20, 0}, {80, 0}, {80, 0}, {80, 50}, {20, 50}};
  for (const char* side : {"top", "bottom", "left", "right"}) {
    const auto turn = [side](TDevicePoint p) {
      const char s = side[0];
      return s == 't' ? p : s == 'b' ? TDevicePoint{p.X, 100 - p.Y} : TDevicePoint{s == 'l' ? p.Y : 100 - p.Y, p.X};
    };
    Points in, expected;
    std::transform(polygon.begin(), polygon.end(), std::back_inserter(in), turn);
    std::transform(clipped.begin(), clipped.end(), std::back_inserter(expected), turn);
    EXPECT_EQ(Clip({0, 0, 100, 100}, in).points, expected) << side;
  }
}

TEST(PolygonClipper, NothingLeftOrBadArgumentsFailWithoutReadingPastTheBlock) {
  EXPECT_TRUE(TOrezavacPloch(kRect, nullptr, 0, 0).Failed());
  EXPECT_TRUE(TOrezavacPloch(kRect, Buffer({{1, 1}}), 8, -1).Failed());
  EXPECT_TRUE(TOrezavacPloch(kRect, Buffer({{1, 1}}), -8, 1).Failed());
  EXPECT_TRUE(TOrezavacPloch(kRect, Buffer({{1, 1}, {2, 2}}), 15, 2).Failed());
  EXPECT_FALSE(TOrezavacPloch(kRect, Buffer({{1, 1}, {2, 2}}, 4), 32, 2).Failed());
  TOrezavacPloch left(kRect, Buffer({{-9, 1}, {-2, 1}, {-5, 8}}), 24, 3);
  TOrezavacPloch beyond(kRect, Buffer({{-5, 2}, {5, 2}, {5, 8}}), 24, 1000);  // three points' bytes, count 1000
  TOrezavacPloch empty(kRect, Buffer({}, 1), 8, 0);
  TOrezavacPloch lonePointLeft(kRect, Buffer({{-5, 2}}), 8, 1);
  EXPECT_TRUE(beyond.Failed());
  EXPECT_FALSE(empty.Failed());
  for (TOrezavacPloch* clipper : {&left, &beyond, &empty, &lonePointLeft}) {
    const TClipped r = Clipped(*clipper);
    EXPECT_TRUE(r.failed);
    EXPECT_FALSE(r.hasBuffer);
    EXPECT_EQ(std::pair(r.byteSize, r.count), std::pair(0, 0));
  }
}

}  // namespace
