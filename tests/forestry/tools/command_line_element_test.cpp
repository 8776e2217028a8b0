#include "forestry/tools/command_line_element.h"

#include <memory>
#include <string>

#include "app/command_line/command_line.h"
#include "framework/values/typed_values.h"
#include "tests/forestry/forest_data_fixture.h"

namespace {

class CommandLineElementTest : public ForestDataTest {};

// DATA/NUM holds a number: the handle of a live element, of a freed one, or
// a number no handle has; DATA/TXT a text.
TEST_F(CommandLineElementTest, OnlyAResultThatIsALiveHandleDesignatesAnElement) {
  auto* live = Named<TOwnerEntity>("LIVE", data);
  auto* num = Named<TIntegerElement>("NUM", data);
  auto* text = Named<TStringElement>("TXT", data);
  const std::string liveHandle = std::to_string(HandleOfElement(live));
  auto* freed = new TOwnerEntity;
  const auto freedHandle = static_cast<std::int32_t>(HandleOfElement(freed));
  delete freed;
  struct Row {
    const char* name;
    const char* line;
    std::int32_t number;
    TElement* designated;
    std::string text = "";
  } rows[] = {
      {"a path to an element", "ObjectModel.DATA.LIVE", 0, live},
      {"a text", "ObjectModel.DATA.Name", 0, nullptr},
      {"an error", "ObjectModel.DATA.NIC", 0, nullptr},
      {"an empty line", "", 0, nullptr},
      {"a live handle as a number", "ObjectModel.DATA.NUM.Value", static_cast<std::int32_t>(HandleOfElement(live)), live},
      {"a freed element's handle", "ObjectModel.DATA.NUM.Value", freedHandle, nullptr},
      {"zero", "ObjectModel.DATA.NUM.Value", 0, nullptr},
      {"a negative number", "ObjectModel.DATA.NUM.Value", -5, nullptr},
      {"a live handle as a text", "ObjectModel.DATA.TXT.Value", 0, live, liveHandle},
      {"a text after a live handle's digits", "ObjectModel.DATA.TXT.Value", 0, nullptr, liveHandle + "x"},
      {"a blank after them", "ObjectModel.DATA.TXT.Value", 0, nullptr, liveHandle + " "},
  };
  for (const Row& row : rows) {
    num->SetAsInteger(row.number);
    text->SetAsString(row.text);
    TCommandLine commandLine;
    commandLine.Line = row.line;
    EXPECT_EQ(RunForElement(commandLine), row.designated) << row.name;
  }
}

}  // namespace
