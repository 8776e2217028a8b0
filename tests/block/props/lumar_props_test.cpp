#include "block/props/lumar_props.h"

#include <functional>

#include "block/props/bgi_elements.h"
#include "block/tables/lumar_dbf_table.h"
#include "tests/block/block_fixture.h"

namespace {

class LumarPropsTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    block.SetName(folder.Path());
  }
  TLumarBlockRegister block;
};

TEST_F(LumarPropsTest, NamesNoClassPublishesAreFieldsOfTheObjectsRecord) {
  const std::string table =
      MakeTable("L0001.DBF", "NAZEV char(20), CISLO decimal(6,0)", {{"první", "5"}, {"druhá", "12"}, {"třetí", "30"}});
  TPolyLineElement* line = Filed<TPolyLineElement, TLumarLineProps>(block, 12, 1);
  TPolyLineElement* orphan = Filed<TPolyLineElement, TLumarLineProps>(block, 13, 1);  // no record
  EXPECT_EQ(line->GetPropertyText("NAZEV"), "druhá");
  const struct {
    const char* name;
    TPolyLineElement* entity;
    const char *property, *text, *second;  // second: NAZEV of record 12 after it
    std::vector<std::string> messages;
  } cases[] = {
      {"a published name sets the property", line, "Barva", "13", "druhá", {}},
      {"a field of the table is written", line, "nazev", "Žďár", "Žďár", {}},
      {"a name the table lacks is ignored", line, "POPIS", "x", "Žďár", {}},
      {"no record of that number: reported, nothing written", orphan, "NAZEV", "cizí", "Žďár",
       {"Není nalezen záznam c.13\r\n" + table}},
  };
  for (const auto& c : cases) {
    dialogs.Messages.clear();
    c.entity->SetPropertyText(c.property, c.text);
    EXPECT_EQ(Rows(table), (std::vector<std::vector<std::string>>{{"první", "5"}, {c.second, "12"}, {"třetí", "30"}}))
        << c.name;
    EXPECT_EQ(MessageTexts(), c.messages) << c.name;
    EXPECT_TRUE(static_cast<TLumarProps*>(c.entity->Properties())->GetDBFTable()->Table().ReadOnly()) << c.name;
  }
  EXPECT_EQ(static_cast<TLumarProps*>(line->Properties())->Barva, 13);

  // Without a block, or filed in a block without that table: nothing.
  dialogs.Messages.clear();
  auto loose = std::make_unique<TPolyLineElement>();
  auto* looseProps = new TLumarLineProps;
  loose->SetProperties(looseProps);
  EXPECT_FALSE(looseProps->HasField("NAZEV"));
  EXPECT_FALSE(looseProps->LocateRecord());
  loose->SetPropertyText("NAZEV", "x");
  EXPECT_EQ(loose->GetPropertyText("NAZEV"), "");
  TPolyLineElement* filed = Filed<TPolyLineElement, TLumarLineProps>(block, 1, 2);
  EXPECT_FALSE(filed->HasProperty("NAZEV"));
  filed->SetPropertyText("NAZEV", "x");
  EXPECT_TRUE(dialogs.Messages.empty());
  // The done mark of a walk is a working mark, not stored.
  const Strings stored = StoredPropertyNames(TLumarLineProps());
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "IsDone"), 0);
}

// An area's size in hectares is its outline's area over 10 000; anything
// that is no area has none.
TEST_F(LumarPropsTest, HectaresAreTheAreasSquareUnitsOverTenThousand) {
  const auto rectangle = [](TPolyElement& poly, double width, double height) {
    for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, height}, {width, height}, {width, 0.0}}) poly.AddVertex(x, y);
  };
  TAreaElement area;
  rectangle(area, 250, 100);
  TAreaElement small;
  rectangle(small, 10, 5);
  TPolyLineElement line;
  rectangle(line, 250, 100);
  const struct {
    const char* name;
    TSpaceEntity* entity;
    double hectares;
  } rows[] = {
      {"an area of 25 000", &area, 2.5},
      {"an area of 50", &small, 0.005},
      {"a polyline", &line, 0},
      {"no entity", nullptr, 0},
  };
  for (const auto& row : rows) {
    auto* props = new TLumarAreaProps;
    std::unique_ptr<TLumarAreaProps> loose(row.entity ? nullptr : props);
    if (row.entity) row.entity->SetProperties(props);
    EXPECT_DOUBLE_EQ(props->Hektars(), row.hectares) << row.name;
  }
}

// A symbology text's rectangle (0, 0)-(10, 5) meets a rectangle that
// overlaps or touches it, and its margin lies 10 further out on every side.
TEST_F(LumarPropsTest, ASymbologyRectangleMeetsWhatOverlapsOrTouchesIt) {
  TBGIText text;
  // A text is a rectangle element, a base element and a coordinate.
  std::vector<std::string> chain;
  for (TClass cls = text.ClassType(); cls && chain.size() < 4; cls = cls->Parent) chain.push_back(cls->ClassName);
  EXPECT_EQ(chain, (std::vector<std::string>{"TBGIText", "TRectBGIElement", "TBGIBaseElement", "T2DCoordinate"}));
  // Its start point is made on first use and kept.
  const T2DCoordinate* start = text.StartPoint();
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(text.StartPoint(), start);
  text.Rect()->IncludePoint(0, 0);
  text.Rect()->IncludePoint(10, 5);
  const struct {
    const char* name;
    double minX, minY, maxX, maxY;
    bool overlaps;
  } rows[] = {
      {"inside", 2, 1, 3, 2, true},
      {"around it", -1, -1, 11, 6, true},
      {"touching its right", 10, 0, 12, 5, true},
      {"touching its top", 0, 5, 10, 8, true},
      {"right of it", 10.5, 0, 12, 5, false},
      {"left of it", -3, 0, -0.5, 5, false},
      {"above it", 0, 5.5, 10, 8, false},
      {"below it", 0, -3, 10, -0.5, false},
  };
  for (const auto& row : rows)
    EXPECT_EQ(text.Overlaps(row.minX, row.minY, row.maxX, row.maxY), row.overlaps) << row.name;
  TRealRect margin{};
  text.GetMarginRect(margin);
  EXPECT_EQ(BoxOf(margin), (Box4{-10, -10, 20, 15}));
}

TEST_F(LumarPropsTest, TableErrorsEndAsOtherPropertyTextErrors) {
  const struct {
    const char* name;
    bool dBase;  // else a file that is no dBASE table
    const char *property, *text, *read;
  } cases[] = {
      {"a table file that is no dBASE table", false, "NAZEV", "x", "Err Field Value"},
      {"a value a numeric field cannot hold", true, "POCET", "x", "7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.dBase) MakeTable("B0000.DBF", "POCET decimal(4,0), CISLO decimal(6,0)", {{"7", "1"}});
    else WriteCp1250File(File("B0000.DBF"), "no table at all");
    dialogs.Messages.clear();
    TPointElement* point = Filed<TPointElement, TLumarPointProps>(block, 1, 0);
    EXPECT_EQ(point->GetPropertyText(c.property), c.read);
    point->SetPropertyText(c.property, c.text);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{std::string("Error filling property ") + c.property +
                                                       " by string " + c.text});
    EXPECT_EQ(point->GetPropertyText(c.property), c.read);
    platform::DeleteFile(File("B0000.DBF"));
    platform::DeleteFile(File("B0000.IND"));
  }
}

// Asked whether they have a field of a table that cannot be read, objects
// answer no (so such a field is no key), and the log names the table once.
TEST_F(LumarPropsTest, AnUnreadableTableHasNoFieldsAndIsNamedOnce) {
  TLogLines log;
  MainTool = &log;
  WriteCp1250File(File("B0000.DBF"), "no table at all");
  for (std::int32_t cislo : {1, 2}) {
    TPointElement* point = Filed<TPointElement, TLumarPointProps>(block, cislo, 0);
    EXPECT_FALSE(point->HasProperty("NAZEV")) << cislo;
    EXPECT_FALSE(point->HasProperty("NAZEV")) << cislo;
  }
  RunMessages();
  EXPECT_EQ(log.Lines, std::vector<std::string>{"Tabulku " + File("B0000.DBF") + " nelze číst"});
  MainTool = nullptr;
}

// Two text props, a point and an entity that may hold it too.
struct StartPointScene {
  std::unique_ptr<TLumarTextProps> First = std::make_unique<TLumarTextProps>();
  std::unique_ptr<TLumarTextProps> Second = std::make_unique<TLumarTextProps>();
  std::unique_ptr<TOwnerEntity> Container = std::make_unique<TOwnerEntity>();
  T2DCoordinate* Point = new T2DCoordinate(3, 4);
  TElementLink Link{Point};

  // Both props take the point, and the first is freed.
  void ShareAndFreeFirst() {
    First->SetStartPoint(Point);
    Second->SetStartPoint(Point);
    First.reset();
  }
};

TEST(LumarTextPropsTest, AStartPointIsHeldAsSpaceEntitiesHoldTheirProperties) {
  using Act = std::function<void(StartPointScene&)>;
  const struct {
    const char* name;
    Act act;
    bool pointLives;
    bool secondHoldsIt;
  } cases[] = {
      {"freeing one of two props leaves the point to the other", [](StartPointScene& s) { s.ShareAndFreeFirst(); },
       true, true},
      {"the last props to let go frees the point",
       [](StartPointScene& s) {
         s.ShareAndFreeFirst();
         s.Second.reset();
       },
       false, false},
      {"a point an entity holds outlives the props",
       [](StartPointScene& s) {
         s.Container->AddElement(s.Point);
         s.First->SetStartPoint(s.Point);
         s.First.reset();
       },
       true, false},
      {"a replaced point that nothing else holds is freed",
       [](StartPointScene& s) {
         s.First->SetStartPoint(s.Point);
         s.First->SetStartPoint(new T2DCoordinate);
       },
       false, false},
      {"a point freed elsewhere empties the field",
       [](StartPointScene& s) {
         s.Container->AddElement(s.Point);
         s.Second->SetStartPoint(s.Point);
         delete s.Point;
         EXPECT_EQ(s.Second->StartPoint()->GetX(), 0);  // a new point, made on this read
       },
       false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StartPointScene scene;
    c.act(scene);
    const bool pointLives = scene.Link.Get() != nullptr;
    EXPECT_EQ(pointLives, c.pointLives);
    EXPECT_EQ(scene.Second && pointLives && scene.Second->StartPoint() == scene.Link.Get(), c.secondHoldsIt);
  }
}

}  // namespace
