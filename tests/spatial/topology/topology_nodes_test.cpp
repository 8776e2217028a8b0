#include "spatial/topology/topology_nodes.h"

#include <gmock/gmock.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>

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
      {"no line", {}, true, 0},
  };
  for (const auto& row : rows) {
    TNodeBranch branch;
    if (row.points.size() > 0) branch.SetLine(Line(row.points));
    branch.LineBegin = row.atBegin;
    EXPECT_DOUBLE_EQ(branch.GetAngle(), row.angle) << row.name;
  }
}

}  // namespace

namespace {

// The face walks turn by the branch order, so the turning steps must follow
// it exactly: equal angles, the two ends of one line at one node, and a line
// end the node does not hold.
TEST_F(TopologyNodesTest, TheBranchesBesideALineEndFollowTheAngleOrderAndWrap) {
  TNode node;
  TPolyLineElement* east = Line({{0, 0}, {4, 0}});
  TPolyLineElement* southFar = Line({{0, 0}, {0, -2}});
  TPolyLineElement* southNear = Line({{0, 0}, {0, -1}});  // the same angle, added later: after southFar
  TPolyLineElement* north = Line({{0, 0}, {0, 3}});
  TPolyLineElement* loop = Line({{0, 0}, {1, 1}, {1, -1}, {0, 0}});  // leaves at 45 degrees, comes back from 315
  TPolyLineElement* west = Line({{0, 0}, {-5, 0}});
  TPolyLineElement* elsewhere = Line({{7, 7}, {8, 8}});
  for (auto [line, atBegin] : {std::pair{east, true}, {southFar, true}, {southNear, true}, {north, true},
                               {loop, true}, {loop, false}, {west, true}})
    node.AddLine(line, atBegin);
  const std::pair<TPolyLineElement*, bool> order[] = {{loop, true},      {north, true},    {west, true},
                                                      {southFar, true},  {southNear, true}, {loop, false},
                                                      {east, true}};
  const int n = static_cast<int>(std::size(order));
  ASSERT_EQ(node.GetBranchCount(), n);
  auto at = [&](int i) { return node.FindBranch(order[(i + n) % n].first, order[(i + n) % n].second); };
  for (int i = 0; i < n; ++i) {
    const std::string name = "line end " + std::to_string(i) + " of the angle order";
    ASSERT_NE(at(i), nullptr) << name;
    EXPECT_EQ(node.Children()[static_cast<std::size_t>(i)], at(i)) << name;
    EXPECT_EQ(node.NextBranch(at(i)), at(i + 1)) << name;
    EXPECT_EQ(node.PrevBranch(at(i)), at(i - 1)) << name;
    EXPECT_EQ(node.BranchAfterLineEnd(order[i].first, order[i].second), at(i + 1)) << name;
  }
  EXPECT_EQ(node.BranchAfterLineEnd(elsewhere, true), nullptr);
  EXPECT_EQ(node.BranchAfterLineEnd(east, false), nullptr);  // the other end of a line held at its begin
  EXPECT_EQ(node.NextBranch(nullptr), nullptr);
}

// Child lists a script can make: no lines after the branches, a single
// branch, and an element among the branches, which ends them (a branch after
// it is not among them).  Each branch is picked by itself and by its line end.
TEST_F(TopologyNodesTest, TheBranchesBesideOneEndAtTheFirstChildThatIsNoBranch) {
  const struct {
    const char* name;
    const char* children;  // 'b' a branch, 'x' an element that is none
    int picked;            // the child picked
    int next, previous;    // the children answered; -1 nil
  } cases[] = {
      {"branches only, the last", "bbb", 2, 0, 1},
      {"branches only, the first", "bbb", 0, 1, 2},
      {"branches only, the middle", "bbb", 1, 2, 0},
      {"a single branch", "bx", 0, 0, 0},
      {"a single branch alone", "b", 0, 0, 0},
      {"the last branch before an element", "bbxb", 1, 0, 0},
      {"the first branch before an element", "bbxb", 0, 1, 1},
      {"a branch after an element", "bbxb", 3, -1, -1},
  };
  for (const auto& c : cases) {
    TNode node;
    std::vector<TElement*> children;
    for (const char* kind = c.children; *kind; ++kind) {
      if (*kind == 'x') {
        children.push_back(new TOwnerElement);
      } else {
        auto* branch = new TNodeBranch;
        branch->SetLine(Line({{0, 0}, {1, static_cast<double>(children.size())}}));
        branch->LineBegin = true;
        children.push_back(branch);
      }
      node.AddElement(children.back());
    }
    auto child = [&](int index) { return index < 0 ? nullptr : static_cast<TNodeBranch*>(children[index]); };
    TNodeBranch* picked = child(c.picked);
    EXPECT_EQ(std::tuple(node.NextBranch(picked), node.PrevBranch(picked),
                         node.BranchAfterLineEnd(picked->GetLine(), true)),
              std::tuple(child(c.next), child(c.previous), child(c.next)))
        << c.name;
  }
}

// A node that took a line no one else held is that line's first owner.
TEST_F(TopologyNodesTest, ALineEndsNodeIsFoundAmongAllOfTheLinesOwners) {
  auto* unheld = new TPolyLineElement;
  unheld->AddVertex(0, 0);
  unheld->AddVertex(5, 5);
  const struct {
    const char* name;
    TPolyLineElement* line;
    TNode* node;
  } rows[] = {
      {"the node is the line's first owner", unheld, NodeAt(0, 0)},
      {"the node follows the line's string", Line({{0, 0}, {0, 5}}), NodeAt(0, 0)},
  };
  for (const auto& row : rows) {
    TNodeBranch* added = row.node->AddLine(row.line, true);
    TNode* node = nullptr;
    TNodeBranch* branch = nullptr;
    FindLineEndNode(row.line, true, node, branch);
    EXPECT_EQ(node, row.node) << row.name;
    EXPECT_EQ(branch, added) << row.name;
    FindLineEndNode(row.line, false, node, branch);
    EXPECT_EQ(node, nullptr) << row.name << ": the other end is in no node";
    EXPECT_EQ(branch, nullptr) << row.name;
  }
}

// A walk hands back the ring it walked only when it closed.
TEST_F(TopologyNodesTest, AWalkLeavesItsRingInWalkingOrderOnlyWhenItCloses) {
  TPolyLineElement* ab = Line({{0, 0}, {10, 0}});
  TPolyLineElement* bc = Line({{10, 0}, {10, 10}});
  TPolyLineElement* ca = Line({{10, 10}, {0, 0}});
  for (TPolyLineElement* line : {ab, bc, ca}) Connect(line);
  TNodeBranch* abEnd = BranchOf(ab, false);
  TNodeBranch* bcEnd = BranchOf(bc, false);
  TNodeBranch* caEnd = BranchOf(ca, false);
  TNode* b = nullptr;
  TNodeBranch* bcBegin = nullptr;
  FindLineEndNode(bc, true, b, bcBegin);
  TNode* abFar = abEnd->GetFarNode();
  const struct {
    const char* name;
    std::function<void()> before;
    TNodeBranch* start;
    bool closed;
    std::vector<TNodeBranch*> ring;
  } rows[] = {
      {"no far node known: the walk ends at its start, no ring", [&] { abEnd->SetFarNode(nullptr); }, abEnd, true,
       {}},
      {"a face that closes: its branches from the start", [&] { abEnd->SetFarNode(abFar); }, abEnd, true,
       {abEnd, caEnd, bcEnd}},
      {"the same face again: meets a marked branch", [] {}, bcEnd, false, {}},
      {"no branch to turn to at the far node: no ring",
       [&] { b->FreeElement(bcBegin); },
       bcEnd, true, {}},
  };
  for (const auto& row : rows) {
    row.before();
    std::vector<TNodeBranch*> ring{abEnd};  // whatever it held before goes
    double area = 0;
    bool closed = !row.closed;
    int steps = 0;
    row.start->TraceArea(area, closed, steps, true, &ring);
    EXPECT_EQ(closed, row.closed) << row.name;
    EXPECT_EQ(ring, row.ring) << row.name;
  }
}

// The far node only spares a search: a branch along the way whose far node is
// not known is continued through the nodes among its line's owners, and the
// face closes as it would.
TEST_F(TopologyNodesTest, AWalkGoesOnThroughTheLinesOwnersWhereAFarNodeIsNotKnown) {
  const struct {
    const char* name;
    int unknown;  // the branch of the ring (1 or 2 after the start) without a far node; 0 none
  } rows[] = {{"every far node known", 0}, {"the second branch's unknown", 1}, {"the third branch's unknown", 2}};
  for (const auto& row : rows) {
    // A triangle of its own for each row, A (x, 0), B (x + 10, 0), C (x + 10, 10), walked A C B clockwise.
    const double x = 100.0 * (&row - rows);
    TPolyLineElement* ab = Line({{x, 0}, {x + 10, 0}});
    TPolyLineElement* bc = Line({{x + 10, 0}, {x + 10, 10}});
    TPolyLineElement* ca = Line({{x + 10, 10}, {x, 0}});
    for (TPolyLineElement* line : {ab, bc, ca}) Connect(line);
    const std::vector<TNodeBranch*> ring = {BranchOf(ab, false), BranchOf(ca, false), BranchOf(bc, false)};
    if (row.unknown) ring[static_cast<std::size_t>(row.unknown)]->SetFarNode(nullptr);
    std::vector<TNodeBranch*> walked;
    double area = 0;
    bool closed = false;
    int steps = 0;
    ring[0]->TraceArea(area, closed, steps, false, &walked);
    EXPECT_EQ(std::tuple(area, closed, steps), std::tuple(50.0, true, 3)) << row.name;
    EXPECT_EQ(walked, ring) << row.name;
  }
}

}  // namespace

namespace {

// Placing a branch decides most comparisons from the vectors; each answer
// must equal the comparison of the two angles themselves, also next to the
// wrap on the X axis, for nearly parallel lines and for odd numbers.
TEST(BranchDirectionTest, AngleAboveAnswersAsTheAnglesCompare) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const TBranchDirection none{};
  const struct {
    const char* name;
    TBranchDirection a, b;
  } rows[] = {
      {"first against second quadrant", {1, 1, true}, {-1, 1, true}},
      {"upper against lower half", {-1, 1, true}, {-1, -1, true}},
      {"third against fourth quadrant", {-1, -2, true}, {1, -2, true}},
      {"along the X axis against just above it", {1, 0, true}, {1, 1e-12, true}},
      {"along the X axis against just below it", {1, 0, true}, {1, -1e-12, true}},
      {"just above against just below the X axis", {1, 1e-300, true}, {1, -1e-300, true}},
      {"a tiny angle that rounds away against a plain one", {1, 1e-17, true}, {1, 1, true}},
      {"against the X axis backwards", {-1, 0, true}, {-1, 1e-12, true}},
      {"straight up and straight down", {0, 1, true}, {0, -1, true}},
      {"equal directions of other lengths", {2, 3, true}, {4, 6, true}},
      {"nearly parallel", {1, 1, true}, {1, 1 + 1e-13, true}},
      {"parallel within the margin", {1, 1, true}, {1, 1 + 1e-9, true}},
      {"no length", {0, 0, true}, {1, 1, true}},
      {"no line", none, {1, 1, true}},
      {"no line against a lower direction", none, {1, -1, true}},
      {"not a number", {nan, 1, true}, {1, 1, true}},
      {"infinite", {inf, 1, true}, {1, -inf, true}},
      {"huge", {1e300, 1e300, true}, {-1e300, 1e300, true}},
      {"tiny", {1e-300, 2e-300, true}, {-1e-300, 1e-300, true}},
      {"opposite", {3, 4, true}, {-3, -4, true}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.a.AngleAbove(row.b), row.a.Angle() > row.b.Angle()) << row.name;
    EXPECT_EQ(row.b.AngleAbove(row.a), row.b.Angle() > row.a.Angle()) << row.name << ", turned round";
  }
}

// The same over many directions: whole turns in small steps, and pairs a
// rounding apart.
TEST(BranchDirectionTest, AngleAboveAnswersAsTheAnglesCompareAllRound) {
  std::mt19937_64 random(30);
  std::uniform_real_distribution<double> turn(0, 2 * 3.14159265358979323846);
  std::uniform_int_distribution<int> scale(-8, 8);
  int wrong = 0;
  for (int i = 0; i < 200000; ++i) {
    const double length = std::ldexp(1.0, 4 * scale(random));
    const double t = turn(random);
    const TBranchDirection a{length * std::cos(t), length * std::sin(t), true};
    TBranchDirection b{length * std::cos(t + 1e-6), length * std::sin(t + 1e-6), true};
    if (i % 2 == 0) b.DY = std::nextafter(a.DY, i % 4 == 0 ? 1e300 : -1e300), b.DX = a.DX;
    if (a.AngleAbove(b) != (a.Angle() > b.Angle()) || b.AngleAbove(a) != (b.Angle() > a.Angle())) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
