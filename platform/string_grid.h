#pragma once
// Grids of text cells on a form, reached by the grid control's name.  Cells
// are addressed (column, row) from 0; when the layout shows the column
// header, that header is the grid's one fixed row: row 0 reads and writes
// the header captions and the data rows count from 1.  The cells edit in
// place when the layout lets them, rows move by dragging the row header when
// its layout sets "rowMoving", and columns are sized by dragging the column
// header; what the user does reaches the handlers below.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/forms.h"

class QTableWidget;

namespace platform {

class StringGrid {
 public:
  // EFormLayoutError when the form has no grid of that name.  The handle
  // holds no state of the grid's: any number of them may stand for one grid,
  // and none outlives the form.
  StringGrid(Form& form, const std::string& control);

  int ColCount() const;
  void SetColCount(int count);
  // Rows with the fixed row; never fewer than the fixed row.
  int RowCount() const;
  void SetRowCount(int count);
  int FixedRows() const;
  // Adds an empty row at the end.
  void AppendRow();
  // Moves the row's cells to another place, the rows between shifting by
  // one; data rows only.
  void MoveRow(int from, int to);

  // Empty outside the grid.
  std::string Cell(int col, int row) const;
  // EFormLayoutError outside the grid.
  void SetCell(int col, int row, const std::string& text);

  int ColWidth(int col) const;
  void SetColWidth(int col, int width);
  // The width the cells have to show in.
  int ClientWidth() const;

  // The current cell; -1 when there is none.
  int Col() const;
  int Row() const;
  void SetCurrentCell(int col, int row);
  // The cell at a point of the cells' area; false (and -1, -1) where no
  // cell lies.
  bool MouseToCell(int x, int y, int& col, int& row) const;
  // A data cell's place in the cells' area (its pixels, as the mouse
  // reaches them).
  Bounds CellRect(int col, int row) const;

  // Mouse presses, releases and moves over the cells.
  void OnMouse(std::function<void(MouseAction, const MouseInput&)> handler);
  // A double click on the cells (after its press and release).
  void OnDoubleClick(std::function<void()> handler);
  // Keys pressed while the grid has the focus, and those a cell's editor
  // leaves to the grid (Enter, Down), before the grid acts on them; an edited
  // text is in its cell by then.
  void OnKeyDown(std::function<void(std::uint16_t key, std::uint8_t shift)> handler);
  // A cell is about to become current; false keeps the one before.
  void OnSelectCell(std::function<bool(int col, int row)> handler);
  // The user changed a column's width.
  void OnColumnResized(std::function<void(int col)> handler);

 private:
  std::string control_;
  QTableWidget* table_;
};

// The user at a grid, through the window system's own events: mouse at a
// point of the cells' area, a double click there, a key pressed in the grid,
// a text typed into a cell's editor and ended with a key pressed there
// (Enter unless told; 0 leaves the editor open), a column's border dragged,
// a row's header dragged to another row.
void UserGridMouse(Form& form, const std::string& grid, MouseAction action, const MouseInput& input);
void UserGridDoubleClick(Form& form, const std::string& grid, int x, int y);
void UserGridKey(Form& form, const std::string& grid, std::uint16_t key, std::uint8_t shift = 0);
void UserGridEditCell(Form& form, const std::string& grid, int col, int row, const std::string& text,
                      std::uint16_t endKey = vkReturn);
void UserGridResizeColumn(Form& form, const std::string& grid, int col, int width);
void UserGridMoveRow(Form& form, const std::string& grid, int from, int to);

}  // namespace platform
