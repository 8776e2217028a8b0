// A grid control as a table of text cells, and the panels of a status bar.
#include "platform/cell_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/forms.h"

namespace platform {
namespace {

TEST(CellGrid, CellsInsideTheGridKeepTheirTextsAndCellsOutsideReadEmpty) {
  Form form("TTestCellsForm");
  SetGridSize(form, "gr_Cells", 3, 2);
  struct Row {
    const char* name;
    int row, column;
    std::string written, read;
  };
  const Row rows[] = {
      {"first cell", 0, 0, "NAZEV", "NAZEV"},   {"last cell", 2, 1, "Žďár nad Sázavou", "Žďár nad Sázavou"},
      {"a row beyond the last", 3, 0, "x", ""}, {"a column beyond the last", 0, 2, "x", ""},
      {"a negative row", -1, 0, "x", ""},
  };
  for (const Row& row : rows) {
    SetGridCell(form, "gr_Cells", row.row, row.column, row.written);
    EXPECT_EQ(GridCell(form, "gr_Cells", row.row, row.column), row.read) << row.name;
  }
  EXPECT_EQ(
      std::tuple(GridRowCount(form, "gr_Cells"), GridColumnCount(form, "gr_Cells"), GridCell(form, "gr_Cells", 1, 1)),
      std::tuple(3, 2, std::string()));
}

TEST(CellGrid, ColumnsTakeTheirWidthsAndRowsTheLayoutsHeight) {
  Form form("TTestCellsForm");
  SetGridSize(form, "gr_Cells", 2, 2);
  SetGridColumnWidth(form, "gr_Cells", 0, 100);
  SetGridColumnWidth(form, "gr_Cells", 1, 370);
  EXPECT_EQ(std::tuple(GridColumnWidth(form, "gr_Cells", 0), GridColumnWidth(form, "gr_Cells", 1),
                       GridDefaultRowHeight(form, "gr_Cells")),
            std::tuple(100, 370, 21));
}

TEST(CellGrid, AControlThatIsNoGridOrNoneIsAnError) {
  Form form("TTestCellsForm");
  const char* controls[] = {"lb_Plain", "gr_Missing"};
  for (const char* control : controls) EXPECT_THROW(GridCell(form, control, 0, 0), EFormLayoutError) << control;
}

TEST(StatusPanels, EachPanelKeepsItsTextAndIndexesOutsideThePanelsAreErrors) {
  Form form("TTestCellsForm");
  const std::vector<std::string> texts = {"101", "12a3", "Žďár"};
  for (int i = 0; i < 3; ++i) form.SetPanelText("sb_Panels", i, texts[static_cast<std::size_t>(i)]);
  std::vector<std::string> read;
  for (int i = 0; i < 3; ++i) read.push_back(form.PanelText("sb_Panels", i));
  EXPECT_EQ(read, texts);
  struct Row {
    const char* name;
    const char* control;
    int index;
  };
  const Row rows[] = {
      {"below the first", "sb_Panels", -1},
      {"past the last", "sb_Panels", 3},
      {"no status bar", "lb_Plain", 0},
  };
  for (const Row& row : rows) {
    EXPECT_THROW(form.SetPanelText(row.control, row.index, "x"), EFormLayoutError) << row.name;
    EXPECT_THROW(form.PanelText(row.control, row.index), EFormLayoutError) << row.name;
  }
}

}  // namespace
}  // namespace platform
