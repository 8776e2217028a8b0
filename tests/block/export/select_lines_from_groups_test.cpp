#include "block/export/select_lines_from_groups.h"

#include <set>

#include "tests/block/block_fixture.h"

namespace {

// Areas 1 and 2 in group A, area 3 in group B (both groups of ID 5), areas
// 4, 5 and 7 in group C (ID 6), area 7 owned by its group before the input;
// area 6 is a hole of area 1 in no group.  Each line is named by the areas
// it bounds; "L|3" is held first by a layer's line list, an owner that is no
// area and in no group, then by area 3.  A selection owns what it selects,
// so every selection gets a model of its own.
struct GroupedAreas {
  GroupedAreas() {
    auto* groupA = Group(5);
    auto* groupB = Group(5);
    auto* groupC = Group(6);
    for (int i = 1; i <= 6; ++i) {
      areas[i] = new TPolyLineAreaElement;
      input->AddElement(areas[i]);
    }
    areas[7] = new TPolyLineAreaElement;
    groupC->AddElement(areas[7]);
    input->AddElement(areas[7]);
    groupA->AddElement(areas[1]);
    groupA->AddElement(areas[2]);
    groupB->AddElement(areas[3]);
    groupC->AddElement(areas[4]);
    groupC->AddElement(areas[5]);
    areas[1]->AddHole(areas[6]);
    for (const auto& [name, first, second] : {std::tuple{"1", 1, 0}, {"1|2", 1, 2}, {"2|3", 2, 3}, {"3|4", 3, 4},
                                              {"4|5", 4, 5}, {"6|2", 6, 2}, {"6|3", 6, 3},
                                              {"5|7", 5, 7}}) {
      auto* line = new TPolyLineElement;
      line->SetName(name);
      line->AddVertex(0, 0);
      line->AddVertex(1, 1);
      areas[first]->AddLine(line, true);
      if (second) areas[second]->AddLine(line, false);
    }
    auto* layerLines = new TPolyLineString;
    model.AddElement(layerLines);
    auto* held = new TPolyLineElement;
    held->SetName("L|3");
    held->AddVertex(0, 0);
    held->AddVertex(1, 1);
    layerLines->AddEntity(held);
    areas[3]->AddLine(held, true);
  }
  TEntity* Group(std::int32_t id) {
    auto* group = new TEntity;
    group->ID = id;
    model.AddElement(group);
    return group;
  }

  TOwnerEntity model;
  TOwnerEntity* input = [this] {
    auto* entity = new TOwnerEntity;
    model.AddElement(entity);
    return entity;
  }();
  TPolyLineAreaElement* areas[8] = {};
};

using SelectLinesFromGroupsTest = BlockTest;

// A line passes when it bounds one area only, or areas of two groups; an
// area in no group of that ID is in "no group", a hole is in its outer
// area's group, and an owner that is no area is in a group of its own owners.
TEST_F(SelectLinesFromGroupsTest, LinesBetweenDifferentGroupsPassEachOnce) {
  const struct {
    std::int32_t groupId;
    std::set<std::string> lines;
  } rows[] = {
      {5, {"1", "2|3", "3|4", "6|3", "L|3"}},
      {6, {"1", "3|4"}},
      {7, {"1"}},
  };
  for (const auto& row : rows) {
    GroupedAreas grouped;
    TSelectLinesFromGroups tool;
    tool.GroupId = row.groupId;
    auto* output = new TPolyLineString;
    grouped.model.AddElement(output);
    tool.SetInput(grouped.input);
    tool.SetOutput(output);
    tool.DoIt();
    std::multiset<std::string> selected;
    for (TElement* line : output->Children()) selected.insert(line->GetName());
    EXPECT_EQ(selected, (std::multiset<std::string>(row.lines.begin(), row.lines.end()))) << "GroupId " << row.groupId;
  }
  // Without a line string to fill nothing is walked.
  GroupedAreas grouped;
  TSelectLinesFromGroups tool;
  tool.SetInput(grouped.input);
  tool.DoIt();
  EXPECT_EQ(tool.Count, 0);
}

}  // namespace
