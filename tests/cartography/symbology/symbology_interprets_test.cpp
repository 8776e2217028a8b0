// The symbology interprets drawing points, lines and areas of a block on a
// 254-dpi map at 1 : 1000 (ten pixels a metre, world (0, 0) at the bottom
// left), with and without the symbol library, and under layer overrides.
#include "cartography/symbology/symbology_interprets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "block/props/bgi_elements.h"
#include "block/props/lumar_props.h"
#include "cartography/symbols/stroke_font.h"
#include "platform/canvas.h"
#include "platform/code_page.h"
#include "render/interprets/interpret_layers.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/script_creator.h"
#include "render/interprets/universal_interpret.h"
#include "render/palette/palette.h"
#include "tests/cartography/symbology/block_objects.h"
#include "tests/cartography/symbols/symbol_fixture.h"

namespace {

constexpr int kSize = 200;  // pixels: 20 metres each way

int beeps = 0;
void CountBeep() { ++beeps; }

// What was drawn: the box of the non-white pixels and their count.
struct Drawn {
  int Count = 0;
  int Left = kSize, Top = kSize, Right = -1, Bottom = -1;
};

Drawn DrawnPixels(TDevice& device) {
  platform::Canvas& canvas = *device.GetHandle();
  Drawn drawn;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (canvas.Pixel(x, y) != 0xFFFFFF) {
        ++drawn.Count;
        drawn.Left = std::min(drawn.Left, x);
        drawn.Right = std::max(drawn.Right, x);
        drawn.Top = std::min(drawn.Top, y);
        drawn.Bottom = std::max(drawn.Bottom, y);
      }
  return drawn;
}

// The layer properties a string takes as unpublished names.
struct Layer {
  bool UseSymbol = false;
  int Symbol = 0;
  bool UseColor = false;
  int Color = 0;
};

template <class S>
S* MakeLayer(const Layer& layer) {
  auto* string = new S;
  if (layer.UseSymbol) {
    string->SetPropertyText("USESYMBOL", "True");
    string->SetPropertyText("SYMBOL", std::to_string(layer.Symbol));
  }
  if (layer.UseColor) {
    string->SetPropertyText("USECOLOR", "True");
    string->SetPropertyText("COLOR", std::to_string(layer.Color));
  }
  return string;
}

class SymbologyTest : public SymbolTest {
 protected:
  void SetUp() override {
    SymbolTest::SetUp();
    beeps = 0;
    platform::SetBeepHook(CountBeep);
  }
  void TearDown() override {
    platform::SetBeepHook(nullptr);
    SymbolTest::TearDown();
  }
  // Draws the element (a layer, or an object walked after its layer) with a
  // fresh interpret of the class on a fresh map.
  template <class I>
  std::unique_ptr<TRecordingDevice> Draw(bool library, std::initializer_list<TElement*> inputs) {
    if (!library) SetSymbolLibraryDirectory(folder.File(""));
    auto device = MakeMapDevice(kSize, kSize);
    I interpret;
    interpret.AttachDevice(device.get());
    for (TElement* input : inputs) {
      interpret.SetInput(input);
      interpret.DoIt();
    }
    interpret.DetachDevice();
    SetSymbolLibraryDirectory(SamplesSymbols());
    return device;
  }
  static platform::ColorValue PixelAt(TDevice& device, int x, int y) { return device.GetHandle()->Pixel(x, y); }
};

TEST_F(SymbologyTest, PointsAreCrossesOrSymbolsInTheirColour) {
  struct Row {
    const char* Name;
    bool Library;
    Layer Over;
    int Znacka;
    bool Cross;  // else a symbol larger than the cross
    platform::ColorValue Colour;
  };
  const Row rows[] = {
      {"symbol from the library", true, {}, 1065, false, ColourOfCode(4)},
      {"no library: cross", false, {}, 1065, true, ColourOfCode(4)},
      {"999 is a cross even with the library", true, {}, 999, true, ColourOfCode(4)},
      {"USECOLOR", false, {false, 0, true, 0x00FF00}, 1065, true, 0x00FF00},
      {"USESYMBOL to a symbol", true, {true, 1065, false, 0}, 10, false, ColourOfCode(4)},
      {"USESYMBOL to a plain code", true, {true, 5, false, 0}, 1065, true, ColourOfCode(4)},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TPointString> layer(MakeLayer<TPointString>(row.Over));
    TPointElement* point = MakePoint(10, 10, 4, row.Znacka);
    layer->AddElement(point);
    auto device = Draw<TInterpretLumBodu>(row.Library, {layer.get()});
    const Drawn drawn = DrawnPixels(*device);
    const int width = drawn.Right - drawn.Left + 1, height = drawn.Bottom - drawn.Top + 1;
    if (row.Cross) {
      EXPECT_TRUE(width <= 5 && height <= 5 && width >= 4 && height >= 4) << row.Name << ": " << width << "x" << height;
      EXPECT_EQ(PixelAt(*device, 100, 100), row.Colour) << row.Name;
      EXPECT_EQ(PixelAt(*device, 101, 101), 0xFFFFFFu) << row.Name << ": a cross, not a square";
    } else {
      EXPECT_TRUE(width > 5 || height > 5) << row.Name << ": " << width << "x" << height;
    }
    EXPECT_EQ(static_cast<TLumarPointProps*>(point->Properties())->Znacka, row.Znacka)
        << row.Name << ": the stored code stays";
  }
}

// Attached to another map where the library folder holds no "Fonty.txt",
// the point interpret has no library: the point is a cross there, and the
// map it was attached to first stays blank.
TEST_F(SymbologyTest, AttachedAgainWithoutALibraryAPointIsACross) {
  std::unique_ptr<TPointString> layer(MakeLayer<TPointString>({}));
  layer->AddElement(MakePoint(10, 10, 4, 1065));
  auto first = MakeMapDevice(kSize, kSize);
  auto second = MakeMapDevice(kSize, kSize);
  TInterpretLumBodu interpret;
  interpret.AttachDevice(first.get());
  SetSymbolLibraryDirectory(folder.File(""));
  interpret.AttachDevice(second.get());
  interpret.SetInput(layer.get());
  interpret.DoIt();
  interpret.DetachDevice();
  SetSymbolLibraryDirectory(SamplesSymbols());
  const Drawn drawn = DrawnPixels(*second);
  // Strokes from 2 pixels before pixel (100, 100) to 2 after, each leaving out its end pixel.
  EXPECT_EQ(std::tuple(drawn.Left, drawn.Top, drawn.Right, drawn.Bottom), std::tuple(98, 98, 101, 101));
  EXPECT_EQ(DrawnPixels(*first).Count, 0);
}

TEST_F(SymbologyTest, PointOutsideTheMapOrWithoutPropertiesIsSkipped) {
  struct Row {
    const char* Name;
    TPointElement* Point;
  };
  auto* bare = new TPointElement;
  bare->SetMinX(5);
  bare->SetMinY(5);
  bare->SetMaxX(5);
  bare->SetMaxY(5);
  const Row rows[] = {{"outside", MakePoint(30, 10, 4, 0)}, {"without properties", bare}};
  for (const Row& row : rows) {
    std::unique_ptr<TPointElement> point(row.Point);
    auto device = Draw<TInterpretLumBodu>(false, {point.get()});
    EXPECT_EQ(DrawnPixels(*device).Count, 0) << row.Name;
  }
}

// A device that cannot draw lines.
class TFailingDevice : public TRecordingDevice {
 public:
  void LineToPixel(std::int32_t, std::int32_t) override { throw std::runtime_error("no lines"); }
};

TEST_F(SymbologyTest, APointThatFailsBeepsAndTheWalkGoesOn) {
  std::unique_ptr<TPointString> layer(MakeLayer<TPointString>({}));
  for (int i = 0; i < 3; ++i) layer->AddElement(MakePoint(5 + i, 5, 4, 0));
  TFailingDevice device;
  device.SetOwnsBitmap(true);
  device.SetBitmap(platform::Bitmap::Create(kSize, kSize).release());
  device.Page()->SetResolution(10000, 10000);
  device.Projection()->Calculate({10, 10}, device.Page(), 1000);
  TInterpretLumBodu interpret;
  interpret.AttachDevice(&device);
  interpret.SetInput(layer.get());
  interpret.DoIt();
  interpret.DetachDevice();
  EXPECT_EQ(beeps, 3);
}

TEST_F(SymbologyTest, LinesArePlainOrSymbolsWithTheirPointSymbol) {
  // The line runs along pixel row 100 from x 20 to 180; the point symbol sits
  // at its middle (100, 100), reaching off the line.
  struct Row {
    const char* Name;
    bool Library;
    Layer Over;
    int Barva, Znacka, Symbol;
    int Rows;     // rows the plain line covers at x = 40; 0 none
    bool Gaps;    // the line is broken along its run (a symbol's dashes)
    bool Marked;  // something drawn well off the line near its middle
  };
  const Row rows[] = {
      {"code 3 thin", false, {}, 4, 3, 0, 1, false, false},
      {"code 4 thick, at most 4 px", false, {}, 4, 4, 0, 4, false, false},
      {"line symbol", true, {}, 4, 1001, 0, 1, true, false},
      {"line symbol without library: thick", false, {}, 4, 1001, 0, 4, false, false},
      {"Barva 0 draws nothing, no point symbol", true, {}, 0, 3, 1065, 0, false, false},
      {"Znacka below 0: only the point symbol", true, {}, 4, -1, 1065, 0, false, true},
      {"point symbol with a plain line", true, {}, 4, 3, 1065, 1, false, true},
      {"USESYMBOL to a line symbol", true, {true, 1001, false, 0}, 4, 3, 0, 1, true, false},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TPolyLineString> layer(MakeLayer<TPolyLineString>(row.Over));
    TPolyLineElement* line = MakeLine(row.Barva, row.Znacka, row.Symbol);
    layer->AddElement(line);
    layer->SetMinX(0);
    layer->SetMinY(0);
    layer->SetMaxX(20);
    layer->SetMaxY(20);
    auto device = Draw<TInterpretLumLinii>(row.Library, {layer.get(), line});
    int covered = 0;
    for (int y = 90; y <= 110; ++y) covered += PixelAt(*device, 40, y) != 0xFFFFFF;
    EXPECT_EQ(covered, row.Rows) << row.Name;
    bool gap = false;
    for (int x = 22; x < 178; ++x) gap = gap || PixelAt(*device, x, 100) == 0xFFFFFF;
    if (row.Rows) {
      EXPECT_EQ(gap, row.Gaps) << row.Name;
    }
    int offLine = 0;
    for (int y = 60; y < 140; ++y)
      for (int x = 60; x < 140; ++x) offLine += std::abs(y - 100) > 2 && PixelAt(*device, x, y) != 0xFFFFFF;
    EXPECT_EQ(offLine > 0, row.Marked) << row.Name;
    EXPECT_EQ(static_cast<TLumarLineProps*>(line->Properties())->Znacka, row.Znacka)
        << row.Name << ": the stored code stays";
  }
}

TEST_F(SymbologyTest, ThickPenFollowsTheVirtualScaleUpToFourPixels) {
  struct Row {
    const char* Name;
    double VirtualScale;
    int Width;
  };
  // 0.0007 of the virtual scale in metres: ten pixels a metre.
  const Row rows[] = {{"1 : 250", 250, 2}, {"1 : 400", 400, 3}, {"1 : 1000", 1000, 4}};
  for (const Row& row : rows) {
    auto device = MakeMapDevice(kSize, kSize);
    device->Projection()->SetVirtualScale(row.VirtualScale);
    TInterpretLumLinii interpret;
    interpret.AttachDevice(device.get());
    EXPECT_EQ(interpret.ThickPenWidth(), row.Width) << row.Name;
    interpret.DetachDevice();
  }
}

// A square from (low, low) to (high, high) bounded by one closed line.
TPolyLineAreaElement* AreaOfLines(double low, double high, int znacka) {
  auto* area = new TPolyLineAreaElement;
  area->AddLine(WithVertices(new TPolyLineElement, {{low, low}, {low, high}, {high, high}, {high, low}, {low, low}}),
                true);
  area->CalcBounds();
  auto* props = new TLumarAreaProps;
  props->Znacka = static_cast<std::int16_t>(znacka);
  area->SetProperties(props);
  return area;
}

TEST_F(SymbologyTest, AreasAreFilledOrHatched) {
  // A square from (4, 4) to (16, 16) m: pixels 40 to 160; with a hole from
  // (8, 8) to (12, 12) m: pixels 80 to 120.
  struct Row {
    const char* Name;
    bool Library;
    Layer Over;
    int Znacka;
    double Side;                  // metres
    int Inside;                   // non-white pixels of the 20 x 20 block at (50, 50)
    platform::ColorValue Colour;  // at (50, 50) when filled
    bool OfLines = false;         // bounded by lines, as a block's areas are
  };
  const Row rows[] = {
      {"colour code fills", true, {}, 4, 12, 400, ColourOfCode(4)},
      {"USECOLOR fills", true, {false, 0, true, 0x0000FF}, 2001, 12, 400, 0x0000FF},
      {"hatching", true, {}, 2001, 12, -1, 0},
      {"hatching without library: nothing", false, {}, 2001, 12, 0, 0},
      {"code 0 nothing", true, {}, 0, 12, 0, 0},
      {"USESYMBOL to a colour", true, {true, 4, false, 0}, 2001, 12, 400, ColourOfCode(4)},
      {"under 3 px skipped", true, {}, 4, 0.25, 0, 0},
      {"bounded by lines: filled", true, {}, 4, 12, 400, ColourOfCode(4), true},
      {"bounded by lines: hatched", true, {}, 2001, 12, -1, 0, true},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TAreaString> layer(MakeLayer<TAreaString>(row.Over));
    TAreaElement* area = row.OfLines ? AreaOfLines(4, 4 + row.Side, row.Znacka)
                                     : MakeArea(4, 4, 4 + row.Side, 4 + row.Side, row.Znacka);
    area->AddHole(row.OfLines ? AreaOfLines(8, 12, 0)
                              : WithVertices(new TAreaElement, {{8, 8}, {8, 12}, {12, 12}, {12, 8}}));
    layer->AddElement(area);
    auto device = Draw<TInterpretLumPloch>(row.Library, {layer.get(), area});
    int inside = 0;
    for (int y = 50; y < 70; ++y)
      for (int x = 50; x < 70; ++x) inside += PixelAt(*device, x, y) != 0xFFFFFF;
    if (row.Inside < 0)
      EXPECT_TRUE(inside > 0 && inside < 400) << row.Name << ": " << inside;
    else
      EXPECT_EQ(inside, row.Inside) << row.Name;
    if (row.Inside == 400) {
      EXPECT_EQ(PixelAt(*device, 50, 50), row.Colour) << row.Name;
    }
    int hole = 0;
    for (int y = 90; y < 110; ++y)
      for (int x = 90; x < 110; ++x) hole += PixelAt(*device, x, y) != 0xFFFFFF;
    EXPECT_EQ(hole, 0) << row.Name << ": the hole stays empty";
  }
}

}  // namespace

namespace {

bool SamePixels(TDevice& a, TDevice& b) {
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (a.GetHandle()->Pixel(x, y) != b.GetHandle()->Pixel(x, y)) return false;
  return true;
}

// Counts the areas it is asked to fill or to hand over for hatching.
class TAreaCountingDevice : public TRecordingDevice {
 public:
  int Areas = 0;
  void DrawArea(TAreaElement* area) override {
    ++Areas;
    TRecordingDevice::DrawArea(area);
  }
  void GetAreaPolyPolygon(TAreaElement* area, TPolyPolygon& result) override {
    ++Areas;
    TRecordingDevice::GetAreaPolyPolygon(area, result);
  }
};

// A layer's colour holds for its own objects only: an object that follows
// it loose in the model takes its own colour code 4.  The layer's object
// lies about world (5, 5), pixel (50, 150); the loose one about (15, 15),
// pixel (150, 50).
TEST_F(SymbologyTest, ALayersColourEndsWithItsObjects) {
  struct Row {
    const char* Name;
    std::function<TSpaceEntity*()> Layer;
    std::function<TSpaceEntity*(double)> Object;  // about (at, at)
  };
  const Layer green{false, 0, true, 0x00FF00};
  const auto line = [](double at) {
    auto* line = WithVertices(new TPolyLineElement, {{at - 3, at}, {at + 3, at}});
    auto* props = new TLumarLineProps;
    props->Barva = 4;
    line->SetProperties(props);
    return line;
  };
  const Row rows[] = {
      {"points", [&] { return MakeLayer<TPointString>(green); }, [](double at) { return MakePoint(at, at, 4, 0); }},
      {"lines", [&] { return MakeLayer<TPolyLineString>(green); }, line},
      {"areas", [&] { return MakeLayer<TAreaString>(green); },
       [](double at) { return MakeArea(at - 3, at - 3, at + 3, at + 3, 4); }},
  };
  for (const Row& row : rows) {
    TOwnerEntity model;
    TSpaceEntity* layer = row.Layer();
    layer->AddElement(row.Object(5));
    model.AddElement(layer);
    model.AddElement(row.Object(15));
    auto device = MakeMapDevice(kSize, kSize);
    DrawWithDefaultScript(model, *device);
    EXPECT_EQ(PixelAt(*device, 50, 150), 0x00FF00u) << row.Name << ": the layer's object";
    EXPECT_EQ(PixelAt(*device, 150, 50), ColourOfCode(4)) << row.Name << ": the loose object";
  }
}

// An area is drawn when its larger side is at least 3 pixels long.  At
// 1 : 625 a pixel is 1/16 m exactly, so 3 pixels are 0.1875 m; the area's
// lower left corner lies at the map's centre (0, 0).
TEST_F(SymbologyTest, AnAreaOfThreePixelsIsDrawnAndOneShorterIsNot) {
  struct Row {
    const char* Name;
    double Width, Height;
    bool Drawn;
  };
  const double three = 3.0 / 16;
  const Row rows[] = {
      {"3 pixels square", three, three, true},
      {"3 pixels wide, 1 high", three, 1.0 / 16, true},
      {"1 wide, 3 high", 1.0 / 16, three, true},
      {"a 64th of a pixel short of 3", three - 1.0 / 1024, three - 1.0 / 1024, false},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TAreaElement> area(MakeArea(0, 0, row.Width, row.Height, 4));
    auto device = MakeMapDevice(kSize, kSize);
    device->Projection()->Calculate({0, 0}, device->Page(), 625);
    ASSERT_EQ(device->Projection()->DeviceToWorldLength(3), three);
    TInterpretLumPloch interpret;
    interpret.AttachDevice(device.get());
    interpret.SetInput(area.get());
    interpret.DoIt();
    interpret.DetachDevice();
    EXPECT_EQ(DrawnPixels(*device).Count > 0, row.Drawn) << row.Name;
  }
}

TEST_F(SymbologyTest, UnderTheUniversalInterpretEachAreaOfALayerIsDrawnOnceWithTheSamePixels) {
  struct Row {
    const char* Name;
    Layer Over;
    int Znacka;
  };
  const Row rows[] = {
      {"filled by colour code", {}, 4},
      {"hatched", {}, 2001},
      {"filled by the layer's colour", {false, 0, true, 0x0000FF}, 2001},
  };
  // Where the layer of areas lies in the model: the default script draws it
  // there, or an interpret layer of area strings gives it to an area
  // interpret of its own.
  struct Place {
    const char* Name;
    std::function<void(TOwnerEntity&, TAreaString*)> Put;
  };
  const Place places[] = {
      {"in the model", [](TOwnerEntity& model, TAreaString* layer) { model.AddElement(layer); }},
      {"in an interpret layer",
       [](TOwnerEntity& model, TAreaString* layer) {
         auto* interpretLayer = new TInterpretLayer;
         interpretLayer->SetLayerClassName("TAreaString");
         interpretLayer->SetInterpretName("TInterpretLumPloch");
         interpretLayer->AddElement(layer);
         model.AddElement(interpretLayer);
       }},
  };
  for (const Row& row : rows)
    for (const Place& place : places) {
      const std::string name = std::string(row.Name) + ", " + place.Name;
      TOwnerEntity model;
      auto* layer = MakeLayer<TAreaString>(row.Over);
      place.Put(model, layer);
      TAreaElement* left = MakeArea(2, 2, 8, 18, row.Znacka);
      TAreaElement* right = MakeArea(11, 4, 17, 12, row.Znacka);
      layer->AddElement(left);
      layer->AddElement(right);
      auto universal = MakeMapDevice<TAreaCountingDevice>(kSize, kSize);
      DrawWithDefaultScript(model, *universal);
      EXPECT_EQ(universal->Areas, 2) << name;
      // A lone area interpret walks its layer's areas itself.
      auto alone = Draw<TInterpretLumPloch>(true, {layer});
      EXPECT_GT(DrawnPixels(*universal).Count, 0) << name;
      EXPECT_TRUE(SamePixels(*universal, *alone)) << name;
    }
}

TEST_F(SymbologyTest, TextsAreDrawnInTheirColourInsideTheMap) {
  struct Row {
    const char* Name;
    Layer Over;
    double X;
    bool Drawn;
    platform::ColorValue Colour;
  };
  const Row rows[] = {
      {"colour code", {}, 5, true, ColourOfCode(4)},
      {"USECOLOR", {false, 0, true, 0x00FF00}, 5, true, 0x00FF00},
      {"outside the map", {}, 40, false, 0},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TTextString> layer(MakeLayer<TTextString>(row.Over));
    TTextElement* text = MakeText("Ab", cpIBM, 4, row.X, 10);
    auto* props = static_cast<TLumarTextProps*>(text->Properties());
    props->TextAtrib = 4;  // no text style
    layer->AddElement(text);
    auto device = Draw<TInterpretLumTextu>(true, {layer.get()});
    std::set<platform::ColorValue> colours;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        if (PixelAt(*device, x, y) != 0xFFFFFF) colours.insert(PixelAt(*device, x, y));
    EXPECT_EQ(!colours.empty(), row.Drawn) << row.Name;
    if (row.Drawn) {
      EXPECT_EQ(colours, std::set<platform::ColorValue>{row.Colour}) << row.Name;
    }
    EXPECT_EQ(props->TextAtrib, 4) << row.Name << ": drawing leaves the stored flags";
  }
}

TEST_F(SymbologyTest, WindowsTextsAreDrawnWithTheLatin2Fonts) {
  // "č" is E8 in Windows-1250 and 9F in Latin 2: a text of code page 3 draws
  // the Latin 2 font's 9F, as the font itself draws it.
  std::unique_ptr<TTextElement> text(MakeText("č", cpWindows, 13, 5, 10));
  auto drawn = Draw<TInterpretLumTextu>(true, {text.get()});
  auto expected = MakeMapDevice(kSize, kSize);
  TBGIFont font;
  font.SetDevice(expected.get());
  auto* direct = new TBGIText;
  font.SetText(direct, true);
  direct->Height = 5;
  direct->WidthFactor = 1;
  direct->StartPoint()->SetX(5);
  direct->StartPoint()->SetY(10);
  direct->CodePage = cpLatin2;
  direct->Veta = platform::Cp1250ToUtf8("\x9F");
  expected->SetPen({0, 1, platform::PenStyle::Solid, platform::PenMode::Copy});
  font.DrawText();
  EXPECT_GT(DrawnPixels(*drawn).Count, 0);
  EXPECT_TRUE(SamePixels(*drawn, *expected));
}

TEST_F(SymbologyTest, AFontThatCannotBeOpenedIsReportedOnceThenEachTextLogs) {
  SetStrokeFontDirectory(folder.File(""));
  std::unique_ptr<TTextString> layer(MakeLayer<TTextString>({}));
  for (int i = 0; i < 3; ++i) layer->AddElement(MakeText("Ab", cpIBM, 4, 5, 5 + i));
  auto device = Draw<TInterpretLumTextu>(true, {layer.get()});
  EXPECT_EQ(Boxes().size(), 1u);
  const std::vector<std::string> lines = LogLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "LumaR Text interpret - FontError !"), 2);
  EXPECT_EQ(DrawnPixels(*device).Count, 0);
}

}  // namespace

namespace {

// The default script under the universal interpret draws a model of layers:
// each kind reaches its interpret, and a layer's colour applies to its own
// objects only.
TEST_F(SymbologyTest, TheDefaultScriptDrawsEveryKindOfObject) {
  TOwnerEntity model;
  auto* points = MakeLayer<TPointString>({false, 0, true, 0x00FF00});
  points->AddElement(MakePoint(3, 17, 4, 0));
  model.AddElement(points);
  auto* lines = MakeLayer<TPolyLineString>({});
  TPolyLineElement* line = MakeLine(4, 3, 0);
  lines->AddElement(line);
  lines->SetMinX(2), lines->SetMinY(10), lines->SetMaxX(18), lines->SetMaxY(10);
  model.AddElement(lines);
  auto* areas = MakeLayer<TAreaString>({});
  TAreaElement* area = MakeArea(4, 2, 8, 6, 2001);
  areas->AddElement(area);
  areas->SetMinX(4), areas->SetMinY(2), areas->SetMaxX(8), areas->SetMaxY(6);
  model.AddElement(areas);
  auto* texts = MakeLayer<TTextString>({});
  texts->AddElement(MakeText("Ab", cpIBM, 13, 12, 14));
  model.AddElement(texts);

  auto device = MakeMapDevice(kSize, kSize);
  DrawWithDefaultScript(model, *device);

  struct Row {
    const char* Name;
    int Left, Top, Right, Bottom;  // pixels
    platform::ColorValue Colour;   // 1 any
    bool Drawn;
  };
  const Row rows[] = {
      {"point cross in its layer's colour", 28, 28, 32, 32, 0x00FF00, true},
      {"line in its colour code", 40, 100, 160, 100, ColourOfCode(4), true},
      {"hatched area", 42, 142, 78, 178, 1, true},
      {"text", 120, 40, 180, 60, 1, true},
      {"nothing else", 0, 0, 20, 20, 1, false},
  };
  for (const Row& row : rows) {
    bool drawn = false, colourOk = true;
    for (int y = std::min(row.Top, row.Bottom); y <= std::max(row.Top, row.Bottom); ++y)
      for (int x = row.Left; x <= row.Right; ++x)
        if (const platform::ColorValue pixel = PixelAt(*device, x, y); pixel != 0xFFFFFF) {
          drawn = true;
          colourOk = colourOk && (row.Colour == 1 || pixel == row.Colour);
        }
    EXPECT_EQ(drawn, row.Drawn) << row.Name;
    EXPECT_TRUE(colourOk) << row.Name;
  }
}

}  // namespace

namespace {

// A map that notes the start and end of each drawing pass among its strokes.
class TPassDevice : public TRecordingDevice {
 public:
  void BeginDraw() override {
    Ops.push_back("begin");
    TRecordingDevice::BeginDraw();
  }
  void EndDraw() override {
    Ops.push_back("end");
    TRecordingDevice::EndDraw();
  }
};

// A redraw of the text interpret paints a white page first and draws within
// one pass, whatever the page's colour was.
TEST_F(SymbologyTest, ATextRedrawDrawsOnAWhitePageWithinOnePass) {
  struct Row {
    const char* Name;
    bool OneText;
    int Texts;  // texts drawn: each starts with a move
  };
  const Row rows[] = {{"the whole input", false, 2}, {"one text of the message", true, 1}};
  for (const Row& row : rows) {
    std::unique_ptr<TTextString> layer(MakeLayer<TTextString>({}));
    TTextElement* first = MakeText("I", cpIBM, 4, 5, 10);
    for (TTextElement* text : {first, MakeText("I", cpIBM, 4, 12, 10)}) {
      static_cast<TLumarTextProps*>(text->Properties())->TextAtrib = 4;
      layer->AddElement(text);
    }
    TPassDevice device;
    device.SetOwnsBitmap(true);
    device.SetBitmap(platform::Bitmap::Create(kSize, kSize).release());
    OnePixelAUnit(device);
    device.Page()->SetResolution(10000, 10000);
    device.Projection()->Calculate({10, 10}, device.Page(), 1000);
    device.Projection()->SetVirtualScale(1000);
    device.Page()->SetColor(0);
    TInterpretLumTextu interpret;
    interpret.AttachDevice(&device);
    interpret.SetInput(layer.get());
    TKestuMessage review(msgReView, nullptr, &interpret, row.OneText ? first : nullptr, false);
    TKestuMessage* message = &review;
    bool handled = false;
    interpret.ReceiveMessage(message, handled);
    interpret.DetachDevice();
    EXPECT_TRUE(handled) << row.Name;
    EXPECT_EQ(device.Page()->Color(), 0xFFFFFFu) << row.Name;
    ASSERT_GE(device.Ops.size(), 3u) << row.Name;
    EXPECT_EQ(device.Ops.front(), "begin") << row.Name;
    EXPECT_EQ(device.Ops.back(), "end") << row.Name;
    EXPECT_EQ(std::count(device.Ops.begin(), device.Ops.end(), "begin"), 1) << row.Name;
    const Drawn drawn = DrawnPixels(device);
    EXPECT_GT(drawn.Count, 0) << row.Name;
    EXPECT_EQ(PixelAt(device, 0, 0), 0xFFFFFFu) << row.Name << ": the page is white";
    EXPECT_EQ(drawn.Right > 110, row.Texts == 2) << row.Name << ": the second text at x 120";
  }
}

}  // namespace

namespace {

enum class Extent { OnTheMap, OffTheMap, NeverComputed };

// Under the default script a layer of lines is skipped only when its extent
// lies off the map: one whose extent was never computed (as a block reader
// gives it) may hold lines anywhere.
TEST_F(SymbologyTest, LineLayersAreSkippedOnlyWhenTheirExtentLiesOffTheMap) {
  struct Row {
    const char* Name;
    Extent Bounds;
    bool Drawn;
  };
  const Row rows[] = {
      {"on the map", Extent::OnTheMap, true},
      {"off the map", Extent::OffTheMap, false},
      {"never computed", Extent::NeverComputed, true},
  };
  for (const Row& row : rows) {
    TOwnerEntity model;
    auto* layer = MakeLayer<TPolyLineString>({});
    layer->AddElement(MakeLine(4, 3, 0));
    model.AddElement(layer);
    if (row.Bounds == Extent::OnTheMap) layer->UpdateRect();
    if (row.Bounds == Extent::OffTheMap) {
      layer->SetMinX(100), layer->SetMinY(100), layer->SetMaxX(120), layer->SetMaxY(120);
    }
    auto device = MakeMapDevice(kSize, kSize);
    DrawWithDefaultScript(model, *device);
    EXPECT_EQ(DrawnPixels(*device).Count > 0, row.Drawn) << row.Name;
  }
}

}  // namespace
