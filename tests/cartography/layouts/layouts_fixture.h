#pragma once
// The fixture of the layout tests: every rendering class registered, and
// small builders of views and desktops in sheet units.
#include <string>

#include "cartography/cartography_classes.h"
#include "cartography/layouts/desktop.h"
#include "cartography/layouts/view.h"
#include "render/interprets/interpret.h"
#include "tests/render/render_fixture.h"

class LayoutTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    RegisterCartographyClasses();
  }
};

// Draws the element with the interpret on the device, which stays the caller's.
inline void DrawElement(TInterpret& interpret, TElement& element, TDevice& device) {
  interpret.AttachDevice(&device);
  interpret.SetInput(&element);
  interpret.DoIt();
  interpret.DetachDevice();
}

// A view of the sheet rectangle showing the world at the scale about the centre.
inline TView* MakeView(const std::string& name, const TRealRect& sheet, double scale, TRealPoint centre) {
  auto* view = new TView;
  view->SetName(name);
  view->SetBounds(sheet);
  view->SetScale(scale);
  view->Projection()->SetCenter(centre);
  return view;
}

inline std::string RectText(const TRealRect& R) {
  return "(" + FloatToText(R.MinX) + ", " + FloatToText(R.MinY) + ")-(" + FloatToText(R.MaxX) + ", " +
         FloatToText(R.MaxY) + ")";
}
