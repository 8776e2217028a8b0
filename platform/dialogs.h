#pragma once
// Message boxes and the screen cursor as the subsystems see them.  The program
// shows real boxes; tests install a RecordingDialogs that logs the texts and
// answers as told.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class MsgDlgType { Warning, Error, Information, Confirmation, Custom };

// Button set, combinable.
enum MsgDlgButtons : unsigned {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
};

enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

enum class Cursor { Default, HourGlass, Arrow, Cross, Hand };

// An open or save dialog: the filter is "text|pattern|text|pattern...", the
// pattern's parts separated by ";".  FilterIndex counts from 1.
struct FileDialogRequest {
  bool Save = false;
  std::string Filter;
  int FilterIndex = 1;
  std::string DefaultExt;
  // When given, choosing the filter of a place makes its entry the default
  // extension.
  std::vector<std::string> FilterDefaultExts;
  std::string InitialDir;
  std::string FileName;
  // Names offered as the dialog's history of recent places, newest last.
  std::vector<std::string> History;
  // A save dialog asks before it lets an existing file be chosen.
  bool OverwritePrompt = true;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) = 0;
  virtual Cursor ScreenCursor() const = 0;
  virtual void SetScreenCursor(Cursor cursor) = 0;
  // The system's file dialog; true with request.FileName (and FilterIndex)
  // set when the user chose a file.  Unattended and without windows: false.
  virtual bool PromptForFile(FileDialogRequest& request);
  // A one-line text prompt; true with value set on OK.  Unattended and
  // without windows: false.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
  // The system's colour dialog on a colour 0x00BBGGRR; true with the colour
  // set on OK.  Unattended and without windows: false.
  virtual bool ChooseColor(std::uint32_t& colour);
  // The application help at a keyword; nothing opens while the application
  // names no help file.
  virtual void HelpKeyword(const std::string& keyword);
  // The system's printer set-up dialog; true on OK.  Unattended and without
  // windows: false.
  virtual bool PrinterSetup();
};

// The dialogs in force (the program's own until another is installed).
Dialogs& CurrentDialogs();
// Installs dialogs (not owned); nullptr restores the program's own.
void SetDialogs(Dialogs* dialogs);

int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons);
void ShowMessage(const std::string& text);
bool PromptForFile(FileDialogRequest& request);
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
bool ChooseColor(std::uint32_t& colour);
void HelpKeyword(const std::string& keyword);
bool PrinterSetup();

// What a person saw in the system's file dialog.
struct FileDialogSeen {
  bool Shown = false;
  // As the toolkit offers them: "text (pattern)".
  std::vector<std::string> Filters;
  std::string FirstFilter;
  bool Save = false;
  // The extension a save adds to a bare name, after the person's choice of filter.
  std::string DefaultSuffix;
  bool StayedOpen = false;
};

// Answers the next system file dialog as a person's hand would, once the
// event loop runs: the filter box moved down downs times, then the name typed
// and Enter pressed, or Escape without a name.  seen must outlive the dialog.
void UserAnswerNextFileDialog(int downs, const std::optional<std::string>& typed, FileDialogSeen& seen);

// Loads a cursor file as the application's screen cursor of that number
// (numbers from 1); false when the file is missing or no image.  Without
// windows the file is only checked to exist.
bool LoadScreenCursor(int number, const std::string& fileName);
// Whether a cursor has been loaded under that number.
bool ScreenCursorLoaded(int number);

// The cursor the window system shows over the program's windows: what the
// person sees, Default without windows.
Cursor ShownScreenCursor();

// Shows the hourglass for its lifetime and restores the cursor it found.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool active_;
  Cursor saved_ = Cursor::Default;
};

class RecordingDialogs : public Dialogs {
 public:
  struct Shown {
    std::string Text;
    MsgDlgType Type;
    unsigned Buttons;
  };
  std::vector<Shown> Messages;
  // Answers given in order; when empty, DefaultAnswer.
  std::deque<int> Answers;
  int DefaultAnswer = mrOk;
  std::vector<Cursor> CursorChanges;
  // File dialogs shown, and the names they answer in turn (empty: cancelled;
  // none left: cancelled).
  std::vector<FileDialogRequest> FileDialogs;
  std::deque<std::string> FileAnswers;
  // Text prompts shown ("caption: prompt"), and their answers in turn (none
  // left: cancelled).
  std::vector<std::string> Prompts;
  std::deque<std::string> PromptAnswers;
  // Colours the colour dialog answers in turn (none left: cancelled).
  std::deque<std::uint32_t> ColorAnswers;
  // Help keywords asked for, and how often the printer set-up was shown.
  std::vector<std::string> HelpKeywords;
  int PrinterSetups = 0;

  int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) override;
  Cursor ScreenCursor() const override { return cursor_; }
  void SetScreenCursor(Cursor cursor) override;
  bool PromptForFile(FileDialogRequest& request) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
  bool ChooseColor(std::uint32_t& colour) override;
  void HelpKeyword(const std::string& keyword) override { HelpKeywords.push_back(keyword); }
  bool PrinterSetup() override;

 private:
  Cursor cursor_ = Cursor::Default;
};

}  // namespace platform
