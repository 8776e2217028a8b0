#include "app/condition_filter/condition_filter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/condition_filter/condition_text.h"
#include "framework/condition/condition_compiler.h"
#include "framework/condition/operators.h"
#include "framework/stream/kes_saver.h"
#include "framework/values/typed_values.h"
#include "platform/screen.h"
#include "platform/streams.h"
#include "platform/string_grid.h"
#include "render/interprets/interpret_layers.h"
#include "spatial/sheets/coordinate_systems.h"
#include "tests/app/condition_filter/sample_condition_filter.h"
#include "tests/app/shell_fixture.h"

namespace {

using platform::StringGrid;

TEST(ConditionText, RowsBecomeAlternativesOfColumnTerms) {
  struct Row {
    const char* name;
    std::vector<std::string> columns;
    ConditionRows rows;
    const char* text;
  };
  const Row rows[] = {
      {"no row", {"a", "b"}, {}, "@CONDITION="},
      {"the example of two rows", {"a", "b"}, {{"1", "x"}, {"2", "y"}},
       "@CONDITION=((a=1)AND(b='x'))OR((a=2)AND(b='y'))"},
      {"12 bare, 12a and empty quoted", {"a", "b", "c"}, {{"12", "12a", ""}}, "@CONDITION=((a=12)AND(b='12a')AND(c=''))"},
      {"a minus before digits stays bare", {"a"}, {{"-7"}}, "@CONDITION=((a=-7))"},
      {"only digits with a minus go bare", {"a"}, {{"-"}, {"$1F"}, {" 12"}, {"1.5"}, {"1e3"}},
       "@CONDITION=((a='-'))OR((a='$1F'))OR((a=' 12'))OR((a='1.5'))OR((a='1e3'))"},
      {"words of the language in a value", {"DRUH"}, {{"a OR b = c"}}, "@CONDITION=((DRUH='a OR b = c'))"},
      {"a row shorter than the columns", {"a", "b"}, {{"1"}}, "@CONDITION=((a=1)AND(b=''))"},
  };
  for (const Row& row : rows) {
    const std::string text = ConditionText(row.columns, row.rows);
    EXPECT_EQ(text, row.text) << row.name;
    // What follows the "=" is a condition the framework compiles.
    const std::string condition = text.substr(std::string("@CONDITION=").size());
    if (condition.empty()) continue;
    TCondCreator creator;
    EXPECT_NO_THROW(std::unique_ptr<TCondition>(CompileCondition(creator, condition))) << row.name;
  }
}

TEST(ConditionText, OnlyIdentifiersThatAreNoWordOfTheLanguageNameColumns) {
  struct Row {
    const char* name;
    bool property;
  };
  const Row rows[] = {{"DRUH", true},   {"_x1", true},       {"find", true},  {"Barva2", true}, {"", false},
                      {"1A", false},    {"DRUH LESA", false}, {"AND", false}, {"not", false},   {"Číslo", false},
                      {"A-B", false},   {"CLASS", false},    {"D6AND", false}, {"AND1", false}, {"x_or", false},
                      {"A1DIV", false}, {"mod", false},      {"ORDER", true},  {"X1ORA", true}, {"MODUL", true},
                      {"BANDA", true}};
  for (const Row& row : rows) EXPECT_EQ(IsConditionPropertyName(row.name), row.property) << "\"" << row.name << "\"";
}

// The shell with a coordinate world, the table file beside the program and a
// main tool that keeps the log lines.
class ConditionFilterTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    SetWorld(new TWCSWorld);
    MainTool = &log;
  }
  void TearDown() override {
    dialog.reset();
    platform::SetModalAnswerer(nullptr);
    ShellTest::TearDown();
  }
  std::string Table() const { return TConditionFilterDialog::TableFileName(); }
  TConditionFilterDialog& Dialog(const std::string& columns) {
    dialog.reset(CreateElement<TConditionFilterDialog>());
    dialog->FilterProperties = columns;
    return *dialog;
  }
  // Runs the dialog with the person's actions; answers whether the form was shown.
  bool Run(const std::function<void(platform::Form&)>& person) {
    bool shown = false;
    platform::SetModalAnswerer([&](platform::Form& form) {
      shown = true;
      person(form);
    });
    dialog->DoIt();
    platform::SetModalAnswerer(nullptr);
    RunMessages();
    return shown;
  }
  // Types the rows into the grid from row 1 on, adding rows as Down does.
  static void Type(platform::Form& form, const std::vector<std::vector<std::string>>& rows) {
    StringGrid grid(form, "SG");
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const int row = static_cast<int>(r) + 1;
      while (grid.RowCount() <= row) {
        grid.SetCurrentCell(0, grid.RowCount() - 1);
        platform::UserGridKey(form, "SG", platform::vkDown);
      }
      for (std::size_t c = 0; c < rows[r].size(); ++c)
        if (!rows[r][c].empty()) platform::UserGridEditCell(form, "SG", static_cast<int>(c), row, rows[r][c]);
    }
  }
  // Every row of the grid, cells joined by "|", rows by " / ".
  static std::string Grid(platform::Form& form) {
    StringGrid grid(form, "SG");
    std::vector<std::string> rows;
    for (int row = 0; row < grid.RowCount(); ++row) {
      std::string text;
      for (int col = 0; col < grid.ColCount(); ++col) text += (col ? "|" : "") + grid.Cell(col, row);
      rows.push_back(text);
    }
    return Join(rows, " / ");
  }
  // "name: value, value" per list of the table.
  std::string Lists() const {
    std::vector<std::string> lists;
    for (TElement* child : dialog->Conditions()->Children()) {
      auto* list = static_cast<TStringListElement*>(child);
      std::vector<std::string> values;
      for (int i = 0; i < list->GetCount(); ++i)
        values.push_back(list->SameNameAs("@_SIZE") ? list->GetItemName(i) + "=" + list->GetValue(i)
                                                    : list->GetValue(i));
      lists.push_back(list->GetName() + ": " + Join(values, ", "));
    }
    return Join(lists, "; ");
  }
  static std::string Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The filter's own lines for the message window (the saver logs its own).
  std::vector<std::string> LogLines() {
    RunMessages();
    std::vector<std::string> lines;
    for (const auto& entry : log.Messages)
      if (entry.Code == msgLogText && entry.Text.rfind("Filtr podmínek: ", 0) == 0) lines.push_back(entry.Text);
    return lines;
  }
  // Saves a table as the dialog would find it.
  void SaveTable(TOwnerEntity* table) {
    std::unique_ptr<TOwnerEntity> owned(table);
    TSave saver;
    saver.FileName = Table();
    saver.SetInput(table);
    saver.DoIt();
  }
  static TStringListElement* List(TOwnerEntity* table, const std::string& name,
                                  const std::vector<std::string>& values) {
    auto* list = CreateElement<TStringListElement>();
    list->SetName(name);
    for (const std::string& value : values) list->NextValue(value);
    table->AddElement(list);
    return list;
  }

  TRecorder log;
  std::unique_ptr<TConditionFilterDialog> dialog;
};

TEST_F(ConditionFilterTest, OkTakesTheCompleteRowsIntoTheConditionTheTableAndTheFile) {
  Dialog("DRUH, BARVA");
  EXPECT_TRUE(Run([&](platform::Form& form) {
    EXPECT_EQ(Grid(form), "DRUH|BARVA / |") << "the header and one empty row";
    Type(form, {{"12", "zelená"}, {"7", ""}, {"3", "12a"}});
    platform::UserGridResizeColumn(form, "SG", 1, 90);
    platform::UserClick(form, "b_OK");
  }));
  EXPECT_EQ(dialog->Condition, "@CONDITION=((DRUH=12)AND(BARVA='zelená'))OR((DRUH=3)AND(BARVA='12a'))");
  const platform::Bounds placed = platform::FitOnScreen({0, 0, 480, 320});
  EXPECT_EQ(Lists().substr(0, Lists().find("; @_SIZE")), "DRUH: 12, 3; BARVA: zelená, 12a");
  EXPECT_NE(Lists().find("BARVA_Width=90"), std::string::npos) << Lists();
  EXPECT_NE(Lists().find("WIDTH=" + std::to_string(placed.Width)), std::string::npos) << Lists();
  ASSERT_TRUE(platform::FileExists(Table()));
  // The next run shows what was taken, with the column's width: the incomplete row is gone.
  Dialog("DRUH, BARVA");
  EXPECT_TRUE(Run([&](platform::Form& form) {
    EXPECT_EQ(Grid(form), "DRUH|BARVA / 12|zelená / 3|12a");
    EXPECT_EQ(StringGrid(form, "SG").ColWidth(1), 90);
  }));
  EXPECT_TRUE(LogLines().empty());
}

TEST_F(ConditionFilterTest, CancelChangesNeitherTheResultNorTheFile) {
  Dialog("DRUH");
  Run([](platform::Form& form) {
    Type(form, {{"1"}});
    platform::UserClick(form, "b_OK");
  });
  const std::string file = Bytes(Table());
  TElementLink data(dialog->GetData());
  const std::string condition = dialog->Condition;
  for (const char* button : {"b_Storno", ""}) {
    Run([&](platform::Form& form) {
      Type(form, {{"2"}});
      if (*button) platform::UserClick(form, button);
    });
    EXPECT_EQ(dialog->Condition, condition) << button;
    EXPECT_EQ(dialog->GetData(), data.Get()) << button;
    EXPECT_EQ(Bytes(Table()), file) << button << ": byte for byte";
  }
}

TEST_F(ConditionFilterTest, OkRefusesACellTheConditionCannotQuoteAndNamesIt) {
  struct Row {
    const char* name;
    const char* value;
  };
  const Row rows[] = {{"a quote", "Jana's"}, {"an opening parenthesis", "a(b"}, {"a closing one", ")"}};
  for (const Row& row : rows) {
    Dialog("DRUH, BARVA");
    std::vector<std::string> boxes;
    Run([&](platform::Form& form) {
      Type(form, {{"1", "x"}, {"2", row.value}, {"3", ""}});
      platform::UserClick(form, "b_OK");
      boxes = Boxes();
      platform::UserGridEditCell(form, "SG", 1, 2, "y");
      platform::UserClick(form, "b_OK");
    });
    EXPECT_EQ(boxes, std::vector<std::string>{"Hodnotu " + std::string(row.value) +
                                              " ve sloupci BARVA, řádku 2 nelze zapsat do podmínky: nesmí obsahovat "
                                              "apostrof ani závorku."})
        << row.name;
    EXPECT_EQ(dialog->Condition, "@CONDITION=((DRUH=1)AND(BARVA='x'))OR((DRUH=2)AND(BARVA='y'))") << row.name;
    dialogs.Messages.clear();
  }
}

TEST_F(ConditionFilterTest, AColumnThatIsNoPropertyNameStopsTheRunWithALogLine) {
  Dialog("DRUH, DRUH LESA");
  EXPECT_FALSE(Run([](platform::Form&) {}));
  EXPECT_EQ(LogLines(), std::vector<std::string>{"Filtr podmínek: sloupec \"DRUH LESA\" není jméno vlastnosti, "
                                                 "filtr se nespustí"});
  EXPECT_FALSE(platform::FileExists(Table()));
}

TEST_F(ConditionFilterTest, ASavedTableThatDoesNotFitGivesAFreshOrPaddedOneAndALogLine) {
  const platform::Bounds screen = platform::ScreenWorkArea();
  struct Row {
    const char* name;
    std::function<void()> write;
    const char* grid;
    std::vector<std::string> log;
    platform::Bounds bounds;  // 0 for the layout's own
  };
  const std::string corrupt = "Filtr podmínek: soubor " + Table();
  const Row rows[] = {
      {"no file", [] {}, "A|B / |", {}, {}},
      {"a corrupt file",
       [&] { std::ofstream(Table(), std::ios::binary) << "KES0 nesmysl"; },
       "A|B / |",
       {corrupt + " nelze přečíst (Chyba čtení souboru " + Table() + ": Invalid property value), tabulka je nová"},
       {}},
      {"another filter's table, silently",
       [&] {
         auto* table = Named<TOwnerEntity>("X, Y");
         List(table, "X", {"1"});
         List(table, "Y", {"2"});
         SaveTable(table);
       },
       "A|B / |", {}, {}},
      {"the right name over other lists",
       [&] {
         auto* table = Named<TOwnerEntity>("A, B");
         List(table, "A", {"1"});
         SaveTable(table);
       },
       "A|B / |", {corrupt + " neobsahuje tabulku sloupců A, B, tabulka je nová"}, {}},
      {"unequal lists are padded",
       [&] {
         auto* table = Named<TOwnerEntity>("a, b");
         List(table, "A", {"1", "2", "3"});
         List(table, "B", {"x"});
         List(table, "@_SIZE", {});
         SaveTable(table);
       },
       "A|B / 1|x / 2| / 3|", {"Filtr podmínek: sloupce tabulky nebyly stejně dlouhé, doplněny prázdnými hodnotami"},
       {}},
      {"no sizes",
       [&] {
         auto* table = Named<TOwnerEntity>("A, B");
         List(table, "A", {"1"});
         List(table, "B", {"2"});
         SaveTable(table);
       },
       "A|B / 1|2", {"Filtr podmínek: tabulka nemá rozměry okna, okno má své výchozí"}, {}},
      {"sizes in an element that is no list",
       [&] {
         auto* table = Named<TOwnerEntity>("A, B");
         List(table, "A", {"1"});
         List(table, "B", {"2"});
         Named<TOwnerEntity>("@_SIZE", table);
         SaveTable(table);
       },
       "A|B / 1|2", {"Filtr podmínek: tabulka nemá rozměry okna, okno má své výchozí"}, {}},
      {"a huge window is clamped to the screen",
       [&] {
         auto* table = Named<TOwnerEntity>("A, B");
         List(table, "A", {});
         List(table, "B", {});
         auto* size = List(table, "@_SIZE", {});
         size->SetIntegerByName("LEFT", 2000000000);
         size->SetIntegerByName("TOP", 5);
         size->SetIntegerByName("WIDTH", 2000000000);
         size->SetIntegerByName("HEIGHT", 300);
         SaveTable(table);
       },
       "A|B / |", {}, {screen.Left, 5, screen.Width, 300}},
  };
  for (const Row& row : rows) {
    std::filesystem::remove(Table());
    row.write();
    log.Messages.clear();
    Dialog("A, B");
    std::string grid;
    platform::Bounds bounds;
    EXPECT_TRUE(Run([&](platform::Form& form) {
      grid = Grid(form);
      bounds = form.GetBounds();
    })) << row.name;
    EXPECT_EQ(grid, row.grid) << row.name;
    EXPECT_EQ(LogLines(), row.log) << row.name;
    if (row.bounds.Width) {
      EXPECT_EQ(std::vector<int>({bounds.Left, bounds.Top, bounds.Width, bounds.Height}),
                std::vector<int>({row.bounds.Left, row.bounds.Top, row.bounds.Width, row.bounds.Height}))
          << row.name;
    }
  }
}

TEST_F(ConditionFilterTest, AnUnwritableFileIsLoggedAndTheResultStands) {
  std::filesystem::create_directories(Table());  // a folder where the file should be
  Dialog("DRUH");
  Run([](platform::Form& form) {
    Type(form, {{"5"}});
    platform::UserClick(form, "b_OK");
  });
  EXPECT_EQ(dialog->Condition, "@CONDITION=((DRUH=5))");
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Filtr podmínek: tabulku nelze uložit do " + Table() + " (", 0), 0u) << lines[0];
}

TEST_F(ConditionFilterTest, TheModelIsInsertedAtDataIndexOrAppended) {
  struct Row {
    const char* name;
    int children;
    std::int32_t index;
    int at;
  };
  const Row rows[] = {
      {"at the index", 3, 1, 1},     {"at the last index", 3, 2, 2}, {"beyond the last appends", 3, 3, 3},
      {"negative appends", 3, -1, 3}, {"into an empty input", 0, 0, 0},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TOwnerEntity> input(Named<TOwnerEntity>("vstup"));
    for (int i = 0; i < row.children; ++i) Named<TNameElement>("p" + std::to_string(i), input.get());
    Dialog("DRUH");
    dialog->SetInput(input.get());
    dialog->LayerDescription = "ELEMENT=TRectEntity";
    dialog->DataIndex = row.index;
    Run([](platform::Form& form) { platform::UserClick(form, "b_OK"); });
    ASSERT_NE(dialog->GetData(), nullptr) << row.name;
    ASSERT_EQ(input->GetCount(), row.children + 1) << row.name;
    EXPECT_EQ(input->GetElement(row.at), dialog->GetData()) << row.name;
  }
}

// Also the key that ends a cell's edit: one Enter after a value typed into
// the last row gives the next row.
TEST_F(ConditionFilterTest, DownOrEnterInTheLastRowAddsARow) {
  struct Row {
    const char* name;
    std::uint16_t key;
    bool editing;  // the key ends the edit of a value typed into the row
    int from;
    int rows;
  };
  const Row rows[] = {
      {"Down in the last row", platform::vkDown, false, 2, 4},
      {"Enter in the last row", platform::vkReturn, false, 2, 4},
      {"Down above the last row", platform::vkDown, false, 1, 3},
      {"another key", platform::vkLeft, false, 2, 3},
      {"Enter ending an edit in the last row", platform::vkReturn, true, 2, 4},
      {"Down ending an edit in the last row", platform::vkDown, true, 2, 4},
      {"Enter ending an edit above the last row", platform::vkReturn, true, 1, 3},
  };
  for (const Row& row : rows) {
    Dialog("DRUH");
    int count = 0;
    std::string typed;
    Run([&](platform::Form& form) {
      StringGrid grid(form, "SG");
      grid.SetRowCount(3);
      grid.SetCell(0, 1, "1");
      grid.SetCell(0, 2, "2");
      if (row.editing) {
        platform::UserGridEditCell(form, "SG", 0, row.from, "7", row.key);
      } else {
        grid.SetCurrentCell(0, row.from);
        platform::UserGridKey(form, "SG", row.key);
      }
      count = grid.RowCount();
      typed = grid.Cell(0, row.from);
    });
    EXPECT_EQ(count, row.rows) << row.name;
    EXPECT_EQ(typed, row.editing ? "7" : std::to_string(row.from)) << row.name;
  }
}

// OK is the default button, which an unattended run takes; Enter in the
// grid stays the grid's key and does not press it.
TEST_F(ConditionFilterTest, EnterInTheGridKeepsTheDialogOpenAndOkIsTheDefault) {
  Dialog("DRUH");
  int count = 0, defaultResult = 0;
  EXPECT_TRUE(Run([&](platform::Form& form) {
    // Shown, as for a person: a hidden dialog presses no button on Enter.
    form.Show();
    Type(form, {{"1"}});
    StringGrid grid(form, "SG");
    grid.SetCurrentCell(0, 1);
    platform::UserKeyOn(form, "SG", platform::vkReturn);
    count = grid.RowCount();
    defaultResult = form.DefaultResult();
  }));
  EXPECT_EQ(count, 3) << "a row added after the last";
  EXPECT_EQ(dialog->Condition, "") << "the dialog was taken";
  EXPECT_EQ(defaultResult, platform::mrOk);
}

// Every file under the folder, by its path from there, with its bytes; the
// block's text file names the folder it was written to, and is left out.
std::map<std::string, std::string> FilesUnder(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && entry.path().filename() != "TN.TTX") {
      std::ifstream in(entry.path(), std::ios::binary);
      files[std::filesystem::relative(entry.path(), folder).string()] = {std::istreambuf_iterator<char>(in),
                                                                           std::istreambuf_iterator<char>()};
    }
  return files;
}

TEST_F(ConditionFilterTest, TheSampleIsWhatItsWriterMakesAndItsTableFiltersItsBlock) {
  const std::string sample = std::string(KESTX_SAMPLES_DIR) + "/condition_filter";
  WriteSampleConditionFilter(File("written"));
  EXPECT_EQ(FilesUnder(File("written")), FilesUnder(sample));
  std::filesystem::copy_file(sample + "/ConditionFilter.kes", Table());
  std::unique_ptr<TOwnerEntity> input(Named<TOwnerEntity>("vstup"));
  Dialog(kSampleFilterColumns);
  dialog->SetInput(input.get());
  dialog->LayerDescription = "LIN=*.BLK";
  dialog->DataDirectory = sample;
  std::string grid;
  std::vector<int> widths;
  Run([&](platform::Form& form) {
    grid = Grid(form);
    widths = {StringGrid(form, "SG").ColWidth(0), StringGrid(form, "SG").ColWidth(1), form.GetBounds().Width};
    platform::UserClick(form, "b_OK");
  });
  EXPECT_EQ(grid, "DRUH|BARVA / 6|2 / 8|4");
  EXPECT_EQ(widths, (std::vector<int>{80, 90, 420}));
  EXPECT_EQ(dialog->Condition, "@CONDITION=((DRUH=6)AND(BARVA=2))OR((DRUH=8)AND(BARVA=4))");
  auto* model = DynamicCast<TEntity>(dialog->GetData());
  ASSERT_NE(model, nullptr);
  ASSERT_EQ(input->GetCount(), 1);
  EXPECT_EQ(input->GetElement(0), model);
  ASSERT_EQ(model->GetCount(), 1) << "one layer";
  auto* layer = DynamicCast<TInterpretLayer>(model->GetElement(0));
  ASSERT_NE(layer, nullptr);
  ASSERT_EQ(layer->GetCount(), 1);
  std::vector<int> numbers;
  for (TElement* line : static_cast<TEntity*>(layer->GetElement(0))->Children())
    numbers.push_back(line->GetPropertyInteger("Cislo"));
  EXPECT_EQ(numbers, (std::vector<int>{2, 4})) << "the lines of the rows' kinds and colours";
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
}

TEST_F(ConditionFilterTest, AProgramsThreadHasTheDialogShownOnTheUserInterfaceThread) {
  Dialog("DRUH");
  std::thread::id shownOn;
  platform::SetModalAnswerer([&](platform::Form& form) {
    shownOn = std::this_thread::get_id();
    platform::UserClick(form, "b_OK");
  });
  std::atomic<bool> done = false;
  std::thread program([&] {
    dialog->DoIt();
    done = true;
  });
  while (!done) platform::Application::Instance().RunPendingTasks();
  program.join();
  platform::SetModalAnswerer(nullptr);
  EXPECT_EQ(shownOn, std::this_thread::get_id());
  EXPECT_EQ(dialog->Condition, "@CONDITION=");
}

TEST_F(ConditionFilterTest, Screenshot) {
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  Dialog("DRUH, BARVA");
  bool saved = false;
  Run([&](platform::Form& form) {
    Type(form, {{"12", "zelená"}, {"3", "12a"}});
    saved = form.SaveImage(KESTX_SCREENSHOTS_DIR "/condition_filter.png");
  });
  EXPECT_TRUE(saved);
}

}  // namespace
