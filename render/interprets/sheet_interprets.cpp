#include "render/interprets/sheet_interprets.h"

#include <memory>
#include <string>

#include "framework/core/class_registry.h"
#include "render/devices/device.h"
#include "spatial/geometry/projection.h"
#include "spatial/sheets/map_sheets.h"
#include "spatial/sheets/zm_sheets.h"
#include "spatial/topology/topology_nodes.h"

// ---------------------------------------------------------------- nodes

bool TNodeInterpret::IsItsClass(TElement* element) { return DynamicCast<TNode>(element); }
bool TNodeInterpret::QProcessBefore(TElement* element) { return IsItsClass(element); }

void TNodeInterpret::Process(TElement* element) {
  auto* node = DynamicCast<TNode>(element);
  TDevice* device = Device();
  if (!node || !device || !device->GetPen()) return;
  device->GetPen()->Color = 0x0000FF;
  device->GetPen()->Style = platform::PenStyle::Solid;
  const double r = device->Projection()->DeviceToWorldLength(3);
  const double X = node->GetX(), Y = node->GetY();
  device->Rectangle(X - r, Y - r, X + r, Y + r);
  device->GetHandle()->SetFontSize(8);
  device->TextOutAt(std::to_string(node->GetBranchCount()), X + r, Y + r);
}

// ---------------------------------------------------------------- map sheets

bool TSMO_Interpret::IsItsClass(TElement* element) { return DynamicCast<TSMO_2>(element); }
bool TSMO_Interpret::QProcessBefore(TElement* element) { return IsItsClass(element); }

namespace {

struct TSheetLook {
  TClass Class;
  platform::ColorValue Color;
  double NamedBelow;
};

// Most derived first: the series derive from one another.
const TSheetLook* LookOf(const TElement& sheet) {
  static const TSheetLook looks[] = {
      {TSMO_50::StaticClass(), 0x000000, 5000000}, {TSMO_25::StaticClass(), 0xFF0000, 2500000},
      {TSMO_10::StaticClass(), 0x0000FF, 1000000}, {TSMO_5::StaticClass(), 0x008000, 500000},
      {TSMO_2::StaticClass(), 0x000080, 200000},
  };
  for (const TSheetLook& look : looks)
    if (sheet.InheritsFrom(look.Class)) return &look;
  return nullptr;
}

}  // namespace

void TSMO_Interpret::Process(TElement* element) {
  auto* sheet = DynamicCast<TRectEntity>(element);
  TDevice* device = Device();
  const TSheetLook* look = sheet ? LookOf(*sheet) : nullptr;
  if (!look || !device || !device->GetPen()) return;
  if (!sheet->IntersectsRect(MinX, MinY, MaxX, MaxY)) return;
  device->SetPen({look->Color, 1, platform::PenStyle::Solid, platform::PenMode::Copy});
  device->GetBrush()->Style = platform::BrushStyle::Clear;
  device->Rectangle(sheet->GetMinX(), sheet->GetMinY(), sheet->GetMaxX(), sheet->GetMaxY());
  const TPageProjection& projection = *device->Projection();
  if (projection.Scale() >= look->NamedBelow) return;
  platform::CanvasFont& font = *device->GetFont();
  font.Name = "Arial";
  font.Height = projection.WorldToDeviceDY(sheet->GetHeight()) / 7;
  device->TextOutAt(sheet->GetName(), sheet->GetMinX(), sheet->GetMaxY());
}

// ---------------------------------------------------------------- ZM sheets

bool TInterpretZM::IsItsClass(TElement* element) { return DynamicCast<TMapsZM>(element); }

bool TInterpretZM::AcceptsClass(TClass cls) const { return cls == TMapsZM::StaticClass(); }

void TInterpretZM::DoIt() {
  const TDevice* device = Device();
  if (device && device->Projection()) {
    TRealRect world;
    device->VisibleWorldRect(world, false);
    visible_ = world;
  }
  TInterpret::DoIt();
  visible_.reset();
}

namespace {

// The sheets of one level under the current sheet of the level above.
struct TZMLevel {
  int LocatorScale;      // the locator's level at or below which it is drawn
  double ProjectionBelow;  // drawn while the projection's scale is below
  int Parts;
  void (TMapsZM::*Select)(int);
  int (TMapsZM::*Selected)() const;
};

}  // namespace

void TInterpretZM::Process(TElement* element) {
  const auto* locator = DynamicCast<TMapsZM>(element);
  TDevice* device = Device();
  if (!locator || !device || !device->GetPen() || !visible_) return;
  const double scale = device->Projection()->Scale();
  if (scale > 8000000) return;
  platform::CanvasPen& pen = *device->GetPen();
  pen.Style = locator->PenStyle <= 5 ? static_cast<platform::PenStyle>(locator->PenStyle) : platform::PenStyle::Solid;
  pen.Color = static_cast<platform::ColorValue>(locator->Color);
  device->SetPenWidth(locator->PenWidth);
  device->GetBrush()->Style = platform::BrushStyle::Clear;

  // A locator of our own walks the sheets: the user's keeps its sheet.
  TMapsZM walker;
  const TZMLevel levels[] = {
      {200000, 1e300, 35, &TMapsZM::SetMap200, &TMapsZM::GetMap200},
      {100000, 4000000, 4, &TMapsZM::SetMap100, &TMapsZM::GetMap100},
      {50000, 2000000, 4, &TMapsZM::SetMap50, &TMapsZM::GetMap50},
      {25000, 1000000, 4, &TMapsZM::SetMap25, &TMapsZM::GetMap25},
      {10000, 400000, 25, &TMapsZM::SetMap10, &TMapsZM::GetMap10},
  };
  const auto drawn = [&](const TZMLevel& level, int number) {
    (walker.*level.Select)(number);
    walker.SetScale(level.LocatorScale);
    // A number that is no sheet is refused and draws nothing.
    if ((walker.*level.Selected)() != number) return false;
    TZMCorners corners;
    for (int k = 1; k <= 4; ++k) corners[static_cast<std::size_t>(k - 1)] = {walker.CornerX(k), walker.CornerY(k)};
    const std::unique_ptr<TRectangle> bounds(TMapsZM::QuadBounds(corners));
    if (bounds->MinX() > visible_->MaxX || bounds->MaxX() < visible_->MinX || bounds->MinY() > visible_->MaxY ||
        bounds->MaxY() < visible_->MinY)
      return false;
    device->MoveTo(corners[0].X, corners[0].Y);
    for (const int k : {1, 3, 2, 0}) device->LineTo(corners[static_cast<std::size_t>(k)].X, corners[static_cast<std::size_t>(k)].Y);
    return true;
  };
  const auto wanted = [&](const TZMLevel& level) {
    return locator->GetScale() <= level.LocatorScale && scale < level.ProjectionBelow;
  };
  // Levels 1:100 000 and 1:50 000 quarter their parents; below 1:50 000
  // both 1:25 000 and 1:10 000 divide it.
  for (int sheet200 = 1; sheet200 <= levels[0].Parts; ++sheet200) {
    if (!drawn(levels[0], sheet200) || !wanted(levels[1])) continue;
    for (int q100 = 1; q100 <= 4; ++q100) {
      if (!drawn(levels[1], q100) || !wanted(levels[2])) continue;
      for (int q50 = 1; q50 <= 4; ++q50) {
        if (!drawn(levels[2], q50)) continue;
        for (const TZMLevel* below : {&levels[3], &levels[4]})
          if (wanted(*below))
            for (int part = 1; part <= below->Parts; ++part) drawn(*below, part);
      }
    }
  }
}

TClass TNodeInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TNodeInterpret>("TNodeInterpret", TRectInterpret::StaticClass(), "I_Basic", {});
  return &info;
}

TClass TSMO_Interpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSMO_Interpret>("TSMO_Interpret", TRectInterpret::StaticClass(), "I_Basic", {});
  return &info;
}

TClass TInterpretZM::StaticClass() {
  static const TClassInfo info = DescribeClass<TInterpretZM>("TInterpretZM", TInterpret::StaticClass(), "E_zm", {});
  return &info;
}

void RegisterSheetInterpretClasses() {
  RegisterKestuClass(TNodeInterpret::StaticClass());
  RegisterKestuClass(TSMO_Interpret::StaticClass());
  RegisterKestuClass(TInterpretZM::StaticClass());
}
