#include "spatial/geometry/intersections.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <tuple>
#include <vector>

namespace {

using namespace AnalInt;
using Outline = std::vector<TRealPoint>;

const TDeviceRect kRect{0, 0, 10, 10};
const Outline kDiamond{{5, 0}, {10, 5}, {5, 10}, {0, 5}};

Outline Rotated(const Outline& E, std::size_t By) {
  Outline R(E);
  std::rotate(R.begin(), R.begin() + static_cast<std::ptrdiff_t>(By), R.end());
  return R;
}

// Half-open crossing rule, exact for small integer outlines and points off the outline.
bool ReferenceInside(const Outline& E, const TRealPoint& P) {
  bool Inside = false;
  for (std::size_t I = 0, J = E.size() - 1; I < E.size(); J = I++) {
    const TRealPoint &A = E[J], &B = E[I];
    if ((A.Y > P.Y) != (B.Y > P.Y) && P.X < A.X + (P.Y - A.Y) * (B.X - A.X) / (B.Y - A.Y)) Inside = !Inside;
  }
  return Inside;
}

bool OnOutline(const Outline& E, const TRealPoint& P) {
  for (std::size_t I = 0, J = E.size() - 1; I < E.size(); J = I++) {
    const TRealPoint &A = E[J], &B = E[I];
    if ((B.X - A.X) * (P.Y - A.Y) == (B.Y - A.Y) * (P.X - A.X) && P.X >= std::min(A.X, B.X) &&
        P.X <= std::max(A.X, B.X) && P.Y >= std::min(A.Y, B.Y) && P.Y <= std::max(A.Y, B.Y))
      return true;
  }
  return false;
}

TEST(Intersections, RoundClampedKeepsTheThirtyTwoBitRangeAndRoundsHalvesToEven) {
  const std::pair<double, std::int32_t> cases[] = {
      {3e9, 2147483647}, {-3e9, -2147483647}, {-2147483648.0, -2147483647}, {-INFINITY, -2147483647}, {2.5, 2},
      {3.5, 4},          {-2.6, -3}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(RoundClamped(value), expected) << value;
}

TEST(Intersections, ClipLineCutsAtTheSidesAndHandsBackTheEnds) {
  using Segment = std::array<std::int32_t, 4>;
  const std::tuple<const char*, Segment, bool, Segment> cases[] = {
      {"vertical, exchanged", {5, -20, 5, 20}, true, {5, 10, 5, 0}},
      {"steep through the bottom", {2, 5, 6, 15}, true, {4, 10, 2, 5}},
      {"steep through the top", {2, 5, 4, -5}, true, {3, 0, 2, 5}},
      {"past the corner region without entering", {-5, 4, 4, -5}, false, {}},
  };
  for (const auto& [name, in, visible, out] : cases) {
    Segment result{};
    bool Visible = !visible;
    ClipLine(kRect, in[0], in[1], in[2], in[3], result[0], result[1], result[2], result[3], Visible);
    EXPECT_EQ(Visible, visible) << name;
    if (Visible) {
      EXPECT_EQ(result, out) << name;
    }
  }
}

TEST(Intersections, EveryVisibleClipResultLiesInsideTheRectangle) {
  std::mt19937 Random(99);
  std::uniform_int_distribution<int> Near(-40, 50), Size(0, 12), Far(-2147483647, 2147483647);
  for (int I = 0; I < 200000; ++I) {
    const TDeviceRect R{0, 0, Size(Random), Size(Random)};
    const bool Huge = I % 4 == 0;
    const int A = Huge ? Far(Random) : Near(Random), B = Near(Random), C = Near(Random);
    const int D = Huge ? Far(Random) : Near(Random);
    std::int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool Visible = false, Inside = false, Crosses = false;
    ClipLine(R, A, B, C, D, X1, Y1, X2, Y2, Visible);
    ClipTest(R, A, B, C, D, Inside, Crosses);
    if (!Inside && !Crosses) {
      ASSERT_FALSE(Visible);
    }
    if (Visible) {
      ASSERT_EQ(Outcode(R, X1, Y1) | Outcode(R, X2, Y2), 0) << A << " " << B << " " << C << " " << D;
    }
  }
}

// A segment of the rectangle (0, 0)-(10, 10) lies inside it, may cross it,
// or lies wholly beyond one of its sides.
TEST(Intersections, ASegmentIsInsideMayCrossOrLiesBeyondASide) {
  const TDeviceRect R{0, 0, 10, 10};
  const struct {
    const char* name;
    std::int32_t x1, y1, x2, y2;
    bool inside, crosses;
  } rows[] = {
      {"inside", 1, 1, 9, 9, true, false},
      {"on the edges", 0, 0, 10, 10, true, false},
      {"one end outside", 5, 5, 15, 5, false, true},
      {"beyond opposite sides", -5, 5, 15, 5, false, true},
      {"beyond the right side", 11, 0, 12, 10, false, false},
      {"beyond the bottom", 0, 11, 10, 12, false, false},
  };
  for (const auto& row : rows) {
    bool inside = false, crosses = false;
    ClipTest(R, row.x1, row.y1, row.x2, row.y2, inside, crosses);
    EXPECT_EQ(std::pair(inside, crosses), std::pair(row.inside, row.crosses)) << row.name;
  }
}

TEST(Intersections, SegmentIntersectionReportsThePointAndWhetherItLiesOnEach) {
  const struct {
    const char* name;
    std::array<double, 8> s;
    bool noPoint;
    double x, y;
    bool onFirst, onSecond;
  } cases[] = {
      {"shared end", {0, 0, 4, 2, 4, 2, 7, -3}, false, 4, 2, true, true},
      {"vertical first judged by Y", {0, 0, 0, 10, -5, 20, 5, 20}, false, 0, 20, false, true},
      {"two horizontals", {3, 1, 9, 1, 0, 4, 5, 4}, true, 3, 1, false, false},
  };
  for (const auto& c : cases) {
    double X = -1, Y = -1;
    bool NoPoint = !c.noPoint, OnFirst = !c.onFirst, OnSecond = !c.onSecond;
    const auto& s = c.s;
    SegmentIntersection(X, Y, NoPoint, s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7], OnFirst, OnSecond);
    EXPECT_EQ(std::tuple(NoPoint, OnFirst, OnSecond), std::tuple(c.noPoint, c.onFirst, c.onSecond)) << c.name;
    if (!c.noPoint || c.x != 0) {
      EXPECT_DOUBLE_EQ(X, c.x) << c.name;
      EXPECT_DOUBLE_EQ(Y, c.y) << c.name;
    }
  }
  const struct {
    double m1, c1, m2, c2;
    bool noPoint;
    double x, y;  // 7: left as it was
  } lines[] = {{1, 0, -1, 4, false, 2, 2},
               {2e17, 0, 0, 1, true, 0, 0},
               {1, 0, 1 + 1e-15, 1e6, true, 7, 7},      // nearly parallel: beyond 1e20
               {1e10, 0, 1e10 - 1, 1e11, true, 7, 7}};  // X = (M1 * C2 - M2 * C1) / d would be 1e21
  for (const auto& l : lines) {
    double X = 7, Y = 7;
    bool NoPoint = !l.noPoint;
    LineIntersection(X, Y, NoPoint, l.m1, l.c1, l.m2, l.c2);
    EXPECT_EQ(NoPoint, l.noPoint) << l.m1 << " " << l.m2;
    EXPECT_EQ(std::pair(X, Y), std::pair(l.x, l.y)) << l.m1;
  }
}

TEST(Intersections, PointInPolygonOnSpecialOutlines) {
  const std::tuple<const char*, Outline, TRealPoint, bool> cases[] = {
      {"two vertices", {{0, 0}, {10, 10}}, {5, 5}, false},
      {"no vertices", {}, {5, 5}, false},
      {"all on the ray's line", {{0, 5}, {10, 5}, {20, 5}}, {5, 5}, false},
      {"touching vertex on the ray", {{5, 5}, {8, 9}, {2, 9}}, {2, 5}, false},
      // The outline reaches the ray's line at (-1, 0), left of the point, and leaves it by an
      // edge wholly left of it; the crossing at x = 5 still counts.
      {"run left of the point", {{1, 1}, {-1, 0}, {-2, -1}, {5, -1}, {5, 1}}, {0, 0}, true},
      {"run left, point outside", {{1, 1}, {-1, 0}, {-2, -1}, {5, -1}, {5, 1}}, {6, 0}, false},
  };
  for (const auto& [name, outline, point, inside] : cases) EXPECT_EQ(PointInPolygon(outline, point), inside) << name;
}

TEST(Intersections, PointInPolygonGivesTheSameAnswerWhicheverVertexTheOutlineStartsAt) {
  const std::vector<Outline> Outlines{
      kDiamond,
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
              << O << " from " << By << " (" << PX << "," << PY << ")";
      }
    }
  }
}

// The line Y = 3 runs along two edges of the outline, which starts on it; wherever it starts, the
// two nearest crossings are the same.
TEST(Intersections, HorizontalCrossingsWhicheverVertexTheOutlineStartsAt) {
  const Outline Shape{{0, 3}, {2, 3}, {3, 0}, {5, 3}, {8, 3}, {8, 6}, {5, 6}, {4, 9}, {2, 6}, {0, 6}};
  for (std::size_t By = 0; By < Shape.size(); ++By) {
    const Outline E = Rotated(Shape, By);
    std::tuple<std::int32_t, double, double> C;
    HorizontalCrossingsTwoNearest(E, std::get<1>(C), std::get<2>(C), -1, 3, std::get<0>(C));
    EXPECT_EQ(C, std::tuple(2, 2.0, 8.0)) << By;
  }
  std::tuple<std::int32_t, double, double> C;
  HorizontalCrossings(kDiamond, std::get<1>(C), std::get<2>(C), 4, 5, std::get<0>(C));
  EXPECT_EQ(C, std::tuple(4, 0.0, 10.0));  // a vertex at the line's height: both edges
}

}  // namespace

namespace {

// The answer of PointInPolygon on each ring, one point at a time.
std::vector<std::uint8_t> OneByOne(const std::vector<Outline>& Rings, const Outline& Points) {
  std::vector<std::uint8_t> Inside;
  for (const TRealPoint& P : Points)
    Inside.push_back(std::any_of(Rings.begin(), Rings.end(), [&P](const Outline& E) { return PointInPolygon(E, P); }));
  return Inside;
}

// The same answers through an index of each ring.
std::vector<std::uint8_t> ThroughRingIndexes(const std::vector<Outline>& Rings, const Outline& Points) {
  std::vector<TRingIndex> Indexes;
  for (const Outline& Ring : Rings) Indexes.emplace_back(Ring);
  std::vector<std::uint8_t> Inside;
  for (const TRealPoint& P : Points)
    Inside.push_back(std::any_of(Indexes.begin(), Indexes.end(), [&P](const TRingIndex& E) { return E.Contains(P); }));
  return Inside;
}

// Every point of the integer grid from Lo to Hi, halves between them too.
Outline GridPoints(double Lo, double Hi) {
  Outline Points;
  for (double Y = Lo; Y <= Hi; Y += 0.5)
    for (double X = Lo; X <= Hi; X += 0.5) Points.push_back({X, Y});
  return Points;
}

}  // namespace

// Runs along the ray's line entered and left either way, vertices on it, repeated vertices,
// rings too short or flat to hold anything, and rings that are no number in places: all points
// tested together give what each gives alone.
TEST(Intersections, PointsTestedTogetherAnswerAsEachAlone) {
  const double NaN = std::nan("");
  const double Inf = INFINITY;
  const std::tuple<const char*, std::vector<Outline>> cases[] = {
      {"diamond", {kDiamond}},
      {"comb with runs on the teeth",
       {{{0, 0}, {10, 0}, {10, 6}, {7, 6}, {7, 3}, {5, 3}, {5, 6}, {3, 6}, {3, 3}, {1, 3}, {1, 6}, {0, 6}}}},
      {"runs entered from above and below", {{{0, 3}, {2, 3}, {3, 0}, {5, 3}, {8, 3}, {8, 6}, {5, 6}, {4, 9}, {2, 6}, {0, 6}}}},
      {"zigzag", {{{0, 0}, {2, 4}, {4, 0}, {6, 4}, {8, 0}, {8, 8}, {6, 4}, {4, 8}, {2, 4}, {0, 8}}}},
      {"repeated vertices", {{{0, 0}, {0, 0}, {0, 6}, {0, 6}, {6, 6}, {6, 0}, {6, 0}}}},
      {"starting inside a run", {{{2, 2}, {4, 2}, {4, 6}, {0, 6}, {0, 2}}}},
      {"two vertices", {{{0, 0}, {10, 10}}}},
      {"flat", {{{0, 5}, {10, 5}, {20, 5}}}},
      {"overlapping rings", {kDiamond, {{3, 3}, {3, 12}, {12, 12}, {12, 3}}}},
      {"a ring within a ring", {{{0, 0}, {0, 10}, {10, 10}, {10, 0}}, {{2, 2}, {2, 4}, {4, 4}, {4, 2}}}},
      {"no number on a vertex", {{{0, 0}, {0, 6}, {NaN, 3}, {6, 6}, {6, 0}}}},
      {"no number as a height", {{{0, 0}, {0, 6}, {3, NaN}, {6, 6}, {6, 0}}}},
      {"infinite side", {{{0, 0}, {0, 6}, {Inf, 6}, {Inf, 0}}}},
      {"no rings", {}},
  };
  Outline Points = GridPoints(-1, 11);
  Points.insert(Points.end(), {{NaN, 3}, {3, NaN}, {Inf, 3}, {3, -Inf}, {-Inf, 3}});
  for (const auto& [name, rings] : cases) {
    const std::vector<std::uint8_t> Together = PointsInAnyPolygon(rings, Points);
    const std::vector<std::uint8_t> Alone = OneByOne(rings, Points);
    const std::vector<std::uint8_t> Indexed = ThroughRingIndexes(rings, Points);
    ASSERT_EQ(Together.size(), Points.size()) << name;
    for (std::size_t I = 0; I < Points.size(); ++I) {
      EXPECT_EQ(Together[I], Alone[I]) << name << " (" << Points[I].X << "," << Points[I].Y << ")";
      EXPECT_EQ(Indexed[I], Alone[I]) << name << ", indexed (" << Points[I].X << "," << Points[I].Y << ")";
    }
  }
}

// Random rings on a coarse grid are full of vertices on the rays' lines and edges through the points.
TEST(Intersections, PointsTestedTogetherAnswerAsEachAloneOnRandomRings) {
  for (const unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> coordinate(0, 6);
    std::uniform_int_distribution<int> size(3, 12);
    std::vector<Outline> Rings(1 + seed % 3);
    for (Outline& Ring : Rings)
      for (int K = size(random); K > 0; --K) Ring.push_back({double(coordinate(random)), double(coordinate(random))});
    const Outline Points = GridPoints(-1, 7);
    ASSERT_EQ(PointsInAnyPolygon(Rings, Points), OneByOne(Rings, Points)) << "seed " << seed;
    ASSERT_EQ(ThroughRingIndexes(Rings, Points), OneByOne(Rings, Points)) << "seed " << seed;
  }
}

// A long ring on a coarse grid: many edges at each height, runs along the
// rays' lines, edges through the points; the index leads each test to the
// edges of its height among them all.
TEST(Intersections, ARingIndexAnswersAsEachPointAloneOnLongRandomRings) {
  for (const auto& [seed, count] : {std::pair{11u, 64}, {12u, 257}, {13u, 1000}}) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> coordinate(0, 20);
    std::vector<Outline> Ring(1);
    for (int K = 0; K < count; ++K) Ring[0].push_back({double(coordinate(random)), double(coordinate(random))});
    const Outline Points = GridPoints(-1, 21);
    const std::vector<std::uint8_t> Alone = OneByOne(Ring, Points);
    ASSERT_EQ(ThroughRingIndexes(Ring, Points), Alone) << count << " vertices";
    // Some points in and some out, or the ring proves little.
    EXPECT_NE(std::count(Alone.begin(), Alone.end(), 1), 0) << count << " vertices";
    EXPECT_NE(std::count(Alone.begin(), Alone.end(), 0), 0) << count << " vertices";
  }
}
