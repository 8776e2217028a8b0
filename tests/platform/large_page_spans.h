#pragma once
// Where this process's memory is marked for large pages, as the system lists
// its mappings in /proc/self/smaps ("hg" among a mapping's flags).
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

struct TAddressSpan {
  std::uintptr_t Begin = 0;
  std::uintptr_t End = 0;
  bool operator==(const TAddressSpan&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TAddressSpan& span) {
  return out << std::hex << span.Begin << '-' << span.End << std::dec;
}

// Whether the system can map large pages on request at all.
inline bool SystemHasLargePages() {
  return std::filesystem::exists("/sys/kernel/mm/transparent_hugepage/enabled");
}

// The marked mappings that meet [begin, end), whole.
inline std::vector<TAddressSpan> LargePageSpans(std::uintptr_t begin, std::uintptr_t end) {
  std::vector<TAddressSpan> spans;
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  TAddressSpan mapping;
  while (std::getline(smaps, line)) {
    if (line.rfind("VmFlags:", 0) == 0) {
      std::istringstream flags(line.substr(8));
      for (std::string flag; flags >> flag;)
        if (flag == "hg" && mapping.Begin < end && begin < mapping.End) spans.push_back(mapping);
      continue;
    }
    const std::size_t dash = line.find('-');
    const std::size_t space = line.find(' ');
    if (dash == std::string::npos || space == std::string::npos || dash > space) continue;
    const std::string first = line.substr(0, dash);
    if (first.find_first_not_of("0123456789abcdef") != std::string::npos) continue;
    mapping.Begin = std::stoull(first, nullptr, 16);
    mapping.End = std::stoull(line.substr(dash + 1, space - dash - 1), nullptr, 16);
  }
  return spans;
}
