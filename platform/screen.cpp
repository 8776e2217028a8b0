#include "platform/screen.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>

namespace platform {

Bounds ScreenWorkArea() {
  EnsureWindowSystem();
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {0, 0, 800, 600};
  const QRect area = screen->availableGeometry();
  return {area.x(), area.y(), area.width(), area.height()};
}

Bounds FitOnScreen(const Bounds& bounds) {
  const Bounds area = ScreenWorkArea();
  Bounds fitted;
  fitted.Width = std::clamp(bounds.Width, 0, area.Width);
  fitted.Height = std::clamp(bounds.Height, 0, area.Height);
  fitted.Left = std::clamp(bounds.Left, area.Left, area.Left + area.Width - fitted.Width);
  fitted.Top = std::clamp(bounds.Top, area.Top, area.Top + area.Height - fitted.Height);
  return fitted;
}

}  // namespace platform
