#pragma once
// Readers of the area, point and text files of a GIS block.  Areas are
// walked along their boundary lines through the lines' end links.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "block/files/block_info.h"
#include "block/reading/object_readers.h"

class TAreaElement;
class TTextElement;

// One line of an area's boundary walk.
struct TBoundaryStep {
  std::int32_t Line = 0;
  bool Forward = true;
  bool operator==(const TBoundaryStep&) const = default;
};

// How a boundary walk ended.
enum class TWalkEnd {
  Closed,       // back at the first line in its first direction
  NoFirstLine,  // no line bounds the area
  Broken,       // a link leads nowhere or to a skipped line
  TooLong,      // MaxWalkSteps made without closing
};

class TLumarAreaBoundaryReader : public TLumaRObjectReader {
  KESTX_CLASS(TLumarAreaBoundaryReader)
 public:
  // Walks that make more steps than this stop.
  static constexpr int MaxWalkSteps = 10000;

  TLumarAreaBoundaryReader();
  ~TLumarAreaBoundaryReader() override;

  void InitRecordSize() override;
  std::string GetFileName() const override;
  char GetObjectTypeLetter() const override;
  void Create(const std::string& BlockDir, TWCS* WCS) override;

  // Owned; nil before Create.
  TLumarLinReader* LineReader() const { return lineReader_.get(); }

  bool ReadAreaRecordAt(std::int64_t Index, TAreaRecord& Record);
  // The area of the record at the current position as a polygon of the
  // vertices of its walked lines; nil when the record is no live area or
  // its walk does not close.
  virtual TAreaElement* ReadNextObject();
  // The area of the record at Index, built as the reader builds areas
  // (see ReadNextObject); nil as there.
  TAreaElement* ReadAreaAt(std::int64_t Index);

  // The lines of the area's boundary from its first line on, and how the
  // walk ended.  Logs nothing.
  std::vector<TBoundaryStep> WalkBoundary(const TAreaRecord& Record, TWalkEnd& End);

  // The area as a polygon from its record; nil when the walk does not
  // close or a line's vertex range is bad.
  TAreaElement* MakeBoundaryPolygon(const TAreaRecord& Record);

  // The record last read by ReadAreaAt or ReadNextObject.
  const TAreaRecord& CurrentRecord() const { return current_; }

 protected:
  // The first boundary line: the record's when it bounds the area, else
  // the first line that does; 0 when none does.
  std::int32_t FindFirstLine(const TAreaRecord& Record);
  void PlaceLabel(TAreaElement& Area, const TAreaRecord& Record);
  // The polygon of the walked lines' vertices; nil when a line's vertex
  // range is bad or fewer than two vertices result.
  TAreaElement* PolygonOfSteps(const std::vector<TBoundaryStep>& Steps);

  TAreaRecord current_;

 private:
  bool LineBounds(std::int32_t Line, std::int32_t Area, TLineRecord& Record);

  std::unique_ptr<TLumarLinReader> lineReader_;
  // Area number -> its first line, made by the first scan.
  std::optional<std::unordered_map<std::int32_t, std::int32_t>> firstLines_;
};

// Areas bounded by their lines, which are read as line objects and shared
// with every other area they bound.
class TLumarAreaReader : public TLumarAreaBoundaryReader {
  KESTX_CLASS(TLumarAreaReader)
 public:
  TAreaElement* ReadNextObject() override;
  // The outline of the area at the current position, made once more from
  // its boundary lines (a hole of its parent); nil with the area's message
  // when the lines cannot be read.
  virtual TAreaElement* ReadNextBoundary();

 private:
  // The area from its lines, logging what fails; nil then.
  TAreaElement* MakeLineArea(const TAreaRecord& Record);
  // The message of a walk that did not close; false then.
  bool WalkClosed(const TAreaRecord& Record, TWalkEnd End, const std::vector<TBoundaryStep>& Steps);
};

class TLumarPointReader : public TLumaRObjectReader {
  KESTX_CLASS(TLumarPointReader)
 public:
  // Positions are read within 0 .. MaxCoordinate on either axis.
  static constexpr double MaxCoordinate = 2000000;

  void InitRecordSize() override;
  std::string GetFileName() const override;
  char GetObjectTypeLetter() const override;

  // The point of the record at the current position; nil for record 0, a
  // skipped or out-of-range record and a point not accepted.
  TPointElement* ReadNextPoint();
};

class TLumarTextReader : public TLumaRObjectReader {
  KESTX_CLASS(TLumarTextReader)
 public:
  // The code page the block's texts are written in.
  TCodePage CodePage = cpIBM;

  void InitRecordSize() override;
  std::string GetFileName() const override;
  char GetObjectTypeLetter() const override;
  // The inherited creation, then the text lines when the record file exists.
  void Create(const std::string& BlockDir, TWCS* WCS) override;

  // Text lines read (line k belongs to record k), as the bytes of the
  // block's code page; a text is converted from it when its record is read.
  std::int64_t TextLineCount() const { return static_cast<std::int64_t>(lines_.size()); }
  // The text of the record at the current position, which it expects to be
  // record Index; nil for a deleted or filtered text.  False in Read when
  // the file or the text lines end first.
  TTextElement* ReadNextText(std::int64_t Index, bool& Read);

 private:
  std::vector<std::string> lines_;
};

void RegisterLayerReaderClasses();
