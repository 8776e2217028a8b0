#include <chrono>
#include <functional>
#include <set>
#include <thread>

#include "oil/runtime/debug_messages.h"
#include "oil/runtime/debug_objects.h"
#include "platform/files.h"
#include "tests/oil/oil_fixture.h"

namespace {

using namespace std::chrono_literals;

// Hears what a debugged program tells it, one word per message: the code,
// with ":" and the line of a line or error message and ":" and an error's text.
class TDebugObserver : public TElement {
 public:
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    std::string word = std::to_string(message->Message);
    if (auto* line = DynamicCast<TLineMessage>(message)) word += ":" + std::to_string(line->LineNum);
    if (auto* error = DynamicCast<TErrorMessage>(message))
      word += ":" + std::to_string(error->LineNum) + ":" + error->Text;
    Heard += (Heard.empty() ? "" : " ") + word;
    handled = true;
    if (OnMessage) OnMessage(*message);
  }
  std::string Heard;
  std::function<void(TKestuMessage&)> OnMessage;
};

// Every statement of the program, nested ones too, walked without recursion.
std::vector<TOilLine*> StatementsOf(TOilProgram& program) {
  std::vector<TOilLine*> lines;
  std::vector<TElement*> pending{&program};
  while (!pending.empty()) {
    TElement* element = pending.back();
    pending.pop_back();
    if (auto* line = DynamicCast<TOilLine>(element); line && line != &program) lines.push_back(line);
    if (auto* entity = DynamicCast<TEntity>(element))
      for (TElement* child : entity->Children()) pending.push_back(child);
  }
  return lines;
}

class DebugRun : public OilTest {
 protected:
  void SetUp() override {
    OilTest::SetUp();
    observer = std::make_unique<TDebugObserver>();
    platform::Application::Instance().SetMessageHook(
        [this](platform::AppMessage& message, bool& handled) { world->DispatchAppMessage(message, handled); });
  }
  void TearDown() override {
    program.reset();
    platform::Application::Instance().ProcessMessages();
    observer.reset();
    OilTest::TearDown();
  }
  // Compiles with the debugging switch on, flags the statements that begin on
  // the lines and attaches the observer.
  TDBOilProgram& CompileFlagged(const std::string& text, const std::set<int>& flagged) {
    program = CompileOilProgram(SourceLines(text), true);
    for (TOilLine* line : StatementsOf(*program)) {
      TOilDebugInfo info = line->GetDebugInfo();
      info.Breakpoint = flagged.contains(info.SourceLine);
      line->SetDebugInfo(info);
    }
    auto& debugged = dynamic_cast<TDBOilProgram&>(*program);
    debugged.SetObserver(observer.get());
    return debugged;
  }

  std::unique_ptr<TDebugObserver> observer;
};

// A program of the team's samples, its lines joined.
std::string SampleText(const std::string& name) {
  std::string text;
  for (const std::string& line : platform::ReadTextLines(std::string(KESTX_SAMPLES_DIR) + "/console/" + name))
    text += line + "\n";
  return text;
}

const std::string kGeneralFailure = "Hruba Chyba OILu- nejspis spatne odalokovani";

TEST_F(DebugRun, TellsTheObserverEachStepOfARunOnItsThreadInOrder) {
  struct Case {
    const char* name;
    std::string text;
    std::set<int> flagged;
    std::string heard;
  };
  const Case cases[] = {
      {"nothing flagged", "PROGRAM P;\nBEGIN\n i : INTEGER := 1;\nEND.", {}, "73 74"},
      {"one flagged statement", "PROGRAM P;\nBEGIN\n i : INTEGER := 1;\n i := 2;\nEND.", {3}, "73 76:3 78 74"},
      {"a flagged loop body, each pass",
       "PROGRAM P;\nBEGIN\n i, s : INTEGER;\n FOR i := 1 TO 3 DO\n  s := s + i;\nEND.", {4},
       "73 76:4 78 76:4 78 76:4 78 74"},
      {"a flagged statement inside a routine",
       "PROGRAM P;\nPROCEDURE Q(A: INTEGER);\nBEGIN\n i : INTEGER := A;\nEND;\nBEGIN\n Q(1);\n Q(2);\nEND.", {3},
       "73 76:3 78 76:3 78 74"},
      {"a run-time error: its text and line instead of the box",
       "PROGRAM P;\nBEGIN\n i : INTEGER;\n e : TTOOL := WORLD;\nEND.", {}, "73 75:3:Typová neshoda 74"},
      {"an operator error: the general failure with its line",
       "PROGRAM P;\nBEGIN\n i : INTEGER;\n i := 1 MOD 0;\nEND.", {}, "73 75:3:" + kGeneralFailure + " 74"},
      {"an error in a routine: the line of the statement that failed there",
       "PROGRAM P;\nPROCEDURE Q(A: INTEGER);\nBEGIN\n e : TTOOL := WORLD;\nEND;\nBEGIN\n Q(1);\nEND.", {},
       "73 75:3:Typová neshoda 74"},
      {"an error TRY discards is not reported",
       "PROGRAM P;\nBEGIN\n TRY\n  e : TTOOL := WORLD;\n END;\n i : INTEGER := 1;\nEND.", {5},
       "73 76:5 78 74"},
  };
  for (const Case& c : cases) {
    observer->Heard.clear();
    TDBOilProgram& debugged = CompileFlagged(c.text, c.flagged);
    observer->OnMessage = [&](TKestuMessage& message) {
      if (message.Message == msgOilLine) debugged.ResumeRun();
    };
    debugged.Execute();
    ASSERT_TRUE(RunUntil([&] { return !debugged.Running(); })) << c.name;
    platform::Application::Instance().ProcessMessages();
    EXPECT_EQ(observer->Heard, c.heard) << c.name;
    EXPECT_TRUE(dialogs.Messages.empty()) << c.name << ": no box";
  }
  observer->OnMessage = nullptr;
}

TEST_F(DebugRun, ShowsNamesBesideValuesAtAStopAndDropsThemWithTheirActivation) {
  struct Case {
    const char* name;
    std::string text;
    std::set<int> flagged;
    std::vector<std::string> stops;  // the variables after the predefined ones, at each stop
  };
  const Case cases[] = {
      {"the program's own variables",
       "PROGRAM P;\nBEGIN\n i : INTEGER := 7;\n s : STRING := 'a';\n s := 'b';\nEND.", {4}, {"i=7 s=a"}},
      {"a BEGIN block's variables while it lasts",
       "PROGRAM P;\nBEGIN\n i : INTEGER := 1;\n BEGIN\n  k : INTEGER := 5;\n  i := k;\n END;\n i := 2;\nEND.",
       {5, 7},
       {"i=1 k=5", "i=5"}},
      {"recursion: each activation's names, by-reference parameters marked",
       "PROGRAM P;\nPROCEDURE R(N: INTEGER; VAR T: INTEGER);\nBEGIN\n T := T + N;\n IF N > 1 THEN R(N - 1, T);\n"
       "END;\nBEGIN\n t : INTEGER;\n R(2, t);\nEND.",
       {3},
       {"t=0 T+=0 N=2", "t=2 T+=2 N=2 T+=2 N=1"}},
      {"names of a routine an error left by TRY are gone",
       "PROGRAM P;\nPROCEDURE Q(A: INTEGER);\nBEGIN\n e : TTOOL := WORLD;\nEND;\nBEGIN\n TRY\n  Q(4);\n END;\n"
       " j : INTEGER := 3;\n j := 4;\nEND.",
       {10},
       {"j=3"}},
      {"the sample: recursion with TRY, stopped in each activation's TRY and after them",
       SampleText("recursion_try.oil"),
       {6, 12},
       {"t=6 T+=6 N=3 e=0 T+=6 N=2 e=0 T+=6 N=1 e=0", "t=6 T+=6 N=3 e=0 T+=6 N=2 e=0", "t=6 T+=6 N=3 e=0", "t=6"}},
  };
  for (const Case& c : cases) {
    TDBOilProgram& debugged = CompileFlagged(c.text, c.flagged);
    std::vector<std::string> stops;
    observer->OnMessage = [&](TKestuMessage& message) {
      if (message.Message != msgOilLine) return;
      std::string seen;
      {
        std::lock_guard lock(WorldLock());
        const auto variables = debugged.VisibleVariables();
        for (std::size_t i = 3; i < variables.size(); ++i)
          seen += (seen.empty() ? "" : " ") + variables[i].first + "=" + variables[i].second;
      }
      stops.push_back(seen);
      debugged.ResumeRun();
    };
    debugged.Execute();
    ASSERT_TRUE(RunUntil([&] { return !debugged.Running(); })) << c.name;
    EXPECT_EQ(stops, c.stops) << c.name;
    EXPECT_EQ(debugged.GetNameStack()->GetCount(), 0) << c.name << ": names cleared with the stack";
  }
  observer->OnMessage = nullptr;
}

TEST_F(DebugRun, OnTheUserInterfaceThreadTellsAtOnceAndNeverStops) {
  TDBOilProgram& debugged =
      CompileFlagged("PROGRAM P;\nBEGIN\n i : INTEGER := 1;\n i := 2;\n e : TTOOL := WORLD;\nEND.", {3});
  debugged.Run();
  platform::Application::Instance().ProcessMessages();
  // No thread: no resume and no end notification; the error's line is still told.
  EXPECT_EQ(observer->Heard, "73 76:3 75:4:Typová neshoda");
  EXPECT_EQ(debugged.GetStackItem(kFirstSlot)->GetAsInteger(), 2);
}

TEST_F(DebugRun, WithoutAnObserverAFlaggedStatementDoesNotStopAndAnErrorIsShownInTheBox) {
  TDBOilProgram& debugged =
      CompileFlagged("PROGRAM P;\nBEGIN\n i : INTEGER := 1;\n i := 2;\n e : TTOOL := WORLD;\nEND.", {3});
  debugged.SetObserver(nullptr);
  debugged.Execute();
  ASSERT_TRUE(RunUntil([&] { return !debugged.Running(); }));
  platform::Application::Instance().ProcessMessages();
  const std::vector<std::string> boxes = {"Typová neshoda"};
  std::vector<std::string> shown;
  for (const auto& box : dialogs.Messages) shown.push_back(box.Text);
  EXPECT_EQ(std::pair(observer->Heard, shown), std::pair(std::string(), boxes));
}

TEST_F(DebugRun, StaysStoppedUntilResumedAndAStopEndsItWithoutTheEndMessage) {
  TDBOilProgram& debugged = CompileFlagged(
      "PROGRAM P;\nBEGIN\n i : INTEGER;\n WHILE TRUE DO\n  i := i + 1;\nEND.", {4});
  debugged.Execute();
  ASSERT_TRUE(RunUntil([&] { return debugged.RunSuspended(); }));
  auto count = [&] {
    std::lock_guard lock(WorldLock());
    return debugged.GetStackItem(kFirstSlot)->GetAsInteger();
  };
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(count(), 0) << "stopped before the flagged statement";
  // Step by step: each resume is heard before the stop it leads to, however
  // soon the run gets there.  Many steps, so that a run quicker than the
  // resume's message shows.
  std::string heard = "73 76:4";
  for (int step = 1; step <= 100; ++step) {
    debugged.ResumeRun();
    ASSERT_TRUE(RunUntil([&] { return count() == step && debugged.RunSuspended(); })) << "step " << step;
    heard += " 78 76:4";
  }
  debugged.StopRun();
  platform::Application::Instance().ProcessMessages();
  EXPECT_EQ(std::pair(observer->Heard, debugged.Running()), std::pair(heard, false));
}

TEST(DebugCompile, BuildsTwinsWithSourceLinesOnlyWhenDebugging) {
  RegisterOilClasses();
  struct Case {
    const char* statement;  // on line 4 of the program below
    const char* twin;
    const char* plain;
  };
  const Case cases[] = {
      {"i := 1", "TDBAssignLine", "TAssignLine"},
      {"Q(i)", "TDBExprLine", "TExprLine"},
      {"IF i = 0 THEN i := 1 ELSE i := Q(i)", "TDBIfLine", "TIfLine"},
      {"WHILE i < 0 DO i := 1", "TDBWhileLine", "TWhileLine"},
      {"REPEAT i := 2; UNTIL i > 1", "TDBRepeatLine", "TRepeatline"},
      {"FOR i := 1 TO 2 DO i := 1", "TDBForLine", "TForLine"},
      {"CASE i OF 1: i := 3 END", "TDBCaseLine", "TCaseLine"},
      {"TRY i := 4; END", "TDBProtectBlock", "TProtectBlock"},
      {"BEGIN k : INTEGER := 1; END", "TDBOilBlock", "TOilBlock"},
  };
  for (const Case& c : cases) {
    const std::string text = std::string("PROGRAM P;\nFUNCTION Q(VAR A: INTEGER): INTEGER; BEGIN RESULT := A; END;\n") +
                             "BEGIN\n i : INTEGER;\n" + c.statement + ";\nEND.";
    for (const bool debug : {true, false}) {
      std::unique_ptr<TOilProgram> program = CompileOilProgram(SourceLines(text), debug);
      ASSERT_EQ(program->LineCount(), 1) << c.statement;
      TOilLine* line = program->GetLine(0);
      auto* routine = static_cast<TOilLine*>(program->GetSubProcedures()->GetElement(0));
      const std::string shape = std::string(program->ClassName()) + "@" +
                                std::to_string(program->GetSourceLine()) + " " + routine->ClassName() + "@" +
                                std::to_string(routine->GetSourceLine()) + " " + line->ClassName() + "@" +
                                std::to_string(line->GetSourceLine());
      const std::string expected = debug ? std::string("TDBOilProgram@2 TDBOilFunc@1 ") + c.twin + "@4"
                                         : std::string("TOilProgram@-1 TOilFunc@-1 ") + c.plain + "@-1";
      EXPECT_EQ(shape, expected) << c.statement << (debug ? " debugging" : " plain");
      // Statements nested in others are twins too, each with its own line.
      for (TOilLine* nested : StatementsOf(*program)) {
        const bool twin = std::string(nested->ClassName()).starts_with("TDB");
        EXPECT_EQ(std::pair(twin, nested->GetSourceLine() >= 0), std::pair(debug, debug))
            << c.statement << ": " << nested->ClassName();
      }
    }
  }
}

}  // namespace
