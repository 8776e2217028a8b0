#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

class DialogsTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDialogs(nullptr); }
};

// Without a QApplication (tools, tests) the program's own dialogs cannot show
// a box: the text goes to stderr and the affirmative answer comes back.
TEST_F(DialogsTest, HeadlessBoxesWriteToStderrAndAnswerOkOrYes) {
  Dialogs& own = CurrentDialogs();
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
