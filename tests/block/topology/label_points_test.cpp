#include "block/topology/label_points.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"
#include "tests/block/topology/topology_fixture.h"

// Edge records in failure messages as their four fields.
void PrintTo(const TEdgeRecord& edge, std::ostream* out) {
  *out << "{top " << edge.TopY << ", x " << edge.X << ", rows " << edge.Count << ", step " << edge.Step << "}";
}

namespace {

class LabelPointsTest : public TopologyTest {
 protected:
  static std::unique_ptr<TAreaElement> Polygon(const Points& points) {
    auto area = std::make_unique<TAreaElement>();
    for (const auto& [x, y] : points) area->AddVertex(x, y);
    area->CalcBounds();
    return area;
  }
};

// A square with a notch cut up from the bottom right of its centre: the row
// through the centre meets the boundary at 0 and 5.05.
const Points kNotched{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {9, 0}, {9, 9}, {5.05, 9}, {5.05, 0}, {0, 0}};
const Points kSquare{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};

TEST_F(LabelPointsTest, TheCentreIsTakenUnlessItLiesWithinAHundredthOfItsSpanFromTheBoundary) {
  const struct {
    const char* name;
    Points outline;
    bool acceptCentre;
    double x, y;
  } rows[] = {
      {"a square: its centre", kSquare, false, 5, 5},
      {"a centre 0.05 from the boundary of a span of 5.05: the middle of the span", kNotched, false, 2.525, 5},
      {"a centre inside is taken as it is when accepted", kNotched, true, 5, 5},
  };
  for (const auto& row : rows) {
    std::unique_ptr<TAreaElement> area = Polygon(row.outline);
    TAreaPointPlacer placer;
    placer.AcceptCentre = row.acceptCentre;
    placer.SetInput(area.get());
    placer.DoIt();
    EXPECT_EQ(placer.Output(), area.get()) << row.name;
    EXPECT_NEAR(area->GetAbsRefX(), row.x, 1e-9) << row.name;
    EXPECT_NEAR(area->GetAbsRefY(), row.y, 1e-9) << row.name;
  }
}

}  // namespace

namespace {

// A U: arms from x0 to x1 and from x2 to x3, joined below y = 3.
Points U(double x0, double x1, double x2, double x3) {
  return {{x0, 0}, {x0, 10}, {x1, 10}, {x1, 3}, {x2, 3}, {x2, 10}, {x3, 10}, {x3, 0}, {x0, 0}};
}

// The U of arms 0-3 and 7-10 with its bottom drawn in more points than the
// device buffer takes.
Points HugeU() {
  Points points{{0, 0}, {0, 10}, {3, 10}, {3, 3}, {7, 3}, {7, 10}, {10, 10}};
  const int n = 320000;
  for (int i = 0; i <= n; ++i) points.emplace_back(10 - 10.0 * i / n, 0);
  return points;
}

TEST_F(LabelPointsTest, WhenTheCentreFailsTheMiddleOfTheWidestSpanOfTheMiddleRowHoldsTheLabel) {
  const double pixel = 10.0 / TAnalDevice::PageSide;
  const struct {
    const char* name;
    Points outline;
    Points hole;
    double x, y, tolerance;
    std::vector<std::string> log;
  } rows[] = {
      {"a U with the wider arm left", U(0, 4, 7, 10), {}, 2, 5, 2 * pixel, {}},
      {"a U with the wider arm right", U(0, 2, 6, 10), {}, 8, 5, 2 * pixel, {}},
      {"a centre in a hole: the first of two equal spans", kSquare, {{4, 4}, {4, 6}, {6, 6}, {6, 4}, {4, 4}}, 2, 5,
       2 * pixel, {}},
      {"an outline beyond the device buffer: from the centre to the middle of the two nearest crossings", HugeU(), {},
       8.5, 5, 1e-9, {}},
      {"an area of no inside: reported", {{0, 0}, {10, 0}, {0, 0}}, {}, 5, 0, 1e-9,
       {"Chyba umístění pop.bodu u plochy \r\n5 ; 0"}},
  };
  for (const auto& row : rows) {
    log.Lines.clear();
    std::unique_ptr<TAreaElement> area = Polygon(row.outline);
    if (!row.hole.empty()) area->AddHole(Polygon(row.hole).release());
    TAreaPointPlacer placer;
    placer.SetInput(area.get());
    placer.DoIt();
    EXPECT_NEAR(area->GetAbsRefX(), row.x, row.tolerance) << row.name;
    EXPECT_NEAR(area->GetAbsRefY(), row.y, row.tolerance) << row.name;
    EXPECT_EQ(LogLines(), row.log) << row.name;
  }
}

}  // namespace

namespace {

using Pixels = std::vector<TDevicePoint>;

// Edges of rings in pixels: a record per edge between points of different
// rows, highest top first and, among equal tops, in the order the rings and
// their edges come; an end where the ring goes on downwards is left one row
// short so that it counts once.
TEST_F(LabelPointsTest, TheEdgeTableHoldsOneRecordPerEdgeHighestTopFirstAndTiesInRingOrder) {
  const struct {
    const char* name;
    std::vector<Pixels> rings;
    std::vector<TEdgeRecord> edges;  // top Y, X at the top * 1000, rows, X step * 1000
    std::int32_t lowest;
  } rows[] = {
      {"a square: both sides have the same top",
       {{{0, 0}, {0, 10}, {10, 10}, {10, 0}}},
       {{10, 0, 11, 0}, {10, 10000, 11, 0}},
       0},
      {"a square, then a taller triangle: the triangle's edges go first",
       {{{0, 0}, {0, 10}, {10, 10}, {10, 0}}, {{2, 2}, {5, 20}, {8, 2}}},
       {{20, 5000, 19, 166}, {20, 5000, 19, -166}, {10, 0, 11, 0}, {10, 10000, 11, 0}},
       0},
      {"a side in two edges: the upper one stops a row short of the lower",
       {{{0, 0}, {0, 5}, {0, 10}, {10, 10}, {10, 0}}},
       {{10, 0, 5, 0}, {10, 10000, 11, 0}, {5, 0, 6, 0}},
       0},
      {"a ring repeating its first point at the end, above row 0",
       {{{3, 4}, {9, 7}, {3, 10}, {3, 4}}},
       {{10, 3000, 3, -2000}, {10, 3000, 7, 0}, {7, 9000, 4, 2000}},
       4},
  };
  for (const auto& row : rows) {
    TPolygonList polygons;
    for (const Pixels& ring : row.rings) {
      auto* polygon = new TIntegerPolygon;
      polygon->Count = static_cast<std::int32_t>(ring.size());
      polygon->Points = std::make_unique<TDevicePoint[]>(ring.size());
      std::copy(ring.begin(), ring.end(), polygon->Points.get());
      polygons.AddElement(polygon);
    }
    TAnalArea scanner;
    scanner.BuildEdgeTable(polygons);
    EXPECT_EQ(scanner.Edges, row.edges) << row.name;
    EXPECT_EQ(scanner.LowestY, row.lowest) << row.name;
  }
}

}  // namespace

namespace {

// An area of lines round the square (0, 0) - (10, 10): a line drawn along
// the walk, one against it and a notch along the bottom; every area kind
// the placer meets, with holes of lines and of vertices.
class LabelRingsTest : public LabelPointsTest {
 protected:
  static TPolyLineElement* Chain(const Points& points) {
    auto* line = new TPolyLineElement;
    for (const auto& [x, y] : points) line->AddVertex(x, y);
    line->CalcBounds();
    return line;
  }
  static std::unique_ptr<TAreaElement> LineArea(const std::vector<std::pair<Points, bool>>& lines) {
    auto area = std::make_unique<TPolyLineAreaElement>();
    for (const auto& [points, forward] : lines) area->AddLine(Chain(points), forward);
    return area;
  }
  static std::unique_ptr<TAreaElement> Make(const std::string& kind) {
    std::unique_ptr<TAreaElement> area =
        kind == "plain" ? Polygon({{0, 0}, {0, 10}, {10, 10}, {10, 0}, {6, 3}, {2, 0}, {0, 0}})
                        : LineArea({{{{0, 0}, {0, 10}, {10, 10}}, true},
                                    {{{10, 0}, {10, 10}}, false},
                                    {{{0, 0}, {2, 0}, {6, 3}, {10, 0}}, false}});
    if (kind == "lines, hole of lines" || kind == "plain")
      area->AddHole(LineArea({{{{6, 5}, {6, 8}, {8, 8}}, true}, {{{6, 5}, {8, 8}}, false}}).release());
    if (kind == "lines, hole of vertices" || kind == "plain")
      area->AddHole(Polygon({{1, 4}, {1, 6}, {3, 6}, {3, 4}, {1, 4}}).release());
    return area;
  }
  static constexpr const char* kKinds[] = {"lines", "lines, hole of lines", "lines, hole of vertices", "plain"};
};

// The rings answer as the area does on its vertices, edges, notch, holes,
// their boundaries and outside, every quarter unit over the bounds and past.
TEST_F(LabelRingsTest, InsideAnswersAreTheAreasOwnEverywhere) {
  for (const char* kind : kKinds) {
    std::unique_ptr<TAreaElement> area = Make(kind);
    const TLabelRings rings(*area);
    int inside = 0;
    for (double x = -1; x <= 11; x += 0.25)
      for (double y = -1; y <= 11; y += 0.25) {
        const bool expected = area->ContainsPointOutsideHoles(x, y);
        ASSERT_EQ(rings.Contains(x, y), expected) << kind << " at " << x << ", " << y;
        inside += expected ? 1 : 0;
      }
    // Neither all nor nothing: the table above tested both answers.
    EXPECT_GT(inside, 100) << kind;
    EXPECT_LT(inside, 40 * 40) << kind;
  }
}

std::vector<Pixels> PixelsOf(const TPolygonList& polygons) {
  std::vector<Pixels> rings;
  for (TElement* child : polygons.Children()) {
    const auto* polygon = static_cast<TIntegerPolygon*>(child);
    rings.emplace_back(polygon->Points.get(), polygon->Points.get() + polygon->Count);
  }
  return rings;
}

// The pixels the scan reads are those ElementToDevicePoints gives the plain
// copy's outline and holes (or the plain area's own), at a scale where
// neighbouring vertices share a pixel and one where they do not.
TEST_F(LabelRingsTest, RingsInPixelsAreThoseOfThePlainCopy) {
  for (const double pixelsAcross : {500.0, 4.0}) {
    for (const char* kind : kKinds) {
      std::unique_ptr<TAreaElement> area = Make(kind);
      TAnalDevice device;
      device.SetupPage();
      device.Projection()->FitRectangle(area->BoundRect(), device.Page());
      device.Projection()->SetScale(device.Projection()->Scale() * TAnalDevice::PageSide / pixelsAcross);
      TPolygonList expected;
      std::unique_ptr<TAreaElement> copy;
      if (const auto* bounded = DynamicCast<TPolyLineAreaElement>(area.get())) copy.reset(bounded->CreateAreaWithHoles());
      const TAreaElement& plain = copy ? *copy : *area;
      std::vector<const TElement*> elements{&plain};
      std::vector<std::unique_ptr<TAreaElement>> holeCopies;
      if (const THolesEntity* holes = plain.Holes())
        for (TElement* hole : holes->Children()) {
          if (const auto* bounded = DynamicCast<TPolyLineAreaElement>(hole))
            elements.push_back(holeCopies.emplace_back(bounded->CreateArea()).get());
          else
            elements.push_back(hole);
        }
      for (const TElement* element : elements) {
        auto* polygon = new TIntegerPolygon;
        ElementToDevicePoints(&device, element, polygon->Points, polygon->Count, polygon->ByteSize);
        expected.AddElement(polygon);
      }
      TPolygonList found;
      TLabelRings(*area).AddPolygons(*device.Projection(), found);
      EXPECT_EQ(PixelsOf(found), PixelsOf(expected)) << kind << ", " << pixelsAcross << " pixels across";
    }
  }
}

}  // namespace

namespace {

// The edges stepped row by row with the scan's own routines, as the scan
// down to a row would leave them; first is one past the entered records.
std::vector<TEdgeRecord> SteppedRowByRow(std::vector<TEdgeRecord> edges, std::int32_t row, std::int32_t& first) {
  TAnalArea scanner;
  scanner.Edges = std::move(edges);
  const std::int32_t last = static_cast<std::int32_t>(scanner.Edges.size()) - 1;
  std::int32_t index = 0;
  first = 0;
  for (std::int32_t y = scanner.Edges.front().TopY; y > row; --y) {
    scanner.UpdateActiveEdges(last, y, first, index);
    scanner.StepActiveEdges(index, first - 1);
  }
  scanner.UpdateActiveEdges(last, row, first, index);
  return scanner.Edges;
}

// A table of count records with tops from 0 to 400, as many rows each and
// steps either way; sorted by top unless said otherwise.
std::vector<TEdgeRecord> RandomEdges(std::uint32_t seed, int count, bool sorted) {
  std::vector<TEdgeRecord> edges;
  auto next = [&seed](std::int32_t below) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::int32_t>((seed >> 8) % static_cast<std::uint32_t>(below));
  };
  for (int i = 0; i < count; ++i)
    edges.push_back({next(401), next(500) * 1000, 1 + next(300), next(4001) - 2000});
  if (sorted)
    std::stable_sort(edges.begin(), edges.end(), [](const TEdgeRecord& a, const TEdgeRecord& b) { return a.TopY > b.TopY; });
  return edges;
}

// Moving the edges to the middle row at once leaves them as the row-by-row
// scan does: edges that end above the row, begin on it or below it, blocked
// behind a lower top in a table out of order, or hold no rows at all.
TEST_F(LabelPointsTest, EdgesMovedToARowAtOnceAreThoseSteppedRowByRow) {
  const struct {
    const char* name;
    std::vector<TEdgeRecord> edges;
    std::int32_t row;
  } rows[] = {
      {"one edge passing the row", {{10, 5000, 11, 250}}, 4},
      {"an edge ending above the row keeps its last crossing", {{10, 5000, 3, -100}, {10, 0, 11, 0}}, 2},
      {"an edge beginning on the row is entered unstepped", {{10, 0, 11, 0}, {6, 7000, 4, 10}}, 6},
      {"an edge beginning below the row stays out", {{10, 0, 11, 0}, {3, 7000, 4, 10}}, 6},
      {"a record without rows is not stepped", {{10, 0, 0, 500}, {10, 9000, -2, 500}, {9, 100, 5, 1}}, 5},
      {"a lower top ahead of a higher one holds it back", {{10, 0, 11, 0}, {4, 100, 5, 7}, {8, 300, 9, 3}}, 2},
      {"the row is the first top", {{7, 0, 8, 9}, {7, 100, 8, 1}}, 7},
      {"sorted, 200 edges", RandomEdges(17, 200, true), 150},
      {"sorted, 50 edges, row 0", RandomEdges(99, 50, true), 0},
      {"out of order, 100 edges", RandomEdges(5, 100, false), 120},
  };
  for (const auto& row : rows) {
    std::int32_t expectedFirst = 0;
    const std::vector<TEdgeRecord> expected = SteppedRowByRow(row.edges, row.row, expectedFirst);
    TAnalArea scanner;
    scanner.Edges = row.edges;
    std::int32_t first = 0;
    scanner.AdvanceToRow(row.row, first);
    EXPECT_EQ(first, expectedFirst) << row.name;
    EXPECT_EQ(scanner.Edges, expected) << row.name;
  }
}

}  // namespace

namespace {

TEST_F(LabelPointsTest, ThePlacersAndTheirScanPartsStandUnderTheirBases) {
  EXPECT_EQ(MisplacedClasses({
                {&TAreaPointPlacer::StaticClass, "TAreaPointPlacer", &TTool::StaticClass, {}},
                {&TMultiAreaPointPlacer::StaticClass, "TMultiAreaPointPlacer", &TRecursor::StaticClass, {}},
                {&TAnalDevice::StaticClass, "TAnalDevice", &TCanvasDevice::StaticClass, {}},
                {&TIntegerPolygon::StaticClass, "TIntegerPolygon", &TElement::StaticClass, {}},
                {&TPolygonList::StaticClass, "TPolygonList", &TEntity::StaticClass, {}},
                {&TAnalArea::StaticClass, "TAnalArea", &TPlosnaZnacka::StaticClass, {}},
            }),
            "");
}

}  // namespace
