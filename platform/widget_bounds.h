#pragma once
// Places and sizes a window can take.  The toolkit adds a widget's size to its
// place in plain int arithmetic, so bounds from scripts and stored forms are
// brought into the range it holds before they reach a widget.
#include "platform/forms.h"

namespace platform {

// The largest size a widget takes; places lie within the same distance of 0.
inline constexpr int kWidgetExtent = (1 << 24) - 1;

int WidgetPlace(int value);
int WidgetSize(int value);
Bounds WidgetBounds(const Bounds& bounds);

}  // namespace platform
