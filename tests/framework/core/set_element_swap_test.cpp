#include <functional>
#include <memory>
#include <vector>

#include "tests/framework/framework_fixture.h"

namespace {

using SetElementSwapTest = FrameworkTest;
using Child = Tracked<TOwnerElement>;

// SetElement replaces a slot and frees nothing, while every element keeps
// true lists of the entities that hold and own it.
TEST_F(SetElementSwapTest, ReplacingSlotsFreesNothingAndKeepsHoldersTrue) {
  struct Case {
    const char* Name;
    // Acts on an entity holding a, b; other holds c.
    std::function<void(TEntity& entity, TEntity& other, Child* a, Child* b, Child* c)> Act;
    std::vector<int> Slots;  // which of a, b, c (0, 1, 2) the entity holds afterwards, in order
  };
  const Case cases[] = {
      {"swap of two children",
       [](TEntity& e, TEntity&, Child* a, Child* b, Child*) {
         e.SetElement(0, b);
         e.SetElement(1, a);
       },
       {1, 0}},
      {"a child seated in a second slot, then its first slot replaced",
       [](TEntity& e, TEntity&, Child* a, Child* b, Child*) {
         e.SetElement(1, a);
         e.SetElement(0, b);
       },
       {1, 0}},
      {"an element of another entity seated here",
       [](TEntity& e, TEntity&, Child*, Child*, Child* c) { e.SetElement(0, c); }, {2, 1}},
      {"a child replaced and then added again",
       [](TEntity& e, TEntity&, Child* a, Child*, Child* c) {
         e.SetElement(0, c);
         e.AddElement(a);
       },
       {2, 1, 0}},
  };
  for (const Case& c : cases) {
    Child::Alive = 0;
    std::vector<Child*> children{new Child, new Child, new Child};
    {
      TOwnerEntity entity;
      TOwnerEntity other;
      entity.AddElement(children[0]);
      entity.AddElement(children[1]);
      other.AddElement(children[2]);
      c.Act(entity, other, children[0], children[1], children[2]);
      ASSERT_EQ(Child::Alive, 3) << c.Name;
      std::vector<int> slots;
      for (TElement* held : entity.Children())
        for (int i = 0; i < 3; ++i)
          if (held == children[static_cast<std::size_t>(i)]) slots.push_back(i);
      EXPECT_EQ(slots, c.Slots) << c.Name;
      for (int i = 0; i < 3; ++i) {
        Child* child = children[static_cast<std::size_t>(i)];
        int here = 0;
        for (int slot : slots) here += slot == i ? 1 : 0;
        const int there = i == 2 ? 1 : 0;
        EXPECT_EQ(child->HolderCount(), here + there) << c.Name << ", child " << i;
        EXPECT_EQ(child->GetOwnersCount(), here + there) << c.Name << ", child " << i;
        EXPECT_EQ(child->HasOwner(&entity), here > 0) << c.Name << ", child " << i;
      }
      // What no entity holds any more is the caller's to free.
      for (Child* child : children)
        if (child->HolderCount() == 0) delete child;
    }
    EXPECT_EQ(Child::Alive, 0) << c.Name;
  }
}

}  // namespace
