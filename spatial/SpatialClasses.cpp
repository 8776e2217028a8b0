#include "spatial/SpatialClasses.h"

#include "framework/FrameworkClasses.h"
#include "spatial/E_page.h"
#include "spatial/E_Reg.h"
#include "spatial/E_MSpace.h"
#include "spatial/E_Space.h"
#include "spatial/E_proje.h"
#include "spatial/E_props.h"
#include "spatial/E_sptree.h"
#include "spatial/E_zm.h"
#include "spatial/G_elems.h"
#include "spatial/e_Geometry.h"
#include "spatial/e_WCS.h"

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
}
