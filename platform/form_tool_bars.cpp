// Tool bars and actions made at run time, and their shortcut texts.
#include "platform/forms.h"

#include <algorithm>
#include <functional>
#include <string>

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QMenu>
#include <QObject>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include "platform/form_impl.h"

namespace platform {

std::string ShortCutText(const std::string& text) {
  const QKeySequence sequence = QKeySequence::fromString(Q(text), QKeySequence::PortableText);
  // One key only: a shortcut is a key with its shift states.
  if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown || sequence[0].key() == 0) return {};
  return S(QKeySequence(sequence[0]).toString(QKeySequence::PortableText));
}

namespace {

constexpr const char* kToolCursor = "toolCursor";

Qt::ToolBarArea QtArea(BarArea area) {
  switch (area) {
    case BarArea::Bottom: return Qt::BottomToolBarArea;
    case BarArea::Left: return Qt::LeftToolBarArea;
    case BarArea::Right: return Qt::RightToolBarArea;
    case BarArea::Top: break;
  }
  return Qt::TopToolBarArea;
}

QMainWindow& MainWindowOf(Form::Impl& impl, const std::string& layout) {
  auto* window = qobject_cast<QMainWindow*>(&impl.Root());
  if (window == nullptr) throw EFormLayoutError("Form " + layout + " has no bar areas");
  return *window;
}

void StyleButton(QToolButton& button, const ToolBarStyle& style) {
  button.setAutoRaise(style.Flat);
  const QSize size(std::max(style.ButtonWidth, 1), std::max(style.ButtonHeight, 1));
  if (style.ShowCaptions) {
    button.setMinimumSize(size);
    button.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    button.setFixedSize(size);
  }
}

QToolButton* ButtonAt(QToolBar& bar, int index) {
  const QList<QAction*> items = bar.actions();
  if (index < 0 || index >= items.size()) return nullptr;
  return qobject_cast<QToolButton*>(bar.widgetForAction(items[index]));
}

}  // namespace

void Form::AddToolBar(const std::string& name, BarArea area) {
  QMainWindow& window = MainWindowOf(*impl_, impl_->layout);
  auto* bar = new QToolBar(&window);
  bar->setObjectName(Q(name));
  impl_->madeAtRunTime[name] = bar;
  bar->setWindowTitle(Q(name));
  bar->setContentsMargins(2, 0, 0, 0);
  bar->setIconSize(QSize(16, 16));
  window.addToolBar(QtArea(area), bar);
  SetToolBarStyle(name, ToolBarStyle{});
}

void Form::MoveToolBar(const std::string& name, BarArea area) {
  QMainWindow& window = MainWindowOf(*impl_, impl_->layout);
  auto& bar = impl_->Expect<QToolBar>(name, "tool bar");
  window.removeToolBar(&bar);
  window.addToolBar(QtArea(area), &bar);
  bar.show();
}

bool Form::HasToolBar(const std::string& name) const {
  return qobject_cast<QMainWindow*>(&impl_->Root()) != nullptr && qobject_cast<QToolBar*>(impl_->FindOrNil(name));
}

BarArea Form::ToolBarArea(const std::string& name) const {
  QMainWindow& window = MainWindowOf(*impl_, impl_->layout);
  switch (window.toolBarArea(&impl_->Expect<QToolBar>(name, "tool bar"))) {
    case Qt::BottomToolBarArea: return BarArea::Bottom;
    case Qt::LeftToolBarArea: return BarArea::Left;
    case Qt::RightToolBarArea: return BarArea::Right;
    default: return BarArea::Top;
  }
}

ToolBarStyle Form::GetToolBarStyle(const std::string& name) const {
  impl_->Expect<QToolBar>(name, "tool bar");
  return impl_->barStyles[name];
}

void Form::SetToolBarStyle(const std::string& name, const ToolBarStyle& style) {
  auto& bar = impl_->Expect<QToolBar>(name, "tool bar");
  impl_->barStyles[name] = style;
  bar.setToolButtonStyle(style.ShowCaptions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
  bar.setMovable(style.DockSite);
  for (QToolButton* button : bar.findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) StyleButton(*button, style);
}

void Form::AddAction(const std::string& name, bool checkable) {
  auto* action = new QAction(&impl_->Root());
  action->setObjectName(Q(name));
  impl_->madeAtRunTime[name] = action;
  action->setCheckable(checkable);
}

void Form::RemoveAction(const std::string& name) {
  delete impl_->As<QAction>(name);
  impl_->madeAtRunTime.erase(name);
}

void Form::SetActionHint(const std::string& action, const std::string& hint) {
  auto& item = impl_->Expect<QAction>(action, "action");
  item.setToolTip(Q(hint));
  item.setStatusTip(Q(hint));
}

void Form::SetActionImage(const std::string& action, const ImageList& images, int index) {
  auto& item = impl_->Expect<QAction>(action, "action");
  if (images.Empty(index)) return item.setIcon(QIcon());
  item.setIcon(images.impl().Icon(index));
}

void Form::SetActionShortCut(const std::string& action, const std::string& shortCut) {
  impl_->Expect<QAction>(action, "action").setShortcut(QKeySequence::fromString(Q(shortCut), QKeySequence::PortableText));
}

std::string Form::ActionShortCut(const std::string& action) const {
  return S(impl_->Expect<QAction>(action, "action").shortcut().toString(QKeySequence::PortableText));
}

void Form::SetActionVisible(const std::string& action, bool visible) {
  impl_->Expect<QAction>(action, "action").setVisible(visible);
}

bool Form::ActionVisible(const std::string& action) const { return impl_->Expect<QAction>(action, "action").isVisible(); }

void Form::AddActionButton(const std::string& toolBar, const std::string& action, int cursor,
                           std::function<void()> contextMenu) {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  auto& item = impl_->Expect<QAction>(action, "action");
  bar.addAction(&item);
  auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(&item));
  if (button == nullptr) return;
  button->setProperty(kToolCursor, cursor);
  button->setCursor(Qt::PointingHandCursor);
  if (contextMenu) {
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, button, [contextMenu](const QPoint&) { contextMenu(); });
  }
  StyleButton(*button, GetToolBarStyle(toolBar));
}

void Form::AddSeparatorButton(const std::string& toolBar, bool divider) {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  auto* gap = new QFrame(&bar);
  gap->setFixedWidth(10);
  gap->setFrameShape(divider ? QFrame::VLine : QFrame::NoFrame);
  gap->setProperty("divider", divider);
  QAction* item = bar.addWidget(gap);
  item->setSeparator(true);
}

void Form::ClearToolBar(const std::string& toolBar) {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  const QList<QAction*> items = bar.actions();
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    bar.removeAction(*it);
    // Separators and embedded controls belong to the bar; actions do not.
    if ((*it)->parent() == &bar) delete *it;
  }
}

int Form::ToolButtonCount(const std::string& toolBar) const {
  return static_cast<int>(impl_->Expect<QToolBar>(toolBar, "tool bar").actions().size());
}

bool Form::ToolButtonIsSeparator(const std::string& toolBar, int button) const {
  const QList<QAction*> items = impl_->Expect<QToolBar>(toolBar, "tool bar").actions();
  return button >= 0 && button < items.size() && items[button]->isSeparator();
}

bool Form::ToolButtonIsDivider(const std::string& toolBar, int button) const {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  const QList<QAction*> items = bar.actions();
  if (button < 0 || button >= items.size()) return false;
  QWidget* widget = bar.widgetForAction(items[button]);
  return widget && widget->property("divider").toBool();
}

int Form::ToolButtonCursor(const std::string& toolBar, int button) const {
  QToolButton* found = ButtonAt(impl_->Expect<QToolBar>(toolBar, "tool bar"), button);
  return found ? found->property(kToolCursor).toInt() : 0;
}

void Form::EmbedInToolBar(const std::string& toolBar, const std::string& control) {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  auto& inner = impl_->Expect<QWidget>(control, "control");
  if (auto* window = qobject_cast<QMainWindow*>(&impl_->Root()); window && qobject_cast<QToolBar*>(&inner))
    window->removeToolBar(static_cast<QToolBar*>(&inner));
  QAction* item = bar.addWidget(&inner);
  item->setParent(&bar);
  inner.show();
}

void Form::AddActionMenuItem(const std::string& menuItem, const std::string& action) {
  impl_->Expect<QMenu>(menuItem, "menu item").addAction(&impl_->Expect<QAction>(action, "action"));
}

void Form::ClearMenuItem(const std::string& menuItem) { impl_->Expect<QMenu>(menuItem, "menu item").clear(); }

void Form::SetMenuItemVisible(const std::string& menuItem, bool visible) {
  impl_->Expect<QMenu>(menuItem, "menu item").menuAction()->setVisible(visible);
}

bool Form::MenuItemVisible(const std::string& menuItem) const {
  return impl_->Expect<QMenu>(menuItem, "menu item").menuAction()->isVisible();
}

void UserClickToolButton(Form& form, const std::string& toolBar, int button) {
  QToolButton* found = ButtonAt(form.impl().Expect<QToolBar>(toolBar, "tool bar"), button);
  if (found == nullptr) throw EFormLayoutError("Tool bar " + toolBar + " has no button " + std::to_string(button));
  found->click();
}

void UserContextMenuToolButton(Form& form, const std::string& toolBar, int button) {
  QToolButton* found = ButtonAt(form.impl().Expect<QToolBar>(toolBar, "tool bar"), button);
  if (found == nullptr) throw EFormLayoutError("Tool bar " + toolBar + " has no button " + std::to_string(button));
  emit found->customContextMenuRequested(QPoint(1, 1));
}

}  // namespace platform
