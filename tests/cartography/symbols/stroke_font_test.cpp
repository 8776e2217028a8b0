#include "cartography/symbols/stroke_font.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "cartography/symbols/text_styles.h"
#include "spatial/geometry/projection.h"
#include "tests/cartography/symbols/sample_symbols.h"
#include "tests/cartography/symbols/symbol_fixture.h"

namespace {

class StrokeFontTest : public SymbolTest {
 protected:
  void SetUp() override {
    SymbolTest::SetUp();
    device = MakeRecordingDevice(100, 100);
    device->Projection()->SetVirtualScale(1000);
    font = std::make_unique<TBGIFont>();
    font->SetDevice(device.get());
    text = new TBGIText;
    font->SetText(text, true);
    text->StartPoint()->SetX(10);
    text->StartPoint()->SetY(5);
    // One font unit is Height world units.
    text->HeightMode = 1;
    text->Height = 0.5;
  }
  // The moves and lines of the bytes drawn with the text's parameters.
  std::vector<std::string> Drawn(const std::string& bytes) {
    device->Ops.clear();
    font->DrawString(bytes);
    return device->Ops;
  }
  // A font of its own in the temporary folder, loaded as font 1.  Each is
  // written at a time of its own: a file that was no font is read again only
  // once it has changed, and two written within one tick of the file clock
  // at one size could not be told apart.
  bool LoadOwnFont(const std::string& bytes) {
    std::ofstream(folder.File("Bold.CHR"), std::ios::binary) << bytes;
    std::filesystem::last_write_time(folder.File("Bold.CHR"),
                                     std::filesystem::file_time_type(std::chrono::seconds(++fontsWritten)));
    SetStrokeFontDirectory(folder.Path());
    return font->LoadFont(1, 0);
  }

  std::unique_ptr<TRecordingDevice> device;
  std::unique_ptr<TBGIFont> font;
  TBGIText* text = nullptr;
  int fontsWritten = 0;
};

TEST_F(StrokeFontTest, DrawsTheLetterAThroughScaleSlantTurnAndSpacing) {
  struct Row {
    const char* name;
    double direction, slant, widthFactor, spacing;
    std::string bytes;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"plain", 0, 0, 1, 0, "A",
       {"M 10.000 5.000", "M 10.000 5.000", "L 15.000 25.000", "L 20.000 5.000", "M 12.500 15.000", "L 17.500 15.000",
        "M 22.000 5.000"}},
      {"turned a quarter", M_PI / 2, 0, 1, 0, "A",
       {"M 10.000 5.000", "M 10.000 5.000", "L -10.000 10.000", "L 10.000 15.000", "M 0.000 7.500", "L 0.000 12.500",
        "M 10.000 17.000"}},
      {"slanted 45 degrees", 0, M_PI / 4, 1, 0, "A",
       {"M 10.000 5.000", "M 10.000 5.000", "L 35.000 25.000", "L 20.000 5.000", "M 22.500 15.000", "L 27.500 15.000",
        "M 22.000 5.000"}},
      {"twice as wide", 0, 0, 2, 0, "A",
       {"M 10.000 5.000", "M 10.000 5.000", "L 20.000 25.000", "L 30.000 5.000", "M 15.000 15.000", "L 25.000 15.000",
        "M 34.000 5.000"}},
      {"the next letter starts at the last point plus the spacing", 0, 0, 1, 3, "AA",
       {"M 10.000 5.000", "M 10.000 5.000", "L 15.000 25.000", "L 20.000 5.000", "M 12.500 15.000", "L 17.500 15.000",
        "M 22.000 5.000", "M 25.000 5.000", "L 30.000 25.000", "L 35.000 5.000", "M 27.500 15.000", "L 32.500 15.000",
        "M 37.000 5.000"}},
      {"a code without a glyph draws nothing and moves by the spacing", 0, 0, 1, 3, "\x01" "A",
       {"M 10.000 5.000", "M 13.000 5.000", "L 18.000 25.000", "L 23.000 5.000", "M 15.500 15.000", "L 20.500 15.000",
        "M 25.000 5.000"}},
  };
  ASSERT_TRUE(font->LoadFont(0, 0));
  for (const Row& row : rows) {
    text->Direction = row.direction;
    text->Slant = row.slant;
    text->WidthFactor = row.widthFactor;
    text->Spacing = row.spacing;
    EXPECT_EQ(Drawn(row.bytes), row.expected) << row.name;
  }
}

TEST_F(StrokeFontTest, PaintsTheLetterAsItsStrokesAtAQuarterTurn) {
  // Height 0.5 and one pixel a unit: 'A' stands 20 px; turned, it lies on its
  // left side with its apex 20 px left of the start point.
  ASSERT_TRUE(font->LoadFont(0, 0));
  for (double direction : {0.0, M_PI / 2}) {
    auto picture = MakeBitmapDevice(100, 100);
    font->SetDevice(picture.get());
    text->StartPoint()->SetX(40);
    text->StartPoint()->SetY(40);
    text->Direction = direction;
    font->DrawString("A");
    platform::Canvas& canvas = *picture->GetHandle();
    // The bar: world y 50 (pixel row 50) from x 42.5 to 47.5, or turned,
    // world x 30 (pixel column 30) from y 42.5 to 47.5.
    for (int along = 43; along <= 47; ++along) {
      const int x = direction == 0 ? along : 30;
      const int y = direction == 0 ? 50 : 100 - along;
      EXPECT_NE(canvas.Pixel(x, y), 0xFFFFFFu) << "direction " << direction << " bar at " << x << "," << y;
    }
    // Between the legs, under the bar, stays white.
    EXPECT_EQ(canvas.Pixel(direction == 0 ? 45 : 35, direction == 0 ? 55 : 55), 0xFFFFFFu) << direction;
  }
  font->SetDevice(device.get());
}

TEST_F(StrokeFontTest, SizesByFlagAndModeInPointsUnitsAndMillimetres) {
  ASSERT_TRUE(font->LoadFont(0, 0));
  const double scale = device->Projection()->Scale();
  const double point = 0.000376 * scale;  // world length of a typographic point
  struct Row {
    std::uint8_t flags, mode;
    double unit, spacing, height;
  };
  // Height 8, spacing 2, top 40, virtual scale 1000 (1 mm = 1 world unit).
  const Row rows[] = {
      {8, 0, 8 * point / 40, 2 * point, 8 * point}, {8, 1, 8.0 / 40, 2, 8},        {8, 2, 8.0 / 40, 2, 8},
      {0, 1, 8, 2, 40 * 8},                         {0, 0, 8 * point / 40, 2 * point, 8 * point},
      {0, 2, 8 * point / 40, 2 * point, 8 * point},
  };
  text->Height = 8;
  text->Spacing = 2;
  for (const Row& row : rows) {
    text->Flags = row.flags;
    text->HeightMode = row.mode;
    const std::string name = "flags " + std::to_string(row.flags) + " mode " + std::to_string(row.mode);
    EXPECT_DOUBLE_EQ(font->HeightScale(), row.unit) << name;
    EXPECT_DOUBLE_EQ(font->SpacingLength(), row.spacing) << name;
    EXPECT_DOUBLE_EQ(font->TextHeight(), row.height) << name;
  }
}

TEST_F(StrokeFontTest, MeasuresTheTextAsItIsDrawn) {
  ASSERT_TRUE(font->LoadFont(0, 0));
  text->Spacing = 3;
  text->Veta = "AA";
  text->Direction = M_PI / 2;
  // Two widths of 24 units at 0.5, one spacing; 40 units high.
  EXPECT_DOUBLE_EQ(font->TextWidth("AA"), 27);
  EXPECT_DOUBLE_EQ(font->TextWidth(std::string(300, 'A')), 255 * 12 + 254 * 3);
  EXPECT_DOUBLE_EQ(font->TextWidth(""), 0);
  const auto corners = font->TextCorners();
  const std::vector<std::string> expected = {"M 10.000 5.000", "M 10.000 32.000", "M -10.000 32.000",
                                             "M -10.000 5.000"};
  std::vector<std::string> got;
  for (const TRealPoint& p : corners) got.push_back(Op('M', p.X, p.Y));
  EXPECT_EQ(got, expected);
  font->UpdateTextRect();
  EXPECT_EQ(Op('M', text->Rect()->MinX(), text->Rect()->MinY()), "M -10.000 5.000");
  EXPECT_EQ(Op('M', text->Rect()->MaxX(), text->Rect()->MaxY()), "M 10.000 32.000");
  // The 256th letter is neither drawn nor measured.
  const std::vector<std::string> ops = Drawn(std::string(256, 'A'));
  EXPECT_EQ(ops.size(), 1 + 255 * 6u);
}

TEST_F(StrokeFontTest, LoadsTheFileOfTheNumberAndCodePage) {
  struct Row {
    std::uint8_t number, codePage;
    int variant;
  };
  // 'B' of each sample font tells its file: Simp.CHR 0, .LVF 1, .KVF 2, Sans 3.
  const Row rows[] = {{0, 0, 0}, {11, 0, 0}, {8, 0, 0}, {8, 1, 1}, {0, 2, 2}, {0, 3, 2}, {6, 0, 3}};
  for (const Row& row : rows) {
    ASSERT_TRUE(font->LoadFont(row.number, row.codePage)) << int(row.number) << "/" << int(row.codePage);
    EXPECT_EQ(text->Font, row.number);
    const SampleStroke first = SampleGlyphOf('B', row.variant).Strokes[1];
    EXPECT_EQ(Drawn("B")[2], Op('L', 10 + first.X * 0.5, 5 + first.Y * 0.5))
        << int(row.number) << "/" << int(row.codePage);
  }
  EXPECT_EQ(StrokeFontFileName(200, 7), "Simp.KVF");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(StrokeFontTest, ReadsTheFileOnceForTwoLoadsAndFindsItWhateverItsCase) {
  std::filesystem::copy_file(SamplesSymbols() + "/fonts/Simp.CHR", folder.File("SIMP.chr"));
  SetStrokeFontDirectory(folder.Path());
  ASSERT_TRUE(font->LoadFont(0, 0));
  std::filesystem::remove(folder.File("SIMP.chr"));
  EXPECT_TRUE(font->LoadFont(0, 0));
  EXPECT_EQ(Drawn("A").size(), 7u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(StrokeFontTest, AFailedLoadForgetsTheFontItFreed) {
  std::filesystem::copy_file(SamplesSymbols() + "/fonts/Simp.CHR", folder.File("Simp.CHR"));
  SetStrokeFontDirectory(folder.Path());
  ASSERT_TRUE(font->LoadFont(0, 0));
  EXPECT_FALSE(font->LoadFont(6, 0));  // no Sans here
  std::filesystem::remove(folder.File("Simp.CHR"));
  // The old font was freed: asking for it again must read again, and fail.
  EXPECT_FALSE(font->LoadFont(0, 0));
  EXPECT_FALSE(font->Loaded());
  EXPECT_TRUE(Drawn("A").empty());
  // Nor is its top left: a text sized in font units (flag 8 clear, mode 1) measures nothing.
  EXPECT_EQ(font->TextHeight(), 0);
}

TEST_F(StrokeFontTest, ReportsAFileThatCannotBeOpenedOncePerFont) {
  SetStrokeFontDirectory(folder.Path());
  EXPECT_FALSE(font->LoadFont(0, 0));
  EXPECT_FALSE(font->LoadFont(6, 0));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Nelze otevřít soubor vektorového fontu: " + folder.Path() + "/Simp.CHR"});
}

TEST_F(StrokeFontTest, RefusesFontsWhoseTablesDoNotFit) {
  const std::string good = BuildStrokeFont('A', 'A', 40, true, {SampleLetterA()});
  std::string notPlus = good;
  notPlus[128] = '*';
  std::string tooMany = good;
  tooMany[129] = '\x50';  // 80 characters in a file holding one
  std::string strokesPast = good;
  strokesPast[133] = '\x7F';  // stroke data from 0x7F13
  struct Row {
    const char* name;
    std::string bytes;
  };
  const Row rows[] = {{"shorter than its header", good.substr(0, 100)},
                      {"header only", good.substr(0, 128)},
                      {"no font signature", notPlus},
                      {"more characters than tables", tooMany},
                      {"stroke data past the end", strokesPast}};
  for (const Row& row : rows) {
    dialogs.Messages.clear();
    EXPECT_FALSE(LoadOwnFont(row.bytes)) << row.name;
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Chyba v načtení vektorového fontu " + folder.File("Bold.CHR")})
        << row.name;
  }
}

// The 16 bytes of the table header with no characters are a whole font:
// it loads without a box and its top (40) sizes a text of mode 1, flag 8
// clear, as top x Height.
TEST_F(StrokeFontTest, AFontOfItsTableHeaderAloneLoads) {
  EXPECT_TRUE(LoadOwnFont(BuildStrokeFont('B', 'A', 40, true, {})));
  EXPECT_EQ(Boxes(), std::vector<std::string>{});
  EXPECT_DOUBLE_EQ(font->TextHeight(), 40 * 0.5);
}

TEST_F(StrokeFontTest, StopsStrokesAtTheEndOfTheData) {
  struct Row {
    const char* name;
    std::string bytes;
    std::size_t ops;
  };
  const std::string good = BuildStrokeFont('A', 'A', 40, true, {SampleLetterA()});
  std::string offsetPast = good;
  offsetPast[144] = '\x00';
  offsetPast[145] = '\x40';  // glyph at 0x4000 from the stroke data
  const Row rows[] = {
      {"whole glyph", good, 7},
      {"glyph without its end pair", good.substr(0, good.size() - 2), 7},
      {"glyph cut inside a pair", good.substr(0, good.size() - 3), 6},
      {"glyph offset past the data", offsetPast, 1},
  };
  font->SetText(text, false);
  for (const Row& row : rows) {
    // A fresh font each time: the same number would not be read again.
    font = std::make_unique<TBGIFont>();
    font->SetDevice(device.get());
    font->SetText(text, false);
    ASSERT_TRUE(LoadOwnFont(row.bytes)) << row.name;
    EXPECT_EQ(Drawn("A").size(), row.ops) << row.name;
  }
  font->SetText(text, true);
}

TEST_F(StrokeFontTest, AZeroTopReportsOnceAndSizesNothing) {
  ASSERT_TRUE(LoadOwnFont(BuildStrokeFont('A', 'A', 0, true, {SampleLetterA()})));
  text->Flags = kTextSizedByMode;
  EXPECT_EQ(font->HeightScale(), 0);
  EXPECT_EQ(font->HeightScale(), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Chyba v načtení vektorového fontu "});
}

TEST_F(StrokeFontTest, ReadsTextStylesAndLogsABadWholeNumber) {
  TTextStyles& styles = *font->Styles();
  ASSERT_EQ(styles.GetCount(), 2);
  const bgi::TTextStyle* first = styles.FindStyle(5);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Name, "Popis porostu");
  EXPECT_EQ(first->Rezim, 2);  // "m"
  EXPECT_EQ(first->Font, 6);
  EXPECT_DOUBLE_EQ(first->Vyska, 2.5);  // decimal comma
  EXPECT_DOUBLE_EQ(first->Sirka, 1.5);
  EXPECT_DOUBLE_EQ(first->Sklon, 30);
  EXPECT_EQ(first->Barva, 4);
  EXPECT_EQ(first->DruhCary, 2);
  const bgi::TTextStyle* second = styles.FindStyle(0);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Name, "Chybný druh");
  EXPECT_EQ(second->Rezim, 0);
  EXPECT_DOUBLE_EQ(second->Vyska, 3);  // read on after the bad number
  EXPECT_EQ(styles.FindStyle(9), nullptr);  // not closed
  EXPECT_EQ(LogLines(), std::vector<std::string>{"Styly.txt: chybná hodnota DRUH na řádku 17"});
  styles.SetFileName(folder.File("Styly.txt"));
  EXPECT_EQ(styles.GetCount(), 0);
}

TEST_F(StrokeFontTest, DrawsAStyledTextInItsStyleAndPen) {
  text->Flags = kTextSizedByMode;
  text->Druh = 5;
  text->Veta = "A";
  font->DrawText();
  EXPECT_EQ(text->Font, 6);
  EXPECT_EQ(text->HeightMode, 2);
  EXPECT_DOUBLE_EQ(text->Height, 2.5);
  EXPECT_DOUBLE_EQ(text->Slant, M_PI / 6);
  EXPECT_EQ(text->Barva, 4);
  // 0.3 mm at virtual scale 1000 is 0.3 world units, 0 px: at least 1.
  EXPECT_EQ(device->GetPen()->Width, 1);
  EXPECT_FALSE(device->Ops.empty());
  // A text that asks for no style keeps its own and gets a tenth of its height.
  text->Flags = kTextSizedByMode | kTextWithoutStyle;
  text->Druh = 5;
  text->HeightMode = 1;
  text->Height = 40;
  text->Font = 0;
  font->DrawText();
  EXPECT_EQ(text->Font, 0);
  EXPECT_EQ(device->GetPen()->Width, 4);
  text->Height = 60;
  font->DrawText();
  EXPECT_EQ(device->GetPen()->Width, 6) << "a tenth of 60";
}

}  // namespace
