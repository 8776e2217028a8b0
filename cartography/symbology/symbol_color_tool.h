#pragma once
// Recolours a library symbol before it is drawn, so that a line or area
// symbol takes colours a script chose instead of those of its file.
#include <cstdint>
#include <optional>
#include <string>

#include "framework/tools/tools.h"

class TColorPalette;
class TLiniovaZnacka;
class TPlosnaZnacka;

// The colour a colour value stands for: the palette's entry (when a palette
// is given), else the colour of the GIS colour code, else the value itself.
std::uint32_t ColourOfColourValue(std::int32_t value, TColorPalette* palette, bool byColourCode);

// Its Input is the symbol to recolour, Elem the element being drawn with it.
class TSetUserSymbolColor : public TTool {
  KESTX_CLASS(TSetUserSymbolColor)
 public:
  std::int32_t Color = 0;
  bool UseColor = false;
  std::string PropColor;
  bool ColorByLumar = false;
  bool ColorByPalette = false;
  bool FillBackground = false;

  TResultTool* ToolColor() const;
  void SetToolColor(TResultTool* tool);
  // Held by link: the palette belongs to the interpret that hands it over.
  TColorPalette* Palette() const;
  void SetPalette(TColorPalette* palette);
  TElement* Elem() const { return elem_.Get(); }
  void SetElem(TElement* element) { elem_.Set(element); }

  void DoIt() override;
  // The colour that a symbol part of colour code k takes; none for -1,
  // which keeps the part's own colour.
  std::optional<std::uint32_t> ColourOfSymbolCode(std::int32_t code);

 private:
  void ColourLineSymbol(TLiniovaZnacka& symbol);
  void ColourAreaSymbol(TPlosnaZnacka& symbol);
  std::int32_t ColourValueOfCode(std::int32_t code);

  TElementLink toolColor_;
  TElementLink palette_;
  TElementLink elem_;
};

void RegisterSymbolColorToolClasses();
