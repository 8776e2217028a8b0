#pragma once
// The fixed records of a GIS block's files.  There is no file header: the
// record at index n describes object n, record 0 is never an object, and
// every number is little-endian (reals in the six-byte format).  Each record
// encodes to exactly its size in bytes and decodes from them; bytes whose
// meaning is not fixed are kept as read.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr const char* kCoordFileName = "TN.CRD";
inline constexpr const char* kLineFileName = "TN.LIN";
inline constexpr const char* kAreaFileName = "TN.ARE";
inline constexpr const char* kPointFileName = "TN.PNT";
inline constexpr const char* kTextBoxFileName = "TN.TBX";
inline constexpr const char* kTextFileName = "TN.TTX";
inline constexpr const char* kInfoFileName = "INFO.TXT";

// A bounding box in stored order: the converted maximum corner first.
struct TBlockBox {
  double MaxX = 0;
  double MaxY = 0;
  double MinX = 0;
  double MinY = 0;
  bool operator==(const TBlockBox&) const = default;
};

// One end of another line meeting a node of this line.  End is 1 when the
// linked line begins at that node and 0 when it ends there; readers walk on
// in that direction.
struct TLineLink {
  std::int32_t Line = 0;
  std::uint8_t End = 0;
  bool operator==(const TLineLink&) const = default;
};

// The four links in stored order.
enum TLineLinkSlot { llStartPrevious, llEndNext, llStartNext, llEndPrevious };
using TLineLinks = std::array<TLineLink, 4>;

struct TCoordRecord {
  static constexpr std::size_t Size = 12;
  using Bytes = std::array<std::uint8_t, Size>;

  double X = 0;
  double Y = 0;

  Bytes Encode() const;
  static TCoordRecord Decode(const std::uint8_t* at);
  static Bytes Dummy() { return TCoordRecord{}.Encode(); }
};

struct TLineRecord {
  static constexpr std::size_t Size = 103;
  using Bytes = std::array<std::uint8_t, Size>;

  std::int32_t Number = 0;
  std::int16_t Kind = 0;
  std::uint8_t Precision = 0;
  // 0 for a live line; bits 0, 2 or 3 mark a record that is no line.
  std::uint8_t Flag = 0;
  std::uint8_t Selection = 0;
  std::int16_t Colour = 0;
  std::int16_t Symbol = 0;
  std::int16_t LineSymbol = 0;
  std::int32_t FirstVertex = 0;
  std::int32_t LastVertex = 0;
  TLineLinks Links{};
  // 0 or -1: no area on that side.
  std::int32_t LeftArea = 0;
  std::int32_t RightArea = 0;
  double Length = 0;
  TBlockBox Box;
  double LabelX = 0;
  double LabelY = 0;
  double Angle = 0;

  bool IsLine() const { return (Flag & 0x0D) == 0; }
  Bytes Encode() const;
  static TLineRecord Decode(const std::uint8_t* at);
  static Bytes Dummy();
};

struct TAreaRecord {
  static constexpr std::size_t Size = 71;
  using Bytes = std::array<std::uint8_t, Size>;

  std::int32_t Number = 0;
  std::int16_t Kind = 0;
  // 0 for a live area; bits 0 to 2 mark a record that is no area.
  std::uint8_t Flag = 0;
  std::int16_t Colour = 0;
  std::int16_t Symbol = 0;
  // 0 when the area's outline is not made of lines.
  std::int32_t FirstLine = 0;
  bool HasChildren = false;
  // 0 or -1: no parent area.
  std::int32_t Parent = 0;
  double LabelX = 0;
  double LabelY = 0;
  TBlockBox Box;
  double Area = 0;

  // Areas of a thousandth of a square unit or less are slivers, not areas.
  bool IsLiveArea() const { return (Flag & 0x07) == 0 && Area > 0.001; }
  Bytes Encode() const;
  static TAreaRecord Decode(const std::uint8_t* at);
  static Bytes Dummy();
};

struct TPointRecord {
  static constexpr std::size_t Size = 35;
  using Bytes = std::array<std::uint8_t, Size>;

  std::int32_t Number = 0;
  std::int16_t Kind = 0;
  std::uint8_t Precision = 0;
  // 0 for a live point; bit 0 marks a record that is no point.
  std::uint8_t Flag = 0;
  std::int16_t Colour = 0;
  std::int16_t Symbol = 0;
  double X = 0;
  double Y = 0;
  double Angle = 0;

  bool IsPoint() const { return (Flag & 0x01) == 0; }
  Bytes Encode() const;
  static TPointRecord Decode(const std::uint8_t* at);
  static Bytes Dummy();
};

// Bits of TextAtrib.
enum : std::uint8_t { taZrusenT = 0x01, taOkT = 0x02, taTxtZmena = 0x04, taT30 = 0x08 };

struct TTextBoxRecord {
  static constexpr std::size_t Size = 85;
  using Bytes = std::array<std::uint8_t, Size>;

  std::int32_t Number = 0;
  std::int16_t Kind = 0;
  std::array<std::uint8_t, 5> Reserved6{};
  std::uint8_t TextAtrib = 0;
  std::uint8_t TextMode = 0;
  std::uint8_t Font = 0;
  double X = 0;
  double Y = 0;
  double Height = 0;
  double WidthCoef = 0;
  double Direction = 0;
  std::uint8_t Reserved44 = 0;
  double Slant = 0;
  double Distance = 0;
  std::int16_t Colour = 0;
  std::int16_t Symbol = 0;
  std::array<std::uint8_t, 24> Reserved61{};

  bool IsDeleted() const { return (TextAtrib & taZrusenT) != 0; }
  // The slant is stored in degrees; a magnitude of 1 or less means none.
  double SlantRadians() const;
  Bytes Encode() const;
  static TTextBoxRecord Decode(const std::uint8_t* at);
  static Bytes Dummy();
};

// The first line of a new block's TN.TTX (UTF-8, with its CR LF): it stands
// for the dummy text record 0.
std::string TextFileHeaderLine(const std::string& blockDir);
