#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "tests/oil/oil_fixture.h"

namespace {

using namespace std::chrono_literals;

// This thread plays the user-interface thread: it delivers the world's
// messages (under the world lock) while programs run on their threads.
class ProgramThread : public OilTest {
 protected:
  void SetUp() override {
    OilTest::SetUp();
    probe = AddNamed<TOilProbe>(world->ObjectModel(), "Probe");
    platform::Application::Instance().SetMessageHook(
        [this](platform::AppMessage& message, bool& handled) { world->DispatchAppMessage(message, handled); });
  }
  void TearDown() override {
    program.reset();
    platform::Application::Instance().ProcessMessages();
    OilTest::TearDown();
  }
  int ProbeCount() {
    std::lock_guard lock(WorldLock());
    return probe->Count;
  }

  TOilProbe* probe = nullptr;
};

TEST_F(ProgramThread, RunsAndReportsErrorsInABoxOnTheUserInterfaceThread) {
  const std::string kGeneralFailure = "Hruba Chyba OILu- nejspis spatne odalokovani";
  const Row cases[] = {  // the boxes shown, each after '!'
      {"no error", "PROGRAM P; BEGIN e : TOILPROBE := WORLD\\Model\\Probe; e.Count := 5; END.", ""},
      {"run-time error", "PROGRAM P; BEGIN e : TTOOL := WORLD; END.", "!Typová neshoda"},
      {"general failure", "PROGRAM P; BEGIN f : FLOAT := 1 / 0; END.", "!" + kGeneralFailure},
      {"operator error", "PROGRAM P; BEGIN TRY i : INTEGER := 1 MOD 0; END; END.", "!" + kGeneralFailure},
      {"routines and texts on the program's thread",
       "PROGRAM P; FUNCTION F(N: INTEGER): INTEGER; BEGIN IF N < 2 THEN RESULT := N ELSE RESULT := F(N - 1) + F(N - 2);"
       " END; BEGIN s : STRING := 'a'; s := s + 'b'; IF (F(12) <> 144) OR (s <> 'ab') THEN f : FLOAT := 1 / 0; END.",
       ""},
      {"a tool's box, and the run goes on",
       "PROGRAM P; BEGIN OilEventTool(Text: 'Ahoj'); e : TOILPROBE := WORLD\\Model\\Probe; e.Count := 1; END.",
       "!Ahoj"},
  };
  for (const auto& c : cases) {
    dialogs.Messages.clear();
    dialogs.threads.clear();
    Compile(c.text);
    program->Execute();
    EXPECT_TRUE(program->Running()) << c.name;
    ASSERT_TRUE(RunUntil([&] { return !program->Running(); })) << c.name;
    EXPECT_EQ(Outcome(c.expected), c.expected) << c.name;
    EXPECT_EQ(dialogs.threads, std::vector(dialogs.Messages.size(), std::this_thread::get_id())) << c.name;
    EXPECT_EQ(program->GetStack()->GetCount(), 0) << c.name;
  }
  EXPECT_EQ(ProbeCount(), 1);
}

TEST_F(ProgramThread, ChangesTheModelWhileTheUserInterfaceReadsItAndDeliversMessages) {
  Compile(
      "PROGRAM P; BEGIN e : TOILPROBE := WORLD\\Model\\Probe; i : INTEGER;\n"
      "FOR i := 1 TO 300 DO BEGIN e.Count := i; e.OilEventTool(); c : TOILPROBE := WORLD\\Model.Create(NameOfClass: "
      "'TOilProbe', ElementName: 'x'); e.AddElement(ElementToAdd: c); END; END.");
  program->Execute();
  int last = 0;
  bool monotonic = true;
  ASSERT_TRUE(RunUntil([&] {
    std::lock_guard lock(WorldLock());
    monotonic = monotonic && probe->Count >= last;
    last = probe->Count;
    return !program->Running();
  }));
  platform::Application::Instance().ProcessMessages();
  // Count only grew; every child added and every posted line delivered; no box.
  EXPECT_EQ(std::tuple(monotonic, ProbeCount(), probe->GetCount(), probe->Received, dialogs.Messages.size()),
            std::tuple(true, 300, 300, 300, 0u));
}

TEST_F(ProgramThread, SuspendsAndStopsBetweenStatementsAndStartsNoSecondRun) {
  Compile("PROGRAM P; BEGIN e : TOILPROBE := WORLD\\Model\\Probe; WHILE TRUE DO e.Count := e.Count + 1; END.");
  program->Execute();
  ASSERT_TRUE(RunUntil([&] { return ProbeCount() > 10; }));
  program->SuspendRun();
  ASSERT_TRUE(RunUntil([&] { return program->RunSuspended(); }));
  const int parked = ProbeCount();
  program->Execute();  // no second run while one is active
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(std::pair(ProbeCount(), program->RunSuspended()), std::pair(parked, true));
  program->ResumeRun();
  ASSERT_TRUE(RunUntil([&] { return ProbeCount() > parked + 10; }));
  program->StopRun();
  EXPECT_FALSE(program->Running());
  const int stopped = ProbeCount();
  std::this_thread::sleep_for(10ms);
  platform::Application::Instance().ProcessMessages();
  // A stopped run ends without its end notification (the frame stays) and without a box.
  const bool frameLeft = program->GetStack()->GetCount() == program->VarCount();
  EXPECT_EQ(std::tuple(ProbeCount(), frameLeft, dialogs.Messages.size()), std::tuple(stopped, true, 0u));
}

TEST_F(ProgramThread, FreeingTheProgramStopsItsRunFirst) {
  Compile("PROGRAM P; BEGIN e : TOILPROBE := WORLD\\Model\\Probe; WHILE TRUE DO e.Count := e.Count + 1; END.");
  program->Execute();
  ASSERT_TRUE(RunUntil([&] { return ProbeCount() > 0; }));
  program.reset();
  const int stopped = ProbeCount();
  std::this_thread::sleep_for(10ms);
  EXPECT_EQ(ProbeCount(), stopped);
}

TEST_F(ProgramThread, ARunThatFreesWhatRunsItEndsWithAReportInsteadOfWaitingForItself) {
  const Row cases[] = {  // the statement, the boxes shown
      {"the program", "WORLD\\Model\\'PROGRAM'.Free();", "!Prvek neexistuje"},
      {"the entity that holds it", "WORLD\\Model.FreeAll();", "!Prvek neexistuje"},
  };
  for (const auto& c : cases) {
    dialogs.Messages.clear();
    Compile("PROGRAM P; BEGIN " + c.text + " END.");
    program->SetName("PROGRAM");
    world->ObjectModel()->AddElement(program.get());
    program->Execute();
    ASSERT_TRUE(RunUntil([&] { return !program->Running(); })) << c.name;
    EXPECT_EQ(Outcome(c.expected), c.expected) << c.name;
    EXPECT_EQ(world->ObjectModel()->FindElementByName("PROGRAM"), program.get()) << c.name;
    world->ObjectModel()->RemoveElement(program.get());
  }
}

TEST_F(ProgramThread, StopsWhileWaitingForTheUserInterface) {
  // The program waits for a box while the user-interface thread stops it.
  dialogs.DefaultAnswer = platform::mrOk;
  Compile("PROGRAM P; BEGIN WHILE TRUE DO OilEventTool(Text: 'again'); END.");
  program->Execute();
  ASSERT_TRUE(RunUntil([&] { return dialogs.Messages.size() >= 2; }));
  program->StopRun();
  EXPECT_FALSE(program->Running());
}

}  // namespace
