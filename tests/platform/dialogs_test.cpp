#include "platform/dialogs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

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

  const std::tuple<std::string, MsgDlgType, unsigned, int> boxes[] = {
      {"Přerušit export linií ?", MsgDlgType::Confirmation, mbYes | mbNo, mrNo},
      {"Uložit ?", MsgDlgType::Warning, mbYes | mbNo | mbCancel, mrCancel},
      {"Znovu ?", MsgDlgType::Error, mbAbort | mbRetry, mrYes}};  // the answers run out: the default
  for (const auto& [text, type, buttons, answer] : boxes) EXPECT_EQ(MessageDlg(text, type, buttons), answer) << text;
  ShowMessage("Inicializace O.K.");
  const auto shown = [&](std::size_t i) {
    return std::tuple(recording.Messages.at(i).Text, recording.Messages.at(i).Type, recording.Messages.at(i).Buttons);
  };
  ASSERT_EQ(recording.Messages.size(), 4u);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(shown(i), std::tuple(std::get<0>(boxes[i]), std::get<1>(boxes[i]), std::get<2>(boxes[i]))) << i;
  EXPECT_EQ(shown(3), std::tuple("Inicializace O.K.", MsgDlgType::Information, unsigned{mbOK}));
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
