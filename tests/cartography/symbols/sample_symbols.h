#pragma once
// The sample symbol library of the tests, kept under samples/symbols: stroke
// fonts made here from their layout, the font and style lists, and the line
// and area symbol files.  The program that writes the folder and the test
// that checks it both build it here.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One stroke: a move or a line to (X, Y).
struct SampleStroke {
  bool Draw;
  int X;
  int Y;
};

struct SampleGlyph {
  std::vector<SampleStroke> Strokes;
  std::uint8_t Width;
};

// A font file: 128 header bytes (the signature unless unsigned), then the
// font from the first code to the last.
std::string BuildStrokeFont(std::uint8_t first, std::uint8_t last, std::int8_t top, bool signature,
                            const std::vector<SampleGlyph>& glyphs);

// 'A' of the sample fonts: moves and lines of 40 units top, 24 wide.
SampleGlyph SampleLetterA();
// The glyph of a code in font file number variant: two lines whose ends tell
// the code and the file apart.
SampleGlyph SampleGlyphOf(std::uint8_t code, int variant);

// Path under samples/symbols to the file's bytes.
std::map<std::string, std::string> SampleSymbolLibrary();
void WriteSampleSymbolLibrary(const std::string& folder);
