#include "spatial/geometry/missing_bounds.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/framework/deep_chains.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using MissingBoundsTest = SpatialTest;

TRectEntity* Named(TEntity& owner, const std::string& name, const TRealRect* bounds = nullptr) {
  auto* entity = new TRectEntity;
  entity->SetName(name);
  if (bounds) entity->SetBounds(*bounds);
  owner.AddElement(entity);
  return entity;
}

TRectEntity* Square(TEntity& owner, const std::string& name, TRealRect bounds) { return Named(owner, name, &bounds); }

std::string Text(const TRealRect& r) {
  return std::to_string(r.MinX) + " " + std::to_string(r.MinY) + " " + std::to_string(r.MaxX) + " " +
         std::to_string(r.MaxY);
}

std::string BoundsOf(const TElement* element) {
  const auto* rect = DynamicCast<TRectEntity>(element);
  if (!rect) return "none";
  if (!rect->IsValid()) return "missing";
  return Text({rect->GetMinX(), rect->GetMinY(), rect->GetMaxX(), rect->GetMaxY()});
}

// The first element of that name below the entity, depth first.
const TElement* Below(const TEntity& entity, const std::string& name) {
  for (TElement* child : entity.Children()) {
    if (child->GetName() == name) return child;
    if (auto* inner = DynamicCast<TEntity>(child))
      if (const TElement* found = Below(*inner, name)) return found;
  }
  return nullptr;
}

// Each row builds a model under the root it is given; the walk starts at
// the root, and the named entities' bounds are read after it.
TEST_F(MissingBoundsTest, EntitiesWithoutBoundsTakeThoseOfWhatTheyHold) {
  struct Row {
    const char* Name;
    bool RootIsRect;
    std::function<void(TEntity&)> Build;
    bool Found;
    TRealRect Extent;
    std::vector<std::pair<const char*, TRealRect>> Bounds;  // after the walk; MinX > MaxX: still missing
  };
  const TRealRect missing{1, 0, 0, 0};
  const Row rows[] = {
      {"a layer without bounds takes its squares'", false,
       [](TEntity& root) {
         TRectEntity* layer = Named(root, "layer");
         Square(*layer, "a", {0, 0, 10, 10});
         Square(*layer, "b", {20, 5, 30, 40});
       },
       true, {0, 0, 30, 40}, {{"layer", {0, 0, 30, 40}}}},
      {"vertices give their entity its bounds", true,
       [](TEntity& root) {
         root.AddElement(new T2DCoordinate(5, 6));
         root.AddElement(new T2DCoordinate(-1, 8));
       },
       true, {-1, 6, 5, 8}, {}},
      {"bounds that stand are kept", true,
       [](TEntity& root) {
         static_cast<TRectEntity&>(root).SetBounds({0, 0, 1, 1});
         Square(root, "beyond", {5, 5, 6, 6});
       },
       true, {0, 0, 1, 1}, {}},
      {"standing bounds grow by what the walk made", false,
       [](TEntity& root) {
         const TRealRect standing{0, 0, 10, 10};
         TRectEntity* list = Named(root, "list", &standing);
         Square(*Named(*list, "layer"), "c", {20, 20, 30, 30});
       },
       true, {0, 0, 30, 30}, {{"list", {0, 0, 30, 30}}, {"layer", {20, 20, 30, 30}}}},
      {"an entity in two lists gives both its bounds", false,
       [](TEntity& root) {
         TRectEntity* shared = Square(*Named(root, "first"), "s", {1, 2, 3, 4});
         Named(root, "second")->AddElement(shared);
       },
       true, {1, 2, 3, 4}, {{"first", {1, 2, 3, 4}}, {"second", {1, 2, 3, 4}}}},
      {"nothing with a place", false, [](TEntity& root) { Named(*Named(root, "layer"), "empty"); }, false, {},
       {{"layer", missing}}},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TEntity> root(row.RootIsRect ? static_cast<TEntity*>(new TRectEntity) : new TOwnerEntity);
    row.Build(*root);
    TRealRect extent;
    EXPECT_EQ(CompleteMissingBounds(root.get(), extent), row.Found) << row.Name;
    if (row.Found) {
      EXPECT_EQ(Text(extent), Text(row.Extent)) << row.Name;
      if (row.RootIsRect) {
        EXPECT_EQ(BoundsOf(root.get()), Text(row.Extent)) << row.Name;
      }
    }
    for (const auto& [name, bounds] : row.Bounds) {
      const TElement* found = Below(*root, name);
      EXPECT_EQ(BoundsOf(found), bounds.MinX > bounds.MaxX ? "missing" : Text(bounds)) << row.Name << ": " << name;
    }
  }
}

TEST_F(MissingBoundsTest, NestingDeeperThanTheStackIsWalked) {
  TEntity* deepest = nullptr;
  auto root = DeepChain<TRectEntity>(kDeepChainDepth, &deepest);
  Square(*deepest, "leaf", {3, 4, 5, 6});
  TRealRect extent;
  ASSERT_TRUE(CompleteMissingBounds(root.get(), extent));
  EXPECT_EQ(Text(extent), Text({3, 4, 5, 6}));
  EXPECT_EQ(BoundsOf(deepest), Text({3, 4, 5, 6}));
}

}  // namespace
