// Grids of text cells and page controls, driven through the window system's
// own events as a person would drive them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/string_grid.h"
#include "platform/string_grid_reference.h"
#include "platform/tab_pages.h"

namespace platform {
namespace {

// Every cell of the grid, row by row, "|" between columns.
std::vector<std::string> Rows(const StringGrid& grid) {
  std::vector<std::string> rows;
  for (int row = 0; row < grid.RowCount(); ++row) {
    std::string text;
    for (int col = 0; col < grid.ColCount(); ++col) text += (col ? "|" : "") + grid.Cell(col, row);
    rows.push_back(text);
  }
  return rows;
}

void Fill(StringGrid& grid, const std::vector<std::vector<std::string>>& rows) {
  grid.SetRowCount(static_cast<int>(rows.size()));
  for (std::size_t row = 0; row < rows.size(); ++row)
    for (std::size_t col = 0; col < rows[row].size(); ++col)
      grid.SetCell(static_cast<int>(col), static_cast<int>(row), rows[row][col]);
}

TEST(StringGrid, TheShownHeaderIsTheFixedRowZero) {
  struct Row {
    const char* name;
    const char* control;
    int fixed;
  };
  const Row rows[] = {{"no header, no fixed row", "sg_Plain", 0}, {"a header is row 0", "sg_Header", 1}};
  Form form("TTestGridForm");
  for (const Row& row : rows) {
    StringGrid grid(form, row.control);
    EXPECT_EQ(grid.FixedRows(), row.fixed) << row.name;
    Fill(grid, {{"a", "b"}, {"c", "d"}, {"e", "f"}});
    EXPECT_EQ(grid.RowCount(), 3) << row.name;
    EXPECT_EQ(Rows(grid), (std::vector<std::string>{"a|b", "c|d", "e|f"})) << row.name;
    grid.SetRowCount(0);
    EXPECT_EQ(grid.RowCount(), row.fixed) << row.name << ": the fixed row stays";
    grid.AppendRow();
    EXPECT_EQ(grid.Cell(1, row.fixed), "") << row.name << ": an appended row is empty";
    EXPECT_EQ(grid.Cell(5, 0), "") << row.name << ": outside reads empty";
    EXPECT_EQ(grid.Cell(0, -1), "") << row.name << ": outside reads empty";
    EXPECT_THROW(grid.SetCell(0, row.fixed + 1, "x"), EFormLayoutError) << row.name;
    EXPECT_THROW(grid.SetCell(2, 0, "x"), EFormLayoutError) << row.name;
  }
}

TEST(StringGrid, RowsMoveByProgramAndByDraggingTheirHeader) {
  struct Row {
    const char* name;
    bool byUser;
    int from, to;
    std::vector<std::string> rows;
  };
  const Row rows[] = {
      {"down by program", false, 1, 3, {"H|h", "c|d", "e|f", "a|b"}},
      {"up by program", false, 3, 1, {"H|h", "e|f", "a|b", "c|d"}},
      {"in place", false, 2, 2, {"H|h", "a|b", "c|d", "e|f"}},
      {"down by the user", true, 1, 2, {"H|h", "c|d", "a|b", "e|f"}},
      {"up by the user", true, 3, 1, {"H|h", "e|f", "a|b", "c|d"}},
  };
  Form form("TTestGridForm");
  StringGrid grid(form, "sg_Header");
  for (const Row& row : rows) {
    Fill(grid, {{"H", "h"}, {"a", "b"}, {"c", "d"}, {"e", "f"}});
    if (row.byUser) UserGridMoveRow(form, "sg_Header", row.from, row.to);
    else grid.MoveRow(row.from, row.to);
    EXPECT_EQ(Rows(grid), row.rows) << row.name;
  }
  EXPECT_THROW(UserGridMoveRow(form, "sg_Plain", 0, 0), EFormLayoutError) << "a layout without row moving";
}

TEST(StringGrid, MouseAndDoubleClicksReachTheHandlersInTheWindowSystemsOrder) {
  Form form("TTestGridForm");
  form.SetBounds({0, 0, 400, 300});
  form.Show();
  StringGrid grid(form, "sg_Plain");
  Fill(grid, {{"a", "b"}, {"c", "d"}});
  std::vector<std::string> events;
  grid.OnMouse([&](MouseAction action, const MouseInput& input) {
    int col = 0, row = 0;
    grid.MouseToCell(input.X, input.Y, col, row);
    const char* name = action == MouseAction::Down ? "down" : action == MouseAction::Up ? "up" : "move";
    events.push_back(std::string(name) + (input.Shift & 64 ? " double" : "") + " " + std::to_string(col) + "," +
                     std::to_string(row));
  });
  grid.OnDoubleClick([&] { events.push_back("double click"); });
  const Bounds cell = grid.CellRect(1, 1);
  UserGridDoubleClick(form, "sg_Plain", cell.Left + 2, cell.Top + 2);
  EXPECT_EQ(events, (std::vector<std::string>{"down 1,1", "up 1,1", "down double 1,1", "double click", "up 1,1"}));
  // A single press, a move with the left button held and the release over
  // another cell, each as the hand makes it.
  events.clear();
  const Bounds other = grid.CellRect(0, 1);
  for (const auto& [action, shift] : {std::pair{MouseAction::Down, 8}, {MouseAction::Move, 8}, {MouseAction::Up, 0}})
    UserGridMouse(form, "sg_Plain", action, {0, std::uint8_t(shift), other.Left + 2, other.Top + 2});
  EXPECT_EQ(events, (std::vector<std::string>{"down 0,1", "move 0,1", "up 0,1"}));
  int col = 0, row = 0;
  EXPECT_FALSE(grid.MouseToCell(cell.Left + 2, cell.Top + cell.Height * 5, col, row)) << "below the last row";
  EXPECT_EQ(col, -1);
  EXPECT_EQ(row, -1);
}

TEST(StringGrid, KeysReachTheHandlerBeforeTheGridActs) {
  Form form("TTestGridForm");
  form.Show();
  StringGrid grid(form, "sg_Header");
  Fill(grid, {{"A", "B"}, {"1", "2"}});
  std::vector<int> keys;
  // Down in the last row adds a row first, which the grid then moves into.
  grid.OnKeyDown([&](std::uint16_t key, std::uint8_t) {
    keys.push_back(key);
    if (key == vkDown && grid.Row() == grid.RowCount() - 1) grid.AppendRow();
  });
  grid.SetCurrentCell(0, 1);
  UserGridKey(form, "sg_Header", vkDown);
  UserGridKey(form, "sg_Header", vkReturn);
  EXPECT_EQ(keys, (std::vector<int>{vkDown, vkReturn}));
  EXPECT_EQ(grid.RowCount(), 3);
  EXPECT_EQ(grid.Row(), 2) << "the grid moved into the new row";
}

// Enter or Down pressed in a cell's editor ends the edit: the handler gets
// the key once, with the typed text already in the cell and the grid not yet
// moved; a key the editor keeps for itself, or an editor still open, gives
// the handler nothing.
TEST(StringGrid, AKeyThatEndsACellsEditReachesTheHandlerWithTheTextInTheCell) {
  struct Row {
    const char* name;
    int row;             // edited, in column 1 of a grid of two data rows
    std::uint16_t key;   // pressed in the editor; 0: none
    std::vector<std::string> seen;  // key, current row and the edited cell, when the handler ran
    int rows, current;   // afterwards
  };
  const Row rows[] = {
      {"Enter in the last row", 2, vkReturn, {"13 2 x"}, 3, 2},
      {"Down in the last row: a row added and moved into", 2, vkDown, {"40 2 x"}, 4, 3},
      {"Down above the last row: seen before the grid moves", 1, vkDown, {"40 1 x"}, 3, 2},
      {"Enter above the last row", 1, vkReturn, {"13 1 x"}, 3, 1},
      {"a key the editor keeps", 2, vkLeft, {}, 3, 2},
      {"the editor left open", 2, 0, {}, 3, 2},
  };
  Form form("TTestGridForm");
  form.Show();
  StringGrid grid(form, "sg_Header");
  for (const Row& row : rows) {
    Fill(grid, {{"A", "B"}, {"1", "2"}, {"3", "4"}});
    std::vector<std::string> seen;
    int edited = row.row;
    grid.OnKeyDown([&](std::uint16_t key, std::uint8_t) {
      seen.push_back(std::to_string(key) + " " + std::to_string(grid.Row()) + " " + grid.Cell(1, edited));
      if (key == vkDown && grid.Row() == grid.RowCount() - 1) grid.AppendRow();
    });
    UserGridEditCell(form, "sg_Header", 1, row.row, "x", row.key);
    EXPECT_EQ(seen, row.seen) << row.name;
    EXPECT_EQ(std::pair(grid.RowCount(), grid.Row()), std::pair(row.rows, row.current)) << row.name;
    grid.OnKeyDown(nullptr);
    grid.SetCurrentCell(0, 1);  // ends an editor left open
  }
}

TEST(StringGrid, CellsEditInPlaceOnlyWhereTheLayoutLetsThem) {
  struct Row {
    const char* name;
    const char* control;
    int col, row;
    const char* text;
    std::vector<std::string> rows;
  };
  const Row rows[] = {
      {"a grid without header", "sg_Plain", 1, 0, "nový", {"a|nový", "c|d"}},
      {"a data row under a header", "sg_Header", 0, 1, "x y", {"a|b", "x y|d"}},
      {"emptied", "sg_Header", 1, 1, "", {"a|b", "c|"}},
  };
  Form form("TTestGridForm");
  form.Show();
  for (const Row& row : rows) {
    StringGrid grid(form, row.control);
    Fill(grid, {{"a", "b"}, {"c", "d"}});
    UserGridEditCell(form, row.control, row.col, row.row, row.text);
    EXPECT_EQ(Rows(grid), row.rows) << row.name;
  }
  EXPECT_THROW(UserGridEditCell(form, "sg_Header", 0, 0, "x"), EFormLayoutError) << "the fixed row";
  EXPECT_THROW(UserGridEditCell(form, "sg_Plain", 0, 9, "x"), EFormLayoutError) << "no such row";
}

TEST(StringGrid, ARefusedCellKeepsTheCurrentOne) {
  Form form("TTestGridForm");
  StringGrid grid(form, "sg_Header");
  Fill(grid, {{"A", "B"}, {"1", "2"}, {"3", "4"}});
  std::vector<std::string> asked;
  grid.OnSelectCell([&](int col, int row) {
    asked.push_back(std::to_string(col) + "," + std::to_string(row));
    return col > 0;
  });
  grid.SetCurrentCell(1, 1);
  grid.SetCurrentCell(0, 2);
  EXPECT_EQ(asked, (std::vector<std::string>{"1,1", "0,2"})) << "rows counted with the fixed one";
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 1);
}

TEST(StringGrid, ColumnsSizedByTheUserReachTheHandler) {
  Form form("TTestGridForm");
  StringGrid grid(form, "sg_Plain");
  std::vector<int> resized;
  grid.OnColumnResized([&](int col) { resized.push_back(col); });
  UserGridResizeColumn(form, "sg_Plain", 1, 77);
  EXPECT_EQ(resized, std::vector<int>{1});
  EXPECT_EQ(grid.ColWidth(1), 77);
  grid.SetColWidth(0, -5);
  EXPECT_EQ(grid.ColWidth(0), 0) << "no negative width";
}

TEST(TabPages, CaptionsVisibilityAndTheActivePage) {
  Form form("TTestGridForm");
  TabPages pages(form, "pc_Pages");
  std::vector<int> changes;
  pages.OnChange([&] { changes.push_back(pages.ActivePage()); });
  EXPECT_EQ(pages.PageCount(), 3);
  EXPECT_EQ(pages.PageName(1), "ts_Header");
  EXPECT_EQ(pages.PageCaption(2), "Třetí");
  pages.SetPageCaption(0, "TOwnerEntity");
  EXPECT_EQ(pages.PageCaption(0), "TOwnerEntity");
  EXPECT_EQ(pages.ActivePage(), 0);
  pages.SetPageVisible(0, false);
  EXPECT_FALSE(pages.PageVisible(0));
  EXPECT_EQ(pages.ActivePage(), 1) << "hiding the active page activates a shown one";
  pages.SetActivePage(0);
  EXPECT_EQ(pages.ActivePage(), 1) << "a hidden page cannot become active";
  UserChooseTab(form, "pc_Pages", 2);
  EXPECT_EQ(changes, (std::vector<int>{1, 2}));
  EXPECT_THROW(UserChooseTab(form, "pc_Pages", 0), EFormLayoutError) << "a hidden tab cannot be clicked";
  EXPECT_THROW(pages.PageCaption(3), EFormLayoutError);
  EXPECT_THROW(TabPages(form, "sg_Plain"), EFormLayoutError);
  EXPECT_THROW(StringGrid(form, "pc_Pages"), EFormLayoutError);
}

// A page index outside the control's three pages is a layout error for every
// operation, reading or changing, and changes nothing.
TEST(TabPages, EveryOperationRefusesAPageTheControlLacks) {
  Form form("TTestGridForm");
  TabPages pages(form, "pc_Pages");
  const struct {
    const char* name;
    std::function<void(int page)> use;
  } rows[] = {
      {"PageName", [&](int page) { pages.PageName(page); }},
      {"PageCaption", [&](int page) { pages.PageCaption(page); }},
      {"SetPageCaption", [&](int page) { pages.SetPageCaption(page, "x"); }},
      {"PageVisible", [&](int page) { pages.PageVisible(page); }},
      {"SetPageVisible", [&](int page) { pages.SetPageVisible(page, false); }},
      {"SetActivePage", [&](int page) { pages.SetActivePage(page); }},
      {"UserChooseTab", [&](int page) { UserChooseTab(form, "pc_Pages", page); }},
  };
  // The refusal names the page the control lacks, not a page without a tab.
  for (const auto& row : rows)
    for (const int page : {-1, 3}) {
      EXPECT_THROW(row.use(page), EFormLayoutError) << row.name << " " << page;
      try {
        row.use(page);
      } catch (const EFormLayoutError& error) {
        EXPECT_EQ(std::string(error.what()), "Page control pc_Pages has no page " + std::to_string(page))
            << row.name;
      }
    }
  EXPECT_EQ(pages.ActivePage(), 0);
  for (int page = 0; page < 3; ++page) EXPECT_TRUE(pages.PageVisible(page)) << page;
}

// The yardstick the property editor is timed against fills what the editor
// fills: a shown table of two columns, one row per name and value.
TEST(QtTableYardstick, HoldsEveryPairInTheTwoColumnsOfAShownTable) {
  const std::vector<std::pair<std::string, std::string>> pairs{{"Name", "Porost 1"}, {"ID", "-1"}, {"Výměra", "12,5"}};
  QtTable yardstick;
  yardstick.FillAndRefill(pairs);
  EXPECT_TRUE(yardstick.Shown());
  EXPECT_EQ(yardstick.Cells(), (std::vector<std::vector<std::string>>{
                                   {"Name", "Porost 1"}, {"ID", "-1"}, {"Výměra", "12,5"}}));
}

}  // namespace
}  // namespace platform
