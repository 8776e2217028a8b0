#pragma once
// Devices on small bitmaps whose transform is one world unit a pixel, with
// world (X, Y) at pixel (X, Height - Y), and the checks of what they drew.
#include <cstdlib>
#include <functional>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "render/devices/bitmap_device.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"
#include "tests/render/render_fixture.h"

using WorldPoints = std::initializer_list<std::pair<double, double>>;

// Points the projection of a device maps one to one onto pixels.
inline void OnePixelAUnit(TDevice& device) {
  T_Page& page = *device.Page();
  device.Projection()->Calculate({page.Width() / 2.0, page.Height() / 2.0}, &page, page.HRes());
}

// A bitmap device that owns a white bitmap of that size.
inline std::unique_ptr<TBitmapDevice> MakeBitmapDevice(int width, int height) {
  auto device = std::make_unique<TBitmapDevice>();
  device->SetOwnsBitmap(true);
  device->SetBitmap(platform::Bitmap::Create(width, height).release());
  OnePixelAUnit(*device);
  return device;
}

template <class T>
T* WithVertices(T* element, WorldPoints points) {
  for (const auto& [x, y] : points) element->AddVertex(x, y);
  element->CalcBounds();
  return element;
}

// The pixels not of the background colour that break the rule, as text
// ("" when the picture is exactly what the rule says).
inline std::string PixelsBreaking(platform::Canvas& canvas, const std::function<bool(int, int)>& covered,
                                  platform::ColorValue background = 0xFFFFFF) {
  std::string wrong;
  const platform::PixelRect all = canvas.ClipRect();
  for (int y = 0; y < all.Bottom; ++y)
    for (int x = 0; x < all.Right; ++x)
      if ((canvas.Pixel(x, y) != background) != covered(x, y))
        wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
  return wrong.size() > 400 ? wrong.substr(0, 400) + "..." : wrong;
}

inline bool CentreInside(int x, int y, double left, double top, double right, double bottom) {
  return x + 0.5 > left && x + 0.5 < right && y + 0.5 > top && y + 0.5 < bottom;
}

// A picture read back from a binary PPM file (pdftoppm's output).
struct PpmPicture {
  int Width = 0;
  int Height = 0;
  std::vector<unsigned char> Rgb;
  // 0x00BBGGRR.
  platform::ColorValue At(int x, int y) const {
    const unsigned char* p = &Rgb[(static_cast<std::size_t>(y) * Width + x) * 3];
    return p[0] | p[1] << 8 | p[2] << 16;
  }
};

inline PpmPicture ReadPpm(const std::string& path) {
  PpmPicture picture;
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> picture.Width >> picture.Height >> maxValue;
  in.get();
  if (magic != "P6" || maxValue != 255) return {};
  picture.Rgb.resize(static_cast<std::size_t>(picture.Width) * picture.Height * 3);
  in.read(reinterpret_cast<char*>(picture.Rgb.data()), static_cast<std::streamsize>(picture.Rgb.size()));
  return picture;
}

// The first page of a PDF file rasterised at the resolution.
inline PpmPicture RasterisePdf(const std::string& pdf, int dotsPerInch, const std::string& stem) {
  const std::string command = "pdftoppm -r " + std::to_string(dotsPerInch) + " -f 1 -l 1 -singlefile '" + pdf +
                              "' '" + stem + "'";
  if (std::system(command.c_str()) != 0) return {};
  return ReadPpm(stem + ".ppm");
}
