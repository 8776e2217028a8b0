#include "app/monitors/progress_monitor.h"

#include "tests/app/shell_fixture.h"

namespace {

class ProgressMonitorTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    main = static_cast<TMainTool*>(TOldMainTool::Create(TMainTool::StaticClass()));
  }
  TProgressMonitor* Monitor() { return main->ProgressMonitor(); }
  int WindowHeight() { return Monitor()->Window().Window().GetBounds().Height; }
  TMainTool* main = nullptr;
};

TEST_F(ProgressMonitorTest, EachProcessHasAPanelTheUserCannotCloseAndTheWindowGrowsShrinksAndOpensAgain) {
  TTool exporter, saver, stranger;
  exporter.StartProgress("Export linií", 0, 0);
  saver.StartProgress("Uložení", 5, 10);
  RunMessages();
  ASSERT_NE(Monitor(), nullptr);
  EXPECT_EQ(WindowHeight(), 2 * kProcessPanelHeight);
  EXPECT_TRUE(Monitor()->Window().Window().Visible());
  TProcessMonitor* first = Monitor()->MonitorOf(&exporter);
  TProcessMonitor* second = Monitor()->MonitorOf(&saver);
  ASSERT_TRUE(first && second);
  EXPECT_FALSE(first->Panel().Window().ControlVisible("ProgressBar")) << "a process without a range";
  EXPECT_TRUE(second->Panel().Window().ControlVisible("ProgressBar"));
  EXPECT_EQ(first->Text(), "...");
  EXPECT_FALSE(platform::UserCloseWindow(first->Panel().Window())) << "not by the user";

  exporter.SetProgressText("SMO 50");
  saver.SetProgress(7);
  stranger.SetProgress(3);  // no monitor: ignored
  RunMessages();
  // Each panel's process name and text, and its range with the progress in it.
  const std::tuple<TProcessMonitor*, std::string, std::tuple<int, int, int>> cases[] = {
      {first, "Export linií|SMO 50", {0, 0, 0}}, {second, "Uložení|...", {5, 10, 7}}};
  for (const auto& [monitor, texts, range] : cases) {
    EXPECT_EQ(monitor->GetPropertyText("ProcessName") + "|" + monitor->GetPropertyText("Text"), texts);
    EXPECT_EQ(std::tuple(monitor->MinProgress(), monitor->MaxProgress(), monitor->Progress()), range) << texts;
  }

  TElementLink firstLink(first);
  exporter.EndProgress();
  RunMessages();
  EXPECT_EQ(firstLink.Get(), nullptr);
  EXPECT_EQ(WindowHeight(), kProcessPanelHeight);
  TElementLink monitorLink(Monitor());
  saver.EndProgress();
  RunMessages();
  EXPECT_EQ(main->ProgressMonitor(), nullptr);
  EXPECT_EQ(monitorLink.Get(), nullptr) << "closed and freed by the main tool";
  saver.StartProgress("Uložení", 0, 1);
  RunMessages();
  ASSERT_NE(Monitor(), nullptr) << "a new window for the next process";
  EXPECT_EQ(Monitor()->MonitorCount(), 1);
  saver.EndProgress();
  RunMessages();
}

}  // namespace
