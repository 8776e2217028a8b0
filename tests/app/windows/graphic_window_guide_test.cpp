#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>

#include "app/guide_export/guide_export.h"
#include "app/startup/main_tool.h"
#include "framework/tools/world.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/standard_image_form.h"
#include "tests/app/shell_fixture.h"

namespace {

using GraphicWindowGuideTest = ShellTest;

TEST_F(GraphicWindowGuideTest, TheSampleGuideOpensInAWindowWithItsSheetFramesInTheirColours) {
  auto* main = static_cast<TMainTool*>(TOldMainTool::Create(TMainTool::StaticClass()));
  LoadGuide(*main, std::string(KESTX_SAMPLES_DIR) + "/guide/sample.kes");
  RunMessages();
  TEntity* model = World()->ObjectModel();
  ASSERT_GT(model->GetCount(), 0);
  TElement* guide = model->GetElement(model->GetCount() - 1);
  PostKestuMessage(new TKestuMessage(msgOpenGraphicWindow, nullptr, main, guide, false));
  RunMessages();
  TFormToolManager* manager = nullptr;
  for (int i = 0; i < main->ToolCount(); ++i)
    if (auto* found = DynamicCast<TFormToolManager>(main->GetTool(i))) manager = found;
  ASSERT_TRUE(manager && manager->Form());
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(manager->Form()->Window().SaveImage(KESTX_SCREENSHOTS_DIR "/graphic_window_guide.png"));
  std::map<platform::ColorValue, int> colours;
  platform::Canvas& canvas = manager->Form()->ImageBitmap()->GetCanvas();
  const platform::PixelRect all = canvas.ClipRect();
  for (int y = 0; y < all.Bottom; ++y)
    for (int x = 0; x < all.Right; ++x) ++colours[canvas.Pixel(x, y)];
  // The page is grey with the guide on it; the frames of the 1:50 000, 1:25 000 and 1:10 000 sheets show in red,
  // blue and green, the sheet names in black.
  int most = 0;
  platform::ColorValue page = 0;
  for (const auto& [colour, count] : colours)
    if (count > most) most = count, page = colour;
  EXPECT_EQ(page, 0xC0C0C0u);
  for (const platform::ColorValue frame : {0x0000FFu, 0xFF0000u, 0x008000u, 0x000000u})
    EXPECT_GT(colours[frame], 100) << frame;
}

}  // namespace
