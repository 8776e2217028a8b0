#include <memory>
#include <set>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"

namespace {

using ElementsTest = FrameworkTest;
using TrackedElement = Tracked<TOwnerElement>;
using TrackedPlain = Tracked<TElement>;
using TrackedEntity = Tracked<TEntity>;

TEST_F(ElementsTest, NewElementIsUnnumberedAndEnvelopeCopyIsZero) {
  std::unique_ptr<TElement> element(new TOwnerEntity);
  EXPECT_EQ(element->ID, -1);
  element->SetName("Les");
  std::unique_ptr<TElement> envelope(element->CreateEnvelope());
  EXPECT_EQ(envelope->ID, 0);
  EXPECT_EQ(envelope->GetName(), "Obálka: Les");
  EXPECT_EQ(envelope->ClassType(), TOwnerEntity::StaticClass());
}

TEST_F(ElementsTest, EnvelopeSharesOwnedChildrenAndCopiesOwnerlessOnes) {
  TOwnerEntity source, other;
  auto* shared = new TOwnerElement;
  source.AddElement(shared);
  auto* plain = new TElement;  // records no owners, so it is copied
  source.AddElement(plain);
  std::unique_ptr<TEntity> copy(static_cast<TEntity*>(source.CreateEnvelope()));
  ASSERT_EQ(copy->GetCount(), 2);
  EXPECT_EQ(copy->GetElement(0), shared);
  EXPECT_NE(copy->GetElement(1), plain);
  EXPECT_EQ(shared->GetOwnersCount(), 2);
}

TEST_F(ElementsTest, SharedChildIsUnlinkedByFirstOwnerAndFreedByLast) {
  TrackedElement::Alive = 0;
  TOwnerEntity a, b;
  auto* child = new TrackedElement;
  a.AddElement(child);
  b.AddElement(child);
  EXPECT_EQ(child->GetOwnersCount(), 2);
  a.FreeElement(child);
  EXPECT_EQ(TrackedElement::Alive, 1);
  EXPECT_EQ(a.GetCount(), 0);
  EXPECT_EQ(child->GetOwnersCount(), 1);
  EXPECT_EQ(child->GetOwner(0), &b);
  b.FreeElement(child);
  EXPECT_EQ(TrackedElement::Alive, 0);
  EXPECT_EQ(b.GetCount(), 0);
}

TEST_F(ElementsTest, ClearKeepsChildThatAnotherOwnerHolds) {
  TrackedElement::Alive = 0;
  TOwnerEntity keeper;
  auto* cleared = new TOwnerEntity;
  auto* child = new TrackedElement;
  cleared->AddElement(child);
  keeper.AddElement(child);
  cleared->Clear();
  EXPECT_TRUE(cleared->IsEmpty());
  EXPECT_EQ(TrackedElement::Alive, 1);
  EXPECT_EQ(child->GetOwnersCount(), 1);
  delete cleared;
  EXPECT_EQ(keeper.GetCount(), 1);
}

TEST_F(ElementsTest, ChildWithoutOwnersListIsNotFreedWhileAnotherEntityHoldsIt) {
  TrackedPlain::Alive = 0;
  auto* first = new TEntity;
  TEntity second;
  auto* child = new TrackedPlain;
  first->AddElement(child);
  second.AddElement(child);
  EXPECT_EQ(child->GetOwnersCount(), 0);  // the published count keeps its meaning
  first->FreeElement(child);
  EXPECT_EQ(TrackedPlain::Alive, 1);
  delete first;
  EXPECT_EQ(TrackedPlain::Alive, 1);
  second.FreeElement(child);
  EXPECT_EQ(TrackedPlain::Alive, 0);
}

TEST_F(ElementsTest, FreedElementLeavesEveryListItIsIn) {
  TEntity a, b;
  auto* child = new TEntity;
  a.AddElement(child);
  b.AddElement(child);
  delete child;
  EXPECT_EQ(a.GetCount(), 0);
  EXPECT_EQ(b.GetCount(), 0);
}

TEST_F(ElementsTest, CyclesAreFreedWithoutDoubleFree) {
  TrackedEntity::Alive = 0;
  auto* a = new TrackedEntity;
  auto* b = new TrackedEntity;
  a->AddElement(b);
  EXPECT_THROW(b->AddElement(a), ECircularOwnership);
  delete a;
  EXPECT_EQ(TrackedEntity::Alive, 0);
}

TEST_F(ElementsTest, EntityRefusesItself) {
  TOwnerEntity entity;
  EXPECT_THROW(entity.AddElement(&entity), ECircularOwnership);
  EXPECT_THROW(entity.InsertElement(0, &entity), ECircularOwnership);
  EXPECT_EQ(entity.GetCount(), 0);
  EXPECT_EQ(entity.GetOwnersCount(), 0);
}

TEST_F(ElementsTest, InsertElementWithoutListOnlyAtIndexZero) {
  TOwnerEntity entity;
  TOwnerElement element;
  entity.InsertElement(3, &element);
  EXPECT_TRUE(entity.IsEmpty());
  EXPECT_EQ(element.GetOwnersCount(), 0);
  entity.InsertElement(0, &element);
  EXPECT_EQ(entity.GetCount(), 1);
  EXPECT_TRUE(element.HasOwner(&entity));
  entity.RemoveElement(&element);
  EXPECT_EQ(element.GetOwnersCount(), 0);
}

TEST_F(ElementsTest, SetElementFreesTheOldChildAndHoldsTheNewOne) {
  TrackedElement::Alive = 0;
  TOwnerEntity entity;
  auto* old = new TrackedElement;
  auto* replacement = new TrackedElement;
  entity.AddElement(old);
  entity.SetElement(0, old);  // the same element again changes nothing
  EXPECT_EQ(TrackedElement::Alive, 2);
  EXPECT_EQ(old->GetOwnersCount(), 1);
  entity.SetElement(0, replacement);
  EXPECT_EQ(TrackedElement::Alive, 1);
  EXPECT_TRUE(replacement->HasOwner(&entity));
  EXPECT_EQ(replacement->HolderCount(), 1);
  EXPECT_THROW(entity.SetElement(5, old), std::out_of_range);
}

TEST_F(ElementsTest, SetOwnedElementReplacesAndKeepsSameElement) {
  TrackedElement::Alive = 0;
  TOwnerEntity entity;
  TElement* field = nullptr;
  auto* first = new TrackedElement;
  entity.SetOwnedElement(field, first);
  entity.SetOwnedElement(field, first);
  EXPECT_EQ(TrackedElement::Alive, 1);
  EXPECT_EQ(entity.GetCount(), 1);
  entity.SetOwnedElement(field, new TrackedElement);
  EXPECT_EQ(TrackedElement::Alive, 1);
  EXPECT_NE(field, first);
}

// A holds B and C; both hold D, which holds three plain elements.
struct Diamond {
  TEntity a;
  TEntity* b = new TEntity;
  TEntity* c = new TEntity;
  TEntity* d = new TEntity;
  Diamond() {
    a.AddElement(b);
    a.AddElement(c);
    b->AddElement(d);
    c->AddElement(d);
    for (int i = 0; i < 3; ++i) d->AddElement(new TElement);
  }
};

TEST_F(ElementsTest, WholeCountCountsSharedSubgraphOnce) {
  Diamond graph;
  EXPECT_EQ(graph.a.WholeCount(), 7);
  EXPECT_EQ(graph.a.GetPropertyInteger("WholeCount"), 7);
}

TEST_F(ElementsTest, WholeSizeCountsSharedElementsOnce) {
  Diamond graph;
  const int plain = static_cast<int>(sizeof(TElement));
  const int entity = static_cast<int>(sizeof(TEntity));
  EXPECT_EQ(graph.a.GetWholeSize(), 4 * entity + 3 * plain);
}

TEST_F(ElementsTest, MarkReachableStampsEveryReachableElement) {
  Diamond graph;
  graph.a.MarkReachable();
  const int stamp = CurrentVisitStamp();
  EXPECT_EQ(graph.d->ID, stamp);
  for (TElement* child : graph.d->Children()) EXPECT_EQ(child->ID, stamp);
}

TEST_F(ElementsTest, VisitStampsNeverRepeatInARowAndAreNeverZeroOrMinusOne) {
  int previous = NewVisitStamp();
  for (int i = 0; i < 100000; ++i) {
    const int stamp = NewVisitStamp();
    EXPECT_LT(stamp, -1);
    ASSERT_NE(stamp, previous);
    previous = stamp;
  }
}

TEST_F(ElementsTest, NamesOfNamedAndUnnamedElements) {
  TOwnerElement element;
  EXPECT_EQ(element.GetName(), "TOwnerElement");
  EXPECT_FALSE(element.HasName());
  element.SetName("Porost");
  EXPECT_TRUE(element.HasName());
  TElement plain;
  plain.SetName("ignored");
  EXPECT_EQ(plain.GetName(), "TElement");
  EXPECT_EQ(element.GetSize(), static_cast<int>(sizeof(TOwnerElement)) + 7);
}

TEST_F(ElementsTest, FindByNameIgnoresCaseWithAccentsButOwnerByNameDoesNot) {
  TOwnerEntity parent;
  parent.SetName("Oddělení");
  auto* child = new TOwnerEntity;
  child->SetName("Čtvrť");
  parent.AddElement(child);
  EXPECT_EQ(parent.FindElementByName("čTVRŤ"), child);
  EXPECT_EQ(parent.FindElementByName("Ctvrt"), nullptr);
  EXPECT_EQ(child->GetOwnerByName("Oddělení"), &parent);
  EXPECT_EQ(child->GetOwnerByName("ODDĚLENÍ"), nullptr);
  EXPECT_EQ(child->GetOwnerByClass(TEntity::StaticClass()), &parent);
  EXPECT_EQ(child->FindUpByClass(TEntity::StaticClass()), child);
}

TEST_F(ElementsTest, FindUpByClassClimbsOwnersInOrder) {
  TOwnerEntity top;
  TEntity plainTop;
  auto* middle = new TOwnerEntity;
  auto* leaf = new TOwnerElement;
  top.AddElement(middle);
  middle->AddElement(leaf);
  EXPECT_EQ(leaf->FindUpByClass(TOwnerEntity::StaticClass()), middle);
  EXPECT_EQ(leaf->FindUpByClass(TKestuMessage::StaticClass()), nullptr);
}

TEST_F(ElementsTest, PropertyShimsReadAndWriteByName) {
  TOwnerEntity entity;
  entity.SetPropertyText("Name", "Dílec");
  EXPECT_EQ(entity.GetName(), "Dílec");
  entity.SetPropertyInteger("ID", 42);
  EXPECT_EQ(entity.ID, 42);
  EXPECT_EQ(entity.GetPropertyInteger("id"), 42);
  EXPECT_TRUE(entity.HasProperty("wholecount"));
  EXPECT_FALSE(entity.HasProperty("Nothing"));
  EXPECT_EQ(entity.GetPropertyText("Nothing"), "");
  TKestuMessage message;
  message.SetPropertyText("KillData", "true");
  EXPECT_TRUE(message.GetPropertyBoolean("KillData"));
  message.SetPropertyBoolean("KillData", false);
  EXPECT_EQ(message.GetPropertyText("KillData"), "False");
  message.SetPropertyText("KillData", "T");  // not a name of the Boolean type
  EXPECT_FALSE(message.KillData);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Error filling property KillData by string T");
  TKestuTextMessage text;
  for (const char* value : {"true", "T"}) {
    text.Text = value;
    EXPECT_TRUE(text.GetPropertyBoolean("Text")) << value;
  }
  text.Text = "ANO";
  EXPECT_FALSE(text.GetPropertyBoolean("Text"));
}

TEST_F(ElementsTest, WriteOnlyCommandPropertiesDriveTheEntity) {
  TOwnerEntity entity, source;
  auto* a = new TOwnerElement;
  auto* b = new TOwnerElement;
  source.AddElement(a);
  source.AddElement(b);
  entity.SetPropertyText("AddAllFrom", std::to_string(HandleOfElement(&source)));
  EXPECT_EQ(entity.GetCount(), 2);
  entity.SetPropertyText("ElementToRemove", std::to_string(HandleOfElement(a)));
  EXPECT_EQ(entity.GetCount(), 1);
  entity.SetPropertyText("ElementToFree", std::to_string(HandleOfElement(b)));
  EXPECT_EQ(entity.GetCount(), 0);
  EXPECT_EQ(source.GetCount(), 2);  // b was shared, so only unlinked
  entity.SetPropertyText("NextElement", std::to_string(HandleOfElement(a)));
  EXPECT_EQ(entity.GetElement(0), a);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(ElementsTest, AliasesNameElementsAndReplaceThePreviousTarget) {
  TrackedElement::Alive = 0;
  TOwnerEntity entity;
  auto* first = new TrackedElement;
  first->SetName("skutečné jméno");
  entity.AddAliased("zkratka", first);
  EXPECT_EQ(entity.FindByAliasOrName("ZKRATKA"), first);
  EXPECT_EQ(entity.FindByAliasOrName("skutečné jméno"), first);
  auto* second = new TrackedElement;
  entity.AddAliased("zkratka", second);
  EXPECT_EQ(TrackedElement::Alive, 1);
  EXPECT_EQ(entity.FindByAliasOrName("zkratka"), second);
}

TEST_F(ElementsTest, GetOrCreateElementFindsOrMakes) {
  TOwnerEntity entity;
  TElement* made = entity.GetOrCreateElement(TOwnerEntity::StaticClass(), "LIN");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(entity.GetOrCreateElement(TOwnerEntity::StaticClass(), "lin"), made);
  EXPECT_EQ(entity.GetCount(), 1);
  EXPECT_EQ(entity.AddNew("OwnerEntity", "x"), nullptr);  // AddNew takes the exact class name
  EXPECT_NE(entity.AddNew("TOwnerEntity", "x"), nullptr);
}

TEST_F(ElementsTest, ClearOfLargeEntityLetsPendingMessagesRunBeforeIteration) {
  struct Counter : TOwnerEntity {
    int received = 0;
    void ReceiveMessage(TKestuMessage*&, bool& handled) override {
      ++received;
      handled = true;
    }
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
  auto* owned = new TOwnerEntity;
  owned->SetName("X");
  owned->AddOwner(&notAnEntity);
  EXPECT_EQ(owned->GetOwner(0), nullptr);
  EXPECT_EQ(owned->GetOwner(7), nullptr);
  delete owned;
  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(dialogs.Messages[0].Text, "TOwnerEntity(X).GetOwner: Objekt vlastníka není TEntity");
  EXPECT_EQ(dialogs.Messages[1].Text, "TOwnerEntity.Destroy: Špatný vlastník");
}

TEST_F(ElementsTest, ElementCoreLeavesTailPaddingForSmallFields) {
  // vtable, holder list word, ID and the handle flag: a descendant's byte
  // field fits in the padding, which keeps a vertex within a 48-byte block.
  struct WithByte : TElement {
    std::uint8_t small;
  };
  EXPECT_EQ(sizeof(TElement), 3 * sizeof(void*));
  EXPECT_EQ(sizeof(WithByte), sizeof(TElement));
}

TEST_F(ElementsTest, ElementHandlesDieWithTheirElements) {
  auto* element = new TOwnerElement;
  const std::uint32_t handle = HandleOfElement(element);
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(HandleOfElement(element), handle);
  EXPECT_EQ(ElementOfHandle(handle), element);
  TElementLink link(element);
  delete element;
  EXPECT_EQ(ElementOfHandle(handle), nullptr);
  EXPECT_EQ(link.Get(), nullptr);
  EXPECT_TRUE(link.IsDangling());
  EXPECT_EQ(HandleOfElement(nullptr), 0u);
}

TEST_F(ElementsTest, GetElementOutsideTheListRaises) {
  TEntity entity;
  EXPECT_EQ(entity.GetElement(5), nullptr);  // no list yet: it is made, and nothing is there
  EXPECT_THROW(entity.GetElement(0), std::out_of_range);
  entity.AddElement(new TElement);
  EXPECT_THROW(entity.GetElement(1), std::out_of_range);
  EXPECT_THROW(entity.GetElement(-1), std::out_of_range);
  EXPECT_EQ(entity.IndexOf(nullptr), -1);
}

TEST_F(ElementsTest, QuickEntityNeverBecomesAnOwner) {
  TrackedElement::Alive = 0;
  auto* map = new TQuickEntity;
  TrackedElement element;
  map->AddElement(&element);
  EXPECT_EQ(element.GetOwnersCount(), 0);
  EXPECT_EQ(map->GetElement(0), &element);
  delete map;
  EXPECT_EQ(TrackedElement::Alive, 1);
}

}  // namespace
