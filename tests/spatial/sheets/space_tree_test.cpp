#include "spatial/sheets/space_tree.h"

#include <algorithm>

#include "framework/core/class_registry.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

TSpaceTree* Sheet(const std::string& name, double minX, double minY, double maxX, double maxY) {
  auto* sheet = new TSpaceTree;
  sheet->SetName(name);
  sheet->SetBounds({minX, minY, maxX, maxY});
  return sheet;
}

Strings NamesIn(const TEntity& entity) {
  Strings names;
  for (TElement* child : entity.Children()) names.push_back(child->GetName());
  return names;
}

class SpaceTreeTest : public SpatialTest {
 protected:
  // Four 10 x 10 sheets in two columns, filed out of order.
  void FileGrid() {
    tree.AddSpace(Sheet("east-north", 10, 10, 20, 20));
    tree.AddSpace(Sheet("west-north", 0, 10, 10, 20));
    tree.AddSpace(Sheet("east-south", 10, 0, 20, 10));
    tree.AddSpace(Sheet("west-south", 0, 0, 10, 10));
  }
  TSpaceTree tree;
};

TEST_F(SpaceTreeTest, StripsAreOrderedByXAndSheetsInAStripByY) {
  FileGrid();
  ASSERT_EQ(tree.GetRowCount(), 2);
  EXPECT_EQ(NamesIn(*tree.GetRow(0)), (Strings{"west-south", "west-north"}));
  EXPECT_EQ(NamesIn(*tree.GetRow(1)), (Strings{"east-south", "east-north"}));
  EXPECT_EQ(tree.GetRow(0)->GetMinX(), 0);
  EXPECT_EQ(tree.GetRow(0)->GetMaxY(), 20);
  EXPECT_EQ(tree.GetRow(2), nullptr);
  EXPECT_EQ(tree.GetRow(0)->GetCell(1)->GetName(), "west-north");
  EXPECT_EQ(tree.GetRow(0)->GetCell(2), nullptr);
}

TEST_F(SpaceTreeTest, TheTreeAndItsMatrixCoverTheirSheets) {
  FileGrid();
  for (const TRectEntity* box : {static_cast<const TRectEntity*>(&tree), static_cast<const TRectEntity*>(tree.Matrix())}) {
    EXPECT_EQ(box->GetMinX(), 0);
    EXPECT_EQ(box->GetMinY(), 0);
    EXPECT_EQ(box->GetMaxX(), 20);
    EXPECT_EQ(box->GetMaxY(), 20);
  }
}

TEST_F(SpaceTreeTest, APointFindsItsSheetOnlyStrictlyInside) {
  FileGrid();
  EXPECT_EQ(tree.FindSheetAt(15, 5)->GetName(), "east-south");
  EXPECT_EQ(tree.FindSheetAt(5, 15)->GetName(), "west-north");
  EXPECT_EQ(tree.FindSheetAt(10, 5), nullptr);  // on the edge between strips
  EXPECT_EQ(tree.FindSheetAt(5, 10), nullptr);  // on the edge between sheets
  EXPECT_EQ(tree.FindSheetAt(0, 5), nullptr);
  EXPECT_EQ(tree.FindSheetAt(25, 5), nullptr);
}

TEST_F(SpaceTreeTest, ATreeWithoutMatrixFindsNothingAndMakesNoMatrix) {
  EXPECT_EQ(tree.FindSheetAt(1, 1), nullptr);
  EXPECT_TRUE(tree.MatrixIsEmpty());
  EXPECT_FALSE(tree.HasMatrix());
  EXPECT_EQ(tree.GetCount(), 0);
}

TEST_F(SpaceTreeTest, LevelsDescendThroughTheSheetsFoundWithinTheTreesClosedBounds) {
  FileGrid();
  auto* inner = static_cast<TSpaceTree*>(tree.FindSheetAt(5, 5));
  inner->AddSpace(Sheet("inner", 0, 0, 5, 5));
  EXPECT_EQ(tree.FindAtLevel(1, 2, 2)->GetName(), "west-south");
  EXPECT_EQ(tree.FindAtLevel(2, 2, 2)->GetName(), "inner");
  EXPECT_EQ(tree.FindAtLevel(2, 7, 7), nullptr);
  EXPECT_EQ(tree.FindAtLevel(3, 2, 2), nullptr);  // "inner" has no sheets
  EXPECT_EQ(tree.FindAtLevel(1, 20.5, 2), nullptr);
  // The tree's own box decides first, edges included, whatever its sheets cover.
  tree.SetMinX(3);
  EXPECT_EQ(tree.FindAtLevel(1, 2, 2), nullptr);
  EXPECT_EQ(tree.FindAtLevel(1, 3, 2)->GetName(), "west-south");
}

TEST_F(SpaceTreeTest, CompactFreesSheetsWithoutSubSheetsAndThenEmptyStrips) {
  Tracked<TSpaceTree>::Alive = 0;
  auto* kept = new Tracked<TSpaceTree>;
  kept->SetBounds({0, 0, 10, 10});
  kept->AddSpace(Sheet("sub", 0, 0, 5, 5));
  auto* dropped = new Tracked<TSpaceTree>;
  dropped->SetBounds({0, 10, 10, 20});
  auto* alone = new Tracked<TSpaceTree>;
  alone->SetBounds({10, 0, 20, 10});
  tree.AddSpace(kept);
  tree.AddSpace(dropped);
  tree.AddSpace(alone);
  tree.Compact();
  EXPECT_EQ(Tracked<TSpaceTree>::Alive, 1);
  ASSERT_EQ(tree.GetRowCount(), 1);
  EXPECT_EQ(tree.GetRow(0)->GetCell(0), kept);
}

TEST_F(SpaceTreeTest, CompactOnlyUnlinksASheetHeldElsewhere) {
  Tracked<TSpaceTree>::Alive = 0;
  auto* shared = new Tracked<TSpaceTree>;
  shared->SetBounds({0, 0, 10, 10});
  tree.AddSpace(shared);
  TOwnerEntity other;
  other.AddElement(shared);
  tree.Compact();
  EXPECT_EQ(Tracked<TSpaceTree>::Alive, 1);
  EXPECT_EQ(tree.GetRowCount(), 0);
  EXPECT_EQ(other.GetElement(0), shared);
}

TEST_F(SpaceTreeTest, TheMatrixIsMadeOnceAsAChild) {
  TSpaceMatrix* matrix = tree.Matrix();
  EXPECT_EQ(tree.Matrix(), matrix);
  EXPECT_EQ(tree.GetCount(), 1);
  EXPECT_EQ(tree.IndexOf(matrix), 0);
}

TEST_F(SpaceTreeTest, WritingTheMatrixFreesTheOldOneAndAdoptsTheNewOne) {
  Tracked<TSpaceMatrix>::Alive = 0;
  auto* first = new Tracked<TSpaceMatrix>;
  tree.SetMatrix(first);
  EXPECT_EQ(tree.IndexOf(first), 0);
  auto* second = new Tracked<TSpaceMatrix>;
  tree.SetMatrix(second);
  EXPECT_EQ(Tracked<TSpaceMatrix>::Alive, 1);
  EXPECT_EQ(tree.Matrix(), second);
  EXPECT_EQ(tree.GetCount(), 1);
  tree.SetMatrix(second);
  EXPECT_EQ(Tracked<TSpaceMatrix>::Alive, 1);
  EXPECT_EQ(tree.GetCount(), 1);
  tree.SetMatrix(nullptr);
  EXPECT_EQ(Tracked<TSpaceMatrix>::Alive, 0);
  EXPECT_FALSE(tree.HasMatrix());
}

TEST_F(SpaceTreeTest, AMatrixSetAndThenListedAsAChildStaysOneChildInListOrder) {
  auto* matrix = new TSpaceMatrix;
  auto* sheet = new TSpaceTree;
  tree.SetMatrix(matrix);
  tree.AddElement(sheet);
  tree.AddElement(matrix);
  ASSERT_EQ(tree.GetCount(), 2);
  EXPECT_EQ(tree.GetElement(0), sheet);
  EXPECT_EQ(tree.GetElement(1), matrix);
  EXPECT_EQ(matrix->GetOwnersCount(), 1);
}

TEST_F(SpaceTreeTest, TheMatrixIsStoredOnlyWhenThereIsOne) {
  auto stored = StoredPropertyNames(tree);
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "Matrix"), 0);
  EXPECT_FALSE(tree.HasMatrix());
  tree.Matrix();
  stored = StoredPropertyNames(tree);
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "Matrix"), 1);
}

}  // namespace
