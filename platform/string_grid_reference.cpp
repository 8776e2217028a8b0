#include "platform/string_grid_reference.h"

#include <QTableWidget>

#include "platform/forms.h"

namespace platform {

struct QtTable::Impl {
  QTableWidget table{1, 2};
};

QtTable::QtTable() {
  EnsureWindowSystem();
  impl_ = std::make_unique<Impl>();
}

QtTable::~QtTable() = default;

void QtTable::FillAndRefill(const std::vector<std::pair<std::string, std::string>>& rows) {
  QTableWidget& table = impl_->table;
  table.setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const auto& [name, value] = rows[static_cast<std::size_t>(row)];
    table.setItem(row, 0, new QTableWidgetItem(QString::fromStdString(name)));
    table.setItem(row, 1, new QTableWidgetItem(QString::fromStdString(value)));
  }
  table.show();
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const auto& [name, value] = rows[static_cast<std::size_t>(row)];
    table.item(row, 0)->setText(QString::fromStdString(name));
    table.item(row, 1)->setText(QString::fromStdString(value));
  }
}

bool QtTable::Shown() const { return impl_->table.isWindow() && impl_->table.isVisible(); }

std::vector<std::vector<std::string>> QtTable::Cells() const {
  const QTableWidget& table = impl_->table;
  std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(table.rowCount()));
  for (int row = 0; row < table.rowCount(); ++row)
    for (int col = 0; col < table.columnCount(); ++col) {
      const QTableWidgetItem* item = table.item(row, col);
      cells[static_cast<std::size_t>(row)].push_back(item ? item->text().toStdString() : std::string());
    }
  return cells;
}

}  // namespace platform
