#include "render/palette/palette.h"

#include <cstdio>
#include <sstream>

#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace {

constexpr std::uint32_t RGB(unsigned red, unsigned green, unsigned blue) {
  return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

// A channel of the palette file (0 to 63) on the screen's scale.
unsigned FileChannel(int value) {
  const int scaled = value * 4;
  return static_cast<unsigned>(scaled > 128 ? scaled + 3 : scaled);
}

// Red, green and blue at the start of the line; false when the line does not
// hold three channels of the file's range.
bool ReadPaletteLine(const std::string& line, std::uint32_t& colour) {
  std::istringstream in(line);
  int channel[3];
  for (int& value : channel) {
    if (!(in >> value) || value < 0 || value > 63) return false;
  }
  colour = RGB(FileChannel(channel[0]), FileChannel(channel[1]), FileChannel(channel[2]));
  return true;
}

}  // namespace

const TColorTable& OriginalColorTable() {
  static const TColorTable table = {0xFFFFFF, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                    0x404080, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF,
                                    0xFF00FF, 0x000000, 0x00FFFF, 0xC0C0C0};
  return table;
}

TColorTable& ColorTable() {
  static TColorTable table = OriginalColorTable();
  return table;
}

std::uint32_t ColourOfCode(std::int16_t code) {
  if (code >= 0) return code < 16 ? ColorTable()[static_cast<std::size_t>(code)] : 0;
  const unsigned v = static_cast<unsigned>(-static_cast<int>(code));
  auto channel = [v](int shift) {
    const unsigned value = ((v >> shift) & 0x1F) * 8;
    return value > 247 ? 255u : value;
  };
  return RGB(channel(10), channel(5), channel(0));
}

namespace {
std::string& PaletteName() {
  static std::string name = "PALETA.TXT";
  return name;
}
}  // namespace

const std::string& PaletteFileName() { return PaletteName(); }

void SetPaletteFileName(const std::string& fileName) { PaletteName() = fileName; }

void LoadPalette(const std::string& fileName, TColorTable& table) {
  std::vector<std::string> lines;
  try {
    lines = platform::ReadTextLines(fileName);
  } catch (const platform::EStreamError&) {
    return;
  }
  for (std::size_t index = 0; index < table.size() && index < lines.size(); ++index) {
    std::uint32_t colour = 0;
    if (ReadPaletteLine(lines[index], colour)) table[index] = colour;
  }
}

void LoadPalette(const std::string& fileName) { LoadPalette(fileName, ColorTable()); }

bool SavePalette(const std::string& fileName, const TColorTable& table) {
  std::vector<std::string> lines;
  for (std::size_t index = 0; index < table.size(); ++index) {
    const std::uint32_t colour = table[index];
    char line[64];
    std::snprintf(line, sizeof line, "%3u %3u %3u ; %2zu, %10u", (colour & 0xFF) / 4, ((colour >> 8) & 0xFF) / 4,
                  ((colour >> 16) & 0xFF) / 4, index, colour);
    lines.emplace_back(line);
  }
  try {
    platform::WriteTextLines(fileName, lines);
  } catch (const platform::EStreamError&) {
    return false;
  }
  return true;
}

void TColorPalette::SetNextColor(std::int32_t color) {
  AddElement(TIntegerElement::CreateNameValue("Color " + std::to_string(GetCount()), color));
}

void TColorPalette::SetNextRGBColor(const std::string& text) {
  unsigned channel[3] = {0, 0, 0};
  std::size_t start = 0;
  for (unsigned& value : channel) {
    if (start > text.size()) break;
    const std::size_t comma = text.find(',', start);
    const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    value = static_cast<unsigned>(TextToInt(TrimBlanks(part)));
    start = comma == std::string::npos ? text.size() + 1 : comma + 1;
  }
  AddElement(TIntegerElement::CreateNameValue("Color", static_cast<std::int32_t>(RGB(channel[0], channel[1], channel[2]))));
}

std::int32_t TColorPalette::GetColor(int index) {
  if (index < 0 || index >= GetCount()) return 0;
  auto* value = DynamicCast<TTypeElement>(GetElement(index));
  return value ? value->GetAsInteger() : 0;
}

TClass TColorPalette::StaticClass() {
  static const TClassInfo info = DescribeClass<TColorPalette>(
      "TColorPalette", TOwnerEntity::StaticClass(), "Paleta",
      {WriteProp("NextColor", &TColorPalette::SetNextColor),
       WriteProp("NextRGBColor", &TColorPalette::SetNextRGBColor)});
  return &info;
}

void RegisterPaletteClasses() { RegisterKestuClass(TColorPalette::StaticClass()); }
