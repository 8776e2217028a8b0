#include "cartography/symbology/plain_drawing.h"

#include <functional>
#include <numbers>

#include "tests/render/drawing_fixture.h"

namespace {

using PlainDrawingTest = RenderTest;

// A cross reaches 2 pixels each way from the pixel (x, y) its point is drawn
// at; a line leaves out its end pixel.
bool OnCross(int x, int y, int cx, int cy) {
  return (y == cy && x >= cx - 2 && x < cx + 2) || (x == cx && y >= cy - 2 && y < cy + 2);
}

// On 100 x 100 pixels at one unit a pixel, world (X, Y) is pixel (X, 100 - Y).
TEST_F(PlainDrawingTest, APointsCrossStandsWhereThePictureShowsThePointAndKeepsToThePageClip) {
  struct Case {
    const char* name;
    double X, Y;
    std::function<void(TDevice&)> prepare;
    std::function<bool(int, int)> covered;
  };
  const Case cases[] = {
      // Turned a right angle about (50, 50), (50, 70) shows at (70, 50),
      // where a line through it is drawn too.
      {"turned a right angle", 50, 70,
       [](TDevice& d) {
         d.Projection()->SetAngle(std::numbers::pi / 2);
         d.Projection()->RotateCenter_X = d.Projection()->RotateCenter_Y = 50;
       },
       [](int x, int y) { return OnCross(x, y, 70, 50); }},
      // The cross of (80, 50) reaches columns 78 to 81: the clip (20, 20,
      // 80, 80) keeps columns 20 to 79, as it does for a rectangle.
      {"beside the clip's right edge", 80, 50,
       [](TDevice& d) {
         d.Page()->ClipRect = {20, 20, 80, 80};
         d.Page()->ClipActive = true;
       },
       [](int x, int y) { return x < 80 && OnCross(x, y, 80, 50); }},
  };
  for (const Case& test : cases) {
    auto device = MakeBitmapDevice(100, 100);
    test.prepare(*device);
    TPointElement point;
    point.SetBounds({test.X, test.Y, test.X, test.Y});
    DrawPointCross(*device, point);
    EXPECT_EQ(PixelsBreaking(*device->Canvas(), test.covered), "") << test.name;
  }
}

}  // namespace
