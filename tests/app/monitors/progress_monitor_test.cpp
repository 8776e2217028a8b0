#include "app/monitors/progress_monitor.h"

#include "tests/app/shell_fixture.h"

namespace {

using ProgressMonitorTest = ShellTest;

TEST_F(ProgressMonitorTest, EachProcessHasAPanelTheUserCannotCloseAndTheWindowGrowsShrinksAndOpensAgain) {
  auto* main = static_cast<TMainTool*>(TOldMainTool::Create(TMainTool::StaticClass()));
  auto monitor = [main] { return main->ProgressMonitor(); };
  auto height = [main] { return main->ProgressMonitor()->Window().Window().GetBounds().Height; };
  TTool exporter, saver, stranger;
  exporter.StartProgress("Export linií", 0, 0);
  saver.StartProgress("Uložení", 5, 10);
  RunMessages();
  ASSERT_NE(monitor(), nullptr);
  EXPECT_EQ(std::tuple(height(), monitor()->Window().Window().Visible()),
            std::tuple(2 * kProcessPanelHeight, true));
  TProcessMonitor* first = monitor()->MonitorOf(&exporter);
  TProcessMonitor* second = monitor()->MonitorOf(&saver);
  ASSERT_TRUE(first && second);
  // A process without a range shows no bar.
  EXPECT_EQ(std::tuple(first->Panel().Window().ControlVisible("ProgressBar"),
                       second->Panel().Window().ControlVisible("ProgressBar"), first->Text()),
            std::tuple(false, true, "..."));
  EXPECT_FALSE(platform::UserCloseWindow(first->Panel().Window())) << "not by the user";

  exporter.SetProgressText("SMO 50");
  saver.SetProgress(7);
  stranger.SetProgress(3);  // no monitor: ignored
  RunMessages();
  // Each panel's process name and text, and its range with the progress in it.
  const std::tuple<TProcessMonitor*, std::string, std::tuple<int, int, int>> cases[] = {
      {first, "Export linií|SMO 50", {0, 0, 0}}, {second, "Uložení|...", {5, 10, 7}}};
  for (const auto& [panel, texts, range] : cases) {
    EXPECT_EQ(panel->GetPropertyText("ProcessName") + "|" + panel->GetPropertyText("Text"), texts);
    EXPECT_EQ(std::tuple(panel->MinProgress(), panel->MaxProgress(), panel->Progress()), range) << texts;
  }

  TElementLink firstLink(first);
  exporter.EndProgress();
  RunMessages();
  EXPECT_EQ(std::tuple(firstLink.Get(), height()), std::tuple(nullptr, kProcessPanelHeight));
  TElementLink monitorLink(monitor());
  saver.EndProgress();
  RunMessages();
  EXPECT_EQ(std::tuple(main->ProgressMonitor(), monitorLink.Get()), std::tuple(nullptr, nullptr))
      << "closed and freed by the main tool";
  saver.StartProgress("Uložení", 0, 1);
  RunMessages();
  ASSERT_NE(monitor(), nullptr) << "a new window for the next process";
  EXPECT_EQ(monitor()->MonitorCount(), 1);
  saver.EndProgress();
  RunMessages();
}

}  // namespace
