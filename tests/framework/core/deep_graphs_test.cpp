// Graphs nested far deeper than the stack could follow one level per frame.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tests/framework/deep_chains.h"
#include "tests/framework/framework_fixture.h"

namespace {

constexpr int kDepth = kDeepChainDepth;

using TrackedEntity = Tracked<TOwnerEntity>;
using TrackedPlainEntity = Tracked<TEntity>;

// A deep chain whose deepest entity holds one plain element.
template <class Entity>
std::unique_ptr<Entity> Chain(TEntity** deepest = nullptr) {
  TEntity* at = nullptr;
  std::unique_ptr<Entity> root = DeepChain<Entity>(kDepth, &at);
  at->AddElement(new TOwnerElement);
  if (deepest) *deepest = at;
  return root;
}

class DeepGraphsTest : public FrameworkTest {};

TEST_F(DeepGraphsTest, FreeingADeepChainFreesEveryLevelWithoutNestingOnTheStack) {
  struct Case {
    const char* name;
    std::function<void()> run;
    const int& alive;
  };
  const Case cases[] = {
      {"owner entities, freed by deleting the root", [] { Chain<TrackedEntity>().reset(); }, TrackedEntity::Alive},
      {"plain entities, freed by deleting the root", [] { Chain<TrackedPlainEntity>().reset(); },
       TrackedPlainEntity::Alive},
      {"owner entities, freed by their holder's FreeElement",
       [] {
         TOwnerEntity holder;
         holder.AddElement(Chain<TrackedEntity>().release());
         holder.FreeElement(holder.GetElement(0));
       },
       TrackedEntity::Alive},
      {"owner entities, freed by their holder's Clear",
       [] {
         TOwnerEntity holder;
         holder.AddElement(Chain<TrackedEntity>().release());
         holder.Clear();
       },
       TrackedEntity::Alive},
  };
  for (const Case& c : cases) {
    c.run();
    EXPECT_EQ(c.alive, 0) << c.name;
  }
}

TEST_F(DeepGraphsTest, StampWalksReachTheBottomOfADeepChain) {
  TEntity* deepest = nullptr;
  std::unique_ptr<TOwnerEntity> root = Chain<TOwnerEntity>(&deepest);
  // One child slot per level.
  EXPECT_EQ(root->WholeCount(), kDepth);
  root->MarkReachable();
  EXPECT_EQ(deepest->ID, CurrentVisitStamp());
  EXPECT_EQ(deepest->GetElement(0)->ID, CurrentVisitStamp());
  int sizes = 0;
  for (TElement* at = root.get(); at;) {
    sizes += at->GetSize();
    auto* entity = DynamicCast<TEntity>(at);
    at = entity ? entity->GetElement(0) : nullptr;
  }
  EXPECT_EQ(root->GetWholeSize(), sizes);
}

TEST_F(DeepGraphsTest, SizeAndCountTakeASharedSubgraphOnceAndStampWhatTheyReach) {
  // A holds B and C, both hold D with three plain children; D's children are counted once.
  TOwnerEntity a;
  auto* b = new TOwnerEntity;
  auto* c = new TOwnerEntity;
  auto* d = new TOwnerEntity;
  a.AddElement(b);
  a.AddElement(c);
  b->AddElement(d);
  c->AddElement(d);
  for (int i = 0; i < 3; ++i) d->AddElement(new TElement);
  EXPECT_EQ(a.WholeCount(), 7);
  EXPECT_EQ(a.GetWholeSize(), 4 * a.GetSize() + 3 * d->GetElement(0)->GetSize());
  for (TElement* reached : {static_cast<TElement*>(&a), static_cast<TElement*>(b), static_cast<TElement*>(c),
                            static_cast<TElement*>(d), d->GetElement(2)})
    EXPECT_EQ(reached->ID, CurrentVisitStamp()) << reached->GetName();
}

}  // namespace
