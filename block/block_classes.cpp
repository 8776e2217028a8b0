#include "block/block_classes.h"

#include "block/export/line_export.h"
#include "block/guide/guide_model.h"
#include "block/props/lumar_props.h"
#include "block/props/lumar_registers.h"
#include "block/reading/object_readers.h"
#include "block/reading/reader_base.h"
#include "block/topology/walkers.h"
#include "spatial/spatial_classes.h"

void RegisterBlockClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterSpatialClasses();
  RegisterE_LmrPrpClasses();
  RegisterE_LmrRegClasses();
  RegisterReaderBaseClasses();
  RegisterObjectReaderClasses();
  RegisterTopologyWalkerClasses();
  RegisterGuideClasses();
  RegisterT_LumExpClasses();
}
