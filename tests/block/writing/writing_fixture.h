#pragma once
#include "tests/block/block_fixture.h"

inline bool operator==(const TCoordRecord& a, const TCoordRecord& b) { return a.X == b.X && a.Y == b.Y; }
inline void PrintTo(const TCoordRecord& r, std::ostream* out) { *out << "(" << r.X << ", " << r.Y << ")"; }

// The records of a fixed-record file, decoded.
template <class R>
std::vector<R> RecordsOf(const std::string& fileName) {
  const Bytes bytes = FileContent(fileName);
  std::vector<R> records;
  for (std::size_t at = 0; at + R::Size <= bytes.size(); at += R::Size) records.push_back(R::Decode(&bytes[at]));
  return records;
}

// Lines with block props in a model of their own, and a block folder.
class WritingTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    MainTool = &log;
  }
  void TearDown() override {
    MainTool = nullptr;
    BlockTest::TearDown();
  }
  TPolyLineElement* Line(std::int32_t id, std::initializer_list<TRealPoint> points, std::int16_t druh = 4) {
    auto* line = new TPolyLineElement;
    for (const TRealPoint& p : points) line->AddVertex(p.X, p.Y);
    line->CalcBounds();
    auto* props = new TLumarLineProps;
    props->Druh = druh;
    line->SetProperties(props);
    line->ID = id;
    model.AddElement(line);
    return line;
  }
  std::string Block(const std::string& name = "T.BLK") const { return File(name); }
  std::string BlockFile(const char* file, const std::string& block = "T.BLK") const {
    return Block(block) + "/" + file;
  }
  std::vector<TCoordRecord> Coords(const std::string& block = "T.BLK") const {
    return RecordsOf<TCoordRecord>(BlockFile(kCoordFileName, block));
  }
  std::vector<TLineRecord> Lines(const std::string& block = "T.BLK") const {
    return RecordsOf<TLineRecord>(BlockFile(kLineFileName, block));
  }

  TLogLines log;
  TOwnerEntity model;
  TJTSK wcs;
};
