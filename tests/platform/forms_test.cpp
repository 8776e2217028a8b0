#include "platform/forms.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/dialogs.h"

namespace platform {
namespace {

using ::testing::ElementsAre;

class FormsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetAttended();
    SetDialogs(nullptr);
  }
};

// The rectangle is not empty and lies within the outer one.
bool Inside(const Bounds& inner, const Bounds& outer) {
  return inner.Width > 0 && inner.Left >= outer.Left && inner.Top >= outer.Top &&
         inner.Left + inner.Width <= outer.Left + outer.Width && inner.Top + inner.Height <= outer.Top + outer.Height;
}

TEST_F(FormsTest, AModalRunAnswersTheResultOfTheButtonThatEndedIt) {
  // Each row: its name, what the person at the form does, the result.
  const std::tuple<const char*, std::function<void(Form&)>, int> cases[] = {
      {"Ano", [](Form& f) { UserClick(f, "bt_Ano"); }, 1},
      {"Ne", [](Form& f) { UserClick(f, "bt_Ne"); }, 3},
      {"Storno", [](Form& f) { UserClick(f, "bt_Storno"); }, 2},
      {"close box", [](Form& f) { EXPECT_TRUE(UserCloseWindow(f)); }, 2},
      {"first press counts", [](Form& f) { UserClick(f, "bt_Ne"); UserCloseWindow(f); }, 3},
  };
  for (const auto& [name, act, result] : cases) {
    SCOPED_TRACE(name);
    SetModalAnswerer(act);
    EXPECT_EQ(Form("TKestuConfirmDialog_Form").ShowModal(), result);
  }
}

TEST_F(FormsTest, UnattendedRunsTakeTheDefaultButtonAndLogTheText) {
  std::vector<std::string> log;
  SetUnattended([&](const std::string& line) { log.push_back(line); });
  // A form logs the label its layout marks as its message, else its caption.
  Form confirm("TKestuConfirmDialog_Form");
  confirm.SetText("lb_Message", "Přerušit export linií ?");
  EXPECT_EQ(confirm.ShowModal(), 1);
  Form dialog("TKestuDialog_Form");
  dialog.SetCaption("Export");
  EXPECT_EQ(dialog.ShowModal(), 1);

  const std::pair<unsigned, int> boxes[] = {
      {mbYes | mbNo, mrYes}, {mbOK | mbCancel, mrOk}, {mbNo | mbCancel, mrNo},
      {mbAbort | mbRetry | mbIgnore, mrRetry}, {mbCancel, mrCancel},
  };
  for (const auto& [buttons, answer] : boxes)
    EXPECT_EQ(MessageDlg("Opravdu ukončit aplikaci ?", MsgDlgType::Confirmation, buttons), answer) << buttons;
  const std::string quit = "Opravdu ukončit aplikaci ?";
  EXPECT_THAT(log, ElementsAre("Přerušit export linií ?", "Export", quit, quit, quit, quit, quit));
}

// The run is unattended while a log is set: setting an empty one ends it,
// and the log set before hears nothing more.
TEST_F(FormsTest, AnEmptyLogEndsTheUnattendedRun) {
  struct Row {
    const char* name;
    bool newLog;  // else an empty one
    bool unattended;
  } rows[] = {{"another log", true, true}, {"nil", false, false}};
  for (const Row& row : rows) {
    std::vector<std::string> before, after;
    SetUnattended([&](const std::string& line) { before.push_back(line); });
    if (row.newLog) SetUnattended([&](const std::string& line) { after.push_back(line); });
    else SetUnattended(nullptr);
    EXPECT_EQ(Unattended(), row.unattended) << row.name;
    LogUnattended("Export ukončen");
    EXPECT_EQ(std::tuple(before.size(), after.size()), std::tuple(0u, row.newLog ? 1u : 0u)) << row.name;
    SetAttended();
  }
}

TEST_F(FormsTest, ALayoutPlacesEveryControlInsideTheForm) {
  Form form("TKestuConfirmDialog_Form");
  form.SetBounds({10, 20, 360, 160});
  const Bounds frame = form.GetBounds();
  for (const char* name : {"lb_Message", "bt_Ano", "bt_Ne", "bt_Storno"})
    EXPECT_TRUE(Inside(form.ControlBounds(name), {0, 0, frame.Width, frame.Height})) << name;
}

// A strip placed whole in another window's bar is a control by its own
// window's name.
TEST_F(FormsTest, TheFormsOwnWindowIsAControlOfItsName) {
  Form strip("TTestStrip");
  EXPECT_TRUE(strip.HasControl("TTestStrip"));
  const Bounds at = strip.ControlBounds("TTestStrip");
  EXPECT_EQ(std::vector<int>({at.Left, at.Top, at.Width, at.Height}), std::vector<int>({0, 0, 200, 40}));
  EXPECT_FALSE(strip.ControlVisible("TTestStrip"));
  strip.Show();
  EXPECT_TRUE(strip.ControlVisible("TTestStrip"));
  strip.SetControlVisible("TTestStrip", false);
  EXPECT_FALSE(strip.Visible());
  EXPECT_FALSE(strip.HasControl("TTestStrip2"));
}

// Word wrap is switched and read the same on either kind of text editor.
TEST_F(FormsTest, WordWrapIsSwitchedOnRichAndPlainEditorsAlike) {
  Form text("TStdtxtForm");
  Form question("TAnoNeDialog");
  const struct {
    const char* name;
    Form& form;
    const char* control;
  } rows[] = {{"rich", text, "RichEdit"}, {"plain", question, "m_Question"}};
  for (const auto& row : rows) {
    for (const bool wrap : {true, false, true}) {
      row.form.SetWordWrap(row.control, wrap);
      EXPECT_EQ(row.form.WordWrap(row.control), wrap) << row.name;
    }
  }
}

// The window system shows the cursor last set; waits inside waits keep the
// hourglass until the outermost ends, which gives back the cursor it found.
TEST_F(FormsTest, TheShownCursorIsTheLastSetAndNestedWaitsGiveItBack) {
  EnsureWindowSystem();
  const Cursor kinds[] = {Cursor::Default, Cursor::Cross, Cursor::Hand};
  for (const Cursor before : kinds) {
    CurrentDialogs().SetScreenCursor(before);
    EXPECT_EQ(ShownScreenCursor(), before);
    {
      WaitCursor outer;
      EXPECT_EQ(ShownScreenCursor(), Cursor::HourGlass);
      {
        WaitCursor inner;
        EXPECT_EQ(ShownScreenCursor(), Cursor::HourGlass);
      }
      EXPECT_EQ(ShownScreenCursor(), Cursor::HourGlass);
    }
    EXPECT_EQ(ShownScreenCursor(), before);
  }
  CurrentDialogs().SetScreenCursor(Cursor::Default);
  EXPECT_EQ(ShownScreenCursor(), Cursor::Default);
}

TEST_F(FormsTest, AFormPartFillsItsHostsContainerAndEndsWithWhicheverEndsFirst) {
  for (const bool partFirst : {true, false}) {
    SCOPED_TRACE(partFirst ? "part first" : "host first");
    auto host = std::make_unique<Form>("TKestuDialog_Form");
    auto part = std::make_unique<Form>("TTestFrame", *host, "pn_Client");
    host->SetBounds({0, 0, 320, 200});
    EXPECT_EQ(part->Text("lb_Part"), "Část");
    EXPECT_FALSE(part->HasControl("bt_OK"));
    EXPECT_TRUE(Inside(host->ControlBounds("ed_Part"), host->ControlBounds("pn_Client")));
    if (partFirst) {
      part.reset();
      EXPECT_FALSE(host->HasControl("ed_Part"));
    } else {
      host.reset();
      EXPECT_THROW(part->Text("lb_Part"), EFormLayoutError);
    }
  }
  Form host("TKestuDialog_Form");
  EXPECT_THROW(Form("TTestFrame", host, "pn_Nowhere"), EFormLayoutError);
}

TEST_F(FormsTest, TheFormsOwnMouseEventsAreThoseAtPointsNoControlCovers) {
  Form form("TTestMenuForm");
  form.SetBounds({0, 0, 300, 200});
  std::vector<std::string> seen;
  form.OnMouse([&](MouseAction action, const MouseInput& input) {
    seen.push_back(std::to_string(int(action)) + " " + std::to_string(input.X) + "," + std::to_string(input.Y) + " b" +
                   std::to_string(input.Button));
  });
  const Bounds bar = form.ControlBounds("MenuBar");
  ASSERT_LT(bar.Top + bar.Height, 150);
  const struct {
    const char* name;
    const char* control;  // nullptr: the form itself
    MouseAction action;
    MouseInput input;
    std::vector<std::string> seen;
  } cases[] = {
      {"down on the form", nullptr, MouseAction::Down, {1, 0, 20, 150}, {"0 20,150 b1"}},
      {"up on the form", nullptr, MouseAction::Up, {1, 0, 21, 151}, {"1 21,151 b1"}},
      {"move on the form", nullptr, MouseAction::Move, {0, 0, 22, 152}, {"2 22,152 b0"}},
      {"the form's point under a control", nullptr, MouseAction::Down, {1, 0, bar.Left + 2, bar.Top + 2}, {}},
      {"a control's down passed up", "MenuBar", MouseAction::Down, {1, 0, 2, 2}, {}},
  };
  for (const auto& test : cases) {
    seen.clear();
    if (test.control) UserMouse(form, test.control, test.action, test.input);
    else UserMouse(form, test.action, test.input);
    EXPECT_EQ(seen, test.seen) << test.name;
  }
}

TEST_F(FormsTest, AToolBarShowsAMainMenusTopLevelItemsAsDropDownButtons) {
  Form form("TTestMenuForm");
  Menu& main = form.MainMenu("MainMenu1");
  EXPECT_EQ(&form.MainMenu("MainMenu1"), &main);
  EXPECT_THROW(form.MainMenu("MenuBar"), EFormLayoutError);
  EXPECT_THROW(form.ShowMenuOnToolBar("MainMenu1", &main), EFormLayoutError);
  auto other = std::make_unique<Form>("TTestMenuForm");
  const std::vector<std::string> top = {"&Soubor", "&Zobrazení", "Konec"};
  const std::vector<std::string> file = {"&Otevřít KES", "-", "&Konec aplikace"};
  const struct {
    const char* name;
    const Menu* menu;
    std::vector<std::string> buttons, firstDropsDown;
  } steps[] = {
      {"main menu", &main, top, file},
      {"the same again", &main, top, file},
      {"another", &form.MainMenu("OtherMenu"), {"Okna"}, {}},
      {"none", nullptr, {}, {}},
      {"another form's", &other->MainMenu("OtherMenu"), {"Okna"}, {}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    form.ShowMenuOnToolBar("MenuBar", step.menu);
    EXPECT_EQ(form.Items("MenuBar"), step.buttons);
    EXPECT_EQ(form.ToolButtonMenuItems("MenuBar", 0), step.firstDropsDown);
    EXPECT_TRUE(form.ToolButtonMenuItems("MenuBar", 2).empty());
  }
  // The buttons of a menu whose form ended go with it; the menu's own items
  // stay in the menu.
  other.reset();
  EXPECT_THAT(form.Items("MenuBar"), ElementsAre());
  EXPECT_EQ(form.Items("MainMenu1"), top);
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

TEST_F(FormsTest, LeavingAnEditRunsItsExitHandlerWhichMayKeepTheFocus) {
  struct Case {
    const char* name;
    bool refuse;
    const char* focused;
  };
  const Case cases[] = {
      {"an accepted text lets the focus go on past the disabled edit", false, "ed_Second"},
      {"a refused text sends the focus back", true, "ed_First"},
  };
  for (const Case& test : cases) {
    Form form("TTestEditsForm");
    int exits = 0;
    form.OnExit("ed_First", [&] {
      ++exits;
      if (test.refuse) form.Focus("ed_First");
    });
    form.Focus("ed_First");
    UserExit(form, "ed_First");
    EXPECT_EQ(std::tuple(exits, form.FocusedControl()), std::tuple(1, std::string(test.focused))) << test.name;
  }
}

}  // namespace
}  // namespace platform
