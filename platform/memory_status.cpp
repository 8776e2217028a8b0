#include "platform/memory_status.h"

#include <sys/sysinfo.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace platform {
namespace {

// A "Key: n kB" line of /proc/meminfo, in bytes; fallback when absent.
std::uint64_t MemInfoBytes(const std::string& key, std::uint64_t fallback) {
  std::ifstream file("/proc/meminfo");
  std::string line;
  while (std::getline(file, line)) {
    if (line.compare(0, key.size() + 1, key + ":") != 0) continue;
    std::istringstream fields(line.substr(key.size() + 1));
    std::uint64_t kib = 0;
    if (fields >> kib) return kib * 1024u;
  }
  return fallback;
}

// Bytes the process has mapped (first field of statm, in pages).
std::uint64_t MappedBytes() {
  std::ifstream file("/proc/self/statm");
  std::uint64_t pages = 0;
  file >> pages;
  const long pageSize = sysconf(_SC_PAGESIZE);
  return pages * static_cast<std::uint64_t>(pageSize > 0 ? pageSize : 4096);
}

// The user half of a 48-bit address space.
constexpr std::uint64_t kUserAddressSpace = std::uint64_t{1} << 47;

MemoryStatus (*memorySource)() = nullptr;

}  // namespace

void SetMemoryStatusSource(MemoryStatus (*source)()) { memorySource = source; }

MemoryStatus ReadMemoryStatus() {
  if (memorySource) return memorySource();
  MemoryStatus status;
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return status;
  const std::uint64_t unit = info.mem_unit ? info.mem_unit : 1;
  status.TotalPhys = info.totalram * unit;
  status.AvailPhys = MemInfoBytes("MemAvailable", info.freeram * unit);
  if (status.AvailPhys > status.TotalPhys) status.AvailPhys = status.TotalPhys;
  status.TotalPageFile = status.TotalPhys + info.totalswap * unit;
  status.AvailPageFile = status.AvailPhys + info.freeswap * unit;
  if (status.TotalPhys > 0)
    status.MemoryLoad =
        static_cast<std::uint32_t>((status.TotalPhys - status.AvailPhys) * 100u / status.TotalPhys);
  status.TotalVirtual = kUserAddressSpace;
  const std::uint64_t mapped = MappedBytes();
  status.AvailVirtual = mapped < kUserAddressSpace ? kUserAddressSpace - mapped : 0;
  return status;
}

}  // namespace platform
