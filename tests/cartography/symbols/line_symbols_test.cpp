#include "cartography/symbols/line_symbols.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <stdexcept>

#include "render/palette/palette.h"
#include "spatial/geometry/projection.h"
#include "tests/cartography/symbols/symbol_fixture.h"

namespace {

class LineSymbolTest : public SymbolTest {
 protected:
  void SetUp() override {
    SymbolTest::SetUp();
    device = MakeMapDevice(200, 200);
    symbols = std::make_unique<TLinioveZnacky>(SymbolLibraryFile("linzn.txt"));
    symbols->SetDevice(device.get());
  }
  std::vector<std::string> Drawn(std::int32_t code, const std::vector<TRealPoint>& line) {
    device->Ops.clear();
    TLiniovaZnacka* symbol = symbols->GetSymbol(code);
    if (!symbol) return {"no symbol"};
    symbol->Draw(*device, {}, false, line, 3);
    return device->Ops;
  }

  std::unique_ptr<TRecordingDevice> device;
  std::unique_ptr<TLinioveZnacky> symbols;
};

// Chains in drawing order: "colour side distance flags: element (size gap
// flags points)...", lengths in world units (mm on the map here).
std::string Describe(const TLiniovaZnacka* symbol) {
  if (!symbol) return "none";
  std::ostringstream text;
  text << symbol->Kod << " " << symbol->Nazev;
  for (const auto& chain : symbol->Chains) {
    text << " | " << chain->Color << " " << int(chain->Strana) << " " << chain->Vzdalenost << " " << chain->Flags
         << " " << chain->Zakladniznacka << ":";
    for (const auto& element : chain->Elements)
      text << " (" << element->Velikost << " " << element->Vzdalenost << " " << element->Flags << " "
           << element->Points.size() << ")";
  }
  return text.str();
}

TEST_F(LineSymbolTest, ReadsSymbolsWithTheirChainsElementsAndFlags) {
  const std::pair<std::int32_t, const char*> rows[] = {
      {1001, "1001 Čárkovaná | -1 1 0 4 0: (4 1.5 75 1)"},
      {1002, "1002 Bez zbytku | -1 1 0 4 0: (4 1.5 11 1)"},
      {1003, "1003 Nelámaná | -1 1 0 4 0: (4 1.5 73 1)"},
      {1004, "1004 Přes vrchol | -1 1 0 4 0: (4 1.5 105 1)"},
      // A tick has its drawn point and the point back on the line.
      {1005, "1005 Čárky s příčkami | -1 1 0 4 0: (4 1 75 1) (1 1 75 2) (4 1 75 1) (1 1 75 2)"},
      // Glyph codes 0 and 256 dropped; 'A' has 6 strokes.
      {1006, "1006 Písmena | -1 1 0 4 0: (2 1 15 6)"},
      // Chains drawn in the reverse of the file's order.
      {1007, "1007 Dva řetězy | 1 0 1 4 0: (2 1 75 1) | 4 1 0 4 0: (4 1.5 75 1)"},
      {1008, "1008 Harmonika | -1 1 0 12 0: (2 0 75 2) (4 1.5 75 1)"},
      {1010, "1010 Mezera zpět | -1 1 0 4 0: (4 1.5 4171 1)"},
      {1012, "none"},  // its only chain has no elements and a negative base symbol
      {1014, "none"},  // a comment between the header and the code
      {1015, "1015 Záporná | -1 1 0 4 0: (0 2 75 1)"},
      {1016, "1016 Plná | -1 1 0 4 0:"},
      {1017, "1017 Záporné pero | -1 1 0 4 0: (4 0 75 1)"},
      {1018, "1018 Dvě nelámané | -1 1 0 4 0: (4 1 73 1) (2 1 73 1)"},
      {1019, "1019 Přes konec | -1 1 0 4 0: (4 1.5 41 1)"},
      {4242, "none"},
  };
  for (const auto& [code, expected] : rows) EXPECT_EQ(Describe(symbols->GetSymbol(code)), expected) << code;
  std::vector<std::string> lines;
  for (const std::string& line : LogLines())
    if (line.starts_with("linzn.txt")) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"linzn.txt: záporná délka ve značce 1015 čtena jako 0",
                                             "linzn.txt: záporná délka ve značce 1017 čtena jako 0"}));
}

TEST_F(LineSymbolTest, KeepsWhatItReadAndReadsAgainOnlyForWhatItLacks) {
  TLiniovaZnacka* first = symbols->GetSymbol(1001);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(symbols->GetSymbol(1001), first);
  EXPECT_EQ(symbols->GetCount(), 1);
  EXPECT_EQ(symbols->GetSymbol(4242), nullptr);
  EXPECT_EQ(symbols->GetCount(), 1);
  TLinioveZnacky none(folder.File("linzn.txt"));
  EXPECT_FALSE(none.Ready());
  EXPECT_EQ(none.GetSymbol(1001), nullptr);
}

TEST_F(LineSymbolTest, ACodeTheFileLacksIsSoughtAgainOnlyOnceTheFileChanged) {
  const std::string file = folder.File("linzn.txt");
  const auto write = [&file](const FileStateRow& row) {
    WriteLinesAt(file,
                 {"[LINIOVAZNACKA]", "KOD=" + std::to_string(row.fileCode), "NAZEV=" + row.symbolName,
                  "[RETEZ]", "[CLANEK]", "VELIKOST=4", "[END]", "[END]", "[END]"},
                 row.second);
  };
  const std::vector<FileStateRow> rows = LackingCodeStates(1020);
  write(rows[0]);
  TLinioveZnacky lacking(file);
  lacking.SetDevice(device.get());
  for (const FileStateRow& row : rows) {
    write(row);
    EXPECT_EQ(lacking.GetSymbol(row.asked) != nullptr, row.found) << row.name;
  }
}

TEST_F(LineSymbolTest, LaysElementsAlongTheLine) {
  const std::vector<TRealPoint> straight = {{0, 0}, {12, 0}};
  const std::vector<TRealPoint> corner = {{0, 0}, {6, 0}, {6, 10}};
  struct Row {
    const char* name;
    std::int32_t code;
    std::vector<TRealPoint> line;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"dashes and the remnant at the end", 1001, straight,
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.500 0.000", "L 9.500 0.000", "M 11.000 0.000", "L 12.000 0.000"}},
      {"no remnant without bit 64", 1002, straight,
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.500 0.000", "L 9.500 0.000"}},
      {"split at the vertex, the rest and its gap carried", 1001, corner,
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.500 0.000", "L 6.000 0.000", "M 6.000 0.000", "L 6.000 3.500",
        "M 6.000 5.000", "L 6.000 9.000"}},
      {"carried whole to the next segment", 1003, corner,
       {"M 0.000 0.000", "L 4.000 0.000", "M 6.000 0.000", "L 6.000 4.000", "M 6.000 5.500", "L 6.000 9.500"}},
      {"drawn whole past the vertex, the overrun carried", 1004, corner,
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.500 0.000", "L 9.500 0.000", "M 6.000 5.000", "L 6.000 9.000"}},
      {"ticks across the line, the walk goes on along it", 1005, {{0, 0}, {14, 0}},
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.000 0.000", "L 5.000 1.000", "M 7.000 0.000", "L 11.000 0.000",
        "M 12.000 0.000", "L 12.000 -1.000"}},
      {"the chain read last is drawn first, on the right side", 1007, {{0, 0}, {6, 0}},
       {"M 0.000 -1.000", "L 2.000 -1.000", "M 3.000 -1.000", "L 5.000 -1.000", "M 0.000 0.000", "L 4.000 0.000",
        "M 5.500 0.000", "L 6.000 0.000"}},
      {"the lead element at both ends, the others between", 1008, straight,
       {"M 0.000 0.000", "L 0.000 2.000", "M 12.000 0.000", "L 12.000 2.000", "M 0.000 0.000", "L 4.000 0.000",
        "M 5.500 0.000", "L 9.500 0.000", "M 11.000 0.000", "L 12.000 0.000"}},
      {"a lead element alone draws nothing", 1009, straight, {}},
      {"gaps that point back", 1010, straight,
       {"M 0.000 0.000", "L 4.000 0.000", "M 2.500 0.000", "L 6.500 0.000", "M 5.000 0.000", "L 6.000 0.000"}},
      {"dashes under 3 px and gaps under 2 px: a plain line", 1011, {{0, 0}, {6, 0}, {6, 10}},
       {"M 0.000 0.000", "L 6.000 0.000", "L 6.000 10.000"}},
      {"a chain without elements: a plain line", 1016, straight, {"M 0.000 0.000", "L 12.000 0.000"}},
      // Dashes of 4 and 2 with gaps of 1, never cut: the first does not fit
      // the 2 left of the first segment.
      {"after a whole copy past a vertex the pattern starts again", 1018, {{0, 0}, {10, 0}, {10, 10}},
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.000 0.000", "L 7.000 0.000", "M 10.000 0.000", "L 10.000 4.000",
        "M 10.000 5.000", "L 10.000 9.000"}},
      {"a whole copy longer than the next segment uses it up, the rest carried", 1018,
       {{0, 0}, {10, 0}, {10, 2}, {20, 2}},
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.000 0.000", "L 7.000 0.000", "M 10.000 0.000", "L 10.000 4.000",
        "M 13.000 2.000", "L 17.000 2.000", "M 18.000 2.000", "L 20.000 2.000"}},
      {"a whole copy longer than the last segment is drawn there whole", 1018, {{0, 0}, {10, 0}, {10, 2}},
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.000 0.000", "L 7.000 0.000", "M 10.000 0.000", "L 10.000 4.000"}},
      {"bit 32 draws the last dash whole past the end without bit 64", 1019, straight,
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.500 0.000", "L 9.500 0.000", "M 11.000 0.000", "L 15.000 0.000"}},
      // The dash split at (6, 0) leaves 3.5 for the last segment.
      {"a split rest over the whole last segment, with bit 64", 1001, {{0, 0}, {6, 0}, {6, 1}},
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.500 0.000", "L 6.000 0.000", "M 6.000 0.000", "L 6.000 1.000"}},
      {"a split rest over the whole last segment, without bit 64", 1002, {{0, 0}, {6, 0}, {6, 1}},
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.500 0.000", "L 6.000 0.000"}},
      {"a split rest that fits the last segment, without bit 64", 1002, {{0, 0}, {6, 0}, {6, 5}},
       {"M 0.000 0.000", "L 4.000 0.000", "M 5.500 0.000", "L 6.000 0.000", "M 6.000 0.000", "L 6.000 3.500"}},
  };
  for (const Row& row : rows) EXPECT_EQ(Drawn(row.code, row.line), row.expected) << row.name;
}

TEST_F(LineSymbolTest, LaysGlyphsWholeEvenAcrossAVertex) {
  // 'A' of ZNACKY1.CHR scaled to 2 mm wide: strokes 2/24 of a font unit.
  const std::vector<std::string> ops = Drawn(1006, {{0, 0}, {4, 0}, {4, 10}});
  std::vector<std::string> starts;
  for (std::size_t i = 0; i < ops.size(); i += 7) starts.push_back(ops[i]);
  // At 0; at 3, running past the vertex at 4; then up the second segment
  // after the overrun and the gap (1 + 1), and every 3 further to its end.
  EXPECT_EQ(starts, (std::vector<std::string>{"M 0.000 0.000", "M 3.000 0.000", "M 4.000 2.000", "M 4.000 5.000",
                                              "M 4.000 8.000"}));
  ASSERT_EQ(ops.size(), 5 * 7u);
  EXPECT_EQ(ops[2], Op('L', 10.0 * 2 / 24, 40.0 * 2 / 24));
  // Up the second segment the glyph is turned a quarter.
  EXPECT_EQ(ops[23], Op('L', 4 - 40.0 * 2 / 24, 5 + 10.0 * 2 / 24));
}

// A glyph is scaled by its size over its width in font units; a glyph of
// no width takes its size a unit.  ZNACKY1.CHR: 'A' is 24 wide with a line
// to (10, 40); 'B' is 0 wide with a line to (0, 10).
TEST_F(LineSymbolTest, ScalesAGlyphByItsWidthAndOneOfNoWidthAsOneUnitWide) {
  struct Row {
    const char* name;
    std::uint8_t code;
    double angle;
    TRealPoint second;
  };
  const double quarter = std::acos(0.0);
  const Row rows[] = {
      {"'A' at 2: 2/24 a unit", 'A', 0, {10.0 * 2 / 24, 40.0 * 2 / 24}},
      {"'B' of no width at 2: 2 a unit", 'B', 0, {0, 20}},
      {"'B' turned a quarter: up becomes left", 'B', quarter, {-20, 0}},
  };
  TPaklicNaPetrklic font;
  ASSERT_TRUE(font.LoadFile(SamplesSymbols() + "/ZNACKY1.CHR"));
  for (const Row& row : rows) {
    TPetrklicZn glyph;
    glyph.Kod = row.code;
    glyph.Velikost = 2;
    glyph.Uhel = row.angle;
    font.BuildPoints(glyph);
    ASSERT_GE(glyph.Points.size(), 2u) << row.name;
    EXPECT_EQ(glyph.Points[1].Draw, 1) << row.name;
    EXPECT_NEAR(glyph.Points[1].Point.X, row.second.X, 1e-9) << row.name;
    EXPECT_NEAR(glyph.Points[1].Point.Y, row.second.Y, 1e-9) << row.name;
  }
}

// Runs of drawn and empty pixels along a pixel row, from column 0.
std::vector<int> Runs(platform::Canvas& canvas, int row, int width) {
  std::vector<int> runs;
  bool dark = canvas.Pixel(0, row) != 0xFFFFFFu;
  int length = 0;
  for (int x = 0; x < width; ++x) {
    const bool here = canvas.Pixel(x, row) != 0xFFFFFFu;
    if (here != dark) {
      runs.push_back(dark ? length : -length);
      length = 0;
      dark = here;
    }
    ++length;
  }
  runs.push_back(dark ? length : -length);
  return runs;
}

TEST_F(LineSymbolTest, PaintsDashesOfFortyAndGapsOfFifteenPixels) {
  // 1 mm is 10 pixels; the line runs along pixel row 100 for 120 pixels.
  const std::pair<std::int32_t, std::vector<int>> rows[] = {
      {1001, {40, -15, 40, -15, 10, -80}},
      {1002, {40, -15, 40, -105}},
  };
  for (const auto& [code, expected] : rows) {
    auto picture = MakeMapDevice(200, 200);
    symbols->GetSymbol(code)->Draw(*picture, {}, false, {{0, 10}, {12, 10}}, 3);
    EXPECT_EQ(Runs(*picture->GetHandle(), 100, 200), expected) << code;
    EXPECT_EQ(picture->GetPen()->Width, 1) << code;
  }
}

TEST_F(LineSymbolTest, ColoursAndPensOfChains) {
  struct Row {
    std::int32_t code;
    std::uint32_t colour;
    int width;
  };
  const Row rows[] = {
      {1013, ColourOfCode(3), 1},  // BARVA -1: the line's colour
      {1001, ColourOfCode(3), 1},  // no BARVA: the same
      {1007, ColourOfCode(4), 1},  // the chain drawn last has BARVA 4
      {1011, ColourOfCode(3), 2},  // too small: plain, in its own pen
      {1016, ColourOfCode(3), 3},
  };
  for (const Row& row : rows) {
    Drawn(row.code, {{0, 0}, {12, 0}});
    EXPECT_EQ(device->GetPen()->Color, row.colour) << row.code;
    EXPECT_EQ(device->GetPen()->Width, row.width) << row.code;
  }
}

TEST_F(LineSymbolTest, ClippingChangesNoPixel) {
  // A zigzag that leaves the picture and comes back: segments wholly
  // outside are passed over, those inside keep the phase.
  const std::vector<TRealPoint> line = {{-300, 5}, {-2, 5}, {8, 15}, {30, 15}, {8, 2}, {15, -40}, {18, 8}};
  for (std::int32_t code : {1001, 1005, 1006, 1010}) {
    auto clipped = MakeMapDevice(200, 200);
    auto whole = MakeMapDevice(200, 200);
    TLiniovaZnacka* symbol = symbols->GetSymbol(code);
    symbol->Draw(*clipped, {0, 0, 20, 20}, true, line, 3);
    symbol->Draw(*whole, {}, false, line, 3);
    platform::Canvas& canvas = *whole->GetHandle();
    EXPECT_EQ(PixelsBreaking(*clipped->GetHandle(),
                             [&canvas](int x, int y) { return canvas.Pixel(x, y) != 0xFFFFFFu; }),
              "")
        << code;
  }
}

// A bitmap device that counts the moves and lines it is asked for and
// gives up past a limit, so that a walk over every dash of a huge line ends
// the test instead of running for minutes.
class TCountingDevice : public TBitmapDevice {
 public:
  long long Calls = 0;
  long long Limit = 100000;
  void MoveTo(double x, double y) override {
    Count();
    TBitmapDevice::MoveTo(x, y);
  }
  void LineTo(double x, double y) override {
    Count();
    TBitmapDevice::LineTo(x, y);
  }

 private:
  void Count() {
    if (++Calls > Limit) throw std::runtime_error("more than " + std::to_string(Limit) + " device calls");
  }
};

// Every symbol drawn along the line with clipping to the picture gives the
// pixels of the walk that draws every element.
std::string ClippedAgainstWhole(TLinioveZnacky& symbols, const std::vector<TRealPoint>& line) {
  std::string wrong;
  for (std::int32_t code : {1001, 1005, 1006, 1008, 1010, 1018, 1019}) {
    auto clipped = MakeMapDevice<TCountingDevice>(200, 200);
    auto whole = MakeMapDevice(200, 200);
    TLiniovaZnacka* symbol = symbols.GetSymbol(code);
    symbol->Draw(*clipped, {0, 0, 20, 20}, true, line, 3);
    symbol->Draw(*whole, {}, false, line, 3);
    platform::Canvas& canvas = *whole->GetHandle();
    const std::string pixels = PixelsBreaking(*clipped->GetHandle(), [&canvas](int x, int y) {
      return canvas.Pixel(x, y) != 0xFFFFFFu;
    });
    if (!pixels.empty()) wrong += " " + std::to_string(code) + ":" + pixels;
  }
  return wrong;
}

TEST_F(LineSymbolTest, LongSegmentsThroughThePictureKeepEveryPixel) {
  // 1 world unit is 10 px, the picture 20 x 20 units; segments up to 3000
  // units long, so that the walk over all of them stays within the device's
  // coordinates.
  const std::pair<const char*, std::vector<TRealPoint>> rows[] = {
      {"across, left to right", {{-1500, 7.3}, {1500, 7.3}}},
      {"across, right to left", {{1500, 12.1}, {-1500, 12.1}}},
      {"up through it", {{9.7, -1400}, {9.7, 1450}}},
      {"slanting through it", {{-1000, -990.6}, {1010, 1020.3}}},
      {"slanting the other way", {{1200.2, -1180}, {-1100, 1121.9}}},
      {"from inside out", {{5, 5}, {2900, 30}}},
      // Gaps that point back move the dashes of 1010 on by 2.5 a period of
      // 5.5: they reach the picture from 100 before it.
      {"starting a little before it", {{-100, 9.1}, {2900, 9.1}}},
      {"from far away to inside", {{-2500, 2100}, {11, 9}}},
      {"touching a corner", {{-1500, -1479.5}, {1500, 1520.5}}},
      {"long, short and long again", {{-1200, 3}, {10, 3}, {10, 11}, {2000, 11}, {-900, 15}}},
      {"beside it, never inside", {{-1500, -2}, {1500, -2}}},
  };
  for (const auto& [name, line] : rows) EXPECT_EQ(ClippedAgainstWhole(*symbols, line), "") << name;
}

TEST_F(LineSymbolTest, AHugeLineCostsWhatThePictureShows) {
  // -5.5e8 is 10^8 periods of 5.5 before 0, so that the pixels are those of
  // the short line of the same phase.
  struct Row {
    const char* name;
    std::vector<TRealPoint> huge;
    std::vector<TRealPoint> sameHere;
  };
  const Row rows[] = {
      {"across", {{-5.5e8, 10}, {1e9, 10}}, {{-11, 10}, {31, 10}}},
      {"up", {{10, -5.5e8}, {10, 1e9}}, {{10, -11}, {10, 31}}},
      {"a corner past the picture", {{-5.5e8, 10}, {1e9, 10}, {1e9, 20}}, {{-11, 10}, {31, 10}}},
      {"a coordinate far beyond what the pattern can step", {{-5.5e8, 10}, {1e30, 10}}, {{-11, 10}, {31, 10}}},
  };
  for (const Row& row : rows) {
    auto huge = MakeMapDevice<TCountingDevice>(200, 200);
    auto same = MakeMapDevice(200, 200);
    TLiniovaZnacka* symbol = symbols->GetSymbol(1001);
    ASSERT_NO_THROW(symbol->Draw(*huge, {0, 0, 20, 20}, true, row.huge, 3)) << row.name;
    symbol->Draw(*same, {0, 0, 20, 20}, true, row.sameHere, 3);
    // The picture is 20 units, about four periods; what lies within a
    // period and a dash of it on either side may be drawn too.
    EXPECT_LE(huge->Calls, 40) << row.name;
    platform::Canvas& canvas = *same->GetHandle();
    EXPECT_EQ(PixelsBreaking(*huge->GetHandle(), [&canvas](int x, int y) { return canvas.Pixel(x, y) != 0xFFFFFFu; }),
              "")
        << row.name;
  }
}

}  // namespace
