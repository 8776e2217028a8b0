#include <thread>

#include "app/console/select_file_dialog.h"
#include "oil/compiler/program_compiler.h"
#include "tests/app/console/console_fixture.h"

namespace {

// Notes the thread each file dialog was shown on.
class ThreadDialogs : public platform::RecordingDialogs {
 public:
  bool PromptForFile(platform::FileDialogRequest& request) override {
    threads.push_back(std::this_thread::get_id());
    return RecordingDialogs::PromptForFile(request);
  }
  std::vector<std::thread::id> threads;
};

class ConsoleThreads : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    platform::SetDialogs(&threadDialogs);
    // As the program delivers its messages: under the world lock.
    platform::Application::Instance().SetMessageHook(
        [](platform::AppMessage& message, bool& handled) { World()->DispatchAppMessage(message, handled); });
  }
  // Whether the program runs, asked as the user-interface thread asks it.
  static bool ProgramRunning() {
    std::lock_guard lock(WorldLock());
    return Program()->Running();
  }
  ThreadDialogs threadDialogs;
};

TEST_F(ConsoleThreads, TheFileDialogOfAScriptShowsOnTheUserInterfaceThreadAndKeepsTheNameWhenCancelled) {
  struct Case {
    const char* name;
    bool fromProgram;
    std::string answer;  // empty: cancelled
    std::string fileName;
  };
  const Case cases[] = {
      {"confirmed", false, "/data/a.oil", "/data/a.oil"},
      {"cancelled: the name stays", false, "", "/před/b.oil"},
      // The program's call makes a tool of its own: the one here keeps its name.
      {"from a program's thread", true, "/data/c.oil", "/před/b.oil"},
  };
  for (const Case& c : cases) {
    threadDialogs.FileDialogs.clear();
    threadDialogs.threads.clear();
    threadDialogs.FileAnswers = {c.answer};
    auto* tool = new TSelectFileDialog;
    tool->SetName("Vyber");
    tool->FileName = "/před/b.oil";
    World()->ObjectModel()->AddElement(tool);
    if (c.fromProgram) {
      std::unique_ptr<TOilProgram> program =
          CompileOilProgram({"PROGRAM P; BEGIN WORLD.SelectFileDialog(Filter: 'OIL|*.OIL', InitialDir: '/data'); END."});
      program->Execute();
      ASSERT_TRUE(RunUntil([&] { return !program->Running(); })) << c.name;
    } else {
      tool->Filter = "OIL|*.OIL";
      tool->InitialDir = "/data";
      tool->DoIt();
    }
    ASSERT_EQ(threadDialogs.FileDialogs.size(), 1u) << c.name;
    EXPECT_EQ(std::tuple(threadDialogs.FileDialogs[0].Filter, threadDialogs.FileDialogs[0].InitialDir,
                         threadDialogs.threads[0], tool->FileName, tool->RunFlag()),
              std::tuple("OIL|*.OIL", "/data", std::this_thread::get_id(), c.fileName, !c.fromProgram))
        << c.name;
    EXPECT_EQ(threadDialogs.Messages.size(), 0u) << c.name;
    World()->ObjectModel()->FreeElement(tool);
  }
}

TEST_F(ConsoleThreads, ProvedReadsTheModelWhileAProgramChangesIt) {
  TCommandLineDlg* console = Open();
  platform::Form& window = console->Window();
  window.SetText("CMemo",
                 "PROGRAM P; BEGIN les : TELEMENT := WORLD\\LES; i : INTEGER; FOR i := 1 TO 1500 DO BEGIN\n"
                 "c : TELEMENT := WORLD\\Model.Create(NameOfClass: 'TOwnerEntity', ElementName: 'x');\n"
                 "les.AddElement(ElementToAdd: c); END; END.");
  UserClick(window, "BitBtn1");
  ASSERT_EQ(threadDialogs.Messages.size(), 0u);
  window.SetText("CMemo", "LES.ELEMENT.Name");
  UserClick(window, "BitBtn2");
  std::size_t last = 0;
  bool grew = true;
  int reads = 0;
  ASSERT_TRUE(RunUntil([&] {
    const bool done = !ProgramRunning();
    platform::UserClick(window, "b_Eval");
    const std::string shown = window.Text("RMemo");
    const auto names = static_cast<std::size_t>(std::count(shown.begin(), shown.end(), '\n') + 1);
    grew = grew && names >= last;
    last = names;
    ++reads;
    return done;
  }));
  // Every read saw a whole model: the names only grew, up to all of them.
  EXPECT_EQ(std::tuple(grew, last, threadDialogs.Messages.size()), std::tuple(true, std::size_t{1503}, std::size_t{0})) << reads << " reads";
}

}  // namespace
