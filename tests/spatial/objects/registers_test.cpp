#include "spatial/objects/registers.h"

#include <memory>

#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "spatial/objects/space_entity_properties.h"
#include "spatial/objects/properties.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

template <class T>
T* Numbered(int n, TRealRect box = {0, 0, 1, 1}) {
  auto* entity = new T;
  entity->SetProperties(new TDynamicProperties);
  entity->SetSpaceID(n);
  entity->SetBounds(box);
  return entity;
}

class RegisterTest : public SpatialTest {
 protected:
  TBlockRegister block;
};

TEST_F(RegisterTest, RegistersTheBlockRegisterTheRegisterAndTheSelector) {
  EXPECT_NE(FindKestuClass("TBlockRegister"), nullptr);
  EXPECT_NE(FindKestuClass("TRegister"), nullptr);
  EXPECT_NE(FindKestuClass("TRegisterObjectSelector"), nullptr);
  EXPECT_EQ(FindKestuClass("TObjectRegister"), nullptr);
  EXPECT_EQ(FindKestuClass("TObjectOwner"), nullptr);
}

TEST_F(RegisterTest, FilingNumberFiveIntoAnEmptyRegisterMakesSixSlots) {
  TObjectRegister objects;
  TPointElement* point = Numbered<TPointElement>(5, {3, 4, 3, 4});
  objects.Register(point);
  EXPECT_EQ(objects.SlotCount(), 6);
  for (TElement* slot : objects.Children()) EXPECT_NE(DynamicCast<TObjectOwner>(slot), nullptr);
  EXPECT_EQ(objects.FindEntity(5), point);
  EXPECT_EQ(objects.FindEntity(0), nullptr);
  EXPECT_EQ(objects.FindEntity(6), nullptr);
  EXPECT_EQ(objects.FindEntity(3), nullptr);  // an empty slot
  EXPECT_EQ(objects.FindEntity(-2), nullptr);
  EXPECT_DOUBLE_EQ(objects.GetMinX(), 3);
  objects.Register(Numbered<TPointElement>(2, {10, 10, 12, 12}));
  EXPECT_EQ(objects.SlotCount(), 6);
  EXPECT_DOUBLE_EQ(objects.GetMaxX(), 12);
  objects.Register(nullptr);
}

TEST_F(RegisterTest, TwoEntitiesUnderOneNumberFindTheFirst) {
  TObjectRegister objects;
  TPointElement* first = Numbered<TPointElement>(7);
  TPointElement* second = Numbered<TPointElement>(7);
  objects.Register(first);
  objects.Register(second);
  EXPECT_EQ(objects.SlotCount(), 8);
  EXPECT_EQ(objects.FindEntity(7), first);
  EXPECT_EQ(objects.Children()[7]->GetPropertyText("SpaceID"), "7");  // the slot answers for its first entity
}

TEST_F(RegisterTest, NumbersOutsideTheRangeAreNotFiledButTheBlockStillGrows) {
  // Not filed, nobody holds them: the test keeps them.
  std::unique_ptr<TPointElement> zero(Numbered<TPointElement>(0, {-5, -5, -5, -5}));
  std::unique_ptr<TPointElement> negative(Numbered<TPointElement>(-1, {20, 20, 21, 21}));
  std::unique_ptr<TPointElement> far(Numbered<TPointElement>(500001, {100, 0, 100, 0}));
  for (TPointElement* point : {zero.get(), negative.get(), far.get()}) block.RegisterElement(point);
  TObjectRegister* points = block.GetObjectRegister('B');
  EXPECT_EQ(points->SlotCount(), 0);
  EXPECT_FALSE(points->IsValid());
  EXPECT_DOUBLE_EQ(block.GetMinX(), -5);
  EXPECT_DOUBLE_EQ(block.GetMaxX(), 100);
  EXPECT_DOUBLE_EQ(block.GetMaxY(), 21);
  EXPECT_EQ(points->FindEntity(500001), nullptr);
}

TEST_F(RegisterTest, TheHighestNumberIsFiled) {
  TObjectRegister objects;
  objects.Register(Numbered<TPointElement>(TObjectRegister::MaxNumber));
  EXPECT_EQ(objects.SlotCount(), TObjectRegister::MaxNumber + 1);
  EXPECT_NE(objects.FindEntity(TObjectRegister::MaxNumber), nullptr);
}

TEST_F(RegisterTest, KindLettersFollowTheEntityClass) {
  block.RegisterElement(Numbered<TPointElement>(1));
  block.RegisterElement(Numbered<TTextElement>(1));
  block.RegisterElement(Numbered<TPolyLineElement>(1));
  block.RegisterElement(Numbered<TAreaElement>(1));
  block.RegisterElement(Numbered<TPolyLineAreaElement>(2));
  block.RegisterElement(Numbered<TPolyElement>(1));
  EXPECT_NE(DynamicCast<TPointElement>(block.FindObject('B', 1)), nullptr);
  EXPECT_NE(DynamicCast<TTextElement>(block.FindObject('T', 1)), nullptr);
  EXPECT_NE(DynamicCast<TPolyLineElement>(block.FindObject('L', 1)), nullptr);
  EXPECT_NE(DynamicCast<TAreaElement>(block.FindObject('P', 1)), nullptr);
  EXPECT_NE(DynamicCast<TPolyLineAreaElement>(block.FindObject('p', 2)), nullptr);
  TSpaceEntity* other = block.FindObject('X', 1);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->ClassType(), TPolyElement::StaticClass());
  EXPECT_EQ(block.GetObjectRegister('x'), block.GetObjectRegister('X'));
  EXPECT_EQ(block.Children().size(), 5u);
  TObjectRegister loose;
  EXPECT_EQ(loose.GetBlockName(), "");
}

TEST_F(RegisterTest, OnlySpaceEntitiesAreFiledThroughTheSpaceEntityEntry) {
  TOwnerEntity keep;
  auto* plain = new TOwnerEntity;
  keep.AddElement(plain);
  block.RegisterSpaceEntity(plain);
  block.RegisterElement(plain);  // filed under X, but it has no number
  EXPECT_EQ(block.GetObjectRegister('X')->SlotCount(), 0);
  block.RegisterSpaceEntity(Numbered<TTextElement>(3));
  EXPECT_NE(block.FindObject('T', 3), nullptr);
}

TEST_F(RegisterTest, ClearingASlotFreesItsEntitiesAndIgnoresBadNumbers) {
  Tracked<TPointElement>::Alive = 0;
  auto* point = new Tracked<TPointElement>;
  point->SetProperties(new TDynamicProperties);
  point->SetSpaceID(3);
  block.RegisterElement(point);
  block.ClearObject('B', -1);
  block.ClearObject('B', 4);
  block.ClearObject('B', 99);
  EXPECT_EQ(Tracked<TPointElement>::Alive, 1);
  block.ClearObject('B', 3);
  EXPECT_EQ(Tracked<TPointElement>::Alive, 0);
  EXPECT_EQ(block.FindObject('B', 3), nullptr);
  EXPECT_EQ(block.GetObjectRegister('B')->SlotCount(), 4);  // slots are never removed
}

TEST_F(RegisterTest, SlotsAcceptElementsByMessage) {
  TObjectRegister objects;
  objects.Register(Numbered<TPointElement>(1));
  auto* extra = new TPointElement;
  TOwnerElement sender;
  sender.SendMessage(msgAddElement, objects.Children()[1], extra, false);
  EXPECT_EQ(DynamicCast<TEntity>(objects.Children()[1])->Children().size(), 2u);
}

TEST_F(RegisterTest, BlockRegistersAreFoundByNameInAnyCaseAndMadeByClass) {
  TRegister registry;
  TBlockRegister* les = registry.GetBlockRegister("Les.BLK", "TBlockRegister");
  ASSERT_NE(les, nullptr);
  EXPECT_EQ(les->GetName(), "Les.BLK");
  EXPECT_EQ(registry.FindBlockRegister("LES.blk"), les);
  EXPECT_EQ(registry.GetBlockRegister("les.blk", "TRegister"), les);
  EXPECT_EQ(registry.FindBlockRegister(""), nullptr);
  EXPECT_EQ(registry.FindBlockRegister("Voda"), nullptr);
  les->RegisterElement(Numbered<TPointElement>(1));
  EXPECT_EQ(les->GetObjectRegister('B')->GetBlockName(), "Les.BLK");
  EXPECT_EQ(les->GetObjectRegister('B')->GetDBF(), nullptr);
}

TEST_F(RegisterTest, AClassThatMakesNoBlockRegisterGivesNilAndLeavesNothingBehind) {
  TRegister registry;
  // The sanitizer's leak check sees an element that was made and not freed.
  EXPECT_EQ(registry.GetBlockRegister("Les", "TDynamicProperties"), nullptr);
  EXPECT_EQ(registry.GetBlockRegister("Les", "TNoSuchClass"), nullptr);
  EXPECT_TRUE(registry.Children().empty());
}

// ---------------------------------------------------------------- the selector tool

class RegisterObjectSelectorTest : public RegisterTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();
    SetWorld(&world);
    auto* registry = new TRegister;
    world.ObjectModel()->AddElement(registry);
    found = Numbered<TTextElement>(12);
    registry->GetBlockRegister("LES", "TBlockRegister")->RegisterElement(found);
  }
  void TearDown() override {
    SetWorld(nullptr);
    RegisterTest::TearDown();
  }
  TElement* Select(const std::string& blockName, const std::string& type, int number) {
    selector.BlockName = blockName;
    selector.ObjectType = type;
    selector.ObjectNo = number;
    selector.DoIt();
    return selector.Output();
  }
  TWorld world;
  TRegisterObjectSelector selector;
  TTextElement* found = nullptr;
};

TEST_F(RegisterObjectSelectorTest, FindsTheObjectByBlockKindAndNumber) {
  EXPECT_EQ(Select("les", "Text", 12), found);
  EXPECT_TRUE(selector.RunFlag());
  EXPECT_EQ(Select("les", "Texty", 12), found);  // only the first character counts
  EXPECT_EQ(Select("LES", "T", 11), nullptr);
  EXPECT_EQ(Select("VODA", "T", 12), nullptr);
  EXPECT_EQ(Select("LES", "B", 12), nullptr);
  EXPECT_EQ(Select("LES", "", 12), nullptr);
  selector.SetPropertyText("ObjectType", "T");
  selector.SetPropertyText("ObjectNo", "12");
  selector.SetPropertyText("BlockName", "LES");
  selector.DoIt();
  EXPECT_EQ(selector.Output(), found);
}

TEST_F(RegisterObjectSelectorTest, FindsNothingWithoutAWorldOrARegister) {
  SetWorld(nullptr);
  EXPECT_EQ(Select("LES", "T", 12), nullptr);
  TWorld empty;
  SetWorld(&empty);
  EXPECT_EQ(Select("LES", "T", 12), nullptr);
  SetWorld(&world);
}

}  // namespace
