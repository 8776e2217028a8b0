// Image lists: pictures of one size with their transparent colour.
#include "platform/forms.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include "platform/bitmap_rows.h"
#include "platform/form_impl.h"

namespace platform {

ImageList::ImageList(int width, int height) : impl_(std::make_unique<Impl>()) {
  impl_->width = width;
  impl_->height = height;
}

ImageList::~ImageList() = default;

int ImageList::Width() const { return impl_->width; }
int ImageList::Height() const { return impl_->height; }
void ImageList::SetWidth(int width) { impl_->width = width; }
void ImageList::SetHeight(int height) { impl_->height = height; }
int ImageList::Count() const { return static_cast<int>(impl_->pictures.size()); }

namespace {

std::uint32_t LittleEndian(const QByteArray& bytes, int at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

// Whether an uncompressed bitmap holds every row its header promises; the
// reader would fill the missing ones with whatever it likes.
bool BitmapComplete(const QByteArray& bytes) {
  if (bytes.size() < 54 || !bytes.startsWith("BM")) return true;
  const std::uint32_t compression = LittleEndian(bytes, 30, 4);
  if (compression != 0) return true;
  const std::int64_t offset = LittleEndian(bytes, 10, 4);
  const std::int64_t width = static_cast<std::int32_t>(LittleEndian(bytes, 18, 4));
  const std::int64_t height = static_cast<std::int32_t>(LittleEndian(bytes, 22, 4));
  const std::int64_t bits = LittleEndian(bytes, 28, 2);
  return HoldsBitmapRows(bytes.size(), offset, width, height, bits);
}

struct MaskedPicture {
  QImage picture;
  QImage mask;  // 255 where the picture shows
  bool read = false;
};

// The picture of the file's bytes at the list's size, its transparent
// colour the colour of its pixel (0, 0).
MaskedPicture DecodeMasked(const QByteArray& bytes, int width, int height) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QBuffer::ReadOnly);
  QImageReader reader(&buffer);
  QImage picture = BitmapComplete(bytes) ? reader.read() : QImage();
  MaskedPicture masked;
  masked.read = !picture.isNull();
  if (!masked.read || width <= 0 || height <= 0) return masked;
  picture = picture.convertToFormat(QImage::Format_RGB32);
  const QRgb transparent = picture.pixel(0, 0);
  if (picture.width() != width || picture.height() != height)
    picture = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  QImage mask(picture.size(), QImage::Format_Grayscale8);
  for (int y = 0; y < height; ++y) {
    const auto* colours = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    uchar* shows = mask.scanLine(y);
    for (int x = 0; x < width; ++x) shows[x] = colours[x] == transparent ? 0 : 255;
  }
  masked.picture = picture;
  masked.mask = mask;
  return masked;
}

// Pictures decoded before, by the bytes and the size: the bars of a window
// show the same few small files in group after group.  Kept to a bounded
// number of files of tool-button size; larger ones are decoded each time.
MaskedPicture DecodedMasked(const QByteArray& bytes, int width, int height) {
  constexpr std::size_t kMostKept = 256;
  constexpr qsizetype kLargestKept = 64 * 1024;
  if (bytes.size() > kLargestKept) return DecodeMasked(bytes, width, height);
  static std::map<std::tuple<int, int, QByteArray>, MaskedPicture> decoded;
  auto key = std::make_tuple(width, height, bytes);
  if (const auto found = decoded.find(key); found != decoded.end()) return found->second;
  if (decoded.size() >= kMostKept) decoded.clear();
  return decoded.emplace(std::move(key), DecodeMasked(bytes, width, height)).first->second;
}

}  // namespace

bool ImageList::AddMasked(const std::string& fileName) {
  QFile file(Q(fileName));
  QByteArray bytes;
  if (file.open(QFile::ReadOnly)) bytes = file.readAll();
  const MaskedPicture masked = DecodedMasked(bytes, impl_->width, impl_->height);
  impl_->Add(masked.picture, masked.mask);
  return masked.read;
}

void ImageList::Clear() {
  impl_->pictures.clear();
  impl_->masks.clear();
  impl_->icons.clear();
}

bool ImageList::Empty(int index) const {
  return index < 0 || index >= Count() || impl_->pictures[index].isNull();
}

std::uint32_t ImageList::Pixel(int index, int x, int y) const {
  if (Empty(index) || !impl_->pictures[index].valid(x, y)) return 0;
  const QRgb rgb = impl_->pictures[index].pixel(x, y);
  return static_cast<std::uint32_t>(qRed(rgb)) | (static_cast<std::uint32_t>(qGreen(rgb)) << 8) |
         (static_cast<std::uint32_t>(qBlue(rgb)) << 16);
}

bool ImageList::Transparent(int index, int x, int y) const {
  if (Empty(index) || !impl_->masks[index].valid(x, y)) return true;
  return qGray(impl_->masks[index].pixel(x, y)) == 0;
}

}  // namespace platform
