#include "block/forest_model/forest_model_classes.h"

#include "block/forest_model/forest_props.h"
#include "block/forest_model/forest_units.h"

void RegisterForestModelClasses() {
  RegisterForestUnitClasses();
  RegisterForestPropsClasses();
}
