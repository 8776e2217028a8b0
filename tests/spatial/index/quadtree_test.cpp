#include "spatial/index/quadtree.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <memory>
#include <random>
#include <stdexcept>

#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

using TTrackedEntity = Tracked<TSpaceEntity>;

TSpaceEntity* Entity(const std::string& name, double minX, double minY, double maxX, double maxY) {
  auto* entity = new TTrackedEntity;
  entity->SetName(name);
  entity->SetBounds({minX, minY, maxX, maxY});
  return entity;
}

TSpaceEntity* Point(const std::string& name, double x, double y) { return Entity(name, x, y, x, y); }

std::vector<TElement*> Walk(TQTree& tree, double minX, double minY, double maxX, double maxY, double tol = 0) {
  std::vector<TElement*> found;
  TQTreeWalker walker;
  for (TElement* e = walker.FindFirst(&tree, minX, minY, maxX, maxY, tol); e; e = walker.FindNext()) found.push_back(e);
  return found;
}

std::vector<std::string> NamesOf(const std::vector<TElement*>& elements) {
  std::vector<std::string> names;
  for (const TElement* e : elements) names.push_back(e->GetName());
  return names;
}

void ExpectSquare(const TQTree& tree, double x, double y, int width, const std::string& row) {
  EXPECT_EQ(std::tuple(tree.GetQXMin(), tree.GetQYMin(), tree.GetQWidth(), tree.GetMaxX(), tree.GetMaxY()),
            std::tuple(x, y, width, x + width, y + width))
      << row;
}

class QuadtreeTest : public SpatialTest {
 protected:
  void SetUp() override {
    SpatialTest::SetUp();
    MainTool = &log;
    TTrackedEntity::Alive = 0;
  }
  void TearDown() override {
    MainTool = nullptr;
    SpatialTest::TearDown();
  }
  std::vector<std::string> LogLines() {
    RunMessages();
    return log.Lines;
  }

  TLogLines log;
};

TEST_F(QuadtreeTest, TheFirstElementFixesASquareOnTheGridThatContainsIt) {
  struct Row {
    const char* name;
    TRealRect box;
    double x, y;
    int width;
  } rows[] = {
      {"box (-10.5, -20.5) of 10 x 10", {-10.5, -20.5, -0.5, -10.5}, -16, -32, 32},
      {"point (-3, -3)", {-3, -3, -3, -3}, -5, -5, 2},
      {"point at 15.5 (right of zero)", {15.5, 15.5, 15.5, 15.5}, 15, 15, 1},
      {"positive box (each axis on its own grid)", {0.5, 3.25, 20.25, 4}, 0, 2, 32},
      {"box across zero", {-3, -3, 5, 5}, -16, -16, 32},
      {"corners given the wrong way round", {-0.5, -10.5, -10.5, -20.5}, -16, -32, 32},
  };
  for (const Row& row : rows) {
    TSpaceEntityQTree tree;
    tree.SetSquareFor(row.box.MinX, row.box.MinY, row.box.MaxX, row.box.MaxY);
    ExpectSquare(tree, row.x, row.y, row.width, row.name);
    EXPECT_TRUE(tree.SquareContainsRect(std::min(row.box.MinX, row.box.MaxX), std::min(row.box.MinY, row.box.MaxY),
                                        std::max(row.box.MinX, row.box.MaxX), std::max(row.box.MinY, row.box.MaxY)))
        << row.name;
  }
}

TEST_F(QuadtreeTest, ElementsOnPositiveCoordinatesAreFoundAgain) {
  const TRealPoint points[] = {{15.5, 15.5}, {16, 3}, {0.25, 0.75}, {1000.5, 20.5}, {31.99, 1e5 + 0.5}, {-7.5, 2}};
  TSpaceEntityQTree tree;
  std::vector<TSpaceEntity*> filed;
  for (const TRealPoint& p : points) {
    filed.push_back(Point(std::to_string(p.X) + "," + std::to_string(p.Y), p.X, p.Y));
    ASSERT_TRUE(tree.AddAndGrow(filed.back())) << filed.back()->GetName();
  }
  for (std::size_t i = 0; i < filed.size(); ++i) {
    const TRealPoint& p = points[i];
    EXPECT_TRUE(tree.SquareContainsRect(p.X, p.Y, p.X, p.Y)) << filed[i]->GetName();
    EXPECT_THAT(Walk(tree, p.X, p.Y, p.X, p.Y), ElementsAre(filed[i])) << filed[i]->GetName();
  }
  EXPECT_EQ(tree.GetElementsCount(), static_cast<int>(filed.size()));
}

TEST_F(QuadtreeTest, TheSixtyFifthElementSplitsALeafIntoNamedQuarters) {
  TSpaceEntityQTree tree;
  for (int i = 0; i < 64; ++i) tree.AddAndGrow(Point("p" + std::to_string(i), 1 + i % 8 * 3.5, 1 + i / 8 * 3.5));
  ASSERT_TRUE(tree.IsLeaf());
  const int width = tree.GetQWidth();
  tree.AddAndGrow(Point("p64", 2, 2));
  EXPECT_EQ(Texts(tree, {"IsLeaf", "LeavesCount", "ElementsCount"}), "False|4|65");
  const auto& quarters = tree.Children();
  ASSERT_EQ(quarters.size(), 4u);
  const char* names[] = {"Levý dolní čtverec", "Pravý dolní čtverec", "Levý horní čtverec", "Pravý horní čtverec"};
  const int h = width / 2;
  const double corners[4][2] = {{0, 0}, {1.0 * h, 0}, {0, 1.0 * h}, {1.0 * h, 1.0 * h}};
  for (int i = 0; i < 4; ++i) {
    auto* quarter = DynamicCast<TSpaceEntityQTree>(quarters[static_cast<std::size_t>(i)]);
    ASSERT_NE(quarter, nullptr) << names[i];
    EXPECT_EQ(std::tuple(quarter->GetName(), quarter->Level), std::tuple(names[i], 1));
    ExpectSquare(*quarter, tree.GetQXMin() + corners[i][0], tree.GetQYMin() + corners[i][1], h, names[i]);
  }
}

TEST_F(QuadtreeTest, ABorderElementIsFiledInBothQuartersAndWalkedOnceForEach) {
  TSpaceEntityQTree tree;
  tree.SetQXMin(0);
  tree.SetQYMin(0);
  tree.SetQWidth(16);
  TSpaceEntity* border = Entity("border", 7, 1, 9, 2);
  tree.AddAndGrow(border);
  for (int i = 0; i < 64; ++i) tree.AddAndGrow(Point("p" + std::to_string(i), 1 + i % 8 * 0.5, 1 + i / 8 * 0.5));
  ASSERT_EQ(tree.GetLeavesCount(), 4);
  EXPECT_EQ(tree.GetElementsCount(), 66);

  std::vector<TElement*> whole = Walk(tree, 0, 0, 16, 16);
  EXPECT_EQ(std::count(whole.begin(), whole.end(), border), 2);
  EXPECT_THAT(Walk(tree, 8.5, 0, 16, 7), ElementsAre(border));
  EXPECT_THAT(Walk(tree, 9, 2, 9, 2), ElementsAre(border));  // an edge touching counts
  EXPECT_THAT(NamesOf(Walk(tree, 5, 5, 7.9, 7.9)), ElementsAre());
}

TEST_F(QuadtreeTest, WalkersAnswerByRectangleAndTolerance) {
  TSpaceEntityQTree tree;
  tree.AddAndGrow(Point("a", 1, 1));
  tree.AddAndGrow(Entity("b", 10, 10, 20, 12));
  tree.AddAndGrow(Point("c", -40, 30));
  struct Row {
    const char* name;
    TRealRect query;
    double tol;
    std::vector<std::string> found;
  } rows[] = {
      {"point near a, no tolerance", {1.5, 1, 1.5, 1}, 0, {}},
      {"point near a within tolerance", {1.5, 1, 1.5, 1}, 0.5, {"a"}},
      {"rectangle over all", {-100, -100, 100, 100}, 0, {"c", "a", "b"}},
      {"rectangle missing the root", {1000, 1000, 1001, 1001}, 0, {}},
      {"rectangle near c within tolerance", {-45, 30, -41, 30}, 1, {"c"}},
  };
  for (const Row& row : rows) {
    const TRealRect& q = row.query;
    std::vector<std::string> found = NamesOf(Walk(tree, q.MinX, q.MinY, q.MaxX, q.MaxY, row.tol));
    std::sort(found.begin(), found.end());
    std::vector<std::string> expected = row.found;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected) << row.name;
    if (row.tol == 0) {
      EXPECT_EQ(tree.AnyElementMeetsRect(q.MinX, q.MinY, q.MaxX, q.MaxY), !expected.empty()) << row.name;
    }
  }
}

TEST_F(QuadtreeTest, AWalkerStaysInsideTheCellItStartedFrom) {
  TSpaceEntityQTree tree;
  for (int i = 0; i < 65; ++i) tree.AddAndGrow(Point("p" + std::to_string(i), 0.5 + i % 2 * 60, 0.5));
  ASSERT_FALSE(tree.IsLeaf());
  auto* lowerLeft = static_cast<TQTree*>(tree.Children()[0]);
  std::vector<TElement*> found = Walk(*lowerLeft, -1000, -1000, 1000, 1000);
  EXPECT_EQ(found.size(), lowerLeft->Children().size());
}

TEST_F(QuadtreeTest, GrowingASplitRootKeepsTheOldQuartersUnderANewChainAndTheCount) {
  TSpaceEntityQTree tree;
  for (int i = 0; i < 65; ++i) tree.AddAndGrow(Point("p" + std::to_string(i), 1.5 + i % 8, 1.5 + i / 8));
  ASSERT_FALSE(tree.IsLeaf());
  const std::vector<TElement*> oldQuarters(tree.Children().begin(), tree.Children().end());
  const double oldX = tree.GetQXMin(), oldY = tree.GetQYMin();
  const int oldWidth = tree.GetQWidth();
  const int count = tree.GetElementsCount();

  TSpaceEntity* far = Point("far", -1000.5, -2000.5);
  ASSERT_TRUE(tree.AddAndGrow(far));
  EXPECT_EQ(tree.GetElementsCount(), count + 1);
  EXPECT_THAT(Walk(tree, -1000.5, -2000.5, -1000.5, -2000.5), ElementsAre(far));
  // The old quarters sit together under one cell that stands for the old square.
  TQTree* holder = nullptr;
  int index = -1;
  QTreeOwnerOf(oldQuarters[0], holder, index);
  ASSERT_NE(holder, nullptr);
  EXPECT_THAT(holder->Children(), ElementsAreArray(oldQuarters));
  ExpectSquare(*holder, oldX, oldY, oldWidth, "the cell of the old square");
  for (int i = 0; i < 65; ++i)
    EXPECT_THAT(NamesOf(Walk(tree, 1.5 + i % 8, 1.5 + i / 8, 1.5 + i % 8, 1.5 + i / 8)),
                ElementsAre("p" + std::to_string(i)));
}

TEST_F(QuadtreeTest, ManyCoincidentPointsStayFiledInLeavesNotBelowSideOne) {
  struct Row {
    const char* name;
    double x, y;
  } rows[] = {{"inside a unit cell", 5.5, 5.5}, {"on a grid corner", 4, 4}};
  for (const Row& row : rows) {
    TTrackedEntity::Alive = 0;
    {
      TSpaceEntityQTree tree;
      tree.AddAndGrow(Point("anchor", 0.5, 0.5));
      tree.AddAndGrow(Point("anchor", 60.5, 60.5));
      for (int i = 0; i < 1000; ++i) tree.AddAndGrow(Point("same", row.x, row.y));
      EXPECT_EQ(TTrackedEntity::Alive, 1002) << row.name;
      std::vector<TElement*> found = Walk(tree, row.x, row.y, row.x, row.y);
      std::sort(found.begin(), found.end());
      found.erase(std::unique(found.begin(), found.end()), found.end());
      EXPECT_EQ(found.size(), 1000u) << row.name;
      int narrowest = 1 << 30;
      TQTreeWalker walker;
      for (TElement* e = walker.FindFirst(&tree, row.x, row.y, row.x, row.y, 0); e; e = walker.FindNext())
        narrowest = std::min(narrowest, walker.Current->GetQWidth());
      EXPECT_EQ(narrowest, 1) << row.name;
    }
    EXPECT_EQ(TTrackedEntity::Alive, 0) << row.name;
  }
}

TEST_F(QuadtreeTest, ElementsWithoutUsableBoundsAreRefusedWithALogLine) {
  struct Row {
    const char* name;
    bool seed;  // a small tree around the origin first
    TRealRect box;
    const char* logged;
  } rows[] = {
      {"empty bounds", false, {1e30, 1e30, -1e30, -1e30}, "nemá platné hranice"},
      {"empty bounds in a tree", true, {1e30, 1e30, -1e30, -1e30}, "nemá platné hranice"},
      {"beyond the largest side", false, {3e9, 0, 3e9, 0}, "nemá platné hranice"},
      {"growth past the largest side", true, {-9e8, 0, 9e8, 0}, "mimo největší možný čtverec"},
  };
  for (const Row& row : rows) {
    log.Lines.clear();
    TSpaceEntityQTree tree;
    if (row.seed) tree.AddAndGrow(Point("seed", 1, 1));
    const int width = tree.GetQWidth();
    TSpaceEntity* refused = Entity("odmítnutý", row.box.MinX, row.box.MinY, row.box.MaxX, row.box.MaxY);
    EXPECT_EQ(std::tuple(tree.AddAndGrow(refused), refused->HolderCount(), tree.GetQWidth()),
              std::tuple(false, 0, width))
        << row.name;
    EXPECT_THAT(LogLines(), ElementsAre(HasSubstr(row.logged))) << row.name;
    delete refused;
  }
}

TEST_F(QuadtreeTest, AWalkFindsExactlyWhatAScanOfAllElementsFinds) {
  std::mt19937 random(2140);
  std::uniform_real_distribution<double> corner(-3000, 5000);
  std::uniform_real_distribution<double> size(0, 40);
  TSpaceEntityQTree tree;
  std::vector<TSpaceEntity*> all;
  for (int i = 0; i < 3000; ++i) {
    const double x = corner(random), y = corner(random);
    all.push_back(Entity("e" + std::to_string(i), x, y, x + size(random), y + (i % 5 == 0 ? 0 : size(random))));
    ASSERT_TRUE(tree.AddAndGrow(all.back()));
  }
  for (int q = 0; q < 200; ++q) {
    const double x = corner(random), y = corner(random), side = q % 2 == 0 ? 0 : 300;
    std::vector<TElement*> found = Walk(tree, x, y, x + side, y + side);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    std::vector<TElement*> scanned;
    for (TSpaceEntity* e : all)
      if (e->IntersectsRect(x, y, x + side, y + side)) scanned.push_back(e);
    std::sort(scanned.begin(), scanned.end());
    EXPECT_EQ(found, scanned) << "query " << q;
  }
}

TEST_F(QuadtreeTest, TreesAreMadeByNameAndFileWhatIsWrittenToNextSpaceEntity) {
  EXPECT_EQ(NewElement(FindKestuClass("TQTree")), nullptr);  // no capacity of its own
  std::unique_ptr<TElement> made(NewElement(FindKestuClass("TSpaceEntityQTree")));
  auto* tree = DynamicCast<TSpaceEntityQTree>(made.get());
  ASSERT_NE(tree, nullptr);
  tree->SetNextSpaceEntity(Point("p", 3.5, 4.5));
  tree->SetNextSpaceEntity(nullptr);
  EXPECT_EQ(Texts(*tree, {"ElementsCount", "QWidth"}), "1|1");
}

// A tree that fails on an element named "jed": its lower-right quarters cannot take it, and
// while FailBounds is set nobody can tell its bounds.
class TFailingTree : public TSpaceEntityQTree {
  KESTX_CLASS(TFailingTree)
 public:
  static inline bool FailBounds = false;
  void AddElement(TElement* element) override {
    if (GetName() == "Pravý dolní čtverec" && element->GetName() == "jed") throw std::runtime_error("selhání");
    TSpaceEntityQTree::AddElement(element);
  }
  void GetElementBounds(TElement* e, double& minX, double& minY, double& maxX, double& maxY) const override {
    if (FailBounds && e->GetName() == "jed") throw std::runtime_error("bez hranic");
    TSpaceEntityQTree::GetElementBounds(e, minX, minY, maxX, maxY);
  }
};

TClass TFailingTree::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TFailingTree>("TFailingTree", TSpaceEntityQTree::StaticClass(), "test", {});
  return &info;
}

TEST_F(QuadtreeTest, AFailureInOneQuarterIsLoggedAndTheOtherQuartersStillTakeTheElement) {
  TFailingTree tree;
  for (int i = 0; i < 65; ++i) tree.AddAndGrow(Point("p" + std::to_string(i), 0.5 + i % 2 * 60, 0.5 + i % 3 * 30));
  ASSERT_FALSE(tree.IsLeaf());
  const double middle = tree.GetQXMin() + tree.GetQWidth() / 2;
  TSpaceEntity* poison = Point("jed", middle, middle);
  tree.AddAndGrow(poison);
  EXPECT_EQ(poison->HolderCount(), 3);
  EXPECT_THAT(LogLines(), ElementsAre("Chyba při zařazování do čtverce Pravý dolní čtverec: selhání"));
}

TEST_F(QuadtreeTest, AFailedSplitLeavesTheLeafWholeAndIsLogged) {
  TFailingTree tree;
  TSpaceEntity* poison = Point("jed", 1.5, 1.5);
  tree.AddAndGrow(poison);
  for (int i = 0; i < 63; ++i) tree.AddAndGrow(Point("p" + std::to_string(i), 1 + i % 8 * 3.5, 1 + i / 8 * 3.5));
  TFailingTree::FailBounds = true;
  tree.AddAndGrow(Point("p63", 2, 2));
  TFailingTree::FailBounds = false;
  EXPECT_EQ(std::tuple(tree.IsLeaf(), tree.GetElementsCount(), poison->HolderCount()), std::tuple(true, 65, 1));
  EXPECT_THAT(LogLines(), ElementsAre("Chyba při zařazování do čtverce TFailingTree: bez hranic"));
}

}  // namespace
