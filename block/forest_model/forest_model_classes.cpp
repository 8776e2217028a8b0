#include "block/forest_model/forest_model_classes.h"

#include "block/forest_model/forest_props.h"
#include "block/forest_model/forest_units.h"
#include "block/forest_model/lhc_export.h"

void RegisterForestModelClasses() {
  RegisterForestUnitClasses();
  RegisterForestPropsClasses();
  RegisterLHCExportClasses();
}
