#include "block/topology/area_building.h"

#include <cmath>
#include <memory>

#include "bench/stand_map.h"
#include "block/topology/label_points.h"
#include "spatial/index/quadtree.h"
#include "tests/block/topology/topology_fixture.h"

namespace {

using ::testing::ElementsAre;

// A closed ring of n straight lines round a circle of radius r at (cx, cy).
std::vector<Points> Circle(int n, double cx, double cy, double r) {
  std::vector<Points> ring;
  const double step = 2 * 3.14159265358979323846 / n;
  auto at = [&](int i) {
    if (i % n == 0) return std::pair{cx + r, cy};  // the very same point closes the ring
    return std::pair{cx + r * std::cos(i * step), cy + r * std::sin(i * step)};
  };
  for (int i = 0; i < n; ++i) ring.push_back({at(i), at(i + 1)});
  return ring;
}

std::vector<Points> Square(double x0, double y0, double side) {
  return {{{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}, {x0, y0}}};
}

std::vector<Points> Plus(std::vector<Points> a, const std::vector<Points>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class AreaBuildingTest : public TopologyTest {
 protected:
  // Areas and holes built from the lines; every area is checked to be
  // clockwise above the minimum, with its label inside it and outside its
  // holes ("" when they all are, else what failed).
  struct Built {
    int areas = 0;
    int holes = 0;
    std::string faults;
  };
  Built Build() {
    maker = std::make_unique<TMakeNodesAndAreas>();
    maker->SetInput(&lines);
    maker->DoIt();
    Built built;
    auto* list = DynamicCast<TAreaString>(maker->Output());
    if (!list) return built;
    for (TElement* child : list->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      ++built.areas;
      if (area->Holes()) built.holes += area->Holes()->GetCount();
      if (area->IsHole) built.faults += "a hole in the list; ";
      // The published sum is the one the area was built with, before anything reads it again.
      const double saved = area->SavedArea();
      if (area->WholeArea() != saved) built.faults += "saved sum " + std::to_string(saved) + "; ";
      if (area->WholeArea() <= TCreateAreaForBranch::MinRingArea) built.faults += "not clockwise; ";
      if (!area->ContainsPointOutsideHoles(area->GetAbsRefX(), area->GetAbsRefY()))
        built.faults += "label outside at " + std::to_string(area->GetAbsRefX()) + "," +
                        std::to_string(area->GetAbsRefY()) + "; ";
    }
    return built;
  }

  std::unique_ptr<TMakeNodesAndAreas> maker;
};

TEST_F(AreaBuildingTest, RingsBecomeClockwiseAreasWithLabelsInsideAndOutsideRingsBecomeHolesOfTheSmallestEncloser) {
  const struct {
    const char* name;
    std::vector<Points> drawn;
    int areas;
    int holes;
  } rows[] = {
      {"a single closed square", Square(0, 0, 10), 1, 0},
      {"a square inside a square", Plus(Square(0, 0, 10), Square(3, 3, 2)), 2, 1},
      {"three nested squares: each hole goes to the smallest encloser",
       Plus(Plus(Square(0, 0, 30), Square(5, 5, 20)), Square(10, 10, 5)), 3, 2},
      {"two squares sharing an edge",
       {{{0, 0}, {0, 10}}, {{0, 10}, {10, 10}, {10, 0}, {0, 0}}, {{0, 10}, {-10, 10}, {-10, 0}, {0, 0}}}, 2, 0},
      {"a lone dangling line", {{{0, 0}, {10, 0}}}, 0, 0},
      {"a square with a dangle inside", Plus(Square(0, 0, 10), {{{0, 0}, {4, 4}}}), 1, 0},
      {"a boundary with a gap", {{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 1}}}, 0, 0},
      {"a duplicated edge", Plus(Square(0, 0, 10), {{{0, 0}, {10, 0}}}), 1, 0},
      {"a U-shaped area whose centre lies outside it",
       {{{0, 0}, {0, 10}, {3, 10}, {3, 3}, {7, 3}, {7, 10}, {10, 10}, {10, 0}, {0, 0}}}, 1, 0},
      {"a ring of 3000 lines", Circle(3000, 0, 0, 1000), 1, 0},
      {"an island touching nothing inside a ring of lines", Plus(Circle(40, 0, 0, 100), Circle(7, 10, 10, 20)), 2, 1},
      // Ends up to the node tolerance apart share a node, so far from the
      // origin the lines' own sum and the outline's differ by square metres:
      // the outline decides.
      {"two lines along one path, ends 0.00009 apart far out: no area of the 90 the lines sum",
       {{{0, 1e6}, {10, 1e6}}, {{10 - 0.00009, 1e6}, {0, 1e6}}}, 0, 0},
      {"a square of two lines far out with a gap at a corner",
       {{{0, 1e6}, {0, 1e6 + 10}, {10, 1e6 + 10}}, {{10.00009, 1e6 + 10}, {10, 1e6}, {0, 1e6}}}, 1, 0},
      {"a square far out walked by its lines either way",
       {{{0, 1e6}, {0, 1e6 + 10}, {10, 1e6 + 10}}, {{0, 1e6}, {10, 1e6}, {10, 1e6 + 10}}}, 1, 0},
  };
  for (const auto& row : rows) {
    lines.Clear();
    for (const Points& points : row.drawn) Line(points);
    const Built built = Build();
    EXPECT_EQ(built.areas, row.areas) << row.name;
    EXPECT_EQ(built.holes, row.holes) << row.name;
    EXPECT_EQ(built.faults, "") << row.name;
  }
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
}

TEST_F(AreaBuildingTest, TheStandMapGivesItsStandsAndIslandsAsClockwiseAreasLabelledInsideAndItsIslandsAsHoles) {
  const struct {
    const char* name;
    int side;
    std::uint64_t seed;
    int segments;
  } rows[] = {
      {"one stand", 1, 1, 4},
      {"6 x 6 stands", 6, 7, 4},
      {"12 x 12 stands of one-segment edges", 12, 3, 1},
  };
  for (const auto& row : rows) {
    const TStandMap map = MakeStandMap(row.side, row.seed, row.segments);
    std::unique_ptr<TPolyLineString> drawn(MakeStandMapLines(map));
    maker = std::make_unique<TMakeNodesAndAreas>();
    maker->SetInput(drawn.get());
    maker->DoIt();
    auto* list = DynamicCast<TAreaString>(maker->Output());
    ASSERT_NE(list, nullptr) << row.name;
    int holes = 0;
    for (TElement* child : list->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      if (area->Holes()) holes += area->Holes()->GetCount();
      EXPECT_GT(area->WholeArea(), TCreateAreaForBranch::MinRingArea) << row.name;
      EXPECT_TRUE(area->ContainsPointOutsideHoles(area->GetAbsRefX(), area->GetAbsRefY())) << row.name;
    }
    EXPECT_EQ(list->GetCount(), map.ExpectedAreas) << row.name;
    EXPECT_EQ(holes, map.ExpectedHoles) << row.name;
    maker.reset();
  }
}

// Each area as its outline's sum to two decimals and the number of holes it
// took, in order.
std::vector<std::string> AreasAndTheirHoles(const TAreaString& areas) {
  std::vector<std::string> texts;
  for (TElement* child : areas.Children()) {
    auto* area = static_cast<TAreaElement*>(child);
    texts.push_back(FormatFloatWidth(0, 2, area->WholeArea()) + " with " +
                    std::to_string(area->Holes() ? area->Holes()->GetCount() : 0));
  }
  std::sort(texts.begin(), texts.end());
  return texts;
}

// Many islands in one stand, some holding islands of their own: each goes
// to the smallest area round it, and none to an area that holds it only
// within a hole taken before.
TEST_F(AreaBuildingTest, EveryIslandGoesToTheSmallestAreaRoundItHoweverManyTheStandHolds) {
  const double pi = 3.14159265358979323846;
  const struct {
    const char* name;
    std::vector<Points> stand;
    std::string standArea;
    double x0;         // the first island's corner
    int side;          // islands a row and a column, 20 apart
    int everyInner;    // every so many islands hold one of their own
  } rows[] = {
      {"100 islands in a square stand", Square(0, 0, 1000), "1000000.00", 300, 10, 0},
      {"100 islands, every seventh holding one", Square(0, 0, 1000), "1000000.00", 300, 10, 7},
      {"49 islands in a stand of 3000 lines", Circle(3000, 0, 0, 1000),
       FormatFloatWidth(0, 2, 1500 * 1000.0 * 1000.0 * std::sin(2 * pi / 3000)), -70, 7, 3},
  };
  for (const auto& row : rows) {
    lines.Clear();
    for (const Points& points : row.stand) Line(points);
    std::vector<std::string> expected;
    int islands = 0;
    for (int i = 0; i < row.side; ++i) {
      for (int j = 0; j < row.side; ++j, ++islands) {
        const double x = row.x0 + 20 * i, y = row.x0 + 20 * j;
        const bool holding = row.everyInner > 0 && islands % row.everyInner == 0;
        for (const Points& points : Square(x, y, 10)) Line(points);
        expected.push_back(std::string("100.00 with ") + (holding ? "1" : "0"));
        if (!holding) continue;
        for (const Points& points : Square(x + 3, y + 3, 4)) Line(points);
        expected.push_back("16.00 with 0");
      }
    }
    expected.push_back(row.standArea + " with " + std::to_string(islands));
    std::sort(expected.begin(), expected.end());
    maker = std::make_unique<TMakeNodesAndAreas>();
    maker->SetInput(&lines);
    maker->DoIt();
    EXPECT_EQ(AreasAndTheirHoles(*DynamicCast<TAreaString>(maker->Output())), expected) << row.name;
  }
}

TEST_F(AreaBuildingTest, ARingThatDoesNotCloseWithinTheWalkLimitIsLoggedWithItsFirstLine) {
  for (const Points& points : Circle(TCreateAreaForBranch::MaxRingSteps + 1, 0, 0, 10000)) Line(points, 5);
  const Built built = Build();
  EXPECT_EQ(built.areas, 0);
  // Both sides of the ring: the inside and the outside.
  EXPECT_THAT(LogLines(), ElementsAre("Obvod od linie č. 5 se neuzavřel po 10000 krocích, plocha nevznikla",
                                      "Obvod od linie č. 5 se neuzavřel po 10000 krocích, plocha nevznikla"));
}

// A branch whose far node has lost the line's other end has no face to walk:
// no area comes of its line alone, whatever ring the same maker built before.
TEST_F(AreaBuildingTest, ABranchWithNoWayOnAtItsFarNodeBuildsNoArea) {
  TPolyLineElement* closed = Line(Square(0, 0, 10)[0]);
  TPolyLineElement* open = Line({{20, 0}, {20, 10}, {30, 10}, {30, 0}});  // clockwise were it closed
  TMakeNodes nodes;
  nodes.SetInput(&lines);
  nodes.DoIt();
  TNode* node = nullptr;
  TNodeBranch* begin = nullptr;
  TNodeBranch* end = nullptr;
  FindLineEndNode(open, false, node, end);
  ASSERT_NE(end, nullptr);
  node->FreeElement(end);
  FindLineEndNode(open, true, node, begin);
  ASSERT_NE(begin, nullptr);
  TNodeBranch* square = nullptr;
  FindLineEndNode(closed, true, node, square);
  ASSERT_NE(square, nullptr);
  const struct {
    const char* name;
    bool ringFirst;
  } rows[] = {{"a fresh maker", false}, {"a maker that built a ring before", true}};
  for (const auto& row : rows) {
    begin->NotRegularArea = false;
    TCreateAreaForBranch maker;
    std::unique_ptr<TElement> ring;
    if (row.ringFirst) {
      maker.SetInput(square);
      maker.DoIt();
      ring.reset(maker.Output());
      ASSERT_NE(ring, nullptr) << row.name;
    }
    const double value = maker.GetAreaValue();
    maker.SetInput(begin);
    maker.DoIt();
    EXPECT_EQ(maker.Output(), nullptr) << row.name;
    EXPECT_EQ(maker.GetAreaValue(), value) << row.name;  // the walk did not start: nothing summed
    EXPECT_EQ(begin->GetRightArea(), nullptr) << row.name;
  }
}

// Runs itself again from inside its walk, at the first leaf.
class TReenteringAreaPass : public TCreateAreasForQTree {
 public:
  void Process(TElement* element) override {
    if (Count == 0) DoIt();
    TCreateAreasForQTree::Process(element);
  }
};

// The leaf pass takes only an owner entity (the node index) and is not
// entered again from its own walk: its output is the one index of every area
// it made.
TEST_F(AreaBuildingTest, TheLeafPassRunsOnlyOnAnOwnerEntityAndOnlyOnceAtATime) {
  TEntity plain;
  const struct {
    const char* name;
    TElement* input;  // nullptr: the node index of a square
    bool nodeIndex, reenter;
  } rows[] = {
      {"no input", nullptr, false, false},
      {"an entity that owns nothing", &plain, false, false},
      {"the node index", nullptr, true, false},
      {"the node index, entered again from its walk", nullptr, true, true},
  };
  for (const auto& row : rows) {
    lines.Clear();
    for (const Points& points : Square(0, 0, 10)) Line(points);
    TMakeNodes nodes;
    nodes.SetInput(&lines);
    nodes.DoIt();
    std::unique_ptr<TCreateAreasForQTree> pass =
        row.reenter ? std::make_unique<TReenteringAreaPass>() : std::make_unique<TCreateAreasForQTree>();
    pass->SetInput(row.nodeIndex ? nodes.GetNodesQTree() : row.input);
    pass->DoIt();
    const std::unique_ptr<TElement> output(pass->Output());
    EXPECT_EQ(output.get(), pass->AreaQTree()) << row.name;
    if (!row.nodeIndex) {
      EXPECT_EQ(output, nullptr) << row.name;
      continue;
    }
    ASSERT_NE(output, nullptr) << row.name;
    EXPECT_EQ(pass->AreaCount, 2) << row.name;  // the square and the outside ring
    EXPECT_EQ(pass->AreaQTree()->GetElementsCount(), 2) << row.name;
  }
}

TEST_F(AreaBuildingTest, TheToolKeepsBothIndexesAndTheModelGetsTheAreaList) {
  for (const Points& points : Square(0, 0, 10)) Line(points);
  TWorld world;
  SetWorld(&world);
  struct Unset {
    ~Unset() { SetWorld(nullptr); }
  } unset;
  Build();
  ASSERT_NE(maker->GetNodesQTree(), nullptr);
  ASSERT_NE(maker->GetAreasQTree(), nullptr);
  EXPECT_FALSE(NodesOf(*maker->GetNodesQTree()).empty());
  EXPECT_EQ(maker->GetAreasQTree()->GetElementsCount(), 2);  // the area and the outside ring
  ASSERT_NE(maker->Output(), nullptr);
  EXPECT_TRUE(maker->Output()->HasOwner(world.ObjectModel()));
  maker.reset();
}

// Labels are placed as each ring is built and again only for areas that
// got holes: each must be what a list placer gives the finished area.
TEST_F(AreaBuildingTest, EveryLabelIsWhatAListPlacerGivesTheFinishedArea) {
  std::vector<Points> stands;
  for (const TStandMapLine& line : MakeStandMap(6, 11, 3).Lines) {
    stands.emplace_back();
    for (const TStandMapPoint& point : line) stands.back().push_back({point.X, point.Y});
  }
  const struct {
    const char* name;
    std::vector<Points> drawn;
  } rows[] = {
      {"an island over the centre of its stand", Plus(Square(0, 0, 10), Square(3, 3, 4))},
      {"a centre inside but within a hundredth of the span of its edge",
       {{{0, 0}, {0, 100}, {100, 100}, {100, 60}, {50.3, 60}, {50.3, 40}, {100, 40}, {100, 0}, {0, 0}}}},
      {"a U-shaped area whose centre lies outside it",
       {{{0, 0}, {0, 10}, {3, 10}, {3, 3}, {7, 3}, {7, 10}, {10, 10}, {10, 0}, {0, 0}}}},
      {"6 x 6 stands with islands", stands},
  };
  for (const auto& row : rows) {
    lines.Clear();
    for (const Points& points : row.drawn) Line(points);
    Build();
    auto* list = DynamicCast<TAreaString>(maker->Output());
    ASSERT_NE(list, nullptr) << row.name;
    std::vector<std::pair<double, double>> built;
    for (TElement* child : list->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      built.push_back({area->GetAbsRefX(), area->GetAbsRefY()});
    }
    TMultiAreaPointPlacer placer;
    placer.SetInput(list);
    placer.DoIt();
    ASSERT_EQ(list->GetCount(), static_cast<int>(built.size())) << row.name;
    for (std::size_t i = 0; i < built.size(); ++i) {
      auto* area = static_cast<TAreaElement*>(list->Children()[i]);
      EXPECT_EQ(built[i], std::pair(area->GetAbsRefX(), area->GetAbsRefY())) << row.name << ", area " << i;
    }
    maker.reset();
  }
}

}  // namespace

namespace {

// A long hole pass shows its gauge and moves it every tenth area, as every
// pass over areas does.
TEST_F(AreaBuildingTest, ALongHolePassMovesItsGaugeEveryTenthArea) {
  const struct {
    const char* name;
    int areas;
    std::vector<std::string> calls;  // the gauge's calls but captions
  } rows[] = {
      {"100 areas: no gauge", 100, {"MaxValue=0", "Hide"}},
      {"120 areas", 120,
       {"MaxValue=0", "MaxValue=120", "Show", "Progress=10", "Progress=20", "Progress=30", "Progress=40",
        "Progress=50", "Progress=60", "Progress=70", "Progress=80", "Progress=90", "Progress=100", "Progress=110",
        "Progress=120", "Hide"}},
  };
  for (const auto& row : rows) {
    // Squares off the index's whole-unit cell borders: each is filed once.
    TSpaceEntityQTree index;
    for (int i = 0; i < row.areas; ++i) {
      auto* area = new TAreaElement;
      for (const auto& [x, y] : Points{{0.25, 0.25}, {0.25, 0.75}, {0.75, 0.75}, {0.75, 0.25}, {0.25, 0.25}})
        area->AddVertex(2 * i + x, y);
      area->CalcBounds();
      index.AddAndGrow(area);
    }
    TSubAreaMakerInQTree holes;
    auto& gauge = static_cast<platform::RecordingGaugeForm&>(holes.Gauge());
    holes.SetInput(&index);
    holes.DoIt();
    std::vector<std::string> calls;
    for (const std::string& call : gauge.Calls)
      if (call.rfind("Caption=", 0) != 0) calls.push_back(call);
    EXPECT_EQ(calls, row.calls) << row.name;
  }
}

}  // namespace

namespace {

TEST_F(AreaBuildingTest, TheAreaPassesStandUnderTheirWalkersAndPublishTheirSettings) {
  EXPECT_EQ(MisplacedClasses({
                {&TCreateAreaForBranch::StaticClass, "TCreateAreaForBranch", &TTool::StaticClass, {"AreaValue"}},
                {&TCreateAreasForQTree::StaticClass, "TCreateAreasForQTree", &TProchazecListuQTreeGauge::StaticClass,
                 {}},
                {&TSubAreaMakerInQTree::StaticClass, "TSubAreaMakerInQTree", &TProchazecPlochGauge::StaticClass,
                 {"AreaQTree"}},
                {&TMakeNodesAndAreas::StaticClass, "TMakeNodesAndAreas", &TMakeNodes::StaticClass,
                 {"JoinDifferentLines", "DeletePseudoNodes", "NodesQTree"}},
            }),
            "");
}

}  // namespace
