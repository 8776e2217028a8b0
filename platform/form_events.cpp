// The events of a form's window and controls to their handlers, and the
// events a user makes, sent as the window system sends them.
#include "platform/forms.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QList>
#include <QListWidget>
#include <QMainWindow>
#include <QMimeData>
#include <QMouseEvent>
#include <QObject>
#include <QPainter>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QString>
#include <QTextEdit>
#include <QTreeWidget>
#include <QUrl>
#include <QWidget>

#include "platform/bitmap_access.h"
#include "platform/dialogs.h"
#include "platform/form_controls.h"
#include "platform/form_impl.h"

namespace platform {

namespace {

// The shift set of the class library from Qt's modifiers and buttons.
std::uint8_t ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick = false) {
  std::uint8_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= 1;
  if (modifiers & Qt::AltModifier) shift |= 2;
  if (modifiers & Qt::ControlModifier) shift |= 4;
  if (buttons & Qt::LeftButton) shift |= 8;
  if (buttons & Qt::RightButton) shift |= 16;
  if (buttons & Qt::MiddleButton) shift |= 32;
  if (doubleClick) shift |= 64;
  return shift;
}

std::uint8_t ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton: return 1;
    case Qt::MiddleButton: return 2;
    default: return 0;
  }
}

Qt::MouseButton QtButton(std::uint8_t button) {
  switch (button) {
    case 1: return Qt::RightButton;
    case 2: return Qt::MiddleButton;
    default: return Qt::LeftButton;
  }
}

Qt::MouseButtons QtButtons(std::uint8_t shift) {
  Qt::MouseButtons buttons;
  if (shift & 8) buttons |= Qt::LeftButton;
  if (shift & 16) buttons |= Qt::RightButton;
  if (shift & 32) buttons |= Qt::MiddleButton;
  return buttons;
}

Qt::KeyboardModifiers QtModifiers(std::uint8_t shift) {
  Qt::KeyboardModifiers modifiers;
  if (shift & 1) modifiers |= Qt::ShiftModifier;
  if (shift & 2) modifiers |= Qt::AltModifier;
  if (shift & 4) modifiers |= Qt::ControlModifier;
  return modifiers;
}

constexpr std::pair<int, std::uint16_t> kKeys[] = {
    {Qt::Key_Return, vkReturn}, {Qt::Key_Enter, vkReturn}, {Qt::Key_Escape, vkEscape}, {Qt::Key_Left, vkLeft},
    {Qt::Key_Up, vkUp},         {Qt::Key_Right, vkRight},  {Qt::Key_Down, vkDown},     {Qt::Key_F1, vkF1},
    {Qt::Key_F5, vkF5},         {Qt::Key_F6, vkF6},        {Qt::Key_F9, vkF9},
    {Qt::Key_Backspace, vkBackspace}, {Qt::Key_Delete, vkDelete}, {Qt::Key_F3, vkF3},
};

std::uint16_t VirtualKeyOf(const QKeyEvent& key) {
  const int code = key.key();
  for (const auto& [qt, virtualKey] : kKeys)
    if (qt == code) return virtualKey;
  if ((code >= Qt::Key_A && code <= Qt::Key_Z) || (code >= Qt::Key_0 && code <= Qt::Key_9))
    return static_cast<std::uint16_t>(code);
  return 0;
}

int QtKey(std::uint16_t virtualKey) {
  for (const auto& [qt, key] : kKeys)
    if (key == virtualKey) return qt;
  return virtualKey;
}

}  // namespace

bool Form::Impl::eventFilter(QObject* watched, QEvent* event) {
  if (watched != root.data()) return ControlEvent(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress:
      if (keyDown) {
        const auto* key = static_cast<QKeyEvent*>(event);
        Guarded([&] { keyDown(VirtualKeyOf(*key), ShiftOf(key->modifiers(), QGuiApplication::mouseButtons())); })();
      }
      return false;
    case QEvent::Resize:
      if (resized) Guarded(resized)();
      return false;
    case QEvent::WindowDeactivate:
      if (deactivated) Guarded(deactivated)();
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
      // What a control lets pass comes up here too: only points where no
      // control lies (a main window's bare client area) are the form's own.
      const QWidget* hit = root->childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      const auto* main = qobject_cast<QMainWindow*>(root.data());
      if (hit != nullptr && (main == nullptr || hit != main->centralWidget())) return false;
      return MouseEvent(watched, event);
    }
    case QEvent::Close:
      if (!AgreesToClose()) {
        event->ignore();
        return true;
      }
      return false;
    case QEvent::Hide:
      if (timer) timer->stop();
      if (modalLoop != nullptr && modalResult == mrNone) EndModal(mrCancel);
      return false;
    case QEvent::Show:
      if (timer) timer->start();
      return false;
    case QEvent::StatusTip: {
      // Hints of the controls show in the window's status line.
      const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
      auto* status = root->findChild<QStatusBar*>("StatusBar");
      if (status && !tip.isEmpty()) StatusPanel(*status).setText(tip);
      return true;
    }
    case QEvent::DragEnter: {
      auto* drag = static_cast<QDragEnterEvent*>(event);
      if (drag->mimeData()->hasUrls()) drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      std::vector<std::string> files;
      for (const QUrl& url : drop->mimeData()->urls()) {
        if (url.isLocalFile()) files.push_back(S(url.toLocalFile()));
      }
      drop->acceptProposedAction();
      if (filesDropped && !files.empty()) filesDropped(files);
      return true;
    }
    default: return false;
  }
}

bool Form::Impl::ControlEvent(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Paint: {
      const auto image = imageBitmaps.find(watched);
      if (image == imageBitmaps.end()) return false;
      auto* widget = static_cast<QWidget*>(watched);
      QPainter painter(widget);
      painter.fillRect(widget->rect(), widget->palette().window());
      if (image->second != nullptr) painter.drawImage(0, 0, BitmapAccess::Image(*image->second));
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: return MouseEvent(watched, event);
    case QEvent::FocusOut:
      if (const auto exit = exitHandlers.find(watched); exit != exitHandlers.end()) Guarded(exit->second)();
      return false;
    case QEvent::KeyPress: {
      // Taken here, Enter does not go on to press the dialog's default button.
      const int key = static_cast<QKeyEvent*>(event)->key();
      const auto enter = enterHandlers.find(watched);
      if (enter == enterHandlers.end() || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
      Guarded(enter->second)();
      return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      const bool handled = treeDropHandlers.count(watched) || dragOverHandlers.count(watched);
      if (!handled || !static_cast<QWidget*>(watched)->acceptDrops()) return false;
      static_cast<QDragMoveEvent*>(event)->acceptProposedAction();
      if (const auto over = dragOverHandlers.find(watched); over != dragOverHandlers.end()) Guarded(over->second)();
      return true;
    }
    case QEvent::Drop: {
      if (!treeDropHandlers.count(watched) || !static_cast<QWidget*>(watched)->acceptDrops()) return false;
      auto* drop = static_cast<QDropEvent*>(event);
      if (TreeNodeDropped(watched, drop->source())) drop->acceptProposedAction();
      else drop->ignore();
      return true;
    }
    default: return false;
  }
}

bool Form::Impl::MouseEvent(QObject* watched, QEvent* event) {
  const auto handler = mouseHandlers.find(watched);
  if (handler == mouseHandlers.end()) return false;
  MouseAction action;
  MouseInput input;
  MouseOfEvent(*event, action, input);
  Guarded([&] { handler->second(action, input); })();
  return true;
}

bool Form::Impl::TreeNodeDropped(QObject* control, QObject* source) {
  auto* tree = qobject_cast<QTreeWidget*>(source);
  const auto handler = treeDropHandlers.find(control);
  if (tree == nullptr || tree->currentItem() == nullptr || handler == treeDropHandlers.end()) return false;
  const auto data = static_cast<std::uint32_t>(tree->currentItem()->data(0, kDataRole).toUInt());
  Guarded([&] { handler->second(data); })();
  return true;
}

void Form::OnExit(const std::string& control, std::function<void()> handler) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.installEventFilter(impl_.get());
  impl_->exitHandlers[&widget] = std::move(handler);
}

void Form::OnEnterKey(const std::string& control, std::function<void()> handler) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.installEventFilter(impl_.get());
  impl_->enterHandlers[&widget] = std::move(handler);
}

void Form::OnClick(const std::string& control, std::function<void()> handler) {
  QObject& object = impl_->Find(control);
  handler = Guarded(std::move(handler));
  if (auto* button = qobject_cast<QAbstractButton*>(&object)) {
    QObject::connect(button, &QAbstractButton::clicked, impl_.get(), [handler] { handler(); });
  } else if (auto* action = qobject_cast<QAction*>(&object)) {
    QObject::connect(action, &QAction::triggered, impl_.get(), [handler] { handler(); });
  } else if (auto* list = qobject_cast<QListWidget*>(&object)) {
    QObject::connect(list, &QListWidget::itemClicked, impl_.get(), [handler] { handler(); });
  }
}

void Form::OnDoubleClick(const std::string& control, std::function<void()> handler) {
  auto& list = impl_->Expect<QListWidget>(control, "list");
  handler = Guarded(std::move(handler));
  QObject::connect(&list, &QListWidget::itemDoubleClicked, impl_.get(), [handler] { handler(); });
}

void Form::OnChange(const std::string& control, std::function<void()> handler) {
  QObject& object = impl_->Find(control);
  handler = Guarded(std::move(handler));
  auto call = [handler] { handler(); };
  if (auto* edit = qobject_cast<QLineEdit*>(&object)) {
    QObject::connect(edit, &QLineEdit::textChanged, impl_.get(), call);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&object)) {
    QObject::connect(button, &QAbstractButton::toggled, impl_.get(), call);
  } else if (auto* action = qobject_cast<QAction*>(&object)) {
    QObject::connect(action, &QAction::toggled, impl_.get(), call);
  } else if (auto* list = qobject_cast<QListWidget*>(&object)) {
    QObject::connect(list, &QListWidget::currentRowChanged, impl_.get(), call);
  } else if (auto* combo = qobject_cast<QComboBox*>(&object)) {
    QObject::connect(combo, &QComboBox::currentIndexChanged, impl_.get(), call);
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(&object)) {
    QObject::connect(memo, &QPlainTextEdit::textChanged, impl_.get(), call);
  } else if (auto* tree = qobject_cast<QTreeWidget*>(&object)) {
    QObject::connect(tree, &QTreeWidget::currentItemChanged, impl_.get(), call);
  } else if (auto* rich = qobject_cast<QTextEdit*>(&object)) {
    QObject::connect(rich, &QTextEdit::textChanged, impl_.get(), call);
  }
}

void Form::OnMouse(const std::string& control, std::function<void(MouseAction, const MouseInput&)> handler) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.setMouseTracking(true);
  widget.installEventFilter(impl_.get());
  impl_->mouseHandlers[&widget] = std::move(handler);
}

void Form::OnMouse(std::function<void(MouseAction, const MouseInput&)> handler) {
  QWidget& root = impl_->Root();
  root.setMouseTracking(true);
  impl_->mouseHandlers[&root] = std::move(handler);
}

void Form::OnKeyDown(std::function<void(std::uint16_t key, std::uint8_t shift)> handler) {
  impl_->keyDown = std::move(handler);
}

void Form::OnResize(std::function<void()> handler) { impl_->resized = std::move(handler); }

void Form::OnDeactivate(std::function<void()> handler) { impl_->deactivated = std::move(handler); }

bool MouseOfEvent(const QEvent& event, MouseAction& action, MouseInput& input) {
  const QEvent::Type type = event.type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease &&
      type != QEvent::MouseMove)
    return false;
  const auto& mouse = static_cast<const QMouseEvent&>(event);
  action = type == QEvent::MouseMove ? MouseAction::Move : type == QEvent::MouseButtonRelease ? MouseAction::Up
                                                                                              : MouseAction::Down;
  input.Button = action == MouseAction::Move ? 0 : ButtonOf(mouse.button());
  input.Shift = ShiftOf(mouse.modifiers(), mouse.buttons(), type == QEvent::MouseButtonDblClick);
  input.X = static_cast<std::int32_t>(mouse.position().x());
  input.Y = static_cast<std::int32_t>(mouse.position().y());
  return true;
}

bool KeyOfEvent(const QEvent& event, std::uint16_t& key, std::uint8_t& shift) {
  if (event.type() != QEvent::KeyPress) return false;
  const auto& press = static_cast<const QKeyEvent&>(event);
  key = VirtualKeyOf(press);
  shift = ShiftOf(press.modifiers(), QGuiApplication::mouseButtons());
  return true;
}

void SendUserKey(QObject& target, std::uint16_t key, std::uint8_t shift) {
  QKeyEvent press(QEvent::KeyPress, QtKey(key), QtModifiers(shift));
  QCoreApplication::sendEvent(&target, &press);
}

void RunGuarded(const std::function<void()>& handler) { Guarded(handler)(); }

void UserClick(Form& form, const std::string& control) {
  QObject& object = form.impl().Find(control);
  if (auto* button = qobject_cast<QAbstractButton*>(&object)) button->click();
  if (auto* action = qobject_cast<QAction*>(&object)) action->trigger();
}

namespace {

QListWidgetItem& ListItem(Form& form, const std::string& control, int index) {
  auto& list = form.impl().Expect<QListWidget>(control, "list");
  QListWidgetItem* item = list.item(index);
  if (item == nullptr) throw EFormLayoutError("List " + control + " has no item " + std::to_string(index));
  list.setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
  return *item;
}

}  // namespace

void UserClickItem(Form& form, const std::string& control, int index) {
  QListWidgetItem& item = ListItem(form, control, index);
  emit item.listWidget()->itemClicked(&item);
}

void UserDoubleClickItem(Form& form, const std::string& control, int index) {
  QListWidgetItem& item = ListItem(form, control, index);
  QListWidget* list = item.listWidget();
  emit list->itemDoubleClicked(&item);
  emit list->itemActivated(&item);
}

void UserChooseItem(Form& form, const std::string& control, int index) {
  QObject& object = form.impl().Find(control);
  if (auto* combo = qobject_cast<QComboBox*>(&object)) return combo->setCurrentIndex(index);
  UserClickItem(form, control, index);
}

void UserExit(Form& form, const std::string& control) {
  auto& widget = form.impl().Expect<QWidget>(control, "control");
  for (QWidget* next = widget.nextInFocusChain(); next != &widget; next = next->nextInFocusChain())
    if (next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) && form.impl().Root().isAncestorOf(next)) {
      next->setFocus(Qt::TabFocusReason);
      break;
    }
  // A window that is not active moves its focus without telling the control.
  QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(&widget, &left);
}

void UserPressEnter(Form& form, const std::string& control) {
  auto& widget = form.impl().Expect<QWidget>(control, "control");
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QCoreApplication::sendEvent(&widget, &press);
}

void UserTimerTick(Form& form) {
  if (form.TimerActive()) form.impl().timerTick();
}

void SendUserMouse(QWidget& widget, MouseAction action, const MouseInput& input) {
  const QPointF local(input.X, input.Y);
  const QPointF global = widget.mapToGlobal(local);
  const bool doubleClick = action == MouseAction::Down && (input.Shift & 64) != 0;
  const QEvent::Type type = doubleClick                  ? QEvent::MouseButtonDblClick
                            : action == MouseAction::Down ? QEvent::MouseButtonPress
                            : action == MouseAction::Up   ? QEvent::MouseButtonRelease
                                                          : QEvent::MouseMove;
  const Qt::MouseButton button = action == MouseAction::Move ? Qt::NoButton : QtButton(input.Button);
  QMouseEvent event(type, local, global, button, QtButtons(input.Shift), QtModifiers(input.Shift));
  // The hand brings the screen cursor to the point before the event comes.
  QCursor::setPos(global.toPoint());
  QCoreApplication::sendEvent(&widget, &event);
}

void UserMouse(Form& form, const std::string& control, MouseAction action, const MouseInput& input) {
  SendUserMouse(form.impl().Expect<QWidget>(control, "control"), action, input);
}

void UserMouse(Form& form, MouseAction action, const MouseInput& input) { SendUserMouse(form.impl().Root(), action, input); }

void UserKey(Form& form, std::uint16_t key, std::uint8_t shift) { SendUserKey(form.impl().Root(), key, shift); }

void UserKeyOn(Form& form, const std::string& control, std::uint16_t key, std::uint8_t shift) {
  QObject& target = form.impl().Find(control);
  if (auto* widget = qobject_cast<QWidget*>(&target)) widget->setFocus();
  QKeyEvent press(QEvent::KeyPress, QtKey(key), QtModifiers(shift));
  // Sent as the window system sends it, so that an unhandled key goes on to
  // the control's parents.
  QApplication::sendEvent(&target, &press);
}

void UserResize(Form& form, int width, int height) {
  QWidget& root = form.impl().Root();
  const QSize old = root.size();
  root.resize(width, height);
  if (!root.isVisible()) {
    // A hidden window gets its resize event only when shown; the window
    // system tells it at once.
    QResizeEvent event(QSize(width, height), old);
    QCoreApplication::sendEvent(&root, &event);
  }
}

void UserDeactivate(Form& form) {
  QEvent event(QEvent::WindowDeactivate);
  QCoreApplication::sendEvent(&form.impl().Root(), &event);
}

void UserDropFiles(Form& form, const std::vector<std::string>& files) {
  QWidget& root = form.impl().Root();
  if (!root.acceptDrops()) return;
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& file : files) urls.append(QUrl::fromLocalFile(Q(file)));
  data.setUrls(urls);
  const QPointF at(root.width() / 2.0, root.height() / 2.0);
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  // Straight to the window's own handling: the application routes drops
  // only while a system drag is in progress.
  form.impl().eventFilter(&root, &drop);
}

bool UserCloseWindow(Form& form) {
  QWidget& root = form.impl().Root();
  QCloseEvent close;
  QCoreApplication::sendEvent(&root, &close);
  if (!close.isAccepted()) return false;
  form.impl().CloseAgreed();
  return true;
}

}  // namespace platform
