#include "cartography/layouts/grid_interprets.h"

#include <cmath>

#include "cartography/layouts/text_block.h"
#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "render/devices/device.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr double kMostMarks = 1000;

void LetEventsRun() { platform::Application::Instance().ProcessMessages(); }

}  // namespace

void TGridMarksInterpret::DoIt() {
  page_ = {};
  if (TDevice* device = Device(); device && device->Projection()) device->VisibleWorldRect(page_, false);
  TInterpret::DoIt();
}

bool TGridMarksInterpret::SpacingFits(const TElement& element, double width, double height) const {
  const bool fits = std::isfinite(width) && std::isfinite(height) && width > 0 && height > 0 &&
                    (page_.MaxX - page_.MinX) / width <= kMostMarks && (page_.MaxY - page_.MinY) / height <= kMostMarks;
  if (!fits)
    platform::ShowMessage("Objekt " + element.ClassName() + ":" + element.GetName() +
                          " má vzhledem k zobrazované ploše nevhodně nastavenou šířku či výšku");
  return fits;
}

template <class F>
void TGridMarksInterpret::ForEachStep(double from, double to, double step, F&& f) {
  // Counted in whole steps: adding a step to a large coordinate may not move
  // it at all.
  const double start = std::trunc(from / step) * step;
  for (int k = 0; k <= kMostMarks + 1; ++k) {
    const double at = start + k * step;
    if (!(at <= to)) break;
    f(at);
  }
}

// ---------------------------------------------------------------- crosses

bool TInterpretKrizku::QProcessBefore(TElement* element) {
  return element && element->ClassType() == TCross::StaticClass();
}

bool TInterpretKrizku::IsItsClass(TElement* element) { return DynamicCast<TCross>(element); }

void TInterpretKrizku::Process(TElement* element) {
  const auto* cross = DynamicCast<TCross>(element);
  TDevice* device = Device();
  if (!cross || !device || !device->GetPen()) return;
  if (!SpacingFits(*cross, cross->Width, cross->Height)) return;
  const double half = cross->Size / 2;
  platform::CanvasPen& pen = *device->GetPen();
  pen.Style = platform::PenStyle::Solid;
  pen.Color = static_cast<platform::ColorValue>(cross->Color);
  device->SetPenWidth(cross->PenWidth);
  const TRealRect& page = PageRect();
  ForEachStep(page.MinX, page.MaxX, cross->Width, [&](double x) {
    ForEachStep(page.MinY, page.MaxY, cross->Height, [&](double y) {
      device->MoveTo(x - half, y);
      device->LineTo(x + half, y);
      device->MoveTo(x, y - half);
      device->LineTo(x, y + half);
    });
  });
  LetEventsRun();
}

// ---------------------------------------------------------------- grid lines

bool TLinesInterpret::QProcessBefore(TElement* element) {
  return element && element->ClassType() == TLines::StaticClass();
}

bool TLinesInterpret::IsItsClass(TElement* element) { return DynamicCast<TLines>(element); }

void TLinesInterpret::Process(TElement* element) {
  const auto* lines = DynamicCast<TLines>(element);
  TDevice* device = Device();
  if (!lines || !device || !device->GetPen()) return;
  if (!SpacingFits(*lines, lines->Width, lines->Height)) return;
  platform::CanvasPen& pen = *device->GetPen();
  pen.Style = platform::PenStyle::Solid;
  pen.Color = static_cast<platform::ColorValue>(lines->Color);
  pen.Width = lines->PenWidth;
  const TRealRect& page = PageRect();
  ForEachStep(page.MinX, page.MaxX, lines->Width, [&](double x) {
    device->MoveTo(x, page.MinY);
    device->LineTo(x, page.MaxY);
  });
  ForEachStep(page.MinY, page.MaxY, lines->Height, [&](double y) {
    device->MoveTo(page.MinX, y);
    device->LineTo(page.MaxX, y);
  });
  LetEventsRun();
}

// ---------------------------------------------------------------- descriptions

TClass TGridMarksInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TGridMarksInterpret>("TGridMarksInterpret", TInterpret::StaticClass(), "E_desktp", {});
  return &info;
}

TClass TInterpretKrizku::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TInterpretKrizku>("TInterpretKrizku", TGridMarksInterpret::StaticClass(), "E_desktp", {});
  return &info;
}

TClass TLinesInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLinesInterpret>("TLinesInterpret", TGridMarksInterpret::StaticClass(), "E_desktp", {});
  return &info;
}

void RegisterGridInterpretClasses() {
  RegisterKestuClass(TInterpretKrizku::StaticClass());
  RegisterKestuClass(TLinesInterpret::StaticClass());
}
