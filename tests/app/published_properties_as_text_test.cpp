// The published-property sweep over the classes the application registers
// besides the framework's (the main tool).
#include "app/startup/main_tool.h"
#include "tests/framework/core/published_properties_sweep.h"
#include "tests/framework/framework_fixture.h"

namespace {

class AppPublishedPropertiesAsTextTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterMainToolClasses();
  }
};

TEST_F(AppPublishedPropertiesAsTextTest, EveryClassReadsAfterItsElementPropertiesTakeItselfAndItsOwner) {
  ASSERT_NE(FindKestuClass("TOldMainTool"), nullptr);
  EXPECT_GT(sweep::EveryRegisteredClass(), 50);
}

}  // namespace
