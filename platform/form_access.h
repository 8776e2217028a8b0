#pragma once
// The widgets behind a form, for the platform's own units that add to what
// a form can do (drags of controls, form parts placed in tool bars).
#include <string>

#include <QWidget>

#include "platform/forms.h"

namespace platform {

struct FormAccess {
  // The form's window; EFormLayoutError once it ended with its host.
  static QWidget& Root(const Form& form);
  // A named control of the form, which must be a widget.
  static QWidget& Control(const Form& form, const std::string& name);
  // The window of the form whose modal run is the innermost one going on,
  // which the windows asked for during it open over; nullptr without one.
  static QWidget* ModalRunWindow();
};

}  // namespace platform
