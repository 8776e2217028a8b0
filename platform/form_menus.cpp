// Menus of a form: the main menu, items made and removed at run time, popups.
#include "platform/forms.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QAction>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QString>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include "platform/form_impl.h"

namespace platform {

namespace {

PopupRecord& LastPopupRecord() {
  static PopupRecord record;
  return record;
}

}  // namespace

std::vector<std::string> Form::PopupMenuItems(const std::string& control) const {
  const QString menuName = impl_->Find(control).property(kPopupMenu).toString();
  if (menuName.isEmpty()) return {};
  return Items(S(menuName));
}

Menu& Form::MainMenu(const std::string& control) {
  auto& bar = impl_->Expect<QMenuBar>(control, "main menu");
  std::unique_ptr<Menu>& menu = impl_->menus[control];
  if (!menu) menu = std::make_unique<Menu>(&bar);
  return *menu;
}

void Form::ShowMenuOnToolBar(const std::string& toolBar, const Menu* menu) {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  bar.setToolButtonStyle(Qt::ToolButtonTextOnly);
  bar.setMovable(false);
  bar.setStyleSheet("QToolBar { border: 0px; }");
  const QList<QAction*> buttons = bar.actions();
  for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) bar.removeAction(*it);
  if (menu == nullptr || menu->bar == nullptr) return;
  for (QAction* item : menu->bar->actions()) {
    // The item itself goes on the bar: its caption and sub-menu stay the
    // menu's own, and the bar's button for it drops the sub-menu at once.
    bar.addAction(item);
    if (auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(item))) {
      button->setPopupMode(QToolButton::InstantPopup);
      button->setAutoRaise(true);
    }
  }
}

std::vector<std::string> Form::ToolButtonMenuItems(const std::string& toolBar, int button) const {
  const QList<QAction*> buttons = impl_->Expect<QToolBar>(toolBar, "tool bar").actions();
  if (button < 0 || button >= buttons.size() || buttons[button]->menu() == nullptr) return {};
  return ActionTexts(*buttons[button]->menu());
}

namespace {

// The menu or item whose component name matches in any letter case.
QObject* FindMenuObject(const QWidget& root, const std::string& name) {
  const QString wanted = Q(name);
  for (QMenu* menu : root.findChildren<QMenu*>())
    if (menu->objectName().compare(wanted, Qt::CaseInsensitive) == 0) return menu;
  for (QAction* action : root.findChildren<QAction*>())
    if (action->objectName().compare(wanted, Qt::CaseInsensitive) == 0) return action;
  return nullptr;
}

}  // namespace

std::string Form::FindMenuItem(const std::string& name) const {
  QObject* found = FindMenuObject(impl_->Root(), name);
  return found != nullptr ? S(found->objectName()) : std::string();
}

void Form::AddMenuItem(const std::string& menu, const std::string& name, const std::string& caption,
                       std::function<void()> click) {
  auto* holder = qobject_cast<QMenu*>(FindMenuObject(impl_->Root(), menu));
  if (holder == nullptr) throw EFormLayoutError("Form " + impl_->layout + " has no menu " + menu);
  auto* item = new QAction(Q(caption), holder);
  item->setObjectName(Q(name));
  item->setCheckable(true);
  QObject::connect(item, &QAction::triggered, item, [handler = Guarded(std::move(click))] { handler(); });
  holder->addAction(item);
}

bool Form::RemoveMenuItem(const std::string& menu, const std::string& name) {
  auto* holder = qobject_cast<QMenu*>(FindMenuObject(impl_->Root(), menu));
  if (holder == nullptr) return false;
  for (QAction* item : holder->actions()) {
    if (item->objectName().compare(Q(name), Qt::CaseInsensitive) != 0) continue;
    holder->removeAction(item);
    delete item;
    return true;
  }
  return false;
}

std::vector<std::string> Form::MenuItemNames(const std::string& menu) const {
  auto* holder = qobject_cast<QMenu*>(FindMenuObject(impl_->Root(), menu));
  if (holder == nullptr) return {};
  std::vector<std::string> names;
  for (const QAction* item : holder->actions()) names.push_back(S(item->objectName()));
  return names;
}

void Form::PopupMenuAt(const std::string& menu, std::int32_t screenX, std::int32_t screenY) {
  auto& popup = impl_->Expect<QMenu>(menu, "menu");
  LastPopupRecord() = {menu, screenX, screenY};
  popup.popup(QPoint(screenX, screenY));
}

void Form::OnPopup(const std::string& menu, std::function<void()> handler) {
  auto& popup = impl_->Expect<QMenu>(menu, "menu");
  QObject::connect(&popup, &QMenu::aboutToShow, impl_.get(), [call = Guarded(std::move(handler))] { call(); });
}

void UserChoosePopupItem(Form& form, const std::string& control, const std::string& caption) {
  const QString menuName = form.impl().Find(control).property(kPopupMenu).toString();
  auto* menu = menuName.isEmpty() ? nullptr : form.impl().Root().findChild<QMenu*>(menuName);
  if (menu != nullptr)
    for (QAction* action : menu->actions())
      if (!action->isSeparator() && S(action->text()) == caption) return action->trigger();
  throw EFormLayoutError("The popup menu of " + control + " has no item " + caption);
}

PopupRecord LastPopup() { return LastPopupRecord(); }

}  // namespace platform
