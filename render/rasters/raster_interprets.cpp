#include "render/rasters/raster_interprets.h"

#include <algorithm>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "platform/app_queue.h"
#include "platform/canvas.h"
#include "platform/memory_status.h"
#include "platform/pictures.h"
#include "platform/raster_servers.h"
#include "render/devices/canvas_device.h"
#include "render/devices/raster_settings.h"
#include "render/rasters/raster.h"
#include "spatial/geometry/projection.h"

namespace {

// The store's view every raster is drawn through.
constexpr std::int32_t kView = 123;
constexpr platform::ColorValue kFrameColor = 0x00FF00;
constexpr platform::ColorValue kWhite = 0xFFFFFF;
constexpr std::int64_t kCriticalMemory = 2000000;

void RunQueue() { platform::Application::Instance().ProcessMessages(); }

std::string FileNamePart(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void Frame(platform::Canvas& canvas, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  canvas.Pen = {kFrameColor, 1, platform::PenStyle::Solid, platform::PenMode::Copy};
  canvas.Brush.Style = platform::BrushStyle::Clear;
  canvas.Rectangle(left, top, right, bottom);
}

}  // namespace

// What one drawing of a raster needs from step to step.
struct TRasterInterpret::Drawing {
  TRaster* Raster = nullptr;
  TCanvasDevice* Device = nullptr;
  std::string Name;
  bool BiLevel = false;
  // The visible part in device pixels: w × h from (X, Y); the bitmap is W8
  // wide.
  std::int32_t X = 0, Y = 0, W = 0, H = 0, W8 = 0;
  std::int64_t RowBytes = 0;
  // The part in store coordinates.
  double X0 = 0, Y0 = 0, Width = 0, Height = 0;
  std::int32_t Count = 1, TileRows = 0;
  std::unique_ptr<platform::Bitmap> Tile;
};

TRasterInterpret::TRasterInterpret()
    : store_(platform::CreateRasterObject<platform::RasterStore>(platform::kRasterStoreId)),
      view_(platform::CreateRasterObject<platform::ViewTransformation>(platform::kViewTransformationId)) {
  std::int32_t result = 0;
  store_->BindView(kView, view_, result);
}

TRasterInterpret::~TRasterInterpret() = default;

void TRasterInterpret::AttachDevice(TDevice* device) {
  TRectInterpret::AttachDevice(device);
  view_->Reset(0);
}

bool TRasterInterpret::QProcessBefore(TElement* element) { return DynamicCast<TRaster>(element) != nullptr; }

bool TRasterInterpret::IsItsClass(TElement* element) { return DynamicCast<TRaster>(element) != nullptr; }

void TRasterInterpret::Process(TElement* element) {
  auto* raster = DynamicCast<TRaster>(element);
  auto* device = DynamicCast<TCanvasDevice>(Device());
  if (raster && device && device->Canvas()) Draw(*raster, *device);
}

void TRasterInterpret::Status(const std::string& text) { PostTextMessage(this, msgStatusText, text, nullptr); }

std::int64_t TRasterInterpret::MemoryLimit(bool biLevel, const std::string& name) {
  const std::int32_t setting = RasterSetting(biLevel ? "MEMORY_BW" : "MEMORY_C");
  std::int64_t limit = setting > 0 ? setting : kDefaultRasterMemory;
  const platform::MemoryStatus memory = platform::ReadMemoryStatus();
  limit = std::min<std::int64_t>(limit, static_cast<std::int64_t>(std::min<std::uint64_t>(memory.AvailPhys, INT64_MAX)));
  if (limit >= kCriticalMemory) return limit;
  Log(name + "... kritický stav paměti: " + std::to_string(limit));
  if (memory.AvailPageFile > std::uint64_t(kCriticalMemory)) return kCriticalMemory;
  Log("... Zoufale kritický stav paměti ... uvolněte místo na swapovacím disku!");
  return 0;
}

std::unique_ptr<platform::Bitmap> TRasterInterpret::MakeTile(Drawing& d, std::int64_t limit) {
  // Halving stops at one row: a row that does not fit is not drawn at all.
  const auto halve = [&d] {
    if (d.TileRows <= 1) return false;
    d.Count *= 2;
    d.TileRows = (d.TileRows + 1) / 2;
    return true;
  };
  const auto refuse = [&] {
    Log(d.Name + "... ani jeden řádek rastru se nevejde do paměti, rastr se nekreslí");
    return nullptr;
  };
  d.Count = 1;
  d.TileRows = d.H;
  while (limit > 0 && d.RowBytes * d.TileRows > limit)
    if (!halve()) return refuse();
  Log(d.Name + " Počet dlaždic: " + std::to_string(d.Count));
  RunQueue();
  Log(" TileY        : " + std::to_string(d.TileRows));
  RunQueue();
  Log(" BMY          : " + std::to_string(d.H));
  RunQueue();
  Log(" BM           : " + std::to_string(d.RowBytes));
  RunQueue();
  Status(d.Name + " Počet dlaždic " + std::to_string(d.Count));
  RunQueue();
  std::unique_ptr<platform::Bitmap> tile = platform::Bitmap::Create(d.W8, d.TileRows);
  while (!tile) {
    if (!halve()) return refuse();
    tile = platform::Bitmap::Create(d.W8, d.TileRows);
  }
  Log(" Bitmap Y     : " + std::to_string(tile->Height()));
  RunQueue();
  return tile;
}

void TRasterInterpret::Draw(TRaster& raster, TCanvasDevice& device) {
  Drawing d;
  d.Raster = &raster;
  d.Device = &device;
  d.Name = FileNamePart(raster.GetFileName());
  // 1-3: the visible part and its pixels.
  if (!raster.IntersectsRect(MinX, MinY, MaxX, MaxY)) return;
  TRealRect part;
  raster.GetIntersection({MinX, MinY, MaxX, MaxY}, part);
  const TProjection& q = *device.Projection();
  d.W = q.WorldToDeviceDX(part.MaxX - part.MinX);
  d.H = q.WorldToDeviceDY(part.MaxY - part.MinY);
  if (d.W < 1 || d.H < 1) return;
  const TDevicePoint corner = device.ToDevice(part.MinX, part.MaxY);
  d.X = corner.X, d.Y = corner.Y;
  // The projection's rows of a band device lie below the band's own.
  const std::int32_t shift = q.WorldToDeviceY(part.MaxY) - corner.Y;
  while (q.DeviceToWorldX(d.X + d.W) < part.MaxX) ++d.W;
  while (q.DeviceToWorldY(d.Y + shift + d.H) > part.MinY) ++d.H;
  d.W8 = (d.W + 7) / 8 * 8;
  if (d.W8 > d.W) part.MaxX = part.MinX + q.DeviceToWorldDX(d.W8);
  // 4-5: the part in store coordinates.
  store_->SetViewEntry(kView, raster.ViewEntry());
  RunQueue();
  double a = 0, b = 0, c = 0, e = 0;
  store_->Extent(kView, a, b, c, e);
  if (raster.GetGeoRaster()) {
    d.X0 = part.MinX, d.Y0 = part.MinY, d.Width = part.MaxX - part.MinX, d.Height = part.MaxY - part.MinY;
  } else {
    const double kx = e / raster.GetWidth(), ky = c / raster.GetHeight();
    d.Y0 = (part.MinY - raster.GetMinY()) * ky + a;
    d.X0 = (part.MinX - raster.GetMinX()) * kx + b;
    d.Width = (part.MaxX - part.MinX) * kx;
    d.Height = (part.MaxY - part.MinY) * ky;
  }
  // 6-9: the tile bitmap within the memory limit.
  d.BiLevel = raster.GetRasTyp() == 0;
  d.RowBytes = d.BiLevel ? d.W8 : 3 * std::int64_t(d.W8);
  d.Tile = MakeTile(d, MemoryLimit(d.BiLevel, d.Name));
  if (!d.Tile) return;
  // 10-11: the tiles, top first; each renders its own band of rows.
  Frame(*device.Canvas(), d.X, d.Y, d.X + d.W, d.Y + d.H);
  for (std::int32_t t = 1; t <= d.Count && (t - 1) * d.TileRows < d.H; ++t) {
    Status(d.Name + " interpretace " + std::to_string(t) + ". dlaždice z " + std::to_string(d.Count));
    RunQueue();
    DrawTile(d, t);
  }
}

void TRasterInterpret::DrawTile(Drawing& d, std::int32_t tile) {
  const std::int32_t top = (tile - 1) * d.TileRows;
  const std::int32_t rows = std::min(d.TileRows, d.H - top);
  double x0 = d.X0, y0 = d.Y0, width = d.Width, height = d.Height;
  try {
    if (d.Count > 1) {
      // The slice of the whole part, then the band of this tile's rows.
      view_->SetView(x0, y0, width, height, kView, d.W8, d.H, 0, 0, &d.Tile->GetCanvas(), -1);
      double sliceTop = 0, rowHeight = 0, tileTop = 0;
      view_->SliceTop(sliceTop);
      view_->RowHeight(rowHeight);
      view_->PixelTop(0, top, tileTop);
      height = rows * rowHeight;
      y0 = tileTop - height;
    }
    view_->SetView(x0, y0, width, height, kView, d.W8, rows, 0, 0, &d.Tile->GetCanvas(), -1);
    platform::Canvas& canvas = d.Tile->GetCanvas();
    canvas.Brush = {kWhite, platform::BrushStyle::Solid};
    canvas.FillRect(canvas.ClipRect());
    store_->Render(kView, 0, canvas, *d.Tile, 0);
    RunQueue();
    platform::Canvas& target = *d.Device->Canvas();
    if (d.BiLevel) {
      CopyBiLevel(d, d.Y + top, rows);
    } else {
      target.CopyRect({d.X, d.Y + top, d.X + d.W, d.Y + top + rows}, canvas, {0, 0, d.W, rows});
      Frame(target, d.X, d.Y + top, d.X + d.W, d.Y + top + rows);
      Log("dTileY        : " + std::to_string(d.TileRows));
    }
  } catch (const std::exception& error) {
    Log(error.what());
    Log(d.Name + "... Chyba v transformaci nebo kde !!!!!!!");
    Log("   Minx: " + FloatToText(x0));
    Log("   Miny: " + FloatToText(y0));
    Log("   H   : " + FloatToText(height));
    Log("   W   : " + FloatToText(width));
    Log("   x   : " + std::to_string(d.X));
    Log("   y   : " + std::to_string(d.Y + top));
  }
}

// Runs of the tile's non-white pixels as one-pixel lines in the raster's
// colour; white is the background, so the map shows through.  Every row and
// column of the visible part is drawn.
void TRasterInterpret::CopyBiLevel(const Drawing& d, std::int32_t top, std::int32_t rows) {
  platform::Canvas& target = *d.Device->Canvas();
  target.Pen = {static_cast<platform::ColorValue>(d.Raster->Color), 1, platform::PenStyle::Solid,
                platform::PenMode::Copy};
  for (std::int32_t y = 0; y < rows; ++y) {
    const std::uint8_t* row = d.Tile->ScanLine(y);
    bool open = false;
    for (std::int32_t x = 0; x < d.W; ++x) {
      const std::uint8_t* p = row + std::size_t(x) * 3;
      const bool set = p[0] != 0xFF || p[1] != 0xFF || p[2] != 0xFF;
      if (set && !open) target.MoveTo(d.X + x, top + y);
      if (!set && open) target.LineTo(d.X + x, top + y);
      open = set;
    }
    if (open) target.LineTo(d.X + d.W, top + y);
    if ((y + 1) % 100 == 0) RunQueue();
  }
  RunQueue();
}

TClass TRasterInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TRasterInterpret>("TRasterInterpret", TRectInterpret::StaticClass(), "I_Raster", {});
  return &info;
}

// ---------------------------------------------------------------- pictures

TClass TFileInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TFileInterpret>("TFileInterpret", TInterpret::StaticClass(), "I_Raster", {});
  return &info;
}

bool TBMPFileInterpret::IsItsClass(TElement* element) {
  return element && (element->ClassType() == TGraphicFileElement::StaticClass() ||
                     element->ClassType() == TBMPFileElement::StaticClass());
}

bool TBMPFileInterpret::QProcessBefore(TElement* element) { return IsItsClass(element); }

void TBMPFileInterpret::Process(TElement* element) {
  auto* device = DynamicCast<TCanvasDevice>(Device());
  if (!IsItsClass(element) || !device || !device->Canvas()) return;
  auto& picture = static_cast<TGraphicFileElement&>(*element);
  std::unique_ptr<platform::Bitmap> bitmap;
  try {
    bitmap = platform::LoadPicture(picture.GetFileName());
  } catch (const platform::EPictureError& error) {
    Log(FileNamePart(picture.GetFileName()) + "... nelze načíst obrázek: " + error.Reason());
    return;
  }
  RunQueue();
  if (picture.GetHeight() > 0 && picture.GetWidth() > 0)
    device->StretchDraw(0, 0, 0, 0, bitmap.get(), picture.GetMinX(), picture.GetMaxY(), picture.GetWidth(),
                        picture.GetHeight());
  else
    device->Draw(bitmap.get(), picture.GetMinX(), picture.GetMaxY());
}

TClass TBMPFileInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TBMPFileInterpret>("TBMPFileInterpret", TFileInterpret::StaticClass(), "I_Raster", {});
  return &info;
}

void RegisterRasterInterpretClasses() { RegisterKestuClass(TRasterInterpret::StaticClass()); }
