#include "oil/oil_classes.h"

#include "framework/core/framework_classes.h"
#include "oil/tools/script_element_tools.h"

void RegisterOilClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterFrameworkClasses();
  RegisterScriptElementToolClasses();
}
