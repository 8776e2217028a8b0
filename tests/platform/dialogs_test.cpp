#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace platform {
namespace {

class DialogsTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDialogs(nullptr); }
};

// Without a QApplication (tools, tests) the program's own dialogs cannot show
// a box: the text goes to stderr and the affirmative answer comes back.  The
// boxes are asked in a process of their own (this program started again for
// this test alone): a window test run before in this process leaves its
// QApplication behind, and a real box would wait for a person.
TEST_F(DialogsTest, HeadlessBoxesWriteToStderrAndAnswerOkOrYes) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Dialogs& own = CurrentDialogs();
        bool ok = MessageDlg("Přerušit export linií ?", MsgDlgType::Confirmation, mbYes | mbNo) == mrYes;
        ok = ok && MessageDlg("Pokračovat ?", MsgDlgType::Warning, mbOK | mbCancel) == mrOk;
        ok = ok && MessageDlg("Opakovat ?", MsgDlgType::Error, mbAbort | mbRetry | mbIgnore) == mrNone;
        ShowMessage("Export je patrně u konce, Ahoj");
        ok = ok && own.ScreenCursor() == Cursor::Default;
        {
          WaitCursor wait;
          ok = ok && own.ScreenCursor() == Cursor::HourGlass;
        }
        ok = ok && own.ScreenCursor() == Cursor::Default;  // the cursor tracks what it was set to
        std::_Exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0),
      "^Přerušit export linií \\?\nPokračovat \\?\nOpakovat \\?\nExport je patrně u konce, Ahoj\n$");
}

}  // namespace
}  // namespace platform
