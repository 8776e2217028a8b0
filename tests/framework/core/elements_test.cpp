#include <memory>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"

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
  Tracked<TEntity>::Alive = 0;
  auto* x = new Tracked<TEntity>;
  EXPECT_THROW(Named<Tracked<TEntity>>("", x)->AddElement(x), ECircularOwnership);  // no entity holds its owner
  delete x;
  EXPECT_EQ(Tracked<TEntity>::Alive, 0);
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
  EXPECT_THROW(entity.AddElement(&entity), ECircularOwnership);  // refuses itself
  EXPECT_THROW(entity.InsertElement(0, &entity), ECircularOwnership);
  EXPECT_EQ(entity.GetOwnersCount() + entity.GetCount(), 0);
  entity.InsertElement(0, old);
  entity.SetElement(0, old);  // the same element again changes nothing
  EXPECT_EQ(Leaf::Alive + old->GetOwnersCount(), 2);
  auto* replacement = new Leaf;
  entity.SetElement(0, replacement);  // the replaced element is let go, not freed
  EXPECT_EQ(Leaf::Alive + replacement->HolderCount() + old->HolderCount(), 3);
  delete old;
  EXPECT_TRUE(replacement->HasOwner(&entity));
  for (int index : {5, 1, -1}) EXPECT_THROW(entity.GetElement(index), std::out_of_range) << index;
  EXPECT_THROW(entity.SetElement(5, replacement), std::out_of_range);
  EXPECT_EQ(entity.IndexOf(nullptr), -1);
  entity.RemoveElement(replacement);
  EXPECT_EQ(replacement->GetOwnersCount(), 0);
  delete replacement;
  TElement* field = nullptr;
  auto* first = new Leaf;
  entity.SetOwnedElement(field, first);
  entity.SetOwnedElement(field, first);
  EXPECT_EQ(Leaf::Alive + entity.GetCount(), 2);
  entity.SetOwnedElement(field, new Leaf);
  EXPECT_EQ(Leaf::Alive, 1);
  EXPECT_NE(field, first);
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
  for (TElement* child : d->Children()) EXPECT_EQ(child->ID, CurrentVisitStamp());
  for (int i = 0, previous = NewVisitStamp(), stamp; i < 100000; ++i, previous = stamp) {
    stamp = NewVisitStamp();
    ASSERT_LT(stamp, -1);
    ASSERT_NE(stamp, previous);
  }
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
  TOwnerEntity parent;
  parent.SetName("Oddělení");
  auto* child = Named("Čtvrť", &parent);
  auto* leaf = Named<TOwnerElement>("", child);
  EXPECT_EQ(parent.FindElementByName("čTVRŤ"), child);  // any case, accents too
  EXPECT_EQ(parent.FindElementByName("Ctvrt"), nullptr);
  EXPECT_EQ(child->GetOwnerByName("Oddělení"), &parent);
  EXPECT_EQ(child->GetOwnerByName("ODDĚLENÍ"), nullptr);  // exact
  EXPECT_EQ(leaf->FindUpByClass(TOwnerEntity::StaticClass()), child);
  EXPECT_EQ(leaf->FindUpByClass(TKestuMessage::StaticClass()), nullptr);
}

TEST_F(ElementsTest, PropertyShimsAndCommandProperties) {
  TOwnerEntity entity, source;
  entity.SetPropertyText("Name", "Dílec");
  entity.SetPropertyInteger("ID", 42);
  EXPECT_EQ(entity.GetName() + entity.GetPropertyText("id") + entity.GetPropertyText("Nothing"), "Dílec42");
  EXPECT_FALSE(entity.HasProperty("Nothing"));
  TKestuMessage message;  // the shims convert as the registry does
  message.SetPropertyBoolean("KillData", true);
  EXPECT_EQ(message.GetPropertyText("KillData"), "True");
  TKestuTextMessage text;
  text.Text = "T";
  EXPECT_TRUE(text.GetPropertyBoolean("Text"));
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
