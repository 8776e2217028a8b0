#pragma once
// Hints to the system about how the program will use memory it holds.
#include <cstddef>

namespace platform {

// The size and alignment of the large pages the system maps where asked.
inline constexpr std::size_t kLargePageBytes = std::size_t{2} * 1024 * 1024;

// Asks the system to back the whole large pages within [start, start + bytes)
// with large pages when it next maps them: memory walked out of the order it
// was made in then needs one address translation per large page instead of
// one per small page.  Returns whether there was such a page and the system
// took the hint; without it the memory works as before, in small pages.
bool AdviseLargePages(void* start, std::size_t bytes) noexcept;

}  // namespace platform
