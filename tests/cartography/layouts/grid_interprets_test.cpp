#include "cartography/layouts/grid_interprets.h"

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cartography/layouts/text_block.h"
#include "tests/cartography/layouts/layouts_fixture.h"
#include "tests/render/drawing_fixture.h"

namespace {

using GridInterpretTest = LayoutTest;

// A page of the size in pixels, one world unit a pixel, showing the world
// from (left, bottom).
std::unique_ptr<TBitmapDevice> PageFrom(double left, double bottom, int width, int height) {
  auto device = MakeBitmapDevice(width, height);
  device->Projection()->Calculate({left + width / 2.0, bottom + height / 2.0}, device->Page(), device->Page()->HRes());
  return device;
}

TEST_F(GridInterpretTest, CrossesStandAtEveryMultipleOfTheStepFromTheTruncatedStartEvenBelowThePage) {
  // The page from (-1050, 20) to (-850, 260): crosses at x = -1000 and -900
  // (the start is trunc(-10.5) x 100) and y = 0, 100, 200; the row at 0
  // shows only the top of its vertical arms.
  auto device = PageFrom(-1050, 20, 200, 240);
  TCross cross;
  SetPropertyTextByName(cross, "Step", "100");
  cross.Size = 50;
  cross.Color = 0x00FF00;
  TInterpretKrizku interpret;
  DrawElement(interpret, cross, *device);
  const auto covered = [](int x, int y) {
    for (double X : {-1000.0, -900.0})
      for (double Y : {0.0, 100.0, 200.0}) {
        const int px = static_cast<int>(X + 1050), py = static_cast<int>(260 - Y);
        // Each arm from one end up to, not including, the other.
        if (y == py && x >= px - 25 && x < px + 25) return true;
        if (x == px && y <= py + 25 && y > py - 25) return true;
      }
    return false;
  };
  EXPECT_EQ(PixelsBreaking(*device->Canvas(), covered), "");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(GridInterpretTest, GridLinesCrossTheWholePageAtEveryMultipleOfTheirSpacing) {
  auto device = PageFrom(-15, 5, 60, 40);
  TLines lines;
  lines.Width = 20;
  lines.Height = 10;
  lines.Color = 0xFF0000;
  TLinesInterpret interpret;
  DrawElement(interpret, lines, *device);
  // The page shows X from -15 to 45 and Y from 5 to 45.  Vertical lines at
  // X = 0, 20, 40 (trunc(-0.75) is 0), from the bottom edge up to, not
  // including, the top; horizontal ones at Y = 0 (below the page), 10, 20,
  // 30, 40 across the whole width.
  const auto covered = [](int x, int y) {
    const bool vertical = (x == 15 || x == 35 || x == 55) && y >= 1;
    const bool horizontal = y == 35 || y == 25 || y == 15 || y == 5;
    return vertical || horizontal;
  };
  EXPECT_EQ(PixelsBreaking(*device->Canvas(), covered), "");
}

TEST_F(GridInterpretTest, ASpacingThatIsNoPositiveNumberOrGivesOverAThousandMarksIsToldAndNothingIsDrawn) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    bool crosses;
    double width, height;
    int pageWidth;
    double pageScale;
  };
  const Case cases[] = {
      {"lines every 100 over 200,000 units", false, 100, 100, 200, 1000},
      {"crosses every 100 over 200,000 units", true, 100, 100, 200, 1000},
      {"a width of 0", true, 0, 10, 200, 1},
      {"a negative height", false, 10, -10, 200, 1},
      {"no number", true, nan, 10, 200, 1},
      {"an endless width", false, std::numeric_limits<double>::infinity(), 10, 200, 1},
  };
  for (const Case& test : cases) {
    dialogs.Messages.clear();
    auto device = MakeBitmapDevice(test.pageWidth, 50);
    device->Projection()->Calculate({0, 0}, device->Page(), device->Page()->HRes() * test.pageScale);
    std::unique_ptr<TElement> marks;
    std::unique_ptr<TInterpret> interpret;
    if (test.crosses) {
      auto* cross = new TCross;
      cross->Width = test.width;
      cross->Height = test.height;
      cross->Size = 5;
      marks.reset(cross);
      interpret = std::make_unique<TInterpretKrizku>();
    } else {
      auto* lines = new TLines;
      lines->Width = test.width;
      lines->Height = test.height;
      marks.reset(lines);
      interpret = std::make_unique<TLinesInterpret>();
    }
    DrawElement(*interpret, *marks, *device);
    EXPECT_EQ(Join(Boxes()), "Objekt " + marks->ClassName() + ":" + marks->GetName() +
                                 " má vzhledem k zobrazované ploše nevhodně nastavenou šířku či výšku")
        << test.name;
    EXPECT_EQ(PixelsBreaking(*device->Canvas(), [](int, int) { return false; }), "") << test.name;
  }
}

// Without a device there is no page to lay marks over: the run passes over
// the marks, with nothing told.
TEST_F(GridInterpretTest, WithoutADeviceTheRunPassesOverTheMarksAndNothingIsTold) {
  struct Case {
    const char* name;
    std::unique_ptr<TElement> marks;
    std::unique_ptr<TInterpret> interpret;
  };
  auto cross = std::make_unique<TCross>();
  cross->Width = cross->Height = 10;
  auto lines = std::make_unique<TLines>();
  lines->Width = lines->Height = 10;
  Case cases[] = {{"crosses", std::move(cross), std::make_unique<TInterpretKrizku>()},
                  {"lines", std::move(lines), std::make_unique<TLinesInterpret>()}};
  for (Case& test : cases) {
    dialogs.Messages.clear();
    test.interpret->SetInput(test.marks.get());
    test.interpret->DoIt();
    EXPECT_EQ(Boxes(), std::vector<std::string>{}) << test.name;
  }
}

}  // namespace
