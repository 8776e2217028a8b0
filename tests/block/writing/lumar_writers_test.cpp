#include "block/writing/lumar_writers.h"

#include <filesystem>
#include <limits>

#include "block/writing/block_creation.h"
#include "tests/block/writing/writing_fixture.h"
#include "tests/platform/file_size_limit.h"

namespace {

using ::testing::ElementsAre;

class LumarWritersTest : public WritingTest {
 protected:
  std::unique_ptr<TLumarLinWriter> LinWriter(bool createNew = true, const std::string& block = "T.BLK") {
    return NewBlockWriter<TLumarLinWriter>(Block(block), createNew, &wcs);
  }
};

TEST_F(LumarWritersTest, ALineIntoANewBlockMakesTheFolderItsFilesAndOneRecordAtItsNumber) {
  const std::string block = "export/sub/T.BLK";
  {
    auto writer = LinWriter(true, block);
    // A line of three vertices with every field of its props set.
    TPolyLineElement* line = Line(2, {{1, 1}, {4, 5}, {7, 1}});
    line->SetRelRefPoint(new T2DCoordinate(0.5, 0.5));
    line->Angle = 0.5;
    auto* props = static_cast<TLumarLineProps*>(line->Properties());
    SetTexts(*props, {{"Barva", "5"}, {"Znacka", "6"}, {"Presnost", "7"}, {"Vyber", "True"}, {"Symbol", "8"},
                      {"LeftArea", "9"}, {"RightArea", "10"}});
    props->Links = {TLineLink{11, 1}, {12, 0}, {13, 1}, {14, 0}};
    EXPECT_TRUE(writer->WriteLine(*line));
  }
  // The vertices, negated by the national grid, from record 0 on.
  EXPECT_THAT(Coords(block), ElementsAre(TCoordRecord{-1, -1}, TCoordRecord{-4, -5}, TCoordRecord{-7, -1}));
  const std::vector<TLineRecord> lines = Lines(block);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].Encode(), TLineRecord::Dummy());
  EXPECT_EQ(lines[1].Encode(), TLineRecord{}.Encode());
  const TLineRecord expected{.Number = 2, .Kind = 4, .Precision = 7, .Selection = 1, .Colour = 5, .Symbol = 6,
                             .LineSymbol = 8, .FirstVertex = 0, .LastVertex = 2,
                             .Links = {TLineLink{11, 1}, {12, 0}, {13, 1}, {14, 0}}, .LeftArea = 9, .RightArea = 10,
                             .Length = 10, .Box = {-7, -5, -1, -1}, .LabelX = -4, .LabelY = -3,
                             .Angle = RoundToReal48(0.5)};
  EXPECT_EQ(AsBytes(lines[2].Encode()), AsBytes(expected.Encode()));
}

// A coordinate is written where the file stands; one appended goes after
// the file's last record wherever it stands, and its index is that record's.
TEST_F(LumarWritersTest, ACoordinateIsWrittenWhereTheFileStandsAndAppendedAfterItsLastRecord) {
  const struct {
    const char* name;
    bool append;
    std::vector<TCoordRecord> records;  // (3, 4) negated by the national grid
  } rows[] = {
      // A kept file opens at its start: the new block's zero record 0.
      {"written", false, {{-3, -4}}},
      {"appended", true, {{0, 0}, {-3, -4}}},
  };
  for (const auto& row : rows) {
    std::filesystem::remove_all(Block());
    platform::ForceDirectories(Block());
    CreateBlockFiles(Block());
    {
      auto writer = NewBlockWriter<TLumarCoordWriter>(Block(), false, &wcs);
      const T2DCoordinate coord(3, 4);
      std::int32_t index = -1;
      if (row.append)
        writer->AppendCoord(coord, index);
      else
        writer->WriteCoord(coord);
      EXPECT_EQ(index, row.append ? 1 : -1) << row.name;
    }
    EXPECT_EQ(Coords(), row.records) << row.name;
  }
}

TEST_F(LumarWritersTest, AWriteThatFailsPartWayRaisesAndLeavesEveryFileAtItsLastWholeRecord) {
  // The limit in bytes: inside a record of both files, and on the end of a line record.
  const std::pair<const char*, rlim_t> rows[] = {
      {"inside a record", 7 * TLineRecord::Size + 50},
      {"at a line record's end", 9 * TLineRecord::Size},
  };
  for (const auto& [name, limit] : rows) {
    const std::string block = std::string("full") + std::to_string(limit) + ".BLK";
    auto writer = LinWriter(true, block);
    // 40 lines of 30 vertices: both files grow past the limit.
    for (int id = 1; id <= 40; ++id) {
      std::vector<TRealPoint> points;
      for (int v = 0; v < 30; ++v) points.push_back({double(id), double(v)});
      auto* line = new TPolyLineElement;
      for (const TRealPoint& p : points) line->AddVertex(p.X, p.Y);
      line->CalcBounds();
      line->SetProperties(new TLumarLineProps);
      line->ID = id;
      model.AddElement(line);
    }
    {
      const FileSizeLimit full(limit);
      EXPECT_THROW(
          {
            for (int i = 0; i < model.GetCount(); ++i)
              writer->WriteLine(*static_cast<TPolyLineElement*>(model.GetElement(i)));
            writer->Finish();
          },
          platform::EWriteError)
          << name;
      writer.reset();
    }
    model.Clear();
    for (const auto& [file, size] : {std::pair(kLineFileName, TLineRecord::Size),
                                     std::pair(kCoordFileName, TCoordRecord::Size)}) {
      const auto bytes = std::filesystem::file_size(BlockFile(file, block));
      EXPECT_EQ(bytes, limit - limit % size) << name << " " << file;
    }
  }
}

TEST_F(LumarWritersTest, ObjectsWithoutANumberOrLineOrVerticesAreRefusedAndNothingIsWritten) {
  const std::tuple<std::int32_t, bool, int, const char*> cases[] = {
      {0, true, 2, "objekt č.0 nelze zapsat, čísla objektů začínají 1"},  // a walk's done mark
      {-1, true, 2, "objekt č.-1 nelze zapsat, čísla objektů začínají 1"},
      {3, true, 0, "linie č.3 nemá žádný bod"},
      {3, false, 2, nullptr}};  // no line props
  for (const auto& [id, props, vertices, text] : cases) {
    log.Lines.clear();
    TPolyLineElement* line = Line(id, {});
    for (int i = 0; i < vertices; ++i) line->AddVertex(i, i);
    if (!props) line->SetProperties(nullptr);
    EXPECT_FALSE(LinWriter()->WriteLine(*line)) << id;
    RunMessages();
    EXPECT_EQ(Lines().size(), 1u) << id;
    EXPECT_TRUE(Coords().empty()) << id;
    EXPECT_EQ(log.Lines, text ? Strings{BlockFile(kLineFileName) + ": " + text} : Strings{}) << id;
  }
}

TEST_F(LumarWritersTest, ACoordinateThatDoesNotConvertRaisesBeforeAnythingOfItsLineIsWritten) {
  for (const TRealPoint bad : {TRealPoint{std::ldexp(1.0, 130), 1}, {1, std::numeric_limits<double>::quiet_NaN()}}) {
    auto writer = LinWriter();
    writer->WriteLine(*Line(1, {{0, 0}, {1, 1}}));
    TPolyLineElement* line = Line(2, {{2, 2}, {3, 3}});
    line->AddVertex(bad.X, bad.Y);
    EXPECT_THROW(writer->WriteLine(*line), EReal48Overflow) << bad.X;
    writer.reset();
    EXPECT_EQ(Lines().size(), 2u) << bad.X;
    EXPECT_EQ(Coords().size(), 2u) << bad.X;
  }
}

TEST_F(LumarWritersTest, EveryFileGetsItsDummyRecordOrAWindows1250HeaderLineAndEarlierContentGoes) {
  const std::string block = "Lesy Žďár.BLK";
  std::filesystem::create_directories(Block(block));
  WriteCp1250File(BlockFile(kLineFileName, block), std::string(500, 'x'));
  CreateBlockFiles(Block(block));
  const std::string header =
      "Kestu-export pro Lumar (1998) ... soubor textu pro blok " + folder.Path() + "/Lesy \x8E\xEF\xE1r.BLK\r\n";
  // A dummy record is zero but its flag byte.
  const auto dummy = [](std::size_t size, std::size_t flagAt, std::uint8_t flag) {
    Bytes bytes(size, 0);
    bytes[flagAt] = flag;
    return bytes;
  };
  const std::pair<const char*, Bytes> cases[] = {
      {kCoordFileName, dummy(12, 0, 0)},    {kLineFileName, dummy(103, 7, 1)}, {kAreaFileName, dummy(71, 6, 4)},
      {kPointFileName, dummy(35, 7, 1)},    {kTextBoxFileName, dummy(85, 11, 1)},
      {kTextFileName, Bytes(header.begin(), header.end())}};
  for (const auto& [file, bytes] : cases) EXPECT_EQ(FileContent(BlockFile(file, block)), bytes) << file;
}

class ObjectWritersTest : public LumarWritersTest {
 protected:
  // Bounded by Boundary when given (a ring from (10, 10) to (30, 20)), else
  // a plain area whose first child is FirstChild.
  TAreaElement* Area(std::int32_t cislo, TPolyLineElement* Boundary, TElement* FirstChild = nullptr) {
    TAreaElement* area = Boundary ? new TPolyLineAreaElement : new TAreaElement;
    if (Boundary) area->AddLine(Boundary, true);
    if (FirstChild) area->AddElement(FirstChild);
    area->CalcBounds();
    auto* props = new TLumarAreaProps;
    props->Cislo = cislo;
    SetTexts(*props, {{"Druh", "2"}, {"Barva", "3"}, {"Znacka", "4"}, {"PaterNo", "5"}, {"HasChildren", "True"}});
    area->SetProperties(props);
    model.AddElement(area);
    return area;
  }
};

TEST_F(ObjectWritersTest, AreasGoAtTheirNumberWithTheFirstBoundaryLineWhenItIsALine) {
  TPolyLineElement* boundary = Line(6, {{10, 10}, {10, 20}, {30, 20}, {30, 10}, {10, 10}});
  TAreaElement* area = Area(2, boundary);
  {
    auto writer = NewBlockWriter<TLumarAreaWriter>(Block("a/P.BLK"), true, &wcs);
    EXPECT_TRUE(writer->WriteArea(*area));
    EXPECT_TRUE(writer->WriteArea(*Area(1, nullptr, new TPointElement)));
    EXPECT_FALSE(writer->WriteArea(*Area(0, nullptr)));
  }
  // Only the folder and the area file are made.
  EXPECT_FALSE(platform::FileExists(BlockFile(kLineFileName, "a/P.BLK")));
  const auto areas = RecordsOf<TAreaRecord>(BlockFile(kAreaFileName, "a/P.BLK"));
  ASSERT_EQ(areas.size(), 3u);
  EXPECT_EQ(areas[0].Encode(), TAreaRecord::Dummy());
  EXPECT_EQ(areas[1].FirstLine, 0);
  const TAreaRecord expected{.Number = 2, .Kind = 2, .Colour = 3, .Symbol = 4, .FirstLine = 6, .HasChildren = true,
                             .Parent = 5, .LabelX = -10, .LabelY = -10, .Box = {-30, -20, -10, -10},
                             .Area = RoundToReal48(area->WholeArea())};
  EXPECT_EQ(AsBytes(areas[2].Encode()), AsBytes(expected.Encode()));
}

TEST_F(ObjectWritersTest, APointIntoAnEmptyFileLeavesZeroRecordsBeforeItAndAFileThatCannotBeOpenedIsAnError) {
  std::filesystem::create_directories(Block());
  EXPECT_THROW(NewBlockWriter<TLumarPointWriter>(Block(), false, &wcs), platform::EStreamError);
  WriteCp1250File(File("plain"), "x");
  EXPECT_THROW(NewBlockWriter<TLumarAreaWriter>(File("plain/P.BLK"), true, &wcs), platform::EStreamError);
  WriteCp1250File(BlockFile(kPointFileName), "");
  auto* point = new TPointElement;
  point->SetBounds({7, 8, 7, 8});
  point->Angle = 1.5;
  point->ID = 5;
  auto* props = new TLumarPointProps;
  SetTexts(*props, {{"Druh", "1"}, {"Barva", "2"}, {"Znacka", "3"}});
  point->SetProperties(props);
  model.AddElement(point);
  NewBlockWriter<TLumarPointWriter>(Block(), false, &wcs)->WritePoint(*point);
  const Bytes bytes = FileContent(BlockFile(kPointFileName));
  ASSERT_EQ(bytes.size(), 210u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 175), Bytes(175, 0));
  const TPointRecord expected{.Number = 5, .Kind = 1, .Colour = 2, .Symbol = 3, .X = -7, .Y = -8, .Angle = 1.5};
  EXPECT_EQ(RecordsOf<TPointRecord>(BlockFile(kPointFileName))[5].Encode(), expected.Encode());
}

// The gap between a kept file's end and the record of a point's number is
// filled with zero bytes, whatever the file's length and however wide the
// gap, so that the record lands at its number times 35.
TEST_F(ObjectWritersTest, APointPastTheEndOfAKeptFileLandsAtItsNumberWithZerosBeforeIt) {
  const struct {
    const char* name;
    std::size_t kept;  // bytes of the file before, each AA
    std::int32_t number;
  } rows[] = {
      {"one byte short of the record", 5 * TPointRecord::Size - 1, 5},
      {"a record and a byte short", 4 * TPointRecord::Size - 1, 5},
      {"a gap wider than one fill of 64 KiB", 10, 2000},
  };
  std::filesystem::create_directories(Block());
  for (const auto& row : rows) {
    WriteFileBytes(BlockFile(kPointFileName), Bytes(row.kept, 0xAA));
    auto* point = Named<TPointElement>("", &model);
    point->SetBounds({7, 8, 7, 8});
    point->SetProperties(new TLumarPointProps);
    point->ID = row.number;
    NewBlockWriter<TLumarPointWriter>(Block(), false, &wcs)->WritePoint(*point);
    const Bytes bytes = FileContent(BlockFile(kPointFileName));
    const std::size_t at = static_cast<std::size_t>(row.number) * TPointRecord::Size;
    ASSERT_EQ(bytes.size(), at + TPointRecord::Size) << row.name;
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(row.kept)), Bytes(row.kept, 0xAA)) << row.name;
    EXPECT_EQ(Bytes(bytes.begin() + static_cast<long>(row.kept), bytes.begin() + static_cast<long>(at)),
              Bytes(at - row.kept, 0))
        << row.name;
    EXPECT_EQ(TPointRecord::Decode(&bytes[at]).Number, row.number) << row.name;
  }
}

}  // namespace
