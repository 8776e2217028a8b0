#include "render/layouts/layout_classes.h"

#include "render/layouts/desktop.h"
#include "render/layouts/desktop_interprets.h"
#include "render/layouts/grid_interprets.h"
#include "render/layouts/text_block.h"
#include "render/layouts/tile_template.h"
#include "render/layouts/view.h"
#include "render/layouts/view_interpret.h"

void RegisterLayoutClasses() {
  RegisterViewClasses();
  RegisterViewInterpretClasses();
  RegisterDesktopClasses();
  RegisterTextBlockClasses();
  RegisterDesktopInterpretClasses();
  RegisterGridInterpretClasses();
  RegisterTileTemplateClasses();
}
