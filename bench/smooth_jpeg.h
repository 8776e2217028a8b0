#pragma once
// The benchmarks' raster picture: a smooth gradient, so that JPEG keeps it
// small while every tile differs.
#include <string>

// Writes the picture of that size to path as a JPEG of quality 80.
void WriteSmoothJpeg(const std::string& path, int width, int height);
