// Children and holders leave their lists one by one, from either end or the
// middle, keeping the order of the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "tests/framework/framework_fixture.h"

namespace {

using Model = std::vector<TElement*>;

TEST(GapListTest, EveryEditKeepsTheSameEntriesInTheSameOrderAsAVector) {
  std::vector<std::unique_ptr<TElement>> pool;
  for (int i = 0; i < 8; ++i) pool.push_back(std::make_unique<TElement>());
  std::mt19937 random(15);
  for (int round = 0; round < 200; ++round) {
    TGapList<TElement> list;
    Model model;
    for (int step = 0; step < 300; ++step) {
      const auto size = model.size();
      const auto at = size == 0 ? 0 : random() % (size + 1);
      TElement* item = pool[random() % pool.size()].get();
      switch (random() % 5) {
        case 0:
        case 1:
          list.insert(at, item);
          model.insert(model.begin() + static_cast<std::ptrdiff_t>(std::min(at, size)), item);
          break;
        case 2:
          list.push_back(item);
          model.push_back(item);
          break;
        default:
          if (size == 0) break;
          list.erase(at % size);
          model.erase(model.begin() + static_cast<std::ptrdiff_t>(at % size));
          break;
      }
      ASSERT_TRUE(list == model) << "round " << round << " step " << step;
      const auto first = std::find(model.begin(), model.end(), item);
      const std::ptrdiff_t expected = first == model.end() ? -1 : first - model.begin();
      ASSERT_EQ(list.IndexOfFirst(item), expected) << "round " << round << " step " << step;
      if (std::count(model.begin(), model.end(), item) <= 1) {
        ASSERT_EQ(list.IndexOfFirst(item, true), expected) << "round " << round << " step " << step;
      }
    }
  }
}

class ChildRemovalTest : public FrameworkTest {};

TEST_F(ChildRemovalTest, ChildListedTwiceLeavesByItsFirstSlotWhereverTheOtherOneIs) {
  struct Case {
    const char* name;
    int first;   // slots of the twice-listed child among six
    int second;
    bool freeIt;  // FreeElement instead of RemoveElement
  };
  const Case cases[] = {
      {"both near the front", 0, 1, false},   {"front and back", 0, 5, false},
      {"both near the back", 4, 5, false},    {"middle and back", 2, 5, false},
      {"front and back, freed", 1, 5, true},  {"both near the back, freed", 3, 4, true},
  };
  for (const Case& c : cases) {
    TOwnerEntity entity;
    auto* twice = new TOwnerElement;
    Model expected;
    for (int slot = 0; slot < 6; ++slot) {
      TElement* child = slot == c.first || slot == c.second ? twice : new TOwnerElement;
      entity.AddElement(child);
      if (slot != c.first) expected.push_back(child);
    }
    if (c.freeIt) entity.FreeElement(twice);
    else entity.RemoveElement(twice);
    EXPECT_TRUE(entity.Children() == expected) << c.name;
    EXPECT_EQ(entity.IndexOf(twice), c.second - 1) << c.name;
    EXPECT_EQ(twice->HolderCount(), 1) << c.name;
  }
}

TEST_F(ChildRemovalTest, ChildrenLeavingOneByOneFromEitherEndKeepTheRestInOrder) {
  for (int how = 0; how < 6; ++how) {  // removed, freed or dying on its own; from the front or the back
    const bool fromFront = how % 2 == 0;
    TOwnerEntity entity;
    Model model;
    for (int i = 0; i < 100; ++i) model.push_back(Named<TOwnerElement>("", &entity));
    while (!model.empty()) {
      TElement* leaving = fromFront ? model.front() : model.back();
      model.erase(fromFront ? model.begin() : model.end() - 1);
      if (how < 2) entity.RemoveElement(leaving);
      if (how < 2 || how >= 4) delete leaving;
      else entity.FreeElement(leaving);
      ASSERT_TRUE(entity.Children() == model) << "way " << how << " with " << model.size() << " left";
    }
  }
  // An element held by many is unlinked by all but the last, from the first holder on, then freed.
  std::vector<std::unique_ptr<TOwnerEntity>> holders;
  auto* shared = new TOwnerElement;
  for (int i = 0; i < 50; ++i) {
    holders.push_back(std::make_unique<TOwnerEntity>());
    holders.back()->AddElement(new TOwnerElement);
    holders.back()->AddElement(shared);
  }
  for (const auto& holder : holders) holder->FreeElement(shared);
  for (const auto& holder : holders) EXPECT_TRUE(holder->GetCount() == 1 && holder->GetElement(0) != shared);
}

}  // namespace
