// The viewer of script-built graphic windows: the band follows the image's
// drag and is zoomed to when it ends, a click centres the view, and the
// click that brings the window back acts on nothing.
#include "render/tool_forms/standard_viewer.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "render/devices/canvas_device.h"
#include "tests/render/tool_forms/graphic_window_fixture.h"

namespace {

// A viewer on the graphic window's device, owned by a recorder of what it
// posts to its owners.
class StandardViewerTest : public GraphicWindowTest {
 protected:
  void SetUp() override {
    GraphicWindowTest::SetUp();
    viewer = CreateElement<TStandardViewer>();
    viewer->SetDevice(manager->GetDevice());
    viewers.AddElement(viewer);
    manager->SetPageColor(0xFFFFFF);
    manager->FitToInput();
  }
  void TearDown() override {
    viewers.Clear();
    GraphicWindowTest::TearDown();
  }
  bool Send(int code, int x, int y, bool armed = true, std::uint8_t button = 0) {
    return Deliver(*viewer, TKestuMouseEvent(code, viewer, viewer, static_cast<std::uint8_t>(8), button, x, y, armed));
  }
  platform::ColorValue PixelAt(int x, int y) { return Picture().GetCanvas().Pixel(x, y); }

  TCodeRecorder viewers;
  TStandardViewer* viewer = nullptr;
};

TEST_F(StandardViewerTest, AClickOrASmallBandCentresTheViewAndALargerBandInAnyDirectionIsZoomedTo) {
  struct Event {
    int code, x, y;
  };
  struct Row {
    const char* name;
    std::vector<Event> events;
    bool click;
    int x0, y0, x1, y1;  // the band's corners, or the point the view is centred on
  };
  const Row rows[] = {
      {"click", {{61, 100, 100}, {62, 100, 100}}, true, 100, 100, 100, 100},
      {"drag without a move over the image", {{61, 100, 100}, {64, 0, 0}, {67, 120, 90}, {62, 120, 90}}, true,
       120, 90, 120, 90},
      {"2 x 2 band", {{61, 100, 100}, {64, 0, 0}, {65, 102, 102}, {67, 102, 102}}, true, 102, 102, 102, 102},
      {"3 x 1 band", {{61, 100, 100}, {64, 0, 0}, {65, 103, 101}, {67, 103, 101}}, false, 100, 100, 103, 101},
      {"band up-left", {{61, 150, 120}, {64, 0, 0}, {65, 50, 40}, {67, 50, 40}}, false, 150, 120, 50, 40},
  };
  for (const Row& row : rows) {
    manager->FitToInput();
    const double scale = manager->Scale();
    TRealPoint corner0, corner1;
    Projection().DeviceToWorld(row.x0, row.y0, corner0);
    Projection().DeviceToWorld(row.x1, row.y1, corner1);
    viewers.codes.clear();
    for (const Event& event : row.events) Send(event.code, event.x, event.y);
    RunMessages();
    if (row.click) {
      EXPECT_EQ(std::tuple(Projection().Center_X(), Projection().Center_Y(), manager->Scale()),
                std::tuple(corner0.X, corner0.Y, scale))
          << row.name;
    } else {
      EXPECT_NEAR(Projection().Center_X(), (corner0.X + corner1.X) / 2, 1e-6) << row.name;
      EXPECT_NEAR(Projection().Center_Y(), (corner0.Y + corner1.Y) / 2, 1e-6) << row.name;
      EXPECT_LT(manager->Scale(), scale) << row.name;
    }
    EXPECT_EQ(viewers.codes.front(), msgStopReView) << row.name << ": the press stops a running redraw";
    EXPECT_EQ(viewers.codes.back(), msgRequestReView) << row.name << ": the view is redrawn";
  }
}

TEST_F(StandardViewerTest, TheClickThatBringsTheWindowBackNeitherZoomsNorCentres) {
  const double x = Projection().Center_X();
  const double scale = manager->Scale();
  Send(61, 10, 10, false);
  Send(62, 10, 10, false);
  Send(61, 10, 10, false);
  Send(64, 0, 0, false);
  Send(65, 90, 90, false);
  Send(67, 90, 90, false);
  RunMessages();
  EXPECT_EQ(std::tuple(Projection().Center_X(), manager->Scale(), viewers.codes),
            std::tuple(x, scale, std::vector<int>{msgStopReView, msgStopReView}));
}

TEST_F(StandardViewerTest, TheBandIsGreenExclusiveOrWhileDraggedAndGoneWithThePenBackAfterwards) {
  manager->DoIt();
  RunMessages();
  auto* canvas = DynamicCast<TCanvasDevice>(manager->GetDevice())->Canvas();
  // The right sides of the band to (60, 50) and of the band to (80, 70),
  // from the press at (20, 20).
  const platform::ColorValue oldSide = PixelAt(58, 35);
  const platform::ColorValue newSide = PixelAt(78, 35);
  const platform::ColorValue green = 32768;
  struct Step {
    const char* name;
    int code, x, y;
    bool onOldSide, onNewSide, drawn;
  };
  const Step steps[] = {
      {"press draws nothing", 61, 20, 20, false, false, false},
      {"start draws the band of no size", 64, 0, 0, false, false, true},
      {"over draws the band", 65, 60, 50, true, false, true},
      {"over moves the band", 65, 80, 70, false, true, true},
      {"end removes it", 67, 80, 70, false, false, false},
      {"the synthesised release draws nothing", 62, 80, 70, false, false, false},
  };
  for (const Step& step : steps) {
    Send(step.code, step.x, step.y);
    EXPECT_EQ(std::tuple(PixelAt(58, 35), PixelAt(78, 35), viewer->BandDrawn()),
              std::tuple(step.onOldSide ? oldSide ^ green : oldSide, step.onNewSide ? newSide ^ green : newSide,
                         step.drawn))
        << step.name;
  }
  EXPECT_EQ(std::tuple(canvas->Pen.Color, canvas->Pen.Width, canvas->Pen.Mode),
            std::tuple(platform::ColorValue(0), 1, platform::PenMode::Copy));
}

TEST_F(StandardViewerTest, EscapeAndTheZoomKeysActOnTheWindowAndOtherKeysAreLeft) {
  struct Row {
    std::uint16_t key;
    double scaleFactor;
    std::vector<int> posted;
    bool handled;
  };
  const Row rows[] = {
      {platform::vkEscape, 1, {msgStopReView}, true},
      {platform::vkF5, 0.5, {msgRequestReView}, true},
      {platform::vkF6, 2, {msgRequestReView}, true},
      {'A', 1, {}, false},
  };
  for (const Row& row : rows) {
    const double scale = manager->Scale();
    viewers.codes.clear();
    const bool handled = Deliver(*viewer, TKestuKeyEvent(msgKeyDown, viewer, viewer, 0, row.key));
    RunMessages();
    EXPECT_EQ(std::tuple(manager->Scale(), viewers.codes, handled), std::tuple(scale * row.scaleFactor, row.posted, row.handled))
        << "key " << row.key;
  }
}

}  // namespace
