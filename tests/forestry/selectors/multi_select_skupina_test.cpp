#include "forestry/selectors/multi_select_skupina.h"

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "block/forest_model/forest_units.h"
#include "spatial/geometry/plane_math.h"
#include "tests/forestry/forest_data_fixture.h"
#include "tests/forestry/reconstruction/boundary_fixture.h"

namespace {

// Four stand groups of one stand area each, 10 by 10 (lower left corners):
//   P1 101/12/a/1/1 at (0,0), with a 4 by 4 hole in its middle
//   P2 101/12/a/1/2 at (10,0)    P3 101/12/b/1/1 at (20,0)
//   P4 101/13/a/1/1 at (0,20), away from the others
class MultiSelectTest : public ForestDataTest {
 protected:
  void SetUp() override {
    ForestDataTest::SetUp();
    PlaceStands({{{"101", "12", "a", "1", "1"}, 0, 0, 4},
                 {{"101", "12", "a", "1", "2"}, 10, 0},
                 {{"101", "12", "b", "1", "1"}, 20, 0},
                 {{"101", "13", "a", "1", "1"}, 0, 20}});
  }
  // "P1".."P4" for the groups in the tool's Output, in Output order.
  std::vector<std::string> Selected(TTool& tool) {
    const std::pair<const char*, std::vector<std::string>> groups[] = {
        {"P1", {"101", "12", "a", "1", "1"}},
        {"P2", {"101", "12", "a", "1", "2"}},
        {"P3", {"101", "12", "b", "1", "1"}},
        {"P4", {"101", "13", "a", "1", "1"}}};
    std::vector<std::string> names;
    auto* output = DynamicCast<TEntity>(tool.Output());
    if (!output) return {"no output"};
    for (TElement* psk : output->Children())
      for (const auto& [name, path] : groups)
        if (psk == Unit(path)) names.push_back(name);
    return names;
  }
  static std::unique_ptr<TPolyLineElement> Line(const Vertices& points) {
    return std::unique_ptr<TPolyLineElement>(BoundaryLine(points));
  }
};

TEST_F(MultiSelectTest, RectSelectsTheGroupsWhoseAreasMeetItInclusively) {
  struct Row {
    const char* name;
    double minX, minY, maxX, maxY;
    std::vector<std::string> selected;
  } rows[] = {
      {"inside one area", 1, 1, 2, 2, {"P1"}},
      {"across two areas", 8, 1, 12, 2, {"P1", "P2"}},
      {"touching an edge only", 30, 5, 31, 6, {"P3"}},
      {"touching a corner only", -5, -5, 0, 0, {"P1"}},
      {"between the rows", 0, 10.5, 30, 19.5, {}},
      {"everything", -1, -1, 31, 31, {"P1", "P2", "P3", "P4"}},
  };
  for (const Row& row : rows) {
    TMultiSelectSkupinaByRect tool;
    tool.MinX = row.minX;
    tool.MinY = row.minY;
    tool.MaxX = row.maxX;
    tool.MaxY = row.maxY;
    tool.DoIt();
    EXPECT_EQ(Selected(tool), row.selected) << row.name;
  }
}

TEST_F(MultiSelectTest, LineSelectsTheGroupsItTouches) {
  struct Row {
    const char* name;
    Vertices line;
    std::vector<std::string> selected;
  } rows[] = {
      {"wholly inside one area", {{1, 1}, {2, 2}}, {"P1"}},
      {"crossing three areas without a vertex in the middle one", {{5, 1}, {25, 1}}, {"P1", "P2", "P3"}},
      {"inside the hole only", {{4.5, 4.5}, {5.5, 5.5}}, {}},
      {"around a corner, the boxes meeting", {{-1, -1}, {-1, 11}, {5, 11}}, {}},
      {"one vertex only", {{1, 1}}, {}},
      {"far away", {{100, 100}, {101, 101}}, {}},
  };
  for (const Row& row : rows) {
    TMultiSelectSkupinaByLine tool;
    auto line = Line(row.line);
    tool.SetLine(line.get());
    tool.DoIt();
    EXPECT_EQ(Selected(tool), row.selected) << row.name;
  }
}

TEST_F(MultiSelectTest, ANilLineEmptiesTheRectangleAndSelectsNothing) {
  TMultiSelectSkupinaByLine tool;
  auto line = Line({{1, 1}, {25, 1}});
  tool.SetLine(line.get());
  tool.SetLine(nullptr);
  EXPECT_EQ(std::vector<double>({tool.MinX, tool.MinY, tool.MaxX, tool.MaxY}),
            std::vector<double>({1e30, 1e30, -1e30, -1e30}));
  tool.DoIt();
  EXPECT_EQ(Selected(tool), std::vector<std::string>{});
}

TEST_F(MultiSelectTest, ARunAfterEmptyingTheOutputHoldsOnlyItsOwnGroupsAndTheGroupsLive) {
  TMultiSelectSkupinaByRect tool;
  tool.MinX = tool.MinY = 1;
  tool.MaxX = tool.MaxY = 2;
  tool.DoIt();
  tool.ClearOutput();
  tool.MinX = 21;
  tool.MaxX = 22;
  tool.DoIt();
  EXPECT_EQ(Selected(tool), std::vector<std::string>{"P3"});
  EXPECT_NE(Unit({"101", "12", "a", "1", "1"}), nullptr) << "emptying lets the groups go without freeing them";
}

// Groups already in the Output, from an earlier run or put there by hand,
// stay once and in their place; new ones follow in walking order.
TEST_F(MultiSelectTest, AGroupAlreadySelectedIsNotAddedAgain) {
  struct Row {
    const char* name;
    std::vector<std::string> before;
    std::vector<std::string> selected;
  } rows[] = {
      {"nothing before", {}, {"P1", "P2", "P3", "P4"}},
      {"two before, out of walking order", {"P3", "P1"}, {"P3", "P1", "P2", "P4"}},
      {"all before", {"P4", "P3", "P2", "P1"}, {"P4", "P3", "P2", "P1"}},
  };
  const std::map<std::string, std::vector<std::string>> paths = {{"P1", {"101", "12", "a", "1", "1"}},
                                                                 {"P2", {"101", "12", "a", "1", "2"}},
                                                                 {"P3", {"101", "12", "b", "1", "1"}},
                                                                 {"P4", {"101", "13", "a", "1", "1"}}};
  for (const Row& row : rows) {
    TMultiSelectSkupinaByRect tool;
    tool.MinX = tool.MinY = -1;
    tool.MaxX = tool.MaxY = 31;
    auto* output = new TOwnerEntity;
    tool.AddElement(output);
    tool.SetOutput(output);
    for (const std::string& name : row.before) output->AddElement(Unit(paths.at(name)));
    tool.DoIt();
    tool.DoIt();  // a second walk finds them all again
    EXPECT_EQ(Selected(tool), row.selected) << row.name;
  }
}

TEST_F(MultiSelectTest, AnOutputThatIsNoEntityIsReportedAndTheWalkStillRuns) {
  TMultiSelectSkupinaByRect tool;
  auto notAnEntity = std::make_unique<T2DCoordinate>(0, 0);
  tool.SetOutput(notAnEntity.get());
  tool.MinX = tool.MinY = 1;
  tool.MaxX = tool.MaxY = 2;
  tool.DoIt();
  EXPECT_EQ(MessageTexts(msgLogText), std::vector<std::string>{"ERROR: TMultiSelectSkupina required TEntity class at Output!"});
  EXPECT_EQ(tool.Output(), notAnEntity.get());
}

TEST_F(MultiSelectTest, TheHierarchyIsTakenAgainWhenTheInputDiffers) {
  TMultiSelectSkupinaByRect tool;
  TOwnerEntity elsewhere;
  tool.SetInput(&elsewhere);
  tool.MinX = tool.MinY = 1;
  tool.MaxX = tool.MaxY = 2;
  tool.DoIt();
  EXPECT_EQ(tool.Input(), hierarchy);
  EXPECT_EQ(Selected(tool), std::vector<std::string>{"P1"});
}

// The test of a line against areas, plain and bounded by lines: the square
// (0,0)-(10,10) with the hole (4,4)-(6,6).
TEST(LineTouchesAreaTest, AVertexInsideOrACrossingSegmentTouches) {
  auto plain = std::unique_ptr<TAreaElement>(StandArea({}, 0, 0, 10, 2));
  std::vector<TPolyLineElement*> lines = {BoundaryLine({{0, 0}, {0, 10}, {10, 10}}),
                                          BoundaryLine({{10, 10}, {10, 0}, {0, 0}})};
  auto bounded = std::unique_ptr<TPolyLineAreaElement>(BoundedArea({{lines[0], true}, {lines[1], true}}, 5, 5));
  struct Row {
    const char* name;
    Vertices line;
    bool touches;
  } rows[] = {
      {"a vertex inside", {{1, 1}, {-5, -5}}, true},
      {"passing through without a vertex inside", {{-1, 5}, {11, 5}}, true},
      {"cutting a corner through the closing segment", {{5, -1}, {11, 5}}, true},
      {"inside the hole", {{4.5, 4.5}, {5.5, 5.5}}, false},
      {"outside, boxes overlapping", {{-1, 12}, {12, 12}, {12, -1}}, false},
      {"a single vertex inside", {{1, 1}}, false},
  };
  for (const Row& row : rows) {
    auto line = std::unique_ptr<TPolyLineElement>(BoundaryLine(row.line));
    EXPECT_EQ(LineTouchesArea(*line, *plain), row.touches) << row.name << " (plain)";
    if (std::string(row.name) != "inside the hole") {
      EXPECT_EQ(LineTouchesArea(*line, *bounded), row.touches) << row.name << " (bounded by lines)";
    }
  }
}

// The test as it was, pair by pair and vertex by vertex: the answer the sweep
// must give.
bool PairwiseTouches(const TPolyElement& line, const TAreaElement& area) {
  if (line.GetCoordsCount() < 2 || area.GetCoordsCount() < 2) return false;
  if (!area.IntersectsRect(line.GetMinX(), line.GetMinY(), line.GetMaxX(), line.GetMaxY())) return false;
  std::unique_ptr<TAreaElement> converted;
  const TAreaElement* tested = &area;
  if (const auto* bounded = DynamicCast<TPolyLineAreaElement>(&area)) {
    converted.reset(bounded->CreateAreaWithHoles());
    tested = converted.get();
  }
  for (int i = 0; i < line.GetCoordsCount(); ++i)
    if (tested->HitTest(line.GetCoord(i), 0)) return true;
  const int ringCount = tested->GetCoordsCount();
  for (int i = 0; i + 1 < line.GetCoordsCount(); ++i) {
    const double x1 = line.GetCoordX(i), y1 = line.GetCoordY(i), x2 = line.GetCoordX(i + 1), y2 = line.GetCoordY(i + 1);
    for (int j = 0; j < ringCount; ++j) {
      const int next = (j + 1) % ringCount;
      const double x3 = tested->GetCoordX(j), y3 = tested->GetCoordY(j);
      const double x4 = tested->GetCoordX(next), y4 = tested->GetCoordY(next);
      if (std::max(x1, x2) >= std::min(x3, x4) && std::max(x3, x4) >= std::min(x1, x2) &&
          std::max(y1, y2) >= std::min(y3, y4) && std::max(y3, y4) >= std::min(y1, y2) &&
          Mathlib::SegmentsCross(x1, y1, x2, y2, x3, y3, x4, y4))
        return true;
    }
  }
  return false;
}

// A plain area of the given vertices, bounds computed.
TAreaElement* PlainArea(const Vertices& points) {
  auto* area = new TAreaElement;
  for (const auto& [x, y] : points) area->AddVertex(x, y);
  area->CalcBounds();
  return area;
}

// The areas every line is tried on: the square (0,0)-(10,10) with the hole
// (4,4)-(6,6), plain, of two lines, of one line walked back, and a plain
// square whose hole is an area of lines; and a concave U of one line.
std::vector<std::pair<std::string, std::unique_ptr<TAreaElement>>> AreasToTouch() {
  std::vector<std::pair<std::string, std::unique_ptr<TAreaElement>>> areas;
  areas.emplace_back("plain with a hole", StandArea({}, 0, 0, 10, 2));
  auto* twoLines = BoundedArea({{BoundaryLine({{0, 0}, {0, 10}, {10, 10}}), true},
                                {BoundaryLine({{0, 0}, {10, 0}, {10, 10}}), false}}, 5, 5);
  twoLines->AddHole(BoundedArea({{BoundaryLine({{4, 4}, {4, 6}, {6, 6}, {6, 4}, {4, 4}}), true}}, 5, 5));
  areas.emplace_back("two lines, one walked back, a hole of lines", twoLines);
  areas.emplace_back("one line walked back",
                     BoundedArea({{BoundaryLine({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}), false}}, 5, 5));
  auto* lineHole = PlainArea({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
  lineHole->AddHole(BoundedArea({{BoundaryLine({{4, 4}, {4, 6}, {6, 6}}), true},
                                 {BoundaryLine({{4, 4}, {6, 4}, {6, 6}}), false}}, 5, 5));
  areas.emplace_back("plain with a hole of lines", lineHole);
  areas.emplace_back("concave U", BoundedArea({{BoundaryLine({{0, 0}, {0, 10}, {3, 10}, {3, 3}, {7, 3}, {7, 10},
                                                              {10, 10}, {10, 0}, {0, 0}}), true}}, 1, 1));
  return areas;
}

// Touching at a vertex, running along an edge, zero-length segments, a line
// from a hole into the area crossing only the hole's edge, lines in a
// concave pocket: the sweep answers as the pairwise test did.
TEST(LineTouchesAreaTest, AnswersAsThePairwiseTestOnEdgeCases) {
  const struct {
    const char* name;
    Vertices line;
  } rows[] = {
      {"a vertex inside", {{1, 1}, {-5, -5}}},
      {"passing through", {{-1, 5}, {11, 5}}},
      {"through the closing segment", {{5, -1}, {11, 5}}},
      {"inside the hole", {{4.5, 4.5}, {5.5, 5.5}}},
      {"from the hole into the area", {{5, 5}, {5, 7}}},
      {"along the hole's edge", {{4, 4}, {4, 6}}},
      {"outside, boxes overlapping", {{-1, 12}, {12, 12}, {12, -1}}},
      {"touching an outer corner", {{-3, -3}, {0, 0}}},
      {"ending on an outer edge", {{5, -3}, {5, 0}}},
      {"along an outer edge", {{2, 0}, {8, 0}}},
      {"overlapping an edge beyond a corner", {{-2, 0}, {4, 0}}},
      {"zero-length on a corner", {{0, 0}, {0, 0}}},
      {"zero-length outside", {{-1, -1}, {-1, -1}}},
      {"zero-length inside, then out", {{2, 2}, {2, 2}, {-2, -2}}},
      {"in the U's pocket", {{4, 5}, {6, 8}, {4, 11}}},
      {"into the U's pocket's floor", {{5, 5}, {5, 3}}},
      {"round the outside", {{-1, -1}, {-1, 11}, {11, 11}, {11, -1}, {-1, -1}}},
      {"a single vertex", {{1, 1}}},
  };
  for (const auto& [areaName, area] : AreasToTouch()) {
    for (const auto& row : rows) {
      auto line = std::unique_ptr<TPolyLineElement>(BoundaryLine(row.line));
      EXPECT_EQ(LineTouchesArea(*line, *area), PairwiseTouches(*line, *area)) << row.name << " on " << areaName;
    }
  }
}

// Random lines and rings on a coarse grid: vertices on edges, shared
// vertices, collinear runs and self-crossings everywhere.
TEST(LineTouchesAreaTest, AnswersAsThePairwiseTestOnRandomLines) {
  for (const unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> coordinate(0, 8);
    const auto vertices = [&](int count) {
      Vertices v;
      for (int i = 0; i < count; ++i) v.emplace_back(coordinate(random), coordinate(random));
      return v;
    };
    Vertices ring = vertices(9);
    ring.push_back(ring.front());
    const Vertices half(ring.begin() + 4, ring.end());
    auto area = std::unique_ptr<TPolyLineAreaElement>(
        BoundedArea({{BoundaryLine(Vertices(ring.begin(), ring.begin() + 5)), true},
                     {BoundaryLine(Vertices(half.rbegin(), half.rend())), false}},
                    0, 0));
    for (int k = 0; k < 40; ++k) {
      auto line = std::unique_ptr<TPolyLineElement>(BoundaryLine(vertices(2 + k % 5)));
      ASSERT_EQ(LineTouchesArea(*line, *area), PairwiseTouches(*line, *area)) << "seed " << seed << " line " << k;
    }
  }
}

}  // namespace
