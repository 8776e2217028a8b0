#pragma once
// The picture inside a bitmap, for the platform's controls that show it.
#include <QImage>

#include "platform/canvas.h"

namespace platform {

struct BitmapAccess {
  static const QImage& Image(const Bitmap& bitmap);
};

}  // namespace platform
