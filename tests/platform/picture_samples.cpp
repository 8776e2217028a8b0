#include "tests/platform/picture_samples.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>

namespace samples {

namespace {

void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The file header and the 40-byte information header.
Bytes BmpHeaders(PictureSize size, int bits, std::uint32_t paletteBytes, std::uint32_t imageBytes) {
  Bytes out{'B', 'M'};
  const std::uint32_t offset = 14 + 40 + paletteBytes;
  Put32(out, offset + imageBytes);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, std::uint32_t(size.Width));
  Put32(out, std::uint32_t(size.Height));
  Put16(out, 1);
  Put16(out, std::uint32_t(bits));
  Put32(out, 0);
  Put32(out, imageBytes);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  return out;
}

std::string WorldFile(double pixel, double left, double top) {
  char text[200];
  std::snprintf(text, sizeof text, "%g\r\n0\r\n0\r\n%g\r\n%.3f\r\n%.3f\r\n", pixel, -pixel, left, top);
  return text;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Prefix(const Bytes& bytes, std::size_t count) { return Bytes(bytes.begin(), bytes.begin() + long(count)); }

void PutBe32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(v >> shift));
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

std::uint32_t Adler32(const Bytes& data) {
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

// Length, type, data and the CRC of type and data.
void PutPngChunk(Bytes& out, const char (&type)[5], const Bytes& data) {
  PutBe32(out, std::uint32_t(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBe32(out, Crc32(out.data() + start, out.size() - start));
}

// The signature and the header of an 8-bit RGB picture of any size.
Bytes PngHeader(std::uint32_t width, std::uint32_t height) {
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBe32(header, width);
  PutBe32(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});
  PutPngChunk(out, "IHDR", header);
  return out;
}

int WriteGifBytes(GifFileType* file, const GifByteType* data, int count) {
  auto* out = static_cast<Bytes*>(file->UserData);
  out->insert(out->end(), data, data + count);
  return count;
}

}  // namespace

Rgb ColourBmpPixel(int x, int y) {
  return {std::uint8_t(x * 37 + y * 11), std::uint8_t(x * 5 + y * 53 + 7), std::uint8_t(x * y * 3 + 100)};
}

bool MonoBmpSet(int x, int y) { return (x * x + y) % 3 == 0; }

Rgb SmoothPixel(int x, int y, PictureSize size) {
  return {std::uint8_t(x * 255 / (size.Width - 1)), std::uint8_t(y * 255 / (size.Height - 1)),
          std::uint8_t(128 + (x + y) % 8)};
}

Rgb GifPalette(int index) {
  return {std::uint8_t(index * 16), std::uint8_t(255 - index * 15), std::uint8_t((index * 77) & 255)};
}

int GifIndex(int x, int y) { return (x / 2 + y) % 16; }

Bytes Bmp24(PictureSize size, Rgb (*pixel)(int, int)) {
  const std::uint32_t stride = (std::uint32_t(size.Width) * 3 + 3) / 4 * 4;
  Bytes out = BmpHeaders(size, 24, 0, stride * std::uint32_t(size.Height));
  for (int y = size.Height - 1; y >= 0; --y) {
    std::size_t rowStart = out.size();
    for (int x = 0; x < size.Width; ++x) {
      const Rgb c = pixel(x, y);
      out.insert(out.end(), {c.B, c.G, c.R});
    }
    out.resize(rowStart + stride, 0);
  }
  return out;
}

Bytes Bmp1(PictureSize size, bool (*set)(int, int)) {
  const std::uint32_t stride = (std::uint32_t(size.Width) + 31) / 32 * 4;
  Bytes out = BmpHeaders(size, 1, 8, stride * std::uint32_t(size.Height));
  out.insert(out.end(), {0, 0, 0, 0, 255, 255, 255, 0});  // 0 black, 1 white
  for (int y = size.Height - 1; y >= 0; --y) {
    Bytes row(stride, 0);
    for (int x = 0; x < size.Width; ++x)
      if (!set(x, y)) row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

Bytes Jpeg(PictureSize size, int quality) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  jpeg_mem_dest(&info, &buffer, &length);
  info.image_width = JDIMENSION(size.Width);
  info.image_height = JDIMENSION(size.Height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  Bytes row(std::size_t(size.Width) * 3);
  for (int y = 0; y < size.Height; ++y) {
    for (int x = 0; x < size.Width; ++x) {
      const Rgb c = SmoothPixel(x, y, size);
      row[std::size_t(x) * 3] = c.R, row[std::size_t(x) * 3 + 1] = c.G, row[std::size_t(x) * 3 + 2] = c.B;
    }
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + length);
  std::free(buffer);
  return out;
}

namespace {

// Rows without filtering, in stored deflate blocks: no compressor needed.
Bytes Png(PictureSize size, Rgb (*pixel)(int, int)) {
  Bytes raw;
  for (int y = 0; y < size.Height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < size.Width; ++x) {
      const Rgb c = pixel(x, y);
      raw.insert(raw.end(), {c.R, c.G, c.B});
    }
  }
  Bytes stream{0x78, 0x01};
  constexpr std::size_t kBlock = 65535;
  for (std::size_t at = 0; at < raw.size(); at += kBlock) {
    const std::size_t length = std::min(kBlock, raw.size() - at);
    stream.push_back(at + length == raw.size() ? 1 : 0);
    Put16(stream, std::uint32_t(length));
    Put16(stream, std::uint32_t(~length & 0xFFFF));
    stream.insert(stream.end(), raw.begin() + long(at), raw.begin() + long(at + length));
  }
  PutBe32(stream, Adler32(raw));
  Bytes out = PngHeader(std::uint32_t(size.Width), std::uint32_t(size.Height));
  PutPngChunk(out, "IDAT", stream);
  PutPngChunk(out, "IEND", {});
  return out;
}

}  // namespace

Bytes Gif(PictureSize size, bool interlaced) {
  Bytes out;
  int error = 0;
  GifFileType* file = EGifOpen(&out, WriteGifBytes, &error);
  if (!file) throw std::runtime_error("giflib cannot write");
  GifColorType colours[16];
  for (int i = 0; i < 16; ++i) {
    const Rgb c = GifPalette(i);
    colours[i] = {c.R, c.G, c.B};
  }
  ColorMapObject* map = GifMakeMapObject(16, colours);
  EGifPutScreenDesc(file, size.Width, size.Height, 8, 0, map);
  EGifPutImageDesc(file, 0, 0, size.Width, size.Height, interlaced, nullptr);
  std::vector<int> rows;
  if (interlaced) {
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
      for (int y = start; y < size.Height; y += step) rows.push_back(y);
  } else {
    for (int y = 0; y < size.Height; ++y) rows.push_back(y);
  }
  std::vector<GifPixelType> line(std::size_t(size.Width));
  for (int y : rows) {
    for (int x = 0; x < size.Width; ++x) line[std::size_t(x)] = GifPixelType(GifIndex(x, y));
    EGifPutLine(file, line.data(), size.Width);
  }
  EGifCloseFile(file, &error);
  GifFreeMapObject(map);
  return out;
}

std::vector<std::pair<std::string, Bytes>> PictureSamples() {
  const Bytes colourBmp = Bmp24(kColourBmp, ColourBmpPixel);
  const Bytes jpeg = Jpeg(kColourJpeg, 90);
  const Bytes gif = Gif(kColourGif, false);
  Bytes hugeBmp = Prefix(colourBmp, 54);
  hugeBmp[18] = 0x20, hugeBmp[19] = 0x4E, hugeBmp[20] = 0, hugeBmp[21] = 0;  // 20,000 wide
  hugeBmp[22] = 0x20, hugeBmp[23] = 0x4E, hugeBmp[24] = 0, hugeBmp[25] = 0;  // 20,000 high
  Bytes hugeGif = Prefix(gif, 13 + 16 * 3);  // the header and its palette
  hugeGif[6] = 0xFF, hugeGif[7] = 0xFF, hugeGif[8] = 0xFF, hugeGif[9] = 0xFF;  // 65535 × 65535
  const Bytes png = Png(kColourBmp, ColourBmpPixel);
  Bytes hugePng = PngHeader(4000000000, 4000000000);
  PutPngChunk(hugePng, "IEND", {});
  Bytes corruptJpeg = jpeg;
  for (std::size_t i = 20; i < 60 && i < corruptJpeg.size(); ++i) corruptJpeg[i] = 0xFF;
  return {
      {"colour.bmp", colourBmp},
      {"colour.bpw", Text(WorldFile(2, -700.0, -1200.0))},
      {"mono.bmp", Bmp1(kMonoBmp, MonoBmpSet)},
      {"colour.jpg", jpeg},
      {"colour.jgw", Text(WorldFile(0.5, -1000.25, -2000.25))},
      {"colour.gif", gif},
      {"colour.gfw", Text(WorldFile(10, -500005.0, -1100005.0))},
      {"interlaced.gif", Gif(kColourGif, true)},
      {"large.jpg", Jpeg(kLargeJpeg, 75)},
      {"truncated.bmp", Prefix(colourBmp, colourBmp.size() / 2)},
      {"truncated.jpg", Prefix(jpeg, jpeg.size() / 2)},
      {"truncated.gif", Prefix(gif, gif.size() / 2)},
      {"corrupt.jpg", corruptJpeg},
      {"jpeg_named.bmp", jpeg},
      {"huge.bmp", hugeBmp},
      {"huge.gif", hugeGif},
      {"colour.png", png},
      {"truncated.png", Prefix(png, png.size() / 2)},
      {"huge.png", hugePng},
  };
}

void WritePictureSamples(const std::string& folder) {
  for (const auto& [name, bytes] : PictureSamples()) {
    std::ofstream file(folder + "/" + name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
}

}  // namespace samples
