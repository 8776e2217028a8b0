#pragma once
// The program's main tool: it creates the one world, runs the start-up,
// receives every framework message that names no receiver, owns the options,
// the main window, the message window and the progress monitor, and asks
// before the program ends.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/tools/tools.h"
#include "platform/dialogs.h"

class TMainForm;
class TMemoFormDevice;
class TOptions;
class TProgressMonitor;

enum MainToolMessageCode : int {
  msgCompanionProgram = 29,
  msgOpenGraphicWindow = 30,
  msgOpenExplorer = 36,
  msgOpenOwnersExplorer = 37,
  msgOpenPropertyEditor = 58,
  msgOpenWizardFile = 84,
  msgRunScript = 97,
  msgStartUpDone = 98,
  msgExportWizard = 100,
};

// The program file and its arguments as the start-up reads them.  The file
// is the system's name of the running program unless one is set.
const std::string& ProgramFile();
void SetProgramFile(const std::string& fileName);
// The folder of the program file, with its delimiter.
std::string ProgramDirectory();
const std::vector<std::string>& ProgramArguments();
void SetProgramArguments(std::vector<std::string> arguments);

// A file name the user or a script gave: "\" is read as "/", and a name that
// does not start at the root is taken inside the folder (which ends with its
// delimiter).
std::string ResolveFileName(const std::string& folder, const std::string& name);

class TOldMainTool : public TTechnology {
  KESTX_CLASS(TOldMainTool)
 public:
  // Makes the program's main tool of cls (TOldMainTool or a descendant): it
  // creates the world, becomes its MainTool and installs the world's message
  // and exception hooks on the application.  Nil when cls is no main tool.
  static TOldMainTool* Create(TClass cls);
  ~TOldMainTool() override;

  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
  // The start-up.
  void DoIt() override;
  // Asks "Opravdu ukončit aplikaci ?"; only Yes ends the program.
  void Close() override;

  virtual void LoadOptions();
  virtual void SaveOptions();
  virtual void InitBeforeMainForm();
  virtual std::string IniFileName();
  virtual std::string GetExeDirectory();
  virtual TOptions* GetOptions();
  virtual void SetOptions(TOptions* options);
  virtual void LoadCursors();
  virtual void LoadPlugins();
  virtual void RunStartScripts();
  virtual void RunCompanionProgram();
  virtual void ShowTextMessage(TKestuMessage* message);
  virtual void MonitorFinished(TKestuMessage* message);
  virtual void InitAfterMainForm();

  TMainForm* MainForm() const { return mainForm_.get(); }
  TMemoFormDevice* MessageDevice() const;
  TProgressMonitor* ProgressMonitor() const;
  // The lines of the message window, oldest first (the last one, being
  // written, is left out while empty).
  std::vector<std::string> MessageLines() const;

  // The companion program beside the program file.
  static constexpr const char* kCompanionProgram = "kestuinfo";

 protected:
  // Runs one start-up step; what it raises is shown as the world shows an
  // error nobody caught, and the start-up goes on.
  template <class Step>
  void StartUpStep(Step step);
  void CreateMainForm();
  TProgressMonitor* EnsureProgressMonitor();

 private:
  void OpenWorld();

  std::unique_ptr<TMainForm> mainForm_;
  TElementLink messageDevice_;
  TElementLink progressMonitor_;
};

// What a run of the program failed in; the process's exit status is the sum
// of those that happened (0: everything ran).
enum RunFailure : int { kStartScriptFailed = 1, kExportIncomplete = 2 };

class TMainTool : public TOldMainTool {
  KESTX_CLASS(TMainTool)
 public:
  TMainTool();

  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
  void DoIt() override;
  void Close() override;
  void LoadOptions() override;
  void SaveOptions() override;
  void InitBeforeMainForm() override;
  TOptions* GetOptions() override;
  void SetOptions(TOptions* options) override;
  void RunStartScripts() override;

  // The interpreter of the command-line language, made by its class name on
  // first use; nil while no such class is registered.
  TTool* CommandLine();
  void SetCommandLine(TTool* commandLine);
  // Runs the script file; without an interpreter it logs that it was skipped.
  void ExecuteScript(const std::string& fileName);
  // Also a block that any export, whoever ran it, could not write whole.
  int ExitStatus() const;
  void NoteRunFailure(RunFailure failure) { exitStatus_ |= failure; }
  // The status line.
  virtual std::string Text() const;
  virtual void SetText(const std::string& text);
  std::int32_t ActualAction() const { return actualAction_; }
  void SetActualAction(std::int32_t value) { actualAction_ = value > 4 ? 4 : value; }

  virtual void HandleMessage91(TKestuMessage* message);
  virtual void ExportWizardToBlocks(TKestuMessage* message);
  virtual void HandleMessage90(TKestuMessage* message);
  virtual void OpenGraphicWindow(TKestuMessage* message);
  virtual void OpenExplorer(TKestuMessage* message);
  virtual void OpenOwnersExplorer(TKestuMessage* message);
  virtual void OpenCommandLineDialog(TKestuMessage* message);
  virtual void OpenPropertyEditor(TKestuMessage* message);
  virtual void ShowStatusText(TKestuMessage* message);
  // The colour dialog of the palette; nothing in the program calls it.
  virtual void EditColorTable();
  virtual void RunScriptMessage(TKestuMessage* message);
  virtual void OpenWizardFile(TKestuMessage* message);

  // Accepted from scripts and without effect.
  std::int32_t MinProgress = 0, MaxProgress = 0, Progress = 0;
  bool ProgressVisible = false, NewImage = false, ActualActionVisible = false, ShowActionCaptions = false;
  std::string ActualActionScript, ActualActionCaption, ActualActionHint;
  std::int32_t ActualActionImageIndex = 0, ImageHeight = 0, ImageWidth = 0;

 private:
  // Runs the script file; false when a line of it (or of a script it ran)
  // reported an error or the file was missing.
  bool RunScriptFile(const std::string& fileName);
  // A start-up script; a failure counts against the run.
  void RunStartScript(const std::string& fileName);
  // A run without a person whose start script is missing fails and ends.
  void EndUnattendedRun();
  // A sub-tool of the registered class of that name, given the input and run.
  TTool* RunToolByClassName(const std::string& className, TElement* input);

  TElementLink options_;
  TElementLink commandLine_;
  // The main window's guide dialog: where it opens, and the guide last opened.
  platform::FileDialogRequest guideDialog_;
  std::string statusText_;
  std::int32_t actualAction_ = 0;
  int exitStatus_ = 0;
};

void RegisterMainToolClasses();
