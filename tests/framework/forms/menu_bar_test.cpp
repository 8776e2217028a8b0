#include "framework/forms/menu_bar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/forms/base_forms.h"
#include "tests/framework/framework_fixture.h"

namespace {

using Buttons = std::vector<std::string>;

// The bar shows the top-level items of the menu it was given last; given the
// same menu again it leaves the bar as it is, whatever happened to it since.
TEST(MenuBarTest, AnotherMenuReplacesTheButtonsAndTheSameMenuLeavesThem) {
  platform::Form form("TTestMenuForm");
  platform::Menu& main = form.MainMenu("MainMenu1");
  platform::Menu& other = form.MainMenu("OtherMenu");
  form.ShowMenuOnToolBar("MenuBar", &other);  // the bar becomes the menu bar's alone, emptied
  TMenuBar bar(form, "MenuBar");
  const Buttons top = {"&Soubor", "&Zobrazení", "Konec"};
  const Buttons okna = {"Okna"};
  const struct {
    const char* name;
    platform::Menu* menu;
    bool barShowsOtherMeanwhile;  // the tool bar was given another menu behind the menu bar's back
    Buttons buttons;
  } steps[] = {
      {"none at first", nullptr, false, {}},
      {"the main menu", &main, false, top},
      {"the same again", &main, true, okna},
      {"another", &other, false, okna},
      {"the main menu once more", &main, false, top},
      {"none", nullptr, false, {}},
  };
  for (const auto& step : steps) {
    if (step.barShowsOtherMeanwhile) form.ShowMenuOnToolBar("MenuBar", &other);
    bar.SetMenu(step.menu);
    EXPECT_EQ(form.Items("MenuBar"), step.buttons) << step.name;
    EXPECT_EQ(bar.Menu(), step.menu) << step.name;
  }
}

// Notes "code sender text" of each message it receives.
class TFormOwner : public TTool {
 public:
  std::vector<std::string> Log;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    auto* text = DynamicCast<TKestuTextMessage>(message);
    Log.push_back(std::to_string(message->Message) + (message->Sender() == this ? " self" : " other") +
                  (text ? " " + text->Text : ""));
    handled = true;
  }
};

using BaseFormTest = FrameworkTest;

// A form that may close closes at its close box; one that may not stays and
// asks its tool to close it (code 2).  Dropped files reach the tool as code 70
// messages from itself, one a file in the order they were dropped.
TEST_F(BaseFormTest, TheCloseBoxAndDroppedFilesBecomeMessagesToTheFormsTool) {
  const struct {
    const char* name;
    bool canClose;
    std::vector<std::string> dropped;
    bool closed;
    std::vector<std::string> log;
  } rows[] = {
      {"a form that may close", true, {}, true, {}},
      {"a form that may not close", false, {}, false, {"2 self"}},
      {"three files dropped", true, {"/mapy/a.blk", "/mapy/b.kes", "/c"}, true,
       {"70 self /mapy/a.blk", "70 self /mapy/b.kes", "70 self /c"}},
  };
  for (const auto& row : rows) {
    TOwnerEntity keeper;
    auto* tool = new TFormOwner;
    keeper.AddElement(tool);
    TKESTUForm form("TTestMenuForm");
    form.SetTool(tool);
    form.SetCanClose(row.canClose);
    form.SetAcceptDropFiles(true);
    form.Window().Show();
    if (!row.dropped.empty()) platform::UserDropFiles(form.Window(), row.dropped);
    EXPECT_EQ(platform::UserCloseWindow(form.Window()), row.closed) << row.name;
    RunMessages();
    EXPECT_EQ(tool->Log, row.log) << row.name;
  }
}

}  // namespace
