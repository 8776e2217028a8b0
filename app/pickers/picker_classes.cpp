#include "app/pickers/picker_classes.h"

#include "app/pickers/chosen_element.h"
#include "app/pickers/object_selectors.h"
#include "app/pickers/pick_uppers.h"

void RegisterPickerClasses() {
  RegisterPickUperClasses();
  RegisterObjectSelectorClasses();
  RegisterChosenElementClasses();
}
