#include "block/tables/export_dbf.h"

#include "block/tables/lumar_dbf_table.h"
#include "tests/block/block_fixture.h"

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

}  // namespace
