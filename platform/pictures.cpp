#include "platform/pictures.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/canvas_reference.h"

#include <gif_lib.h>
#include <jpeglib.h>

namespace platform {

namespace {

std::uint32_t Le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t Le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
std::uint32_t Be32(const std::uint8_t* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

[[noreturn]] void Fail(const std::string& reason) { throw EPictureError(reason); }

// Refuses a size before its pixels are allocated.  Headers give sides of up
// to 32 bits each: their product is never formed, it could pass 64 bits.
void CheckSize(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) Fail("prázdný obrázek");
  if (width > MaxPicturePixels / height)
    Fail("obrázek je příliš velký (" + std::to_string(width) + " × " + std::to_string(height) + " bodů)");
}

void Allocate(DecodedPicture& picture, std::int32_t width, std::int32_t height) {
  picture.Width = width;
  picture.Height = height;
  picture.Rgb.assign(std::size_t(width) * std::size_t(height) * 3, 0xFF);
}

// ---------------------------------------------------------------- JPEG

// libjpeg's error exit would end the process: it jumps back into the
// decoder, which raises.  Warnings (corrupt or missing data) count as errors,
// so that a damaged file is never shown half grey.
struct JpegFailure {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void JumpBack(j_common_ptr info) {
  auto* failure = reinterpret_cast<JpegFailure*>(info->err);
  info->err->format_message(info, failure->Message);
  std::longjmp(failure->Jump, 1);
}

void WarningIsError(j_common_ptr info, int level) {
  if (level < 0) JumpBack(info);
}

// Only plain data lives in this frame: the jump skips no destructor.  The
// picture is sized by the caller between the header and the scanlines.
struct JpegJob {
  jpeg_decompress_struct Info;
  JpegFailure Failure;
  const std::uint8_t* Data;
  std::size_t Size;
  std::int64_t Width = 0;
  std::int64_t Height = 0;
};

bool ReadJpegHeader(JpegJob& job) {
  job.Info.err = jpeg_std_error(&job.Failure.Manager);
  job.Failure.Manager.error_exit = JumpBack;
  job.Failure.Manager.emit_message = WarningIsError;
  if (setjmp(job.Failure.Jump)) return false;
  jpeg_create_decompress(&job.Info);
  jpeg_mem_src(&job.Info, job.Data, static_cast<unsigned long>(job.Size));
  jpeg_read_header(&job.Info, TRUE);
  job.Info.out_color_space = JCS_RGB;
  job.Width = job.Info.image_width;
  job.Height = job.Info.image_height;
  return true;
}

bool ReadJpegRows(JpegJob& job, std::uint8_t* rgb) {
  if (setjmp(job.Failure.Jump)) return false;
  jpeg_start_decompress(&job.Info);
  const std::size_t stride = std::size_t(job.Info.output_width) * 3;
  while (job.Info.output_scanline < job.Info.output_height) {
    JSAMPROW row = rgb + std::size_t(job.Info.output_scanline) * stride;
    jpeg_read_scanlines(&job.Info, &row, 1);
  }
  jpeg_finish_decompress(&job.Info);
  return true;
}

struct JpegJobOwner {
  explicit JpegJobOwner(JpegJob* job) : Job(job) {}
  ~JpegJobOwner() {
    jpeg_destroy_decompress(&Job->Info);
    delete Job;
  }
  JpegJob* Job;
};

// ---------------------------------------------------------------- GIF

struct GifSource {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t At = 0;
};

int ReadGifBytes(GifFileType* file, GifByteType* buffer, int count) {
  auto* source = static_cast<GifSource*>(file->UserData);
  const std::size_t n = std::min<std::size_t>(std::size_t(std::max(count, 0)), source->Size - source->At);
  std::memcpy(buffer, source->Data + source->At, n);
  source->At += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* file) const {
    int error = 0;
    DGifCloseFile(file, &error);
  }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void GifFail(const GifFile& file) {
  const char* text = GifErrorString(file->Error);
  Fail(text ? text : "poškozený soubor GIF");
}

void SkipGifExtension(const GifFile& file) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(file.get(), &code, &block) == GIF_ERROR) GifFail(file);
  while (block)
    if (DGifGetExtensionNext(file.get(), &block) == GIF_ERROR) GifFail(file);
}

// The first frame over the screen's background.  The frame's rows are read
// before the screen is made: a damaged file fails after as much memory as
// its data could fill, not after a screen of the size its header claims.
void ReadGifFrame(const GifFile& file, DecodedPicture& picture) {
  if (DGifGetImageDesc(file.get()) == GIF_ERROR) GifFail(file);
  const GifImageDesc& frame = file->Image;
  const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : file->SColorMap;
  if (!colours || colours->ColorCount <= 0) Fail("obrázek GIF nemá paletu");
  CheckSize(frame.Width, frame.Height);
  std::vector<int> rows;
  if (frame.Interlace) {
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
      for (int y = start; y < frame.Height; y += step) rows.push_back(y);
  } else {
    for (int y = 0; y < frame.Height; ++y) rows.push_back(y);
  }
  const auto width = std::size_t(frame.Width);
  std::vector<GifPixelType> lines;  // the rows in the order they come
  for (std::size_t i = 0; i < rows.size(); ++i) {
    lines.resize(lines.size() + width);
    if (DGifGetLine(file.get(), lines.data() + i * width, frame.Width) == GIF_ERROR) GifFail(file);
  }
  Allocate(picture, file->SWidth, file->SHeight);
  if (file->SColorMap && file->SBackGroundColor < file->SColorMap->ColorCount) {
    const GifColorType& c = file->SColorMap->Colors[file->SBackGroundColor];
    for (std::size_t i = 0; i < picture.Rgb.size(); i += 3)
      picture.Rgb[i] = c.Red, picture.Rgb[i + 1] = c.Green, picture.Rgb[i + 2] = c.Blue;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int row = frame.Top + rows[i];
    if (row < 0 || row >= picture.Height) continue;
    const GifPixelType* line = lines.data() + i * width;
    for (int x = 0; x < frame.Width; ++x) {
      const int column = frame.Left + x;
      if (column < 0 || column >= picture.Width) continue;
      const int index = line[std::size_t(x)] < colours->ColorCount ? line[std::size_t(x)] : 0;
      const GifColorType& c = colours->Colors[index];
      std::uint8_t* p = picture.Rgb.data() + (std::size_t(row) * std::size_t(picture.Width) + std::size_t(column)) * 3;
      p[0] = c.Red, p[1] = c.Green, p[2] = c.Blue;
    }
  }
}

// ---------------------------------------------------------------- through the class library

DecodedPicture FromQImage(const std::uint8_t* data, std::size_t size, const char* format, bool biLevel) {
  const QImage image =
      QImage::fromData(QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), format)
          .convertToFormat(QImage::Format_RGB888);
  if (image.isNull()) Fail("zkrácený nebo poškozený soubor");
  DecodedPicture picture;
  Allocate(picture, image.width(), image.height());
  picture.BiLevel = biLevel;
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(picture.Rgb.data() + std::size_t(y) * std::size_t(image.width()) * 3, image.constScanLine(y),
                std::size_t(image.width()) * 3);
  return picture;
}

std::vector<std::uint8_t> FileBytes(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  if (!file) Fail("soubor nelze otevřít");
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string UpperExtension(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of('/');
  const std::size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = fileName.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
  return ext;
}

}  // namespace

ColorValue DecodedPicture::At(std::int32_t x, std::int32_t y) const {
  const std::uint8_t* p = Row(y) + std::size_t(x) * 3;
  return p[0] | p[1] << 8 | std::uint32_t(p[2]) << 16;
}

DecodedPicture DecodeJpeg(const std::uint8_t* data, std::size_t size) {
  if (size == 0) Fail("prázdný soubor");
  JpegJobOwner owner(new JpegJob{});
  JpegJob& job = *owner.Job;
  job.Data = data;
  job.Size = size;
  if (!ReadJpegHeader(job)) Fail(job.Failure.Message);
  CheckSize(job.Width, job.Height);
  DecodedPicture picture;
  Allocate(picture, static_cast<std::int32_t>(job.Width), static_cast<std::int32_t>(job.Height));
  if (!ReadJpegRows(job, picture.Rgb.data())) Fail(job.Failure.Message);
  return picture;
}

DecodedPicture DecodeGif(const std::uint8_t* data, std::size_t size) {
  GifSource source{data, size};
  int error = 0;
  GifFile file(DGifOpen(&source, ReadGifBytes, &error));
  if (!file) {
    const char* text = GifErrorString(error);
    Fail(text ? text : "poškozený soubor GIF");
  }
  CheckSize(file->SWidth, file->SHeight);
  DecodedPicture picture;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(file.get(), &record) == GIF_ERROR) GifFail(file);
    if (record == IMAGE_DESC_RECORD_TYPE) {
      ReadGifFrame(file, picture);
      return picture;
    }
    if (record == EXTENSION_RECORD_TYPE) SkipGifExtension(file);
    else if (record == TERMINATE_RECORD_TYPE) Fail("soubor GIF neobsahuje obrázek");
  }
}

DecodedPicture DecodeBmp(const std::uint8_t* data, std::size_t size) {
  if (size < 26 || data[0] != 'B' || data[1] != 'M') Fail("není to soubor BMP");
  const std::uint32_t headerSize = Le32(data + 14);
  std::int64_t width = 0, height = 0;
  std::uint16_t bits = 0;
  std::uint32_t compression = 0;
  if (headerSize == 12) {
    width = Le16(data + 18), height = Le16(data + 20), bits = Le16(data + 24);
  } else {
    if (size < 34) Fail("zkrácený nebo poškozený soubor");
    width = static_cast<std::int32_t>(Le32(data + 18));
    height = static_cast<std::int32_t>(Le32(data + 22));
    bits = Le16(data + 28);
    compression = Le32(data + 30);
  }
  if (height < 0) height = -height;
  CheckSize(width, height);
  // The class library's reader shows a picture whose rows run short; one
  // stored row by row must hold them all.
  const bool rowByRow = compression == 0 || compression == 3;
  const std::uint64_t stride = (std::uint64_t(width) * bits + 31) / 32 * 4;
  if (rowByRow && std::uint64_t(Le32(data + 10)) + stride * std::uint64_t(height) > size)
    Fail("zkrácený nebo poškozený soubor");
  return FromQImage(data, size, "BMP", bits == 1);
}

DecodedPicture DecodePng(const std::uint8_t* data, std::size_t size) {
  static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size < 29 || std::memcmp(data, signature, sizeof signature) != 0) Fail("není to soubor PNG");
  CheckSize(Be32(data + 16), Be32(data + 20));
  return FromQImage(data, size, "PNG", data[24] == 1);
}

DecodedPicture DecodeWithQt(const std::string& fileName) {
  const QImage image = QImage(QString::fromStdString(fileName)).convertToFormat(QImage::Format_RGB888);
  DecodedPicture picture;
  if (image.isNull()) return picture;
  picture.Width = image.width();
  picture.Height = image.height();
  picture.Rgb.reserve(std::size_t(picture.Width) * std::size_t(picture.Height) * 3);
  for (int y = 0; y < picture.Height; ++y) {
    const uchar* row = image.constScanLine(y);
    picture.Rgb.insert(picture.Rgb.end(), row, row + std::size_t(picture.Width) * 3);
  }
  return picture;
}

DecodedPicture DecodePictureFile(const std::string& fileName) {
  try {
    const std::string ext = UpperExtension(fileName);
    DecodedPicture (*decode)(const std::uint8_t*, std::size_t) = nullptr;
    if (ext == ".BMP") decode = DecodeBmp;
    else if (ext == ".JPG" || ext == ".JPEG") decode = DecodeJpeg;
    else if (ext == ".GIF") decode = DecodeGif;
    else if (ext == ".PNG") decode = DecodePng;
    else Fail("nepodporovaný formát " + (ext.empty() ? std::string("(bez přípony)") : ext));
    const std::vector<std::uint8_t> bytes = FileBytes(fileName);
    // An empty vector has no data to point at: giflib would copy its
    // signature from nil.
    if (bytes.empty()) Fail("prázdný soubor");
    return decode(bytes.data(), bytes.size());
  } catch (const EPictureError& error) {
    throw EPictureError(error.Reason(), fileName);
  }
}

std::unique_ptr<Bitmap> PictureBitmap(const DecodedPicture& picture) {
  std::unique_ptr<Bitmap> bitmap = Bitmap::Create(picture.Width, picture.Height);
  if (!bitmap) return nullptr;
  for (std::int32_t y = 0; y < picture.Height; ++y)
    std::memcpy(bitmap->ScanLine(y), picture.Row(y), std::size_t(picture.Width) * 3);
  return bitmap;
}

std::unique_ptr<Bitmap> LoadPicture(const std::string& fileName) {
  std::unique_ptr<Bitmap> bitmap = PictureBitmap(DecodePictureFile(fileName));
  if (!bitmap) throw EPictureError("obrázek nelze vytvořit v paměti", fileName);
  return bitmap;
}

void PaintPictureWithQt(Bitmap& bitmap, const DecodedPicture& picture) {
  QImage target(bitmap.ScanLine(0), bitmap.Width(), bitmap.Height(), static_cast<qsizetype>(Bitmap::RowBytes(bitmap.Width())),
                QImage::Format_RGB888);
  const QImage source(picture.Rgb.data(), picture.Width, picture.Height, qsizetype(picture.Width) * 3,
                      QImage::Format_RGB888);
  QPainter painter(&target);
  painter.drawImage(target.rect(), source);
}

}  // namespace platform
