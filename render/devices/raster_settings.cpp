#include "render/devices/raster_settings.h"

#include "framework/tools/system_register.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"

std::int32_t RasterSetting(const std::string& key) {
  TWorld* world = World();
  if (!world) return 0;
  const auto* section = DynamicCast<TStringListElement>(world->SystemRegister()->FindElementByName("RASTER"));
  return section ? section->GetIntegerByName(key) : 0;
}

std::int64_t MemoryTileSetting() {
  const std::int32_t limit = RasterSetting("MEMORY_TILE");
  return limit != 0 ? limit : 20000000;
}
