#pragma once
// The block writers: the readers of a block's files turned round.  Each
// keeps its reader's record size, file name, stream, record seek and count
// and adds the conversion of one entity into one record.  A writer is made
// by its constructor and then Create(Block, CreateNew, WCS); CreateNew
// starts the file anew (a fixed-record file of objects gets its dummy
// record 0, as in a new block), else the existing file is updated.  A
// writer's BlockName and the texts it logs name the block, its files lie in
// Block.Dir.
//
// A record is written whole or not at all: an object numbered below 1 (or
// beyond what a block register can file) is refused with a log line, and a
// coordinate that does not convert raises before anything of its object is
// written.  A writer's file ends at its last whole record when the writer
// goes, also after a write that failed part-way (a full disk).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "block/reading/object_readers.h"
#include "block/writing/block_creation.h"

class TCoordinate;
class TAreaElement;
class TPointElement;
class TPolyLineElement;

class TLumarCoordWriter : public TLumarCoordReader {
  KESTX_CLASS(TLumarCoordWriter)
 public:
  bool CreateNew = false;
  ~TLumarCoordWriter() override;

  using TLumarCoordReader::Create;
  void Create(const TBlockFolder& Block, bool NewFile, TWCS* WCS);
  // A file stream: created when CreateNew, else opened for update.
  void Open() override;

  // Coord converted into a record at the current position.
  void WriteCoord(const TCoordinate& Coord);
  // Coord after the last record; Index := its record.
  void AppendCoord(const TCoordinate& Coord, std::int32_t& Index);
};

class TLumarLinWriter : public TLumarLinReader {
  KESTX_CLASS(TLumarLinWriter)
 public:
  // Forced on every line written when above 0.
  std::int16_t Druh = 0;
  bool CreateNew = false;
  ~TLumarLinWriter() override;

  // Creates the block folder (with its parents) and the block's files when
  // the folder is missing.
  using TLumarLinReader::Create;
  void Create(const TBlockFolder& Block, bool NewFile, TWCS* WCS);
  void Open() override;
  // The companion is a coordinate writer of the same block and mode.
  void OpenCoordReader(const std::string& BlockDir, TWCS* WCS) override;
  TLumarCoordWriter* CoordWriter() const;

  // Appends the line's vertices; First and Last := their records.
  void WriteLineCoords(const TPolyLineElement& Line, std::int32_t& First, std::int32_t& Last);
  // The line at the record of its ID, with the areas of its props; nothing
  // without line props.  False when nothing was written.
  bool WriteLine(const TPolyLineElement& Line);
  // The same with the two area numbers given.
  bool WriteLineWithAreas(const TPolyLineElement& Line, std::int32_t LeftArea, std::int32_t RightArea);
  // Writes out what the line and coordinate files still buffer; raises when
  // the disk does not take it, so that a failed block is not reported as
  // written.
  void Finish();

 private:
  static std::vector<TCoordRecord::Bytes> ConvertedVertices(const TPolyLineElement& Line, const TWCS& WCS);
  void AppendVertices(const std::vector<TCoordRecord::Bytes>& Records, std::int32_t& First, std::int32_t& Last);
};

class TLumarObjectWriter : public TLumaRObjectReader {
  KESTX_CLASS(TLumarObjectWriter)
 public:
  // Not read by the area and point writers.
  std::int16_t Druh = 0;
  bool CreateNew = false;
  ~TLumarObjectWriter() override;

  // Creates the block folder (with its parents) when it is missing.
  using TLumaRObjectReader::Create;
  void Create(const TBlockFolder& Block, bool NewFile, TWCS* WCS);
  void Open() override;
  // Writes out what the file still buffers; raises when the disk does not
  // take it.
  void Finish();

 protected:
  // Writes the record at its number unless the number is refused.
  template <class R>
  bool WriteObjectRecord(const R& Record);
};

class TLumarAreaWriter : public TLumarObjectWriter {
  KESTX_CLASS(TLumarAreaWriter)
 public:
  void InitRecordSize() override;
  std::string GetFileName() const override;
  void Open() override;
  // At the record of the props' Cislo.
  bool WriteArea(const TAreaElement& Area);
};

class TLumarPointWriter : public TLumarObjectWriter {
  KESTX_CLASS(TLumarPointWriter)
 public:
  void InitRecordSize() override;
  std::string GetFileName() const override;
  void Open() override;
  // At the record of the point's ID.
  bool WritePoint(const TPointElement& Point);
};

// Makes a writer of class W and runs its creation.
template <class W>
std::unique_ptr<W> NewBlockWriter(const TBlockFolder& Block, bool CreateNew, TWCS* WCS) {
  auto writer = std::make_unique<W>();
  writer->Create(Block, CreateNew, WCS);
  return writer;
}
