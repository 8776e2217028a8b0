#pragma once
// The selection frame with its eight handles, and a selected map object
// highlighted in XOR with vertex markers, so that drawing it again takes the
// highlight away.
#include <cstdint>

#include "platform/canvas.h"
#include "render/interprets/interpret.h"

// The marker size of selected objects, in pixels, for the whole program.
std::int32_t& SelectionMarkerSize();

class TSelectedElementInterpret : public TRectInterpret {
  KESTX_CLASS(TSelectedElementInterpret)
 public:
  bool IsItsClass(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool QGoInside(TElement*) override { return false; }
  void Process(TElement* element) override;
};

class TSelectedSpaceElementInterpret : public TRectInterpret {
  KESTX_CLASS(TSelectedSpaceElementInterpret)
 public:
  // 0 means silver, taken at the first drawing.
  platform::ColorValue Color = 0;
  // World lengths of the marker size and of two pixels more, taken when a
  // device is attached.
  double SmallMarker = 0;
  double LargeMarker = 0;

  bool IsItsClass(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool QGoInside(TElement* element) override;
  bool QGoInsideAfter(TElement*) override { return false; }
  void AttachDevice(TDevice* device) override;
  void Process(TElement* element) override;

 private:
  void SquareMarker(double X, double Y, double size);
  void SetPen(std::int32_t width, platform::PenStyle style);
};

void RegisterSelectionInterpretClasses();
