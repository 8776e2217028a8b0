#include "cartography/layouts/desktop_interprets.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <limits>
#include <string>

#include "cartography/layouts/desktop.h"
#include "cartography/layouts/text_block.h"
#include "cartography/layouts/view.h"
#include "cartography/layouts/view_interpret.h"
#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "render/devices/canvas_device.h"
#include "render/interprets/selection_interprets.h"
#include "render/rasters/raster.h"
#include "render/rasters/raster_interprets.h"
#include "spatial/geometry/projection.h"

namespace {

platform::PenStyle PenStyleOf(TPenStyle style) {
  return style <= psClear ? static_cast<platform::PenStyle>(style) : platform::PenStyle::Solid;
}

// Hatches the canvas has no pattern for fill solid.
platform::BrushStyle BrushStyleOf(TBrushStyle style) {
  if (style == bsClear) return platform::BrushStyle::Clear;
  if (style == bsFDiagonal) return platform::BrushStyle::FDiagonal;
  return platform::BrushStyle::Solid;
}

// The text's font on a canvas device; the height (in sheet units) only when
// it is not 0.  False when that height comes to less than 2 pixels.
bool SetTextFont(TCanvasDevice& device, const TText& text, double height) {
  platform::CanvasFont* font = device.GetFont();
  if (!font) return false;
  if (height != 0) {
    // Negated in 64 bits: the projection answers the smallest int for a
    // height beyond its range.
    const long long pixels = -static_cast<long long>(device.Projection()->WorldToDeviceDY(height));
    if (std::abs(pixels) < 2) return false;
    constexpr long long kLargest = std::numeric_limits<std::int32_t>::max();
    font->Height = static_cast<std::int32_t>(std::clamp(pixels, -kLargest, kLargest));
  }
  font->Name = text.FontName;
  font->Color = static_cast<platform::ColorValue>(text.Color);
  font->Bold = (text.FontStyle & fsBold) != 0;
  font->Italic = (text.FontStyle & fsItalic) != 0;
  font->Underline = (text.FontStyle & fsUnderline) != 0;
  font->StrikeOut = (text.FontStyle & fsStrikeOut) != 0;
  font->Charset = text.Charset;
  device.SetFontAngle(text.Orientation);
  return true;
}

}  // namespace

void DrawFramedRectangle(TDevice& device, const TDrawRectangle& rectangle) {
  platform::CanvasBrush* brush = device.GetBrush();
  platform::CanvasPen* pen = device.GetPen();
  if (!brush || !pen) return;
  *brush = {static_cast<platform::ColorValue>(rectangle.BrushColor), BrushStyleOf(rectangle.BrushStyle)};
  pen->Style = PenStyleOf(rectangle.PenStyle);
  device.SetPenWidth(rectangle.PenWidth);
  pen->Color = static_cast<platform::ColorValue>(rectangle.PenColor);
  device.Rectangle(rectangle.GetMinX(), rectangle.GetMinY(), rectangle.GetMaxX(), rectangle.GetMaxY());
}

// ---------------------------------------------------------------- TDesktopInterpret

void TDesktopInterpret::CreateSubInterprets() {
  AddTool(CreateElement<TSelectedElementInterpret>());
  AddTool(CreateElement<TDrawRectInterpret>());
  AddTool(CreateElement<TViewInterpret>());
  AddTool(CreateElement<TTextInterpret>());
  AddTool(CreateElement<TTextBlockInterpret>());
  if (RastersEnabled()) {
    try {
      AddTool(CreateElement<TRasterInterpret>());
    } catch (const std::exception& error) {
      // The desktop is drawn still, without its rasters.
      Log(std::string("Rastry nelze kreslit: ") + error.what());
    }
  }
  AddTool(CreateElement<TBMPFileInterpret>());
}

bool TDesktopInterpret::QGoInside(TElement* element) {
  return DynamicCast<TEntity>(element) && !DynamicCast<TView>(element) && !DynamicCast<TText>(element);
}

bool TDesktopInterpret::QProcessBefore(TElement* element) {
  return DynamicCast<TSelectedElement>(element) || DynamicCast<TDesktop>(element) || DynamicCast<TText>(element) ||
         DynamicCast<TDrawRectangle>(element) || DynamicCast<TGraphicFileElement>(element) ||
         DynamicCast<TView>(element);
}

bool TDesktopInterpret::IsItsClass(TElement* element) { return DynamicCast<TDesktop>(element); }

void TDesktopInterpret::Process(TElement* element) {
  const auto* desktop = DynamicCast<TDesktop>(element);
  if (!desktop) {
    TInterpret::Process(element);
    return;
  }
  if (TDevice* device = Device()) DrawFramedRectangle(*device, *desktop);
}

void TDesktopInterpret::DoIt() {
  platform::Application::Instance().ProcessMessages();
  TInterpret::DoIt();
}

// ---------------------------------------------------------------- TDrawRectInterpret

bool TDrawRectInterpret::IsItsClass(TElement* element) { return DynamicCast<TDrawRectangle>(element); }

void TDrawRectInterpret::Process(TElement* element) {
  const auto* rectangle = DynamicCast<TDrawRectangle>(element);
  if (rectangle && Device()) DrawFramedRectangle(*Device(), *rectangle);
}

// ---------------------------------------------------------------- TTextInterpret

bool TTextInterpret::IsItsClass(TElement* element) { return DynamicCast<TText>(element); }

void TTextInterpret::Process(TElement* element) {
  const auto* text = DynamicCast<TText>(element);
  TDevice* device = Device();
  if (!text || !device) return;
  if (auto* canvas = DynamicCast<TCanvasDevice>(device); canvas && !SetTextFont(*canvas, *text, text->GetHeight()))
    return;
  device->TextOutAt(text->Text, text->GetMinX(), text->GetMaxY());
}

// ---------------------------------------------------------------- TTextBlockInterpret

bool TTextBlockInterpret::IsItsClass(TElement* element) { return DynamicCast<TTextBlock>(element); }

void TTextBlockInterpret::Process(TElement* element) {
  auto* block = DynamicCast<TTextBlock>(element);
  TDevice* device = Device();
  if (!block || !device || block->LinesCount() == 0) return;
  if (auto* canvas = DynamicCast<TCanvasDevice>(device); canvas && !SetTextFont(*canvas, *block, block->TextHeight))
    return;
  const double x = block->GetMinX();
  double y = block->GetMaxY();
  for (const std::string& line : block->LineTexts()) {
    if (y < block->GetMinY()) break;
    device->TextOutAt(line, x, y);
    y -= block->LineHeight;
  }
}

// ---------------------------------------------------------------- descriptions

TClass TDesktopInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TDesktopInterpret>("TDesktopInterpret", TInterpret::StaticClass(), "E_desktp", {});
  return &info;
}

TClass TDrawRectInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TDrawRectInterpret>("TDrawRectInterpret", TRectInterpret::StaticClass(), "E_desktp", {});
  return &info;
}

TClass TTextInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TTextInterpret>("TTextInterpret", TInterpret::StaticClass(), "E_desktp", {});
  return &info;
}

TClass TTextBlockInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TTextBlockInterpret>("TTextBlockInterpret", TInterpret::StaticClass(), "E_desktp", {});
  return &info;
}

void RegisterDesktopInterpretClasses() {
  RegisterKestuClass(TDesktopInterpret::StaticClass());
  RegisterKestuClass(TDrawRectInterpret::StaticClass());
}
