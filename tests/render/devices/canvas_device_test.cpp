#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>

#include "render/devices/border_buffer.h"
#include "platform/streams.h"
#include "render/devices/print_device.h"
#include "tests/render/drawing_fixture.h"

namespace {

using CanvasDeviceTest = RenderTest;
constexpr platform::ColorValue kRed = 0x0000FF;

TEST_F(CanvasDeviceTest, DrawsElementsProjectedTurnedAndClippedAsTheRulesSay) {
  struct Case {
    const char* name;
    std::function<void(TBitmapDevice&)> draw;
    std::function<bool(int, int)> covered;
  };
  const Case cases[] = {
      {"a segment wholly beyond the clip moves the pen and a crossing one is cut",
       [](TBitmapDevice& d) {
         d.Page()->ClipRect = {20, 20, 80, 80};
         d.Page()->ClipActive = true;
         d.MoveTo(5, 50), d.LineTo(15, 50), d.LineTo(90, 50);
         EXPECT_EQ(d.PenPosition(), (TDevicePoint{90, 50}));
       },
       [](int x, int y) { return y == 50 && x >= 20 && x < 80; }},
      {"without clipping a segment goes to the canvas whole",
       [](TBitmapDevice& d) { d.MoveTo(5, 50), d.LineTo(90, 50); },
       [](int x, int y) { return y == 50 && x >= 5 && x < 90; }},
      {"a polygon turns with the projection",
       [](TBitmapDevice& d) {
         d.Projection()->SetAngle(std::numbers::pi / 2);
         d.Projection()->RotateCenter_X = d.Projection()->RotateCenter_Y = 50;
         d.GetPen()->Style = platform::PenStyle::Clear;
         d.GetBrush()->Color = 0;
         std::unique_ptr<TAreaElement> area(WithVertices(new TAreaElement, {{40, 45}, {60, 45}, {60, 55}, {40, 55}}));
         d.DrawPolygon(area.get());
       },
       [](int x, int y) { return x >= 45 && x < 55 && y >= 40 && y < 60; }},
      {"a polyline turns with the projection as a polygon does",
       [](TBitmapDevice& d) {
         d.Projection()->SetAngle(std::numbers::pi / 2);
         d.Projection()->RotateCenter_X = d.Projection()->RotateCenter_Y = 50;
         std::unique_ptr<TPolyLineElement> line(WithVertices(new TPolyLineElement, {{30, 50}, {70, 50}}));
         d.DrawPolyline(line.get());
       },
       [](int x, int y) { return x == 50 && y >= 30 && y < 70; }},
      {"a segment drawn by moving and drawing the pen turns with the projection",
       [](TBitmapDevice& d) {
         d.Projection()->SetAngle(std::numbers::pi / 2);
         d.Projection()->RotateCenter_X = d.Projection()->RotateCenter_Y = 50;
         d.MoveTo(30, 50), d.LineTo(70, 50);
       },
       [](int x, int y) { return x == 50 && y >= 30 && y < 70; }},
      {"a polyline of one pixel is not drawn",
       [](TBitmapDevice& d) {
         std::unique_ptr<TPolyLineElement> line(WithVertices(new TPolyLineElement, {{50, 50}, {50.2, 50.1}}));
         d.DrawPolyline(line.get());
       },
       [](int, int) { return false; }},
      {"a polygon of two distinct pixels is not drawn",
       [](TBitmapDevice& d) {
         std::unique_ptr<TAreaElement> area(WithVertices(new TAreaElement, {{10, 10}, {10.1, 10}, {60, 60}}));
         d.DrawPolygon(area.get());
       },
       [](int, int) { return false; }},
      {"the holes of an area stay empty",
       [](TBitmapDevice& d) {
         d.GetPen()->Style = platform::PenStyle::Clear;
         d.GetBrush()->Color = 0;
         std::unique_ptr<TAreaElement> area(WithVertices(new TAreaElement, {{20, 20}, {80, 20}, {80, 80}, {20, 80}}));
         area->AddHole(WithVertices(new TAreaElement, {{40, 40}, {60, 40}, {60, 60}, {40, 60}}));
         d.DrawArea(area.get());
       },
       [](int x, int y) { return CentreInside(x, y, 20, 20, 80, 80) && !CentreInside(x, y, 40, 40, 60, 60); }},
      {"an area partly beyond the clip is cut to it",
       [](TBitmapDevice& d) {
         d.Page()->ClipRect = {0, 0, 50, 100};
         d.GetPen()->Style = platform::PenStyle::Clear;
         d.GetBrush()->Color = 0;
         std::unique_ptr<TAreaElement> area(WithVertices(new TAreaElement, {{20, 20}, {80, 20}, {80, 80}, {20, 80}}));
         d.DrawPolygon(area.get());
       },
       [](int x, int y) { return CentreInside(x, y, 20, 20, 50, 80); }},
      {"a rectangle, a filled and a framed world rectangle",
       [](TBitmapDevice& d) {
         d.GetBrush()->Color = 0;
         d.Rectangle(10, 90, 20, 80);
         d.FillRect(30, 80, 40, 90);
         d.FrameRect(50, 80, 60, 90);
       },
       [](int x, int y) {
         return y >= 10 && y < 20 && ((x >= 10 && x < 40 && !(x >= 20 && x < 30)) ||
                                      (x >= 50 && x < 60 && (x == 50 || x == 59 || y == 10 || y == 19)));
       }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    auto device = MakeBitmapDevice(100, 100);
    test.draw(*device);
    EXPECT_EQ(PixelsBreaking(*device->Canvas(), test.covered), "");
  }
}

// Any angle but 0 turns a polygon: a bar 40 by 4 about the rotation centre,
// turned clockwise by one radian, puts its end 15 along the axis at
// (50 + 15 cos 1, 50 - 15 sin 1) = (58.1, 37.4), pixel (58, 62), and leaves
// the unturned end's pixel (65, 50) empty.
TEST_F(CanvasDeviceTest, APolygonTurnsAtAnyAngleButZero) {
  const struct {
    double angle;
    bool turnedEnd, unturnedEnd;
  } rows[] = {{0, false, true}, {1, true, false}};
  for (const auto& row : rows) {
    auto device = MakeBitmapDevice(100, 100);
    device->Projection()->SetAngle(row.angle);
    device->Projection()->RotateCenter_X = device->Projection()->RotateCenter_Y = 50;
    device->GetPen()->Style = platform::PenStyle::Clear;
    device->GetBrush()->Color = 0;
    std::unique_ptr<TAreaElement> bar(WithVertices(new TAreaElement, {{30, 48}, {70, 48}, {70, 52}, {30, 52}}));
    device->DrawPolygon(bar.get());
    const platform::Canvas& canvas = *device->Canvas();
    EXPECT_EQ(std::tuple(canvas.Pixel(50, 50), canvas.Pixel(58, 62) == 0, canvas.Pixel(65, 50) == 0),
              std::tuple(platform::ColorValue{0}, row.turnedEnd, row.unturnedEnd))
        << row.angle;
  }
}

// What is not cut geometrically is limited to the page clip rectangle by the
// canvas: nothing lands outside, something lands inside, and the limit goes
// with the operation.
TEST_F(CanvasDeviceTest, RectanglesTextsPicturesAndPixelsStayInsideThePageClip) {
  auto picture = platform::Bitmap::Create(40, 40);
  picture->GetCanvas().Brush = {kRed, platform::BrushStyle::Solid};
  picture->GetCanvas().FillRect({0, 0, 40, 40});
  struct Row {
    const char* name;
    std::function<void(TBitmapDevice&)> draw;
  } rows[] = {
      {"a rectangle", [](TBitmapDevice& d) { d.Rectangle(5, 95, 40, 60); }},
      {"a filled world rectangle", [](TBitmapDevice& d) { d.FillRect(5, 60, 40, 95); }},
      {"a framed world rectangle", [](TBitmapDevice& d) { d.FrameRect(5, 60, 40, 95); }},
      {"a text at a world point", [](TBitmapDevice& d) { d.TextOutAt("WWWWWW", 5, 88); }},
      {"a text at a pixel", [](TBitmapDevice& d) { d.TextOutPixel(5, 70, "WWWWWW"); }},
      {"a picture", [&](TBitmapDevice& d) { d.Draw(picture.get(), 5, 95); }},
      {"a stretched picture", [&](TBitmapDevice& d) { d.StretchDraw(0, 0, 0, 0, picture.get(), 5, 95, 50, 50); }},
      {"a picture stretched in pixels",
       [&](TBitmapDevice& d) { d.StretchDrawPixel(70, 70, picture.get(), 25, 25, 0, 0, 0, 0); }},
      {"a pixel inside and one outside", [](TBitmapDevice& d) { d.SetPixel(50, 50, 0), d.SetPixel(5, 95, 0); }},
  };
  for (const Row& row : rows) {
    auto device = MakeBitmapDevice(100, 100);
    device->GetBrush()->Color = 0;
    device->GetFont()->Height = -20;
    device->GetFont()->Color = 0;
    device->Page()->ClipRect = {20, 20, 80, 80};
    device->Page()->ClipActive = true;
    row.draw(*device);
    int inside = 0;
    std::string outside;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) {
        if (device->Canvas()->Pixel(x, y) == 0xFFFFFF) continue;
        if (CentreInside(x, y, 20, 20, 80, 80)) ++inside;
        else if (outside.size() < 60) outside += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    EXPECT_EQ(outside, "") << row.name;
    EXPECT_GT(inside, 0) << row.name;
    // Once clipping is off, the same drawing reaches beyond the old clip.
    device->Page()->ClipActive = false;
    device->Canvas()->Brush = {0xFFFFFF, platform::BrushStyle::Solid};
    device->Canvas()->FillRect({0, 0, 100, 100});
    device->GetBrush()->Color = 0;
    row.draw(*device);
    bool beyond = false;
    for (int y = 0; y < 100 && !beyond; ++y)
      for (int x = 0; x < 100 && !beyond; ++x)
        beyond = device->Canvas()->Pixel(x, y) != 0xFFFFFF && !CentreInside(x, y, 20, 20, 80, 80);
    EXPECT_TRUE(beyond) << row.name << ": unclipped";
  }
}

TEST_F(CanvasDeviceTest, APartlyVisibleLineIsCutSegmentBySegmentNeverClosed) {
  auto device = MakeBitmapDevice(100, 100);
  device->Page()->ClipRect = {20, 20, 80, 80};
  // A V from beyond the left side down to (50, 70) and up beyond the right
  // side: cut as a ring, it would gain a chord along the top of the clip.
  std::unique_ptr<TPolyLineElement> line(WithVertices(new TPolyLineElement, {{10, 70}, {50, 30}, {90, 70}}));
  device->DrawPolyline(line.get());
  int drawn = 0;
  std::string off;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      if (device->Canvas()->Pixel(x, y) == 0xFFFFFF) continue;
      ++drawn;
      if (std::abs(y - (70 - std::abs(x - 50))) > 1 || !CentreInside(x, y, 20, 20, 80, 80))
        off += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    }
  EXPECT_EQ(off, "") << "pixels off the two arms";
  EXPECT_GE(drawn, 2 * 29) << "both arms are drawn inside the clip";
}

// Pixels breaking "one pixel in each of the columns first..last, within a
// pixel of the line through a and b (pixel coordinates), and none elsewhere".
std::string OffTheLine(platform::Canvas& canvas, TRealPoint a, TRealPoint b, int first, int last) {
  std::string wrong;
  const platform::PixelRect all = canvas.ClipRect();
  for (int x = 0; x < all.Right; ++x) {
    const double y = a.Y + (x - a.X) * (b.Y - a.Y) / (b.X - a.X);
    int inColumn = 0;
    for (int row = 0; row < all.Bottom; ++row) {
      if (canvas.Pixel(x, row) == 0xFFFFFF) continue;
      ++inColumn;
      if (x < first || x > last || std::abs(row - y) > 1)
        wrong += " (" + std::to_string(x) + "," + std::to_string(row) + ")";
    }
    if (x >= first && x <= last && inColumn != 1)
      wrong += " column " + std::to_string(x) + ": " + std::to_string(inColumn);
  }
  return wrong.substr(0, 300);
}

// On a 400 x 400 page at one unit a pixel, world (200, 200) is pixel (200,
// 200) and (1e6, -9600) pixel (1e6, 10000), 31 pages to the right: the line
// between them crosses column 399 at row 200 + 199 * 9800 / 999800 = 201.95.
TEST_F(CanvasDeviceTest, ALineToAPointFarOffThePageIsCutWhereItReallyRuns) {
  struct Case {
    const char* name;
    std::function<void(TBitmapDevice&)> draw;
    int first;  // the first column drawn (a line leaves out its end pixel)
  };
  const Case cases[] = {
      {"moved to the near end, drawn to the far one", [](TBitmapDevice& d) { d.MoveTo(200, 200), d.LineTo(1e6, -9600); },
       200},
      {"moved to the far end, drawn to the near one", [](TBitmapDevice& d) { d.MoveTo(1e6, -9600), d.LineTo(200, 200); },
       201},
      {"with the page clipped to itself",
       [](TBitmapDevice& d) {
         d.Page()->ClipActive = true;
         d.MoveTo(200, 200), d.LineTo(1e6, -9600);
       },
       200},
      {"a polyline through the far point",
       [](TBitmapDevice& d) {
         std::unique_ptr<TPolyLineElement> line(WithVertices(new TPolyLineElement, {{200, 200}, {1e6, -9600}}));
         d.DrawPolyline(line.get());
       },
       200},
  };
  for (const Case& test : cases) {
    auto device = MakeBitmapDevice(400, 400);
    test.draw(*device);
    EXPECT_EQ(OffTheLine(*device->Canvas(), {200, 200}, {1e6, 10000}, test.first, 399), "") << test.name;
    EXPECT_NE(device->Canvas()->Pixel(399, 202), 0xFFFFFFu) << test.name << ": row 201.95 rounds to 202";
  }
}

// A triangle from pixel (100, 300) and (100, 100) to (1e6 + 100, 200) far to
// the right: its long edges leave the page at rows 299.97 and 100.03, so the
// page shows the pixels of rows 100..299 from column 100 on.
TEST_F(CanvasDeviceTest, AnAreaWithAVertexFarOffThePageIsCutWhereItsEdgesReallyRun) {
  for (const bool clipped : {false, true}) {
    auto device = MakeBitmapDevice(400, 400);
    device->Page()->ClipActive = clipped;
    device->GetPen()->Style = platform::PenStyle::Clear;
    device->GetBrush()->Color = 0;
    std::unique_ptr<TAreaElement> area(WithVertices(new TAreaElement, {{100, 100}, {100, 300}, {1e6 + 100, 200}}));
    device->DrawArea(area.get());
    EXPECT_EQ(PixelsBreaking(*device->Canvas(), [](int x, int y) { return x >= 100 && y >= 100 && y < 300; }), "")
        << (clipped ? "clipped" : "unclipped");
  }
}

TEST_F(CanvasDeviceTest, AnElementOfMoreThan312500PointsIsNotDrawn) {
  const std::pair<int, bool> cases[] = {{312500, true}, {312501, false}};
  for (const auto& [count, drawn] : cases) {
    SCOPED_TRACE(count);
    auto device = MakeBitmapDevice(20, 20);
    std::unique_ptr<TPolyLineElement> line(new TPolyLineElement);
    for (int i = 0; i < count; ++i) line->AddVertex(i % 2 ? 15 : 5, 10);
    line->CalcBounds();
    device->DrawPolyline(line.get());
    EXPECT_EQ(device->Canvas()->Pixel(8, 10) == 0, drawn);
  }
}

TEST_F(CanvasDeviceTest, PenWidthsAndFontAnglesTakeTheirDeviceUnits) {
  const std::tuple<const char*, double, int> widths[] = {
      {"a hair still gives a pixel", 0.0001, 1}, {"three units", 3, 3}, {"a half rounds to even", 2.5, 2}};
  auto device = MakeBitmapDevice(10, 10);
  for (const auto& [name, width, pixels] : widths) {
    device->SetPenWidth(width);
    EXPECT_EQ(device->GetPen()->Width, pixels) << name;
  }
  const std::pair<double, int> angles[] = {{45, 450}, {-30.04, -300}};
  for (const auto& [angle, escapement] : angles) {
    device->SetFontAngle(angle);
    EXPECT_EQ(std::tuple(device->GetFont()->Escapement, device->FontAngle), std::tuple(escapement, angle));
  }
}

TEST_F(CanvasDeviceTest, WithoutACanvasTheDeviceKeepsPageAndProjectionAndDrawsNothing) {
  TCanvasDevice device;
  device.Page()->SetResolution(1000, 1000);
  device.Projection()->Calculate({0, 0}, device.Page(), 1000);
  std::unique_ptr<TPolyLineElement> line(WithVertices(new TPolyLineElement, {{0, 0}, {5, 5}}));
  device.DrawPolyline(line.get());
  device.Clear();
  device.TextOutAt("x", 1, 1);
  EXPECT_EQ(std::tuple(device.GetPen() == nullptr, device.GetBrush() == nullptr, device.GetFont() == nullptr,
                       device.TextWidth("x"), device.Projection()->Scale(), device.Page()->HRes()),
            std::tuple(true, true, true, 0, 1000.0, 1000.0));
}

TEST_F(CanvasDeviceTest, ASetCanvasBringsItsPageSizeAndResolution) {
  auto device = MakeBitmapDevice(30, 20);
  const T_Page& page = *device->Page();
  EXPECT_EQ(std::tuple(page.PageRect.Right, page.PageRect.Bottom, page.ClipRect.Right, page.ClipRect.Bottom),
            std::tuple(30, 20, 30, 20));
  EXPECT_DOUBLE_EQ(page.HRes(), 96 * 1000 / 25.4);
  const std::int64_t live = platform::Bitmap::LiveBytes();
  device->SetBitmap(platform::Bitmap::Create(5, 5).release());
  EXPECT_EQ(platform::Bitmap::LiveBytes() - live, platform::Bitmap::RowBytes(5) * 5 - platform::Bitmap::RowBytes(30) * 20)
      << "the owned bitmap was freed";
  EXPECT_EQ(device->Page()->PageRect.Right, 5);
}

TEST_F(CanvasDeviceTest, ElementPointsAreProjectedClampedAndFreeOfRepeatsWithoutALeastCount) {
  auto device = MakeBitmapDevice(100, 100);
  struct Case {
    const char* name;
    WorldPoints points;
    std::vector<TDevicePoint> expected;
  };
  const Case cases[] = {
      {"repeats dropped", {{10, 10}, {10.2, 10}, {20, 30}}, {{10, 90}, {20, 70}}},
      {"one point is enough", {{1, 99}}, {{1, 1}}},
      {"clamped to 32000", {{1e9, -1e9}}, {{32000, 32000}}},
      {"no vertices: no points and no bytes", {}, {}},
  };
  for (const Case& test : cases) {
    std::unique_ptr<TPolyLineElement> line(WithVertices(new TPolyLineElement, test.points));
    std::unique_ptr<TDevicePoint[]> points;
    std::int32_t count = 0, byteSize = 0;
    ElementToDevicePoints(device.get(), line.get(), points, count, byteSize);
    EXPECT_EQ(std::vector<TDevicePoint>(points.get(), points.get() + count), test.expected) << test.name;
    EXPECT_EQ(byteSize, static_cast<int>(8 * test.points.size())) << test.name;
  }
}

TEST_F(CanvasDeviceTest, APrintedColouredWideLineIsAQuadAndBlackOrWhiteStayPlain) {
  TempFolder folder;
  const int dpi = 50;
  struct Case {
    const char* name;
    platform::ColorValue color;
    int width;
    // The columns the line covers on its rows 100 - h .. 100 + h - 1, h
    // being half the width, at least 1.
    int left, right;
  };
  const Case cases[] = {
      {"red: a quadrilateral three pixels to each side", kRed, 6, 100, 200},
      {"black: the plain wide line with its round ends", 0, 6, 97, 203},
      {"red two pixels wide: a quadrilateral one pixel to each side", kRed, 2, 100, 200},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const std::string pdf =
        folder.File("line" + std::to_string(test.color) + "-" + std::to_string(test.width) + ".pdf");
    platform::SetPrintFileName(pdf);
    platform::SetPrintResolution(dpi);
    {
      TPrintDevice printer;
      EXPECT_EQ(std::tuple(printer.GetName(), printer.Printer().Title()), std::tuple("PRINTER", "KESTU KARTIR"));
      printer.RasterizeLines = true;
      printer.GetPen()->Color = test.color;
      printer.GetPen()->Width = test.width;
      printer.MoveToPixel(100, 100);
      printer.LineToPixel(200, 100);
    }
    const PpmPicture page = RasterisePdf(pdf, dpi, folder.File("page"));
    ASSERT_GT(page.Width, 200);
    std::string wrong;
    for (int y = 90; y < 110; ++y)
      for (int x = 90; x < 210; ++x) {
        const int h = std::max(1, test.width / 2);
        const bool covered = y >= 100 - h && y < 100 + h && x >= test.left && x < test.right;
        const platform::ColorValue pixel = page.At(x, y);
        // Round ends shave their corners; only the quad's columns are exact.
        if (test.color == 0 && (x < 100 || x >= 200)) continue;
        if ((pixel == test.color) != covered || (!covered && pixel != 0xFFFFFF))
          wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    EXPECT_EQ(wrong, "");
    if (test.color == 0) {
      EXPECT_EQ(page.At(98, 100), 0u) << "the black line runs past its ends";
    }
  }
  platform::SetPrintFileName("kestx.pdf");
  platform::SetPrintResolution(300);
}

// Made through its class (as a script or the property sweep makes it) and
// freed with nothing drawn, a print device leaves no print file behind.
// With lines rasterised, a black segment cut by the clip still goes through
// the wide-line routine, which moves to the cut point first: nothing is
// drawn between the pen position and the clip.
TEST_F(CanvasDeviceTest, APrintedBlackSegmentCutByTheClipStartsAtTheClip) {
  TempFolder folder;
  const int dpi = 50;
  const std::string pdf = folder.File("cut.pdf");
  platform::SetPrintFileName(pdf);
  platform::SetPrintResolution(dpi);
  {
    TPrintDevice printer;
    printer.RasterizeLines = true;
    printer.GetPen()->Color = 0;
    printer.Page()->ClipRect = {100, 0, 200, 200};
    printer.Page()->ClipActive = true;
    // One world unit a pixel.
    printer.Projection()->Calculate({0, 0}, printer.Page(), printer.Page()->HRes());
    TRealPoint from, to;
    printer.Projection()->DeviceToWorld(50, 100, from);
    printer.Projection()->DeviceToWorld(250, 100, to);
    printer.MoveTo(from.X, from.Y);
    printer.LineTo(to.X, to.Y);
  }
  platform::SetPrintFileName("kestx.pdf");
  platform::SetPrintResolution(300);
  const PpmPicture page = RasterisePdf(pdf, dpi, folder.File("page"));
  ASSERT_GT(page.Width, 250);
  int before = 0, inside = 0;
  for (int y = 95; y <= 105; ++y)
    for (int x = 40; x < 210; ++x)
      if (page.At(x, y) != 0xFFFFFF) ++(x < 100 ? before : inside);
  EXPECT_EQ(before, 0) << "left of the clip";
  EXPECT_GE(inside, 95) << "along the clip's width";
}

TEST_F(CanvasDeviceTest, APrintDeviceMadeAndFreedWithNothingDrawnWritesNoFile) {
  TempFolder folder;
  const std::string pdf = folder.File("nothing.pdf");
  platform::SetPrintFileName(pdf);
  delete CreateElement<TPrintDevice>();
  platform::SetPrintFileName("kestx.pdf");
  EXPECT_FALSE(platform::FileExists(pdf));
}

TEST_F(CanvasDeviceTest, ThePrinterHonoursTheSourceRectangleOfAStretchedPictureAndTheCanvasDrawsItWhole) {
  TempFolder folder;
  auto picture = platform::Bitmap::Create(20, 10);
  picture->GetCanvas().Brush = {kRed, platform::BrushStyle::Solid};
  picture->GetCanvas().FillRect({0, 0, 10, 10});
  picture->GetCanvas().Brush = {0xFF0000, platform::BrushStyle::Solid};
  picture->GetCanvas().FillRect({10, 0, 20, 10});
  const auto count = [](const auto& colourAt) {
    std::map<platform::ColorValue, int> colours;
    for (int y = 10; y < 50; ++y)
      for (int x = 10; x < 50; ++x) ++colours[colourAt(x, y)];
    return colours;
  };
  // Stretched to 40 x 40 at (10, 10): the right half only, or with a source of all zeros the whole picture.
  const struct {
    const char* name;
    std::int32_t sourceX, sourceWidth, sourceHeight;
    int red, blue;
  } rows[] = {{"the right half", 10, 10, 10, 0, 40 * 40}, {"all zeros", 0, 0, 0, 20 * 40, 20 * 40}};
  for (const auto& row : rows) {
    const auto draw = [&](TDevice& device) {
      device.StretchDrawPixel(10, 10, picture.get(), 40, 40, row.sourceX, 0, row.sourceWidth, row.sourceHeight);
    };
    const std::string pdf = folder.File("stretched.pdf");
    platform::SetPrintFileName(pdf);
    platform::SetPrintResolution(50);
    {
      TPrintDevice printer;
      draw(printer);
    }
    platform::SetPrintFileName("kestx.pdf");
    platform::SetPrintResolution(300);
    const PpmPicture page = RasterisePdf(pdf, 50, folder.File("page"));
    ASSERT_GT(page.Width, 50) << row.name;
    auto printed = count([&](int x, int y) { return page.At(x, y); });
    EXPECT_EQ(std::tuple(printed[kRed], printed[0xFF0000]), std::tuple(row.red, row.blue)) << "printed: " << row.name;
    auto device = MakeBitmapDevice(60, 60);
    draw(*device);
    const auto drawn = count([&](int x, int y) { return device->Canvas()->Pixel(x, y); });
    EXPECT_EQ(std::tuple(drawn.at(kRed), drawn.at(0xFF0000)), std::tuple(20 * 40, 20 * 40))
        << "on a canvas all of it: " << row.name;
  }
}

}  // namespace
