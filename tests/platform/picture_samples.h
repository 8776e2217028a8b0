#pragma once
// The sample pictures of samples/pictures/, written from the pixel rules
// below: BMP and PNG byte by byte, JPEG through libjpeg's encoder, GIF
// through giflib's.  Tests compare what the decoders give with these rules.
#include <cstdint>
#include <string>
#include <vector>

namespace samples {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
  std::uint8_t R = 0, G = 0, B = 0;
  bool operator==(const Rgb&) const = default;
};

struct PictureSize {
  int Width;
  int Height;
};

inline constexpr PictureSize kColourBmp{7, 5};
inline constexpr PictureSize kMonoBmp{13, 6};
inline constexpr PictureSize kColourJpeg{64, 48};
inline constexpr PictureSize kColourGif{20, 10};
inline constexpr PictureSize kLargeJpeg{4000, 1000};

// Every pixel its own colour: rows, columns and bytes are told apart.
Rgb ColourBmpPixel(int x, int y);
// Set pixels are black, the others white.
bool MonoBmpSet(int x, int y);
// Smooth, so that a lossy encoding stays close.
Rgb SmoothPixel(int x, int y, PictureSize size);
// The GIF samples' 16-colour palette and their index of a pixel.
Rgb GifPalette(int index);
int GifIndex(int x, int y);

Bytes Bmp24(PictureSize size, Rgb (*pixel)(int, int));
Bytes Bmp1(PictureSize size, bool (*set)(int, int));
Bytes Jpeg(PictureSize size, int quality);
Bytes Gif(PictureSize size, bool interlaced);

// Every sample file, name and bytes.
std::vector<std::pair<std::string, Bytes>> PictureSamples();
void WritePictureSamples(const std::string& folder);

}  // namespace samples
