#include "platform/dialogs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class DialogsTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDialogs(nullptr); }
};

TEST_F(DialogsTest, RecordingDialogsLogTheBoxesAndAnswerInTurnThenByDefault) {
  RecordingDialogs recording;
  recording.Answers = {mrNo, mrCancel};
  recording.DefaultAnswer = mrYes;
  SetDialogs(&recording);
  EXPECT_EQ(&CurrentDialogs(), &recording);

  EXPECT_EQ(MessageDlg("Přerušit export linií ?", MsgDlgType::Confirmation, mbYes | mbNo), mrNo);
  EXPECT_EQ(MessageDlg("Uložit ?", MsgDlgType::Warning, mbYes | mbNo | mbCancel), mrCancel);
  EXPECT_EQ(MessageDlg("Znovu ?", MsgDlgType::Error, mbAbort | mbRetry), mrYes);
  ShowMessage("Inicializace O.K.");

  const std::tuple<std::string, MsgDlgType, unsigned> expected[] = {
      {"Přerušit export linií ?", MsgDlgType::Confirmation, mbYes | mbNo},
      {"Uložit ?", MsgDlgType::Warning, mbYes | mbNo | mbCancel},
      {"Znovu ?", MsgDlgType::Error, mbAbort | mbRetry},
      {"Inicializace O.K.", MsgDlgType::Information, mbOK}};
  ASSERT_EQ(recording.Messages.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(std::tuple(recording.Messages[i].Text, recording.Messages[i].Type, recording.Messages[i].Buttons),
              expected[i])
        << i;
  EXPECT_TRUE(recording.Answers.empty());
}

TEST_F(DialogsTest, WaitCursorShowsTheHourglassAndRestoresWhatItFound) {
  RecordingDialogs recording;
  SetDialogs(&recording);
  recording.SetScreenCursor(Cursor::Cross);
  {
    WaitCursor outer;
    EXPECT_EQ(recording.ScreenCursor(), Cursor::HourGlass);
    {
      WaitCursor inner;
    }
    EXPECT_EQ(recording.ScreenCursor(), Cursor::HourGlass);
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
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, HasSubstr("Přerušit export linií ?\n"));
  EXPECT_THAT(err, HasSubstr("Pokračovat ?\n"));
  EXPECT_THAT(err, HasSubstr("Opakovat ?\n"));
  EXPECT_THAT(err, HasSubstr("Export je patrně u konce, Ahoj\n"));
  EXPECT_TRUE(recording.Messages.empty());
  ASSERT_EQ(own.ScreenCursor(), Cursor::Default);
  {
    WaitCursor wait;
    EXPECT_EQ(own.ScreenCursor(), Cursor::HourGlass);
  }
  EXPECT_EQ(own.ScreenCursor(), Cursor::Default);  // the cursor tracks what it was set to
}

}  // namespace
}  // namespace platform
