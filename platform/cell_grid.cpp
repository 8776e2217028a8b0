#include "platform/cell_grid.h"

#include <algorithm>

#include <QHeaderView>
#include <QTableWidget>

#include "platform/form_controls.h"
#include "platform/forms.h"

namespace platform {

namespace {

QTableWidget& Grid(const Form& form, const std::string& control) {
  auto* grid = qobject_cast<QTableWidget*>(&FormControl(form, control));
  if (grid == nullptr)
    throw EFormLayoutError("Control " + control + " of the form " + form.LayoutName() + " is no grid");
  return *grid;
}

bool Inside(const QTableWidget& grid, int row, int column) {
  return row >= 0 && row < grid.rowCount() && column >= 0 && column < grid.columnCount();
}

}  // namespace

void SetGridSize(Form& form, const std::string& control, int rows, int columns) {
  QTableWidget& grid = Grid(form, control);
  grid.setRowCount(std::max(rows, 0));
  grid.setColumnCount(std::max(columns, 0));
}

int GridRowCount(const Form& form, const std::string& control) { return Grid(form, control).rowCount(); }

int GridColumnCount(const Form& form, const std::string& control) { return Grid(form, control).columnCount(); }

std::string GridCell(const Form& form, const std::string& control, int row, int column) {
  const QTableWidget& grid = Grid(form, control);
  const QTableWidgetItem* cell = Inside(grid, row, column) ? grid.item(row, column) : nullptr;
  return cell ? cell->text().toStdString() : std::string();
}

void SetGridCell(Form& form, const std::string& control, int row, int column, const std::string& text) {
  QTableWidget& grid = Grid(form, control);
  if (!Inside(grid, row, column)) return;
  QTableWidgetItem* cell = grid.item(row, column);
  if (cell == nullptr) grid.setItem(row, column, cell = new QTableWidgetItem);
  cell->setText(QString::fromStdString(text));
}

int GridColumnWidth(const Form& form, const std::string& control, int column) {
  return Grid(form, control).columnWidth(column);
}

void SetGridColumnWidth(Form& form, const std::string& control, int column, int width) {
  Grid(form, control).setColumnWidth(column, width);
}

int GridDefaultRowHeight(const Form& form, const std::string& control) {
  return Grid(form, control).verticalHeader()->defaultSectionSize();
}

}  // namespace platform
