#include "cartography/layouts/desktop.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

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

// Finds the first desktop (in child order) that holds a point without
// looking at every page: the pages are filed in cells the size of the first
// page, each under every cell its rectangle touches, borders included.  A
// page that would take more than a few cells (or has no numbers for
// bounds) is kept aside and always asked.  Renumbering asks four points of
// every page, so this keeps it from growing with the square of the pages.
class TPageLocator {
 public:
  explicit TPageLocator(const TGapList<TElement>& pages) {
    for (std::size_t i = 0; i < pages.size(); ++i) {
      const auto* page = DynamicCast<TDesktop>(pages[i]);
      if (!page) continue;
      if (cellWidth_ == 0 && page->GetWidth() > 0 && page->GetHeight() > 0) {
        cellWidth_ = page->GetWidth();
        cellHeight_ = page->GetHeight();
      }
      File(*page, static_cast<int>(i));
    }
  }

  // The page's number, 0 for none.
  int NumberAt(double X, double Y) const {
    int found = FirstHolding(aside_, X, Y);
    if (const auto cell = CellOf(X, Y); cell && cells_.contains(*cell))
      if (const int filed = FirstHolding(cells_.at(*cell), X, Y); filed && (!found || filed < found)) found = filed;
    return found;
  }

 private:
  struct TFiled {
    const TDesktop* Page;
    int Number;
  };
  static constexpr std::int64_t kMostCells = 16;
  using TCell = std::pair<std::int64_t, std::int64_t>;
  struct TCellHash {
    std::size_t operator()(const TCell& c) const { return std::hash<std::int64_t>()(c.first * 1000003 ^ c.second); }
  };

  std::optional<TCell> CellOf(double X, double Y) const {
    if (cellWidth_ == 0) return std::nullopt;
    const double cx = std::floor(X / cellWidth_), cy = std::floor(Y / cellHeight_);
    if (!(std::abs(cx) < 1e15 && std::abs(cy) < 1e15)) return std::nullopt;
    return TCell{static_cast<std::int64_t>(cx), static_cast<std::int64_t>(cy)};
  }

  void File(const TDesktop& page, int index) {
    const TFiled filed{&page, index + 1};
    const auto low = CellOf(page.GetMinX(), page.GetMinY()), high = CellOf(page.GetMaxX(), page.GetMaxY());
    if (!low || !high || high->first < low->first || high->second < low->second ||
        (high->first - low->first + 1) * (high->second - low->second + 1) > kMostCells) {
      aside_.push_back(filed);
      return;
    }
    for (std::int64_t x = low->first; x <= high->first; ++x)
      for (std::int64_t y = low->second; y <= high->second; ++y) cells_[{x, y}].push_back(filed);
  }

  static int FirstHolding(const std::vector<TFiled>& pages, double X, double Y) {
    for (const TFiled& filed : pages)
      if (filed.Page->ContainsPoint(X, Y)) return filed.Number;
    return 0;
  }

  double cellWidth_ = 0;
  double cellHeight_ = 0;
  std::unordered_map<TCell, std::vector<TFiled>, TCellHash> cells_;
  std::vector<TFiled> aside_;
};

int TMultiPageDesktop::NeighbourNumber(int widths, int heights, const TPageLocator* locator) const {
  const auto* page = DynamicCast<TRectEntity>(ActualPage());
  // Renumbering knows its page to be one of the pages.
  if (!page || (!locator && ActualNumber() == 0)) return 0;
  const double X = page->GetCenterX() + widths * page->GetWidth();
  const double Y = page->GetCenterY() + heights * page->GetHeight();
  return locator ? locator->NumberAt(X, Y) : PageNumberAt(X, Y);
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
  const TPageLocator locator(Children());
  for (int i = 0; i < count; ++i) {
    SetActualPage(PageByIndex(i));
    TElement* page = ActualPage();
    if (!page) continue;
    page->SetName("Page " + std::to_string(i + 1));
    auto* entity = DynamicCast<TEntity>(page);
    if (!entity) continue;
    GiveNumber(*entity, NumberTextName, i + 1);
    GiveNumber(*entity, LeftNumberTextName, NeighbourNumber(-1, 0, &locator));
    GiveNumber(*entity, RightNumberTextName, NeighbourNumber(1, 0, &locator));
    GiveNumber(*entity, TopNumberTextName, NeighbourNumber(0, 1, &locator));
    GiveNumber(*entity, BottomNumberTextName, NeighbourNumber(0, -1, &locator));
  }
}

// ---------------------------------------------------------------- descriptions

TClass TDesktop::StaticClass() {
  static const TClassInfo info = DescribeClass<TDesktop>("TDesktop", TDrawRectangle::StaticClass(), "E_desktp", {});
  return &info;
}

TClass TDeskTopFile::StaticClass() {
  using E = TDeskTopFile;
  static const TClassInfo info = DescribeClass<E>("TDeskTopFile", TFileElement::StaticClass(), "E_desktp",
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
       FieldProp("RightNumberTextName", &E::RightNumberTextName), FieldProp("TopNumberTextName", &E::TopNumberTextName),
       FieldProp("BottomNumberTextName", &E::BottomNumberTextName), FieldProp("NoNumberText", &E::NoNumberText),
       NotStored(AccessorProp<E, bool>("FillNumbers", nullptr, [](E& m, bool) { m.FillNumbers(); }))});
  return &info;
}

void RegisterDesktopClasses() {
  for (TClass cls : {TDesktop::StaticClass(), TDeskTopFile::StaticClass(), TmapSheet::StaticClass(),
                     TMultiPageDesktop::StaticClass()})
    RegisterKestuClass(cls);
}
