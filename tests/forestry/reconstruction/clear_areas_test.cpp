#include "forestry/reconstruction/clear_areas.h"

#include <memory>

#include "spatial/index/quadtree.h"
#include "tests/forestry/forestry_fixture.h"
#include "tests/forestry/reconstruction/boundary_fixture.h"

namespace {

// A square outline 0..10 from (0,5), clockwise; a bridge from (0,5) to
// (4,5); an inner ring round 4..6 from (4,5), counter-clockwise, also in two
// lines meeting at (6,5); and a second bridge from (10,5) to (8,5) with a
// ring round 7..9 from (8,5).
class ClearAreasTest : public ForestryTest {
 protected:
  ClearAreasTest()
      : outer(BoundaryLine({{0, 5}, {0, 10}, {10, 10}, {10, 5}, {10, 0}, {0, 0}, {0, 5}})),
        bridge(BoundaryLine({{0, 5}, {4, 5}})),
        ring(BoundaryLine({{4, 5}, {4, 4}, {6, 4}, {6, 6}, {4, 6}, {4, 5}})),
        ringLow(BoundaryLine({{4, 5}, {4, 4}, {6, 4}, {6, 5}})),
        ringHigh(BoundaryLine({{6, 5}, {6, 6}, {4, 6}, {4, 5}})),
        upper(BoundaryLine({{0, 5}, {0, 10}, {10, 10}, {10, 5}})),
        lower(BoundaryLine({{10, 5}, {10, 0}, {0, 0}, {0, 5}})),
        bridge2(BoundaryLine({{10, 5}, {8, 5}})),
        ring2(BoundaryLine({{8, 5}, {8, 6}, {7, 6}, {7, 4}, {8, 4}, {8, 5}})) {
    for (TPolyLineElement* line : {outer, bridge, ring, ringLow, ringHigh, upper, lower, bridge2, ring2})
      lines.AddElement(line);
  }

  TOwnerEntity lines;  // holds the lines as a line layer does
  TPolyLineElement *outer, *bridge, *ring, *ringLow, *ringHigh, *upper, *lower, *bridge2, *ring2;
};

TEST_F(ClearAreasTest, AConnectingLineAndItsInnerRingLeaveTheOutline) {
  struct Row {
    const char* Case;
    std::vector<std::pair<TPolyLineElement*, bool>> Boundary;
    std::vector<TPolyLineElement*> Kept;
    std::vector<std::vector<TPolyLineElement*>> Made;  // the new areas' lines
  };
  const Row rows[] = {
      {"outline first", {{outer, true}, {bridge, true}, {ring, true}, {bridge, false}}, {outer}, {{ring}}},
      {"ring first", {{ring, true}, {bridge, false}, {outer, true}, {bridge, true}}, {outer}, {{ring}}},
      {"way back first", {{bridge, false}, {outer, true}, {bridge, true}, {ring, true}}, {outer}, {{ring}}},
      {"two bridges",
       {{upper, true}, {bridge2, true}, {ring2, true}, {bridge2, false}, {lower, true}, {bridge, true}, {ring, true},
        {bridge, false}},
       {upper, lower},
       {{ring2}, {ring}}},
      {"no connecting line", {{upper, true}, {lower, true}}, {upper, lower}, {}},
      {"inner ring of two lines",
       {{outer, true}, {bridge, true}, {ringLow, true}, {ringHigh, true}, {bridge, false}},
       {outer},
       {{ringLow, ringHigh}}},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TPolyLineAreaElement> area(BoundedArea(row.Boundary, 5, 9));
    TClearAreas tool;
    tool.SetInput(area.get());
    tool.DoIt();
    std::vector<TElement*> kept(area->Children().begin(), area->Children().end());
    EXPECT_EQ(kept, std::vector<TElement*>(row.Kept.begin(), row.Kept.end())) << row.Case;
    EXPECT_TRUE(area->GetIsDone()) << row.Case;
    auto* made = DynamicCast<TEntity>(tool.Output());
    ASSERT_EQ(made ? made->GetCount() : 0, static_cast<int>(row.Made.size())) << row.Case;
    for (std::size_t i = 0; i < row.Made.size(); ++i) {
      auto* split = static_cast<TPolyLineAreaElement*>(made->GetElement(static_cast<int>(i)));
      EXPECT_EQ(std::vector<TElement*>(split->Children().begin(), split->Children().end()),
                std::vector<TElement*>(row.Made[i].begin(), row.Made[i].end()))
          << row.Case;
      EXPECT_TRUE(split->IsHole) << row.Case << ": it runs against the outline";
      EXPECT_LT(split->GetCalculatedArea(), 0) << row.Case;
    }
    for (std::size_t i = 0; i < row.Kept.size(); ++i)
      EXPECT_EQ(area->GetLineOrigin(static_cast<int>(i)), true) << row.Case << ": the directions stay with the lines";
  }
}

// Whatever line the boundary list starts with, the outline keeps its own
// lines in their order and the rings come out in the order their first line
// is met; a connecting line met again later is looked up, not searched for.
TEST_F(ClearAreasTest, EveryRotationOfTheBoundarySplitsTheSameRings) {
  const std::vector<std::pair<TPolyLineElement*, bool>> boundary = {
      {upper, true}, {bridge2, true}, {ring2, true}, {bridge2, false},
      {lower, true}, {bridge, true},  {ring, true},  {bridge, false}};
  for (std::size_t shift = 0; shift < boundary.size(); ++shift) {
    std::vector<std::pair<TPolyLineElement*, bool>> rotated(boundary.begin() + static_cast<std::ptrdiff_t>(shift),
                                                            boundary.end());
    rotated.insert(rotated.end(), boundary.begin(), boundary.begin() + static_cast<std::ptrdiff_t>(shift));
    std::vector<TElement*> kept, rings;
    for (const auto& [line, forward] : rotated) {
      if (line == upper || line == lower) kept.push_back(line);
      if (line == ring || line == ring2) rings.push_back(line);
    }
    std::unique_ptr<TPolyLineAreaElement> area(BoundedArea(rotated, 5, 9));
    TClearAreas tool;
    tool.SetInput(area.get());
    tool.DoIt();
    EXPECT_EQ(std::vector<TElement*>(area->Children().begin(), area->Children().end()), kept) << "shift " << shift;
    std::vector<TElement*> made;
    if (auto* output = DynamicCast<TEntity>(tool.Output()))
      for (TElement* split : output->Children())
        for (TElement* line : DynamicCast<TEntity>(split)->Children()) made.push_back(line);
    EXPECT_EQ(made, rings) << "shift " << shift;
    EXPECT_EQ(bridge->GetOwnersCount() + bridge2->GetOwnersCount(), 2) << "shift " << shift << ": only the layer";
  }
}

TEST_F(ClearAreasTest, OnlyOutlinesOfPositiveAreaNotYetDoneAreProcessed) {
  struct Row {
    const char* Case;
    bool Backward, Done;
    int Lines;  // boundary lines left
  } rows[] = {
      {"counter-clockwise outline", true, false, 4},
      {"already done", false, true, 4},
      {"clockwise and new", false, false, 1},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TPolyLineAreaElement> area(
        row.Backward ? BoundedArea({{bridge, true}, {ring, false}, {bridge, false}, {outer, false}}, 5, 9)
                     : BoundedArea({{outer, true}, {bridge, true}, {ring, true}, {bridge, false}}, 5, 9));
    area->SetIsDone(row.Done);
    TClearAreas tool;
    tool.SetInput(area.get());
    tool.DoIt();
    EXPECT_EQ(area->GetCount(), row.Lines) << row.Case;
  }
}

// A ring that does not close is boxed, and its lines stay with the area.
TEST_F(ClearAreasTest, ARingThatDoesNotCloseIsBoxedAndTheWalkEnds) {
  // The line after the connecting line starts elsewhere: no ring closes.
  TPolyLineElement* loose = BoundaryLine({{5, 5}, {5, 6}});
  // An inner ring broken between (6,4) and (6,6): walked in boundary order
  // it closes (the gap adds nothing to its area), but neither line starts
  // where the other ends.
  TPolyLineElement* brokenLow = BoundaryLine({{4, 5}, {4, 4}, {6, 4}});
  TPolyLineElement* brokenHigh = BoundaryLine({{6, 6}, {4, 6}, {4, 5}});
  for (TPolyLineElement* line : {loose, brokenLow, brokenHigh}) lines.AddElement(line);
  struct Row {
    const char* Case;
    std::vector<std::pair<TPolyLineElement*, bool>> Boundary;
    std::vector<std::string> Boxes;
    std::vector<TPolyLineElement*> Kept;
  };
  const Row rows[] = {
      {"no ring behind the connecting line", {{outer, true}, {bridge, true}, {loose, true}, {bridge, false}},
       {"Bad ring"}, {outer, loose}},
      {"a ring whose lines do not meet",
       {{outer, true}, {bridge, true}, {brokenLow, true}, {brokenHigh, true}, {bridge, false}},
       {"Area -1:Bad ring near 6; 4", "Area -1:Bad ring near 4; 5"}, {outer, brokenLow, brokenHigh}},
  };
  for (const Row& row : rows) {
    dialogs.Messages.clear();
    std::unique_ptr<TPolyLineAreaElement> area(BoundedArea(row.Boundary, 5, 9));
    TClearAreas tool;
    tool.SetInput(area.get());
    tool.DoIt();
    EXPECT_EQ(Boxes(), row.Boxes) << row.Case;
    EXPECT_TRUE(area->GetIsDone()) << row.Case;
    std::vector<TElement*> kept(area->Children().begin(), area->Children().end());
    EXPECT_EQ(kept, std::vector<TElement*>(row.Kept.begin(), row.Kept.end()))
        << row.Case << ": the unclosed lines stay with their area";
    EXPECT_EQ(tool.Output(), nullptr) << row.Case << ": no area made";
  }
}

TEST_F(ClearAreasTest, NewAreasGoIntoTheIndexBeingWalked) {
  TSpaceEntityQTree tree;
  tree.SetBounds({-10, -10, 20, 20});
  auto* area = BoundedArea({{outer, true}, {bridge, true}, {ring, true}, {bridge, false}}, 5, 9);
  tree.SetNextSpaceEntity(area);
  TClearAreas tool;
  tool.SetInput(&tree);
  tool.DoIt();
  EXPECT_EQ(area->GetCount(), 1);
  EXPECT_EQ(ring->GetOwnersCount(), 2) << "the lines' layer and the new area";
  auto* split = DynamicCast<TPolyLineAreaElement>(ring->GetOwner(1));
  ASSERT_NE(split, nullptr);
  EXPECT_NE(split->GetOwnerByClass(TQTree::StaticClass()), nullptr) << "filed in the index";
  EXPECT_EQ(tool.Output(), nullptr);
  EXPECT_EQ(tool.Processed, 1) << "the hole it gave runs the other way";
}

}  // namespace
