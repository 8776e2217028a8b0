#include "cartography/layouts/tile_template.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cartography/models/layer_scripts.h"
#include "framework/core/messages.h"
#include "tests/cartography/layouts/layouts_fixture.h"

namespace {

using TileTemplateTest = LayoutTest;

// A desktop with one view of the size, at 1000, about (5000, 8000).
std::unique_ptr<TDesktop> DesktopWithView(double width, double height) {
  auto desktop = std::make_unique<TDesktop>();
  desktop->SetBounds({0, 0, 1, 1});
  TView* view = MakeView("Pohled", {0.1, 0.1, 0.1 + width, 0.1 + height}, 1000, {5000, 8000});
  view->CreateModel();
  desktop->AddElement(view);
  return desktop;
}

std::string ViewsOf(TDesktop& desktop) {
  std::vector<std::string> views;
  for (TElement* child : desktop.Children())
    if (auto* view = DynamicCast<TView>(child))
      views.push_back(view->GetName() + " " +
                      RectText({view->GetMinX(), view->GetMinY(), view->GetMaxX(), view->GetMaxY()}) + " shows " +
                      RectText(view->ModelRect()));
  return Join(views, "; ");
}

TEST_F(TileTemplateTest, AViewIsCutIntoWholeTilesLaidInAGridWithGapsAndAMargin) {
  auto desktop = DesktopWithView(0.25, 0.1);
  TElementLink first(desktop->FindElementByName("Pohled"));
  TElement* model = static_cast<TView*>(first.Get())->Model();
  TTileTemplate tiles;
  tiles.TileX = tiles.TileY = 0.1;
  tiles.dX = tiles.dy = 0.01;
  tiles.Margin = 0.02;
  tiles.Frame = true;
  tiles.FrameColor = 0xFF;
  tiles.SetInput(desktop.get());
  tiles.DoIt();
  EXPECT_EQ(tiles.Output(), desktop.get());
  EXPECT_TRUE(first.IsDangling()) << "the first view is freed";
  EXPECT_NEAR(desktop->GetWidth(), 0.36, 1e-12);
  EXPECT_NEAR(desktop->GetHeight(), 0.14, 1e-12);
  // The view grew to 0.3 x 0.1 about (5000, 8000): it showed 4850 to 5150 by 7950 to 8050.
  EXPECT_EQ(ViewsOf(*desktop),
            "V-0-0 (0.02, 0.02)-(0.12, 0.12) shows (4850, 7950)-(4950, 8050); "
            "V-1-0 (0.13, 0.02)-(0.23, 0.12) shows (4950, 7950)-(5050, 8050); "
            "V-2-0 (0.24, 0.02)-(0.34, 0.12) shows (5050, 7950)-(5150, 8050)");
  for (TElement* child : desktop->Children()) {
    auto* view = DynamicCast<TView>(child);
    EXPECT_EQ(std::tuple(view->Model(), view->PenStyle, view->PenColor), std::tuple(model, psSolid, TColor{0xFF}))
        << view->GetName();
  }
}

// Three columns and two rows: a view 0.25 x 0.15 grows to 0.3 x 0.2, which
// at 1000 about (5000, 8000) shows 4850 to 5150 by 7900 to 8100; the tiles
// go column by column, row j at Y 0.02 + 0.11 j showing 100 units higher
// than row j - 1.
TEST_F(TileTemplateTest, TilesOfSeveralRowsLieRowAboveRowShowingTheMapRowAboveRow) {
  auto desktop = DesktopWithView(0.25, 0.15);
  TTileTemplate tiles;
  tiles.TileX = tiles.TileY = 0.1;
  tiles.dX = tiles.dy = 0.01;
  tiles.Margin = 0.02;
  tiles.SetInput(desktop.get());
  tiles.DoIt();
  EXPECT_NEAR(desktop->GetWidth(), 0.36, 1e-12);
  EXPECT_NEAR(desktop->GetHeight(), 0.2 + 0.01 + 0.04, 1e-12);
  EXPECT_EQ(ViewsOf(*desktop),
            "V-0-0 (0.02, 0.02)-(0.12, 0.12) shows (4850, 7900)-(4950, 8000); "
            "V-0-1 (0.02, 0.13)-(0.12, 0.23) shows (4850, 8000)-(4950, 8100); "
            "V-1-0 (0.13, 0.02)-(0.23, 0.12) shows (4950, 7900)-(5050, 8000); "
            "V-1-1 (0.13, 0.13)-(0.23, 0.23) shows (4950, 8000)-(5050, 8100); "
            "V-2-0 (0.24, 0.02)-(0.34, 0.12) shows (5050, 7900)-(5150, 8000); "
            "V-2-1 (0.24, 0.13)-(0.34, 0.23) shows (5050, 8000)-(5150, 8100)");
}

TEST_F(TileTemplateTest, AReferenceSpaceTakesTheWorldTheGrownViewShowsAndNothingIsTiled) {
  auto desktop = DesktopWithView(0.25, 0.1);
  auto* view = static_cast<TView*>(desktop->FindElementByName("Pohled"));
  // The view's model script goes before the model is read: the model the
  // view had stays, and no model is built from the script.
  view->ModelScript();
  const TElementLink model(view->Model());
  TRectEntity space;
  TTileTemplate tiles;
  tiles.TileX = tiles.TileY = 0.1;
  tiles.SetReferSpace(&space);
  tiles.SetInput(desktop.get());
  tiles.DoIt();
  EXPECT_EQ(RectText({space.GetMinX(), space.GetMinY(), space.GetMaxX(), space.GetMaxY()}),
            "(4850, 7950)-(5150, 8050)");
  EXPECT_EQ(ViewsOf(*desktop), "Pohled (0.1, 0.1)-(0.4, 0.2) shows (4850, 7950)-(5150, 8050)");
  EXPECT_EQ(std::pair(view->Model(), view->FindElementByClass(TModelScript::StaticClass())),
            std::pair(model.Get(), static_cast<TElement*>(nullptr)));
}

TEST_F(TileTemplateTest, WhatCannotBeTiledIsLeftAsItWasWithALineForTheMessageWindow) {
  struct Case {
    const char* name;
    bool withView;
    double tileX, tileY;
    bool logged;
  };
  const Case cases[] = {
      {"a desktop without a view", false, 0.1, 0.1, false},
      {"a tile of no width", true, 0, 0.1, true},
      {"a tile of negative height", true, 0.1, -0.1, true},
      {"over a thousand tiles a side", true, 0.0001, 0.1, true},
  };
  for (const Case& test : cases) {
    auto desktop = test.withView ? DesktopWithView(0.25, 0.1) : std::make_unique<TDesktop>();
    const std::string before = ViewsOf(*desktop);
    TRecorder mainTool;
    MainTool = &mainTool;
    TTileTemplate tiles;
    tiles.TileX = test.tileX;
    tiles.TileY = test.tileY;
    tiles.SetInput(desktop.get());
    tiles.DoIt();
    RunMessages();
    MainTool = nullptr;
    EXPECT_EQ(tiles.Output(), desktop.get()) << test.name;
    EXPECT_EQ(ViewsOf(*desktop), before) << test.name;
    int lines = 0;
    for (const auto& message : mainTool.Messages) lines += message.Code == msgLogText;
    EXPECT_EQ(lines, test.logged ? 1 : 0) << test.name;
  }
}

}  // namespace
