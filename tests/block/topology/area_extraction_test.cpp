#include "block/topology/area_extraction.h"

#include <functional>
#include <memory>
#include <vector>

#include "block/topology/area_building.h"
#include "tests/block/topology/topology_fixture.h"

namespace {

class AreaExtractionTest : public TopologyTest {
 protected:
  TAreaString& Areas() {
    maker = std::make_unique<TMakeNodesAndAreas>();
    maker->SetInput(&lines);
    maker->DoIt();
    return *static_cast<TAreaString*>(maker->Output());
  }
  static TAreaElement* Largest(TAreaString& areas) {
    TAreaElement* largest = nullptr;
    for (TElement* child : areas.Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      if (!largest || area->WholeArea() > largest->WholeArea()) largest = area;
    }
    return largest;
  }
  std::unique_ptr<TMakeNodesAndAreas> maker;
};

std::vector<Points> Square(double x0, double y0, double side) {
  return {{{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}, {x0, y0}}};
}

TEST_F(AreaExtractionTest, BoundaryLinesComeOnceAndSubAreasAreTheAreasInsideTheHolesOnce) {
  const std::vector<Points> pair{{{0, 0}, {0, 10}}, {{0, 10}, {10, 10}, {10, 0}, {0, 0}},
                                 {{0, 10}, {-10, 10}, {-10, 0}, {0, 0}}};
  auto plus = [](std::vector<Points> a, const std::vector<Points>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const struct {
    const char* name;
    std::vector<Points> drawn;
    int lines;
    int subAreas;
  } rows[] = {
      {"a square inside a square", plus(Square(-20, -20, 50), Square(0, 0, 5)), 2, 1},
      {"three nested squares: the middle one only", plus(plus(Square(-20, -20, 50), Square(-10, -10, 30)), Square(0, 0, 5)), 3, 1},
      {"two squares sharing an edge inside a square: each once", plus(Square(-20, -20, 50), pair), 4, 2},
      {"a square without holes", Square(0, 0, 5), 1, 0},
  };
  for (const auto& row : rows) {
    lines.Clear();
    for (const Points& points : row.drawn) Line(points);
    TAreaString& areas = Areas();
    TExtractLinesForAreas extractor;
    extractor.SetInput(&areas);
    extractor.DoIt();
    EXPECT_EQ(static_cast<TEntity*>(extractor.Output())->GetCount(), row.lines) << row.name;
    TExtractSubAreasForArea subAreas;
    subAreas.SetInput(Largest(areas));
    subAreas.DoIt();
    const int found = subAreas.Output() ? static_cast<TEntity*>(subAreas.Output())->GetCount() : 0;
    EXPECT_EQ(found, row.subAreas) << row.name;
    if (subAreas.Output()) {
      for (TElement* area : static_cast<TEntity*>(subAreas.Output())->Children())
        EXPECT_TRUE(DynamicCast<TAreaElement>(area) && areas.IndexOf(area) >= 0) << row.name;
    }
  }
}

TEST_F(AreaExtractionTest, ALineAlreadyListedKeepsItsPlaceInAListGivenFromOutside) {
  TPolyLineString given;
  TPolyLineElement* a = Line({{0, 0}, {1, 0}});
  TPolyLineElement* b = Line({{1, 0}, {2, 0}});
  given.AddEntity(a);
  given.AddEntity(b);
  TExtractAnyLines extractor;
  extractor.SetLines(&given);
  TPolyLineElement* c = Line({{2, 0}, {3, 0}});
  const struct {
    const char* name;
    TElement* line;
    int index;
  } rows[] = {{"the second listed", b, 1}, {"a new line goes last", c, 2}, {"the first listed", a, 0}, {"the new one again", c, 2}};
  for (const auto& row : rows) EXPECT_EQ(extractor.AddLine(row.line), row.index) << row.name;
  EXPECT_EQ(given.GetCount(), 3);
}

}  // namespace

namespace {

// Every extractor gives its lines through the published Lines.
TEST_F(AreaExtractionTest, TheExtractorsStandUnderTheLineExtractorAndPublishItsLines) {
  EXPECT_EQ(MisplacedClasses({
                {&TExtractAnyLines::StaticClass, "TExtractAnyLines", &TTool::StaticClass, {"Lines"}},
                {&TExtractAnyLinesForArea::StaticClass, "TExtractAnyLinesForArea", &TExtractAnyLines::StaticClass,
                 {"Lines"}},
                {&TExtractBounderyLinesForArea::StaticClass, "TExtractBounderyLinesForArea",
                 &TExtractAnyLines::StaticClass, {"Lines"}},
                {&TExtractHolesLinesForArea::StaticClass, "TExtractHolesLinesForArea", &TExtractAnyLines::StaticClass,
                 {"Lines"}},
                {&TExtractLinesForAreas::StaticClass, "TExtractLinesForAreas", &TExtractAnyLines::StaticClass,
                 {"Lines"}},
                {&TExtractSubAreasForArea::StaticClass, "TExtractSubAreasForArea", &TTool::StaticClass,
                 {"SubAreas", "AreaString"}},
            }),
            "");
}

}  // namespace

namespace {

// A hole given by hand may share a line with its area's outline: the area
// owns that line too, yet is no area inside its own hole.
TEST_F(AreaExtractionTest, AnAreaIsNoSubAreaOfItselfThoughItsHoleSharesALineWithIt) {
  TPolyLineElement* shared = Line({{2, 0}, {8, 0}});
  TPolyLineElement* rest = Line({{8, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {2, 0}});
  TPolyLineElement* inner = Line({{8, 0}, {5, 5}, {2, 0}});
  TAreaString areas;
  auto* area = new TPolyLineAreaElement;
  area->AddLine(shared, true);
  area->AddLine(rest, true);
  areas.AddEntity(area);
  auto* hole = new TPolyLineAreaElement;
  hole->IsHole = true;
  hole->AddLine(shared, false);
  hole->AddLine(inner, false);
  area->AddHole(hole);
  auto* island = new TPolyLineAreaElement;
  island->AddLine(shared, false);
  island->AddLine(inner, false);
  areas.AddEntity(island);
  TExtractSubAreasForArea subAreas;
  subAreas.SetInput(area);
  subAreas.DoIt();
  auto* found = DynamicCast<TEntity>(subAreas.Output());
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(std::vector<TElement*>(found->Children().begin(), found->Children().end()),
            std::vector<TElement*>{island});
}

}  // namespace

namespace {

// Run on its own, an extractor of one area gives its published Lines as its
// output: the outline's lines, or those of the holes.
TEST_F(AreaExtractionTest, AnAreasExtractorOutputsItsLines) {
  TPolyLineElement* outer = Line(Square(-20, -20, 50)[0]);
  TPolyLineElement* inner = Line(Square(0, 0, 5)[0]);
  TAreaString& areas = Areas();
  TAreaElement* largest = Largest(areas);
  ASSERT_NE(largest, nullptr);
  const struct {
    const char* name;
    std::function<std::unique_ptr<TExtractAnyLines>()> make;
    TElement* line;
  } rows[] = {
      {"the outline", [] { return std::make_unique<TExtractBounderyLinesForArea>(); }, outer},
      {"the holes", [] { return std::make_unique<TExtractHolesLinesForArea>(); }, inner},
  };
  for (const auto& row : rows) {
    std::unique_ptr<TExtractAnyLines> extractor = row.make();
    extractor->SetInput(largest);
    extractor->DoIt();
    ASSERT_NE(extractor->Output(), nullptr) << row.name;
    EXPECT_EQ(extractor->Output(), extractor->GetLines()) << row.name;
    const auto& found = static_cast<TEntity*>(extractor->Output())->Children();
    EXPECT_EQ(std::vector<TElement*>(found.begin(), found.end()), std::vector<TElement*>{row.line}) << row.name;
  }
}

}  // namespace
