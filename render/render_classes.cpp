#include "render/render_classes.h"

#include "render/area_symbols/area_symbol.h"
#include "render/area_symbols/area_symbol_reader.h"
#include "render/devices/bitmap_device.h"
#include "render/devices/border_buffer.h"
#include "render/devices/canvas_device.h"
#include "render/devices/device.h"
#include "render/devices/device_tool.h"
#include "render/devices/print_device.h"
#include "render/devices/tile_device.h"
#include "render/interprets/interpret.h"
#include "render/interprets/interpret_layers.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/interpret_timers.h"
#include "render/interprets/script_creator.h"
#include "render/interprets/selection_interprets.h"
#include "render/interprets/sheet_interprets.h"
#include "render/interprets/universal_interpret.h"
#include "render/palette/palette.h"
#include "render/rasters/raster.h"
#include "render/rasters/raster_interprets.h"
#include "spatial/spatial_classes.h"

void RegisterRenderClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterSpatialClasses();
  RegisterDeviceClasses();
  RegisterBorderBufferClasses();
  RegisterCanvasDeviceClasses();
  RegisterBitmapDeviceClasses();
  RegisterPrintDeviceClasses();
  RegisterTileDeviceClasses();
  RegisterDeviceToolClasses();
  RegisterInterpretClasses();
  RegisterInterpretScriptClasses();
  RegisterInterpretTimerClasses();
  RegisterInterpretLayerClasses();
  RegisterUniversalInterpretClasses();
  RegisterSelectionInterpretClasses();
  RegisterSheetInterpretClasses();
  RegisterScriptCreatorClasses();
  RegisterAreaSymbolClasses();
  RegisterAreaSymbolReaderClasses();
  RegisterRasterClasses();
  RegisterRasterInterpretClasses();
  RegisterPaletteClasses();
}
