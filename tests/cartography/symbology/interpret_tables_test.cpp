// Interpret tables: row splitting, the simple and the full table's answers,
// rows read from files, and rows whose condition does not compile.
#include "cartography/symbology/interpret_tables.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "block/props/lumar_props.h"
#include "cartography/cartography_classes.h"
#include "framework/core/class_registry.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "platform/files.h"
#include "tests/render/render_fixture.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

class InterpretTableTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    RegisterCartographyClasses();
    MainTool = &log;
  }
  // The log lines posted so far.
  std::vector<std::string> LogLines() {
    RunMessages();
    return log.Lines;
  }
  static std::unique_ptr<TLumarPointProps> Object(int barva, int znacka) {
    auto object = std::make_unique<TLumarPointProps>();
    object->Barva = static_cast<std::int16_t>(barva);
    object->Znacka = static_cast<std::int16_t>(znacka);
    return object;
  }

  TLogLines log;
};

TEST(TableRowTest, SplitsAtTheFirstCommaAndTrims) {
  struct Row {
    const char* Name;
    const char* Text;
    bool Splits;
    const char* Key;
    const char* Value;
  };
  const Row rows[] = {
      {"plain", "1,5", true, "1", "5"},
      {"blanks trimmed", "  Barva = 3 ,  zelená  ", true, "Barva = 3", "zelená"},
      {"second comma kept in value", "a, b, c", true, "a", "b, c"},
      {"empty key", ", x", true, "", "x"},
      {"empty value", "k,", true, "k", ""},
      {"no comma", "no comma here", false, "", ""},
      {"empty", "", false, "", ""},
  };
  for (const Row& row : rows) {
    std::string key, value;
    EXPECT_EQ(SplitTableRow(row.Text, key, value), row.Splits) << row.Name;
    EXPECT_EQ(key, row.Key) << row.Name;
    EXPECT_EQ(value, row.Value) << row.Name;
  }
}

TEST_F(InterpretTableTest, SimpleTableLooksUpThePropertyText) {
  struct Row {
    const char* Name;
    const char* PropertyName;
    bool WithInput;
    int Barva;
    const char* Expected;
  };
  const Row rows[] = {
      {"key 1", "Barva", true, 1, "jedna"},
      {"key 2", "Barva", true, 2, "dva"},
      {"missing key answers ElseValue", "Barva", true, 3, "jinak"},
      {"empty property name leaves Result", "", true, 1, "předtím"},
      {"no input answers ElseValue", "Barva", false, 1, "jinak"},
  };
  for (const Row& row : rows) {
    TSimpleInterpretTable table;
    for (const char* text : {"1, jedna", "2,dva", "bez čárky"}) table.SetPropertyText("NextItem", text);
    table.SetPropertyText("PropertyName", row.PropertyName);
    table.SetPropertyText("ElseValue", "jinak");
    table.Result = "předtím";
    auto object = Object(row.Barva, 0);
    if (row.WithInput) table.SetInput(object.get());
    table.DoIt();
    EXPECT_EQ(table.Result, row.Expected) << row.Name;
    EXPECT_EQ(table.GetCount(), 2) << row.Name << ": a row without a comma adds nothing";
  }
}

TEST_F(InterpretTableTest, FullTableAnswersTheFirstRowThatHolds) {
  struct Row {
    const char* Name;
    bool WithInput;
    int Barva;
    int Znacka;
    const char* Expected;
  };
  const Row rows[] = {
      {"first of two holding rows", true, 3, 1200, "zelená"},
      {"only the later row holds", true, 5, 1200, "1200, 1300"},
      {"no row holds", true, 5, 10, "jinak"},
      {"no input answers ElseValue", false, 3, 1200, "jinak"},
  };
  for (const Row& row : rows) {
    TInterpretTable table;
    for (const char* text : {"Barva = 3, zelená", "Znacka > 999, 1200, 1300", "Barva = 3, pozdější"})
      table.SetPropertyText("NextItem", text);
    table.ElseValue = "jinak";
    auto object = Object(row.Barva, row.Znacka);
    if (row.WithInput) table.SetInput(object.get());
    table.DoIt();
    EXPECT_EQ(table.Result, row.Expected) << row.Name;
  }
}

TEST_F(InterpretTableTest, RowTextReplacesConditionOnlyWithAComma) {
  struct Row {
    const char* Name;
    const char* NewText;
    const char* Text;
    const char* Result;
    bool HoldsForBarva7;
  };
  const Row rows[] = {
      {"new row replaces condition and value", "Barva = 7, sedm", "Barva = 7, sedm", "sedm", true},
      {"text without comma changes nothing", "Barva = 7", "Barva = 3, tři", "tři", false},
  };
  for (const Row& row : rows) {
    TITItem item;
    item.SetPropertyText("Text", "Barva = 3, tři");
    item.SetPropertyText("Text", row.NewText);
    EXPECT_EQ(item.GetPropertyText("Text"), row.Text) << row.Name;
    EXPECT_EQ(item.GetName(), row.Text) << row.Name;
    EXPECT_EQ(item.Result, row.Result) << row.Name;
    auto object = Object(7, 0);
    EXPECT_EQ(item.Holds(object.get()), row.HoldsForBarva7) << row.Name;
  }
}

TEST_F(InterpretTableTest, RowWhoseConditionDoesNotCompileNeverHoldsAndIsLogged) {
  TInterpretTable table;
  table.ElseValue = "jinak";
  table.SetPropertyText("NextItem", "Barva > 2 AND (, chybná");
  table.SetPropertyText("NextItem", "Barva = 3, zelená");
  auto object = Object(3, 0);
  table.SetInput(object.get());
  table.DoIt();
  EXPECT_EQ(table.Result, "zelená");
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Chybná podmínka v tabulce interpretace: Barva > 2 AND (, chybná (", 0), 0u) << lines[0];
  EXPECT_EQ(lines[0].back(), ')');
}

TEST_F(InterpretTableTest, FileRowsAreReadInOrder) {
  struct Row {
    const char* Name;
    std::string File;
    int Rows;
    int Barva;
    int Znacka;
    const char* Expected;
    std::size_t LogLines;
  };
  const std::string sample = std::string(KESTX_SAMPLES_DIR) + "/symbology/tabulka_barev.txt";
  const Row rows[] = {
      {"sample, first row holds", sample, 4, 3, 0, "zelená", 1},
      {"sample, row after the bad one", sample, 4, 1, 1500, "1200, 1300", 1},
      {"missing file adds nothing", sample + ".chybí", 0, 3, 0, "jinak", 0},
  };
  for (const Row& row : rows) {
    log.Lines.clear();
    std::unique_ptr<TElement> element(CreateElementByClassName("TInterpretTable"));
    auto* table = DynamicCast<TInterpretTable>(element.get());
    ASSERT_NE(table, nullptr);
    table->ElseValue = "jinak";
    table->SetPropertyText("FileName", row.File);
    EXPECT_EQ(table->GetPropertyText("FileName"), row.File) << row.Name;
    EXPECT_EQ(table->GetCount(), row.Rows) << row.Name;
    auto object = Object(row.Barva, row.Znacka);
    table->SetInput(object.get());
    table->DoIt();
    EXPECT_EQ(table->Result, row.Expected) << row.Name;
    EXPECT_EQ(LogLines().size(), row.LogLines) << row.Name;
  }
}

TEST_F(InterpretTableTest, LongFileLinesAreWholeRows) {
  TempFolder folder;
  const std::string value(100000, 'x');
  const std::string file = folder.File("dlouha.txt");
  platform::WriteTextLines(file, {"Barva = 3, " + value});
  TInterpretTable table;
  table.SetFileName(file);
  auto object = Object(3, 0);
  table.SetInput(object.get());
  table.DoIt();
  EXPECT_EQ(table.Result, value);
}

// A table saved and loaded again holds the rows it held, however often the
// round is made; the file's name comes back only while no row stands for
// the file.
TEST_F(InterpretTableTest, SavingAndLoadingKeepsTheRowsOnce) {
  struct Row {
    const char* Name;
    std::string File;
    int Rows;
    const char* FileNameAfter;
    const char* Expected;  // for Barva 3
  };
  const std::string sample = std::string(KESTX_SAMPLES_DIR) + "/symbology/tabulka_barev.txt";
  const std::string missing = sample + ".chybí";
  const Row rows[] = {
      {"rows of the file", sample, 4, "", "zelená"},
      {"missing file: its name", missing, 0, missing.c_str(), "jinak"},
  };
  for (const Row& row : rows) {
    TempFolder folder;
    auto table = std::make_unique<TInterpretTable>();
    table->ElseValue = "jinak";
    table->SetFileName(row.File);
    for (int round = 1; round <= 2; ++round) {
      const std::string name = std::string(row.Name) + ", round " + std::to_string(round);
      TSave save;
      save.FileName = folder.File("tabulka.kes");
      save.SetInput(table.get());
      save.DoIt();
      TLoad load;
      load.FileName = save.FileName;
      load.DoIt();
      table.reset(DynamicCast<TInterpretTable>(load.Output()));
      ASSERT_NE(table, nullptr) << name;
      EXPECT_EQ(table->GetCount(), row.Rows) << name;
      EXPECT_EQ(table->GetFileName(), row.FileNameAfter) << name;
      auto object = Object(3, 0);
      table->SetInput(object.get());
      table->DoIt();
      EXPECT_EQ(table->Result, row.Expected) << name;
      table->SetInput(nullptr);
    }
  }
}

}  // namespace
