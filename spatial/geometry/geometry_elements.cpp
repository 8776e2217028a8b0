#include "spatial/geometry/geometry_elements.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "framework/core/class_registry.h"
#include "platform/streams.h"
#include "platform/code_page.h"
#include "spatial/geometry/little_endian.h"

namespace {

constexpr double kTinyExtent = 1e-20;

// An offset as a fraction of an extent; 0 for an extent too small to measure.
double FractionOf(double offset, double extent) { return extent < kTinyExtent ? 0.0 : offset / extent; }

// Position of a relative reference value on the 3 x 3 grid, -1 off the grid.
int GridIndex(double relative) {
  if (relative == 0.0) return 0;
  if (relative == 0.5) return 1;
  if (relative == 1.0) return 2;
  return -1;
}

constexpr double kGridValues[3] = {0.0, 0.5, 1.0};

void CopyPosition(const TCoordinate& from, TCoordinate& to) {
  to.SetX(from.GetX());
  to.SetY(from.GetY());
  to.SetZ(from.GetZ());
}

}  // namespace

// ---------------------------------------------------------------- TCoordinate

double TCoordinate::GetX() const { return -1.0; }
double TCoordinate::GetY() const { return -1.0; }
double TCoordinate::GetZ() const { return -1.0; }
void TCoordinate::SetX(double) {}
void TCoordinate::SetY(double) {}
void TCoordinate::SetZ(double) {}

TCoordinate* TCoordinate::CreateCopy() const {
  auto* copy = static_cast<TCoordinate*>(NewElement(ClassType()));
  CopyPosition(*this, *copy);
  copy->CS = CS;
  return copy;
}

void TCoordinate::GetExtent(TRealRect& R) const {
  R.MinX = R.MaxX = GetX();
  R.MinY = R.MaxY = GetY();
}

void TCoordinate::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TElement::ReadData(reader, elementMap);
  CS = static_cast<std::uint8_t>(reader.ReadInteger());
}

void TCoordinate::WriteData(platform::TWriter& writer) const {
  TElement::WriteData(writer);
  writer.WriteInteger(CS);
}

TElement* TCoordinate::CreateEnvelope() const {
  auto* copy = static_cast<TCoordinate*>(TElement::CreateEnvelope());
  CopyPosition(*this, *copy);
  return copy;
}

void T2DCoordinate::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TCoordinate::ReadData(reader, elementMap);
  std::uint8_t raw[16];
  reader.Read(raw, sizeof raw);
  x_ = little_endian::GetDouble(raw);
  y_ = little_endian::GetDouble(raw + 8);
}

void T2DCoordinate::WriteData(platform::TWriter& writer) const {
  TCoordinate::WriteData(writer);
  std::uint8_t raw[16];
  little_endian::PutDouble(raw, x_);
  little_endian::PutDouble(raw + 8, y_);
  writer.Write(raw, sizeof raw);
}

void T3DCoordinate::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  T2DCoordinate::ReadData(reader, elementMap);
  z_ = static_cast<double>(reader.ReadFloat());
}

void T3DCoordinate::WriteData(platform::TWriter& writer) const {
  T2DCoordinate::WriteData(writer);
  writer.WriteFloat(z_);
}

// ---------------------------------------------------------------- TRectangle

namespace {

void ReadBounds(platform::TReader& reader, TRectangle& bounds) {
  bounds.SetMinX(static_cast<double>(reader.ReadFloat()));
  bounds.SetMinY(static_cast<double>(reader.ReadFloat()));
  bounds.SetMaxX(static_cast<double>(reader.ReadFloat()));
  bounds.SetMaxY(static_cast<double>(reader.ReadFloat()));
}

void WriteBounds(platform::TWriter& writer, const TRectangle& bounds) {
  for (double v : {bounds.MinX(), bounds.MinY(), bounds.MaxX(), bounds.MaxY()}) writer.WriteFloat(v);
}

}  // namespace

TRectangle::TRectangle() { Clear(); }

TRectangle::~TRectangle() = default;

void TRectangle::Clear() {
  SetMinX(EmptyMarker);
  SetMinY(EmptyMarker);
  SetMaxX(-EmptyMarker);
  SetMaxY(-EmptyMarker);
}

void TRectangle::IncludePoint(double X, double Y) {
  if (MinX() > X) SetMinX(X);
  if (MaxX() < X) SetMaxX(X);
  if (MinY() > Y) SetMinY(Y);
  if (MaxY() < Y) SetMaxY(Y);
}

void TRectangle::IncludeCoordinate(const TCoordinate* C) { IncludePoint(C->GetX(), C->GetY()); }

void TRectangle::IncludeRect(const TRectangle* R) {
  if (!R->IsValid()) return;
  IncludePoint(R->MinX(), R->MinY());
  IncludePoint(R->MaxX(), R->MaxY());
}

bool TRectangle::Intersects(const TRectangle* R) const {
  return !(MinX() > R->MaxX() || MaxX() < R->MinX() || MinY() > R->MaxY() || MaxY() < R->MinY());
}

void TRectangle::Normalize() {
  if (MaxX() < MinX()) {
    const double x = MinX();
    SetMinX(MaxX());
    SetMaxX(x);
  }
  if (MaxY() < MinY()) {
    const double y = MinY();
    SetMinY(MaxY());
    SetMaxY(y);
  }
}

void TRectangle::GetCenter(TRealPoint& P) const {
  P.X = (MaxX() - MinX()) / 2 + MinX();
  P.Y = (MaxY() - MinY()) / 2 + MinY();
}

void TRectangle::GetMarginRect(TRealRect& R) const {
  constexpr double kMargin = 10;
  R = {MinX() - kMargin, MinY() - kMargin, MaxX() + kMargin, MaxY() + kMargin};
}

void TRectangle::MoveBy(double DX, double DY) {
  SetMinX(MinX() + DX);
  SetMaxX(MaxX() + DX);
  SetMinY(MinY() + DY);
  SetMaxY(MaxY() + DY);
}

TRectangle* TRectangle::CreateCopy() const {
  auto* copy = static_cast<TRectangle*>(NewElement(ClassType()));
  copy->Assign(this);
  return copy;
}

TElement* TRectangle::CreateEnvelope() const { return CreateCopy(); }

void TRectangle::Assign(const TElement* Source) {
  const auto* source = DynamicCast<TRectangle>(Source);
  if (!source) return;
  SetMinX(source->MinX());
  SetMinY(source->MinY());
  SetMaxX(source->MaxX());
  SetMaxY(source->MaxY());
}


void TRectangle::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TElement::ReadData(reader, elementMap);
  ReadBounds(reader, *this);
}

void TRectangle::WriteData(platform::TWriter& writer) const {
  TElement::WriteData(writer);
  WriteBounds(writer, *this);
}

// ---------------------------------------------------------------- TRectEntity

TRectEntity::TRectEntity() = default;
TRectEntity::~TRectEntity() = default;

TRectangle* TRectEntity::MakeBoundRect() const {
  bounds_ = std::make_unique<TRectangle>();
  return bounds_.get();
}

void TRectEntity::SetBoundRect(TRectangle* R) {
  if (R != bounds_.get()) bounds_.reset(R);
}

T2DCoordinate* TRectEntity::RelRefPoint() const {
  if (!relRef_) relRef_ = std::make_unique<T2DCoordinate>();
  return relRef_.get();
}

void TRectEntity::SetRelRefPoint(T2DCoordinate* P) {
  if (P != relRef_.get()) relRef_.reset(P);
}

void TRectEntity::SetWidth(double value) {
  const double anchor = GetAbsRefX();
  SetMaxX(GetMinX() + value);
  SetAbsRefX(anchor);
}

void TRectEntity::SetHeight(double value) {
  const double anchor = GetAbsRefY();
  SetMaxY(GetMinY() + value);
  SetAbsRefY(anchor);
}

double TRectEntity::GetCenterX() const { return (GetMaxX() - GetMinX()) / 2 + GetMinX(); }
double TRectEntity::GetCenterY() const { return (GetMaxY() - GetMinY()) / 2 + GetMinY(); }

void TRectEntity::SetRelRefX(double value) {
  if (value == GetRelRefX()) return;
  const double oldDelta = GetDeltaRefX();
  RelRefPoint()->SetX(value);
  MoveBy(oldDelta - GetDeltaRefX(), 0);
}

void TRectEntity::SetRelRefY(double value) {
  if (value == GetRelRefY()) return;
  const double oldDelta = GetDeltaRefY();
  RelRefPoint()->SetY(value);
  MoveBy(0, oldDelta - GetDeltaRefY());
}

void TRectEntity::SetRelRef(double RX, double RY) {
  SetRelRefX(RX);
  SetRelRefY(RY);
}

void TRectEntity::SetDeltaRefX(double value) {
  SetRelRefX(value == 0 ? 0.0 : FractionOf(value, GetWidth()));
}

void TRectEntity::SetDeltaRefY(double value) {
  SetRelRefY(value == 0 ? 0.0 : FractionOf(value, GetHeight()));
}

void TRectEntity::SetAbsRefX(double value) { RelRefPoint()->SetX(FractionOf(value - GetMinX(), GetWidth())); }
void TRectEntity::SetAbsRefY(double value) { RelRefPoint()->SetY(FractionOf(value - GetMinY(), GetHeight())); }

void TRectEntity::SetX(double value) {
  if (!IsValid()) {
    SetMinX(value);
    SetMaxX(value);
  } else {
    MoveBy(value - GetAbsRefX(), 0);
  }
}

void TRectEntity::SetY(double value) {
  if (!IsValid()) {
    SetMinY(value);
    SetMaxY(value);
  } else {
    MoveBy(0, value - GetAbsRefY());
  }
}

namespace {

const char* const kHorizNames[3] = {"LEFT", "CENTER", "RIGHT"};
const char* const kVertNames[3] = {"DOWN", "CENTER", "TOP"};

std::string AllignName(const char* const (&names)[3], double relative) {
  const int index = GridIndex(relative);
  return index < 0 ? "OTHER" : names[index];
}

// The grid value that the text names, or -1 for a text naming none.
int AllignIndex(const char* const (&names)[3], const std::string& text) {
  const std::string upper = platform::AnsiUpperCase(text);
  for (int i = 0; i < 3; ++i)
    if (upper == names[i]) return i;
  return -1;
}

}  // namespace

std::string TRectEntity::GetHorizAllign() const { return AllignName(kHorizNames, GetRelRefX()); }
std::string TRectEntity::GetVertAllign() const { return AllignName(kVertNames, GetRelRefY()); }

void TRectEntity::SetHorizAllign(const std::string& value) {
  const int index = AllignIndex(kHorizNames, value);
  if (index >= 0) SetRelRefX(kGridValues[index]);
}

void TRectEntity::SetVertAllign(const std::string& value) {
  const int index = AllignIndex(kVertNames, value);
  if (index >= 0) SetRelRefY(kGridValues[index]);
}

TRefPosition TRectEntity::GetRefPosition() const {
  const int ix = GridIndex(GetRelRefX());
  const int iy = GridIndex(GetRelRefY());
  if (ix < 0 || iy < 0) return 0;
  return static_cast<TRefPosition>(ix * 3 + iy + 1);
}

void TRectEntity::SetRefPosition(TRefPosition code) {
  if (code < 1 || code > 9) return;
  SetRelRef(kGridValues[(code - 1) / 3], kGridValues[(code - 1) % 3]);
}

void TRectEntity::SetBounds(const TRealRect& R) {
  SetMinX(R.MinX);
  SetMinY(R.MinY);
  SetMaxX(R.MaxX);
  SetMaxY(R.MaxY);
}

void TRectEntity::MoveBy(double DX, double DY) { BoundRect()->MoveBy(DX, DY); }

void TRectEntity::IncludeElement(const TElement* E) {
  // Every line filed in a list or a node passes here: the class is asked once.
  if (!E) return;
  static const TClass coordinateClass = TCoordinate::StaticClass();
  static const TClass rectEntityClass = TRectEntity::StaticClass();
  const TClass cls = E->ClassType();
  if (cls->InheritsFrom(coordinateClass))
    BoundRect()->IncludeCoordinate(static_cast<const TCoordinate*>(E));
  else if (cls->InheritsFrom(rectEntityClass))
    BoundRect()->IncludeRect(static_cast<const TRectEntity*>(E)->BoundRect());
}

void TRectEntity::AddEntity(TElement* E) {
  IncludeElement(E);
  AddElement(E);
}

void TRectEntity::UpdateRectNoReset() {
  for (TElement* child : Children()) IncludeElement(child);
}

void TRectEntity::UpdateRect() {
  BoundRect()->Clear();
  UpdateRectNoReset();
}

bool TRectEntity::IsInsideRect(double MinX, double MinY, double MaxX, double MaxY) const {
  return MinX <= GetMinX() && GetMaxX() <= MaxX && MinY <= GetMinY() && GetMaxY() <= MaxY;
}

bool TRectEntity::ContainsRect(double MinX, double MinY, double MaxX, double MaxY) const {
  return GetMinX() <= MinX && GetMaxX() >= MaxX && GetMinY() <= MinY && GetMaxY() >= MaxY;
}

bool TRectEntity::IntersectsRect(double MinX, double MinY, double MaxX, double MaxY) const {
  return !(GetMaxX() < MinX || GetMinX() > MaxX || GetMaxY() < MinY || GetMinY() > MaxY);
}

bool TRectEntity::ContainsPoint(double X, double Y) const {
  return GetMinX() <= X && X <= GetMaxX() && GetMinY() <= Y && Y <= GetMaxY();
}

void TRectEntity::GetIntersection(const TRealRect& R, TRealRect& Out) const {
  Out.MinX = std::max(GetMinX(), R.MinX);
  Out.MaxX = std::min(GetMaxX(), R.MaxX);
  if (Out.MinX >= Out.MaxX) {
    Out = {};
    return;
  }
  Out.MinY = std::max(GetMinY(), R.MinY);
  Out.MaxY = std::min(GetMaxY(), R.MaxY);
  if (Out.MinY >= Out.MaxY) Out = {};
}

double TRectEntity::GetMaxSide() const { return GetHeight() > GetWidth() ? GetHeight() : GetWidth(); }

void TRectEntity::Assign(const TElement* Source) {
  const auto* source = DynamicCast<TRectEntity>(Source);
  if (!source) return;
  Index = source->Index;
  SetBoundRect(source->BoundRect()->CreateCopy());
}

int TRectEntity::GetSize() const {
  int size = TOwnerEntity::GetSize();
  if (bounds_) size += bounds_->GetSize();
  if (relRef_) size += relRef_->GetSize();
  return size;
}

void TRectEntity::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TOwnerEntity::ReadData(reader, elementMap);
  ReadBounds(reader, *BoundRect());
}

void TRectEntity::WriteData(platform::TWriter& writer) const {
  TOwnerEntity::WriteData(writer);
  WriteBounds(writer, *BoundRect());
}

TElement* TRectEntity::CreateEnvelope() const {
  auto* copy = static_cast<TRectEntity*>(TOwnerEntity::CreateEnvelope());
  copy->BoundRect()->Assign(BoundRect());
  return copy;
}

void TRectEntity::ReplaceLinkedChild(TElementLink& Link, TElement* E) {
  TElement* old = Link.Get();
  if (old == E) return;
  if (E) CheckNewHeld(E);
  Link.Set(E);
  if (old) FreeElement(old);
  if (E && IndexOf(E) < 0) TRectEntity::AddElement(E);
}

void TRectEntity::AddLinkedChild(const TElementLink& Link, TElement* element) {
  if (element && element == Link.Get() && IndexOf(element) >= 0) RemoveElement(element);
  TRectEntity::AddElement(element);
}

// ---------------------------------------------------------------- descendants

TElement* TDrawRectangle::CreateEnvelope() const {
  auto* copy = static_cast<TDrawRectangle*>(TRectEntity::CreateEnvelope());
  copy->PenWidth = PenWidth;
  copy->PenColor = PenColor;
  copy->PenStyle = PenStyle;
  copy->BrushColor = BrushColor;
  copy->BrushStyle = BrushStyle;
  return copy;
}

void TText::UpdateRectNoReset() { SetHeight(GetMaxY() - GetMinY()); }

void TText::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TRectEntity::ReadData(reader, elementMap);
  Text = reader.ReadString();
  Orientation = static_cast<double>(reader.ReadFloat());
  SetHeight(static_cast<double>(reader.ReadFloat()));
}

void TText::WriteData(platform::TWriter& writer) const {
  TRectEntity::WriteData(writer);
  writer.WriteString(Text);
  writer.WriteFloat(Orientation);
  writer.WriteFloat(GetHeight());
}

TElement* TText::CreateEnvelope() const {
  auto* copy = static_cast<TText*>(TRectEntity::CreateEnvelope());
  copy->Text = Text;
  copy->FontName = FontName;
  copy->FontStyle = FontStyle;
  copy->Charset = Charset;
  copy->Color = Color;
  copy->Orientation = Orientation;
  copy->SetHeight(GetHeight());
  return copy;
}

std::string TSelectedElement::GetSelectName() const {
  TElement* selected = Selected();
  if (!selected) return {};
  try {
    return selected->GetName();
  } catch (const std::exception&) {
    return {};
  }
}

// ---------------------------------------------------------------- descriptions

template <>
const TEnumType& typinfo::EnumTypeOf<TPenStyle>() {
  static const TEnumType type{"TPenStyle",
                              {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}};
  return type;
}

template <>
const TEnumType& typinfo::EnumTypeOf<TBrushStyle>() {
  static const TEnumType type{
      "TBrushStyle",
      {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"}};
  return type;
}

TClass TCoordinate::StaticClass() {
  static const TClassInfo info = DescribeClass<TCoordinate>(
      "TCoordinate", TElement::StaticClass(), "G_elems",
      {FieldProp("CS", &TCoordinate::CS), ReadWriteProp("X", &TCoordinate::GetX, &TCoordinate::SetX),
       ReadWriteProp("Y", &TCoordinate::GetY, &TCoordinate::SetY),
       ReadWriteProp("Z", &TCoordinate::GetZ, &TCoordinate::SetZ)});
  return &info;
}

TClass T2DCoordinate::StaticClass() {
  static const TClassInfo info =
      DescribeClass<T2DCoordinate>("T2DCoordinate", TCoordinate::StaticClass(), "G_elems", {});
  return &info;
}

TClass T3DCoordinate::StaticClass() {
  static const TClassInfo info =
      DescribeClass<T3DCoordinate>("T3DCoordinate", T2DCoordinate::StaticClass(), "G_elems", {});
  return &info;
}

TClass TRectangle::StaticClass() {
  static const TClassInfo info = DescribeClass<TRectangle>(
      "TRectangle", TElement::StaticClass(), "G_elems",
      {ReadWriteProp("MinX", &TRectangle::MinX, &TRectangle::SetMinX),
       ReadWriteProp("MinY", &TRectangle::MinY, &TRectangle::SetMinY),
       ReadWriteProp("MaxX", &TRectangle::MaxX, &TRectangle::SetMaxX),
       ReadWriteProp("MaxY", &TRectangle::MaxY, &TRectangle::SetMaxY),
       ReadWriteProp("Height", &TRectangle::Height, &TRectangle::SetHeight),
       ReadWriteProp("Width", &TRectangle::Width, &TRectangle::SetWidth)});
  return &info;
}

TClass TRectEntity::StaticClass() {
  using E = TRectEntity;
  static const TClassInfo info = [] {
    TPropInfo refPosition = NotStored(ReadWriteProp("RefPosition", &E::GetRefPosition, &E::SetRefPosition));
    refPosition.Range = {0, 9};
    return DescribeClass<E>(
      "TRectEntity", TOwnerEntity::StaticClass(), "G_elems",
      {FieldProp("Index", &E::Index), ReadWriteProp("MinX", &E::GetMinX, &E::SetMinX),
       ReadWriteProp("MinY", &E::GetMinY, &E::SetMinY), NotStored(ReadWriteProp("MaxX", &E::GetMaxX, &E::SetMaxX)),
       NotStored(ReadWriteProp("MaxY", &E::GetMaxY, &E::SetMaxY)), NotStored(ReadProp("IsValid", &E::IsValid)),
       ReadWriteProp("Width", &E::GetWidth, &E::SetWidth), ReadWriteProp("Height", &E::GetHeight, &E::SetHeight),
       NotStored(ReadProp("CenterX", &E::GetCenterX)),
       NotStored(ReadProp("CenterY", &E::GetCenterY)),
       NotStored(ReadWriteProp("X", &E::GetAbsRefX, &E::SetX)), NotStored(ReadWriteProp("Y", &E::GetAbsRefY, &E::SetY)),
       NotStored(ReadWriteProp("RelRefX", &E::GetRelRefX, &E::SetRelRefX)),
       NotStored(ReadWriteProp("RelRefY", &E::GetRelRefY, &E::SetRelRefY)),
       NotStored(ReadWriteProp("DeltaRefX", &E::GetDeltaRefX, &E::SetDeltaRefX)),
       NotStored(ReadWriteProp("DeltaRefY", &E::GetDeltaRefY, &E::SetDeltaRefY)),
       ReadWriteProp("AbsRefX", &E::GetAbsRefX, &E::SetAbsRefX), ReadWriteProp("AbsRefY", &E::GetAbsRefY, &E::SetAbsRefY),
       NotStored(ReadWriteProp("HorizAllign", &E::GetHorizAllign, &E::SetHorizAllign)),
       NotStored(ReadWriteProp("VertAllign", &E::GetVertAllign, &E::SetVertAllign)), std::move(refPosition),
       NotStored(AccessorProp<E, double>("DeltaX", nullptr, [](E& e, double v) { e.MoveBy(v, 0); })),
       NotStored(AccessorProp<E, double>("DeltaY", nullptr, [](E& e, double v) { e.MoveBy(0, v); })),
       NotStored(AccessorProp<E, bool>("UpdateNoReset", nullptr, [](E& e, bool run) {
         if (run)
           e.UpdateRectNoReset();
         else
           e.BoundRect()->Clear();
       }))});
  }();
  return &info;
}

TClass TDrawRectangle::StaticClass() {
  using E = TDrawRectangle;
  static const TClassInfo info = DescribeClass<E>(
      "TDrawRectangle", TRectEntity::StaticClass(), "G_elems",
      {FieldProp("PenColor", &E::PenColor), FieldProp("PenStyle", &E::PenStyle), FieldProp("PenWidth", &E::PenWidth),
       FieldProp("BrushColor", &E::BrushColor), FieldProp("BrushStyle", &E::BrushStyle)});
  return &info;
}

TClass TText::StaticClass() {
  using E = TText;
  static const TClassInfo info = [] {
    TPropInfo fontStyle = FieldProp("FontStyle", &E::FontStyle);
    fontStyle.Kind = tkSet;
    fontStyle.Range = {0, fsBold | fsItalic | fsUnderline | fsStrikeOut};
    return DescribeClass<E>(
        "TText", TRectEntity::StaticClass(), "G_elems",
        {FieldProp("Text", &E::Text), FieldProp("Orientation", &E::Orientation), FieldProp("Color", &E::Color),
         FieldProp("FontName", &E::FontName), std::move(fontStyle), FieldProp("Charset", &E::Charset)});
  }();
  return &info;
}

TClass TSelectedElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSelectedElement>("TSelectedElement", TRectEntity::StaticClass(), "G_elems",
                                      {NotStored(ReadProp("SelectName", &TSelectedElement::GetSelectName))});
  return &info;
}

void RegisterG_elemsClasses() {
  for (TClass cls : {T2DCoordinate::StaticClass(), T3DCoordinate::StaticClass(), TRectangle::StaticClass(),
                     TDrawRectangle::StaticClass(), TText::StaticClass(), TRectEntity::StaticClass(),
                     TSelectedElement::StaticClass()})
    RegisterKestuClass(cls);
}
