#include "render/devices/border_buffer.h"

#include <cmath>
#include <memory>

#include "framework/core/class_registry.h"
#include "spatial/geometry/intersections.h"
#include "spatial/geometry/polygon_clipper.h"
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
  bufferSize_ = 0;
}

void TBorderBuffer::SetRectEntity(TElement* entity) {
  entity_.Set(entity);
  Empty();
  const auto* holder = DynamicCast<TEntity>(entity);
  if (!holder || !Projection()) return;
  if (!ProjectVertices(*Projection(), RowShift, entity, points_)) return;
  bufferSize_ = static_cast<std::int32_t>(holder->Children().size() * sizeof(TDevicePoint));
  if (MinPointNo == 0) MinPointNo = 3;
  if (PointNo() < MinPointNo) Empty();
}

bool TBorderBuffer::EntityInside() const {
  const auto* entity = DynamicCast<TRectEntity>(RectEntity());
  return entity && entity->IsInsideRect(MinX(), MinY(), MaxX(), MaxY());
}

void TBorderBuffer::ClipArea() {
  if (points_.empty() || EntityInside()) return;
  const auto count = static_cast<std::int32_t>(points_.size());
  std::unique_ptr<TDevicePoint[]> copy(new TDevicePoint[points_.size()]);
  std::copy(points_.begin(), points_.end(), copy.get());
  TOrezavacPloch clipper(DeviceClipRect, std::move(copy), count * 8, count);
  clipper.Clip();
  std::unique_ptr<TDevicePoint[]> result;
  std::int32_t byteSize = 0, resultCount = 0;
  clipper.GetResult(result, byteSize, resultCount);
  points_.assign(result.get(), result.get() + resultCount);
  if (points_.empty()) bufferSize_ = 0;
}

namespace {

std::int64_t SquaredDistance(const TDevicePoint& a, const TDevicePoint& b) {
  const std::int64_t dx = std::int64_t(a.X) - b.X, dy = std::int64_t(a.Y) - b.Y;
  return dx * dx + dy * dy;
}

}  // namespace

bool ClipSegment(const TDeviceRect& rect, const TDevicePoint& a, const TDevicePoint& b, TDevicePoint& from,
                 TDevicePoint& to) {
  bool visible = false;
  AnalInt::ClipLine(rect, a.X, a.Y, b.X, b.Y, from.X, from.Y, to.X, to.Y, visible);
  // The clipper may hand the ends back exchanged.
  if (visible && SquaredDistance(from, a) > SquaredDistance(to, a)) std::swap(from, to);
  return visible;
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
  bool open = false;  // the last piece goes on at its last point
  const auto append = [&](const TDevicePoint& from, const TDevicePoint& to) {
    if (!open || !(piecePoints_.back() == from)) {
      piecePoints_.push_back(from);
      pieceCounts_.push_back(1);
    }
    piecePoints_.push_back(to);
    ++pieceCounts_.back();
    open = true;
  };
  for (std::size_t i = 1; i < points_.size(); ++i) {
    const TDevicePoint& a = points_[i - 1];
    const TDevicePoint& b = points_[i];
    bool inside = false, crosses = false;
    AnalInt::ClipTest(DeviceClipRect, a.X, a.Y, b.X, b.Y, inside, crosses);
    if (inside) {
      append(a, b);
      continue;
    }
    TDevicePoint from, to;
    if (!crosses || !ClipSegment(DeviceClipRect, a, b, from, to)) {
      open = false;
      continue;
    }
    append(from, to);
    open = to == b;
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
