#pragma once
// The parts of a line symbol: elements (dashes, ticks and glyphs) laid one
// after another along a line, and the chains that repeat them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/elements.h"
#include "spatial/geometry/geometry_types.h"

class TDevice;

// Element flag bit values.
enum : std::uint16_t {
  kNatacet = 1,
  kLamatZnacku = 2,
  kKreslitPrvni = 4,
  kLamatMezeru = 8,  // chains: kHarmonika
  kCentrovat = 16,
  kKreslitPosledni = 32,
  kKreslitZbytek = 64,
  kPrvniBod = 256,
  kPosledniBod = 512,
  kLomBod = 1024,
  kLomBod0 = 2048,
  kLomBod1 = 4096,
};
constexpr std::uint16_t kHarmonika = kLamatMezeru;

// One point of an element's shape.
struct TBodZnacky {
  // 1: a line drawn to the point; 0: a move there.
  std::uint8_t Draw = 0;
  // Relative to the element's start, and turned by the segment direction.
  TRealPoint Point;
  TRealPoint Turned;
};

// A dash or tick (CLANEK).
class TLinZnacka : public TElement {
  KESTX_CLASS(TLinZnacka)
 public:
  std::int32_t TrueColor = 0;
  bool ByTrueColor = false;
  // World units along the line.
  double Velikost = 0;
  // Millimetres on the map.
  double Sila = 1;
  // A colour code; -1 (unless the file says otherwise) for the line's colour.
  std::int32_t Color = -1;
  // Radians.
  double Uhel = 0;
  // The gap after the element, world units.
  double Vzdalenost = 0;
  std::uint16_t Flags = kNatacet | kLamatZnacku | kLamatMezeru | kKreslitZbytek;
  std::vector<TBodZnacky> Points;
  bool TooSmall = false;

  virtual void SetDirection(double angle);
  // Draws the part of the element from its start that is length long and
  // moves the position past it.
  virtual void Split(TDevice& device, TRealPoint& position, double length);
  virtual void Prepare();
  virtual void DrawAt(TDevice& device, TRealPoint& position);
  // How far DrawAt moves the position, in the direction set last.
  virtual TRealPoint Advance() const;
  // A glyph is never cut.
  virtual bool CanBeCut() const { return true; }

  const TRealPoint& GapVector() const { return gapVector_; }

 protected:
  TRealPoint gapVector_;
  double direction_ = 0;
};

// A glyph of a stroke font (PETRKLIC).
class TPetrklicZn : public TLinZnacka {
  KESTX_CLASS(TPetrklicZn)
 public:
  TPetrklicZn();
  std::uint8_t Kod = 0;
  std::string Soubor;

  // Glyphs are drawn whole.
  void Split(TDevice& device, TRealPoint& position, double length) override;
  void DrawAt(TDevice& device, TRealPoint& position) override;
  TRealPoint Advance() const override;
  bool CanBeCut() const override { return false; }
};

// A chain of elements repeated along the line (RETEZ).
class TRetezovaZnacka : public TLinZnacka {
  KESTX_CLASS(TRetezovaZnacka)
 public:
  TRetezovaZnacka();
  ~TRetezovaZnacka() override;

  std::int32_t Zakladniznacka = 0;
  // 1 left, 0 right.
  std::uint8_t Strana = 1;
  std::vector<std::unique_ptr<TLinZnacka>> Elements;

  void SetDirection(double angle) override;
  virtual void AddElement(std::unique_ptr<TLinZnacka> element);
  // Sets TooSmall from the elements' sizes in pixels.
  void UpdateTooSmall(TDevice& device);
  // Draws the chain along the vertices in the colour (the chain's, or the
  // line's when the chain's is -1).
  virtual void DrawChain(TDevice& device, const TRealRect& visible, bool clip, const std::vector<TRealPoint>& line,
                         std::int16_t lineColour);

 private:
  void DrawPlain(TDevice& device, const std::vector<TRealPoint>& line);
  void Walk(TDevice& device, const TRealRect& visible, bool clip, const std::vector<TRealPoint>& line,
            const std::vector<TLinZnacka*>& pattern);
};

void RegisterLineSymbolElementClasses();
