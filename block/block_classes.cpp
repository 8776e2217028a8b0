#include "block/block_classes.h"

#include "block/export/area_export.h"
#include "block/export/line_export.h"
#include "block/forest_model/forest_model_classes.h"
#include "block/guide/export_dialog.h"
#include "block/guide/guide_lines.h"
#include "block/guide/guide_model.h"
#include "block/layers/block_layers.h"
#include "block/layers/layer_import_dialog.h"
#include "block/props/lumar_props.h"
#include "block/props/lumar_registers.h"
#include "block/reading/block_reader.h"
#include "block/reading/import_sources.h"
#include "block/reading/layer_readers.h"
#include "block/reading/object_readers.h"
#include "block/reading/reader_base.h"
#include "block/topology/area_building.h"
#include "block/topology/area_extraction.h"
#include "block/topology/carry_attributes.h"
#include "block/topology/label_points.h"
#include "block/topology/line_joining.h"
#include "block/topology/node_building.h"
#include "block/topology/walkers.h"
#include "render/render_classes.h"
#include "render/tool_forms/tool_form_classes.h"

void RegisterBlockClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterRenderClasses();
  RegisterToolFormClasses();
  RegisterE_LmrPrpClasses();
  RegisterE_LmrRegClasses();
  RegisterReaderBaseClasses();
  RegisterObjectReaderClasses();
  RegisterLayerReaderClasses();
  RegisterBlockReaderClasses();
  RegisterImportSourceClasses();
  RegisterTopologyWalkerClasses();
  RegisterNodeBuildingClasses();
  RegisterAreaBuildingClasses();
  RegisterAreaExtractionClasses();
  RegisterCarryAttributesClasses();
  RegisterLabelPointClasses();
  RegisterLineJoiningClasses();
  RegisterGuideClasses();
  RegisterT_LumExpClasses();
  RegisterAreaExportClasses();
  RegisterGuideLineClasses();
  RegisterExportDialogClasses();
  RegisterBlockLayerClasses();
  RegisterLayerImportDialogClasses();
  RegisterForestModelClasses();
}
