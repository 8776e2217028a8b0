// The recursor's walk over graphs nested far deeper than the stack.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "framework/tools/recursor.h"
#include "tests/framework/deep_chains.h"
#include "tests/framework/framework_fixture.h"

namespace {

constexpr int kDepth = kDeepChainDepth;

// Counts the elements processed after their children and the deepest level seen.
class TCountingRecursor : public TRecursor {
 public:
  int processed = 0;
  int deepest = 0;
  int leftInside = 0;
  bool QProcessAfter(TElement*) override { return true; }
  void Process(TElement*) override {
    ++processed;
    deepest = std::max(deepest, Level);
  }
  void LeftInside(TElement* element) override {
    TRecursor::LeftInside(element);
    ++leftInside;
  }
};

class DeepWalkTest : public FrameworkTest {};

TEST_F(DeepWalkTest, WalkReachesTheBottomOfADeepChainAndClimbsBackToLevelOne) {
  TEntity* at = nullptr;
  std::unique_ptr<TOwnerEntity> root = DeepChain<TOwnerEntity>(kDepth, &at);
  at->AddElement(new TOwnerElement);
  TCountingRecursor walk;
  walk.SetInput(root.get());
  walk.DoIt();
  EXPECT_EQ(walk.processed, kDepth + 1);
  // The plain element at the bottom sits at level kDepth + 1.
  EXPECT_EQ(walk.deepest, kDepth + 1);
  EXPECT_EQ(walk.Level, 1);
  // Every entity's walk ends once, the input's included.
  EXPECT_EQ(walk.leftInside, kDepth);
}

TEST_F(DeepWalkTest, AnEntityOnTheDescentPathIsNotEnteredAgainWhateverTheDepth) {
  // root > ... > last, and last lists root again without owning it.
  TEntity* at = nullptr;
  std::unique_ptr<TNameEntity> root = DeepChain<TNameEntity>(1000, &at);
  auto* last = new TQuickEntity;
  at->AddElement(last);
  last->AddElement(root.get());
  TCountingRecursor walk;
  walk.SetInput(root.get());
  walk.DoIt();
  EXPECT_EQ(walk.processed, 1001);
  EXPECT_EQ(walk.Level, 1);
}

}  // namespace
