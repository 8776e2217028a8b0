#include "cartography/symbols/stroke_font_data.h"

#include <algorithm>
#include <utility>

namespace {

std::uint8_t ByteAt(const std::string& data, std::size_t at) { return static_cast<std::uint8_t>(data[at]); }
std::int32_t WordAt(const std::string& data, std::size_t at) { return ByteAt(data, at) | ByteAt(data, at + 1) << 8; }

// Bit 6 of the seven is the sign.
std::int8_t Signed7(std::uint8_t bits) {
  const int value = bits & 0x7F;
  return static_cast<std::int8_t>(value >= 64 ? value - 128 : value);
}

constexpr std::size_t kTableStart = 16;

}  // namespace

bool TStrokeFontData::Assign(std::string data) {
  Clear();
  if (data.size() < kTableStart || data[0] != '+') return false;
  const std::int32_t count = WordAt(data, 1);
  const std::int32_t strokeStart = WordAt(data, 5);
  if (kTableStart + 3 * static_cast<std::size_t>(count) > data.size()) return false;
  if (static_cast<std::size_t>(strokeStart) > data.size()) return false;
  data_ = std::move(data);
  first_ = ByteAt(data_, 4);
  // The codes past 255 cannot be asked for.
  count_ = std::min(count, 256 - first_);
  strokeStart_ = strokeStart;
  top_ = static_cast<std::int8_t>(ByteAt(data_, 8));
  return true;
}

void TStrokeFontData::Clear() {
  data_.clear();
  first_ = 0;
  count_ = 0;
  strokeStart_ = 0;
  top_ = 0;
}

std::uint8_t TStrokeFontData::Width(std::uint8_t code) const {
  if (!HasGlyph(code)) return 0;
  return ByteAt(data_, kTableStart + 2 * static_cast<std::size_t>(WordAt(data_, 1)) + (code - first_));
}

std::vector<TStroke> TStrokeFontData::Strokes(std::uint8_t code) const {
  std::vector<TStroke> strokes;
  if (!HasGlyph(code)) return strokes;
  const std::size_t offset = WordAt(data_, kTableStart + 2 * static_cast<std::size_t>(code - first_));
  for (std::size_t at = strokeStart_ + offset; at + 1 < data_.size(); at += 2) {
    const std::uint8_t first = ByteAt(data_, at);
    const std::uint8_t second = ByteAt(data_, at + 1);
    if (first == 0 && second == 0) break;
    strokes.push_back({Signed7(first), Signed7(second), (second & 0x80) != 0});
  }
  return strokes;
}
