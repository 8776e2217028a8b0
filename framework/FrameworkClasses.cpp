#include "framework/FrameworkClasses.h"

#include "framework/E_Class.h"
#include "framework/Elements.h"

void RegisterFrameworkClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterElementsClasses();
  RegisterClassUnitClasses();
}
