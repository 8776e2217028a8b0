#pragma once
// Small drawing elements of the GIS symbology that rendering uses for
// symbols and texts: a point with the block object's number, kind, colour,
// symbol and precision; one with a rectangle; and a text.
#include <cstdint>
#include <memory>
#include <string>

#include "block/files/block_info.h"
#include "spatial/geometry/geometry_elements.h"

class TBGIBaseElement : public T2DCoordinate {
  KESTX_CLASS(TBGIBaseElement)
 public:
  std::int32_t Cislo = 0;
  std::int16_t Druh = 0;
  std::int16_t Barva = 0;
  std::int16_t Znacka = 0;
  std::uint8_t Presnost = 0;
};

class TRectBGIElement : public TBGIBaseElement {
  KESTX_CLASS(TRectBGIElement)
 public:
  TRectBGIElement();
  ~TRectBGIElement() override;

  // Owned; created empty on first use.
  TRectangle* Rect() const;
  // Closed intervals: touching counts.
  bool Overlaps(double MinX, double MinY, double MaxX, double MaxY) const;
  // The rectangle widened by 10 on every side.
  void GetMarginRect(TRealRect& bounds) const;

 private:
  mutable std::unique_ptr<TRectangle> rect_;
};

class TBGIText : public TRectBGIElement {
  KESTX_CLASS(TBGIText)
 public:
  TBGIText();
  ~TBGIText() override;

  TCodePage CodePage = cpIBM;
  // The text itself, UTF-8; its code page's bytes are those of the 1250
  // mapping, as block texts are read.
  std::string Veta;

  // How a stroke font draws it.
  std::uint8_t Font = 0;
  double Height = 0;
  double WidthFactor = 1;
  // Radians, counter-clockwise.
  double Direction = 0;
  double Slant = 0;
  double Spacing = 0;
  // Bit values: 8 sized by HeightMode, 4 no text style.
  std::uint8_t Flags = 0;
  std::uint8_t HeightMode = 0;

  // Owned; created on first use.
  T2DCoordinate* StartPoint() const;

 private:
  mutable std::unique_ptr<T2DCoordinate> startPoint_;
};
