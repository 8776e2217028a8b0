#include "cartography/symbols/text_styles.h"

#include <memory>
#include <type_traits>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/values/real48.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace {

// Lenient: either decimal separator, else 0.
double LenientReal(const std::string& text) { return static_cast<double>(TextToFloatAnySep(text)); }

// The same in the six-byte real's precision; false for a value beyond it.
bool Real48Field(const std::string& text, double& field) {
  try {
    field = Real48ToDouble(ExtendedToReal48(TextToFloatAnySep(text)));
    return true;
  } catch (const EReal48Overflow&) {
    return false;
  }
}

std::uint8_t ModeOfLetter(const std::string& value) {
  const std::string upper = platform::AnsiUpperCase(value);
  if (upper == "M") return 2;
  if (upper == "S") return 0;
  return 1;
}

}  // namespace

bool TTextStyles::SetField(bgi::TTextStyle& style, const std::string& key, const std::string& value) {
  int whole = 0;
  const auto integer = [&](auto& field) {
    if (!TryTextToInt(value, whole)) return false;
    field = static_cast<std::remove_reference_t<decltype(field)>>(whole);
    return true;
  };
  if (key == "NAZEV") style.Name = value;
  else if (key == "DRUH") return integer(style.Druh);
  else if (key == "REZIM") style.Rezim = ModeOfLetter(value);
  else if (key == "FONT") return integer(style.Font);
  else if (key == "VYSKA") style.Vyska = LenientReal(value);
  else if (key == "SIRKA") style.Sirka = LenientReal(value);
  else if (key == "SKLON") return Real48Field(value, style.Sklon);
  else if (key == "ROZESTUPY") return Real48Field(value, style.Rozestupy);
  else if (key == "BARVA") return integer(style.Barva);
  else if (key == "DRUHCARY") return integer(style.DruhCary);
  else if (key == "SILAPERA") return Real48Field(value, style.SilaPera);
  return true;
}

void TTextStyles::SetFileName(const std::string& fileName) {
  fileName_ = fileName;
  Clear();
  const std::string found = platform::FindFileAnyCase(fileName);
  if (!platform::FileExists(found)) return;
  std::unique_ptr<bgi::TTextStyle> style;
  const std::vector<std::string> lines = platform::ReadTextLines(found);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::size_t equals = lines[n].find('=');
    if (equals == std::string::npos) {
      const std::string header = platform::AnsiUpperCase(TrimBlanks(lines[n]));
      if (header == "[STYL]") {
        style = std::make_unique<bgi::TTextStyle>();
      } else if (header == "[END]" && style) {
        AddElement(style.release());
      }
      continue;
    }
    if (!style) continue;
    const std::string key = platform::AnsiUpperCase(TrimBlanks(lines[n].substr(0, equals)));
    if (!SetField(*style, key, TrimBlanks(lines[n].substr(equals + 1))))
      PostTextMessage(this, msgLogText,
                      "Styly.txt: chybná hodnota " + key + " na řádku " + std::to_string(n + 1), nullptr);
  }
}

bgi::TTextStyle* TTextStyles::FindStyle(std::int32_t kind) const {
  for (TElement* child : Children())
    if (auto* style = dynamic_cast<bgi::TTextStyle*>(child); style && style->Druh == kind) return style;
  return nullptr;
}

TClass TTextStyles::StaticClass() {
  using E = TTextStyles;
  static const TClassInfo info = DescribeClass<E>("TTextStyles", TOwnerEntity::StaticClass(), "BGIFont",
                                                  {ReadWriteProp("FileName", &E::FileName, &E::SetFileName)});
  return &info;
}

void RegisterTextStyleClasses() { RegisterKestuClass(TTextStyles::StaticClass()); }
