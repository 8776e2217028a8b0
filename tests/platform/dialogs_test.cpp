#include "platform/dialogs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace platform {
namespace {

using ::testing::ElementsAre;

class DialogsTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDialogs(nullptr); }
};

TEST_F(DialogsTest, RecordingDialogsLogTheBoxesAndAnswerInTurnThenByDefault) {
  RecordingDialogs recording;
  recording.Answers = {mrNo, mrCancel};
  recording.DefaultAnswer = mrYes;
  SetDialogs(&recording);

  const std::tuple<std::string, MsgDlgType, unsigned, int> boxes[] = {
      {"Přerušit export linií ?", MsgDlgType::Confirmation, mbYes | mbNo, mrNo},
      {"Uložit ?", MsgDlgType::Warning, mbYes | mbNo | mbCancel, mrCancel},
      {"Znovu ?", MsgDlgType::Error, mbAbort | mbRetry, mrYes}};  // the answers run out: the default
  for (const auto& [text, type, buttons, answer] : boxes) EXPECT_EQ(MessageDlg(text, type, buttons), answer) << text;
  ShowMessage("Inicializace O.K.");
  std::vector<std::tuple<std::string, MsgDlgType, unsigned>> shown, expected;
  for (const auto& box : recording.Messages) shown.emplace_back(box.Text, box.Type, box.Buttons);
  for (const auto& [text, type, buttons, answer] : boxes) expected.emplace_back(text, type, buttons);
  expected.emplace_back("Inicializace O.K.", MsgDlgType::Information, mbOK);
  EXPECT_EQ(shown, expected);
}

TEST_F(DialogsTest, WaitCursorShowsTheHourglassAndRestoresWhatItFound) {
  RecordingDialogs recording;
  SetDialogs(&recording);
  recording.SetScreenCursor(Cursor::Cross);
  {
    WaitCursor outer;
    WaitCursor inner;
  }
  EXPECT_EQ(recording.ScreenCursor(), Cursor::Cross);
  EXPECT_THAT(recording.CursorChanges, ElementsAre(Cursor::Cross, Cursor::HourGlass, Cursor::HourGlass,
                                                    Cursor::HourGlass, Cursor::Cross));
}

// Without a QApplication (tools, tests) the program's own dialogs cannot show
// a box: the text goes to stderr and the affirmative answer comes back.
TEST_F(DialogsTest, HeadlessBoxesWriteToStderrAndAnswerOkOrYes) {
  RecordingDialogs recording;  // removing installed dialogs restores the program's own
  Dialogs& own = CurrentDialogs();
  SetDialogs(&recording);
  SetDialogs(nullptr);
  EXPECT_EQ(&CurrentDialogs(), &own);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageDlg("Přerušit export linií ?", MsgDlgType::Confirmation, mbYes | mbNo), mrYes);
  EXPECT_EQ(MessageDlg("Pokračovat ?", MsgDlgType::Warning, mbOK | mbCancel), mrOk);
  EXPECT_EQ(MessageDlg("Opakovat ?", MsgDlgType::Error, mbAbort | mbRetry | mbIgnore), mrNone);
  ShowMessage("Export je patrně u konce, Ahoj");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Přerušit export linií ?\nPokračovat ?\nOpakovat ?\nExport je patrně u konce, Ahoj\n");
  ASSERT_EQ(own.ScreenCursor(), Cursor::Default);
  {
    WaitCursor wait;
    EXPECT_EQ(own.ScreenCursor(), Cursor::HourGlass);
  }
  EXPECT_EQ(own.ScreenCursor(), Cursor::Default);  // the cursor tracks what it was set to
}

}  // namespace
}  // namespace platform
