#include "block/reading/object_readers.h"

#include <cmath>
#include <numbers>

#include "block/props/lumar_props.h"
#include "block/props/lumar_registers.h"
#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"

// ---------------------------------------------------------------- TLumarCoordReader

void TLumarCoordReader::InitRecordSize() { RecordSize = TCoordRecord::Size; }

std::string TLumarCoordReader::GetFileName() const { return kCoordFileName; }

T2DCoordinate* TLumarCoordReader::ReadCoord() {
  TCoordRecord::Bytes bytes;
  if (!ReadRecord(bytes.data())) return nullptr;
  const TCoordRecord record = TCoordRecord::Decode(bytes.data());
  auto* coordinate = new T2DCoordinate(record.X, record.Y);
  if (TWCS* wcs = GetWCS()) {
    wcs->CoordToWorld(coordinate);
    coordinate->CS = wcs->GetKind();
  }
  return coordinate;
}

// ---------------------------------------------------------------- TLumarLinReader

TLumarLinReader::TLumarLinReader() = default;
TLumarLinReader::~TLumarLinReader() = default;

void TLumarLinReader::InitRecordSize() { RecordSize = TLineRecord::Size; }

std::string TLumarLinReader::GetFileName() const { return kLineFileName; }

char TLumarLinReader::GetObjectTypeLetter() const { return 'L'; }

void TLumarLinReader::Create(const std::string& BlockDir, TWCS* WCS) {
  TLumaRObjectReader::Create(BlockDir, WCS);
  OpenCoordReader(BlockDir, WCS);
}

void TLumarLinReader::OpenCoordReader(const std::string& BlockDir, TWCS* WCS) {
  SetCoordReader(NewObjectReader<TLumarCoordReader>(BlockDir, WCS));
}

void TLumarLinReader::SetCoordReader(std::unique_ptr<TLumarCoordReader> Reader) { coordReader_ = std::move(Reader); }

bool TLumarLinReader::ReadLineRecordAt(std::int64_t Index, TLineRecord& Record) {
  if (Index < 0 || Index >= GetRecordCount()) return false;
  SeekRecord(Index);
  TLineRecord::Bytes bytes;
  if (!ReadRecord(bytes.data())) return false;
  Record = TLineRecord::Decode(bytes.data());
  return true;
}

bool TLumarLinReader::AppendVertex(TPolyLineElement& Line, std::int64_t Index) {
  coordReader_->SeekRecord(Index);
  T2DCoordinate* vertex = coordReader_->ReadCoord();
  if (!vertex) return false;
  Line.AddElement(vertex);
  return true;
}

TPolyLineElement* TLumarLinReader::MakeLine(std::int64_t Index, const TLineRecord& Record) {
  const std::int64_t coords = coordReader_ ? coordReader_->GetRecordCount() : 0;
  if (Record.FirstVertex < 0 || Record.FirstVertex > Record.LastVertex || Record.LastVertex >= coords) {
    Log(BlockName + ": Linie č." + std::to_string(Index) + " má chybný rozsah souřadnic " +
        std::to_string(Record.FirstVertex) + " - " + std::to_string(Record.LastVertex));
    return nullptr;
  }
  auto line = std::make_unique<TPolyLineElement>();
  const double size = std::max(std::fabs(Record.Box.MaxX - Record.Box.MinX), std::fabs(Record.Box.MaxY - Record.Box.MinY));
  if (size >= MinSize) {
    coordReader_->SeekRecord(Record.FirstVertex);
    for (std::int64_t i = Record.FirstVertex; i <= Record.LastVertex; ++i) {
      T2DCoordinate* vertex = coordReader_->ReadCoord();
      if (!vertex) break;
      line->AddElement(vertex);
    }
  } else {
    AppendVertex(*line, Record.FirstVertex);
    if (Record.LastVertex != Record.FirstVertex) AppendVertex(*line, Record.LastVertex);
  }
  if (line->GetCoordsCount() < 2) return nullptr;
  line->CalcBounds();

  auto* props = new TLumarLineProps;
  props->Cislo = Record.Number;
  props->Druh = Record.Kind;
  props->Barva = ColourOf(Record.Colour);
  props->Znacka = SymbolOf(Record.Symbol);
  props->Presnost = Record.Precision;
  props->Symbol = Record.LineSymbol;
  props->LeftArea = Record.LeftArea;
  props->RightArea = Record.RightArea;
  props->Links = Record.Links;
  line->SetProperties(props);
  long double x = Record.LabelX;
  long double y = Record.LabelY;
  long double z = 0;
  if (TWCS* wcs = GetWCS()) wcs->ConvertToWorld(Record.LabelX, Record.LabelY, 0, x, y, z);
  line->SetAbsRefX(static_cast<double>(x));
  line->SetAbsRefY(static_cast<double>(y));
  line->Angle = Record.Angle;
  return line.release();
}

TPolyLineElement* TLumarLinReader::ReadLineAt(std::int64_t Index) {
  TLineRecord record;
  if (Index < 1 || !ReadLineRecordAt(Index, record) || !record.IsLine()) return nullptr;
  if (!ClipAccepts(record.Box.MaxX, record.Box.MaxY, record.Box.MinX, record.Box.MinY)) return nullptr;
  TLumarBlockRegister* block = GetRegister();
  if (auto* existing = block ? DynamicCast<TPolyLineElement>(block->FindObject('L', record.Number)) : nullptr) {
    if (!FilterAccepts('L', existing) || !ConditionAccepts(existing)) return nullptr;
    if (UseBarva) existing->SetPropertyInteger("Barva", Barva);
    if (UseZnacka) existing->SetPropertyInteger("Znacka", Znacka);
    return existing;
  }
  TPolyLineElement* line = MakeLine(Index, record);
  if (!line) return nullptr;
  if (block) block->RegisterSpaceEntity(line);
  if (!FilterAccepts('L', line) || !ConditionAccepts(line)) {
    TElement* doomed = line;
    FreeAndNil(doomed);
    return nullptr;
  }
  TElement* made = line;
  DoNewObject(made);
  return line;
}

TPointElement* TLumarLinReader::ReadLineSymbolAt(std::int64_t Index) {
  TLineRecord record;
  if (Index < 1 || !ReadLineRecordAt(Index, record) || (record.Flag & 0x01) != 0) return nullptr;
  if (!ClipAccepts(record.Box.MaxX, record.Box.MaxY, record.Box.MinX, record.Box.MinY)) return nullptr;
  if (record.LineSymbol < 1000) return nullptr;
  auto* point = new TPointElement;
  auto* props = new TLumarPointProps;
  props->Cislo = record.Number;
  props->Druh = record.Kind;
  props->Barva = record.Colour;
  props->Znacka = record.LineSymbol;
  props->Presnost = record.Precision;
  point->SetProperties(props);
  point->SetX(-record.LabelX);
  point->SetY(-record.LabelY);
  point->Angle = record.Angle + std::numbers::pi / 2;
  if (!FilterAccepts('L', point)) {
    delete point;
    return nullptr;
  }
  TElement* made = point;
  DoNewObject(made);
  return point;
}

// ---------------------------------------------------------------- class descriptions

TClass TLumarCoordReader::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarCoordReader>("TLumarCoordReader", TLumaRObjectReader::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumarLinReader::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarLinReader>("TLumarLinReader", TLumaRObjectReader::StaticClass(), "T_lumimp", {});
  return &info;
}

void RegisterObjectReaderClasses() {
  for (TClass cls : {TLumarCoordReader::StaticClass(), TLumarLinReader::StaticClass()}) RegisterKestuClass(cls);
}
