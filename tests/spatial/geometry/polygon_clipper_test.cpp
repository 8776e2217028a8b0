#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "spatial/geometry/polygon_clipper.h"

namespace {

const TDeviceRect kRect{0, 0, 10, 10};

struct TClipped {
  std::vector<TDevicePoint> Points;
  std::int32_t Count = 0;
  std::int32_t ByteSize = 0;
  bool Failed = false;
  bool HasBuffer = false;
};

std::unique_ptr<TDevicePoint[]> Buffer(const std::vector<TDevicePoint>& Points, std::size_t Capacity = 0) {
  std::unique_ptr<TDevicePoint[]> B(new TDevicePoint[std::max(Capacity, Points.size())]);
  std::copy(Points.begin(), Points.end(), B.get());
  return B;
}

TClipped Clipped(TOrezavacPloch& Clipper) {
  Clipper.Clip();
  std::unique_ptr<TDevicePoint[]> Out;
  std::int32_t ByteSize = -1, Count = -1;
  Clipper.GetResult(Out, ByteSize, Count);
  TClipped Result;
  Result.HasBuffer = Out != nullptr;
  if (Out) Result.Points.assign(Out.get(), Out.get() + Count);
  Result.Count = Count;
  Result.ByteSize = ByteSize;
  Result.Failed = Clipper.Failed();
  return Result;
}

TClipped ClipPolygon(const TDeviceRect& R, const std::vector<TDevicePoint>& Points) {
  TOrezavacPloch Clipper(R, Buffer(Points), static_cast<std::int32_t>(8 * Points.size()),
                         static_cast<std::int32_t>(Points.size()));
  return Clipped(Clipper);
}

TEST(OrezavacPloch, APolygonInsideComesBackUnchangedAndUnclosed) {
  const std::vector<TDevicePoint> Polygon{{1, 1}, {9, 2}, {5, 9}};
  const TClipped R = ClipPolygon(kRect, Polygon);
  EXPECT_FALSE(R.Failed);
  EXPECT_EQ(R.Points, Polygon);
  EXPECT_EQ(R.ByteSize, 24);
}

TEST(OrezavacPloch, VerticesOnTheSidesStay) {
  const std::vector<TDevicePoint> Polygon{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_EQ(ClipPolygon(kRect, Polygon).Points, Polygon);
}

TEST(OrezavacPloch, APolygonWhollyLeftLeavesNothing) {
  const TClipped R = ClipPolygon(kRect, {{-9, 1}, {-2, 1}, {-5, 8}});
  EXPECT_TRUE(R.Failed);
  EXPECT_FALSE(R.HasBuffer);
  EXPECT_EQ(R.Count, 0);
  EXPECT_EQ(R.ByteSize, 0);
}

TEST(OrezavacPloch, ASquareAcrossTheLeftSideComesBackClosed) {
  const TClipped R = ClipPolygon(kRect, {{-5, 2}, {5, 2}, {5, 8}, {-5, 8}});
  EXPECT_FALSE(R.Failed);
  EXPECT_EQ(R.Points, (std::vector<TDevicePoint>{{0, 2}, {5, 2}, {5, 8}, {0, 8}, {0, 2}}));
  EXPECT_EQ(R.ByteSize, 4 * 16);
}

TEST(OrezavacPloch, AClippedTriangleOfThreePointsIsClosedAndRoundsHalvesToEven) {
  // The cuts fall at y = 6.5 and y = 3.5.
  const TClipped R = ClipPolygon(kRect, {{5, 5}, {-5, 2}, {-5, 8}});
  EXPECT_FALSE(R.Failed);
  EXPECT_EQ(R.Points, (std::vector<TDevicePoint>{{0, 6}, {5, 5}, {0, 4}, {0, 6}}));
  EXPECT_EQ(R.ByteSize, 3 * 16);
}

TEST(OrezavacPloch, AVertexOnTheSideBeingClippedCountsAsInside) {
  const TClipped R = ClipPolygon(kRect, {{-5, 1}, {5, 1}, {5, 9}, {0, 5}});
  EXPECT_FALSE(R.Failed);
  EXPECT_EQ(R.Points, (std::vector<TDevicePoint>{{0, 5}, {0, 1}, {5, 1}, {5, 9}, {0, 5}}));
}

TEST(OrezavacPloch, ASquareAroundTheRectangleBecomesTheRectangle) {
  const TClipped R = ClipPolygon(kRect, {{-5, -5}, {15, -5}, {15, 15}, {-5, 15}});
  EXPECT_FALSE(R.Failed);
  EXPECT_EQ(R.Points, (std::vector<TDevicePoint>{{0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}}));
  EXPECT_EQ(R.ByteSize, 5 * 16);  // the last pass had five input points
}

TEST(OrezavacPloch, IntersectionsKeepTheThirtyTwoBitRange) {
  const std::int32_t Min = -2147483647 - 1;
  const TDeviceRect Tall{0, Min, 10, 10};
  const TClipped R = ClipPolygon(Tall, {{-1, Min}, {5, Min}, {5, 0}, {-1, 0}});
  EXPECT_FALSE(R.Failed);
  EXPECT_EQ(R.Points, (std::vector<TDevicePoint>{{0, -2147483647}, {5, Min}, {5, 0}, {0, 0}, {0, -2147483647}}));
}

TEST(OrezavacPloch, ACountBeyondTheBufferFailsWithoutReading) {
  // Three points' worth of bytes, a count of 1000: nothing past the block may be read.
  TOrezavacPloch Clipper(kRect, Buffer({{-5, 2}, {5, 2}, {5, 8}}), 24, 1000);
  EXPECT_TRUE(Clipper.Failed());
  const TClipped R = Clipped(Clipper);
  EXPECT_FALSE(R.HasBuffer);
  EXPECT_EQ(R.ByteSize, 0);
  EXPECT_EQ(R.Count, 0);
}

TEST(OrezavacPloch, BadArgumentsMarkItFailed) {
  EXPECT_TRUE(TOrezavacPloch(kRect, nullptr, 0, 0).Failed());
  EXPECT_TRUE(TOrezavacPloch(kRect, Buffer({{1, 1}}), 8, -1).Failed());
  EXPECT_TRUE(TOrezavacPloch(kRect, Buffer({{1, 1}}), -8, 1).Failed());
  EXPECT_TRUE(TOrezavacPloch(kRect, Buffer({{1, 1}, {2, 2}}), 15, 2).Failed());
  EXPECT_FALSE(TOrezavacPloch(kRect, Buffer({{1, 1}, {2, 2}}, 4), 32, 2).Failed());
}

TEST(OrezavacPloch, AnEmptyPolygonLeavesNothing) {
  TOrezavacPloch Clipper(kRect, Buffer({}, 1), 8, 0);
  EXPECT_FALSE(Clipper.Failed());
  const TClipped R = Clipped(Clipper);
  EXPECT_TRUE(R.Failed);
  EXPECT_FALSE(R.HasBuffer);
  EXPECT_EQ(R.Count, 0);
}

TEST(OrezavacPloch, ALargerBlockThanThePointsIsHandedBackWhole) {
  TOrezavacPloch Clipper(kRect, Buffer({{1, 1}, {9, 1}, {5, 5}}, 6), 48, 3);
  const TClipped R = Clipped(Clipper);
  EXPECT_EQ(R.ByteSize, 48);
  EXPECT_EQ(R.Count, 3);
}

}  // namespace
