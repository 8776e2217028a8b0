#pragma once
// Points and rectangles of the world (metres, Y up) as elements, and the rect
// entity: the base of everything spatial that has an extent, with a
// reference point anchored relative to its box.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/elements.h"
#include "spatial/geometry/geometry_types.h"

// An abstract point: the base accessors hold no value.
class TCoordinate : public TElement {
  KESTX_CLASS(TCoordinate)
 public:
  // Carried and copied with the point; no operation here interprets it.
  std::uint8_t CS = 0;

  virtual double GetX() const;
  virtual double GetY() const;
  virtual double GetZ() const;
  virtual void SetX(double value);
  virtual void SetY(double value);
  virtual void SetZ(double value);
  // A new point of the same class with X, Y, Z and CS; the caller owns it.
  virtual TCoordinate* CreateCopy() const;
  virtual void GetExtent(TRealRect& R) const;

  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;
  TElement* CreateEnvelope() const override;
};

class T2DCoordinate : public TCoordinate {
  KESTX_CLASS(T2DCoordinate)
 public:
  T2DCoordinate() = default;
  T2DCoordinate(double x, double y) : x_(x), y_(y) {}

  // Final: a vertex read through a T2DCoordinate is a plain load, and the
  // passes over whole maps read millions of them.
  double GetX() const final { return x_; }
  double GetY() const final { return y_; }
  void SetX(double value) final { x_ = value; }
  void SetY(double value) final { y_ = value; }

  // X and Y follow as 16 raw bytes.
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

 private:
  double x_ = 0;
  double y_ = 0;
};

class T3DCoordinate : public T2DCoordinate {
  KESTX_CLASS(T3DCoordinate)
 public:
  double GetZ() const override { return z_; }
  void SetZ(double value) override { z_ = value; }

  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

 private:
  double z_ = 0;
};

// An axis-parallel rectangle.  Empty is Min = (1e30, 1e30), Max = (-1e30,
// -1e30): a real state, which growing by a point turns into that point.
class TRectangle : public TElement {
  KESTX_CLASS(TRectangle)
 public:
  static constexpr double EmptyMarker = 1e30;

  TRectangle();
  ~TRectangle() override;

  T2DCoordinate* MinCorner() const { return &min_; }
  T2DCoordinate* MaxCorner() const { return &max_; }
  double MinX() const { return min_.GetX(); }
  double MinY() const { return min_.GetY(); }
  double MaxX() const { return max_.GetX(); }
  double MaxY() const { return max_.GetY(); }
  void SetMinX(double value) { min_.SetX(value); }
  void SetMinY(double value) { min_.SetY(value); }
  void SetMaxX(double value) { max_.SetX(value); }
  void SetMaxY(double value) { max_.SetY(value); }
  double Width() const { return MaxX() - MinX(); }
  double Height() const { return MaxY() - MinY(); }
  // Min stays; Max follows.
  void SetWidth(double value) { SetMaxX(MinX() + value); }
  void SetHeight(double value) { SetMaxY(MinY() + value); }

  void Clear();
  void IncludePoint(double X, double Y);
  void IncludeCoordinate(const TCoordinate* C);
  // An invalid R changes nothing.
  void IncludeRect(const TRectangle* R);
  // Ordered corners, none NaN or beyond EmptyMarker; asked for every
  // rectangle included and every cell filed into, so inline.
  bool IsValid() const {
    const double minX = MinX(), minY = MinY(), maxX = MaxX(), maxY = MaxY();
    // Written so that NaN fails: every comparison with it is false.
    return minX <= maxX && minY <= maxY && minX > -EmptyMarker && maxX < EmptyMarker && minY > -EmptyMarker &&
           maxY < EmptyMarker;
  }
  // Closed intervals: a shared edge or corner intersects.
  bool Intersects(const TRectangle* R) const;
  void Normalize();
  void GetCenter(TRealPoint& P) const;
  void GetMarginRect(TRealRect& R) const;
  void MoveBy(double DX, double DY);

  // A new rectangle of the same class with the same corners; the caller owns it.
  virtual TRectangle* CreateCopy() const;
  TElement* CreateEnvelope() const override;
  void Assign(const TElement* Source) override;
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

 private:
  // Parts of the rectangle, not allocated on their own: every rect entity
  // has a rectangle, and a million lines should not cost two million more
  // allocations.  Callers may move them through a const rectangle.
  mutable T2DCoordinate min_;
  mutable T2DCoordinate max_;
};

// Codes 1 to 9 name the cells of the 3 x 3 grid of relative reference
// positions (X in 0, 0.5, 1 by thirds of the codes, Y within each third);
// 0 names none.
using TRefPosition = std::uint8_t;

// The reference point is kept relative to the box: (0, 0) the lower-left
// corner, (1, 1) the upper-right.  Moving and resizing keep the absolute
// anchor where it is.
class TRectEntity : public TOwnerEntity {
  KESTX_CLASS(TRectEntity)
 public:
  TRectEntity();
  ~TRectEntity() override;

  std::int32_t Index = 0;

  // Created empty on first use.  Every bounds read passes here: the made
  // rectangle is answered inline.
  TRectangle* BoundRect() const { return bounds_ ? bounds_.get() : MakeBoundRect(); }
  // Takes R; nil leaves the next access to create an empty one.
  void SetBoundRect(TRectangle* R);
  // Created as (0, 0) on first use.
  T2DCoordinate* RelRefPoint() const;
  // Takes P; the bounds do not move.
  void SetRelRefPoint(T2DCoordinate* P);

  double GetMinX() const { return BoundRect()->MinX(); }
  double GetMinY() const { return BoundRect()->MinY(); }
  double GetMaxX() const { return BoundRect()->MaxX(); }
  double GetMaxY() const { return BoundRect()->MaxY(); }
  void SetMinX(double value) { BoundRect()->SetMinX(value); }
  void SetMinY(double value) { BoundRect()->SetMinY(value); }
  void SetMaxX(double value) { BoundRect()->SetMaxX(value); }
  void SetMaxY(double value) { BoundRect()->SetMaxY(value); }
  bool IsValid() const { return BoundRect()->IsValid(); }
  // Asks the processor to start loading the bounds, where they are made.
  void PrefetchBounds() const {
    if (bounds_) __builtin_prefetch(bounds_.get());
  }
  double GetWidth() const { return BoundRect()->Width(); }
  double GetHeight() const { return BoundRect()->Height(); }
  void SetWidth(double value);
  void SetHeight(double value);
  double GetCenterX() const;
  double GetCenterY() const;

  double GetRelRefX() const { return RelRefPoint()->GetX(); }
  double GetRelRefY() const { return RelRefPoint()->GetY(); }
  void SetRelRefX(double value);
  void SetRelRefY(double value);
  void SetRelRef(double RX, double RY);
  double GetDeltaRefX() const { return GetRelRefX() * GetWidth(); }
  double GetDeltaRefY() const { return GetRelRefY() * GetHeight(); }
  void SetDeltaRefX(double value);
  void SetDeltaRefY(double value);
  double GetAbsRefX() const { return GetMinX() + GetDeltaRefX(); }
  double GetAbsRefY() const { return GetMinY() + GetDeltaRefY(); }
  void SetAbsRefX(double value);
  void SetAbsRefY(double value);
  // The published X and Y: move the box so that the anchor lands there.
  void SetX(double value);
  void SetY(double value);

  std::string GetHorizAllign() const;
  std::string GetVertAllign() const;
  void SetHorizAllign(const std::string& value);
  void SetVertAllign(const std::string& value);
  TRefPosition GetRefPosition() const;
  virtual void SetRefPosition(TRefPosition code);

  void SetBounds(const TRealRect& R);
  void MoveBy(double DX, double DY);
  void IncludeElement(const TElement* E);
  void AddEntity(TElement* E);
  virtual void UpdateRectNoReset();
  virtual void UpdateRect();

  bool IsInsideRect(double MinX, double MinY, double MaxX, double MaxY) const;
  bool ContainsRect(double MinX, double MinY, double MaxX, double MaxY) const;
  bool IntersectsRect(double MinX, double MinY, double MaxX, double MaxY) const;
  bool ContainsPoint(double X, double Y) const;
  // A zero-width or zero-height intersection comes back as all zeros.
  void GetIntersection(const TRealRect& R, TRealRect& Out) const;
  double GetMaxSide() const;

  void Assign(const TElement* Source) override;
  int GetSize() const override;
  // The bounds follow the entity's data; index and reference point are not
  // stored, so a loaded entity is anchored at its lower-left corner.
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;
  TElement* CreateEnvelope() const override;

 protected:
  // For a child that a property also holds through Link (a tree's matrix, a
  // geometry): the old one is freed and E becomes the linked child.
  void ReplaceLinkedChild(TElementLink& Link, TElement* E);
  // The stream lists such a child among the children after setting the
  // property: it stays one child, in the place the list gives it.
  void AddLinkedChild(const TElementLink& Link, TElement* element);

 private:
  TRectangle* MakeBoundRect() const;

  mutable std::unique_ptr<TRectangle> bounds_;
  mutable std::unique_ptr<T2DCoordinate> relRef_;
};

using TColor = std::int32_t;

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle : std::uint8_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

template <>
const TEnumType& typinfo::EnumTypeOf<TPenStyle>();
template <>
const TEnumType& typinfo::EnumTypeOf<TBrushStyle>();

class TDrawRectangle : public TRectEntity {
  KESTX_CLASS(TDrawRectangle)
 public:
  double PenWidth = 0;
  TColor PenColor = 0;
  TPenStyle PenStyle = psSolid;
  TColor BrushColor = 0;
  TBrushStyle BrushStyle = bsSolid;

  TElement* CreateEnvelope() const override;
};

// Bits of TText::FontStyle.
enum TFontStyleBit : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TText : public TRectEntity {
  KESTX_CLASS(TText)
 public:
  std::string Text;
  double Orientation = 0;
  TColor Color = 0;
  std::string FontName;
  std::uint8_t FontStyle = 0;  // TFontStyleBit mask
  std::uint8_t Charset = 0;

  // The box is the text's own; children do not shape it.
  void UpdateRectNoReset() override;
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;
  TElement* CreateEnvelope() const override;
};

// A box standing for a selected element, which it names.
class TSelectedElement : public TRectEntity {
  KESTX_CLASS(TSelectedElement)
 public:
  TElement* Selected() const { return selected_.Get(); }
  void SetSelected(TElement* element) { selected_.Set(element); }
  std::string GetSelectName() const;

 private:
  TElementLink selected_;
};

void RegisterG_elemsClasses();
