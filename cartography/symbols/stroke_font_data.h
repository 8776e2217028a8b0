#pragma once
// The part of a stroke font file from byte 128 on, checked once when loaded
// so that drawing never reads outside it.
#include <cstdint>
#include <string>
#include <vector>

struct TStroke {
  std::int8_t X = 0;
  std::int8_t Y = 0;
  // A line drawn to (X, Y); else a move there.
  bool Draw = false;
  bool operator==(const TStroke&) const = default;
};

class TStrokeFontData {
 public:
  // The file's bytes from 128 on; false when the header or the tables do not
  // fit in them (the font is then not loaded).
  bool Assign(std::string data);
  void Clear();
  bool Empty() const { return data_.empty(); }

  std::uint8_t FirstChar() const { return first_; }
  std::int32_t CharCount() const { return count_; }
  // Origin to the top of capitals, font units.
  std::int8_t Top() const { return top_; }
  bool HasGlyph(std::uint8_t code) const { return code >= first_ && code - first_ < count_; }
  // 0 for a character without a glyph.
  std::uint8_t Width(std::uint8_t code) const;
  // The strokes up to the end pair, or up to the data's end; none for a
  // character without a glyph.
  std::vector<TStroke> Strokes(std::uint8_t code) const;

 private:
  std::string data_;
  std::uint8_t first_ = 0;
  std::int32_t count_ = 0;
  std::int32_t strokeStart_ = 0;
  std::int8_t top_ = 0;
};
