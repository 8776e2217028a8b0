#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "tests/platform/temp_folder.h"
#include "tests/platform/test_bitmaps.h"

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

// The tests' stand-in records every dialog asked for and answers as it was
// told, in turn; a dialog with no answer left is cancelled (a message box
// takes the default answer), and an empty file name cancels too.
TEST_F(DialogsTest, TheRecordingDialogsAnswerAsToldInTurnAndThenCancel) {
  RecordingDialogs recording;
  recording.FileAnswers = {"/data/a.kes", ""};
  recording.PromptAnswers = {"Porost"};
  recording.ColorAnswers = {0x00FF00};
  recording.Answers = {mrNo};
  recording.DefaultAnswer = mrCancel;
  SetDialogs(&recording);
  const auto file = [](const char* filter) {
    FileDialogRequest request;
    request.Filter = filter;
    const bool chosen = PromptForFile(request);
    return std::pair(chosen, request.FileName);
  };
  const auto prompt = [] {
    std::string value = "před";
    const bool given = InputQuery("Název", "Zadej název", value);
    return std::pair(given, value);
  };
  const auto colour = [] {
    std::uint32_t value = 7;
    const bool chosen = ChooseColor(value);
    return std::pair(chosen, value);
  };
  EXPECT_EQ(file("a|*.kes"), std::pair(true, std::string("/data/a.kes")));
  EXPECT_EQ(file("b|*.oil"), std::pair(false, std::string())) << "an empty answer";
  EXPECT_EQ(file("c|*.*"), std::pair(false, std::string())) << "no answer left";
  EXPECT_EQ(prompt(), std::pair(true, std::string("Porost")));
  EXPECT_EQ(prompt(), std::pair(false, std::string("před")));
  EXPECT_EQ(colour(), std::pair(true, std::uint32_t{0x00FF00}));
  EXPECT_EQ(colour(), std::pair(false, std::uint32_t{7}));
  EXPECT_EQ(MessageDlg("Uložit ?", MsgDlgType::Confirmation, mbYes | mbNo), mrNo);
  EXPECT_EQ(MessageDlg("Uložit ?", MsgDlgType::Confirmation, mbYes | mbNo), mrCancel) << "the default answer";
  ASSERT_EQ(recording.FileDialogs.size(), 3u);
  EXPECT_EQ(recording.FileDialogs[2].Filter, "c|*.*");
  EXPECT_EQ(recording.Prompts, (std::vector<std::string>{"Název: Zadej název", "Název: Zadej název"}));
  EXPECT_EQ(recording.Messages.size(), 2u);
}

// A cursor is loaded under its number from a picture file; a missing file
// or one that holds no picture loads nothing, and a number never loaded
// has no cursor.
TEST_F(DialogsTest, CursorsAreLoadedUnderTheirNumbersFromPictureFilesOnly) {
  EnsureWindowSystem();
  TempFolder folder;
  WriteBytes(folder.File("kurzor.bmp"), HalfKeyedBmp(16, 16, 0));
  std::ofstream(folder.File("text.cur")) << "no picture";
  const struct {
    const char* name;
    int number;
    const char* file;
    bool loaded;
  } rows[] = {
      {"a picture", 11, "kurzor.bmp", true},
      {"no such file", 12, "missing.cur", false},
      {"a file of no picture", 13, "text.cur", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(LoadScreenCursor(row.number, folder.File(row.file)), row.loaded) << row.name;
    EXPECT_EQ(ScreenCursorLoaded(row.number), row.loaded) << row.name;
  }
  EXPECT_FALSE(ScreenCursorLoaded(14)) << "never loaded";
}

// The system's file dialog as the person meets it: the request's filters
// ("text|pattern", parts of a pattern split by ";") offered as the toolkit's
// "text (pattern)", the FilterIndex-th (from 1) taken first, or the first
// when there is no such filter; a filter the person takes makes its entry of
// FilterDefaultExts the extension a save adds to a bare name.
// The request answers the file and the index of the filter in force; a
// cancelled dialog answers nothing and leaves the request as it was.
TEST_F(DialogsTest, TheFileDialogOffersTheFiltersAndAnswersThePersonsChoice) {
  EnsureWindowSystem();
  TempFolder folder;
  std::ofstream(folder.File("a.kes")) << "KES0";
  const std::vector<std::string> offered{"Skripty (*.oil)", "Průvodce Kartiru (*.kes *.KES)", "Vše (*.*)"};
  const struct {
    const char* name;
    bool save;
    int filterIndex;
    int downs;  // presses of the down arrow on the filter box
    const char* typed;  // nullptr: the person cancels
    int firstShown;  // from 0
    const char* suffix;
    const char* answered;  // in the folder; nullptr: nothing answered
    int answeredIndex;
  } rows[] = {
      {"open on the second filter", false, 2, 0, "a.kes", 1, "oil", "a.kes", 2},
      {"open, no such filter: the first, then the next taken", false, 4, 1, "a.kes", 0, "kes", "a.kes", 2},
      {"save, no filter taken: the request's extension", true, 1, 0, "nový", 0, "oil", "nový.oil", 1},
      {"save, a filter taken gives its extension", true, 1, 1, "nový", 0, "kes", "nový.kes", 2},
      {"save, a filter of no extension adds none", true, 1, 2, "nový", 0, "", "nový", 3},
      {"cancelled, the last filter first: no next to take", false, 3, 1, nullptr, 2, "oil", nullptr, 3},
  };
  for (const auto& row : rows) {
    FileDialogRequest request;
    request.Save = row.save;
    request.Filter = "Skripty|*.oil|Průvodce Kartiru|*.kes;*.KES|Vše|*.*";
    request.FilterIndex = row.filterIndex;
    request.DefaultExt = "oil";
    request.FilterDefaultExts = {"oil", "kes", ""};
    request.InitialDir = folder.Path();
    FileDialogSeen seen;
    UserAnswerNextFileDialog(row.downs, row.typed ? std::optional<std::string>(row.typed) : std::nullopt, seen);
    const bool answered = PromptForFile(request);
    ASSERT_TRUE(seen.Shown) << row.name << ": no file dialog shows";
    EXPECT_FALSE(seen.StayedOpen) << row.name;
    EXPECT_EQ(seen.Filters, offered) << row.name;
    EXPECT_EQ(seen.FirstFilter, offered[static_cast<std::size_t>(row.firstShown)]) << row.name;
    EXPECT_EQ(seen.Save, row.save) << row.name;
    EXPECT_EQ(seen.DefaultSuffix, row.suffix) << row.name;
    EXPECT_EQ(answered, row.answered != nullptr) << row.name;
    EXPECT_EQ(request.FileName, row.answered ? folder.File(row.answered) : "") << row.name;
    EXPECT_EQ(request.FilterIndex, row.answeredIndex) << row.name;
  }
}

}  // namespace
}  // namespace platform
