#include "app/startup/main_tool.h"

#include <gmock/gmock.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "app/command_line/command_line.h"
#include "app/console/command_line_dlg.h"
#include "app/monitors/progress_monitor.h"
#include "app/options/options.h"
#include "app/windows/main_form.h"
#include "framework/core/class_registry.h"
#include "framework/tools/system_register.h"
#include "framework/values/typed_values.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/ini_file.h"
#include "render/devices/device.h"
#include "render/palette/library_paths.h"
#include "spatial/geometry/page.h"
#include "tests/app/shell_fixture.h"
#include "tests/render/render_fixture.h"

namespace {

// What the stand-ins of the tools the main tool makes by class name saw.
std::vector<std::string>& Seen() {
  static std::vector<std::string> seen;
  return seen;
}

std::string NameOrNil(TElement* element) { return element ? element->GetName() : "nil"; }

constexpr char kEditor[] = "TObjectPropertyEditor";
constexpr char kConsole[] = "TCommandLineDlg";
constexpr char kManager[] = "TFormToolManager";
constexpr char kInterpreter[] = "TScriptRecorder";

// A tool the main tool makes by class name: notes its run, its input and what it was given.  The interpreter notes
// the file it runs.
template <const char* Name>
class TStandIn : public TTool {
 public:
  static TClass StaticClass() {
    static const TClassInfo info = DescribeClass<TStandIn>(
        Name, TTool::StaticClass(), "MainToolTest",
        {FieldProp("FileName", &TStandIn::FileName),
         AccessorProp<TStandIn, TElement*>("RootElement", nullptr,
                                           [](TStandIn& t, TElement* e) { t.given += " root " + NameOrNil(e); })});
    return &info;
  }
  TClass ClassType() const override { return StaticClass(); }
  void DoIt() override {
    if (Name == kInterpreter) return Seen().push_back("script " + FileName);
    std::string line = std::string(Name) + " " + NameOrNil(Input());
    Seen().push_back(line + given);
  }
  std::string FileName, given;
};

// The main tool, noting every status text it shows; a start-up step may fail, and the handler of code 70 does.
class TNotingMainTool : public TMainTool {
  KESTX_CLASS(TNotingMainTool)
 public:
  std::vector<std::string> states;
  bool failAfterMainForm = false;
  void SetText(const std::string& text) override {
    states.push_back(text);
    TMainTool::SetText(text);
  }
  void InitAfterMainForm() override {
    if (failAfterMainForm) throw std::runtime_error("Chyba po hlavním okně");
  }
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (message->Message == 70) throw std::runtime_error("Soubor nelze otevřít");
    TMainTool::ReceiveMessage(message, handled);
  }
};

// Work that fails on its own and tells nobody but the world, as a print run
// does: when run, or when a message of code 500 reaches it.
class TFailingWork : public TTool {
 public:
  static TClass StaticClass() {
    static const TClassInfo info = DescribeClass<TFailingWork>("TFailingWork", TTool::StaticClass(), "MainToolTest", {});
    return &info;
  }
  TClass ClassType() const override { return StaticClass(); }
  void DoIt() override { NoteFailedWork(TFailedWork::Print); }
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    TTool::ReceiveMessage(message, handled);
    if (handled || message->Message != 500) return;
    handled = true;
    NoteFailedWork(TFailedWork::Print);
  }
};

}  // namespace

TClass TNotingMainTool::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TNotingMainTool>("TNotingMainTool", TMainTool::StaticClass(), "MainToolTest", {});
  return &info;
}

namespace {

class MainToolTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    Seen().clear();
    // The real property editor is registered with the program's classes: a
    // stand-in of the same name would make the look-up by name a matter of
    // luck.
    for (TClass cls : {TStandIn<kEditor>::StaticClass(), TStandIn<kConsole>::StaticClass(), TFailingWork::StaticClass()})
      if (!FindKestuClass(cls->ClassName)) RegisterKestuClass(cls);
    main = static_cast<TNotingMainTool*>(TOldMainTool::Create(TNotingMainTool::StaticClass()));
  }
  // Starts the program with an interpreter that notes the scripts it runs.
  void StartWithScripts() {
    main->SetCommandLine(new TStandIn<kInterpreter>);
    main->DoIt();
    RunMessages();
  }
  TOptions& Options() { return *main->GetOptions(); }
  TNotingMainTool* main = nullptr;
};

TEST_F(MainToolTest, OnlyAMainToolClassMakesTheOneWorldWhoseHooksShowErrorsAndOutliveIt) {
  TWorld* world = World();
  ASSERT_NE(world, nullptr);
  EXPECT_EQ(std::tuple(world->MainTool(), TOldMainTool::Create(TTechnology::StaticClass()),
                       TOldMainTool::Create(nullptr)),
            std::tuple(main, nullptr, nullptr));
  EXPECT_EQ(World(), world);
  main->PostMessage(70, main, nullptr, false);
  PostTextMessage(nullptr, msgLogText, "okno", nullptr);
  RunMessages();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"World Level Error :Soubor nelze otevřít"}));
  EXPECT_EQ(main->MessageLines(), (std::vector<std::string>{"okno"})) << "the program went on";
  TElementLink mainLink(main), deviceLink(main->MessageDevice());
  delete World();
  EXPECT_EQ(std::tuple(World(), mainLink.Get(), deviceLink.Get()), std::tuple(nullptr, nullptr, nullptr));
  TOldMainTool keeper;  // receives only what is addressed to it
  PostTextMessage(nullptr, msgLogText, "nikomu", nullptr);
  PostTextMessage(nullptr, msgLogText, "správci", &keeper);
  RunMessages();
  EXPECT_EQ(keeper.MessageLines(), (std::vector<std::string>{"správci"}));
  EXPECT_EQ(platform::Application::Instance().PendingCount(), 0u);
}

// Freeing a long list lets the queue run, also while the world itself is
// freed: what is delivered then reaches its receiver or nobody, never the
// world half gone.
TEST_F(MainToolTest, MessagesDeliveredWhileTheWorldIsFreedPassItBy) {
  TEntity* model = World()->ObjectModel();
  for (int i = 0; i < 201; ++i) model->AddElement(new TNameElement);
  TOldMainTool keeper;
  PostTextMessage(nullptr, msgLogText, "nikomu", nullptr);
  PostTextMessage(nullptr, msgLogText, "správci", &keeper);
  delete World();
  EXPECT_EQ(keeper.MessageLines(), (std::vector<std::string>{"správci"}));
  EXPECT_EQ(platform::Application::Instance().PendingCount(), 0u);
}

TEST_F(MainToolTest, StartUpReadsTheOptionsOpensTheWindowRunsTheStartScriptAndShowsItsStatesInOrder) {
  platform::SetAttended();  // a person starts it: a missing argument is passed over
  WriteCp1250File(File("lesy.ini"), "[Options]\r\nExport_25=True\r\nStartScript=start.oil\r\n");
  WriteCp1250File(File("start.oil"), "; z přípravy\r\nObjectModel.CREATEELEMENT(OwnerEntity, 'ze skriptu')\r\n");
  WriteCp1250File(File("druhy.ini"), "[Options]\r\nExport_50=True\r\n");
  SetProgramArguments({"a.oil", File("lesy.ini"), File("druhy.ini")});
  main->DoIt();
  RunMessages();
  EXPECT_EQ(main->states, (std::vector<std::string>{"Kontrola Parametrů", "Inicializace registru KESTU",
                                                    "Inicializace Plug - Ins", "Inicializace O.K."}));
  ASSERT_NE(main->MainForm(), nullptr);
  EXPECT_EQ(std::tuple(main->MainForm()->StatusText(), main->MainForm()->CanClose()),
            std::tuple("Inicializace O.K.", false));
  EXPECT_TRUE(main->MainForm()->Window().Visible()) << "the main window shows";
  EXPECT_EQ(std::tuple(main->IniFileName(), Options().Export_25, Options().Export_50, Options().DataDirectory),
            std::tuple(File("lesy.ini"), true, false, platform::GetCurrentDir()))
      << "the first .INI argument only";
  EXPECT_NE(World()->ObjectModel()->FindElementByName("ze skriptu"), nullptr);
  EXPECT_EQ(NameOrNil(main->CommandLine()), "Hlavní interpret jazyka OIL");
  EXPECT_EQ(main->MessageLines().size() + Boxes().size(), 0u) << "nothing skipped";
}

TEST_F(MainToolTest, TheProgramFileComesFromTheSystemAndTheIniFileLiesBesideItUnlessAnArgumentNamesOne) {
  SetProgramFile("");
  SetProgramArguments({"kestx", "relativni/kestx"});
  EXPECT_EQ(std::tuple(ProgramFile().front(), platform::ExtractFileName(ProgramFile())), std::tuple('/', "test_app"));
  EXPECT_EQ(main->IniFileName(), main->GetExeDirectory() + "test_app.INI");
  SetProgramFile(File("kestx"));
  SetProgramArguments({File("neni.ini")});
  EXPECT_EQ(std::tuple(main->IniFileName(), main->GetExeDirectory()), std::tuple(Ini(), folder.Path() + "/"));
  WriteCp1250File(Ini(), "[Options]\r\nDataDirectory=/data/lesy\r\n");
  main->DoIt();
  EXPECT_EQ(Options().DataDirectory, "/data/lesy") << "the INI wins over the current folder";
  EXPECT_EQ(StrokeFontDirectory(), folder.Path()) << "the text fonts lie beside the program";
  SetStrokeFontDirectory("");
}

TEST_F(MainToolTest, StartScriptsComeFromTheFirstOilArgumentOrTheOptionThenTheScriptFolder) {
  platform::SetAttended();  // a person starts it: a missing argument is passed over
  std::filesystem::create_directories(File("skripty"));
  for (const char* name :
       {"prvni.oil", "druhy.OIL", "start.oil", "skripty/SysReg.Oil", "skripty/Model.Oil", "skripty/mistni.oil"})
    WriteCp1250File(File(name), "");
  // The program's arguments, the options StartScript and ScriptDirectory; the scripts run.
  using Scripts = std::vector<std::string>;
  const std::tuple<const char*, Scripts, std::string, std::string, Scripts> cases[] = {
      {"only the first .OIL argument", {File("prvni.oil"), File("druhy.OIL")}, "start.oil", "",
       {"script " + File("prvni.oil")}},
      {"an argument is run from where it was found", {"mistni.oil"}, "", "", {"script " + File("skripty/mistni.oil")}},
      {"a missing argument gives the option, taken in the program's folder",
       {File("chybi.oil")}, "start.oil", "", {"script " + File("start.oil")}},
      {"stored backslashes are read as the delimiter", {}, "", folder.Path() + "\\skripty",
       {"script " + File("skripty/SysReg.Oil"), "script " + File("skripty/Model.Oil")}},
      {"an empty script folder is neither the root nor the current folder", {}, "", "", {}},
  };
  const std::string current = platform::GetCurrentDir();
  platform::SetCurrentDir(File("skripty"));
  for (const auto& [name, arguments, startScript, scriptDirectory, scripts] : cases) {
    Seen().clear();
    SetProgramArguments(arguments);
    WriteCp1250File(Ini(),
                    "[Options]\r\nStartScript=" + startScript + "\r\nScriptDirectory=" + scriptDirectory + "\r\n");
    StartWithScripts();
    EXPECT_EQ(Seen(), scripts) << name;
    EXPECT_EQ(Options().ScriptDirectory, scriptDirectory) << name << ": kept as written";
  }
  platform::SetCurrentDir(current);
}

TEST_F(MainToolTest, QuitSavesTheOptionsFirstAndOnlyYesEndsTheProgram) {
  WriteCp1250File(Ini(), "[Jiné]\r\nKlíč=hodnota\r\n");
  main->DoIt();
  const std::pair<int, bool> cases[] = {{platform::mrNo, false}, {platform::mrCancel, false}, {platform::mrYes, true}};
  for (const auto& [answer, ends] : cases) {
    WriteCp1250File(Ini(), "[Jiné]\r\nKlíč=hodnota\r\n");
    Options().Export_10 = true;
    dialogs.Answers.push_back(answer);
    // The window's close box asks the main tool instead of closing.
    EXPECT_FALSE(platform::UserCloseWindow(main->MainForm()->Window())) << answer;
    RunMessages();
    EXPECT_EQ(std::tuple(Boxes().back(), dialogs.Messages.back().Buttons),
              std::tuple("Opravdu ukončit aplikaci ?", platform::mbYes | platform::mbNo | platform::mbCancel));
    const platform::TIniFile ini(Ini());  // the options written before the question, the rest kept
    EXPECT_EQ(std::tuple(ini.ReadString("Options", "Export_10", "?"), ini.ReadString("Jiné", "Klíč", "?"),
                         platform::Application::Instance().Terminating()),
              std::tuple("True", "hodnota", ends)) << answer;
  }
  platform::Application::Instance().Run(0, nullptr);  // the loop ends at once on the request
  EXPECT_FALSE(platform::Application::Instance().Terminating());
}

TEST_F(MainToolTest, EveryCodeOfTheTableReachesItsHandler) {
  StartWithScripts();
  TWorld* world = World();
  auto* data = Named("Les", world->ObjectModel());
  // The code, its data and text; what the tools made saw, whether the main tool handled it.
  const std::tuple<int, TElement*, std::string, std::vector<std::string>, bool> cases[] = {
      {msgOpenGraphicWindow, data, "", {}, true},
      {msgOpenGraphicWindow, nullptr, "", {}, true},
      {msgOpenPropertyEditor, data, "", {}, true},
      {msgOpenCommandLine, data, "", {}, true},
      {msgRunScript, nullptr, "dalsi.oil", {"script " + File("dalsi.oil")}, true},
      {msgRunScript, nullptr, "/jinde/skript.oil", {"script /jinde/skript.oil"}, true},
      {msgOpenExplorer, data, "", {}, true},
      {msgOpenOwnersExplorer, data, "", {}, true},
      {msgStatusText, nullptr, "Stav", {}, true},
      {msgStartUpDone, nullptr, "", {}, false},
      {12345, nullptr, "", {}, false},
  };
  for (const auto& [code, data, text, seen, handled] : cases) {
    Seen().clear();
    TKestuTextMessage message(code, nullptr, main, data, false);
    message.Text = text;
    TKestuMessage* delivered = &message;
    bool taken = false;
    main->ReceiveMessage(delivered, taken);
    EXPECT_EQ(std::tuple(Seen(), taken), std::tuple(seen, handled)) << "code " << code;
  }
  EXPECT_EQ(std::tuple(main->Text(), Boxes().size()), std::tuple("Stav", 0ul));
  // The explorers are sub-tools on the element, the second one on its owners.
  std::vector<std::string> explorers;
  for (int i = 0; i < main->ToolCount(); ++i)
    if (TTool* tool = main->GetTool(i); tool && tool->ClassName() == "TExplorer")
      explorers.push_back(NameOrNil(tool->Input()) + " " + tool->GetPropertyText("ShowOwners") + " " +
                          tool->GetPropertyText("Caption"));
  EXPECT_EQ(explorers, (std::vector<std::string>{"Les False Prohlížeč modelu", "Les True Model vlastníků"}));
  // Code 58 made the property editor, a sub-tool showing the element.
  std::vector<std::string> editors;
  for (int i = 0; i < main->ToolCount(); ++i)
    if (TTool* tool = main->GetTool(i); tool && tool->ClassName() == kEditor)
      editors.push_back(NameOrNil(tool->Input()) + " " + tool->GetPropertyText("Caption"));
  EXPECT_EQ(editors, std::vector<std::string>{"Les Properties"});
  // Code 73 made the script console, a sub-tool shown on the element.
  std::vector<std::string> consoles;
  for (int i = 0; i < main->ToolCount(); ++i)
    if (auto* console = DynamicCast<TCommandLineDlg>(main->GetTool(i)))
      consoles.push_back(NameOrNil(console->RootElement()) + (console->Window().Visible() ? " shown" : " hidden"));
  EXPECT_EQ(consoles, std::vector<std::string>{"Les shown"});
  // The first process to start makes the progress monitor, which shows it.
  TProgressMessage start(msgProgressStart, data, main, nullptr, false);
  start.ProcessName = "Export";
  TKestuMessage* delivered = &start;
  bool taken = false;
  main->ReceiveMessage(delivered, taken);
  ASSERT_NE(main->ProgressMonitor(), nullptr);
  EXPECT_EQ(main->ProgressMonitor()->MonitorCount(), 1);
  // The graphic windows: a grey page on the element (inside the window's envelope), a white one without, each
  // with the script the real creator made.
  std::vector<std::string> windows;
  for (int i = 0; i < main->ToolCount(); ++i) {
    TTool* tool = main->GetTool(i);
    if (!tool || tool->ClassName() != kManager) continue;
    auto* envelope = DynamicCast<TEntity>(tool->Input());
    auto* script = DynamicCast<TElement>(GetObjectPropByName(*tool, "InterpretScript"));
    windows.push_back(tool->GetPropertyText("PageColor") + " " +
                      NameOrNil(envelope && envelope->GetCount() ? envelope->GetElement(0) : nullptr) + " " +
                      NameOrNil(script));
  }
  EXPECT_EQ(windows, (std::vector<std::string>{"12632256 Les Interpret Script", "16777215 nil Interpret Script"}));
}

TEST_F(MainToolTest, AFailingStartUpStepGivesItsBoxAndTheStartUpGoesOn) {
  // Whether a step raises, the plug-in file's text; the box shown.
  const std::tuple<const char*, bool, const char*, std::string> cases[] = {
      {"a step raises", true, nullptr, "World Level Error :Chyba po hlavním okně"},
      {"a broken plug-in file", false, "není KES", "Chyba inicializace Plug Ins: " + File("Plugin.KES")}};
  for (const auto& [name, stepRaises, pluginFile, box] : cases) {
    dialogs.Messages.clear();
    main->states.clear();
    main->failAfterMainForm = stepRaises;
    if (pluginFile) WriteCp1250File(File("Plugin.KES"), pluginFile);
    main->DoIt();
    RunMessages();
    EXPECT_EQ(Boxes(), (std::vector<std::string>{box})) << name;
    EXPECT_EQ(main->states.front() + "|" + main->states.back(), "Kontrola Parametrů|Inicializace O.K.") << name;
  }
}

TEST_F(MainToolTest, PlugInsCursorsAndCompanionAreFoundBesideTheProgramFailuresLoggedOrSilentInAWindowThatReopens) {
  WriteCp1250File(File("neni_knihovna.so"), "text");
  auto* plugins = Named<TStringListElement>("PLUGIN", World());
  plugins->NextValue("chybi.so");
  plugins->NextValue("neni_knihovna.so");
  TStringListElement* cursors = World()->SystemRegister()->Cursors();
  platform::Form image("TAnoNeDialog");
  ASSERT_TRUE(image.SaveImage(File("a.png")));
  ASSERT_TRUE(image.SaveImage(File("c.png")));
  cursors->NextValue("a.png");
  cursors->NextValue("b.png");
  cursors->NextValue(File("c.png"));
  main->DoIt();
  RunMessages();
  const std::vector<std::string> lines = main->MessageLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Plug-In file: chybi.so not found!");
  EXPECT_EQ(lines[1].rfind("Plug-In file: neni_knihovna.so not loaded: ", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2], "Cursor file: b.png not found");
  for (int cursor : {1, 2, 3}) EXPECT_EQ(platform::ScreenCursorLoaded(cursor), cursor != 2) << cursor;
  // The companion program is missing: nothing is said.
  const std::string current = platform::GetCurrentDir();
  main->PostMessage(msgCompanionProgram, main, nullptr, false);
  RunMessages();
  EXPECT_EQ(platform::GetCurrentDir(), folder.Path()) << "started in the program's folder";
  platform::SetCurrentDir(current);
  EXPECT_EQ(std::tuple(main->MessageLines().size(), Boxes().size()), std::tuple(3ul, 0ul));
  // Log lines open their window again after it ended; an empty text is no line.
  dialogs.FileAnswers.push_back("");  // the save question's dialog is cancelled
  EXPECT_TRUE(platform::UserCloseWindow(main->MessageDevice()->Window()->Window()));
  RunMessages();
  EXPECT_EQ(main->MessageDevice(), nullptr);
  PostTextMessage(nullptr, msgLogText, "druhá", nullptr);
  PostTextMessage(nullptr, msgLogText, "", nullptr);
  RunMessages();
  EXPECT_EQ(main->MessageLines(), (std::vector<std::string>{"druhá"}));
}

TEST_F(MainToolTest, TheActionIsAtMostFourAndNewOptionsFreeTheOld) {
  main->SetPropertyText("ActualAction", "9");
  EXPECT_EQ(main->GetPropertyText("ActualAction"), "4");
  auto* options = new TOptions;
  main->SetPropertyText("Options", Handle(options));
  EXPECT_EQ(main->GetOptions(), options);
  EXPECT_EQ(main->FindElementByClass(TOptions::StaticClass()), options) << "the old options were freed";
}

TEST_F(MainToolTest, AScriptThatRunsAnotherGoesOnAfterItAndCannotReplaceItsOwnInterpreter) {
  WriteCp1250File(File("druhy.oil"), "ObjectModel.CREATEELEMENT(OwnerEntity, druhy)\r\n");
  WriteCp1250File(File("prvni.oil"),
                  "ObjectModel.CREATEELEMENT(OwnerEntity, prvni)\r\n"
                  "MainTool.ExecuteScript = 'druhy.oil'\r\n"
                  "MainTool.CommandLine = CREATE(CommandLine, jiny)\r\n"
                  "ObjectModel.CREATEELEMENT(OwnerEntity, treti)\r\n");
  TTool* interpreter = main->CommandLine();
  main->ExecuteScript(File("prvni.oil"));
  std::vector<std::string> names;
  TObjectModel* model = World()->ObjectModel();
  for (int i = 0; i < model->GetCount(); ++i) names.push_back(model->GetElement(i)->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"prvni", "druhy", "treti"}));
  EXPECT_EQ(main->CommandLine(), interpreter);
  EXPECT_THAT(Boxes(), ::testing::ElementsAre(::testing::StartsWith("Interpret nelze vyměnit, dokud běží jeho skript")));
  // Once the script has ended the interpreter may be replaced.
  auto* other = new TCommandLine;
  main->SetCommandLine(other);
  EXPECT_EQ(main->CommandLine(), other);
}

TEST_F(MainToolTest, AFailedStartScriptAndAnIncompleteExportShowInTheExitStatus) {
  WriteCp1250File(File("spatny.oil"), "Nic.Name\r\n");
  const std::string exportLines = "E:TKestuMessage = CREATE(KestuMessage, 'export')\r\nE.PostIt = '100'\r\n";
  struct Row {
    const char* name;
    const char* script;  // nullptr: the start script is missing
    std::string lines;
    int status;
  };
  const Row rows[] = {
      {"every line runs", "start.oil", "ObjectModel.Name\r\n", 0},
      {"a line fails", "start.oil", "Nic.Name\r\nObjectModel.Name\r\n", kStartScriptFailed},
      {"a script it calls fails", "start.oil", "CALL('spatny.oil')\r\nObjectModel.Name\r\n", kStartScriptFailed},
      {"the start script is missing", nullptr, "", kStartScriptFailed},
      {"the export finds no guide", "start.oil", exportLines, kExportIncomplete},
      {"both", "start.oil", "Nic.Name\r\n" + exportLines, kStartScriptFailed | kExportIncomplete},
      // The line fails, and the block counts whoever ran its export.
      {"a line's export cannot write its block", "start.oil",
       "E:TExportLinesToLumar = CREATE(ExportLinesToLumar, 'e')\r\nE.BlockName = '" + File("spatny.oil") +
           "'\r\nE.Input = ObjectModel\r\nE.DOIT()\r\n",
       kStartScriptFailed | kExportIncomplete},
      {"work a line runs fails on its own", "start.oil", "FailingWork()\r\nObjectModel.Name\r\n",
       kStartScriptFailed},
      {"work fails on its own while the messages after a line run", "start.oil",
       "F:TFailingWork = CREATE(FailingWork, 'f')\r\nM:TKestuMessage = CREATE(KestuMessage, 'm')\r\n"
       "M.Receiver = F\r\nM.PostIt = '500'\r\n",
       kStartScriptFailed},
  };
  for (const Row& row : rows) {
    delete World();
    main = static_cast<TNotingMainTool*>(TOldMainTool::Create(TNotingMainTool::StaticClass()));
    WriteCp1250File(Ini(), std::string("[Options]\r\nStartScript=") + (row.script ? row.script : "chybi.oil") +
                               "\r\nDataDirectory=" + folder.Path() + "\r\n");
    if (row.script) WriteCp1250File(File(row.script), row.lines);
    main->DoIt();
    RunMessages();
    EXPECT_EQ(main->ExitStatus(), row.status) << row.name;
  }
}

TEST_F(MainToolTest, UnattendedEveryLineOfTheMessageWindowAlsoGoesToTheLog) {
  PostTextMessage(nullptr, msgLogText, "Blok /x/50.BLK nebyl zapsán", nullptr);
  PostTextMessage(nullptr, msgLogText, "", nullptr);
  RunMessages();
  EXPECT_EQ(Unattended, (std::vector<std::string>{"Blok /x/50.BLK nebyl zapsán"}));
  EXPECT_EQ(main->MessageLines(), Unattended);
}

TEST_F(MainToolTest, ARelativeIniArgumentKeepsNamingItsFileAfterTheCompanionChangesTheFolder) {
  std::filesystem::create_directories(File("bin"));
  SetProgramFile(File("bin/kestx"));
  WriteCp1250File(File("lesy.ini"), "[Options]\r\nExport_25=True\r\n");
  const std::string current = platform::GetCurrentDir();
  platform::SetCurrentDir(folder.Path());
  SetProgramArguments({"lesy.ini"});
  main->DoIt();
  main->PostMessage(msgCompanionProgram, main, nullptr, false);
  RunMessages();
  const std::string moved = platform::GetCurrentDir();
  platform::SetCurrentDir(current);
  EXPECT_EQ(moved, File("bin"));
  EXPECT_EQ(main->IniFileName(), File("lesy.ini"));
  main->SaveOptions();
  EXPECT_EQ(std::tuple(platform::TIniFile(File("lesy.ini")).ReadString("Options", "StartScript", "?"),
                       platform::FileExists(File("bin/kestx.INI"))),
            std::tuple("", false));
}

// The companion lies beside the program and starts in the program's folder
// with the program's path and "1".
TEST_F(MainToolTest, TheCompanionStartsInTheProgramsFolderWithTheProgramsPathAndOne) {
  std::filesystem::create_directories(File("bin"));
  SetProgramFile(File("bin/kestx"));
  const std::string companion = File("bin/kestuinfo"), started = File("started");
  WriteCp1250File(companion, "#!/bin/sh\nprintf '%s|%s|%s' \"$1\" \"$2\" \"$(pwd)\" > '" + started +
                                 ".tmp'\nmv '" + started + ".tmp' '" + started + "'\n");
  std::filesystem::permissions(companion, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
  const std::string current = platform::GetCurrentDir();
  main->PostMessage(msgCompanionProgram, main, nullptr, false);
  RunMessages();
  platform::SetCurrentDir(current);
  for (int i = 0; i < 400 && !platform::FileExists(started); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(FileBytes(started), File("bin/kestx") + "|1|" + File("bin"));
}

}  // namespace
