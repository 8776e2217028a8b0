#pragma once
// A graphic window on a model for the selectors' tests: a grey picture, a
// person's mouse on its image, and a recorder of what reaches the main tool.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/messages.h"
#include "framework/tools/tools.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/canvas.h"
#include "platform/forms.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/standard_image_form.h"
#include "spatial/geometry/projection.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

inline constexpr platform::ColorValue kGrey = 0x808080;
inline constexpr platform::ColorValue kRed = 0x0000FF;
inline constexpr platform::ColorValue kWhite = 0xFFFFFF;

// A tool run by a selector: notes its input and the "FTM" it was given.
class TNotedTool : public TTool {
 public:
  int runs = 0;
  TElement* input = nullptr;
  TElement* ftm = nullptr;
  void DoIt() override {
    ++runs;
    input = Input();
    ftm = GetParameter("FTM");
  }
};

// A pixel of the picture near a point, and the colour it must have.
struct PixelRow {
  const char* name;
  TDevicePoint at;
  int dx, dy;
  platform::ColorValue colour;
};

class PickerWindow {
 public:
  // The window shows the model on a grey page, fitted and then zoomed out
  // so that nothing lies at the picture's edges.
  PickerWindow(TEntity& owner, TElement* model) {
    manager = CreateElement<TFormToolManager>();
    owner.AddElement(manager);
    manager->SetPageColor(kGrey);
    manager->SetInput(model);
    manager->DoIt();
    platform::Application::Instance().ProcessMessages();
    manager->SetScale(manager->Scale() * 2);
    Clear();
  }
  // The picture as drawn before any click.
  void Clear() {
    Picture().GetCanvas().Brush = {kGrey, platform::BrushStyle::Solid};
    Picture().GetCanvas().FillRect({0, 0, Picture().Width(), Picture().Height()});
  }
  // Makes the tool the window's active one, as its menu item does.
  void Select(TInteractiveTool* tool) {
    manager->SetNextTool(tool);
    tool->RequestSelection();
    platform::Application::Instance().ProcessMessages();
  }
  platform::Form& Window() { return manager->Form()->Window(); }
  platform::Bitmap& Picture() { return *manager->Form()->ImageBitmap(); }
  TDevicePoint At(double x, double y) {
    TDevicePoint point;
    manager->Projection()->WorldToDevice(x, y, point);
    return point;
  }
  void Mouse(platform::MouseAction action, TDevicePoint at, std::uint8_t button = 0, std::uint8_t shift = 0) {
    platform::UserMouse(Window(), "Image", action, {button, shift, at.X, at.Y});
    platform::Application::Instance().ProcessMessages();
  }
  void Click(TDevicePoint at, std::uint8_t button = 0) {
    Mouse(platform::MouseAction::Down, at, button);
    Mouse(platform::MouseAction::Up, at, button);
  }
  platform::ColorValue Pixel(TDevicePoint at, int dx = 0, int dy = 0) {
    return Picture().GetCanvas().Pixel(at.X + dx, at.Y + dy);
  }
  void ExpectPixels(const std::vector<PixelRow>& rows) {
    for (const PixelRow& row : rows)
      EXPECT_EQ(Pixel(row.at, row.dx, row.dy), row.colour)
          << row.name << " at " << row.at.X + row.dx << "," << row.at.Y + row.dy;
  }
  // Every pixel of the picture, row by row.
  std::vector<platform::ColorValue> Pixels() {
    std::vector<platform::ColorValue> pixels;
    for (int y = 0; y < Picture().Height(); ++y)
      for (int x = 0; x < Picture().Width(); ++x) pixels.push_back(Picture().GetCanvas().Pixel(x, y));
    return pixels;
  }

  TFormToolManager* manager = nullptr;
};
