// General interprets: the order in which values resolve, the colours they
// stand for, the classes they walk, and points drawn on a 254-dpi map at
// 1 : 1000.
#include "cartography/symbology/general_interprets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "block/props/lumar_props.h"
#include "cartography/symbology/interpret_tables.h"
#include "render/palette/palette.h"
#include "tests/cartography/symbols/symbol_fixture.h"

namespace {

using GeneralInterpretTest = SymbolTest;

// A table answering 77 for Barva 4 and a text that is no number otherwise.
TSimpleInterpretTable* MakeTable() {
  auto* table = new TSimpleInterpretTable;
  table->PropertyName = "Barva";
  table->SetNextItem("4, 77");
  table->ElseValue = "žádné číslo";
  return table;
}

std::unique_ptr<TLumarPointProps> Object(int barva) {
  auto object = std::make_unique<TLumarPointProps>();
  object->Barva = static_cast<std::int16_t>(barva);
  object->Znacka = 1200;
  return object;
}

TEST_F(GeneralInterpretTest, ValuesResolveConstantThenToolThenProperty) {
  struct Row {
    const char* Name;
    bool UseConstant;
    bool Tool;
    const char* Property;
    int Barva;
    double Colour, Brush, X;
  };
  // Constants: Color 5, Brush 7, ValX 2.5.
  const Row rows[] = {
      {"constant chosen over tool and property", true, true, "Znacka", 4, 5, 7, 77},
      {"tool before property", false, true, "Znacka", 4, 77, 77, 77},
      {"tool result that is no number", false, true, "", 3, 0, 0, 0},
      {"property", false, false, "Znacka", 4, 1200, 1200, 1200},
      {"property text that is no number", false, false, "DBFName", 4, 0, 0, 0},
      {"nothing set", false, false, "", 4, 5, 0, 2.5},
  };
  for (const Row& row : rows) {
    TGeneralBrushInterpret interpret;
    std::unique_ptr<TSimpleInterpretTable> tool(row.Tool ? MakeTable() : nullptr);
    interpret.Color = 5;
    interpret.UseColor = row.UseConstant;
    interpret.Brush = 7;
    interpret.UseBrush = row.UseConstant;
    interpret.ValX = 2.5;
    interpret.SetToolColor(tool.get());
    interpret.SetToolBrush(tool.get());
    interpret.SetToolX(tool.get());
    interpret.SetPropertyText("PropColor", row.Property);
    interpret.SetPropertyText("PropBrush", row.Property);
    interpret.SetPropertyText("PropX", row.Property);
    auto object = Object(row.Barva);
    EXPECT_EQ(interpret.ResolveColor(object.get()), row.Colour) << row.Name;
    EXPECT_EQ(interpret.ResolveBrush(object.get()), row.Brush) << row.Name;
    EXPECT_EQ(interpret.ResolveX(object.get()), row.X) << row.Name;
  }
}

TEST_F(GeneralInterpretTest, ColourValuesMapThroughPaletteOrColourCodes) {
  struct Row {
    const char* Name;
    bool ByPalette, ByLumar;
    int Value;
    std::uint32_t Colour;
  };
  const Row rows[] = {
      {"raw value", false, false, 0x123456, 0x123456},       {"palette", true, true, 1, 0x0000FF},
      {"palette index outside is black", true, false, 5, 0}, {"colour code", false, true, 4, ColourOfCode(4)},
      {"colour code 0 is white", false, true, 0, 0xFFFFFF},
  };
  for (const Row& row : rows) {
    TGeneralColorInterpret interpret;
    auto* palette = new TColorPalette;
    palette->SetNextColor(0x00FF00);
    palette->SetNextColor(0x0000FF);
    interpret.SetPropertyText("ColorByPalette", row.ByPalette ? "True" : "False");
    interpret.SetPropertyText("ColorByLumar", row.ByLumar ? "True" : "False");
    interpret.SetPalette(palette);
    EXPECT_EQ(interpret.ColourOfValue(row.Value), row.Colour) << row.Name;
  }
}

TEST_F(GeneralInterpretTest, WalksTheClassesItIsGiven) {
  struct Row {
    const char* Name;
    const char* Inside;
    const char* Process;
    bool GoesInside, Processes;
  };
  const Row rows[] = {
      {"none set", "", "", false, false},
      {"by class", "TPointString", "TPointElement", false, true},
      {"by ancestor", "TSpaceEntity", "TSpaceEntity", true, true},
      {"unknown class", "TNic", "TNic", false, false},
  };
  for (const Row& row : rows) {
    TGeneralInterpret interpret;
    interpret.SetPropertyText("InsideClassName", row.Inside);
    interpret.SetPropertyText("ProcessClassName", row.Process);
    TPointElement point;
    EXPECT_EQ(interpret.QGoInside(&point), row.GoesInside) << row.Name;
    EXPECT_EQ(interpret.QProcessBefore(&point), row.Processes) << row.Name;
    EXPECT_EQ(interpret.IsItsClass(&point), row.Processes) << row.Name;
  }
}

TEST_F(GeneralInterpretTest, PointsAreCrossesBelowCode1000) {
  struct Row {
    const char* Name;
    int Znacka;
    bool WithProperties;
    int MinSide, MaxSide;  // of the box of drawn pixels; 0 nothing
  };
  const Row rows[] = {
      {"code 5 is a cross", 5, true, 4, 5},
      {"symbol", 1065, true, 6, 200},
      {"no properties: skipped", 5, false, 0, 0},
  };
  for (const Row& row : rows) {
    auto device = MakeMapDevice(200, 200);
    TGeneralPointInterpret interpret;
    interpret.Color = 4;
    interpret.ColorByLumar = true;
    interpret.AttachDevice(device.get());
    TPointElement point;
    point.SetMinX(10);
    point.SetMinY(10);
    point.SetMaxX(10);
    point.SetMaxY(10);
    if (row.WithProperties) {
      auto* props = new TLumarPointProps;
      props->Znacka = static_cast<std::int16_t>(row.Znacka);
      point.SetProperties(props);
    }
    interpret.SetInput(&point);
    interpret.DoIt();
    interpret.DetachDevice();
    int left = 200, right = -1, top = 200, bottom = -1;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 200; ++x)
        if (device->GetHandle()->Pixel(x, y) != 0xFFFFFF) {
          left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
          EXPECT_EQ(device->GetHandle()->Pixel(x, y), ColourOfCode(4)) << row.Name;
        }
    const int side = right < 0 ? 0 : std::max(right - left + 1, bottom - top + 1);
    EXPECT_TRUE(side >= row.MinSide && side <= row.MaxSide) << row.Name << ": " << side;
  }
}

}  // namespace

namespace {

enum class Shape { Clockwise, Anticlockwise, Flat, Boundary, Hole, BoundaryHole };

// A square from (5, 5) to (15, 15) m (pixels 50 to 150), or a flat one.
TAreaElement* MakeArea(Shape shape) {
  const WorldPoints clockwise = {{5, 5}, {5, 15}, {15, 15}, {15, 5}};
  const WorldPoints anticlockwise = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
  const WorldPoints flat = {{5, 5}, {15, 5}, {10, 5}};
  switch (shape) {
    case Shape::Anticlockwise:
      return WithVertices(new TAreaElement, anticlockwise);
    case Shape::Flat:
      return WithVertices(new TAreaElement, flat);
    case Shape::Boundary:
    case Shape::BoundaryHole: {
      auto* area = new TPolyLineAreaElement;
      auto* line = WithVertices(new TPolyLineElement, {{5, 5}, {5, 15}, {15, 15}, {15, 5}, {5, 5}});
      area->AddLine(line, true);
      area->CalcBounds();
      area->IsHole = shape == Shape::BoundaryHole;
      return area;
    }
    case Shape::Hole: {
      auto* area = WithVertices(new TAreaElement, clockwise);
      area->IsHole = true;
      return area;
    }
    default:
      return WithVertices(new TAreaElement, clockwise);
  }
}

TEST_F(GeneralInterpretTest, AreasAreFilledOrHatchedWhicheverWayTheyAreWound) {
  struct Row {
    const char* Name;
    Shape Form;
    int Code;
    bool Library;
    int Inside;    // non-white pixels of the 20 x 20 block at (90, 90); -1 some, not all
    bool Outline;  // fills only: hatching may cross the edge
  };
  const Row rows[] = {
      {"clockwise filled", Shape::Clockwise, 4, true, 400, true},
      {"anticlockwise filled", Shape::Anticlockwise, 4, true, 400, true},
      {"no area: nothing", Shape::Flat, 4, true, 0, false},
      {"converted boundary: no outline", Shape::Boundary, 4, true, 400, false},
      {"hatching", Shape::Clockwise, 2001, true, -1, false},
      {"anticlockwise hatching", Shape::Anticlockwise, 2001, true, -1, false},
      {"hole: no hatching", Shape::Hole, 2001, true, 0, false},
      {"hole of lines: no hatching", Shape::BoundaryHole, 2001, true, 0, false},
      {"boundary hatching", Shape::Boundary, 2001, true, -1, false},
      {"no library: nothing", Shape::Clockwise, 2001, false, 0, false},
  };
  for (const Row& row : rows) {
    auto device = MakeMapDevice(200, 200);
    TGeneralAreaInterpret interpret;
    interpret.UseBrush = true;
    interpret.Brush = row.Code;
    interpret.Color = 4;
    interpret.ColorByLumar = true;
    if (!row.Library) interpret.SymbolsFile = folder.File("Srafy.txt");
    interpret.AttachDevice(device.get());
    std::unique_ptr<TAreaElement> area(MakeArea(row.Form));
    interpret.SetInput(area.get());
    interpret.DoIt();
    interpret.DetachDevice();
    int inside = 0;
    for (int y = 90; y < 110; ++y)
      for (int x = 90; x < 110; ++x) inside += device->GetHandle()->Pixel(x, y) != 0xFFFFFF;
    if (row.Inside < 0) {
      EXPECT_TRUE(inside > 0 && inside < 400) << row.Name << ": " << inside;
    } else {
      EXPECT_EQ(inside, row.Inside) << row.Name;
    }
    if (row.Inside == 400) {
      EXPECT_EQ(device->GetHandle()->Pixel(100, 100), ColourOfCode(4)) << row.Name;
    }
    if (row.Code < 1000) {
      EXPECT_EQ(device->GetHandle()->Pixel(100, 50) == 0, row.Outline) << row.Name << ": the outline on the top edge";
    }
  }
}

}  // namespace

namespace {

TEST_F(GeneralInterpretTest, InterpretsAreMadeByClassName) {
  for (const char* name :
       {"TGeneralInterpret", "TGeneralColorInterpret", "TGeneralXYInterpret", "TGeneralBrushInterpret",
        "TGeneralSymbolColorInterpret", "TGeneralAreaInterpret", "TGeneralLineInterpret", "TGeneralPointInterpret"}) {
    std::unique_ptr<TElement> made(CreateElementByClassName(name));
    EXPECT_TRUE(made && made->ClassName() == name) << name;
  }
}

TEST_F(GeneralInterpretTest, LinesArePlainOrSymbolsWithTheirPointSymbol) {
  // The line runs along pixel row 100 from x 20 to 180; its point symbol sits
  // at its middle (100, 100), reaching off the line.
  struct Row {
    const char* Name;
    int Code, Colour, Symbol;
    int Rows;   // rows the line covers at x = 40
    bool Gaps;  // a line symbol's dashes
    bool Marked;
  };
  const Row rows[] = {
      {"code 3 thin", 3, 4, 0, 1, false, false},
      {"code 4 thick", 4, 4, 0, 4, false, false},
      {"line symbol", 1001, 4, 0, 1, true, false},
      {"colour code 0 draws no line", 3, 0, 1065, 0, false, true},
      {"point symbol at Angle + pi/2", 3, 4, 1065, 1, false, true},
  };
  for (const Row& row : rows) {
    auto device = MakeMapDevice(200, 200);
    TGeneralLineInterpret interpret;
    interpret.UseBrush = true;
    interpret.Brush = row.Code;
    interpret.UseColor = true;
    interpret.Color = row.Colour;
    interpret.ColorByLumar = true;
    interpret.AttachDevice(device.get());
    std::unique_ptr<TPolyLineElement> line(WithVertices(new TPolyLineElement, {{2, 10}, {18, 10}}));
    line->PlaceRefAtMiddle();
    auto* props = new TLumarLineProps;
    props->Barva = 4;
    props->Symbol = static_cast<std::int16_t>(row.Symbol);
    line->SetProperties(props);
    interpret.SetInput(line.get());
    interpret.DoIt();
    interpret.DetachDevice();
    platform::Canvas& canvas = *device->GetHandle();
    int covered = 0;
    for (int y = 90; y <= 110; ++y) covered += canvas.Pixel(40, y) != 0xFFFFFF;
    EXPECT_EQ(covered, row.Rows) << row.Name;
    bool gap = false;
    for (int x = 22; x < 178; ++x) gap = gap || canvas.Pixel(x, 100) == 0xFFFFFF;
    if (row.Rows) {
      EXPECT_EQ(gap, row.Gaps) << row.Name;
    }
    int offLine = 0;
    for (int y = 60; y < 140; ++y)
      for (int x = 60; x < 140; ++x) offLine += std::abs(y - 100) > 2 && canvas.Pixel(x, y) != 0xFFFFFF;
    EXPECT_EQ(offLine > 0, row.Marked) << row.Name;
  }
}

}  // namespace
