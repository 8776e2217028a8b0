#include "cartography/layouts/view_interpret.h"

#include <limits>
#include <memory>
#include <string>

#include "cartography/layouts/text_block.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/universal_interpret.h"
#include "tests/cartography/layouts/layouts_fixture.h"
#include "tests/render/drawing_fixture.h"

namespace {

using ViewInterpretTest = LayoutTest;

// Everything drawing a view may change on the device, as text.
std::string DeviceState(TDevice& device) {
  const T_Page& page = *device.Page();
  const TPageProjection& q = *device.Projection();
  return FloatToText(q.Center_X()) + " " + FloatToText(q.Center_Y()) + " " + FloatToText(q.Scale()) + " " +
         FloatToText(q.PixelSizeX()) + " " + FloatToText(q.OriginX()) + " " + FloatToText(q.OriginY()) + " " +
         FloatToText(q.VirtualScale()) + " " + FloatToText(q.Angle()) + " " + FloatToText(q.RotateCenter_X) + " " +
         FloatToText(q.RotateCenter_Y) + " clip " + std::to_string(page.ClipRect.Left) + " " +
         std::to_string(page.ClipRect.Top) + " " + std::to_string(page.ClipRect.Right) + " " +
         std::to_string(page.ClipRect.Bottom) + " " + std::to_string(page.ClipActive) + " " +
         std::to_string(page.CentreOnClip);
}

TEST_F(ViewInterpretTest, AViewDrawsItsModelOnlyInsideItsVisiblePartAndLeavesTheDeviceAsItWas) {
  struct Case {
    const char* name;
    TRealRect sheet;
    bool withModel;
    bool meetsPage;
    double deviceAngle;
    // The visible part of the view in pixels: left, top, right, bottom
    // (all 0 when nothing may be drawn).
    platform::PixelRect visible;
    double scale = 1;
  };
  const Case cases[] = {
      {"half outside the page to the right", {150, 20, 250, 80}, true, true, 0, {150, 20, 200, 80}},
      {"wholly on the page", {20, 20, 120, 80}, true, true, 0, {20, 20, 120, 80}},
      {"wholly off the page", {300, 20, 400, 80}, true, false, 0, {0, 0, 0, 0}},
      {"without a model", {20, 20, 120, 80}, false, true, 0, {0, 0, 0, 0}},
      {"on a device turned by 0.3 radians", {150, 20, 250, 80}, true, true, 0.3, {150, 20, 200, 80}},
      {"of scale 0", {20, 20, 120, 80}, true, true, 0, {0, 0, 0, 0}, 0},
      {"of a scale without a number",
       {20, 20, 120, 80},
       true,
       true,
       0,
       {0, 0, 0, 0},
       std::numeric_limits<double>::quiet_NaN()},
  };
  for (const Case& test : cases) {
    auto device = MakeBitmapDevice(200, 100);
    device->Projection()->SetAngle(test.deviceAngle);
    device->Projection()->SetVirtualScale(1234);
    // One world unit a sheet unit: the grid's pixels are the world's less (800, -2050).
    std::unique_ptr<TView> view(MakeView("V", test.sheet, test.scale, {1000, 2000}));
    view->SetAngle(0);
    if (test.withModel) {
      auto* grid = new TLines;
      grid->Width = grid->Height = 10;
      grid->Color = 0x0000FF;
      TElement* model = view->CreateModel();
      static_cast<TEntity*>(model)->AddElement(grid);
    }
    const std::string before = DeviceState(*device);
    TViewInterpret interpret;
    interpret.Printing = true;
    DrawElement(interpret, *view, *device);
    EXPECT_EQ(DeviceState(*device), before) << test.name;
    EXPECT_EQ(interpret.Interpret()->Printing, test.meetsPage) << test.name << ": the printing flag goes inside";

    platform::Canvas& canvas = *device->Canvas();
    const platform::PixelRect& v = test.visible;
    std::string wrong;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 200; ++x) {
        const bool red = canvas.Pixel(x, y) == 0x0000FF;
        const bool inside = x >= v.Left && x <= v.Right && y >= v.Top && y <= v.Bottom;
        // Every grid line strictly inside the visible part shows there.
        const bool onGrid = (x % 10 == 0 && x > v.Left && x < v.Right && y > v.Top && y < v.Bottom) ||
                            (y % 10 == 0 && y > v.Top && y < v.Bottom && x > v.Left && x < v.Right);
        if ((red && !inside) || (onGrid && !red) || (!red && canvas.Pixel(x, y) != 0xFFFFFF))
          wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    EXPECT_EQ(wrong.substr(0, 300), "") << test.name;
  }
}

TEST_F(ViewInterpretTest, ViewsInsideTheModelsOfViewsAreDrawnOnlyToALimitedDepth) {
  struct Case {
    const char* name;
    int views;
    bool drawn;
  };
  const Case cases[] = {
      {"three views deep", 3, true},
      {"as deep as allowed", TViewInterpret::MostNestedViews, true},
      {"one deeper", TViewInterpret::MostNestedViews + 1, false},
      {"two hundred deep", 200, false},
  };
  for (const Case& test : cases) {
    auto device = MakeBitmapDevice(100, 100);
    // Each view shows a desktop with the next view, one to one; the last shows a grid.
    std::unique_ptr<TView> outer(MakeView("V0", {10, 10, 90, 90}, 1, {50, 50}));
    TView* view = outer.get();
    for (int i = 1; i < test.views; ++i) {
      auto* desktop = new TDesktop;
      desktop->SetBounds({0, 0, 100, 100});
      static_cast<TEntity*>(view->CreateModel())->AddElement(desktop);
      view = MakeView("V" + std::to_string(i), {10, 10, 90, 90}, 1, {50, 50});
      desktop->AddElement(view);
    }
    auto* grid = new TLines;
    grid->Width = grid->Height = 10;
    static_cast<TEntity*>(view->CreateModel())->AddElement(grid);
    TViewInterpret interpret;
    DrawElement(interpret, *outer, *device);
    EXPECT_EQ(device->Canvas()->Pixel(50, 45) == 0, test.drawn) << test.name;
  }
}

// A view interpret that notes each walk its inner interpret reports ended
// (code 3, posted to the inner interpret's owner).
class TWalkNotingViewInterpret : public TViewInterpret {
 public:
  int walks = 0;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (message && message->Message == msgFinished && message->Sender() == Interpret()) ++walks;
    TViewInterpret::ReceiveMessage(message, handled);
  }
};

// A view of no scale, or of one without a number, would put all its model
// on one point: its model is not walked at all.
TEST_F(ViewInterpretTest, OnlyAViewOfAScaleAboveZeroWalksItsModel) {
  struct Case {
    const char* name;
    double scale;
    int walks;
  };
  const Case cases[] = {{"scale 1", 1, 1},
                        {"scale 0", 0, 0},
                        {"a scale without a number", std::numeric_limits<double>::quiet_NaN(), 0}};
  for (const Case& test : cases) {
    auto device = MakeBitmapDevice(200, 100);
    std::unique_ptr<TView> view(MakeView("V", {20, 20, 120, 80}, test.scale, {1000, 2000}));
    view->SetAngle(0);
    view->CreateModel();
    TWalkNotingViewInterpret interpret;
    DrawElement(interpret, *view, *device);
    RunMessages();
    EXPECT_EQ(interpret.walks, test.walks) << test.name;
  }
}

TEST_F(ViewInterpretTest, TheInnerInterpretGetsTheDefaultScriptOnce) {
  TViewInterpret interpret;
  TInterpretScript* script = interpret.InterpretScript();
  ASSERT_TRUE(script);
  EXPECT_EQ(interpret.InterpretScript(), script) << "made once";
  EXPECT_TRUE(script->FindInterpret(std::make_unique<TLines>().get())) << "the default script draws grid lines";
  EXPECT_EQ(GetObjectPropByName(interpret, "Interpret"), interpret.Interpret());
}

}  // namespace
