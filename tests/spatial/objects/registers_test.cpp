#include "spatial/objects/registers.h"

#include <memory>

#include "framework/tools/world.h"
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

TEST_F(RegisterTest, NumbersInRangeAreFiledIntoSlotsOthersRefusedWhileTheBlockGrowsWithEveryEntity) {
  TPointElement* point = Numbered<TPointElement>(5, {3, 4, 3, 4});
  block.RegisterElement(point);
  block.RegisterElement(Numbered<TPointElement>(5, {10, 10, 12, 12}));  // two under one number: the first is found
  block.RegisterElement(Numbered<TPolyLineAreaElement>(TObjectRegister::MaxNumber));
  // Not filed, nobody holds them: the test keeps them.
  std::unique_ptr<TPointElement> zero(Numbered<TPointElement>(0, {-5, -5, -5, -5}));
  std::unique_ptr<TPointElement> negative(Numbered<TPointElement>(-1, {20, 20, 21, 21}));
  std::unique_ptr<TPointElement> far(Numbered<TPointElement>(TObjectRegister::MaxNumber + 1, {100, 0, 100, 0}));
  for (TPointElement* p : {zero.get(), negative.get(), far.get()}) block.RegisterElement(p);
  EXPECT_EQ(std::tuple(block.GetObjectRegister('B')->SlotCount(), block.FindObject('b', 5), BoxOf(block)),
            std::tuple(6, point, Box4{-5, -5, 100, 21}));
  EXPECT_NE(block.FindObject('p', TObjectRegister::MaxNumber), nullptr);
  TPointElement* lowest = Numbered<TPointElement>(TObjectRegister::MinNumber, {3, 4, 3, 4});
  block.RegisterElement(lowest);
  EXPECT_EQ(block.FindObject('B', TObjectRegister::MinNumber), lowest);
  for (int n : {0, 3, 6, -2}) EXPECT_EQ(block.FindObject('B', n), nullptr) << n;
  TOwnerEntity keep;  // only space entities are filed
  auto* plain = new TOwnerEntity;
  keep.AddElement(plain);
  block.RegisterElement(plain);
  EXPECT_EQ(block.GetObjectRegister('X')->SlotCount(), 0);

  Tracked<TPointElement>::Alive = 0;  // clearing a slot frees its entities; bad numbers are ignored
  auto* tracked = new Tracked<TPointElement>;
  tracked->SetProperties(new TDynamicProperties);
  tracked->SetSpaceID(3);
  block.RegisterElement(tracked);
  for (int n : {-1, 4, 99}) block.ClearObject('B', n);
  EXPECT_EQ(Tracked<TPointElement>::Alive, 1);
  block.ClearObject('B', 3);  // slots are never removed
  EXPECT_EQ(
      std::tuple(Tracked<TPointElement>::Alive, block.FindObject('B', 3), block.GetObjectRegister('B')->SlotCount()),
      std::tuple(0, nullptr, 6));
}

// Found by name in any case: the block reader's base tests open one block by two spellings.
TEST_F(RegisterTest, AClassThatMakesNoBlockRegisterGivesNilAndLeavesNothingBehind) {
  TRegister registry;
  TBlockRegister* les = registry.GetBlockRegister("Les.BLK", "TBlockRegister");
  EXPECT_EQ(std::tuple(registry.GetBlockRegister("les.blk", "TRegister"),
                       registry.GetBlockRegister("Voda", "TDynamicProperties"),
                       registry.GetBlockRegister("Voda", "TNoSuchClass"), registry.Children().size()),
            std::tuple(les, nullptr, nullptr, 1u));
}

TEST_F(RegisterTest, TheSelectorFindsTheObjectByBlockKindAndNumberInTheWorldsRegister) {
  TWorld world;
  SetWorld(&world);
  auto* registry = new TRegister;
  world.ObjectModel()->AddElement(registry);
  TTextElement* found = Numbered<TTextElement>(12);
  registry->GetBlockRegister("LES", "TBlockRegister")->RegisterElement(found);
  TRegisterObjectSelector selector;
  const struct {
    const char *block, *type;
    TWorld* world;
    TElement* expected;
  } cases[] = {{"les", "Texty", &world, found},  // only the first character counts
               {"LES", "", &world, nullptr},
               {"LES", "T", nullptr, nullptr}};
  for (const auto& c : cases) {
    SetWorld(c.world);
    SetTexts(selector, {{"BlockName", c.block}, {"ObjectType", c.type}, {"ObjectNo", "12"}});
    selector.DoIt();
    EXPECT_EQ(std::pair(selector.Output(), selector.RunFlag()), std::pair(c.expected, true)) << c.block << c.type;
  }
  SetWorld(nullptr);
}

}  // namespace
