#include "render/tool_forms/viewer.h"

#include <algorithm>
#include <cstdlib>

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "render/devices/canvas_device.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/interface_tool.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr std::int32_t kClickSize = 3;
constexpr std::int32_t kViewerCursor = 16;
constexpr platform::ColorValue kBandColour = 32768;

}  // namespace

bool BandIsClick(const platform::PixelRect& band) {
  return std::abs(std::int64_t(band.Right) - band.Left) < kClickSize &&
         std::abs(std::int64_t(band.Bottom) - band.Top) < kClickSize;
}

platform::PixelRect NormalisedBand(const platform::PixelRect& band) {
  return {std::min(band.Left, band.Right), std::min(band.Top, band.Bottom), std::max(band.Left, band.Right),
          std::max(band.Top, band.Bottom)};
}

std::string TViewer::GetName() const { return "Prohlížeč"; }

std::int32_t TViewer::GetCursor() { return kViewerCursor; }

void TViewer::KeyDown(TKestuMessage* message, bool& handled) {
  // The manager would apply the same key again to the device both share.
  if (ApplyViewKey(*this, message, [this](int code) { PostMessageToOwners(code, nullptr, false); })) handled = true;
}

void TViewer::BandPen() {
  auto* device = DynamicCast<TCanvasDevice>(GetDevice());
  if (!device || !device->Canvas()) return;
  device->Canvas()->Pen = {kBandColour, 3, platform::PenStyle::Solid, platform::PenMode::Xor};
  device->Canvas()->Brush.Style = platform::BrushStyle::Clear;
}

void TViewer::PenBack() {
  auto* device = DynamicCast<TCanvasDevice>(GetDevice());
  if (!device || !device->Canvas()) return;
  device->Canvas()->Pen = {0, 1, platform::PenStyle::Solid, platform::PenMode::Copy};
}

void TViewer::DrawBand() {
  auto* device = DynamicCast<TCanvasDevice>(GetDevice());
  if (!device || !device->Canvas()) return;
  const platform::PixelRect band = NormalisedBand(Band);
  device->Canvas()->Rectangle(band.Left, band.Top, band.Right, band.Bottom);
}

void TViewer::MouseDown(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse) return;
  platform::Application::Instance().ProcessMessages();
  PostMessageToOwners(msgStopReView, nullptr, false);
  if (mouse->Button == 0) {
    BandPen();
    Band = {mouse->X, mouse->Y, mouse->X, mouse->Y};
    DrawBand();
    dragging_ = true;
  }
  handled = true;
}

void TViewer::MouseMove(TKestuMessage* message, bool&) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || !mouse->Armed || !(mouse->Shift & ssLeft) || !dragging_) return;
  BandPen();
  DrawBand();
  Band.Right = mouse->X;
  Band.Bottom = mouse->Y;
  DrawBand();
}

void TViewer::MouseUp(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || mouse->Button != 0) return;
  // The band drawn at the press goes also when the click only brought the
  // window back to the front.
  if (dragging_) {
    BandPen();
    DrawBand();
    PenBack();
    dragging_ = false;
  }
  if (!mouse->Armed) return;
  TDevice* device = GetDevice();
  if (TPageProjection* projection = device ? device->Projection() : nullptr) {
    const platform::PixelRect band = NormalisedBand(Band);
    if (BandIsClick(band)) {
      TRealPoint centre;
      projection->DeviceToWorld(mouse->X, mouse->Y, centre);
      projection->SetCenter(centre);
    } else {
      TRealRect world;
      projection->DeviceRectToWorld(band.Left, band.Top, band.Right, band.Bottom, world);
      projection->FitRect(world);
    }
  }
  PostMessageToOwners(msgRequestReView, nullptr, false);
  handled = true;
}

TClass TViewer::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TViewer>("TViewer", TInteractiveTool::StaticClass(), "t_InteractiveTool", {});
  return &info;
}

void RegisterViewerClasses() { RegisterKestuClass(TViewer::StaticClass()); }
