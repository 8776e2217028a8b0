#include "block/tables/table_creation.h"

#include <optional>

#include "block/tables/lumar_dbf_table.h"
#include "tests/block/block_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class TableCreationTest : public BlockTest {
 protected:
  // Runs the template text through CreateFromTemplate into T.DBF.
  bool FromTemplate(const std::string& text) {
    WriteCp1250File(File("L0001.CRT"), text);
    platform::DeleteFile(File("T.DBF"));
    dialogs.Messages.clear();
    bool done = true;
    CreateFromTemplate(File("L0001.CRT"), File("T.DBF"), done);
    return done;
  }
};

// A field's SQL type, as its published property reads, follows its type
// letter; a letter the statement does not know has none.
TEST_F(TableCreationTest, AFieldsPublishedSqlTypeFollowsItsTypeLetter) {
  const struct {
    char type;
    std::uint16_t length, decimals;
    const char* sql;
  } rows[] = {
      {'C', 30, 0, "char(30)"}, {'D', 8, 0, "date"}, {'L', 1, 0, "boolean"}, {'N', 9, 3, "decimal(9,3)"},
      {'M', 10, 0, ""},
  };
  for (const auto& row : rows) {
    TFieldDefElement field;
    field.FieldType = row.type;
    field.Length = row.length;
    field.Decimals = row.decimals;
    EXPECT_EQ(field.GetPropertyText("SQLType"), row.sql) << row.type;
  }
}

TEST_F(TableCreationTest, AStatementTheEngineRefusesIsShownAndMakesNothing) {
  TEntity defs;
  for (const auto& [name, type, length] : {std::tuple{"NAZEV", 'C', 30}, {"CISLO", 'N', 6}}) {
    auto* def = Named<TFieldDefElement>(name, &defs);
    def->FieldType = type;
    def->Length = static_cast<std::uint16_t>(length);
  }
  const struct {
    const char* name;
    std::string table;
    bool oldTable;  // an old table of another structure in a folder the user cannot write
  } cases[] = {
      {"a folder that does not exist", File("no/such/folder/L0001.DBF"), false},
      {"an old table that cannot be deleted", File("L0001.DBF"), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.Messages.clear();
    if (c.oldTable) MakeTable("L0001.DBF", "STARA char(3)", {{"x"}});
    std::optional<platform::WriteProtectedFolder> protection;
    if (c.oldTable) protection.emplace(folder.Path());
    EXPECT_FALSE(CreateTableBySQL(c.table, defs));
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Text.rfind("Nemohu vytvořit tabulku " + c.table + "\r\nChybové hlášení: \r\n", 0),
              0u);
    if (c.oldTable) {
      EXPECT_EQ(FieldNames(c.table), Lines{"STARA C3,0"});
    }
  }
}

TEST_F(TableCreationTest, ATemplateGivesItsGoodFieldsInOrderAndCisloLast) {
  EXPECT_TRUE(
      FromTemplate("( pole\r\nnazev c 30\r\n\r\n; komentář\r\n{ další }\r\nPLOCHA N 10 2\r\nDATUM D\r\nPLATI L\r\n"));
  EXPECT_EQ(FieldNames(File("T.DBF")),
            (Lines{"NAZEV C30,0", "PLOCHA N10,2", "DATUM D8,0", "PLATI L1,0", "CISLO N6,0"}));
  EXPECT_TRUE(dialogs.Messages.empty());

  // A bad second line is shown and skipped.
  const std::pair<const char*, const char*> bad[] = {
      {"   ", "Spatny radek c.2"},
      {"ABCDEFGHIJK C 10", "Spatne jmeno polozky, radek c.2"},
      {"MÍSTO C 10", "Spatne jmeno polozky, radek c.2"},
      {"NAZEV C 10", "Spatne jmeno polozky, radek c.2"},  // the first line's name again
      {"POPIS X 10", "Spatny typ polozky, radek c.2"},     {"POPIS", "Spatny typ polozky, radek c.2"},
      {"POPIS C 0", "Spatny typ polozky, radek c.2"},      {"POPIS C 255", "Spatny typ polozky, radek c.2"},
      {"POPIS N 21 0", "Spatny typ polozky, radek c.2"},   {"POPIS N 5 5", "Spatny typ polozky, radek c.2"},
  };
  for (const auto& [line, message] : bad) {
    EXPECT_TRUE(FromTemplate(std::string("NAZEV C 10\r\n") + line + "\r\nVYSKA N 5 1\r\n")) << line;
    EXPECT_EQ(MessageTexts(), Lines{std::string("L0001.CRT: ") + message}) << line;
    EXPECT_EQ(FieldNames(File("T.DBF")), (Lines{"NAZEV C10,0", "VYSKA N5,1", "CISLO N6,0"})) << line;
  }
  // Blanks only separate the tokens of a good second line, however many and wherever.
  const std::pair<const char*, const char*> good[] = {
      {"  POPIS C 12", "POPIS C12,0"},
      {"POPIS   N   7   2", "POPIS N7,2"},
  };
  for (const auto& [line, field] : good) {
    EXPECT_TRUE(FromTemplate(std::string("NAZEV C 10\r\n") + line + "\r\n")) << line;
    EXPECT_TRUE(dialogs.Messages.empty()) << line;
    EXPECT_EQ(FieldNames(File("T.DBF")), (Lines{"NAZEV C10,0", field, "CISLO N6,0"})) << line;
  }
  // CISLO alone makes no table.
  for (const char* text : {"CISLO N 6 0\r\n", "; nic\r\n", "", "1+1 C 5\r\n"}) {
    EXPECT_FALSE(FromTemplate(text)) << text;
    EXPECT_FALSE(platform::FileExists(File("T.DBF"))) << text;
  }
  dialogs.Messages.clear();
  bool done = true;
  CreateFromTemplate(File("missing.CRT"), File("T.DBF"), done);
  EXPECT_FALSE(done);
  EXPECT_EQ(MessageTexts(), Lines{"Problém s vytvořením DBF dle " + File("missing.CRT")});
}

TEST_F(TableCreationTest, ASourceTableGivesItsStructureWhenItsHeaderHoldsTogetherAndItIsNotTheTarget) {
  const std::string source = MakeTable("S.DBF", "PLOCHA decimal(9,3), DATUM date", {{"1", ""}});
  const Bytes good = FileContent(source);
  // dBASE holds at most 255 fields: a header that lists more gives the first 255.
  std::string manyFields;
  for (int i = 0; i < 256; ++i) manyFields += (i ? ", F" : "F") + std::to_string(i) + " char(1)";
  const Bytes many = FileContent(MakeTable("W.DBF", manyFields, {}));
  const auto patched = [&](std::size_t at, Bytes with) {
    Bytes bytes = good;
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<long>(at));
    return bytes;
  };
  // A bad field is named by its place among the descriptors, from 1.
  const std::string broken = "Problém s vytvořením DBF dle " + File("case.DBF");
  const struct {
    const char* name;
    Bytes bytes;
    const char* target;
    bool done;
    std::size_t fields;  // of the table made
    Lines messages;
  } cases[] = {
      {"the target itself", good, "case.DBF", false, 0, {broken}},
      {"the target itself by another path", good, "./case.DBF", false, 0, {broken}},
      {"header length beyond the file", patched(8, {0xFF, 0x7F}), "T.DBF", false, 0, {broken}},
      {"header length below 32", patched(8, {0x10, 0x00}), "T.DBF", false, 0, {broken}},
      {"shorter than a header", Bytes(good.begin(), good.begin() + 20), "T.DBF", false, 0, {broken}},
      {"stops at the terminator", patched(64, {0x0D}), "T.DBF", false, 0, {}},  // one field left: no table
      {"a field of a type it cannot make", patched(32 + 11, {'M'}), "T.DBF", false, 0,
       {"case.DBF: Spatny typ polozky, radek c.1"}},
      {"a second field of a type it cannot make", patched(64 + 11, {'M'}), "T.DBF", false, 0,
       {"case.DBF: Spatny typ polozky, radek c.2"}},
      {"256 fields", many, "T.DBF", true, 255, {}},
      {"good", good, "T.DBF", true, 2, {}},
  };
  for (const auto& c : cases) {
    WriteFileBytes(File("case.DBF"), c.bytes);
    platform::DeleteFile(File("T.DBF"));
    const std::size_t shownBefore = dialogs.Messages.size();
    bool done = !c.done;
    CreateFromDBF(File("case.DBF"), folder.Path() + "/" + c.target, done);
    EXPECT_EQ(done, c.done) << c.name;
    EXPECT_EQ(platform::FileExists(File("T.DBF")), c.done) << c.name;
    EXPECT_EQ(platform::FileSize(File("case.DBF")), static_cast<std::int64_t>(c.bytes.size())) << c.name;
    if (c.done) {
      EXPECT_EQ(FieldNames(File("T.DBF")).size(), c.fields) << c.name;
    }
    const Lines shown = MessageTexts();
    EXPECT_EQ(Lines(shown.begin() + static_cast<long>(shownBefore), shown.end()), c.messages) << c.name;
  }
  EXPECT_EQ(FieldNames(File("T.DBF")), (Lines{"PLOCHA N9,3", "DATUM D8,0"}));
  EXPECT_TRUE(Rows(File("T.DBF")).empty());
  EXPECT_EQ(MessageTexts()[0], "Problém s vytvořením DBF dle " + File("case.DBF"));

  // A table made for an export chooses a source table by its extension in any case, else a template.
  TLumarDBFTable table;
  table.CreateFileName = MakeTable("S.dbf", "A char(1), B char(2)", {});
  EXPECT_TRUE(table.CreateTable(File("T.DBF")));
  EXPECT_EQ(FieldNames(File("T.DBF")), (Lines{"A C1,0", "B C2,0"}));
}

}  // namespace
