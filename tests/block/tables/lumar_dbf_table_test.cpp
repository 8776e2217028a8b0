#include "block/tables/lumar_dbf_table.h"

#include "block/tables/transfer_script.h"
#include "tests/block/block_fixture.h"

namespace {

using Rows_t = std::vector<std::vector<std::string>>;

// An index file: 32-bit little-endian entries.
Bytes IndexOf(std::initializer_list<std::int32_t> entries) {
  Bytes bytes;
  for (std::int32_t entry : entries)
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(entry) >> (8 * i)));
  return bytes;
}

class LumarDBFTableTest : public BlockTest {
 protected:
  static std::string Index(const std::string& table) { return platform::ChangeFileExt(table, ".IND"); }
  TLumarDBFTable table;
};

TEST_F(LumarDBFTableTest, TheIndexHoldsRecordNumbersByCisloAndIsRebuiltOnceWhenStaleOrDamaged) {
  const std::string file = MakeTable("L0001.DBF", "CISLO decimal(6,0)", {{"1"}, {"3"}});
  ASSERT_TRUE(table.Locate(file, 3));
  EXPECT_EQ(FileContent(Index(file)), IndexOf({-1, 1, -1, 2}));
  EXPECT_EQ(table.Table().RecNo(), 2);
  EXPECT_EQ(table.ReadCislo(), 3);
  const std::pair<const char*, Bytes> cases[] = {
      {"points to the wrong record", IndexOf({-1, 2, 2, 1})}, {"record number 0", IndexOf({-1, 0, 0, 0})},
      {"beyond the table", IndexOf({-1, 9, 9, 9})},           {"negative", IndexOf({-1, -5, -5, -5})},
      {"too short", {0xFF, 0xFF, 0xFF, 0xFF, 1, 0}},          {"empty", {}},
  };
  for (const auto& [name, index] : cases) {
    WriteFileBytes(Index(file), index);
    TLumarDBFTable other;  // did not build the index itself
    EXPECT_TRUE(other.Locate(file, 3)) << name;
    EXPECT_EQ(other.Table().RecNo(), 2) << name;
    EXPECT_EQ(FileContent(Index(file)), IndexOf({-1, 1, -1, 2})) << name;
  }
}

TEST_F(LumarDBFTableTest, FindsOnlyNumbersItHoldsAndNeverReadsOutsideTheIndex) {
  const std::string file =
      MakeTable("L0002.DBF", "NAZEV char(5), CISLO char(6)", {{"a", "4"}, {"b", "  2"}, {"c", "x"}, {"d", "7"}});
  const std::pair<std::int32_t, const char*> cases[] = {
      {4, "a"},     {2, "b"},     {7, "d"},      {0, "c"},  // no number: 0
      {3, nullptr}, {8, nullptr}, {-1, nullptr}, {2000000000, nullptr}};
  ASSERT_TRUE(table.OpenTable(file));
  for (const auto& [cislo, nazev] : cases) {
    EXPECT_EQ(table.FindCislo(cislo), nazev != nullptr) << cislo;
    std::string value;
    table.GetFieldString("NAZEV", value);
    if (nazev) {
      EXPECT_EQ(value, nazev) << cislo;
    }
  }
  EXPECT_TRUE(dialogs.Messages.empty());

  // Numbers the index cannot hold are reported and left out.
  const std::string big = MakeTable("L0004.DBF", "CISLO decimal(9,0)", {{"-4"}, {"2"}, {"10000001"}, {"5"}});
  ASSERT_TRUE(table.Locate(big, 2));
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{"Chyba práce s DBF " + big + " při čtení záznamu pro CISLO = -4",
                                      "Chyba práce s DBF " + big + " při čtení záznamu pro CISLO = 10000001"}));
  EXPECT_EQ(platform::FileSize(Index(big)), 4 * 6);
  EXPECT_TRUE(table.FindCislo(5));
  EXPECT_FALSE(table.FindCislo(10000001));
  EXPECT_FALSE(table.FindCislo(-4));
}

TEST_F(LumarDBFTableTest, OpensOnlyTablesThatExistAndFindsTheRecordOfABlockObject) {
  EXPECT_FALSE(table.FindCislo(1));  // no table at all
  EXPECT_FALSE(table.Locate(File("L0002.DBF"), 1));
  EXPECT_FALSE(table.FindRecord(folder.Path(), 'L', 2, 1));
  EXPECT_TRUE(dialogs.Messages.empty());
  const std::string file = MakeTable("L0002.DBF", "NAZEV char(5), CISLO decimal(6,0)", {{"a", "6"}, {"b", "9"}});
  TLumarBlockRegister block;
  block.SetName(folder.Path());
  ASSERT_TRUE(table.FindElementRecord(Filed<TPolyLineElement, TLumarLineProps>(block, 9, 2)));
  EXPECT_TRUE(table.Table().ReadOnly());
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
  std::string value = "before";
  EXPECT_FALSE(table.GetFieldString("X", value));
  EXPECT_EQ(value, "before");
}

TEST_F(LumarDBFTableTest, TransferCopiesByScriptOrByNameAndPropertiesAndDynamicValuesFillTheirFields) {
  const std::string source =
      MakeTable("SRC.DBF", "NAZEV char(10), VYSKA decimal(5,1), TEXT char(4), CISLO decimal(6,0)",
                {{"Buk", "23.4", "dlouhý", "77"}});
  WriteCp1250File(
      File("L0001.TDS"),
      "; komentář\r\nnazev   popis\r\nVYSKA\r\nTEXT cislo_x\r\n*Barva BARVA\r\n*Neznama NAZEV\r\nVYSKA PLOCHA\r\n");
  auto area = std::make_unique<TAreaElement>();
  auto* props = new TLumarAreaProps;
  props->Barva = 14;
  area->SetProperties(props);
  TDynamicProperties dynamic;
  dynamic.SetPropertyText("cislo_x", "35");
  dynamic.SetPropertyText("CHYBI", "x");
  const struct {
    const char* name;
    std::string script;
    Rows_t rows;  // POPIS, NAZEV, PLOCHA, CISLO_X, BARVA, CISLO
  } cases[] = {
      {"by name, CISLO left out", "", {{"", "Buk", "", "35", "", ""}}},
      {"by script; a value the field cannot hold is left out", File("L0001.TDS"), {{"Buk", "", "", "35", "14", ""}}},
  };
  TLumarDBFTable from;
  ASSERT_TRUE(from.Locate(source, 77));
  for (const auto& c : cases) {
    const std::string target = MakeTable("T" + std::to_string(&c - cases) + ".DBF",
                                         "POPIS char(10), NAZEV char(10), PLOCHA decimal(3,2), CISLO_X decimal(3,0), "
                                         "BARVA decimal(3,0), CISLO decimal(6,0)",
                                         {});
    TLumarDBFTable to;
    to.SetTransferScript(c.script);
    ASSERT_TRUE(to.OpenForUpdate(target));
    to.Table().Append();
    to.Transfer(from);
    to.ApplyDynamicProps(area.get(), &dynamic);
    to.ApplyElementProps(area.get());
    to.Table().Post();
    to.CloseTable();
    EXPECT_EQ(Rows(target), c.rows) << c.name;
  }
}

TEST_F(LumarDBFTableTest, TransferScriptsPairTheFirstWordWithTheRest) {
  const struct {
    const char *line, *source, *target;  // source nil: no pair
  } cases[] = {
      {"nazev popis", "NAZEV", "POPIS"}, {"  plocha   dva  slova  ", "PLOCHA", "DVA  SLOVA"},
      {"*Barva barva", "*BARVA", "BARVA"}, {";zdroj cíl", ";ZDROJ", "CÍL"},
      {"jedno", nullptr, nullptr},        {"   ", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    TMovedItemContainer script;
    ASSERT_EQ(script.AddLine(c.line), c.source != nullptr) << c.line;
    if (!c.source) continue;
    const auto* pair = static_cast<TSourTarNames*>(script.Children().front());
    EXPECT_EQ(pair->Source + " " + pair->Target, std::string(c.source) + " " + c.target) << c.line;
  }
  TMovedItemContainer script;
  script.AddLine("A " + std::string(300, 'x'));
  EXPECT_EQ(static_cast<TSourTarNames*>(script.Children().front())->Target.size(), 255u);
  script.SetPropertyText("FileName", File("missing.TDS"));
  EXPECT_TRUE(script.Children().empty());
  WriteCp1250File(File("two.TDS"), "a b\r\nc d\r\n");
  script.SetPropertyText("FileName", File("two.TDS"));
  EXPECT_EQ(script.Children().size(), 2u);
  table.SetTransferScript(File("missing.TDS"));
  EXPECT_EQ(table.TransferScript(), nullptr);
}

}  // namespace
