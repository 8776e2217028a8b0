// The geometry routines on coordinate objects and vertex entities behave as
// their twins on plain points.
#include <numbers>

#include "spatial/geometry/intersections.h"
#include "spatial/objects/space_entities.h"
#include "spatial/geometry/plane_math.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

class CoordinateFormsTest : public SpatialTest {
 protected:
  // The square (0, 0) - (10, 10), with a child that is no coordinate among its vertices.
  void SetUp() override {
    SpatialTest::SetUp();
    square.AddVertex(0, 0);
    square.AddVertex(10, 0);
    square.AddElement(new TOwnerElement);
    square.AddVertex(10, 10);
    square.AddVertex(0, 10);
  }
  TPolyLineElement square;
};

TEST_F(CoordinateFormsTest, PointInPolygonReadsTheCoordinateChildren) {
  const T2DCoordinate inside(5, 5);
  const T2DCoordinate outside(15, 5);
  EXPECT_TRUE(AnalInt::PointInPolygon(&square, &inside));
  EXPECT_FALSE(AnalInt::PointInPolygon(&square, &outside));
  EXPECT_FALSE(AnalInt::PointInPolygon(nullptr, &inside));
  EXPECT_FALSE(AnalInt::PointInPolygon(&square, nullptr));
  TPolyLineElement two;
  two.AddVertex(0, 0);
  two.AddVertex(10, 10);
  EXPECT_FALSE(AnalInt::PointInPolygon(&two, &inside));
}

TEST_F(CoordinateFormsTest, CrossingCountersReadTheCoordinateChildren) {
  double left = 0, right = 0;
  std::int32_t count = 0;
  AnalInt::HorizontalCrossings(&square, left, right, 5, 5, count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(right, 10);
  double first = 0, second = 0;
  AnalInt::HorizontalCrossingsTwoNearest(&square, first, second, -5, 5, count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 10);
  AnalInt::HorizontalCrossings(nullptr, left, right, 5, 5, count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(left, 1e20);
}

TEST_F(CoordinateFormsTest, LineSideAndVertexAngleOnCoordinates) {
  const T2DCoordinate a(0, 0), b(10, 0), below(5, -1), above(5, 1), up(0, 1);
  EXPECT_TRUE(Mathlib::CoordIsRightOfLine(&a, &b, &below));
  EXPECT_FALSE(Mathlib::CoordIsRightOfLine(&a, &b, &above));
  EXPECT_FALSE(Mathlib::CoordIsRightOfLine(&a, nullptr, &below));
  const T2DCoordinate unitX(1, 0);
  EXPECT_NEAR(Mathlib::CoordVertexAngle(&unitX, &a, &up), std::numbers::pi / 2, 1e-11);
  EXPECT_EQ(Mathlib::CoordVertexAngle(&a, &a, &up), 0);
  EXPECT_EQ(Mathlib::CoordVertexAngle(nullptr, &a, &up), 0);
}

TEST_F(CoordinateFormsTest, SegmentBoxNearRectUsesTheSegmentsBox) {
  const T2DCoordinate a(2, 2), b(0, 0);
  EXPECT_FALSE(Mathlib::SegmentBoxNearRect(&a, &b, {4, 4}, {3, 3}, 0.5));
  EXPECT_TRUE(Mathlib::SegmentBoxNearRect(&a, &b, {4, 4}, {3, 3}, 1));
  EXPECT_FALSE(Mathlib::SegmentBoxNearRect(nullptr, &b, {0, 0}, {1, 1}, 1));
}

}  // namespace
