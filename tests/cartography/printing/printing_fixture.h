#pragma once
// Printing on a small paper at 150 dots per inch into a PDF of a folder of
// the test's own, with the options INI file there too, and desktops of
// framed rectangles to print.
#include <memory>
#include <string>

#include "cartography/cartography_classes.h"
#include "cartography/layouts/desktop.h"
#include "framework/environment/environment.h"
#include "platform/canvas.h"
#include "spatial/geometry/geometry_elements.h"
#include "tests/platform/temp_folder.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

// At 254 dots per inch a millimetre is 10 pixels: the paper is 0.06 x 0.04
// metres exactly.
class PrintingTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    RegisterCartographyClasses();
    platform::SetPrintPaperSize({60, 40});
    platform::SetPrintResolution(254);
    platform::SetPrintFileName(Pdf());
    SetOptionsIniFileSource([this] { return folder.File("KESTX.INI"); });
  }
  void TearDown() override {
    SetOptionsIniFileSource(nullptr);
    platform::SetPrintPaperSize({});
    platform::SetPrintResolution(300);
    platform::SetPrintFileName("kestx.pdf");
    ToolFormsTest::TearDown();
  }
  std::string Pdf() const { return folder.File("tisk.pdf"); }

  TempFolder folder;
};

// A framed rectangle of the colours on a desktop.
inline TDrawRectangle* AddFrame(TRectEntity& owner, const TRealRect& bounds, TColor pen, TColor brush) {
  auto* frame = CreateElement<TDrawRectangle>();
  frame->SetBounds(bounds);
  frame->PenColor = pen;
  frame->PenStyle = psSolid;
  frame->PenWidth = 0.0005;
  frame->BrushColor = brush;
  frame->BrushStyle = bsSolid;
  owner.AddEntity(frame);
  return frame;
}

// A desktop of the bounds with a blue and a green rectangle inside.
inline TDesktop* MakeDesktop(const TRealRect& bounds) {
  auto* desktop = CreateElement<TDesktop>();
  desktop->SetBounds(bounds);
  const double w = bounds.MaxX - bounds.MinX, h = bounds.MaxY - bounds.MinY;
  AddFrame(*desktop, {bounds.MinX + 0.1 * w, bounds.MinY + 0.1 * h, bounds.MinX + 0.6 * w, bounds.MinY + 0.5 * h},
           0, 0xFF0000);
  AddFrame(*desktop, {bounds.MinX + 0.4 * w, bounds.MinY + 0.3 * h, bounds.MinX + 0.9 * w, bounds.MinY + 0.9 * h},
           0x0000FF, 0x00FF00);
  desktop->UpdateRect();
  desktop->SetBounds(bounds);
  return desktop;
}
