// Every published property of every registered class reads as text on a new
// instance, and again after each element-typed property has been given the
// instance itself and then its owner: nothing crashes, hangs or leaks, and
// no instance ends up among its own owners.
#include <memory>
#include <string>

#include "tests/framework/core/published_properties_sweep.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using PublishedPropertiesAsTextTest = SpatialTest;

TEST_F(PublishedPropertiesAsTextTest, EveryClassReadsAfterItsElementPropertiesTakeItselfAndItsOwner) {
  EXPECT_GT(sweep::EveryRegisteredClass(), 80);
}

TEST_F(PublishedPropertiesAsTextTest, EveryEntityRefusesItselfAndItsOwnerAsNextElement) {
  TKestuClasses& registry = *KestuClasses();
  for (int i = 0; i < registry.GetCount(); ++i) {
    TClass cls = registry.Entry(i)->ElementClass();
    // Every name given to dynamic properties is a value of their own.
    if (!cls->InheritsFrom(TEntity::StaticClass()) || cls->ClassName == "TDynamicProperties") continue;
    std::unique_ptr<TOwnerEntity> owner(new TOwnerEntity);
    auto* entity = static_cast<TEntity*>(NewElement(cls));
    if (!entity) continue;
    SCOPED_TRACE(cls->ClassName);
    owner->AddElement(entity);
    for (TElement* value : {static_cast<TElement*>(entity), static_cast<TElement*>(owner.get())}) {
      dialogs.Messages.clear();
      const std::string text = std::to_string(HandleOfElement(value));
      const std::size_t children = entity->Children().size();
      entity->SetPropertyText("NextElement", text);
      EXPECT_EQ(entity->Children().size(), children);
      ASSERT_EQ(dialogs.Messages.size(), 1u);
      EXPECT_EQ(dialogs.Messages[0].Text, "Error filling property NextElement by string " + text);
    }
  }
}

}  // namespace
