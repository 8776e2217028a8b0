#pragma once
// Desktops: drawing sheets in sheet units on which views, texts, text blocks,
// framed rectangles and pictures are placed; and multi-page desktops, rows
// of such sheets printed page by page, whose page-number texts name the
// neighbouring pages.
#include <string>

#include "framework/environment/file_elements.h"
#include "spatial/geometry/geometry_elements.h"

class TPageLocator;

class TDesktop : public TDrawRectangle {
  KESTX_CLASS(TDesktop)
 public:
  TDesktop();
};

// A file element with offsets that nothing reads.
class TDeskTopFile : public TFileElement {
  KESTX_CLASS(TDeskTopFile)
 public:
  double DeltaX = 0;
  double DeltaY = 0;
};

class TMapSheetTemplate : public TDesktop {
  KESTX_CLASS(TMapSheetTemplate)
};

class TmapSheet : public TMapSheetTemplate {
  KESTX_CLASS(TmapSheet)
 public:
  std::string Save() const { return save_; }
  // Beeps, and keeps the text.
  void SetSave(const std::string& text);

 private:
  std::string save_;
};

// The children are the pages; a page's number is its index + 1.
class TMultiPageDesktop : public TRectEntity {
  KESTX_CLASS(TMultiPageDesktop)
 public:
  std::string LeftNumberTextName;
  std::string RightNumberTextName;
  std::string NumberTextName;
  std::string TopNumberTextName;
  std::string BottomNumberTextName;
  std::string NoNumberText;
  // Stored and published; nothing reads them.
  double Overlap = 0;
  double RealOverlap = 0;

  // Held by link: a freed page is no longer the actual one.
  TElement* ActualPage() const { return actualPage_.Get(); }
  void SetActualPage(TElement* page) { actualPage_.Set(page); }
  // n clamped to 1 ... count; nothing without pages.
  void SetFIndPageNumber(int n);
  // Frees page n (1 ... count, else nothing) and renumbers; when it is the
  // actual page, the one before it (or the first) becomes actual first.
  void SetPageNumberToDelete(int n);
  // Names every page "Page n" and gives the number texts of each page the
  // numbers of the page and its neighbours; the last page ends up actual.
  void FillNumbers();

  // 0 without an actual page.
  int ActualNumber() const;
  // The page one width left of, right of, one height above or below the
  // actual page's centre; 0 for none.
  int ActualLeftNumber() const { return NeighbourNumber(-1, 0, nullptr); }
  int ActualRightNumber() const { return NeighbourNumber(1, 0, nullptr); }
  int ActualTopNumber() const { return NeighbourNumber(0, 1, nullptr); }
  int ActualBottomNumber() const { return NeighbourNumber(0, -1, nullptr); }

  // The number of the first desktop (in child order) whose rectangle holds
  // the point, borders included; 0 for none.
  int PageNumberAt(double X, double Y) const;
  // The child at index, a larger index giving the last; nil without pages.
  TElement* PageByIndex(int index) const;

 private:
  // Through the locator when given, else by looking at every page.
  int NeighbourNumber(int widths, int heights, const TPageLocator* locator) const;
  void GiveNumber(TEntity& page, const std::string& name, int number) const;

  TElementLink actualPage_;
};

void RegisterDesktopClasses();
