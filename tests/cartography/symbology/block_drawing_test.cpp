// A block written record by record, read by the block reader and drawn by
// the default symbology script under the universal interpret on a 254-dpi
// map at 1 : 1000.  The model holds the block's coordinates with both signs
// turned; the map shows model X -20 .. 0 and Y -20 .. 0, so the block point
// (x, y) lies at pixel ((20 - x) * 10, y * 10).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "block/props/lumar_props.h"
#include "cartography/cartography_classes.h"
#include "cartography/symbology/general_interprets.h"
#include "cartography/symbols/stroke_font.h"
#include "platform/canvas.h"
#include "render/palette/palette.h"
#include "render/render_classes.h"
#include "tests/block/reading/reading_fixture.h"
#include "tests/cartography/symbols/symbol_fixture.h"

namespace {

class BlockDrawingTest : public ReadingTest {
 protected:
  void SetUp() override {
    ReadingTest::SetUp();
    RegisterRenderClasses();
    RegisterCartographyClasses();
    SetSymbolLibraryDirectory(SamplesSymbols());
    SetStrokeFontDirectory(SamplesSymbols() + "/fonts");
  }
  void TearDown() override {
    RestoreProgramPalette();
    SetStrokeFontDirectory("");
    ReadingTest::TearDown();
  }

  // Points, a symbol line, a hatched area with a hole and one text.
  void WriteBlock(const char* info, const Bytes& text) {
    files.Raw(kInfoFileName, Bytes(info, info + std::strlen(info)));
    files.PutBytes(kPointFileName, 0, TPointRecord::Dummy());
    files.Put(kPointFileName, 1, TPointRecord{.Number = 1, .Colour = 4, .Symbol = 0, .X = 17, .Y = 3});
    files.Put(kPointFileName, 2, TPointRecord{.Number = 2, .Colour = 4, .Symbol = 1065, .X = 3, .Y = 17});
    files.Put(kLineFileName, 0, TLineRecord{});
    const std::int32_t first = files.Coords({{18, 10}, {2, 10}});
    files.Put(kLineFileName, 1,
              TLineRecord{.Number = 1, .Colour = 4, .Symbol = 1001, .FirstVertex = first, .LastVertex = first + 1,
                          .Box = {18, 10, 2, 10}});
    // The outline lines have colour 0: they are not drawn themselves.
    SquareLine(files, 2, 11, 8, 1);
    SquareLine(files, 3, 13, 4, 2, 1);
    files.PutBytes(kAreaFileName, 0, TAreaRecord::Dummy());
    TAreaRecord outer = AreaRecord(1, 2, 0, {12, 12});
    outer.Symbol = 2001;
    files.Put(kAreaFileName, 1, outer);
    files.Put(kAreaFileName, 2, AreaRecord(2, 3, 1, {14, 14}));
    files.PutBytes(kTextBoxFileName, 0, TTextBoxRecord::Dummy());
    files.Put(kTextBoxFileName, 1,
              TTextBoxRecord{.Number = 1, .TextAtrib = taTxtZmena, .X = 8, .Y = 6, .Height = 5, .WidthCoef = 1,
                             .Colour = 13});
    Bytes ttx{'0', '\r', '\n'};
    ttx.insert(ttx.end(), text.begin(), text.end());
    files.Raw(kTextFileName, ttx);
  }
};

TEST_F(BlockDrawingTest, TheDefaultScriptDrawsABlockInEitherCodePage) {
  struct Region {
    const char* Name;
    int Left, Top, Right, Bottom;  // pixels
    platform::ColorValue Colour;   // of every pixel drawn; 1 any
    bool Drawn;
  };
  const Region regions[] = {
      {"point cross", 28, 28, 32, 32, ColourOfCode(4), true},
      {"point symbol", 150, 150, 190, 190, 1, true},
      {"hatched ring of the area", 12, 112, 28, 188, ColourOfCode(13), true},
      {"the hole stays empty", 33, 133, 67, 167, 1, false},
      {"symbol line", 20, 99, 180, 101, ColourOfCode(4), true},
      {"text", 110, 0, 199, 70, ColourOfCode(13), true},
      {"nothing between", 100, 115, 140, 145, 1, false},
  };
  struct Row {
    const char* Name;
    const char* Info;
    Bytes Text;
  };
  const Row rows[] = {
      {"code page 0", "CODEPAGE=0\r\n", {'A', 'b'}},
      {"code page 1250", "CODEPAGE=1250\r\n", {0xE8, 'b'}},
  };
  for (const Row& row : rows) {
    world->ObjectModel()->Clear();
    WriteBlock(row.Info, row.Text);
    auto reader = Reader();
    TOwnerEntity model;
    model.AddElement(reader->ReadAreas());
    model.AddElement(reader->ReadLines());
    model.AddElement(reader->ReadPoints());
    model.AddElement(reader->ReadTexts());
    ASSERT_EQ(model.GetCount(), 4) << row.Name;

    auto device = MakeMapDevice(200, 200);
    device->Projection()->Calculate({-10, -10}, device->Page(), 1000);
    device->Projection()->SetVirtualScale(1000);
    DrawWithDefaultScript(model, *device);

    platform::Canvas& canvas = *device->GetHandle();
    for (const Region& region : regions) {
      bool drawn = false;
      std::set<platform::ColorValue> wrong;
      for (int y = region.Top; y <= region.Bottom; ++y)
        for (int x = region.Left; x <= region.Right; ++x)
          if (const platform::ColorValue pixel = canvas.Pixel(x, y); pixel != 0xFFFFFF) {
            drawn = true;
            if (region.Colour != 1 && pixel != region.Colour) wrong.insert(pixel);
          }
      EXPECT_EQ(drawn, region.Drawn) << row.Name << ": " << region.Name;
      EXPECT_TRUE(wrong.empty()) << row.Name << ": " << region.Name;
    }
    bool gap = false;
    for (int x = 22; x < 178; ++x) gap = gap || canvas.Pixel(x, 100) == 0xFFFFFF;
    EXPECT_TRUE(gap) << row.Name << ": the line is dashed";
  }
}

// The general area interpret fills area 1 (the ring between block squares
// 11..19 and 13..17: pixels 10..90 by 110..190 less 30..70 by 130..170) in
// the colour code its attribute record holds, and leaves the area where the
// block filed it, however often it draws it.
TEST_F(BlockDrawingTest, DrawingAnAreaOfLinesLeavesItFiledAndSeesItsRecord) {
  WriteBlock("CODEPAGE=0\r\n", {'A'});
  MakeTable("LES.BLK/P0000.DBF", "CISLO decimal(6,0), ODSTIN decimal(3,0)", {{"1", "4"}, {"2", "2"}});
  auto reader = Reader();
  std::unique_ptr<TAreaString> areas(reader->ReadAreas());
  auto* area = DynamicCast<TPolyLineAreaElement>(areas->Children().at(0));
  ASSERT_TRUE(area);
  auto* props = DynamicCast<TLumarAreaProps>(area->Properties());
  ASSERT_TRUE(props);
  const std::string block = props->GetBlockName();
  ASSERT_FALSE(block.empty());
  for (int drawing = 1; drawing <= 2; ++drawing) {
    const std::string name = "drawing " + std::to_string(drawing);
    auto device = MakeMapDevice(200, 200);
    device->Projection()->Calculate({-10, -10}, device->Page(), 1000);
    TGeneralAreaInterpret interpret;
    interpret.UseBrush = true;
    interpret.Brush = 1;
    interpret.PropColor = "ODSTIN";
    interpret.ColorByLumar = true;
    interpret.AttachDevice(device.get());
    interpret.SetInput(area);
    interpret.DoIt();
    interpret.DetachDevice();
    platform::Canvas& canvas = *device->GetHandle();
    EXPECT_EQ(canvas.Pixel(20, 150), ColourOfCode(4)) << name << ": the ring";
    EXPECT_EQ(canvas.Pixel(50, 150), 0xFFFFFFu) << name << ": the hole";
    EXPECT_EQ(area->Properties(), props) << name;
    EXPECT_EQ(props->SpaceEntity(), area) << name;
    EXPECT_EQ(props->GetOrigNo(), 1) << name;
    EXPECT_EQ(props->GetBlockName(), block) << name;
    EXPECT_EQ(area->GetPropertyText("ODSTIN"), "4") << name;
  }
}

}  // namespace
