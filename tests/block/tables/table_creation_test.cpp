#include "block/tables/table_creation.h"

#include <filesystem>

#include "block/tables/lumar_dbf_table.h"
#include "platform/files.h"
#include "tests/block/block_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class TableCreationTest : public BlockTest {
 protected:
  // Runs the template text through CreateFromTemplate into T.DBF.
  bool FromTemplate(const std::string& text, const std::string& name = "L0001.CRT") {
    WriteCp1250File(File(name), text);
    bool done = true;
    CreateFromTemplate(File(name), File("T.DBF"), done);
    return done;
  }
};

TFieldDefElement* Def(const char* name, char type, std::uint16_t length, std::uint16_t decimals) {
  auto* def = new TFieldDefElement;
  def->SetName(name);
  def->FieldType = type;
  def->Length = length;
  def->Decimals = decimals;
  return def;
}

TEST_F(TableCreationTest, FieldDefinitionsGiveTheirSqlTypes) {
  struct Case {
    char type;
    std::uint16_t length;
    std::uint16_t decimals;
    const char* sql;
  };
  const Case cases[] = {{'C', 30, 0, "char(30)"}, {'D', 8, 0, "date"},      {'L', 1, 0, "boolean"},
                        {'N', 10, 2, "decimal(10,2)"}, {'M', 10, 0, ""}, {'c', 5, 0, ""}};
  for (const Case& c : cases) {
    std::unique_ptr<TFieldDefElement> def(Def("A", c.type, c.length, c.decimals));
    EXPECT_EQ(def->GetPropertyText("SQLType"), c.sql) << c.type;
  }
  TEntity defs;
  defs.AddElement(Def("NAZEV", 'C', 30, 0));
  defs.AddElement(Def("CISLO", 'N', 6, 0));
  EXPECT_EQ(CreateTableStatement("/b/L0001.DBF", defs),
            "create table \"/b/L0001.DBF\" (\r\nNAZEV char(30),\r\nCISLO decimal(6,0))");
}

TEST_F(TableCreationTest, ATemplateGivesItsFieldsInOrderAndCisloLast) {
  EXPECT_TRUE(FromTemplate("( pole tabulky linií\r\nnazev c 30\r\n\r\n; komentář\r\n{ další }\r\n"
                           "PLOCHA N 10 2\r\nDATUM D\r\nPLATI L\r\n"));
  EXPECT_EQ(FieldNames(File("T.DBF")),
            (Lines{"NAZEV C30,0", "PLOCHA N10,2", "DATUM D8,0", "PLATI L1,0", "CISLO N6,0"}));
  EXPECT_TRUE(dialogs.Messages.empty());
  // A template that names CISLO keeps it where it stands.
  EXPECT_TRUE(FromTemplate("cislo N 8 0\r\nNAZEV C 5\r\n"));
  EXPECT_EQ(FieldNames(File("T.DBF")), (Lines{"CISLO N8,0", "NAZEV C5,0"}));
}

TEST_F(TableCreationTest, BadTemplateLinesAreShownAndSkipped) {
  struct Case {
    const char* line;
    const char* message;  // after "L0001.CRT: "
  };
  const Case cases[] = {
      {"   ", "Spatny radek c.2"},
      {"ABCDEFGHIJK C 10", "Spatne jmeno polozky, radek c.2"},
      {"MÍSTO C 10", "Spatne jmeno polozky, radek c.2"},
      {"NAZEV C 10", "Spatne jmeno polozky, radek c.2"},  // the first line's name again
      {"POPIS X 10", "Spatny typ polozky, radek c.2"},
      {"POPIS", "Spatny typ polozky, radek c.2"},
      {"POPIS C 0", "Spatny typ polozky, radek c.2"},
      {"POPIS C 255", "Spatny typ polozky, radek c.2"},
      {"POPIS N 21 0", "Spatny typ polozky, radek c.2"},
      {"POPIS N 5 5", "Spatny typ polozky, radek c.2"},
  };
  for (const Case& c : cases) {
    dialogs.Messages.clear();
    EXPECT_TRUE(FromTemplate(std::string("NAZEV C 10\r\n") + c.line + "\r\nVYSKA N 5 1\r\n")) << c.line;
    EXPECT_EQ(MessageTexts(), Lines{std::string("L0001.CRT: ") + c.message}) << c.line;
    EXPECT_EQ(FieldNames(File("T.DBF")), (Lines{"NAZEV C10,0", "VYSKA N5,1", "CISLO N6,0"})) << c.line;
  }
}

TEST_F(TableCreationTest, ATemplateOfCisloAloneMakesNoTable) {
  struct Case {
    const char* name;
    const char* text;
  };
  const Case cases[] = {{"only CISLO", "CISLO N 6 0\r\n"}, {"only comments", "; nic\r\n"}, {"empty", ""},
                        {"only bad lines", "1+1 C 5\r\n"}};
  for (const Case& c : cases) {
    platform::DeleteFile(File("T.DBF"));
    EXPECT_FALSE(FromTemplate(c.text)) << c.name;
    EXPECT_FALSE(platform::FileExists(File("T.DBF"))) << c.name;
  }
  dialogs.Messages.clear();
  bool done = true;
  CreateFromTemplate(File("missing.CRT"), File("T.DBF"), done);
  EXPECT_FALSE(done);
  EXPECT_EQ(MessageTexts(), Lines{"Problém s vytvořením DBF dle " + File("missing.CRT")});
}

TEST_F(TableCreationTest, AnEngineErrorIsShownAndNothingIsMade) {
  TEntity defs;
  defs.AddElement(Def("NAZEV", 'C', 30, 0));
  defs.AddElement(Def("CISLO", 'N', 6, 0));
  const std::string table = File("no/such/folder/L0001.DBF");
  EXPECT_FALSE(CreateTableBySQL(table, defs));
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text.rfind("Nemohu vytvořit tabulku " + table + "\r\nChybové hlášení: \r\n", 0), 0u)
      << dialogs.Messages[0].Text;
  // An existing table of that name is replaced.
  WriteCp1250File(File("old.DBF"), "not a table");
  EXPECT_TRUE(CreateTableBySQL(File("old.DBF"), defs));
  EXPECT_EQ(FieldNames(File("old.DBF")), (Lines{"NAZEV C30,0", "CISLO N6,0"}));
}

TEST_F(TableCreationTest, ASourceTableGivesItsStructure) {
  const std::string source =
      MakeTable("L0005.DBF", "NAZEV char(12), PLOCHA decimal(9,3), DATUM date, CISLO decimal(6,0)", {{"x", "1", "", "1"}});
  bool done = false;
  CreateFromDBF(source, File("T.DBF"), done);
  EXPECT_TRUE(done);
  EXPECT_EQ(FieldNames(File("T.DBF")), (Lines{"NAZEV C12,0", "PLOCHA N9,3", "DATUM D8,0", "CISLO N6,0"}));
  EXPECT_TRUE(Rows(File("T.DBF")).empty());
  // Not from itself: the source stays as it was.
  dialogs.Messages.clear();
  CreateFromDBF(source, source, done);
  EXPECT_FALSE(done);
  EXPECT_EQ(MessageTexts(), Lines{"Problém s vytvořením DBF dle " + source});
  EXPECT_EQ(Rows(source).size(), 1u);
  CreateFromDBF(source, folder.Path() + "/./L0005.DBF", done);
  EXPECT_FALSE(done);
  EXPECT_EQ(Rows(source).size(), 1u);
}

TEST_F(TableCreationTest, ASourceHeaderMustHoldTogether) {
  const std::string source = MakeTable("S.DBF", "NAZEV char(12), CISLO decimal(6,0)", {});
  platform::TMemoryStream stream;
  stream.LoadFromFile(source);
  const std::vector<std::uint8_t> good = stream.Bytes();
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool done;
    Lines fields;
  };
  auto patched = [&](std::size_t at, std::vector<std::uint8_t> with) {
    std::vector<std::uint8_t> bytes = good;
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<long>(at));
    return bytes;
  };
  auto cut = [&](std::size_t size) { return std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(size)); };
  const Case cases[] = {
      {"good", good, true, {"NAZEV C12,0", "CISLO N6,0"}},
      {"header length beyond the file", patched(8, {0xFF, 0x7F}), false, {}},
      {"header length below 32", patched(8, {0x10, 0x00}), false, {}},
      {"shorter than a header", cut(20), false, {}},
      {"stops at the terminator", patched(64, {0x0D}), false, {}},  // one field left: no table
      {"a field of a type it cannot make", patched(32 + 11, {'M'}), false, {}},
  };
  for (const Case& c : cases) {
    const std::string file = File("case.DBF");
    {
      platform::TFileStream out(file, platform::TFileStream::Mode::Create);
      if (!c.bytes.empty()) out.Write(c.bytes.data(), c.bytes.size());
    }
    platform::DeleteFile(File("T.DBF"));
    bool done = !c.done;
    CreateFromDBF(file, File("T.DBF"), done);
    EXPECT_EQ(done, c.done) << c.name;
    if (c.done) {
      EXPECT_EQ(FieldNames(File("T.DBF")), c.fields) << c.name;
    } else {
      EXPECT_FALSE(platform::FileExists(File("T.DBF"))) << c.name;
    }
  }
}

TEST_F(TableCreationTest, TheTableChoosesTemplateOrSourceByExtension) {
  TLumarDBFTable table;
  EXPECT_FALSE(table.CreateTable(File("T.DBF")));  // no CreateFileName
  table.CreateFileName = File("missing.CRT");
  EXPECT_FALSE(table.CreateTable(File("T.DBF")));
  EXPECT_TRUE(dialogs.Messages.empty());
  WriteCp1250File(File("L0001.CRT"), "NAZEV C 10\r\n");
  table.CreateFileName = File("L0001.CRT");
  EXPECT_TRUE(table.CreateTable(File("T.DBF")));
  EXPECT_EQ(FieldNames(File("T.DBF")), (Lines{"NAZEV C10,0", "CISLO N6,0"}));
  const std::string source = MakeTable("S.dbf", "A char(1), B char(2)", {});
  table.CreateFileName = source;
  EXPECT_TRUE(table.CreateTable(File("T.DBF")));
  EXPECT_EQ(FieldNames(File("T.DBF")), (Lines{"A C1,0", "B C2,0"}));
}

}  // namespace
