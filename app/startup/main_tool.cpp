#include "app/startup/main_tool.h"

#include <filesystem>

#include "app/command_line/command_line.h"
#include "app/guide_export/guide_export.h"
#include "app/monitors/progress_monitor.h"
#include "app/options/options.h"
#include "app/windows/main_form.h"
#include "app/windows/message_window.h"
#include "framework/core/class_registry.h"
#include "framework/environment/environment.h"
#include "framework/stream/kes_loader.h"
#include "framework/tools/system_register.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"
#include "platform/app_queue.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/packages.h"
#include "platform/streams.h"
#include "render/devices/device.h"
#include "render/palette/color_form.h"
#include "render/palette/library_paths.h"
#include "spatial/geometry/page.h"

namespace {

std::string& ProgramFileSetting() {
  static std::string file;
  return file;
}

std::vector<std::string>& Arguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

// The first argument with that extension (compared in upper case).
std::string FirstArgumentWithExt(const std::string& ext) {
  for (const std::string& argument : ProgramArguments())
    if (platform::AnsiUpperCase(platform::ExtractFileExt(argument)) == ext) return argument;
  return {};
}

// The text of a list item: its value, or its name when it holds only one.
std::string ItemText(TStringListElement& list, int index) {
  const std::string value = list.GetValue(index);
  if (!value.empty()) return value;
  TStringElement* item = list.GetItem(index);
  return item && item->HasName() ? item->GetName() : std::string();
}

// A relative INI argument names the file in the folder the program started
// in, also after the current folder changed (the companion program changes
// it): it is made absolute at start-up, as the start script is.
void AnchorIniArgument() {
  std::vector<std::string> arguments = ProgramArguments();
  for (std::string& argument : arguments) {
    if (platform::AnsiUpperCase(platform::ExtractFileExt(argument)) != ".INI") continue;
    if (platform::FileExists(argument)) argument = std::filesystem::absolute(argument).lexically_normal().string();
    break;
  }
  SetProgramArguments(std::move(arguments));
}

std::string SlashPath(std::string path) {
  for (char& c : path)
    if (c == '\\') c = platform::PathDelimiter;
  return path;
}

}  // namespace

const std::string& ProgramFile() {
  if (ProgramFileSetting().empty()) ProgramFileSetting() = platform::Application::Instance().ExeName();
  return ProgramFileSetting();
}

void SetProgramFile(const std::string& fileName) { ProgramFileSetting() = fileName; }

const std::vector<std::string>& ProgramArguments() { return Arguments(); }

void SetProgramArguments(std::vector<std::string> arguments) { Arguments() = std::move(arguments); }

std::string ResolveFileName(const std::string& folder, const std::string& name) {
  const std::string path = SlashPath(name);
  if (path.empty() || path.front() == platform::PathDelimiter) return path;
  return folder + path;
}

// ---------------------------------------------------------------- the old main tool

TOldMainTool* TOldMainTool::Create(TClass cls) {
  if (!cls || !cls->InheritsFrom(StaticClass())) return nullptr;
  auto* tool = static_cast<TOldMainTool*>(NewElement(cls));
  if (tool) tool->OpenWorld();
  return tool;
}

TOldMainTool::~TOldMainTool() {
  SetOptionsIniFileSource(nullptr);
  // The windows go before the tool they post to.
  mainForm_.reset();
  if (TElement* monitor = progressMonitor_.Get()) {
    progressMonitor_.Set(nullptr);
    if (TTools* tools = ExistingTools()) tools->FreeElement(monitor);
  }
  if (TElement* device = messageDevice_.Get()) {
    messageDevice_.Set(nullptr);
    FreeElement(device);
  }
}

void TOldMainTool::OpenWorld() {
  auto* world = static_cast<TWorld*>(NewElement(WorldClass()));
  SetWorld(world);
  world->SetMainTool(this);
  SetOptionsIniFileSource([this] { return IniFileName(); });
  platform::Application& application = platform::Application::Instance();
  // A world being freed stops being the program's world first, and may let
  // the queue run while it frees its children: from then on it is no world
  // to hand messages to, though its link holds until it is gone.
  const auto whole = [link = TElementLink(world)]() -> TWorld* {
    TWorld* current = World();
    return current && link.Get() == current ? current : nullptr;
  };
  application.SetMessageHook([whole](platform::AppMessage& message, bool& handled) {
    if (TWorld* alive = whole()) {
      alive->DispatchAppMessage(message, handled);
    } else if (TKestuMessage* kestu = KestuMessageOf(message)) {
      DeliverKestuMessage(kestu, handled, nullptr);  // nobody is left to take unaddressed messages
    }
  });
  application.SetExceptionHook([whole](std::exception_ptr error) {
    TWorld* alive = whole();
    if (!alive) std::rethrow_exception(error);
    alive->ShowAppException(error);
  });
}

template <class Step>
void TOldMainTool::StartUpStep(Step step) {
  try {
    step();
  } catch (...) {
    if (TWorld* world = World()) world->ShowAppException(std::current_exception());
  }
}

void TOldMainTool::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TTechnology::ReceiveMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case msgFinished:
      MonitorFinished(message);
      handled = true;
      break;
    case msgLogText:
      ShowTextMessage(message);
      handled = true;
      break;
    case msgProgressStart:
    case msgProgress:
    case msgProgressEnd:
    case msgProgressText: {
      // The monitor of the first start message after the last one ended.
      TProgressMonitor* monitor = message->Message == msgProgressStart ? EnsureProgressMonitor() : ProgressMonitor();
      bool taken = false;
      if (monitor) monitor->ReceiveMessage(message, taken);
      handled = true;
      break;
    }
    case msgCompanionProgram:
      RunCompanionProgram();
      handled = true;
      break;
    default:
      break;
  }
}

void TOldMainTool::DoIt() {
  TTechnology::DoIt();
  AnchorIniArgument();
  SetStrokeFontDirectory(GetExeDirectory());
  StartUpStep([this] { InitBeforeMainForm(); });
  StartUpStep([this] { CreateMainForm(); });
  StartUpStep([this] { InitAfterMainForm(); });
  StartUpStep([this] { RunStartScripts(); });
  StartUpStep([this] { LoadPlugins(); });
  StartUpStep([this] { LoadCursors(); });
}

void TOldMainTool::CreateMainForm() {
  mainForm_ = std::make_unique<TMainForm>(IniFileName(), GetExeDirectory());
  mainForm_->SetTool(this);
  mainForm_->SetCanClose(false);
  mainForm_->Window().Show();
}

void TOldMainTool::Close() {
  if (platform::MessageDlg("Opravdu ukončit aplikaci ?", platform::MsgDlgType::Confirmation,
                           platform::mbYes | platform::mbNo | platform::mbCancel) == platform::mrYes)
    platform::Application::Instance().Terminate();
}

void TOldMainTool::LoadOptions() {
  if (TOptions* options = GetOptions()) LoadOptionsFromIni(*options, IniFileName());
}

void TOldMainTool::SaveOptions() {
  if (TOptions* options = GetOptions()) SaveOptionsToIni(*options, IniFileName());
}

void TOldMainTool::InitBeforeMainForm() {}

std::string TOldMainTool::IniFileName() {
  const std::string argument = FirstArgumentWithExt(".INI");
  if (!argument.empty() && platform::FileExists(argument)) return argument;
  return GetExeDirectory() + platform::ChangeFileExt(platform::ExtractFileName(ProgramFile()), ".INI");
}

std::string ProgramDirectory() {
  const std::string& file = ProgramFile();
  return file.substr(0, file.size() - platform::ExtractFileName(file).size());
}

std::string TOldMainTool::GetExeDirectory() { return ProgramDirectory(); }

TOptions* TOldMainTool::GetOptions() { return nullptr; }

void TOldMainTool::SetOptions(TOptions*) {}

void TOldMainTool::LoadCursors() {
  TWorld* world = World();
  TStringListElement* cursors = world ? world->SystemRegister()->Cursors() : nullptr;
  if (!cursors) return;
  for (int i = 0; i < cursors->GetCount(); ++i) {
    const std::string name = ItemText(*cursors, i);
    const std::string path = ResolveFileName(GetExeDirectory(), name);
    if (!platform::FileExists(path)) {
      Log("Cursor file: " + name + " not found");
      continue;
    }
    if (!platform::LoadScreenCursor(i + 1, path)) Log("Cursor file: " + name + " not loaded");
  }
}

void TOldMainTool::LoadPlugins() {
  PostTextMessage(this, msgStatusText, "Inicializace Plug - Ins", this);
  TWorld* world = World();
  if (!world) return;
  const std::string plugins = GetExeDirectory() + "Plugin.KES";
  if (platform::FileExists(plugins)) {
    TLoad loader;
    try {
      loader.FileName = plugins;
      loader.DoIt();
      if (TElement* root = loader.Output()) {
        root->SetName("PLUGIN");
        world->AddElement(root);
      }
    } catch (...) {
      platform::ShowMessage("Chyba inicializace Plug Ins: " + plugins);
    }
  }
  auto* list = DynamicCast<TStringListElement>(world->FindElementByName("PLUGIN"));
  if (!list) return;
  for (int i = 0; i < list->GetCount(); ++i) {
    const std::string name = ItemText(*list, i);
    const std::string path = ResolveFileName(GetExeDirectory(), name);
    std::string error;
    if (!platform::FileExists(path)) Log("Plug-In file: " + name + " not found!");
    else if (!platform::LoadPackage(path, error)) Log("Plug-In file: " + name + " not loaded: " + error);
  }
}

void TOldMainTool::RunStartScripts() {}

void TOldMainTool::RunCompanionProgram() {
  const std::string folder = GetExeDirectory();
  platform::SetCurrentDir(folder);
  // The companion may be missing: the program goes on without it.
  platform::StartDetached(folder + kCompanionProgram, {ProgramFile(), "1"});
}

void TOldMainTool::ShowTextMessage(TKestuMessage* message) {
  auto* device = static_cast<TMemoFormDevice*>(messageDevice_.Get());
  if (!device) {
    device = new TMemoFormDevice;
    AddElement(device);
    messageDevice_.Set(device);
  }
  auto* text = DynamicCast<TKestuTextMessage>(message);
  if (text && !text->Text.empty()) {
    device->WriteLine(text->Text);
    // Nobody reads the window of a run without a person.
    platform::LogUnattended(text->Text);
  }
}

void TOldMainTool::MonitorFinished(TKestuMessage* message) {
  TElement* sender = message->Sender();
  if (DynamicCast<TMemoFormDevice>(sender) || messageDevice_.IsDangling()) messageDevice_.Set(nullptr);
  // A monitor that took up a new batch before its finish arrived still shows that batch.
  TProgressMonitor* monitor = ProgressMonitor();
  if ((monitor && sender == monitor && monitor->MonitorCount() == 0) || progressMonitor_.IsDangling())
    progressMonitor_.Set(nullptr);
}

void TOldMainTool::InitAfterMainForm() {}

TMemoFormDevice* TOldMainTool::MessageDevice() const {
  return static_cast<TMemoFormDevice*>(messageDevice_.Get());
}

TProgressMonitor* TOldMainTool::ProgressMonitor() const {
  return static_cast<TProgressMonitor*>(progressMonitor_.Get());
}

TProgressMonitor* TOldMainTool::EnsureProgressMonitor() {
  if (TProgressMonitor* monitor = ProgressMonitor()) return monitor;
  auto* monitor = new TProgressMonitor;
  AddTool(monitor);
  progressMonitor_.Set(monitor);
  return monitor;
}

std::vector<std::string> TOldMainTool::MessageLines() const {
  std::vector<std::string> lines;
  TMemoFormDevice* device = MessageDevice();
  if (!device || !device->Window()) return lines;
  const std::string text = device->Window()->Window().Text("RichEdit");
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size() && text.substr(start) != " ") lines.push_back(text.substr(start));
  return lines;
}

// ---------------------------------------------------------------- the main tool

TMainTool::TMainTool() { GetOptions()->DataDirectory = platform::GetCurrentDir(); }

void TMainTool::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TOldMainTool::ReceiveMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case msgOpenGraphicWindow: OpenGraphicWindow(message); break;
    case msgOpenExplorer: OpenExplorer(message); break;
    case msgOpenOwnersExplorer: OpenOwnersExplorer(message); break;
    case msgStatusText: ShowStatusText(message); break;
    case msgOpenPropertyEditor: OpenPropertyEditor(message); break;
    case msgOpenCommandLine: OpenCommandLineDialog(message); break;
    case msgOpenWizardFile: OpenWizardFile(message); break;
    case 90: HandleMessage90(message); break;
    case 91: HandleMessage91(message); break;
    case msgRunScript: RunScriptMessage(message); break;
    case msgExportWizard: ExportWizardToBlocks(message); break;
    default: return;  // msgStartUpDone and codes nobody knows stay unhandled
  }
  handled = true;
}

void TMainTool::DoIt() {
  GetOptions()->DataDirectory = platform::GetCurrentDir();
  TOldMainTool::DoIt();
  platform::Application::Instance().ProcessMessages();
  PostMessage(msgStartUpDone, this, nullptr, false);
  SetText("Inicializace O.K.");
}

void TMainTool::Close() {
  StartUpStep([this] { SaveOptions(); });
  TOldMainTool::Close();
}

void TMainTool::LoadOptions() { TOldMainTool::LoadOptions(); }

void TMainTool::SaveOptions() { TOldMainTool::SaveOptions(); }

void TMainTool::InitBeforeMainForm() { LoadOptions(); }

TOptions* TMainTool::GetOptions() {
  if (auto* options = static_cast<TOptions*>(options_.Get())) return options;
  auto* options = new TOptions;
  options->SetName("Options");
  SetLinkedElement(options_, options);
  return options;
}

void TMainTool::SetOptions(TOptions* options) {
  if (options == options_.Get()) return;
  SetLinkedElement(options_, options);
}

void TMainTool::RunStartScripts() {
  SetText("Kontrola Parametrů");
  const std::string argument = FirstArgumentWithExt(".OIL");
  std::string script;
  if (!argument.empty() && platform::FileExists(argument)) {
    // The argument was typed where the program started: it is found there,
    // so it is run from there, not from the program's folder.
    script = std::filesystem::absolute(argument).lexically_normal().string();
  } else if (!argument.empty() && platform::Unattended()) {
    // A person at the window runs the options' script instead; a run
    // without one would do other work than it was given, and never end.
    Log("Skriptový soubor " + argument + " nenalezen !");
    return EndUnattendedRun();
  } else {
    script = GetOptions()->StartScript;
  }
  RunStartScript(script);
  // The start script is what ends a run without a person: missing, it has
  // been reported, and nobody would ever close the window.
  if (platform::Unattended() && !script.empty() && !platform::FileExists(ResolveFileName(GetExeDirectory(), script)))
    return EndUnattendedRun();
  SetText("Inicializace registru KESTU");
  // An empty folder is no folder: it never means the root.
  const std::string& folder = GetOptions()->ScriptDirectory;
  if (folder.empty()) return;
  const std::string directory = platform::IncludeTrailingPathDelimiter(SlashPath(folder));
  for (const char* name : {"SysReg.Oil", "Model.Oil"})
    if (platform::FileExists(directory + name)) RunStartScript(directory + name);
}

void TMainTool::RunStartScript(const std::string& fileName) {
  if (!RunScriptFile(fileName)) NoteRunFailure(kStartScriptFailed);
}

void TMainTool::EndUnattendedRun() {
  NoteRunFailure(kStartScriptFailed);
  platform::Application::Instance().Terminate();
}

TTool* TMainTool::CommandLine() {
  if (auto* existing = static_cast<TTool*>(commandLine_.Get())) return existing;
  TClass cls = FindKestuClass("TCommandLine");
  if (!cls || !cls->InheritsFrom(TTool::StaticClass())) return nullptr;
  auto* interpreter = static_cast<TTool*>(NewElement(cls));
  if (!interpreter) return nullptr;
  interpreter->SetName("Hlavní interpret jazyka OIL");
  AddTool(interpreter);
  commandLine_.Set(interpreter);
  return interpreter;
}

void TMainTool::SetCommandLine(TTool* commandLine) {
  auto* current = static_cast<TTool*>(commandLine_.Get());
  if (current == commandLine) return;
  // Freeing the interpreter under its own running line would pull the line
  // away under it.
  if (auto* running = DynamicCast<TCommandLine>(current); running && running->Running())
    throw std::runtime_error("Interpret nelze vyměnit, dokud běží jeho skript");
  if (current) FreeTool(current);
  commandLine_.Set(commandLine);
  if (commandLine) AddTool(commandLine);
}

void TMainTool::ExecuteScript(const std::string& fileName) { RunScriptFile(fileName); }

int TMainTool::ExitStatus() const {
  const TWorld* world = World();
  const bool blockFailed = world && world->FailedWork(TFailedWork::Block) > 0;
  const bool optionsFailed = world && world->FailedWork(TFailedWork::Options) > 0;
  return exitStatus_ | (blockFailed ? kExportIncomplete : 0) | (optionsFailed ? kStartScriptFailed : 0);
}

bool TMainTool::RunScriptFile(const std::string& fileName) {
  if (fileName.empty()) return true;
  const std::string path = ResolveFileName(GetExeDirectory(), fileName);
  TTool* interpreter = CommandLine();
  if (!interpreter) {
    Log("Skript " + path + " nebyl spuštěn: program nemá interpret příkazového jazyka");
    return false;
  }
  // Set from a running script, the script goes on after the other one: that
  // one runs with an interpreter of its own.
  auto* commandLine = DynamicCast<TCommandLine>(interpreter);
  if (commandLine && commandLine->Running()) {
    TCommandLine* caller = TCommandLine::Innermost();
    if (!caller) caller = commandLine;
    caller->CallScript("", path);
    return !caller->Failed();
  }
  interpreter->SetPropertyText("FileName", path);
  interpreter->DoIt();
  return !commandLine || !commandLine->Failed();
}

std::string TMainTool::Text() const {
  if (TMainForm* form = MainForm()) return form->StatusText();
  return statusText_;
}

void TMainTool::SetText(const std::string& text) {
  statusText_ = text;
  if (TMainForm* form = MainForm()) form->SetStatusText(text);
}

void TMainTool::HandleMessage90(TKestuMessage*) {}
void TMainTool::HandleMessage91(TKestuMessage*) {}

TTool* TMainTool::RunToolByClassName(const std::string& className, TElement* input) {
  auto* tool = DynamicCast<TTool>(CreateElementByClassName(className));
  if (!tool) return nullptr;
  AddTool(tool);
  tool->SetInput(input);
  return tool;
}

void TMainTool::OpenGraphicWindow(TKestuMessage* message) {
  auto* manager = DynamicCast<TTool>(CreateElementByClassName("TFormToolManager"));
  if (!manager) return;
  if (auto* creator = DynamicCast<TTool>(CreateElementByClassName("TUniversalLumarScriptCreator"))) {
    creator->DoIt();
    SetObjectPropByName(*manager, "InterpretScript", creator->Output());
    TElement* freed = creator;
    FreeAndNil(freed);
  }
  manager->SetPropertyText("PageColor", std::to_string(message->Data() ? 0xC0C0C0 : 0xFFFFFF));
  manager->SetInput(message->Data());
  AddTool(manager);
  manager->DoIt();
}

void TMainTool::OpenExplorer(TKestuMessage* message) {
  if (TTool* explorer = RunToolByClassName("TExplorer", message->Data())) explorer->DoIt();
}

void TMainTool::OpenOwnersExplorer(TKestuMessage* message) {
  TTool* explorer = RunToolByClassName("TExplorer", message->Data());
  if (!explorer) return;
  explorer->SetPropertyText("ShowOwners", "True");
  explorer->SetPropertyText("Caption", "Model vlastníků");
  explorer->DoIt();
}

void TMainTool::OpenCommandLineDialog(TKestuMessage* message) {
  auto* console = DynamicCast<TTool>(CreateElementByClassName("TCommandLineDlg"));
  if (!console) return;
  AddTool(console);
  TElement* root = message->Data() ? message->Data() : World();
  SetObjectPropByName(*console, "RootElement", root);
  console->DoIt();
}

void TMainTool::OpenPropertyEditor(TKestuMessage* message) {
  if (TTool* editor = RunToolByClassName("TObjectPropertyEditor", message->Data())) editor->DoIt();
}

void TMainTool::ShowStatusText(TKestuMessage* message) {
  if (auto* text = DynamicCast<TKestuTextMessage>(message)) SetText(text->Text);
}

void TMainTool::EditColorTable() { ::EditColorTable(); }

void TMainTool::RunScriptMessage(TKestuMessage* message) {
  if (auto* text = DynamicCast<TKestuTextMessage>(message)) ExecuteScript(text->Text);
}

void TMainTool::OpenWizardFile(TKestuMessage*) {
  platform::FileDialogRequest request = guideDialog_;
  request.Filter = "Průvodce Kartiru (*.KES)|*.kes";
  if (!platform::CurrentDialogs().PromptForFile(request)) return;
  guideDialog_.FileName = request.FileName;
  guideDialog_.InitialDir = std::filesystem::path(request.FileName).parent_path().string();
  LoadGuide(*this, request.FileName);
  if (TMainForm* form = MainForm()) form->GuideOpened(request.FileName);
  PostMessage(msgExportWizard, this, nullptr, false);
}

void TMainTool::ExportWizardToBlocks(TKestuMessage*) {
  // An export that ends by an exception wrote no more than one that fails.
  bool complete = false;
  try {
    complete = ExportGuide(*this, guideDialog_.FileName);
  } catch (...) {
    NoteRunFailure(kExportIncomplete);
    throw;
  }
  if (!complete) NoteRunFailure(kExportIncomplete);
}

// ---------------------------------------------------------------- classes

TClass TOldMainTool::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TOldMainTool>("TOldMainTool", TTechnology::StaticClass(), "T_maintl", {});
  return &info;
}

TClass TMainTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TMainTool>(
      "TMainTool", TOldMainTool::StaticClass(), "MainTool",
      {AccessorProp<TMainTool, TOptions*>(
           "Options", [](const TMainTool& t) { return const_cast<TMainTool&>(t).GetOptions(); },
           [](TMainTool& t, TOptions* o) { t.SetOptions(o); }),
       AccessorProp<TMainTool, TTool*>(
           "CommandLine", [](const TMainTool& t) { return const_cast<TMainTool&>(t).CommandLine(); },
           [](TMainTool& t, TTool* c) { t.SetCommandLine(c); }),
       AccessorProp<TMainTool, std::string>("ExecuteScript", nullptr,
                                            [](TMainTool& t, std::string f) { t.ExecuteScript(f); }),
       AccessorProp<TMainTool, std::string>(
           "Text", [](const TMainTool& t) { return t.Text(); }, [](TMainTool& t, std::string s) { t.SetText(s); }),
       ReadWriteProp("ActualAction", &TMainTool::ActualAction, &TMainTool::SetActualAction),
       FieldProp("MinProgress", &TMainTool::MinProgress), FieldProp("MaxProgress", &TMainTool::MaxProgress),
       FieldProp("Progress", &TMainTool::Progress), FieldProp("ProgressVisible", &TMainTool::ProgressVisible),
       FieldProp("NewImage", &TMainTool::NewImage),
       FieldProp("ActualActionVisible", &TMainTool::ActualActionVisible),
       FieldProp("ActualActionScript", &TMainTool::ActualActionScript),
       FieldProp("ActualActionImageIndex", &TMainTool::ActualActionImageIndex),
       FieldProp("ActualActionCaption", &TMainTool::ActualActionCaption),
       FieldProp("ActualActionHint", &TMainTool::ActualActionHint),
       FieldProp("ImageHeight", &TMainTool::ImageHeight), FieldProp("ImageWidth", &TMainTool::ImageWidth),
       FieldProp("ShowActionCaptions", &TMainTool::ShowActionCaptions)});
  return &info;
}

void RegisterMainToolClasses() {
  RegisterKestuClass(TOldMainTool::StaticClass());
  RegisterKestuClass(TMainTool::StaticClass());
}
