#pragma once
// The script console: runs the text of its command pane as command-line
// language and shows the results, compiles the same text as the OIL program
// "PROGRAM" of the object model and starts it on its thread, keeps the last
// files opened or saved, and opens a watch window.  The window belongs to the
// tool: closing it closes the tool, whose owner frees it.
#include <memory>
#include <string>
#include <vector>

#include "framework/tools/tools.h"

class TCommandLine;
class TKESTUForm;
class TWatchForm;

namespace platform {
class Form;
}

class TCommandLineDlg : public TTool {
  KESTX_CLASS(TCommandLineDlg)
 public:
  static constexpr std::size_t kRecentFiles = 10;

  TCommandLineDlg();
  ~TCommandLineDlg() override;

  TElement* RootElement() const { return root_.Get(); }
  // Also the active element of the console's interpreter.
  void SetRootElement(TElement* element);

  platform::Form& Window() const;
  TCommandLine& Interpreter() const { return *interpreter_; }
  const std::vector<std::string>& RecentFiles() const { return recent_; }
  bool Modified() const { return modified_; }
  // The watch window, or nil.
  TWatchForm* Watches() const { return watches_.get(); }

  // Shows the window.
  void DoIt() override;

  void Eval();
  void Open();
  void OpenRun();
  // False when the user cancelled the dialog.
  bool Save();
  void Compile();
  void RunProgram();
  void ToggleWatches();

 private:
  void ReadSettings();
  void WriteSettings();
  // Asked when the window is to close: the modified text may be saved.
  bool CloseQuery();
  void FileChosen(const std::string& fileName);
  void SetCommandText(const std::string& text);
  std::vector<std::string> CommandLines() const;
  // False while a run of the console's lines lasts, also between two lines
  // (where the event queue runs): what would change its lines is refused
  // meanwhile.
  bool InterpreterIdle() const;

  std::unique_ptr<TKESTUForm> form_;
  std::unique_ptr<TCommandLine> interpreter_;
  std::unique_ptr<TWatchForm> watches_;
  TElementLink root_;
  std::vector<std::string> recent_;
  std::string openDir_;
  std::string fileName_;
  bool modified_ = false;
  bool settingText_ = false;
  // The window was asked to close while a run lasted: it closes after it.
  bool closeAfterRun_ = false;
  // From the start of a run of the lines to the end of its last line.
  bool runningLines_ = false;
};

void RegisterConsoleClasses();
