#include "block/reading/block_reader.h"

#include <cstring>
#include <functional>
#include <numbers>
#include <tuple>

#include "block/reading/object_readers.h"
#include "tests/block/reading/reading_fixture.h"

namespace {

using Points = std::vector<std::pair<double, double>>;

// A block LES.BLK whose line file starts with a zero record 0 and holds the
// vertices (0, 0), (1, 1), (2, 1), (3, 4) from index 0.
class BlockReaderTest : public ReadingTest {
 protected:
  void SetUp() override {
    ReadingTest::SetUp();
    files.Put(kLineFileName, 0, TLineRecord{});
    files.Coords({{0, 0}, {1, 1}, {2, 1}, {3, 4}});
  }
};

TEST_F(BlockReaderTest, SmallLinesAreTheirEndsAndBadVertexRangesAreLogged) {
  const TLineRecord records[] = {
      LineRecord(1, 0, 3, {3, 4, 0, 0}),   // box 3 x 4 < MinSize 10: its ends
      LineRecord(2, 0, 3, {10, 0, 0, 0}),  // box 10 wide: every vertex
      LineRecord(3, 2, 2, {10, 0, 0, 0}),  // one vertex: no line
      LineRecord(4, 3, 1, {10, 0, 0, 0}),  // last before first
      LineRecord(5, -1, 1, {10, 0, 0, 0}),  // before the file
      LineRecord(6, 0, 4, {10, 0, 0, 0}),  // past the file
  };
  for (const TLineRecord& r : records) files.Put(kLineFileName, r.Number, r);
  auto reader = Reader();
  reader->MinSize = 10;
  auto lines = Layer(reader->ReadLines());
  ASSERT_EQ(NumbersOf(*lines), (std::vector<int>{1, 2}));
  EXPECT_EQ(VerticesOf(*Child<TPolyElement>(*lines, 0)), (Points{{0, 0}, {-3, -4}}));
  EXPECT_EQ(Child<TPolyElement>(*lines, 1)->GetCoordsCount(), 4);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{dir + ": Linie č.4 má chybný rozsah souřadnic 3 - 1",
                                                   dir + ": Linie č.5 má chybný rozsah souřadnic -1 - 1",
                                                   dir + ": Linie č.6 má chybný rozsah souřadnic 0 - 4"}));
}

// Points are read within 0 .. 2 000 000 on both axes, edges included;
// outside that they are logged and left out, a deleted record silently.
TEST_F(BlockReaderTest, PointsOutsideTheRangeAreLoggedAndDeletedOnesSkipped) {
  files.PutBytes(kPointFileName, 0, TPointRecord::Dummy());
  const struct {
    const char* name;
    TPointRecord record;
    bool read;
  } rows[] = {
      {"inside", {.Number = 1, .Kind = 4, .Colour = 3, .Symbol = 9, .X = 745000.5, .Y = 1043000, .Angle = 0.25}, true},
      {"on the upper edges", {.Number = 2, .X = 2000000, .Y = 2000000}, true},
      {"at the origin", {.Number = 3}, true},
      {"X past the range", {.Number = 4, .X = 2000000.5, .Y = 5}, false},
      {"Y past the range", {.Number = 5, .X = 5, .Y = 2000000.5}, false},
      {"X below zero", {.Number = 6, .X = -0.5, .Y = 5}, false},
      {"Y below zero", {.Number = 7, .X = 5, .Y = -0.5}, false},
      {"deleted", {.Number = 8, .Flag = 1, .X = 5, .Y = 5}, false},
  };
  std::vector<int> expected;
  std::vector<std::string> logged;
  for (const auto& row : rows) {
    files.Put(kPointFileName, row.record.Number, row.record);
    if (row.read) expected.push_back(row.record.Number);
    if (!row.read && row.record.Flag == 0) logged.push_back("Bod.c." + std::to_string(row.record.Number) + " je mimo rozsah");
  }
  auto points = Layer(Reader()->ReadPoints());
  ASSERT_EQ(NumbersOf(*points), expected);
  EXPECT_EQ(LogLines(), logged);
  // The block holds the model's coordinates with both signs turned.
  const auto* first = Child<TPointElement>(*points, 0);
  EXPECT_EQ(std::tuple(first->GetAbsRefX(), first->GetAbsRefY(), first->Angle), std::tuple(-745000.5, -1043000.0, 0.25));
  EXPECT_EQ(Texts(*first->Properties(), {"Druh", "Barva", "Znacka"}), "4|3|9");
}

// A line's symbol of 1000 or more is a point at the line's label point,
// turned a right angle from the line and drawn with that symbol; only a
// deleted line (flag bit 0) has none, the other flags of lines do not count.
TEST_F(BlockReaderTest, LineSymbolsArePointsTurnedFromTheirLinesOnlyDeletedLinesGiveNone) {
  const struct {
    const char* name;
    std::int16_t lineSymbol;
    std::uint8_t flag;
    bool point;
  } rows[] = {
      {"symbol 1000", 1000, 0, true},
      {"symbol 999", 999, 0, false},
      {"no symbol", 0, 0, false},
      {"deleted line", 1200, 1, false},
      {"flag bit 2", 1201, 4, true},
      {"flag bit 3", 1202, 8, true},
  };
  std::vector<int> expected;
  std::int32_t number = 0;
  for (const auto& row : rows) {
    ++number;
    TLineRecord record = LineRecord(number, 0, 1);
    record.Kind = 6;
    record.Colour = 5;
    record.LineSymbol = row.lineSymbol;
    record.Flag = row.flag;
    record.LabelX = 10.0 * number;
    record.LabelY = 20.0;
    record.Angle = 0.5;
    files.Put(kLineFileName, number, record);
    if (row.point) expected.push_back(number);
  }
  auto symbols = Layer(Reader()->ReadLineSymbols());
  ASSERT_EQ(NumbersOf(*symbols), expected);
  EXPECT_EQ(Texts(*symbols, {"TYPE"}), "LINSYM");
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto* point = Child<TPointElement>(*symbols, i);
    const std::string name = rows[expected[i] - 1].name;
    EXPECT_EQ(std::pair(point->GetAbsRefX(), point->GetAbsRefY()), std::pair(-10.0 * expected[i], -20.0)) << name;
    EXPECT_DOUBLE_EQ(point->Angle, 0.5 + std::numbers::pi / 2) << name;
    EXPECT_EQ(Texts(*point->Properties(), {"Druh", "Barva", "Znacka"}),
              "6|5|" + std::to_string(rows[expected[i] - 1].lineSymbol))
        << name;
  }
}

// Only the file's own record numbers are filed in the block's register: a
// line claiming a number beyond the file is read afresh every time.
TEST_F(BlockReaderTest, OnlyTheFilesOwnRecordNumbersAreFiled) {
  files.Put(kLineFileName, 1, LineRecord(1, 0, 1));
  files.Put(kLineFileName, 2, LineRecord(500, 0, 1));
  auto reader = Reader();
  auto first = Layer(reader->ReadLines());
  auto second = Layer(reader->ReadLines());
  ASSERT_EQ(NumbersOf(*first), (std::vector<int>{1, 500}));
  EXPECT_EQ(second->Children()[0], first->Children()[0]);
  EXPECT_NE(second->Children()[1], first->Children()[1]);
}

TEST_F(BlockReaderTest, TruncatedFilesAreReadAsFarAsTheyAreWhole) {
  files.PutBytes(kTextBoxFileName, 0, TTextBoxRecord::Dummy());
  for (std::int32_t i = 1; i <= 3; ++i) files.Put(kTextBoxFileName, i, TTextBoxRecord{});
  files.Raw(kTextFileName, Bytes{'h', '\r', '\n', 'a', '\r', '\n', 'b'});
  files.Put(kLineFileName, 1, LineRecord(1, 0, 1));
  files.Put(kLineFileName, 2, LineRecord(2, 0, 1));
  files.Content(kLineFileName).resize(TLineRecord::Size * 2 + 50);
  auto reader = Reader();
  EXPECT_EQ(NumbersOf(*Layer(reader->ReadTexts())), (std::vector<int>{1, 2}));
  EXPECT_EQ(NumbersOf(*Layer(reader->ReadLines())), (std::vector<int>{1}));
  EXPECT_EQ(LogLines(),
            (std::vector<std::string>{dir + ": Soubor TN.TTX má méně řádků (3) než záznamů v TN.TBX (4)",
                                      dir + ": Soubor " + dir + "/TN.LIN není celý, čte se 2 celých záznamů"}));
}

TEST_F(BlockReaderTest, TextsAreConvertedFromTheCodePageTheBlockNames) {
  const struct {
    const char* info;  // INFO.TXT, or nil for none
    Bytes line;
    const char* text;
  } cases[] = {
      {nullptr, {0x80, 0x9B}, "Ç¢"},  // first: the files of the block stay once written
      {"CODEPAGE=852\r\n", {0xA6, 0xD4, 0xA0, 'r', ' ', 'n', 'a', 'd', ' ', 'S', 0xA0, 'z', 'a', 'v', 'o', 'u'},
       "Žďár nad Sázavou"},
      {"CODEPAGE=1250\r\n", {0x8E, 0xEF, 0xE1, 'r'}, "Žďár"},
      {"CODEPAGE=867\r\n", {0x92, 0x83, 0xA0, 'r', ' ', 0x9E, 0xA9, 0x96}, "Žďár Řřů"},
  };
  files.PutBytes(kTextBoxFileName, 0, TTextBoxRecord::Dummy());
  files.Put(kTextBoxFileName, 1, TTextBoxRecord{.Number = 1});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    world->ObjectModel()->Clear();  // no text of the block read before
    if (c.info) files.Raw(kInfoFileName, Bytes(c.info, c.info + std::strlen(c.info)));
    Bytes ttx{'0', '\r', '\n'};
    ttx.insert(ttx.end(), c.line.begin(), c.line.end());
    files.Raw(kTextFileName, ttx);
    auto texts = Layer(Reader()->ReadTexts());
    ASSERT_EQ(NumbersOf(*texts), (std::vector<int>{1}));
    EXPECT_EQ(Child<TTextElement>(*texts, 0)->Text, c.text);
  }
}

// Counting whole records is also the block reader's (a truncated line file).
TEST_F(BlockReaderTest, ALineFileInMemoryHoldsItsWholeRecordsAndItsCoordinatesToo) {
  BlockFiles(folder.Path()).Raw(kLineFileName, Bytes(210, 0)).Raw(kCoordFileName, Bytes(24, 0)).Flush();
  auto reader = NewObjectReader<TLumarLinReader>(folder.Path(), Grid());
  reader->UseMemory = true;
  reader->Open();
  EXPECT_NE(dynamic_cast<platform::TMemoryStream*>(reader->Stream()), nullptr);
  EXPECT_NE(dynamic_cast<platform::TMemoryStream*>(reader->CoordReader()->Stream()), nullptr);
  EXPECT_EQ(std::pair(reader->GetRecordCount(), reader->HasPartialRecord()), std::pair(std::int64_t{2}, true));
  std::vector<std::uint8_t> buffer(TLineRecord::Size);
  reader->SeekRecord(2);
  EXPECT_FALSE(reader->ReadRecord(buffer.data()));  // a record that is not whole
  // No file: writing fails rather than reaching a missing stream.
  auto missing = NewObjectReader<TLumarLinReader>(folder.Path() + "/missing", Grid());
  EXPECT_NE(ErrorOf([&] { missing->WriteRecord(TLineRecord::Dummy().data()); }), "no error");
}

TEST_F(BlockReaderTest, AreasAreWalkedAlongTheirLinesWithParentsAsHoles) {
  SquareLine(files, 1, 0, 10, 1);
  SquareLine(files, 2, 3, 3, 2, 1);
  TwoLineArea(files);
  files.PutBytes(kAreaFileName, 0, TAreaRecord::Dummy());
  files.Put(kAreaFileName, 1, AreaRecord(1, 1, 0, {1, 1}));
  files.Put(kAreaFileName, 2, AreaRecord(2, 1, 1, {4, 4}));   // its first line is wrong: found by a scan
  files.Put(kAreaFileName, 3, AreaRecord(3, 3, 3, {21, 1}));  // its own parent
  TAreaRecord sliver = AreaRecord(4, 1, 0, {1, 1});
  sliver.Area = 0.0005;
  files.Put(kAreaFileName, 4, sliver);
  auto reader = Reader();
  auto areas = Layer(reader->ReadAreas());
  ASSERT_NE(areas, nullptr);
  EXPECT_EQ(Texts(*areas, {"TYPE"}), "ARE");
  ASSERT_EQ(NumbersOf(*areas), (std::vector<int>{1, 2, 3})) << Join(LogLines(), "\n");
  auto* outer = Child<TPolyLineAreaElement>(*areas, 0);
  auto* pair = Child<TPolyLineAreaElement>(*areas, 2);
  EXPECT_EQ(outer->Children().size(), 1u);
  EXPECT_EQ(outer->GetAbsRefX(), -1);
  ASSERT_NE(outer->Holes(), nullptr);
  ASSERT_EQ(outer->Holes()->Children().size(), 1u);
  EXPECT_EQ(BoxOf(*static_cast<TRectEntity*>(outer->Holes()->Children()[0])), (Box4{-6, -6, -3, -3}));
  EXPECT_EQ(Child<TPolyLineAreaElement>(*areas, 1)->Holes(), nullptr);
  ASSERT_EQ(pair->Children().size(), 2u);
  EXPECT_TRUE(pair->GetLineOrigin(0));
  EXPECT_FALSE(pair->GetLineOrigin(1));
  EXPECT_EQ(Texts(*pair->Properties(), {"Cislo", "PaterNo", "LineNo"}), "3|3|0");
  // Lines are shared objects of the block: line 1 bounds area 1 and is the
  // line the line layer gives.
  EXPECT_EQ(Layer(reader->ReadLines())->Children()[0], outer->Children()[0]);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"Jako otce má plocha č.3 sama sebe !"}));
  // A second read reuses every area and adds no second hole.
  EXPECT_EQ(Layer(reader->ReadAreas())->Children(), areas->Children());
  EXPECT_EQ(outer->Holes()->Children().size(), 1u);
}

TEST_F(BlockReaderTest, AHoleIsAddedOnceWhereverItsLabelPointLies) {
  const std::pair<const char*, std::pair<double, double>> cases[] = {
      {"inside its outline", {4, 4}}, {"on its corner", {3, 3}}, {"outside its outline", {8, 8}}};
  SquareLine(files, 1, 0, 10, 1);
  SquareLine(files, 2, 3, 3, 2, 1);
  files.PutBytes(kAreaFileName, 0, TAreaRecord::Dummy());
  files.Put(kAreaFileName, 1, AreaRecord(1, 1, 0, {1, 1}));
  for (const auto& [name, label] : cases) {
    SCOPED_TRACE(name);
    world->ObjectModel()->Clear();  // the block's register with it
    files.Put(kAreaFileName, 2, AreaRecord(2, 2, 1, label));
    auto reader = Reader();
    auto first = Layer(reader->ReadAreas());
    auto second = Layer(reader->ReadAreas());
    ASSERT_EQ(NumbersOf(*second), (std::vector<int>{1, 2}));
    const auto* outer = Child<TPolyLineAreaElement>(*second, 0);
    ASSERT_NE(outer->Holes(), nullptr);
    EXPECT_EQ(outer->Holes()->Children().size(), 1u);
  }
}

// Clears the world's object model when it receives a message.
// The progress a layer's reading reports to the main tool: its start (the
// process's name and range) and its end.
class TProgressLog : public TOwnerEntity {
 public:
  std::vector<std::string> Seen;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (const auto* start = DynamicCast<TProgressMessage>(message); start && start->Message == msgProgressStart)
      Seen.push_back(start->ProcessName + std::to_string(start->MinProgress) + ".." +
                     std::to_string(start->MaxProgress));
    else if (message->Message == msgProgressEnd)
      Seen.push_back("end");
    handled = true;
  }
};

// Each layer's reading shows the hourglass and a progress over its file's
// records named by the reader's class and file, and ends with the default
// cursor and the progress's end.
TEST_F(BlockReaderTest, EachLayerReadShowsItsProgressAndTheHourglassUntilItEnds) {
  // Records 0 to 2 of both files; the line file's record 0 is the fixture's zero record.
  files.PutBytes(kPointFileName, 0, TPointRecord::Dummy());
  files.Put(kPointFileName, 2, TPointRecord{.Number = 2, .X = 1, .Y = 1});
  files.Put(kLineFileName, 2, LineRecord(2, 0, 3, {10, 0, 0, 0}));
  TProgressLog progress;
  MainTool = &progress;
  const struct {
    const char* name;
    std::function<TElement*(TLumaRBlokReader&)> read;
    std::string process;
  } rows[] = {
      {"points", [](TLumaRBlokReader& r) { return r.ReadPoints(); }, "TLumarPointReader (" + dir + "/TN.PNT) 0..3"},
      {"lines", [](TLumaRBlokReader& r) { return r.ReadLines(); }, "TLumarLinReader (" + dir + "/TN.LIN) 0..3"},
  };
  for (const auto& row : rows) {
    auto reader = Reader();
    dialogs.CursorChanges.clear();
    progress.Seen.clear();
    std::unique_ptr<TElement> layer(row.read(*reader));
    RunMessages();
    ASSERT_FALSE(dialogs.CursorChanges.empty()) << row.name;
    EXPECT_EQ(std::pair(dialogs.CursorChanges.front(), dialogs.ScreenCursor()),
              std::pair(platform::Cursor::HourGlass, platform::Cursor::Default))
        << row.name;
    EXPECT_EQ(progress.Seen, (std::vector<std::string>{row.process, "end"})) << row.name;
  }
  MainTool = &log;
}

// A layer asked for with a rectangle (all four values non-zero) is read
// only from a block whose described box meets it; with a rectangle that
// has a zero, or none, every block is read.
TEST_F(BlockReaderTest, ALayerIsReadOnlyFromABlockWhoseBoxMeetsTheRectangleAskedFor) {
  // The box (100, 200)-(110, 210): negated, maximum corner first.
  const std::string info = "OPSANYOBDELNIKBLOKU=-110 -210 -100 -200\r\n";
  files.Raw(kInfoFileName, Bytes(info.begin(), info.end()));
  files.PutBytes(kPointFileName, 0, TPointRecord::Dummy());
  files.Put(kPointFileName, 1, TPointRecord{.Number = 1, .X = 500, .Y = 500});
  files.Flush();
  const struct {
    const char* name;
    TRealRect rect;
    bool read;
  } rows[] = {
      {"no rectangle", {0, 0, 0, 0}, true},
      {"overlapping the box", {105, 205, 120, 220}, true},
      {"touching the box", {110, 210, 120, 220}, true},
      {"away from the box", {300, 300, 400, 400}, false},
      {"away, with a zero: not used", {0, 300, 400, 400}, true},
  };
  for (const auto& row : rows) {
    std::unique_ptr<TSpaceEntityString> layer(ReadBlockLayer("PNT", dir, {}, row.rect, false, TMethod{}));
    EXPECT_EQ(layer ? layer->GetCount() : -1, row.read ? 1 : -1) << row.name;
    world->ObjectModel()->Clear();
  }
}

class TModelClearer : public TElement {
 public:
  void ReceiveMessage(TKestuMessage*& /*message*/, bool& handled) override {
    World()->ObjectModel()->Clear();
    handled = true;
  }
};

TEST_F(BlockReaderTest, AMessageThatClearsTheModelWaitsUntilTheLayerIsRead) {
  SquareLine(files, 1, 0, 10, 1);
  SquareLine(files, 2, 3, 3, 2, 1);
  files.PutBytes(kAreaFileName, 0, TAreaRecord::Dummy());
  files.Put(kAreaFileName, 1, AreaRecord(1, 2, 2, {4, 4}));  // the hole, read first
  files.Put(kAreaFileName, 2, AreaRecord(2, 1, 3, {1, 1}));  // its parent
  files.Put(kAreaFileName, 3, AreaRecord(3, 7, 0, {1, 1}));  // no line bounds it: a log line
  auto reader = Reader();
  Layer(reader->ReadAreas());  // the areas stay in the block's register only
  LogLines();
  TModelClearer clearer;
  clearer.PostMessage(1, &clearer, nullptr, false);
  auto areas = Layer(reader->ReadAreas());
  ASSERT_EQ(NumbersOf(*areas), (std::vector<int>{2, 1}));
  const auto* outer = Child<TPolyLineAreaElement>(*areas, 0);
  ASSERT_NE(outer->Holes(), nullptr);
  EXPECT_EQ(outer->Holes()->Children().size(), 1u);
  RunMessages();
  EXPECT_EQ(world->ObjectModel()->GetCount(), 0);
}

TEST_F(BlockReaderTest, BrokenAreasAndParentChainsAreLoggedNeverFollowedForever) {
  SquareLine(files, 1, 0, 10, 1);
  SquareLine(files, 2, 20, 10, 2);
  SquareLine(files, 4, 50, 10, 5);
  // Record 0 is never a line, not even of an area it names.
  SquareLine(files, 0, 60, 10, 4);
  TLineRecord open = LineRecord(3, 0, 1);
  open.LeftArea = 3;
  open.Links[llEndNext] = {99, 1};  // past the file
  files.Put(kLineFileName, 3, open);
  files.PutBytes(kAreaFileName, 0, TAreaRecord::Dummy());
  files.Put(kAreaFileName, 1, AreaRecord(1, 1, 2, {1, 1}));    // 1 -> 2 -> 1
  files.Put(kAreaFileName, 2, AreaRecord(2, 2, 1, {21, 1}));
  files.Put(kAreaFileName, 3, AreaRecord(3, 3, 0, {40, 1}));   // its walk breaks
  files.Put(kAreaFileName, 4, AreaRecord(4, 7, 0, {1, 1}));    // no line bounds it
  files.Put(kAreaFileName, 5, AreaRecord(5, 4, 50, {51, 1}));  // a parent past the file
  auto areas = Layer(Reader()->ReadAreas());
  ASSERT_NE(areas, nullptr);
  EXPECT_EQ(NumbersOf(*areas), (std::vector<int>{2, 1, 5}));
  // The cycle's last link is dropped: area 1 is a hole of area 2, not also the other way round.
  EXPECT_EQ(Child<TPolyLineAreaElement>(*areas, 1)->Holes(), nullptr);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"Plocha č.2 má v řetězu otců cyklus, otec č.1 se nepoužije",
                                                   dir + ":Pro plochu č.3 a linii č.3 nelze načíst další linii vlevo",
                                                   dir + ": Nelze načíst pro plochu č.4 linii č.7",
                                                   "Plocha č.5 má otce č.50 mimo soubor ploch"}));
}

}  // namespace
