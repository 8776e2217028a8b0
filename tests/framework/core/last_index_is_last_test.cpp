#include <string>
#include <vector>

#include "framework/core/class_registry.h"
#include "tests/framework/framework_fixture.h"

namespace {

using LastIndexIsLastTest = FrameworkTest;

// Options, cloned block properties and tool settings take the properties after
// LastIndex as the ones a class adds to the entity.
TEST_F(LastIndexIsLastTest, ThePropertiesAfterLastIndexAreTheDescendantsOwn) {
  struct Case {
    TClass Class;
    std::vector<std::string> Own;
  };
  const Case cases[] = {
      {TEntity::StaticClass(), {}},
      {TOwnerEntity::StaticClass(), {}},
      {TKestuClasses::StaticClass(), {"ShowProperties", "SortByName"}},
      {TKestuClass::StaticClass(), {"PropCount", "ElementClassName", "AncestorClassName", "UnitName"}},
  };
  for (const Case& c : cases) {
    const auto& props = c.Class->Props();
    std::size_t after = 0;
    for (std::size_t i = 0; i < props.size(); ++i)
      if (props[i]->Name == "LastIndex") after = i + 1;
    ASSERT_GT(after, 0u) << c.Class->ClassName;
    std::vector<std::string> own;
    for (std::size_t i = after; i < props.size(); ++i) own.push_back(props[i]->Name);
    EXPECT_EQ(own, c.Own) << c.Class->ClassName;
  }
}

}  // namespace
