#include "block/props/lumar_props.h"

#include <functional>
#include <memory>

#include "block/props/bgi_elements.h"
#include "block/props/lumar_registers.h"
#include "block/tables/lumar_dbf_table.h"
#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"
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

TEST_F(LumarPropsTest, RegistersThePropsAndRegistersButNotTheSymbologyElements) {
  for (const char* name : {"TLumarProps", "TLumarPointProps", "TLumarTextProps", "TLumarAreaProps", "TLumarLineProps",
                           "TLumarObjectOwner", "TLumarObjectRegister", "TLumarBlockRegister"})
    EXPECT_NE(FindKestuClass(name), nullptr) << name;
  for (const char* name : {"TBGIBaseElement", "TRectBGIElement", "TBGIText", "TLumarDBFTable"})
    EXPECT_EQ(FindKestuClass(name), nullptr) << name;
  EXPECT_EQ(OwnPropertyNames(TLumarProps::StaticClass()),
            (Strings{"Cislo", "Druh", "Barva", "Znacka", "Vyber", "Presnost", "Symbol", "PhysicalObjectType",
                     "ObjectType", "DBFName", "DBFTable"}));
  EXPECT_EQ(OwnPropertyNames(TLumarTextProps::StaticClass()),
            (Strings{"CodePage", "StartPoint", "LumarFont", "Height", "WidthCoef", "Direction", "Slope", "Distance",
                     "TextAtrib", "TextMode"}));
  EXPECT_EQ(OwnPropertyNames(TLumarAreaProps::StaticClass()),
            (Strings{"LineNo", "PaterNo", "HasChildren", "Hektars"}));
  TLumarLineProps line;
  const Strings stored = StoredPropertyNames(line);
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "IsDone"), 0);  // a working mark, not stored
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "LeftArea"), 1);
}

TEST_F(LumarPropsTest, KindLettersComeFromTheEntityOrTheDescendant) {
  struct Case {
    const char* name;
    TSpaceEntity* entity;  // nil: props without an entity
    TLumarProps* props;
    char physical;
    char type;
  };
  const Case cases[] = {
      {"no entity", nullptr, new TLumarProps, ' ', ' '},
      {"point", new TPointElement, new TLumarProps, 'B', 'B'},
      {"text", new TTextElement, new TLumarProps, 'T', 'T'},
      {"polyline", new TPolyLineElement, new TLumarProps, 'L', 'L'},
      {"area", new TAreaElement, new TLumarProps, 'P', 'P'},
      {"area of lines", new TPolyLineAreaElement, new TLumarProps, 'P', 'P'},
      {"bare poly element", new TPolyElement, new TLumarProps, 'X', 'X'},
      {"point props on a line", new TPolyLineElement, new TLumarPointProps, 'L', 'B'},
      {"text props", nullptr, new TLumarTextProps, ' ', 'T'},
      {"line props", nullptr, new TLumarLineProps, ' ', 'L'},
      {"area props", nullptr, new TLumarAreaProps, ' ', 'P'},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TSpaceEntity> entity(c.entity);
    std::unique_ptr<TLumarProps> loose;
    if (entity) entity->SetProperties(c.props);
    else loose.reset(c.props);
    EXPECT_EQ(c.props->PhysicalObjectType(), c.physical) << c.name;
    EXPECT_EQ(c.props->GetPropertyText("ObjectType"), std::string(1, c.type)) << c.name;
    EXPECT_EQ(c.props->GetDBFName(), "") << c.name;  // not filed in a block
  }
}

TEST_F(LumarPropsTest, TableNamesPadTheKindAndTakeTheAskingObjectsLetter) {
  TPolyLineElement* line = Filed<TPolyLineElement, TLumarLineProps>(block, 12, 12);
  TAreaElement* area = Filed<TAreaElement, TLumarAreaProps>(block, 3, 7);
  // A second object under area 3's number: it shares the first one's kind.
  auto* second = new TAreaElement;
  auto* secondProps = new TLumarLineProps;
  secondProps->Cislo = 3;
  secondProps->Druh = 99;
  second->SetProperties(secondProps);
  block.GetObjectRegister('P')->Register(second);
  const std::string dir = folder.Path() + "/";
  EXPECT_EQ(line->GetPropertyText("DBFName"), dir + "L0012.DBF");
  EXPECT_EQ(area->GetPropertyText("DBFName"), dir + "P0007.DBF");
  EXPECT_EQ(secondProps->GetDBFName(), dir + "L0007.DBF");
  EXPECT_EQ(BlockTableName("D", 'B', 123), "D/B0123.DBF");
  EXPECT_EQ(BlockTableName("D/", 'T', 0), "D/T0000.DBF");
}

TEST_F(LumarPropsTest, RegistersOfTheBlockNameTheirSlotsAndKeepOneTable) {
  Filed<TPolyLineElement, TLumarLineProps>(block, 12, 1);
  Filed<TPointElement, TLumarPointProps>(block, 2, 5);
  TObjectRegister* lines = block.GetObjectRegister('L');
  ASSERT_NE(DynamicCast<TLumarObjectRegister>(lines), nullptr);
  EXPECT_EQ(block.GetObjectRegister('l'), lines);
  ASSERT_EQ(lines->SlotCount(), 13);
  EXPECT_NE(DynamicCast<TLumarObjectOwner>(lines->Children()[3]), nullptr);
  EXPECT_EQ(lines->Children()[12]->GetName(), "L12:1");
  EXPECT_EQ(block.GetObjectRegister('B')->Children()[2]->GetName(), "B2:5");
  EXPECT_FALSE(lines->Children()[3]->HasName());
  // A second entity under the number keeps the first one's name.
  auto* again = new TPolyLineElement;
  auto* props = new TLumarLineProps;
  props->Cislo = 12;
  props->Druh = 4;
  again->SetProperties(props);
  lines->Register(again);
  EXPECT_EQ(lines->Children()[12]->GetName(), "L12:1");
  TObject* table = lines->GetDBF();
  ASSERT_NE(DynamicCast<TLumarDBFTable>(table), nullptr);
  EXPECT_EQ(lines->GetDBF(), table);
  EXPECT_EQ(props->GetDBFTable(), table);
  TLumarProps loose;
  EXPECT_EQ(loose.GetDBFTable(), nullptr);
  TObjectRegister plain;
  EXPECT_EQ(plain.GetDBF(), nullptr);
}

TEST_F(LumarPropsTest, HectaresOnlyForAreas) {
  auto area = std::make_unique<TAreaElement>();
  for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, 250.0}, {100.0, 250.0}, {100.0, 0.0}}) area->AddVertex(x, y);
  auto* areaProps = new TLumarAreaProps;
  area->SetProperties(areaProps);
  EXPECT_DOUBLE_EQ(areaProps->Hektars(), 2.5);
  auto line = std::make_unique<TPolyLineElement>();
  for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, 250.0}, {100.0, 250.0}, {100.0, 0.0}}) line->AddVertex(x, y);
  auto* lineAreaProps = new TLumarAreaProps;
  line->SetProperties(lineAreaProps);
  EXPECT_EQ(lineAreaProps->Hektars(), 0);
  TLumarAreaProps loose;
  EXPECT_EQ(loose.Hektars(), 0);
}

TEST_F(LumarPropsTest, TheNumberIsTheSpaceIdAndLinksCarryTheirEndByte) {
  TPolyLineElement* line = Filed<TPolyLineElement, TLumarLineProps>(block, 41, 1);
  EXPECT_EQ(line->GetSpaceID(), 41);
  EXPECT_EQ(block.FindObject('L', 41), line);
  auto* props = static_cast<TLumarLineProps*>(line->Properties());
  props->SetLink(llStartPrevious, 7, true);
  props->SetLink(llEndNext, 8, false);
  EXPECT_EQ(props->Links[llStartPrevious], (TLineLink{7, 1}));
  EXPECT_EQ(props->Links[llEndNext], (TLineLink{8, 0}));
  props->LeftArea = 3;
  props->RightArea = 4;
  EXPECT_EQ(props->GetArea(true), 3);
  EXPECT_EQ(props->GetArea(false), 4);
}

TEST_F(LumarPropsTest, TheTextStartPointIsMadeOnFirstReadAndReplaced) {
  TLumarTextProps text;
  T2DCoordinate* first = text.StartPoint();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(text.StartPoint(), first);
  auto* next = new T2DCoordinate(5, 6);
  text.SetStartPoint(next);
  EXPECT_EQ(text.StartPoint(), next);
  text.SetPropertyText("TextAtrib", "9");
  EXPECT_EQ(text.TextAtrib, 9);
  text.SetPropertyText("CodePage", "cpWindows");
  EXPECT_EQ(text.CodePage, cpWindows);
}

TEST_F(LumarPropsTest, NamesNoClassPublishesAreFieldsOfTheObjectsRecord) {
  const std::string table =
      MakeTable("L0001.DBF", "NAZEV char(20), CISLO decimal(6,0)", {{"první", "5"}, {"druhá", "12"}, {"třetí", "30"}});
  TPolyLineElement* line = Filed<TPolyLineElement, TLumarLineProps>(block, 12, 1);
  TPolyLineElement* orphan = Filed<TPolyLineElement, TLumarLineProps>(block, 13, 1);  // no record
  EXPECT_TRUE(line->HasProperty("nazev"));
  EXPECT_TRUE(line->HasProperty("L0001.NAZEV"));
  EXPECT_FALSE(line->HasProperty("POPIS"));
  EXPECT_EQ(line->GetPropertyText("NAZEV"), "druhá");

  struct Case {
    const char* name;
    TPolyLineElement* entity;
    const char* property;
    const char* text;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"a published name sets the property", line, "Barva", "13",
       {{"první", "5"}, {"druhá", "12"}, {"třetí", "30"}}, {}},
      {"a field of the table is written", line, "nazev", "Žďár", {{"první", "5"}, {"Žďár", "12"}, {"třetí", "30"}}, {}},
      {"a name the table lacks is ignored", line, "POPIS", "x", {{"první", "5"}, {"Žďár", "12"}, {"třetí", "30"}}, {}},
      {"no record of that number: reported, nothing written", orphan, "NAZEV", "cizí",
       {{"první", "5"}, {"Žďár", "12"}, {"třetí", "30"}}, {"Není nalezen záznam c.13\r\n" + table}},
  };
  for (const Case& c : cases) {
    dialogs.Messages.clear();
    c.entity->SetPropertyText(c.property, c.text);
    EXPECT_EQ(Rows(table), c.rows) << c.name;
    EXPECT_EQ(MessageTexts(), c.messages) << c.name;
    EXPECT_TRUE(static_cast<TLumarProps*>(c.entity->Properties())->GetDBFTable()->Table().ReadOnly()) << c.name;
  }
  EXPECT_EQ(static_cast<TLumarProps*>(line->Properties())->Barva, 13);
  EXPECT_EQ(line->GetPropertyText("NAZEV"), "Žďár");
}

TEST_F(LumarPropsTest, WithoutABlockTheFieldOperationsAnswerNothing) {
  auto line = std::make_unique<TPolyLineElement>();
  auto* props = new TLumarLineProps;
  line->SetProperties(props);
  EXPECT_FALSE(props->HasField("NAZEV"));
  EXPECT_FALSE(props->LocateRecord());
  line->SetPropertyText("NAZEV", "x");  // dropped
  EXPECT_EQ(line->GetPropertyText("NAZEV"), "");
  // Filed, but the block has no such table.
  TPolyLineElement* filed = Filed<TPolyLineElement, TLumarLineProps>(block, 1, 2);
  EXPECT_FALSE(filed->HasProperty("NAZEV"));
  filed->SetPropertyText("NAZEV", "x");
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(BGIElements, RectanglesOverlapWhenTheyTouch) {
  TRectBGIElement element;
  element.Rect()->IncludePoint(0, 0);
  element.Rect()->IncludePoint(10, 5);
  struct Case {
    TRealRect query;
    bool overlaps;
  };
  const Case cases[] = {
      {{10, 5, 20, 20}, true}, {{-5, -5, 0, 0}, true},      {{2, 2, 3, 3}, true},   {{-10, -10, 20, 20}, true},
      {{10.01, 0, 20, 5}, false}, {{0, 5.01, 10, 9}, false}, {{-9, -9, -0.01, 5}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(element.Overlaps(c.query.MinX, c.query.MinY, c.query.MaxX, c.query.MaxY), c.overlaps)
        << c.query.MinX << " " << c.query.MinY << " " << c.query.MaxX << " " << c.query.MaxY;
  TRealRect margin;
  element.GetMarginRect(margin);
  EXPECT_EQ(margin.MinX, -10);
  EXPECT_EQ(margin.MinY, -10);
  EXPECT_EQ(margin.MaxX, 20);
  EXPECT_EQ(margin.MaxY, 15);
  TBGIText text;
  EXPECT_EQ(text.StartPoint(), text.StartPoint());
  text.Veta = "Hájovna";
  text.Cislo = 3;
  EXPECT_EQ(text.GetPropertyText("Cislo"), "3");
}

}  // namespace
