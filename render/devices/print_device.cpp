#include "render/devices/print_device.h"

#include <cmath>

#include "framework/core/class_registry.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

TPrintDevice::TPrintDevice()
    : printer_(std::make_unique<platform::Printer>(platform::PrintFileName(), platform::PrintResolution())) {
  SetName("PRINTER");
  printer_->SetTitle("KESTU KARTIR");
  Page()->SetColor(0xFFFFFF);
  SetCanvas(&printer_->GetCanvas());
}

// The printer ends its document as it goes.
TPrintDevice::~TPrintDevice() { SetCanvas(nullptr); }

void TPrintDevice::SetTitle(const std::string& title) { printer_->SetTitle(title); }

bool TPrintDevice::PlainPen() const {
  const platform::ColorValue color = Canvas()->Pen.Color;
  return color == 0 || color == 0xFFFFFF;
}

void TPrintDevice::WideLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  platform::Canvas& canvas = *Canvas();
  if (PlainPen()) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
    return;
  }
  const std::int32_t h = std::max(1, canvas.Pen.Width / 2);
  const double dx = double(x2) - x1, dy = double(y2) - y1, length = std::sqrt(dx * dx + dy * dy);
  if (length < 1) return;
  const auto ox = static_cast<std::int32_t>(std::lround(h * dx / length));
  const auto oy = static_cast<std::int32_t>(std::lround(h * dy / length));
  const std::int32_t px = -oy, py = ox;
  canvas.Pen.Style = platform::PenStyle::Clear;
  canvas.Brush = {canvas.Pen.Color, platform::BrushStyle::Solid};
  const platform::PixelPoint quad[] = {{x1 - px, y1 - py}, {x1 + px, y1 + py}, {x2 + px, y2 + py}, {x2 - px, y2 - py}};
  canvas.Polygon(quad);
  canvas.Pen.Style = platform::PenStyle::Solid;
}

void TPrintDevice::StrokeSegment(const TDevicePoint& from, const TDevicePoint& to, bool fromPenPosition) {
  if (!RasterizeLines || !Canvas()) return TCanvasDevice::StrokeSegment(from, to, fromPenPosition);
  WideLine(from.X, from.Y, to.X, to.Y);
}

void TPrintDevice::LineToPixel(std::int32_t x, std::int32_t y) {
  if (!RasterizeLines || PlainPen()) return TCanvasDevice::LineToPixel(x, y);
  PageClip clip(*this);
  WideLine(PenPosition().X, PenPosition().Y, x, y);
  SetPenPosition({x, y});
}

void TPrintDevice::StretchDraw(std::int32_t sourceX, std::int32_t sourceY, std::int32_t sourceWidth,
                               std::int32_t sourceHeight, const platform::Bitmap* graphic, double X, double Y,
                               double W, double H) {
  if (!graphic) return;
  const TDevicePoint p = ToDevice(X, Y);
  StretchDrawPixel(p.X, p.Y, graphic, Projection()->WorldToDeviceDX(W), Projection()->WorldToDeviceDY(H), sourceX,
                   sourceY, sourceWidth, sourceHeight);
}

void TPrintDevice::StretchDrawPixel(std::int32_t x, std::int32_t y, const platform::Bitmap* graphic, std::int32_t w,
                                    std::int32_t h, std::int32_t sourceX, std::int32_t sourceY,
                                    std::int32_t sourceWidth, std::int32_t sourceHeight) {
  if (!graphic) return;
  const platform::PixelRect dest{x, y, x + w, y + h};
  PageClip clip(*this);
  if (sourceX == 0 && sourceY == 0 && sourceWidth == 0 && sourceHeight == 0) {
    Canvas()->StretchDraw(dest, *graphic);
    return;
  }
  const platform::PixelRect source{sourceX, sourceY, sourceX + sourceWidth, sourceY + sourceHeight};
  Canvas()->StretchDraw(dest, *graphic, &source);
}

TClass TPrintDevice::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPrintDevice>("TPrintDevice", TCanvasDevice::StaticClass(), "E_device",
                                  {NotStored(FieldProp("RasterizeLines", &TPrintDevice::RasterizeLines))});
  return &info;
}

void RegisterPrintDeviceClasses() { RegisterKestuClass(TPrintDevice::StaticClass()); }
