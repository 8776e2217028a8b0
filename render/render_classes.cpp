#include "render/render_classes.h"

#include "block/block_classes.h"
#include "render/models/layer_scripts.h"
#include "render/models/model_script_text.h"
#include "render/models/script_models.h"

void RegisterRenderClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterBlockClasses();
  RegisterLayerScriptClasses();
  RegisterModelScriptTextClasses();
  RegisterScriptModelClasses();
}
