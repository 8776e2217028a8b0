#pragma once
// The picture inside a bitmap, for the platform's controls that show it.
#include <QImage>

#include "platform/canvas.h"

namespace platform {

struct BitmapAccess {
  static const QImage& Image(const Bitmap& bitmap);
};

// Writes the picture in the format (a Qt image format's name) as every
// whole file is written; false when it cannot be encoded or written.
bool WriteImageFile(const QImage& image, const std::string& path, const char* format);

}  // namespace platform
