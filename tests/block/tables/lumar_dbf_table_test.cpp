#include "block/tables/lumar_dbf_table.h"

#include <functional>
#include <optional>

#include "tests/block/block_fixture.h"

namespace {

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

// Another program gives the records new numbers, in the table's order.
void Renumber(const std::string& file, std::initializer_list<const char*> numbers) {
  platform::DbaseTable table;
  table.SetTableName(file);
  table.SetReadOnly(false);
  table.Open();
  table.First();
  for (const char* number : numbers) {
    table.Edit();
    table.SetFieldText(0, number);
    table.Post();
    table.Next();
  }
}

TEST_F(LumarDBFTableTest, AStaleIndexIsRebuiltOnceOrPassedByWhenItCannotBeReplaced) {
  const struct {
    const char* name;
    bool byBuilder;     // the lookup by the object that built the index
    bool writeProtect;  // the table's folder, as one the user cannot write
    std::int32_t cislo;
    int recNo;  // 0: not found
    Bytes index;
  } cases[] = {
      {"numbers swapped by another program: found after one rebuild", true, false, 3, 1, IndexOf({-1, 2, -1, 1})},
      {"swapped in a folder the user cannot write: found record by record", false, true, 3, 1,
       IndexOf({-1, 1, -1, 2})},
      {"a number the table lacks in such a folder: not found, and the lookup ends", false, true, 5, 0,
       IndexOf({-1, 1, -1, 2})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folderName = File(std::to_string(&c - cases));
    platform::ForceDirectories(folderName);
    const std::string file = folderName + "/L0001.DBF";
    const std::string made = MakeTable("L0001.DBF", "CISLO decimal(6,0)", {{"1"}, {"3"}});
    std::filesystem::rename(made, file);
    TLumarDBFTable builder;
    ASSERT_TRUE(builder.Locate(file, 1));
    builder.CloseTable();  // the index stays open
    Renumber(file, {"3", "1"});
    std::optional<platform::WriteProtectedFolder> protection;
    if (c.writeProtect) protection.emplace(folderName);
    TLumarDBFTable other;
    TLumarDBFTable& table = c.byBuilder ? builder : other;
    ASSERT_TRUE(table.OpenTable(file));
    EXPECT_EQ(table.FindCislo(c.cislo), c.recNo != 0);
    if (c.recNo) {
      EXPECT_EQ(table.Table().RecNo(), c.recNo);
    }
    EXPECT_EQ(FileContent(Index(file)), c.index);
  }
}

// A table opened for reading is read-only, also after the same object held
// another open for update: one in a folder the user cannot write reads.
TEST_F(LumarDBFTableTest, ATableOpenedForReadingAfterOneOpenForUpdateIsReadOnly) {
  const std::string target = MakeTable("P0001.DBF", "CISLO decimal(6,0)", {});
  platform::ForceDirectories(File("src"));
  const std::string source = File("src/P0002.DBF");
  std::filesystem::rename(MakeTable("P0002.DBF", "CISLO decimal(6,0)", {{"4"}}), source);
  ASSERT_TRUE(table.OpenForUpdate(target));
  const platform::WriteProtectedFolder protection(File("src"));
  ASSERT_TRUE(table.OpenTable(source));
  EXPECT_TRUE(table.Table().ReadOnly());
  table.Table().First();
  EXPECT_EQ(table.ReadCislo(), 4);
}

// Only the table already open for update is taken as it stands; another
// one named for update replaces it.
TEST_F(LumarDBFTableTest, ATableOpenedForUpdateAfterAnotherIsTheOneThatIsOpen) {
  const std::string first = MakeTable("P0001.DBF", "CISLO decimal(6,0)", {{"3"}});
  const std::string second = MakeTable("P0002.DBF", "CISLO decimal(6,0)", {{"4"}});
  const struct {
    const char* name;
    std::string table;
    std::int32_t cislo;
  } rows[] = {{"the same table again", first, 3}, {"another table", second, 4}};
  for (const auto& row : rows) {
    ASSERT_TRUE(table.OpenForUpdate(first)) << row.name;
    ASSERT_TRUE(table.OpenForUpdate(row.table)) << row.name;
    EXPECT_EQ(table.Table().TableName(), row.table) << row.name;
    EXPECT_FALSE(table.Table().ReadOnly()) << row.name;
    table.Table().First();
    EXPECT_EQ(table.ReadCislo(), row.cislo) << row.name;
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

// A block object's record is found by the number its props carry, in the
// table of its props' kind in its block's folder.
TEST_F(LumarDBFTableTest, AnElementsRecordIsFoundByItsPropsNumber) {
  TLumarBlockRegister block;
  block.SetName(folder.Path());
  MakeTable("L0001.DBF", "NAZEV char(5), CISLO char(6)", {{"a", "4"}, {"b", "2"}});
  TPolyLineElement bare;
  const struct {
    const char* name;
    const TElement* element;
    const char* nazev;  // nullptr: no record
  } rows[] = {
      {"a filed line", Filed<TPolyLineElement, TLumarLineProps>(block, 2, 1), "b"},
      {"a number the table lacks", Filed<TPolyLineElement, TLumarLineProps>(block, 3, 1), nullptr},
      {"a line without props", &bare, nullptr},
      {"no element", nullptr, nullptr},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(table.FindElementRecord(row.element), row.nazev != nullptr) << row.name;
    if (!row.nazev) continue;
    std::string value;
    table.GetFieldString("NAZEV", value);
    EXPECT_EQ(value, row.nazev) << row.name;
  }
}

// The table it has open, made anew from a template under any of its names,
// is the new empty one from then on: no record of the old is found.
TEST_F(LumarDBFTableTest, RecreatingTheOpenTableLeavesNothingOfTheOld) {
  const struct {
    const char* name;
    std::string path;  // of the open table, as CreateTable is given it
  } rows[] = {
      {"its own name", File("L0001.DBF")},
      {"another path to it", folder.Path() + "/./L0001.DBF"},
  };
  WriteCp1250File(File("L0001.CRT"), "NAZEV C 8\r\n");
  for (const auto& row : rows) {
    const std::string file = File("L0001.DBF");
    platform::DeleteFile(file);
    MakeTable("L0001.DBF", "CISLO decimal(6,0)", {{"1"}, {"3"}});
    TLumarDBFTable opened;
    ASSERT_TRUE(opened.Locate(file, 3)) << row.name;
    opened.CreateFileName = File("L0001.CRT");
    ASSERT_TRUE(opened.CreateTable(row.path)) << row.name;
    EXPECT_FALSE(opened.Locate(file, 3)) << row.name;
    EXPECT_EQ(opened.Table().RecordCount(), 0) << row.name;
    EXPECT_EQ(FieldNames(file), (std::vector<std::string>{"NAZEV C8,0", "CISLO N6,0"})) << row.name;
  }
}

// Records sharing a number: the first holds it, whether the index was built
// before the others were added (and so kept) or after (and so rebuilt), and
// without an index too; each other one is named when the index is built.
TEST_F(LumarDBFTableTest, OfRecordsSharingANumberTheFirstHoldsItAndTheOthersAreNamed) {
  TLogLines log;
  MainTool = &log;
  const std::string file = MakeTable("P0000.DBF", "NAZEV char(4), CISLO decimal(6,0)", {{"a", "1"}, {"b", "2"}});
  ASSERT_TRUE(TLumarDBFTable().Locate(file, 2));  // the index of the first two
  // Another program appends records, two of them with numbers taken.
  {
    platform::DbaseTable writer;
    writer.SetTableName(file);
    writer.SetReadOnly(false);
    writer.Open();
    for (const auto& [name, cislo] : {std::pair{"c", "1"}, {"d", "3"}, {"e", "2"}}) {
      writer.Append();
      writer.SetFieldText(0, name);
      writer.SetFieldText(1, cislo);
      writer.Post();
    }
  }
  const struct {
    const char* name;
    std::int32_t cislo;
    std::string found;
  } rows[] = {
      {"through the index built before", 1, "a"},
      {"a number the index lacks: rebuilt", 3, "d"},
      {"through the rebuilt index", 1, "a"},
      {"the other shared number", 2, "b"},
  };
  TLumarDBFTable table;
  for (const auto& row : rows) {
    ASSERT_TRUE(table.Locate(file, row.cislo)) << row.name;
    EXPECT_EQ(table.Table().GetFieldText(0), row.found) << row.name;
  }
  RunMessages();
  EXPECT_EQ(log.Lines, (std::vector<std::string>{"Tabulka " + file + ": záznam 3 má CISLO 1 jako záznam 1, platí první",
                                                 "Tabulka " + file + ": záznam 5 má CISLO 2 jako záznam 2, platí první"}));
  // Record by record, where no index can be had.
  platform::DeleteFile(Index(file));
  ASSERT_TRUE(std::filesystem::create_directory(Index(file)));
  TLumarDBFTable searching;
  ASSERT_TRUE(searching.Locate(file, 1));
  EXPECT_EQ(searching.Table().GetFieldText(0), "a");
  std::filesystem::remove(Index(file));
  MainTool = nullptr;
}

// A table whose header claims more records than the file holds is named in
// the log once, however often it is opened.
TEST_F(LumarDBFTableTest, AShortTableIsNamedInTheLogOnce) {
  TLogLines log;
  MainTool = &log;
  const std::string file = File("P0000.DBF");
  const struct {
    const char* name;
    std::function<void()> make;
    std::vector<std::string> lines;
  } rows[] = {
      {"a header that claims five records of two",
       [&] {
         MakeTable("P0000.DBF", "CISLO decimal(6,0)", {{"1"}, {"2"}});
         Bytes bytes = FileContent(file);
         bytes[4] = 5;
         WriteFileBytes(file, bytes);
       },
       {"Tabulka " + file + " uvádí 5 záznamů, obsahuje jen 2"}},
      {"a whole table", [&] { MakeTable("P0000.DBF", "CISLO decimal(6,0)", {{"1"}, {"2"}}); }, {}},
  };
  for (const auto& row : rows) {
    platform::DeleteFile(file);
    row.make();
    log.Lines.clear();
    TLumarDBFTable opened;
    for (int time = 0; time < 2; ++time) {
      EXPECT_TRUE(opened.OpenTable(file)) << row.name;
      EXPECT_EQ(opened.Table().RecordCount(), 2) << row.name;
      opened.CloseTable();
    }
    RunMessages();
    EXPECT_EQ(log.Lines, row.lines) << row.name;
  }
  MainTool = nullptr;
}

}  // namespace
