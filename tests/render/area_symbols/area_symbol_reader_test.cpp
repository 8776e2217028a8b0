#include "render/area_symbols/area_symbol_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "platform/files.h"
#include "render/palette/palette.h"
#include "spatial/geometry/projection.h"
#include "tests/render/symbol_fixture.h"

namespace {

using Rings = std::vector<std::vector<TDevicePoint>>;

class AreaSymbolTest : public SymbolLibraryTest {
 protected:
  void SetUp() override {
    SymbolLibraryTest::SetUp();
    device = MakeMapDevice(80, 80);
    symbols = std::make_unique<TPlosneZnacky>(SymbolLibraryFile("Srafy.txt"));
    symbols->SetDevice(device.get());
  }
  // Paints the symbol over the rings on a fresh picture of that size.
  std::unique_ptr<TRecordingDevice> Painted(std::int32_t code, const Rings& rings, int width = 80, int height = 80) {
    auto picture = MakeMapDevice(width, height);
    std::vector<TDevicePoint> points;
    std::vector<std::int32_t> counts;
    for (const auto& ring : rings) {
      points.insert(points.end(), ring.begin(), ring.end());
      counts.push_back(static_cast<std::int32_t>(ring.size()));
    }
    TPlosnaZnacka* symbol = symbols->GetSymbol(code);
    if (symbol) symbol->Draw(*picture, points.data(), counts.data(), static_cast<std::int32_t>(counts.size()));
    return picture;
  }

  std::unique_ptr<TRecordingDevice> device;
  std::unique_ptr<TPlosneZnacky> symbols;
};

// "direction: (width spacing colour dashes)..." per layer in drawing order.
std::string Describe(const TPlosnaZnacka* symbol) {
  if (!symbol) return "none";
  std::ostringstream text;
  text << symbol->Kod << " " << symbol->Nazev << " bg " << symbol->Podklad << (symbol->NoHatching ? " plain" : "");
  for (const auto& layer : symbol->Layers) {
    text << " | " << int(layer->Direction) << ":";
    for (const auto& set : layer->Sets) {
      text << " (" << set->Sirka << " " << set->Vzdalenost << " " << set->Barva;
      if (set->Dashed) text << " " << set->D1 << "/" << set->DelkaVzoru << "/" << set->D2;
      text << ")";
    }
  }
  return text.str();
}

TEST_F(AreaSymbolTest, ReadsLayersAndSetsInPixelsAlongTheirAxes) {
  const std::pair<std::int32_t, const char*> rows[] = {
      {2001, "2001 Vodorovné bg 0 | 0: (1 3 13)"},
      {2002, "2002 Svislé bg 0 | 2: (1 3 13)"},
      // Diagonal: 1 and 3 px times the root of 2, rounded; 0 becomes 1;
      // then the width one less and the spacing one more.
      {2003, "2003 Šikmé bg 0 | 1: (0 5 13)"},
      {2004, "2004 Šikmé záporné bg 0 | 1: (0 5 13)"},
      {2005, "2005 Šikmé zpět bg 0 | 3: (0 5 13)"},
      {2006, "2006 Obrácené bg 0 | 0: (1 3 13)"},
      {2007, "2007 Dvě sady bg 0 | 0: (2 1 11) (1 1 13)"},
      {2008, "2008 Dvě vrstvy bg 0 | 2: (1 3 11) | 0: (1 3 13)"},
      {2009, "2009 Čárkované bg 0 | 0: (1 3 13 2/5/3)"},
      {2010, "2010 Jen podklad bg 9 plain"},
      {2011, "2011 Barvou podkladu bg 9 plain | 0: (1 3 9)"},
      // 0.04 mm is 0.4 px: a positive length is at least 1 px; 0 is dropped.
      {2012, "2012 Tenká bg 0 | 0: (1 3 13)"},
      // The set read before UHEL keeps the axes of direction 0.
      {2013, "2013 Úhel po sadě bg 0 | 2: (1 3 13)"},
      {2014, "2014 Záporná bg 9"},
      {2015, "none"},
      {2016, "2016 Obří úhel bg 0 | 2: (1 3 13)"},
      {999, "none"},
      {4242, "none"},
  };
  for (const auto& [code, expected] : rows) EXPECT_EQ(Describe(symbols->GetSymbol(code)), expected) << code;
  std::vector<std::string> lines;
  for (const std::string& line : LogLines())
    if (line.starts_with("Srafy.txt")) lines.push_back(line);
  EXPECT_EQ(lines, std::vector<std::string>{"Srafy.txt: záporná délka ve značce 2014 čtena jako 0"});
}

TEST_F(AreaSymbolTest, ConvertsAcrossAndAlongTheHatchLinesByTheirOwnAxes) {
  // Twice as many pixels a millimetre down the page as across it.
  device->Page()->SetResolution(10000, 20000);
  device->Projection()->Calculate({4, 2}, device->Page(), 1000);
  device->Projection()->SetVirtualScale(1000);
  EXPECT_EQ(Describe(symbols->GetSymbol(2009)), "2009 Čárkované bg 0 | 0: (2 6 13 2/5/3)");
  EXPECT_EQ(Describe(symbols->GetSymbol(2002)), "2002 Svislé bg 0 | 2: (1 3 13)");
  EXPECT_EQ(symbols->GetSymbol(2009), symbols->GetSymbol(2009));
  TPlosneZnacky none(folder.File("Srafy.txt"));
  EXPECT_EQ(none.GetSymbol(2001), nullptr);
}

TEST_F(AreaSymbolTest, ACodeTheFileLacksIsSoughtAgainOnlyOnceTheFileChanged) {
  const std::string file = folder.File("Srafy.txt");
  const std::vector<FileStateRow> rows = LackingCodeStates(2020);
  TPlosneZnacky lacking(file);
  lacking.SetDevice(device.get());
  for (const FileStateRow& row : rows) {
    WriteLinesAt(file,
                 {"[PLOSNAZNACKA]", "KOD=" + std::to_string(row.fileCode), "NAZEV=" + row.symbolName,
                  "[VRSTVASRAF]", "[SRAFA]", "SIRKA=0.1", "BARVA=13", "[END]", "[END]", "[END]"},
                 row.second);
    EXPECT_EQ(lacking.GetSymbol(row.asked) != nullptr, row.found) << row.name;
  }
}

// A KOD line later in a symbol's block gives its code: the symbol is kept
// while that code is 0 or more.
TEST_F(AreaSymbolTest, ASymbolIsKeptWhileItsCodeIsZeroOrMore) {
  const std::string file = folder.File("Srafy.txt");
  const std::pair<int, int> rows[] = {{3001, 0}, {3002, -1}, {3003, 1}};
  std::vector<std::string> lines;
  for (const auto& [asked, code] : rows)
    for (const std::string& line : {std::string("[PLOSNAZNACKA]"), "KOD=" + std::to_string(asked),
                                    "KOD=" + std::to_string(code), std::string("[VRSTVASRAF]"), std::string("[SRAFA]"),
                                    std::string("SIRKA=0.1"), std::string("BARVA=13"), std::string("[END]"),
                                    std::string("[END]"), std::string("[END]")})
      lines.push_back(line);
  WriteLinesAt(file, lines, 1000);
  TPlosneZnacky own(file);
  own.SetDevice(device.get());
  for (const auto& [asked, code] : rows) {
    const TPlosnaZnacka* symbol = own.GetSymbol(asked);
    EXPECT_EQ(symbol ? symbol->Kod : -2, code >= 0 ? code : -2) << asked;
  }
}

const Rings kSquare = {{{10, 10}, {50, 10}, {50, 50}, {10, 50}}};
const Rings kSquareWithHole = {{{10, 10}, {50, 10}, {50, 50}, {10, 50}}, {{20, 20}, {40, 20}, {40, 40}, {20, 40}}};

// Scan lines run from the largest coordinate (50) down to one above the
// smallest (11); spans reach from the first crossing to the second inclusive.
bool InSquare(int x, int y) { return x >= 10 && x <= 50 && y >= 11 && y <= 50; }
bool InSquareWithHole(int x, int y) {
  return InSquare(x, y) && !(x > 20 && x < 40 && y >= 21 && y <= 40);
}

TEST_F(AreaSymbolTest, PaintsHatchLinesInBandsAndDiagonalStripes) {
  struct Row {
    const char* name;
    std::int32_t code;
    Rings rings;
    std::function<bool(int, int)> covered;
  };
  const Row rows[] = {
      {"horizontal: 1 px every 4th row from the top line", 2001, kSquare,
       [](int x, int y) { return InSquare(x, y) && (50 - y) % 4 == 0; }},
      {"180 degrees is horizontal", 2006, kSquare, [](int x, int y) { return InSquare(x, y) && (50 - y) % 4 == 0; }},
      {"vertical: every 4th column from the right", 2002, kSquare,
       [](int x, int y) { return x >= 11 && x <= 50 && y >= 10 && y <= 50 && (50 - x) % 4 == 0; }},
      {"45: one pixel every 5, moving right each line up", 2003, kSquare,
       [](int x, int y) { return InSquare(x, y) && (x + 15000 + (50 - y)) % 5 == 0; }},
      {"135: the other way", 2005, kSquare,
       [](int x, int y) { return InSquare(x, y) && (x + 15000 - (50 - y)) % 5 == 0; }},
      {"the hole stays empty", 2001, kSquareWithHole,
       [](int x, int y) { return InSquareWithHole(x, y) && (50 - y) % 4 == 0; }},
      {"dashes: gap 2, dash 5 and one, gap 3 from each multiple of 10", 2009, kSquare,
       [](int x, int y) { return InSquare(x, y) && (50 - y) % 4 == 0 && x % 10 >= 2 && x % 10 <= 7; }},
      {"every hatch in the background's colour: background only", 2011, kSquare, nullptr},
  };
  for (const Row& row : rows) {
    auto picture = Painted(row.code, row.rings);
    platform::Canvas& canvas = *picture->GetHandle();
    if (!row.covered) {
      for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
          ASSERT_TRUE(canvas.Pixel(x, y) == 0xFFFFFFu || canvas.Pixel(x, y) == ColourOfCode(9))
              << row.name << " at " << x << "," << y;
      EXPECT_EQ(canvas.Pixel(30, 30), ColourOfCode(9)) << row.name;
      continue;
    }
    EXPECT_EQ(PixelsBreaking(canvas, row.covered), "") << row.name;
  }
}

TEST_F(AreaSymbolTest, SetsTakeTurnsFromTheLastReadAndLayersFromTheLast) {
  auto sets = Painted(2007, kSquare);
  // Two rows of 11, a gap, one row of 13, a gap, from line 50 down.
  for (int y = 11; y <= 50; ++y) {
    const int phase = (50 - y) % 5;
    const std::uint32_t expected = phase < 2 ? ColourOfCode(11) : phase == 3 ? ColourOfCode(13) : 0xFFFFFFu;
    EXPECT_EQ(sets->GetHandle()->Pixel(30, y), expected) << "row " << y;
  }
  auto layers = Painted(2008, kSquare);
  // The vertical layer was read last and is drawn first: where the two
  // cross, the horizontal one lies on top.
  EXPECT_EQ(layers->GetHandle()->Pixel(46, 46), ColourOfCode(13));
  EXPECT_EQ(layers->GetHandle()->Pixel(46, 45), ColourOfCode(11));
  EXPECT_EQ(layers->GetHandle()->Pixel(45, 46), ColourOfCode(13));
}

TEST_F(AreaSymbolTest, PaintsTheBackgroundOutsideTheHoles) {
  auto picture = Painted(2010, kSquareWithHole);
  EXPECT_EQ(picture->GetHandle()->Pixel(15, 15), ColourOfCode(9));
  EXPECT_EQ(picture->GetHandle()->Pixel(30, 30), 0xFFFFFFu);
  EXPECT_EQ(picture->GetHandle()->Pixel(60, 60), 0xFFFFFFu);
}

TEST_F(AreaSymbolTest, DashesOfTouchingAreasLineUp) {
  auto apart = Painted(2009, {{{3, 10}, {33, 10}, {33, 50}, {3, 50}}, {{33, 10}, {67, 10}, {67, 50}, {33, 50}}});
  auto whole = Painted(2009, {{{3, 10}, {67, 10}, {67, 50}, {3, 50}}});
  // Along a hatch row the dashes fall where one area's would.
  for (int x = 3; x <= 67; ++x) {
    if (x == 33) continue;
    EXPECT_EQ(apart->GetHandle()->Pixel(x, 50), whole->GetHandle()->Pixel(x, 50)) << x;
  }
}

TEST_F(AreaSymbolTest, DiagonalStripesKeepTheirPhasePastTheCounterStart) {
  // 16,000 lines: the counter of the 135 degree scan falls below zero.
  constexpr int kHeight = 16010;
  auto picture = Painted(2005, {{{0, 5}, {6, 5}, {6, kHeight - 1}, {0, kHeight - 1}}}, 8, kHeight);
  const int top = kHeight - 1;
  EXPECT_EQ(PixelsBreaking(*picture->GetHandle(),
                           [top](int x, int y) {
                             const long long shift = 15000LL - (top - y);
                             return x <= 6 && y >= 6 && y <= top && ((x + shift) % 5 + 5) % 5 == 0;
                           }),
            "");
}

TEST_F(AreaSymbolTest, LengthsStopAtTheirLargestPixelCount) {
  // 10^12 mm is far more pixels than an integer holds: every length stops at
  // 536,870,911, so that a dash period of three of them still fits one.
  const std::string huge = "1000000000000";
  const auto symbol = [&huge](int code, const std::string& angle, const std::vector<std::string>& set) {
    std::vector<std::string> lines = {"[PLOSNAZNACKA]", "KOD=" + std::to_string(code), "NAZEV=Obří",
                                      "[VRSTVASRAF]", "UHEL=" + angle, "[SRAFA]", "BARVA=13"};
    lines.insert(lines.end(), set.begin(), set.end());
    lines.insert(lines.end(), {"[END]", "[END]", "[END]"});
    return lines;
  };
  std::vector<std::string> file;
  for (const auto& more :
       {symbol(3001, "0", {"SIRKA=0.1", "VZDALENOST=0.3", "D1=" + huge, "DELKAVZORU=" + huge, "D2=" + huge}),
        symbol(3002, "0", {"SIRKA=0.1", "VZDALENOST=0.3", "DELKAVZORU=" + huge, "D2=" + huge}),
        symbol(3003, "0", {"SIRKA=" + huge, "VZDALENOST=" + huge}),
        symbol(3004, "45", {"SIRKA=" + huge, "VZDALENOST=" + huge})})
    file.insert(file.end(), more.begin(), more.end());
  platform::WriteTextLines(folder.File("Srafy.txt"), file);
  symbols = std::make_unique<TPlosneZnacky>(folder.File("Srafy.txt"));
  symbols->SetDevice(device.get());
  struct Row {
    const char* name;
    std::int32_t code;
    const char* read;
    std::function<bool(int, int)> covered;
  };
  const Row rows[] = {
      {"a dash beyond its gap: none in sight", 3001, "3001 Obří bg 0 | 0: (1 3 13 536870911/536870911/536870911)",
       [](int, int) { return false; }},
      {"a dash from each line's start: whole hatch lines", 3002, "3002 Obří bg 0 | 0: (1 3 13 0/536870911/536870911)",
       [](int x, int y) { return InSquare(x, y) && (50 - y) % 4 == 0; }},
      {"one band over the whole area", 3003, "3003 Obří bg 0 | 0: (536870911 536870911 13)", InSquare},
      // Times the root of 2: 759,250,124, then one less and one more.
      {"one diagonal stripe over the whole area", 3004, "3004 Obří bg 0 | 1: (759250123 759250125 13)", InSquare},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Describe(symbols->GetSymbol(row.code)), row.read) << row.name;
    EXPECT_EQ(PixelsBreaking(*Painted(row.code, kSquare)->GetHandle(), row.covered), "") << row.name;
  }
}

}  // namespace
