#include "block/files/block_records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "block/files/block_info.h"
#include "block/files/record_file.h"
#include "framework/values/real48.h"
#include "platform/files.h"
#include "tests/platform/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// An expected record, its fields put at the offsets of the file format.
class Layout {
 public:
  explicit Layout(std::size_t size) : bytes_(size, 0) {}
  Layout& U8(std::size_t at, std::uint8_t value) {
    bytes_.at(at) = value;
    return *this;
  }
  Layout& I16(std::size_t at, std::int16_t value) { return Little(at, static_cast<std::uint16_t>(value), 2); }
  Layout& I32(std::size_t at, std::int32_t value) { return Little(at, static_cast<std::uint32_t>(value), 4); }
  Layout& Real(std::size_t at, double value) {
    const Real48Bytes real = DoubleToReal48(value);
    for (std::size_t i = 0; i < real.size(); ++i) bytes_.at(at + i) = real[i];
    return *this;
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Layout& Little(std::size_t at, std::uint32_t bits, int count) {
    for (int i = 0; i < count; ++i) bytes_.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(bits >> (8 * i));
    return *this;
  }
  Bytes bytes_;
};

template <std::size_t N>
Bytes AsVector(const std::array<std::uint8_t, N>& bytes) {
  return Bytes(bytes.begin(), bytes.end());
}

TLineRecord SampleLine() {
  TLineRecord r;
  r.Number = 12;
  r.Kind = -3;
  r.Precision = 2;
  r.Flag = 0;
  r.Selection = 1;
  r.Colour = 13;
  r.Symbol = 1001;
  r.LineSymbol = -23;
  r.FirstVertex = 70000;
  r.LastVertex = 70004;
  r.Links = {TLineLink{5, 1}, TLineLink{6, 0}, TLineLink{-7, 1}, TLineLink{0x01020304, 0}};
  r.LeftArea = 3;
  r.RightArea = -1;
  r.Length = 123.5;
  r.Box = {-1000.25, -2000.5, -1100.75, -2100.125};
  r.LabelX = -1050.5;
  r.LabelY = -2050.25;
  r.Angle = 1.5;
  return r;
}

TAreaRecord SampleArea() {
  TAreaRecord r;
  r.Number = 7;
  r.Kind = 4;
  r.Flag = 0;
  r.Colour = -2;
  r.Symbol = 300;
  r.FirstLine = 99;
  r.HasChildren = true;
  r.Parent = -1;
  r.LabelX = 10.5;
  r.LabelY = -20.25;
  r.Box = {1, 2, 3, 4};
  r.Area = 25000;
  return r;
}

TPointRecord SamplePoint() {
  TPointRecord r;
  r.Number = 5;
  r.Kind = 2;
  r.Precision = 9;
  r.Flag = 0;
  r.Colour = 14;
  r.Symbol = 77;
  r.X = -745123.5;
  r.Y = -1043210.25;
  r.Angle = -0.5;
  return r;
}

TTextBoxRecord SampleText() {
  TTextBoxRecord r;
  r.Number = 3;
  r.Kind = 8;
  r.Reserved6 = {1, 2, 3, 4, 5};
  r.TextAtrib = taOkT | taT30;
  r.TextMode = 6;
  r.Font = 4;
  r.X = 100.5;
  r.Y = 200.25;
  r.Height = 2.5;
  r.WidthCoef = 0.75;
  r.Direction = 0.25;
  r.Reserved44 = 0xAB;
  r.Slant = 15;
  r.Distance = 0.125;
  r.Colour = 9;
  r.Symbol = -4;
  r.Reserved61.fill(0xEE);
  return r;
}

TEST(BlockRecords, EachRecordPutsEveryFieldAtItsOffset) {
  struct Case {
    const char* name;
    Bytes written;
    Bytes expected;
    std::function<Bytes()> readBack;  // decoded and encoded again
  };
  const TCoordRecord coord{-745000.125, -1043000.5};
  Layout coordLayout(12);
  coordLayout.Real(0, -745000.125).Real(6, -1043000.5);

  const TLineRecord line = SampleLine();
  Layout lineLayout(103);
  lineLayout.I32(0, 12).I16(4, -3).U8(6, 2).U8(7, 0).U8(8, 1).I16(9, 13).I16(11, 1001).I16(13, -23);
  lineLayout.I32(19, 70000).I32(23, 70004);
  lineLayout.I32(27, 5).U8(31, 1).I32(32, 6).U8(36, 0).I32(37, -7).U8(41, 1).I32(42, 0x01020304).U8(46, 0);
  lineLayout.I32(47, 3).I32(51, -1).Real(55, 123.5);
  lineLayout.Real(61, -1000.25).Real(67, -2000.5).Real(73, -1100.75).Real(79, -2100.125);
  lineLayout.Real(85, -1050.5).Real(91, -2050.25).Real(97, 1.5);

  const TAreaRecord area = SampleArea();
  Layout areaLayout(71);
  areaLayout.I32(0, 7).I16(4, 4).U8(6, 0).I16(8, -2).I16(10, 300).I32(16, 99).U8(24, 1).I32(25, -1);
  areaLayout.Real(29, 10.5).Real(35, -20.25).Real(41, 1).Real(47, 2).Real(53, 3).Real(59, 4).Real(65, 25000);

  const TPointRecord point = SamplePoint();
  Layout pointLayout(35);
  pointLayout.I32(0, 5).I16(4, 2).U8(6, 9).U8(7, 0).I16(9, 14).I16(11, 77);
  pointLayout.Real(17, -745123.5).Real(23, -1043210.25).Real(29, -0.5);

  const TTextBoxRecord text = SampleText();
  Layout textLayout(85);
  textLayout.I32(0, 3).I16(4, 8).U8(6, 1).U8(7, 2).U8(8, 3).U8(9, 4).U8(10, 5).U8(11, 0x0A).U8(12, 6).U8(13, 4);
  textLayout.Real(14, 100.5).Real(20, 200.25).Real(26, 2.5).Real(32, 0.75).Real(38, 0.25).U8(44, 0xAB);
  textLayout.Real(45, 15).Real(51, 0.125).I16(57, 9).I16(59, -4);
  for (std::size_t i = 61; i < 85; ++i) textLayout.U8(i, 0xEE);

  const Case cases[] = {
      {"TN.CRD", AsVector(coord.Encode()), coordLayout.bytes(),
       [&] { return AsVector(TCoordRecord::Decode(coordLayout.bytes().data()).Encode()); }},
      {"TN.LIN", AsVector(line.Encode()), lineLayout.bytes(),
       [&] { return AsVector(TLineRecord::Decode(lineLayout.bytes().data()).Encode()); }},
      {"TN.ARE", AsVector(area.Encode()), areaLayout.bytes(),
       [&] { return AsVector(TAreaRecord::Decode(areaLayout.bytes().data()).Encode()); }},
      {"TN.PNT", AsVector(point.Encode()), pointLayout.bytes(),
       [&] { return AsVector(TPointRecord::Decode(pointLayout.bytes().data()).Encode()); }},
      {"TN.TBX", AsVector(text.Encode()), textLayout.bytes(),
       [&] { return AsVector(TTextBoxRecord::Decode(textLayout.bytes().data()).Encode()); }},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.written, c.expected) << c.name;
    EXPECT_EQ(c.readBack(), c.expected) << c.name;
  }
  // Decoding gives the fields themselves, not only the same bytes.
  const TLineRecord lineBack = TLineRecord::Decode(lineLayout.bytes().data());
  EXPECT_EQ(lineBack.Links, line.Links);
  EXPECT_EQ(lineBack.Box, line.Box);
  EXPECT_EQ(lineBack.LineSymbol, -23);
  EXPECT_TRUE(TAreaRecord::Decode(areaLayout.bytes().data()).HasChildren);
  EXPECT_EQ(TTextBoxRecord::Decode(textLayout.bytes().data()).Reserved6, text.Reserved6);
}

TEST(BlockRecords, DummyRecordsAreZeroButTheirFlagByte) {
  struct Case {
    const char* name;
    Bytes dummy;
    std::size_t size;
    std::size_t flagAt;
    std::uint8_t flag;
  };
  const Case cases[] = {
      {"TN.CRD", AsVector(TCoordRecord::Dummy()), 12, 0, 0},
      {"TN.LIN", AsVector(TLineRecord::Dummy()), 103, 7, 1},
      {"TN.ARE", AsVector(TAreaRecord::Dummy()), 71, 6, 4},
      {"TN.PNT", AsVector(TPointRecord::Dummy()), 35, 7, 1},
      {"TN.TBX", AsVector(TTextBoxRecord::Dummy()), 85, 11, 1},
  };
  for (const Case& c : cases) {
    Bytes expected(c.size, 0);
    expected[c.flagAt] = c.flag;
    EXPECT_EQ(c.dummy, expected) << c.name;
  }
  EXPECT_FALSE(TLineRecord::Decode(TLineRecord::Dummy().data()).IsLine());
  EXPECT_FALSE(TAreaRecord::Decode(TAreaRecord::Dummy().data()).IsLiveArea());
  EXPECT_FALSE(TPointRecord::Decode(TPointRecord::Dummy().data()).IsPoint());
  EXPECT_TRUE(TTextBoxRecord::Decode(TTextBoxRecord::Dummy().data()).IsDeleted());
  EXPECT_EQ(TextFileHeaderLine("/data/50.BLK"),
            "Kestu-export pro Lumar (1998) ... soubor textu pro blok /data/50.BLK\r\n");
}

TEST(BlockRecords, FlagsDecideWhatARecordIs) {
  struct Case {
    const char* name;
    bool expected;
    std::function<bool()> is;
  };
  auto lineWith = [](std::uint8_t flag) {
    TLineRecord r;
    r.Flag = flag;
    return r.IsLine();
  };
  auto areaWith = [](std::uint8_t flag, double size) {
    TAreaRecord r;
    r.Flag = flag;
    r.Area = size;
    return r.IsLiveArea();
  };
  auto pointWith = [](std::uint8_t flag) {
    TPointRecord r;
    r.Flag = flag;
    return r.IsPoint();
  };
  const Case cases[] = {
      {"line flag 0", true, [&] { return lineWith(0); }},
      {"line flag 2 (bit 1 only)", true, [&] { return lineWith(2); }},
      {"line flag 4", false, [&] { return lineWith(4); }},
      {"line flag 8", false, [&] { return lineWith(8); }},
      {"area flag 0, area 0.0005", false, [&] { return areaWith(0, 0.0005); }},
      {"area flag 0, area 0.002", true, [&] { return areaWith(0, 0.002); }},
      {"area flag 4, area 100", false, [&] { return areaWith(4, 100); }},
      {"area flag 8, area 100", true, [&] { return areaWith(8, 100); }},
      {"point flag 1", false, [&] { return pointWith(1); }},
      {"point flag 2", true, [&] { return pointWith(2); }},
  };
  for (const Case& c : cases) EXPECT_EQ(c.is(), c.expected) << c.name;
}

TEST(BlockRecords, SlantCountsOnlyBeyondOneDegree) {
  struct Case {
    double stored;
    double radians;
  };
  const Case cases[] = {{15, 0.2617993877991494}, {-90, -1.5707963267948966}, {1, 0}, {-0.5, 0}, {0, 0}};
  for (const Case& c : cases) {
    TTextBoxRecord r;
    r.Slant = c.stored;
    EXPECT_DOUBLE_EQ(r.SlantRadians(), c.radians) << c.stored;
  }
}

using RecordFileTest = TempFolderTest;

TEST_F(RecordFileTest, WritingPastTheEndLeavesZeroRecordsBetween) {
  TPointRecord point = SamplePoint();
  {
    TRecordFile file(File("TN.PNT"), TPointRecord::Size, TRecordFile::Mode::Create);
    EXPECT_EQ(file.RecordCount(), 0);
    file.WriteRecord(5, point.Encode().data());
    EXPECT_EQ(file.RecordCount(), 6);
  }
  EXPECT_EQ(platform::FileSize(File("TN.PNT")), 210);
  TRecordFile file(File("TN.PNT"), TPointRecord::Size, TRecordFile::Mode::Update);
  TPointRecord::Bytes bytes{};
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(file.ReadRecord(i, bytes.data()));
    EXPECT_EQ(bytes, TPointRecord::Bytes{}) << "record " << i;
  }
  ASSERT_TRUE(file.ReadRecord(5, bytes.data()));
  EXPECT_EQ(bytes, point.Encode());
  EXPECT_FALSE(file.ReadRecord(6, bytes.data()));
  EXPECT_FALSE(file.ReadRecord(-1, bytes.data()));
  // Rewriting a record in place keeps the others.
  point.Kind = 99;
  file.WriteRecord(2, point.Encode().data());
  EXPECT_EQ(file.AppendRecord(TPointRecord::Dummy().data()), 6);
  EXPECT_EQ(file.RecordCount(), 7);
  ASSERT_TRUE(file.ReadRecord(2, bytes.data()));
  EXPECT_EQ(TPointRecord::Decode(bytes.data()).Kind, 99);
  EXPECT_THROW(file.WriteRecord(-1, bytes.data()), platform::EWriteError);
}

TEST_F(RecordFileTest, TheCountIgnoresARemainder) {
  struct Case {
    std::size_t bytes;
    std::int64_t records;
  };
  const Case cases[] = {{0, 0}, {102, 0}, {103, 1}, {206, 2}, {250, 2}};
  for (const Case& c : cases) {
    {
      platform::TFileStream stream(File("TN.LIN"), platform::TFileStream::Mode::Create);
      const Bytes zeros(c.bytes, 0);
      if (!zeros.empty()) stream.Write(zeros.data(), zeros.size());
    }
    TRecordFile file(File("TN.LIN"), TLineRecord::Size, TRecordFile::Mode::Read);
    EXPECT_EQ(file.RecordCount(), c.records) << c.bytes << " bytes";
  }
  EXPECT_THROW(TRecordFile(File("missing"), 12, TRecordFile::Mode::Read), platform::EFOpenError);
  EXPECT_THROW(TRecordFile(File("missing"), 12, TRecordFile::Mode::Update), platform::EFOpenError);
}

TEST(BlockInfo, CodePagesAndTheBoundingRectangle) {
  struct Case {
    const char* line;
    TCodePage codePage;
  };
  const Case cases[] = {
      {"CODEPAGE=1", cpKamenickych}, {"CODEPAGE=867", cpKamenickych}, {"CODEPAGE=2", cpLatin2},
      {"codepage = 852", cpLatin2},  {"CODEPAGE=1250", cpWindows},    {"CODEPAGE=437", cpIBM},
      {"CODEPAGE=", cpIBM},          {"CODEPAGE=abc", cpIBM},         {"CODE PAGE=1250", cpIBM},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseBlockInfo({c.line}).CodePage, c.codePage) << c.line;

  const TBlockInfo info = ParseBlockInfo({"NAZEV=Les", "OPSANYOBDELNIKBLOKU=740000.5 1040000 750000 1050000.25"});
  EXPECT_TRUE(info.HasBoundingRect);
  EXPECT_EQ(info.BoundingRect, (std::array<double, 4>{-740000.5, -1040000, -750000, -1050000.25}));
  EXPECT_FALSE(ParseBlockInfo({"OPSANYOBDELNIKBLOKU=1 2 3"}).HasBoundingRect);
  EXPECT_EQ(ParseBlockInfo({}).CodePage, cpIBM);
}

TEST_F(RecordFileTest, ABlockWithoutInfoFileIsValid) {
  EXPECT_EQ(ReadBlockInfo(Folder()).CodePage, cpIBM);
  {
    platform::TFileStream stream(File("INFO.TXT"), platform::TFileStream::Mode::Create);
    const std::string text = "NAZEV=Porosty \xE8\x61st\r\nCODEPAGE=1250\r\n";
    stream.Write(text.data(), text.size());
  }
  EXPECT_EQ(ReadBlockInfo(Folder()).CodePage, cpWindows);
}

}  // namespace
