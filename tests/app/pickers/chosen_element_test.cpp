#include "app/pickers/chosen_element.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "block/tables/lumar_dbf_table.h"
#include "platform/cell_grid.h"
#include "platform/dialogs.h"
#include "tests/app/pickers/selectors_fixture.h"

namespace {

// Whether this process holds the file open, by its descriptors.
bool HeldOpen(const std::string& file) {
  const std::filesystem::path target = std::filesystem::canonical(file);
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code gone;
    if (std::filesystem::read_symlink(entry.path(), gone) == target) return true;
  }
  return false;
}

TEST(RecordWindowSizeTest, ValuesSetTheValueColumnAndFieldsTheHeightUpToTwentyRows) {
  struct Row {
    const char* name;
    std::vector<std::string> values;
    TRecordWindowSize size;
  };
  const std::string longest(450, 'x');
  const Row rows[] = {
      {"no fields", {}, {0, 120, 28}},
      {"three short values", {"ab", "abc", ""}, {30, 150, 3 * 25 + 28}},
      {"letters with diacritics count once", {"Žďár"}, {40, 160, 25 + 28}},
      {"values beyond 400 characters count 400", {longest}, {4000, 4120, 25 + 28}},
      {"19 fields", std::vector<std::string>(19, "a"), {10, 130, 19 * 25 + 28}},
      {"20 fields", std::vector<std::string>(20, "a"), {10, 130, 20 * 24 + 28}},
      {"25 fields are as high as 20", std::vector<std::string>(25, "a"), {10, 130, 20 * 24 + 28}},
  };
  for (const Row& row : rows) EXPECT_EQ(RecordWindowSize(row.values, 24), row.size) << row.name;
}

using ChosenElementTest = SelectorsTest;

TEST_F(ChosenElementTest, TheFlagsChooseTheEditorAndTheRecordWindowOfABlockObject) {
  TPolyLineElement* line = BlockLine(12);
  auto* plain = new TPolyLineElement;
  owner.AddElement(plain);
  struct Row {
    const char* name;
    TElement* element;
    bool dontViewProps, dontViewDBF;
    bool editor, record;
  };
  const Row rows[] = {
      {"both shown", line, false, false, true, true},
      {"no properties", line, true, false, false, true},
      {"no record", line, false, true, true, false},
      {"neither", line, true, true, false, false},
      {"no block attributes: the editor only", plain, false, false, true, false},
  };
  for (const Row& row : rows) {
    TChoicedElementInterpret shower;
    shower.SetInput(row.element);
    shower.DontViewProps = row.dontViewProps;
    shower.DontViewDBF = row.dontViewDBF;
    shower.Left = 210;
    shower.Top = 120;
    shower.DoIt();
    const std::vector<EditorSeen> expected =
        row.editor ? std::vector<EditorSeen>{{row.element, 210, 120, true}} : std::vector<EditorSeen>{};
    EXPECT_EQ(Editors(), expected) << row.name;
    while (editorsOwner->ToolCount() > 0) editorsOwner->FreeTool(editorsOwner->GetTool(0));
    ASSERT_EQ(TF_dbfrecForm::OpenWindows().size(), row.record ? 1u : 0u) << row.name;
    if (row.record) delete TF_dbfrecForm::OpenWindows().front();
    EXPECT_EQ(owner.lines, std::vector<std::string>()) << row.name;
  }
}

TEST_F(ChosenElementTest, WithoutAMainToolNoEditorOpensAndALineSaysSo) {
  world->SetMainTool(nullptr);
  auto* plain = new TPolyLineElement;
  owner.AddElement(plain);
  TChoicedElementInterpret shower;
  shower.SetInput(plain);
  shower.DoIt();
  RunMessages();
  EXPECT_EQ(owner.lines, std::vector<std::string>{"TObjectPropertyEditor nelze otevřít bez hlavního nástroje"});
}

TEST_F(ChosenElementTest, TheRecordWindowListsTheFieldsAtItsPlaceAndFreesItselfWhenClosed) {
  TPolyLineElement* line = BlockLine(12);
  dialogs.CursorChanges.clear();
  TF_dbfrecForm* form = TF_dbfrecForm::ShowRecord(line, 230, 140);
  ASSERT_NE(form, nullptr);
  platform::Form& window = form->Window();
  std::vector<std::vector<std::string>> cells;
  ASSERT_EQ(platform::GridColumnCount(window, "StringGrid1"), 2) << "a name column and a value column";
  for (int row = 0; row < platform::GridRowCount(window, "StringGrid1"); ++row)
    cells.push_back(
        {platform::GridCell(window, "StringGrid1", row, 0), platform::GridCell(window, "StringGrid1", row, 1)});
  EXPECT_EQ(cells, (std::vector<std::vector<std::string>>{
                       {"NAZEV", "Žďárská"}, {"CISLO", "12"}, {"POPIS", "hraniční linie"}}));
  const int rowHeight = platform::GridDefaultRowHeight(window, "StringGrid1");
  const platform::Bounds bounds = window.GetBounds();
  EXPECT_EQ(std::tuple(platform::GridColumnWidth(window, "StringGrid1", 0),
                       platform::GridColumnWidth(window, "StringGrid1", 1), bounds.Left, bounds.Top, bounds.Width,
                       bounds.Height, window.Visible()),
            std::tuple(100, 140, 230, 140, 260, (rowHeight + 1) * 3 + 28, true));
  EXPECT_FALSE(static_cast<TLumarProps*>(line->Properties())->GetDBFTable()->Table().Active())
      << "the block's own table is not left open";
  EXPECT_FALSE(HeldOpen(table)) << "nor is the window's";
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(window.SaveImage(KESTX_SCREENSHOTS_DIR "/record_window.png"));

  // Asked twice before its close has run, it still ends once.
  EXPECT_TRUE(platform::UserCloseWindow(window));
  EXPECT_TRUE(platform::UserCloseWindow(window));
  RunMessages();
  EXPECT_TRUE(TF_dbfrecForm::OpenWindows().empty());
}

TEST_F(ChosenElementTest, AMissingTableOrRecordOpensNoWindowAndLogsALine) {
  TPolyLineElement* orphan = BlockLine(13);
  TLumarBlockRegister empty;
  empty.SetName(folder.File("empty"));
  TPolyLineElement* tableless = Filed<TPolyLineElement, TLumarLineProps>(empty, 12, 1);
  std::filesystem::create_directories(folder.File("broken"));
  TLumarBlockRegister broken;
  broken.SetName(folder.File("broken"));
  {
    std::ofstream bytes(folder.File("broken/L0001.DBF"), std::ios::binary);
    bytes << "no table at all";
  }
  TPolyLineElement* unreadable = Filed<TPolyLineElement, TLumarLineProps>(broken, 12, 1);
  struct Row {
    const char* name;
    TElement* element;
    std::string line;
  };
  const Row rows[] = {
      {"no record of that number", orphan, "Není nalezen záznam c.13 v tabulce " + table},
      {"no table in the block", tableless, "Není nalezen záznam c.12 v tabulce " + folder.File("empty/L0001.DBF")},
      {"a file that is no table", unreadable, "Cannot open table " + folder.File("broken/L0001.DBF")},
  };
  for (const Row& row : rows) {
    owner.lines.clear();
    dialogs.CursorChanges.clear();
    TChoicedElementInterpret shower;
    shower.SetInput(row.element);
    shower.DontViewProps = true;
    shower.DoIt();
    RunMessages();
    EXPECT_TRUE(TF_dbfrecForm::OpenWindows().empty()) << row.name;
    ASSERT_EQ(owner.lines.size(), 1u) << row.name;
    EXPECT_EQ(owner.lines[0], row.line) << row.name;
    EXPECT_EQ(dialogs.CursorChanges,
              (std::vector<platform::Cursor>{platform::Cursor::HourGlass, platform::Cursor::Default}))
        << row.name << ": the hourglass while the table is read";
  }
}

}  // namespace
