#include "block/reading/layer_readers.h"

#include <cmath>

#include "block/props/lumar_props.h"
#include "block/props/lumar_registers.h"
#include "framework/core/class_registry.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

// A point of the block converted as reference points are.
void ToWorld(TWCS* wcs, double X, double Y, double& WX, double& WY) {
  long double x = X;
  long double y = Y;
  long double z = 0;
  if (wcs) wcs->ConvertToWorld(X, Y, 0, x, y, z);
  WX = static_cast<double>(x);
  WY = static_cast<double>(y);
}

// Props of an area from its record, with the reader's colour and symbol.
TLumarAreaProps* AreaProps(const TAreaRecord& Record, std::int16_t Colour, std::int16_t Symbol) {
  auto* props = new TLumarAreaProps;
  props->Cislo = Record.Number;
  props->Druh = Record.Kind;
  props->Barva = Colour;
  props->Znacka = Symbol;
  props->PaterNo = Record.Parent;
  return props;
}

}  // namespace

// ---------------------------------------------------------------- TLumarAreaBoundaryReader

TLumarAreaBoundaryReader::TLumarAreaBoundaryReader() = default;
TLumarAreaBoundaryReader::~TLumarAreaBoundaryReader() = default;

void TLumarAreaBoundaryReader::InitRecordSize() { RecordSize = TAreaRecord::Size; }

std::string TLumarAreaBoundaryReader::GetFileName() const { return kAreaFileName; }

char TLumarAreaBoundaryReader::GetObjectTypeLetter() const { return 'P'; }

void TLumarAreaBoundaryReader::Create(const std::string& BlockDir, TWCS* WCS) {
  TLumaRObjectReader::Create(BlockDir, WCS);
  lineReader_ = NewObjectReader<TLumarLinReader>(BlockDir, WCS);
}

bool TLumarAreaBoundaryReader::ReadAreaRecordAt(std::int64_t Index, TAreaRecord& Record) {
  if (Index < 0 || Index >= GetRecordCount()) return false;
  SeekRecord(Index);
  TAreaRecord::Bytes bytes;
  if (!ReadRecord(bytes.data())) return false;
  Record = TAreaRecord::Decode(bytes.data());
  return true;
}

bool TLumarAreaBoundaryReader::LineBounds(std::int32_t Line, std::int32_t Area, TLineRecord& Record) {
  return lineReader_->ReadLineRecordAt(Line, Record) && Record.IsLine() &&
         (Record.LeftArea == Area || Record.RightArea == Area);
}

std::int32_t TLumarAreaBoundaryReader::FindFirstLine(const TAreaRecord& Record) {
  TLineRecord line;
  if (Record.FirstLine > 0 && LineBounds(Record.FirstLine, Record.Number, line)) return Record.FirstLine;
  // One pass over the lines serves every later area whose own first line
  // is wrong.
  if (!firstLines_) {
    firstLines_.emplace();
    const std::int64_t count = lineReader_->GetRecordCount();
    for (std::int64_t i = 1; i < count; ++i) {
      if (!lineReader_->ReadLineRecordAt(i, line) || !line.IsLine()) continue;
      for (std::int32_t area : {line.LeftArea, line.RightArea})
        if (area > 0) firstLines_->emplace(area, static_cast<std::int32_t>(i));
    }
  }
  const auto found = firstLines_->find(Record.Number);
  return found == firstLines_->end() ? 0 : found->second;
}

std::vector<TBoundaryStep> TLumarAreaBoundaryReader::WalkBoundary(const TAreaRecord& Record, TWalkEnd& End) {
  std::vector<TBoundaryStep> steps;
  End = TWalkEnd::NoFirstLine;
  const std::int32_t first = FindFirstLine(Record);
  if (first <= 0) return steps;
  TLineRecord line;
  if (!LineBounds(first, Record.Number, line)) return steps;
  TBoundaryStep step{first, line.LeftArea == Record.Number};
  const TBoundaryStep start = step;
  const std::int64_t count = lineReader_->GetRecordCount();
  while (true) {
    steps.push_back(step);
    // A copy: reading the next record overwrites line.
    const TLineLink next = line.Links[step.Forward ? llEndNext : llStartNext];
    if (next.Line <= 0 || next.Line >= count || !lineReader_->ReadLineRecordAt(next.Line, line) ||
        (line.Flag & 0x01) != 0) {
      End = TWalkEnd::Broken;
      return steps;
    }
    step = TBoundaryStep{next.Line, next.End != 0};
    if (step == start) {
      End = TWalkEnd::Closed;
      return steps;
    }
    if (static_cast<int>(steps.size()) >= MaxWalkSteps) {
      End = TWalkEnd::TooLong;
      return steps;
    }
  }
}

TAreaElement* TLumarAreaBoundaryReader::MakeBoundaryPolygon(const TAreaRecord& Record) {
  TWalkEnd end = TWalkEnd::Broken;
  const std::vector<TBoundaryStep> steps = WalkBoundary(Record, end);
  return end == TWalkEnd::Closed ? PolygonOfSteps(steps) : nullptr;
}

TAreaElement* TLumarAreaBoundaryReader::PolygonOfSteps(const std::vector<TBoundaryStep>& steps) {
  TLumarCoordReader* coords = lineReader_->CoordReader();
  auto area = std::make_unique<TAreaElement>();
  TLineRecord line;
  for (const TBoundaryStep& step : steps) {
    if (!lineReader_->ReadLineRecordAt(step.Line, line) || !lineReader_->CheckVertexRange(step.Line, line))
      return nullptr;
    const std::int64_t from = step.Forward ? line.FirstVertex + 1 : line.LastVertex - 1;
    const std::int64_t to = step.Forward ? line.LastVertex : line.FirstVertex;
    const std::int64_t by = step.Forward ? 1 : -1;
    for (std::int64_t i = from; step.Forward ? i <= to : i >= to; i += by) {
      coords->SeekRecord(i);
      if (T2DCoordinate* vertex = coords->ReadCoord()) area->AddElement(vertex);
    }
  }
  if (area->GetCoordsCount() < 2) return nullptr;
  area->CalcBounds();
  return area.release();
}

// The area's label point becomes its reference point.
void TLumarAreaBoundaryReader::PlaceLabel(TAreaElement& Area, const TAreaRecord& Record) {
  double x = 0;
  double y = 0;
  ToWorld(GetWCS(), Record.LabelX, Record.LabelY, x, y);
  Area.SetAbsRefX(x);
  Area.SetAbsRefY(y);
}

TAreaElement* TLumarAreaBoundaryReader::ReadNextObject() {
  TAreaRecord::Bytes bytes;
  if (!ReadRecord(bytes.data())) return nullptr;
  current_ = TAreaRecord::Decode(bytes.data());
  if (!current_.IsLiveArea()) return nullptr;
  TAreaElement* area = MakeBoundaryPolygon(current_);
  if (!area) return nullptr;
  TLumarAreaProps* props = AreaProps(current_, ColourOf(current_.Colour), SymbolOf(current_.Symbol));
  props->LineNo = current_.FirstLine;
  props->HasChildren = current_.HasChildren;
  area->SetProperties(props);
  PlaceLabel(*area, current_);
  return area;
}

TAreaElement* TLumarAreaBoundaryReader::ReadAreaAt(std::int64_t Index) {
  if (Index < 0 || Index >= GetRecordCount()) return nullptr;
  SeekRecord(Index);
  return ReadNextObject();
}

// ---------------------------------------------------------------- TLumarAreaReader

bool TLumarAreaReader::WalkClosed(const TAreaRecord& Record, TWalkEnd End, const std::vector<TBoundaryStep>& Steps) {
  const std::string area = std::to_string(Record.Number);
  if (End == TWalkEnd::NoFirstLine)
    Log(BlockName + ": Nelze načíst pro plochu č." + area + " linii č." + std::to_string(Record.FirstLine));
  else if (End != TWalkEnd::Closed)
    Log(BlockName + ":Pro plochu č." + area + " a linii č." + std::to_string(Steps.back().Line) +
        " nelze načíst další linii vlevo");
  return End == TWalkEnd::Closed;
}

TAreaElement* TLumarAreaReader::MakeLineArea(const TAreaRecord& Record) {
  TWalkEnd end = TWalkEnd::Broken;
  const std::vector<TBoundaryStep> steps = WalkBoundary(Record, end);
  if (!WalkClosed(Record, end, steps)) return nullptr;
  const std::string area = std::to_string(Record.Number);
  auto made = std::make_unique<TPolyLineAreaElement>();
  for (const TBoundaryStep& step : steps) {
    TPolyLineElement* line = LineReader()->ReadLineAt(step.Line);
    if (!line) {
      Log("Pro plochu č." + area + " se nepodařilo nalézt linii č." + std::to_string(step.Line));
      return nullptr;
    }
    made->AddLine(line, step.Forward);
  }
  return made.release();
}

TAreaElement* TLumarAreaReader::ReadNextObject() {
  TAreaRecord::Bytes bytes;
  if (!ReadRecord(bytes.data())) return nullptr;
  current_ = TAreaRecord::Decode(bytes.data());
  if (!current_.IsLiveArea()) return nullptr;
  TAreaElement* area = MakeLineArea(current_);
  if (!area) return nullptr;
  area->SetProperties(AreaProps(current_, ColourOf(current_.Colour), SymbolOf(current_.Symbol)));
  PlaceLabel(*area, current_);
  return area;
}

TAreaElement* TLumarAreaReader::ReadNextBoundary() {
  TAreaRecord::Bytes bytes;
  if (!ReadRecord(bytes.data())) return nullptr;
  current_ = TAreaRecord::Decode(bytes.data());
  if (!current_.IsLiveArea()) return nullptr;
  TWalkEnd end = TWalkEnd::Broken;
  const std::vector<TBoundaryStep> steps = WalkBoundary(current_, end);
  if (!WalkClosed(current_, end, steps)) return nullptr;
  TAreaElement* outline = PolygonOfSteps(steps);
  if (!outline) return nullptr;
  PlaceLabel(*outline, current_);
  return outline;
}

// ---------------------------------------------------------------- TLumarPointReader

void TLumarPointReader::InitRecordSize() { RecordSize = TPointRecord::Size; }

std::string TLumarPointReader::GetFileName() const { return kPointFileName; }

char TLumarPointReader::GetObjectTypeLetter() const { return 'B'; }

TPointElement* TLumarPointReader::ReadNextPoint() {
  const std::uint64_t at = Stream() ? Stream()->Position() : 0;
  TPointRecord::Bytes bytes;
  if (!ReadRecord(bytes.data())) return nullptr;
  const TPointRecord record = TPointRecord::Decode(bytes.data());
  if (at == 0 || !record.IsPoint()) return nullptr;
  if (record.X < 0 || record.X > MaxCoordinate || record.Y < 0 || record.Y > MaxCoordinate) {
    Log("Bod.c." + std::to_string(record.Number) + " je mimo rozsah");
    return nullptr;
  }
  TLumarBlockRegister* block = GetRegister();
  if (auto* existing = block ? DynamicCast<TPointElement>(block->FindObject('B', record.Number)) : nullptr)
    return FilterAccepts('B', existing) && ConditionAccepts(existing) ? existing : nullptr;
  auto* point = new TPointElement;
  auto* props = new TLumarPointProps;
  props->Cislo = record.Number;
  props->Druh = record.Kind;
  props->Presnost = record.Precision;
  props->Barva = ColourOf(record.Colour);
  props->Znacka = SymbolOf(record.Symbol);
  point->SetProperties(props);
  point->SetX(-record.X);
  point->SetY(-record.Y);
  point->Angle = record.Angle;
  FileObject(point, record.Number);
  if (!FilterAccepts('B', point) || !ConditionAccepts(point)) {
    TElement* doomed = point;
    FreeAndNil(doomed);
    return nullptr;
  }
  TElement* made = point;
  DoNewObject(made);
  return point;
}

// ---------------------------------------------------------------- TLumarTextReader

void TLumarTextReader::InitRecordSize() { RecordSize = TTextBoxRecord::Size; }

std::string TLumarTextReader::GetFileName() const { return kTextBoxFileName; }

char TLumarTextReader::GetObjectTypeLetter() const { return 'T'; }

void TLumarTextReader::Create(const std::string& BlockDir, TWCS* WCS) {
  TLumaRObjectReader::Create(BlockDir, WCS);
  const std::string textFile = BlockFilePath(BlockDir, kTextFileName);
  if (Stream() && platform::FileExists(textFile)) lines_ = platform::ReadByteLines(textFile);
}

TTextElement* TLumarTextReader::ReadNextText(std::int64_t Index, bool& Read) {
  Read = false;
  TTextBoxRecord::Bytes bytes;
  if (Index >= TextLineCount() || !ReadRecord(bytes.data())) return nullptr;
  Read = true;
  const TTextBoxRecord record = TTextBoxRecord::Decode(bytes.data());
  const std::string& text = lines_[static_cast<std::size_t>(Index)];
  if (record.IsDeleted()) return nullptr;
  const auto number = static_cast<std::int32_t>(Index);
  TLumarBlockRegister* block = GetRegister();
  if (auto* existing = block ? DynamicCast<TTextElement>(block->FindObject('T', number)) : nullptr)
    return FilterAccepts('T', existing) && ConditionAccepts(existing) ? existing : nullptr;
  auto* element = new TTextElement;
  element->Text = platform::CodePageToUtf8(CodePageNumber(CodePage), text);
  auto* props = new TLumarTextProps;
  props->Cislo = number;
  props->Druh = record.Kind;
  props->TextAtrib = record.TextAtrib;
  props->TextMode = record.TextMode;
  props->LumarFont = record.Font;
  props->Height = record.Height;
  props->WidthCoef = record.WidthCoef;
  props->Direction = record.Direction;
  props->Slope = record.SlantRadians();
  props->Distance = record.Distance;
  props->Barva = ColourOf(record.Colour);
  props->Znacka = SymbolOf(record.Symbol);
  props->CodePage = CodePage;
  double x = 0;
  double y = 0;
  ToWorld(GetWCS(), record.X, record.Y, x, y);
  auto* start = new T2DCoordinate(x, y);
  if (TWCS* wcs = GetWCS()) start->CS = wcs->GetKind();
  props->SetStartPoint(start);
  element->SetProperties(props);
  element->SetX(x);
  element->SetY(y);
  FileObject(element, number);
  if (!FilterAccepts('T', element)) {
    TElement* doomed = element;
    FreeAndNil(doomed);
    return nullptr;
  }
  return element;
}

// ---------------------------------------------------------------- class descriptions

TClass TLumarAreaBoundaryReader::StaticClass() {
  static const TClassInfo info = DescribeClass<TLumarAreaBoundaryReader>(
      "TLumarAreaBoundaryReader", TLumaRObjectReader::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumarAreaReader::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarAreaReader>("TLumarAreaReader", TLumarAreaBoundaryReader::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumarPointReader::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarPointReader>("TLumarPointReader", TLumaRObjectReader::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumarTextReader::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarTextReader>("TLumarTextReader", TLumaRObjectReader::StaticClass(), "T_lumimp", {});
  return &info;
}

void RegisterLayerReaderClasses() {
  for (TClass cls : {TLumarAreaBoundaryReader::StaticClass(), TLumarAreaReader::StaticClass(),
                     TLumarPointReader::StaticClass(), TLumarTextReader::StaticClass()})
    RegisterKestuClass(cls);
}
