#pragma once
// Numbers inside the raw blocks of the element stream records: little-endian
// IEEE doubles and 32-bit integers at fixed offsets.
#include <bit>
#include <cstdint>

namespace little_endian {

inline void PutUInt32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t GetUInt32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

inline void PutInt32(std::uint8_t* at, std::int32_t value) { PutUInt32(at, static_cast<std::uint32_t>(value)); }
inline std::int32_t GetInt32(const std::uint8_t* at) { return static_cast<std::int32_t>(GetUInt32(at)); }

inline void PutDouble(std::uint8_t* at, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

inline double GetDouble(const std::uint8_t* at) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | at[i];
  return std::bit_cast<double>(bits);
}

}  // namespace little_endian
