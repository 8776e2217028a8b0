#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace platform {
namespace {

// Marks a byte that does not start a well-formed UTF-8 sequence.
constexpr char32_t kBadByte = 0xFFFFFFFF;

// Unicode of the bytes 0x80-0xFF.  The five bytes that carry no character
// (0x81, 0x83, 0x88, 0x90, 0x98) stand for the C1 controls of their own
// value, so that every byte of a text survives the way through UTF-8.
constexpr std::array<char16_t, 128> kHighHalf = {
    // 0x80
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    // 0x90
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    // 0xA0
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    // 0xB0
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    // 0xC0
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    // 0xD0
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    // 0xE0
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    // 0xF0
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// Code page 437, the IBM PC's.
constexpr std::array<char16_t, 128> kIbmPc = {
    // 0x80
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    // 0x90
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    // 0xA0
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    // 0xB0
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    // 0xC0
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    // 0xD0
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    // 0xE0
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    // 0xF0
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// Code page 852, PC Latin 2.
constexpr std::array<char16_t, 128> kPcLatin2 = {
    // 0x80
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7,
    0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE, 0x0179, 0x00C4, 0x0106,
    // 0x90
    0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A,
    0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D,
    // 0xA0
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D, 0x017E,
    0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,
    // 0xB0
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A,
    0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510,
    // 0xC0
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    // 0xD0
    0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE,
    0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,
    // 0xE0
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161,
    0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4,
    // 0xF0
    0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0,
};

// Code page 895, Kamenický: Czech and Slovak letters at 0x80-0xAF, where 437
// has others; from 0xB0 on it is 437.
constexpr std::array<char16_t, 48> kKamenickyLetters = {
    // 0x80
    0x010C, 0x00FC, 0x00E9, 0x010F, 0x00E4, 0x010E, 0x0164, 0x010D,
    0x011B, 0x011A, 0x0139, 0x00CD, 0x013E, 0x013A, 0x00C4, 0x00C1,
    // 0x90
    0x00C9, 0x017E, 0x017D, 0x00F4, 0x00F6, 0x00D3, 0x016F, 0x00DA,
    0x00FD, 0x00D6, 0x00DC, 0x0160, 0x013D, 0x00DD, 0x0158, 0x0165,
    // 0xA0
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0148, 0x0147, 0x016E, 0x00D4,
    0x0161, 0x0159, 0x0155, 0x0154, 0x00BC, 0x00A7, 0x00AB, 0x00BB,
};

constexpr std::array<char16_t, 128> MakeKamenicky() {
  std::array<char16_t, 128> table = kIbmPc;
  std::copy(kKamenickyLetters.begin(), kKamenickyLetters.end(), table.begin());
  return table;
}

constexpr std::array<char16_t, 128> kKamenicky = MakeKamenicky();

// Code page 1252; its five bytes without a character stand for the C1 controls
// of their own value.
constexpr std::array<char16_t, 128> kWindowsWestern = {
    // 0x80
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    // 0x90
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    // 0xA0
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    // 0xB0
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    // 0xC0
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    // 0xD0
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    // 0xE0
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    // 0xF0
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

// The upper half of a foreign code page; nil for Windows-1250.
const std::array<char16_t, 128>* ForeignHighHalf(int codePage) {
  switch (codePage) {
    case 437:
      return &kIbmPc;
    case 852:
      return &kPcLatin2;
    case 895:
      return &kKamenicky;
    case 1252:
      return &kWindowsWestern;
    default:
      return nullptr;
  }
}

struct ReverseEntry {
  char16_t Code;
  unsigned char Byte;
};

constexpr std::array<ReverseEntry, 128> MakeReverse() {
  std::array<ReverseEntry, 128> reverse{};
  for (std::size_t i = 0; i < kHighHalf.size(); ++i) reverse[i] = {kHighHalf[i], static_cast<unsigned char>(0x80 + i)};
  std::sort(reverse.begin(), reverse.end(), [](const ReverseEntry& a, const ReverseEntry& b) { return a.Code < b.Code; });
  return reverse;
}

constexpr std::array<ReverseEntry, 128> kReverse = MakeReverse();

// Upper-case partner of every byte; bytes without one map to themselves.
constexpr std::array<unsigned char, 256> MakeUpper() {
  std::array<unsigned char, 256> upper{};
  for (std::size_t i = 0; i < upper.size(); ++i) upper[i] = static_cast<unsigned char>(i);
  for (unsigned c = 'a'; c <= 'z'; ++c) upper[c] = static_cast<unsigned char>(c - 0x20);
  // Š Ś Ť Ž Ź sit 0x10 below their small letters.
  for (unsigned c = 0x9A; c <= 0x9F; ++c) {
    if (c != 0x9B) upper[c] = static_cast<unsigned char>(c - 0x10);
  }
  upper[0xB3] = 0xA3;  // ł Ł
  upper[0xB9] = 0xA5;  // ą Ą
  upper[0xBA] = 0xAA;  // ş Ş
  upper[0xBE] = 0xBC;  // ľ Ľ
  upper[0xBF] = 0xAF;  // ż Ż
  // The accented block pairs 0xE0-0xFE with 0xC0-0xDE, except ÷ against ×;
  // ß (0xDF) has no capital and ˙ (0xFF) is no letter.
  for (unsigned c = 0xE0; c <= 0xFE; ++c) {
    if (c != 0xF7) upper[c] = static_cast<unsigned char>(c - 0x20);
  }
  return upper;
}

constexpr std::array<unsigned char, 256> MakeLower(const std::array<unsigned char, 256>& upper) {
  std::array<unsigned char, 256> lower{};
  for (std::size_t i = 0; i < lower.size(); ++i) lower[i] = static_cast<unsigned char>(i);
  for (std::size_t i = 0; i < upper.size(); ++i) {
    if (upper[i] != i) lower[upper[i]] = static_cast<unsigned char>(i);
  }
  return lower;
}

constexpr std::array<unsigned char, 256> kUpper = MakeUpper();
constexpr std::array<unsigned char, 256> kLower = MakeLower(kUpper);

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Reads one code point at position i and advances past it.  A byte that does
// not begin a well-formed sequence (stray continuation, overlong form,
// surrogate, beyond U+10FFFF, cut short) is consumed alone as kBadByte.
char32_t DecodeNext(std::string_view s, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  std::size_t length = 0;
  char32_t code = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    ++i;
    return kBadByte;
  }
  if (i + length > s.size() || byte(i + 1) < low || byte(i + 1) > high) {
    ++i;
    return kBadByte;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (!IsContinuation(byte(i + k))) {
      ++i;
      return kBadByte;
    }
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  i += length;
  return code;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The Windows-1250 byte of a code point, or false when the code page lacks it.
bool ToCp1250(char32_t code, unsigned char& out) {
  if (code < 0x80) {
    out = static_cast<unsigned char>(code);
    return true;
  }
  if (code > 0xFFFF) return false;
  const auto it = std::lower_bound(kReverse.begin(), kReverse.end(), code,
                                   [](const ReverseEntry& e, char32_t c) { return e.Code < c; });
  if (it == kReverse.end() || it->Code != code) return false;
  out = it->Byte;
  return true;
}

char32_t FromCp1250(unsigned char b) { return b < 0x80 ? char32_t{b} : char32_t{kHighHalf[b - 0x80]}; }

// Re-cases every character the code page holds; others pass unchanged and
// malformed bytes become '?'.
char32_t RecaseNext(std::string_view utf8, std::size_t& i, const std::array<unsigned char, 256>& table) {
  if (const auto lead = static_cast<unsigned char>(utf8[i]); lead < 0x80) {
    ++i;
    return table[lead];
  }
  const char32_t code = DecodeNext(utf8, i);
  unsigned char b = 0;
  if (code == kBadByte) return U'?';
  return ToCp1250(code, b) ? FromCp1250(table[b]) : code;
}

std::string Recase(std::string_view utf8, const std::array<unsigned char, 256>& table) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) AppendUtf8(out, RecaseNext(utf8, i, table));
  return out;
}

}  // namespace

std::string Utf8ToCp1250(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t code = DecodeNext(utf8, i);
    unsigned char b = 0;
    out += ToCp1250(code, b) ? static_cast<char>(b) : '?';
  }
  return out;
}

bool EncodableInCp1250(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    unsigned char b = 0;
    if (!ToCp1250(DecodeNext(utf8, i), b)) return false;
  }
  return true;
}

std::string Cp1250ToUtf8(std::string_view cp1250) {
  std::string out;
  out.reserve(cp1250.size());
  for (const char c : cp1250) AppendUtf8(out, FromCp1250(static_cast<unsigned char>(c)));
  return out;
}

char UpperCp1250(char c) { return static_cast<char>(kUpper[static_cast<unsigned char>(c)]); }

char LowerCp1250(char c) { return static_cast<char>(kLower[static_cast<unsigned char>(c)]); }

std::string AnsiUpperCase(std::string_view utf8) { return Recase(utf8, kUpper); }

std::string AnsiLowerCase(std::string_view utf8) { return Recase(utf8, kLower); }

bool AnsiSameUpperCase(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size())
    if (RecaseNext(a, i, kUpper) != RecaseNext(b, j, kUpper)) return false;
  return i == a.size() && j == b.size();
}

int AnsiCompareText(std::string_view a, std::string_view b) {
  const std::string x = Utf8ToCp1250(a);
  const std::string y = Utf8ToCp1250(b);
  const std::size_t common = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < common; ++i) {
    const int cx = kUpper[static_cast<unsigned char>(x[i])];
    const int cy = kUpper[static_cast<unsigned char>(y[i])];
    if (cx != cy) return cx - cy;
  }
  if (x.size() == y.size()) return 0;
  return x.size() < y.size() ? -1 : 1;
}

bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

std::size_t Cp1250Length(std::string_view utf8) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < utf8.size(); ++length) DecodeNext(utf8, i);
  return length;
}

std::string CodePageToUtf8(int codePage, std::string_view bytes) {
  const std::array<char16_t, 128>* high = ForeignHighHalf(codePage);
  if (!high) return Cp1250ToUtf8(bytes);
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    AppendUtf8(out, b < 0x80 ? char32_t{b} : char32_t{(*high)[b - 0x80]});
  }
  return out;
}

std::string Utf8ToCodePage(int codePage, std::string_view utf8) {
  const std::array<char16_t, 128>* high = ForeignHighHalf(codePage);
  if (!high) return Utf8ToCp1250(utf8);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t code = DecodeNext(utf8, i);
    if (code < 0x80) {
      out += static_cast<char>(code);
      continue;
    }
    const auto at = std::find(high->begin(), high->end(), code);
    out += at == high->end() ? '?' : static_cast<char>(0x80 + (at - high->begin()));
  }
  return out;
}

}  // namespace platform
