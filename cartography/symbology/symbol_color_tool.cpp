#include "cartography/symbology/symbol_color_tool.h"

#include "block/props/lumar_props.h"
#include "cartography/symbology/general_interprets.h"
#include "cartography/symbols/line_symbols.h"
#include "framework/core/class_registry.h"
#include "render/area_symbols/area_symbol.h"
#include "render/palette/palette.h"
#include "spatial/objects/space_entities.h"

std::uint32_t ColourOfColourValue(std::int32_t value, TColorPalette* palette, bool byColourCode) {
  if (palette) return static_cast<std::uint32_t>(palette->GetColor(value));
  if (byColourCode) return ColourOfCode(static_cast<std::int16_t>(value));
  return static_cast<std::uint32_t>(value);
}

namespace {

TLumarProps* LumarPropsOf(TElement* element) {
  auto* entity = DynamicCast<TSpaceEntity>(element);
  return entity ? DynamicCast<TLumarProps>(entity->Properties()) : nullptr;
}

// Puts the stored colour code back however the colour tool ends: the element
// is saved later with it.
class TBarvaRestorer {
 public:
  explicit TBarvaRestorer(TLumarProps& props) : props_(props), saved_(props.Barva) {}
  ~TBarvaRestorer() { props_.Barva = saved_; }
  TBarvaRestorer(const TBarvaRestorer&) = delete;
  TBarvaRestorer& operator=(const TBarvaRestorer&) = delete;

 private:
  TLumarProps& props_;
  std::int16_t saved_;
};

template <class Part>
void SetPartColour(Part& part, std::optional<std::uint32_t> colour) {
  // A part without a colour of its own draws by its code again.
  part.ByTrueColor = colour.has_value();
  if (colour) part.TrueColor = static_cast<std::int32_t>(*colour);
}

}  // namespace

TResultTool* TSetUserSymbolColor::ToolColor() const { return static_cast<TResultTool*>(toolColor_.Get()); }
void TSetUserSymbolColor::SetToolColor(TResultTool* tool) { toolColor_.Set(tool); }
TColorPalette* TSetUserSymbolColor::Palette() const { return static_cast<TColorPalette*>(palette_.Get()); }
void TSetUserSymbolColor::SetPalette(TColorPalette* palette) { palette_.Set(palette); }

void TSetUserSymbolColor::DoIt() {
  TTool::DoIt();
  if (auto* line = DynamicCast<TLiniovaZnacka>(Input())) {
    if (DynamicCast<TPolyLineElement>(Elem())) ColourLineSymbol(*line);
  } else if (auto* area = DynamicCast<TPlosnaZnacka>(Input())) {
    ColourAreaSymbol(*area);
  }
}

void TSetUserSymbolColor::ColourLineSymbol(TLiniovaZnacka& symbol) {
  const TLumarProps* props = LumarPropsOf(Elem());
  const std::int32_t lineCode = props ? props->Barva : 0;
  const auto colourOf = [&](const TLinZnacka& part) {
    return ColourOfSymbolCode(part.Color == -1 ? lineCode : part.Color);
  };
  symbol.ByTrueColor = true;
  for (const auto& chain : symbol.Chains) {
    SetPartColour(*chain, colourOf(*chain));
    for (const auto& element : chain->Elements) SetPartColour(*element, colourOf(*element));
  }
}

void TSetUserSymbolColor::ColourAreaSymbol(TPlosnaZnacka& symbol) {
  SetPartColour(symbol, ColourOfSymbolCode(symbol.Podklad));
  symbol.FillBackground = FillBackground;
  for (const auto& layer : symbol.Layers)
    for (const auto& set : layer->Sets) SetPartColour(*set, ColourOfSymbolCode(set->Barva));
}

std::int32_t TSetUserSymbolColor::ColourValueOfCode(std::int32_t code) {
  if (UseColor) return Color;
  TLumarProps* props = LumarPropsOf(Elem());
  if (TResultTool* tool = ToolColor(); tool && props) {
    // The tool reads the part's code where it reads the element's own.
    const TBarvaRestorer restorer(*props);
    props->Barva = static_cast<std::int16_t>(code);
    tool->SetInput(Elem());
    tool->DoIt();
    return static_cast<std::int32_t>(ValueOfText(tool->Result));
  }
  return PropColor.empty() ? 0xFFFFFF : code;
}

std::optional<std::uint32_t> TSetUserSymbolColor::ColourOfSymbolCode(std::int32_t code) {
  if (code == -1) return std::nullopt;
  return ColourOfColourValue(ColourValueOfCode(code), ColorByPalette ? Palette() : nullptr, ColorByLumar);
}

TClass TSetUserSymbolColor::StaticClass() {
  using E = TSetUserSymbolColor;
  static const TClassInfo info = DescribeClass<E>(
      "TSetUserSymbolColor", TTool::StaticClass(), "I_Gen",
      {FieldProp("Color", &E::Color), FieldProp("UseColor", &E::UseColor), FieldProp("PropColor", &E::PropColor),
       ReadWriteProp("ToolColor", &E::ToolColor, &E::SetToolColor), FieldProp("ColorByLumar", &E::ColorByLumar),
       FieldProp("ColorByPalette", &E::ColorByPalette), ReadWriteProp("Palette", &E::Palette, &E::SetPalette),
       ReadWriteProp("Elem", &E::Elem, &E::SetElem), FieldProp("FillBackground", &E::FillBackground)});
  return &info;
}

void RegisterSymbolColorToolClasses() { RegisterKestuClass(TSetUserSymbolColor::StaticClass()); }
