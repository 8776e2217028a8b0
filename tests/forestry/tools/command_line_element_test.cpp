#include "forestry/tools/command_line_element.h"

#include <memory>
#include <string>

#include "app/command_line/command_line.h"
#include "framework/values/typed_values.h"
#include "tests/forestry/forest_data_fixture.h"

namespace {

class CommandLineElementTest : public ForestDataTest {};

// DATA/NUM holds a number: the handle of a live element, of a freed one, or
// a number no handle has.
TEST_F(CommandLineElementTest, OnlyAResultThatIsALiveHandleDesignatesAnElement) {
  auto* live = Named<TOwnerEntity>("LIVE", data);
  auto* num = Named<TIntegerElement>("NUM", data);
  auto* freed = new TOwnerEntity;
  const auto freedHandle = static_cast<std::int32_t>(HandleOfElement(freed));
  delete freed;
  struct Row {
    const char* name;
    const char* line;
    std::int32_t number;
    TElement* designated;
  } rows[] = {
      {"a path to an element", "ObjectModel.DATA.LIVE", 0, live},
      {"a text", "ObjectModel.DATA.Name", 0, nullptr},
      {"an error", "ObjectModel.DATA.NIC", 0, nullptr},
      {"an empty line", "", 0, nullptr},
      {"a live handle as a number", "ObjectModel.DATA.NUM.Value", static_cast<std::int32_t>(HandleOfElement(live)), live},
      {"a freed element's handle", "ObjectModel.DATA.NUM.Value", freedHandle, nullptr},
      {"zero", "ObjectModel.DATA.NUM.Value", 0, nullptr},
      {"a negative number", "ObjectModel.DATA.NUM.Value", -5, nullptr},
  };
  for (const Row& row : rows) {
    num->SetAsInteger(row.number);
    TCommandLine commandLine;
    commandLine.Line = row.line;
    EXPECT_EQ(RunForElement(commandLine), row.designated) << row.name;
  }
}

}  // namespace
