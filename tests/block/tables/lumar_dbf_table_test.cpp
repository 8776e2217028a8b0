#include "block/tables/lumar_dbf_table.h"

#include <cstdint>
#include <functional>
#include <memory>

#include "block/tables/transfer_script.h"
#include "framework/core/class_registry.h"
#include "platform/files.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"
#include "tests/block/block_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::string& file) {
  platform::TMemoryStream stream;
  stream.LoadFromFile(file);
  return stream.Bytes();
}

void WriteBytes(const std::string& file, const Bytes& bytes) {
  platform::TFileStream stream(file, platform::TFileStream::Mode::Create);
  if (!bytes.empty()) stream.Write(bytes.data(), bytes.size());
}

class LumarDBFTableTest : public BlockTest {
 protected:
  std::string Index(const std::string& table) const { return platform::ChangeFileExt(table, ".IND"); }
  TLumarDBFTable table;
};

TEST_F(LumarDBFTableTest, TheIndexHoldsRecordNumbersByCislo) {
  const std::string file = MakeTable("L0001.DBF", "CISLO decimal(6,0)", {{"1"}, {"3"}});
  ASSERT_TRUE(table.Locate(file, 3));
  EXPECT_EQ(FileBytes(Index(file)),
            (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0, 0, 0}));
  EXPECT_EQ(table.Table().RecNo(), 2);
  EXPECT_EQ(table.ReadCislo(), 3);
}

TEST_F(LumarDBFTableTest, FindsOnlyNumbersItHoldsAndNeverReadsOutsideTheIndex) {
  const std::string file = MakeTable("L0002.DBF", "NAZEV char(5), CISLO char(6)",
                                     {{"a", "4"}, {"b", "  2"}, {"c", "x"}, {"d", "7"}});
  struct Case {
    std::int32_t cislo;
    bool found;
    const char* nazev;
  };
  const Case cases[] = {{4, true, "a"}, {2, true, "b"}, {7, true, "d"}, {0, true, "c"},  // no number counts as 0
                        {3, false, ""}, {8, false, ""}, {-1, false, ""}, {2000000000, false, ""}};
  ASSERT_TRUE(table.OpenTable(file));
  for (const Case& c : cases) {
    EXPECT_EQ(table.FindCislo(c.cislo), c.found) << c.cislo;
    std::string nazev;
    table.GetFieldString("NAZEV", nazev);
    if (c.found) {
      EXPECT_EQ(nazev, c.nazev) << c.cislo;
    }
  }
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(LumarDBFTableTest, AStaleOrDamagedIndexIsRebuiltOnce) {
  const std::string file = MakeTable("L0003.DBF", "CISLO decimal(6,0)", {{"1"}, {"2"}, {"3"}});
  struct Case {
    const char* name;
    Bytes index;
  };
  const Case cases[] = {
      {"points to the wrong record", {0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0}},
      {"record number 0", {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"beyond the table", {0xFF, 0xFF, 0xFF, 0xFF, 9, 0, 0, 0, 9, 0, 0, 0, 9, 0, 0, 0}},
      {"negative", {0xFF, 0xFF, 0xFF, 0xFF, 0xFB, 0xFF, 0xFF, 0xFF, 0xFB, 0xFF, 0xFF, 0xFF, 0xFB, 0xFF, 0xFF, 0xFF}},
      {"too short", {0xFF, 0xFF, 0xFF, 0xFF, 1, 0}},
      {"empty", {}},
  };
  const Bytes fresh{0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
  for (const Case& c : cases) {
    TLumarDBFTable other;  // did not build the index itself
    WriteBytes(Index(file), c.index);
    EXPECT_TRUE(other.Locate(file, 3)) << c.name;
    EXPECT_EQ(other.Table().RecNo(), 3) << c.name;
    EXPECT_EQ(FileBytes(Index(file)), fresh) << c.name;
  }
}

TEST_F(LumarDBFTableTest, NumbersTheIndexCannotHoldAreReportedAndLeftOut) {
  const std::string file =
      MakeTable("L0004.DBF", "CISLO decimal(9,0)", {{"-4"}, {"2"}, {"10000001"}, {"5"}});
  ASSERT_TRUE(table.Locate(file, 2));
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Chyba práce s DBF " + file + " při čtení záznamu pro CISLO = -4",
                                                      "Chyba práce s DBF " + file +
                                                          " při čtení záznamu pro CISLO = 10000001"}));
  EXPECT_EQ(platform::FileSize(Index(file)), 4 * 6);
  EXPECT_TRUE(table.FindCislo(5));
  EXPECT_FALSE(table.FindCislo(10000001));
  EXPECT_FALSE(table.FindCislo(-4));
}

TEST_F(LumarDBFTableTest, FindsTheRecordOfABlockObject) {
  const std::string file = MakeTable("L0002.DBF", "NAZEV char(5), CISLO decimal(6,0)", {{"a", "6"}, {"b", "9"}});
  TLumarBlockRegister block;
  block.SetName(folder.Path());
  TPolyLineElement* line = Filed<TPolyLineElement, TLumarLineProps>(block, 9, 2);
  ASSERT_TRUE(table.FindElementRecord(line));
  std::string nazev;
  table.GetFieldString("NAZEV", nazev);
  EXPECT_EQ(nazev, "b");
  EXPECT_FALSE(table.FindElementRecord(Filed<TPolyLineElement, TLumarLineProps>(block, 10, 2)));
  EXPECT_FALSE(table.FindElementRecord(Filed<TPolyLineElement, TLumarLineProps>(block, 6, 3)));  // no such table
  EXPECT_FALSE(table.FindElementRecord(nullptr));
  // Writing the published Cislo runs the search on the open table.
  ASSERT_TRUE(table.OpenTable(file));
  SetPropertyTextByName(table, "Cislo", "6");
  EXPECT_EQ(table.Table().RecNo(), 1);
}

TEST_F(LumarDBFTableTest, OpensOnlyTablesThatExist) {
  EXPECT_FALSE(table.FindCislo(1));  // no table at all
  EXPECT_FALSE(table.OpenTable(File("L0009.DBF")));
  EXPECT_FALSE(table.Locate(File("L0009.DBF"), 1));
  EXPECT_FALSE(table.FindRecord(folder.Path(), 'L', 9, 1));
  EXPECT_TRUE(dialogs.Messages.empty());
  const std::string file = MakeTable("L0009.DBF", "CISLO decimal(6,0), NAZEV char(3)", {{"1", "ano"}});
  EXPECT_TRUE(table.FindRecord(folder.Path(), 'L', 9, 1));
  EXPECT_TRUE(table.Table().ReadOnly());
  std::string shortName;
  GetPropertyTextByName(table, "ShortTableName", shortName);
  EXPECT_EQ(shortName, "L0009");
  struct Case {
    const char* name;
    bool has;
  };
  const Case cases[] = {{"NAZEV", true}, {"nazev", true}, {"L0009.Nazev", true}, {"P0009.NAZEV", false}, {"X", false}};
  for (const Case& c : cases) EXPECT_EQ(table.HasField(c.name), c.has) << c.name;
  std::string value = "before";
  EXPECT_FALSE(table.GetFieldString("X", value));
  EXPECT_EQ(value, "before");
}

TEST_F(LumarDBFTableTest, TransferCopiesByScriptOrByName) {
  const std::string source = MakeTable("SRC.DBF", "NAZEV char(10), VYSKA decimal(5,1), TEXT char(4), CISLO decimal(6,0)",
                                       {{"Buk", "23.4", "dlouhý", "77"}});
  WriteCp1250File(File("L0001.TDS"), "; komentář\r\nnazev   popis\r\nVYSKA\r\nTEXT cislo_x\r\n*Barva BARVA\r\nVYSKA PLOCHA\r\n");
  struct Case {
    const char* name;
    std::string script;
    std::vector<std::string> row;  // POPIS, NAZEV, PLOCHA, CISLO_X, BARVA, CISLO
  };
  const Case cases[] = {
      {"by name, CISLO left out", "", {"", "Buk", "", "", "", ""}},
      {"by script; a value the field cannot hold is left out", File("L0001.TDS"), {"Buk", "", "", "", "", ""}},
  };
  TLumarDBFTable from;
  ASSERT_TRUE(from.Locate(source, 77));
  for (const Case& c : cases) {
    const std::string target = MakeTable(std::string("T") + std::to_string(&c - cases) + ".DBF",
                                         "POPIS char(10), NAZEV char(10), PLOCHA decimal(3,2), CISLO_X decimal(3,0), "
                                         "BARVA decimal(3,0), CISLO decimal(6,0)",
                                         {});
    TLumarDBFTable to;
    to.SetTransferScript(c.script);
    ASSERT_TRUE(to.OpenForUpdate(target));
    to.Table().Append();
    to.Transfer(from);
    to.Table().Post();
    to.CloseTable();
    EXPECT_EQ(Rows(target), (std::vector<std::vector<std::string>>{c.row})) << c.name;
  }
}

TEST_F(LumarDBFTableTest, TransferScriptsPairTheFirstWordWithTheRest) {
  struct Case {
    const char* line;
    bool pair;
    const char* source;
    const char* target;
  };
  const std::string longTarget(300, 'x');
  const Case cases[] = {
      {"nazev popis", true, "NAZEV", "POPIS"},
      {"  plocha   dva  slova  ", true, "PLOCHA", "DVA  SLOVA"},
      {"*Barva barva", true, "*BARVA", "BARVA"},
      {";zdroj cíl", true, ";ZDROJ", "CÍL"},
      {"jedno", false, "", ""},
      {"", false, "", ""},
      {"   ", false, "", ""},
  };
  for (const Case& c : cases) {
    TMovedItemContainer script;
    EXPECT_EQ(script.AddLine(c.line), c.pair) << c.line;
    if (!c.pair) continue;
    const auto* pair = DynamicCast<TSourTarNames>(script.Children().front());
    ASSERT_NE(pair, nullptr);
    EXPECT_EQ(pair->Source, c.source) << c.line;
    EXPECT_EQ(pair->Target, c.target) << c.line;
  }
  TMovedItemContainer script;
  script.AddLine("A " + longTarget);
  EXPECT_EQ(static_cast<TSourTarNames*>(script.Children().front())->Target.size(), 255u);
  script.SetPropertyText("FileName", File("missing.TDS"));
  EXPECT_TRUE(script.Children().empty());
  WriteCp1250File(File("two.TDS"), "a b\r\nc d\r\n");
  script.SetPropertyText("FileName", File("two.TDS"));
  EXPECT_EQ(script.Children().size(), 2u);
  TLumarDBFTable holder;
  holder.SetTransferScript(File("missing.TDS"));
  EXPECT_EQ(holder.TransferScript(), nullptr);
  holder.SetTransferScript(File("two.TDS"));
  ASSERT_NE(holder.TransferScript(), nullptr);
}

TEST_F(LumarDBFTableTest, ElementPropertiesAndDynamicValuesFillTheirFields) {
  const std::string target = MakeTable("P0001.DBF", "BARVA decimal(3,0), JMENO char(10), VEK decimal(3,0), CISLO decimal(6,0)", {});
  WriteCp1250File(File("P0001.TDS"), "*Barva BARVA\r\n*Neznama JMENO\r\n");
  auto area = std::make_unique<TAreaElement>();
  auto* props = new TLumarAreaProps;
  props->Barva = 14;
  area->SetProperties(props);
  TDynamicProperties dynamic;
  dynamic.SetPropertyText("jmeno", "Olše");
  dynamic.SetPropertyInteger("VEK", 35);
  dynamic.SetPropertyText("CHYBI", "x");
  TLumarDBFTable to;
  to.SetTransferScript(File("P0001.TDS"));
  ASSERT_TRUE(to.OpenForUpdate(target));
  to.Table().Append();
  to.ApplyDynamicProps(area.get(), &dynamic);
  to.ApplyElementProps(area.get());
  to.Table().Post();
  to.CloseTable();
  EXPECT_EQ(Rows(target), (std::vector<std::vector<std::string>>{{"14", "", "35", ""}}));
}

}  // namespace
