#include "app/tool_forms/base_forms.h"

#include <gmock/gmock.h>

#include <memory>
#include <string>
#include <vector>

#include "app/tool_forms/dialog_tools.h"
#include "app/tool_forms/menu_bar.h"
#include "tests/app/tool_forms/tool_forms_fixture.h"

namespace {

using ::testing::ElementsAre;

// A tool that records the dropped files that reach it.
class TDropRecorder : public TTool {
 public:
  std::vector<std::string> files;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    auto* text = DynamicCast<TKestuTextMessage>(message);
    if (text && text->Message == msgFileDropped && text->Sender() == this) files.push_back(text->Text);
    handled = true;
  }
};

class BaseFormsTest : public ToolFormsTest {};

TEST_F(BaseFormsTest, AFormPartPostsDroppedFilesToItsToolAndShowsEachOne) {
  struct Case {
    const char* name;
    bool withTool;
    bool accept;
    std::vector<std::string> posted;
    std::vector<std::string> shown;
  };
  const std::vector<std::string> files = {"/data/c.kes", "/data/a.kes", "/data/b.kes"};
  const std::vector<Case> cases = {
      {"with a tool", true, true, files, files},
      {"without a tool", false, true, {}, files},
      {"not accepting files", true, false, {}, {}},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    dialogs.Messages.clear();
    TDropRecorder tool;
    TKESTUForm host("TKestuDialog_Form");
    TKestu_Frame part("TTestFrame", host, "pn_Client");
    if (row.withTool) part.SetTool(&tool);
    part.SetAcceptDropFiles(row.accept);
    EXPECT_EQ(part.AcceptDropFiles(), row.accept);
    platform::UserDropFiles(part.Window(), files);
    RunMessages();
    EXPECT_EQ(tool.files, row.posted);
    EXPECT_EQ(Boxes(), row.shown);
    EXPECT_EQ(part.Tool(), row.withTool ? &tool : nullptr);
  }
}

TEST_F(BaseFormsTest, AFormPartsToolIsForgottenWhenTheToolEnds) {
  TKESTUForm host("TKestuDialog_Form");
  TKestu_Frame part("TTestFrame", host, "pn_Client");
  {
    TDropRecorder tool;
    part.SetTool(&tool);
  }
  EXPECT_EQ(part.Tool(), nullptr);
  part.SetAcceptDropFiles(true);
  platform::UserDropFiles(part.Window(), {"/data/a.kes"});
  RunMessages();
  EXPECT_THAT(Boxes(), ElementsAre("/data/a.kes"));
}

TEST_F(BaseFormsTest, TheMenuBarRebuildsItsButtonsOnlyForAnotherMenu) {
  TKESTUForm form("TTestMenuForm");
  platform::Form& window = form.Window();
  platform::Menu& main = window.MainMenu("MainMenu1");
  platform::Menu& other = window.MainMenu("OtherMenu");
  // The layout's bar starts with the main menu on it; the menu bar starts
  // empty.
  window.ShowMenuOnToolBar("MenuBar", &main);
  TMenuBar bar(window, "MenuBar");
  EXPECT_EQ(bar.Menu(), nullptr);
  EXPECT_THAT(window.Items("MenuBar"), ElementsAre());

  struct Step {
    const char* name;
    platform::Menu* menu;
    std::vector<std::string> buttons;
  };
  const std::vector<Step> steps = {
      {"main menu", &main, {"&Soubor", "&Zobrazení", "Konec"}},
      {"another", &other, {"Okna"}},
      {"none", nullptr, {}},
      {"none again", nullptr, {}},
      {"main menu again", &main, {"&Soubor", "&Zobrazení", "Konec"}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    bar.SetMenu(step.menu);
    EXPECT_EQ(bar.Menu(), step.menu);
    EXPECT_EQ(window.Items("MenuBar"), step.buttons);
  }
  // Setting the menu it shows leaves the buttons as they are, whatever
  // became of them.
  window.ShowMenuOnToolBar("MenuBar", &other);
  bar.SetMenu(&main);
  EXPECT_THAT(window.Items("MenuBar"), ElementsAre("Okna"));
}

TEST_F(BaseFormsTest, UnattendedAConfirmationIsAnsweredYesAndItsQuestionLogged) {
  std::vector<std::string> log;
  platform::SetUnattended([&log](const std::string& line) { log.push_back(line); });
  EXPECT_TRUE(AskConfirmation("Přerušit export linií ?"));
  EXPECT_TRUE(AskConfirmation("Opravdu ukončit aplikaci ?"));
  EXPECT_THAT(log, ElementsAre("Přerušit export linií ?", "Opravdu ukončit aplikaci ?"));
}

}  // namespace
