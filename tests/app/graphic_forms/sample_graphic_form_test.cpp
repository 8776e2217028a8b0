// The sample thematic maps and the sample script that builds a graphic form
// over them: the file is what its writer makes, the window has its groups,
// frame and viewer, and choosing a map in the list shows it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/command_line/command_line.h"
#include "app/graphic_forms/graphic_form.h"
#include "app/graphic_forms/graphic_form_window.h"
#include "framework/stream/kes_loader.h"
#include "platform/form_parts.h"
#include "render/tool_forms/frames.h"
#include "render/tool_forms/standard_viewer.h"
#include "tests/app/graphic_forms/thematic_model.h"
#include "tests/app/tool_groups/tool_groups_fixture.h"
#include "tests/platform/test_bitmaps.h"

namespace {

std::string FileContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kSamples = std::string(KESTX_SAMPLES_DIR) + "/tool_groups/";

TEST_F(ToolGroupsTest, TheSampleThematicMapsAreWhatTheirWriterMakes) {
  WriteThematicModel(dir.File("thematic.kes"));
  EXPECT_EQ(FileContent(dir.File("thematic.kes")), FileContent(kSamples + "thematic.kes"));
}

TEST_F(ToolGroupsTest, TheSampleScriptBuildsAGraphicFormWhoseMapListShowsTheChosenMap) {
  WriteBytes(dir.File("a.bmp"), HalfKeyedBmp(16, 16, 0x00FF0000));
  WriteBytes(dir.File("b.bmp"), HalfKeyedBmp(40, 40, 0x000000FF));
  TLoad load;
  load.FileName = kSamples + "thematic.kes";
  load.DoIt();
  world->ObjectModel()->AddElement(load.Output());
  std::unique_ptr<TCommandLine> interpreter(CreateElement<TCommandLine>());
  interpreter->ByDDE = true;
  interpreter->SetFileName(kSamples + "graphic_form.kes");
  interpreter->DoIt();
  EXPECT_EQ(interpreter->Results(), std::vector<std::string>{});
  auto* var = DynamicCast<TVar>(interpreter->Vars()->FindElementByName("MAPA"));
  ASSERT_TRUE(var && var->Element());
  std::unique_ptr<TGraphicForm> window(DynamicCast<TGraphicForm>(var->Element()));
  ASSERT_TRUE(window);
  window->DoIt();
  RunMessages();
  EXPECT_TRUE(DynamicCast<TStandardViewer>(window->GetActiveTool()));
  auto* coordinates = DynamicCast<TExtendedToolGroup>(window->FindTool("Souřadnice"));
  ASSERT_TRUE(coordinates);
  auto* frame = DynamicCast<TKestuFrame>(coordinates->FindTool("Rámec"));
  ASSERT_TRUE(frame);
  platform::Form& form = window->Form()->Window();
  EXPECT_TRUE(platform::FormInToolBar(frame->Frame()->Window(), form, "tb_Souřadnice"));
  EXPECT_EQ(frame->GetDevice(), window->GetDevice());
  EXPECT_EQ(form.ToolButtonCount("tb_Pohled"), 3);
  platform::UserChooseItem(form, "Maps", 1);
  RunMessages();
  // The first map of a window that showed nothing is shown whole: there was
  // no view to keep.
  const platform::Canvas& canvas = DynamicCast<TGraphic_Form>(window->Form())->ImageBitmap()->GetCanvas();
  int drawn = 0;
  for (int y = 0; y < canvas.ClipRect().Bottom; ++y)
    for (int x = 0; x < canvas.ClipRect().Right; ++x) drawn += canvas.Pixel(x, y) != 0xFFFFFF;
  EXPECT_GT(drawn, 1000);
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(form.SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/graphic_form_sample.png"));
}

}  // namespace
