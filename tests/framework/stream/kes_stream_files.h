#pragma once
// Hand-made stream bytes and file helpers for the element stream tests.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
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

inline void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

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
  for (const auto& [property, kind] : properties) Append(bytes, Concat({S(property), I(kind)}));
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
  for (int child : children) Append(bytes, I(child));
  bytes.push_back(0x00);
  return bytes;
}

inline Bytes Header() {
  return Concat({{'K', 'E', 'S', '0'}, S("KARTIR32"), S("3.01 BETA"), S("No comment"), {0x01}});
}

// A whole KES stream: header, the body's items, the body's end.
inline Bytes Stream(std::initializer_list<Bytes> body) {
  Bytes all = Header();
  for (const Bytes& part : body) Append(all, part);
  all.push_back(0x00);
  return all;
}

inline int Count(const Bytes& haystack, const Bytes& needle) {
  int count = 0;
  for (auto at = haystack.begin();; ++at) {
    at = std::search(at, haystack.end(), needle.begin(), needle.end());
    if (at == haystack.end()) return count;
    ++count;
  }
}

inline bool Contains(const Bytes& haystack, const Bytes& needle) { return Count(haystack, needle) > 0; }

inline std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

inline std::string TempFile(const std::string& name) {
  // One file per process: tests run side by side, and so may whole test runs.
  const std::string unique = "kestx_" + name + "_" + std::to_string(getpid()) + ".kes";
  const std::u8string path = (std::filesystem::temp_directory_path() / unique).u8string();
  return std::string(reinterpret_cast<const char*>(path.data()), path.size());
}

inline Bytes ReadFile(const std::string& name) {
  std::ifstream in(PathOf(name), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& name, const Bytes& bytes) {
  std::ofstream out(PathOf(name), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kes
