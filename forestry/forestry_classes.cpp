#include "forestry/forestry_classes.h"

#include "app/app_classes.h"
#include "forestry/hierarchy/groupper.h"
#include "forestry/hierarchy/hierarchy_lookup.h"

void RegisterForestryClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterAppClasses();
  RegisterGroupperClasses();
  RegisterHierarchyLookupClasses();
}
