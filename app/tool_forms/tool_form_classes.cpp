#include "app/tool_forms/tool_form_classes.h"

#include "app/tool_forms/dialog_tools.h"
#include "app/tool_forms/explorer.h"
#include "app/tool_forms/form_tool.h"
#include "app/tool_forms/interaction_events.h"
#include "app/tool_forms/interface_tool.h"
#include "render/render_base_classes.h"

void RegisterToolFormClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterRenderBaseClasses();
  RegisterInteractionEventClasses();
  RegisterInterfaceToolClasses();
  RegisterFormToolClasses();
  RegisterDialogToolClasses();
  RegisterExplorerClasses();
}
