#include "spatial/geometry/plane_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

#include "framework/values/real48.h"
#include "spatial/geometry/intersections.h"

namespace {

using namespace Mathlib;

constexpr double kPi = std::numbers::pi;
constexpr double kReal48Tol = 1e-11;  // the six-byte real carries about 12 significant digits

TEST(PlaneMath, AnglesLieInZeroToTwoPiAsSixByteReals) {
  const struct {
    const char* name;
    double value, expected;
  } cases[] = {
      {"VectorAngle(1, 0)", VectorAngle(1, 0), 2 * kPi},
      {"VectorAngle(0, 0)", VectorAngle(0, 0), 2 * kPi},
      {"VectorAngle(1, -1)", VectorAngle(1, -1), 7 * kPi / 4},
      {"Normalize(-pi/2)", NormalizeAngle(-kPi / 2), 3 * kPi / 2},
      {"Normalize(5 pi)", NormalizeAngle(5 * kPi), kPi},
      {"DegToRad(765)", DegToRad(765), kPi / 4},
      {"ArcCos(1.5)", ArcCos(1.5), 0},
      {"ArcCos(-2)", ArcCos(-2), kPi},
      {"ArcCos(-1.5)", ArcCos(-1.5), kPi},
      {"VertexAngle right", VertexAngle({1, 0}, {0, 0}, {0, 1}), kPi / 2},
      {"VertexAngle A at V", VertexAngle({1, 0}, {1 + 1e-11, -1e-11}, {0, 1}), 0},
      {"VertexAngle B at V", VertexAngle({1, 0}, {0, 0}, {5e-11, 0}), 0},
      {"VertexAngle B at V, not pi/2", VertexAngle({1, 0}, {0, 0}, {0, 5e-11}), 0},
      {"VertexAngle B at V by exactly the tolerance on Y", VertexAngle({1, 0}, {0, 0}, {0, 1e-10}), 0},
      {"VertexAngle B at V by exactly the tolerance on X", VertexAngle({0, 1}, {0, 0}, {1e-10, 0}), 0},
  };
  for (const auto& c : cases) EXPECT_NEAR(c.value, c.expected, kReal48Tol) << c.name;
  EXPECT_EQ(NormalizeAngle(1.0), RoundToReal48(1.0));
  EXPECT_EQ(RoundToReal48(NormalizeAngle(-kPi / 2)), NormalizeAngle(-kPi / 2));
  double A = 0.1, B = 0;  // OrderPair passes the moved value through a six-byte real
  OrderPair(A, B);
  EXPECT_EQ(std::pair(A, B), std::pair(0.0, RoundToReal48(0.1)));
  double C = 0, D = 0.1;
  OrderPair(C, D);
  EXPECT_EQ(std::pair(C, D), std::pair(0.0, 0.1));
}

using XY = std::pair<double, double>;

XY Polar(TRealPoint from, double angle, double length) {
  TRealPoint P{-1, -1};
  PolarPoint(from, P, angle, length);
  return {P.X, P.Y};
}

XY Towards(double AX, double AY, double BX, double BY, double distance, double grid) {
  double X = 0, Y = 0;
  PointTowards(X, Y, AX, AY, BX, BY, distance, grid);
  return {X, Y};
}

XY Foot(double AX, double AY, double BX, double BY, double PX, double PY) {
  double X = 0, Y = 0;
  FootOfPerpendicular(X, Y, AX, AY, BX, BY, PX, PY);
  return {X, Y};
}

TEST(PlaneMath, ConstructedPoints) {
  const std::tuple<const char*, XY, XY> cases[] = {
      {"polar of negative length", Polar({2, 3}, 1.0, -5), {2, 3}},
      {"polar below 1e-20", Polar({0, 0}, 1.0, 1e-21), {0, 0}},
      {"towards beyond the end", Towards(0, 0, 3, 4, 9, 0), {3, 4}},
      {"grid half to even down", Towards(0, 0, 10, 0, 2.5, 1), {2, 0}},
      {"grid half to even up", Towards(0, 0, 10, 0, 3.5, 1), {4, 0}},
      {"more grid steps than an integer holds", Towards(0, 0, 1, -3, 10, 1e-300), {1, -3}},
      {"foot on a slope", Foot(0, 0, 1, 2, 1, 0), {0.2, 0.4}},
      {"foot on a point", Foot(2, 3, 2, 3, 7, 7), {2, 3}},
      {"foot on ends within 1e-9", Foot(2, 3, 2 + 5e-10, 3 - 5e-10, 7, 7), {2, 3}},
  };
  for (const auto& [name, result, expected] : cases)
    EXPECT_LT(std::hypot(result.first - expected.first, result.second - expected.second), 1e-12) << name;
}

// Points are equal only with both coordinates equal; they coincide within a
// tolerance only when each difference and the distance stay within it.
TEST(PlaneMath, PointsEqualExactlyOrCoincideWithinATolerance) {
  const struct {
    const char* name;
    double x1, y1, x2, y2, tol;
    bool equal, coincide;
  } rows[] = {
      {"the same point", 1, 2, 1, 2, 0, true, true},
      {"another Y", 1, 2, 1, 3, 0, false, false},
      {"another X", 1, 2, 5, 2, 0, false, false},
      {"diagonal within the tolerance", 0, 0, 0.6, 0.6, 1, false, true},
      {"each difference within, the distance not", 0, 0, 0.8, 0.8, 1, false, false},
      {"one difference beyond", 0, 0, 1.2, 0, 1, false, false},
      {"on the tolerance", 0, 0, 0, -1, 1, false, true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(std::pair(PointsEqual(row.x1, row.y1, row.x2, row.y2),
                        PointsCoincide(row.x1, row.y1, row.x2, row.y2, row.tol)),
              std::pair(row.equal, row.coincide))
        << row.name;
  }
}

// Two boxes, each given by two corners in any order, overlap unless one lies
// beyond the other by more than the slack on some side.
TEST(PlaneMath, BoxesOverlapUnlessApartByMoreThanTheSlack) {
  const struct {
    const char* name;
    double x1, y1, x2, y2, x3, y3, x4, y4, tol;
    bool overlap;
  } rows[] = {
      {"above by exactly the slack", 0, 0, 1, 1, 0, 1.5, 1, 2, 0.5, true},
      {"above by more than the slack", 0, 0, 1, 1, 0, 1.75, 1, 2, 0.5, false},
      {"below by exactly the slack", 0, 0, 1, 1, 0, -1.5, 1, -0.5, 0.5, true},
      {"below by more than the slack", 0, 0, 1, 1, 0, -1.5, 1, -0.75, 0.5, false},
      {"right by exactly the slack", 0, 0, 1, 1, 1.5, 0, 2, 1, 0.5, true},
      {"right by more than the slack", 0, 0, 1, 1, 1.75, 0, 2, 1, 0.5, false},
      {"left by exactly the slack", 0, 0, 1, 1, -1, 0, -0.5, 1, 0.5, true},
      {"left by more than the slack", 0, 0, 1, 1, -1, 0, -0.75, 1, 0.5, false},
      {"corners in any order", 1, 1, 0, 0, 2, 2, 1.5, 1.5, 0.5, true},
      {"touching without slack", 0, 0, 1, 1, 1, 1, 2, 2, 0, true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(RectsOverlap(row.x1, row.y1, row.x2, row.y2, row.x3, row.y3, row.x4, row.y4, row.tol), row.overlap)
        << row.name;
  }
}

TEST(PlaneMath, TheSixByteSlopeDifference) {
  double X = 0, Y = 0, AX = 0, AY = 0;
  bool NoPoint = true, OnFirst = false, OnSecond = false, ANoPoint = true;
  SegmentIntersection(X, Y, NoPoint, 0, 0, 0.1, 1, 1, 0, 1.3, 1, OnFirst, OnSecond);
  AnalInt::SegmentIntersection(AX, AY, ANoPoint, 0, 0, 0.1, 1, 1, 0, 1.3, 1, OnFirst, OnSecond);
  ASSERT_FALSE(NoPoint || ANoPoint);
  EXPECT_NEAR(Y, -5, 1e-9);
  EXPECT_NEAR(X, -0.5, 1e-9);
  EXPECT_NE(Y, AY);
  // A slope difference above 1e30 gives no point instead of a six-byte overflow.
  EXPECT_NO_THROW(SegmentIntersection(X, Y, NoPoint, 0, 0, 1e20, 1e-19, 5, -1, 5, 1, OnFirst, OnSecond));
  EXPECT_EQ(std::tuple(NoPoint, OnFirst, OnSecond), std::tuple(true, false, false));
}

}  // namespace
