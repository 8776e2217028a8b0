#pragma once
// The loaded screen cursors as Qt shapes, for the platform's own controls.
#include <QCursor>

namespace platform {

// The cursor loaded under that number; the arrow for 0 and numbers never
// loaded.
QCursor ScreenCursorShape(int number);

}  // namespace platform
