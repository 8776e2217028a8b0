#include "block/block_classes.h"

#include "app/tool_forms/tool_form_classes.h"
#include "block/guide/export_dialog.h"
#include "block/guide/guide_lines.h"
#include "block/guide/guide_model.h"
#include "block/props/lumar_props.h"
#include "block/props/lumar_registers.h"
#include "block/topology/walkers.h"
#include "spatial/spatial_classes.h"

void RegisterBlockClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterSpatialClasses();
  RegisterToolFormClasses();
  RegisterE_LmrPrpClasses();
  RegisterE_LmrRegClasses();
  RegisterTopologyWalkerClasses();
  RegisterGuideClasses();
  RegisterGuideLineClasses();
  RegisterExportDialogClasses();
}
