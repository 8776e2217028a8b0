#include "render/render_classes.h"

#include "block/block_classes.h"
#include "render/layouts/layout_classes.h"
#include "render/models/layer_scripts.h"
#include "render/models/model_script_text.h"
#include "render/models/script_models.h"
#include "render/printing/print_tool.h"
#include "render/symbols/line_symbols.h"
#include "render/symbols/parallel.h"
#include "render/symbols/point_symbols.h"
#include "render/symbols/stroke_font.h"
#include "render/symbology/formatted_text.h"
#include "render/symbology/general_interprets.h"
#include "render/symbology/interpret_tables.h"
#include "render/symbology/symbol_color_tool.h"
#include "render/symbology/symbology_interprets.h"
#include "render/symbology/text_interprets.h"

void RegisterRenderClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterBlockClasses();
  RegisterStrokeFontClasses();
  RegisterPointSymbolClasses();
  RegisterParallelClasses();
  RegisterLineSymbolClasses();
  RegisterLayerScriptClasses();
  RegisterModelScriptTextClasses();
  RegisterScriptModelClasses();
  RegisterInterpretTableClasses();
  RegisterSymbologyInterpretClasses();
  RegisterGeneralInterpretClasses();
  RegisterSymbolColorToolClasses();
  RegisterTextInterpretClasses();
  RegisterFormattedTextClasses();
  RegisterLayoutClasses();
  RegisterPrintClasses();
}
