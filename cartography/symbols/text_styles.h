#pragma once
// The text styles of "Styly.txt": a style, chosen by a text's kind, gives
// its font, size, slant, spacing, colour and pen.
#include <cstdint>
#include <string>

#include "framework/core/elements.h"

namespace bgi {

// Not the paragraph style of the formatted texts, which the registry knows
// under the same name: this one is only ever made by TTextStyles.
class TTextStyle : public TOwnerElement {
 public:
  std::string Name;
  std::int32_t Druh = 0;
  std::uint8_t Rezim = 0;
  std::uint8_t Font = 0;
  double Vyska = 0;
  double Sirka = 0;
  // Degrees.
  double Sklon = 0;
  double Rozestupy = 0;
  std::int32_t Barva = 0;
  std::int32_t DruhCary = 0;
  // Millimetres on the map.
  double SilaPera = 0;
};

}  // namespace bgi

class TTextStyles : public TOwnerEntity {
  KESTX_CLASS(TTextStyles)
 public:
  std::string FileName() const { return fileName_; }
  // Reads the file, when it exists, in place of the styles held.  A bad
  // whole number skips its key with a log line; the rest is read on.
  void SetFileName(const std::string& fileName);
  // The first style of that kind, or nullptr.
  bgi::TTextStyle* FindStyle(std::int32_t kind) const;

 private:
  // False when the value is no number of the field's kind.
  bool SetField(bgi::TTextStyle& style, const std::string& key, const std::string& value);

  std::string fileName_;
};

void RegisterTextStyleClasses();
