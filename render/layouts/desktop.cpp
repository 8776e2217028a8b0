#include "render/layouts/desktop.h"

#include <algorithm>

#include "framework/core/class_registry.h"
#include "platform/canvas.h"

TDesktop::TDesktop() { BrushColor = 0xFFFFFF; }

void TmapSheet::SetSave(const std::string& text) {
  platform::Beep();
  save_ = text;
}

// ---------------------------------------------------------------- TMultiPageDesktop

TElement* TMultiPageDesktop::PageByIndex(int index) const {
  const auto& pages = Children();
  if (pages.empty()) return nullptr;
  const auto last = static_cast<int>(pages.size()) - 1;
  return pages[static_cast<std::size_t>(std::clamp(index, 0, last))];
}

int TMultiPageDesktop::ActualNumber() const {
  const TElement* page = ActualPage();
  if (!page) return 0;
  const std::ptrdiff_t index = Children().IndexOfFirst(page);
  return index < 0 ? 0 : static_cast<int>(index) + 1;
}

int TMultiPageDesktop::PageNumberAt(double X, double Y) const {
  const auto& pages = Children();
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const auto* page = DynamicCast<TDesktop>(pages[i]);
    if (page && page->ContainsPoint(X, Y)) return static_cast<int>(i) + 1;
  }
  return 0;
}

int TMultiPageDesktop::NeighbourNumber(int widths, int heights) const {
  const auto* page = DynamicCast<TRectEntity>(ActualPage());
  if (!page || ActualNumber() == 0) return 0;
  return PageNumberAt(page->GetCenterX() + widths * page->GetWidth(), page->GetCenterY() + heights * page->GetHeight());
}

void TMultiPageDesktop::SetFIndPageNumber(int n) {
  const auto count = static_cast<int>(Children().size());
  if (count == 0) return;
  SetActualPage(PageByIndex(std::clamp(n, 1, count) - 1));
}

void TMultiPageDesktop::SetPageNumberToDelete(int n) {
  const auto count = static_cast<int>(Children().size());
  if (n < 1 || n > count) return;
  if (n == ActualNumber()) SetFIndPageNumber(n - 1);
  FreeElement(Children()[static_cast<std::size_t>(n - 1)]);
  FillNumbers();
}

void TMultiPageDesktop::GiveNumber(TEntity& page, const std::string& name, int number) const {
  // An empty name names no text (unnamed texts would answer to it).
  if (name.empty()) return;
  if (auto* text = DynamicCast<TText>(page.FindElementByName(name)))
    text->Text = number >= 1 ? std::to_string(number) : NoNumberText;
}

void TMultiPageDesktop::FillNumbers() {
  const auto count = static_cast<int>(Children().size());
  for (int i = 0; i < count; ++i) {
    SetActualPage(PageByIndex(i));
    TElement* page = ActualPage();
    if (!page) continue;
    page->SetName("Page " + std::to_string(ActualNumber()));
    auto* entity = DynamicCast<TEntity>(page);
    if (!entity) continue;
    GiveNumber(*entity, NumberTextName, ActualNumber());
    GiveNumber(*entity, LeftNumberTextName, ActualLeftNumber());
    GiveNumber(*entity, RightNumberTextName, ActualRightNumber());
    GiveNumber(*entity, TopNumberTextName, ActualTopNumber());
    GiveNumber(*entity, BottomNumberTextName, ActualBottomNumber());
  }
}

// ---------------------------------------------------------------- descriptions

TClass TDesktop::StaticClass() {
  static const TClassInfo info = DescribeClass<TDesktop>("TDesktop", TDrawRectangle::StaticClass(), "E_desktp", {});
  return &info;
}

TClass TDeskTopFile::StaticClass() {
  using E = TDeskTopFile;
  static const TClassInfo info =
      DescribeClass<E>("TDeskTopFile", TFileElement::StaticClass(), "E_desktp",
                       {FieldProp("DeltaX", &E::DeltaX), FieldProp("DeltaY", &E::DeltaY)});
  return &info;
}

TClass TMapSheetTemplate::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TMapSheetTemplate>("TMapSheetTemplate", TDesktop::StaticClass(), "E_desktp", {});
  return &info;
}

TClass TmapSheet::StaticClass() {
  using E = TmapSheet;
  static const TClassInfo info = DescribeClass<E>("TmapSheet", TMapSheetTemplate::StaticClass(), "E_desktp",
                                                  {ReadWriteProp("Save", &E::Save, &E::SetSave)});
  return &info;
}

TClass TMultiPageDesktop::StaticClass() {
  using E = TMultiPageDesktop;
  static const TClassInfo info = DescribeClass<E>(
      "TMultiPageDesktop", TRectEntity::StaticClass(), "E_desktp",
      {AccessorProp<E, TDesktop*>(
           "ActualPage", [](const E& m) { return DynamicCast<TDesktop>(m.ActualPage()); },
           [](E& m, TDesktop* page) { m.SetActualPage(page); }),
       NotStored(WriteProp("FIndPageNumber", &E::SetFIndPageNumber)),
       NotStored(ReadProp("ActualNumber", &E::ActualNumber)),
       NotStored(ReadProp("ActualLeftNumber", &E::ActualLeftNumber)),
       NotStored(ReadProp("ActualRightNumber", &E::ActualRightNumber)),
       NotStored(ReadProp("ActualTopNumber", &E::ActualTopNumber)),
       NotStored(ReadProp("ActualBottomNumber", &E::ActualBottomNumber)),
       NotStored(WriteProp("PageNumberToDelete", &E::SetPageNumberToDelete)), FieldProp("Overlap", &E::Overlap),
       FieldProp("RealOverlap", &E::RealOverlap), FieldProp("NumberTextName", &E::NumberTextName),
       FieldProp("LeftNumberTextName", &E::LeftNumberTextName),
       FieldProp("RightNumberTextName", &E::RightNumberTextName),
       FieldProp("TopNumberTextName", &E::TopNumberTextName),
       FieldProp("BottomNumberTextName", &E::BottomNumberTextName), FieldProp("NoNumberText", &E::NoNumberText),
       NotStored(AccessorProp<E, bool>("FillNumbers", nullptr, [](E& m, bool) { m.FillNumbers(); }))});
  return &info;
}

void RegisterDesktopClasses() {
  for (TClass cls : {TDesktop::StaticClass(), TDeskTopFile::StaticClass(), TmapSheet::StaticClass(),
                     TMultiPageDesktop::StaticClass()})
    RegisterKestuClass(cls);
}
