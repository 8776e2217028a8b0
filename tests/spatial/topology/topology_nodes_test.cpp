#include "spatial/topology/topology_nodes.h"

#include <gmock/gmock.h>

#include <cmath>
#include <numbers>

#include "spatial/objects/space_entities.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using ::testing::ElementsAre;

constexpr double kTwoPi = 2 * std::numbers::pi;

// Lines and nodes of one small graph; the string and the graph entity hold
// them, nodes share the lines.
class TopologyNodesTest : public SpatialTest {
 protected:
  TPolyLineElement* Line(std::initializer_list<TRealPoint> points) {
    auto* line = new TPolyLineElement;
    for (const TRealPoint& p : points) line->AddVertex(p.X, p.Y);
    line->CalcBounds();
    lines.AddElement(line);
    return line;
  }
  TNode* NodeAt(double x, double y) {
    for (TElement* child : graph.Children()) {
      auto* node = static_cast<TNode*>(child);
      if (node->GetX() == x && node->GetY() == y) return node;
    }
    auto* node = new TNode;
    graph.AddElement(node);
    return node;
  }
  // Both ends attached, and each branch told its far node.
  void Connect(TPolyLineElement* line) {
    const T2DCoordinate* first = line->VertexAt(0, true);
    const T2DCoordinate* last = line->VertexAt(0, false);
    TNode* from = NodeAt(first->GetX(), first->GetY());
    TNodeBranch* begin = from->AddLine(line, true);
    TNode* to = NodeAt(last->GetX(), last->GetY());
    TNodeBranch* end = to->AddLine(line, false);
    begin->SetFarNode(to);
    end->SetFarNode(from);
  }
  TNodeBranch* BranchOf(TPolyLineElement* line, bool atBegin) {
    TNode* node = nullptr;
    TNodeBranch* branch = nullptr;
    FindLineEndNode(line, atBegin, node, branch);
    return branch;
  }

  TPolyLineString lines;
  TEntity graph;
};

TEST_F(TopologyNodesTest, BranchesAreKeptInAscendingAngleWhateverTheOrderOfAdding) {
  // Lines leaving the origin at 0.5, 3.0 and along +X (2 pi).
  struct Row {
    const char* name;
    std::vector<int> order;
  } rows[] = {{"ascending", {0, 1, 2}}, {"descending", {2, 1, 0}}, {"mixed", {1, 2, 0}}};
  const double angles[] = {0.5, 3.0, kTwoPi};
  for (const Row& row : rows) {
    TNode node;
    std::vector<TPolyLineElement*> made(3);
    for (int i : row.order)
      made[static_cast<std::size_t>(i)] =
          Line({{0, 0}, {std::cos(angles[i]) * 10, std::sin(angles[i]) * 10}});
    for (int i : row.order) node.AddLine(made[static_cast<std::size_t>(i)], true);
    ASSERT_EQ(node.GetBranchCount(), 3) << row.name;
    std::vector<double> seen;
    for (int i = 0; i < 3; ++i) seen.push_back(static_cast<TNodeBranch*>(node.Children()[i])->GetAngle());
    EXPECT_NEAR(seen[0], 0.5, 1e-12) << row.name;
    EXPECT_NEAR(seen[1], 3.0, 1e-12) << row.name;
    EXPECT_EQ(seen[2], kTwoPi) << row.name;
    auto* first = static_cast<TNodeBranch*>(node.Children()[0]);
    auto* last = static_cast<TNodeBranch*>(node.Children()[2]);
    EXPECT_EQ(node.NextBranch(last), first) << row.name;
    EXPECT_EQ(node.PrevBranch(first), last) << row.name;
    // The lines follow the branches, each once.
    EXPECT_EQ(node.Children().size(), 6u) << row.name;
    EXPECT_EQ(node.GetX(), 0) << row.name;
  }
}

TEST_F(TopologyNodesTest, ABranchOfEqualAngleGoesAfterTheOneAlreadyThere) {
  TNode node;
  TPolyLineElement* longer = Line({{0, 0}, {2, 2}});
  TPolyLineElement* shorter = Line({{0, 0}, {1, 1}});
  TNodeBranch* a = node.AddLine(longer, true);
  TNodeBranch* b = node.AddLine(shorter, true);
  EXPECT_EQ(node.Children()[0], a);
  EXPECT_EQ(node.Children()[1], b);
  EXPECT_EQ(node.NextBranch(b), a);
}

TEST_F(TopologyNodesTest, AddingTheSameLineEndTwiceGivesTheFirstBranchAndChangesNothing) {
  TNode node;
  TPolyLineElement* line = Line({{5, 5}, {9, 7}});
  TNodeBranch* first = node.AddLine(line, true);
  TNodeBranch* again = node.AddLine(line, true);
  EXPECT_EQ(again, first);
  EXPECT_EQ(node.GetBranchCount(), 1);
  EXPECT_EQ(node.Children().size(), 2u);
  ExpectBounds(node, 5, 5, 9, 7);
  EXPECT_EQ(node.GetX(), 5);
  EXPECT_EQ(node.GetY(), 5);
}

TEST_F(TopologyNodesTest, AMissingLineIsReportedInABoxAndGivesNoBranch) {
  TNode node;
  EXPECT_EQ(node.AddLine(nullptr, true), nullptr);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Error: TNode.AddLine");
  EXPECT_EQ(node.GetBranchCount(), 0);
}

TEST_F(TopologyNodesTest, ARingLineGivesItsNodeTwoBranchesThatAnswerEachOther) {
  TPolyLineElement* ring = Line({{0, 0}, {4, 0}, {4, 4}, {0, 0}});
  Connect(ring);
  ASSERT_EQ(graph.Children().size(), 1u);
  auto* node = static_cast<TNode*>(graph.Children()[0]);
  EXPECT_EQ(node->GetBranchCount(), 2);
  EXPECT_EQ(node->Children().size(), 3u);
  TNodeBranch* begin = node->FindBranch(ring, true);
  TNodeBranch* end = node->FindBranch(ring, false);
  for (TNodeBranch* branch : {begin, end}) {
    TNode* far = nullptr;
    TNodeBranch* opposite = nullptr;
    branch->GiveLineSecondNodeBranch(far, opposite);
    EXPECT_EQ(far, node);
    EXPECT_EQ(opposite, branch == begin ? end : begin);
  }
}

TEST_F(TopologyNodesTest, FaceWalksOnASquareWithADiagonalAddTheFaceAreas) {
  // A(0,0) B(10,0) C(10,10) D(0,10); the diagonal runs from A to C.
  TPolyLineElement* ab = Line({{0, 0}, {10, 0}});
  TPolyLineElement* bc = Line({{10, 0}, {10, 10}});
  TPolyLineElement* cd = Line({{10, 10}, {0, 10}});
  TPolyLineElement* da = Line({{0, 10}, {0, 0}});
  TPolyLineElement* ac = Line({{0, 0}, {5, 5}, {10, 10}});
  for (TPolyLineElement* line : {ab, bc, cd, da, ac}) Connect(line);
  ASSERT_EQ(graph.Children().size(), 4u);
  struct Row {
    const char* name;
    TPolyLineElement* line;
    bool atBegin;
    double area;
    int steps;
  } rows[] = {
      {"the outer side, walked from A along AB", ab, true, -100, 4},
      {"the lower triangle, from A along the diagonal", ac, true, 50, 3},
      {"the upper triangle, from C back along the diagonal", ac, false, 50, 3},
      {"the lower triangle, from B towards A", ab, false, 50, 3},
  };
  for (const Row& row : rows) {
    double area = 0;
    bool closed = false;
    int steps = 0;
    BranchOf(row.line, row.atBegin)->TraceArea(area, closed, steps, false);
    EXPECT_TRUE(closed) << row.name;
    EXPECT_EQ(steps, row.steps) << row.name;
    EXPECT_DOUBLE_EQ(area, row.area) << row.name;
  }
}

TEST_F(TopologyNodesTest, AMarkingWalkThatMeetsAMarkedBranchDoesNotClose) {
  TPolyLineElement* ab = Line({{0, 0}, {10, 0}});
  TPolyLineElement* bc = Line({{10, 0}, {10, 10}});
  TPolyLineElement* ca = Line({{10, 10}, {0, 0}});
  for (TPolyLineElement* line : {ab, bc, ca}) Connect(line);
  double area = 0;
  bool closed = false;
  int steps = 0;
  BranchOf(ab, false)->TraceArea(area, closed, steps, true);
  EXPECT_TRUE(closed);
  EXPECT_EQ(steps, 3);
  for (auto [line, atBegin] : {std::pair{ab, false}, {bc, false}, {ca, false}})
    EXPECT_TRUE(BranchOf(line, atBegin)->NotRegularArea);
  EXPECT_FALSE(BranchOf(ab, true)->NotRegularArea);

  // The other side of the triangle is a face of its own.
  BranchOf(ca, true)->TraceArea(area, closed, steps, true);
  EXPECT_TRUE(closed);
  // The same face again, from another of its branches.
  BranchOf(bc, false)->TraceArea(area, closed, steps, true);
  EXPECT_FALSE(closed);
}

TEST_F(TopologyNodesTest, AnIsolatedLineIsWalkedThereAndBackWithTheTermsCancelling) {
  TPolyLineElement* line = Line({{0, 0}, {3, 1}, {7, -2}});
  Connect(line);
  double area = 42;
  bool closed = false;
  int steps = 0;
  BranchOf(line, true)->TraceArea(area, closed, steps, false);
  EXPECT_TRUE(closed);
  EXPECT_EQ(steps, 2);
  EXPECT_DOUBLE_EQ(area, 0);
}

TEST_F(TopologyNodesTest, AWalkFromABranchWithoutFarNodeEndsAtOnce) {
  TPolyLineElement* line = Line({{0, 0}, {3, 1}});
  TNode* node = NodeAt(0, 0);
  TNodeBranch* branch = node->AddLine(line, true);
  double area = 42;
  bool closed = false;
  int steps = 0;
  branch->TraceArea(area, closed, steps, false);
  EXPECT_TRUE(closed);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(area, 42);
}

TEST_F(TopologyNodesTest, AWalkKeepsFrameworkMessagesQueuedUntilItEnds) {
  TLogLines log;
  MainTool = &log;
  TPolyLineElement* ab = Line({{0, 0}, {10, 0}});
  TPolyLineElement* bc = Line({{10, 0}, {10, 10}});
  TPolyLineElement* ca = Line({{10, 10}, {0, 0}});
  for (TPolyLineElement* line : {ab, bc, ca}) Connect(line);
  PostTextMessage(nullptr, msgLogText, "během průchodu", nullptr);
  double area = 0;
  bool closed = false;
  int steps = 0;
  BranchOf(ab, true)->TraceArea(area, closed, steps, false);
  EXPECT_EQ(steps, 3);
  EXPECT_TRUE(log.Lines.empty());
  RunMessages();
  EXPECT_THAT(log.Lines, ElementsAre("během průchodu"));
  MainTool = nullptr;
}

TEST_F(TopologyNodesTest, TheLeftAreaIsTheRightAreaOfTheOtherEnd) {
  TPolyLineElement* line = Line({{0, 0}, {3, 1}});
  Connect(line);
  TAreaElement area;
  BranchOf(line, false)->SetRightArea(&area);
  EXPECT_EQ(BranchOf(line, true)->GetLeftArea(), &area);
  EXPECT_EQ(BranchOf(line, false)->GetLeftArea(), nullptr);
  EXPECT_EQ(BranchOf(line, true)->GetX2(), 3);
  EXPECT_EQ(BranchOf(line, false)->GetY2(), 0);
}

}  // namespace
