#include "block/files/block_records.h"

#include <numbers>

#include "block/files/record_file.h"
#include "tests/block/block_fixture.h"

namespace {

// An expected record: its fields put at the offsets of the file format.
struct Layout {
  explicit Layout(std::size_t size) : bytes(size, 0) {}
  // A little-endian integer of size bytes.
  Layout& Int(std::size_t at, std::int64_t value, int size) {
    for (int i = 0; i < size; ++i)
      bytes.at(at + i) = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
    return *this;
  }
  Layout& Real(std::size_t at, double value) {
    const Real48Bytes real = DoubleToReal48(value);
    for (std::size_t i = 0; i < real.size(); ++i) bytes.at(at + i) = real[i];
    return *this;
  }
  Bytes bytes;
};

// The record encodes to the layout, and the layout decoded encodes again to
// itself (every field has a value of its own, so a field read from the
// wrong offset shows).
template <class R>
void ExpectLayout(const char* name, const R& record, const Layout& layout) {
  EXPECT_EQ(AsBytes(record.Encode()), layout.bytes) << name;
  EXPECT_EQ(AsBytes(R::Decode(layout.bytes.data()).Encode()), layout.bytes) << name;
}

TEST(BlockRecords, EachRecordPutsEveryFieldAtItsOffset) {
  ExpectLayout("TN.CRD", TCoordRecord{-745000.125, -1043000.5}, Layout(12).Real(0, -745000.125).Real(6, -1043000.5));

  const TLineRecord line{.Number = 12, .Kind = -3, .Precision = 2, .Selection = 1, .Colour = 13, .Symbol = 1001,
                         .LineSymbol = -23, .FirstVertex = 70000, .LastVertex = 70004,
                         .Links = {TLineLink{5, 1}, {6, 0}, {-7, 1}, {0x01020304, 0}}, .LeftArea = 3, .RightArea = -1,
                         .Length = 123.5, .Box = {-1000.25, -2000.5, -1100.75, -2100.125}, .LabelX = -1050.5,
                         .LabelY = -2050.25, .Angle = 1.5};
  Layout lineLayout(103);
  lineLayout.Int(0, 12, 4).Int(4, -3, 2).Int(6, 2, 1).Int(8, 1, 1).Int(9, 13, 2).Int(11, 1001, 2).Int(13, -23, 2);
  lineLayout.Int(19, 70000, 4).Int(23, 70004, 4).Int(27, 5, 4).Int(31, 1, 1).Int(32, 6, 4).Int(37, -7, 4);
  lineLayout.Int(41, 1, 1).Int(42, 0x01020304, 4).Int(47, 3, 4).Int(51, -1, 4).Real(55, 123.5);
  lineLayout.Real(61, -1000.25).Real(67, -2000.5).Real(73, -1100.75).Real(79, -2100.125);
  ExpectLayout("TN.LIN", line, lineLayout.Real(85, -1050.5).Real(91, -2050.25).Real(97, 1.5));

  const TAreaRecord area{.Number = 7, .Kind = 4, .Colour = -2, .Symbol = 300, .FirstLine = 99, .HasChildren = true,
                         .Parent = -1, .LabelX = 10.5, .LabelY = -20.25, .Box = {1, 2, 3, 4}, .Area = 25000};
  Layout areaLayout(71);
  areaLayout.Int(0, 7, 4).Int(4, 4, 2).Int(8, -2, 2).Int(10, 300, 2).Int(16, 99, 4).Int(24, 1, 1).Int(25, -1, 4);
  areaLayout.Real(29, 10.5).Real(35, -20.25).Real(41, 1).Real(47, 2).Real(53, 3).Real(59, 4).Real(65, 25000);
  ExpectLayout("TN.ARE", area, areaLayout);

  const TPointRecord point{.Number = 5, .Kind = 2, .Precision = 9, .Colour = 14, .Symbol = 77, .X = -745123.5,
                           .Y = -1043210.25, .Angle = -0.5};
  Layout pointLayout(35);
  pointLayout.Int(0, 5, 4).Int(4, 2, 2).Int(6, 9, 1).Int(9, 14, 2).Int(11, 77, 2);
  ExpectLayout("TN.PNT", point, pointLayout.Real(17, -745123.5).Real(23, -1043210.25).Real(29, -0.5));

  TTextBoxRecord text{.Number = 3, .Kind = 8, .Reserved6 = {1, 2, 3, 4, 5}, .TextAtrib = taOkT | taT30,
                      .TextMode = 6, .Font = 4, .X = 100.5, .Y = 200.25, .Height = 2.5, .WidthCoef = 0.75,
                      .Direction = 0.25, .Reserved44 = 0xAB, .Slant = 15, .Distance = 0.125, .Colour = 9,
                      .Symbol = -4};
  text.Reserved61.fill(0xEE);
  Layout textLayout(85);
  textLayout.Int(0, 3, 4).Int(4, 8, 2).Int(6, 0x0504030201, 5).Int(11, 0x0A, 1).Int(12, 6, 1).Int(13, 4, 1);
  textLayout.Real(14, 100.5).Real(20, 200.25).Real(26, 2.5).Real(32, 0.75).Real(38, 0.25).Int(44, 0xAB, 1);
  textLayout.Real(45, 15).Real(51, 0.125).Int(57, 9, 2).Int(59, -4, 2);
  for (std::size_t i = 61; i < 85; ++i) textLayout.Int(i, 0xEE, 1);
  ExpectLayout("TN.TBX", text, textLayout);
}

// A text's slant is taken as degrees when its magnitude exceeds 1, and is
// ignored otherwise.
TEST(BlockRecords, ATextsSlantIsDegreesBeyondOneAndIgnoredWithin) {
  const std::pair<double, double> rows[] = {
      {45, std::numbers::pi / 4}, {-90, -std::numbers::pi / 2}, {1.5, std::numbers::pi / 120},
      {1, 0},                     {-1, 0},                      {0.5, 0},
      {-0.25, 0},                 {0, 0},
  };
  for (const auto& [slant, radians] : rows)
    EXPECT_DOUBLE_EQ(TTextBoxRecord{.Slant = slant}.SlantRadians(), radians) << slant;
}

using RecordFileTest = TempFolderTest;

TEST_F(RecordFileTest, WritingPastTheEndLeavesZeroRecordsBetweenAndACountIgnoresARemainder) {
  TPointRecord point{.Number = 5, .X = 1};
  {
    TRecordFile file(File("TN.PNT"), TPointRecord::Size, TRecordFile::Mode::Create);
    file.WriteRecord(5, point.Encode().data());
    EXPECT_EQ(file.RecordCount(), 6);
  }
  TRecordFile file(File("TN.PNT"), TPointRecord::Size, TRecordFile::Mode::Update);
  TPointRecord::Bytes bytes{};
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(file.ReadRecord(i, bytes.data()));
    EXPECT_EQ(bytes, TPointRecord::Bytes{}) << "record " << i;
  }
  EXPECT_FALSE(file.ReadRecord(6, bytes.data()));
  EXPECT_FALSE(file.ReadRecord(-1, bytes.data()));
  EXPECT_EQ(file.AppendRecord(TPointRecord::Dummy().data()), 6);
  // A later gap is filled from the file's end, wherever the last read stopped.
  ASSERT_TRUE(file.ReadRecord(1, bytes.data()));
  const TPointRecord far{.Number = 9, .X = 2};
  file.WriteRecord(9, far.Encode().data());
  const std::pair<int, TPointRecord::Bytes> records[] = {
      {5, point.Encode()}, {6, TPointRecord::Dummy()}, {7, {}}, {8, {}}, {9, far.Encode()}};
  for (const auto& [index, expected] : records) {
    ASSERT_TRUE(file.ReadRecord(index, bytes.data())) << "record " << index;
    EXPECT_EQ(bytes, expected) << "record " << index;
  }
  EXPECT_THROW(file.WriteRecord(-1, bytes.data()), platform::EWriteError);

  for (const auto& [size, records] : {std::pair<std::size_t, std::int64_t>{0, 0}, {102, 0}, {103, 1}, {250, 2}}) {
    WriteCp1250File(File("TN.LIN"), std::string(size, 'x'));
    EXPECT_EQ(TRecordFile(File("TN.LIN"), TLineRecord::Size, TRecordFile::Mode::Read).RecordCount(), records) << size;
  }
}

}  // namespace
