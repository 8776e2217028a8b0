#include "app/console/watch_form.h"

#include <algorithm>
#include <exception>

#include "app/command_line/command_line.h"
#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/forms.h"
#include "platform/string_grid.h"

namespace {
constexpr char kGrid[] = "SG";
}  // namespace

TWatchForm::TWatchForm() : TKESTUForm("TWatchForm"), interpreter_(std::make_unique<TCommandLine>()) {
  // A failing row shows its error in its value cell, not in a box.
  interpreter_->ByDDE = true;
  platform::Form& window = Window();
  platform::StringGrid grid(window, kGrid);
  grid.SetColWidth(0, kPropertyWidth);
  FitValueColumnLater();
  grid.OnDoubleClick([this] { RefreshWatches(); });
  window.OnResize([this] { FitValueColumnLater(); });
  window.OnCloseQuery([this] {
    if (closed_) closed_();
    return true;
  });
}

TWatchForm::~TWatchForm() = default;

void TWatchForm::FitValueColumn() {
  platform::StringGrid grid(Window(), kGrid);
  grid.SetColWidth(1, std::max(0, grid.ClientWidth() - grid.ColWidth(0) - kValueMargin));
}

void TWatchForm::FitValueColumnLater() {
  platform::Application::Instance().Invoke([this, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.lock()) FitValueColumn();
  });
}

void TWatchForm::Watch(TElement* element) {
  interpreter_->SetActiveElement(element);
  RefreshWatches();
}

void TWatchForm::RefreshWatches() {
  platform::StringGrid grid(Window(), kGrid);
  for (int row = grid.FixedRows(); row < grid.RowCount(); ++row) {
    const std::string expression = grid.Cell(0, row);
    if (expression.empty()) {
      grid.SetCell(1, row, "");
      continue;
    }
    // One failing row shows its error; the rows after it are still evaluated.
    try {
      interpreter_->Line = expression;
      interpreter_->DoIt();
      // A failed line's error follows whatever it reported before failing.
      const auto& results = interpreter_->Results();
      grid.SetCell(1, row, interpreter_->Failed() && !results.empty() ? results.back() : interpreter_->GetFirstResult());
    } catch (const std::exception& error) {
      grid.SetCell(1, row, error.what());
    }
  }
}

TClass TWatchForm::StaticClass() {
  static const TClassInfo info = DescribeClass<TWatchForm>("TWatchForm", TKESTUForm::StaticClass(), "Watch", {});
  return &info;
}
