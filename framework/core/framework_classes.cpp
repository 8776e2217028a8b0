#include "framework/core/framework_classes.h"

#include "framework/core/class_registry.h"
#include "framework/core/elements.h"
#include "framework/values/typed_values.h"
#include "framework/values/element_models.h"
#include "framework/values/inheritance_models.h"
#include "framework/values/tool_models.h"
#include "framework/tools/recursor.h"
#include "framework/condition/custom_recursor.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "framework/condition/selectors.h"
#include "framework/tools/tools.h"
#include "framework/tools/world.h"
#include "framework/tools/system_register.h"
#include "framework/database/database_elements.h"
#include "framework/models/compare_models.h"
#include "framework/models/task_models.h"
#include "framework/environment/file_elements.h"
#include "framework/environment/environment.h"

void RegisterFrameworkClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterElementsClasses();
  RegisterClassUnitClasses();
  RegisterTypeClasses();
  RegisterElementModelClasses();
  RegisterToolModelClasses();
  RegisterWorldsClasses();
  RegisterSysRegClasses();
  RegisterInhMdlClasses();
  RegisterToolsClasses();
  RegisterRecursorClasses();
  RegisterSaverClasses();
  RegisterLoaderClasses();
  RegisterSelectClasses();
  RegisterAdvrczClasses();
  RegisterDatabaseClasses();
  RegisterCompareClasses();
  RegisterTaskModelClasses();
  RegisterFileElementClasses();
  RegisterEnvironmentClasses();
}
