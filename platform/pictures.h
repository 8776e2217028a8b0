#pragma once
// Picture files decoded into memory, by their extension in any letter case:
// ".BMP" and ".PNG" through the class library's readers, ".JPG" and ".JPEG"
// through libjpeg, ".GIF" (its first frame) through giflib.  A failure
// raises EPictureError naming the file and the reason; a header that asks
// for more than MaxPicturePixels is refused before anything is allocated.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace platform {

class EPictureError : public std::runtime_error {
 public:
  explicit EPictureError(const std::string& reason, const std::string& fileName = "")
      : std::runtime_error(fileName.empty() ? reason : fileName + ": " + reason), reason_(reason) {}
  // Without the file name.
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

inline constexpr std::int64_t MaxPicturePixels = std::int64_t(1) << 27;

// Rows top first, three bytes a pixel (red, green, blue), no padding.
struct DecodedPicture {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  // Stored with one bit a pixel.
  bool BiLevel = false;
  std::vector<std::uint8_t> Rgb;

  const std::uint8_t* Row(std::int32_t y) const { return Rgb.data() + std::size_t(y) * std::size_t(Width) * 3; }
  // 0x00BBGGRR.
  ColorValue At(std::int32_t x, std::int32_t y) const;
};

// The reason alone; the file-level functions add the file name.
DecodedPicture DecodeJpeg(const std::uint8_t* data, std::size_t size);
DecodedPicture DecodeGif(const std::uint8_t* data, std::size_t size);
DecodedPicture DecodeBmp(const std::uint8_t* data, std::size_t size);
DecodedPicture DecodePng(const std::uint8_t* data, std::size_t size);

// The decoder of the file's extension; raises for any other extension.
DecodedPicture DecodePictureFile(const std::string& fileName);
// The same picture as a bitmap to draw (nil when the bitmap cannot be made).
std::unique_ptr<Bitmap> PictureBitmap(const DecodedPicture& picture);
std::unique_ptr<Bitmap> LoadPicture(const std::string& fileName);

}  // namespace platform
