#include <algorithm>
#include <functional>
#include <memory>

#include "framework/core/class_registry.h"
#include "tests/framework/deep_chains.h"
#include "tests/framework/framework_fixture.h"

namespace {

using ElementsTest = FrameworkTest;
using Leaf = Tracked<TOwnerElement>;
using Plain = Tracked<TElement>;

TEST_F(ElementsTest, EnvelopeCopyIsZeroSharesOwnedChildrenAndCopiesOwnerlessOnes) {
  TOwnerEntity source;
  EXPECT_EQ(source.ID, -1);
  source.SetName("Les");
  auto* shared = Named<TOwnerElement>("", &source);
  auto* plain = Named<TElement>("", &source);  // records no owners, so it is copied
  std::unique_ptr<TEntity> copy(static_cast<TEntity*>(source.CreateEnvelope()));
  EXPECT_EQ(std::to_string(copy->ID) + " " + copy->GetName(), "0 Obálka: Les");
  EXPECT_EQ(copy->ClassType(), TOwnerEntity::StaticClass());
  ASSERT_EQ(copy->GetCount(), 2);
  EXPECT_TRUE(copy->GetElement(0) == shared && copy->GetElement(1) != plain);
  EXPECT_EQ(shared->GetOwnersCount(), 2);
}

TEST_F(ElementsTest, ElementIsFreedOnlyWhenNoEntityHoldsItWhateverItsClass) {
  Leaf::Alive = Plain::Alive = 0;
  {
    TOwnerEntity a, b;
    auto* child = Named<Leaf>("", &a);
    b.AddElement(child);
    a.FreeElement(child);
    EXPECT_EQ(Leaf::Alive + a.GetCount(), 1);
    EXPECT_EQ(child->GetOwner(0), &b);
    b.FreeElement(child);
    EXPECT_EQ(Leaf::Alive, 0);
    TEntity keeper;
    auto* cleared = new TOwnerEntity;
    auto* freed = new TEntity;
    auto* leaf = new Leaf;
    auto* plain = new Plain;  // keeps no owner list, yet is held
    for (TEntity* holder : {static_cast<TEntity*>(cleared), freed, &keeper}) {
      holder->AddElement(leaf);
      holder->AddElement(plain);
    }
    cleared->Clear();
    EXPECT_TRUE(cleared->IsEmpty());
    freed->FreeElement(plain);
    delete freed;
    delete cleared;
    EXPECT_EQ(Leaf::Alive + Plain::Alive, 2);
    EXPECT_EQ(plain->GetOwnersCount() + leaf->GetOwnersCount(), 1);  // the published count keeps its meaning
  }
  EXPECT_EQ(Leaf::Alive + Plain::Alive, 0);
  TEntity a, b;
  auto* child = Named<TEntity>("", &a);
  b.AddElement(child);
  delete child;  // leaves every list it is in
  EXPECT_EQ(a.GetCount() + b.GetCount(), 0);
  auto* map = new TQuickEntity;  // never becomes an owner
  Leaf element;
  map->AddElement(&element);
  EXPECT_EQ(element.GetOwnersCount(), 0);
  delete map;
  EXPECT_EQ(Leaf::Alive, 1);
}

TEST_F(ElementsTest, ChildListEditsKeepTheRule) {
  Leaf::Alive = 0;
  EXPECT_EQ(TEntity().GetElement(5), nullptr);  // no list yet: nothing there
  TOwnerEntity entity;
  auto* old = new Leaf;
  entity.InsertElement(3, old);  // without a list only at index 0
  EXPECT_TRUE(entity.IsEmpty());
  entity.InsertElement(0, old);
  entity.SetElement(0, old);  // the same element again changes nothing
  EXPECT_EQ(Leaf::Alive + old->GetOwnersCount(), 2);
  for (int index : {5, 1, -1}) EXPECT_THROW(entity.GetElement(index), std::out_of_range) << index;
  EXPECT_THROW(entity.SetElement(5, old), std::out_of_range);
  EXPECT_EQ(entity.IndexOf(nullptr), -1);
  entity.RemoveElement(old);
  EXPECT_EQ(old->GetOwnersCount(), 0);
  delete old;
  TElement* field = nullptr;
  auto* first = new Leaf;
  entity.SetOwnedElement(field, first);
  entity.SetOwnedElement(field, first);
  EXPECT_EQ(Leaf::Alive + entity.GetCount(), 2);
  entity.SetOwnedElement(field, new Leaf);
  EXPECT_EQ(Leaf::Alive, 1);
  EXPECT_NE(field, first);
}

// SetElement replaces a slot and frees nothing, while every element keeps true
// lists of the entities that hold and own it.
TEST_F(ElementsTest, SetElementFreesNothingAndKeepsHoldersTrue) {
  struct Case {
    const char* Name;
    std::vector<std::pair<int, int>> Sets;  // slot (-1 adds) and which of a, b, c; the entity holds a, b, other c
    std::vector<int> Slots;                 // which the entity holds afterwards
  };
  const Case cases[] = {
      {"swap of two children", {{0, 1}, {1, 0}}, {1, 0}},
      {"a child seated twice, then its first slot replaced", {{1, 0}, {0, 1}}, {1, 0}},
      {"an element of another entity seated here", {{0, 2}}, {2, 1}},
      {"a child replaced and then added again", {{0, 2}, {-1, 0}}, {2, 1, 0}},
  };
  for (const Case& c : cases) {
    Leaf::Alive = 0;
    Leaf* children[] = {new Leaf, new Leaf, new Leaf};
    {
      TOwnerEntity entity, other;
      entity.AddElement(children[0]);
      entity.AddElement(children[1]);
      other.AddElement(children[2]);
      for (auto [slot, which] : c.Sets) {
        if (slot < 0) entity.AddElement(children[which]);
        else entity.SetElement(slot, children[which]);
      }
      ASSERT_EQ(Leaf::Alive, 3) << c.Name;
      std::vector<int> slots;
      for (TElement* held : entity.Children())
        slots.push_back(static_cast<int>(std::find(children, children + 3, held) - children));
      EXPECT_EQ(slots, c.Slots) << c.Name;
      for (int i = 0; i < 3; ++i) {
        const int here = static_cast<int>(std::count(slots.begin(), slots.end(), i));
        EXPECT_EQ(children[i]->HolderCount(), here + (i == 2)) << c.Name << ", child " << i;
        EXPECT_EQ(children[i]->GetOwnersCount(), here + (i == 2)) << c.Name << ", child " << i;
        EXPECT_EQ(children[i]->HasOwner(&entity), here > 0) << c.Name << ", child " << i;
      }
      for (Leaf* child : children)  // what no entity holds any more is the caller's to free
        if (child->HolderCount() == 0) delete child;
    }
    EXPECT_EQ(Leaf::Alive, 0) << c.Name;
  }
}

TEST_F(ElementsTest, WalksCountASharedSubgraphOnceAndStampsNeverRepeat) {
  TEntity a;  // a holds b and c; both hold d, which holds three plain elements
  auto* d = Named<TEntity>("", Named<TEntity>("", &a));
  Named<TEntity>("", &a)->AddElement(d);
  for (int i = 0; i < 3; ++i) d->AddElement(new TElement);
  EXPECT_EQ(a.WholeCount(), 7);
  EXPECT_EQ(a.GetPropertyInteger("WholeCount"), 7);
  EXPECT_EQ(a.GetWholeSize(), static_cast<int>(4 * sizeof(TEntity) + 3 * sizeof(TElement)));
  a.MarkReachable();
  for (TElement* reached : {static_cast<TElement*>(&a), a.GetElement(1), static_cast<TElement*>(d), d->GetElement(2)})
    EXPECT_EQ(reached->ID, CurrentVisitStamp());
  for (int i = 0, previous = NewVisitStamp(), stamp; i < 100000; ++i, previous = stamp) {
    stamp = NewVisitStamp();
    ASSERT_LT(stamp, -1);
    ASSERT_NE(stamp, previous);
  }
}

// Chains deeper than the stack could follow one level per frame.
TEST_F(ElementsTest, DeepChainsAreWalkedAndFreedWithoutNestingOnTheStack) {
  using Owner = Tracked<TOwnerEntity>;
  using Entity = Tracked<TEntity>;
  const auto chain = [](auto made) {
    TEntity* deepest = nullptr;
    auto root = DeepChain<typename decltype(made)::element_type>(kDeepChainDepth, &deepest);
    deepest->AddElement(new TOwnerElement);
    return root;
  };
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"owner entities, root deleted", [&] { chain(std::unique_ptr<Owner>()).reset(); }},
      {"plain entities, root deleted", [&] { chain(std::unique_ptr<Entity>()).reset(); }},
      {"freed by a holder's FreeElement", [&] {
         TOwnerEntity holder;
         holder.AddElement(chain(std::unique_ptr<Owner>()).release());
         holder.FreeElement(holder.GetElement(0));
       }},
      {"freed by a holder's Clear", [&] {
         TOwnerEntity holder;
         holder.AddElement(chain(std::unique_ptr<Owner>()).release());
         holder.Clear();
       }},
  };
  for (const auto& [name, run] : cases) {
    run();
    EXPECT_EQ(Owner::Alive + Entity::Alive, 0) << name;
  }
  auto root = chain(std::unique_ptr<TOwnerEntity>());
  EXPECT_EQ(root->WholeCount(), kDeepChainDepth);  // one child slot per level
  int sizes = 0;
  TElement* at = root.get();
  for (TEntity* entity = root.get(); entity; entity = DynamicCast<TEntity>(at = entity->GetElement(0)))
    sizes += entity->GetSize();
  EXPECT_EQ(root->GetWholeSize(), sizes + at->GetSize());
  root->MarkReachable();
  EXPECT_EQ(at->ID, CurrentVisitStamp());
}

TEST_F(ElementsTest, NamesAndSearchesUpAndDown) {
  TOwnerElement unnamed;
  EXPECT_EQ(unnamed.GetName(), "TOwnerElement");
  EXPECT_FALSE(unnamed.HasName());
  TElement plain;
  plain.SetName("ignored");
  EXPECT_EQ(plain.GetName(), "TElement");
  unnamed.SetName("Porost");
  EXPECT_EQ(unnamed.GetSize(), static_cast<int>(sizeof(TOwnerElement)) + 7);
  // FindElementByName: the first child whose name matches in any letter case,
  // as classes without a name of their own give it.
  TOwnerEntity entity;
  entity.SetName("Oddělení");
  for (const char* name : {"Alfa", "žluťoučký kůň", "ж", "alfa", "a name well beyond any short string buffer", ""})
    Named<TOwnerElement>(name, &entity);
  entity.AddElement(new TElement);
  const std::pair<const char*, int> lookups[] = {
      {"ALFA", 0}, {"ŽLUŤOUČKÝ KŮŇ", 1}, {"ж", 2},  {"Ж", -1}, {"ALF", -1}, {"ALFAX", -1}, {"Zlutoucky kun", -1},
      {"A NAME WELL BEYOND ANY SHORT STRING BUFFER", 4}, {"townerelement", 5}, {"TELEMENT", 6}, {"", -1},
  };
  for (const auto& [wanted, index] : lookups)
    EXPECT_EQ(entity.FindElementByName(wanted), index < 0 ? nullptr : entity.GetElement(index)) << wanted;
  auto* child = Named("Čtvrť", &entity);
  auto* leaf = Named<TOwnerElement>("", child);
  EXPECT_EQ(child->GetOwnerByName("Oddělení"), &entity);
  EXPECT_EQ(child->GetOwnerByName("ODDĚLENÍ"), nullptr);  // exact
  EXPECT_EQ(leaf->FindUpByClass(TOwnerEntity::StaticClass()), child);
  EXPECT_EQ(leaf->FindUpByClass(TKestuMessage::StaticClass()), nullptr);
}

TEST_F(ElementsTest, CommandPropertiesAddRemoveAndFreeChildren) {
  TOwnerEntity entity, source;
  auto* a = Named<TOwnerElement>("", &source);
  auto* b = Named<TOwnerElement>("", &source);
  entity.SetPropertyText("AddAllFrom", Handle(&source));
  EXPECT_EQ(entity.GetCount(), 2);
  entity.SetPropertyText("ElementToRemove", Handle(a));
  entity.SetPropertyText("ElementToFree", Handle(b));
  EXPECT_EQ(entity.GetCount(), 0);
  EXPECT_EQ(source.GetCount(), 2);  // b was shared, so only unlinked
  entity.SetPropertyText("NextElement", Handle(a));
  EXPECT_EQ(entity.GetElement(0), a);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(ElementsTest, AliasesAndFindOrCreate) {
  Leaf::Alive = 0;
  TOwnerEntity entity;
  auto* first = Named<Leaf>("skutečné jméno");
  entity.AddAliased("zkratka", first);
  EXPECT_EQ(entity.FindByAliasOrName("ZKRATKA"), first);
  EXPECT_EQ(entity.FindByAliasOrName("skutečné jméno"), first);
  auto* second = new Leaf;
  entity.AddAliased("zkratka", second);  // replaces and frees the previous target
  EXPECT_EQ(Leaf::Alive, 1);
  EXPECT_EQ(entity.FindByAliasOrName("zkratka"), second);
  TOwnerEntity other;
  TElement* made = other.GetOrCreateElement(TOwnerEntity::StaticClass(), "LIN");
  EXPECT_EQ(other.GetOrCreateElement(TOwnerEntity::StaticClass(), "lin"), made);
  EXPECT_EQ(other.GetCount(), 1);
  EXPECT_EQ(other.AddNew("OwnerEntity", "x"), nullptr);  // the exact class name only
  EXPECT_NE(other.AddNew("TOwnerEntity", "x"), nullptr);
}

TEST_F(ElementsTest, ClearOfALargeEntityLetsPendingMessagesRunBeforeIterating) {
  struct Counter : TOwnerEntity {
    int received = 0;
    void ReceiveMessage(TKestuMessage*&, bool& handled) override { handled = ++received; }
  } counter;
  TOwnerEntity big;
  for (int i = 0; i < 201; ++i) big.AddElement(new TOwnerElement);
  counter.PostMessage(msgFinished, &counter, nullptr, false);
  big.Clear();
  EXPECT_EQ(counter.received, 1);
  EXPECT_TRUE(big.IsEmpty());
  ASSERT_FALSE(dialogs.CursorChanges.empty());
  EXPECT_EQ(dialogs.CursorChanges.front(), platform::Cursor::HourGlass);
  EXPECT_EQ(dialogs.ScreenCursor(), platform::Cursor::Default);
}

TEST_F(ElementsTest, OwnerEntityComplainsOfOwnersThatAreNotEntities) {
  TOwnerElement notAnEntity;
  auto* owned = Named("X");
  owned->AddOwner(&notAnEntity);
  EXPECT_TRUE(owned->GetOwner(0) == nullptr && owned->GetOwner(7) == nullptr);
  delete owned;
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"TOwnerEntity(X).GetOwner: Objekt vlastníka není TEntity",
                                               "TOwnerEntity.Destroy: Špatný vlastník"}));
}

TEST_F(ElementsTest, CoreIsThreeWordsAndHandlesDieWithTheirElements) {
  // vtable, holder list, ID with the handle flag; a descendant's byte field
  // fits in the tail padding, which keeps a vertex within a 48-byte block.
  struct WithByte : TElement {
    std::uint8_t small;
  };
  EXPECT_EQ(sizeof(TElement), 3 * sizeof(void*));
  EXPECT_EQ(sizeof(WithByte), sizeof(TElement));
  auto* element = new TOwnerElement;
  const std::uint32_t handle = HandleOfElement(element);
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(HandleOfElement(element), handle);
  EXPECT_EQ(ElementOfHandle(handle), element);
  TElementLink link(element);
  delete element;
  EXPECT_EQ(ElementOfHandle(handle), nullptr);
  EXPECT_TRUE(link.IsDangling());
  EXPECT_EQ(HandleOfElement(nullptr), 0u);
}

}  // namespace
