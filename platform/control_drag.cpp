#include "platform/control_drag.h"

#include <cstdlib>

#include <QMouseEvent>
#include <QPointer>
#include <QtTest/QTest>

#include "platform/app_queue.h"
#include "platform/form_access.h"
#include "platform/screen_cursors.h"

namespace platform {
namespace {

constexpr int kDefaultDragCursor = -12;
constexpr const char* kWatcherName = "kestx_control_drag";

// Watches the mouse over one control and runs its drags.
class DragWatcher : public QObject {
 public:
  DragWatcher(QWidget& control, DragHandler handler) : QObject(&control), control_(&control), handler_(std::move(handler)) {
    setObjectName(kWatcherName);
    control.installEventFilter(this);
  }

  void Begin(int threshold) {
    if (state_ != State::Idle) return;
    state_ = State::Begun;
    threshold_ = threshold;
    origin_ = last_;
  }
  bool Dragging() const { return state_ == State::Dragging; }
  int Cursor() const { return cursor_; }
  void SetCursor(int cursor) {
    cursor_ = cursor;
    if (Dragging()) control_->setCursor(ScreenCursorShape(cursor_));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != control_.data()) return false;
    switch (event->type()) {
      case QEvent::MouseButtonPress: last_ = PointOf(event); return false;
      case QEvent::MouseMove: return Moved(PointOf(event));
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return Dragging();
        return Released(PointOf(event));
      default: return false;
    }
  }

 private:
  enum class State { Idle, Begun, Dragging };

  static QPoint PointOf(QEvent* event) { return static_cast<QMouseEvent*>(event)->position().toPoint(); }

  void Report(DragAction action, QPoint at) {
    try {
      handler_(action, at.x(), at.y());
    } catch (...) {
      Application::Instance().ReportException(std::current_exception());
    }
  }

  bool Moved(QPoint at) {
    if (state_ == State::Dragging) {
      overSeen_ = true;
      Report(DragAction::Over, at);
      return true;
    }
    last_ = at;
    if (state_ != State::Begun) return false;
    const QPoint moved = at - origin_;
    if (std::abs(moved.x()) <= threshold_ && std::abs(moved.y()) <= threshold_) return false;
    state_ = State::Dragging;
    overSeen_ = false;
    control_->setCursor(ScreenCursorShape(cursor_));
    Report(DragAction::Start, {});
    return true;
  }

  bool Released(QPoint at) {
    last_ = at;
    if (state_ != State::Dragging) {
      state_ = State::Idle;
      return false;
    }
    state_ = State::Idle;
    control_->unsetCursor();
    const QPointer<QWidget> control = control_;
    if (overSeen_ && control_->rect().contains(at)) Report(DragAction::Drop, at);
    // The handler may have ended the window with the control.
    if (control) Report(DragAction::End, at);
    return true;
  }

  QPointer<QWidget> control_;
  DragHandler handler_;
  State state_ = State::Idle;
  QPoint last_;
  QPoint origin_;
  int threshold_ = 0;
  bool overSeen_ = false;
  int cursor_ = kDefaultDragCursor;
};

DragWatcher* WatcherOf(const Form& form, const std::string& control) {
  return FormAccess::Control(form, control).findChild<DragWatcher*>(kWatcherName, Qt::FindDirectChildrenOnly);
}

}  // namespace

void OnControlDrag(Form& form, const std::string& control, DragHandler handler) {
  QWidget& widget = FormAccess::Control(form, control);
  delete WatcherOf(form, control);
  new DragWatcher(widget, std::move(handler));
}

void BeginControlDrag(Form& form, const std::string& control, int threshold) {
  if (DragWatcher* watcher = WatcherOf(form, control)) watcher->Begin(threshold);
}

bool ControlDragging(const Form& form, const std::string& control) {
  const DragWatcher* watcher = WatcherOf(form, control);
  return watcher && watcher->Dragging();
}

void SetControlDragCursor(Form& form, const std::string& control, int screenCursor) {
  if (DragWatcher* watcher = WatcherOf(form, control)) watcher->SetCursor(screenCursor);
}

int ControlDragCursor(const Form& form, const std::string& control) {
  const DragWatcher* watcher = WatcherOf(form, control);
  return watcher ? watcher->Cursor() : kDefaultDragCursor;
}

void UserDragControl(Form& form, const std::string& control, const std::vector<std::pair<int, int>>& path) {
  if (path.empty()) return;
  QWidget& widget = FormAccess::Control(form, control);
  const QPointer<QWidget> target(&widget);
  const auto point = [](const std::pair<int, int>& p) { return QPoint(p.first, p.second); };
  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, point(path.front()));
  for (std::size_t i = 1; i < path.size() && target; ++i) QTest::mouseMove(&widget, point(path[i]));
  if (target) QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, point(path.back()));
}

}  // namespace platform
