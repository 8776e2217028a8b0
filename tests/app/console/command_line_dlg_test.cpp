#include "app/console/command_line_dlg.h"

#include <filesystem>

#include "tests/app/console/console_fixture.h"

namespace {

using platform::UserClick;

std::string FileText(const std::string& fileName) {
  std::string text;
  for (const std::string& line : platform::ReadTextLines(fileName)) text += line + "\n";
  return text;
}

TEST_F(ConsoleTest, RunsTheCommandPaneByButtonOrF9AndShowsTheResultsSortedOrWithoutDuplicatesAsTicked) {
  struct Case {
    const char* name;
    const char* lines;
    bool sort, noDuplicates, byKey;
    std::string shown;
  };
  const Case cases[] = {
      {"the world's name", "WORLD.Name", false, false, false, World()->GetName()},
      {"results as they came", "LES.ELEMENT.Name", false, false, false, "b\na\nb"},
      {"sorted", "LES.ELEMENT.Name", true, false, false, "a\nb\nb"},
      {"sorted without duplicates", "LES.ELEMENT.Name", true, true, false, "a\nb"},
      {"without duplicates, unsorted", "LES.ELEMENT.Name", false, true, false, "b\na"},
      {"F9 in the command pane, the last line's results", "WORLD.Name\nLES.ELEMENT.Name", true, true, true, "a\nb"},
  };
  TCommandLineDlg* console = Open();
  platform::Form& window = console->Window();
  for (const Case& c : cases) {
    window.SetText("CMemo", c.lines);
    window.SetChecked("cb_Sort", c.sort);
    window.SetChecked("cb_NoDup", c.noDuplicates);
    if (c.byKey) platform::UserKeyOn(window, "CMemo", platform::vkF9);
    else UserClick(window, "b_Eval");
    EXPECT_EQ(window.Text("RMemo"), c.shown) << c.name;
  }
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(window.SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/command_line_dlg.png"));
}

// As the main tool makes it: by class name, its root given by the property.
TEST_F(ConsoleTest, ARegisteredToolWhoseRootIsItsInterpretersActiveElement) {
  auto* console = DynamicCast<TCommandLineDlg>(CreateElementByClassName("TCommandLineDlg"));
  ASSERT_NE(console, nullptr);
  keeper->AddTool(console);
  SetObjectPropByName(*console, "RootElement", forest);
  console->DoIt();
  console->Window().SetText("CMemo", "Name");
  UserClick(console->Window(), "b_Eval");
  EXPECT_EQ(std::tuple(console->Window().Visible(), console->Window().Caption(), console->Window().Text("RMemo")),
            std::tuple(true, std::string("O.I.L. Dialog"), std::string("LES")));
  dialogs.Answers = {platform::mrNo};
  CloseBox(console);
}

TEST_F(ConsoleTest, CompilesThePaneIntoTheOneProgramOrShowsTheErrorWithLineAndColumn) {
  struct Case {
    const char* name;
    std::string source;
    std::vector<std::string> boxes;
    int programs;
  };
  std::string sample;
  for (const std::string& line : platform::ReadTextLines(std::string(KESTX_SAMPLES_DIR) + "/console/compile_error.oil"))
    sample += line + "\n";
  const Case cases[] = {
      {"a program", "PROGRAM P; BEGIN END.", {}, 1},
      {"compiled again: still one", "PROGRAM Q; BEGIN END.", {}, 1},
      {"an error on the first line: the old program goes, no new one", "PROGRAM P BEGIN END.",
       {"Očekávám ; 1 11"}, 0},
      {"an error on the second line", "PROGRAM P;\nBEGIN a : INTEGER; a := 1 END.", {"Očekávám ; 2 27"}, 0},
      {"the sample: the semicolon missing before END", sample, {"Očekávám ; 5 1"}, 0},
  };
  TCommandLineDlg* console = Open();
  for (const Case& c : cases) {
    dialogs.Messages.clear();
    console->Window().SetText("CMemo", c.source);
    UserClick(console->Window(), "BitBtn1");
    EXPECT_EQ(std::pair(Boxes(), ProgramCount()), std::pair(c.boxes, c.programs)) << c.name;
  }
}

TEST_F(ConsoleTest, RunsTheProgramOnItsThreadOnceAtATimeAndKeepsItWhileItRuns) {
  TCommandLineDlg* console = Open();
  platform::Form& window = console->Window();
  UserClick(window, "BitBtn2");
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Blbost"}) << "RUN ! before any compile";

  dialogs.Messages.clear();
  window.SetText("CMemo", "PROGRAM P; BEGIN e : TELEMENT := WORLD\\LES; e.Name := 'HOTOVO'; END.");
  UserClick(window, "BitBtn1");
  UserClick(window, "BitBtn2");
  ASSERT_TRUE(RunUntil([] { return !Program()->Running(); }));
  EXPECT_EQ(std::pair(forest->GetName(), Boxes()), std::pair(std::string("HOTOVO"), std::vector<std::string>{}));

  window.SetText("CMemo", "PROGRAM P; BEGIN i : INTEGER; WHILE TRUE DO i := i + 1; END.");
  UserClick(window, "BitBtn1");
  UserClick(window, "BitBtn2");
  TOilProgram* running = Program();
  ASSERT_TRUE(running->Running());
  UserClick(window, "BitBtn2");  // no second run
  window.SetText("CMemo", "PROGRAM R; BEGIN END.");
  UserClick(window, "BitBtn1");  // refused: the running program stays
  EXPECT_EQ(std::tuple(Program(), running->Running(), Boxes()),
            std::tuple(running, true, std::vector<std::string>{"Program PROGRAM ještě běží"}));
  running->StopRun();
}

TEST_F(ConsoleTest, OpensAndSavesInWindows1250AndKeepsTheLastTenFilesAsTheDialogsHistory) {
  std::vector<std::string> files;
  for (int i = 0; i <= 10; ++i) {
    files.push_back(File("s" + std::to_string(i) + ".oil"));
    WriteCp1250File(files.back(), "LES.a.Name = 'Kůň" + std::to_string(i) + "'\r\nLES.ELEMENT.Name\r\n");
  }
  TCommandLineDlg* console = Open();
  platform::Form& window = console->Window();
  for (const std::string& file : files) {
    dialogs.FileAnswers.push_back(file);
    UserClick(window, "b_Open");
  }
  // The first dialog starts beside the program, the next in the last file's folder.
  EXPECT_EQ(std::pair(dialogs.FileDialogs.front().InitialDir, dialogs.FileDialogs.back().InitialDir),
            std::pair(folder.Path() + "/", folder.Path() + "/"));
  EXPECT_EQ(dialogs.FileDialogs.back().History, std::vector(files.begin(), files.end() - 1));
  EXPECT_EQ(dialogs.FileDialogs.back().Filter, "KESTU script (OIL, TXT)|*.OIL;*.TXT");
  EXPECT_EQ(console->RecentFiles(), std::vector(files.begin() + 1, files.end())) << "the oldest dropped";
  EXPECT_EQ(std::tuple(window.Text("CMemo"), window.Caption(), console->Modified()),
            std::tuple(std::string("LES.a.Name = 'Kůň10'\nLES.ELEMENT.Name"), "OIL: " + files.back(), false));

  // Open and run: the sample script's lines run at once.
  const std::string samples = std::string(KESTX_SAMPLES_DIR) + "/console/";
  dialogs.FileAnswers.push_back(samples + "rename_and_list.txt");
  UserClick(window, "b_OpenRun");
  EXPECT_EQ(window.Text("RMemo"), "b\nKůň\nb");

  window.SetText("CMemo", "LES.b.Name = 'Čtvrtý'");
  EXPECT_TRUE(console->Modified());
  const std::string saved = File("nový.oil");
  dialogs.FileAnswers.push_back(saved);
  UserClick(window, "b_Save");
  const platform::FileDialogRequest& request = dialogs.FileDialogs.back();
  EXPECT_EQ(std::tuple(request.Save, request.OverwritePrompt, request.FileName, request.InitialDir),
            std::tuple(true, true, samples + "rename_and_list.txt", samples));
  EXPECT_EQ(FileText(saved), "LES.b.Name = 'Čtvrtý'\n");
  EXPECT_EQ(std::tuple(console->RecentFiles().back(), console->Modified(), window.Caption()),
            std::tuple(saved, false, "OIL: " + saved));
}

TEST_F(ConsoleTest, AsksBeforeClosingOverAModifiedTextAndStaysOpenWhenTheSaveIsCancelled) {
  struct Case {
    const char* name;
    bool modified;
    int answer;            // to the question
    const char* saveAs;    // the save dialog's answer, "" cancels
    bool closed;
    bool saved;
  };
  const Case cases[] = {
      {"unmodified: no question", false, platform::mrYes, "", true, false},
      {"No: closes without saving", true, platform::mrNo, "", true, false},
      {"Yes, the save cancelled: stays open", true, platform::mrYes, "", false, false},
      {"Yes and saved", true, platform::mrYes, "ulozeno.oil", true, true},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(File("ulozeno.oil"));
    dialogs.Messages.clear();
    dialogs.Answers = {c.answer};
    dialogs.FileAnswers = {c.saveAs[0] ? File(c.saveAs) : std::string()};
    TCommandLineDlg* console = Open();
    const TElementLink alive(console);
    if (c.modified) console->Window().SetText("CMemo", "WORLD.Name");
    EXPECT_EQ(CloseBox(console), c.closed) << c.name;
    EXPECT_EQ(alive.Get() == nullptr, c.closed) << c.name << ": the main tool frees a closed console";
    EXPECT_EQ(Boxes().size(), c.modified ? 1u : 0u) << c.name;
    if (c.modified) {
      EXPECT_EQ(Boxes().front(), "Text scriptu byl modifikován ... chcete jej uložit do souboru ?");
    }
    EXPECT_EQ(platform::FileExists(File("ulozeno.oil")), c.saved) << c.name;
    if (!c.closed) {
      dialogs.Answers = {platform::mrNo};
      CloseBox(console);
    }
  }
}

TEST_F(ConsoleTest, KeepsItsPlaceAndRecentFilesInTheProgramsIniFile) {
  WriteCp1250File(Ini(), "[OILFForm]\r\n7=stará\r\nTop=1\r\n[Jiné]\r\nx=1\r\n");
  TCommandLineDlg* console = Open();
  EXPECT_EQ(console->Window().GetBounds().Top, 1);
  const std::string script = File("a.oil");
  WriteCp1250File(script, "WORLD.Name\r\n");
  dialogs.FileAnswers.push_back(script);
  UserClick(console->Window(), "b_Open");
  console->Window().SetBounds({30, 40, 1000, 420});
  ASSERT_TRUE(CloseBox(console));

  platform::TIniFile ini(Ini());
  // OILForm holds only Left; the rest, and no stale key, is in OILFForm.
  const std::string left = ini.ReadString("OILForm", "Left", "?");
  EXPECT_EQ(std::tuple(left, ini.ValueExists("OILForm", "Top"), ini.ReadString("OILFForm", "Top", "?"),
                       ini.ReadString("OILFForm", "0", "?"), ini.ReadString("OILFForm", "OpenDir", "?"),
                       ini.ValueExists("OILFForm", "7"), ini.ReadString("Jiné", "x", "?")),
            std::tuple(std::string("30"), false, "40", script, folder.Path() + "/", false, "1"));

  TCommandLineDlg* again = Open();
  const platform::Bounds bounds = again->Window().GetBounds();
  EXPECT_EQ(std::tuple(bounds.Left, bounds.Top, bounds.Width, bounds.Height, again->RecentFiles()),
            std::tuple(30, 40, 1000, 420, std::vector<std::string>{script}));
  CloseBox(again);
}

TEST_F(ConsoleTest, ReadsWhatItsIniFileHoldsAndTakesTheDefaultsForTheRest) {
  struct Case {
    const char* name;
    std::string ini;
    int left, top;
    std::vector<std::string> recent;
  };
  std::string twelve = "[OILFForm]\r\n";
  std::vector<std::string> ten;
  for (int i = 0; i < 12; ++i) {
    twelve += std::to_string(i) + "=f" + std::to_string(i) + ".oil\r\n";
    if (i < 10) ten.push_back("f" + std::to_string(i) + ".oil");
  }
  const Case cases[] = {
      {"no file", "", 0, 0, {}},
      {"numbers that are none", "[OILForm]\r\nLeft=abc\r\n[OILFForm]\r\nTop=12px\r\n", 0, 0, {}},
      {"Left only from OILForm, Top only from OILFForm", "[OILForm]\r\nLeft=5\r\nTop=6\r\n[OILFForm]\r\nLeft=7\r\nTop=8\r\n",
       5, 8, {}},
      {"recent files up to the first empty one", "[OILFForm]\r\n0=a.oil\r\n1=\r\n2=c.oil\r\n", 0, 0, {"a.oil"}},
      {"at most ten recent files", twelve, 0, 0, ten},
  };
  for (const Case& c : cases) {
    platform::DeleteFile(Ini());
    if (!c.ini.empty()) WriteCp1250File(Ini(), c.ini);
    // Not shown: the window system would place a window at 0, 0 a little off.
    TCommandLineDlg* console = Open(false);
    const platform::Bounds bounds = console->Window().GetBounds();
    EXPECT_EQ(std::tuple(bounds.Left, bounds.Top, console->RecentFiles()), std::tuple(c.left, c.top, c.recent))
        << c.name;
    dialogs.Answers = {platform::mrNo};
    CloseBox(console);
  }
}

TEST_F(ConsoleTest, AnUnwritableIniFileIsALineOfTheMessageWindowAndTheConsoleStillCloses) {
  TCommandLineDlg* console = Open();
  const TElementLink alive(console);
  {
    platform::WriteProtectedFolder guard(folder.Path());
    EXPECT_TRUE(CloseBox(console));
  }
  EXPECT_EQ(std::pair(alive.Get() == nullptr, keeper->Lines.size()), std::pair(true, std::size_t{1}));
  EXPECT_FALSE(platform::FileExists(Ini()));
}

// The lines let the queue run between them too: a press that arrives there
// finds the batch still running as well, so every line runs once.
TEST_F(ConsoleTest, WhileItsLinesRunTheConsoleRefusesAnotherRunOrCompileAndClosesAfterThem) {
  struct Case {
    const char* name;
    const char* button;  // pressed from the running line
    bool queued;         // the press arrives after the line, before the next one
    std::vector<std::string> boxes;
    bool closed;
  };
  const std::vector<std::string> saveQuestion = {"Text scriptu byl modifikován ... chcete jej uložit do souboru ?"};
  const Case cases[] = {
      {"Proveď again", "b_Eval", false, {}, false},
      {"open and run", "b_OpenRun", false, {}, false},
      {"Compile", "BitBtn1", false, {}, false},
      {"close: after the run", "b_Close", false, saveQuestion, true},
      {"Proveď between the lines", "b_Eval", true, {}, false},
      {"F9 between the lines", "F9", true, {}, false},
      {"open and run between the lines", "b_OpenRun", true, {}, false},
      {"Compile between the lines", "BitBtn1", true, {}, false},
      {"close between the lines: after the run", "b_Close", true, saveQuestion, true},
  };
  for (const Case& c : cases) {
    dialogs.Messages.clear();
    dialogs.Answers = {platform::mrNo};
    dialogs.FileAnswers = {File("nic.oil")};
    TPressTool::Runs = 0;
    TCommandLineDlg* console = Open();
    const TElementLink alive(console);
    console->Window().SetText("CMemo", std::string(c.queued ? "LES.QueuedPressTool('" : "LES.PressTool('") +
                                           c.button + "')\nWORLD.Name");
    UserClick(console->Window(), "b_Eval");
    if (!c.closed) {
      EXPECT_EQ(console->Window().Text("RMemo"), World()->GetName()) << c.name << ": the outer run's result";
    }
    RunMessages();
    EXPECT_EQ(TPressTool::Runs, 1) << c.name << ": the pressing line ran once";
    EXPECT_EQ(std::tuple(Boxes(), ProgramCount(), alive.Get() == nullptr), std::tuple(c.boxes, 0, c.closed))
        << c.name;
    EXPECT_EQ(dialogs.FileDialogs.size(), 0u) << c.name << ": nothing opened";
    dialogs.FileDialogs.clear();
    if (alive.Get()) {
      dialogs.Answers = {platform::mrNo};
      CloseBox(console);
    }
  }
}

}  // namespace
