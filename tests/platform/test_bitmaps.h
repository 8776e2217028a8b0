#pragma once
// Writes 24-bit BMP files byte by byte, as the format describes them, so the
// image readers are checked against files not made by the reader's library.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/streams.h"

// colour(x, y) answers 0x00BBGGRR; rows go bottom-up, padded to 4 bytes.
inline std::vector<std::uint8_t> BmpBytes(int width, int height,
                                          const std::function<std::uint32_t(int x, int y)>& colour) {
  const int rowBytes = (width * 3 + 3) / 4 * 4;
  const std::uint32_t pixelBytes = static_cast<std::uint32_t>(rowBytes * height);
  std::vector<std::uint8_t> bytes;
  auto put16 = [&bytes](std::uint32_t v) {
    for (int i = 0; i < 2; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto put32 = [&bytes](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  bytes.push_back('B');
  bytes.push_back('M');
  put32(54 + pixelBytes);
  put32(0);
  put32(54);
  put32(40);
  put32(static_cast<std::uint32_t>(width));
  put32(static_cast<std::uint32_t>(height));
  put16(1);
  put16(24);
  put32(0);
  put32(pixelBytes);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = colour(x, y);
      bytes.push_back(static_cast<std::uint8_t>(c >> 16));
      bytes.push_back(static_cast<std::uint8_t>(c >> 8));
      bytes.push_back(static_cast<std::uint8_t>(c));
    }
    for (int pad = width * 3; pad < rowBytes; ++pad) bytes.push_back(0);
  }
  return bytes;
}

inline void WriteBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
  platform::TFileStream file(fileName, platform::TFileStream::Mode::Create);
  if (!bytes.empty()) file.Write(bytes.data(), bytes.size());
}

// The left half in the key colour (which pixel (0, 0) has), the right half
// in colour: stretched, the halves stay halves; cropped, the key would fill.
constexpr std::uint32_t kKeyColour = 0x00FF00FF;
inline std::vector<std::uint8_t> HalfKeyedBmp(int width, int height, std::uint32_t colour) {
  return BmpBytes(width, height, [width, colour](int x, int) { return x < width / 2 ? kKeyColour : colour; });
}
