#include "cartography/symbols/parallel.h"

#include <geos_c.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "spatial/geometry/geometry_elements.h"
#include "tests/cartography/symbols/symbol_fixture.h"

namespace {

using Points = std::vector<std::pair<double, double>>;

class ParallelTest : public SymbolTest {
 protected:
  // The parallel DoIt builds, as "M x y" texts.
  std::vector<std::string> Run(std::uint8_t side, double tolerance, double distance, const Points& line) {
    TEntity input;
    for (const auto& [x, y] : line) {
      auto* point = new T2DCoordinate;
      point->SetX(x);
      point->SetY(y);
      input.AddElement(point);
    }
    TParalel tool;
    tool.Setup(side, tolerance, distance);
    tool.SetInput(&input);
    tool.DoIt();
    std::unique_ptr<TElement> output(tool.Output());
    std::vector<std::string> points;
    for (TElement* child : DynamicCast<TEntity>(output.get())->Children()) {
      const auto* point = DynamicCast<TCoordinate>(child);
      points.push_back(Op('M', point->GetX(), point->GetY()));
    }
    return points;
  }
};

TEST_F(ParallelTest, OffsetsEachVertexOnTheAskedSide) {
  struct Row {
    const char* name;
    std::uint8_t side;
    double tolerance;
    Points line;
    std::vector<std::string> expected;
  };
  const Points leftTurn = {{0, 0}, {10, 0}, {10, 10}};
  const Points rightTurn = {{0, 0}, {10, 0}, {10, -10}};
  const Row rows[] = {
      {"no vertex", 1, 0, {}, {}},
      {"one vertex", 1, 0, {{3, 4}}, {}},
      {"two vertices, left", 1, 0, {{0, 0}, {10, 0}}, {"M 0.000 1.000", "M 10.000 1.000"}},
      {"two vertices, right", 0, 0, {{0, 0}, {10, 0}}, {"M 0.000 -1.000", "M 10.000 -1.000"}},
      {"straight on, left", 1, 0, {{0, 0}, {5, 0}, {10, 0}}, {"M 0.000 1.000", "M 5.000 1.000", "M 10.000 1.000"}},
      {"straight on, right", 0, 0, {{0, 0}, {5, 0}, {10, 0}},
       {"M 0.000 -1.000", "M 5.000 -1.000", "M 10.000 -1.000"}},
      {"inner corner on the left lies inside it", 1, 0, leftTurn,
       {"M 0.000 1.000", "M 9.000 1.000", "M 9.000 10.000"}},
      {"outer corner on the right is mitred outside it", 0, 0, leftTurn,
       {"M 0.000 -1.000", "M 11.000 -1.000", "M 11.000 10.000"}},
      {"inner corner on the right lies inside it", 0, 0, rightTurn,
       {"M 0.000 -1.000", "M 9.000 -1.000", "M 9.000 -10.000"}},
      {"outer corner on the left is mitred outside it", 1, 0, rightTurn,
       {"M 0.000 1.000", "M 11.000 1.000", "M 11.000 -10.000"}},
      {"doubling back: the normal of the first segment", 1, 0, {{0, 0}, {10, 0}, {5, 0}},
       {"M 0.000 1.000", "M 10.000 1.000", "M 5.000 -1.000"}},
      {"doubling back on the right: the normal of the first segment too", 0, 0, {{0, 0}, {10, 0}, {5, 0}},
       {"M 0.000 -1.000", "M 10.000 -1.000", "M 5.000 1.000"}},
      {"arc of tolerance 50: its two ends, in line order", 1, 50, rightTurn,
       {"M 0.000 1.000", "M 10.000 1.000", "M 11.000 0.000", "M 11.000 -10.000"}},
      {"arc of tolerance 10: one point between", 1, 10, rightTurn,
       {"M 0.000 1.000", "M 10.000 1.000", "M 10.707 0.707", "M 11.000 0.000", "M 11.000 -10.000"}},
      {"tolerance 150 is 99", 1, 150, rightTurn,
       {"M 0.000 1.000", "M 10.000 1.000", "M 11.000 0.000", "M 11.000 -10.000"}},
      {"negative tolerance is 0", 1, -5, rightTurn, {"M 0.000 1.000", "M 11.000 1.000", "M 11.000 -10.000"}},
      // The line turns by atan(1/10) at (10, 0): the outer bisector stands
      // half of that off the normal, at (10 + sin 0.0498, cos 0.0498).
      {"a turn too small for the arc: one point on the outer bisector", 1, 99, {{0, 0}, {10, 0}, {20, -1}},
       {"M 0.000 1.000", "M 10.050 0.999", "M 20.100 -0.005"}},
      {"the same at tolerance 50", 1, 50, {{0, 0}, {10, 0}, {20, -1}},
       {"M 0.000 1.000", "M 10.050 0.999", "M 20.100 -0.005"}},
      {"the same mirrored, on the right", 0, 50, {{0, 0}, {10, 0}, {20, 1}},
       {"M 0.000 -1.000", "M 10.050 -0.999", "M 20.100 0.005"}},
      {"a repeated vertex keeps the side", 1, 0, {{0, 0}, {5, 0}, {5, 0}, {10, 0}},
       {"M 0.000 1.000", "M 5.000 1.000", "M 10.000 1.000"}},
      {"a repeated corner is one corner", 0, 0, {{0, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 10}},
       {"M 0.000 -1.000", "M 11.000 -1.000", "M 11.000 10.000"}},
      {"repeated first and last vertices", 1, 0, {{0, 0}, {0, 0}, {10, 0}, {10, 0}},
       {"M 0.000 1.000", "M 10.000 1.000"}},
      {"one vertex repeated: nothing", 1, 0, {{3, 4}, {3, 4}, {3, 4}}, {}},
  };
  for (const Row& row : rows) EXPECT_EQ(Run(row.side, row.tolerance, 1, row.line), row.expected) << row.name;
}

// GEOS's own offset curve with mitred joins.
std::vector<std::pair<double, double>> GeosOffset(GEOSContextHandle_t geos, const Points& line, double distance) {
  GEOSCoordSequence* sequence = GEOSCoordSeq_create_r(geos, static_cast<unsigned>(line.size()), 2);
  for (unsigned i = 0; i < line.size(); ++i) GEOSCoordSeq_setXY_r(geos, sequence, i, line[i].first, line[i].second);
  GEOSGeometry* input = GEOSGeom_createLineString_r(geos, sequence);
  GEOSGeometry* offset = GEOSOffsetCurve_r(geos, input, distance, 8, GEOSBUF_JOIN_MITRE, 1000);
  std::vector<std::pair<double, double>> points;
  if (offset && GEOSGeomTypeId_r(geos, offset) == GEOS_LINESTRING) {
    const GEOSCoordSequence* out = GEOSGeom_getCoordSeq_r(geos, offset);
    unsigned size = 0;
    GEOSCoordSeq_getSize_r(geos, out, &size);
    for (unsigned i = 0; i < size; ++i) {
      double x = 0, y = 0;
      GEOSCoordSeq_getXY_r(geos, out, i, &x, &y);
      points.emplace_back(x, y);
    }
  }
  if (offset) GEOSGeom_destroy_r(geos, offset);
  GEOSGeom_destroy_r(geos, input);
  return points;
}

TEST_F(ParallelTest, MitresAsGeosDoesOnRandomPolylines) {
  GEOSContextHandle_t geos = GEOS_init_r();
  std::mt19937 random(20261207);
  std::uniform_real_distribution<double> step(50, 100), rise(-150, 150);
  int compared = 0;
  for (int line = 0; line < 100; ++line) {
    // Left to right, so that it never crosses itself; every vertex turns by
    // 5 degrees or more and none doubles back.
    Points points = {{0, 0}};
    while (points.size() < 8) {
      const std::pair<double, double> next = {points.back().first + step(random), points.back().second + rise(random)};
      if (points.size() >= 2) {
        const auto& [x0, y0] = points[points.size() - 2];
        const auto& [x1, y1] = points.back();
        const double turn = std::remainder(std::atan2(next.second - y1, next.first - x1) - std::atan2(y1 - y0, x1 - x0),
                                           2 * M_PI);
        if (std::fabs(turn) < 5 * M_PI / 180) continue;
      }
      points.push_back(next);
    }
    for (std::uint8_t side : {1, 0}) {
      TParalel tool;
      tool.Setup(side, 0, 1);
      std::vector<TRealPoint> ours;
      {
        std::vector<TRealPoint> input;
        for (const auto& [x, y] : points) input.push_back({x, y});
        ours = tool.Parallel(input);
      }
      auto theirs = GeosOffset(geos, points, side == 1 ? 1 : -1);
      // Older GEOS gives the right-hand curve backwards.
      if (!theirs.empty() && std::hypot(theirs.front().first - ours.front().X,
                                        theirs.front().second - ours.front().Y) > 1e-6)
        std::reverse(theirs.begin(), theirs.end());
      ASSERT_EQ(theirs.size(), ours.size()) << "line " << line << " side " << int(side);
      for (std::size_t i = 0; i < ours.size(); ++i) {
        EXPECT_NEAR(ours[i].X, theirs[i].first, 1e-6) << "line " << line << " side " << int(side) << " point " << i;
        EXPECT_NEAR(ours[i].Y, theirs[i].second, 1e-6) << "line " << line << " side " << int(side) << " point " << i;
      }
      ++compared;
    }
  }
  EXPECT_EQ(compared, 200);
  GEOS_finish_r(geos);
}

}  // namespace
