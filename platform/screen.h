#pragma once
// The screen windows are placed on.
#include "platform/forms.h"

namespace platform {

// The part of the primary screen windows may take (without the system's
// bars); 800 x 600 at 0, 0 where no screen is known.
Bounds ScreenWorkArea();

// The bounds moved and shrunk so that the window lies on the work area.
Bounds FitOnScreen(const Bounds& bounds);

}  // namespace platform
