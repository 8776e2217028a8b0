#pragma once
// Draws a view: for the time of the drawing the device's projection is
// pointed at the view's model (its centre on the view's rectangle, at the
// view's scale and angle), drawing is clipped to the visible part of the
// view, and a universal interpret walks the model.
#include "render/interprets/interpret.h"

class TInterpretScript;
class TUniversalInterpret;
class TView;

class TViewInterpret : public TInterpret {
  KESTX_CLASS(TViewInterpret)
 public:
  // Views in the model of a view are drawn to this depth; deeper ones are
  // left out.
  static constexpr int MostNestedViews = 8;

  // The inner interpret, made on first use as a sub-interpret.
  TUniversalInterpret* Interpret();
  // The inner interpret's script; without one the default symbology script
  // is made for it.
  TInterpretScript* InterpretScript();
  void SetInterpretScript(TInterpretScript* script);

  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  // Views are drawn; other elements are left alone.  The device's
  // projection, clip rectangle and angle are restored however the inner
  // walk ends.
  void Process(TElement* element) override;

 private:
  void DrawView(TView& view);
};

void RegisterViewInterpretClasses();
