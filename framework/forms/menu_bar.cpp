#include "framework/forms/menu_bar.h"

#include <utility>

TMenuBar::TMenuBar(platform::Form& form, std::string toolBar) : form_(form), toolBar_(std::move(toolBar)) {
  form_.ShowMenuOnToolBar(toolBar_, nullptr);
}

void TMenuBar::SetMenu(platform::Menu* menu) {
  if (menu == menu_) return;
  menu_ = menu;
  form_.ShowMenuOnToolBar(toolBar_, menu_);
}
