#include "forestry/tools/shift_image.h"

#include "framework/core/class_registry.h"
#include "platform/canvas.h"
#include "render/devices/device.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/graphic_window_parts.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/standard_image_form.h"
#include "spatial/geometry/projection.h"

namespace {

enum : std::int32_t { kHandFlat = 0, kHandGrab = 1 };

TDevicePoint PointOf(const TKestuMessage* message) {
  const auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  return mouse ? TDevicePoint{mouse->X, mouse->Y} : TDevicePoint{};
}

}  // namespace

TShiftImage::TShiftImage() = default;
TShiftImage::~TShiftImage() = default;

void TShiftImage::InitCursors() {
  AddCursor("HANDFLAT");
  AddCursor("HANDGRAB");
}

platform::Bitmap* TShiftImage::ImageBitmap() const {
  auto* device = DynamicCast<TImageCanvasDevice>(GetDevice());
  return device ? device->Bitmap() : nullptr;
}

void TShiftImage::StartDrag(TKestuMessage*, bool&) {
  platform::Bitmap* image = ImageBitmap();
  if (!image) return;
  copy_ = platform::Bitmap::Create(image->Width(), image->Height());
  if (copy_) copy_->GetCanvas().Draw(0, 0, *image);
  firstMove_ = true;
  SetCursorIndex(kHandGrab);
}

void TShiftImage::DragOver(TKestuMessage* message, bool&) {
  platform::Bitmap* image = ImageBitmap();
  if (!image || !copy_) return;
  const TDevicePoint at = PointOf(message);
  if (firstMove_) {
    firstMove_ = false;
    start_ = last_ = at;
    return;
  }
  const std::int32_t dx = at.X - start_.X;
  const std::int32_t dy = at.Y - start_.Y;
  const std::int32_t width = image->Width();
  const std::int32_t height = image->Height();
  platform::Canvas& canvas = image->GetCanvas();
  canvas.Brush = {DevicePageColor(GetDevice()), platform::BrushStyle::Solid};
  // The strips the moved picture no longer covers.
  if (dx > 0) canvas.FillRect({0, 0, dx, height});
  if (dx < 0) canvas.FillRect({width + dx, 0, width, height});
  if (dy > 0) canvas.FillRect({0, 0, width, dy});
  if (dy < 0) canvas.FillRect({0, height + dy, width, height});
  canvas.Draw(dx, dy, *copy_);
  last_ = at;
  PostMessageToOwners(msgRepaintImage, nullptr, false);
}

void TShiftImage::DragDrop(TKestuMessage* message, bool&) {
  TDevice* device = GetDevice();
  TPageProjection* projection = device ? device->Projection() : nullptr;
  if (!projection || !copy_ || firstMove_) return;
  const TDevicePoint at = PointOf(message);
  // The map follows the mouse: the view's centre moves the other way.
  const double dx = projection->DeviceToWorldX(start_.X) - projection->DeviceToWorldX(at.X);
  const double dy = projection->DeviceToWorldY(start_.Y) - projection->DeviceToWorldY(at.Y);
  projection->SetCenter_X(projection->Center_X() + dx);
  projection->SetCenter_Y(projection->Center_Y() + dy);
  PostMessageToOwners(msgRequestReView, nullptr, false);
}

void TShiftImage::EndDrag(TKestuMessage*, bool&) {
  copy_.reset();
  SetCursorIndex(kHandFlat);
}

TClass TShiftImage::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TShiftImage>("TShiftImage", TInterfaceTool::StaticClass(), "T_Monitors", {});
  return &info;
}

void RegisterShiftImageClasses() { RegisterKestuClass(TShiftImage::StaticClass()); }
