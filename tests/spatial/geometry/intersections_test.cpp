#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <random>
#include <span>
#include <vector>

#include "spatial/geometry/intersections.h"

namespace {

using namespace AnalInt;

const TDeviceRect kRect{0, 0, 10, 10};
const std::vector<TRealPoint> kSquare{{0, 0}, {10, 0}, {10, 10}, {0, 10}};

std::vector<TRealPoint> Rotated(const std::vector<TRealPoint>& E, std::size_t By) {
  std::vector<TRealPoint> R(E);
  std::rotate(R.begin(), R.begin() + static_cast<std::ptrdiff_t>(By), R.end());
  return R;
}

// Half-open crossing rule, exact for small integer outlines and points off
// the outline.
bool ReferenceInside(const std::vector<TRealPoint>& E, const TRealPoint& P) {
  bool Inside = false;
  for (std::size_t I = 0, J = E.size() - 1; I < E.size(); J = I++) {
    const TRealPoint& A = E[J];
    const TRealPoint& B = E[I];
    if ((A.Y > P.Y) != (B.Y > P.Y) && P.X < A.X + (P.Y - A.Y) * (B.X - A.X) / (B.Y - A.Y)) Inside = !Inside;
  }
  return Inside;
}

bool OnOutline(const std::vector<TRealPoint>& E, const TRealPoint& P) {
  for (std::size_t I = 0, J = E.size() - 1; I < E.size(); J = I++) {
    const TRealPoint& A = E[J];
    const TRealPoint& B = E[I];
    const double Cross = (B.X - A.X) * (P.Y - A.Y) - (B.Y - A.Y) * (P.X - A.X);
    if (Cross == 0 && P.X >= std::min(A.X, B.X) && P.X <= std::max(A.X, B.X) && P.Y >= std::min(A.Y, B.Y) &&
        P.Y <= std::max(A.Y, B.Y))
      return true;
  }
  return false;
}

TEST(AnalIntRounding, RoundClampedKeepsTheThirtyTwoBitRange) {
  EXPECT_EQ(RoundClamped(3e9), 2147483647);
  EXPECT_EQ(RoundClamped(-3e9), -2147483647);
  EXPECT_EQ(RoundClamped(-2147483648.0), -2147483647);
  EXPECT_EQ(RoundClamped(2147483647.0), 2147483647);
  EXPECT_EQ(RoundClamped(1e300), 2147483647);
  EXPECT_EQ(RoundClamped(-INFINITY), -2147483647);
  EXPECT_EQ(RoundClamped(2.5), 2);
  EXPECT_EQ(RoundClamped(3.5), 4);
  EXPECT_EQ(RoundClamped(-2.5), -2);
  EXPECT_EQ(RoundClamped(-2.6), -3);
}

TEST(AnalIntOutcode, SideBits) {
  EXPECT_EQ(Outcode(kRect, 5, 5), 0);
  EXPECT_EQ(Outcode(kRect, 0, 10), 0);  // edges are inside
  EXPECT_EQ(Outcode(kRect, 10, 0), 0);
  EXPECT_EQ(Outcode(kRect, -1, 5), ocLeft);
  EXPECT_EQ(Outcode(kRect, 11, 5), ocRight);
  EXPECT_EQ(Outcode(kRect, 5, 11), ocBelow);
  EXPECT_EQ(Outcode(kRect, 5, -1), ocAbove);
  EXPECT_EQ(Outcode(kRect, -1, 11), ocLeft | ocBelow);
  EXPECT_EQ(Outcode(kRect, 11, -1), ocRight | ocAbove);
  // On an inverted rectangle the left bit excludes the right one.
  EXPECT_EQ(Outcode(TDeviceRect{10, 10, 0, 0}, 5, 5), ocLeft | ocBelow);
}

TEST(AnalIntClipTest, ClassifiesSegments) {
  const struct {
    std::int32_t X1, Y1, X2, Y2;
    bool Inside, Crosses;
  } Cases[] = {
      {-5, 5, -1, 7, false, false},
      {1, 1, 9, 9, true, false},
      {-5, 5, 15, 5, false, true},
      {-5, 5, 5, -5, false, true},  // may cross: no shared bit
  };
  for (const auto& C : Cases) {
    bool Inside = !C.Inside, Crosses = !C.Crosses;
    ClipTest(kRect, C.X1, C.Y1, C.X2, C.Y2, Inside, Crosses);
    EXPECT_EQ(Inside, C.Inside) << C.X1 << " " << C.Y1 << " " << C.X2 << " " << C.Y2;
    EXPECT_EQ(Crosses, C.Crosses) << C.X1 << " " << C.Y1 << " " << C.X2 << " " << C.Y2;
  }
}

// Whether ClipLine leaves the segment visible, and its ends X1, Y1, X2, Y2.
struct TClippedLine {
  bool Visible = false;
  std::vector<std::int32_t> Ends;
  bool operator==(const TClippedLine&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TClippedLine& L) {
  Out << (L.Visible ? "visible" : "hidden");
  for (std::int32_t V : L.Ends) Out << " " << V;
  return Out;
}

TClippedLine Clipped(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2) {
  TClippedLine L;
  std::int32_t OX1 = 0, OY1 = 0, OX2 = 0, OY2 = 0;
  ClipLine(kRect, X1, Y1, X2, Y2, OX1, OY1, OX2, OY2, L.Visible);
  L.Ends = {OX1, OY1, OX2, OY2};
  return L;
}

TEST(AnalIntClipLine, VerticalSegmentComesBackExchanged) {
  EXPECT_EQ(Clipped(5, -20, 5, 20), (TClippedLine{true, {5, 10, 5, 0}}));
}

TEST(AnalIntClipLine, InsideRejectedAndDiagonal) {
  EXPECT_EQ(Clipped(2, 3, 7, 8), (TClippedLine{true, {2, 3, 7, 8}}));
  EXPECT_EQ(Clipped(-5, 5, -1, 7), (TClippedLine{false, {-5, 5, -1, 7}}));
  EXPECT_EQ(Clipped(-10, -10, 20, 20), (TClippedLine{true, {10, 10, 0, 0}}));
  // Passes the corner region without entering.
  EXPECT_FALSE(Clipped(-5, 4, 4, -5).Visible);
}

TEST(AnalIntClipLine, SteepSegmentsAreCutAtTheBottomAndTheTop) {
  // Slope 2.5 through the bottom: X moves by (Bottom - Y) / m.
  EXPECT_EQ(Clipped(2, 5, 6, 15), (TClippedLine{true, {4, 10, 2, 5}}));
  // Slope -5 through the top.
  EXPECT_EQ(Clipped(2, 5, 4, -5), (TClippedLine{true, {3, 0, 2, 5}}));
}

TEST(AnalIntClipLine, EveryVisibleResultLiesInsideTheRectangle) {
  std::mt19937 Random(99);
  std::uniform_int_distribution<int> Near(-40, 50), Size(0, 12);
  std::uniform_int_distribution<int> Far(-2147483647, 2147483647);
  for (int I = 0; I < 200000; ++I) {
    const TDeviceRect R{0, 0, Size(Random), Size(Random)};
    const bool Huge = I % 4 == 0;
    const int A = Huge ? Far(Random) : Near(Random), B = Near(Random);
    const int C = Near(Random), D = Huge ? Far(Random) : Near(Random);
    std::int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool Visible = false;
    ClipLine(R, A, B, C, D, X1, Y1, X2, Y2, Visible);
    bool Inside = false, Crosses = false;
    ClipTest(R, A, B, C, D, Inside, Crosses);
    if (!Inside && !Crosses) {
      ASSERT_FALSE(Visible);
    }
    if (Visible) {
      ASSERT_EQ(Outcode(R, X1, Y1), 0) << A << " " << B << " " << C << " " << D;
      ASSERT_EQ(Outcode(R, X2, Y2), 0) << A << " " << B << " " << C << " " << D;
    }
  }
}

TEST(AnalIntSegmentIntersection, DiagonalsOfASquareMeetInItsCentre) {
  double X = 0, Y = 0;
  bool NoPoint = true, OnFirst = false, OnSecond = false;
  SegmentIntersection(X, Y, NoPoint, 0, 0, 10, 10, 0, 10, 10, 0, OnFirst, OnSecond);
  EXPECT_FALSE(NoPoint);
  EXPECT_DOUBLE_EQ(X, 5);
  EXPECT_DOUBLE_EQ(Y, 5);
  EXPECT_TRUE(OnFirst);
  EXPECT_TRUE(OnSecond);
}

TEST(AnalIntSegmentIntersection, EndPointsAndMisses) {
  double X = 0, Y = 0;
  bool NoPoint = true, OnFirst = false, OnSecond = false;
  SegmentIntersection(X, Y, NoPoint, 0, 0, 4, 2, 4, 2, 7, -3, OnFirst, OnSecond);
  EXPECT_FALSE(NoPoint);
  EXPECT_DOUBLE_EQ(X, 4);
  EXPECT_DOUBLE_EQ(Y, 2);
  EXPECT_TRUE(OnFirst);
  EXPECT_TRUE(OnSecond);

  // The lines meet at (5, 5), beyond the second segment.
  SegmentIntersection(X, Y, NoPoint, 0, 0, 10, 10, 0, 10, 2, 8, OnFirst, OnSecond);
  EXPECT_FALSE(NoPoint);
  EXPECT_DOUBLE_EQ(X, 5);
  EXPECT_DOUBLE_EQ(Y, 5);
  EXPECT_TRUE(OnFirst);
  EXPECT_FALSE(OnSecond);

  // One horizontal segment.
  SegmentIntersection(X, Y, NoPoint, 100, 7, 110, 7, 104, 0, 104, 20, OnFirst, OnSecond);
  EXPECT_FALSE(NoPoint);
  EXPECT_DOUBLE_EQ(X, 104);
  EXPECT_DOUBLE_EQ(Y, 7);
  EXPECT_TRUE(OnFirst);
  EXPECT_TRUE(OnSecond);

  // A vertical first segment is judged by its Y extent: the lines meet above it.
  SegmentIntersection(X, Y, NoPoint, 0, 0, 0, 10, -5, 20, 5, 20, OnFirst, OnSecond);
  EXPECT_FALSE(NoPoint);
  EXPECT_DOUBLE_EQ(X, 0);
  EXPECT_DOUBLE_EQ(Y, 20);
  EXPECT_FALSE(OnFirst);
  EXPECT_TRUE(OnSecond);
}

TEST(AnalIntSegmentIntersection, HorizontalOrParallelSegmentsGiveNoPoint) {
  double X = -1, Y = -1;
  bool NoPoint = false, OnFirst = true, OnSecond = true;
  SegmentIntersection(X, Y, NoPoint, 3, 1, 9, 1, 0, 4, 5, 4, OnFirst, OnSecond);
  EXPECT_TRUE(NoPoint);
  EXPECT_FALSE(OnFirst);
  EXPECT_FALSE(OnSecond);
  EXPECT_EQ(X, 3);
  EXPECT_EQ(Y, 1);
  SegmentIntersection(X, Y, NoPoint, 0, 0, 1, 1, 0, 1, 1, 2, OnFirst, OnSecond);
  EXPECT_TRUE(NoPoint);
  EXPECT_FALSE(OnFirst);
  EXPECT_FALSE(OnSecond);
}

TEST(AnalIntLineIntersection, SteepSlopesAndFarPoints) {
  double X = 0, Y = 0;
  bool NoPoint = false;
  LineIntersection(X, Y, NoPoint, 1, 0, -1, 4);
  EXPECT_FALSE(NoPoint);
  EXPECT_DOUBLE_EQ(X, 2);
  EXPECT_DOUBLE_EQ(Y, 2);
  LineIntersection(X, Y, NoPoint, 2e17, 0, 0, 1);
  EXPECT_TRUE(NoPoint);
  EXPECT_EQ(X, 0);
  EXPECT_EQ(Y, 0);
  // Nearly parallel: the point would lie beyond 1e20.
  LineIntersection(X, Y, NoPoint, 1, 0, 1 + 1e-15, 1e6);
  EXPECT_TRUE(NoPoint);
  // Offsets close enough, but X = (M1 * C2 - M2 * C1) / d would be 1e21.
  LineIntersection(X, Y, NoPoint, 1e10, 0, 1e10 - 1, 1e11);
  EXPECT_TRUE(NoPoint);
}

TEST(AnalIntPointInPolygon, SquareAndDegenerateOutlines) {
  EXPECT_TRUE(PointInPolygon(kSquare, {5, 5}));
  EXPECT_FALSE(PointInPolygon(kSquare, {15, 5}));
  EXPECT_FALSE(PointInPolygon(kSquare, {-5, 5}));
  EXPECT_FALSE(PointInPolygon(std::vector<TRealPoint>{{0, 0}, {10, 10}}, {5, 5}));
  EXPECT_FALSE(PointInPolygon(std::vector<TRealPoint>{}, {5, 5}));
  // All vertices on the ray's line.
  EXPECT_FALSE(PointInPolygon(std::vector<TRealPoint>{{0, 5}, {10, 5}, {20, 5}}, {5, 5}));
}

TEST(AnalIntPointInPolygon, ATouchingVertexOnTheRayCountsNothing) {
  // The ray from (2, 5) passes the lowest vertex (5, 5) of the triangle.
  const std::vector<TRealPoint> Triangle{{5, 5}, {8, 9}, {2, 9}};
  EXPECT_FALSE(PointInPolygon(Triangle, {2, 5}));
  // A vertex on the ray where the outline really crosses counts once.
  const std::vector<TRealPoint> Diamond{{5, 0}, {10, 5}, {5, 10}, {0, 5}};
  EXPECT_TRUE(PointInPolygon(Diamond, {5, 5}));
  EXPECT_TRUE(PointInPolygon(Diamond, {2, 5}));
  EXPECT_FALSE(PointInPolygon(Diamond, {-2, 5}));
  EXPECT_FALSE(PointInPolygon(Diamond, {2, 0}));
}

TEST(AnalIntPointInPolygon, AVertexOnTheLineLeftOfThePointDoesNotSwallowALaterCrossing) {
  // The outline reaches the ray's line at (-1, 0), left of the point, and
  // leaves it by an edge wholly left of the point; the crossing at x = 5
  // still counts.
  const std::vector<TRealPoint> Shape{{1, 1}, {-1, 0}, {-2, -1}, {5, -1}, {5, 1}};
  EXPECT_TRUE(PointInPolygon(Shape, {0, 0}));
  EXPECT_FALSE(PointInPolygon(Shape, {6, 0}));
}

TEST(AnalIntPointInPolygon, SameAnswerWhicheverVertexTheOutlineStartsAt) {
  const std::vector<std::vector<TRealPoint>> Outlines{
      {{5, 0}, {10, 5}, {5, 10}, {0, 5}},
      {{0, 0}, {10, 0}, {10, 6}, {7, 6}, {7, 3}, {5, 3}, {5, 6}, {3, 6}, {3, 3}, {1, 3}, {1, 6}, {0, 6}},
      {{0, 3}, {2, 3}, {3, 0}, {5, 3}, {8, 3}, {8, 6}, {5, 6}, {4, 9}, {2, 6}, {0, 6}},
      {{0, 0}, {2, 4}, {4, 0}, {6, 4}, {8, 0}, {8, 8}, {6, 4}, {4, 8}, {2, 4}, {0, 8}},
  };
  for (std::size_t O = 0; O < Outlines.size(); ++O) {
    const auto& Base = Outlines[O];
    for (int PY = -1; PY <= 10; ++PY) {
      for (int PX = -1; PX <= 11; ++PX) {
        const TRealPoint P{double(PX), double(PY)};
        const bool First = PointInPolygon(Base, P);
        if (!OnOutline(Base, P)) {
          ASSERT_EQ(First, ReferenceInside(Base, P)) << O << " (" << PX << "," << PY << ")";
        }
        for (std::size_t By = 1; By < Base.size(); ++By)
          ASSERT_EQ(PointInPolygon(Rotated(Base, By), P), First)
              << O << " from vertex " << By << " (" << PX << "," << PY << ")";
      }
    }
  }
}

// Count and the two X values a crossing counter reports.
struct TCrossings {
  std::int32_t Count = 0;
  double First = 0;
  double Second = 0;
  bool operator==(const TCrossings&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TCrossings& C) {
  return Out << C.Count << " crossings, " << C.First << " and " << C.Second;
}

TCrossings EachSide(std::span<const TRealPoint> E, double X0, double Y) {
  TCrossings C;
  HorizontalCrossings(E, C.First, C.Second, X0, Y, C.Count);
  return C;
}

TCrossings TwoNearest(std::span<const TRealPoint> E, double X0, double Y) {
  TCrossings C;
  HorizontalCrossingsTwoNearest(E, C.First, C.Second, X0, Y, C.Count);
  return C;
}

TEST(AnalIntHorizontalCrossings, NearestOnEachSide) {
  EXPECT_EQ(EachSide(kSquare, 5, 5), (TCrossings{2, 0, 10}));
  EXPECT_EQ(EachSide(kSquare, 5, 20), (TCrossings{0, 1e20, 1e20}));
  // A vertex at the line's height is met by both its edges.
  const std::vector<TRealPoint> Diamond{{5, 0}, {10, 5}, {5, 10}, {0, 5}};
  EXPECT_EQ(EachSide(Diamond, 4, 5), (TCrossings{4, 0, 10}));
  // Two crossings on each side: the nearest wins; an edge through (X0, Y)
  // counts once, on the right.
  const std::vector<TRealPoint> Arch{{0, 0}, {10, 0}, {10, 10}, {8, 10}, {8, 2}, {2, 2}, {2, 10}, {0, 10}};
  EXPECT_EQ(EachSide(Arch, 5, 5), (TCrossings{4, 2, 8}));
  EXPECT_EQ(EachSide(Arch, 8, 5), (TCrossings{4, 2, 8}));
}

TEST(AnalIntHorizontalCrossingsTwoNearest, TwoNearestTowardsPlusX) {
  const std::vector<TRealPoint> Comb{{0, 0}, {10, 0}, {10, 10}, {8, 10}, {8, 2}, {6, 2}, {6, 10}, {0, 10}};
  EXPECT_EQ(TwoNearest(Comb, -5, 5), (TCrossings{4, 0, 6}));
  EXPECT_EQ(TwoNearest(Comb, 7, 5), (TCrossings{2, 8, 10}));
  EXPECT_EQ(TwoNearest(Comb, 11, 5), (TCrossings{0, 1e20, 1e20}));
}

TEST(AnalIntHorizontalCrossingsTwoNearest, RunsOnTheLineAndStartingVertex) {
  // The line Y = 3 runs along two edges of the outline, which starts on it.
  const std::vector<TRealPoint> Shape{{0, 3}, {2, 3}, {3, 0}, {5, 3}, {8, 3}, {8, 6}, {5, 6}, {4, 9}, {2, 6}, {0, 6}};
  for (std::size_t By = 0; By < Shape.size(); ++By)
    EXPECT_EQ(TwoNearest(Rotated(Shape, By), -1, 3), (TCrossings{2, 2, 8})) << By;
}

}  // namespace
