#pragma once
// The interprets of grid marks: crosses and grid lines at a fixed world
// spacing over the whole page the device shows.
#include "render/interprets/interpret.h"
#include "spatial/geometry/geometry_types.h"

class TGridMarksInterpret : public TInterpret {
  KESTX_CLASS(TGridMarksInterpret)
 public:
  // The page's world rectangle is taken, then the walk runs.
  void DoIt() override;
  const TRealRect& PageRect() const { return page_; }

 protected:
  // Whether marks at that spacing can be drawn over the page: a spacing that
  // is not above 0 (or no number), or more than 1000 marks along an axis, is
  // told in a message box about the element instead.
  bool SpacingFits(const TElement& element, double width, double height) const;
  // The positions from the multiple of step at or towards zero of from, up
  // to and including to.
  template <class F>
  static void ForEachStep(double from, double to, double step, F&& f);

 private:
  TRealRect page_;
};

class TInterpretKrizku : public TGridMarksInterpret {
  KESTX_CLASS(TInterpretKrizku)
 public:
  // Exactly a TCross, not its descendants.
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void Process(TElement* element) override;
};

class TLinesInterpret : public TGridMarksInterpret {
  KESTX_CLASS(TLinesInterpret)
 public:
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void Process(TElement* element) override;
};

void RegisterGridInterpretClasses();
