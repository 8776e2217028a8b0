#include "app/app_classes.h"

#include "app/command_line/command_line.h"
#include "app/command_line/script_tool.h"
#include "app/condition_filter/condition_filter.h"
#include "app/console/command_line_dlg.h"
#include "app/extended_forms/extended_form_tool.h"
#include "app/graphic_forms/graphic_form.h"
#include "app/monitors/progress_monitor.h"
#include "app/options/options.h"
#include "app/pickers/picker_classes.h"
#include "app/startup/main_tool.h"
#include "app/tool_groups/task_form.h"
#include "app/tool_groups/tool_groups.h"
#include "app/windows/message_window.h"
#include "block/block_classes.h"
#include "cartography/cartography_classes.h"
#include "oil/oil_classes.h"
#include "render/tool_forms/tool_form_classes.h"

void RegisterAppClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterToolFormClasses();
  RegisterBlockClasses();
  RegisterCartographyClasses();
  RegisterCommandLineClasses();
  RegisterScriptToolClasses();
  RegisterOptionsClasses();
  RegisterMessageWindowClasses();
  RegisterProgressMonitorClasses();
  RegisterMainToolClasses();
  RegisterPickerClasses();
  RegisterToolGroupClasses();
  RegisterTaskFormClasses();
  RegisterExtendedFormClasses();
  RegisterConditionFilterClasses();
  RegisterOilClasses();
  RegisterConsoleClasses();
  RegisterGraphicFormClasses();
}
