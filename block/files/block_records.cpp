#include "block/files/block_records.h"

#include <numbers>

#include "framework/values/real48.h"

namespace {

// Writes fields one after another from a record's first byte.
class TPacker {
 public:
  explicit TPacker(std::uint8_t* at) : at_(at) {}
  void U8(std::uint8_t value) { at_[pos_++] = value; }
  void Bool(bool value) { U8(value ? 1 : 0); }
  void I16(std::int16_t value) { Little(static_cast<std::uint16_t>(value), 2); }
  void I32(std::int32_t value) { Little(static_cast<std::uint32_t>(value), 4); }
  void Real(double value) {
    for (std::uint8_t byte : DoubleToReal48(value)) U8(byte);
  }
  template <std::size_t N>
  void Raw(const std::array<std::uint8_t, N>& bytes) {
    for (std::uint8_t byte : bytes) U8(byte);
  }
  // Reserved bytes are written as zero.
  void Reserved(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) U8(0);
  }

 private:
  void Little(std::uint32_t bits, int count) {
    for (int i = 0; i < count; ++i) U8(static_cast<std::uint8_t>(bits >> (8 * i)));
  }
  std::uint8_t* at_;
  std::size_t pos_ = 0;
};

// Reads fields one after another from a record's first byte.
class TUnpacker {
 public:
  explicit TUnpacker(const std::uint8_t* at) : at_(at) {}
  void U8(std::uint8_t& value) { value = at_[pos_++]; }
  void Bool(bool& value) { value = at_[pos_++] != 0; }
  void I16(std::int16_t& value) { value = static_cast<std::int16_t>(Little(2)); }
  void I32(std::int32_t& value) { value = static_cast<std::int32_t>(Little(4)); }
  void Real(double& value) {
    Real48Bytes bytes;
    for (std::uint8_t& byte : bytes) U8(byte);
    value = Real48ToDouble(bytes);
  }
  template <std::size_t N>
  void Raw(std::array<std::uint8_t, N>& bytes) {
    for (std::uint8_t& byte : bytes) U8(byte);
  }
  void Reserved(std::size_t count) { pos_ += count; }

 private:
  std::uint32_t Little(int count) {
    std::uint32_t bits = 0;
    for (int i = 0; i < count; ++i) bits |= static_cast<std::uint32_t>(at_[pos_++]) << (8 * i);
    return bits;
  }
  const std::uint8_t* at_;
  std::size_t pos_ = 0;
};

template <class IO, class Box>
void BoxFields(IO& io, Box& box) {
  io.Real(box.MaxX);
  io.Real(box.MaxY);
  io.Real(box.MinX);
  io.Real(box.MinY);
}

// Each record's fields in file order, once for writing and reading: R is the
// record (const when writing), IO a TPacker or a TUnpacker.
template <class R, class IO>
void CoordFields(R& r, IO& io) {
  io.Real(r.X);
  io.Real(r.Y);
}

template <class R, class IO>
void LineFields(R& r, IO& io) {
  io.I32(r.Number);
  io.I16(r.Kind);
  io.U8(r.Precision);
  io.U8(r.Flag);
  io.U8(r.Selection);
  io.I16(r.Colour);
  io.I16(r.Symbol);
  io.I16(r.LineSymbol);
  io.Reserved(4);
  io.I32(r.FirstVertex);
  io.I32(r.LastVertex);
  for (auto& link : r.Links) {
    io.I32(link.Line);
    io.U8(link.End);
  }
  io.I32(r.LeftArea);
  io.I32(r.RightArea);
  io.Real(r.Length);
  BoxFields(io, r.Box);
  io.Real(r.LabelX);
  io.Real(r.LabelY);
  io.Real(r.Angle);
}

template <class R, class IO>
void AreaFields(R& r, IO& io) {
  io.I32(r.Number);
  io.I16(r.Kind);
  io.U8(r.Flag);
  io.Reserved(1);
  io.I16(r.Colour);
  io.I16(r.Symbol);
  io.Reserved(4);
  io.I32(r.FirstLine);
  io.Reserved(4);
  io.Bool(r.HasChildren);
  io.I32(r.Parent);
  io.Real(r.LabelX);
  io.Real(r.LabelY);
  BoxFields(io, r.Box);
  io.Real(r.Area);
}

template <class R, class IO>
void PointFields(R& r, IO& io) {
  io.I32(r.Number);
  io.I16(r.Kind);
  io.U8(r.Precision);
  io.U8(r.Flag);
  io.Reserved(1);
  io.I16(r.Colour);
  io.I16(r.Symbol);
  io.Reserved(4);
  io.Real(r.X);
  io.Real(r.Y);
  io.Real(r.Angle);
}

template <class R, class IO>
void TextBoxFields(R& r, IO& io) {
  io.I32(r.Number);
  io.I16(r.Kind);
  io.Raw(r.Reserved6);
  io.U8(r.TextAtrib);
  io.U8(r.TextMode);
  io.U8(r.Font);
  io.Real(r.X);
  io.Real(r.Y);
  io.Real(r.Height);
  io.Real(r.WidthCoef);
  io.Real(r.Direction);
  io.U8(r.Reserved44);
  io.Real(r.Slant);
  io.Real(r.Distance);
  io.I16(r.Colour);
  io.I16(r.Symbol);
  io.Raw(r.Reserved61);
}

template <class R>
typename R::Bytes Encode(const R& record, void (*fields)(const R&, TPacker&)) {
  typename R::Bytes bytes{};
  TPacker packer(bytes.data());
  fields(record, packer);
  return bytes;
}

template <class R>
R Decode(const std::uint8_t* at, void (*fields)(R&, TUnpacker&)) {
  R record;
  TUnpacker unpacker(at);
  fields(record, unpacker);
  return record;
}

// The dummy record 0 of a new block: zero but for its flag.
template <class R, class Flag>
typename R::Bytes DummyWith(Flag R::*flag, Flag value) {
  R record;
  record.*flag = value;
  return record.Encode();
}

}  // namespace

TCoordRecord::Bytes TCoordRecord::Encode() const { return ::Encode(*this, CoordFields<const TCoordRecord, TPacker>); }
TCoordRecord TCoordRecord::Decode(const std::uint8_t* at) { return ::Decode(at, CoordFields<TCoordRecord, TUnpacker>); }

TLineRecord::Bytes TLineRecord::Encode() const { return ::Encode(*this, LineFields<const TLineRecord, TPacker>); }
TLineRecord TLineRecord::Decode(const std::uint8_t* at) { return ::Decode(at, LineFields<TLineRecord, TUnpacker>); }
TLineRecord::Bytes TLineRecord::Dummy() { return DummyWith(&TLineRecord::Flag, std::uint8_t{1}); }

TAreaRecord::Bytes TAreaRecord::Encode() const { return ::Encode(*this, AreaFields<const TAreaRecord, TPacker>); }
TAreaRecord TAreaRecord::Decode(const std::uint8_t* at) { return ::Decode(at, AreaFields<TAreaRecord, TUnpacker>); }
TAreaRecord::Bytes TAreaRecord::Dummy() { return DummyWith(&TAreaRecord::Flag, std::uint8_t{4}); }

TPointRecord::Bytes TPointRecord::Encode() const { return ::Encode(*this, PointFields<const TPointRecord, TPacker>); }
TPointRecord TPointRecord::Decode(const std::uint8_t* at) { return ::Decode(at, PointFields<TPointRecord, TUnpacker>); }
TPointRecord::Bytes TPointRecord::Dummy() { return DummyWith(&TPointRecord::Flag, std::uint8_t{1}); }

TTextBoxRecord::Bytes TTextBoxRecord::Encode() const {
  return ::Encode(*this, TextBoxFields<const TTextBoxRecord, TPacker>);
}
TTextBoxRecord TTextBoxRecord::Decode(const std::uint8_t* at) {
  return ::Decode(at, TextBoxFields<TTextBoxRecord, TUnpacker>);
}
TTextBoxRecord::Bytes TTextBoxRecord::Dummy() { return DummyWith(&TTextBoxRecord::TextAtrib, std::uint8_t{taZrusenT}); }

double TTextBoxRecord::SlantRadians() const {
  return Slant > 1 || Slant < -1 ? Slant * std::numbers::pi / 180 : 0;
}

std::string TextFileHeaderLine(const std::string& blockDir) {
  return "Kestu-export pro Lumar (1998) ... soubor textu pro blok " + blockDir + "\r\n";
}
