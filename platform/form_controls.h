#pragma once
// The window system's object behind a named control of a form, for the
// platform's own units that add control facilities beside the form's.
#include <string>

class QObject;

namespace platform {

class Form;

// EFormLayoutError when the form has no control of that name.
QObject& FormControl(const Form& form, const std::string& name);

}  // namespace platform
