#include "spatial/spatial_classes.h"

#include "framework/core/framework_classes.h"
#include "spatial/geometry/page.h"
#include "spatial/objects/registers.h"
#include "spatial/sheets/map_sheets.h"
#include "spatial/objects/space_entities.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/properties.h"
#include "spatial/sheets/space_tree.h"
#include "spatial/sheets/zm_sheets.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/sheets/geometry_holder.h"
#include "spatial/sheets/coordinate_systems.h"
#include "spatial/index/quadtree.h"
#include "spatial/topology/topology_nodes.h"
#include "spatial/topology/segment_records.h"

void RegisterSpatialClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterFrameworkClasses();
  RegisterG_elemsClasses();
  RegisterE_pageClasses();
  RegisterE_projeClasses();
  RegisterE_SpaceClasses();
  RegisterE_propsClasses();
  RegisterE_RegClasses();
  RegisterE_WCSClasses();
  RegisterE_zmClasses();
  RegisterE_sptreeClasses();
  RegisterE_MSpaceClasses();
  RegisterE_GeometryClasses();
  RegisterE_QTreeClasses();
  RegisterE_nodeClasses();
  RegisterE_QTLinClasses();
}
