#include "cartography/printing/print_pages.h"

#include <gtest/gtest.h>

#include <cmath>

#include <functional>
#include <memory>
#include <string>
#include <tuple>

#include "spatial/geometry/page.h"
#include "tests/render/render_fixture.h"

namespace {

struct Rect {
  double MinX, MinY, MaxX, MaxY;
};

std::string Text(const Rect& r) {
  return "(" + std::to_string(r.MinX) + ", " + std::to_string(r.MinY) + ")-(" + std::to_string(r.MaxX) + ", " +
         std::to_string(r.MaxY) + ")";
}

std::string Text(const TRectEntity& e) { return Text({e.GetMinX(), e.GetMinY(), e.GetMaxX(), e.GetMaxY()}); }

class PrintPagesTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    // Paper 0.2 x 0.3 m: 200 x 300 pixels at a pixel a millimetre.
    device.Page()->PageRect = {0, 0, 200, 300};
    device.Page()->SetResolution(1000, 1000);
  }
  std::unique_ptr<TPrintPages> Grid(const Rect& layout, double scale, double overlap, bool single, bool centred) {
    layout_ = std::make_unique<TRectEntity>();
    layout_->SetBounds({layout.MinX, layout.MinY, layout.MaxX, layout.MaxY});
    auto grid = std::make_unique<TPrintPages>();
    grid->SinglePage = single;
    grid->SetDevice(&device);
    grid->SetCentered(centred);
    grid->SetOverlap(overlap);
    grid->SetScale(scale);
    grid->SetLayout(layout_.get());
    return grid;
  }

  TNullDevice device;
  std::unique_ptr<TRectEntity> layout_;
};

TEST_F(PrintPagesTest, PagesStepByThePaperLessTheOverlapTimesTheScaleFromTheLayoutsCorner) {
  struct Case {
    const char* name;
    Rect layout;
    double scale, overlap;
    bool single, centred;
    int columns, rows;
    Rect first, all;
  };
  const Case cases[] = {
      {"0.5 wide on 0.2 paper: 3 columns", {0, 0, 0.5, 0.3}, 1, 0, false, false, 3, 1, {0, 0, 0.2, 0.3}, {0, 0, 0.6, 0.3}},
      {"exactly 0.4 wide: 2 columns", {0, 0, 0.4, 0.3}, 1, 0, false, false, 2, 1, {0, 0, 0.2, 0.3}, {0, 0, 0.4, 0.3}},
      {"an overlap shortens the step and widens each page",
       {0, 0, 0.5, 0.3}, 1, 0.01, false, false, 3, 2, {-0.01, -0.01, 0.19, 0.29}, {-0.01, -0.01, 0.57, 0.58}},
      {"scale 2 takes twice the sheet on a page", {0, 0, 0.5, 0.3}, 2, 0, false, false, 2, 1, {0, 0, 0.4, 0.6}, {0, 0, 0.8, 0.6}},
      {"scale 0 reads as 1", {0, 0, 0.5, 0.3}, 0, 0, false, false, 3, 1, {0, 0, 0.2, 0.3}, {0, 0, 0.6, 0.3}},
      {"a single page whatever the layout", {0, 0, 0.5, 0.3}, 1, 0, true, false, 1, 1, {0, 0, 0.2, 0.3}, {0, 0, 0.2, 0.3}},
      {"centred on the layout", {0, 0, 0.5, 0.3}, 1, 0, false, true, 3, 1, {-0.05, 0, 0.15, 0.3}, {-0.05, 0, 0.55, 0.3}},
      {"from a layout away from the origin", {1, 2, 1.1, 2.5}, 1, 0, false, false, 1, 2, {1, 2, 1.2, 2.3}, {1, 2, 1.2, 2.6}},
      {"1000 pages are laid", {0, 0, 2, 0.002}, 0.01, 0, false, false, 1000, 1, {0, 0, 0.002, 0.003}, {0, 0, 2, 0.003}},
      {"a rest of just 0.001 takes no page: 0.005 on steps of 0.002", {0, 0, 0.005, 0.003}, 0.01, 0, false, false, 2, 1,
       {0, 0, 0.002, 0.003}, {0, 0, 0.004, 0.003}},
  };
  for (const Case& test : cases) {
    const auto grid = Grid(test.layout, test.scale, test.overlap, test.single, test.centred);
    TRectEntity* pages = grid->Pages();
    ASSERT_EQ(std::tuple(grid->Columns, grid->Rows, pages->GetCount()),
              std::tuple(test.columns, test.rows, test.columns * test.rows))
        << test.name;
    EXPECT_EQ(Text(*static_cast<TRectEntity*>(pages->GetElement(0))), Text(test.first)) << test.name;
    EXPECT_EQ(Text(*grid), Text(test.all)) << test.name;
    EXPECT_EQ(Text(*pages), Text(test.all)) << test.name;
    EXPECT_EQ(grid->Scale(), test.scale > 0 ? test.scale : 1) << test.name;
  }
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(PrintPagesTest, EachPageIsAWhiteSheetFramedInBlackLaidRowByRowUpward) {
  const auto grid = Grid({0, 0, 0.3, 0.5}, 1, 0, false, false);
  std::string order;
  for (TElement* element : grid->Pages()->Children()) {
    auto* page = DynamicCast<TDrawRectangle>(element);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(std::tuple(page->PenColor, page->PenStyle, page->BrushStyle, page->BrushColor),
              std::tuple(0, psSolid, bsSolid, 0xFFFFFF));
    order += "(" + std::to_string(std::lround(page->GetMinX() * 10)) + "," + std::to_string(std::lround(page->GetMinY() * 10)) + ")";
  }
  EXPECT_EQ(order, "(0,0)(2,0)(0,3)(2,3)");
}

// A setting changed on a laid grid lays it again at once.
TEST_F(PrintPagesTest, ASettingChangedOnALaidGridLaysItAgain) {
  const struct {
    const char* name;
    std::function<void(TPrintPages&)> change;
    int pages;  // four before
  } rows[] = {{"an overlap of 0.1 m", [](TPrintPages& grid) { grid.SetOverlap(0.1); }, 9},
              {"a scale of 2", [](TPrintPages& grid) { grid.SetScale(2); }, 1}};
  for (const auto& row : rows) {
    const auto grid = Grid({0, 0, 0.3, 0.5}, 1, 0, false, false);
    row.change(*grid);
    EXPECT_EQ(grid->Pages()->GetCount(), row.pages) << row.name;
  }
}

TEST_F(PrintPagesTest, AGridThatCannotBeLaidStaysEmpty) {
  struct Case {
    const char* name;
    Rect layout;
    double scale, overlap;
    const char* message;
  };
  const Case cases[] = {
      {"an overlap of the whole paper would stand still", {0, 0, 0.2, 0.2}, 1, 0.2, nullptr},
      {"a small scale makes thousands of pages", {0, 0, 0.2, 0.2}, 0.01, 0, "Příliš mnoho stránek: 6700"},
      {"1001 pages are too many", {0, 0, 2.0015, 0.002}, 0.01, 0, "Příliš mnoho stránek: 1001"},
      {"a step next to nothing counts pages past any number", {0, 0, 0.2, 0.2}, 1e-320, 0,
       "Příliš mnoho stránek: více než 1000"},
  };
  for (const Case& test : cases) {
    dialogs.Messages.clear();
    const auto grid = Grid(test.layout, test.scale, test.overlap, false, false);
    EXPECT_EQ(grid->Pages()->GetCount(), 0) << test.name;
    EXPECT_FALSE(grid->IsValid()) << test.name;
    ASSERT_EQ(dialogs.Messages.size(), test.message ? 1u : 0u) << test.name;
    if (test.message) {
      EXPECT_EQ(dialogs.Messages[0].Text, test.message) << test.name;
    }
  }
}

}  // namespace
