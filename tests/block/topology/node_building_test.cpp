#include "block/topology/node_building.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "tests/block/topology/topology_fixture.h"

namespace {

using ::testing::ElementsAre;

class NodeBuildingTest : public TopologyTest {
 protected:
  // The passes of node building over the lines, with the connector's flags.
  TSpaceLineBegEndCell& Graph(bool joinDifferent, bool deletePseudo, int maxCoords) {
    ReadLines();
    PutNodes();
    return Connect(joinDifferent, deletePseudo, maxCoords);
  }
  void ReadLines() {
    TReadLinesIntoQTree reader;
    reader.SetInput(&lines);
    reader.DoIt();
    tree.reset(static_cast<TSpaceLineBegEndCell*>(reader.Output()));
  }
  // Nodes into the index, and the leaves' line-end lists freed.
  void PutNodes() {
    TPutNodesIntoQTree putter;
    putter.SetInput(tree.get());
    putter.DoIt();
    TDeleteDirectRelationsToLinesInQTree unlinker;
    unlinker.SetInput(tree.get());
    unlinker.DoIt();
  }
  TSpaceLineBegEndCell& Connect(bool joinDifferent, bool deletePseudo, int maxCoords) {
    TNodesConector conector;
    conector.JoinDifferentLines = joinDifferent;
    conector.DeletePseudoNodes = deletePseudo;
    conector.MaxCoordsCount = maxCoords;
    conector.SetInput(tree.get());
    conector.DoIt();
    return *tree;
  }

  // The vertices of every line of the string, in string order.
  std::vector<Points> LineVertices() const {
    std::vector<Points> all;
    for (TElement* child : lines.Children()) all.push_back(VerticesOf(*static_cast<TPolyElement*>(child)));
    return all;
  }

  // Every branch knows the node of its line's other end, which has the
  // branch for that end; "" when the graph holds together, else what broke.
  static std::string BrokenLinks(TSpaceLineBegEndCell& graph) {
    for (TNode* node : NodesOf(graph)) {
      for (TElement* child : node->Children()) {
        auto* branch = DynamicCast<TNodeBranch>(child);
        if (!branch) continue;
        TNode* far = branch->GetFarNode();
        if (!far) return "branch without far node at " + std::to_string(node->GetX()) + "," + std::to_string(node->GetY());
        TNodeBranch* opposite = far->FindBranch(branch->GetLine(), !branch->LineBegin);
        if (!opposite || opposite == branch) return "far node without the opposite branch";
        if (opposite->GetFarNode() != node) return "opposite branch looks elsewhere";
      }
    }
    return "";
  }

  std::unique_ptr<TSpaceLineBegEndCell> tree;
};

// The reader files both ends of each line once, also of a line reached
// through two containers, and refuses a line without vertices with the
// index's error while the others are filed.
TEST_F(NodeBuildingTest, TheReaderFilesBothEndsOfEachLineOnceAndRefusesALineWithoutVertices) {
  const struct {
    const char* name;
    int lines;
    bool emptyLine;
    bool reachedTwice;
    std::size_t errors;
  } rows[] = {
      {"three lines", 3, false, false, 0},
      {"a line without vertices", 3, true, false, 2},
      {"a line reached twice", 3, false, true, 0},
      {"enough ends to split the root", 100, false, false, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    lines.Clear();
    dialogs.Messages.clear();
    std::vector<TPolyLineElement*> made;
    for (int i = 0; i < row.lines; ++i) made.push_back(Line({{i * 1.0, 0}, {i * 1.0 + 0.5, 10}}));
    if (row.emptyLine) lines.AddEntity(new TPolyLineElement);
    if (row.reachedTwice) {
      auto* again = new TOwnerEntity;
      again->AddElement(made.front());
      lines.AddElement(again);
    }
    TReadLinesIntoQTree reader;
    reader.SetInput(&lines);
    reader.DoIt();
    std::unique_ptr<TSpaceLineBegEndCell> index(static_cast<TSpaceLineBegEndCell*>(reader.Output()));
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->GetEndsCount(), 2 * row.lines);
    EXPECT_EQ(index->Last(), row.lines * 2 <= TSpaceLineBegEndCell::Capacity);
    ASSERT_EQ(dialogs.Messages.size(), row.errors);
    for (const auto& box : dialogs.Messages) EXPECT_EQ(box.Text, "Error: TSpaceLineBegEndCell.AddLine");
  }
}

// The index spans the input's bounds, or the first parameter's, and stays
// the reader's tree until its caller frees it.
TEST_F(NodeBuildingTest, TheReadersIndexSpansItsInputOrItsFirstParameter) {
  Line({{0, 0}, {10, 10}});
  Line({{2, 3}, {8, 4}});
  const struct {
    const char* name;
    std::vector<TRealRect> parameters;
    TRealRect bounds;
  } rows[] = {
      {"no parameter", {}, {0, 0, 10, 10}},
      {"one parameter", {{-5, -5, 20, 30}}, {-5, -5, 20, 30}},
      {"two parameters", {{-5, -5, 20, 30}, {1, 1, 2, 2}}, {-5, -5, 20, 30}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    for (TElement* line : lines.Children()) static_cast<TPolyLineElement*>(line)->SetIsDone(false);
    TReadLinesIntoQTree reader;
    reader.SetInput(&lines);
    for (const TRealRect& r : row.parameters) {
      auto* bounds = new TPolyLineElement;
      bounds->AddVertex(r.MinX, r.MinY);
      bounds->AddVertex(r.MaxX, r.MaxY);
      bounds->CalcBounds();
      reader.AddParameter(bounds);
    }
    reader.DoIt();
    std::unique_ptr<TSpaceLineBegEndCell> index(static_cast<TSpaceLineBegEndCell*>(reader.Output()));
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(reader.Tree(), index.get());
    EXPECT_EQ(std::tuple(index->GetMinX(), index->GetMinY(), index->GetMaxX(), index->GetMaxY()),
              std::tuple(row.bounds.MinX, row.bounds.MinY, row.bounds.MaxX, row.bounds.MaxY));
    EXPECT_EQ(index->GetEndsCount(), 4);
    index.reset();
    EXPECT_EQ(reader.Tree(), nullptr);
  }
}

TEST_F(NodeBuildingTest, EndsShareANodeOnlyWhenCloserThanTheToleranceOnBothAxes) {
  const struct {
    const char* name;
    double dx, dy;
    std::size_t nodes;
  } rows[] = {
      {"the same point", 0, 0, 3},
      {"0.00009 apart on both axes", 0.00009, 0.00009, 3},
      {"0.0001 apart on X", 0.0001, 0, 4},
      {"0.0001 apart on Y", 0, 0.0001, 4},
  };
  for (const auto& row : rows) {
    lines.Clear();
    Line({{0, 0}, {10, 0}});
    Line({{row.dx, row.dy}, {5, 8}});
    EXPECT_EQ(NodesOf(Graph(false, false, 0)).size(), row.nodes) << row.name;
  }
}

// Lines of n vertices along X from x0, the last at the node (50, 0).
Points Ramp(int n, double x0) {
  Points points;
  for (int i = 0; i < n; ++i) points.emplace_back(x0 + i * (50 - x0) / (n - 1), i == n - 1 ? 0 : 1);
  return points;
}
Points Reversed(Points points) {
  std::reverse(points.begin(), points.end());
  return points;
}
Points Joined(const Points& a, const Points& b) {
  Points all = a;
  all.insert(all.end(), b.begin() + 1, b.end());
  return all;
}

TEST_F(NodeBuildingTest, APseudoNodeJoinsItsTwoLinesWhenAllowedAndTheGraphHoldsTogether) {
  struct Drawn {
    Points points;
    int druh;
  };
  const Points up{{5, 0}, {5, 10}};
  const Points in{{0, 0}, {5, 0}};
  const Points ring{{0, 0}, {10, 0}, {10, 10}, {0, 0}};
  // The node at (0, 0) comes first: the second half goes on with the first.
  const Points half1{{0, 0}, {10, 0}, {10, 10}};
  const Points half2{{10, 10}, {0, 10}, {0, 0}};
  const struct {
    const char* name;
    std::vector<Drawn> drawn;
    bool joinDifferent;
    bool deletePseudo;
    int maxCoords;
    std::vector<Points> expected;
  } rows[] = {
      {"at the first line's begin: from the second's far end, the shared vertex once",
       {{up, 1}, {in, 1}}, false, true, 0, {{{0, 0}, {5, 0}, {5, 10}}}},
      {"at the first line's end", {{Reversed(up), 1}, {Reversed(in), 1}}, false, true, 0, {{{5, 10}, {5, 0}, {0, 0}}}},
      {"without deleting pseudo-nodes", {{up, 1}, {in, 1}}, false, false, 0, {up, in}},
      {"different kinds stay apart", {{up, 1}, {in, 2}}, false, true, 0, {up, in}},
      {"different kinds joined on request", {{up, 1}, {in, 2}}, true, true, 0, {{{0, 0}, {5, 0}, {5, 10}}}},
      {"299 vertices over a limit of 200", {{Ramp(150, 0), 1}, {Reversed(Ramp(150, 100)), 1}}, false, true, 200,
       {Ramp(150, 0), Reversed(Ramp(150, 100))}},
      {"299 vertices without a limit", {{Ramp(150, 0), 1}, {Reversed(Ramp(150, 100)), 1}}, false, true, 0,
       {Joined(Ramp(150, 0), Reversed(Ramp(150, 100)))}},
      {"a ring is not joined with itself", {{ring, 1}}, false, true, 0, {ring}},
      {"two lines closing a loop become one ring", {{half1, 1}, {half2, 1}}, false, true, 0,
       {Joined(half2, half1)}},
  };
  for (const auto& row : rows) {
    lines.Clear();
    for (const Drawn& d : row.drawn) Line(d.points, 1, d.druh);
    TSpaceLineBegEndCell& graph = Graph(row.joinDifferent, row.deletePseudo, row.maxCoords);
    const std::vector<Points> result = LineVertices();
    EXPECT_EQ(result.size(), row.expected.size()) << row.name;
    for (const Points& expected : row.expected)
      EXPECT_TRUE(std::find(result.begin(), result.end(), expected) != result.end()) << row.name;
    EXPECT_EQ(BrokenLinks(graph), "") << row.name;
  }
}

TEST_F(NodeBuildingTest, AJoinThatFailsChangesNothingAndIsLogged) {
  TPolyLineElement* first = Line({{5, 0}, {5, 10}}, 7, 1);
  TPolyLineElement* second = Line({{0, 0}, {2, 0}, {5, 0}}, 8, 1);
  second->InsertElement(2, new TNameElement);  // a child that is no vertex
  const std::vector<Points> before = LineVertices();
  TSpaceLineBegEndCell& graph = Graph(false, true, 0);
  EXPECT_EQ(LineVertices(), before);
  EXPECT_EQ(NodesOf(graph).size(), 3u);
  EXPECT_EQ(BrokenLinks(graph), "");
  EXPECT_THAT(LogLines(), ElementsAre("Chyba při spojování v pseudouzlu linie č.7: vertex 1 missing"));
  EXPECT_EQ(lines.GetCount(), 2);
  EXPECT_EQ(first->GetCoordsCount() + second->GetCoordsCount(), 6);
}

TEST_F(NodeBuildingTest, ALineWithoutLengthStaysOutOfTheGraphAndIsLogged) {
  const struct {
    const char* name;
    Points points;
    std::size_t nodes;
    int owners;  // the string, and the nodes it entered
    std::vector<std::string> log;
  } rows[] = {
      {"every vertex at one point", {{3, 3}, {3, 3}, {3, 3}}, 2, 1, {"Linie č. 9 má nulovou délku, do uzlů nevstupuje"}},
      {"one vertex", {{3, 3}}, 2, 1, {"Linie č. 9 má nulovou délku, do uzlů nevstupuje"}},
      {"no length until its last segment", {{3, 3}, {3, 3}, {3, 3}, {3, 4}}, 4, 3, {}},
  };
  for (const auto& row : rows) {
    tree.reset();
    lines.Clear();
    log.Lines.clear();
    Line({{0, 0}, {10, 0}}, 1);
    TPolyLineElement* line = Line(row.points, 9);
    TSpaceLineBegEndCell& graph = Graph(false, false, 0);
    EXPECT_EQ(NodesOf(graph).size(), row.nodes) << row.name;
    EXPECT_EQ(line->GetOwnersCount(), row.owners) << row.name;
    EXPECT_EQ(LogLines(), row.log) << row.name;
  }
}

TEST_F(NodeBuildingTest, DanglingEndsLeaveTheGraphWithTheirOtherEndsBranchAndTheLinesStay) {
  const Points triangle1{{0, 0}, {10, 0}};
  const Points triangle2{{10, 0}, {5, 8}};
  const Points triangle3{{5, 8}, {0, 0}};
  const struct {
    const char* name;
    std::vector<Points> drawn;
    std::vector<int> branchesLeft;  // per remaining node, sorted
  } rows[] = {
      {"a dangle off a triangle", {triangle1, triangle2, triangle3, {{10, 0}, {20, 0}}}, {2, 2, 2}},
      {"an isolated line", {{{0, 0}, {10, 0}}}, {}},
      {"a triangle alone", {triangle1, triangle2, triangle3}, {2, 2, 2}},
  };
  for (const auto& row : rows) {
    lines.Clear();
    for (const Points& points : row.drawn) Line(points);
    TSpaceLineBegEndCell& graph = Graph(false, false, 0);
    TRemoveSingleLinesInQTree remover;
    remover.SetInput(&graph);
    remover.DoIt();
    std::vector<int> left;
    for (TNode* node : NodesOf(graph)) left.push_back(node->GetBranchCount());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, row.branchesLeft) << row.name;
    EXPECT_EQ(lines.GetCount(), static_cast<int>(row.drawn.size())) << row.name;
    EXPECT_EQ(BrokenLinks(graph), "") << row.name;
  }
}

TEST_F(NodeBuildingTest, MakeNodesOwnsTheIndexAndOutputsEveryLineOnce) {
  Line({{0, 0}, {10, 0}}, 1, 1);
  Line({{10, 0}, {10, 10}}, 2, 1);
  Line({{10, 10}, {0, 0}}, 3, 2);
  TMakeNodes maker;
  maker.DeletePseudoNodes = true;
  maker.SetInput(&lines);
  maker.DoIt();
  TSpaceLineBegEndCell* index = maker.GetNodesQTree();
  ASSERT_NE(index, nullptr);
  EXPECT_TRUE(index->HasOwner(&maker));
  auto* output = DynamicCast<TEntity>(maker.Output());
  ASSERT_NE(output, nullptr);
  EXPECT_TRUE(output->HasOwner(&maker));
  // Lines 1 and 2 share a kind and meet at a node of two: one line is left of them.
  EXPECT_EQ(output->GetCount(), 2);
  EXPECT_EQ(lines.GetCount(), 2);
  EXPECT_EQ(NodesOf(*index).size(), 2u);
}

// An input without valid bounds (an owner of lines) is indexed over its
// lines' bounds; with no line to go by nothing is built and the log says why.
TEST_F(NodeBuildingTest, MakeNodesOverAnInputWithoutBoundsTakesTheBoundsOfItsLines) {
  Line({{0, 0}, {10, 0}}, 1);
  Line({{10, 0}, {12, -4}, {0, 0}}, 2);
  const struct {
    const char* name;
    bool withLines;
    std::vector<std::string> log;
  } rows[] = {
      {"an owner of lines", true, {}},
      {"an owner of no lines", false, {"Uzly nevytvořeny: LINIE nemá platný rozsah a neobsahuje linie s rozsahem"}},
  };
  for (const auto& row : rows) {
    TOwnerEntity input;
    input.SetName("LINIE");
    if (row.withLines)
      for (TElement* line : lines.Children()) input.AddElement(line);
    TMakeNodes maker;
    maker.SetInput(&input);
    maker.DoIt();
    auto* output = DynamicCast<TEntity>(maker.Output());
    EXPECT_EQ(output ? output->GetCount() : -1, row.withLines ? 2 : -1) << row.name;
    TSpaceLineBegEndCell* index = maker.GetNodesQTree();
    ASSERT_EQ(index != nullptr, row.withLines) << row.name;
    if (index) {
      EXPECT_EQ(std::tuple(index->GetMinX(), index->GetMinY(), index->GetMaxX(), index->GetMaxY()),
                std::tuple(0.0, -4.0, 12.0, 0.0))
          << row.name;
      EXPECT_EQ(NodesOf(*index).size(), 2u) << row.name;
    }
    EXPECT_EQ(LogLines(), row.log) << row.name;
  }
}

// A leaf's passes meet only lines in its line-end lists and only nodes in
// its node list, and a branch may have lost its line: anything else is
// stepped over, before and during the walk, and the rest is built as usual.
TEST_F(NodeBuildingTest, NodesArePutOnlyFromTheLinesOfALeafsLists) {
  const struct {
    const char* name;
    bool foreignInBegins;
    bool foreignInEnds;
  } rows[] = {
      {"only lines", false, false},
      {"a vertex among the first ends", true, false},
      {"a vertex among the last ends", false, true},
  };
  for (const auto& row : rows) {
    tree.reset();
    lines.Clear();
    Line({{0, 0}, {10, 0}});
    Line({{10, 0}, {10, 10}});
    ReadLines();
    ASSERT_TRUE(tree->Last()) << row.name;
    if (row.foreignInBegins) tree->Begins()->AddElement(new T2DCoordinate(0, 0));
    if (row.foreignInEnds) tree->Ends()->AddElement(new T2DCoordinate(10, 10));
    PutNodes();
    std::vector<int> branches;
    for (TNode* node : NodesOf(*tree)) branches.push_back(node->GetBranchCount());
    EXPECT_THAT(branches, ElementsAre(1, 2, 1)) << row.name;
  }
}

TEST_F(NodeBuildingTest, FarNodesAreLinkedForEveryBranchWithALineAndOnlyThose) {
  const struct {
    const char* name;
    bool foreignNode;
    bool lineGone;
    int lineless;  // branches left without a line, and so without a far node
  } rows[] = {
      {"a plain graph", false, false, 0},
      {"a vertex in the node list", true, false, 0},
      {"a line freed under its branches", false, true, 2},
  };
  for (const auto& row : rows) {
    tree.reset();
    lines.Clear();
    Line({{0, 0}, {10, 0}});
    TPolyLineElement* gone = Line({{10, 0}, {10, 10}});
    Line({{10, 10}, {0, 0}});
    ReadLines();
    PutNodes();
    ASSERT_TRUE(tree->Last()) << row.name;
    if (row.lineGone) {
      for (TNode* node : NodesOf(*tree))
        if (node->IndexOf(gone) >= 0) node->FreeElement(gone);
      lines.FreeElement(gone);
    }
    if (row.foreignNode) NodesOfCell(tree.get())->AddElement(new T2DCoordinate(5, 5));
    Connect(false, false, 0);
    int lineless = 0;
    for (TElement* listed : NodesOfCell(tree.get())->Children()) {
      auto* node = DynamicCast<TNode>(listed);
      if (!node) continue;
      for (TElement* child : node->Children()) {
        auto* branch = DynamicCast<TNodeBranch>(child);
        if (!branch) break;
        if (!branch->GetLine()) {
          ++lineless;
          EXPECT_EQ(branch->GetFarNode(), nullptr) << row.name;
          continue;
        }
        TNode* far = branch->GetFarNode();
        ASSERT_NE(far, nullptr) << row.name;
        TNodeBranch* opposite = far->FindBranch(branch->GetLine(), !branch->LineBegin);
        ASSERT_NE(opposite, nullptr) << row.name;
        EXPECT_EQ(opposite->GetFarNode(), node) << row.name;
      }
    }
    EXPECT_EQ(lineless, row.lineless) << row.name;
  }
}

}  // namespace

namespace {

// Scripts make the passes by name and set the connector's flags by name.
TEST_F(NodeBuildingTest, ThePassesStandUnderTheirWalkersAndPublishTheirFlags) {
  EXPECT_EQ(MisplacedClasses({
                {&TPutLinesIntoNodes::StaticClass, "TPutLinesIntoNodes", &TProchazecLinii::StaticClass, {}},
                {&TPutNodesIntoQTree::StaticClass, "TPutNodesIntoQTree", &TProchazecListuQTreeGauge::StaticClass, {}},
                {&TDeleteDirectRelationsToLinesInQTree::StaticClass, "TDeleteDirectRelationsToLinesInQTree",
                 &TProchazecListuQTreeGauge::StaticClass, {}},
                {&TRemoveSingleLinesInQTree::StaticClass, "TRemoveSingleLinesInQTree",
                 &TProchazecListuQTreeGauge::StaticClass, {}},
                {&TNodeConector::StaticClass, "TNodeConector", &TTool::StaticClass,
                 {"JoinDifferentLines", "DeletePseudoNode", "MaxCoordsCount"}},
                {&TNodesConector::StaticClass, "TNodesConector", &TProchazecListuQTreeGauge::StaticClass,
                 {"JoinDifferentLines", "DeletePseudoNodes", "MaxCoordsCount"}},
                {&TMakeNodes::StaticClass, "TMakeNodes", &TTool::StaticClass,
                 {"JoinDifferentLines", "DeletePseudoNodes", "NodesQTree"}},
            }),
            "");
}

}  // namespace

namespace {

// Each leaf pass over more than a hundred leaves shows its gauge with the
// number of leaves and moves it at every leaf, empty ones too.
TEST_F(NodeBuildingTest, EveryLeafPassShowsItsGaugeOverAHundredLeavesAndMovesItAtEachLeaf) {
  // Three corners each hold 66 ends within a few millionths: every cell
  // round them splits down to the smallest cell size, three new leaves a
  // level, and the lines between the corners set the index's bounds.
  for (const auto& [x, y] : Points{{0, 0}, {1000, 0}, {1000, 1000}})
    for (int k = 0; k < 33; ++k) Line({{x + k * 1e-7, y}, {x + k * 1e-7, y + 1e-6}});
  Line({{0, 1000}, {1000, 1000}});
  ReadLines();
  int leaves = 0;
  std::vector<TSpaceLineBegEndCell*> work{tree.get()};
  while (!work.empty()) {
    TSpaceLineBegEndCell* cell = work.back();
    work.pop_back();
    if (cell->Last()) ++leaves;
    for (TElement* child : cell->Children())
      if (auto* quarter = DynamicCast<TSpaceLineBegEndCell>(child)) work.push_back(quarter);
  }
  ASSERT_GT(leaves, 100);
  std::vector<std::string> expected{"MaxValue=0", "MaxValue=" + std::to_string(leaves), "Show"};
  for (int i = 1; i <= leaves; ++i) expected.push_back("Progress=" + std::to_string(i));
  expected.push_back("Hide");
  const struct {
    const char* name;
    std::function<std::unique_ptr<TProchazecListuQTreeGauge>()> make;
  } rows[] = {
      // In the order they run.
      {"nodes put", [] { return std::make_unique<TPutNodesIntoQTree>(); }},
      {"line lists freed", [] { return std::make_unique<TDeleteDirectRelationsToLinesInQTree>(); }},
      {"far nodes linked", [] { return std::make_unique<TNodesConector>(); }},
      {"dangles removed", [] { return std::make_unique<TRemoveSingleLinesInQTree>(); }},
  };
  for (const auto& row : rows) {
    std::unique_ptr<TProchazecListuQTreeGauge> pass = row.make();
    auto& gauge = static_cast<platform::RecordingGaugeForm&>(pass->Gauge());
    pass->SetInput(tree.get());
    pass->DoIt();
    std::vector<std::string> calls;
    for (const std::string& call : gauge.Calls)
      if (call.rfind("Caption=", 0) != 0) calls.push_back(call);
    EXPECT_EQ(calls, expected) << row.name;
  }
}

}  // namespace
