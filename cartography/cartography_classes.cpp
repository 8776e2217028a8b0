#include "cartography/cartography_classes.h"

#include "block/block_classes.h"
#include "cartography/layouts/layout_classes.h"
#include "cartography/models/layer_scripts.h"
#include "cartography/models/model_script_text.h"
#include "cartography/models/script_models.h"
#include "cartography/printing/print_tool.h"
#include "cartography/symbology/formatted_text.h"
#include "cartography/symbology/general_interprets.h"
#include "cartography/symbology/interpret_tables.h"
#include "cartography/symbology/symbol_color_tool.h"
#include "cartography/symbology/symbology_interprets.h"
#include "cartography/symbology/text_interprets.h"
#include "cartography/symbols/line_symbols.h"
#include "cartography/symbols/parallel.h"
#include "cartography/symbols/point_symbols.h"
#include "cartography/symbols/stroke_font.h"

void RegisterCartographyClasses() {
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
