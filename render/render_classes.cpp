#include "render/render_classes.h"

#include "block/block_classes.h"

void RegisterRenderClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterBlockClasses();
}
