// Rasters against their anchors in the same run: a large JPEG raster drawn
// tile by tile through the raster servers against Qt's painter scaling the
// decoded picture onto the same bitmap, and opening a picture through a
// raster against a plain libjpeg decode of its scanlines.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "bench/smooth_jpeg.h"
#include "platform/canvas_reference.h"
#include "platform/pictures.h"
#include "render/devices/bitmap_device.h"
#include "render/rasters/raster.h"
#include "render/rasters/raster_interprets.h"
#include "render/render_classes.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr int kDevice = 2000;

// A smooth picture of that size, written once per run into the temporary
// folder.
std::string JpegFile(int width, int height) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kestx_bench_" + std::to_string(getpid()) + "_" + std::to_string(width) + "x" +
                             std::to_string(height) + ".jpg"))
                               .string();
  if (std::filesystem::exists(path)) return path;
  WriteSmoothJpeg(path, width, height);
  return path;
}

// A 2000 × 2000 device showing the world square 0..side.
std::unique_ptr<TBitmapDevice> Device(double side) {
  RegisterRenderClasses();
  auto device = std::make_unique<TBitmapDevice>();
  device->SetOwnsBitmap(true);
  device->SetBitmap(platform::Bitmap::Create(kDevice, kDevice).release());
  T_Page& page = *device->Page();
  device->Projection()->Calculate({side / 2, side / 2}, &page, page.HRes() * side / kDevice);
  return device;
}

void BM_QtPainterLargePicture(benchmark::State& state) {
  const platform::DecodedPicture picture = platform::DecodePictureFile(JpegFile(10000, 10000));
  auto bitmap = platform::Bitmap::Create(kDevice, kDevice);
  for (auto _ : state) platform::PaintPictureWithQt(*bitmap, picture);
}
BENCHMARK(BM_QtPainterLargePicture)->Unit(benchmark::kMillisecond);

void BM_RasterInterpretLargePicture(benchmark::State& state) {
  auto device = Device(10000);
  TRaster raster;
  raster.SetFileName(JpegFile(10000, 10000));
  TRasterInterpret interpret;
  interpret.AttachDevice(device.get());
  interpret.SetInput(&raster);
  for (auto _ : state) interpret.DoIt();
  interpret.DetachDevice();
}
BENCHMARK(BM_RasterInterpretLargePicture)->Unit(benchmark::kMillisecond);

void BM_LibjpegScanlines(benchmark::State& state) {
  const std::string path = JpegFile(4000, 3000);
  for (auto _ : state) {
    FILE* file = std::fopen(path.c_str(), "rb");
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> pixels(std::size_t(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = pixels.data() + std::size_t(info.output_scanline) * info.output_width * 3;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_LibjpegScanlines)->Unit(benchmark::kMillisecond);

void BM_RasterOpensPicture(benchmark::State& state) {
  const std::string path = JpegFile(4000, 3000);
  RegisterRenderClasses();
  for (auto _ : state) {
    TRaster raster;
    raster.SetFileName(path);
    benchmark::DoNotOptimize(raster.GetWidth());
  }
}
BENCHMARK(BM_RasterOpensPicture)->Unit(benchmark::kMillisecond);

}  // namespace
