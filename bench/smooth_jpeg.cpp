#include "bench/smooth_jpeg.h"

#include <cstdio>
#include <vector>

#include <jpeglib.h>

void WriteSmoothJpeg(const std::string& path, int width, int height) {
  FILE* file = std::fopen(path.c_str(), "wb");
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 80, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(std::size_t(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      row[std::size_t(x) * 3] = JSAMPLE(x * 255 / width);
      row[std::size_t(x) * 3 + 1] = JSAMPLE(y * 255 / height);
      row[std::size_t(x) * 3 + 2] = JSAMPLE((x ^ y) & 0x3F);
    }
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}
