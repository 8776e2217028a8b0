#include "render/tool_forms/tool_form_classes.h"

#include "render/render_classes.h"
#include "render/tool_forms/dialog_tools.h"
#include "render/tool_forms/explorer.h"
#include "render/tool_forms/form_tool.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/frames.h"
#include "render/tool_forms/interactive_tool.h"
#include "render/tool_forms/standard_image_form.h"
#include "render/tool_forms/standard_viewer.h"
#include "render/tool_forms/viewer.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/interface_tool.h"
#include "render/tool_forms/property_editor.h"

void RegisterToolFormClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterRenderClasses();
  RegisterInteractionEventClasses();
  RegisterInterfaceToolClasses();
  RegisterFormToolClasses();
  RegisterDialogToolClasses();
  RegisterExplorerClasses();
  RegisterInteractiveToolClasses();
  RegisterFormToolManagerClasses();
  RegisterViewerClasses();
  RegisterStandardImageFormClasses();
  RegisterPropertyEditorClasses();
  RegisterFrameClasses();
  RegisterStandardViewerClasses();
}
