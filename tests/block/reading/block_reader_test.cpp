#include "block/reading/block_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <numbers>

#include "block/props/lumar_props.h"
#include "block/reading/layer_readers.h"
#include "spatial/objects/space_entities.h"
#include "tests/block/reading/reading_fixture.h"

namespace {

// Vertices of a polyline as (x, y) pairs.
std::vector<std::pair<double, double>> VerticesOf(const TPolyElement& line) {
  std::vector<std::pair<double, double>> points;
  for (int i = 0; i < line.GetCoordsCount(); ++i) points.emplace_back(line.GetCoordX(i), line.GetCoordY(i));
  return points;
}

template <class L>
std::vector<int> NumbersOf(const L& list) {
  std::vector<int> numbers;
  for (TElement* child : list.Children())
    numbers.push_back(static_cast<TSpaceEntity*>(child)->GetPropertyInteger("Cislo"));
  return numbers;
}

class BlockReaderTest : public ReadingTest {
 protected:
  void SetUp() override {
    ReadingTest::SetUp();
    dir = folder.Path() + "/LES.BLK";
    std::filesystem::create_directories(dir);
  }
  BlockFiles Files() const { return BlockFiles(dir); }
  std::unique_ptr<TLumaRBlokReader> Reader() {
    auto reader = std::make_unique<TLumaRBlokReader>();
    reader->Create(dir);
    return reader;
  }
  template <class L>
  std::unique_ptr<L> Layer(L* list) {
    return std::unique_ptr<L>(list);
  }
  std::string dir;
};

TEST_F(BlockReaderTest, PointsAreReadFromTheirRecordsWithinTheRange) {
  BlockFiles files = Files();
  files.Put(kPointFileName, 0, TPointRecord{});  // a dummy without its flag: skipped as record 0
  // Point 1 byte by byte: number 1, kind 7, precision 2, flag 0, colour 3,
  // symbol 4, X 1.0, Y 0.5, angle 0.
  files.PutBytes(kPointFileName, 1,
                 std::array<std::uint8_t, 35>{1, 0, 0, 0, 7, 0, 2, 0, 0, 3, 0, 4, 0, 0,    0,    0, 0,
                                              0x81, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  const struct {
    std::int32_t number;
    double x, y;
    std::uint8_t flag;
  } records[] = {{2, 2000000, 0, 0}, {3, 2000000.5, 5, 0}, {4, 5, -1, 0}, {5, 6, 6, 1}, {6, 7, 8, 0}};
  for (const auto& r : records) {
    TPointRecord point;
    point.Number = r.number;
    point.X = r.x;
    point.Y = r.y;
    point.Flag = r.flag;
    point.Angle = 0.25;
    files.Put(kPointFileName, r.number, point);
  }
  files.Flush();
  auto reader = Reader();
  auto points = Layer(reader->ReadPoints());
  ASSERT_NE(points, nullptr);
  EXPECT_EQ(points->GetName(), dir + " PNT");
  EXPECT_EQ(Texts(*points, {"BlockName", "TYPE"}), dir + "|PNT");
  EXPECT_EQ(NumbersOf(*points), (std::vector<int>{1, 2, 6}));
  auto* first = static_cast<TPointElement*>(points->Children()[0]);
  EXPECT_EQ(first->GetAbsRefX(), -1.0);
  EXPECT_EQ(first->GetAbsRefY(), -0.5);
  EXPECT_EQ(Texts(*first->Properties(), {"Cislo", "Druh", "Presnost", "Barva", "Znacka"}), "1|7|2|3|4");
  EXPECT_EQ(static_cast<TPointElement*>(points->Children()[1])->Angle, 0.25);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"Bod.c.3 je mimo rozsah", "Bod.c.4 je mimo rozsah"}));
}

TEST_F(BlockReaderTest, LinesKeepTheirVerticesPropsAndReferencePoint) {
  BlockFiles files = Files();
  files.Put(kLineFileName, 0, TLineRecord{});
  const std::int32_t first = files.Coords({{1, 2}, {3, 4}, {5, 7}});
  TLineRecord line = LineRecord(1, first, first + 2, {-1, -2, -5, -7});
  line.Kind = 12;
  line.Precision = 3;
  line.Colour = 5;
  line.Symbol = 6;
  line.LineSymbol = 1001;
  line.LeftArea = 8;
  line.RightArea = -1;
  line.Links = {TLineLink{4, 1}, TLineLink{5, 0}, TLineLink{6, 1}, TLineLink{7, 0}};
  line.LabelX = 3;
  line.LabelY = 5;
  line.Angle = 1.5;
  files.Put(kLineFileName, 1, line);
  TLineRecord skipped = LineRecord(2, first, first + 2);
  skipped.Flag = 4;  // bit 2 alone: no line
  files.Put(kLineFileName, 2, skipped);
  files.Flush();

  auto reader = Reader();
  auto lines = Layer(reader->ReadLines());
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(lines->GetName(), dir + " LIN");
  ASSERT_EQ(NumbersOf(*lines), (std::vector<int>{1}));
  auto* read = static_cast<TPolyLineElement*>(lines->Children()[0]);
  EXPECT_EQ(VerticesOf(*read), (std::vector<std::pair<double, double>>{{-1, -2}, {-3, -4}, {-5, -7}}));
  EXPECT_EQ(read->GetAbsRefX(), -3);
  EXPECT_EQ(read->GetAbsRefY(), -5);
  EXPECT_EQ(read->Angle, 1.5);
  auto* props = static_cast<TLumarLineProps*>(read->Properties());
  EXPECT_EQ(Texts(*props, {"Cislo", "Druh", "Presnost", "Barva", "Znacka", "Symbol", "LeftArea", "RightArea"}),
            "1|12|3|5|6|1001|8|-1");
  EXPECT_EQ(props->Links, line.Links);

  // A second read gives the same objects from the register, with the
  // reader's colour written into them.
  reader->SetBarva(9);
  auto again = Layer(reader->ReadLines());
  ASSERT_EQ(again->Children().size(), 1u);
  EXPECT_EQ(again->Children()[0], read);
  EXPECT_EQ(props->Barva, 9);
}

TEST_F(BlockReaderTest, SmallLinesAndBadVertexRanges) {
  BlockFiles files = Files();
  files.Put(kLineFileName, 0, TLineRecord{});
  const std::int32_t first = files.Coords({{0, 0}, {1, 1}, {2, 1}, {3, 4}});
  const struct {
    TLineRecord record;
    std::size_t vertices;  // 0: not read
  } cases[] = {
      {LineRecord(1, first, first + 3, {3, 4, 0, 0}), 2},        // box 3 x 4 < MinSize 10: its ends
      {LineRecord(2, first, first + 3, {10, 0, 0, 0}), 4},       // box 10 wide: every vertex
      {LineRecord(3, first + 2, first + 2, {10, 0, 0, 0}), 0},   // one vertex: no line
      {LineRecord(4, first + 3, first + 1, {10, 0, 0, 0}), 0},   // last before first
      {LineRecord(5, -1, first + 1, {10, 0, 0, 0}), 0},          // before the file
      {LineRecord(6, first, first + 4, {10, 0, 0, 0}), 0},       // past the file
  };
  for (const auto& c : cases) files.Put(kLineFileName, c.record.Number, c.record);
  files.Flush();
  auto reader = Reader();
  reader->MinSize = 10;
  auto lines = Layer(reader->ReadLines());
  std::vector<std::size_t> counts;
  for (TElement* child : lines->Children())
    counts.push_back(static_cast<std::size_t>(static_cast<TPolyElement*>(child)->GetCoordsCount()));
  EXPECT_EQ(counts, (std::vector<std::size_t>{2, 4}));
  EXPECT_EQ(VerticesOf(*static_cast<TPolyElement*>(lines->Children()[0])),
            (std::vector<std::pair<double, double>>{{0, 0}, {-3, -4}}));
  EXPECT_EQ(LogLines(), (std::vector<std::string>{dir + ": Linie č.4 má chybný rozsah souřadnic 3 - 1",
                                                   dir + ": Linie č.5 má chybný rozsah souřadnic -1 - 1",
                                                   dir + ": Linie č.6 má chybný rozsah souřadnic 0 - 4"}));
}

TEST_F(BlockReaderTest, LineSymbolsArePointsOfTheLinesWithSymbolsFromThousand) {
  BlockFiles files = Files();
  files.Put(kLineFileName, 0, TLineRecord{});
  const std::int32_t first = files.Coords({{0, 0}, {1, 1}});
  const struct {
    std::int16_t symbol;
    std::uint8_t flag;
  } records[] = {{1000, 0}, {999, 0}, {1500, 1}, {2000, 4}};
  std::int32_t number = 0;
  for (const auto& r : records) {
    TLineRecord line = LineRecord(++number, first, first + 1);
    line.LineSymbol = r.symbol;
    line.Flag = r.flag;
    line.Kind = 2;
    line.Colour = 3;
    line.LabelX = 10;
    line.LabelY = 20;
    line.Angle = 1;
    files.Put(kLineFileName, number, line);
  }
  files.Flush();
  auto reader = Reader();
  reader->SetZnacka(77);  // not handed to this layer
  auto symbols = Layer(reader->ReadLineSymbols());
  ASSERT_NE(symbols, nullptr);
  EXPECT_EQ(Texts(*symbols, {"TYPE"}), "LINSYM");
  // Bit 2 alone does not skip a symbol.
  EXPECT_EQ(NumbersOf(*symbols), (std::vector<int>{1, 4}));
  auto* point = static_cast<TPointElement*>(symbols->Children()[0]);
  EXPECT_EQ(point->GetAbsRefX(), -10);
  EXPECT_EQ(point->GetAbsRefY(), -20);
  EXPECT_DOUBLE_EQ(point->Angle, 1 + std::numbers::pi / 2);
  EXPECT_EQ(Texts(*point->Properties(), {"Druh", "Barva", "Znacka"}), "2|3|1000");
  EXPECT_EQ(point->GetOwnersCount(), 1);  // the list only: symbols are not filed
}

TEST_F(BlockReaderTest, TextsTakeTheirLinesAndTheBlocksCodePage) {
  const struct {
    const char* info;
    TCodePage codePage;
  } pages[] = {{nullptr, cpIBM}, {"CODEPAGE=867", cpKamenickych}, {"CODEPAGE=852", cpLatin2},
               {"CODEPAGE=1250", cpWindows}, {"CODEPAGE=437", cpIBM}};
  for (const auto& page : pages) {
    BlockFiles files = Files();
    files.PutBytes(kTextBoxFileName, 0, TTextBoxRecord::Dummy());
    TTextBoxRecord text;
    text.Number = 7;  // not its index: the index counts
    text.X = 100;
    text.Y = 200;
    text.Height = 2.5;
    text.Slant = 30;
    text.Font = 4;
    text.Colour = 6;
    files.Put(kTextBoxFileName, 1, text);
    text.Slant = 0.5;  // a magnitude up to 1 is no slant
    files.Put(kTextBoxFileName, 2, text);
    text.TextAtrib = taZrusenT;
    files.Put(kTextBoxFileName, 3, text);
    const std::string lines = platform::Utf8ToCp1250("hlavička\r\nLesní část\r\ndruhý\r\nsmazaný\r\n");
    files.Raw(kTextFileName, Bytes(lines.begin(), lines.end()));
    if (page.info) files.Raw(kInfoFileName, Bytes(page.info, page.info + std::strlen(page.info)));
    else std::filesystem::remove(dir + "/" + kInfoFileName);
    files.Flush();

    auto reader = Reader();
    EXPECT_EQ(reader->CodePage(), page.codePage);
    auto texts = Layer(reader->ReadTexts());
    ASSERT_NE(texts, nullptr);
    ASSERT_EQ(NumbersOf(*texts), (std::vector<int>{1, 2})) << (page.info ? page.info : "no INFO.TXT");
    auto* first = static_cast<TTextElement*>(texts->Children()[0]);
    EXPECT_EQ(first->Text, "Lesní část");
    EXPECT_EQ(first->GetAbsRefX(), -100);
    EXPECT_EQ(first->GetAbsRefY(), -200);
    auto* props = static_cast<TLumarTextProps*>(first->Properties());
    EXPECT_EQ(props->CodePage, page.codePage);
    EXPECT_EQ(props->StartPoint()->GetX(), -100);
    EXPECT_DOUBLE_EQ(props->Slope, std::numbers::pi / 6);
    EXPECT_EQ(Texts(*props, {"Height", "LumarFont", "Barva"}), "2.5|4|6");
    EXPECT_EQ(static_cast<TTextElement*>(texts->Children()[1])->GetPropertyText("Slope"), "0");
    world->ObjectModel()->Clear();  // the next block is read afresh
  }
}

TEST_F(BlockReaderTest, TruncatedFilesAreReadAsFarAsTheyAreWhole) {
  BlockFiles files = Files();
  files.PutBytes(kTextBoxFileName, 0, TTextBoxRecord::Dummy());
  for (std::int32_t i = 1; i <= 3; ++i) files.Put(kTextBoxFileName, i, TTextBoxRecord{});
  files.Raw(kTextFileName, Bytes{'h', '\r', '\n', 'a', '\r', '\n', 'b'});
  files.Put(kLineFileName, 0, TLineRecord{});
  const std::int32_t first = files.Coords({{0, 0}, {1, 1}});
  files.Put(kLineFileName, 1, LineRecord(1, first, first + 1));
  files.Put(kLineFileName, 2, LineRecord(2, first, first + 1));
  files.Content(kLineFileName).resize(TLineRecord::Size * 2 + 50);
  files.Flush();
  auto reader = Reader();
  auto texts = Layer(reader->ReadTexts());
  EXPECT_EQ(NumbersOf(*texts), (std::vector<int>{1, 2}));
  auto lines = Layer(reader->ReadLines());
  EXPECT_EQ(NumbersOf(*lines), (std::vector<int>{1}));
  EXPECT_EQ(LogLines(),
            (std::vector<std::string>{dir + ": Soubor TN.TTX má méně řádků (3) než záznamů v TN.TBX (4)",
                                      dir + ": Soubor " + dir + "/TN.LIN není celý, čte se 2 celých záznamů"}));
}

TEST_F(BlockReaderTest, AreasAreWalkedAlongTheirLinesWithParentsAsHoles) {
  BlockFiles files = Files();
  files.Put(kLineFileName, 0, TLineRecord{});
  SquareLine(files, 1, 0, 10, 1);
  SquareLine(files, 2, 3, 3, 2, 1);
  TwoLineArea(files);

  files.PutBytes(kAreaFileName, 0, TAreaRecord::Dummy());
  files.Put(kAreaFileName, 1, AreaRecord(1, 1, 0, {1, 1}));
  files.Put(kAreaFileName, 2, AreaRecord(2, 1, 1, {4, 4}));  // its first line is wrong: found by a scan
  files.Put(kAreaFileName, 3, AreaRecord(3, 3, 3, {21, 1}));  // its own parent
  TAreaRecord sliver = AreaRecord(4, 1, 0, {1, 1});
  sliver.Area = 0.0005;
  files.Put(kAreaFileName, 4, sliver);
  files.Flush();

  auto reader = Reader();
  auto areas = Layer(reader->ReadAreas());
  ASSERT_NE(areas, nullptr);
  EXPECT_EQ(Texts(*areas, {"TYPE"}), "ARE");
  ASSERT_EQ(NumbersOf(*areas), (std::vector<int>{1, 2, 3})) << Join(LogLines(), "\n");
  auto* outer = static_cast<TPolyLineAreaElement*>(areas->Children()[0]);
  auto* inner = static_cast<TPolyLineAreaElement*>(areas->Children()[1]);
  auto* pair = static_cast<TPolyLineAreaElement*>(areas->Children()[2]);
  EXPECT_EQ(outer->Children().size(), 1u);
  EXPECT_EQ(outer->GetAbsRefX(), -1);
  ASSERT_NE(outer->Holes(), nullptr);
  ASSERT_EQ(outer->Holes()->Children().size(), 1u);
  EXPECT_EQ(BoxOf(*static_cast<TRectEntity*>(outer->Holes()->Children()[0])), (Box4{-6, -6, -3, -3}));
  EXPECT_EQ(inner->Holes(), nullptr);
  ASSERT_EQ(pair->Children().size(), 2u);
  EXPECT_TRUE(pair->GetLineOrigin(0));
  EXPECT_FALSE(pair->GetLineOrigin(1));
  EXPECT_EQ(Texts(*pair->Properties(), {"Cislo", "PaterNo", "LineNo"}), "3|3|0");
  // Lines are shared objects of the block: line 1 bounds area 1 and is the
  // line the line layer gives.
  auto lines = Layer(reader->ReadLines());
  EXPECT_EQ(lines->Children()[0], outer->Children()[0]);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"Jako otce má plocha č.3 sama sebe !"}));

  // A second read reuses every area and adds no second hole.
  auto again = Layer(reader->ReadAreas());
  EXPECT_EQ(again->Children(), areas->Children());
  EXPECT_EQ(outer->Holes()->Children().size(), 1u);

  // As boundary polygons: the vertices of the walked lines.
  world->ObjectModel()->Clear();
  auto polygons = std::make_unique<TLumaRBlokReader>();
  polygons->Create(dir);
  polygons->ReadAreaAsBoundary = true;
  auto boundaries = Layer(polygons->ReadAreas());
  ASSERT_EQ(NumbersOf(*boundaries), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(VerticesOf(*static_cast<TAreaElement*>(boundaries->Children()[2])),
            (std::vector<std::pair<double, double>>{{-20, -5}, {-25, -5}, {-25, -0}, {-20, -0}}));
  EXPECT_EQ(Texts(*static_cast<TAreaElement*>(boundaries->Children()[1])->Properties(), {"LineNo", "PaterNo"}),
            "1|1");
}

TEST_F(BlockReaderTest, BrokenAreasAndParentChainsAreLoggedNeverFollowedForever) {
  BlockFiles files = Files();
  files.Put(kLineFileName, 0, TLineRecord{});
  SquareLine(files, 1, 0, 10, 1);
  SquareLine(files, 2, 20, 10, 2);
  SquareLine(files, 4, 50, 10, 5);
  const std::int32_t first = files.Coords({{40, 0}, {45, 5}});
  TLineRecord open = LineRecord(3, first, first + 1);
  open.LeftArea = 3;
  open.Links[llEndNext] = {99, 1};  // past the file
  files.Put(kLineFileName, 3, open);
  files.PutBytes(kAreaFileName, 0, TAreaRecord::Dummy());
  files.Put(kAreaFileName, 1, AreaRecord(1, 1, 2, {1, 1}));     // 1 -> 2 -> 1
  files.Put(kAreaFileName, 2, AreaRecord(2, 2, 1, {21, 1}));
  files.Put(kAreaFileName, 3, AreaRecord(3, 3, 0, {40, 1}));    // its walk breaks
  files.Put(kAreaFileName, 4, AreaRecord(4, 7, 0, {1, 1}));     // no line bounds it
  files.Put(kAreaFileName, 5, AreaRecord(5, 4, 50, {51, 1}));   // a parent past the file
  files.Flush();
  auto reader = Reader();
  auto areas = Layer(reader->ReadAreas());
  ASSERT_NE(areas, nullptr);
  EXPECT_EQ(NumbersOf(*areas), (std::vector<int>{2, 1, 5}));
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "Plocha č.2 má v řetězu otců cyklus, otec č.1 se nepoužije",
                            dir + ":Pro plochu č.3 a linii č.3 nelze načíst další linii vlevo",
                            dir + ": Nelze načíst pro plochu č.4 linii č.7",
                            "Plocha č.5 má otce č.50 mimo soubor ploch",
                        }));
}

}  // namespace
