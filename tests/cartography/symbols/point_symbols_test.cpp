#include "cartography/symbols/point_symbols.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/files.h"
#include "render/palette/palette.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"
#include "tests/cartography/symbols/sample_symbols.h"
#include "tests/cartography/symbols/symbol_fixture.h"

namespace {

class PointSymbolTest : public SymbolTest {
 protected:
  void SetUp() override {
    SymbolTest::SetUp();
    device = MakeRecordingDevice(100, 100);
    symbols = std::make_unique<TLumaRSymbols>(SymbolLibraryFile("Fonty.txt"));
    symbols->SetDevice(device.get());
  }
  std::vector<std::string> Drawn(std::int32_t code, double direction = 0) {
    device->Ops.clear();
    symbols->DrawSymbol(2, code, direction, 50, 50);
    return device->Ops;
  }

  std::unique_ptr<TRecordingDevice> device;
  std::unique_ptr<TLumaRSymbols> symbols;
};

TEST_F(PointSymbolTest, KeepsTheListsUsableLinesInFileOrder) {
  std::vector<std::string> entries;
  for (TElement* child : symbols->Children()) {
    const auto& entry = *DynamicCast<TBGIFontFile>(child);
    entries.push_back(std::to_string(entry.Number) + " " + entry.Name + " " + std::to_string(entry.HeightMode) +
                      " " + Op('M', entry.Size, entry.PenSize));
  }
  // Number 0 and size 1e-5 dropped; the lower-case "d" is mode 1.
  EXPECT_EQ(entries, (std::vector<std::string>{"1 ZNACKY1.CHR 1 M 2.000 0.250", "2 ZNACKY2.CHR 1 M 3.000 0.100",
                                               "3 CHYBI.CHR 2 M 2.000 0.200", "2 ZNACKY1.CHR 0 M 5.000 0.300",
                                               "5 NOSIG.CHR 1 M 2.000 0.200"}));
  EXPECT_EQ(symbols->FindFontFile(2)->Name, "ZNACKY2.CHR");  // the first of two
  EXPECT_EQ(symbols->FindFontFile(0), nullptr);
  TLumaRSymbols none(folder.File("Fonty.txt"));
  none.SetDevice(device.get());
  none.DrawSymbol(2, 1065, 0, 50, 50);
  EXPECT_TRUE(device->Ops.empty());
}

TEST_F(PointSymbolTest, DrawsTheCharacterOfTheEntryTheCodeNames) {
  // Mode 1 and flag 8: one font unit is Size / 40.
  const SampleStroke second = SampleGlyphOf('A', 4).Strokes[1];
  const SampleStroke third = SampleGlyphOf('A', 4).Strokes[2];
  struct Row {
    const char* name;
    std::int32_t code;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"1065: 'A' of ZNACKY1.CHR at 2/40", 1065,
       {"M 50.000 50.000", "M 50.000 50.000", "L 50.500 52.000", "L 51.000 50.000", "M 50.250 51.000",
        "L 50.750 51.000", "M 51.200 50.000"}},
      {"2065: character 65 of entry 2, znacky2.chr found in lower case", 2065,
       {"M 50.000 50.000", "M 50.000 50.000", Op('L', 50 + second.X * 0.075, 50 + second.Y * 0.075),
        Op('L', 50 + third.X * 0.075, 50 + third.Y * 0.075), "M 50.450 50.000"}},
      {"1066: a glyph of width 0", 1066, {"M 50.000 50.000", "M 50.000 50.000", "L 50.000 50.500"}},
      {"1067: a character the font lacks", 1067, {"M 50.000 50.000"}},
      {"999: entry 0 never exists", 999, {}},
      {"2300: no character of one byte", 2300, {}},
      {"5065: a file without the signature", 5065, {}},
      {"3065: a missing file", 3065, {}},
      {"-1065: a negative code", -1065, {}},
  };
  for (const Row& row : rows) EXPECT_EQ(Drawn(row.code), row.expected) << row.name;
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Nelze otevřít soubor vektorového fontu: " + SymbolLibraryFile("CHYBI.CHR")});
}

TEST_F(PointSymbolTest, DrawsInTheColourOfTheCodeWithTheEntrysPen) {
  // 0.25 mm at virtual scale 12000 is 3 world units, 3 pixels.
  device->Projection()->SetVirtualScale(12000);
  Drawn(1065);
  EXPECT_EQ(device->GetPen()->Width, 3);
  EXPECT_EQ(device->GetPen()->Color, ColourOfCode(2));
}

TEST_F(PointSymbolTest, TheElementsAngleTurnsTheGlyph) {
  TSpaceEntity element;
  element.SetMinX(20);
  element.SetMinY(30);
  element.SetMaxX(20);
  element.SetMaxY(30);
  element.Angle = M_PI / 2;
  symbols->DrawElementSymbol(&element, 1065);
  EXPECT_EQ(device->Ops, (std::vector<std::string>{"M 20.000 30.000", "M 20.000 30.000", "L 18.000 30.500",
                                                    "L 20.000 31.000", "M 19.000 30.250", "L 19.000 30.750",
                                                    "M 20.000 31.200"}));
}

TEST_F(PointSymbolTest, AFailedLoadForgetsTheEntryAndPathItFreed) {
  ASSERT_EQ(Drawn(1065).size(), 7u);
  EXPECT_TRUE(Drawn(5065).empty());
  EXPECT_EQ(symbols->Font()->LoadedEntry(), -1);
  EXPECT_FALSE(symbols->Font()->HasName());
  EXPECT_EQ(Drawn(1065).size(), 7u);
  EXPECT_EQ(symbols->Font()->GetName(), SymbolLibraryFile("ZNACKY1.CHR"));
}

TEST_F(PointSymbolTest, ADamagedFontFileIsReportedOnceUntilItChanges) {
  SetSymbolLibraryDirectory(folder.Path());
  const std::string good = BuildStrokeFont('A', 'A', 40, true, {SampleLetterA()});
  std::string damaged = good;
  damaged[129] = '\x50';  // 80 characters in a file holding one
  const auto write = [this](const std::string& name, const std::string& bytes, int second) {
    std::ofstream(folder.File(name), std::ios::binary) << bytes;
    std::filesystem::last_write_time(folder.File(name), std::filesystem::file_time_type(std::chrono::seconds(second)));
  };
  platform::WriteTextLines(folder.File("Fonty.txt"), {"1 JEDNA.CHR D 2 0.25", "2 DVA.CHR D 2 0.25"});
  write("JEDNA.CHR", damaged, 1000);
  write("DVA.CHR", damaged, 1000);
  TLumaRSymbols library(folder.File("Fonty.txt"));
  library.SetDevice(device.get());
  const std::string first = "Chyba v načtení vektorového fontu " + SymbolLibraryFile("JEDNA.CHR");
  const std::string second = "Chyba v načtení vektorového fontu " + SymbolLibraryFile("DVA.CHR");
  struct Row {
    const char* name;
    std::function<void()> change;
    std::vector<std::string> boxes;
    bool drawn;
  };
  const Row rows[] = {
      {"symbols of two damaged files by turns: a box for each", [] {}, {first, second}, false},
      {"asked again: nothing more", [] {}, {first, second}, false},
      {"the first written again, as damaged: its box again", [&] { write("JEDNA.CHR", damaged, 2000); },
       {first, second, first}, false},
      {"the first mended: its symbols drawn", [&] { write("JEDNA.CHR", good, 3000); }, {first, second, first}, true},
  };
  for (const Row& row : rows) {
    row.change();
    device->Ops.clear();
    for (int i = 0; i < 256; ++i) library.DrawSymbol(2, i % 2 ? 2065 : 1065, 0, 50, 50);
    EXPECT_EQ(Boxes(), row.boxes) << row.name;
    EXPECT_EQ(!device->Ops.empty(), row.drawn) << row.name;
  }
}

}  // namespace
