#include "render/tool_forms/form_tool.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <tuple>

#include "framework/core/class_registry.h"
#include "framework/forms/base_forms.h"
#include "framework/tools/system_register.h"
#include "framework/values/typed_values.h"
#include "render/tool_forms/dialog_tools.h"
#include "tests/platform/temp_folder.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

using ::testing::ElementsAre;

using FormToolsTest = ToolFormsTest;

// A form tool whose dropped-file and close messages are recorded.
class TRecordingDialog : public TKestuDialog {
 public:
  std::vector<std::string> texts;
  std::vector<int> codes;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    codes.push_back(message->Message);
    if (auto* text = DynamicCast<TKestuTextMessage>(message)) texts.push_back(text->Text);
    handled = true;
  }
};

TEST_F(FormToolsTest, DroppedFilesAndRefusedClosesBecomeMessagesToTheToolAndAPlainToolLogsThem) {
  TFormTool plain;  // without a form: writes are ignored
  plain.SetLeft(10);
  plain.SetVisible(true);
  EXPECT_EQ(std::tuple(plain.Left(), plain.Visible(), plain.AcceptDropFiles()), std::tuple(0, false, false));
  EXPECT_TRUE(Deliver(plain, TKestuTextMessage(msgFileDropped, &plain, &plain, nullptr, false)));

  std::unique_ptr<TRecordingDialog> dialog(new TRecordingDialog);
  dialog->AfterConstruction();
  EXPECT_FALSE(dialog->AcceptDropFiles()) << "a form takes no files until it is told to";
  dialog->SetAcceptDropFiles(true);
  EXPECT_TRUE(dialog->AcceptDropFiles());
  platform::UserDropFiles(dialog->Form()->Window(), {"/data/3.kes", "/data/1.kes", "/data/2.kes"});
  EXPECT_FALSE(platform::UserCloseWindow(dialog->Form()->Window()));
  RunMessages();
  EXPECT_THAT(dialog->codes, ElementsAre(msgFileDropped, msgFileDropped, msgFileDropped, msgClose));
  EXPECT_THAT(dialog->texts, ElementsAre("/data/3.kes", "/data/1.kes", "/data/2.kes"));
  EXPECT_THAT(mainTool.codes, ElementsAre(msgLogText)) << "the plain tool's";
}

// A form tool with a cursor of its own.
class TPointingFormTool : public TFormTool {
 public:
  void InitCursors() override { AddCursor("Ruka"); }
};

// Made, a form tool has made its cursors as every interface tool does: the
// one it names is the first registered, number 1, and none is chosen yet.
TEST_F(FormToolsTest, AFormToolMakesItsCursorsWhenItIsMade) {
  world->SystemRegister()->Cursors()->AddElement(TStringElement::CreateNameValue("Ruka", "ruka.cur"));
  TPointingFormTool tool;
  tool.AfterConstruction();
  EXPECT_EQ(std::tuple(tool.Cursors()->GetCount(), tool.GetCursor(), tool.CursorIndex()), std::tuple(1, 1, -1));
}

// Scripts make the dialog tools by their class names.
TEST_F(FormToolsTest, TheDialogClassesAreMadeByTheirNames) {
  for (const char* name : {"TKestuDialog", "TKestuConfirmDialog", "TSelectDirDialog"}) {
    const TClass cls = FindKestuClass(name);
    EXPECT_TRUE(cls && cls->ClassName == name) << name;
  }
}

TEST_F(FormToolsTest, TheConfirmationIsTrueOnlyForAnoOrWithoutAPersonAndADialogRecordsItsResultIfShown) {
  std::unique_ptr<TKestuDialog> dialog(CreateElement<TKestuDialog>());
  Press("bt_Storno");
  dialog->DoIt();
  EXPECT_EQ(dialog->Result, 2);
  dialog->DontShowForm = true;
  dialog->DoIt();
  EXPECT_EQ(dialog->Result, 0);
  const std::pair<const char*, bool> cases[] = {{"bt_Ano", true}, {"bt_Ne", false}, {"bt_Storno", false}};
  for (const auto& [button, answer] : cases) {
    Press(button);
    EXPECT_EQ(AskConfirmation("Opravdu ukončit aplikaci ?"), answer) << button;
  }
  platform::SetModalAnswerer([](platform::Form& form) {
    EXPECT_EQ(form.Caption(), "?");
    EXPECT_EQ(form.Text("lb_Message"), "Uložit změny ?");
    platform::UserCloseWindow(form);
  });
  EXPECT_FALSE(AskConfirmation("Uložit změny ?"));
  std::vector<std::string> log;
  platform::SetUnattended([&log](const std::string& line) { log.push_back(line); });
  EXPECT_TRUE(AskConfirmation("Přerušit export linií ?"));
  EXPECT_THAT(log, ElementsAre("Přerušit export linií ?"));
}

// Presses the close box of a dialog's window while its modal run shows it, as a person would.  Without an answer
// to the close box the run would not end: the test then fails on its time limit.
class TCloseBoxPresser : public TElement {
 public:
  explicit TCloseBoxPresser(TKestuDialog& dialog) : dialog_(dialog) {}
  void ReceiveMessage(TKestuMessage*&, bool& handled) override {
    handled = true;
    platform::Form& window = dialog_.Form()->Window();
    pressed = window.Visible();
    closedAtOnce = platform::UserCloseWindow(window);
  }
  bool pressed = false;
  bool closedAtOnce = false;

 private:
  TKestuDialog& dialog_;
};

// Runs a dialog from inside the program's event loop, so that its modal run delivers what is posted meanwhile as
// in the program (the presser's first press among it), and ends the loop afterwards.
class TDialogRunner : public TElement {
 public:
  TDialogRunner(TKestuDialog& dialog, TCloseBoxPresser& presser) : dialog_(dialog), presser_(presser) {}
  void ReceiveMessage(TKestuMessage*&, bool& handled) override {
    handled = true;
    presser_.PostMessage(msgToolControl, &presser_, nullptr, false);
    dialog_.DoIt();
    platform::Application::Instance().Terminate();
  }

 private:
  TKestuDialog& dialog_;
  TCloseBoxPresser& presser_;
};

TEST_F(FormToolsTest, TheCloseBoxOfADialogsWindowEndsItAsStornoDoes) {
  const std::pair<const char*, TClass> rows[] = {{"dialog", TKestuDialog::StaticClass()},
                                                 {"confirmation", TKestuConfirmDialog::StaticClass()}};
  for (const auto& [name, cls] : rows) {
    std::unique_ptr<TKestuDialog> dialog(static_cast<TKestuDialog*>(NewElement(cls)));
    TCloseBoxPresser presser(*dialog);
    TDialogRunner runner(*dialog, presser);
    runner.PostMessage(msgToolControl, &runner, nullptr, false);
    platform::Application::Instance().Run(0, nullptr);
    RunMessages();
    // The window refused to close by itself and asked its tool, which ended the run as "Storno".
    EXPECT_EQ(std::tuple(presser.pressed, presser.closedAtOnce, dialog->Result),
              std::tuple(true, false, platform::mrCancel))
        << name;
  }
}

TEST_F(FormToolsTest, CodesToShowAndHideTheFormShowAndHideItsWindow) {
  std::unique_ptr<TKestuDialog> dialog(CreateElement<TKestuDialog>());
  const std::pair<int, bool> rows[] = {{msgShowForm, true}, {msgShowForm, true}, {msgHideForm, false},
                                       {msgHideForm, false}, {msgShowForm, true}};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const auto [code, visible] = rows[i];
    EXPECT_TRUE(Deliver(*dialog, TKestuMessage(code, nullptr, dialog.get(), nullptr, false))) << "row " << i;
    EXPECT_EQ(std::pair(dialog->Visible(), dialog->Form()->Window().Visible()), std::pair(visible, visible))
        << "row " << i;
  }
}

TEST_F(FormToolsTest, AControlGroupClosesItselfAndOffersOtherCodesToTheOtherMembers) {
  std::unique_ptr<TControlGroup> group(CreateElement<TControlGroup>());
  TCodeRecorder* members[3];
  for (TCodeRecorder*& member : members) group->AddTool(member = new TCodeRecorder);
  EXPECT_TRUE(Deliver(*group, TKestuMessage(77, members[0], group.get(), nullptr, false)));
  EXPECT_TRUE(Deliver(*group, TKestuMessage(78, nullptr, group.get(), nullptr, false)));  // from outside: the first
  group->SetVisible(false);
  RunMessages();
  EXPECT_TRUE(Deliver(*group, TKestuMessage(msgClose, nullptr, group.get(), nullptr, false)));
  EXPECT_FALSE(group->RunFlag());
  // The sender is passed over, the first member that takes the code ends the offer; hiding reaches every member.
  const std::vector<int> hidden = {msgHideForm};
  EXPECT_EQ(std::tuple(members[0]->codes, members[1]->codes, members[2]->codes),
            std::tuple(std::vector<int>{78, msgHideForm}, std::vector<int>{77, msgHideForm}, hidden));
}

// The folder picker starts where it was left and in the folder it holds;
// OK takes the folder shown, and either way it keeps its place.
TEST_F(FormToolsTest, TheFolderPickerKeepsItsPlaceAndTakesTheFolderOnlyOnOk) {
  TempFolder folder;
  const struct {
    const char* name;
    std::int32_t left, top;
    const char* button;
    std::string directory;
  } rows[] = {
      {"OK at the corner", 1, 1, "bt_OK", folder.Path()},
      {"OK further in", 40, 30, "bt_OK", folder.Path()},
      {"cancelled", 40, 30, "bt_Storno", "/"},
  };
  for (const auto& row : rows) {
    TSelectDirDialog picker;
    picker.Directory = "/";
    picker.Left = row.left;
    picker.Top = row.top;
    platform::Bounds shownAt{};
    platform::SetModalAnswerer([&](platform::Form& form) {
      EXPECT_EQ(form.Directory("lb_Dirs"), "/") << row.name;
      shownAt = form.GetBounds();
      form.SetDirectory("lb_Dirs", folder.Path());
      platform::UserClick(form, row.button);
    });
    picker.DoIt();
    EXPECT_EQ(std::pair(shownAt.Left, shownAt.Top), std::pair(row.left, row.top)) << row.name;
    EXPECT_EQ(std::tuple(picker.Directory, picker.Left, picker.Top), std::tuple(row.directory, row.left, row.top))
        << row.name;
  }
}

// "Nový adr.": the name form opens at the picker's place holding the folder shown; OK makes the folder named
// there (a name within the folder shown, or a whole path as entered), Storno makes nothing, and a folder that
// cannot be made is named in a box.
TEST_F(FormToolsTest, TheNewFolderButtonMakesTheFolderNamedOnlyOnOk) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("Stará"));
  const struct {
    const char* name;
    std::string entered;
    const char* button;
    std::vector<std::string> folders;  // in the folder shown afterwards, by name
    std::vector<std::string> boxes;
  } rows[] = {
      {"OK", "Nová", "bt_OK", {"Nová", "Stará"}, {}},
      {"Storno", "Zrušená", "bt_Storno", {"Stará"}, {}},
      {"a whole path", folder.File("Celá"), "bt_OK", {"Celá", "Stará"}, {}},
      {"a folder there already", "Stará", "bt_OK", {"Stará"}, {"File exists: " + folder.File("Stará")}},
  };
  for (const auto& row : rows) {
    dialogs.Messages.clear();
    TSelectDirDialog picker;
    picker.Directory = folder.Path();
    picker.Left = 40;
    picker.Top = 30;
    std::string offered;
    platform::Bounds nameAt{};
    platform::SetModalAnswerer([&](platform::Form& form) {
      if (form.LayoutName() == "Tf_Name") {
        offered = form.Text("ed_Name");
        nameAt = form.GetBounds();
        form.SetText("ed_Name", row.entered);
        platform::UserClick(form, row.button);
        return;
      }
      platform::UserClick(form, "bt_NewDir");
      platform::UserClick(form, "bt_Storno");
    });
    picker.DoIt();
    EXPECT_EQ(std::tuple(offered, nameAt.Left, nameAt.Top), std::tuple(folder.Path(), 40, 30)) << row.name;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::tuple(names, Boxes()), std::tuple(row.folders, row.boxes)) << row.name;
    for (const std::string& name : names)
      if (name != "Stará") std::filesystem::remove(folder.File(name));
  }
}

}  // namespace
