#include <string>

#include "framework/core/class_registry.h"
#include "tests/framework/framework_fixture.h"

namespace {

using ClassLookupWithOrWithoutTTest = FrameworkTest;

// The lookup that callers naming classes the way users write them share:
// the name as it is first, then with "T" in front; FindKestuClass stays exact.
TEST_F(ClassLookupWithOrWithoutTTest, TheNameIsTriedAsItIsThenWithT) {
  struct Case {
    const char* Name;
    TClass Found;
    const char* Tried;
  };
  const Case cases[] = {
      {"TOwnerEntity", TOwnerEntity::StaticClass(), "TOwnerEntity"},
      {"ownerentity", TOwnerEntity::StaticClass(), "Townerentity"},
      {"Entity", TEntity::StaticClass(), "TEntity"},
      {"Nic", nullptr, "TNic"},
  };
  for (const Case& c : cases) {
    std::string tried;
    EXPECT_EQ(FindKestuClassWithOrWithoutT(c.Name, &tried), c.Found) << c.Name;
    EXPECT_EQ(tried, c.Tried) << c.Name;
    EXPECT_EQ(FindKestuClassWithOrWithoutT(c.Name), c.Found) << c.Name;
  }
  EXPECT_EQ(FindKestuClass("Entity"), nullptr);
}

}  // namespace
