#include "cartography/layouts/desktop.h"

#include <climits>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tests/cartography/layouts/layouts_fixture.h"

namespace {

using DesktopTest = LayoutTest;

// Sheets of 0.2 x 0.3 laid left to right without gaps, each with the five
// number texts.
std::unique_ptr<TMultiPageDesktop> SheetsInARow(int count) {
  auto pages = std::make_unique<TMultiPageDesktop>();
  pages->NumberTextName = "N";
  pages->LeftNumberTextName = "L";
  pages->RightNumberTextName = "R";
  pages->TopNumberTextName = "T";
  pages->BottomNumberTextName = "B";
  pages->NoNumberText = "-";
  for (int i = 0; i < count; ++i) {
    auto* sheet = new TDesktop;
    sheet->SetBounds({0.2 * i, 0, 0.2 * (i + 1), 0.3});
    for (const char* name : {"N", "L", "R", "T", "B"}) {
      auto* text = Named<TText>(name, sheet);
      text->Text = "?";
    }
    pages->AddElement(sheet);
  }
  return pages;
}

// Each page as "name:N L R T B".
std::string Numbering(const TMultiPageDesktop& pages) {
  std::vector<std::string> shown;
  for (TElement* page : pages.Children()) {
    std::string line = page->GetName() + ":";
    for (const char* name : {"N", "L", "R", "T", "B"})
      line += DynamicCast<TText>(static_cast<TEntity*>(page)->FindElementByName(name))->Text;
    shown.push_back(line);
  }
  return Join(shown);
}

TEST_F(DesktopTest, RenumberingNamesEachPageAndGivesItsTextsTheNumbersOfItsNeighbours) {
  struct Case {
    const char* name;
    int pages;
    const char* numbering;
  };
  const Case cases[] = {
      {"three sheets in a row", 3, "Page 1:1-2-- Page 2:213-- Page 3:32---"},
      {"one sheet", 1, "Page 1:1----"},
  };
  for (const Case& test : cases) {
    auto pages = SheetsInARow(test.pages);
    pages->FillNumbers();
    EXPECT_EQ(Numbering(*pages), test.numbering) << test.name;
    EXPECT_EQ(pages->ActualNumber(), test.pages) << test.name << ": the last page ends up actual";
  }
}

TEST_F(DesktopTest, AStackedLayoutFindsThePagesAboveAndBelowAndTextsThatAreNoTextsAreSkipped) {
  auto pages = SheetsInARow(2);
  // The second sheet goes above the first; the first's right text becomes a frame.
  static_cast<TRectEntity*>(pages->Children()[1])->SetBounds({0, 0.3, 0.2, 0.6});
  auto* first = static_cast<TEntity*>(pages->Children()[0]);
  first->FreeElement(first->FindElementByName("R"));
  Named<TDrawRectangle>("R", first);
  pages->SetFIndPageNumber(1);
  EXPECT_EQ(std::vector<int>({pages->ActualTopNumber(), pages->ActualBottomNumber(), pages->ActualLeftNumber()}),
            std::vector<int>({2, 0, 0}));
  pages->FillNumbers();
  EXPECT_EQ(DynamicCast<TText>(first->FindElementByName("T"))->Text, "2");
  EXPECT_EQ(DynamicCast<TText>(static_cast<TEntity*>(pages->Children()[1])->FindElementByName("B"))->Text, "1");
}

TEST_F(DesktopTest, RenumberingFindsTheSameNeighboursAsAskingPageByPage) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    std::vector<TRealRect> sheets;
  };
  const Case cases[] = {
      {"a row", {{0, 0, 0.2, 0.3}, {0.2, 0, 0.4, 0.3}, {0.4, 0, 0.6, 0.3}}},
      {"a grid of two by two", {{0, 0, 1, 1}, {1, 0, 2, 1}, {0, 1, 1, 2}, {1, 1, 2, 2}}},
      {"a page over the others comes second", {{0, 0, 0.2, 0.3}, {0, 0, 2, 2}, {0.2, 0, 0.4, 0.3}}},
      {"pages of other sizes", {{0, 0, 0.2, 0.3}, {0.2, 0, 0.3, 0.1}, {-0.5, -0.5, 0, 0.7}, {0.2, 0.1, 0.25, 0.3}}},
      {"pages without size or numbers", {{0, 0, 0, 0}, {0, 0, 0.2, 0.3}, {nan, 0, 1, 1}, {0.2, 0, 0.4, 0.3}}},
      {"far apart", {{1e12, 0, 1e12 + 1, 1}, {-1e12, 0, -1e12 + 1, 1}, {1e12 + 1, 0, 1e12 + 2, 1}}},
  };
  for (const Case& test : cases) {
    auto pages = SheetsInARow(static_cast<int>(test.sheets.size()));
    for (std::size_t i = 0; i < test.sheets.size(); ++i)
      static_cast<TRectEntity*>(pages->Children()[i])->SetBounds(test.sheets[i]);
    // A text among the pages counts as a page but holds no point.
    pages->InsertElement(1, Named<TText>("stray"));
    std::vector<std::string> asked;
    for (int n = 1; n <= pages->GetCount(); ++n) {
      pages->SetFIndPageNumber(n);
      if (!DynamicCast<TDesktop>(pages->ActualPage())) continue;
      auto show = [&](int number) { return number ? std::to_string(number) : pages->NoNumberText; };
      asked.push_back("Page " + std::to_string(n) + ":" + show(n) + show(pages->ActualLeftNumber()) +
                      show(pages->ActualRightNumber()) + show(pages->ActualTopNumber()) +
                      show(pages->ActualBottomNumber()));
    }
    pages->FreeElement(pages->FindElementByName("stray"));
    pages->InsertElement(1, Named<TText>("stray"));
    pages->FillNumbers();
    pages->FreeElement(pages->FindElementByName("Page 2"));
    EXPECT_EQ(Numbering(*pages), Join(asked)) << test.name;
  }
}

TEST_F(DesktopTest, FindingAPageClampsAnyNumberToThePagesThereAre) {
  struct Case {
    const char* name;
    int pages;
    int asked;
    int actual;
  };
  const Case cases[] = {
      {"0 selects page 1", 3, 0, 1},        {"99 selects page 3", 3, 99, 3},         {"2 selects page 2", 3, 2, 2},
      {"the least integer", 3, INT_MIN, 1}, {"the greatest integer", 3, INT_MAX, 3}, {"no pages, no page", 0, 1, 0},
  };
  for (const Case& test : cases) {
    auto pages = SheetsInARow(test.pages);
    pages->SetFIndPageNumber(test.asked);
    EXPECT_EQ(pages->ActualNumber(), test.actual) << test.name;
    EXPECT_EQ(pages->GetPropertyText("ActualNumber"), std::to_string(test.actual)) << test.name;
  }
}

TEST_F(DesktopTest, DeletingAPageFreesItAndRenumbersAndAFreedPageIsNeverActual) {
  struct Case {
    const char* name;
    int pages;
    int actual;
    int deleted;
    const char* numbering;
    int actualAfter;
  };
  const Case cases[] = {
      {"the actual page 2 of 3: the old page 3 becomes page 2", 3, 2, 2, "Page 1:1---- Page 2:2----", 2},
      {"page 1 of 3 while actual", 3, 1, 1, "Page 1:1-2-- Page 2:21---", 2},
      {"the only page while actual", 1, 1, 1, "", 0},
      {"a number above the count does nothing", 3, 2, 4, "Page 1:1-2-- Page 2:213-- Page 3:32---", 2},
      {"0 does nothing", 3, 2, 0, "Page 1:1-2-- Page 2:213-- Page 3:32---", 2},
      {"the least integer does nothing", 3, 2, INT_MIN, "Page 1:1-2-- Page 2:213-- Page 3:32---", 2},
  };
  for (const Case& test : cases) {
    auto pages = SheetsInARow(test.pages);
    pages->FillNumbers();
    std::vector<TElementLink> sheets;
    for (TElement* page : pages->Children()) sheets.emplace_back(page);
    pages->SetFIndPageNumber(test.actual);
    pages->SetPageNumberToDelete(test.deleted);
    std::string freed;
    for (std::size_t i = 0; i < sheets.size(); ++i)
      if (sheets[i].IsDangling()) freed += std::to_string(i + 1);
    EXPECT_EQ(freed, test.deleted >= 1 && test.deleted <= test.pages ? std::to_string(test.deleted) : "") << test.name;
    EXPECT_EQ(Numbering(*pages), test.numbering) << test.name;
    EXPECT_EQ(pages->ActualNumber(), test.actualAfter) << test.name;
    EXPECT_TRUE(!pages->ActualPage() || pages->IndexOf(pages->ActualPage()) >= 0) << test.name;
  }
}

}  // namespace
