// A space entity's property object and an area's holes are held the way
// children are: shared ones die with their last holder, one freed elsewhere
// leaves the entity, and the entity itself or an owner of it is refused,
// whether a file or a property text gives it.
#include <functional>
#include <memory>
#include <string>

#include "framework/core/class_registry.h"
#include "framework/stream/kes_loader.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"
#include "tests/framework/stream/kes_stream_files.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using HeldPropertyObjectsTest = SpatialTest;

std::string HandleText(TElement* element) { return std::to_string(HandleOfElement(element)); }

template <class T>
T* ChildAt(TElement* entity, std::size_t index) {
  return DynamicCast<T>(static_cast<TEntity*>(entity)->Children().at(index));
}

struct FileCase {
  const char* Seed;     // a KES file of the fuzzing corpus
  const char* Message;  // the one message box the load shows, or empty
  std::function<void(TElement* root)> Check;
};

const FileCase kFiles[] = {
    {"shared_properties", "",
     [](TElement* root) {
       auto* first = ChildAt<TPointElement>(root, 0);
       auto* second = ChildAt<TPointElement>(root, 1);
       ASSERT_TRUE(first && second && first->Properties());
       EXPECT_EQ(std::tuple(second->Properties(), first->Properties()->HolderCount()),
                 std::tuple(first->Properties(), 2));
       static_cast<TEntity*>(root)->FreeElement(first);
       EXPECT_EQ(second->Properties()->GetName(), "PROPS");  // still alive for the second
     }},
    {"own_properties", "Property Set Error TPointElement Properties",
     [](TElement* root) {
       auto* point = DynamicCast<TPointElement>(root);
       ASSERT_NE(point, nullptr);
       EXPECT_EQ(std::tuple(point->GetName(), point->Properties(), point->GetPropertyText("NoSuchName")),
                 std::tuple("SELF", nullptr, ""));
     }},
    {"properties_cycle", "Property Set Error TPointElement Properties",
     [](TElement* root) {
       // The point refused to hold the inline object that holds it; that
       // object, held by nothing else, went with the load.
       auto* point = ChildAt<TPointElement>(root, 0);
       ASSERT_NE(point, nullptr);
       EXPECT_EQ(std::tuple(point->Properties(), point->HolderCount()), std::tuple(nullptr, 1));
     }},
    {"shared_holes", "",
     [](TElement* root) {
       auto* first = ChildAt<TAreaElement>(root, 1);
       auto* second = ChildAt<TAreaElement>(root, 2);
       ASSERT_TRUE(first && second);
       THolesEntity* holes = first->Holes();
       ASSERT_NE(holes, nullptr);
       // Also a child of another entity.
       EXPECT_EQ(std::tuple(second->Holes(), holes->HolderCount(), holes->OwnerArea()), std::tuple(holes, 3, second));
       static_cast<TEntity*>(root)->FreeElement(second);
       EXPECT_EQ(std::tuple(first->Holes(), holes->OwnerArea()), std::tuple(holes, nullptr));  // its area is gone
     }},
};

TEST_F(HeldPropertyObjectsTest, FilesThatShareOrLoopPropertyObjectsLoadAndFreeOnce) {
  for (const FileCase& file : kFiles) {
    SCOPED_TRACE(file.Seed);
    dialogs.Messages.clear();
    TLoad load;
    load.FileName = std::string(KESTX_SAMPLES_DIR) + "/fuzz/kes_stream/" + file.Seed + ".kes";
    load.DoIt();
    std::unique_ptr<TElement> root(load.Output());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->HolderCount(), 0);
    if (*file.Message) {
      ASSERT_EQ(dialogs.Messages.size(), 1u);
      EXPECT_EQ(dialogs.Messages[0].Text, file.Message);
    } else {
      EXPECT_TRUE(dialogs.Messages.empty());
    }
    file.Check(root.get());
  }
}

// Properties given the entity itself or its owner by text, and Holes given a holes entity that holds it.
TEST_F(HeldPropertyObjectsTest, PropertyTextsRefuseTheEntityAndItsOwners) {
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    dialogs.Messages.clear();
    auto owner = std::make_unique<TAreaString>();
    auto* area = new TAreaElement;
    owner->AddElement(area);
    TElement* value = row == 0 ? static_cast<TElement*>(area) : owner.get();
    if (row == 2) {
      auto* holes = new THolesEntity;
      owner->AddElement(holes);
      holes->AddElement(area);
      value = holes;
    }
    const std::string property = row == 2 ? "Holes" : "Properties", text = HandleText(value);
    area->SetPropertyText(property, text);
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Text, "Error filling property " + property + " by string " + text);
    EXPECT_EQ(area->GetPropertyText(property), "0");
    area->SetPropertyText("NoSuchName", "1");  // names the entity does not publish still end: no loop to follow
    EXPECT_EQ(area->GetPropertyText("NoSuchName"), "");
  }
}

TEST_F(HeldPropertyObjectsTest, APropertyObjectLivesAsLongAsAHolderAndLeavesTheEntityWhenFreedElsewhere) {
  TPointElement point;
  auto* props = new TDynamicProperties;
  point.SetProperties(props);
  TOwnerEntity list;
  list.AddElement(props);
  list.FreeElement(props);  // the point still holds it
  ASSERT_EQ(point.Properties(), props);
  delete props;  // freed outright, as a message's data is
  EXPECT_EQ(std::tuple(point.Properties(), point.GetSpaceID()), std::tuple(nullptr, -1));
  TAreaElement area;  // the holes container the same way
  area.AddHole(new TAreaElement);
  delete area.Holes();
  EXPECT_EQ(std::tuple(area.Holes(), area.FindHoleAt(0, 0)), std::tuple(nullptr, nullptr));

  Tracked<TDynamicProperties>::Alive = 0;  // a replaced property object lives on where else it is held
  TPointElement second;
  auto* shared = new Tracked<TDynamicProperties>;
  point.SetProperties(shared);
  second.SetProperties(shared);
  point.SetProperties(new Tracked<TDynamicProperties>);
  EXPECT_EQ(Tracked<TDynamicProperties>::Alive, 2);
  second.SetProperties(nullptr);  // its last holder lets go
  EXPECT_EQ(Tracked<TDynamicProperties>::Alive, 1);
  {  // cloning copies every stored published property, Properties included: the clone shares it
    std::unique_ptr<TElement> clone(CloneElement(&point));
    EXPECT_EQ(DynamicCast<TPointElement>(clone.get())->Properties(), point.Properties());
    EXPECT_EQ(point.Properties()->HolderCount(), 2);
  }
  EXPECT_EQ(std::tuple(Tracked<TDynamicProperties>::Alive, point.Properties()->HolderCount()), std::tuple(1, 1));
}

TEST_F(HeldPropertyObjectsTest, ALongChainOfPropertyObjectsIsReadAndFreedWithoutDeepRecursion) {
  // Each point holds the one before as its property object, as a file of
  // back references can make it; a chain this long would overflow the stack
  // of a lookup or a free that recursed along it.
  Tracked<TPointElement>::Alive = 0;
  auto* last = new Tracked<TPointElement>;
  for (int i = 0; i < 100000; ++i) {
    auto* next = new Tracked<TPointElement>;
    next->SetProperties(last);
    last = next;
  }
  last->SetPropertyText("NoSuchName", "1");
  EXPECT_EQ(std::tuple(last->GetPropertyText("NoSuchName"), last->HasProperty("NoSuchName"), last->GetSpaceID()),
            std::tuple("", false, -1));
  delete last;
  EXPECT_EQ(Tracked<TPointElement>::Alive, 0);
}

}  // namespace
