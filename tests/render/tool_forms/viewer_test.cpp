#include "render/tool_forms/viewer.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/render/tool_forms/graphic_window_fixture.h"

namespace {

TEST(ViewerBandTest, ABandUnderThreePixelsBothWaysIsAClickAndBandsAreNormalised) {
  struct Case {
    const char* name;
    platform::PixelRect band;
    bool click;
    platform::PixelRect normalised;
  };
  const Case cases[] = {
      {"no move", {5, 5, 5, 5}, true, {5, 5, 5, 5}},
      {"2 x 2", {5, 5, 7, 7}, true, {5, 5, 7, 7}},
      {"2 x 2 up-left", {7, 7, 5, 5}, true, {5, 5, 7, 7}},
      {"3 x 1", {5, 5, 8, 6}, false, {5, 5, 8, 6}},
      {"1 x 3 up", {5, 8, 6, 5}, false, {5, 5, 6, 8}},
      {"up-left band", {90, 80, 10, 20}, false, {10, 20, 90, 80}},
  };
  for (const Case& test : cases)
    EXPECT_EQ(std::tuple(BandIsClick(test.band), NormalisedBand(test.band)), std::tuple(test.click, test.normalised))
        << test.name;
}

using ViewerTest = GraphicWindowTest;

TEST_F(ViewerTest, AClickCentresTheViewAndABandInAnyDirectionIsZoomedTo) {
  struct Case {
    const char* name;
    int x0, y0, x1, y1;
    bool click;
  };
  const Case cases[] = {
      {"click", 100, 100, 100, 100, true},        {"2 x 2 drag", 100, 100, 102, 102, true},
      {"3 x 1 drag", 100, 100, 103, 101, false},  {"band down-right", 50, 40, 150, 120, false},
      {"band up-left", 150, 120, 50, 40, false},
  };
  for (const Case& test : cases) {
    manager->FitToInput();
    const double before = manager->Scale();
    TRealPoint up, corner0, corner1;
    Projection().DeviceToWorld(test.x1, test.y1, up);
    Projection().DeviceToWorld(test.x0, test.y0, corner0);
    Projection().DeviceToWorld(test.x1, test.y1, corner1);
    owner.codes.clear();
    Drag(test.x0, test.y0, test.x1, test.y1);
    if (test.click) {
      EXPECT_EQ(std::tuple(Projection().Center_X(), Projection().Center_Y(), manager->Scale()),
                std::tuple(up.X, up.Y, before))
          << test.name;
    } else {
      EXPECT_NEAR(Projection().Center_X(), (corner0.X + corner1.X) / 2, 1e-6) << test.name;
      EXPECT_NEAR(Projection().Center_Y(), (corner0.Y + corner1.Y) / 2, 1e-6) << test.name;
      EXPECT_LT(manager->Scale(), before) << test.name;
    }
    EXPECT_EQ(Redraws(), 1) << test.name << ": the view is redrawn";
  }
}

TEST_F(ViewerTest, TheClickThatBringsTheWindowBackActsOnNothingAndLeavesNoBand) {
  manager->DoIt();
  RunMessages();
  const double x = Projection().Center_X();
  std::vector<platform::ColorValue> row;
  auto pixels = [&] {
    std::vector<platform::ColorValue> seen;
    for (int i = 90; i < 130; ++i) seen.push_back(Picture().GetCanvas().Pixel(i, 100));
    return seen;
  };
  row = pixels();
  platform::UserDeactivate(Window());
  Drag(100, 100, 120, 100);
  EXPECT_EQ(std::tuple(Projection().Center_X(), pixels() == row), std::tuple(x, true)) << "ignored, band gone";
  // The next click acts again.
  Drag(10, 10, 10, 10);
  EXPECT_NE(Projection().Center_X(), x);
}

TEST_F(ViewerTest, TheBandIsDrawnInGreenExclusiveOrWhileDraggingAndTheDragIsClippedToTheImage) {
  manager->SetPageColor(0xFFFFFF);
  manager->DoIt();
  RunMessages();
  TDevicePoint gap;
  Projection().WorldToDevice(70, 200, gap);
  const platform::Bounds image = Window().ControlBounds("Image");
  Mouse(platform::MouseAction::Down, gap.X, gap.Y);
  RunMessages();
  Mouse(platform::MouseAction::Move, image.Width + 500, -300, 0, 8);
  RunMessages();
  // The band's left side runs down from the press: white XOR green is magenta.
  EXPECT_EQ(Picture().GetCanvas().Pixel(gap.X, gap.Y - 10), 0xFF7FFFu);
  Mouse(platform::MouseAction::Up, image.Width + 500, -300);
  RunMessages();
  EXPECT_EQ(std::tuple(Picture().Width(), Picture().Height()), std::tuple(image.Width, image.Height));
}

TEST_F(ViewerTest, ARightClickOpensTheImagesMenuAtItsScreenPointAfterStoppingTheRedraw) {
  Mouse(platform::MouseAction::Down, 30, 40, 1);
  Mouse(platform::MouseAction::Up, 30, 40, 1);
  RunMessages();
  std::int32_t x = 30, y = 40;
  Window().ControlToScreen("Image", x, y);
  const platform::PopupRecord popup = platform::LastPopup();
  EXPECT_EQ(std::tuple(popup.Menu, popup.X, popup.Y), std::tuple(std::string("pm_Image"), x, y));
}

}  // namespace
