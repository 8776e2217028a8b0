#include "spatial/index/quadtree.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>

#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

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

// The first element's box sets the root on the whole-unit grid: per axis the
// power of two above the rounded-up size, aligned below the box and doubled
// when the box does not fit; the larger side wins.
TEST_F(QuadtreeTest, TheFirstElementSetsTheGridSquareOfItsBox) {
  const struct {
    const char* name;
    double minX, minY, maxX, maxY;
    Box4 square;  // QXMin, QYMin, QWidth, element filed there
  } rows[] = {
      {"ten by ten, Y doubled", -10.5, -20.5, -0.5, -10.5, {-16, -32, 32, 1}},
      {"a point off the grid", -3.5, -3.5, -3.5, -3.5, {-5, -5, 2, 1}},
      {"below one unit", -1.7, -1.7, -1.2, -1.2, {-4, -4, 4, 1}},
      {"one unit, X doubled", -3.5, -6.5, -2.5, -5.5, {-8, -8, 8, 1}},
      {"a lower edge on zero aligns one side below it", 0, 0, 10, 10, {-16, -16, 32, 1}},
      {"a lower edge just right of zero aligns on zero", 0.5, 0.5, 10.5, 10.5, {0, 0, 16, 1}},
  };
  for (const auto& row : rows) {
    TSpaceEntityQTree tree;
    ASSERT_TRUE(tree.AddAndGrow(Entity(row.name, row.minX, row.minY, row.maxX, row.maxY))) << row.name;
    EXPECT_EQ((Box4{tree.GetQXMin(), tree.GetQYMin(), static_cast<double>(tree.GetQWidth()),
                    static_cast<double>(tree.GetCount())}),
              row.square)
        << row.name;
  }
}

TEST_F(QuadtreeTest, ElementsOnPositiveCoordinatesAreFoundAgain) {
  const TRealPoint points[] = {{15.5, 15.5}, {16, 3}, {0.25, 0.75}, {1000.5, 20.5}, {31.99, 1e5 + 0.5}, {-7.5, 2}};
  TSpaceEntityQTree tree;
  for (const TRealPoint& p : points) {
    TSpaceEntity* filed = Point("p", p.X, p.Y);
    ASSERT_TRUE(tree.AddAndGrow(filed)) << p.X;
    EXPECT_TRUE(tree.SquareContainsRect(p.X, p.Y, p.X, p.Y)) << p.X;
    EXPECT_THAT(Walk(tree, p.X, p.Y, p.X, p.Y), ElementsAre(filed)) << p.X;
  }
}

// Filed by its own bounds, an element is found at its place and only there.
TEST_F(QuadtreeTest, AnElementFiledByItsBoundsIsFoundAtItsPlace) {
  TSpaceEntityQTree tree;
  tree.AddAndGrow(Point("seed", 1, 1));
  tree.AddAndGrow(Point("far", 60, 60));
  TSpaceEntity* filed = Entity("filed", 20, 30, 22, 33);
  ASSERT_TRUE(tree.AddByBounds(filed));
  EXPECT_THAT(Walk(tree, 21, 31, 21, 31), ElementsAre(filed));
  EXPECT_THAT(Walk(tree, 0, 0, 2, 2), Not(Contains(filed)));
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
  std::vector<TSpaceEntity*> points;
  for (int i = 0; i < 65; ++i) {
    points.push_back(Point("p", 1.5 + i % 8, 1.5 + i / 8));
    tree.AddAndGrow(points.back());
  }
  ASSERT_FALSE(tree.IsLeaf());
  const std::vector<TElement*> oldQuarters(tree.Children().begin(), tree.Children().end());
  const auto square = [](const TQTree& t) { return std::tuple(t.GetQXMin(), t.GetQYMin(), t.GetQWidth()); };
  const auto oldSquare = square(tree);
  TSpaceEntity* far = Point("far", -1000.5, -2000.5);
  ASSERT_TRUE(tree.AddAndGrow(far));
  EXPECT_EQ(tree.GetElementsCount(), 66);
  EXPECT_THAT(Walk(tree, -1000.5, -2000.5, -1000.5, -2000.5), ElementsAre(far));
  // The old quarters sit together under one cell that stands for the old square.
  TQTree* holder = nullptr;
  int index = -1;
  QTreeOwnerOf(oldQuarters[0], holder, index);
  ASSERT_NE(holder, nullptr);
  EXPECT_THAT(holder->Children(), ElementsAreArray(oldQuarters));
  EXPECT_EQ(square(*holder), oldSquare);
  for (int i = 0; i < 65; ++i)
    EXPECT_THAT(Walk(tree, 1.5 + i % 8, 1.5 + i / 8, 1.5 + i % 8, 1.5 + i / 8), ElementsAre(points[i]));
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

// A tree read from a file may be deeper than any this code makes: forty
// levels, each a chain quarter at (0, 0) and three unit siblings at
// x = 2000 + 10 * level, y = x + 1000 * (0, 1, 2).  Filing visits far more
// cells than a made tree holds waiting at once.
TEST_F(QuadtreeTest, AnElementIsFiledInEveryLeafItMeetsInATreeDeeperThanAnyMadeHere) {
  constexpr int kDepth = 40;
  struct Row {
    const char* name;
    double minX, minY, maxX, maxY;
    int holders;
    bool inDeepest;
  } rows[] = {
      {"the deepest leaf only", 0.25, 0.25, 0.5, 0.5, 1, true},
      {"the deepest leaf and the first level's sibling", 0.25, 0.25, 2000.5, 2000.5, 2, true},
      {"the first level's sibling only", 1500, 1500, 2000.5, 2000.5, 1, false},
      {"every level's first sibling and the deepest leaf", 0.25, 0.25, 2390.5, 2390.5, kDepth + 1, true},
  };
  for (const Row& row : rows) {
    TSpaceEntityQTree tree;
    tree.SetQXMin(0);
    tree.SetQYMin(0);
    tree.SetQWidth(4096);
    TQTree* chain = &tree;
    for (int level = 0; level < kDepth; ++level) {
      auto* next = new TSpaceEntityQTree;
      next->SetQXMin(0);
      next->SetQYMin(0);
      next->SetQWidth(level < 12 ? 2048 >> level : 1);
      chain->AddElement(next);
      for (int i = 0; i < 3; ++i) {
        auto* sibling = new TSpaceEntityQTree;
        sibling->SetQXMin(2000 + 10 * level);
        sibling->SetQYMin(2000 + 10 * level + 1000 * i);
        sibling->SetQWidth(1);
        chain->AddElement(sibling);
      }
      chain = next;
    }
    TSpaceEntity* filed = Entity("filed", row.minX, row.minY, row.maxX, row.maxY);
    ASSERT_TRUE(tree.AddByBounds(filed)) << row.name;
    EXPECT_EQ(std::tuple(filed->HolderCount(), tree.GetElementsCount(), chain->IndexOf(filed) >= 0),
              std::tuple(row.holders, row.holders, row.inDeepest))
        << row.name;
    EXPECT_EQ(tree.GetLeavesCount(), 3 * kDepth + 1) << row.name;
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

// The square operations called directly (not through AddAndGrow) raise for
// boxes no square can be made of and leave the tree as it was; degenerate but
// usable boxes still work.
TEST_F(QuadtreeTest, SquareOperationsRefuseBoxesWithoutUsableBoundsAndKeepTheTree) {
  enum class Op { SetSquareFor, ExpandEmpty, ExpandSeeded, InsertSeeded };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double largest = static_cast<double>(TQTree::MaxWidth);
  struct Row {
    const char* name;
    Op op;
    TRealRect box;
    const char* raised;  // nullptr: accepted
  } rows[] = {
      {"square of the empty rectangle", Op::SetSquareFor, {1e30, 1e30, -1e30, -1e30}, "nemá platné hranice"},
      {"square of NaN", Op::SetSquareFor, {nan, 0, 1, 1}, "nemá platné hranice"},
      {"square of infinity", Op::SetSquareFor, {0, 0, inf, 1}, "nemá platné hranice"},
      {"square beyond the largest coordinate", Op::SetSquareFor, {0, 0, 1e12, 1}, "nemá platné hranice"},
      {"square wider than the largest side", Op::SetSquareFor, {-largest, 0, largest, 0}, "největší možný čtverec"},
      {"square of a point", Op::SetSquareFor, {-3.5, 7, -3.5, 7}, nullptr},
      {"square of a point at the largest coordinate", Op::SetSquareFor, {largest / 2, 0, largest / 2, 0}, nullptr},
      {"empty tree grown to the empty rectangle", Op::ExpandEmpty, {1e30, 1e30, -1e30, -1e30}, "nemá platné hranice"},
      {"empty tree grown to a point", Op::ExpandEmpty, {5.5, 5.5, 5.5, 5.5}, nullptr},
      {"tree grown to the empty rectangle", Op::ExpandSeeded, {1e30, 1e30, -1e30, -1e30}, "nemá platné hranice"},
      {"tree grown to NaN", Op::ExpandSeeded, {0, nan, 1, 1}, "nemá platné hranice"},
      {"tree grown past the largest side", Op::ExpandSeeded, {-9e8, 0, 9e8, 0}, "největší možný čtverec"},
      {"insert of NaN", Op::InsertSeeded, {nan, nan, nan, nan}, "nemá platné hranice"},
      {"insert of the empty rectangle", Op::InsertSeeded, {1e30, 1e30, -1e30, -1e30}, "nemá platné hranice"},
      {"insert of a point", Op::InsertSeeded, {1, 1, 1, 1}, nullptr},
  };
  for (const Row& row : rows) {
    TSpaceEntityQTree tree;
    if (row.op == Op::ExpandSeeded || row.op == Op::InsertSeeded) tree.AddAndGrow(Point("seed", 1, 1));
    const auto before = std::tuple(tree.GetQXMin(), tree.GetQYMin(), tree.GetQWidth(), tree.GetElementsCount());
    TSpaceEntity* element = Point("e", 1, 1);
    const auto& [minX, minY, maxX, maxY] = row.box;
    std::string raised;
    try {
      switch (row.op) {
        case Op::SetSquareFor: tree.SetSquareFor(minX, minY, maxX, maxY); break;
        case Op::ExpandEmpty:
        case Op::ExpandSeeded: tree.Expand(minX, minY, maxX, maxY); break;
        case Op::InsertSeeded: tree.Insert(element, minX, minY, maxX, maxY); break;
      }
    } catch (const Exception& error) {
      raised = error.what();
    }
    const int holders = element->HolderCount();
    if (holders == 0) delete element;
    if (!row.raised) {
      EXPECT_EQ(raised, "") << row.name;
      EXPECT_GT(tree.GetQWidth(), 0) << row.name;
      if (row.op == Op::InsertSeeded) {
        EXPECT_EQ(holders, 1) << row.name;
      } else {
        EXPECT_TRUE(tree.SquareContainsRect(minX, minY, maxX, maxY)) << row.name;
      }
      continue;
    }
    EXPECT_THAT(raised, HasSubstr(row.raised)) << row.name;
    EXPECT_EQ(std::tuple(tree.GetQXMin(), tree.GetQYMin(), tree.GetQWidth(), tree.GetElementsCount()), before)
        << row.name;
  }
}

// A walk finds what a scan of all elements finds, and whether any element
// meets the rectangle is answered as the scan answers it.
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
    EXPECT_EQ(tree.AnyElementMeetsRect(x, y, x + side, y + side), !scanned.empty()) << "query " << q;
  }
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
