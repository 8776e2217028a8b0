// An ordinal property whose getter raises reads as "Err Ord Value" instead of
// letting the getter's error out of the text reflection.
#include <string>

#include "tests/framework/framework_fixture.h"
#include "framework/values/typed_values.h"

namespace {

using RaisingGettersTest = FrameworkTest;

TEST_F(RaisingGettersTest, AnIntegerViewBeyondItsRangeReadsAsAnErrorText) {
  struct Row {
    const char* Float;
    const char* AsInteger;
  };
  const Row rows[] = {{"1e308", "Err Ord Value"}, {"-1e19", "Err Ord Value"}, {"12", "12"}};
  for (const Row& row : rows) {
    TFloatElement element;
    element.SetPropertyText("AsFloat", row.Float);
    EXPECT_EQ(element.GetPropertyText("AsInteger"), row.AsInteger) << row.Float;
  }
  EXPECT_TRUE(dialogs.Messages.empty());
}

}  // namespace
