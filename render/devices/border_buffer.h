#pragma once
// The device points of one element, projected, clamped and without repeats,
// cut to the device's clip rectangle before they are drawn.  The rectangle
// it is (the inherited corners) is the visible world rectangle: an element
// lying wholly inside it needs no cutting.
#include <cstdint>
#include <span>
#include <vector>

#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/geometry_types.h"

class TProjection;

class TBorderBuffer : public TRectangle {
  KESTX_CLASS(TBorderBuffer)
 public:
  // Elements whose points would take more are not drawn.
  static constexpr std::int32_t MaxBufferSize = 2500000;

  TProjection* Projection() const;
  void SetProjection(TProjection* projection);
  TElement* RectEntity() const { return entity_.Get(); }
  // Fills the buffer from the element's T2DCoordinate children.
  void SetRectEntity(TElement* entity);
  std::int32_t PointNo() const { return static_cast<std::int32_t>(points_.size()); }
  // Fewest points worth drawing; 0 means 3.
  std::int32_t MinPointNo = 0;
  // Bytes taken for the element's children; 0 once the buffer is empty.
  std::int32_t BufferSize() const { return bufferSize_; }

  // Rows taken off every projected point (a band of a taller page).
  std::int32_t RowShift = 0;
  // Left, top, right, bottom in pixels.
  TDeviceRect DeviceClipRect;
  std::span<const TDevicePoint> Points() const { return points_; }

  // Cuts the points as a closed ring against DeviceClipRect unless the
  // element lies inside the world rectangle.
  void ClipArea();
  // Cuts the points as an open line, segment by segment, into the visible
  // pieces; a line inside the world rectangle is one piece as it is.
  void ClipLine();
  // Points of the visible pieces one after the other, and each piece's count.
  std::span<const TDevicePoint> PiecePoints() const { return piecePoints_; }
  std::span<const std::int32_t> PieceCounts() const { return pieceCounts_; }

 private:
  bool EntityInside() const;
  void Empty();
  TElementLink projection_;
  TElementLink entity_;
  std::int32_t bufferSize_ = 0;
  std::vector<TDevicePoint> points_;
  std::vector<TDevicePoint> piecePoints_;
  std::vector<std::int32_t> pieceCounts_;
};

// Appends the element's T2DCoordinate children projected and clamped,
// dropping a point equal to the one before; false (nothing appended) when
// they would take more than TBorderBuffer::MaxBufferSize bytes.
bool ProjectVertices(const TProjection& projection, std::int32_t rowShift, const TElement* element,
                     std::vector<TDevicePoint>& points);

// The part of the segment a-b inside the rectangle, running the way the
// segment does; false when none is.
bool ClipSegment(const TDeviceRect& rect, const TDevicePoint& a, const TDevicePoint& b, TDevicePoint& from,
                 TDevicePoint& to);

void RegisterBorderBufferClasses();
