#pragma once
// The row check of uncompressed bitmap files, shared by the readers of the
// platform layer: Qt's reader fills the rows a file lacks with whatever it
// likes, so a truncated file must be refused before it is read.
#include <cstdint>

namespace platform {

// Whether a file of fileSize bytes holds |height| rows of |width| pixels of
// bitsPerPixel each, padded to four bytes, from rowsStart on.  Checked by
// division, since a lying header's row size times its height overflows.
bool HoldsBitmapRows(std::int64_t fileSize, std::int64_t rowsStart, std::int64_t width, std::int64_t height,
                     std::int64_t bitsPerPixel);

}  // namespace platform
