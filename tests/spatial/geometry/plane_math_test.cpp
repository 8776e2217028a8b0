#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "framework/values/real48.h"
#include "spatial/geometry/intersections.h"
#include "spatial/geometry/plane_math.h"

namespace {

using namespace Mathlib;

constexpr double kPi = std::numbers::pi;
// The six-byte real carries about 12 significant digits.
constexpr double kReal48Tol = 1e-11;

TEST(MathlibAngles, VectorAngleLiesInZeroExclusiveToTwoPiInclusive) {
  EXPECT_DOUBLE_EQ(VectorAngle(1, 0), 2 * kPi);
  EXPECT_DOUBLE_EQ(VectorAngle(0, 0), 2 * kPi);
  EXPECT_DOUBLE_EQ(VectorAngle(0, 1), kPi / 2);
  EXPECT_DOUBLE_EQ(VectorAngle(0, -1), 3 * kPi / 2);
  EXPECT_DOUBLE_EQ(VectorAngle(-1, 0), kPi);
  EXPECT_DOUBLE_EQ(VectorAngle(1, -1), 7 * kPi / 4);
  EXPECT_DOUBLE_EQ(VectorAngle(1, 1), kPi / 4);
  EXPECT_DOUBLE_EQ(VectorAngle(-1, -1), 5 * kPi / 4);
}

TEST(MathlibAngles, NormalizeAngleGivesASixByteRealInZeroToTwoPi) {
  EXPECT_NEAR(NormalizeAngle(-kPi / 2), 3 * kPi / 2, kReal48Tol);
  EXPECT_NEAR(NormalizeAngle(5 * kPi), kPi, kReal48Tol);
  EXPECT_NEAR(NormalizeAngle(-7 * kPi), kPi, kReal48Tol);
  EXPECT_EQ(NormalizeAngle(0), 0);
  const double R = NormalizeAngle(1.0);
  EXPECT_EQ(R, RoundToReal48(1.0));
  EXPECT_EQ(RoundToReal48(NormalizeAngle(-kPi / 2)), NormalizeAngle(-kPi / 2));
}

TEST(MathlibAngles, DegToRadNormalises) {
  EXPECT_NEAR(DegToRad(90), kPi / 2, kReal48Tol);
  EXPECT_NEAR(DegToRad(-90), 3 * kPi / 2, kReal48Tol);
  EXPECT_NEAR(DegToRad(720 + 45), kPi / 4, kReal48Tol);
}

TEST(MathlibAngles, ArcCosClampsOutsideMinusOneToOne) {
  EXPECT_EQ(ArcCos(1.5), 0);
  EXPECT_EQ(ArcCos(1), 0);
  EXPECT_NEAR(ArcCos(-2), kPi, kReal48Tol);
  EXPECT_NEAR(ArcCos(0), kPi / 2, kReal48Tol);
  EXPECT_NEAR(ArcCos(0.5), kPi / 3, kReal48Tol);
}

TEST(MathlibAngles, VertexAngle) {
  EXPECT_NEAR(VertexAngle({1, 0}, {0, 0}, {0, 1}), kPi / 2, kReal48Tol);
  EXPECT_NEAR(VertexAngle({1, 0}, {0, 0}, {-3, 0}), kPi, kReal48Tol);
  EXPECT_EQ(VertexAngle({1, 0}, {1 + 1e-11, -1e-11}, {0, 1}), 0);
  EXPECT_EQ(VertexAngle({1, 0}, {0, 0}, {5e-11, 0}), 0);
  EXPECT_EQ(VertexAngle({1, 0}, {0, 0}, {0, 5e-11}), 0);  // not pi/2: B counts as V
  EXPECT_NEAR(VertexAngle({2, 0}, {0, 0}, {3, 3}), kPi / 4, kReal48Tol);
}

TEST(MathlibLines, IsRightOfLine) {
  EXPECT_TRUE(IsRightOfLine({0, 0}, {10, 0}, {5, -1}));
  EXPECT_FALSE(IsRightOfLine({0, 0}, {10, 0}, {5, 1}));
  EXPECT_FALSE(IsRightOfLine({0, 0}, {10, 0}, {20, 0}));
  EXPECT_TRUE(IsRightOfLine({0, 0}, {0, 10}, {1, 5}));
  // A point line is taken along +X.
  EXPECT_TRUE(IsRightOfLine({3, 3}, {3, 3}, {0, 2}));
  EXPECT_FALSE(IsRightOfLine({3, 3}, {3, 3}, {0, 4}));
  // On the line (s = 0) is not right.
  EXPECT_FALSE(IsRightOfLine({3, 3}, {3, 3}, {3, 3}));
  EXPECT_FALSE(IsRightOfLine({0, 0}, {10, 0}, {0, 0}));
}

TEST(MathlibPoints, PolarPoint) {
  TRealPoint P{-1, -1};
  PolarPoint({2, 3}, P, kPi / 2, 4);
  EXPECT_NEAR(P.X, 2, 1e-12);
  EXPECT_NEAR(P.Y, 7, 1e-12);
  PolarPoint({2, 3}, P, 1.0, 0);
  EXPECT_EQ(P.X, 2);
  EXPECT_EQ(P.Y, 3);
  P = {-1, -1};
  PolarPoint({2, 3}, P, 1.0, -5);
  EXPECT_EQ(P.X, 2);
  EXPECT_EQ(P.Y, 3);
  PolarPoint({0, 0}, P, 1.0, 1e-21);  // below 1e-20
  EXPECT_EQ(P.X, 0);
  EXPECT_EQ(P.Y, 0);
}

TEST(MathlibPoints, OrderPairPassesTheMovedValueThroughASixByteReal) {
  double A = 0.1, B = 0;
  OrderPair(A, B);
  EXPECT_EQ(A, 0);
  EXPECT_EQ(B, RoundToReal48(0.1));
  double C = 0, D = 0.1;
  OrderPair(C, D);
  EXPECT_EQ(C, 0);
  EXPECT_EQ(D, 0.1);
}

TEST(MathlibPoints, DistanceCoincideAndEqual) {
  EXPECT_EQ(Distance(0, 0, 3, 4), 5);
  EXPECT_FALSE(PointsCoincide(0, 0, 0.8, 0.8, 1));
  EXPECT_TRUE(PointsCoincide(0, 0, 0.6, 0.6, 1));
  EXPECT_FALSE(PointsCoincide(0, 0, 1.1, 0, 1));
  EXPECT_TRUE(PointsEqual(1.5, 2, 1.5, 2));
  EXPECT_FALSE(PointsEqual(1.5, 2, 1.5, 2 + 1e-15));
}

TEST(MathlibPoints, PointTowardsAndGrid) {
  double X = 0, Y = 0;
  PointTowards(X, Y, 0, 0, 3, 4, 2.5, 0);
  EXPECT_DOUBLE_EQ(X, 1.5);
  EXPECT_DOUBLE_EQ(Y, 2);
  PointTowards(X, Y, 0, 0, 3, 4, 9, 0);
  EXPECT_EQ(X, 3);
  EXPECT_EQ(Y, 4);
  PointTowards(X, Y, 0, 0, 1.26, 0, 5, 0.5);
  EXPECT_EQ(X, 1.5);
  EXPECT_EQ(Y, 0);
  PointTowards(X, Y, 1, 1, 1, 1, 2, 0);  // zero length
  EXPECT_EQ(X, 1);
  EXPECT_EQ(Y, 1);
  // Halves go to the even grid step.
  PointTowards(X, Y, 0, 0, 10, 0, 2.5, 1);
  EXPECT_EQ(X, 2);
  PointTowards(X, Y, 0, 0, 10, 0, 3.5, 1);
  EXPECT_EQ(X, 4);
  // More grid steps than any integer type holds: the point stays.
  PointTowards(X, Y, 0, 0, 1, -3, 10, 1e-300);
  EXPECT_DOUBLE_EQ(X, 1);
  EXPECT_DOUBLE_EQ(Y, -3);
}

TEST(MathlibBoxes, RectsOverlapWithSlack) {
  EXPECT_TRUE(RectsOverlap(0, 0, 10, 10, 10, 10, 20, 20, 0));  // touching corners
  EXPECT_TRUE(RectsOverlap(10, 10, 0, 0, 20, 20, 10, 10, 0));  // corners in any order
  EXPECT_FALSE(RectsOverlap(0, 0, 10, 10, 10.5, 0, 20, 10, 0.4));
  EXPECT_TRUE(RectsOverlap(0, 0, 10, 10, 10.5, 0, 20, 10, 0.6));
  EXPECT_FALSE(RectsOverlap(0, 0, 10, 10, 0, -5, 10, -0.5, 0.25));
  EXPECT_TRUE(RectsOverlap(0, 0, 10, 10, 2, 2, 3, 3, 0));
}

TEST(MathlibBoxes, PointInBoxHasASlackOfOneTenThousandth) {
  EXPECT_TRUE(PointInBox(5, 5, 0, 0, 10, 10));
  EXPECT_TRUE(PointInBox(10.00005, 5, 0, 0, 10, 10));
  EXPECT_FALSE(PointInBox(10.0002, 5, 0, 0, 10, 10));
  EXPECT_FALSE(PointInBox(-0.00015, 5, 0, 0, 10, 10));
  EXPECT_TRUE(PointInBox(5, -0.00005, 10, 10, 0, 0));
  EXPECT_FALSE(PointInBox(5, -0.0002, 10, 10, 0, 0));
  EXPECT_FALSE(PointInBox(-0.0002, 5, 0, 0, 10, 10));
  EXPECT_FALSE(PointInBox(5, 10.0002, 0, 0, 10, 10));
}

TEST(MathlibSegments, SegmentsCross) {
  EXPECT_TRUE(SegmentsCross(0, 0, 10, 10, 0, 10, 10, 0));
  EXPECT_TRUE(SegmentsCross(0, 0, 4, 2, 4, 2, 4, -3));  // shared end
  EXPECT_FALSE(SegmentsCross(0, 0, 10, 10, 0, 10, 2, 8));
  EXPECT_FALSE(SegmentsCross(0, 0, 10, 0, 0, 1, 10, 1));  // two horizontals
  EXPECT_FALSE(SegmentsCross(0, 0, 1, 1, 0, 1, 1, 2));    // parallel
}

TEST(MathlibSegments, IntersectionUsesASixByteSlopeDifference) {
  double X = 0, Y = 0, AX = 0, AY = 0;
  bool NoPoint = true, OnFirst = false, OnSecond = false, ANoPoint = true;
  SegmentIntersection(X, Y, NoPoint, 0, 0, 0.1, 1, 1, 0, 1.3, 1, OnFirst, OnSecond);
  AnalInt::SegmentIntersection(AX, AY, ANoPoint, 0, 0, 0.1, 1, 1, 0, 1.3, 1, OnFirst, OnSecond);
  ASSERT_FALSE(NoPoint);
  ASSERT_FALSE(ANoPoint);
  EXPECT_NEAR(Y, -5, 1e-9);
  EXPECT_NEAR(X, -0.5, 1e-9);
  EXPECT_NE(Y, AY);
}

TEST(MathlibSegments, AHugeSlopeDifferenceGivesNoPointInsteadOfOverflow) {
  double X = 0, Y = 0;
  bool NoPoint = false, OnFirst = true, OnSecond = true;
  EXPECT_NO_THROW(SegmentIntersection(X, Y, NoPoint, 0, 0, 1e20, 1e-19, 5, -1, 5, 1, OnFirst, OnSecond));
  EXPECT_TRUE(NoPoint);
  EXPECT_FALSE(OnFirst);
  EXPECT_FALSE(OnSecond);
}

TEST(MathlibFoot, FootOfPerpendicular) {
  double X = 0, Y = 0;
  FootOfPerpendicular(X, Y, 0, 0, 1, 1, 1, 0);
  EXPECT_DOUBLE_EQ(X, 0.5);
  EXPECT_DOUBLE_EQ(Y, 0.5);
  FootOfPerpendicular(X, Y, 3, 0, 3, 10, 7, 4);  // vertical x = 3
  EXPECT_EQ(X, 3);
  EXPECT_EQ(Y, 4);
  FootOfPerpendicular(X, Y, 0, 2, 10, 2, 7, 9);  // horizontal y = 2
  EXPECT_EQ(X, 7);
  EXPECT_EQ(Y, 2);
  FootOfPerpendicular(X, Y, 0, 0, 1, 2, 1, 0);
  EXPECT_DOUBLE_EQ(X, 0.2);
  EXPECT_DOUBLE_EQ(Y, 0.4);
}

TEST(MathlibFoot, ADegenerateSegmentHasItsFootAtItsEnd) {
  double X = 0, Y = 0;
  FootOfPerpendicular(X, Y, 2, 3, 2, 3, 7, 7);
  EXPECT_EQ(X, 2);
  EXPECT_EQ(Y, 3);
  FootOfPerpendicular(X, Y, 2, 3, 2 + 5e-10, 3 - 5e-10, 7, 7);
  EXPECT_EQ(X, 2);
  EXPECT_EQ(Y, 3);
  bool OnSegment = false;
  double Dist = 0;
  ProjectPointToSegment(OnSegment, X, Y, 5, 7, 2, 3, 2, 3, Dist);
  EXPECT_TRUE(OnSegment);
  EXPECT_EQ(X, 2);
  EXPECT_EQ(Y, 3);
  EXPECT_EQ(Dist, 5);
}

TEST(MathlibFoot, ProjectPointToSegment) {
  bool OnSegment = false;
  double X = 0, Y = 0, Dist = 0;
  ProjectPointToSegment(OnSegment, X, Y, 0, 5, 0, 0, 2, 1, Dist);
  EXPECT_DOUBLE_EQ(X, 2);
  EXPECT_DOUBLE_EQ(Y, 1);
  EXPECT_TRUE(OnSegment);
  EXPECT_DOUBLE_EQ(Dist, std::sqrt(20.0));
  ProjectPointToSegment(OnSegment, X, Y, 10, 3, 0, 0, 2, 0, Dist);
  EXPECT_EQ(X, 10);
  EXPECT_EQ(Y, 0);
  EXPECT_FALSE(OnSegment);
  EXPECT_EQ(Dist, 3);
}

}  // namespace
