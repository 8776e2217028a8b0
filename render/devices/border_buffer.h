#pragma once
// The device points of one element, projected, clamped and without repeats,
// cut to the device's clip rectangle before they are drawn.  The rectangle
// it is (the inherited corners) is the visible world rectangle: an element
// lying wholly inside it needs no cutting.  Cutting works on the unrounded
// pixel coordinates of the whole picture: a vertex thousands of pages away
// would move the cut edge once clamped, and a band's shift must not change
// how a cut end rounds.
#include <cstdint>
#include <span>
#include <vector>

#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/geometry_types.h"

class TProjection;

// A point as the cutting sees it: where it lies in the whole picture's
// pixels, unrounded, and its pixel there (clamped, which keeps the side of
// the page it lies on).
struct TExactVertex {
  TRealPoint At;
  TDevicePoint Pixel;
};

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
  // The clip rectangle in the whole picture's rows.
  TDeviceRect WholeClipRect() const;
  TDevicePoint Shifted(const TDevicePoint& point) const { return {point.X, point.Y - RowShift}; }
  TElementLink projection_;
  TElementLink entity_;
  std::int32_t bufferSize_ = 0;
  std::vector<TDevicePoint> points_;
  // The same vertices unshifted, for the cutting.
  std::vector<TExactVertex> exact_;
  std::vector<TDevicePoint> piecePoints_;
  std::vector<std::int32_t> pieceCounts_;
};

// Appends the element's T2DCoordinate children projected and clamped,
// dropping a point equal to the one before; false (nothing appended) when
// they would take more than TBorderBuffer::MaxBufferSize bytes.
bool ProjectVertices(const TProjection& projection, std::int32_t rowShift, const TElement* element,
                     std::vector<TDevicePoint>& points);

// The part of the segment a-b (unrounded pixels) inside the rectangle, its
// edges included, running the way the segment does; false when none is.  An
// end that is cut lies on the edge that cut it, worked out from a and b
// themselves; FromCut and ToCut tell which ends were cut.
struct TExactClip {
  TRealPoint From;
  TRealPoint To;
  bool FromCut = false;
  bool ToCut = false;
};
bool ClipExactSegment(const TDeviceRect& rect, const TRealPoint& a, const TRealPoint& b, TExactClip& clip);
// The pixel of a point worked out by cutting: nearest, halves to even.
TDevicePoint RoundedPixel(const TRealPoint& point);

// What the rectangle shows of the segment a-b, in pixels: both ends as they
// are when both lie inside, nothing when both lie beyond one side, else the
// part the exact segment has inside, its cut ends rounded (nearest, halves
// to even).
struct TSegmentView {
  bool Visible = false;
  bool FromCut = false;
  bool ToCut = false;
  TDevicePoint From;
  TDevicePoint To;
};
TSegmentView ViewSegment(const TDeviceRect& rect, const TExactVertex& a, const TExactVertex& b);

void RegisterBorderBufferClasses();
