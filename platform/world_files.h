#pragma once
// World files: six numbers beside a picture that place it in world
// coordinates: the pixel width, two rotation terms, the pixel height
// (negative: rows run down), and the centre of the upper-left pixel.
#include <cstdint>
#include <string>

namespace platform {

struct WorldFile {
  double PixelWidth = 0;
  double PixelHeight = 0;  // positive: the height of a row
  double Left = 0;         // the upper-left corner, not the pixel's centre
  double Top = 0;
};

// False, with the reason, for text that is short, not numeric, has zero or
// non-finite sizes or rows that do not run down, or is rotated.
bool ParseWorldFile(const std::string& text, WorldFile& result, std::string& reason);
// False, with the reason, when a picture of that many pixels placed by the
// world file would reach beyond finite world coordinates.
bool WorldExtentIsFinite(const WorldFile& world, std::int32_t width, std::int32_t height, std::string& reason);
// The world file beside the picture: the extension's own (.bpw, .jgw, .gfw,
// .pgw) or the extension with "w" added, in either letter case; "" for none.
std::string FindWorldFile(const std::string& pictureName);

}  // namespace platform
