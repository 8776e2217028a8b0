#pragma once
// Qt's own painter drawing polylines, texts and hatched polygons straight
// onto a bitmap: the yardsticks the canvas's and the symbols' speed are
// measured against.
#include <cstdint>
#include <span>
#include <string>

#include "platform/canvas.h"

namespace platform {

// One-pixel, aliased lines in the colour; the rings one after the other as
// counts says.
void PaintPolylinesWithQt(Bitmap& bitmap, std::span<const PixelPoint> points, std::span<const std::int32_t> counts,
                          ColorValue color);

// Aliased texts of Qt's default font, the pixel height given, each with its
// baseline's left end at its point.
void PaintTextsWithQt(Bitmap& bitmap, std::span<const std::string> texts, std::span<const PixelPoint> at,
                      std::int32_t pixelHeight, ColorValue color);
// Each ring filled on its own with Qt's horizontal-line pattern in the colour.
void PaintHatchedPolygonsWithQt(Bitmap& bitmap, std::span<const PixelPoint> points,
                                std::span<const std::int32_t> counts, ColorValue color);

struct DecodedPicture;
// The whole picture scaled onto the whole bitmap by Qt's painter, without
// smoothing.
void PaintPictureWithQt(Bitmap& bitmap, const DecodedPicture& picture);
// The picture file as Qt's own decoder reads it (empty when it cannot): the
// reference our decoders are compared with.
DecodedPicture DecodeWithQt(const std::string& fileName);

}  // namespace platform
