// The sample window script builds an extended form tool of tool groups.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/command_line/command_line.h"
#include "app/extended_forms/extended_form_tool.h"
#include "platform/forms.h"
#include "tests/app/tool_groups/tool_groups_fixture.h"
#include "tests/platform/test_bitmaps.h"

namespace {

using platform::BarArea;

TEST_F(ToolGroupsTest, TheSampleScriptBuildsAWindowWithBarsOnAllFourSides) {
  WriteBytes(dir.File("a.bmp"), HalfKeyedBmp(16, 16, 0x00FF0000));
  WriteBytes(dir.File("b.bmp"), HalfKeyedBmp(40, 40, 0x000000FF));
  std::unique_ptr<TCommandLine> interpreter(CreateElement<TCommandLine>());
  interpreter->ByDDE = true;
  interpreter->SetFileName(std::string(KESTX_SAMPLES_DIR) + "/tool_groups/window.kes");
  interpreter->DoIt();
  EXPECT_EQ(interpreter->Results(), std::vector<std::string>{});
  auto* var = DynamicCast<TVar>(interpreter->Vars()->FindElementByName("OKNO"));
  ASSERT_TRUE(var && var->Element());
  std::unique_ptr<TExtendedFormTool> window(DynamicCast<TExtendedFormTool>(var->Element()));
  ASSERT_TRUE(window);
  EXPECT_TRUE(window->Menu() && window->Tasks() && window->TaskTools() && window->Monitors() &&
              window->FrameSelectors());
  platform::Form& form = window->Form()->Window();
  struct Row {
    const char* bar;
    BarArea area;
    int buttons;
  };
  const Row rows[] = {{"tb_Soubor", BarArea::Top, 3},   {"tb_Kresba", BarArea::Left, 3},
                      {"tb_Pohled", BarArea::Right, 2}, {"tb_TASKS", BarArea::Right, 0},
                      {"tb_TASKTOOLS", BarArea::Bottom, 0}, {"tb_MONITORS", BarArea::Bottom, 1}};
  for (const Row& row : rows) {
    EXPECT_EQ(form.ToolBarArea(row.bar), row.area) << row.bar;
    EXPECT_EQ(form.ToolButtonCount(row.bar), row.buttons) << row.bar;
  }
  auto* file = DynamicCast<TExtendedToolGroup>(window->FindTool("Soubor"));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Images()->Count(), 2);
  file->FindActionName("Action_Uložit");
  EXPECT_EQ(file->ActualHint(), "Uloží soubor");
  EXPECT_EQ(file->ActualImageIndex(), 1);
  form.Show();
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(form.SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/tool_groups_window.png"));
}

}  // namespace
