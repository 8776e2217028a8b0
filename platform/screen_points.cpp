#include "platform/screen_points.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include "platform/forms.h"

namespace platform {

namespace {

PopupAnswerer& InstalledPopupAnswerer() {
  static PopupAnswerer answerer;
  return answerer;
}

}  // namespace

ScreenExtent ScreenSize() {
  EnsureWindowSystem();
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  const QRect geometry = screen->geometry();
  return {geometry.width(), geometry.height()};
}

void CursorScreenPosition(std::int32_t& x, std::int32_t& y) {
  EnsureWindowSystem();
  const QPoint at = QCursor::pos();
  x = at.x();
  y = at.y();
}

int ChooseRunTimePopupItem(const std::vector<std::string>& items, std::int32_t screenX, std::int32_t screenY) {
  if (Unattended() || items.empty()) return -1;
  if (const PopupAnswerer& answerer = InstalledPopupAnswerer()) {
    const int chosen = answerer(items);
    return chosen >= 0 && chosen < static_cast<int>(items.size()) ? chosen : -1;
  }
  EnsureWindowSystem();
  QMenu menu;
  for (const std::string& item : items) menu.addAction(QString::fromStdString(item));
  const QAction* chosen = menu.exec(QPoint(screenX, screenY));
  return chosen ? static_cast<int>(menu.actions().indexOf(const_cast<QAction*>(chosen))) : -1;
}

void SetPopupAnswerer(PopupAnswerer answerer) { InstalledPopupAnswerer() = std::move(answerer); }

}  // namespace platform
