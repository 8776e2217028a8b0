#include "spatial/topology/topology_nodes.h"

#include <gmock/gmock.h>

#include "spatial/objects/space_entities.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using ::testing::ElementsAre;

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

  // The walk's area, whether it closed and its steps.
  static std::tuple<double, bool, int> Trace(TNodeBranch* branch, bool mark) {
    double area = 0;
    bool closed = false;
    int steps = 0;
    branch->TraceArea(area, closed, steps, mark);
    return {area, closed, steps};
  }

  TPolyLineString lines;
  TEntity graph;
};

// The ascending order of branches by angle is what the face walks rely on.
TEST_F(TopologyNodesTest, ABranchOfEqualAngleGoesAfterTheOneThereAndNoLineIsRefusedWithAMessage) {
  TNode node;  // a branch of equal angle goes after the one already there; the same line end again changes nothing
  TPolyLineElement* longer = Line({{0, 0}, {2, 2}});
  TNodeBranch* a = node.AddLine(longer, true);
  TNodeBranch* b = node.AddLine(Line({{0, 0}, {1, 1}}), true);
  EXPECT_EQ(std::tuple(node.AddLine(longer, true), node.Children()[1], node.NextBranch(b)), std::tuple(a, b, a));
  EXPECT_EQ(node.AddLine(nullptr, true), nullptr);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Error: TNode.AddLine");
}

TEST_F(TopologyNodesTest, AMarkingWalkThatMeetsAMarkedBranchDoesNotCloseAndMessagesWaitForTheWalk) {
  TLogLines log;
  MainTool = &log;
  TPolyLineElement* ab = Line({{0, 0}, {10, 0}});
  TPolyLineElement* bc = Line({{10, 0}, {10, 10}});
  TPolyLineElement* ca = Line({{10, 10}, {0, 0}});
  for (TPolyLineElement* line : {ab, bc, ca}) Connect(line);
  PostTextMessage(nullptr, msgLogText, "během průchodu", nullptr);
  EXPECT_EQ(std::get<2>(Trace(BranchOf(ab, false), true)), 3);
  EXPECT_TRUE(log.Lines.empty());
  RunMessages();
  EXPECT_THAT(log.Lines, ElementsAre("během průchodu"));
  MainTool = nullptr;
  for (auto [line, atBegin] : {std::pair{ab, false}, {bc, false}, {ca, false}, {ab, true}})
    EXPECT_EQ(BranchOf(line, atBegin)->NotRegularArea, !atBegin);
  EXPECT_TRUE(std::get<1>(Trace(BranchOf(ca, true), true)));    // the other side is a face of its own
  EXPECT_FALSE(std::get<1>(Trace(BranchOf(bc, false), true)));  // the same face again, from another branch
}

}  // namespace

namespace {

// A zero-length first segment has no direction of its own.
TEST_F(TopologyNodesTest, ABranchTakesItsAngleFromTheFirstVertexApartFromItsEnd) {
  const double pi = 3.14159265358979323846;
  const struct {
    const char* name;
    std::initializer_list<TRealPoint> points;
    bool atBegin;
    double angle;
  } rows[] = {
      {"a plain first segment", {{0, 0}, {0, 5}}, true, pi / 2},
      {"a zero-length first segment", {{0, 0}, {0, 0}, {0, 5}}, true, pi / 2},
      {"zero-length segments at the end", {{5, 0}, {0, 0}, {0, 0}, {0, 0}}, false, 2 * pi},
  };
  for (const auto& row : rows) {
    TNodeBranch branch;
    branch.SetLine(Line(row.points));
    branch.LineBegin = row.atBegin;
    EXPECT_DOUBLE_EQ(branch.GetAngle(), row.angle) << row.name;
  }
}

}  // namespace
