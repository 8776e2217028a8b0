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

TEST_F(ProgressMonitorTest, EachProcessHasAPanelTheUserCannotCloseAndTheWindowGrowsAndShrinksWithThem) {
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
  struct Case {
    TProcessMonitor* monitor;
    const char* name;
    const char* text;
    int min, max, progress;
  } cases[] = {{first, "Export linií", "SMO 50", 0, 0, 0}, {second, "Uložení", "...", 5, 10, 7}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.monitor->GetPropertyText("ProcessName"), c.name);
    EXPECT_EQ(c.monitor->GetPropertyText("Text"), c.text) << c.name;
    EXPECT_EQ(std::tuple(c.monitor->MinProgress(), c.monitor->MaxProgress(), c.monitor->Progress()),
              std::tuple(c.min, c.max, c.progress))
        << c.name;
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
}

}  // namespace
