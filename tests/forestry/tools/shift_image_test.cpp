#include "forestry/tools/shift_image.h"

#include <memory>
#include <string>
#include <vector>

#include "render/devices/device.h"
#include "render/tool_forms/interaction_events.h"
#include "tests/app/pickers/picker_window.h"
#include "tests/forestry/forest_data_fixture.h"

namespace {

constexpr platform::ColorValue kBlue = 0xFF0000;

// A window on one stand whose picture is white with a blue 10 by 10 square
// at (50,50) on a grey page; the shift tool uses its device.
class ShiftImageTest : public ForestDataTest {
 protected:
  void SetUp() override {
    ForestDataTest::SetUp();
    PlaceStands({{{"101", "12", "a", "3", "2"}, 0, 0}});
    window = std::make_unique<PickerWindow>(windowOwner, hierarchy);
    platform::Canvas& canvas = window->Picture().GetCanvas();
    canvas.Brush = {kWhite, platform::BrushStyle::Solid};
    canvas.FillRect({0, 0, window->Picture().Width(), window->Picture().Height()});
    canvas.Brush = {kBlue, platform::BrushStyle::Solid};
    canvas.FillRect({50, 50, 60, 60});
    tool = CreateElement<TShiftImage>();
    owner.AddElement(tool);
    tool->SetDevice(window->manager->GetDevice());
  }
  void TearDown() override {
    owner.Clear();
    window.reset();
    windowOwner.Clear();
    ForestDataTest::TearDown();
  }
  using Handler = void (TShiftImage::*)(TKestuMessage*, bool&);
  void Send(Handler handler, int code, TDevicePoint at) {
    TKestuMouseEvent event(code, tool, nullptr, 0, 0, at.X, at.Y, false);
    bool handled = false;
    (tool->*handler)(&event, handled);
    RunMessages();
  }

  TOwnerEntity windowOwner;
  TRecorder owner;
  std::unique_ptr<PickerWindow> window;
  TShiftImage* tool = nullptr;
};

TEST_F(ShiftImageTest, DraggingShowsTheOldPictureMovedOverThePageColour) {
  Send(&TShiftImage::StartDrag, msgStartDrag, {100, 100});
  EXPECT_EQ(tool->CursorIndex(), 1);
  Send(&TShiftImage::DragOver, msgDragOver, {100, 100});
  EXPECT_EQ(window->Pixel({55, 55}), kBlue) << "the first move only notes the start";
  Send(&TShiftImage::DragOver, msgDragOver, {120, 90});
  const int w = window->Picture().Width();
  const int h = window->Picture().Height();
  window->ExpectPixels({
      {"the square moved", {70, 40}, 0, 0, kBlue},
      {"its far corner moved", {79, 49}, 0, 0, kBlue},
      {"where it was", {55, 55}, 0, 0, kWhite},
      {"the left strip", {0, 0}, 19, 20, kGrey},
      {"past the left strip", {0, 0}, 20, 20, kWhite},
      {"the bottom strip", {0, h - 10}, 30, 0, kGrey},
      {"above the bottom strip", {0, h - 11}, 30, 0, kWhite},
      {"the right edge", {w - 1, 20}, 0, 0, kWhite},
  });
}

TEST_F(ShiftImageTest, TheDropMovesTheViewWithTheMouseAndAsksForARedraw) {
  TPageProjection* projection = window->manager->Projection();
  const double x = projection->DeviceToWorldX(100);
  const double y = projection->DeviceToWorldY(100);
  Send(&TShiftImage::StartDrag, msgStartDrag, {100, 100});
  Send(&TShiftImage::DragOver, msgDragOver, {100, 100});
  Send(&TShiftImage::DragOver, msgDragOver, {130, 80});
  owner.Messages.clear();
  Send(&TShiftImage::DragDrop, msgDragDrop, {130, 80});
  TDevicePoint now;
  projection->WorldToDevice(x, y, now);
  EXPECT_EQ(now, (TDevicePoint{130, 80})) << "the point under the grab stays under the mouse";
  ASSERT_EQ(owner.Messages.size(), 1u);
  EXPECT_EQ(owner.Messages[0].Code, msgRequestReView);
  Send(&TShiftImage::EndDrag, msgEndDrag, {130, 80});
  EXPECT_EQ(tool->CursorIndex(), 0);
}

TEST_F(ShiftImageTest, ADropWithoutAMoveLeavesTheView) {
  TPageProjection* projection = window->manager->Projection();
  const double centreX = projection->Center_X();
  Send(&TShiftImage::StartDrag, msgStartDrag, {100, 100});
  Send(&TShiftImage::DragDrop, msgDragDrop, {140, 100});
  EXPECT_EQ(projection->Center_X(), centreX);
}

}  // namespace
