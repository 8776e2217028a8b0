#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "render/interprets/selection_interprets.h"
#include "render/interprets/sheet_interprets.h"
#include "spatial/sheets/map_sheets.h"
#include "spatial/sheets/zm_sheets.h"
#include "spatial/topology/topology_nodes.h"
#include "tests/render/drawing_fixture.h"

namespace {

class SmallInterpretTest : public RenderTest {
 protected:
  // Draws the element with the interpret on the device, which stays the test's.
  static void Run(TInterpret& interpret, TElement& element, TDevice& device) {
    interpret.AttachDevice(&device);
    interpret.SetInput(&element);
    interpret.DoIt();
    interpret.DetachDevice();
  }
};

bool InSquare(int x, int y, int left, int top, int size) {
  return x >= left && x < left + size && y >= top && y < top + size;
}

// The colour the handles of a selection (20, 20, 81, 81) give a pixel at one
// unit a pixel on 100 x 100: corners at pixels 20 and 81 across, 19 and 80
// down; the middles half the width or height, rounded towards zero, on.
platform::ColorValue HandlePixel(int x, int y) {
  const int across[] = {20, 50, 81}, down[] = {19, 49, 80};
  platform::ColorValue expected = 0xFFFFFF;
  for (int hx : across)
    for (int hy : down)
      if (!(hx == 50 && hy == 49) && InSquare(x, y, hx - 5, hy - 5, 10))
        expected = InSquare(x, y, hx - 4, hy - 4, 8) ? 0 : 0x808080;
  return expected;
}

TEST_F(SmallInterpretTest, ASelectionHasEightHandlesOfTenPixelsFramedGreyFilledBlack) {
  struct Case {
    const char* name;
    bool clipped;
  };
  // The page clip (30, 30, 70, 70) keeps columns and rows 30 to 69.
  for (const Case& test : {Case{"whole page", false}, Case{"clipped", true}}) {
    auto device = MakeBitmapDevice(100, 100);
    device->Page()->ClipRect = {30, 30, 70, 70};
    device->Page()->ClipActive = test.clipped;
    TSelectedElement selection;
    selection.SetBounds({20, 20, 81, 81});
    TSelectedElementInterpret interpret;
    Run(interpret, selection, *device);
    std::string wrong;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) {
        const bool kept = !test.clipped || InSquare(x, y, 30, 30, 40);
        if (device->Canvas()->Pixel(x, y) != (kept ? HandlePixel(x, y) : 0xFFFFFF))
          wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    EXPECT_EQ(wrong.substr(0, 300), "") << test.name;
  }
}

TEST_F(SmallInterpretTest, ASelectedObjectIsHighlightedInXorAndDrawingItTwiceTakesTheHighlightAway) {
  struct Case {
    const char* name;
    std::function<TElement*()> make;
    // The box the highlight must fill out: left, top, right, bottom.
    platform::PixelRect box;
    // Pixels on the left and bottom sides of square markers, which nothing
    // else of the highlight crosses.
    std::vector<std::pair<int, int>> squareSides;
    // The brush the highlight leaves on the device: solid white for points
    // and lines, the hatched silver of the area's fill.
    platform::CanvasBrush brush;
  };
  std::vector<std::unique_ptr<TElement>> keep;
  const Case cases[] = {
      {"a point: a cross of 2 x (4 + 2) pixels each way and its two squares",
       [&] {
         auto* point = new TPointElement;
         point->SetBounds({50, 50, 50, 50});
         keep.emplace_back(point);
         return point;
       },
       {37, 37, 64, 64},
       // Squares of 6 and 12 pixels about pixel (50, 50); the cross inks rows and columns 49 to 51.
       {{44, 47}, {47, 56}, {38, 45}, {45, 62}},
       {0xFFFFFF, platform::BrushStyle::Solid}},
      {"a line: its vertices marked by squares of 4 + 2 pixels",
       [&] {
         keep.emplace_back(WithVertices(new TPolyLineElement, {{20, 80}, {80, 80}, {80, 30}}));
         return keep.back().get();
       },
       // Vertices at pixels (20, 20), (80, 20), (80, 70); squares 6 pixels each way.
       {20 - 6, 20 - 6, 80 + 6 + 1, 70 + 6 + 1},
       // The first vertex's square; the line leaves it to the right along rows 19 to 21.
       {{14, 17}, {17, 26}},
       {0xFFFFFF, platform::BrushStyle::Solid}},
      {"an area: hatched inside a three-pixel outline",
       [&] {
         keep.emplace_back(WithVertices(new TAreaElement, {{20, 20}, {60, 20}, {60, 60}, {20, 60}}));
         return keep.back().get();
       },
       {19, 39, 62, 82},
       {},
       {0xC0C0C0, platform::BrushStyle::FDiagonal}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    auto device = MakeBitmapDevice(100, 100);
    TSelectedSpaceElementInterpret interpret;
    TElement* element = test.make();
    device->SetBrush({0x123456, platform::BrushStyle::Clear});
    Run(interpret, *element, *device);
    EXPECT_EQ(interpret.Color, 0xC0C0C0u) << "silver when none was given";
    EXPECT_EQ(std::pair(device->GetBrush()->Color, device->GetBrush()->Style), std::pair(test.brush.Color, test.brush.Style));
    platform::PixelRect ink{100, 100, -1, -1};
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x)
        if (device->Canvas()->Pixel(x, y) != 0xFFFFFF)
          ink = {std::min(ink.Left, x), std::min(ink.Top, y), std::max(ink.Right, x + 1), std::max(ink.Bottom, y + 1)};
    EXPECT_EQ(ink, test.box);
    for (const auto& [x, y] : test.squareSides)
      EXPECT_NE(device->Canvas()->Pixel(x, y), 0xFFFFFFu) << "a square's side at " << x << "," << y;
    Run(interpret, *element, *device);
    EXPECT_EQ(PixelsBreaking(*device->Canvas(), [](int, int) { return false; }), "");
  }
}

// Between the vertex markers a selected line runs with a pen three pixels
// wide (dotted, which a pen wider than a pixel draws solid): the segment from
// pixel (20, 20) to (80, 20) inks rows 19 to 21 between the markers (columns
// 27 to 73), and no further row.
TEST_F(SmallInterpretTest, ASelectedLineRunsThreePixelsWideBetweenItsMarkers) {
  auto device = MakeBitmapDevice(100, 100);
  std::unique_ptr<TPolyLineElement> line(WithVertices(new TPolyLineElement, {{20, 80}, {80, 80}}));
  TSelectedSpaceElementInterpret interpret;
  Run(interpret, *line, *device);
  std::vector<int> rows;
  for (int y = 10; y <= 30; ++y) {
    int inked = 0;
    for (int x = 27; x <= 73; ++x) inked += device->Canvas()->Pixel(x, y) != 0xFFFFFF;
    if (inked) rows.push_back(y);
  }
  EXPECT_EQ(rows, (std::vector<int>{19, 20, 21}));
}

// An interpret given no device draws nothing and the walk ends quietly.
TEST_F(SmallInterpretTest, WithoutADeviceNothingIsDrawn) {
  TSMO_5 sheet;
  sheet.SetBounds({0, 0, 10, 10});
  TNode node;
  TSelectedElement selection;
  TPointElement point;
  TSMO_Interpret sheets;
  TNodeInterpret nodes;
  TSelectedElementInterpret selections;
  TSelectedSpaceElementInterpret selected;
  const std::pair<TInterpret*, TElement*> rows[] = {
      {&sheets, &sheet}, {&nodes, &node}, {&selections, &selection}, {&selected, &point}};
  for (const auto& [interpret, element] : rows) {
    interpret->SetInput(element);
    interpret->DoIt();
    EXPECT_EQ(std::pair(interpret->Busy(), interpret->Device()), std::pair(false, static_cast<TDevice*>(nullptr)))
        << interpret->ClassName();
  }
}

TEST_F(SmallInterpretTest, ANodeIsASixPixelRedSquareWithItsBranchCountAtTheUpperRightCorner) {
  auto device = MakeBitmapDevice(100, 100);
  TNode node;
  for (const auto& [x, y] : {std::pair(80.0, 40.0), std::pair(20.0, 40.0), std::pair(40.0, 90.0)})
    node.AddLine(WithVertices(new TPolyLineElement, {{40, 40}, {x, y}}), true);
  ASSERT_EQ(node.GetBranchCount(), 3);
  TNodeInterpret interpret;
  Run(interpret, node, *device);
  platform::Canvas& canvas = *device->Canvas();
  const int textWidth = canvas.TextWidth("3"), textHeight = canvas.TextHeight("3");
  std::string wrong;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      const platform::ColorValue pixel = canvas.Pixel(x, y);
      const bool frame = InSquare(x, y, 37, 57, 6) && !InSquare(x, y, 38, 58, 4);
      const bool text = x >= 43 && x < 43 + textWidth && y >= 57 && y < 57 + textHeight;
      if (frame ? pixel != 0x0000FF : (pixel != 0xFFFFFF && !(text && pixel == 0)))
        wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    }
  EXPECT_EQ(wrong.substr(0, 300), "");
  int textPixels = 0;
  for (int y = 57; y < 57 + textHeight; ++y)
    for (int x = 43; x < 43 + textWidth; ++x) textPixels += canvas.Pixel(x, y) == 0;
  EXPECT_GT(textPixels, 5) << "the 3 is written";
}

TEST_F(SmallInterpretTest, ASheetIsFramedInItsSeriesColourAndNamedBelowItsScale) {
  struct Case {
    const char* name;
    double scale;
    bool named;
  };
  const Case cases[] = {{"at 500,000", 500000, false}, {"at 499,999", 499999, true}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    auto device = MakeBitmapDevice(300, 300);
    device->Projection()->SetCenter({0, 0});
    device->Projection()->SetScale(test.scale);
    TSMO_5 sheet;
    sheet.SetName("M-33-5");
    const double side = device->Projection()->DeviceToWorldLength(210);
    sheet.SetBounds({-side / 2, -side / 2, side / 2, side / 2});
    TSMO_Interpret interpret;
    Run(interpret, sheet, *device);
    int green = 0, black = 0;
    platform::PixelRect frame{300, 300, -1, -1};
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 300; ++x) {
        const bool isGreen = device->Canvas()->Pixel(x, y) == 0x008000;
        green += isGreen;
        black += device->Canvas()->Pixel(x, y) == 0;
        if (isGreen)
          frame = {std::min(frame.Left, x), std::min(frame.Top, y), std::max(frame.Right, x), std::max(frame.Bottom, y)};
      }
    EXPECT_GE(green, 4 * 200) << "the frame";
    // A pen of one pixel: every green pixel on the outermost ring of the frame.
    const int ring = 2 * (frame.Right - frame.Left + 1) + 2 * (frame.Bottom - frame.Top + 1) - 4;
    EXPECT_EQ(green, ring) << "a frame one pixel wide";
    EXPECT_EQ(black > 20, test.named) << "the name";
  }
}

TEST_F(SmallInterpretTest, ZMSheetsAreOutlinedAndTheLocatorKeepsItsSheet) {
  struct Case {
    const char* name;
    int locatorScale, map100, map50;
    // The sheet outlined on a page fitted round it, its level and the
    // largest projection scale at which the level below it is drawn.
    int sheetScale;
    double below;
  };
  // Sheet 12 of 1:200 000 with the 1:100 000 level asked for, and the first
  // 1:50 000 sheet of its first quarter with the 1:25 000 level asked for:
  // each is divided into quarters by the lines through its middle.
  const Case cases[] = {{"1:100 000 quarters of sheet 12", 100000, 3, 0, 200000, 4000000},
                        {"1:25 000 quarters of sheet 12-1-1", 25000, 1, 1, 50000, 1000000}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    TMapsZM locator;
    locator.SetScale(test.locatorScale);
    locator.SetMap200(12);
    locator.SetMap100(test.map100);
    if (test.map50) locator.SetMap50(test.map50);
    locator.Color = 0x0000FF;
    locator.PenWidth = 0;
    TMapsZM sheet;
    sheet.SetMap200(12);
    if (test.map50) {
      sheet.SetMap100(1);
      sheet.SetMap50(1);
    }
    sheet.SetScale(test.sheetScale);
    TZMCorners corners;
    for (int k = 1; k <= 4; ++k) corners[static_cast<std::size_t>(k - 1)] = {sheet.CornerX(k), sheet.CornerY(k)};
    const std::unique_ptr<TRectangle> bounds(TMapsZM::QuadBounds(corners));
    const double margin = (bounds->MaxX() - bounds->MinX()) / 10;
    auto device = MakeBitmapDevice(200, 200);
    device->Projection()->FitRect({bounds->MinX() - margin, bounds->MinY() - margin, bounds->MaxX() + margin,
                                   bounds->MaxY() + margin});
    ASSERT_LT(device->Projection()->Scale(), test.below);
    TInterpretZM interpret;
    Run(interpret, locator, *device);
    const auto pixelAt = [&](const TRealPoint& a, const TRealPoint& b, double t) {
      const TDevicePoint p = device->ToDevice(a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y));
      int red = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) red += device->Canvas()->Pixel(p.X + dx, p.Y + dy) == 0x0000FF;
      return red > 0;
    };
    // The sheet's own edges 1-2, 2-4, 4-3, 3-1 and the quarter lines through
    // its middle.
    const std::pair<int, int> edges[] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}};
    for (const auto& [from, to] : edges)
      EXPECT_TRUE(pixelAt(corners[static_cast<std::size_t>(from)], corners[static_cast<std::size_t>(to)], 0.3))
          << from << "-" << to;
    const TRealPoint mid12{(corners[0].X + corners[1].X) / 2, (corners[0].Y + corners[1].Y) / 2};
    const TRealPoint mid34{(corners[2].X + corners[3].X) / 2, (corners[2].Y + corners[3].Y) / 2};
    EXPECT_TRUE(pixelAt(mid12, mid34, 0.3)) << "the quarters' dividing line";
    EXPECT_EQ(std::tuple(locator.GetMap200(), locator.GetMap100(), locator.GetMap50(), locator.GetScale()),
              std::tuple(12, test.map100, test.map50, test.locatorScale))
        << "the locator keeps its sheet";
  }
  TInterpretZM interpret;
  EXPECT_TRUE(interpret.AcceptsClass(TMapsZM::StaticClass()));
  EXPECT_FALSE(interpret.AcceptsClass(TRectEntity::StaticClass()));
}

// Nothing of the sheet series is drawn when the map's scale is above
// 8,000,000: at 8,000,000 the 1:200 000 sheets are outlined, just above it
// the page stays empty.  The page is centred on sheet 12.
TEST_F(SmallInterpretTest, ZMSheetsAreDrawnUpToAScaleOf8000000) {
  struct Row {
    const char* name;
    double scale;
    bool drawn;
  };
  const Row rows[] = {{"at 8,000,000", 8000000, true}, {"above 8,000,000", 8000000.5, false}};
  TMapsZM sheet;
  sheet.SetMap200(12);
  for (const Row& row : rows) {
    TMapsZM locator;
    locator.SetScale(200000);
    locator.Color = 0x0000FF;
    locator.PenWidth = 0;
    auto device = MakeBitmapDevice(200, 200);
    device->Projection()->Calculate({sheet.GetZMCenterX(), sheet.GetZMCenterY()}, device->Page(), row.scale);
    TInterpretZM interpret;
    Run(interpret, locator, *device);
    int red = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 200; ++x) red += device->Canvas()->Pixel(x, y) == 0x0000FF;
    EXPECT_EQ(red > 0, row.drawn) << row.name << ": " << red;
  }
}

// At 1 : 10 000 and 300 dots an inch a pixel is 10 000 * 0.0254 / 300 m and
// 32,000 pixels are 27 km; edge 1-2 of sheet 1 is 94 km long, so both its
// ends lie beyond that with the page's centre on the edge's middle.  The
// edge must cross the whole page through the centre, as it really runs.
TEST_F(SmallInterpretTest, AZMSheetEdgeWhoseEndsLieFarOffThePageCrossesItWhereItRuns) {
  TMapsZM locator;
  locator.Color = 0x0000FF;
  locator.PenWidth = 0;
  TZMCorners corners;
  TMapsZM sheet;
  sheet.SetMap200(1);
  for (int k = 1; k <= 4; ++k) corners[static_cast<std::size_t>(k - 1)] = {sheet.CornerX(k), sheet.CornerY(k)};
  const TRealPoint centre{(corners[0].X + corners[1].X) / 2, (corners[0].Y + corners[1].Y) / 2};
  auto device = MakeBitmapDevice(400, 400);
  const double dotsPerMetre = 300 / 0.0254;
  device->Page()->SetResolution(dotsPerMetre, dotsPerMetre);
  device->Projection()->Calculate(centre, device->Page(), 10000);
  TInterpretZM interpret;
  Run(interpret, locator, *device);
  // Pixel (200, 200) shows the centre; Y runs down.
  const auto rowAt = [&](double column) {
    return 200 - (column - 200) * (corners[1].Y - corners[0].Y) / (corners[1].X - corners[0].X);
  };
  std::string wrong;
  for (int x = 0; x < 400; ++x) {
    int inColumn = 0;
    for (int y = 0; y < 400; ++y) {
      if (device->Canvas()->Pixel(x, y) == 0xFFFFFF) continue;
      ++inColumn;
      if (std::abs(y - rowAt(x)) > 1) wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    }
    if (inColumn != 1) wrong += " column " + std::to_string(x) + ": " + std::to_string(inColumn);
  }
  EXPECT_EQ(wrong.substr(0, 300), "");
}

}  // namespace
