#pragma once
// Form parts made on their own (a form of their own layout, without a host)
// and placed later into a control of another window.
#include <string>

namespace platform {

class Form;

// The part's window becomes the last item of the host's tool bar: it shows
// there, belongs to the bar from then on and ends with it; destroying the
// part first takes it out of the bar.
void PlaceFormInToolBar(Form& part, Form& host, const std::string& toolBar);
// Whether the part's window sits inside the host's tool bar.
bool FormInToolBar(const Form& part, const Form& host, const std::string& toolBar);

}  // namespace platform
