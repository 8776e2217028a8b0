#pragma once
// Qt's painter printing pages straight onto a PDF printer: the yardstick the
// print run's speed is measured against.
#include <string>
#include <utility>
#include <vector>

#include "platform/canvas.h"

namespace platform {

struct DecodedPicture;

// What one page holds, in the printer's pixels, drawn in this order.
struct ReferencePrintPage {
  // One-pixel black frames filled white.
  std::vector<PixelRect> Frames;
  // Where the picture goes, stretched; the part of it that shows.
  PixelRect Picture;
  PixelRect PicturePart;
  // One-pixel lines in the colour.
  std::vector<std::pair<PixelPoint, PixelPoint>> Lines;
  ColorValue LineColor = 0;
  // Black texts of the pixel height, their cells' upper-left corners at the points.
  std::vector<std::pair<PixelPoint, std::string>> Texts;
  std::int32_t TextHeight = 12;
};

// One PDF document of the pages on the paper (PrintPaperSize) at the resolution.
void PrintPagesWithQt(const std::string& pdf, std::int32_t dotsPerInch, const DecodedPicture& picture,
                      const std::vector<ReferencePrintPage>& pages);

}  // namespace platform
