#include "block/props/lumar_props.h"

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

TEST_F(LumarPropsTest, KindLettersComeFromTheEntityOrTheDescendant) {
  // Entity nil: props without an entity.  Physical letter, then the letter
  // of the attribute table.
  const std::tuple<const char*, TSpaceEntity*, TLumarProps*, char, char> cases[] = {
      {"no entity", nullptr, new TLumarProps, ' ', ' '},
      {"point", new TPointElement, new TLumarProps, 'B', 'B'},
      {"text", new TTextElement, new TLumarProps, 'T', 'T'},
      {"polyline", new TPolyLineElement, new TLumarProps, 'L', 'L'},
      {"area", new TAreaElement, new TLumarProps, 'P', 'P'},
      {"area of lines", new TPolyLineAreaElement, new TLumarProps, 'P', 'P'},
      {"bare poly element", new TPolyElement, new TLumarProps, 'X', 'X'},
      {"point props on a line", new TPolyLineElement, new TLumarPointProps, 'L', 'B'},
  };
  for (const auto& [name, entity, props, physical, type] : cases) {
    std::unique_ptr<TSpaceEntity> owner(entity);
    std::unique_ptr<TLumarProps> loose(entity ? nullptr : props);
    if (entity) entity->SetProperties(props);
    EXPECT_EQ(props->PhysicalObjectType(), physical) << name;
    EXPECT_EQ(props->GetPropertyText("ObjectType"), std::string(1, type)) << name;
    EXPECT_EQ(props->GetDBFName(), "") << name;  // not filed in a block
  }
  // The done mark of a walk is a working mark, not stored.
  const Strings stored = StoredPropertyNames(TLumarLineProps());
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "IsDone"), 0);
}

TEST_F(LumarPropsTest, RegistersNameTheirSlotsKeepOneTableAndNameItByTheFirstObjectsKind) {
  TPolyLineElement* line = Filed<TPolyLineElement, TLumarLineProps>(block, 12, 12);
  Filed<TPointElement, TLumarPointProps>(block, 2, 5);
  TAreaElement* area = Filed<TAreaElement, TLumarAreaProps>(block, 3, 7);
  // Second objects under numbers already filed keep the first one's name
  // and kind; the table letter is the asking object's own.
  TPolyLineElement* again = Filed<TPolyLineElement, TLumarLineProps>(block, 12, 4);
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
  EXPECT_EQ(BlockTableName("D/", 'T', 0), "D/T0000.DBF");

  TObjectRegister* lines = block.GetObjectRegister('L');
  EXPECT_EQ(block.GetObjectRegister('l'), lines);
  ASSERT_EQ(lines->SlotCount(), 13);
  EXPECT_NE(DynamicCast<TLumarObjectOwner>(lines->Children()[3]), nullptr);
  EXPECT_FALSE(lines->Children()[3]->HasName());
  EXPECT_EQ(lines->Children()[12]->GetName(), "L12:12");
  EXPECT_EQ(block.GetObjectRegister('B')->Children()[2]->GetName(), "B2:5");
  EXPECT_EQ(block.FindObject('L', 12), line);
  EXPECT_EQ(line->GetSpaceID(), 12);
  TObject* table = lines->GetDBF();
  ASSERT_NE(DynamicCast<TLumarDBFTable>(table), nullptr);
  EXPECT_EQ(lines->GetDBF(), table);
  EXPECT_EQ(static_cast<TLumarProps*>(again->Properties())->GetDBFTable(), table);
  EXPECT_EQ(TLumarProps().GetDBFTable(), nullptr);
  EXPECT_EQ(TObjectRegister().GetDBF(), nullptr);
}

TEST_F(LumarPropsTest, HectaresOnlyForAreasAndLinksCarryTheirEndByte) {
  auto area = std::make_unique<TAreaElement>();
  auto line = std::make_unique<TPolyLineElement>();
  for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, 250.0}, {100.0, 250.0}, {100.0, 0.0}}) {
    area->AddVertex(x, y);
    line->AddVertex(x, y);
  }
  area->SetProperties(new TLumarAreaProps);
  line->SetProperties(new TLumarAreaProps);
  EXPECT_DOUBLE_EQ(static_cast<TLumarAreaProps*>(area->Properties())->Hektars(), 2.5);
  EXPECT_EQ(static_cast<TLumarAreaProps*>(line->Properties())->Hektars(), 0);
  EXPECT_EQ(TLumarAreaProps().Hektars(), 0);

  TLumarLineProps props;
  props.SetLink(llStartPrevious, 7, true);
  props.SetLink(llEndNext, 8, false);
  EXPECT_EQ(props.Links, (TLineLinks{TLineLink{7, 1}, {8, 0}, {}, {}}));
}

TEST_F(LumarPropsTest, NamesNoClassPublishesAreFieldsOfTheObjectsRecord) {
  const std::string table =
      MakeTable("L0001.DBF", "NAZEV char(20), CISLO decimal(6,0)", {{"první", "5"}, {"druhá", "12"}, {"třetí", "30"}});
  TPolyLineElement* line = Filed<TPolyLineElement, TLumarLineProps>(block, 12, 1);
  TPolyLineElement* orphan = Filed<TPolyLineElement, TLumarLineProps>(block, 13, 1);  // no record
  EXPECT_TRUE(line->HasProperty("nazev"));
  EXPECT_FALSE(line->HasProperty("POPIS"));
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
}

TEST(BGIElements, RectanglesOverlapWhenTheyTouch) {
  TRectBGIElement element;
  element.Rect()->IncludePoint(0, 0);
  element.Rect()->IncludePoint(10, 5);
  const std::pair<TRealRect, bool> cases[] = {
      {{10, 5, 20, 20}, true},     {{-5, -5, 0, 0}, true},    {{2, 2, 3, 3}, true},       {{-10, -10, 20, 20}, true},
      {{10.01, 0, 20, 5}, false}, {{0, 5.01, 10, 9}, false}, {{-9, -9, -0.01, 5}, false},
  };
  for (const auto& [q, overlaps] : cases)
    EXPECT_EQ(element.Overlaps(q.MinX, q.MinY, q.MaxX, q.MaxY), overlaps) << testing::PrintToString(BoxOf(q));
}

}  // namespace
