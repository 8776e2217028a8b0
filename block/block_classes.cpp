#include "block/block_classes.h"

#include "block/topology/walkers.h"
#include "spatial/spatial_classes.h"

void RegisterBlockClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterSpatialClasses();
  RegisterTopologyWalkerClasses();
}
