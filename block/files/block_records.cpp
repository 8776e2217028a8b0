#include "block/files/block_records.h"

#include <numbers>

#include "framework/values/real48.h"

namespace {

// Writes fields one after another from a record's first byte.
class TPacker {
 public:
  explicit TPacker(std::uint8_t* at) : at_(at) {}
  TPacker& U8(std::uint8_t value) {
    at_[pos_++] = value;
    return *this;
  }
  TPacker& I16(std::int16_t value) { return Little(static_cast<std::uint16_t>(value), 2); }
  TPacker& I32(std::int32_t value) { return Little(static_cast<std::uint32_t>(value), 4); }
  TPacker& Real(double value) {
    for (std::uint8_t byte : DoubleToReal48(value)) U8(byte);
    return *this;
  }
  template <std::size_t N>
  TPacker& Raw(const std::array<std::uint8_t, N>& bytes) {
    for (std::uint8_t byte : bytes) U8(byte);
    return *this;
  }
  TPacker& Zeros(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) U8(0);
    return *this;
  }
  TPacker& Box(const TBlockBox& box) { return Real(box.MaxX).Real(box.MaxY).Real(box.MinX).Real(box.MinY); }
  TPacker& Links(const TLineLinks& links) {
    for (const TLineLink& link : links) I32(link.Line).U8(link.End);
    return *this;
  }
  std::size_t Position() const { return pos_; }

 private:
  TPacker& Little(std::uint32_t bits, int count) {
    for (int i = 0; i < count; ++i) U8(static_cast<std::uint8_t>(bits >> (8 * i)));
    return *this;
  }
  std::uint8_t* at_;
  std::size_t pos_ = 0;
};

// Reads fields one after another from a record's first byte.
class TUnpacker {
 public:
  explicit TUnpacker(const std::uint8_t* at) : at_(at) {}
  std::uint8_t U8() { return at_[pos_++]; }
  std::int16_t I16() { return static_cast<std::int16_t>(Little(2)); }
  std::int32_t I32() { return static_cast<std::int32_t>(Little(4)); }
  double Real() {
    Real48Bytes bytes;
    for (std::uint8_t& byte : bytes) byte = U8();
    return Real48ToDouble(bytes);
  }
  template <std::size_t N>
  void Raw(std::array<std::uint8_t, N>& bytes) {
    for (std::uint8_t& byte : bytes) byte = U8();
  }
  void Skip(std::size_t count) { pos_ += count; }
  TBlockBox Box() {
    TBlockBox box;
    box.MaxX = Real();
    box.MaxY = Real();
    box.MinX = Real();
    box.MinY = Real();
    return box;
  }
  TLineLinks Links() {
    TLineLinks links;
    for (TLineLink& link : links) {
      link.Line = I32();
      link.End = U8();
    }
    return links;
  }

 private:
  std::uint32_t Little(int count) {
    std::uint32_t bits = 0;
    for (int i = 0; i < count; ++i) bits |= static_cast<std::uint32_t>(U8()) << (8 * i);
    return bits;
  }
  const std::uint8_t* at_;
  std::size_t pos_ = 0;
};

}  // namespace

// ---------------------------------------------------------------- TN.CRD

TCoordRecord::Bytes TCoordRecord::Encode() const {
  Bytes bytes{};
  TPacker(bytes.data()).Real(X).Real(Y);
  return bytes;
}

TCoordRecord TCoordRecord::Decode(const std::uint8_t* at) {
  TUnpacker in(at);
  TCoordRecord record;
  record.X = in.Real();
  record.Y = in.Real();
  return record;
}

// ---------------------------------------------------------------- TN.LIN

TLineRecord::Bytes TLineRecord::Encode() const {
  Bytes bytes{};
  TPacker(bytes.data())
      .I32(Number)
      .I16(Kind)
      .U8(Precision)
      .U8(Flag)
      .U8(Selection)
      .I16(Colour)
      .I16(Symbol)
      .I16(LineSymbol)
      .Zeros(4)
      .I32(FirstVertex)
      .I32(LastVertex)
      .Links(Links)
      .I32(LeftArea)
      .I32(RightArea)
      .Real(Length)
      .Box(Box)
      .Real(LabelX)
      .Real(LabelY)
      .Real(Angle);
  return bytes;
}

TLineRecord TLineRecord::Decode(const std::uint8_t* at) {
  TUnpacker in(at);
  TLineRecord r;
  r.Number = in.I32();
  r.Kind = in.I16();
  r.Precision = in.U8();
  r.Flag = in.U8();
  r.Selection = in.U8();
  r.Colour = in.I16();
  r.Symbol = in.I16();
  r.LineSymbol = in.I16();
  in.Skip(4);
  r.FirstVertex = in.I32();
  r.LastVertex = in.I32();
  r.Links = in.Links();
  r.LeftArea = in.I32();
  r.RightArea = in.I32();
  r.Length = in.Real();
  r.Box = in.Box();
  r.LabelX = in.Real();
  r.LabelY = in.Real();
  r.Angle = in.Real();
  return r;
}

TLineRecord::Bytes TLineRecord::Dummy() {
  TLineRecord record;
  record.Flag = 1;
  return record.Encode();
}

// ---------------------------------------------------------------- TN.ARE

TAreaRecord::Bytes TAreaRecord::Encode() const {
  Bytes bytes{};
  TPacker(bytes.data())
      .I32(Number)
      .I16(Kind)
      .U8(Flag)
      .Zeros(1)
      .I16(Colour)
      .I16(Symbol)
      .Zeros(4)
      .I32(FirstLine)
      .Zeros(4)
      .U8(HasChildren ? 1 : 0)
      .I32(Parent)
      .Real(LabelX)
      .Real(LabelY)
      .Box(Box)
      .Real(Area);
  return bytes;
}

TAreaRecord TAreaRecord::Decode(const std::uint8_t* at) {
  TUnpacker in(at);
  TAreaRecord r;
  r.Number = in.I32();
  r.Kind = in.I16();
  r.Flag = in.U8();
  in.Skip(1);
  r.Colour = in.I16();
  r.Symbol = in.I16();
  in.Skip(4);
  r.FirstLine = in.I32();
  in.Skip(4);
  r.HasChildren = in.U8() != 0;
  r.Parent = in.I32();
  r.LabelX = in.Real();
  r.LabelY = in.Real();
  r.Box = in.Box();
  r.Area = in.Real();
  return r;
}

TAreaRecord::Bytes TAreaRecord::Dummy() {
  TAreaRecord record;
  record.Flag = 4;
  return record.Encode();
}

// ---------------------------------------------------------------- TN.PNT

TPointRecord::Bytes TPointRecord::Encode() const {
  Bytes bytes{};
  TPacker(bytes.data())
      .I32(Number)
      .I16(Kind)
      .U8(Precision)
      .U8(Flag)
      .Zeros(1)
      .I16(Colour)
      .I16(Symbol)
      .Zeros(4)
      .Real(X)
      .Real(Y)
      .Real(Angle);
  return bytes;
}

TPointRecord TPointRecord::Decode(const std::uint8_t* at) {
  TUnpacker in(at);
  TPointRecord r;
  r.Number = in.I32();
  r.Kind = in.I16();
  r.Precision = in.U8();
  r.Flag = in.U8();
  in.Skip(1);
  r.Colour = in.I16();
  r.Symbol = in.I16();
  in.Skip(4);
  r.X = in.Real();
  r.Y = in.Real();
  r.Angle = in.Real();
  return r;
}

TPointRecord::Bytes TPointRecord::Dummy() {
  TPointRecord record;
  record.Flag = 1;
  return record.Encode();
}

// ---------------------------------------------------------------- TN.TBX

double TTextBoxRecord::SlantRadians() const {
  return Slant > 1 || Slant < -1 ? Slant * std::numbers::pi / 180 : 0;
}

TTextBoxRecord::Bytes TTextBoxRecord::Encode() const {
  Bytes bytes{};
  TPacker(bytes.data())
      .I32(Number)
      .I16(Kind)
      .Raw(Reserved6)
      .U8(TextAtrib)
      .U8(TextMode)
      .U8(Font)
      .Real(X)
      .Real(Y)
      .Real(Height)
      .Real(WidthCoef)
      .Real(Direction)
      .U8(Reserved44)
      .Real(Slant)
      .Real(Distance)
      .I16(Colour)
      .I16(Symbol)
      .Raw(Reserved61);
  return bytes;
}

TTextBoxRecord TTextBoxRecord::Decode(const std::uint8_t* at) {
  TUnpacker in(at);
  TTextBoxRecord r;
  r.Number = in.I32();
  r.Kind = in.I16();
  in.Raw(r.Reserved6);
  r.TextAtrib = in.U8();
  r.TextMode = in.U8();
  r.Font = in.U8();
  r.X = in.Real();
  r.Y = in.Real();
  r.Height = in.Real();
  r.WidthCoef = in.Real();
  r.Direction = in.Real();
  r.Reserved44 = in.U8();
  r.Slant = in.Real();
  r.Distance = in.Real();
  r.Colour = in.I16();
  r.Symbol = in.I16();
  in.Raw(r.Reserved61);
  return r;
}

TTextBoxRecord::Bytes TTextBoxRecord::Dummy() {
  TTextBoxRecord record;
  record.TextAtrib = taZrusenT;
  return record.Encode();
}

std::string TextFileHeaderLine(const std::string& blockDir) {
  return "Kestu-export pro Lumar (1998) ... soubor textu pro blok " + blockDir + "\r\n";
}
