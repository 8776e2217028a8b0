#pragma once
// Interprets of things that are not GIS objects: topology nodes with their
// branch counts, the sheets of the state map series with their names, and
// the outlines of the ZM base-map sheets.
#include <optional>

#include "render/interprets/interpret.h"
#include "spatial/geometry/geometry_types.h"

class TNodeInterpret : public TRectInterpret {
  KESTX_CLASS(TNodeInterpret)
 public:
  bool IsItsClass(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool QGoInside(TElement*) override { return false; }
  void Process(TElement* element) override;
};

class TSMO_Interpret : public TRectInterpret {
  KESTX_CLASS(TSMO_Interpret)
 public:
  bool IsItsClass(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool QGoInside(TElement*) override { return true; }
  bool QGoInsideAfter(TElement*) override { return false; }
  void Process(TElement* element) override;
};

class TInterpretZM : public TInterpret {
  KESTX_CLASS(TInterpretZM)
 public:
  bool IsItsClass(TElement* element) override;
  // Exactly the locator's class, not its descendants.
  bool AcceptsClass(TClass cls) const override;
  // Draws with the visible world rectangle of the run.
  void DoIt() override;
  // The outlines of the sheets the locator's level asks for; the locator
  // itself is left as it was.
  void Process(TElement* element) override;

 private:
  std::optional<TRealRect> visible_;
};

void RegisterSheetInterpretClasses();
