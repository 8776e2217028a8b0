#include "app/monitors/progress_monitor.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/startup/main_tool.h"
#include "platform/forms.h"
#include "tests/app/shell_fixture.h"

namespace {

// Batches of processes reported to the program's main tool, which hands them
// to its progress monitor.
class ProgressMonitorTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    main = static_cast<TMainTool*>(TOldMainTool::Create(TMainTool::StaticClass()));
  }
  // Hands the main tool one progress message of a process, as the queue does.
  void Report(int code, TElement* process) {
    TProgressMessage message(code, process, main, nullptr, false);
    message.ProcessName = process->GetName();
    message.MaxProgress = 100;
    TKestuMessage* delivered = &message;
    bool handled = false;
    main->ReceiveMessage(delivered, handled);
  }
  int MonitorsOfMainTool() const {
    int count = 0;
    for (int i = 0; i < main->ToolCount(); ++i) count += DynamicCast<TProgressMonitor>(main->GetTool(i)) != nullptr;
    return count;
  }

  TMainTool* main = nullptr;
  TNameElement first, second;
};

TEST_F(ProgressMonitorTest, TheEndOfABatchHidesTheWindowAndFreesTheMonitor) {
  first.SetName("první");
  Report(msgProgressStart, &first);
  TProgressMonitor* monitor = main->ProgressMonitor();
  ASSERT_NE(monitor, nullptr);
  EXPECT_TRUE(monitor->Window().Window().Visible());
  Report(msgProgressEnd, &first);
  // The window hides at once; the close and the owner's forgetting travel through the queue.
  EXPECT_EQ(std::tuple(monitor->Window().Window().Visible(), monitor->MonitorCount(), MonitorsOfMainTool()),
            std::tuple(false, 0, 1));
  RunMessages();
  EXPECT_EQ(std::tuple(main->ProgressMonitor(), MonitorsOfMainTool()), std::tuple(nullptr, 0));
}

TEST_F(ProgressMonitorTest, ABatchStartedBeforeThePreviousOnesCloseArrivedKeepsItsMonitorToItsEnd) {
  first.SetName("první");
  second.SetName("druhý");
  Report(msgProgressStart, &first);
  TProgressMonitor* monitor = main->ProgressMonitor();
  Report(msgProgressEnd, &first);
  // The next batch starts while the finish and the close of the first are still queued: its start lets them run.
  Report(msgProgressStart, &second);
  EXPECT_EQ(std::tuple(main->ProgressMonitor(), MonitorsOfMainTool()), std::tuple(monitor, 1));
  RunMessages();
  ASSERT_EQ(main->ProgressMonitor(), monitor);
  EXPECT_EQ(std::tuple(monitor->MonitorCount(), monitor->Window().Window().Visible(),
                       monitor->MonitorOf(&second) ? monitor->MonitorOf(&second)->ProcessName() : "none"),
            std::tuple(1, true, "druhý"));
  Report(msgProgressEnd, &second);
  RunMessages();
  EXPECT_EQ(std::tuple(main->ProgressMonitor(), MonitorsOfMainTool()), std::tuple(nullptr, 0));
}

TEST_F(ProgressMonitorTest, AProcessThatEndsBeforeItsPanelIsPlacedLeavesNoPanel) {
  // Whether the process is freed between posting its start and the queue delivering it, as a tool that dies in
  // progress is: its start and end then carry a nil sender.
  for (const bool processFreed : {false, true}) {
    SCOPED_TRACE(processFreed ? "freed process" : "live process");
    auto* process = new TNameElement;
    auto* start = new TProgressMessage(msgProgressStart, process, main, nullptr, false);
    start->MaxProgress = 100;
    PostKestuMessage(start);
    PostKestuMessage(new TKestuMessage(msgProgressEnd, process, main, nullptr, false));
    if (processFreed) delete process;
    RunMessages();
    EXPECT_EQ(std::tuple(main->ProgressMonitor(), MonitorsOfMainTool()), std::tuple(nullptr, 0));
    if (!processFreed) delete process;
  }
}

// A step or a text of a process whose start never came, or whose monitor
// has gone, finds no monitor of its own and changes nothing: the process
// that runs keeps its monitor.
TEST_F(ProgressMonitorTest, AStepOfAProcessWithoutAMonitorIsPassedBy) {
  first.SetName("první");
  second.SetName("druhý");
  Report(msgProgressStart, &first);
  ASSERT_NE(main->ProgressMonitor(), nullptr);
  for (const int code : {msgProgress, msgProgressText}) {
    Report(code, &second);
    EXPECT_EQ(std::pair(main->ProgressMonitor()->MonitorCount(), MonitorsOfMainTool()), std::pair(1, 1)) << code;
  }
  Report(msgProgressEnd, &first);
  RunMessages();
}

// A process's gauge starts at the low end of the range it was started with
// and moves with each step.
TEST_F(ProgressMonitorTest, AGaugeStartsAtTheLowEndOfItsRangeAndMovesWithEachStep) {
  first.SetName("první");
  TProgressMessage start(msgProgressStart, &first, main, nullptr, false);
  start.ProcessName = "první";
  start.MinProgress = 5;
  start.MaxProgress = 100;
  TKestuMessage* delivered = &start;
  bool handled = false;
  main->ReceiveMessage(delivered, handled);
  ASSERT_NE(main->ProgressMonitor(), nullptr);
  const TProcessMonitor* monitor = main->ProgressMonitor()->MonitorOf(&first);
  ASSERT_NE(monitor, nullptr);
  EXPECT_EQ(std::tuple(monitor->MinProgress(), monitor->MaxProgress(), monitor->Progress()), std::tuple(5, 100, 5));
  // A step moves it to the step's value.
  TProgressMessage step(msgProgress, &first, main, nullptr, false);
  step.Progress = 40;
  delivered = &step;
  handled = false;
  main->ReceiveMessage(delivered, handled);
  EXPECT_EQ(monitor->Progress(), 40);
  Report(msgProgressEnd, &first);
  RunMessages();
}

// The common window is one panel of 105 pixels tall per running process.
TEST_F(ProgressMonitorTest, TheWindowIsOnePanelTallPerRunningProcess) {
  first.SetName("první");
  second.SetName("druhý");
  Report(msgProgressStart, &first);
  Report(msgProgressStart, &second);
  const platform::Form& window = main->ProgressMonitor()->Window().Window();
  EXPECT_EQ(window.GetBounds().Height, 210);
  Report(msgProgressEnd, &first);
  EXPECT_EQ(window.GetBounds().Height, 105);
  Report(msgProgressEnd, &second);
  RunMessages();
}

// A process's panel closes only with its monitor, not by the user's hand.
TEST_F(ProgressMonitorTest, APanelStaysWhileItsProcessRuns) {
  first.SetName("první");
  Report(msgProgressStart, &first);
  TProcessMonitor* monitor = main->ProgressMonitor()->MonitorOf(&first);
  ASSERT_NE(monitor, nullptr);
  EXPECT_FALSE(platform::UserCloseWindow(monitor->Panel().Window()));
  EXPECT_EQ(main->ProgressMonitor()->MonitorOf(&first), monitor);
  Report(msgProgressEnd, &first);
  RunMessages();
}

// Scripts make both monitors by their class names.
TEST_F(ProgressMonitorTest, BothMonitorClassesAreMadeByName) {
  RegisterProgressMonitorClasses();
  for (const char* name : {"TProcessMonitor", "TProgressMonitor"}) {
    std::unique_ptr<TElement> made(CreateElementByClassName(name));
    ASSERT_NE(made, nullptr) << name;
    EXPECT_EQ(made->ClassName(), name);
  }
}

}  // namespace
