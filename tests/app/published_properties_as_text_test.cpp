// The published-property sweep over the classes the application registers
// besides the framework's (the main tool).
#include "app/startup/main_tool.h"
#include "platform/canvas.h"
#include "tests/platform/temp_folder.h"
#include "tests/framework/core/published_properties_sweep.h"
#include "tests/framework/framework_fixture.h"

namespace {

class AppPublishedPropertiesAsTextTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterMainToolClasses();
    // Run after the tests that register the printing classes, the sweep makes
    // a print device, which begins a print document: into a folder of ours.
    printFile = platform::PrintFileName();
    platform::SetPrintFileName(folder.File("sweep.pdf"));
  }
  void TearDown() override {
    platform::SetPrintFileName(printFile);
    FrameworkTest::TearDown();
  }

  TempFolder folder;
  std::string printFile;
};

TEST_F(AppPublishedPropertiesAsTextTest, EveryClassReadsAfterItsElementPropertiesTakeItselfAndItsOwner) {
  ASSERT_NE(FindKestuClass("TOldMainTool"), nullptr);
  EXPECT_GT(sweep::EveryRegisteredClass(), 50);
}

}  // namespace
