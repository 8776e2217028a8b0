#include "block/export/select_lines_from_groups.h"

#include "tests/block/block_fixture.h"

namespace {

// Two groups (IDs 7 and 8) of areas; lines are boundaries of areas.
class SelectLinesFromGroupsTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    groupA = Named<TOwnerEntity>("A", &model);
    groupB = Named<TOwnerEntity>("B", &model);
    groupA->ID = 7;
    groupB->ID = 8;
  }
  TAreaElement* Area(TEntity* group) {
    auto* area = new TAreaElement;
    group->AddElement(area);
    input.AddElement(area);
    return area;
  }
  TPolyLineElement* Boundary(std::initializer_list<TAreaElement*> areas) {
    auto* line = new TPolyLineElement;
    line->AddVertex(0, 0);
    line->AddVertex(1, 1);
    line->CalcBounds();
    for (TAreaElement* area : areas) area->AddElement(line);
    return line;
  }
  std::vector<TElement*> Selected(int groupId) {
    TSelectLinesFromGroups select;
    select.GroupId = groupId;
    select.SetInput(&input);
    auto* output = new TPolyLineString;
    model.AddElement(output);
    select.SetOutput(output);
    select.DoIt();
    std::vector<TElement*> selected(output->Children().begin(), output->Children().end());
    // Gone again, so that it is no owner of the lines in the next case.
    model.FreeElement(output);
    return selected;
  }

  TOwnerEntity model;
  TOwnerEntity input;
  TOwnerEntity* groupA = nullptr;
  TOwnerEntity* groupB = nullptr;
};

TEST_F(SelectLinesFromGroupsTest, ALinePassesWhenItsFirstTwoOwnersLieInDifferentGroups) {
  TAreaElement* a1 = Area(groupA);
  TAreaElement* a2 = Area(groupA);
  TAreaElement* b1 = Area(groupB);
  Boundary({a1, a2});
  TPolyLineElement* between = Boundary({a1, b1});
  TPolyLineElement* outer = Boundary({b1});
  // A hole counts in the group of the area whose hole it is.
  auto* hole = new TAreaElement;
  a1->AddHole(hole);
  TPolyLineElement* holeAndB = Boundary({hole, b1});
  Boundary({hole, a2});
  // GroupId names the group the areas are compared by: areas of other
  // groups have none, so they count as one group.
  const std::pair<int, std::vector<TElement*>> cases[] = {
      {7, {between, outer, holeAndB}}, {8, {between, outer, holeAndB}}, {9, {outer}}};
  for (const auto& [groupId, selected] : cases) EXPECT_EQ(Selected(groupId), selected) << groupId;

  // Without a line string as output nothing is walked.
  TSelectLinesFromGroups select;
  select.GroupId = 7;
  select.SetInput(&input);
  TOwnerEntity plain;
  select.SetOutput(&plain);
  select.DoIt();
  EXPECT_TRUE(plain.Children().empty());
  EXPECT_EQ(select.Count, 0);
}

}  // namespace
