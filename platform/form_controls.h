#pragma once
// The window-system side of forms, for the units of this layer that add
// facilities beside the form itself (grids, tab pages): the object behind a
// named control, and mouse and key events as the handlers get them.  Only
// platform/ includes it; callers above see the facilities.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/forms.h"

class QEvent;
class QObject;
class QWidget;

namespace platform {

// EFormLayoutError when the form has no control of that name.
QObject& FormControl(const Form& form, const std::string& name);
// A mouse event as a handler gets it; false for an event of another kind.
bool MouseOfEvent(const QEvent& event, MouseAction& action, MouseInput& input);
// A key press as a handler gets it; false for an event of another kind.
bool KeyOfEvent(const QEvent& event, std::uint16_t& key, std::uint8_t& shift);
// A mouse event sent to the widget as the window system sends it; a press
// with the Double bit (64) of the shift set is the press of a double click.
void SendUserMouse(QWidget& widget, MouseAction action, const MouseInput& input);
// A key press sent to the object as the window system sends it.
void SendUserKey(QObject& target, std::uint16_t key, std::uint8_t shift);
// Runs a handler of a window's event, which nothing may leave: what it
// raises goes to the application's exception hook.
void RunGuarded(const std::function<void()>& handler);

}  // namespace platform
