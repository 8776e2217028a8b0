#pragma once
// Pickers: walks of an element tree that stop at the first element of a
// wanted kind lying under a world point within a tolerance.
#include <memory>

#include "framework/tools/recursor.h"

class T2DCoordinate;

// Tests every space entity it is let to; the variants choose where the walk
// descends and what it tests.  Output is the element found, nil after a run
// that found nothing.
class TPickUper : public TRecursor {
  KESTX_CLASS(TPickUper)
 public:
  TPickUper();
  ~TPickUper() override;

  bool Found() const { return found_; }
  double X() const;
  double Y() const;
  void SetX(double value);
  void SetY(double value);
  // World units.
  double Tolerance = 0;

  void DoIt() override;
  void Prepare() override;
  void Process(TElement* element) override;

 private:
  // Made when X or Y is first written.
  T2DCoordinate& Point();

  bool found_ = false;
  std::unique_ptr<T2DCoordinate> point_;
};

// Points: the walk keeps out of lines and areas and their lists.
class TPickUpPoint : public TPickUper {
  KESTX_CLASS(TPickUpPoint)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
};

// Polylines: the walk keeps out of lines, areas and the lists of areas and
// points.
class TPickUpPolyLine : public TPickUper {
  KESTX_CLASS(TPickUpPolyLine)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
};

// Areas: the walk keeps out of areas, lines and the lists of lines and
// points.
class TPickUpArea : public TPickUper {
  KESTX_CLASS(TPickUpArea)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
};

void RegisterPickUperClasses();
