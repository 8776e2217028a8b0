#include "platform/widget_bounds.h"

#include <algorithm>

namespace platform {

int WidgetPlace(int value) { return std::clamp(value, -kWidgetExtent, kWidgetExtent); }

int WidgetSize(int value) { return std::clamp(value, 0, kWidgetExtent); }

Bounds WidgetBounds(const Bounds& bounds) {
  return {WidgetPlace(bounds.Left), WidgetPlace(bounds.Top), WidgetSize(bounds.Width), WidgetSize(bounds.Height)};
}

}  // namespace platform
