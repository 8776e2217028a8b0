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
  EXPECT_EQ(std::tuple(tree.FindSheetAt(1, 1), tree.HasMatrix(), tree.MatrixIsEmpty()),
            std::tuple(nullptr, false, true));  // no matrix: nothing found, no matrix made
  FileGrid();
  ASSERT_EQ(tree.GetRowCount(), 2);
  EXPECT_EQ(NamesIn(*tree.GetRow(0)), (Strings{"west-south", "west-north"}));
  EXPECT_EQ(NamesIn(*tree.GetRow(1)), (Strings{"east-south", "east-north"}));
  EXPECT_EQ(std::tuple(BoxOf(*tree.GetRow(0)), BoxOf(tree), tree.GetRow(2), tree.GetRow(0)->GetCell(2)),
            std::tuple(Box4{0, 0, 10, 20}, Box4{0, 0, 20, 20}, nullptr, nullptr));
  const std::tuple<double, double, const char*> cases[] = {
      {15, 5, "east-south"}, {5, 15, "west-north"}, {10, 5, nullptr},  // on the edge between strips
      {5, 10, nullptr},      {0, 5, nullptr},       {25, 5, nullptr}};
  for (const auto& [x, y, name] : cases) {
    TElement* found = tree.FindSheetAt(x, y);
    EXPECT_EQ(found ? found->GetName() : "nil", name ? name : "nil") << x << " " << y;
  }
  auto* inner = static_cast<TSpaceTree*>(tree.FindSheetAt(5, 5));
  inner->AddSpace(Sheet("inner", {0, 0, 5, 5}));
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
  ASSERT_EQ(tree.GetRowCount(), 1);
  EXPECT_EQ(std::tuple(Tracked<TSpaceTree>::Alive, NamesIn(*tree.GetRow(0)), other.GetElement(0)),
            std::tuple(2, Strings{"kept"}, shared));
}

// Replacing and listing the matrix is the linked-child rule the geometry holder's tests cover.
TEST_F(SpaceTreeTest, TheMatrixIsOneChildMadeOnceAndStoredOnlyWhenThere) {
  auto matrixStored = [this] {
    const Strings stored = StoredPropertyNames(tree);
    return std::count(stored.begin(), stored.end(), "Matrix");
  };
  EXPECT_EQ(std::pair(matrixStored(), tree.HasMatrix()), std::pair(0l, false));  // asking what is stored made none
  TSpaceMatrix* made = tree.Matrix();
  EXPECT_EQ(std::tuple(tree.Matrix(), tree.Children(), matrixStored()),
            std::tuple(made, std::vector<TElement*>{made}, 1l));
  tree.SetMatrix(nullptr);
  EXPECT_FALSE(tree.HasMatrix());
}

}  // namespace
