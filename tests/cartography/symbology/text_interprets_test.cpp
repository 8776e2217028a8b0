// Texts written by the general text interprets on a 254-dpi map at 1 : 1000
// (ten pixels a metre, world (0, 0) at the bottom left of a 200-pixel
// square), each checked against the same texts written at the pixels the
// geometry gives.
#include "cartography/symbology/text_interprets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "cartography/symbology/formatted_text.h"
#include "framework/values/typed_values.h"
#include "platform/canvas.h"
#include "tests/cartography/symbols/symbol_fixture.h"

namespace {

using TextInterpretTest = SymbolTest;

constexpr int kSize = 200;
const char* const kSans = "DejaVu Sans";
const char* const kMono = "DejaVu Sans Mono";

struct Placed {
  std::string Text;
  int X, Y;  // pixels; X < 0 continues after the previous text
};

// The texts written at their pixels in the font.
std::unique_ptr<TRecordingDevice> Expected(const std::vector<Placed>& texts, const std::string& font, int height,
                                           platform::ColorValue colour) {
  auto device = MakeMapDevice(kSize, kSize);
  platform::CanvasFont& canvasFont = *device->GetFont();
  canvasFont.Name = font;
  canvasFont.Height = -height;
  canvasFont.Color = colour;
  int next = 0;
  for (const Placed& text : texts) {
    const int x = text.X < 0 ? next : text.X;
    device->TextOutPixel(x, text.Y, text.Text);
    next = x + device->TextWidth(text.Text);
  }
  return device;
}

int Differences(TDevice& a, TDevice& b) {
  int count = 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) count += a.GetHandle()->Pixel(x, y) != b.GetHandle()->Pixel(x, y);
  return count;
}

int Drawn(TDevice& device) {
  int count = 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) count += device.GetHandle()->Pixel(x, y) != 0xFFFFFF;
  return count;
}

// An element whose published properties are its named values.
std::unique_ptr<TStringListElement> Element(const std::vector<std::pair<const char*, const char*>>& values) {
  auto element = std::make_unique<TStringListElement>();
  for (const auto& [name, value] : values) element->AddNameValue(name, value);
  return element;
}

TEST_F(TextInterpretTest, SingleTextsTakeEverythingFromTheElement) {
  struct Row {
    const char* Name;
    const char* PropHeight;
    const char* PropFont;
    const char* PropColor;
    bool AbsSize;
    double VirtualScale;
    std::vector<Placed> Texts;  // expected
    const char* Font;
    int Height;
    platform::ColorValue Colour;
  };
  // The element: text "Ab" at (5, 15) m, pixel (50, 50); height 0.002,
  // font mono, colour 0x00FF00.  The interpret: ValHeight 0.003, ValFont
  // sans, Color 0x0000FF.
  const Row rows[] = {
      {"all from the element", "H", "F", "C", false, 1000, {{"Ab", 50, 50}}, kMono, 20, 0x00FF00},
      {"constants", "", "", "", false, 1000, {{"Ab", 50, 50}}, kSans, 30, 0x0000FF},
      {"height at the virtual scale", "H", "", "", false, 2000, {{"Ab", 50, 50}}, kSans, 40, 0x0000FF},
      {"absolute height at the true scale", "H", "", "", true, 2000, {{"Ab", 50, 50}}, kSans, 20, 0x0000FF},
      {"no height: nothing", "Z", "", "", false, 1000, {}, kSans, 20, 0},
      {"height text that is no number: nothing", "F", "", "", false, 1000, {}, kSans, 20, 0},
  };
  for (const Row& row : rows) {
    auto device = MakeMapDevice(kSize, kSize);
    device->Projection()->SetVirtualScale(row.VirtualScale);
    TGeneralTextInterpret interpret;
    interpret.PropText = "T";
    interpret.PropX = "X";
    interpret.PropY = "Y";
    interpret.PropHeight = row.PropHeight;
    interpret.PropFont = row.PropFont;
    interpret.PropColor = row.PropColor;
    interpret.ValHeight = 0.003;
    interpret.ValFont = kSans;
    interpret.Color = 0x0000FF;
    interpret.AbsSize = row.AbsSize;
    interpret.SetProcessClassName("TStringListElement");
    auto element = Element({{"T", "Ab"}, {"X", "5"}, {"Y", "15"}, {"H", "0.002"}, {"Z", "0"}, {"F", kMono},
                            {"C", "65280"}});
    interpret.AttachDevice(device.get());
    interpret.SetInput(element.get());
    interpret.DoIt();
    interpret.DetachDevice();
    auto expected = Expected(row.Texts, row.Font, row.Height, row.Colour);
    EXPECT_EQ(Drawn(*device) > 0, !row.Texts.empty()) << row.Name;
    EXPECT_EQ(Differences(*device, *expected), 0) << row.Name;
  }
}

enum class Start { Values, ZeroValues, Element };

// A block of two paragraphs: "Ab" + run "Cd", and a variable run "Jméno".
TFormatedTextBlock* MakeBlock(double textHeight, int textSize) {
  auto* block = new TFormatedTextBlock;
  block->SetNewStyle(true);
  TParagraphStyle& style = *block->GetParagraphStyle();
  style.TextHeight = textHeight;
  style.TextSize = textSize;
  style.LineHeight = 0.003;
  style.LineSize = 15;
  style.FontName = kSans;
  style.TextColor = 0xFF0000;
  block->SetNextParagraphName("první");
  TParagraph& first = *block->ActualParagraph();
  first.Text = "Ab";
  first.SetNextTextName("run");
  DynamicCast<TFormatedText>(first.GetElement(0))->Text = "Cd";
  // A paragraph's own style is not the one drawn.
  first.SetNewStyle(true);
  first.GetParagraphStyle()->TextHeight = 0.009;
  first.GetParagraphStyle()->TextColor = 0x00FF00;
  block->SetNextParagraphName("druhý");
  auto* variable = new TVariableText;
  variable->SetName("Jméno");
  variable->Text = "stale";
  block->ActualParagraph()->SetNextText(variable);
  return block;
}

TEST_F(TextInterpretTest, BlocksAreWrittenParagraphByParagraphOnPaperOrInPixels) {
  struct Row {
    const char* Name;
    double TextHeight;
    int TextSize;
    Start From;
    double VirtualScale;
    std::vector<Placed> Texts;  // expected
    int Height;
  };
  // Values: ValX 2, ValY 15 (pixel 20, 50; rounded as pixels 2, 15).  The
  // element: X 3, Y 12 (pixel 30, 80).  Paper line step 0.003 x 1000 = 3 m
  // = 30 px; pixel line step 15.
  const Row rows[] = {
      {"paper mode", 0.002, 0, Start::Values, 1000,
       {{"Ab", 20, 50}, {"Cd", -1, 50}, {"Novák", 20, 80}}, 20},
      {"paper mode from (0, 0): the page's upper left", 0.002, 0, Start::ZeroValues, 1000,
       {{"Ab", 0, 0}, {"Cd", -1, 0}, {"Novák", 0, 30}}, 20},
      {"paper mode from the element", 0.002, 0, Start::Element, 1000,
       {{"Ab", 30, 80}, {"Cd", -1, 80}, {"Novák", 30, 110}}, 20},
      {"pixel mode: each paragraph on its own line", 0, 12, Start::Values, 1000,
       {{"Ab", 2, 15}, {"Cd", -1, 15}, {"Novák", 2, 30}}, 12},
      {"pixel mode is independent of the scale", 0, 12, Start::Values, 3000,
       {{"Ab", 2, 15}, {"Cd", -1, 15}, {"Novák", 2, 30}}, 12},
      {"pixel mode from the element: projected", 0, 12, Start::Element, 1000,
       {{"Ab", 30, 80}, {"Cd", -1, 80}, {"Novák", 30, 95}}, 12},
      {"neither height nor size: nothing", 0, 0, Start::Values, 1000, {}, 12},
  };
  for (const Row& row : rows) {
    auto device = MakeMapDevice(kSize, kSize);
    device->Projection()->SetVirtualScale(row.VirtualScale);
    TGeneralFormatedTextBlockInterpret interpret;
    interpret.SetTextBlock(MakeBlock(row.TextHeight, row.TextSize));
    interpret.SetProcessClassName("TStringListElement");
    interpret.ValX = row.From == Start::Values ? 2 : 0;
    interpret.ValY = row.From == Start::Values ? 15 : 0;
    if (row.From == Start::Element) {
      interpret.PropX = "X";
      interpret.PropY = "Y";
    }
    auto element = Element({{"X", "3"}, {"Y", "12"}, {"Jméno", "Novák"}});
    interpret.AttachDevice(device.get());
    interpret.SetInput(element.get());
    interpret.DoIt();
    interpret.DetachDevice();
    auto expected = Expected(row.Texts, kSans, row.Height, 0xFF0000);
    EXPECT_EQ(Drawn(*device) > 0, !row.Texts.empty()) << row.Name;
    EXPECT_EQ(Differences(*device, *expected), 0) << row.Name;
  }
}

// A block on paper from (0, 0) starts at the page's upper left also on a map
// turned about the page's centre: the corner is turned back before the
// device turns it again.  One paragraph "Ab" in 20-pixel letters.
TEST_F(TextInterpretTest, ABlockFromZeroStartsAtThePagesUpperLeftHoweverTheMapIsTurned) {
  const double quarter = std::acos(0.0);
  const std::pair<const char*, double> rows[] = {
      {"not turned", 0}, {"a quarter", quarter}, {"a half", 2 * quarter}, {"a quarter back", -quarter}};
  for (const auto& [name, angle] : rows) {
    auto device = MakeMapDevice(kSize, kSize);
    device->Projection()->SetAngle(angle);
    auto* block = new TFormatedTextBlock;
    block->SetNewStyle(true);
    TParagraphStyle& style = *block->GetParagraphStyle();
    style.TextHeight = 0.002;
    style.LineHeight = 0.003;
    style.FontName = kSans;
    style.TextColor = 0xFF0000;
    block->SetNextParagraphName("jediný");
    block->ActualParagraph()->Text = "Ab";
    TGeneralFormatedTextBlockInterpret interpret;
    interpret.SetTextBlock(block);
    interpret.SetProcessClassName("TStringListElement");
    auto element = Element({});
    interpret.AttachDevice(device.get());
    interpret.SetInput(element.get());
    interpret.DoIt();
    interpret.DetachDevice();
    auto expected = Expected({{"Ab", 0, 0}}, kSans, 20, 0xFF0000);
    EXPECT_GT(Drawn(*device), 0) << name;
    EXPECT_EQ(Differences(*device, *expected), 0) << name;
  }
}

// The interpret holds its block as a child: given the same block again it
// keeps it; given another, it frees the one it held.
TEST_F(TextInterpretTest, TheTextBlockGivenAgainIsKeptAndAnotherTakesItsPlace) {
  TGeneralFormatedTextBlockInterpret interpret;
  TFormatedTextBlock* first = MakeBlock(0, 12);
  const TElementLink alive(first);
  const std::pair<const char*, TFormatedTextBlock*> steps[] = {
      {"given", first}, {"given again", first}, {"another given", MakeBlock(0, 12)}};
  for (const auto& [name, block] : steps) {
    interpret.SetTextBlock(block);
    EXPECT_EQ(std::tuple(interpret.TextBlock(), interpret.IndexOf(block) >= 0, alive.Get() == first),
              std::tuple(block, true, block == first))
        << name;
  }
}

// Without a device, or on one that has no font (a text device), a block is
// not drawn and the walk ends quietly.
TEST_F(TextInterpretTest, ABlockNeedsADeviceWithAFont) {
  TNullDevice fontless;
  for (TDevice* device : {static_cast<TDevice*>(nullptr), static_cast<TDevice*>(&fontless)}) {
    TGeneralFormatedTextBlockInterpret interpret;
    interpret.SetTextBlock(MakeBlock(0, 12));
    interpret.SetProcessClassName("TStringListElement");
    auto element = Element({});
    interpret.AttachDevice(device);
    interpret.SetInput(element.get());
    interpret.DoIt();
    EXPECT_FALSE(interpret.Busy()) << (device ? "no font" : "no device");
    interpret.DetachDevice();
  }
}

TEST_F(TextInterpretTest, ScriptsMakeTheTextClassesAndTheSymbolColourToolByName) {
  for (const char* name : {"TGeneralTextInterpret", "TGeneralFormatedTextBlockInterpret", "TTextStyle",
                           "TParagraphStyle", "TPlainText", "TFormatedText", "TVariableText", "TParagraph",
                           "TFormatedTextBlock", "TPlainTextBlock", "TSetUserSymbolColor"}) {
    std::unique_ptr<TElement> made(CreateElementByClassName(name));
    EXPECT_TRUE(made && made->ClassName() == name) << name;
  }
}

// Sizes and steps in pixels are held to the device's range of 32,000, the
// lowest 32-bit one too; a negative size asks for the whole cell, as a
// negative font height does.  Two paragraphs of a full block letter, which
// fills its cell, start at (2, 15) in pixels or (20, 50) on paper; a line
// step held to the range puts the second off the page.  (The canvas draws
// no letter that large: what the held size draws is what is drawn.)
TEST_F(TextInterpretTest, SizesBeyondTheDevicesRangeAreHeldToIt) {
  constexpr std::int32_t kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kHighest = std::numeric_limits<std::int32_t>::max();
  const char* const kFull = "\u2588";
  struct Row {
    const char* Name;
    double TextHeight;
    std::int32_t TextSize, LineSize;
    std::vector<Placed> Texts;  // expected
    int Height;
  };
  const Row rows[] = {
      {"lowest pixel size", 0, kLowest, 15, {{kFull, 2, 15}, {kFull, 2, 30}}, -TProjection::DeviceLimit},
      {"highest line step", 0, 12, kHighest, {{kFull, 2, 15}}, 12},
      {"paper height far below", -1e300, 0, 15, {{kFull, 20, 50}, {kFull, 20, 80}}, -TProjection::DeviceLimit},
  };
  for (const Row& row : rows) {
    auto device = MakeMapDevice(kSize, kSize);
    auto* block = new TFormatedTextBlock;
    block->SetNewStyle(true);
    TParagraphStyle& style = *block->GetParagraphStyle();
    style.TextHeight = row.TextHeight;
    style.TextSize = row.TextSize;
    style.LineHeight = 0.003;
    style.LineSize = row.LineSize;
    style.FontName = kSans;
    style.TextColor = 0xFF0000;
    for (const char* name : {"první", "druhý"}) {
      block->SetNextParagraphName(name);
      block->ActualParagraph()->Text = kFull;
    }
    TGeneralFormatedTextBlockInterpret interpret;
    interpret.SetTextBlock(block);
    interpret.SetProcessClassName("TStringListElement");
    interpret.ValX = 2;
    interpret.ValY = 15;
    auto element = Element({});
    interpret.AttachDevice(device.get());
    interpret.SetInput(element.get());
    interpret.DoIt();
    interpret.DetachDevice();
    auto expected = Expected(row.Texts, kSans, row.Height, 0xFF0000);
    EXPECT_EQ(Differences(*device, *expected), 0) << row.Name;
  }
}

}  // namespace
