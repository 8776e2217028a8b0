#include "app/tool_forms/base_forms.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "app/tool_forms/dialog_tools.h"
#include "app/tool_forms/menu_bar.h"
#include "tests/app/tool_forms/tool_forms_fixture.h"

namespace {

using ::testing::ElementsAre;

using BaseFormsTest = ToolFormsTest;

TEST_F(BaseFormsTest, AFormPartPostsDroppedFilesToItsToolAndShowsEachOne) {
  const std::vector<std::string> files = {"/data/c.kes", "/data/a.kes", "/data/b.kes"};
  // Whether the part has a tool, whether it accepts files; the files posted to the tool and shown.
  const std::tuple<const char*, bool, bool, std::vector<std::string>, std::vector<std::string>> cases[] = {
      {"with a tool", true, true, files, files},
      {"without a tool", false, true, {}, files},
      {"not accepting files", true, false, {}, {}},
  };
  for (const auto& [name, withTool, accept, posted, shown] : cases) {
    SCOPED_TRACE(name);
    dialogs.Messages.clear();
    TCodeRecorder tool;
    TKESTUForm host("TKestuDialog_Form");
    TKestu_Frame part("TTestFrame", host, "pn_Client");
    if (withTool) part.SetTool(&tool);
    part.SetAcceptDropFiles(accept);
    platform::UserDropFiles(part.Window(), files);
    RunMessages();
    EXPECT_EQ(tool.texts, posted);
    EXPECT_EQ(Boxes(), shown);
  }
}

TEST_F(BaseFormsTest, TheMenuBarStartsEmptyAndChangesItsButtonsOnlyForAnotherMenu) {
  TKESTUForm form("TTestMenuForm");
  platform::Form& window = form.Window();
  platform::Menu& main = window.MainMenu("MainMenu1");
  window.ShowMenuOnToolBar("MenuBar", &main);
  TMenuBar bar(window, "MenuBar");
  EXPECT_THAT(window.Items("MenuBar"), ElementsAre());
  bar.SetMenu(&main);
  EXPECT_THAT(window.Items("MenuBar"), ElementsAre("&Soubor", "&Zobrazení", "Konec"));
  // Whatever became of the buttons, the same menu again leaves them be.
  window.ShowMenuOnToolBar("MenuBar", nullptr);
  bar.SetMenu(&main);
  EXPECT_THAT(window.Items("MenuBar"), ElementsAre());
  bar.SetMenu(nullptr);
  bar.SetMenu(&main);
  EXPECT_THAT(window.Items("MenuBar"), ElementsAre("&Soubor", "&Zobrazení", "Konec"));
}

}  // namespace
