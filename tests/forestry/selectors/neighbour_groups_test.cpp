#include "forestry/selectors/neighbour_groups.h"

#include <map>
#include <string>
#include <vector>

#include "block/forest_model/forest_units.h"
#include "tests/forestry/forestry_fixture.h"
#include "tests/forestry/reconstruction/boundary_fixture.h"

namespace {

// Stand groups whose areas are bounded by shared lines:
//   A (0,0)-(10,10) with a hole (4,4)-(6,6), B (10,0)-(20,10) sharing A's
//   right edge, C the island filling A's hole, D (40,0)-(50,10) alone.
// A line layer also holds the shared edge.
class NeighbourGroupsTest : public ForestryTest {
 protected:
  void SetUp() override {
    ForestryTest::SetUp();
    auto* left = Line({{0, 0}, {0, 10}, {10, 10}});
    auto* shared = Line({{10, 10}, {10, 0}});
    auto* bottom = Line({{10, 0}, {0, 0}});
    auto* right = Line({{10, 10}, {20, 10}, {20, 0}, {10, 0}});
    auto* ring = Line({{4, 4}, {4, 6}, {6, 6}, {6, 4}, {4, 4}});
    auto* alone = Line({{40, 0}, {40, 10}, {50, 10}, {50, 0}, {40, 0}});
    auto* a = BoundedArea({{left, true}, {shared, true}, {bottom, true}}, 1, 1);
    a->AddHole(BoundedArea({{ring, true}}, 5, 5));
    Group("A", a);
    Group("B", BoundedArea({{shared, false}, {right, true}}, 15, 5));
    Group("C", BoundedArea({{ring, true}}, 5, 5));
    Group("D", BoundedArea({{alone, true}}, 45, 5));
    lineLayer.AddElement(shared);
  }
  TPolyLineElement* Line(const Vertices& points) {
    TPolyLineElement* line = BoundaryLine(points);
    lines.AddElement(line);
    return line;
  }
  void Group(const std::string& name, TAreaElement* area) {
    auto* psk = Named<TPorostniSkupina>(name, &forest);
    auto* geometry = new TOwnerEntity;
    psk->SetGeometry(geometry);
    geometry->AddElement(area);
  }
  std::vector<std::string> Names(TElement* output) {
    auto* entity = DynamicCast<TEntity>(output);
    if (!entity) return {"no output"};
    std::vector<std::string> names;
    for (TElement* child : entity->Children()) names.push_back(child->GetName());
    return names;
  }

  TOwnerEntity lines;
  TOwnerEntity lineLayer;
  TOwnerEntity forest;
};

TEST_F(NeighbourGroupsTest, GroupsSharingABoundaryLineOrAHoleAreNeighboursOnce) {
  struct Row {
    const char* group;
    std::vector<std::string> neighbours;
  } rows[] = {
      {"A", {"B", "C"}},
      {"B", {"A"}},
      {"C", {"A"}},
      {"D", {}},
  };
  for (const Row& row : rows) {
    TFindOkolniSkupiny tool;
    tool.SetInput(forest.FindElementByName(row.group));
    tool.DoIt();
    EXPECT_EQ(Names(tool.Output()), row.neighbours) << row.group;
  }
}

// A line held by no layer has the first area built on it as its first owner:
// that area's group is found from the other side too.
TEST_F(NeighbourGroupsTest, TheFirstOwnerOfASharedLineCountsAsANeighbour) {
  TPolyLineElement* left = BoundaryLine({{60, 0}, {60, 10}, {70, 10}});
  TPolyLineElement* shared = BoundaryLine({{70, 10}, {70, 0}});
  TPolyLineElement* bottom = BoundaryLine({{70, 0}, {60, 0}});
  TPolyLineElement* right = BoundaryLine({{70, 10}, {80, 10}, {80, 0}, {70, 0}});
  Group("E", BoundedArea({{left, true}, {shared, true}, {bottom, true}}, 61, 1));
  Group("F", BoundedArea({{shared, false}, {right, true}}, 75, 5));
  for (const auto& [group, neighbour] : {std::pair("E", "F"), std::pair("F", "E")}) {
    TFindOkolniSkupiny tool;
    tool.SetInput(forest.FindElementByName(group));
    tool.DoIt();
    EXPECT_EQ(Names(tool.Output()), std::vector<std::string>{neighbour}) << group;
  }
}

// A second run into the same output lists nothing twice: groups the output
// already holds count as found.
TEST_F(NeighbourGroupsTest, ARunIntoAnOutputThatHoldsNeighboursAddsOnlyTheMissing) {
  struct Row {
    const char* group;
    const char* alreadyListed;
    std::vector<std::string> neighbours;
  } rows[] = {
      {"A", "C", {"C", "B"}},
      {"A", "B", {"B", "C"}},
      {"A", "D", {"D", "B", "C"}},
      {"B", "A", {"A"}},
  };
  for (const Row& row : rows) {
    TFindOkolniSkupiny tool;
    tool.SetInput(forest.FindElementByName(row.group));
    auto* output = new TOwnerEntity;
    tool.AddElement(output);
    tool.SetOutput(output);
    output->AddElement(forest.FindElementByName(row.alreadyListed));
    tool.DoIt();
    tool.DoIt();
    EXPECT_EQ(Names(tool.Output()), row.neighbours) << row.group << " with " << row.alreadyListed;
  }
}

TEST_F(NeighbourGroupsTest, AnInputThatIsNoStandGroupLeavesAnEmptyOutput) {
  TFindOkolniSkupiny tool;
  tool.SetInput(&lines);
  tool.DoIt();
  EXPECT_EQ(Names(tool.Output()), std::vector<std::string>{});
}

}  // namespace
