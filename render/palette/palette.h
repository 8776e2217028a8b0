#pragma once
// The GIS's colour codes: 0 to 15 index a program-wide table of 16 colours
// that a palette text file may replace; negative codes carry 5 bits per
// channel.  Colours are platform values 0x00BBGGRR.
#include <array>
#include <cstdint>
#include <string>

#include "framework/core/elements.h"

using TColorTable = std::array<std::uint32_t, 16>;

// The table the program starts with.
const TColorTable& OriginalColorTable();
// The table in force, program-wide.
TColorTable& ColorTable();

std::uint32_t ColourOfCode(std::int16_t code);

// The palette file last loaded or saved ("PALETA.TXT" at first).
const std::string& PaletteFileName();
void SetPaletteFileName(const std::string& fileName);

// Reads 16 lines of red, green and blue (0 to 63 each) into the table; a line
// that cannot be read keeps its entry, a file that cannot be opened changes
// nothing.
void LoadPalette(const std::string& fileName, TColorTable& table);
void LoadPalette(const std::string& fileName);
// Writes the table as a palette file; false when it cannot be created.
bool SavePalette(const std::string& fileName, const TColorTable& table);

// A palette a script builds for itself: its children are the colours.
class TColorPalette : public TOwnerEntity {
  KESTX_CLASS(TColorPalette)
 public:
  void SetNextColor(std::int32_t color);
  // "red, green, blue" in decimal; a missing part is 0.
  void SetNextRGBColor(const std::string& text);
  // Black for an index outside the palette.
  std::int32_t GetColor(int index);
};

void RegisterPaletteClasses();
