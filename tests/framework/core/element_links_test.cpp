#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "framework/tools/world.h"
#include "tests/framework/framework_fixture.h"

namespace {

using ElementLinksTest = FrameworkTest;

constexpr std::uint32_t kSlotOf = 0x00FFFFFF;

// Makes and frees elements with handles until one is handed the slot of
// handle (slots come back first in, first out); the new element is live.
std::unique_ptr<TElement> NextInSlotOf(std::uint32_t handle) {
  for (int tries = 0; tries < (1 << 22); ++tries) {
    auto element = std::make_unique<TOwnerElement>();
    if ((HandleOfElement(element.get()) & kSlotOf) == (handle & kSlotOf)) return element;
  }
  return nullptr;
}

TEST_F(ElementLinksTest, ALinkToAFreedElementReadsNilAlsoWhenItsSlotServesAnother) {
  const struct {
    const char* name;
    std::function<TElement*()> make;
    std::function<void(TElement*)> free;
  } rows[] = {
      {"plain element, deleted", [] { return new TElement; }, [](TElement* e) { delete e; }},
      {"owner element, freed by its last holder",
       [] {
         auto* holder = new TOwnerEntity;
         holder->AddElement(new TOwnerElement);
         return holder->GetElement(0);
       },
       [](TElement* e) {
         TElement* holder = e->GetOwner(0);
         static_cast<TEntity*>(holder)->FreeElement(e);
         delete holder;
       }},
      {"entity with children, cleared away by its holder",
       [] {
         auto* holder = new TOwnerEntity;
         auto* entity = Named<TOwnerEntity>("e", holder);
         Named<TOwnerElement>("child", entity);
         return static_cast<TElement*>(entity);
       },
       [](TElement* e) {
         TElement* holder = e->GetOwner(0);
         static_cast<TEntity*>(holder)->Clear();
         delete holder;
       }},
  };
  for (const auto& row : rows) {
    TElement* element = row.make();
    const TElementLink link(element);
    const std::uint32_t handle = HandleOfElement(element);
    ASSERT_EQ(link.Get(), element) << row.name;
    row.free(element);
    EXPECT_EQ(link.Get(), nullptr) << row.name;
    EXPECT_TRUE(link.IsDangling()) << row.name;
    EXPECT_EQ(ElementOfHandle(handle), nullptr) << row.name;

    const std::unique_ptr<TElement> successor = NextInSlotOf(handle);
    ASSERT_NE(successor, nullptr) << row.name;
    EXPECT_NE(HandleOfElement(successor.get()), handle) << row.name;
    EXPECT_EQ(link.Get(), nullptr) << row.name;
    EXPECT_EQ(ElementOfHandle(handle), nullptr) << row.name;
    EXPECT_EQ(ElementOfHandle(HandleOfElement(successor.get())), successor.get()) << row.name;
  }
}

TEST_F(ElementLinksTest, HandlesOfLiveElementsAreStableAndDistinctWhileOthersComeAndGo) {
  constexpr int kCount = 20000;
  std::vector<std::unique_ptr<TElement>> elements;
  std::vector<std::uint32_t> handles;
  for (int i = 0; i < kCount; ++i) {
    elements.emplace_back(i % 3 == 0 ? static_cast<TElement*>(new TOwnerEntity) : new TOwnerElement);
    handles.push_back(HandleOfElement(elements.back().get()));
  }
  // Every other element goes, and as many new ones take the freed slots.
  std::vector<std::unique_ptr<TElement>> newcomers;
  for (int i = 0; i < kCount; i += 2) {
    elements[static_cast<std::size_t>(i)].reset();
    newcomers.emplace_back(new TOwnerElement);
    handles.push_back(HandleOfElement(newcomers.back().get()));
  }
  std::unordered_set<std::uint32_t> distinct(handles.begin(), handles.end());
  EXPECT_EQ(distinct.size(), handles.size());
  for (int i = 1; i < kCount; i += 2) {
    TElement* element = elements[static_cast<std::size_t>(i)].get();
    const std::uint32_t handle = handles[static_cast<std::size_t>(i)];
    ASSERT_EQ(HandleOfElement(element), handle) << "element " << i;
    ASSERT_EQ(ElementOfHandle(handle), element) << "element " << i;
    ASSERT_TRUE(handle > 0 && handle <= 0x7FFFFFFF) << "element " << i;
  }
  for (std::size_t i = 0; i < newcomers.size(); ++i)
    ASSERT_EQ(ElementOfHandle(handles[kCount + i]), newcomers[i].get()) << "newcomer " << i;
}

TEST_F(ElementLinksTest, NumbersNeverIssuedOrNoLongerLiveGiveNil) {
  auto live = std::make_unique<TOwnerElement>();
  const std::uint32_t handle = HandleOfElement(live.get());
  std::uint32_t stale = 0;
  {
    TOwnerElement gone;
    stale = HandleOfElement(&gone);
  }
  const struct {
    const char* name;
    std::uint32_t number;
  } rows[] = {
      {"nil", 0},
      {"stale", stale},
      {"live slot, later generation", handle + (1u << 24)},
      {"live slot, top bit set", handle | 0x80000000u},
      {"slot never handed out", 0x00FFFFFE},
      {"largest number", 0xFFFFFFFF},
      {"largest positive number", 0x7FFFFFFF},
  };
  for (const auto& row : rows) EXPECT_EQ(ElementOfHandle(row.number), nullptr) << row.name;
  EXPECT_EQ(ElementOfHandle(handle), live.get());
}

TEST_F(ElementLinksTest, ASlotWhoseGenerationsAreSpentIsNeverHandedOutAgain) {
  // Slots come back in turn, so a few laps spend one; each slot's handles
  // must rise in generation, which also makes them all distinct.
  std::unordered_map<std::uint32_t, std::uint32_t> lastGeneration;
  std::uint32_t spent = 0;
  std::size_t lapAfterSpent = 0;
  for (int i = 0; i < (1 << 24) && (spent == 0 || lapAfterSpent > 0); ++i) {
    TOwnerElement element;
    const std::uint32_t handle = HandleOfElement(&element);
    ASSERT_TRUE(handle > 0 && handle <= 0x7FFFFFFF) << "handle " << handle;
    const std::uint32_t slot = handle & kSlotOf;
    const std::uint32_t generation = handle >> 24;
    const auto [last, first] = lastGeneration.try_emplace(slot, generation);
    ASSERT_TRUE(first || generation > last->second) << "slot " << slot << " gave generation " << generation
                                                     << " after " << last->second;
    last->second = generation;
    if (lapAfterSpent > 0) --lapAfterSpent;
    if (spent == 0 && generation == 127) {
      spent = slot;
      lapAfterSpent = 2 * lastGeneration.size() + 10;
    }
  }
  ASSERT_NE(spent, 0u);
  EXPECT_EQ(ElementOfHandle((127u << 24) | spent), nullptr);
}

TEST_F(ElementLinksTest, IssueOrderIsKeptWhateverTheNumbers) {
  // Slots freed from the highest down come back in that order, so handles
  // issued later get smaller numbers.  Slots freed before the test come back
  // before its own (first in, first out), so they are all taken first: a
  // slot never handed out (generation 0) is issued only once none is free.
  std::vector<std::unique_ptr<TElement>> taken;
  do taken.emplace_back(new TOwnerElement);
  while (HandleOfElement(taken.back().get()) >> 24 != 0);
  std::vector<std::unique_ptr<TElement>> freed;
  for (int i = 0; i < 1000; ++i) {
    freed.emplace_back(new TOwnerElement);
    HandleOfElement(freed.back().get());
  }
  std::uint32_t stale = HandleOfElement(freed.front().get());
  while (!freed.empty()) freed.pop_back();
  auto first = std::make_unique<TOwnerElement>();
  const std::uint32_t firstHandle = HandleOfElement(first.get());
  std::vector<std::unique_ptr<TElement>> later;
  bool smallerNumberSeen = false;
  for (int i = 0; i < (1 << 14) && !smallerNumberSeen; ++i) {
    later.emplace_back(new TOwnerElement);
    const std::uint32_t handle = HandleOfElement(later.back().get());
    ASSERT_TRUE(IssuedAfter(handle, firstHandle)) << "element " << i;
    ASSERT_FALSE(IssuedAfter(firstHandle, handle)) << "element " << i;
    smallerNumberSeen = handle < firstHandle;
  }
  EXPECT_TRUE(smallerNumberSeen);
  EXPECT_TRUE(IssuedAfter(firstHandle, stale));
  EXPECT_FALSE(IssuedAfter(stale, firstHandle));
  EXPECT_FALSE(IssuedAfter(firstHandle, firstHandle));
}

// The program thread reads links while the user-interface thread frees
// their elements, both under the world lock: every read sees the element
// alive or nil (the sanitizers watch the rest).
TEST_F(ElementLinksTest, LinksReadOnAnotherThreadWhileTheirElementsAreFreedSeeThemOrNil) {
  constexpr int kCount = 2000;
  std::vector<TElement*> elements;
  std::vector<TElementLink> links;
  for (int i = 0; i < kCount; ++i) {
    elements.push_back(Named<TOwnerElement>("e" + std::to_string(i)));
    elements.back()->ID = i;
    links.emplace_back(elements.back());
  }
  std::atomic<bool> freeing{true};
  std::atomic<int> wrong{0};
  std::atomic<int> rounds{0};
  std::thread reader([&] {
    bool last = false;
    while (!last) {
      last = !freeing.load();
      std::lock_guard world(WorldLock());
      for (int i = 0; i < kCount; ++i)
        if (TElement* element = links[static_cast<std::size_t>(i)].Get(); element && element->ID != i) ++wrong;
      ++rounds;
    }
  });
  // New elements take freed slots meanwhile; a stale link must not see them.
  std::vector<std::unique_ptr<TElement>> newcomers;
  for (int i = 0; i < kCount; ++i) {
    std::lock_guard world(WorldLock());
    delete elements[static_cast<std::size_t>(i)];
    if (i % 2 == 0) {
      newcomers.emplace_back(new TOwnerElement);
      newcomers.back()->ID = -5;
      HandleOfElement(newcomers.back().get());
    }
  }
  freeing = false;
  reader.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_GE(rounds.load(), 1);
  for (const TElementLink& link : links) EXPECT_EQ(link.Get(), nullptr);
}

}  // namespace
