#include "cartography/layouts/layout_classes.h"

#include "cartography/layouts/desktop.h"
#include "cartography/layouts/desktop_interprets.h"
#include "cartography/layouts/grid_interprets.h"
#include "cartography/layouts/text_block.h"
#include "cartography/layouts/tile_template.h"
#include "cartography/layouts/view.h"
#include "cartography/layouts/view_interpret.h"

void RegisterLayoutClasses() {
  RegisterViewClasses();
  RegisterViewInterpretClasses();
  RegisterDesktopClasses();
  RegisterTextBlockClasses();
  RegisterDesktopInterpretClasses();
  RegisterGridInterpretClasses();
  RegisterTileTemplateClasses();
}
