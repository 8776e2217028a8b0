#include "spatial/sheets/map_sheets.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "framework/core/class_registry.h"
#include "platform/streams.h"
#include "spatial/sheets/coordinate_systems.h"
#include "spatial/sheets/zm_sheets.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using Names = std::array<std::string, 5>;  // at 1:50 000, 25 000, 10 000, 5 000 and 2 000

// Every sheet filed in a tree's matrix.
std::vector<TSMO_2*> FiledSheets(const TSpaceTree& tree) {
  std::vector<TSMO_2*> sheets;
  for (int s = 0; s < tree.GetRowCount(); ++s)
    for (TElement* element : tree.GetRow(s)->Children()) sheets.push_back(DynamicCast<TSMO_2>(element));
  return sheets;
}

template <class Sheet>
std::vector<Sheet*> ChildrenOf(const TEntity& entity) {
  std::vector<Sheet*> found;
  for (TElement* child : entity.Children())
    if (auto* sheet = DynamicCast<Sheet>(child)) found.push_back(sheet);
  return found;
}

// The sheet of that name filed in a tree's matrix, or nil.
TMapSpace* FindSubSheetNamed(const TSpaceTree& tree, const std::string& name) {
  for (TSMO_2* sheet : FiledSheets(tree))
    if (sheet->GetName() == name) return sheet;
  return nullptr;
}

// A world with coordinate systems and a series in it; the sheet (0, 0) named
// "N" with the abbreviation "Z" runs from (-25000, -20000) to (0, 0).
class SeriesTest : public SpatialTest {
 protected:
  void SetUp() override {
    SpatialTest::SetUp();
    SetWorld(&world);
    smo = std::make_unique<TSMO>();
    sheet = smo->CreateSheet50(0, 0, "N", "Z");
  }
  void TearDown() override {
    smo.reset();
    SetWorld(nullptr);
    SpatialTest::TearDown();
  }
  // All detail of the sheet down to 1:2 000, the 1:25 000 quarters too.
  void Detail() {
    sheet->CreateDetail10();
    for (TSMO_2* sheet10 : FiledSheets(*sheet)) {
      sheet10->CreateDetail();
      for (TSMO_2* sheet5 : FiledSheets(*sheet10)) sheet5->CreateDetail();
    }
    sheet->CreateDetail25();
  }
  Names NamesAt(double x, double y) {
    return {smo->SheetName50At(x, y), smo->SheetName25At(x, y), smo->SheetName10At(x, y), smo->SheetName5At(x, y),
            smo->SheetName2At(x, y)};
  }
  Names FullNamesAt(double x, double y) {
    return {smo->SheetFullName50At(x, y), smo->SheetFullName25At(x, y), smo->SheetFullName10At(x, y),
            smo->SheetFullName5At(x, y), smo->SheetFullName2At(x, y)};
  }

  TWCSWorld world;
  std::unique_ptr<TSMO> smo;
  TSMO_50* sheet = nullptr;
};

TEST_F(SeriesTest, SheetsOfFiftyThousandArePlacedThroughTheNationalGrid) {
  EXPECT_EQ(std::tuple(smo->GetWCS(), BoxOf(*sheet), BoxOf(*smo->CreateSheet50(2, 3, "M", "Y"))),
            std::tuple(world.GetWCS(1), Box4{-25000, -20000, 0, 0}, Box4{-75000, -80000, -50000, -60000}));
  SetWorld(nullptr);  // without a world the series still uses the national grid
  TSMO alone;
  EXPECT_EQ(BoxOf(*alone.CreateSheet50(1, 1, "N", "Z")), (Box4{-50000, -40000, -25000, -20000}));
}

// Edges inside the sheet belong to the sheet west and south of them; outer edges to none.
TEST_F(SeriesTest, NamesAtAPointAreThoseOfTheSheetsFoundThere) {
  Detail();
  smo->CreateSheet50(1, 0, "W", "V");
  const struct {
    double x, y;
    Names names;
  } cases[] = {
      {-100, -100, {"N", "Z25-2", "Z 0-0", "Z 0-0", "Z 0-0 / 2"}},
      {-7600, -13100, {"N", "Z25-4", "Z 2-6", "Z 3-6", "Z 3-6 / 4"}},
      {-16300, -2100, {"N", "Z25-1", "Z 6-0", "Z 6-1", "Z 6-1 / 1"}},
      {-24999.7, -19999.6, {"N", "Z25-3", "Z 8-8", "Z 9-9", "Z 9-9 / 3"}},  // column and row stay at 9
      {-25000.5, -100, {"W", "V25-2", "V 0-0", "V 0-0", "V 0-0 / 2"}},
      {0, -100, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NamesAt(c.x, c.y), c.names) << c.x << " " << c.y;
    EXPECT_EQ(smo->FindSheet50At(c.x, c.y) == nullptr, c.names[0].empty()) << c.x << " " << c.y;
  }
  EXPECT_EQ(FullNamesAt(-100, -100), (Names{"N  ", "N  25-2", "N  0-0", "N  0-0", "N  0-0 / 2"}));
}

// A sheet's neighbour is the sheet of its level one sheet size away from its
// centre, in this or the next 1:50 000 sheet; a 1:2 000 sheet has neighbour
// names but no neighbour sheets.
TEST_F(SeriesTest, NeighboursAreTheSheetsOfTheSameLevelOneSheetAway) {
  TSMO_50* west = smo->CreateSheet50(1, 0, "W", "V");   // -50000 .. -25000, -20000 .. 0
  TSMO_50* south = smo->CreateSheet50(0, 1, "S", "J");  // -25000 .. 0, -40000 .. -20000
  for (TSMO_50* each : {sheet, west, south}) each->CreateDetail();
  sheet->FindSheet10(0, 0)->CreateDetail();
  sheet->FindSheet5(1, 1)->CreateDetail();
  TMapSpace* sheet2 = FindSubSheetNamed(*sheet->FindSheet5(1, 1), "Z 1-1 / 4");  // -3750 .. -2500, -4000 .. -3000
  const struct {
    const char* name;
    TMapSpace* sheet;
    const char* direction;
    const char* neighbour;  // its name and full name, and the name of the sheet found there or nil
    const char* fullName;
    const char* found;
  } rows[] = {
      {"1:50 000 left", sheet, "Left", "W", "W  ", "W"},
      {"1:50 000 bottom", sheet, "Bottom", "S", "S  ", "S"},
      {"1:50 000 right", sheet, "Right", "", "", "nil"},
      {"1:50 000 top", sheet, "Top", "", "", "nil"},
      {"1:25 000 quarter 3 bottom", sheet->FindSheet25(9, 9), "Bottom", "J25-1", "S  25-1", "J25-1"},
      {"1:25 000 quarter 3 left", sheet->FindSheet25(9, 9), "Left", "V25-4", "W  25-4", "V25-4"},
      {"1:10 000 0-0 left", sheet->FindSheet10(0, 0), "Left", "Z 2-0", "N  2-0", "Z 2-0"},
      {"1:10 000 0-0 bottom", sheet->FindSheet10(0, 0), "Bottom", "Z 0-2", "N  0-2", "Z 0-2"},
      {"1:10 000 0-0 top", sheet->FindSheet10(0, 0), "Top", "", "", "nil"},
      {"1:10 000 8-8 left", sheet->FindSheet10(8, 8), "Left", "V 0-8", "W  0-8", "V 0-8"},
      {"1:10 000 8-8 bottom", sheet->FindSheet10(8, 8), "Bottom", "J 8-0", "S  8-0", "J 8-0"},
      {"1:5 000 1-1 right", sheet->FindSheet5(1, 1), "Right", "Z 0-1", "N  0-1", "Z 0-1"},
      {"1:5 000 1-1 top", sheet->FindSheet5(1, 1), "Top", "Z 1-0", "N  1-0", "Z 1-0"},
      {"1:5 000 1-1 left", sheet->FindSheet5(1, 1), "Left", "Z 2-1", "N  2-1", "nil"},  // no detail there
      {"1:2 000 quarter 4 left", sheet2, "Left", "Z 1-1 / 3", "N  1-1 / 3", "nil"},
      {"1:2 000 quarter 4 top", sheet2, "Top", "Z 1-1 / 2", "N  1-1 / 2", "nil"},
  };
  for (const auto& row : rows) {
    ASSERT_NE(row.sheet, nullptr) << row.name;
    const std::string direction = row.direction;
    TMapSpace* found = direction == "Left"     ? row.sheet->GetLeftMS()
                       : direction == "Right"  ? row.sheet->GetRightMS()
                       : direction == "Top"    ? row.sheet->GetTopMS()
                                               : row.sheet->GetBottomMS();
    EXPECT_EQ(std::tuple(row.sheet->GetPropertyText(direction + "MSName"),
                         row.sheet->GetPropertyText(direction + "MSFullName"), found ? found->GetName() : "nil"),
              std::tuple(row.neighbour, row.fullName, row.found))
        << row.name;
  }
}

TEST_F(SeriesTest, DetailIsMadeOnceAtEveryLevelAndQuartersOnEveryCall) {
  sheet->CreateDetail();  // 1:10 000 and 1:25 000
  sheet->CreateDetail10();
  sheet->CreateDetail25();  // the quarters are not in the matrix; each new one goes first
  EXPECT_EQ(std::tuple(FiledSheets(*sheet).size(), ChildrenOf<TSMO_25>(*sheet).size(),
                       sheet->IndexOf(sheet->FindSheet25(9, 9))),
            std::tuple(25u, 8u, 1));
  sheet->FindSheet10(2, 4)->CreateDetail();
  TSMO_5* west = sheet->FindSheet5(3, 4);
  west->CreateDetail();
  west->CreateDetail();
  EXPECT_EQ(FiledSheets(*west).size(), 4u);

  TSMO_25* quarter = sheet->FindSheet25(7, 2);  // a 1:25 000 sheet takes the 1:5 000 sheets it covers once
  Detail();
  quarter->CreateDetail();
  quarter->CreateDetail();
  auto covered = ChildrenOf<TSMO_5>(*quarter);
  ASSERT_EQ(std::pair(covered.size(), quarter->HasMatrix()), std::pair(25ul, false));  // no 1:2 000 of its own
  for (TSMO_5* s : covered)
    EXPECT_EQ(std::tuple(s->Col >= 5, s->Row < 5, s->GetOwnersCount()), std::tuple(true, true, 2));  // shared
}

// Each 1:25 000 quarter is a half of its 1:50 000 sheet each way, numbered
// 1 north-west, 2 north-east, 3 south-west, 4 south-east, with the column
// and row of the first 1:5 000 sheet it covers, and goes first among the
// sheet's children.
TEST_F(SeriesTest, EachQuarterOfFiftyThousandHasItsPlaceColumnRowAndNumber) {
  const struct {
    int q;
    Box4 box;
    int col, row;
  } rows[] = {
      {1, {-25000, -10000, -12500, 0}, 5, 0},
      {2, {-12500, -10000, 0, 0}, 0, 0},
      {3, {-25000, -20000, -12500, -10000}, 5, 5},
      {4, {-12500, -20000, 0, -10000}, 0, 5},
  };
  for (const auto& row : rows) {
    TSMO_25* quarter = sheet->CreateSheet25At(row.q);
    ASSERT_NE(quarter, nullptr) << row.q;
    EXPECT_EQ(std::tuple(BoxOf(*quarter), quarter->Col, quarter->Row, quarter->Cislo, quarter->GetName(),
                         quarter->GetZkratka(), sheet->IndexOf(quarter)),
              std::tuple(row.box, row.col, row.row, row.q, "Z25-" + std::to_string(row.q), "Z", 0))
        << row.q;
  }
}

// A copy with detail carries the sheet's place, name, abbreviation and number; a
// sheet whose copy holds sheets of its own is named by a blank.
TEST_F(SeriesTest, CopiesWithDetailKeepNameAbbreviationAndNumber) {
  const struct {
    const char* name;
    std::unique_ptr<TMapSpace> sheet;
    const char* copyName;
  } rows[] = {
      {"user map space", std::make_unique<TUserMapSpace>(), "Obora"},
      {"1:2 000 sheet", std::make_unique<TSMO_2>(), "Obora"},
      {"1:5 000 sheet", std::make_unique<TSMO_5>(), " "},
  };
  for (const auto& row : rows) {
    row.sheet->SetName("Obora");
    row.sheet->SetZkratka("OB");
    row.sheet->Cislo = 7;
    row.sheet->SetBounds({-670000, -1075000, -667500, -1072000});
    std::unique_ptr<TMapSpace> copy(row.sheet->GetSelfCopyWithDetail());
    ASSERT_NE(copy, nullptr) << row.name;
    EXPECT_EQ(BoxOf(*copy), (Box4{-670000, -1075000, -667500, -1072000})) << row.name;
    EXPECT_EQ(std::tuple(copy->ClassName(), copy->GetName(), copy->GetZkratka(), copy->Cislo),
              std::tuple(row.sheet->ClassName(), row.copyName, "OB", 7))
        << row.name;
  }
}

TEST_F(SeriesTest, AbbreviationPaperSizeAndAZMSheetsScaleInItsLocator) {
  TMapSpace space;
  space.SetPropertyText("Zkratka", "ŽÁČŘŠÝ");  // four characters, not bytes
  EXPECT_EQ(space.GetPropertyText("Zkratka"), "ŽÁČŘ");
  TUserMapSpace user;
  user.SetBounds({0, 0, 300, 100});
  EXPECT_EQ(user.GetPageWidth(), 0);  // no scale yet
  user.SetPropertyText("Scale", "1000");
  EXPECT_EQ(user.GetPropertyText("PageWidth"), "0.3");

  TZMSpace zmSpace;
  EXPECT_EQ(std::pair(zmSpace.GetScale(), zmSpace.GetCount()), std::pair(200000.0, 0));  // reading makes no locator
  zmSpace.SetScale(10001.5);
  EXPECT_EQ(zmSpace.GetZM()->GetScale(), 10002);
  EXPECT_THROW(zmSpace.SetScale(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(zmSpace.SetScale(1e12), EInvalidOp);
  TZMSpace listed;  // a locator listed among the children is found; Scale is stored, Angle not
  auto* own = new TMapsZM;
  own->SetName("zm");
  own->SetScale(50000);
  listed.AddElement(own);
  EXPECT_EQ(std::pair(listed.GetZM(), listed.GetScale()), std::pair(own, 50000.0));
  const Strings stored = StoredPropertyNames(listed);
  EXPECT_EQ(
      std::pair(std::count(stored.begin(), stored.end(), "Scale"), std::count(stored.begin(), stored.end(), "Angle")),
      std::pair(1l, 0l));
}

Bytes Tail(const Bytes& bytes, std::size_t count) {
  return {bytes.end() - static_cast<std::ptrdiff_t>(count), bytes.end()};
}

TEST_F(SeriesTest, SheetRecordsHoldTheSheetFieldsThenColumnAndRow) {
  TSMO_2 sheet2;
  sheet2.Col = 1;
  const auto bytes2 = WrittenRecord(sheet2);  // column and row once for 1:2 000, after the scale
  EXPECT_EQ(Tail(bytes2, 8), (Bytes{1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(bytes2[bytes2.size() - 19], 0x05);
  TSMO_5 sheet5;  // and twice for 1:5 000
  sheet5.Col = 3;
  sheet5.Row = 0x01020304;
  const auto bytes5 = WrittenRecord(sheet5);
  EXPECT_EQ(Tail(bytes5, 16), (Bytes{3, 0, 0, 0, 4, 3, 2, 1, 3, 0, 0, 0, 4, 3, 2, 1}));
  EXPECT_EQ(bytes5.size(), bytes2.size() + 8);
  // Matrix -1, Cislo 0, empty Zkratka, False, then the scale.
  EXPECT_EQ(Tail(WrittenRecord(TMapSpace()), 18),
            (Bytes{0x02, 0xFF, 0x02, 0x00, 0x06, 0x00, 0x08, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  TUserMapSpace user;
  user.SetName("Mapa");
  user.SetBounds({1, 2, 301, 102});
  user.Cislo = 300;
  user.SetZkratka("UMS");
  user.Selected = true;
  user.SetScale(2500);
  auto bytes = WrittenRecord(user);
  const Bytes fields{0x06, 3, 'U', 'M', 'S', 0x09, 0x05};  // Zkratka, the Boolean's own tag, the scale
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), fields.begin(), fields.end()), bytes.end());
  TQuickEntity map;
  TUserMapSpace read;
  ReadRecord(bytes, read, map);
  EXPECT_EQ(Texts(read, {"Name", "Cislo", "Zkratka", "Selected", "Scale"}), "Mapa|300|UMS|True|2500");
  EXPECT_EQ(BoxOf(read), (Box4{1, 2, 301, 102}));
  EXPECT_FALSE(read.HasMatrix());

  ASSERT_EQ(bytes[bytes.size() - 12], 0x09);
  bytes[bytes.size() - 12] = 0x02;  // a Boolean with another tag is a record error
  platform::TMemoryStream stream(bytes);
  platform::TReader reader(stream, 4096);
  reader.ReadString();
  EXPECT_THROW(read.ReadData(reader, map), platform::EReadError);
}

TEST_F(SeriesTest, ASheetRecordNamesItsMatrixByNumber) {
  TSMO_5 sheet5;
  sheet5.SetBounds({-5000, -2000, -2500, 0});
  sheet5.Col = 1;
  sheet5.CreateDetail();
  sheet5.Matrix()->ID = 0;
  TQuickEntity map;
  auto* matrix = new TSpaceMatrix;
  map.AddElement(matrix);
  TSMO_5 read;
  ReadRecord(WrittenRecord(sheet5), read, map);
  map.RemoveElement(matrix);  // the map lists without holding
  EXPECT_EQ(std::tuple(read.Matrix(), read.GetCount(), read.Col), std::tuple(matrix, 1, 1));
}

// Property texts, element paths and the property editor read the copies with
// detail; such a read must leave the series as it was and make nothing that
// nobody owns.
TEST_F(SeriesTest, ReadingACopyWithDetailChangesNothing) {
  sheet->CreateDetail();
  sheet->FindSheet10(0, 0)->CreateDetail();
  const struct {
    const char* Name;
    TElement* Sheet;
    const char* Property;
  } cases[] = {
      {"1:50 000 with 1:10 000 detail", sheet, "SelfCopyWithDetail10"},
      {"1:50 000 with 1:25 000 detail", sheet, "SelfCopyWithDetail25"},
      {"1:50 000", sheet, "SelfCopyWithDetail"},
      {"1:25 000", sheet->FindSheet25(9, 9), "SelfCopyWithDetail"},
      {"1:10 000", sheet->FindSheet10(0, 0), "SelfCopyWithDetail"},
      {"1:5 000", sheet->FindSheet5(1, 1), "SelfCopyWithDetail"},
  };
  const int before = smo->WholeCount();
  for (const auto& c : cases) {
    ASSERT_NE(c.Sheet, nullptr) << c.Name;
    EXPECT_EQ(
        std::tuple(c.Sheet->GetPropertyText(c.Property), GetObjectPropByName(*c.Sheet, c.Property), smo->WholeCount()),
        std::tuple("0", nullptr, before))
        << c.Name;
  }
}

}  // namespace
