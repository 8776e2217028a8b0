#include "render/devices/tile_device.h"

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/environment/environment.h"
#include "platform/app_queue.h"
#include "render/devices/print_device.h"
#include "render/devices/raster_settings.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr std::int64_t kLowMemory = 2000000;

std::int32_t HalfUp(std::int32_t rows) { return rows / 2 + rows % 2; }

}  // namespace

TDevice* TTileDevice::Target() const { return static_cast<TDevice*>(target_.Get()); }

const TProjection& TTileDevice::DrawingProjection() const {
  const TDevice* target = Target();
  return target && target->Projection() ? *target->Projection() : TBitmapDevice::DrawingProjection();
}

TDeviceRect TTileDevice::DrawingPageRect() const {
  const TDevice* target = Target();
  return target && target->Page() ? target->Page()->PageRect : TBitmapDevice::DrawingPageRect();
}

void TTileDevice::VisibleWorldRect(TRealRect& R, bool clipped) const {
  if (const TDevice* target = Target()) return target->VisibleWorldRect(R, clipped);
  TBitmapDevice::VisibleWorldRect(R, clipped);
}

std::int64_t TTileDevice::MemoryLimit() {
  std::int64_t limit = MemoryTileSetting();
  const TMemoryElement memory;
  if (memory.AvailMemory() < limit) limit = memory.AvailMemory();
  if (limit >= kLowMemory) return limit;
  PostTextMessage(this, msgLogText, "TILE... kritický stav paměti: " + std::to_string(limit), nullptr);
  if (memory.AvailPageFile() > kLowMemory) return kLowMemory;
  PostTextMessage(this, msgLogText,
                  "TILE... Zoufale kritický stav paměti ... uvolněte místo na swapovacím disku!", nullptr);
  return 0;
}

void TTileDevice::StartingSplit(std::int64_t limit, std::int32_t width, std::int32_t height) {
  TileCount = 1;
  bandHeight_ = height;
  const std::int64_t row = platform::Bitmap::RowBytes(width);
  while (bandHeight_ > 1 && row * bandHeight_ > limit) {
    TileCount *= 2;
    bandHeight_ = HalfUp(bandHeight_);
  }
}

void TTileDevice::Setup(TDevice* target) {
  target_.Set(target);
  SetBitmap(nullptr);
  Done = true;
  TileIndex = 0;
  TileTop = 0;
  rowShift_ = 0;
  if (!target || !target->Page()) return;
  const std::int32_t width = std::max(1, target->Page()->Width());
  const std::int32_t height = std::max(1, target->Page()->Height());
  StartingSplit(MemoryLimit(), width, height);
  std::unique_ptr<platform::Bitmap> band = platform::Bitmap::Create(width, bandHeight_);
  while (!band && bandHeight_ > 1) {
    TileCount *= 2;
    bandHeight_ = HalfUp(bandHeight_);
    band = platform::Bitmap::Create(width, bandHeight_);
  }
  if (!band) {
    // Not even a band of one row: nothing is drawn.
    PostTextMessage(this, msgLogText, "TILE... nelze vytvořit ani jednořádkovou dlaždici", nullptr);
    TileCount = 0;
    return;
  }
  while (std::int64_t(bandHeight_) * (TileCount - 1) >= height) --TileCount;
  PostTextMessage(this, msgStatusText, "TILE... Počet dlaždic " + std::to_string(TileCount), nullptr);
  platform::Application::Instance().ProcessMessages();
  SetOwnsBitmap(true);
  SetBitmap(band.release());
  SetupBand(bandHeight_ / 2);
  Done = false;
}

TDevice& TTileDevice::WholePicture() {
  TDevice* target = Target();
  return target ? *target : *this;
}

void TTileDevice::FollowWholePicture() {
  if (!Done && Target() && Bitmap()) SetupBand(centreRow_);
}

void TTileDevice::SetupBand(std::int32_t centreRow) {
  centreRow_ = centreRow;
  const TDevice& target = *Target();
  const T_Page& targetPage = *target.Page();
  const TPageProjection& targetProjection = *target.Projection();
  T_Page& page = *Page();
  page.SetResolution(targetPage.HRes(), targetPage.VRes());
  page.SetColor(targetPage.Color());
  page.ClipActive = targetPage.ClipActive;
  page.ClipRect = {targetPage.ClipRect.Left, targetPage.ClipRect.Top - TileTop, targetPage.ClipRect.Right,
                   targetPage.ClipRect.Bottom - TileTop};
  TPageProjection& projection = *Projection();
  projection.Calculate({targetProjection.Center_X(), targetProjection.DeviceToWorldY(centreRow)}, &page,
                       targetProjection.Scale());
  projection.SetAngle(targetProjection.Angle());
  projection.RotateCenter_X = targetProjection.RotateCenter_X;
  projection.RotateCenter_Y = targetProjection.RotateCenter_Y;
  projection.SetVirtualScale(targetProjection.VirtualScale());
  rowShift_ = TileTop;
  // Hatching runs on from the band above, as it does on the whole picture.
  Canvas()->SetBrushOrigin({0, -TileTop});
}

void TTileDevice::NextTile() {
  if (Done) return;
  ++TileIndex;
  TileTop += Bitmap() ? Bitmap()->Height() : 0;
  Done = TileIndex >= TileCount || !Target();
  if (Done) {
    SetBitmap(nullptr);
    return;
  }
  const std::int32_t targetHeight = Target()->Page()->Height();
  if (TileTop + bandHeight_ > targetHeight - 1) Bitmap()->SetHeight(targetHeight - TileTop);
  SetBitmap(Bitmap());
  SetupBand(Bitmap()->Height() / 2 + TileIndex * bandHeight_);
}

void TTileDevice::BeginDraw() {
  auto* target = DynamicCast<TCanvasDevice>(Target());
  if (target && target->Canvas() && Canvas()) {
    const std::int32_t width = Bitmap()->Width(), height = Bitmap()->Height();
    Canvas()->CopyRect({0, 0, width, height}, *target->Canvas(), {0, TileTop, width, TileTop + height});
  }
  Clear();
}

void TTileDevice::EndDraw() {
  auto* target = DynamicCast<TCanvasDevice>(Target());
  if (!target || !target->Canvas() || !Bitmap()) return;
  const platform::Bitmap& band = *Bitmap();
  if (DynamicCast<TPrintDevice>(target))
    target->StretchDrawPixel(0, TileTop, &band, band.Width(), band.Height(), 0, 0, band.Width(), band.Height());
  else
    target->Canvas()->Draw(0, TileTop, band);
}

TClass TTileDevice::StaticClass() {
  static const TClassInfo info = DescribeClass<TTileDevice>(
      "TTileDevice", TBitmapDevice::StaticClass(), "E_bgif",
      {NotStored(FieldProp("Done", &TTileDevice::Done)), NotStored(FieldProp("TileCount", &TTileDevice::TileCount)),
       NotStored(FieldProp("TileIndex", &TTileDevice::TileIndex)),
       NotStored(FieldProp("TileTop", &TTileDevice::TileTop))});
  return &info;
}

void RegisterTileDeviceClasses() { RegisterKestuClass(TTileDevice::StaticClass()); }
