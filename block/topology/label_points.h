#pragma once
// Label points of areas: a point inside the area and outside its holes,
// found first by cheap tests (the centre of the bounds, then the middle of
// the span through it) and, when they fail, by scanning the area's middle
// row on a raster.
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/tools/recursor.h"
#include "render/area_symbols/area_symbol.h"
#include "render/devices/canvas_device.h"
#include "spatial/geometry/geometry_types.h"

class TAreaElement;
class TProjection;

// A device that never draws: its page of 500 x 500 pixels at 200 dots per
// inch per millimetre only gives the projection of the analysis.
class TAnalDevice : public TCanvasDevice {
  KESTX_CLASS(TAnalDevice)
 public:
  static constexpr std::int32_t PageSide = 500;
  static constexpr double PixelsPerUnit = 1000 * 200 / 25.4;

  void SetupPage() override;
};

// One ring in device pixels.
class TIntegerPolygon : public TElement {
  KESTX_CLASS(TIntegerPolygon)
 public:
  std::int32_t Count = 0;
  std::int32_t ByteSize = 0;
  std::unique_ptr<TDevicePoint[]> Points;
};

// The rings of one area: the outline first, then one per hole.
class TPolygonList : public TEntity {
  KESTX_CLASS(TPolygonList)
 public:
  TIntegerPolygon* Polygon(int I) const;
};

// The scan of an area's rings along its middle row.
class TAnalArea : public TPlosnaZnacka {
  KESTX_CLASS(TAnalArea)
 public:
  // Where the scan begins; the lowest point of the rings, from 1000 down.
  std::int32_t LowestY = 1000;

  // The edge table of the rings, largest top first.
  void BuildEdgeTable(const TPolygonList& Polygons);
  // The middle of the widest span of the middle row; false without edges
  // or crossings.
  bool WidestSpanMiddle(std::int32_t& X, std::int32_t& Y);
  // The edges as stepping row by row from the table's first top down to
  // Row leaves them (Row itself not stepped); First becomes the index of the
  // first edge not yet begun.  Rows above Row are not visited one by one.
  void AdvanceToRow(std::int32_t Row, std::int32_t& First);

 private:
  void AddRing(const TDevicePoint* Points, std::int32_t Count);
};

// The rings of one area, read once for every test of its label: the
// outline first, then each hole in the area's order.  A ring bounded by
// lines is tested from the points read here; any other area answers for its
// own ring, so a test gives what the area's ContainsPointOutsideHoles gives.
class TLabelRings {
 public:
  explicit TLabelRings(const TAreaElement& Area);
  // The same with the outline ring, as the area's OutlineRing reads it, at
  // hand already.
  TLabelRings(const TAreaElement& Area, std::vector<TRealPoint> Outline);

  const std::vector<TRealPoint>& Outline() const { return rings_.front().Points; }
  bool Contains(double X, double Y) const;
  // Each ring in the projection's pixels, as ElementToDevicePoints gives the
  // rings of the area's plain copy: consecutive equal pixels once, and a ring
  // too large for the device buffer without points.
  void AddPolygons(const TProjection& Projection, TPolygonList& Polygons) const;

 private:
  struct TRing {
    const TAreaElement* Area;
    std::vector<TRealPoint> Points;
    bool OfLines;
  };
  bool RingContains(const TRing& Ring, double X, double Y) const;
  void AddHoles(const TAreaElement& Area);

  std::vector<TRing> rings_;
};

class TAreaPointPlacer : public TTool {
  KESTX_CLASS(TAreaPointPlacer)
 public:
  // A centre inside the area is taken as it is, without the span test.
  bool AcceptCentre = false;

  // Input an area; sets its reference point; Output := Input.
  void DoIt() override;
  // DoIt for an area whose outline ring (as its OutlineRing reads it) the
  // caller has read already.
  void PlaceOnOutline(TAreaElement& Area, std::vector<TRealPoint> Outline);

 private:
  void PlaceLabel(TAreaElement& area, const TLabelRings& rings);
  // The middle of the span through the reference point when it lies within
  // 1/100 of the span from either end; false when the raster is to decide.
  bool KeepOffTheBoundary(TAreaElement& area, const TLabelRings& rings);
  void RasterAnalysis(TAreaElement& area, const TLabelRings& rings);
  TAnalDevice& Device();
  TPolygonList& Polygons();
  TAnalArea& Scanner();
  // Moves a point outside the area onto the middle of the two nearest
  // crossings of its row, and reports one that stays outside.
  void CorrectOutsidePoint(TAreaElement& area, const TLabelRings& rings);

  TElementLink device_;
  TElementLink polygons_;
  TElementLink scanner_;
};

// Places the label of every area of an area list.
class TMultiAreaPointPlacer : public TRecursor {
  KESTX_CLASS(TMultiAreaPointPlacer)
 public:
  // Only for an area list.
  void DoIt() override;
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;

 private:
  TAreaPointPlacer* placer_ = nullptr;
};

void RegisterLabelPointClasses();
