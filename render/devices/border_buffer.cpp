#include "render/devices/border_buffer.h"

#include <algorithm>
#include <cmath>

#include "framework/core/class_registry.h"
#include "spatial/geometry/intersections.h"
#include "spatial/geometry/projection.h"

bool ProjectVertices(const TProjection& projection, std::int32_t rowShift, const TElement* element,
                     std::vector<TDevicePoint>& points) {
  const auto* entity = DynamicCast<TEntity>(element);
  if (!entity) return true;
  const auto& children = entity->Children();
  if (children.size() * sizeof(TDevicePoint) > static_cast<std::size_t>(TBorderBuffer::MaxBufferSize)) return false;
  points.reserve(points.size() + children.size());
  const std::size_t first = points.size();
  for (TElement* child : children) {
    const auto* vertex = DynamicCast<T2DCoordinate>(child);
    if (!vertex) continue;
    const TDevicePoint point{projection.WorldToDeviceX(vertex->GetX()),
                             projection.WorldToDeviceY(vertex->GetY()) - rowShift};
    if (points.size() == first || !(points.back() == point)) points.push_back(point);
  }
  return true;
}

TProjection* TBorderBuffer::Projection() const { return static_cast<TProjection*>(projection_.Get()); }
void TBorderBuffer::SetProjection(TProjection* projection) { projection_.Set(projection); }

void TBorderBuffer::Empty() {
  points_.clear();
  exact_.clear();
  bufferSize_ = 0;
}

void TBorderBuffer::SetRectEntity(TElement* entity) {
  entity_.Set(entity);
  Empty();
  const auto* holder = DynamicCast<TEntity>(entity);
  if (!holder || !Projection()) return;
  const TProjection& projection = *Projection();
  if (!ProjectVertices(projection, RowShift, entity, points_)) return;
  bufferSize_ = static_cast<std::int32_t>(holder->Children().size() * sizeof(TDevicePoint));
  if (MinPointNo == 0) MinPointNo = 3;
  if (PointNo() < MinPointNo) return Empty();
  exact_.reserve(holder->Children().size());
  for (TElement* child : holder->Children()) {
    const auto* vertex = DynamicCast<T2DCoordinate>(child);
    if (!vertex) continue;
    TExactVertex point{{}, {projection.WorldToDeviceX(vertex->GetX()), projection.WorldToDeviceY(vertex->GetY())}};
    if (!projection.WorldToDeviceExact(vertex->GetX(), vertex->GetY(), point.At))
      point.At = {double(point.Pixel.X), double(point.Pixel.Y)};
    // Repeats are dropped as they are from the pixels, but by where the
    // vertices really lie: two far vertices clamped alike are not one.
    if (exact_.empty() || !(RoundedPixel(exact_.back().At) == RoundedPixel(point.At))) exact_.push_back(point);
  }
}

bool TBorderBuffer::EntityInside() const {
  const auto* entity = DynamicCast<TRectEntity>(RectEntity());
  return entity && entity->IsInsideRect(MinX(), MinY(), MaxX(), MaxY());
}

TDeviceRect TBorderBuffer::WholeClipRect() const {
  return {DeviceClipRect.Left, DeviceClipRect.Top + RowShift, DeviceClipRect.Right, DeviceClipRect.Bottom + RowShift};
}

namespace {

enum TSide { sdLeft, sdTop, sdRight, sdBottom };

bool InsideSide(TSide side, const TDeviceRect& rect, const TRealPoint& p) {
  switch (side) {
    case sdLeft: return p.X >= rect.Left;
    case sdTop: return p.Y >= rect.Top;
    case sdRight: return p.X <= rect.Right;
    case sdBottom: return p.Y <= rect.Bottom;
  }
  return true;
}

// Where the segment s-p meets the side's line, from the segment's own ends.
TRealPoint OnSideLine(bool vertical, double edge, const TRealPoint& s, const TRealPoint& p) {
  if (vertical) return {edge, s.Y + (edge - s.X) * (p.Y - s.Y) / (p.X - s.X)};
  return {s.X + (edge - s.Y) * (p.X - s.X) / (p.Y - s.Y), edge};
}

TExactVertex CutAtSide(TSide side, const TDeviceRect& rect, const TExactVertex& s, const TExactVertex& p) {
  const bool vertical = side == sdLeft || side == sdRight;
  const double edge = side == sdLeft ? rect.Left : side == sdRight ? rect.Right : side == sdTop ? rect.Top : rect.Bottom;
  const TRealPoint at = OnSideLine(vertical, edge, s.At, p.At);
  return {at, RoundedPixel(at)};
}

}  // namespace

// One Sutherland-Hodgman pass for each side some vertex lies beyond, on the
// unrounded vertices; the ring comes out closed.
void TBorderBuffer::ClipArea() {
  if (points_.empty() || EntityInside()) return;
  const TDeviceRect rect = WholeClipRect();
  std::vector<TExactVertex> ring = exact_, cut;
  for (const TSide side : {sdLeft, sdTop, sdRight, sdBottom}) {
    if (ring.empty()) break;
    if (std::all_of(ring.begin(), ring.end(),
                    [&](const TExactVertex& v) { return InsideSide(side, rect, v.At); }))
      continue;
    cut.clear();
    const TExactVertex* s = &ring.back();
    for (const TExactVertex& p : ring) {
      const bool sIn = InsideSide(side, rect, s->At), pIn = InsideSide(side, rect, p.At);
      if (sIn != pIn) cut.push_back(CutAtSide(side, rect, *s, p));
      if (pIn) cut.push_back(p);
      s = &p;
    }
    if (cut.size() >= 3 && !(cut.front().Pixel == cut.back().Pixel)) cut.push_back(cut.front());
    ring.swap(cut);
  }
  points_.clear();
  for (const TExactVertex& v : ring) points_.push_back(Shifted(v.Pixel));
  if (points_.empty()) bufferSize_ = 0;
}

TDevicePoint RoundedPixel(const TRealPoint& point) {
  return {AnalInt::RoundClamped(point.X), AnalInt::RoundClamped(point.Y)};
}

bool ClipExactSegment(const TDeviceRect& rect, const TRealPoint& a, const TRealPoint& b, TExactClip& clip) {
  for (double v : {a.X, a.Y, b.X, b.Y})
    if (!std::isfinite(v)) return false;
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  const double edges[4] = {double(rect.Left), double(rect.Right), double(rect.Top), double(rect.Bottom)};
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.X - rect.Left, rect.Right - a.X, a.Y - rect.Top, rect.Bottom - a.Y};
  // Liang-Barsky: the segment enters the rectangle at t0 and leaves it at t1.
  double t0 = 0, t1 = 1;
  int enters = -1, leaves = -1;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0 && t > t0) t0 = t, enters = i;
    if (p[i] > 0 && t < t1) t1 = t, leaves = i;
  }
  if (t0 > t1) return false;
  clip.FromCut = enters >= 0;
  clip.ToCut = leaves >= 0;
  clip.From = clip.FromCut ? OnSideLine(enters < 2, edges[enters], a, b) : a;
  clip.To = clip.ToCut ? OnSideLine(leaves < 2, edges[leaves], a, b) : b;
  return true;
}

TSegmentView ViewSegment(const TDeviceRect& rect, const TExactVertex& a, const TExactVertex& b) {
  TSegmentView view;
  bool inside = false, crosses = false;
  AnalInt::ClipTest(rect, a.Pixel.X, a.Pixel.Y, b.Pixel.X, b.Pixel.Y, inside, crosses);
  if (inside) return {true, false, false, a.Pixel, b.Pixel};
  TExactClip clip;
  if (!crosses || !ClipExactSegment(rect, a.At, b.At, clip)) return view;
  view.Visible = true;
  view.FromCut = clip.FromCut;
  view.ToCut = clip.ToCut;
  view.From = clip.FromCut ? RoundedPixel(clip.From) : a.Pixel;
  view.To = clip.ToCut ? RoundedPixel(clip.To) : b.Pixel;
  return view;
}

void TBorderBuffer::ClipLine() {
  piecePoints_.clear();
  pieceCounts_.clear();
  if (points_.empty()) return;
  if (EntityInside()) {
    piecePoints_ = points_;
    pieceCounts_.push_back(PointNo());
    return;
  }
  const TDeviceRect rect = WholeClipRect();
  bool open = false;  // the last piece goes on at its last point
  for (std::size_t i = 1; i < exact_.size(); ++i) {
    const TSegmentView view = ViewSegment(rect, exact_[i - 1], exact_[i]);
    if (!view.Visible) {
      open = false;
      continue;
    }
    const TDevicePoint from = Shifted(view.From), to = Shifted(view.To);
    if (!open || !(piecePoints_.back() == from)) {
      piecePoints_.push_back(from);
      pieceCounts_.push_back(1);
    }
    piecePoints_.push_back(to);
    ++pieceCounts_.back();
    open = !view.ToCut;
  }
}

TClass TBorderBuffer::StaticClass() {
  static const TClassInfo info = DescribeClass<TBorderBuffer>(
      "TBorderBuffer", TRectangle::StaticClass(), "E_device",
      {NotStored(WriteProp("Projection", &TBorderBuffer::SetProjection)),
       NotStored(WriteProp("RectEntity", &TBorderBuffer::SetRectEntity)),
       NotStored(ReadProp("PointNo", &TBorderBuffer::PointNo)), FieldProp("MinPointNo", &TBorderBuffer::MinPointNo),
       NotStored(ReadProp("BufferSize", &TBorderBuffer::BufferSize))});
  return &info;
}

void RegisterBorderBufferClasses() { RegisterKestuClass(TBorderBuffer::StaticClass()); }
