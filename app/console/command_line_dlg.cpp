#include "app/console/command_line_dlg.h"

#include <algorithm>
#include <sstream>

#include "app/command_line/command_line.h"
#include "app/console/select_file_dialog.h"
#include "app/console/watch_form.h"
#include "app/startup/main_tool.h"
#include "framework/core/class_registry.h"
#include "framework/forms/base_forms.h"
#include "framework/tools/world.h"
#include "oil/compiler/program_compiler.h"
#include "oil/errors/lang_errors.h"
#include "oil/runtime/program_run.h"
#include "platform/app_queue.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/ini_file.h"
#include "platform/streams.h"

namespace {

constexpr char kFilter[] = "KESTU script (OIL, TXT)|*.OIL;*.TXT";
constexpr char kFormSection[] = "OILForm";
constexpr char kDialogSection[] = "OILFForm";
constexpr char kProgramName[] = "PROGRAM";

// The program's own INI file beside it (not one given on the command line).
std::string ConsoleIniFileName() {
  return ProgramDirectory() + platform::ChangeFileExt(platform::ExtractFileName(ProgramFile()), ".INI");
}

std::string DirectoryOf(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of(platform::PathDelimiter);
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

// The compiled program of the object model, or nil.
TElement* ProgramElement() {
  TWorld* world = World();
  return world ? world->ObjectModel()->FindElementByName(kProgramName) : nullptr;
}

bool ProgramRuns(TElement* element) {
  auto* program = DynamicCast<TOilProgram>(element);
  return program && program->Running();
}

}  // namespace

TCommandLineDlg::TCommandLineDlg() : interpreter_(std::make_unique<TCommandLine>()) {
  form_ = std::make_unique<TKESTUForm>("TCommandLineDlg");
  form_->SetTool(this);
  platform::Form& window = Window();
  window.OnClick("b_Eval", [this] { Eval(); });
  window.OnKeyDown([this](std::uint16_t key, std::uint8_t) {
    if (key == platform::vkF9) Eval();
  });
  window.OnClick("b_Close", [this] { Window().Close(); });
  window.OnClick("b_OpenRun", [this] { OpenRun(); });
  window.OnClick("b_Open", [this] { Open(); });
  window.OnClick("b_Save", [this] { Save(); });
  window.OnClick("b_Watches", [this] { ToggleWatches(); });
  window.OnClick("BitBtn1", [this] { Compile(); });
  window.OnClick("BitBtn2", [this] { RunProgram(); });
  window.OnChange("CMemo", [this] {
    if (!settingText_) modified_ = true;
  });
  window.OnCloseQuery([this] { return CloseQuery(); });
  ReadSettings();
}

TCommandLineDlg::~TCommandLineDlg() = default;

platform::Form& TCommandLineDlg::Window() const { return form_->Window(); }

void TCommandLineDlg::SetRootElement(TElement* element) {
  root_.Set(element);
  interpreter_->SetActiveElement(element);
}

void TCommandLineDlg::DoIt() {
  TTool::DoIt();
  Window().Show();
}

// ---------------------------------------------------------------- settings

void TCommandLineDlg::ReadSettings() {
  const platform::TIniFile ini(ConsoleIniFileName());
  platform::Bounds bounds;
  bounds.Left = ini.ReadInteger(kFormSection, "Left", 0);
  bounds.Top = ini.ReadInteger(kDialogSection, "Top", 0);
  bounds.Height = ini.ReadInteger(kDialogSection, "Height", 200);
  bounds.Width = ini.ReadInteger(kDialogSection, "Width", 200);
  Window().SetBounds(bounds);
  openDir_ = ini.ReadString(kDialogSection, "OpenDir", "");
  for (std::size_t i = 0; i < kRecentFiles; ++i) {
    const std::string name = ini.ReadString(kDialogSection, std::to_string(i), "");
    if (name.empty()) break;
    recent_.push_back(name);
  }
}

void TCommandLineDlg::WriteSettings() {
  platform::TIniFile ini(ConsoleIniFileName());
  const platform::Bounds bounds = Window().GetBounds();
  ini.EraseSection(kDialogSection);
  ini.WriteInteger(kFormSection, "Left", bounds.Left);
  ini.WriteInteger(kDialogSection, "Top", bounds.Top);
  ini.WriteInteger(kDialogSection, "Height", bounds.Height);
  ini.WriteInteger(kDialogSection, "Width", bounds.Width);
  ini.WriteString(kDialogSection, "OpenDir", openDir_);
  for (std::size_t i = 0; i < recent_.size(); ++i) ini.WriteString(kDialogSection, std::to_string(i), recent_[i]);
  ini.UpdateFile();
}

// ---------------------------------------------------------------- the command pane

void TCommandLineDlg::SetCommandText(const std::string& text) {
  settingText_ = true;
  Window().SetText("CMemo", text);
  settingText_ = false;
}

std::vector<std::string> TCommandLineDlg::CommandLines() const {
  std::vector<std::string> lines;
  std::istringstream in(Window().Text("CMemo"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool TCommandLineDlg::InterpreterIdle() const { return !runningLines_ && !interpreter_->Running(); }

namespace {

// Sorted in the order of the texts' letters, case aside; without duplicates
// when asked, sorted or not (the first of equal lines stays).
std::vector<std::string> ResultList(std::vector<std::string> results, bool sort, bool noDuplicates) {
  if (sort)
    std::stable_sort(results.begin(), results.end(),
                     [](const std::string& a, const std::string& b) { return platform::AnsiCompareText(a, b) < 0; });
  if (noDuplicates) {
    std::vector<std::string> kept;
    for (std::string& line : results)
      if (std::none_of(kept.begin(), kept.end(), [&](const std::string& k) { return platform::AnsiSameText(k, line); }))
        kept.push_back(std::move(line));
    results = std::move(kept);
  }
  return results;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace

void TCommandLineDlg::Eval() {
  // The lines let the event queue run: another run, a compile or an open
  // meanwhile would change the lines under the one running.
  if (!InterpreterIdle()) return;
  platform::Form& window = Window();
  window.SetText("RMemo", "");
  // A new file name of none forgets the line and the script lines.
  interpreter_->SetFileName(std::string());
  for (const std::string& line : CommandLines()) interpreter_->SetNextLine(line);
  const TElementLink alive(this);
  {
    // The interpreter runs only inside a line; between two lines the queue
    // runs, and with it the presses that came meanwhile.
    runningLines_ = true;
    const struct LinesRan {
      const TElementLink& console;
      bool& running;
      ~LinesRan() {
        if (console.Get()) running = false;
      }
    } ran{alive, runningLines_};
    interpreter_->DoIt();
  }
  if (!alive.Get()) return;
  window.SetText("RMemo", Joined(ResultList(interpreter_->Results(), window.Checked("cb_Sort"),
                                            window.Checked("cb_NoDup"))));
  window.Focus("CMemo");
  if (watches_) watches_->RefreshWatches();
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    window.Close();
  }
}

// ---------------------------------------------------------------- files

void TCommandLineDlg::FileChosen(const std::string& fileName) {
  fileName_ = fileName;
  if (recent_.size() >= kRecentFiles) recent_.erase(recent_.begin());
  recent_.push_back(fileName);
  openDir_ = DirectoryOf(fileName);
  Window().SetCaption("OIL: " + fileName);
  modified_ = false;
}

void TCommandLineDlg::Open() {
  if (!InterpreterIdle()) return;
  platform::FileDialogRequest request;
  request.Filter = kFilter;
  request.InitialDir = openDir_.empty() ? ProgramDirectory() : openDir_;
  request.History = recent_;
  if (!platform::PromptForFile(request)) return;
  SetCommandText(Joined(platform::ReadTextLines(request.FileName)));
  FileChosen(request.FileName);
}

void TCommandLineDlg::OpenRun() {
  if (!InterpreterIdle()) return;
  Open();
  Eval();
}

bool TCommandLineDlg::Save() {
  platform::FileDialogRequest request;
  request.Save = true;
  request.Filter = kFilter;
  request.InitialDir = openDir_;
  request.FileName = fileName_;
  request.History = recent_;
  request.OverwritePrompt = true;
  if (!platform::PromptForFile(request)) return false;
  platform::WriteTextLines(request.FileName, CommandLines());
  FileChosen(request.FileName);
  return true;
}

// ---------------------------------------------------------------- the program

void TCommandLineDlg::Compile() {
  if (!InterpreterIdle()) return;
  TWorld* world = World();
  if (!world) return;
  TElement* old = ProgramElement();
  if (ProgramRuns(old)) {
    platform::MessageDlg("Program PROGRAM ještě běží", platform::MsgDlgType::Warning, platform::mbOK);
    return;
  }
  if (old) world->ObjectModel()->FreeElement(old);
  TProgramCompiler compiler;
  compiler.SetSourceLines(CommandLines());
  try {
    compiler.DoIt();
  } catch (const TCompilerError& error) {
    // Lines as a person counts them; columns count from 1 already.
    platform::MessageDlg(std::string(error.what()) + " " + std::to_string(error.ErrorLine + 1) + " " +
                             std::to_string(error.ErrorColumn),
                         platform::MsgDlgType::Error, platform::mbOK);
    return;
  }
  TOilProgram* program = compiler.TakeProgram();
  program->SetName(kProgramName);
  world->ObjectModel()->AddElement(program);
}

void TCommandLineDlg::RunProgram() {
  try {
    auto* program = DynamicCast<TOilProgram>(ProgramElement());
    if (!program) throw std::runtime_error("no program");
    // One run at a time: a running program starts no second one.
    if (!program->Running()) program->Execute();
  } catch (const std::exception&) {
    platform::MessageDlg("Blbost", platform::MsgDlgType::Error, platform::mbOK);
  }
}

// ---------------------------------------------------------------- watches and closing

void TCommandLineDlg::ToggleWatches() {
  if (watches_) {
    watches_.reset();
    return;
  }
  watches_ = std::make_unique<TWatchForm>();
  watches_->Interpreter().SetActiveElement(RootElement());
  // Its close box frees the window, once the close has returned.
  watches_->OnClosed([console = TElementLink(this), closed = watches_.get()] {
    platform::Application::Instance().Invoke([console, closed] {
      auto* self = static_cast<TCommandLineDlg*>(console.Get());
      if (self && self->watches_.get() == closed) self->watches_.reset();
    });
  });
  watches_->Window().Show();
}

bool TCommandLineDlg::CloseQuery() {
  if (!InterpreterIdle()) {
    closeAfterRun_ = true;
    return false;
  }
  if (modified_ &&
      platform::MessageDlg("Text scriptu byl modifikován ... chcete jej uložit do souboru ?",
                           platform::MsgDlgType::Confirmation, platform::mbYes | platform::mbNo) == platform::mrYes &&
      !Save())
    return false;
  watches_.reset();
  try {
    WriteSettings();
  } catch (const platform::EStreamError& error) {
    PostTextMessage(this, msgLogText, error.what(), nullptr);
  }
  // The window goes; the owner frees the tool, and the window with it.
  Close();
  return true;
}

TClass TCommandLineDlg::StaticClass() {
  static const TClassInfo info = DescribeClass<TCommandLineDlg>(
      "TCommandLineDlg", TTool::StaticClass(), "CommandLineDlg",
      {AccessorProp<TCommandLineDlg, TElement*>("RootElement", &TCommandLineDlg::RootElement,
                                                &TCommandLineDlg::SetRootElement)});
  return &info;
}

void RegisterConsoleClasses() {
  RegisterKestuClass(TCommandLineDlg::StaticClass());
  RegisterKestuClass(TSelectFileDialog::StaticClass());
  // The explorer, below the shell, opens the shell's watch windows.
  SetElementWatchFactory([]() -> std::unique_ptr<TElementWatch> {
    auto watch = std::make_unique<TWatchForm>();
    watch->Window().Show();
    return watch;
  });
}
