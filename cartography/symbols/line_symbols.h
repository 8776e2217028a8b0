#pragma once
// Line symbols of "linzn.txt": a polyline drawn as chains of dashes, ticks
// and glyphs, read on first use and kept.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cartography/symbols/line_symbol_elements.h"
#include "cartography/symbols/stroke_font.h"
#include "framework/core/elements.h"
#include "render/area_symbols/keyword_reader.h"

class TDevice;

class TLiniovaZnacka : public TElement {
  KESTX_CLASS(TLiniovaZnacka)
 public:
  TLiniovaZnacka();
  ~TLiniovaZnacka() override;

  std::int32_t Kod = -1;
  std::string Nazev;
  // Stored only: no symbol stands in for another when drawing.
  std::int32_t Nahradniznacka = 0;
  bool ByTrueColor = false;
  // In drawing order: the reverse of the file's.
  std::vector<std::unique_ptr<TRetezovaZnacka>> Chains;

  void Draw(TDevice& device, const TRealRect& visible, bool clip, const std::vector<TRealPoint>& line,
            std::int16_t lineColour);
};

// One symbol file with its number.
class TSouborLinZn : public TOwnerElement {
  KESTX_CLASS(TSouborLinZn)
 public:
  std::int32_t Number = 0;
};

class TLinZnLibrary : public TEntity {
  KESTX_CLASS(TLinZnLibrary)
 public:
  // The path of the file of that number; empty when none.
  std::string VratSouborCislo(std::int32_t number) const;
};

// Loads glyph files by path, signed as point symbol fonts are, and turns
// glyphs into element points.
class TPaklicNaPetrklic : public TBGIFont {
  KESTX_CLASS(TPaklicNaPetrklic)
 public:
  bool LoadFile(const std::string& path);
  // The glyph of the element's code scaled to its size and turned by its
  // angle; no points when the code lies outside the font.
  void BuildPoints(TPetrklicZn& element) const;

 private:
  std::string path_;
};

class TCteniLiniovychZnacek : public TCteniParametru {
 public:
  TCteniLiniovychZnacek(const std::string& fileName, TDevice* device);
  ~TCteniLiniovychZnacek() override;
  // The symbol of that code, or nullptr when the file has none usable.
  std::unique_ptr<TLiniovaZnacka> ReadSymbol(std::int32_t code);

 private:
  // The next parameter; false at the end of the file.
  bool Next();
  double Millimetres();
  // A negative length reads as 0 and marks the symbol for its log line.
  double Length();
  double NonNegative(double value);
  std::unique_ptr<TRetezovaZnacka> ReadChain();
  std::unique_ptr<TLinZnacka> ReadElement(bool glyph);
  void SetFlag(TLinZnacka& element, std::uint16_t bit);

  TDevice* device_;
  std::unique_ptr<TPaklicNaPetrklic> glyphs_;
  bool isKey_ = false, isSection_ = false, isLast_ = false, ended_ = false;
  std::string key_, value_;
  bool negativeLength_ = false;
};

class TLinioveZnacky : public TEntity {
  KESTX_CLASS(TLinioveZnacky)
 public:
  TLinioveZnacky();
  // The library with one file (number 0).
  explicit TLinioveZnacky(const std::string& fileName);
  ~TLinioveZnacky() override;

  bool Ready() const { return library_ != nullptr; }
  TLinZnLibrary* Library() const { return library_.get(); }
  void SetDevice(TDevice* device) { device_ = device; }
  TDevice* Device() const { return device_; }
  TRealRect VisibleRect;

  // A symbol read before, else read now; nullptr when the file has none (a
  // code it lacks is not sought again while the file stays as it was).
  TLiniovaZnacka* GetSymbol(std::int32_t code);
  TLiniovaZnacka* LoadSymbol(std::int32_t code);

 private:
  std::unique_ptr<TLinZnLibrary> library_;
  TDevice* device_ = nullptr;
  TCodesNotFound notFound_;
};

void RegisterLineSymbolClasses();
