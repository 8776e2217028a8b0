#pragma once
// The raster settings the start-up scripts put into the system register's
// section "RASTER" (name=value items).
#include <cstdint>
#include <string>

// The integer of the key; 0 without a world, a section, the key or a number.
std::int32_t RasterSetting(const std::string& key);
// "MEMORY_TILE": the bytes one band of a tiled drawing may take
// (20,000,000 when not set).
std::int64_t MemoryTileSetting();
