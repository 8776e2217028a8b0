#include "platform/canvas.h"
#include "platform/bitmap_access.h"
#include "platform/bitmap_rows.h"

#include <QApplication>
#include <QBuffer>
#include <QBrush>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <cstdlib>

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPen>
#include <QPdfWriter>
#include <QString>

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "platform/canvas_reference.h"
#include "platform/forms.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace platform {
namespace {

std::atomic<int> failNextBitmaps{0};
// The largest picture a bitmap file may hold (a 1600 x 1200 window takes 6).
constexpr int kMaxLoadedMegabytes = 64;
std::atomic<std::int64_t> liveBitmapBytes{0};
std::atomic<std::int64_t> peakBitmapBytes{0};

void CountBitmapBytes(std::int64_t delta) {
  const std::int64_t now = liveBitmapBytes += delta;
  std::int64_t peak = peakBitmapBytes.load();
  while (now > peak && !peakBitmapBytes.compare_exchange_weak(peak, now)) {
  }
}

// An unattended run names its print file in the environment.
std::string& PrintFile() {
  static std::string name = [] {
    const char* named = std::getenv("KESTX_PRINT_FILE");
    return std::string(named && *named ? named : "kestx.pdf");
  }();
  return name;
}
std::int32_t printDotsPerInch = 300;
PaperSize printPaper;
int openPrintDocuments = 0;
void (*beepHook)() = nullptr;

// On/off run lengths of the one-pixel pen styles, in pixels.
std::span<const int> DashPattern(PenStyle style) {
  static const int dash[] = {18, 6};
  static const int dot[] = {3, 3};
  static const int dashDot[] = {9, 6, 3, 6};
  static const int dashDotDot[] = {9, 3, 3, 3, 3, 3};
  switch (style) {
    case PenStyle::Dash: return dash;
    case PenStyle::Dot: return dot;
    case PenStyle::DashDot: return dashDot;
    case PenStyle::DashDotDot: return dashDotDot;
    default: return {};
  }
}

// Whether the pixel at position phase along a styled line is drawn.
bool PatternOn(std::span<const int> pattern, std::int64_t phase) {
  if (pattern.empty()) return true;
  int total = 0;
  for (int run : pattern) total += run;
  int at = static_cast<int>(phase % total);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (at < pattern[i]) return i % 2 == 0;
    at -= pattern[i];
  }
  return true;
}

// Writes one colour into a 24-bit picture, by copy or by XOR; everything
// outside the picture is left out.
class PixelWriter {
 public:
  // Writes only inside bounds, a part of the image.
  PixelWriter(QImage& image, const PixelRect& bounds, ColorValue color, bool exclusiveOr)
      : bits_(image.bits()),
        stride_(image.bytesPerLine()),
        left_(bounds.Left),
        top_(bounds.Top),
        right_(bounds.Right),
        bottom_(bounds.Bottom),
        red_(static_cast<uchar>(color & 0xFF)),
        green_(static_cast<uchar>((color >> 8) & 0xFF)),
        blue_(static_cast<uchar>((color >> 16) & 0xFF)),
        xor_(exclusiveOr) {}

  // One past the last writable row.
  std::int32_t Bottom() const { return bottom_; }

  void Put(std::int64_t x, std::int64_t y) {
    if (x < left_ || y < top_ || x >= right_ || y >= bottom_) return;
    Write(bits_ + y * stride_ + 3 * x);
  }
  // Columns x0..x1-1 of row y.
  void Span(std::int64_t y, std::int64_t x0, std::int64_t x1) {
    if (y < top_ || y >= bottom_) return;
    x0 = std::max<std::int64_t>(x0, left_);
    x1 = std::min<std::int64_t>(x1, right_);
    uchar* p = bits_ + y * stride_ + 3 * x0;
    for (std::int64_t x = x0; x < x1; ++x, p += 3) Write(p);
  }

 private:
  void Write(uchar* p) const {
    if (xor_) {
      p[0] ^= red_;
      p[1] ^= green_;
      p[2] ^= blue_;
    } else {
      p[0] = red_;
      p[1] = green_;
      p[2] = blue_;
    }
  }

  uchar* bits_;
  std::int64_t stride_;
  // The writable part: columns left_..right_-1, rows top_..bottom_-1.
  std::int32_t left_;
  std::int32_t top_;
  std::int32_t right_;
  std::int32_t bottom_;
  uchar red_, green_, blue_;
  bool xor_;
};

struct Edge {
  double X0, Y0, X1, Y1;
  std::int64_t FirstRow, LastRow;
};

// Fills the rings even-odd: a pixel is inside when its centre is.  Each
// ring is given by its points; the closing edge is implied.
template <class Fill>
void FillEvenOdd(std::span<const PixelPoint> points, std::span<const std::int32_t> counts, std::int32_t height,
                 Fill fill) {
  std::vector<Edge> edges;
  edges.reserve(points.size());
  std::size_t start = 0;
  for (std::int32_t count : counts) {
    for (std::int32_t i = 0; i < count; ++i) {
      const PixelPoint& a = points[start + static_cast<std::size_t>(i)];
      const PixelPoint& b = points[start + static_cast<std::size_t>((i + 1) % count)];
      if (a.Y == b.Y) continue;
      Edge e{double(a.X), double(a.Y), double(b.X), double(b.Y), 0, 0};
      const double top = std::min(e.Y0, e.Y1), bottom = std::max(e.Y0, e.Y1);
      // Rows whose centre y + 0.5 lies in [top, bottom).
      e.FirstRow = static_cast<std::int64_t>(std::ceil(top - 0.5));
      e.LastRow = static_cast<std::int64_t>(std::ceil(bottom - 0.5)) - 1;
      if (e.LastRow >= e.FirstRow && e.LastRow >= 0 && e.FirstRow < height) edges.push_back(e);
    }
    start += static_cast<std::size_t>(count);
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.FirstRow < b.FirstRow; });
  std::vector<const Edge*> active;
  std::vector<double> crossings;
  std::size_t next = 0;
  std::int64_t row = edges.empty() ? height : std::max<std::int64_t>(0, edges.front().FirstRow);
  for (; row < height && (next < edges.size() || !active.empty()); ++row) {
    while (next < edges.size() && edges[next].FirstRow <= row) active.push_back(&edges[next++]);
    std::erase_if(active, [row](const Edge* e) { return e->LastRow < row; });
    const double centre = double(row) + 0.5;
    crossings.clear();
    for (const Edge* e : active)
      crossings.push_back(e->X0 + (centre - e->Y0) * (e->X1 - e->X0) / (e->Y1 - e->Y0));
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
      const auto from = static_cast<std::int64_t>(std::ceil(crossings[i] - 0.5));
      const auto to = static_cast<std::int64_t>(std::ceil(crossings[i + 1] - 0.5));
      if (to > from) fill(row, from, to);
    }
  }
}

// The pixels whose centres lie within the pen's half width of the segment:
// one run a row, since the shape is convex.
void WideSegment(PixelWriter& out, const PixelPoint& a, const PixelPoint& b, std::int32_t width) {
  const double r = width / 2.0;
  // An odd width centres on the pixel, an even one on its corner.
  const double shift = width % 2 ? 0.5 : 0.0;
  const double ax = a.X + shift, ay = a.Y + shift, bx = b.X + shift, by = b.Y + shift;
  const double dx = bx - ax, dy = by - ay, length = std::hypot(dx, dy);
  const auto top = std::max<std::int64_t>(0, static_cast<std::int64_t>(std::floor(std::min(ay, by) - r - 0.5)));
  const auto bottom =
      std::min<std::int64_t>(out.Bottom() - 1, static_cast<std::int64_t>(std::ceil(std::max(ay, by) + r)));
  for (std::int64_t row = top; row <= bottom; ++row) {
    const double yc = double(row) + 0.5;
    double lo = INFINITY, hi = -INFINITY;
    for (const auto& [px, py] : {std::pair(ax, ay), std::pair(bx, by)}) {
      const double h = yc - py;
      if (std::abs(h) > r) continue;
      const double s = std::sqrt(r * r - h * h);
      lo = std::min(lo, px - s);
      hi = std::max(hi, px + s);
    }
    if (length > 0) {
      // Along the axis 0 <= t <= length and across it |n| <= r, each linear in x.
      double from = -INFINITY, to = INFINITY;
      const auto limit = [&](double slope, double offset, double min, double max) {
        if (slope == 0) {
          if (offset < min || offset > max) from = INFINITY, to = -INFINITY;
          return;
        }
        double x1 = (min - offset) / slope, x2 = (max - offset) / slope;
        if (x1 > x2) std::swap(x1, x2);
        from = std::max(from, x1);
        to = std::min(to, x2);
      };
      limit(dx / length, (-ax * dx + (yc - ay) * dy) / length, 0, length);
      limit(-dy / length, (ax * dy + (yc - ay) * dx) / length, -r, r);
      if (from <= to) lo = std::min(lo, from), hi = std::max(hi, to);
    }
    if (lo > hi) continue;
    out.Span(row, static_cast<std::int64_t>(std::ceil(lo - 0.5)), static_cast<std::int64_t>(std::floor(hi - 0.5)) + 1);
  }
}

QColor ToQColor(ColorValue color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

struct Canvas::Impl {
  QImage* Image = nullptr;  // the surface, owned by the bitmap or the printer
  bool Printer = false;
  std::int32_t DotsPerInch = 96;
  PixelPoint Position;
  std::int64_t Phase = 0;  // how far along its pattern a styled pen is
  PixelPoint BrushOrigin;  // where the hatch patterns start
  std::function<void()> Changed;  // told before each drawing

  void Touch() const {
    if (Changed) Changed();
  }

  std::optional<PixelRect> Clip;  // drawing stays inside it when set

  bool Xor(const CanvasPen& pen) const { return pen.Mode == PenMode::Xor && !Printer; }
  // The part of the surface drawing may change.
  PixelRect Bounds() const {
    PixelRect bounds{0, 0, Image->width(), Image->height()};
    if (Clip) {
      bounds.Left = std::max(bounds.Left, Clip->Left);
      bounds.Top = std::max(bounds.Top, Clip->Top);
      bounds.Right = std::min(bounds.Right, Clip->Right);
      bounds.Bottom = std::min(bounds.Bottom, Clip->Bottom);
    }
    return bounds;
  }
  PixelWriter Writer(ColorValue color, bool exclusiveOr) const { return {*Image, Bounds(), color, exclusiveOr}; }
  // A painter on the surface, limited to the clip when one is set.
  void ClipPainter(QPainter& painter) const {
    if (Clip) painter.setClipRect(QRect(Clip->Left, Clip->Top, Clip->Right - Clip->Left, Clip->Bottom - Clip->Top));
  }
  QFont MakeFont(const CanvasFont& font) const;
  void ThinSegment(const CanvasPen& pen, PixelPoint a, PixelPoint b);
  void Segment(const CanvasPen& pen, PixelPoint a, PixelPoint b);
  void Outline(const CanvasPen& pen, std::span<const PixelPoint> ring);
  void FillRings(const CanvasPen& pen, const CanvasBrush& brush, std::span<const PixelPoint> points,
                 std::span<const std::int32_t> counts);
};

struct Bitmap::Impl {
  QImage Image;
  std::unique_ptr<Canvas> Surface;
  ~Impl() { CountBitmapBytes(-Image.sizeInBytes()); }
};

Canvas::Canvas(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Canvas::~Canvas() = default;

void Canvas::Impl::ThinSegment(const CanvasPen& pen, PixelPoint a, PixelPoint b) {
  PixelWriter out = Writer(pen.Color, Xor(pen));
  const std::span<const int> pattern = DashPattern(pen.Style);
  std::int64_t x = a.X, y = a.Y;
  const std::int64_t dx = std::abs(std::int64_t(b.X) - a.X), dy = -std::abs(std::int64_t(b.Y) - a.Y);
  const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
  std::int64_t error = dx + dy;
  while (x != b.X || y != b.Y) {
    if (PatternOn(pattern, Phase++)) out.Put(x, y);
    const std::int64_t twice = 2 * error;
    if (twice >= dy) error += dy, x += sx;
    if (twice <= dx) error += dx, y += sy;
  }
}

void Canvas::Impl::Segment(const CanvasPen& pen, PixelPoint a, PixelPoint b) {
  if (pen.Style == PenStyle::Clear) return;
  if (pen.Width <= 1) {
    ThinSegment(pen, a, b);
    return;
  }
  PixelWriter out = Writer(pen.Color, Xor(pen));
  WideSegment(out, a, b, pen.Width);
}

void Canvas::Impl::Outline(const CanvasPen& pen, std::span<const PixelPoint> ring) {
  for (std::size_t i = 0; i < ring.size(); ++i) Segment(pen, ring[i], ring[(i + 1) % ring.size()]);
}

void Canvas::Impl::FillRings(const CanvasPen& pen, const CanvasBrush& brush, std::span<const PixelPoint> points,
                             std::span<const std::int32_t> counts) {
  if (brush.Style != BrushStyle::Clear) {
    PixelWriter out = Writer(brush.Color, Xor(pen));
    const bool forward = brush.Style == BrushStyle::FDiagonal;
    const bool back = brush.Style == BrushStyle::BDiagonal;
    FillEvenOdd(points, counts, Image->height(), [&](std::int64_t row, std::int64_t from, std::int64_t to) {
      if (!forward && !back) return out.Span(row, from, to);
      // Lines every eighth pixel, running down to the right (forward) or
      // down to the left (back), counted from the brush origin.
      const std::int64_t y = row - BrushOrigin.Y;
      for (std::int64_t x = from; x < to; ++x)
        if ((((forward ? x - BrushOrigin.X - y : x - BrushOrigin.X + y)) & 7) == 0) out.Put(x, row);
    });
  }
  std::size_t start = 0;
  for (std::int32_t count : counts) {
    Outline(pen, points.subspan(start, static_cast<std::size_t>(count)));
    start += static_cast<std::size_t>(count);
  }
}

QFont Canvas::Impl::MakeFont(const CanvasFont& font) const {
  QFont made(Q(font.Name));
  made.setStyleStrategy(QFont::NoAntialias);
  made.setBold(font.Bold);
  made.setItalic(font.Italic);
  made.setUnderline(font.Underline);
  made.setStrikeOut(font.StrikeOut);
  if (font.Height < 0) {
    made.setPixelSize(-font.Height);
  } else {
    // The whole cell is asked for: scale the character height to fit it.
    const int cell = font.Height > 0 ? font.Height : 11;
    made.setPixelSize(cell);
    const int measured = QFontMetrics(made).height();
    if (measured > 0) made.setPixelSize(std::max(1, static_cast<int>(std::lround(double(cell) * cell / measured))));
  }
  return made;
}

PixelRect Canvas::ClipRect() const { return {0, 0, impl_->Image->width(), impl_->Image->height()}; }
void Canvas::SetBrushOrigin(const PixelPoint& origin) { impl_->BrushOrigin = origin; }
void Canvas::LimitDrawingTo(const PixelRect& rect) { impl_->Clip = rect; }
void Canvas::UnlimitDrawing() { impl_->Clip.reset(); }
std::int32_t Canvas::PixelsPerInchX() const { return impl_->DotsPerInch; }
std::int32_t Canvas::PixelsPerInchY() const { return impl_->DotsPerInch; }
bool Canvas::IsPrinter() const { return impl_->Printer; }

void Canvas::SetFontSize(std::int32_t points) {
  Font.Height = -static_cast<std::int32_t>(std::lround(double(points) * impl_->DotsPerInch / 72.0));
}

PixelPoint Canvas::PenPos() const { return impl_->Position; }

void Canvas::MoveTo(std::int32_t x, std::int32_t y) {
  impl_->Position = {x, y};
  impl_->Phase = 0;
}

void Canvas::LineTo(std::int32_t x, std::int32_t y) {
  impl_->Touch();
  impl_->Segment(Pen, impl_->Position, {x, y});
  impl_->Position = {x, y};
}

void Canvas::Polyline(std::span<const PixelPoint> points) {
  impl_->Touch();
  impl_->Phase = 0;
  for (std::size_t i = 1; i < points.size(); ++i) impl_->Segment(Pen, points[i - 1], points[i]);
}

bool Canvas::Polygon(std::span<const PixelPoint> points) {
  impl_->Touch();
  if (points.size() < 2) return false;
  const std::int32_t count[] = {static_cast<std::int32_t>(points.size())};
  impl_->FillRings(Pen, Brush, points, count);
  return true;
}

bool Canvas::PolyPolygon(std::span<const PixelPoint> points, std::span<const std::int32_t> counts) {
  impl_->Touch();
  std::size_t total = 0;
  for (std::int32_t count : counts) {
    if (count < 2) return false;
    total += static_cast<std::size_t>(count);
  }
  if (counts.empty() || total != points.size()) return false;
  impl_->FillRings(Pen, Brush, points, counts);
  return true;
}

void Canvas::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  impl_->Touch();
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (Brush.Style != BrushStyle::Clear) {
    const PixelPoint corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    const std::int32_t count[] = {4};
    CanvasPen noPen = Pen;
    noPen.Style = PenStyle::Clear;
    impl_->FillRings(noPen, Brush, corners, count);
  }
  if (Pen.Style == PenStyle::Clear) return;
  // The frame lies inside; its four sides do not overlap, so XOR draws each
  // pixel once.
  const std::int64_t k = std::max(1, Pen.Width);
  PixelWriter out = impl_->Writer(Pen.Color, impl_->Xor(Pen));
  for (std::int64_t row = top; row < bottom; ++row) {
    if (row < top + k || row >= bottom - k) {
      out.Span(row, left, right);
    } else {
      out.Span(row, left, std::min<std::int64_t>(left + k, right));
      out.Span(row, std::max<std::int64_t>(right - k, left + k), right);
    }
  }
}

void Canvas::FillRect(const PixelRect& rect) {
  impl_->Touch();
  PixelWriter out = impl_->Writer(Brush.Color, false);
  for (std::int64_t row = std::max(rect.Top, 0); row < std::min(rect.Bottom, out.Bottom()); ++row)
    out.Span(row, rect.Left, rect.Right);
}

void Canvas::FrameRect(const PixelRect& rect) {
  impl_->Touch();
  CanvasPen frame{Brush.Color, 1, PenStyle::Solid, PenMode::Copy};
  CanvasBrush hollow{Brush.Color, BrushStyle::Clear};
  std::swap(frame, Pen);
  std::swap(hollow, Brush);
  Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom);
  std::swap(frame, Pen);
  std::swap(hollow, Brush);
}

void Canvas::TextOut(std::int32_t x, std::int32_t y, const std::string& text) {
  impl_->Touch();
  EnsureWindowSystem();
  QPainter painter(impl_->Image);
  impl_->ClipPainter(painter);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  const QFont font = impl_->MakeFont(Font);
  painter.setFont(font);
  painter.setPen(ToQColor(Font.Color));
  painter.translate(x, y);
  painter.rotate(-Font.Escapement / 10.0);
  painter.drawText(0, QFontMetrics(font).ascent(), Q(text));
}

std::int32_t Canvas::TextWidth(const std::string& text) const {
  EnsureWindowSystem();
  return QFontMetrics(impl_->MakeFont(Font)).horizontalAdvance(Q(text));
}

std::int32_t Canvas::TextHeight(const std::string&) const {
  EnsureWindowSystem();
  return QFontMetrics(impl_->MakeFont(Font)).height();
}

ColorValue Canvas::Pixel(std::int32_t x, std::int32_t y) const {
  const QImage& image = *impl_->Image;
  if (impl_->Printer || x < 0 || y < 0 || x >= image.width() || y >= image.height()) return 0;
  const uchar* p = image.constScanLine(y) + 3 * x;
  return ColorValue(p[0]) | ColorValue(p[1]) << 8 | ColorValue(p[2]) << 16;
}

void Canvas::SetPixel(std::int32_t x, std::int32_t y, ColorValue color) {
  impl_->Touch();
  impl_->Writer(color, false).Put(x, y);
}

void Canvas::Draw(std::int32_t x, std::int32_t y, const Bitmap& bitmap) {
  impl_->Touch();
  if (&bitmap.impl_->Image == impl_->Image) return;
  QPainter painter(impl_->Image);
  impl_->ClipPainter(painter);
  painter.drawImage(x, y, bitmap.impl_->Image);
}

void Canvas::CopyRect(const PixelRect& dest, const Canvas& source, const PixelRect& sourceRect) {
  impl_->Touch();
  if (source.impl_->Printer || source.impl_->Image == impl_->Image) return;
  QPainter painter(impl_->Image);
  impl_->ClipPainter(painter);
  painter.drawImage(QRect(dest.Left, dest.Top, dest.Right - dest.Left, dest.Bottom - dest.Top), *source.impl_->Image,
                    QRect(sourceRect.Left, sourceRect.Top, sourceRect.Right - sourceRect.Left,
                          sourceRect.Bottom - sourceRect.Top));
}

void Canvas::StretchDraw(const PixelRect& dest, const Bitmap& bitmap, const PixelRect* source) {
  impl_->Touch();
  const QImage& image = bitmap.impl_->Image;
  if (&image == impl_->Image) return;
  const QRect from = source ? QRect(source->Left, source->Top, source->Right - source->Left, source->Bottom - source->Top)
                            : image.rect();
  QPainter painter(impl_->Image);
  impl_->ClipPainter(painter);
  painter.drawImage(QRect(dest.Left, dest.Top, dest.Right - dest.Left, dest.Bottom - dest.Top), image, from);
}

Bitmap::Bitmap(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Bitmap::~Bitmap() = default;

std::unique_ptr<Bitmap> Bitmap::Create(std::int32_t width, std::int32_t height) {
  int pending = failNextBitmaps.load();
  while (pending > 0)
    if (failNextBitmaps.compare_exchange_weak(pending, pending - 1)) return nullptr;
  if (width <= 0 || height <= 0) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->Image = QImage(width, height, QImage::Format_RGB888);
  if (impl->Image.isNull()) return nullptr;
  impl->Image.fill(Qt::white);
  CountBitmapBytes(impl->Image.sizeInBytes());
  auto surface = std::make_unique<Canvas::Impl>();
  surface->Image = &impl->Image;
  impl->Surface.reset(new Canvas(std::move(surface)));
  return std::unique_ptr<Bitmap>(new Bitmap(std::move(impl)));
}

void Bitmap::FailNextCreations(int n) { failNextBitmaps = n; }
std::int64_t Bitmap::LiveBytes() { return liveBitmapBytes; }
std::int64_t Bitmap::PeakLiveBytes() { return peakBitmapBytes; }
void Bitmap::ResetPeakLiveBytes() { peakBitmapBytes = liveBitmapBytes.load(); }
std::int64_t Bitmap::RowBytes(std::int32_t width) { return (std::int64_t(width) * 3 + 3) / 4 * 4; }

std::int32_t Bitmap::Width() const { return impl_->Image.width(); }
std::int32_t Bitmap::Height() const { return impl_->Image.height(); }

bool Bitmap::SetHeight(std::int32_t height) {
  if (height <= 0) return false;
  if (height == Height()) return true;
  QImage resized = impl_->Image.copy(0, 0, Width(), height);
  if (resized.isNull()) return false;
  CountBitmapBytes(resized.sizeInBytes() - impl_->Image.sizeInBytes());
  impl_->Image = std::move(resized);
  return true;
}

Canvas& Bitmap::GetCanvas() { return *impl_->Surface; }

std::uint8_t* Bitmap::ScanLine(std::int32_t row) { return impl_->Image.scanLine(row); }
const std::uint8_t* Bitmap::ScanLine(std::int32_t row) const { return impl_->Image.constScanLine(row); }

bool WriteImageFile(const QImage& image, const std::string& path, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format)) return false;
  try {
    WriteWholeFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  } catch (const EStreamError&) {
    return false;  // the callers say only whether the picture was saved
  }
  return true;
}

bool Bitmap::SavePng(const std::string& path) const { return WriteImageFile(impl_->Image, path, "PNG"); }

bool Bitmap::SetSize(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) return false;
  if (width == Width() && height == Height()) return true;
  QImage resized(width, height, QImage::Format_RGB888);
  if (resized.isNull()) return false;
  resized.fill(Qt::white);
  {
    QPainter painter(&resized);
    painter.drawImage(0, 0, impl_->Image);
  }
  CountBitmapBytes(resized.sizeInBytes() - impl_->Image.sizeInBytes());
  impl_->Image = std::move(resized);
  impl_->Surface->impl_->Touch();
  return true;
}

bool Bitmap::SaveToFile(const std::string& path) const { return WriteImageFile(impl_->Image, path, "BMP"); }

namespace {

// An uncompressed bitmap file must hold every row its header promises.
bool HoldsItsRows(QFile& file) {
  const QByteArray header = file.peek(34);
  if (header.size() < 34) return false;
  auto u32 = [&header](int at) {
    return static_cast<std::uint32_t>(static_cast<uchar>(header[at])) |
           static_cast<std::uint32_t>(static_cast<uchar>(header[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<uchar>(header[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<uchar>(header[at + 3])) << 24;
  };
  const std::int64_t width = static_cast<std::int32_t>(u32(18));
  const std::int64_t height = static_cast<std::int32_t>(u32(22));
  const std::int64_t bits = u32(28) & 0xFFFF;
  if (u32(30) != 0) return true;  // compressed rows: the reader checks them
  return width > 0 && height != 0 && HoldsBitmapRows(file.size(), u32(10), width, height, bits);
}

}  // namespace

bool HoldsBitmapRows(std::int64_t fileSize, std::int64_t rowsStart, std::int64_t width, std::int64_t height,
                     std::int64_t bitsPerPixel) {
  if (rowsStart > fileSize) return false;
  if (height == 0) return true;
  const std::int64_t rowBytes = (std::abs(width) * bitsPerPixel + 31) / 32 * 4;
  return rowBytes <= (fileSize - rowsStart) / std::abs(height);
}

bool Bitmap::LoadFromFile(const std::string& path) {
  QFile file(Q(path));
  if (!file.open(QIODevice::ReadOnly) || !HoldsItsRows(file)) return false;
  QImageReader reader(&file, "BMP");
  // A lying header must not make us reserve what no picture of ours needs.
  reader.setAllocationLimit(kMaxLoadedMegabytes);
  QImage loaded;
  if (!reader.read(&loaded)) return false;
  loaded = loaded.convertToFormat(QImage::Format_RGB888);
  if (loaded.isNull()) return false;
  CountBitmapBytes(loaded.sizeInBytes() - impl_->Image.sizeInBytes());
  impl_->Image = std::move(loaded);
  impl_->Surface->impl_->Touch();
  return true;
}

const QImage& BitmapAccess::Image(const Bitmap& bitmap) { return bitmap.impl_->Image; }

void Bitmap::OnChange(std::function<void()> handler) { impl_->Surface->impl_->Changed = std::move(handler); }

namespace {

// The print document's file.  The PDF writer stops writing after a write
// the disk took only in part and tells nobody; what it hands over goes
// through here, where a write that does not go in whole is the file's
// failure, with the system's reason.  Nothing is held back: the page or the
// end that does not fit is the one that fails.  The document is written as
// every whole file is: a print that fails leaves the earlier document as it
// was, and a device or a pipe named for it takes it as it comes.
class PrintFileSink final : public QIODevice {
 public:
  bool Open(const std::string& name) {
    try {
      file_ = std::make_unique<TReplacingFileStream>(name);
    } catch (const EStreamError& error) {
      Fail(error);
      return false;
    }
    return open(QIODevice::WriteOnly);
  }
  // Closes the file and puts it in the place of the one it is named for;
  // false (and nothing replaced) when anything written did not reach the
  // disk.
  bool Finish() {
    if (file_ && !failed_) {
      try {
        file_->Commit();
      } catch (const EStreamError& error) {
        Fail(error);
      }
    }
    file_.reset();
    close();
    return !failed_;
  }
  // Closes and drops what was written.
  void Discard() {
    file_.reset();
    close();
  }
  bool Written() const { return !failed_; }
  // Why the file failed, as the system said it, when it said anything.
  const std::string& Reason() const { return reason_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 length) override {
    if (failed_ || !file_) return -1;
    try {
      file_->Write(data, static_cast<std::size_t>(length));
    } catch (const EStreamError& error) {
      Fail(error);
      return -1;
    }
    return length;
  }

 private:
  // The first failure's reason stays.
  void Fail(const EStreamError& error) {
    if (!failed_) reason_ = error.Reason();
    failed_ = true;
  }

  std::unique_ptr<TReplacingFileStream> file_;
  bool failed_ = false;
  std::string reason_;
};

}  // namespace

struct Printer::Impl {
  PrintFileSink File;
  std::unique_ptr<QPdfWriter> Device;
  QPainter Painter;
  QImage Page;
  std::unique_ptr<Canvas> Surface;
  std::string Name;
  std::string Title;
  std::int32_t DotsPerInch = 300;
  QPageLayout Layout;
  int PageNumber = 1;
  bool Open = true;
  bool Aborted = false;
  // Something was drawn on the page, or the document was asked for: until
  // then, or a page is turned, it has nothing to print and the file is not
  // touched.
  bool Drawn = false;
  // The document began its file.
  bool FileBegun = false;

  // Puts the page drawn so far into the document; EPrinter when the file
  // does not take it.
  void WritePage() {
    if (Painter.isActive()) {
      Device->newPage();
    } else {
      if (!File.Open(Name)) throw EPrinter(NotWritten());
      FileBegun = true;
      Device = std::make_unique<QPdfWriter>(&File);
      Device->setResolution(DotsPerInch);
      Device->setPageLayout(Layout);
      Device->setTitle(Q(Title));
      if (!Painter.begin(Device.get())) throw EPrinter(NotWritten());
      // The page goes in pixel for pixel, not recompressed with losses.
      Painter.setRenderHint(QPainter::LosslessImageRendering);
    }
    // The paper is white: only the parts of the page that are not go into
    // the file, band by band, each from its first to its last inked column.
    constexpr int kBandRows = 64;
    for (int top = 0; top < Page.height(); top += kBandRows) {
      const int rows = std::min(kBandRows, Page.height() - top);
      const auto [left, right] = InkedColumns(top, rows);
      if (left < right) PutPart(QRect(left, top, right - left, rows));
    }
    if (!File.Written()) throw EPrinter(NotWritten());
  }
  // Ends the document and closes its file; EPrinter when the file does not
  // take the rest.
  void EndDocument() {
    if (Painter.isActive()) Painter.end();
    Device.reset();
    if (File.isOpen() && !File.Finish()) throw EPrinter(NotWritten());
  }
  std::string NotWritten() const {
    const std::string& reason = File.Reason();
    return "Soubor tisku " + Name + " se nepodařilo zapsat" + (reason.empty() ? "" : ": " + reason);
  }
  // The first inked column of the rows and one past their last; equal when
  // all are white.
  std::pair<int, int> InkedColumns(int top, int rows) const {
    const auto inked = [](uchar byte) { return byte != 0xFF; };
    int left = Page.width(), right = 0;
    for (int y = top; y < top + rows; ++y) {
      const uchar* line = Page.constScanLine(y);
      const uchar* end = line + std::ptrdiff_t(Page.width()) * 3;
      const uchar* first = std::find_if(line, end, inked);
      if (first == end) continue;
      const uchar* last = std::find_if(std::make_reverse_iterator(end), std::make_reverse_iterator(first), inked).base();
      left = std::min(left, int((first - line) / 3));
      right = std::max(right, int((last - line + 2) / 3));
    }
    return {left, std::max(left, right)};
  }
  // A renderer covers the pixels from the floor of a picture's left edge to
  // the floor of its right edge, that one included: a picture ending on a
  // pixel's edge would cover one pixel more, and one starting a rounding
  // error before its edge another, and come out stretched.  A hair inside
  // the edges, each pixel lands on its own.
  void PutPart(const QRect& part) {
    constexpr double kHair = 1.0 / 64;
    const QRectF inside(part.left() + kHair, part.top() + kHair, part.width() - 2 * kHair, part.height() - 2 * kHair);
    Painter.drawImage(inside, Page.copy(part));
  }
  // The document is no longer open.
  void Close() {
    if (!Open) return;
    Open = false;
    --openPrintDocuments;
  }
};

namespace {
bool Writable(const QString& path) {
  const QFileInfo file(path);
  if (file.exists()) return !file.isDir() && file.isWritable();
  const QFileInfo folder(file.absolutePath());
  return folder.isDir() && folder.isWritable();
}
}  // namespace

// The printer needs the application object before it is made.
Printer::Printer(const std::string& pdfPath, std::int32_t dotsPerInch)
    : impl_((EnsureWindowSystem(), std::make_unique<Impl>())) {
  // A file that cannot be written fails now, not after the pages are drawn;
  // asking does not make the file, nor empty one that is there.
  if (!Writable(Q(pdfPath))) throw EPrinter("Soubor tisku " + pdfPath + " nelze zapsat");
  impl_->Name = pdfPath;
  impl_->DotsPerInch = dotsPerInch;
  const QPageSize paper(QSizeF(printPaper.WidthMm, printPaper.HeightMm), QPageSize::Millimeter, QString(),
                        QPageSize::ExactMatch);
  impl_->Layout = QPageLayout(paper, QPageLayout::Portrait, QMarginsF());
  // Qt counts the page in whole points first; the picture is the paper's
  // own size at the resolution, rounded.
  const auto pixels = [dotsPerInch](double mm) { return static_cast<int>(std::lround(mm / 25.4 * dotsPerInch)); };
  impl_->Page = QImage(pixels(printPaper.WidthMm), pixels(printPaper.HeightMm), QImage::Format_RGB888);
  impl_->Page.fill(Qt::white);
  auto surface = std::make_unique<Canvas::Impl>();
  surface->Image = &impl_->Page;
  surface->Printer = true;
  surface->DotsPerInch = dotsPerInch;
  surface->Changed = [impl = impl_.get()] { impl->Drawn = true; };
  impl_->Surface.reset(new Canvas(std::move(surface)));
  ++openPrintDocuments;
}

// A document not ended yet ends here; what fails now can only be left out.
Printer::~Printer() {
  try {
    End();
  } catch (const EPrinter& error) {
    std::cerr << error.what() << "\n";
  }
}

// A document with nothing drawn and no page turned leaves no file; one that
// the file did not take whole leaves none either, as an abort.
void Printer::End() {
  if (impl_->Aborted || !impl_->Open) return;
  try {
    if (impl_->Drawn || impl_->Painter.isActive()) impl_->WritePage();
    impl_->EndDocument();
  } catch (const EPrinter&) {
    Abort();
    throw;
  }
  impl_->Close();
}

void Printer::Begin() { impl_->Drawn = true; }

const std::string& Printer::Name() const { return impl_->Name; }
void Printer::SetTitle(const std::string& title) { impl_->Title = title; }
const std::string& Printer::Title() const { return impl_->Title; }
int Printer::PageNumber() const { return impl_->PageNumber; }

void Printer::NewPage() {
  if (impl_->Aborted || !impl_->Open) return;
  try {
    impl_->WritePage();
  } catch (const EPrinter&) {
    Abort();
    throw;
  }
  impl_->Page.fill(Qt::white);
  ++impl_->PageNumber;
}

// An ended document is no longer the job's to abort.
void Printer::Abort() {
  if (impl_->Aborted || !impl_->Open) return;
  impl_->Aborted = true;
  // Only a document that began its file has one to drop; the file it is
  // named for stays as it was.
  if (impl_->FileBegun) {
    if (impl_->Painter.isActive()) impl_->Painter.end();
    impl_->Device.reset();
    impl_->File.Discard();
  }
  impl_->Close();
}

bool Printer::Aborted() const { return impl_->Aborted; }

Canvas& Printer::GetCanvas() { return *impl_->Surface; }

bool Printing() { return openPrintDocuments > 0; }

void PaintPolylinesWithQt(Bitmap& bitmap, std::span<const PixelPoint> points, std::span<const std::int32_t> counts,
                          ColorValue color) {
  QPainter painter(&bitmap.impl_->Image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(ToQColor(color), 0));
  std::vector<QPoint> line;
  std::size_t start = 0;
  for (std::int32_t count : counts) {
    line.clear();
    for (std::size_t i = start; i < start + static_cast<std::size_t>(count); ++i) line.emplace_back(points[i].X, points[i].Y);
    painter.drawPolyline(line.data(), static_cast<int>(line.size()));
    start += static_cast<std::size_t>(count);
  }
}

void PaintTextsWithQt(Bitmap& bitmap, std::span<const std::string> texts, std::span<const PixelPoint> at,
                      std::int32_t pixelHeight, ColorValue color) {
  EnsureWindowSystem();
  QPainter painter(&bitmap.impl_->Image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  QFont font = painter.font();
  font.setPixelSize(std::max(1, pixelHeight));
  painter.setFont(font);
  painter.setPen(QPen(ToQColor(color), 0));
  for (std::size_t i = 0; i < texts.size() && i < at.size(); ++i)
    painter.drawText(QPoint(at[i].X, at[i].Y), QString::fromUtf8(texts[i].data(), static_cast<qsizetype>(texts[i].size())));
}

void PaintHatchedPolygonsWithQt(Bitmap& bitmap, std::span<const PixelPoint> points,
                                std::span<const std::int32_t> counts, ColorValue color) {
  QPainter painter(&bitmap.impl_->Image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QBrush(ToQColor(color), Qt::HorPattern));
  std::vector<QPoint> ring;
  std::size_t start = 0;
  for (std::int32_t count : counts) {
    ring.clear();
    for (std::size_t i = start; i < start + static_cast<std::size_t>(count); ++i) ring.emplace_back(points[i].X, points[i].Y);
    painter.drawPolygon(ring.data(), static_cast<int>(ring.size()));
    start += static_cast<std::size_t>(count);
  }
}

std::string PrintFileName() { return PrintFile(); }
void SetPrintFileName(const std::string& path) { PrintFile() = path; }
std::int32_t PrintResolution() { return printDotsPerInch; }
void SetPrintResolution(std::int32_t dotsPerInch) { printDotsPerInch = dotsPerInch; }
PaperSize PrintPaperSize() { return printPaper; }
void SetPrintPaperSize(const PaperSize& paper) { printPaper = paper; }

void Beep() {
  if (beepHook) beepHook();
  else if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) QApplication::beep();
  else std::cerr << '\a' << std::flush;
}

void SetBeepHook(void (*hook)()) { beepHook = hook; }

}  // namespace platform
