#pragma once
// The machine's memory figures, read from the system.  Counts are bytes in
// 64 bits: the published 32-bit figures are clamped by their readers.
#include <cstdint>

namespace platform {

struct MemoryStatus {
  std::uint32_t Length = 32;
  std::uint32_t MemoryLoad = 0;  // percent of physical memory in use
  std::uint64_t TotalPhys = 0;
  std::uint64_t AvailPhys = 0;
  // Physical memory and swap together: what can be committed.
  std::uint64_t TotalPageFile = 0;
  std::uint64_t AvailPageFile = 0;
  // The process's address space and what it has not mapped yet.
  std::uint64_t TotalVirtual = 0;
  std::uint64_t AvailVirtual = 0;
};

// The figures of the system, or of the source a test put in their place.
MemoryStatus ReadMemoryStatus();
// nullptr restores the system's figures.
void SetMemoryStatusSource(MemoryStatus (*source)());

}  // namespace platform
