#include "app/tool_forms/form_tool.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

#include "app/tool_forms/base_forms.h"
#include "app/tool_forms/dialog_tools.h"
#include "tests/app/tool_forms/tool_forms_fixture.h"

namespace {

using ::testing::ElementsAre;

class FormToolsTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    MainTool = &mainTool;
  }
  TCodeRecorder mainTool;
};

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

TEST_F(FormToolsTest, AFormToolWithoutAFormIgnoresWritesAndReadsEmpty) {
  TFormTool tool;
  tool.SetCaption("Okno");
  tool.SetLeft(10);
  tool.SetVisible(true);
  EXPECT_EQ(tool.GetPropertyText("Caption"), "");
  EXPECT_EQ(tool.Left(), 0);
  EXPECT_FALSE(tool.Visible());
}

TEST_F(FormToolsTest, TheFormFollowsTheToolsProperties) {
  std::unique_ptr<TKestuDialog> dialog(CreateElement<TKestuDialog>());
  ASSERT_NE(dialog->Form(), nullptr);
  dialog->SetPropertyText("Caption", "Export");
  dialog->SetPropertyText("Left", "30");
  dialog->SetPropertyText("Width", "250");
  EXPECT_EQ(dialog->Form()->Window().Caption(), "Export");
  EXPECT_EQ(dialog->Form()->Window().GetBounds().Left, 30);
  EXPECT_EQ(dialog->Width(), 250);
  dialog->SetVisible(true);
  EXPECT_TRUE(dialog->Visible());
  dialog->SetVisible(false);
}

TEST_F(FormToolsTest, DroppedFilesAndRefusedClosesBecomeMessagesToTheTool) {
  auto* dialog = new TRecordingDialog();
  dialog->AfterConstruction();
  std::unique_ptr<TRecordingDialog> owned(dialog);
  dialog->SetAcceptDropFiles(true);
  EXPECT_TRUE(dialog->AcceptDropFiles());
  platform::UserDropFiles(dialog->Form()->Window(), {"/data/3.kes", "/data/1.kes", "/data/2.kes"});
  EXPECT_FALSE(platform::UserCloseWindow(dialog->Form()->Window()));
  RunMessages();
  EXPECT_THAT(dialog->codes, ElementsAre(msgFileDropped, msgFileDropped, msgFileDropped, msgClose));
  EXPECT_THAT(dialog->texts, ElementsAre("/data/3.kes", "/data/1.kes", "/data/2.kes"));
}

TEST_F(FormToolsTest, ADroppedFileIsLoggedByAPlainFormTool) {
  TFormTool tool;
  TKestuTextMessage dropped(msgFileDropped, &tool, &tool, nullptr, false);
  dropped.Text = "/data/a.kes";
  TKestuMessage* pointer = &dropped;
  bool handled = false;
  tool.ReceiveMessage(pointer, handled);
  EXPECT_TRUE(handled);
  RunMessages();
  EXPECT_THAT(mainTool.codes, ElementsAre(msgLogText));
}

TEST_F(FormToolsTest, TheConfirmationIsTrueOnlyForAno) {
  const std::pair<const char*, bool> cases[] = {{"bt_Ano", true}, {"bt_Ne", false}, {"bt_Storno", false}};
  for (const auto& [button, answer] : cases) {
    SCOPED_TRACE(button);
    Press(button);
    EXPECT_EQ(AskConfirmation("Opravdu ukončit aplikaci ?"), answer);
  }
  platform::SetModalAnswerer([](platform::Form& form) {
    EXPECT_EQ(form.Caption(), "?");
    EXPECT_EQ(form.Text("lb_Message"), "Uložit změny ?");
    platform::UserCloseWindow(form);
  });
  EXPECT_FALSE(AskConfirmation("Uložit změny ?"));
}

TEST_F(FormToolsTest, ADialogRecordsItsResultUnlessItIsNotToBeShown) {
  std::unique_ptr<TKestuDialog> dialog(CreateElement<TKestuDialog>());
  Press("bt_Storno");
  dialog->DoIt();
  EXPECT_EQ(dialog->Result, 2);
  dialog->DontShowForm = true;
  Press("bt_OK");
  dialog->DoIt();
  EXPECT_EQ(dialog->Result, 0);
}

class TMember : public TFormTool {
 public:
  std::vector<int>* log = nullptr;
  int id = 0;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    log->push_back(id * 100 + message->Message);
    handled = message->Message == 77 && id == 2;
  }
};

TEST_F(FormToolsTest, AControlGroupClosesItselfAndOffersOtherCodesToTheOtherMembers) {
  std::unique_ptr<TControlGroup> group(CreateElement<TControlGroup>());
  std::vector<int> log;
  TMember* members[3];
  for (int i = 0; i < 3; ++i) {
    members[i] = new TMember();
    members[i]->log = &log;
    members[i]->id = i + 1;
    group->AddTool(members[i]);
  }
  TKestuMessage fromFirst(77, members[0], group.get(), nullptr, false);
  TKestuMessage* pointer = &fromFirst;
  bool handled = false;
  group->ReceiveMessage(pointer, handled);
  EXPECT_TRUE(handled);
  EXPECT_THAT(log, ElementsAre(277));

  log.clear();
  group->SetVisible(false);
  RunMessages();
  EXPECT_THAT(log, ElementsAre(152, 252, 352));

  log.clear();
  TKestuMessage close(msgClose, nullptr, group.get(), nullptr, false);
  pointer = &close;
  group->ReceiveMessage(pointer, handled);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(group->RunFlag());
}

TEST_F(FormToolsTest, TheFolderPickerKeepsTheChosenFolderAndItsPlace) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("kestx-picker-" + std::to_string(getpid()));
  std::filesystem::create_directories(root / "Bloky");
  TSelectDirDialog picker;
  picker.Directory = root.string();
  picker.Caption = "Exportní složka";
  platform::SetModalAnswerer([](platform::Form& form) {
    EXPECT_EQ(form.Caption(), "Exportní složka");
    form.SetItemIndex("lb_Dirs", 1);
    EXPECT_EQ(form.Items("lb_Dirs")[1], "Bloky");
    form.SetDirectory("lb_Dirs", form.Directory("lb_Dirs") + "/Bloky");
    platform::UserClick(form, "bt_OK");
  });
  picker.DoIt();
  EXPECT_EQ(picker.Directory, (root / "Bloky").string());

  picker.Left = 0;
  picker.Top = 0;
  Press("bt_Storno");
  picker.DoIt();
  EXPECT_EQ(picker.Directory, (root / "Bloky").string());
  std::filesystem::remove_all(root);
}

TEST_F(FormToolsTest, TheNewFolderButtonMakesTheFolderOrSaysWhyNot) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("kestx-newdir-" + std::to_string(getpid()));
  std::filesystem::create_directories(root);
  TSelectDirDialog picker;
  picker.Directory = root.string();
  std::string typed = "Nová";
  platform::SetModalAnswerer([&typed](platform::Form& form) {
    if (form.LayoutName() == "Tf_Name") {
      form.SetText("ed_Name", typed);
      platform::UserClick(form, "bt_OK");
      return;
    }
    platform::UserClick(form, "bt_NewDir");
    EXPECT_EQ(form.Items("lb_Dirs").back(), "Nová");
    platform::UserClick(form, "bt_NewDir");
  });
  picker.DoIt();
  EXPECT_TRUE(std::filesystem::is_directory(root / "Nová"));
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "File exists: " + (root / "Nová").string());
  std::filesystem::remove_all(root);
}

}  // namespace
