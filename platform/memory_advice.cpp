#include "platform/memory_advice.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

bool AdviseLargePages(void* start, std::size_t bytes) noexcept {
  constexpr std::uintptr_t kMask = kLargePageBytes - 1;
  const auto first = reinterpret_cast<std::uintptr_t>(start);
  const std::uintptr_t begin = (first + kMask) & ~kMask;
  const std::uintptr_t end = (first + bytes) & ~kMask;
  if (begin >= end) return false;
#ifdef MADV_HUGEPAGE
  return ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE) == 0;
#else
  return false;
#endif
}

}  // namespace platform
