#include "render/tool_forms/rubber_band.h"

#include <algorithm>
#include <cstdlib>

#include "render/devices/canvas_device.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr std::int32_t kClickSize = 3;
constexpr platform::ColorValue kBandColour = 32768;
constexpr int kBandWidth = 3;

platform::Canvas* CanvasOf(TDevice* device) {
  auto* canvasDevice = DynamicCast<TCanvasDevice>(device);
  return canvasDevice ? canvasDevice->Canvas() : nullptr;
}

}  // namespace

bool BandIsClick(const platform::PixelRect& band) {
  return std::abs(std::int64_t(band.Right) - band.Left) < kClickSize &&
         std::abs(std::int64_t(band.Bottom) - band.Top) < kClickSize;
}

platform::PixelRect NormalisedBand(const platform::PixelRect& band) {
  return {std::min(band.Left, band.Right), std::min(band.Top, band.Bottom), std::max(band.Left, band.Right),
          std::max(band.Top, band.Bottom)};
}

void SetBandPen(TDevice* device) {
  platform::Canvas* canvas = CanvasOf(device);
  if (!canvas) return;
  canvas->Pen = {kBandColour, kBandWidth, platform::PenStyle::Solid, platform::PenMode::Xor};
  canvas->Brush.Style = platform::BrushStyle::Clear;
}

void SetPenBack(TDevice* device) {
  if (platform::Canvas* canvas = CanvasOf(device)) canvas->Pen = {0, 1, platform::PenStyle::Solid, platform::PenMode::Copy};
}

void DrawBand(TDevice* device, const platform::PixelRect& band) {
  platform::Canvas* canvas = CanvasOf(device);
  if (!canvas) return;
  const platform::PixelRect drawn = NormalisedBand(band);
  canvas->Rectangle(drawn.Left, drawn.Top, drawn.Right, drawn.Bottom);
}

void ZoomToBand(TDevice* device, const platform::PixelRect& band, std::int32_t x, std::int32_t y) {
  TPageProjection* projection = device ? device->Projection() : nullptr;
  if (!projection) return;
  const platform::PixelRect view = NormalisedBand(band);
  if (BandIsClick(view)) {
    TRealPoint centre;
    projection->DeviceToWorld(x, y, centre);
    projection->SetCenter(centre);
    return;
  }
  TRealRect world;
  projection->DeviceRectToWorld(view.Left, view.Top, view.Right, view.Bottom, world);
  projection->FitRect(world);
}
