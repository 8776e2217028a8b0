#pragma once
// Controls made at run time on a form whose layout holds none of them: an
// edit at a given place, and a label centred vertically on the form.  They
// are reached by name like the layout's own controls.
#include <string>

#include "platform/forms.h"

namespace platform {

// EFormLayoutError when the form already has a control of that name.
void AddRunTimeEdit(Form& form, const std::string& name, const Bounds& bounds);
// The label's height is that of its caption; it stands left pixels from the
// form's left edge.
void AddRunTimeLabel(Form& form, const std::string& name, const std::string& caption, int left);

}  // namespace platform
