// The grids of a form: one column of texts, a current row.
#include "platform/forms.h"

#include <string>
#include <vector>

#include <QTableWidget>

#include "platform/form_impl.h"

namespace platform {

std::vector<std::string> Form::GridRows(const std::string& control) const {
  const auto& grid = impl_->Expect<QTableWidget>(control, "grid");
  std::vector<std::string> rows;
  for (int row = 0; row < grid.rowCount(); ++row) {
    const QTableWidgetItem* cell = grid.item(row, 0);
    rows.push_back(cell ? S(cell->text()) : std::string());
  }
  return rows;
}

void Form::SetGridRows(const std::string& control, const std::vector<std::string>& rows) {
  auto& grid = impl_->Expect<QTableWidget>(control, "grid");
  const int current = grid.currentRow();
  grid.setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < grid.rowCount(); ++row) {
    QTableWidgetItem* cell = grid.item(row, 0);
    if (cell == nullptr) grid.setItem(row, 0, cell = new QTableWidgetItem);
    cell->setText(Q(rows[static_cast<std::size_t>(row)]));
  }
  if (current >= grid.rowCount()) grid.setCurrentCell(grid.rowCount() - 1, 0);
}

int Form::CurrentRow(const std::string& control) const {
  return impl_->Expect<QTableWidget>(control, "grid").currentRow();
}

void Form::SetCurrentRow(const std::string& control, int row) {
  impl_->Expect<QTableWidget>(control, "grid").setCurrentCell(row, 0);
}

void UserEditCell(Form& form, const std::string& control, int row, const std::string& text) {
  auto& grid = form.impl().Expect<QTableWidget>(control, "grid");
  if (row < 0 || row >= grid.rowCount()) throw EFormLayoutError("Grid " + control + " has no row " + std::to_string(row));
  grid.setCurrentCell(row, 0);
  QTableWidgetItem* cell = grid.item(row, 0);
  if (cell == nullptr) grid.setItem(row, 0, cell = new QTableWidgetItem);
  cell->setText(Q(text));
}

}  // namespace platform
