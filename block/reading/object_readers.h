#pragma once
// Readers of the coordinate and line files of a GIS block.  Readers make
// space entities with block properties and file them in the block's
// register, so that a second read of an object gives the one already in
// memory.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "block/files/block_records.h"
#include "block/reading/reader_base.h"

class T2DCoordinate;
class TPointElement;
class TPolyLineElement;

class TLumarCoordReader : public TLumaRObjectReader {
  KESTX_CLASS(TLumarCoordReader)
 public:
  void InitRecordSize() override;
  std::string GetFileName() const override;

  // The record at the current position as a new vertex in world
  // coordinates (through the WCS, which also gives its kind); nil past the
  // end.  The caller owns it.
  T2DCoordinate* ReadCoord();
};

class TLumarLinReader : public TLumaRObjectReader {
  KESTX_CLASS(TLumarLinReader)
 public:
  TLumarLinReader();
  ~TLumarLinReader() override;

  void InitRecordSize() override;
  std::string GetFileName() const override;
  char GetObjectTypeLetter() const override;
  // The inherited creation, then the companion coordinate reader.
  void Create(const std::string& BlockDir, TWCS* WCS) override;
  virtual void OpenCoordReader(const std::string& BlockDir, TWCS* WCS);

  // Owned; nil before Create.
  TLumarCoordReader* CoordReader() const { return coordReader_.get(); }

  // The record at Index; false when there is none (the file ends first).
  bool ReadLineRecordAt(std::int64_t Index, TLineRecord& Record);
  // The line of the record at Index, or the one already filed under its
  // number; nil when the record is no line, fails the clip test, has a bad
  // vertex range or fewer than two vertices, or is not accepted.
  TPolyLineElement* ReadLineAt(std::int64_t Index);
  // The point of a line's symbol (Symbol of 1000 and more); nil otherwise.
  TPointElement* ReadLineSymbolAt(std::int64_t Index);

 protected:
  void SetCoordReader(std::unique_ptr<TLumarCoordReader> Reader);

 private:
  TPolyLineElement* MakeLine(std::int64_t Index, const TLineRecord& Record);
  bool AppendVertex(TPolyLineElement& Line, std::int64_t Index);

  std::unique_ptr<TLumarCoordReader> coordReader_;
};

void RegisterObjectReaderClasses();
