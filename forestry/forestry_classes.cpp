#include "forestry/forestry_classes.h"

#include "app/app_classes.h"
#include "forestry/editors/area_point_editors.h"
#include "forestry/editors/element_dialogs.h"
#include "forestry/editors/graphic_editors.h"
#include "forestry/hierarchy/groupper.h"
#include "forestry/hierarchy/hierarchy_building.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "forestry/hierarchy/psk_selector.h"
#include "forestry/hierarchy/layer_assignment.h"
#include "forestry/projects/project_dialog.h"
#include "forestry/projects/projects.h"
#include "forestry/reconstruction/clear_areas.h"
#include "forestry/reconstruction/layer_rebuilding.h"
#include "forestry/reconstruction/lines_to_areas.h"
#include "forestry/selectors/graphic_selectors.h"
#include "forestry/selectors/multi_select_skupina.h"
#include "forestry/selectors/neighbour_groups.h"
#include "forestry/selectors/skupina_selectors.h"
#include "forestry/tools/element_killer.h"
#include "forestry/tools/monitor_frames.h"
#include "forestry/tools/shift_image.h"
#include "forestry/tools/store_to_lhc.h"
#include "forestry/tools/test_control_tool.h"

void RegisterForestryClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterAppClasses();
  RegisterGroupperClasses();
  RegisterHierarchyLookupClasses();
  RegisterHierarchyBuildingClasses();
  RegisterLayerAssignmentClasses();
  RegisterLinesToAreasClasses();
  RegisterClearAreasClasses();
  RegisterLayerRebuildingClasses();
  RegisterProjectClasses();
  RegisterProjectDialogClasses();
  RegisterElementDialogClasses();
  RegisterPSKSelectorClasses();
  RegisterMultiSelectSkupinaClasses();
  RegisterNeighbourGroupClasses();
  RegisterSkupinaSelectorClasses();
  RegisterStoreToLHCClasses();
  RegisterGraphicSelectorClasses();
  RegisterElementKillerClasses();
  RegisterShiftImageClasses();
  RegisterMonitorFrameClasses();
  RegisterTestControlToolClasses();
  RegisterGraphicEditorClasses();
  RegisterAreaPointEditorClasses();
}
