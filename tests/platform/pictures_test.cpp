#include "platform/pictures.h"

#include <gtest/gtest.h>


#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/canvas_reference.h"
#include "tests/platform/picture_samples.h"
#include "tests/platform/temp_folder.h"

namespace {

const std::string kSamples = std::string(KESTX_SAMPLES_DIR) + "/pictures/";

samples::Bytes ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

samples::Rgb At(const platform::DecodedPicture& picture, int x, int y) {
  const std::uint8_t* p = picture.Row(y) + std::size_t(x) * 3;
  return {p[0], p[1], p[2]};
}

// The first pixel that breaks the rule, as text ("" for none).
std::string FirstWrongPixel(const platform::DecodedPicture& picture, samples::PictureSize size,
                            const std::function<bool(int, int, samples::Rgb)>& right) {
  if (picture.Width != size.Width || picture.Height != size.Height)
    return "size " + std::to_string(picture.Width) + "x" + std::to_string(picture.Height);
  for (int y = 0; y < size.Height; ++y)
    for (int x = 0; x < size.Width; ++x)
      if (!right(x, y, At(picture, x, y))) return "pixel (" + std::to_string(x) + "," + std::to_string(y) + ")";
  return "";
}

std::string ErrorOfDecoding(const std::string& file) {
  try {
    platform::DecodePictureFile(file);
  } catch (const platform::EPictureError& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace

TEST(PictureSamples, AreWhatTheGeneratorWrites) {
  for (const auto& [name, bytes] : samples::PictureSamples())
    EXPECT_TRUE(ReadBytes(kSamples + name) == bytes) << name << " differs: run picture_samples_writer";
}

TEST(Pictures, LosslessFormatsGiveTheGeneratorsPixels) {
  struct Row {
    const char* file;
    samples::PictureSize size;
    bool biLevel;
    std::function<samples::Rgb(int, int)> pixel;
  };
  const auto gif = [](int x, int y) { return samples::GifPalette(samples::GifIndex(x, y)); };
  const Row rows[] = {
      {"colour.bmp", samples::kColourBmp, false, samples::ColourBmpPixel},
      {"mono.bmp", samples::kMonoBmp, true,
       [](int x, int y) { return samples::MonoBmpSet(x, y) ? samples::Rgb{0, 0, 0} : samples::Rgb{255, 255, 255}; }},
      {"colour.gif", samples::kColourGif, false, gif},
      {"interlaced.gif", samples::kColourGif, false, gif},
      {"COLOUR.BMP upper case", samples::kColourBmp, false, samples::ColourBmpPixel},
  };
  TempFolder folder;
  std::filesystem::copy_file(kSamples + "colour.bmp", folder.File("COLOUR.BMP"));
  for (const Row& row : rows) {
    const std::string name = row.file;
    const std::string path =
        name.find(' ') != std::string::npos ? folder.File(name.substr(0, name.find(' '))) : kSamples + name;
    const platform::DecodedPicture picture = platform::DecodePictureFile(path);
    EXPECT_EQ(picture.BiLevel, row.biLevel) << row.file;
    EXPECT_EQ(FirstWrongPixel(picture, row.size, [&](int x, int y, samples::Rgb c) { return c == row.pixel(x, y); }), "")
        << row.file;
  }
}

// A GIF's first frame lies where its descriptor places it on a larger screen
// of the background colour; what falls outside the screen is cut off.
TEST(Pictures, AGifFrameIsPaintedAtItsPlaceOverTheScreensBackground) {
  const struct {
    const char* name;
    samples::PictureSize screen;
    int left, top, background;
    bool interlaced;
  } rows[] = {
      {"frame at the corner", {30, 15}, 0, 0, 5, false},
      {"frame inside", {30, 15}, 7, 3, 2, false},
      {"frame past the right and lower edges", {25, 12}, 10, 5, 9, false},
      {"interlaced frame inside", {30, 15}, 4, 1, 0, true},
  };
  for (const auto& row : rows) {
    samples::Bytes gif = samples::Gif(samples::kColourGif, row.interlaced);
    ASSERT_EQ(gif[13 + 16 * 3], ',') << row.name << ": the image descriptor follows the palette";
    const auto put16 = [&](std::size_t at, int value) {
      gif[at] = static_cast<std::uint8_t>(value & 0xFF);
      gif[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    put16(6, row.screen.Width);
    put16(8, row.screen.Height);
    gif[11] = static_cast<std::uint8_t>(row.background);
    put16(13 + 16 * 3 + 1, row.left);
    put16(13 + 16 * 3 + 3, row.top);
    const platform::DecodedPicture picture = platform::DecodeGif(gif.data(), gif.size());
    EXPECT_EQ(FirstWrongPixel(picture, row.screen,
                              [&](int x, int y, samples::Rgb c) {
                                const int fx = x - row.left, fy = y - row.top;
                                const bool inFrame = fx >= 0 && fy >= 0 && fx < samples::kColourGif.Width &&
                                                     fy < samples::kColourGif.Height;
                                return c == samples::GifPalette(inFrame ? samples::GifIndex(fx, fy) : row.background);
                              }),
              "")
        << row.name;
  }
}

TEST(Pictures, JpegIsWithinThreeOfTheReferenceDecoder) {
  for (const char* name : {"colour.jpg", "large.jpg"}) {
    const platform::DecodedPicture reference = platform::DecodeWithQt(kSamples + name);
    ASSERT_GT(reference.Width, 0) << name;
    const platform::DecodedPicture picture = platform::DecodePictureFile(kSamples + name);
    const samples::PictureSize size{reference.Width, reference.Height};
    EXPECT_EQ(FirstWrongPixel(picture, size,
                              [&](int x, int y, samples::Rgb c) {
                                const std::uint8_t* r = reference.Row(y) + std::size_t(x) * 3;
                                return std::abs(c.R - r[0]) <= 3 && std::abs(c.G - r[1]) <= 3 &&
                                       std::abs(c.B - r[2]) <= 3;
                              }),
              "")
        << name;
  }
}

TEST(Pictures, BadFilesRaiseWithFileAndReason) {
  struct Row {
    const char* file;
    const char* reason;  // what the message holds after the file name
  };
  const Row rows[] = {
      {"truncated.bmp", "zkrácený nebo poškozený soubor"},
      {"truncated.jpg", "Premature end of JPEG file"},
      {"truncated.gif", ""},
      {"corrupt.jpg", ""},
      {"jpeg_named.bmp", "není to soubor BMP"},
      {"huge.bmp", "obrázek je příliš velký (20000 × 20000 bodů)"},
      {"huge.gif", "obrázek je příliš velký (65535 × 65535 bodů)"},
      {"huge.png", "obrázek je příliš velký (4000000000 × 4000000000 bodů)"},
      {"colour.bpw", "nepodporovaný formát .BPW"},
      {"missing.gif", "soubor nelze otevřít"},
  };
  for (const Row& row : rows) {
    const std::string error = ErrorOfDecoding(kSamples + row.file);
    EXPECT_EQ(error.rfind(kSamples + row.file + ": ", 0), 0u) << row.file << ": " << error;
    EXPECT_NE(error, kSamples + row.file + ": ") << row.file << ": a reason is given";
    EXPECT_NE(error.find(row.reason), std::string::npos) << row.file << ": " << error;
  }
}

TEST(Pictures, AnEmptyFileOfEveryFormatIsRefusedWithItsName) {
  TempFolder folder;
  for (const char* name : {"empty.gif", "empty.jpg", "empty.bmp", "empty.png"}) {
    const std::string file = folder.File(name);
    std::ofstream(file, std::ios::binary).close();
    EXPECT_EQ(ErrorOfDecoding(file), file + ": prázdný soubor") << name;
  }
}

TEST(Pictures, ABitmapHoldsThePicturesPixels) {
  const platform::DecodedPicture picture = platform::DecodePictureFile(kSamples + "colour.bmp");
  std::unique_ptr<platform::Bitmap> bitmap = platform::PictureBitmap(picture);
  ASSERT_TRUE(bitmap);
  for (int y = 0; y < picture.Height; ++y)
    for (int x = 0; x < picture.Width; ++x)
      ASSERT_EQ(bitmap->GetCanvas().Pixel(x, y), picture.At(x, y)) << x << "," << y;
  platform::Bitmap::FailNextCreations(1);
  EXPECT_EQ(platform::PictureBitmap(picture), nullptr);
}
