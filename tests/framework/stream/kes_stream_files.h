#pragma once
// Hand-made stream bytes and file helpers for the element stream tests.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace kes {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// An integer item with the smallest tag.
inline Bytes I(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  if (value >= -128 && value <= 127) return {0x02, static_cast<std::uint8_t>(bits)};
  if (value >= -32768 && value <= 32767)
    return {0x03, static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8)};
  return {0x04, static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
          static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

// A short string item of plain ASCII text.
inline Bytes S(const std::string& text) {
  Bytes bytes{0x06, static_cast<std::uint8_t>(text.size())};
  for (char c : text) bytes.push_back(static_cast<std::uint8_t>(c));
  return bytes;
}

// A class record: its number, then each property's name and kind.
inline Bytes ClassRecord(const std::string& name, int number,
                         std::initializer_list<std::pair<const char*, int>> properties = {}) {
  Bytes bytes = Concat({I(-1), S(name), I(number), {0x01}});
  for (const auto& [property, kind] : properties) bytes = Concat({bytes, S(property), I(kind)});
  bytes.push_back(0x00);
  return bytes;
}

// An element record: class and element number, the value items, no child list.
inline Bytes Record(int cls, int number, const Bytes& values = {}) {
  return Concat({I(cls), I(number), {0x01}, values, {0x00}, I(0)});
}

// An entity record with its child list.
inline Bytes EntityRecord(int cls, int number, const Bytes& values, std::initializer_list<int> children) {
  Bytes bytes = Concat({I(cls), I(number), {0x01}, values, {0x00}, I(1), {0x01}});
  for (int child : children) bytes = Concat({bytes, I(child)});
  bytes.push_back(0x00);
  return bytes;
}

inline Bytes Header() {
  return Concat({{'K', 'E', 'S', '0'}, S("KARTIR32"), S("3.01 BETA"), S("No comment"), {0x01}});
}

// A whole KES stream: header, the body's items, the body's end.
inline Bytes Stream(std::initializer_list<Bytes> body) {
  Bytes all = Header();
  for (const Bytes& part : body) all = Concat({all, part});
  return Concat({all, {0x00}});
}

inline int Count(const Bytes& haystack, const Bytes& needle) {
  int count = 0;
  for (auto at = haystack.begin();; ++at) {
    at = std::search(at, haystack.end(), needle.begin(), needle.end());
    if (at == haystack.end()) return count;
    ++count;
  }
}

inline Bytes ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& name, const Bytes& bytes) {
  std::ofstream(name, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kes
