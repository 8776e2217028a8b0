#pragma once
// A watch window: a grid of command-line expressions and their values,
// evaluated again after every run of its console, on the explorer's
// selection, and on a double click.
#include <functional>
#include <memory>

#include "framework/forms/base_forms.h"
#include "render/tool_forms/element_watch.h"

class TCommandLine;

class TWatchForm : public TKESTUForm, public TElementWatch {
  KESTX_CLASS(TWatchForm)
 public:
  // The expression column, as wide as its header section "Property".
  static constexpr int kPropertyWidth = 200;
  // What the value column leaves free at the grid's right edge.
  static constexpr int kValueMargin = 20;

  TWatchForm();
  ~TWatchForm() override;

  TCommandLine& Interpreter() const { return *interpreter_; }
  // Every row with an expression gets the first result of running it (an
  // error's text when it fails); a row without one is cleared.
  void RefreshWatches();

  void Watch(TElement* element) override;
  void OnClosed(std::function<void()> closed) override { closed_ = std::move(closed); }

 private:
  void FitValueColumn();
  // Once the window's layout has taken its new size: the form's own resize
  // event comes before its layout has placed the grid.
  void FitValueColumnLater();

  std::unique_ptr<TCommandLine> interpreter_;
  // Tells a fit that comes later whether the window is still there.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::function<void()> closed_;
};
