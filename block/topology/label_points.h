#pragma once
// Label points of areas: a point inside the area and outside its holes,
// found first by cheap tests (the centre of the bounds, then the middle of
// the span through it) and, when they fail, by scanning the area's middle
// row on a raster.
#include "framework/tools/recursor.h"

class TAreaElement;

class TAreaPointPlacer : public TTool {
  KESTX_CLASS(TAreaPointPlacer)
 public:
  // A centre inside the area is taken as it is, without the span test.
  bool AcceptCentre = false;

  // Input an area; sets its reference point; Output := Input.
  void DoIt() override;

 private:
  void PlaceLabel(TAreaElement& area);
  // The middle of the span through the reference point when it lies within
  // 1/100 of the span from either end; false when the raster is to decide.
  bool KeepOffTheBoundary(TAreaElement& area);
  void RasterAnalysis(TAreaElement& area);
  // Moves a point outside the area onto the middle of the two nearest
  // crossings of its row, and reports one that stays outside.
  void CorrectOutsidePoint(TAreaElement& area);
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
