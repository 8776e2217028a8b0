// The symbol colour tool: the colours it gives the parts of line and area
// symbols, what its colour tool sees, and symbols drawn in the colours of a
// general interpret.
#include "cartography/symbology/symbol_color_tool.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "block/props/lumar_props.h"
#include "cartography/symbology/general_interprets.h"
#include "cartography/symbols/line_symbols.h"
#include "render/area_symbols/area_symbol.h"
#include "render/palette/palette.h"
#include "tests/cartography/symbols/symbol_fixture.h"

namespace {

using SymbolColorToolTest = SymbolTest;

// Answers the colour code it finds in its input's properties, times 100, and
// notes each; throws when told to.
class TCodeProbe : public TResultTool {
  KESTX_CLASS(TCodeProbe)
 public:
  bool Fail = false;
  std::set<int> Seen;
  void DoIt() override {
    auto* entity = DynamicCast<TSpaceEntity>(Input());
    const int code = static_cast<TLumarProps*>(entity->Properties())->Barva;
    Seen.insert(code);
    if (Fail) throw std::runtime_error("probe failed");
    Result = std::to_string(code * 100);
  }
};

TClass TCodeProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TCodeProbe>("TCodeProbe", TResultTool::StaticClass(), "test", {});
  return &info;
}

constexpr std::int64_t kOwn = -1;  // the part draws by its own code

template <class Part>
std::int64_t UserColour(const Part& part) {
  return part.ByTrueColor ? part.TrueColor : kOwn;
}

// A chain of the line's colour holding an element of the line's colour and
// one of code 5, then a chain of code 2.
std::unique_ptr<TLiniovaZnacka> MakeLineSymbol() {
  auto symbol = std::make_unique<TLiniovaZnacka>();
  auto first = std::make_unique<TRetezovaZnacka>();
  first->AddElement(std::make_unique<TLinZnacka>());
  auto coded = std::make_unique<TLinZnacka>();
  coded->Color = 5;
  first->AddElement(std::move(coded));
  auto second = std::make_unique<TRetezovaZnacka>();
  second->Color = 2;
  symbol->Chains.push_back(std::move(first));
  symbol->Chains.push_back(std::move(second));
  return symbol;
}

enum class Elem { Line, LineOtherProps, Point };

struct Settings {
  bool UseColor = false;
  const char* PropColor = "";
  bool ByLumar = false;
  bool ByPalette = false;
  bool Probe = false;
  bool ProbeFails = false;
};

// A palette whose k-th colour is 0x010101 * k.
TColorPalette* MakePalette() {
  auto* palette = new TColorPalette;
  for (int k = 0; k < 8; ++k) palette->SetNextColor(0x010101 * k);
  return palette;
}

void Configure(TSetUserSymbolColor& tool, const Settings& settings, TCodeProbe& probe, TColorPalette& palette) {
  tool.Color = 0x123456;
  tool.UseColor = settings.UseColor;
  tool.PropColor = settings.PropColor;
  tool.ColorByLumar = settings.ByLumar;
  tool.ColorByPalette = settings.ByPalette;
  tool.SetPalette(&palette);
  probe.Fail = settings.ProbeFails;
  if (settings.Probe) tool.SetToolColor(&probe);
}

TEST_F(SymbolColorToolTest, LineSymbolPartsTakeTheColoursOfTheirCodes) {
  struct Row {
    const char* Name;
    Settings Set;
    Elem Kind;
    int Barva;
    std::int64_t FirstChain, LineElement, CodedElement, SecondChain;
    std::set<int> ProbeSaw;
  };
  const std::int64_t white = 0xFFFFFF;
  const Row rows[] = {
      {"constant", {true, "Barva", false, false, true}, Elem::Line, 4, 0x123456, 0x123456, 0x123456, 0x123456, {}},
      {"colour codes, -1 taking the line's",
       {false, "Barva", true},
       Elem::Line,
       4,
       ColourOfCode(4),
       ColourOfCode(4),
       ColourOfCode(5),
       ColourOfCode(2),
       {}},
      {"raw codes", {false, "Barva"}, Elem::Line, 4, 4, 4, 5, 2, {}},
      {"no property name: white", {}, Elem::Line, 4, white, white, white, white, {}},
      {"palette", {false, "Barva", true, true}, Elem::Line, 3, 0x030303, 0x030303, 0x050505, 0x020202, {}},
      {"the tool sees each code as Barva", {false, "", false, false, true}, Elem::Line, 4, 400, 400, 500, 200,
       {2, 4, 5}},
      {"other properties: -1 takes 0",
       {false, "Barva", true},
       Elem::LineOtherProps,
       4,
       ColourOfCode(0),
       ColourOfCode(0),
       ColourOfCode(5),
       ColourOfCode(2),
       {}},
      {"line code -1 keeps the parts' own", {false, "Barva"}, Elem::Line, -1, kOwn, kOwn, 5, 2, {}},
      {"not a line: nothing", {true}, Elem::Point, 4, kOwn, kOwn, kOwn, kOwn, {}},
  };
  for (const Row& row : rows) {
    auto symbol = MakeLineSymbol();
    TCodeProbe probe;
    std::unique_ptr<TColorPalette> palette(MakePalette());
    TSetUserSymbolColor tool;
    Configure(tool, row.Set, probe, *palette);
    std::unique_ptr<TSpaceEntity> elem;
    if (row.Kind == Elem::Point)
      elem = std::make_unique<TPointElement>();
    else
      elem = std::make_unique<TPolyLineElement>();
    TLumarLineProps* props = nullptr;
    if (row.Kind == Elem::LineOtherProps) {
      elem->SetProperties(new TOwnerEntity);
    } else {
      props = new TLumarLineProps;
      props->Barva = static_cast<std::int16_t>(row.Barva);
      elem->SetProperties(props);
    }
    tool.SetElem(elem.get());
    tool.SetInput(symbol.get());
    tool.DoIt();
    const auto& first = *symbol->Chains[0];
    EXPECT_EQ(symbol->ByTrueColor, row.Kind != Elem::Point) << row.Name;
    EXPECT_EQ(UserColour(first), row.FirstChain) << row.Name;
    EXPECT_EQ(UserColour(*first.Elements[0]), row.LineElement) << row.Name;
    EXPECT_EQ(UserColour(*first.Elements[1]), row.CodedElement) << row.Name;
    EXPECT_EQ(UserColour(*symbol->Chains[1]), row.SecondChain) << row.Name;
    EXPECT_EQ(probe.Seen, row.ProbeSaw) << row.Name;
    if (props) {
      EXPECT_EQ(props->Barva, row.Barva) << row.Name << ": the stored code is back";
    }
  }
}

TEST_F(SymbolColorToolTest, TheStoredCodeIsBackWhenTheColourToolFails) {
  struct Row {
    const char* Name;
    bool Area;
  };
  for (const Row& row : {Row{"line symbol", false}, Row{"area symbol", true}}) {
    TCodeProbe probe;
    std::unique_ptr<TColorPalette> palette(MakePalette());
    TSetUserSymbolColor tool;
    Configure(tool, {false, "", false, false, true, true}, probe, *palette);
    auto line = MakeLineSymbol();
    TPlosnaZnacka area;
    area.Podklad = 3;
    TPolyLineElement elem;
    auto* props = new TLumarLineProps;
    props->Barva = 4;
    elem.SetProperties(props);
    tool.SetElem(&elem);
    tool.SetInput(row.Area ? static_cast<TElement*>(&area) : line.get());
    EXPECT_THROW(tool.DoIt(), std::runtime_error) << row.Name;
    EXPECT_EQ(props->Barva, 4) << row.Name;
    EXPECT_FALSE(probe.Seen.empty()) << row.Name;
  }
}

// A background of code 3 and one layer of two sets, codes 1 and 2.
std::unique_ptr<TPlosnaZnacka> MakeAreaSymbol(int background) {
  auto symbol = std::make_unique<TPlosnaZnacka>();
  symbol->Podklad = static_cast<std::int16_t>(background);
  auto layer = std::make_unique<TVrstvaSraf>();
  for (int code : {1, 2}) {
    auto set = std::make_unique<TSrafa>();
    set->Barva = static_cast<std::int16_t>(code);
    layer->Sets.push_back(std::move(set));
  }
  symbol->Layers.push_back(std::move(layer));
  return symbol;
}

TEST_F(SymbolColorToolTest, AreaSymbolsTakeTheirBackgroundAndEverySetsColour) {
  struct Row {
    const char* Name;
    Settings Set;
    int Background;
    bool FillBackground;
    std::int64_t Own, FirstSet, SecondSet;
    std::set<int> ProbeSaw;
  };
  const Row rows[] = {
      {"colour codes", {false, "Barva", true}, 3, true, ColourOfCode(3), ColourOfCode(1), ColourOfCode(2), {}},
      {"the tool sees each code", {false, "", false, false, true}, 3, false, 300, 100, 200, {1, 2, 3}},
      {"constant", {true}, 3, true, 0x123456, 0x123456, 0x123456, {}},
      {"background -1 keeps its own", {false, "Barva"}, -1, false, kOwn, 1, 2, {}},
  };
  for (const Row& row : rows) {
    auto symbol = MakeAreaSymbol(row.Background);
    TCodeProbe probe;
    std::unique_ptr<TColorPalette> palette(MakePalette());
    TSetUserSymbolColor tool;
    Configure(tool, row.Set, probe, *palette);
    tool.FillBackground = row.FillBackground;
    TAreaElement elem;
    auto* props = new TLumarAreaProps;
    props->Barva = 7;
    elem.SetProperties(props);
    tool.SetElem(&elem);
    tool.SetInput(symbol.get());
    tool.DoIt();
    EXPECT_EQ(UserColour(*symbol), row.Own) << row.Name;
    EXPECT_EQ(symbol->FillBackground, row.FillBackground) << row.Name;
    EXPECT_EQ(UserColour(*symbol->Layers[0]->Sets[0]), row.FirstSet) << row.Name;
    EXPECT_EQ(UserColour(*symbol->Layers[0]->Sets[1]), row.SecondSet) << row.Name;
    EXPECT_EQ(probe.Seen, row.ProbeSaw) << row.Name;
    EXPECT_EQ(props->Barva, 7) << row.Name;
  }
}

// Library symbols drawn by a general interpret with a symbol colour tool
// take the interpret's colour; without the tool, their file's.
TEST_F(SymbolColorToolTest, GeneralInterpretsDrawSymbolsInTheToolsColours) {
  struct Row {
    const char* Name;
    bool Area, WithTool;
    std::set<platform::ColorValue> Colours;
  };
  const Row rows[] = {
      {"line symbol with the tool", false, true, {0x00FF00}},
      {"line symbol without", false, false, {ColourOfCode(4)}},
      {"area symbol with the tool", true, true, {0x00FF00}},
      {"area symbol without", true, false, {ColourOfCode(13)}},
  };
  for (const Row& row : rows) {
    auto device = MakeMapDevice(200, 200);
    TSetUserSymbolColor tool;
    tool.PropColor = "Barva";
    std::unique_ptr<TGeneralSymbolColorInterpret> interpret;
    if (row.Area) {
      auto area = std::make_unique<TGeneralAreaInterpret>();
      area->FillBackground = true;
      interpret = std::move(area);
    } else {
      interpret = std::make_unique<TGeneralLineInterpret>();
    }
    interpret->UseBrush = true;
    interpret->Brush = row.Area ? 2001 : 1001;
    interpret->UseColor = true;
    interpret->Color = 0x00FF00;
    if (row.WithTool) interpret->SetSymbolColorTool(&tool);
    interpret->AttachDevice(device.get());
    std::unique_ptr<TSpaceEntity> element;
    if (row.Area)
      element.reset(WithVertices(new TAreaElement, {{5, 5}, {5, 15}, {15, 15}, {15, 5}}));
    else
      element.reset(WithVertices(new TPolyLineElement, {{2, 10}, {18, 10}}));
    auto* props = new TLumarLineProps;
    props->Barva = 4;
    element->SetProperties(props);
    interpret->SetInput(element.get());
    interpret->DoIt();
    interpret->DetachDevice();
    std::set<platform::ColorValue> colours;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 200; ++x)
        if (const auto pixel = device->GetHandle()->Pixel(x, y); pixel != 0xFFFFFF) colours.insert(pixel);
    EXPECT_EQ(colours, row.Colours) << row.Name;
  }
}

}  // namespace
