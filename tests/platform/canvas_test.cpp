#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "tests/platform/temp_folder.h"

namespace {

using platform::Bitmap;
using platform::BrushStyle;
using platform::Canvas;
using platform::PenMode;
using platform::PenStyle;
using platform::PixelPoint;

constexpr platform::ColorValue kWhite = 0xFFFFFF;
constexpr platform::ColorValue kRed = 0x0000FF;

// Distance from the point to the segment.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// Even-odd inside test of a pixel centre against axis-parallel squares.
bool CentreInSquare(int x, int y, int l, int t, int r, int b) {
  return x + 0.5 > l && x + 0.5 < r && y + 0.5 > t && y + 0.5 < b;
}

TEST(CanvasTest, DrawsExactlyThePixelsItsRulesName) {
  struct Case {
    const char* name;
    std::function<void(Canvas&)> draw;
    std::function<bool(int, int)> covered;
  };
  const Case cases[] = {
      {"a line leaves out its end pixel",
       [](Canvas& c) { c.MoveTo(2, 3), c.LineTo(7, 3); },
       [](int x, int y) { return y == 3 && x >= 2 && x < 7; }},
      {"a diagonal line steps one pixel a row",
       [](Canvas& c) { c.MoveTo(1, 1), c.LineTo(5, 5); },
       [](int x, int y) { return x == y && x >= 1 && x < 5; }},
      {"a steep line steps one pixel a row",
       [](Canvas& c) { c.MoveTo(4, 9), c.LineTo(7, 2); },
       [](int x, int y) { return y > 2 && y <= 9 && x == 4 + std::lround((9 - y) * 3 / 7.0); }},
      {"a rectangle covers L..R-1 and T..B-1",
       [](Canvas& c) { c.Brush.Color = 0, c.Rectangle(2, 3, 6, 8); },
       [](int x, int y) { return x >= 2 && x < 6 && y >= 3 && y < 8; }},
      {"a hollow rectangle is its frame inside",
       [](Canvas& c) { c.Brush.Style = BrushStyle::Clear, c.Rectangle(6, 2, 2, 7); },
       [](int x, int y) { return x >= 2 && x < 6 && y >= 2 && y < 7 && (x == 2 || x == 5 || y == 2 || y == 6); }},
      {"a hole of a poly-polygon stays empty",
       [](Canvas& c) {
         const PixelPoint points[] = {{2, 2}, {14, 2}, {14, 14}, {2, 14}, {6, 6}, {10, 6}, {10, 10}, {6, 10}};
         const std::int32_t counts[] = {4, 4};
         c.Pen.Style = PenStyle::Clear, c.Brush.Color = 0;
         EXPECT_TRUE(c.PolyPolygon(points, counts));
       },
       [](int x, int y) { return CentreInSquare(x, y, 2, 2, 14, 14) && !CentreInSquare(x, y, 6, 6, 10, 10); }},
      {"a triangle fills the pixels whose centres lie inside",
       [](Canvas& c) {
         const PixelPoint points[] = {{0, 0}, {16, 0}, {0, 16}};
         c.Pen.Style = PenStyle::Clear, c.Brush.Color = 0;
         c.Polygon(points);
       },
       [](int x, int y) { return x + 0.5 + y + 0.5 < 16; }},
      {"a wide pen is solid whatever its style",
       [](Canvas& c) { c.Pen.Width = 3, c.Pen.Style = PenStyle::Dot, c.MoveTo(5, 10), c.LineTo(15, 10); },
       [](int x, int y) { return SegmentDistance(x + 0.5, y + 0.5, 5.5, 10.5, 15.5, 10.5) <= 1.5; }},
      {"an even-width pen is centred between pixels",
       [](Canvas& c) { c.Pen.Width = 4, c.MoveTo(3, 3), c.LineTo(12, 14); },
       [](int x, int y) { return SegmentDistance(x + 0.5, y + 0.5, 3, 3, 12, 14) <= 2; }},
      {"a dotted one-pixel pen draws three on, three off",
       [](Canvas& c) { c.Pen.Style = PenStyle::Dot, c.MoveTo(0, 4), c.LineTo(14, 4); },
       [](int x, int y) { return y == 4 && x < 14 && x % 6 < 3; }},
      {"a clear pen draws nothing",
       [](Canvas& c) { c.Pen.Style = PenStyle::Clear, c.MoveTo(0, 4), c.LineTo(14, 4); },
       [](int, int) { return false; }},
      {"a forward-diagonal brush hatches every eighth diagonal",
       [](Canvas& c) { c.Brush.Style = BrushStyle::FDiagonal, c.Brush.Color = 0, c.Pen.Style = PenStyle::Clear,
                       c.Rectangle(0, 0, 16, 16); },
       [](int x, int y) { return x < 16 && y < 16 && (x - y) % 8 == 0; }},
      {"a back-diagonal brush hatches every eighth diagonal the other way",
       [](Canvas& c) { c.Brush.Style = BrushStyle::BDiagonal, c.Brush.Color = 0, c.Pen.Style = PenStyle::Clear,
                       c.Rectangle(0, 0, 16, 16); },
       [](int x, int y) { return x < 16 && y < 16 && (x + y) % 8 == 0; }},
      // The picture's pixel (0, 0) lies 3 rows above the canvas: the hatch
      // of the forward brush runs through (x, y) where x - (y + 3) is a
      // multiple of 8.
      {"a brush origin above the canvas carries the hatching on from there",
       [](Canvas& c) { c.SetBrushOrigin({0, -3}), c.Brush.Style = BrushStyle::FDiagonal, c.Brush.Color = 0,
                       c.Pen.Style = PenStyle::Clear, c.Rectangle(0, 0, 16, 16); },
       [](int x, int y) { return x < 16 && y < 16 && (x - y + 13) % 8 == 0; }},
      {"a brush origin moves the back hatching with it",
       [](Canvas& c) { c.SetBrushOrigin({5, 2}), c.Brush.Style = BrushStyle::BDiagonal, c.Brush.Color = 0,
                       c.Pen.Style = PenStyle::Clear, c.Rectangle(0, 0, 16, 16); },
       [](int x, int y) { return x < 16 && y < 16 && (x - 5 + y - 2 + 8) % 8 == 0; }},
      {"rings that do not match their counts are refused",
       [](Canvas& c) {
         const PixelPoint points[] = {{2, 2}, {14, 2}, {14, 14}, {2, 14}};
         const std::int32_t tooMany[] = {3, 3}, tooFew[] = {4, 1};
         c.Brush.Color = 0;
         EXPECT_FALSE(c.PolyPolygon(points, tooMany));
         EXPECT_FALSE(c.PolyPolygon(points, tooFew));
       },
       [](int, int) { return false; }},
      {"a frame uses the brush colour and ignores the pen",
       [](Canvas& c) { c.Brush.Color = 0, c.Pen.Style = PenStyle::Clear, c.FrameRect({1, 1, 4, 4}); },
       [](int x, int y) { return x >= 1 && x < 4 && y >= 1 && y < 4 && !(x == 2 && y == 2); }},
      {"a frame gives the pen and brush back as they were",
       [](Canvas& c) {
         c.Brush.Color = 0, c.Pen.Style = PenStyle::Clear, c.FrameRect({1, 1, 4, 4});
         c.MoveTo(0, 16), c.LineTo(14, 16);
         c.Rectangle(6, 6, 12, 12);
       },
       [](int x, int y) {
         return (x >= 1 && x < 4 && y >= 1 && y < 4 && !(x == 2 && y == 2)) || CentreInSquare(x, y, 6, 6, 12, 12);
       }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    auto bitmap = Bitmap::Create(20, 20);
    ASSERT_TRUE(bitmap);
    test.draw(bitmap->GetCanvas());
    std::string wrong;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x)
        if ((bitmap->GetCanvas().Pixel(x, y) != kWhite) != test.covered(x, y))
          wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    EXPECT_EQ(wrong, "");
  }
}

TEST(CanvasTest, XorModeFlipsColoursAndDrawingTwiceRestoresThem) {
  auto bitmap = Bitmap::Create(10, 10);
  Canvas& canvas = bitmap->GetCanvas();
  canvas.SetPixel(3, 3, kRed);
  canvas.Pen = {0x00FFFF, 1, PenStyle::Solid, PenMode::Xor};
  canvas.MoveTo(0, 3);
  canvas.LineTo(8, 3);
  EXPECT_EQ(canvas.Pixel(3, 3), kRed ^ 0x00FFFFu);
  EXPECT_EQ(canvas.Pixel(0, 3), kWhite ^ 0x00FFFFu);
  canvas.MoveTo(0, 3);
  canvas.LineTo(8, 3);
  EXPECT_EQ(std::tuple(canvas.Pixel(3, 3), canvas.Pixel(0, 3)), std::tuple(kRed, kWhite));
}

// The box of the black pixels; empty (Right < Left) when none.
platform::PixelRect InkBox(Canvas& canvas) {
  platform::PixelRect box{1 << 20, 1 << 20, -1, -1};
  const platform::PixelRect all = canvas.ClipRect();
  for (int y = 0; y < all.Bottom; ++y)
    for (int x = 0; x < all.Right; ++x)
      if (canvas.Pixel(x, y) == 0)
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
  return box;
}

TEST(CanvasTest, TextIsTransparentAnchoredTopLeftAndTurnedByItsEscapement) {
  struct Case {
    const char* name;
    int escapement;
    // Where the text must lie, from its width w and height h at (40, 60).
    std::function<platform::PixelRect(int w, int h)> area;
  };
  const Case cases[] = {
      {"unturned", 0, [](int w, int h) { return platform::PixelRect{40, 60, 40 + w, 60 + h}; }},
      {"a quarter turn runs upwards", 900, [](int w, int h) { return platform::PixelRect{40, 60 - w, 40 + h, 60}; }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    auto bitmap = Bitmap::Create(120, 120);
    Canvas& canvas = bitmap->GetCanvas();
    canvas.SetPixel(41, 61, kRed);
    canvas.Font.Height = -14;
    canvas.Font.Escapement = test.escapement;
    canvas.Font.Color = 0;
    canvas.TextOut(40, 60, "MMM");
    const platform::PixelRect ink = InkBox(canvas);
    const platform::PixelRect area = test.area(canvas.TextWidth("MMM"), canvas.TextHeight("MMM"));
    EXPECT_TRUE(ink.Right > ink.Left && ink.Left >= area.Left && ink.Top >= area.Top && ink.Right <= area.Right &&
                ink.Bottom <= area.Bottom)
        << ink.Left << "," << ink.Top << "-" << ink.Right << "," << ink.Bottom;
    EXPECT_EQ(canvas.Pixel(41, 61), kRed) << "the background shows through";
  }
}

TEST(CanvasTest, ANegativeFontHeightIsTheCharacterHeightAPositiveOneTheCell) {
  auto bitmap = Bitmap::Create(4, 4);
  Canvas& canvas = bitmap->GetCanvas();
  canvas.Font.Height = 30;
  const int cell = canvas.TextHeight("A");
  canvas.Font.Height = -30;
  EXPECT_LE(std::abs(cell - 30), 1);
  EXPECT_GT(canvas.TextHeight("A"), 30);
}

TEST(CanvasTest, BitmapsCountTheirBytesAndFailOnRequest) {
  const std::int64_t before = Bitmap::LiveBytes();
  Bitmap::FailNextCreations(2);
  EXPECT_FALSE(Bitmap::Create(10, 10));
  EXPECT_FALSE(Bitmap::Create(10, 10));
  {
    auto bitmap = Bitmap::Create(10, 7);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(Bitmap::LiveBytes() - before, Bitmap::RowBytes(10) * 7);
    ASSERT_TRUE(bitmap->SetHeight(3));
    EXPECT_EQ(std::tuple(bitmap->Height(), Bitmap::LiveBytes() - before), std::tuple(3, Bitmap::RowBytes(10) * 3));
  }
  EXPECT_EQ(Bitmap::LiveBytes(), before);
  EXPECT_EQ(Bitmap::RowBytes(10), 32) << "rows are whole 32-bit words";
}

TEST(CanvasTest, ThePrinterCanvasReadsNoPixels) {
  const TempFolder folder;
  platform::Printer printer(folder.File("tisk.pdf"), 30);
  Canvas& canvas = printer.GetCanvas();
  canvas.SetPixel(1, 1, kRed);
  EXPECT_TRUE(canvas.IsPrinter());
  EXPECT_EQ(canvas.Pixel(1, 1), 0u);
  EXPECT_EQ(canvas.ClipRect().Right, static_cast<int>(std::lround(210 / 25.4 * 30)));
}

TEST(ClockTest, TestsReplaceTheClocks) {
  platform::SetTickSource([] { return std::uint64_t{1} << 40; });
  platform::SetTimeOfDaySource([] { return 0.25; });
  EXPECT_EQ(std::tuple(platform::TickCount(), platform::TimeOfDay()), std::tuple(std::uint64_t{1} << 40, 0.25));
  platform::SetTickSource(nullptr);
  platform::SetTimeOfDaySource(nullptr);
  EXPECT_LT(platform::TickCount(), std::uint64_t{1} << 40);
}

TEST(ClockTest, TheSystemTickCountAdvancesInMilliseconds) {
  const std::uint64_t before = platform::TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::uint64_t elapsed = platform::TickCount() - before;
  EXPECT_GE(elapsed, 30u);
  EXPECT_LT(elapsed, 30'000u) << "a count of finer units than milliseconds";
}

// The local date and time of day are the system's, as its date command
// tells them: days since 30 December 1899 (1 January 1970 is day 25569) and
// the fraction of the day, within two seconds of the command's reading.
TEST(ClockTest, TheSystemsLocalDateAndTimeAreTheDateCommands) {
  const double now = platform::Now(), timeOfDay = platform::TimeOfDay();
  std::unique_ptr<FILE, int (*)(FILE*)> date(popen("date '+%s %z'", "r"), pclose);
  ASSERT_TRUE(date);
  long long epoch = 0;
  char zone[8] = {};
  ASSERT_EQ(std::fscanf(date.get(), "%lld %7s", &epoch, zone), 2);
  const int offset = (zone[0] == '-' ? -1 : 1) * (std::stoi(std::string(zone + 1, 2)) * 3600 + std::stoi(zone + 3) * 60);
  const double localSeconds = static_cast<double>(epoch + offset);
  const double secondsOfDay = std::fmod(localSeconds, 86400);
  // Seconds between two times of day, the shorter way round midnight.
  const auto apart = [](double a, double b) { return std::abs(std::remainder(a - b, 86400.0)); };
  EXPECT_LT(apart(timeOfDay * 86400, secondsOfDay), 2) << timeOfDay * 86400 << " against " << secondsOfDay;
  EXPECT_LT(std::abs(now - (25569 + localSeconds / 86400)) * 86400, 2) << std::fixed << now;
}

}  // namespace
