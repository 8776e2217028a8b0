#include "block/writing/lumar_writers.h"

#include <algorithm>
#include <vector>

#include "block/props/lumar_props.h"
#include "block/writing/block_creation.h"
#include "block/writing/record_conversion.h"
#include "framework/core/class_registry.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

// The file stream a writer works on.
std::unique_ptr<platform::TStream> WriterStream(const std::string& fileName, bool createNew) {
  return std::make_unique<platform::TFileStream>(
      fileName, createNew ? platform::TFileStream::Mode::Create : platform::TFileStream::Mode::OpenReadWrite);
}

// A file started anew gets the dummy record 0 a new block has.
template <class R>
void WriteDummyWhenNew(TLumaRReader& writer, bool createNew) {
  if (!createNew || !writer.Stream()) return;
  const typename R::Bytes dummy = R::Dummy();
  writer.Stream()->Seek(0);
  writer.Stream()->Write(dummy.data(), dummy.size());
}

// The writer's file as the user knows it: in the block, wherever it is
// written.
std::string ShownFileName(const TLumaRReader& writer) {
  return BlockFilePath(writer.BlockName, platform::ExtractFileName(writer.FileName));
}

const TWCS& WCSOf(TLumaRReader& writer) {
  const TWCS* wcs = writer.GetWCS();
  if (!wcs) throw platform::EWriteError("No coordinate system to write " + ShownFileName(writer));
  return *wcs;
}

// Positions the writer at record index; a gap before it is filled with zero
// records, which read as nothing.
void SeekForWriting(TLumaRReader& writer, std::int64_t index) {
  platform::TStream* stream = writer.Stream();
  if (!stream) throw platform::EWriteError("No file to write " + ShownFileName(writer));
  const auto at = static_cast<std::uint64_t>(index) * static_cast<std::uint64_t>(writer.RecordSize);
  if (stream->Position() == at) return;  // a seek would flush the file's buffer
  if (stream->Size() < at) {
    stream->Seek(stream->Size());
    static const std::vector<std::uint8_t> zeros(64 * 1024, 0);
    for (std::uint64_t left = at - stream->Size(); left > 0;) {
      const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
      stream->Write(zeros.data(), count);
      left -= count;
    }
  }
  stream->Seek(at);
}

// Record 0 is the dummy record and a number below it has no record; the
// number may also be a walk's done mark left in the ID.
bool AcceptsNumber(TLumaRReader& writer, std::int64_t number) {
  if (number >= 1) return true;
  writer.Log(ShownFileName(writer) + ": objekt č." + std::to_string(number) +
             " nelze zapsat, čísla objektů začínají 1");
  return false;
}

// Closes the writer's file and cuts off what follows its last whole record:
// the part of a record that a failed write left is no record.
void CloseAtWholeRecord(TLumaRReader& writer) {
  if (!writer.Stream()) return;
  writer.CloseStream();
  if (writer.RecordSize < 1) return;
  const long long size = platform::FileSize(writer.FileName);
  const long long tail = size > 0 ? size % writer.RecordSize : 0;
  if (tail != 0) platform::TruncateFile(writer.FileName, static_cast<unsigned long long>(size - tail));
}

// Writes out what the writer's file still buffers; raises when it cannot.
void FlushFile(TLumaRReader& writer) {
  if (writer.Stream()) writer.Stream()->Flush();
}

template <class R>
void WriteRecordAt(TLumaRReader& writer, std::int64_t index, const R& record) {
  const typename R::Bytes bytes = record.Encode();  // raises before anything is written
  SeekForWriting(writer, index);
  writer.WriteRecord(bytes.data());
}

}  // namespace

// ---------------------------------------------------------------- coordinates

TLumarCoordWriter::~TLumarCoordWriter() { CloseAtWholeRecord(*this); }

void TLumarCoordWriter::Create(const TBlockFolder& Block, bool NewFile, TWCS* WCS) {
  CreateNew = NewFile;
  TLumarCoordReader::Create(Block.Dir, WCS);
  BlockName = Block.Name;
}

void TLumarCoordWriter::Open() { SetStream(WriterStream(FileName, CreateNew)); }

void TLumarCoordWriter::WriteCoord(const TCoordinate& Coord) {
  const TCoordRecord::Bytes bytes = CoordRecordOf(Coord, WCSOf(*this)).Encode();
  WriteRecord(bytes.data());
}

void TLumarCoordWriter::AppendCoord(const TCoordinate& Coord, std::int32_t& Index) {
  const TCoordRecord::Bytes bytes = CoordRecordOf(Coord, WCSOf(*this)).Encode();
  Index = static_cast<std::int32_t>(GetRecordCount());
  SeekForWriting(*this, Index);
  WriteRecord(bytes.data());
}

// ---------------------------------------------------------------- lines

TLumarLinWriter::~TLumarLinWriter() { CloseAtWholeRecord(*this); }

void TLumarLinWriter::Finish() {
  FlushFile(*this);
  if (TLumarCoordWriter* coords = CoordWriter()) FlushFile(*coords);
}

void TLumarLinWriter::Create(const TBlockFolder& Block, bool NewFile, TWCS* WCS) {
  CreateNew = NewFile;
  if (!platform::DirectoryExists(Block.Dir)) {
    platform::ForceDirectories(Block.Dir);
    CreateBlockFiles(Block);
  }
  TLumarLinReader::Create(Block.Dir, WCS);
  BlockName = Block.Name;
  if (TLumarCoordWriter* coords = CoordWriter()) coords->BlockName = Block.Name;
}

void TLumarLinWriter::Open() {
  SetStream(WriterStream(FileName, CreateNew));
  WriteDummyWhenNew<TLineRecord>(*this, CreateNew);
}

void TLumarLinWriter::OpenCoordReader(const std::string& BlockDir, TWCS* WCS) {
  SetCoordReader(NewBlockWriter<TLumarCoordWriter>(BlockDir, CreateNew, WCS));
}

TLumarCoordWriter* TLumarLinWriter::CoordWriter() const { return static_cast<TLumarCoordWriter*>(CoordReader()); }

void TLumarLinWriter::WriteLineCoords(const TPolyLineElement& Line, std::int32_t& First, std::int32_t& Last) {
  AppendVertices(ConvertedVertices(Line, WCSOf(*this)), First, Last);
}

bool TLumarLinWriter::WriteLine(const TPolyLineElement& Line) {
  const auto* props = DynamicCast<TLumarLineProps>(Line.Properties());
  return props && WriteLineWithAreas(Line, props->LeftArea, props->RightArea);
}

bool TLumarLinWriter::WriteLineWithAreas(const TPolyLineElement& Line, std::int32_t LeftArea,
                                         std::int32_t RightArea) {
  const auto* props = DynamicCast<TLumarLineProps>(Line.Properties());
  if (!props || !AcceptsNumber(*this, Line.ID)) return false;
  const TWCS& wcs = WCSOf(*this);
  // Everything of the line converts before anything of it is written.
  const std::vector<TCoordRecord::Bytes> vertices = ConvertedVertices(Line, wcs);
  if (vertices.empty()) {
    Log(ShownFileName(*this) + ": linie č." + std::to_string(Line.ID) + " nemá žádný bod");
    return false;
  }
  TLineRecord record = LineRecordOf(Line, *props, wcs, Druh, LeftArea, RightArea);
  record.FirstVertex = static_cast<std::int32_t>(CoordWriter()->GetRecordCount());
  record.LastVertex = record.FirstVertex + static_cast<std::int32_t>(vertices.size()) - 1;
  const TLineRecord::Bytes bytes = record.Encode();
  AppendVertices(vertices, record.FirstVertex, record.LastVertex);
  SeekForWriting(*this, Line.ID);
  WriteRecord(bytes.data());
  return true;
}

std::vector<TCoordRecord::Bytes> TLumarLinWriter::ConvertedVertices(const TPolyLineElement& Line, const TWCS& WCS) {
  std::vector<TCoordRecord::Bytes> records;
  records.reserve(static_cast<std::size_t>(Line.GetCoordsCount()));
  for (int i = 0; i < Line.GetCoordsCount(); ++i)
    if (const T2DCoordinate* vertex = Line.GetCoord(i)) records.push_back(CoordRecordOf(*vertex, WCS).Encode());
  return records;
}

void TLumarLinWriter::AppendVertices(const std::vector<TCoordRecord::Bytes>& Records, std::int32_t& First,
                                     std::int32_t& Last) {
  TLumarCoordWriter& coords = *CoordWriter();
  First = static_cast<std::int32_t>(coords.GetRecordCount());
  Last = First + std::max(static_cast<std::int32_t>(Records.size()), 1) - 1;
  SeekForWriting(coords, First);
  for (const TCoordRecord::Bytes& record : Records) coords.WriteRecord(record.data());
}

// ---------------------------------------------------------------- areas and points

void TLumarObjectWriter::Create(const TBlockFolder& Block, bool NewFile, TWCS* WCS) {
  CreateNew = NewFile;
  if (!platform::DirectoryExists(Block.Dir)) platform::ForceDirectories(Block.Dir);
  TLumaRObjectReader::Create(Block.Dir, WCS);
  BlockName = Block.Name;
}

TLumarObjectWriter::~TLumarObjectWriter() { CloseAtWholeRecord(*this); }

void TLumarObjectWriter::Open() { SetStream(WriterStream(FileName, CreateNew)); }

void TLumarObjectWriter::Finish() { FlushFile(*this); }

template <class R>
bool TLumarObjectWriter::WriteObjectRecord(const R& Record) {
  if (!AcceptsNumber(*this, Record.Number)) return false;
  WriteRecordAt(*this, Record.Number, Record);
  return true;
}

void TLumarAreaWriter::InitRecordSize() { RecordSize = TAreaRecord::Size; }
std::string TLumarAreaWriter::GetFileName() const { return kAreaFileName; }

void TLumarAreaWriter::Open() {
  TLumarObjectWriter::Open();
  WriteDummyWhenNew<TAreaRecord>(*this, CreateNew);
}

bool TLumarAreaWriter::WriteArea(const TAreaElement& Area) {
  return WriteObjectRecord(AreaRecordOf(Area, WCSOf(*this)));
}

void TLumarPointWriter::InitRecordSize() { RecordSize = TPointRecord::Size; }
std::string TLumarPointWriter::GetFileName() const { return kPointFileName; }

void TLumarPointWriter::Open() {
  TLumarObjectWriter::Open();
  WriteDummyWhenNew<TPointRecord>(*this, CreateNew);
}

bool TLumarPointWriter::WritePoint(const TPointElement& Point) {
  return WriteObjectRecord(PointRecordOf(Point, WCSOf(*this)));
}

// ---------------------------------------------------------------- class descriptions

TClass TLumarCoordWriter::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarCoordWriter>("TLumarCoordWriter", TLumarCoordReader::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumarLinWriter::StaticClass() {
  static const TClassInfo info = DescribeClass<TLumarLinWriter>(
      "TLumarLinWriter", TLumarLinReader::StaticClass(), "T_lumimp", {FieldProp("Druh", &TLumarLinWriter::Druh)});
  return &info;
}

TClass TLumarObjectWriter::StaticClass() {
  static const TClassInfo info = DescribeClass<TLumarObjectWriter>(
      "TLumarObjectWriter", TLumaRObjectReader::StaticClass(), "T_lumimp",
      {FieldProp("Druh", &TLumarObjectWriter::Druh)});
  return &info;
}

TClass TLumarAreaWriter::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarAreaWriter>("TLumarAreaWriter", TLumarObjectWriter::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumarPointWriter::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarPointWriter>("TLumarPointWriter", TLumarObjectWriter::StaticClass(), "T_lumimp", {});
  return &info;
}
