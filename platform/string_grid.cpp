#include "platform/string_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableWidget>

#include <vector>

#include "platform/form_controls.h"

namespace platform {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QTableWidget& TableOf(const Form& form, const std::string& control) {
  auto* table = qobject_cast<QTableWidget*>(&FormControl(form, control));
  if (table == nullptr) throw EFormLayoutError("Control " + control + " of the form " + form.LayoutName() + " is no grid");
  return *table;
}

int FixedRowsOf(const QTableWidget& table) { return table.horizontalHeader()->isHidden() ? 0 : 1; }

// Moves the cells of a table row (table rows, without the fixed one).
void MoveTableRow(QTableWidget& table, int from, int to) {
  const int rows = table.rowCount();
  if (from < 0 || to < 0 || from >= rows || to >= rows || from == to) return;
  std::vector<QTableWidgetItem*> moved;
  for (int col = 0; col < table.columnCount(); ++col) moved.push_back(table.takeItem(from, col));
  const int step = from < to ? 1 : -1;
  for (int row = from; row != to; row += step)
    for (int col = 0; col < table.columnCount(); ++col) table.setItem(row, col, table.takeItem(row + step, col));
  for (int col = 0; col < table.columnCount(); ++col)
    if (moved[static_cast<std::size_t>(col)] != nullptr) table.setItem(to, col, moved[static_cast<std::size_t>(col)]);
}

// What the user does at one grid, handed to the handlers its form's code
// set.  It lives as a child of the grid, found again by its name, so that
// grid handles need no state of their own.
class GridEvents : public QObject {
 public:
  static constexpr const char* kName = "kestx_grid_events";

  static GridEvents& Of(QTableWidget& table) {
    if (auto* events = table.findChild<GridEvents*>(kName, Qt::FindDirectChildrenOnly)) return *events;
    return *new GridEvents(table);
  }

  std::function<void(MouseAction, const MouseInput&)> mouse;
  std::function<void()> doubleClick;
  std::function<void(std::uint16_t, std::uint8_t)> keyDown;
  std::function<bool(int, int)> selectCell;
  std::function<void(int)> columnResized;

 private:
  explicit GridEvents(QTableWidget& table) : QObject(&table), table_(table), cells_(table.viewport()) {
    setObjectName(kName);
    // The layout lets rows move with a property of its own: the row header's
    // sections are dragged.
    if (table.property("rowMoving").toBool()) table.verticalHeader()->setSectionsMovable(true);
    table.installEventFilter(this);
    table.viewport()->installEventFilter(this);
    QObject::connect(&table, &QTableWidget::currentCellChanged, this,
                     [this](int row, int col, int oldRow, int oldCol) { CurrentChanged(row, col, oldRow, oldCol); });
    QObject::connect(table.horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int) {
      if (columnResized) RunGuarded([&] { columnResized(col); });
    });
    // A dragged row header moves the row's cells: the grid's rows keep their
    // order on screen and in the cells alike.
    QObject::connect(table.verticalHeader(), &QHeaderView::sectionMoved, this,
                     [this](int, int from, int to) { RowDragged(from, to); });
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    // Events also come while the grid is being destroyed: they are told
    // apart by address alone.
    if (watched == cells_) {
      // Keys reach the cells' area only from a cell's editor, on their way
      // up to the grid.
      if (event->type() == QEvent::KeyPress) {
        editorKey_ = event;
        return false;
      }
      MouseAction action;
      MouseInput input;
      if (!MouseOfEvent(*event, action, input)) return false;
      if (mouse) RunGuarded([&] { mouse(action, input); });
      if (event->type() == QEvent::MouseButtonDblClick && doubleClick) RunGuarded(doubleClick);
      return false;
    }
    std::uint16_t key = 0;
    std::uint8_t shift = 0;
    if (watched != &table_ || event->type() != QEvent::KeyPress) return false;
    const bool fromEditor = event == editorKey_;
    editorKey_ = nullptr;
    if (!keyDown || !KeyOfEvent(*event, key, shift)) return false;
    // A key the cell's editor leaves to the grid (Enter, Down) ends or leaves
    // the edit: the handler reads the cell, so the editor's text goes into it
    // first (the grid's own hand-over comes later, on a queued call).
    if (fromEditor) CommitOpenEditor();
    RunGuarded([&] { keyDown(key, shift); });
    return false;
  }

  void CommitOpenEditor() {
    QWidget* editor = table_.indexWidget(table_.currentIndex());
    if (editor != nullptr)
      QMetaObject::invokeMethod(&table_, "commitData", Qt::DirectConnection, Q_ARG(QWidget*, editor));
  }

  void CurrentChanged(int row, int col, int oldRow, int oldCol) {
    if (reverting_ || !selectCell || row < 0 || col < 0) return;
    bool accepted = true;
    const int fixed = FixedRowsOf(table_);
    RunGuarded([&] { accepted = selectCell(col, row + fixed); });
    if (accepted) return;
    reverting_ = true;
    table_.setCurrentCell(oldRow, oldCol);
    reverting_ = false;
  }

  void RowDragged(int from, int to) {
    QHeaderView& header = *table_.verticalHeader();
    const bool blocked = header.blockSignals(true);
    header.moveSection(to, from);
    header.blockSignals(blocked);
    MoveTableRow(table_, from, to);
  }

  QTableWidget& table_;
  const QObject* cells_;
  const QEvent* editorKey_ = nullptr;
  bool reverting_ = false;
};

}  // namespace
StringGrid::StringGrid(Form& form, const std::string& control)
    : control_(control), table_(&TableOf(form, control)) {
  GridEvents::Of(*table_);
}

int StringGrid::ColCount() const { return table_->columnCount(); }

void StringGrid::SetColCount(int count) { table_->setColumnCount(std::max(count, 0)); }

int StringGrid::FixedRows() const { return FixedRowsOf(*table_); }

int StringGrid::RowCount() const {
  const QTableWidget& table = *table_;
  return table.rowCount() + FixedRowsOf(table);
}

void StringGrid::SetRowCount(int count) {
  QTableWidget& table = *table_;
  table.setRowCount(std::max(count - FixedRowsOf(table), 0));
}

void StringGrid::AppendRow() {
  QTableWidget& table = *table_;
  table.insertRow(table.rowCount());
}

void StringGrid::MoveRow(int from, int to) {
  QTableWidget& table = *table_;
  const int fixed = FixedRowsOf(table);
  MoveTableRow(table, from - fixed, to - fixed);
}

std::string StringGrid::Cell(int col, int row) const {
  const QTableWidget& table = *table_;
  const int fixed = FixedRowsOf(table);
  if (col < 0 || col >= table.columnCount()) return {};
  const QTableWidgetItem* item = row < fixed ? table.horizontalHeaderItem(col) : table.item(row - fixed, col);
  return row >= 0 && item != nullptr ? item->text().toStdString() : std::string();
}

void StringGrid::SetCell(int col, int row, const std::string& text) {
  QTableWidget& table = *table_;
  const int fixed = FixedRowsOf(table);
  if (col < 0 || col >= table.columnCount() || row < 0 || row >= table.rowCount() + fixed)
    throw EFormLayoutError("Grid " + control_ + " has no cell " + std::to_string(col) + ", " + std::to_string(row));
  if (row < fixed) {
    table.setHorizontalHeaderItem(col, new QTableWidgetItem(Q(text)));
  } else if (QTableWidgetItem* item = table.item(row - fixed, col)) {
    item->setText(Q(text));
  } else {
    table.setItem(row - fixed, col, new QTableWidgetItem(Q(text)));
  }
}

int StringGrid::ColWidth(int col) const { return table_->columnWidth(col); }

void StringGrid::SetColWidth(int col, int width) { table_->setColumnWidth(col, std::max(width, 0)); }

int StringGrid::ClientWidth() const { return table_->viewport()->width(); }

int StringGrid::Col() const { return table_->currentColumn(); }

int StringGrid::Row() const {
  const QTableWidget& table = *table_;
  const int row = table.currentRow();
  return row < 0 ? -1 : row + FixedRowsOf(table);
}

void StringGrid::SetCurrentCell(int col, int row) {
  QTableWidget& table = *table_;
  table.setCurrentCell(row - FixedRowsOf(table), col);
}

bool StringGrid::MouseToCell(int x, int y, int& col, int& row) const {
  const QTableWidget& table = *table_;
  col = table.columnAt(x);
  row = table.rowAt(y);
  if (col < 0 || row < 0) {
    col = row = -1;
    return false;
  }
  row += FixedRowsOf(table);
  return true;
}

Bounds StringGrid::CellRect(int col, int row) const {
  const QTableWidget& table = *table_;
  const int tableRow = row - FixedRowsOf(table);
  return {table.columnViewportPosition(col), table.rowViewportPosition(tableRow), table.columnWidth(col),
          table.rowHeight(tableRow)};
}

void StringGrid::OnMouse(std::function<void(MouseAction, const MouseInput&)> handler) {
  GridEvents::Of(*table_).mouse = std::move(handler);
}

void StringGrid::OnDoubleClick(std::function<void()> handler) {
  GridEvents::Of(*table_).doubleClick = std::move(handler);
}

void StringGrid::OnKeyDown(std::function<void(std::uint16_t, std::uint8_t)> handler) {
  GridEvents::Of(*table_).keyDown = std::move(handler);
}

void StringGrid::OnSelectCell(std::function<bool(int, int)> handler) {
  GridEvents::Of(*table_).selectCell = std::move(handler);
}

void StringGrid::OnColumnResized(std::function<void(int)> handler) {
  GridEvents::Of(*table_).columnResized = std::move(handler);
}

// ---------------------------------------------------------------- the user

void UserGridMouse(Form& form, const std::string& grid, MouseAction action, const MouseInput& input) {
  SendUserMouse(*TableOf(form, grid).viewport(), action, input);
}

void UserGridDoubleClick(Form& form, const std::string& grid, int x, int y) {
  QWidget& cells = *TableOf(form, grid).viewport();
  MouseInput input;
  input.X = x;
  input.Y = y;
  // The window system's order: press, release, the double click's press, release.
  for (const std::uint8_t shift : {std::uint8_t{0}, std::uint8_t{64}}) {
    input.Shift = shift | 8;
    SendUserMouse(cells, MouseAction::Down, input);
    input.Shift = shift;
    SendUserMouse(cells, MouseAction::Up, input);
  }
}

void UserGridKey(Form& form, const std::string& grid, std::uint16_t key, std::uint8_t shift) {
  SendUserKey(TableOf(form, grid), key, shift);
}

void UserGridEditCell(Form& form, const std::string& grid, int col, int row, const std::string& text,
                      std::uint16_t endKey) {
  QTableWidget& table = TableOf(form, grid);
  const int tableRow = row - FixedRowsOf(table);
  if (col < 0 || col >= table.columnCount() || tableRow < 0 || tableRow >= table.rowCount())
    throw EFormLayoutError("Grid " + grid + " has no cell " + std::to_string(col) + ", " + std::to_string(row));
  if (table.editTriggers() == QAbstractItemView::NoEditTriggers)
    throw EFormLayoutError("Grid " + grid + " does not edit its cells");
  table.setCurrentCell(tableRow, col);
  QTableWidgetItem* item = table.item(tableRow, col);
  if (item == nullptr) table.setItem(tableRow, col, item = new QTableWidgetItem);
  table.editItem(item);
  QLineEdit* editor = nullptr;
  for (QLineEdit* open : table.viewport()->findChildren<QLineEdit*>())
    if (!open->isHidden()) editor = open;
  if (editor == nullptr) throw EFormLayoutError("Grid " + grid + " opened no editor");
  editor->setText(Q(text));
  if (endKey != 0) SendUserKey(*editor, endKey, 0);
  // The editor hands its text over on a queued call, as the window system's
  // loop would deliver it next.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void UserGridResizeColumn(Form& form, const std::string& grid, int col, int width) {
  TableOf(form, grid).horizontalHeader()->resizeSection(col, width);
}

void UserGridMoveRow(Form& form, const std::string& grid, int from, int to) {
  QTableWidget& table = TableOf(form, grid);
  GridEvents::Of(table);
  const int fixed = FixedRowsOf(table);
  QHeaderView& header = *table.verticalHeader();
  if (!header.sectionsMovable()) throw EFormLayoutError("Grid " + grid + " does not move its rows");
  header.moveSection(header.visualIndex(from - fixed), header.visualIndex(to - fixed));
}

}  // namespace platform
