#include "render/interprets/selection_interprets.h"

#include <memory>

#include "framework/core/class_registry.h"
#include "render/devices/canvas_device.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

std::int32_t& SelectionMarkerSize() {
  static std::int32_t pixels = 4;
  return pixels;
}

namespace {

bool IsSelectable(const TElement* element) {
  return DynamicCast<TPolyLineElement>(element) || DynamicCast<TAreaElement>(element) ||
         DynamicCast<TPointElement>(element);
}

}  // namespace

bool TSelectedElementInterpret::IsItsClass(TElement* element) { return DynamicCast<TSelectedElement>(element); }
bool TSelectedElementInterpret::QProcessBefore(TElement* element) { return IsItsClass(element); }

void TSelectedElementInterpret::Process(TElement* element) {
  auto* device = DynamicCast<TCanvasDevice>(Device());
  auto* selected = DynamicCast<TSelectedElement>(element);
  if (!device || !device->Canvas() || !selected) return;
  platform::Canvas& canvas = *device->Canvas();
  canvas.Pen = {0x808080, 1, platform::PenStyle::Solid, platform::PenMode::Copy};
  canvas.Brush = {0, platform::BrushStyle::Solid};
  const TDevicePoint a = device->ToDevice(selected->GetMinX(), selected->GetMaxY());
  const TDevicePoint b = device->ToDevice(selected->GetMaxX(), selected->GetMinY());
  const std::int32_t midX = a.X + (b.X - a.X) / 2, midY = a.Y + (b.Y - a.Y) / 2;
  const TDevicePoint handles[] = {{a.X, a.Y}, {b.X, a.Y}, {b.X, b.Y}, {a.X, b.Y},
                                  {midX, a.Y}, {b.X, midY}, {midX, b.Y}, {a.X, midY}};
  // Drawn on the canvas itself, the handles keep to the page clip as the
  // device's own drawing does.
  const TCanvasDevice::PageClip clip(*device);
  for (const TDevicePoint& h : handles) canvas.Rectangle(h.X - 5, h.Y - 5, h.X + 5, h.Y + 5);
}

bool TSelectedSpaceElementInterpret::IsItsClass(TElement* element) { return IsSelectable(element); }
bool TSelectedSpaceElementInterpret::QProcessBefore(TElement* element) { return IsSelectable(element); }

bool TSelectedSpaceElementInterpret::QGoInside(TElement* element) {
  return DynamicCast<TEntity>(element) && !DynamicCast<TPolyLineElement>(element) &&
         !DynamicCast<TAreaElement>(element);
}

void TSelectedSpaceElementInterpret::AttachDevice(TDevice* device) {
  TRectInterpret::AttachDevice(device);
  const TDevice* attached = Device();
  if (!attached || !attached->Projection()) return;
  SmallMarker = attached->Projection()->DeviceToWorldLength(SelectionMarkerSize());
  LargeMarker = attached->Projection()->DeviceToWorldLength(SelectionMarkerSize() + 2);
}

void TSelectedSpaceElementInterpret::SetPen(std::int32_t width, platform::PenStyle style) {
  Device()->SetPen({Color, width, style, platform::PenMode::Xor});
}

void TSelectedSpaceElementInterpret::SquareMarker(double X, double Y, double size) {
  const platform::CanvasPen line = *Device()->GetPen();
  SetPen(1, platform::PenStyle::Solid);
  TDevice& device = *Device();
  device.MoveTo(X + size, Y + size);
  device.LineTo(X + size, Y - size);
  device.LineTo(X - size, Y - size);
  device.LineTo(X - size, Y + size);
  device.LineTo(X + size, Y + size);
  device.SetPen(line);
  device.MoveTo(X, Y);
}

void TSelectedSpaceElementInterpret::Process(TElement* element) {
  TDevice* device = Device();
  if (!device || !device->GetPen()) return;
  if (Color == 0) Color = 0xC0C0C0;
  const double s = LargeMarker;
  if (auto* line = DynamicCast<TPolyLineElement>(element)) {
    if (line->GetCoordsCount() == 0) return;
    SetPen(1, platform::PenStyle::Solid);
    device->SetBrush({0xFFFFFF, platform::BrushStyle::Solid});
    SquareMarker(line->GetCoordX(0), line->GetCoordY(0), s);
    SetPen(3, platform::PenStyle::Dot);
    for (int i = 1; i < line->GetCoordsCount(); ++i) {
      device->LineTo(line->GetCoordX(i), line->GetCoordY(i));
      SquareMarker(line->GetCoordX(i), line->GetCoordY(i), s);
    }
  } else if (auto* area = DynamicCast<TAreaElement>(element)) {
    std::unique_ptr<TAreaElement> plain;
    if (auto* bounded = DynamicCast<TPolyLineAreaElement>(area)) {
      plain.reset(bounded->CreateAreaWithHoles());
      area = plain.get();
    }
    device->SetBrush({Color, platform::BrushStyle::FDiagonal});
    SetPen(3, platform::PenStyle::Solid);
    device->DrawArea(area);
  } else if (auto* point = DynamicCast<TPointElement>(element)) {
    SetPen(3, platform::PenStyle::Solid);
    device->SetBrush({0xFFFFFF, platform::BrushStyle::Solid});
    const double X = point->GetAbsRefX(), Y = point->GetAbsRefY();
    device->MoveTo(X, Y - 2 * s);
    device->LineTo(X, Y + 2 * s);
    device->MoveTo(X - 2 * s, Y);
    device->LineTo(X + 2 * s, Y);
    SquareMarker(X, Y, s);
    SquareMarker(X, Y, 2 * s);
  }
}

TClass TSelectedElementInterpret::StaticClass() {
  static const TClassInfo info = DescribeClass<TSelectedElementInterpret>(
      "TSelectedElementInterpret", TRectInterpret::StaticClass(), "I_Basic", {});
  return &info;
}

TClass TSelectedSpaceElementInterpret::StaticClass() {
  static const TClassInfo info = DescribeClass<TSelectedSpaceElementInterpret>(
      "TSelectedSpaceElementInterpret", TRectInterpret::StaticClass(), "I_Basic",
      {FieldProp("Color", &TSelectedSpaceElementInterpret::Color)});
  return &info;
}

void RegisterSelectionInterpretClasses() {
  RegisterKestuClass(TSelectedElementInterpret::StaticClass());
  RegisterKestuClass(TSelectedSpaceElementInterpret::StaticClass());
}
