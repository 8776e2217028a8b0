#include "cartography/symbology/text_interprets.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "cartography/symbology/formatted_text.h"
#include "framework/core/class_registry.h"
#include "platform/canvas.h"
#include "render/devices/canvas_device.h"
#include "spatial/geometry/projection.h"

namespace {

// World units per unit of a text height: the map's virtual scale, or its
// true scale for heights given absolutely.
double HeightFactor(const TProjection& projection, bool absolute) {
  return absolute ? projection.Scale() : projection.VirtualScale();
}

// Heights and places in pixels are held to the device's range, so that a
// value read from a script or a file cannot overflow what is worked out
// from it.
std::int32_t DevicePlace(std::int64_t pixels) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(pixels, -TProjection::DeviceLimit, TProjection::DeviceLimit));
}

// The font height of letters that many pixels high.
std::int32_t LetterHeight(std::int64_t pixels) { return -DevicePlace(pixels); }

std::string PropertyOf(TElement* element, const std::string& name) {
  return element && !name.empty() ? element->GetPropertyText(name) : std::string();
}

// The texts a paragraph writes, in order: its own, then each run's; a
// variable run's is the element's property named like the run.
std::vector<std::string> TextsOfParagraph(const TParagraph& paragraph, TElement* element) {
  std::vector<std::string> texts;
  if (!paragraph.Text.empty()) texts.push_back(paragraph.Text);
  for (TElement* child : paragraph.Children()) {
    auto* run = DynamicCast<TFormatedText>(child);
    if (!run) continue;
    std::string text = DynamicCast<TVariableText>(run) ? PropertyOf(element, run->GetName()) : run->Text;
    if (!text.empty()) texts.push_back(std::move(text));
  }
  return texts;
}

}  // namespace

// ---------------------------------------------------------------- TGeneralTextInterpret

void TGeneralTextInterpret::Process(TElement* element) {
  TDevice* device = Device();
  if (!device) return;
  if (DynamicCast<TCanvasDevice>(device) && device->GetFont()) {
    const double height = PropHeight.empty() ? ValHeight : ValueOfText(PropertyOf(element, PropHeight));
    if (height <= 0) return;
    platform::CanvasFont& font = *device->GetFont();
    const TPageProjection& projection = *device->Projection();
    font.Height = LetterHeight(projection.WorldToDeviceDY(height * HeightFactor(projection, AbsSize)));
    font.Name = PropFont.empty() ? ValFont : PropertyOf(element, PropFont);
    font.Color = static_cast<platform::ColorValue>(PropColor.empty() ? Color
                                                                     : ValueOfText(PropertyOf(element, PropColor)));
  }
  device->TextOutAt(PropertyOf(element, PropText), ValueOfText(PropertyOf(element, PropX)),
                    ValueOfText(PropertyOf(element, PropY)));
}

TClass TGeneralTextInterpret::StaticClass() {
  using E = TGeneralTextInterpret;
  static const TClassInfo info = DescribeClass<E>(
      "TGeneralTextInterpret", TGeneralXYInterpret::StaticClass(), "I_Gen",
      {FieldProp("PropText", &E::PropText), FieldProp("PropFont", &E::PropFont), FieldProp("ValFont", &E::ValFont),
       FieldProp("AbsSize", &E::AbsSize)});
  return &info;
}

// ---------------------------------------------------------------- TGeneralFormatedTextBlockInterpret

TFormatedTextBlock* TGeneralFormatedTextBlockInterpret::TextBlock() const {
  return static_cast<TFormatedTextBlock*>(textBlock_.Get());
}

void TGeneralFormatedTextBlockInterpret::SetTextBlock(TFormatedTextBlock* block) {
  if (TElement* old = textBlock_.Get(); old && old != block) FreeElement(old);
  textBlock_.Set(block);
  if (block && IndexOf(block) < 0) AddElement(block);
}

void TGeneralFormatedTextBlockInterpret::Process(TElement* element) {
  TDevice* device = Device();
  TFormatedTextBlock* block = TextBlock();
  if (!device || !device->GetFont() || !block) return;
  // Only the block's own style counts: those of paragraphs and runs are
  // not consulted.
  const TParagraphStyle* style = block->GetParagraphStyle();
  if (!style || (style->TextHeight == 0 && style->TextSize == 0)) return;
  const bool fromElement = element && !PropX.empty() && !PropY.empty();
  const double x = fromElement ? ValueOfText(element->GetPropertyText(PropX)) : ValX;
  const double y = fromElement ? ValueOfText(element->GetPropertyText(PropY)) : ValY;
  platform::CanvasFont& font = *device->GetFont();
  font.Name = style->FontName;
  font.Color = static_cast<platform::ColorValue>(style->TextColor);
  if (style->TextHeight != 0) {
    DrawOnPaper(element, *style, x, y);
    return;
  }
  font.Height = LetterHeight(style->TextSize);
  const TPageProjection& projection = *device->Projection();
  if (fromElement)
    DrawInPixels(element, projection.WorldToDeviceX(x), projection.WorldToDeviceY(y), style->LineSize);
  else
    DrawInPixels(element, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), style->LineSize);
}

void TGeneralFormatedTextBlockInterpret::DrawOnPaper(TElement* element, const TTextStyle& style, double x, double y) {
  TDevice& device = *Device();
  const TPageProjection& projection = *device.Projection();
  const double factor = HeightFactor(projection, AbsSize);
  device.GetFont()->Height = LetterHeight(projection.WorldToDeviceDY(style.TextHeight * factor));
  const auto* paragraphStyle = DynamicCast<TParagraphStyle>(&style);
  const double lineStep = paragraphStyle ? paragraphStyle->LineHeight * factor : 0;
  if (x == 0 && y == 0) {
    TRealPoint corner;
    projection.DeviceToWorld(0, 0, corner);
    x = corner.X;
    y = corner.Y;
    device.UnrotatePoint(x, y);
  }
  for (TElement* child : TextBlock()->Children()) {
    auto* paragraph = DynamicCast<TParagraph>(child);
    if (!paragraph) continue;
    double at = x;
    for (const std::string& text : TextsOfParagraph(*paragraph, element)) {
      device.TextOutAt(text, at, y);
      at += device.ModelTextWidth(text);
    }
    y -= lineStep;
  }
}

void TGeneralFormatedTextBlockInterpret::DrawInPixels(TElement* element, int x, int y, int lineSize) {
  TDevice& device = *Device();
  for (TElement* child : TextBlock()->Children()) {
    auto* paragraph = DynamicCast<TParagraph>(child);
    if (!paragraph) continue;
    // Each paragraph on its own line: a block run along one line would
    // write its paragraphs over and past each other.
    int at = x;
    for (const std::string& text : TextsOfParagraph(*paragraph, element)) {
      device.TextOutPixel(at, y, text);
      at = DevicePlace(std::int64_t{at} + device.TextWidth(text));
    }
    y = DevicePlace(std::int64_t{y} + lineSize);
  }
}

TClass TGeneralFormatedTextBlockInterpret::StaticClass() {
  using E = TGeneralFormatedTextBlockInterpret;
  static const TClassInfo info = DescribeClass<E>(
      "TGeneralFormatedTextBlockInterpret", TGeneralXYInterpret::StaticClass(), "I_Gen",
      {ReadWriteProp("TextBlock", &E::TextBlock, &E::SetTextBlock), FieldProp("AbsSize", &E::AbsSize)});
  return &info;
}

void RegisterTextInterpretClasses() {
  for (TClass cls : {TGeneralTextInterpret::StaticClass(), TGeneralFormatedTextBlockInterpret::StaticClass()})
    RegisterKestuClass(cls);
}
