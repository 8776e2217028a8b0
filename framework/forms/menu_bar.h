#pragma once
// The menu bar: a tool bar of a form that shows a main menu as one drop-down
// button per top-level item, so the menu can sit in a control bar beside
// other tool bars.
#include <string>

#include "platform/forms.h"

class TMenuBar {
 public:
  // The tool bar control of that name in form, which outlives the menu bar;
  // the bar holds only the menu's buttons.
  TMenuBar(platform::Form& form, std::string toolBar);

  // Not owned; nil for none.
  platform::Menu* Menu() const { return menu_; }
  // Another menu replaces the buttons; the same menu again changes nothing.
  void SetMenu(platform::Menu* menu);

 private:
  platform::Form& form_;
  std::string toolBar_;
  platform::Menu* menu_ = nullptr;
};
