#include "spatial/sheets/space_tree.h"

#include <algorithm>

#include "tests/spatial/spatial_fixture.h"

namespace {

template <class T = TSpaceTree>
T* Sheet(const std::string& name, TRealRect box) {
  auto* sheet = new T;
  sheet->SetName(name);
  sheet->SetBounds(box);
  return sheet;
}

Strings NamesIn(const TEntity& entity) {
  Strings names;
  for (TElement* child : entity.Children()) names.push_back(child ? child->GetName() : "nil");
  return names;
}

class SpaceTreeTest : public SpatialTest {
 protected:
  // Four 10 x 10 sheets in two columns, filed out of order.
  void FileGrid() {
    tree.AddSpace(Sheet("east-north", {10, 10, 20, 20}));
    tree.AddSpace(Sheet("west-north", {0, 10, 10, 20}));
    tree.AddSpace(Sheet("east-south", {10, 0, 20, 10}));
    tree.AddSpace(Sheet("west-south", {0, 0, 10, 10}));
  }
  TSpaceTree tree;
};

TEST_F(SpaceTreeTest, StripsAreOrderedByXSheetsByYAndPointsFindSheetsStrictlyInside) {
  EXPECT_EQ(tree.FindSheetAt(1, 1), nullptr);  // no matrix: nothing found, no matrix made
  EXPECT_FALSE(tree.HasMatrix());
  EXPECT_TRUE(tree.MatrixIsEmpty());
  EXPECT_EQ(tree.GetCount(), 0);
  FileGrid();
  ASSERT_EQ(tree.GetRowCount(), 2);
  EXPECT_EQ(NamesIn(*tree.GetRow(0)), (Strings{"west-south", "west-north"}));
  EXPECT_EQ(NamesIn(*tree.GetRow(1)), (Strings{"east-south", "east-north"}));
  EXPECT_EQ(BoxOf(*tree.GetRow(0)), (Box4{0, 0, 10, 20}));
  EXPECT_EQ(std::tuple(tree.GetRow(2), tree.GetRow(0)->GetCell(2)), std::tuple(nullptr, nullptr));
  EXPECT_EQ(BoxOf(tree), (Box4{0, 0, 20, 20}));
  EXPECT_EQ(BoxOf(*tree.Matrix()), (Box4{0, 0, 20, 20}));
  const std::tuple<double, double, const char*> cases[] = {
      {15, 5, "east-south"}, {5, 15, "west-north"}, {10, 5, nullptr},  // on the edge between strips
      {5, 10, nullptr},      {0, 5, nullptr},       {25, 5, nullptr}};
  for (const auto& [x, y, name] : cases) {
    TElement* found = tree.FindSheetAt(x, y);
    EXPECT_EQ(found ? found->GetName() : "nil", name ? name : "nil") << x << " " << y;
  }
  auto* inner = static_cast<TSpaceTree*>(tree.FindSheetAt(5, 5));
  inner->AddSpace(Sheet("inner", {0, 0, 5, 5}));
  EXPECT_EQ(tree.FindAtLevel(1, 2, 2)->GetName(), "west-south");
  EXPECT_EQ(tree.FindAtLevel(2, 2, 2)->GetName(), "inner");
  EXPECT_EQ(std::tuple(tree.FindAtLevel(2, 7, 7), tree.FindAtLevel(3, 2, 2), tree.FindAtLevel(1, 20.5, 2)),
            std::tuple(nullptr, nullptr, nullptr));
  tree.SetMinX(3);  // the tree's own box decides first, edges included, whatever its sheets cover
  EXPECT_EQ(tree.FindAtLevel(1, 2, 2), nullptr);
  EXPECT_EQ(tree.FindAtLevel(1, 3, 2)->GetName(), "west-south");
}

TEST_F(SpaceTreeTest, CompactFreesSheetsWithoutSubSheetsAndEmptyStripsButOnlyUnlinksSharedOnes) {
  Tracked<TSpaceTree>::Alive = 0;
  auto* kept = Sheet<Tracked<TSpaceTree>>("kept", {0, 0, 10, 10});
  kept->AddSpace(Sheet("sub", {0, 0, 5, 5}));
  auto* shared = Sheet<Tracked<TSpaceTree>>("shared", {10, 0, 20, 10});
  tree.AddSpace(kept);
  tree.AddSpace(Sheet<Tracked<TSpaceTree>>("dropped", {0, 10, 10, 20}));
  tree.AddSpace(shared);
  TOwnerEntity other;
  other.AddElement(shared);
  tree.Compact();
  EXPECT_EQ(Tracked<TSpaceTree>::Alive, 2);
  ASSERT_EQ(tree.GetRowCount(), 1);
  EXPECT_EQ(NamesIn(*tree.GetRow(0)), Strings{"kept"});
  EXPECT_EQ(other.GetElement(0), shared);
}

TEST_F(SpaceTreeTest, TheMatrixIsOneChildMadeOnceReplacedFreeingTheOldAndStoredOnlyWhenThere) {
  Strings stored = StoredPropertyNames(tree);
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "Matrix"), 0);
  EXPECT_FALSE(tree.HasMatrix());  // asking what is stored made none
  TSpaceMatrix* made = tree.Matrix();
  EXPECT_EQ(tree.Matrix(), made);
  EXPECT_EQ(tree.Children(), std::vector<TElement*>{made});
  stored = StoredPropertyNames(tree);
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "Matrix"), 1);

  Tracked<TSpaceMatrix>::Alive = 0;
  auto* first = new Tracked<TSpaceMatrix>;
  tree.SetMatrix(first);
  EXPECT_EQ(tree.Children(), std::vector<TElement*>{first});
  auto* second = new Tracked<TSpaceMatrix>;
  tree.SetMatrix(second);
  tree.SetMatrix(second);  // the same again changes nothing
  EXPECT_EQ(Tracked<TSpaceMatrix>::Alive, 1);
  EXPECT_EQ(tree.Children(), std::vector<TElement*>{second});
  tree.SetMatrix(nullptr);
  EXPECT_EQ(Tracked<TSpaceMatrix>::Alive, 0);
  EXPECT_FALSE(tree.HasMatrix());

  // The stream sets the property before it lists the children: one child, in list order.
  auto* matrix = new TSpaceMatrix;
  auto* sheet = new TSpaceTree;
  tree.SetMatrix(matrix);
  tree.AddElement(sheet);
  tree.AddElement(matrix);
  EXPECT_EQ(tree.Children(), (std::vector<TElement*>{sheet, matrix}));
  EXPECT_EQ(matrix->GetOwnersCount(), 1);
}

}  // namespace
