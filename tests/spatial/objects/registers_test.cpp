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
  TObjectRegister objects;
};

TEST_F(RegisterTest, AnObjectRegisterFilesByNumberInRangeIntoSlotsAndTheBlockGrowsWithEveryEntity) {
  TPointElement* point = Numbered<TPointElement>(5, {3, 4, 3, 4});
  objects.Register(point);
  objects.Register(Numbered<TPointElement>(2, {10, 10, 12, 12}));
  objects.Register(nullptr);
  objects.Register(Numbered<TPointElement>(5, {3, 4, 3, 4}));  // two under one number: the first is found
  EXPECT_EQ(std::tuple(objects.SlotCount(), objects.FindEntity(5), BoxOf(objects)),
            std::tuple(6, point, Box4{3, 4, 12, 12}));
  for (int n : {0, 3, 6, -2}) EXPECT_EQ(objects.FindEntity(n), nullptr) << n;
  EXPECT_EQ(objects.Children()[5]->GetPropertyText("SpaceID"), "5");      // the slot answers for its first entity
  objects.Register(Numbered<TPointElement>(TObjectRegister::MaxNumber));  // the highest number is filed
  EXPECT_NE(objects.FindEntity(TObjectRegister::MaxNumber), nullptr);

  // Not filed, nobody holds them: the test keeps them.
  std::unique_ptr<TPointElement> zero(Numbered<TPointElement>(0, {-5, -5, -5, -5}));
  std::unique_ptr<TPointElement> negative(Numbered<TPointElement>(-1, {20, 20, 21, 21}));
  std::unique_ptr<TPointElement> far(Numbered<TPointElement>(TObjectRegister::MaxNumber + 1, {100, 0, 100, 0}));
  for (TPointElement* p : {zero.get(), negative.get(), far.get()}) block.RegisterElement(p);
  EXPECT_EQ(std::tuple(block.GetObjectRegister('B')->SlotCount(), BoxOf(block)), std::tuple(0, Box4{-5, -5, 100, 21}));
}

TEST_F(RegisterTest, KindLettersFollowTheEntityClassAndOnlySpaceEntitiesAreFiled) {
  block.RegisterElement(Numbered<TPointElement>(1));
  block.RegisterElement(Numbered<TTextElement>(1));
  block.RegisterElement(Numbered<TPolyLineElement>(1));
  block.RegisterElement(Numbered<TAreaElement>(1));
  block.RegisterElement(Numbered<TPolyLineAreaElement>(2));
  block.RegisterElement(Numbered<TPolyElement>(1));
  const std::tuple<char, int, TClass> cases[] = {
      {'B', 1, TPointElement::StaticClass()},        {'T', 1, TTextElement::StaticClass()},
      {'L', 1, TPolyLineElement::StaticClass()},     {'P', 1, TAreaElement::StaticClass()},
      {'p', 2, TPolyLineAreaElement::StaticClass()}, {'X', 1, TPolyElement::StaticClass()}};
  for (const auto& [kind, number, cls] : cases) {
    TSpaceEntity* found = block.FindObject(kind, number);
    ASSERT_NE(found, nullptr) << kind;
    EXPECT_EQ(found->ClassType(), cls) << kind;
  }
  EXPECT_EQ(block.GetObjectRegister('x'), block.GetObjectRegister('X'));
  TOwnerEntity keep;
  auto* plain = new TOwnerEntity;
  keep.AddElement(plain);
  block.RegisterSpaceEntity(plain);
  block.RegisterElement(plain);  // filed under X, but it has no number
  EXPECT_EQ(block.GetObjectRegister('X')->SlotCount(), 2);

  Tracked<TPointElement>::Alive = 0;  // clearing a slot frees its entities; bad numbers are ignored
  auto* point = new Tracked<TPointElement>;
  point->SetProperties(new TDynamicProperties);
  point->SetSpaceID(3);
  block.RegisterElement(point);
  for (int n : {-1, 4, 99}) block.ClearObject('B', n);
  EXPECT_EQ(Tracked<TPointElement>::Alive, 1);
  block.ClearObject('B', 3);  // slots are never removed
  EXPECT_EQ(
      std::tuple(Tracked<TPointElement>::Alive, block.FindObject('B', 3), block.GetObjectRegister('B')->SlotCount()),
      std::tuple(0, nullptr, 4));
}

TEST_F(RegisterTest, BlockRegistersAreFoundByNameInAnyCaseAndMadeByClass) {
  TRegister registry;
  TBlockRegister* les = registry.GetBlockRegister("Les.BLK", "TBlockRegister");
  ASSERT_NE(les, nullptr);
  EXPECT_EQ(std::tuple(registry.FindBlockRegister("LES.blk"), registry.GetBlockRegister("les.blk", "TRegister"),
                       registry.FindBlockRegister(""), registry.FindBlockRegister("Voda")),
            std::tuple(les, les, nullptr, nullptr));
  les->RegisterElement(Numbered<TPointElement>(1));
  EXPECT_EQ(les->GetObjectRegister('B')->GetBlockName(), "Les.BLK");
  // A class that makes no block register gives nil and leaves nothing behind (the leak check sees it).
  EXPECT_EQ(registry.GetBlockRegister("Voda", "TDynamicProperties"), nullptr);
  EXPECT_EQ(registry.GetBlockRegister("Voda", "TNoSuchClass"), nullptr);
  EXPECT_EQ(registry.Children().size(), 1u);
}

TEST_F(RegisterTest, TheSelectorFindsTheObjectByBlockKindAndNumberInTheWorldsRegister) {
  TWorld world;
  SetWorld(&world);
  auto* registry = new TRegister;
  world.ObjectModel()->AddElement(registry);
  TTextElement* found = Numbered<TTextElement>(12);
  registry->GetBlockRegister("LES", "TBlockRegister")->RegisterElement(found);
  TRegisterObjectSelector selector;
  TWorld empty;
  const struct {
    const char *block, *type, *number;
    TWorld* world;
    TElement* expected;
  } cases[] = {{"les", "Texty", "12", &world, found},  // only the first character counts
               {"LES", "T", "11", &world, nullptr},   {"VODA", "T", "12", &world, nullptr},
               {"LES", "B", "12", &world, nullptr},   {"LES", "", "12", &world, nullptr},
               {"LES", "T", "12", &empty, nullptr},   {"LES", "T", "12", nullptr, nullptr}};
  for (const auto& c : cases) {
    SetWorld(c.world);
    SetTexts(selector, {{"BlockName", c.block}, {"ObjectType", c.type}, {"ObjectNo", c.number}});
    selector.DoIt();
    EXPECT_EQ(std::pair(selector.Output(), selector.RunFlag()), std::pair(c.expected, true))
        << c.block << " " << c.type << " " << c.number;
  }
  SetWorld(nullptr);
}

}  // namespace
