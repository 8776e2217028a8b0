#include "block/tables/export_dbf.h"

#include "block/tables/lumar_dbf_table.h"
#include "tests/block/block_fixture.h"
#include "tests/platform/file_size_limit.h"

namespace {

using Rows_t = std::vector<std::vector<std::string>>;

class ExportDBFTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    for (const char* dir : {"SRC.BLK", "OUT.BLK", "CTRL"}) std::filesystem::create_directories(File(dir));
    source.SetName(File("SRC.BLK"));
    MakeTable("SRC.BLK/L0003.DBF", "NAZEV char(10), VYSKA decimal(5,1), CISLO decimal(6,0)",
              {{"Dub", "20.5", "12"}, {"Lípa", "8", "14"}});
    tool.ExpBlockName = File("OUT.BLK");
    tool.ControlDir = File("CTRL");
    tool.ObjectType = 'L';
    tool.Druh = 3;
  }
  // A line of the source block with its number, three vertices, ID set as
  // the export numbers it.
  TPolyLineElement* Line(std::int32_t cislo, std::int32_t id) {
    TPolyLineElement* line = Filed<TPolyLineElement, TLumarLineProps>(source, cislo, 3);
    auto* props = static_cast<TLumarLineProps*>(line->Properties());
    props->Barva = 5;
    props->Znacka = 7;
    for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, -30.0}, {40.0, -30.0}}) line->AddVertex(x, y);
    line->CalcBounds();
    line->ID = id;
    return line;
  }

  TLumarBlockRegister source;
  TExportDBFClass tool;
};

TEST_F(ExportDBFTest, ATemplateAndTransferScriptFillOneRecordPerObject) {
  WriteCp1250File(File("CTRL/L0003.CRT"),
                  "NAZEV C 10\r\nPOPIS C 20\r\nDRUH N 4 0\r\nDISP_BARVA N 4 0\r\nDISP_ZNAC N 4 0\r\nX N 10 2\r\n"
                  "Y N 10 2\r\nDELKA N 10 2\r\nPLOCHA N 12 4\r\nVLASTNIK C 10\r\n");
  WriteCp1250File(File("CTRL/L0003.TDS"), "nazev NAZEV\r\nVYSKA POPIS\r\n*Barva VLASTNIK\r\n");
  // An older table of that name is replaced on the first object.
  MakeTable("OUT.BLK/L0003.DBF", "STARE char(1)", {{"x"}});
  for (const auto& [cislo, id] : {std::pair{12, 1}, {99, 2}, {14, 3}}) {  // 99: no source record
    tool.SetInput(Line(cislo, id));
    tool.DoIt();
  }
  const std::string target = File("OUT.BLK/L0003.DBF");
  EXPECT_EQ(tool.GetPropertyText("DBFName"), target);
  EXPECT_EQ(FieldNames(target).back(), "CISLO N6,0");
  EXPECT_EQ(Rows(target), (Rows_t{{"Dub", "20.5", "3", "5", "7", "30.00", "0.00", "70.00", "", "5", "1"},
                                    {"", "", "3", "5", "7", "30.00", "0.00", "70.00", "", "5", "2"},
                                    {"Lípa", "8.0", "3", "5", "7", "30.00", "0.00", "70.00", "", "5", "3"}}));
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{"Není nalezen záznam c.99\r\n" + File("SRC.BLK") + "/L0003.DBF"}));
}

// Values given with the export go in first; the source record fills the
// record only without them, or after them when both sources are asked for.
TEST_F(ExportDBFTest, DynamicValuesTakeThePlaceOfTheSourceRecordUnlessBothAreAsked) {
  WriteCp1250File(File("CTRL/L0003.CRT"), "NAZEV C 10\r\nPOPIS C 20\r\n");
  WriteCp1250File(File("CTRL/L0003.TDS"), "NAZEV NAZEV\r\n");
  auto* dynamic = new TDynamicProperties;
  tool.AddElement(dynamic);
  tool.SetDynamicProps(dynamic);
  const struct {
    const char* name;
    bool bothSources;
    std::vector<std::pair<const char*, const char*>> values;
    std::vector<std::string> record;  // NAZEV, POPIS, CISLO
  } rows[] = {
      {"no values: the source record", false, {}, {"Dub", "", "1"}},
      {"values only", false, {{"NAZEV", "Buk"}, {"POPIS", "mlazina"}}, {"Buk", "mlazina", "2"}},
      {"both: the source record after the values", true, {{"NAZEV", "Buk"}, {"POPIS", "mlazina"}},
       {"Dub", "mlazina", "3"}},
      {"a value the table lacks", false, {{"VLASTNIK", "obec"}}, {"", "", "4"}},
  };
  std::int32_t id = 0;
  for (const auto& row : rows) {
    dynamic->Clear();
    for (const auto& [name, value] : row.values) dynamic->SetPropertyText(name, value);
    tool.BothSources = row.bothSources;
    tool.SetInput(Line(12, ++id));
    tool.DoIt();
    const Rows_t written = Rows(File("OUT.BLK/L0003.DBF"));
    ASSERT_EQ(written.size(), static_cast<std::size_t>(id)) << row.name;
    EXPECT_EQ(written.back(), row.record) << row.name;
  }
  EXPECT_TRUE(MessageTexts().empty());
}

// Areas are written in square units, or in hectares when asked for.
TEST_F(ExportDBFTest, AnAreasSizeIsInSquareUnitsOrInHectares) {
  WriteCp1250File(File("CTRL/P0003.CRT"), "PLOCHA N 12 4\r\n");
  for (const auto& [hectares, plocha] : {std::pair{false, "25000.0000"}, {true, "2.5000"}}) {
    TExportDBFClass areas;
    areas.ExpBlockName = File("OUT.BLK");
    areas.ControlDir = File("CTRL");
    areas.ObjectType = 'P';
    areas.Druh = 3;
    areas.PlochyVHa = hectares;
    TAreaElement* area = Filed<TAreaElement, TLumarAreaProps>(source, 5, 3);
    for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, 100.0}, {250.0, 100.0}, {250.0, 0.0}}) area->AddVertex(x, y);
    area->CalcBounds();
    area->ID = 1;
    areas.SetInput(area);
    areas.DoIt();
    EXPECT_EQ(Rows(File("OUT.BLK/P0003.DBF")), (Rows_t{{plocha, "1"}})) << "in hectares " << hectares;
  }
}

// Switching kinds switches tables; a table made earlier in the export is
// written on, never made anew.
TEST_F(ExportDBFTest, EachKindHasItsTableMadeOnceInAnExport) {
  WriteCp1250File(File("CTRL/L0003.CRT"), "NAZEV C 10\r\n");
  WriteCp1250File(File("CTRL/L0004.CRT"), "POPIS C 20\r\n");
  tool.CreateFromSource = false;
  std::int32_t id = 0;
  for (std::int16_t druh : {3, 4, 3, 4}) {
    tool.Druh = druh;
    tool.SetInput(Line(14, ++id));
    tool.DoIt();
  }
  EXPECT_EQ(Rows(File("OUT.BLK/L0003.DBF")), (Rows_t{{"Lípa", "1"}, {"Lípa", "3"}}));
  EXPECT_EQ(Rows(File("OUT.BLK/L0004.DBF")), (Rows_t{{"", "2"}, {"", "4"}}));
}

// Each table's fields are filled at their own places, also when the kinds'
// tables take turns and order their fields differently.
TEST_F(ExportDBFTest, TheFieldsOfEachTableAreFoundInItsOwnOrder) {
  WriteCp1250File(File("CTRL/L0003.CRT"), "X N 10 2\r\nDRUH N 4 0\r\n");
  WriteCp1250File(File("CTRL/L0004.CRT"), "DRUH N 4 0\r\nDELKA N 10 2\r\nX N 10 2\r\n");
  const struct {
    std::int16_t druh;
    const char* table;
    std::vector<std::string> record;  // the table's fields in its order
  } rows[] = {
      {3, "OUT.BLK/L0003.DBF", {"30.00", "3", "1"}},
      {4, "OUT.BLK/L0004.DBF", {"3", "70.00", "30.00", "2"}},
      {3, "OUT.BLK/L0003.DBF", {"30.00", "3", "3"}},
      {4, "OUT.BLK/L0004.DBF", {"3", "70.00", "30.00", "4"}},
  };
  std::int32_t id = 0;
  for (const auto& row : rows) {
    tool.Druh = row.druh;
    tool.SetInput(Line(14, ++id));
    tool.DoIt();
    const Rows_t written = Rows(File(row.table));
    ASSERT_FALSE(written.empty()) << "object " << id;
    EXPECT_EQ(written.back(), row.record) << "object " << id;
  }
}

// A folder changed between objects brings its own table or script.
TEST_F(ExportDBFTest, AFolderChangedBetweenObjectsTakesItsOwnTableOrScript) {
  for (const char* dir : {"OUT2.BLK", "CTRL2"}) std::filesystem::create_directories(File(dir));
  WriteCp1250File(File("CTRL/L0003.CRT"), "NAZEV C 10\r\n");
  WriteCp1250File(File("CTRL/L0003.TDS"), "NAZEV NAZEV\r\n");
  WriteCp1250File(File("CTRL2/L0003.TDS"), "VYSKA NAZEV\r\n");
  const struct {
    const char* name;
    const char* block;
    const char* control;
    const char* table;
    std::vector<std::string> record;  // NAZEV, CISLO
  } rows[] = {
      {"the first object", "OUT.BLK", "CTRL", "OUT.BLK/L0003.DBF", {"Dub", "1"}},
      {"another control folder: its script", "OUT.BLK", "CTRL2", "OUT.BLK/L0003.DBF", {"20.5", "2"}},
      {"another block folder: a table there", "OUT2.BLK", "CTRL", "OUT2.BLK/L0003.DBF", {"Dub", "3"}},
  };
  std::int32_t id = 0;
  for (const auto& row : rows) {
    tool.ExpBlockName = File(row.block);
    tool.ControlDir = File(row.control);
    tool.SetInput(Line(12, ++id));
    tool.DoIt();
    const Rows_t written = Rows(File(row.table));
    ASSERT_FALSE(written.empty()) << row.name;
    EXPECT_EQ(written.back(), row.record) << row.name;
  }
}

// A table is made from the template of its kind, or, when asked to, from
// the structure of the table the object came from.
TEST_F(ExportDBFTest, ATableIsMadeFromTheTemplateOrFromTheSourceTable) {
  WriteCp1250File(File("CTRL/L0003.CRT"), "POPIS C 20\r\n");
  const struct {
    bool fromSource;
    std::vector<std::string> fields;
    Rows_t rows;
  } rows[] = {
      {false, {"POPIS C20,0", "CISLO N6,0"}, {{"", "1"}}},
      {true, {"NAZEV C10,0", "VYSKA N5,1", "CISLO N6,0"}, {{"Dub", "20.5", "1"}}},
  };
  for (const auto& row : rows) {
    TExportDBFClass writer;
    writer.ExpBlockName = File("OUT.BLK");
    writer.ControlDir = File("CTRL");
    writer.ObjectType = 'L';
    writer.Druh = 3;
    writer.CreateFromSource = row.fromSource;
    writer.SetInput(Line(12, 1));
    writer.DoIt();
    EXPECT_EQ(FieldNames(File("OUT.BLK/L0003.DBF")), row.fields) << "from the source " << row.fromSource;
    EXPECT_EQ(Rows(File("OUT.BLK/L0003.DBF")), row.rows) << "from the source " << row.fromSource;
  }
}

// A run that fails tells why; the tool it leaves with records the disk would
// not take is freed without a word, not with an error nobody can catch.
TEST_F(ExportDBFTest, AToolLeftWithRecordsTheDiskWillNotTakeIsFreedQuietly) {
  WriteCp1250File(File("CTRL/L0003.CRT"), "POPIS C 10\r\nCISLO N 6 0\r\n");
  auto left = std::make_unique<TExportDBFClass>();
  left->ExpBlockName = File("OUT.BLK");
  left->ControlDir = File("CTRL");
  left->ObjectType = 'L';
  left->Druh = 3;
  left->WriteObject(Line(12, 1));
  const std::string target = File("OUT.BLK/L0003.DBF");
  const FileSizeLimit full(std::filesystem::file_size(target));
  EXPECT_NO_THROW(left.reset());
}

}  // namespace

// Objects written one by one reach the file on the flush; a transfer
// script that was missing is looked for again after it.
TEST_F(ExportDBFTest, ObjectsReachTheFileOnTheFlushAfterWhichAMissingScriptIsSoughtAgain) {
  WriteCp1250File(File("CTRL/L0003.CRT"), "POPIS C 10\r\nCISLO N 6 0\r\n");
  const std::string target = File("OUT.BLK/L0003.DBF");
  const struct {
    const char* name;
    bool scriptBefore;  // the .TDS exists before the object is written
    bool flush;
    std::size_t readable;  // records another reader sees afterwards
  } steps[] = {
      {"the first object: the table is made", false, false, 0},
      {"a second without a script", false, true, 2},
      {"the script appears, flushed before: used", true, true, 3},
  };
  const std::vector<std::string> expected[] = {{"", "1"}, {"", "2"}, {"20.5", "3"}};
  std::int32_t id = 0;
  for (const auto& step : steps) {
    if (step.scriptBefore) WriteCp1250File(File("CTRL/L0003.TDS"), "VYSKA POPIS\r\n");
    tool.WriteObject(Line(12, ++id));
    if (step.flush) tool.Flush();
    const Rows_t rows = platform::FileExists(target) ? Rows(target) : Rows_t{};
    EXPECT_EQ(rows.size(), step.readable) << step.name;
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i], expected[i]) << step.name << ", row " << i;
  }
}
