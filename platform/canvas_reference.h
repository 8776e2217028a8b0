#pragma once
// Qt's own painter drawing polylines straight onto a bitmap: the yardstick
// the canvas's speed is measured against.
#include <cstdint>
#include <span>

#include "platform/canvas.h"

namespace platform {

// One-pixel, aliased lines in the colour; the rings one after the other as
// counts says.
void PaintPolylinesWithQt(Bitmap& bitmap, std::span<const PixelPoint> points, std::span<const std::int32_t> counts,
                          ColorValue color);

}  // namespace platform
