#include "spatial/sheets/space_tree.h"

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
  TSpaceTree tree;
};

TEST_F(SpaceTreeTest, TheTreesOwnBoxDecidesFirstAndCompactUnlinksSharedSheets) {
  EXPECT_EQ(std::tuple(tree.FindSheetAt(1, 1), tree.HasMatrix()), std::tuple(nullptr, false));  // no matrix made
  Tracked<TSpaceTree>::Alive = 0;
  auto* kept = Sheet<Tracked<TSpaceTree>>("kept", {0, 0, 10, 10});
  kept->AddSpace(Sheet("sub", {0, 0, 5, 5}));
  auto* shared = Sheet<Tracked<TSpaceTree>>("shared", {10, 0, 20, 10});
  tree.AddSpace(shared);
  tree.AddSpace(Sheet<Tracked<TSpaceTree>>("dropped", {0, 10, 10, 20}));
  tree.AddSpace(kept);
  EXPECT_EQ(NamesIn(*tree.GetRow(0)), (Strings{"kept", "dropped"}));  // strips by X, sheets by Y
  EXPECT_EQ(tree.FindAtLevel(2, 2, 2)->GetName(), "sub");
  tree.SetMinX(3);  // edges included, whatever its sheets cover
  EXPECT_EQ(std::pair(tree.FindAtLevel(1, 2, 2), tree.FindAtLevel(1, 3, 2)),
            std::pair(static_cast<TRectEntity*>(nullptr), static_cast<TRectEntity*>(kept)));
  TOwnerEntity other;
  other.AddElement(shared);
  tree.Compact();  // frees sheets without sub-sheets and empty strips
  ASSERT_EQ(tree.GetRowCount(), 1);
  EXPECT_EQ(std::tuple(Tracked<TSpaceTree>::Alive, NamesIn(*tree.GetRow(0)), other.GetElement(0)),
            std::tuple(2, Strings{"kept"}, shared));
}

}  // namespace
