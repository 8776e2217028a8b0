#include "forestry/selectors/multi_select_skupina.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "block/forest_model/forest_units.h"
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

}  // namespace
