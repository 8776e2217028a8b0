#include "cartography/printing/print_pages.h"

#include <cmath>
#include <string>

#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "render/devices/device.h"

namespace {

// How many steps cover the length: a rest of a millimetre's thousandth or
// less is no page.
double StepsOver(double length, double step) {
  const double whole = std::trunc(length / step);
  return length - whole * step > 0.001 ? whole + 1 : whole;
}

// A count past what a whole number holds (a step next to nothing gives an
// infinite one) is told by the limit it passes.
std::string PageCountText(double count) {
  return count < 1e18 ? std::to_string(std::llround(count)) : "více než " + std::to_string(kMaxPrintPages);
}

TDrawRectangle* NewPage(double minX, double minY, double width, double height) {
  auto* page = CreateElement<TDrawRectangle>();
  page->PenColor = 0;
  page->PenStyle = psSolid;
  page->BrushStyle = bsSolid;
  page->BrushColor = 0xFFFFFF;
  page->SetBounds({minX, minY, minX + width, minY + height});
  return page;
}

}  // namespace

TRectEntity* TPrintPages::Layout() const { return static_cast<TRectEntity*>(layout_.Get()); }

void TPrintPages::SetLayout(TRectEntity* layout) {
  layout_.Set(layout);
  Rebuild();
}

double TPrintPages::Scale() {
  if (!(scale_ > 0)) scale_ = 1;
  return scale_;
}

void TPrintPages::SetScale(double value) {
  scale_ = value;
  Rebuild();
}

TDevice* TPrintPages::Device() const { return static_cast<TDevice*>(device_.Get()); }

void TPrintPages::SetDevice(TDevice* device) { device_.Set(device); }

TRectEntity* TPrintPages::Pages() {
  if (!pages_.Get()) {
    auto* pages = CreateElement<TRectEntity>();
    AddElement(pages);
    pages_.Set(pages);
  }
  return static_cast<TRectEntity*>(pages_.Get());
}

void TPrintPages::SetOverlap(double value) {
  overlap_ = value;
  Rebuild();
}

void TPrintPages::SetCentered(bool value) {
  if (value == centered_) return;
  centered_ = value;
  Rebuild();
}

void TPrintPages::ClearPages() {
  if (TElement* pages = pages_.Get()) FreeElement(pages);
  pages_.Set(nullptr);
}

void TPrintPages::CenterPages() {
  TRectEntity* layout = Layout();
  if (!layout) return;
  const double dx = layout->GetCenterX() - GetCenterX(), dy = layout->GetCenterY() - GetCenterY();
  TRectEntity* pages = Pages();
  for (TElement* page : pages->Children())
    if (auto* rect = DynamicCast<TRectEntity>(page)) rect->MoveBy(dx, dy);
  pages->UpdateRect();
  UpdateRect();
}

void TPrintPages::Rebuild() {
  ClearPages();
  BoundRect()->Clear();
  TRectEntity* layout = Layout();
  TDevice* device = Device();
  if (!layout || !device) return;
  const double scale = Scale();
  const double stepX = (device->GetPageWidth() - overlap_) * scale;
  const double stepY = (device->GetPageHeight() - overlap_) * scale;
  // An overlap of the whole paper would step back or stand still.
  if (!(stepX > 0) || !(stepY > 0)) return;
  double columns = StepsOver(layout->GetWidth(), stepX), rows = StepsOver(layout->GetHeight(), stepY);
  if (SinglePage) columns = rows = 1;
  if (columns * rows > kMaxPrintPages) {
    Rows = Columns = 0;
    platform::ShowMessage("Příliš mnoho stránek: " + PageCountText(columns * rows));
    return;
  }
  Columns = static_cast<std::int32_t>(columns);
  Rows = static_cast<std::int32_t>(rows);
  TRectEntity* pages = Pages();
  double y = layout->GetMinY();
  for (std::int32_t row = 0; row < Rows; ++row, y += stepY) {
    double x = layout->GetMinX();
    for (std::int32_t column = 0; column < Columns; ++column, x += stepX) {
      TDrawRectangle* page = NewPage(x - overlap_, y - overlap_, overlap_ + stepX, overlap_ + stepY);
      pages->AddEntity(page);
      IncludeElement(page);
    }
  }
  if (centered_) CenterPages();
}

TClass TPrintPages::StaticClass() {
  static const TClassInfo info = DescribeClass<TPrintPages>("TPrintPages", TRectEntity::StaticClass(), "PrintPages", {});
  return &info;
}
