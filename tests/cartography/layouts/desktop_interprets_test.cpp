#include "cartography/layouts/desktop_interprets.h"

#include <memory>
#include <string>
#include <vector>

#include "cartography/layouts/text_block.h"
#include "framework/values/typed_values.h"
#include "tests/cartography/layouts/layouts_fixture.h"
#include "tests/render/drawing_fixture.h"

namespace {

using DesktopInterpretTest = LayoutTest;

bool OnBorder(int x, int y, int left, int top, int right, int bottom) {
  return x >= left && x < right && y >= top && y < bottom &&
         (x == left || x == right - 1 || y == top || y == bottom - 1);
}

TEST_F(DesktopInterpretTest, ADesktopIsItsFramedSheetAndAFramedRectangleOnItKeepsItsOwnPenAndBrush) {
  auto device = MakeBitmapDevice(100, 100);
  device->Canvas()->FillRect({0, 0, 100, 100});
  TDesktop desktop;
  desktop.SetBounds({0, 0, 100, 100});
  auto* frame = Named<TDrawRectangle>("frame", &desktop);
  frame->SetBounds({20, 20, 60, 50});
  frame->PenColor = 0xFF0000;
  frame->BrushColor = 0x0000FF;
  frame->BrushStyle = bsSolid;
  // Made by its class, as scripts make it: that makes its sub-interprets.
  std::unique_ptr<TDesktopInterpret> interpret(CreateElement<TDesktopInterpret>());
  DrawElement(*interpret, desktop, *device);
  // The frame's pixels: columns 20..59, rows 50..79 (Y up on the sheet).
  std::string wrong;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      platform::ColorValue expected = OnBorder(x, y, 0, 0, 100, 100) ? 0 : 0xFFFFFF;
      if (x >= 20 && x < 60 && y >= 50 && y < 80) expected = OnBorder(x, y, 20, 50, 60, 80) ? 0xFF0000 : 0x0000FF;
      if (device->Canvas()->Pixel(x, y) != expected) wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    }
  EXPECT_EQ(wrong.substr(0, 300), "");
}

// Ink (non-white pixels) as its bounding box in pixels; all zero for none.
platform::PixelRect InkBox(platform::Canvas& canvas) {
  platform::PixelRect box{1 << 30, 1 << 30, -1, -1};
  const platform::PixelRect all = canvas.ClipRect();
  for (int y = 0; y < all.Bottom; ++y)
    for (int x = 0; x < all.Right; ++x)
      if (canvas.Pixel(x, y) != 0xFFFFFF)
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
  return box.Right < 0 ? platform::PixelRect{} : box;
}

TEST_F(DesktopInterpretTest, ATextIsDrawnFromItsUpperLeftCornerUnlessItsHeightComesToUnderTwoPixels) {
  struct Case {
    const char* name;
    double height;
    bool drawn;
  };
  const Case cases[] = {
      {"20 pixels high", 20, true},
      {"height 0: the font's own size", 0, true},
      {"a single pixel high", 1, false},
      {"1.4 pixels round to one", 1.4, false},
  };
  for (const Case& test : cases) {
    auto device = MakeBitmapDevice(200, 100);
    TText text;
    text.Text = "Hlava";
    text.SetBounds({30, 60 - test.height, 150, 60});
    TTextInterpret interpret;
    DrawElement(interpret, text, *device);
    const platform::PixelRect ink = InkBox(*device->Canvas());
    EXPECT_EQ(ink.Right > 0, test.drawn) << test.name;
    if (test.drawn) {
      EXPECT_GE(ink.Left, 30) << test.name << ": right of the corner";
      EXPECT_GE(ink.Top, 40) << test.name << ": below the corner";
    }
  }
}

// A text or a framed rectangle given to its interpret before any device
// draws nothing and the walk ends quietly.
TEST_F(DesktopInterpretTest, WithoutADeviceATextOrAFramedRectangleDrawsNothing) {
  TText text;
  text.Text = "Hlava";
  text.SetBounds({30, 40, 150, 60});
  TDrawRectangle frame;
  frame.SetBounds({20, 20, 60, 50});
  TTextInterpret texts;
  TDrawRectInterpret frames;
  const std::pair<TInterpret*, TElement*> rows[] = {{&texts, &text}, {&frames, &frame}};
  for (const auto& [interpret, element] : rows) {
    interpret->SetInput(element);
    interpret->DoIt();
    EXPECT_EQ(std::pair(interpret->Busy(), interpret->Device()), std::pair(false, static_cast<TDevice*>(nullptr)))
        << interpret->ClassName();
  }
}

// A text placed on a desktop is drawn by the desktop's own interpret, below
// and right of its upper-left corner and within the sheet.
TEST_F(DesktopInterpretTest, ADesktopDrawsTheTextsPlacedOnIt) {
  auto device = MakeBitmapDevice(200, 100);
  TDesktop desktop;
  desktop.SetBounds({0, 0, 200, 100});
  auto* text = Named<TText>("nadpis", &desktop);
  text->Text = "Hlava";
  text->SetBounds({30, 40, 150, 60});
  std::unique_ptr<TDesktopInterpret> interpret(CreateElement<TDesktopInterpret>());
  DrawElement(*interpret, desktop, *device);
  // Ink inside the sheet's frame (its outermost pixels): the corner is at pixel (30, 40).
  int below = 0, elsewhere = 0;
  for (int y = 1; y < 99; ++y)
    for (int x = 1; x < 199; ++x)
      if (device->Canvas()->Pixel(x, y) != 0xFFFFFF) ++(x >= 30 && y >= 40 ? below : elsewhere);
  EXPECT_GT(below, 0);
  EXPECT_EQ(elsewhere, 0);
}

// A bitmap device that also notes every text it is given and where.
class TextNotingDevice : public TBitmapDevice {
 public:
  std::vector<std::string> Texts;
  void TextOutAt(const std::string& text, double X, double Y) override {
    Texts.push_back(text + "@" + FloatToText(X) + "," + FloatToText(Y));
    TBitmapDevice::TextOutAt(text, X, Y);
  }
};

TEST_F(DesktopInterpretTest, ATextBlockDrawsItsLinesDownFromTheTopWhileTheyStartInsideIt) {
  struct Case {
    const char* name;
    double height;
    std::vector<std::string> lines;
    const char* drawn;
  };
  const Case cases[] = {
      {"0.05 high: four of six",
       0.05,
       {"A", "B", "C", "D", "E", "F"},
       "A@0.01,0.07 B@0.01,0.055 C@0.01,0.04 D@0.01,0.025"},
      {"0.01 high: the first", 0.01, {"A", "B"}, "A@0.01,0.07"},
      {"no lines", 0.05, {}, ""},
  };
  for (const Case& test : cases) {
    TextNotingDevice device;
    device.SetOwnsBitmap(true);
    device.SetBitmap(platform::Bitmap::Create(200, 100).release());
    // A thousand pixels a sheet unit.
    device.Projection()->Calculate({0.1, 0.05}, device.Page(), device.Page()->HRes() / 1000);
    TTextBlock block;
    block.SetBounds({0.01, 0.07 - test.height, 0.1, 0.07});
    for (const std::string& line : test.lines) block.Lines()->NextValue(line);
    TTextBlockInterpret interpret;
    DrawElement(interpret, block, device);
    EXPECT_EQ(Join(device.Texts), test.drawn) << test.name;
  }
}

}  // namespace
