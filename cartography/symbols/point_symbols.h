#pragma once
// Point symbols: glyphs of the stroke-font files that "Fonty.txt" lists by
// number.  A symbol code is the entry number × 1000 + the character code.
#include <cstdint>
#include <memory>
#include <string>

#include "cartography/symbols/stroke_font.h"
#include "framework/core/elements.h"

class TDevice;
class TSpaceEntity;

// One line of "Fonty.txt".
class TBGIFontFile : public TOwnerElement {
  KESTX_CLASS(TBGIFontFile)
 public:
  std::string Name;
  std::int32_t Number = 0;
  std::uint8_t HeightMode = 0;
  double Size = 0;
  // Millimetres on the map.
  double PenSize = 0;
};

// A font loaded by the path of its file, which must carry the signature.
class TBGISymbol : public TBGIFont {
  KESTX_CLASS(TBGISymbol)
 public:
  // True at once when that entry or that file is the one loaded.
  bool LoadFile(std::int32_t number, const std::string& path);
  std::int32_t LoadedEntry() const { return loadedEntry_; }

 private:
  std::int32_t loadedEntry_ = -1;
};

class TLumaRSymbols : public TOwnerEntity {
  KESTX_CLASS(TLumaRSymbols)
 public:
  TLumaRSymbols();
  // Reads the list when it exists; else the library stays empty.
  explicit TLumaRSymbols(const std::string& listFile);
  ~TLumaRSymbols() override;

  void SetDevice(TDevice* device);
  TDevice* Device() const { return device_; }
  TBGIFontFile* FindFontFile(std::int32_t number) const;
  // In the colour of the colour code.
  void DrawSymbol(std::int16_t colourCode, std::int32_t code, double direction, double X, double Y);
  // At the element's reference point, turned by its angle, in the current pen colour.
  void DrawElementSymbol(TSpaceEntity* element, std::int32_t code);

  TBGISymbol* Font() const { return font_.get(); }

 private:
  void ReadList(const std::string& listFile);
  // The entry ready to draw the code, or nullptr.
  TBGIFontFile* LoadedEntryOf(std::int32_t code);
  void Draw(const TBGIFontFile& entry, std::int32_t code, double direction, double X, double Y);

  std::unique_ptr<TBGISymbol> font_;
  std::unique_ptr<TBGIText> text_;
  TDevice* device_ = nullptr;
};

void RegisterPointSymbolClasses();
