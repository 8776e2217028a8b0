#include "spatial/sheets/map_sheets.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "framework/core/class_registry.h"
#include "platform/streams.h"
#include "spatial/sheets/zm_sheets.h"
#include "spatial/geometry/little_endian.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

constexpr double kSheet50Width = 25000;
constexpr double kSheet50Height = 20000;
constexpr double kSheet5Width = 2500;
constexpr double kSheet5Height = 2000;
constexpr double kSheet2Width = 1250;
constexpr double kSheet2Height = 1000;

struct TSheetSize {
  double Width;
  double Height;
};

// Sheet size of a level of the series; zero for a scale that is no level.
TSheetSize SheetSizeOfScale(double scale) {
  if (scale == 50000) return {kSheet50Width, kSheet50Height};
  if (scale == 25000) return {12500, 10000};
  if (scale == 10000) return {5000, 4000};
  if (scale == 5000) return {kSheet5Width, kSheet5Height};
  if (scale == 2000) return {kSheet2Width, kSheet2Height};
  return {0, 0};
}

// Rounds to the nearest integer, halves to the even neighbour.
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

std::string ColRow(int c, int r) { return std::to_string(c) + "-" + std::to_string(r); }

void WriteColRow(platform::TWriter& writer, std::int32_t col, std::int32_t row) {
  std::uint8_t raw[8];
  little_endian::PutInt32(raw, col);
  little_endian::PutInt32(raw + 4, row);
  writer.Write(raw, sizeof raw);
}

void ReadColRow(platform::TReader& reader, std::int32_t& col, std::int32_t& row) {
  std::uint8_t raw[8];
  reader.Read(raw, sizeof raw);
  col = little_endian::GetInt32(raw);
  row = little_endian::GetInt32(raw + 4);
}

// The first character count characters of a UTF-8 text.
std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < count && at < text.size(); ++n) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return text.substr(0, at);
}

// Every sheet filed in a tree's matrix, strip by strip.
template <class Visit>
void ForEachSheet(const TSpaceTree& tree, Visit visit) {
  for (int s = 0; s < tree.GetRowCount(); ++s)
    if (TSpaces* strip = tree.GetRow(s))
      for (TElement* sheet : strip->Children())
        if (visit(sheet)) return;
}

template <class Sheet>
Sheet* FindSubSheet(const TSpaceTree& tree, int col, int row) {
  Sheet* found = nullptr;
  ForEachSheet(tree, [&](TElement* element) {
    auto* sheet = DynamicCast<Sheet>(element);
    if (sheet && sheet->Col == col && sheet->Row == row) found = sheet;
    return found != nullptr;
  });
  return found;
}

// A new sub-sheet's place: the parent's east and north edges moved by the
// given sheet counts, one sheet wide and high.
void PlaceBelowCorner(TRectEntity& sheet, const TRectEntity& parent, double stepsWest, double stepsSouth,
                      double width, double height) {
  const double maxX = parent.GetMaxX() - stepsWest * width;
  const double maxY = parent.GetMaxY() - stepsSouth * height;
  sheet.SetBounds({maxX - width, maxY - height, maxX, maxY});
}

// Gives a new sub-sheet its place in the parent's grid, its name and the
// parent's abbreviation, and files it in the parent's matrix.
void FileSubSheet(TSMO_2& parent, TSMO_2& sheet, int col, int row, const std::string& name) {
  sheet.Col = col;
  sheet.Row = row;
  sheet.SetName(name);
  sheet.SetZkratka(parent.GetZkratka());
  parent.AddSpace(&sheet);
}

}  // namespace

// ---------------------------------------------------------------- TMapSpace

void TMapSpace::SetZkratka(const std::string& value) { zkratka_ = FirstCharacters(value, ZkratkaLength); }

double TMapSpace::GetPageWidth() const {
  const double scale = GetScale();
  return scale == 0 ? 0.0 : GetWidth() / scale;
}

double TMapSpace::GetPageHeight() const {
  const double scale = GetScale();
  return scale == 0 ? 0.0 : GetHeight() / scale;
}

double TMapSpace::GetScale() const { return 0; }
void TMapSpace::SetScale(double) {}
TMapSpace* TMapSpace::GetTopMS() const { return nullptr; }
TMapSpace* TMapSpace::GetBottomMS() const { return nullptr; }
TMapSpace* TMapSpace::GetLeftMS() const { return nullptr; }
TMapSpace* TMapSpace::GetRightMS() const { return nullptr; }
std::string TMapSpace::GetTopMSName() const { return {}; }
std::string TMapSpace::GetBottomMSName() const { return {}; }
std::string TMapSpace::GetLeftMSName() const { return {}; }
std::string TMapSpace::GetRightMSName() const { return {}; }
std::string TMapSpace::GetTopMSFullName() const { return {}; }
std::string TMapSpace::GetBottomMSFullName() const { return {}; }
std::string TMapSpace::GetLeftMSFullName() const { return {}; }
std::string TMapSpace::GetRightMSFullName() const { return {}; }

TSMO* TMapSpace::GetSMO() const {
  return DynamicCast<TSMO>(const_cast<TMapSpace*>(this)->FindUpByClass(TSMO::StaticClass()));
}

TMapSpace* TMapSpace::PlainCopy() const {
  auto* copy = static_cast<TMapSpace*>(NewElement(ClassType()));
  copy->ID = 0;
  copy->Assign(this);
  copy->SetName(GetName());
  copy->SetZkratka(GetZkratka());
  copy->Cislo = Cislo;
  return copy;
}

TMapSpace* TMapSpace::GetSelfCopyWithDetail() const {
  TMapSpace* copy = PlainCopy();
  copy->CreateDetail();
  return copy;
}

std::string TMapSpace::GetFullName() const {
  const TElement* sheet50 = const_cast<TMapSpace*>(this)->FindUpByClass(TSMO_50::StaticClass());
  return sheet50 ? sheet50->GetName() + "  " + GetColRowText() : std::string();
}

std::string TMapSpace::GetColRowText() const { return {}; }
void TMapSpace::CreateDetail() {}

void TMapSpace::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TSpaceTree::ReadData(reader, elementMap);
  Cislo = reader.ReadInteger();
  SetZkratka(reader.ReadString());
  Selected = reader.ReadBoolean();
  SetScale(static_cast<double>(reader.ReadFloat()));
}

void TMapSpace::WriteData(platform::TWriter& writer) const {
  TSpaceTree::WriteData(writer);
  writer.WriteInteger(Cislo);
  writer.WriteString(zkratka_);
  writer.WriteBoolean(Selected);
  writer.WriteFloat(GetScale());
}

// ---------------------------------------------------------------- TZMSpace

TMapsZM* TZMSpace::ExistingZM() const {
  if (auto* zm = static_cast<TMapsZM*>(zm_.Get())) return zm;
  auto* zm = DynamicCast<TMapsZM>(FindElementByName(LocatorName));
  if (zm) zm_.Set(zm);
  return zm;
}

TMapsZM* TZMSpace::GetZM() const {
  if (TMapsZM* zm = ExistingZM()) return zm;
  auto* self = const_cast<TZMSpace*>(this);
  auto* zm = new TMapsZM;
  zm->SetName(LocatorName);
  if (self->pendingScale_) zm->SetScale(*self->pendingScale_);
  self->pendingScale_.reset();
  self->AddElement(zm);
  zm_.Set(zm);
  return zm;
}

double TZMSpace::GetScale() const {
  if (const TMapsZM* zm = ExistingZM()) return zm->GetScale();
  return pendingScale_ ? *pendingScale_ : TMapsZM::DefaultScale;
}

void TZMSpace::SetScale(double value) {
  if (!(std::fabs(value) < 2147483647.0)) throw EInvalidOp();
  if (TMapsZM* zm = ExistingZM()) zm->SetScale(RoundEven(value));
  else pendingScale_ = RoundEven(value);
}

double TZMSpace::GetAngle() const {
  if (const TMapsZM* zm = ExistingZM()) return zm->GetAngle();
  return TMapsZM().GetAngle();  // a new locator has no sheet, at any scale
}

// ---------------------------------------------------------------- TSMO_2

TRealPoint TSMO_2::NeighbourPoint(int dx, int dy) const {
  const TSheetSize size = SheetSizeOfScale(GetScale());
  return {GetCenterX() + dx * size.Width, GetCenterY() + dy * size.Height};
}

TMapSpace* TSMO_2::NeighbourMS(int dx, int dy) const {
  TSMO* smo = GetSMO();
  if (!smo) return nullptr;
  const TRealPoint at = NeighbourPoint(dx, dy);
  return smo->FindSheetOfScaleAt(GetScale(), at.X, at.Y);
}

std::string TSMO_2::NeighbourName(int dx, int dy, bool full) const {
  TSMO* smo = GetSMO();
  if (!smo) return {};
  const TRealPoint at = NeighbourPoint(dx, dy);
  return smo->SheetNameOfScaleAt(GetScale(), at.X, at.Y, full);
}

TMapSpace* TSMO_2::GetTopMS() const { return NeighbourMS(0, 1); }
TMapSpace* TSMO_2::GetBottomMS() const { return NeighbourMS(0, -1); }
TMapSpace* TSMO_2::GetLeftMS() const { return NeighbourMS(-1, 0); }
TMapSpace* TSMO_2::GetRightMS() const { return NeighbourMS(1, 0); }
std::string TSMO_2::GetTopMSName() const { return NeighbourName(0, 1, false); }
std::string TSMO_2::GetBottomMSName() const { return NeighbourName(0, -1, false); }
std::string TSMO_2::GetLeftMSName() const { return NeighbourName(-1, 0, false); }
std::string TSMO_2::GetRightMSName() const { return NeighbourName(1, 0, false); }
std::string TSMO_2::GetTopMSFullName() const { return NeighbourName(0, 1, true); }
std::string TSMO_2::GetBottomMSFullName() const { return NeighbourName(0, -1, true); }
std::string TSMO_2::GetLeftMSFullName() const { return NeighbourName(-1, 0, true); }
std::string TSMO_2::GetRightMSFullName() const { return NeighbourName(1, 0, true); }

std::string TSMO_2::GetColRowText() const {
  const auto* sheet5 = DynamicCast<TSMO_5>(const_cast<TSMO_2*>(this)->FindUpByClass(TSMO_5::StaticClass()));
  return (sheet5 ? sheet5->GetColRowText() : std::string()) + " / " + std::to_string(Cislo);
}

void TSMO_2::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TMapSpace::ReadData(reader, elementMap);
  ReadColRow(reader, Col, Row);
}

void TSMO_2::WriteData(platform::TWriter& writer) const {
  TMapSpace::WriteData(writer);
  WriteColRow(writer, Col, Row);
}

// ---------------------------------------------------------------- TSMO_5

std::string TSMO_5::GetColRowText() const { return ColRow(Col, Row); }

TMapSpace* TSMO_5::GetSelfCopyWithDetail() const {
  auto* copy = static_cast<TSMO_5*>(PlainCopy());
  copy->Col = Col;
  copy->Row = Row;
  copy->CreateDetail();
  copy->SetName(" ");
  return copy;
}

void TSMO_5::CreateDetail() {
  CreateQuarter(false, false);
  CreateQuarter(false, true);
  CreateQuarter(true, false);
  CreateQuarter(true, true);
}

TSMO_2* TSMO_5::CreateSubSheet() { return new TSMO_2; }

TSMO_2* TSMO_5::CreateQuarter(bool Left, bool Lower) {
  const int col = Left ? 1 : 0;
  const int row = Lower ? 1 : 0;
  for (int s = 0; s < GetRowCount(); ++s) {
    TSpaces* strip = GetRow(s);
    auto* first = strip ? DynamicCast<TSMO_2>(strip->GetCell(0)) : nullptr;
    if (!first || first->Col != col) continue;
    for (TElement* element : strip->Children())
      if (auto* sheet = DynamicCast<TSMO_2>(element); sheet && sheet->Row == row) return sheet;
    break;
  }
  TSMO_2* sheet = CreateSubSheet();
  PlaceBelowCorner(*sheet, *this, col, row, kSheet2Width, kSheet2Height);
  sheet->Cislo = Lower ? (Left ? 3 : 4) : (Left ? 1 : 2);
  FileSubSheet(*this, *sheet, col, row, GetName() + " / " + std::to_string(sheet->Cislo));
  return sheet;
}

void TSMO_5::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TSMO_2::ReadData(reader, elementMap);
  ReadColRow(reader, Col, Row);
}

void TSMO_5::WriteData(platform::TWriter& writer) const {
  TSMO_2::WriteData(writer);
  WriteColRow(writer, Col, Row);
}

// ---------------------------------------------------------------- TSMO_10

void TSMO_10::CreateDetail() {
  for (int c = Col; c <= Col + 1; ++c)
    for (int r = Row; r <= Row + 1; ++r) CreateSubSheet5(c, r);
}

TSMO_5* TSMO_10::CreateSubSheet() { return new TSMO_5; }

TSMO_5* TSMO_10::CreateSubSheet5(int c, int r) {
  if (TSMO_5* existing = FindSubSheet<TSMO_5>(*this, c, r)) return existing;
  TSMO_5* sheet = CreateSubSheet();
  PlaceBelowCorner(*sheet, *this, c % 2 != 0 ? 1 : 0, r % 2 != 0 ? 1 : 0, kSheet5Width, kSheet5Height);
  FileSubSheet(*this, *sheet, c, r, GetZkratka() + " " + ColRow(c, r));
  return sheet;
}

// ---------------------------------------------------------------- TSMO_25

std::string TSMO_25::GetColRowText() const { return "25-" + std::to_string(Cislo); }

TMapSpace* TSMO_25::GetSelfCopyWithDetail() const {
  auto* copy = static_cast<TSMO_25*>(PlainCopy());
  copy->Col = Col;
  copy->Row = Row;
  if (TSMO* smo = GetSMO()) smo->AddElement(copy);
  copy->FillDetail();
  copy->SetName(" ");
  return copy;
}

void TSMO_25::CreateDetail() { FillDetail(); }

void TSMO_25::FillDetail() {
  TSMO* smo = GetSMO();
  TSMO_50* sheet50 = smo ? smo->FindSheet50At(GetMinX() + 10, GetMinY() + 10) : nullptr;
  if (!sheet50) return;
  for (int c = Col; c <= Col + 4; ++c)
    for (int r = Row; r <= Row + 4; ++r)
      if (TSMO_5* sheet = sheet50->FindSheet5(c, r); sheet && IndexOf(sheet) < 0) AddElement(sheet);
}

// ---------------------------------------------------------------- TSMO_50

std::string TSMO_50::GetColRowText() const { return {}; }

void TSMO_50::CreateDetail() {
  CreateDetail10();
  CreateDetail25();
}

TSMO_10* TSMO_50::CreateSheet10() { return new TSMO_10; }
TSMO_25* TSMO_50::CreateSheet25() { return new TSMO_25; }

void TSMO_50::CreateDetail10() {
  for (int c = 0; c <= 9; ++c)
    for (int r = 0; r <= 9; ++r) CreateSheet10At(c, r);
}

void TSMO_50::CreateDetail25() {
  for (int q = 1; q <= 4; ++q) CreateSheet25At(q);
}

TSMO_10* TSMO_50::CreateSheet10At(int c, int r) {
  c -= c % 2;
  r -= r % 2;
  if (TSMO_10* existing = FindSheet10(c, r)) return existing;
  TSMO_10* sheet = CreateSheet10();
  PlaceBelowCorner(*sheet, *this, c / 2, r / 2, 2 * kSheet5Width, 2 * kSheet5Height);
  FileSubSheet(*this, *sheet, c, r, GetZkratka() + " " + ColRow(c, r));
  return sheet;
}

TSMO_25* TSMO_50::CreateSheet25At(int q) {
  TSMO_25* sheet = CreateSheet25();
  const bool west = q == 1 || q == 3;
  const bool south = q == 3 || q == 4;
  const double midX = GetMinX() + kSheet50Width / 2;
  const double midY = GetMinY() + kSheet50Height / 2;
  sheet->SetBounds({west ? GetMinX() : midX, south ? GetMinY() : midY, west ? midX : GetMaxX(),
                    south ? midY : GetMaxY()});
  sheet->Col = west ? 5 : 0;
  sheet->Row = south ? 5 : 0;
  sheet->Cislo = q;
  sheet->SetName(GetZkratka() + "25-" + std::to_string(q));
  sheet->SetZkratka(GetZkratka());
  if (Children().empty()) AddElement(sheet);
  else InsertElement(0, sheet);
  return sheet;
}

TSMO_10* TSMO_50::FindSheet10(int c, int r) const { return FindSubSheet<TSMO_10>(*this, c - c % 2, r - r % 2); }

TSMO_5* TSMO_50::FindSheet5(int c, int r) const {
  TSMO_10* sheet10 = FindSheet10(c, r);
  return sheet10 ? FindSubSheet<TSMO_5>(*sheet10, c, r) : nullptr;
}

TSMO_25* TSMO_50::FindSheet25(int c, int r) const {
  const int q = TSMO::QuarterOf(c, r);
  for (TElement* child : Children())
    if (auto* sheet = DynamicCast<TSMO_25>(child); sheet && sheet->Cislo == q) return sheet;
  return nullptr;
}

TMapSpace* TSMO_50::CopyWithDetail(void (TSMO_50::*detail)()) const {
  auto* copy = static_cast<TSMO_50*>(PlainCopy());
  copy->Col = Col;
  copy->Row = Row;
  (copy->*detail)();
  copy->SetName(" ");
  return copy;
}

TMapSpace* TSMO_50::GetSelfCopyWithDetail10() const { return CopyWithDetail(&TSMO_50::CreateDetail10); }
TMapSpace* TSMO_50::GetSelfCopyWithDetail25() const { return CopyWithDetail(&TSMO_50::CreateDetail25); }

// ---------------------------------------------------------------- TSMO

struct TSMO::TPlace {
  TSMO_50* Sheet = nullptr;
  int C = 0;
  int R = 0;
};

TSMO::TSMO() {
  if (auto* world = DynamicCast<TWCSWorld>(World())) wcs_.Set(world->GetWCS(TJTSK::Kind));
}

TSMO::~TSMO() = default;

TWCS* TSMO::GetWCS() const {
  if (auto* wcs = static_cast<TWCS*>(wcs_.Get())) return wcs;
  if (!ownGrid_) ownGrid_ = std::make_unique<TJTSK>();
  return ownGrid_.get();
}

TSMO_50* TSMO::CreateSheet() { return new TSMO_50; }

void TSMO::AddSheet50(TRectEntity* Sheet) { AddSpace(Sheet); }
void TSMO::AddSheet(TRectEntity* Sheet) { AddSpace(Sheet); }

TSMO_50* TSMO::CreateSheet50(int Col, int Row, const std::string& Name, const std::string& Zkratka) {
  TSMO_50* sheet = CreateSheet();
  const double minX = Col * kSheet50Width;
  const double minY = Row * kSheet50Height;
  sheet->SetBounds({minX, minY, minX + kSheet50Width, minY + kSheet50Height});
  TWCS* wcs = GetWCS();
  wcs->CoordToWorld(sheet->BoundRect()->MinCorner());
  wcs->CoordToWorld(sheet->BoundRect()->MaxCorner());
  sheet->BoundRect()->Normalize();
  sheet->SetName(Name);
  sheet->SetZkratka(Zkratka);
  AddSheet50(sheet);
  return sheet;
}

TSMO_50* TSMO::FindSheet50At(double X, double Y) const { return DynamicCast<TSMO_50>(FindSheetAt(X, Y)); }

TSMO_25* TSMO::FindSheet25At(double X, double Y) const {
  TPlace place;
  return PlaceAt(X, Y, place) ? place.Sheet->FindSheet25(place.C, place.R) : nullptr;
}

TSMO_10* TSMO::FindSheet10At(double X, double Y) const { return DynamicCast<TSMO_10>(FindAtLevel(2, X, Y)); }
TSMO_5* TSMO::FindSheet5At(double X, double Y) const { return DynamicCast<TSMO_5>(FindAtLevel(3, X, Y)); }

TMapSpace* TSMO::FindSheetOfScaleAt(double scale, double X, double Y) const {
  if (scale == 50000) return FindSheet50At(X, Y);
  if (scale == 25000) return FindSheet25At(X, Y);
  if (scale == 10000) return FindSheet10At(X, Y);
  if (scale == 5000) return FindSheet5At(X, Y);
  return nullptr;
}

bool TSMO::PlaceAt(double X, double Y, TPlace& place) const {
  place.Sheet = FindSheet50At(X, Y);
  if (!place.Sheet) return false;
  // A point within half a metre of the west or south edge rounds onto it.
  place.C = std::clamp(RoundEven(place.Sheet->GetMaxX() - X) / static_cast<int>(kSheet5Width), 0, 9);
  place.R = std::clamp(RoundEven(place.Sheet->GetMaxY() - Y) / static_cast<int>(kSheet5Height), 0, 9);
  return true;
}

std::string TSMO::SheetNameOfScaleAt(double scale, double X, double Y, bool full) const {
  TPlace place;
  if (!PlaceAt(X, Y, place)) return {};
  const TSMO_50& sheet = *place.Sheet;
  std::string colRow;
  if (scale == 50000) {
    if (!full) return sheet.GetName();
  } else if (scale == 25000) {
    colRow = "25-" + std::to_string(QuarterOf(place.C, place.R));
    if (!full) return sheet.GetZkratka() + colRow;
  } else if (scale == 10000) {
    colRow = ColRow(place.C - place.C % 2, place.R - place.R % 2);
  } else if (scale == 5000) {
    colRow = ColRow(place.C, place.R);
  } else if (scale == 2000) {
    const int dx = RoundEven(sheet.GetMaxX() - place.C * kSheet5Width - X) / static_cast<int>(kSheet2Width);
    const int dy = RoundEven(sheet.GetMaxY() - place.R * kSheet5Height - Y) / static_cast<int>(kSheet2Height);
    const int q2 = dy == 0 ? (dx != 0 ? 1 : 2) : (dx != 0 ? 3 : 4);
    colRow = ColRow(place.C, place.R) + " / " + std::to_string(q2);
  } else {
    return {};
  }
  // The same text as the FullName of the sheet found there.
  return full ? sheet.GetName() + "  " + colRow : sheet.GetZkratka() + " " + colRow;
}

std::string TSMO::SheetName50At(double X, double Y) const { return SheetNameOfScaleAt(50000, X, Y, false); }
std::string TSMO::SheetName25At(double X, double Y) const { return SheetNameOfScaleAt(25000, X, Y, false); }
std::string TSMO::SheetName10At(double X, double Y) const { return SheetNameOfScaleAt(10000, X, Y, false); }
std::string TSMO::SheetName5At(double X, double Y) const { return SheetNameOfScaleAt(5000, X, Y, false); }
std::string TSMO::SheetName2At(double X, double Y) const { return SheetNameOfScaleAt(2000, X, Y, false); }
std::string TSMO::SheetFullName50At(double X, double Y) const { return SheetNameOfScaleAt(50000, X, Y, true); }
std::string TSMO::SheetFullName25At(double X, double Y) const { return SheetNameOfScaleAt(25000, X, Y, true); }
std::string TSMO::SheetFullName10At(double X, double Y) const { return SheetNameOfScaleAt(10000, X, Y, true); }
std::string TSMO::SheetFullName5At(double X, double Y) const { return SheetNameOfScaleAt(5000, X, Y, true); }
std::string TSMO::SheetFullName2At(double X, double Y) const { return SheetNameOfScaleAt(2000, X, Y, true); }

int TSMO::QuarterOf(int c, int r) {
  if (r < 5) return c >= 5 ? 1 : 2;
  return c >= 5 ? 3 : 4;
}

TElement* TSMO::CreateEnvelope() const { return const_cast<TSMO*>(this); }

// ---------------------------------------------------------------- descriptions

namespace {

template <class C>
TPropInfo NameProp(std::string name, std::string (C::*get)() const) {
  return NotStored(ReadProp(std::move(name), get));
}

// A copy with detail is a new sheet tree that only a caller who takes it can
// own.  Read through reflection (property texts, element paths, scripts, the
// property editor) nobody would, so the published property answers nil there;
// the C++ operation still hands its caller the copy.
template <class C>
TPropInfo CopyProp(std::string name) {
  return NotStored(AccessorProp<C, TMapSpace*>(std::move(name), [](const C&) -> TMapSpace* { return nullptr; }, nullptr));
}

}  // namespace

TClass TMapSpace::StaticClass() {
  using M = TMapSpace;
  static const TClassInfo info = [] {
    TPropInfo zkratka = AccessorProp<M, std::string>(
        "Zkratka", [](const M& m) { return m.GetZkratka(); }, [](M& m, std::string v) { m.SetZkratka(v); });
    zkratka.Kind = tkString;  // a short string of four characters
    return DescribeClass<M>(
        "TMapSpace", TSpaceTree::StaticClass(), "E_MSpace",
        {FieldProp("Cislo", &M::Cislo), std::move(zkratka), FieldProp("Selected", &M::Selected),
         NameProp("Jmeno", &M::GetJmeno), NameProp("FullName", &M::GetFullName),
         NameProp("ColRowText", &M::GetColRowText), ReadWriteProp("Scale", &M::GetScale, &M::SetScale),
         NotStored(ReadProp("PageWidth", &M::GetPageWidth)), NotStored(ReadProp("PageHeight", &M::GetPageHeight)),
         NameProp("TopMSName", &M::GetTopMSName), NameProp("BottomMSName", &M::GetBottomMSName),
         NameProp("LeftMSName", &M::GetLeftMSName), NameProp("RightMSName", &M::GetRightMSName),
         NameProp("TopMSFullName", &M::GetTopMSFullName), NameProp("BottomMSFullName", &M::GetBottomMSFullName),
         NameProp("LeftMSFullName", &M::GetLeftMSFullName), NameProp("RightMSFullName", &M::GetRightMSFullName),
         CopyProp<M>("SelfCopyWithDetail")});
  }();
  return &info;
}

TClass TUserMapSpace::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TUserMapSpace>("TUserMapSpace", TMapSpace::StaticClass(), "E_MSpace", {});
  return &info;
}

TClass TZMSpace::StaticClass() {
  using Z = TZMSpace;
  static const TClassInfo info = DescribeClass<Z>(
      "TZMSpace", TMapSpace::StaticClass(), "E_MSpace",
      {NotStored(AccessorProp<Z, double>("Angle", [](const Z& z) { return z.GetAngle(); }, [](Z&, double) {})),
       NotStored(ReadProp("RAngle", &Z::GetRAngle))});
  return &info;
}

TClass TSMO_2::StaticClass() {
  static const TClassInfo info = DescribeClass<TSMO_2>(
      "TSMO_2", TMapSpace::StaticClass(), "E_MSpace", {FieldProp("Col", &TSMO_2::Col), FieldProp("Row", &TSMO_2::Row)});
  return &info;
}

TClass TSMO_5::StaticClass() {
  static const TClassInfo info = DescribeClass<TSMO_5>("TSMO_5", TSMO_2::StaticClass(), "E_MSpace", {});
  return &info;
}

TClass TSMO_10::StaticClass() {
  static const TClassInfo info = DescribeClass<TSMO_10>("TSMO_10", TSMO_5::StaticClass(), "E_MSpace", {});
  return &info;
}

TClass TSMO_25::StaticClass() {
  static const TClassInfo info = DescribeClass<TSMO_25>("TSMO_25", TSMO_5::StaticClass(), "E_MSpace", {});
  return &info;
}

TClass TSMO_50::StaticClass() {
  using S = TSMO_50;
  static const TClassInfo info = DescribeClass<S>(
      "TSMO_50", TSMO_10::StaticClass(), "E_MSpace",
      {CopyProp<S>("SelfCopyWithDetail10"), CopyProp<S>("SelfCopyWithDetail25")});
  return &info;
}

TClass TSMO::StaticClass() {
  static const TClassInfo info = DescribeClass<TSMO>("TSMO", TSMO_50::StaticClass(), "E_MSpace", {});
  return &info;
}

void RegisterE_MSpaceClasses() {
  RegisterKestuClass(TMapSpace::StaticClass());
  RegisterKestuClass(TUserMapSpace::StaticClass());
  RegisterKestuClass(TZMSpace::StaticClass());
  RegisterKestuClass(TSMO_2::StaticClass());
  RegisterKestuClass(TSMO_5::StaticClass());
  RegisterKestuClass(TSMO_10::StaticClass());
  RegisterKestuClass(TSMO_25::StaticClass());
  RegisterKestuClass(TSMO_50::StaticClass());
  RegisterKestuClass(TSMO::StaticClass());
}
