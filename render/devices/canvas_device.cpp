#include "render/devices/canvas_device.h"

#include <cmath>
#include <vector>

#include "framework/core/class_registry.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

namespace {

std::vector<platform::PixelPoint> ToPixels(std::span<const TDevicePoint> points) {
  std::vector<platform::PixelPoint> pixels(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) pixels[i] = {points[i].X, points[i].Y};
  return pixels;
}

platform::PixelRect ToPixelRect(const TDeviceRect& rect) { return {rect.Left, rect.Top, rect.Right, rect.Bottom}; }

}  // namespace

TCanvasDevice::PageClip::PageClip(const TCanvasDevice& device) {
  const T_Page* page = device.Page();
  if (!device.canvas_ || !page || !page->ClipActive) return;
  limited_ = device.canvas_;
  limited_->LimitDrawingTo(ToPixelRect(page->ClipRect));
}

TCanvasDevice::PageClip::~PageClip() {
  if (limited_) limited_->UnlimitDrawing();
}

TCanvasDevice::TCanvasDevice() : buffer_(std::make_unique<TBorderBuffer>()) { Page()->SetColor(0xFFFFFF); }
TCanvasDevice::~TCanvasDevice() = default;

void TCanvasDevice::SetCanvas(platform::Canvas* canvas) {
  canvas_ = canvas;
  if (canvas_) SetupPage();
}

platform::CanvasBrush* TCanvasDevice::GetBrush() { return canvas_ ? &canvas_->Brush : nullptr; }
platform::CanvasFont* TCanvasDevice::GetFont() { return canvas_ ? &canvas_->Font : nullptr; }
platform::CanvasPen* TCanvasDevice::GetPen() { return canvas_ ? &canvas_->Pen : nullptr; }

void TCanvasDevice::SetBrush(const platform::CanvasBrush& brush) {
  if (canvas_) canvas_->Brush = brush;
}
void TCanvasDevice::SetFont(const platform::CanvasFont& font) {
  if (canvas_) canvas_->Font = font;
}
void TCanvasDevice::SetPen(const platform::CanvasPen& pen) {
  if (canvas_) canvas_->Pen = pen;
}

const TProjection& TCanvasDevice::DrawingProjection() const { return *Projection(); }

TDevicePoint TCanvasDevice::ToDevice(double X, double Y) const {
  RotatePoint(X, Y);
  const TProjection& projection = DrawingProjection();
  return {projection.WorldToDeviceX(X), projection.WorldToDeviceY(Y) - rowShift_};
}

TExactVertex TCanvasDevice::ToExact(double X, double Y) const {
  RotatePoint(X, Y);
  const TProjection& projection = DrawingProjection();
  TExactVertex point{{}, {projection.WorldToDeviceX(X), projection.WorldToDeviceY(Y)}};
  if (!projection.WorldToDeviceExact(X, Y, point.At)) point.At = {double(point.Pixel.X), double(point.Pixel.Y)};
  return point;
}

TDeviceRect TCanvasDevice::DrawingPageRect() const { return Page()->PageRect; }

TDeviceRect TCanvasDevice::StrokeRect() const {
  const T_Page& page = *Page();
  if (page.ClipActive)
    return {page.ClipRect.Left, page.ClipRect.Top + rowShift_, page.ClipRect.Right, page.ClipRect.Bottom + rowShift_};
  const TDeviceRect whole = DrawingPageRect();
  const std::int32_t margin = (canvas_ ? std::max(1, canvas_->Pen.Width) : 1) + 2;
  return {whole.Left - margin, whole.Top - margin, whole.Right + margin, whole.Bottom + margin};
}

platform::PixelRect TCanvasDevice::ToDeviceRect(double MinX, double MinY, double MaxX, double MaxY) const {
  TDeviceRect rect;
  DrawingProjection().WorldRectToDevice(MinX, MinY, MaxX, MaxY, rect);
  return {rect.Left, rect.Top - rowShift_, rect.Right, rect.Bottom - rowShift_};
}

platform::ColorValue TCanvasDevice::GetPixel(double X, double Y) {
  if (!canvas_) return 0;
  const TDevicePoint p = ToDevice(X, Y);
  return canvas_->Pixel(p.X, p.Y);
}

void TCanvasDevice::SetPixel(double X, double Y, platform::ColorValue color) {
  if (!canvas_) return;
  const TDevicePoint p = ToDevice(X, Y);
  PageClip clip(*this);
  canvas_->SetPixel(p.X, p.Y, color);
}

void TCanvasDevice::Clear() {
  if (!canvas_) return;
  canvas_->Brush = {Page()->Color(), platform::BrushStyle::Solid};
  canvas_->FillRect(Page()->ClipActive ? ToPixelRect(Page()->ClipRect) : canvas_->ClipRect());
}

void TCanvasDevice::FillRect(double MinX, double MinY, double MaxX, double MaxY) {
  if (!canvas_) return;
  PageClip clip(*this);
  canvas_->FillRect(ToDeviceRect(MinX, MinY, MaxX, MaxY));
}

void TCanvasDevice::FrameRect(double MinX, double MinY, double MaxX, double MaxY) {
  if (!canvas_) return;
  PageClip clip(*this);
  canvas_->FrameRect(ToDeviceRect(MinX, MinY, MaxX, MaxY));
}

void TCanvasDevice::SetFontAngle(double angle) {
  if (!canvas_) return;
  canvas_->Font.Escapement = static_cast<std::int32_t>(std::lround(angle * 10));
  FontAngle = angle;
}

void TCanvasDevice::StrokeSegment(const TDevicePoint& from, const TDevicePoint& to, bool fromPenPosition) {
  if (!canvas_) return;
  const platform::PixelPoint at = canvas_->PenPos();
  if (!fromPenPosition || at.X != from.X || at.Y != from.Y) canvas_->MoveTo(from.X, from.Y);
  canvas_->LineTo(to.X, to.Y);
}

// The segment is cut in the whole picture's unrounded pixels before its ends
// are rounded: a clamped end would turn it, and the canvas steps every pixel
// it is given.
void TCanvasDevice::LineTo(double X, double Y) {
  const TExactVertex to = ToExact(X, Y);
  const TDevicePoint shifted{to.Pixel.X, to.Pixel.Y - rowShift_};
  if (shifted == penPos_) return;
  const TExactVertex from{exactPen_, {penPos_.X, penPos_.Y + rowShift_}};
  penPos_ = shifted;
  exactPen_ = to.At;
  const TSegmentView view = ViewSegment(StrokeRect(), from, to);
  if (!view.Visible) return;
  StrokeSegment({view.From.X, view.From.Y - rowShift_}, {view.To.X, view.To.Y - rowShift_}, !view.FromCut);
}

void TCanvasDevice::MoveTo(double X, double Y) {
  const TExactVertex at = ToExact(X, Y);
  penPos_ = {at.Pixel.X, at.Pixel.Y - rowShift_};
  exactPen_ = at.At;
  if (canvas_) canvas_->MoveTo(penPos_.X, penPos_.Y);
}

void TCanvasDevice::SetPenPosition(const TDevicePoint& point) {
  penPos_ = point;
  exactPen_ = {double(point.X), double(point.Y) + rowShift_};
}

void TCanvasDevice::LineToPixel(std::int32_t x, std::int32_t y) {
  SetPenPosition({x, y});
  if (!canvas_) return;
  PageClip clip(*this);
  canvas_->LineTo(x, y);
}

void TCanvasDevice::MoveToPixel(std::int32_t x, std::int32_t y) {
  SetPenPosition({x, y});
  if (canvas_) canvas_->MoveTo(x, y);
}

TRectEntity* TCanvasDevice::Turned(TRectEntity* element, std::unique_ptr<TRectEntity>& turned) const {
  if (Projection()->Angle() == 0) return element;
  turned = CreateRotatedCopy(element);
  return turned.get();
}

void TCanvasDevice::FillBuffer(TRectEntity* element, std::int32_t minPoints) {
  TBorderBuffer& buffer = *buffer_;
  buffer.SetProjection(const_cast<TProjection*>(&DrawingProjection()));
  buffer.RowShift = rowShift_;
  buffer.MinPointNo = minPoints;
  buffer.SetRectEntity(element);
  const TDeviceRect& clip = Page()->ClipRect;
  TRealRect world;
  DrawingProjection().DeviceRectToWorld(clip.Left, clip.Top + rowShift_, clip.Right, clip.Bottom + rowShift_, world);
  buffer.SetMinX(world.MinX);
  buffer.SetMinY(world.MinY);
  buffer.SetMaxX(world.MaxX);
  buffer.SetMaxY(world.MaxY);
  buffer.DeviceClipRect = clip;
}

void TCanvasDevice::DrawPolyline(TRectEntity* line) {
  if (!canvas_ || !line) return;
  // A line turns with the picture as a polygon does.
  std::unique_ptr<TRectEntity> turned;
  FillBuffer(Turned(line, turned), 2);
  buffer_->ClipLine();
  std::span<const TDevicePoint> points = buffer_->PiecePoints();
  for (std::int32_t count : buffer_->PieceCounts()) {
    canvas_->Polyline(ToPixels(points.first(static_cast<std::size_t>(count))));
    points = points.subspan(static_cast<std::size_t>(count));
  }
}

void TCanvasDevice::DrawPolygon(TRectEntity* area) {
  if (!canvas_ || !area) return;
  std::unique_ptr<TRectEntity> turned;
  FillBuffer(Turned(area, turned), 3);
  buffer_->ClipArea();
  if (buffer_->PointNo() > 0) canvas_->Polygon(ToPixels(buffer_->Points()));
}

void TCanvasDevice::GetAreaPolyPolygon(TAreaElement* area, TPolyPolygon& result) {
  result = TPolyPolygon();
  if (!area) return;
  std::vector<TDevicePoint> points;
  std::vector<std::int32_t> counts;
  const auto ring = [&](TRectEntity* outline) {
    std::unique_ptr<TRectEntity> turned;
    FillBuffer(Turned(outline, turned), 3);
    buffer_->ClipArea();
    if (buffer_->PointNo() == 0) return false;
    points.insert(points.end(), buffer_->Points().begin(), buffer_->Points().end());
    counts.push_back(buffer_->PointNo());
    return true;
  };
  if (!ring(area)) return;
  // The holes are the area's own, typed.
  if (const THolesEntity* holes = area->Holes())
    for (TElement* hole : holes->Children())
      if (auto* outline = DynamicCast<TRectEntity>(hole)) ring(outline);
  result.Points.reset(new TDevicePoint[points.size()]);
  std::copy(points.begin(), points.end(), result.Points.get());
  result.ByteSize = static_cast<std::int32_t>(points.size() * sizeof(TDevicePoint));
  result.Counts.reset(new std::int32_t[counts.size()]);
  std::copy(counts.begin(), counts.end(), result.Counts.get());
  result.RingCount = static_cast<std::int32_t>(counts.size());
}

void TCanvasDevice::DrawArea(TAreaElement* area) {
  if (!canvas_ || !area) return;
  const THolesEntity* holes = area->Holes();
  if (!holes || holes->Children().empty()) return DrawPolygon(area);
  TPolyPolygon rings;
  GetAreaPolyPolygon(area, rings);
  if (rings.RingCount == 0) return;
  const std::size_t count = static_cast<std::size_t>(rings.ByteSize) / sizeof(TDevicePoint);
  if (!canvas_->PolyPolygon(ToPixels({rings.Points.get(), count}),
                            {rings.Counts.get(), static_cast<std::size_t>(rings.RingCount)}))
    platform::Beep();
}

void TCanvasDevice::Rectangle(double X1, double Y1, double X2, double Y2) {
  if (!canvas_) return;
  const TDevicePoint a = ToDevice(X1, Y1), b = ToDevice(X2, Y2);
  PageClip clip(*this);
  canvas_->Rectangle(a.X, a.Y, b.X, b.Y);
}

void TCanvasDevice::TextOutAt(const std::string& text, double X, double Y) {
  if (!canvas_) return;
  const TDevicePoint p = ToDevice(X, Y);
  TextOutPixel(p.X, p.Y, text);
}

void TCanvasDevice::TextOutPixel(std::int32_t x, std::int32_t y, const std::string& text) {
  if (!canvas_) return;
  canvas_->Brush.Style = platform::BrushStyle::Clear;
  PageClip clip(*this);
  canvas_->TextOut(x, y, text);
}

std::int32_t TCanvasDevice::TextHeight(const std::string& text) { return canvas_ ? canvas_->TextHeight(text) : 0; }
std::int32_t TCanvasDevice::TextWidth(const std::string& text) { return canvas_ ? canvas_->TextWidth(text) : 0; }
double TCanvasDevice::ModelTextHeight(const std::string& text) {
  return TextHeight(text) * DrawingProjection().PixelSizeMax();
}
double TCanvasDevice::ModelTextWidth(const std::string& text) {
  return TextWidth(text) * DrawingProjection().PixelSizeMax();
}

void TCanvasDevice::Draw(const platform::Bitmap* graphic, double X, double Y) {
  if (!canvas_ || !graphic) return;
  const TDevicePoint p = ToDevice(X, Y);
  PageClip clip(*this);
  canvas_->Draw(p.X, p.Y, *graphic);
}

void TCanvasDevice::StretchDraw(std::int32_t, std::int32_t, std::int32_t, std::int32_t, const platform::Bitmap* graphic,
                                double X, double Y, double W, double H) {
  if (!canvas_ || !graphic) return;
  const TDevicePoint p = ToDevice(X, Y);
  const TProjection& projection = DrawingProjection();
  PageClip clip(*this);
  canvas_->StretchDraw({p.X, p.Y, p.X + projection.WorldToDeviceDX(W), p.Y + projection.WorldToDeviceDY(H)}, *graphic);
}

void TCanvasDevice::StretchDrawPixel(std::int32_t x, std::int32_t y, const platform::Bitmap* graphic, std::int32_t w,
                                     std::int32_t h, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
  if (!canvas_ || !graphic) return;
  PageClip clip(*this);
  canvas_->StretchDraw({x, y, x + w, y + h}, *graphic);
}

void TCanvasDevice::SetupPage() {
  if (!canvas_) return;
  if (!Page()) {
    auto* page = new T_Page();
    AddElement(page);
    page_.Set(page);
  }
  T_Page& page = *Page();
  const platform::PixelRect rect = canvas_->ClipRect();
  page.PageRect = {rect.Left, rect.Top, rect.Right, rect.Bottom};
  page.ClipRect = page.PageRect;
  page.SetResolution(canvas_->PixelsPerInchX() * 1000 / 25.4, canvas_->PixelsPerInchY() * 1000 / 25.4);
  TPageProjection& projection = *Projection();
  projection.Calculate({projection.Center_X(), projection.Center_Y()}, &page, projection.Scale());
}

TClass TCanvasDevice::StaticClass() {
  static const TClassInfo info = DescribeClass<TCanvasDevice>("TCanvasDevice", TDevice::StaticClass(), "E_device",
                                                              {NotStored(FieldProp("FontAngle", &TCanvasDevice::FontAngle))});
  return &info;
}

void RegisterCanvasDeviceClasses() { RegisterKestuClass(TCanvasDevice::StaticClass()); }
