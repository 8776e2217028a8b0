#include "platform/memory_advice.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdint>
#include <vector>

#include "tests/platform/large_page_spans.h"

namespace {

using platform::kLargePageBytes;

constexpr std::ptrdiff_t kMiB = 1024 * 1024;

// Only the whole large pages inside the span are marked: a page partly
// outside may hold memory the caller does not own.
TEST(MemoryAdviceTest, MarksTheWholeLargePagesInsideTheSpan) {
  if (!SystemHasLargePages()) GTEST_SKIP() << "the system maps no large pages";
  const struct {
    const char* name;
    std::ptrdiff_t offset;  // from an address aligned to a large page
    std::size_t bytes;
    bool advised;
    std::ptrdiff_t markedBegin;
    std::ptrdiff_t markedEnd;
  } rows[] = {
      {"nothing", 0, 0, false, 0, 0},
      {"less than a page from an aligned start", 0, 2 * kMiB - 4096, false, 0, 0},
      {"across a boundary without a whole page", kMiB, 2 * kMiB, false, 0, 0},
      {"exactly one page", 0, 2 * kMiB, true, 0, 2 * kMiB},
      {"a page and a half", 0, 3 * kMiB, true, 0, 2 * kMiB},
      {"a start past a boundary", 4096, 4 * kMiB, true, 2 * kMiB, 4 * kMiB},
      {"an odd start", 1, 4 * kMiB, true, 2 * kMiB, 4 * kMiB},
      {"before the first page to past the second", -kMiB, 6 * kMiB, true, 0, 4 * kMiB},
  };
  constexpr std::size_t kMapped = 12 * kMiB;
  for (const auto& row : rows) {
    // A mapping of its own, so that no row's marks meet another's.
    void* mapped = ::mmap(nullptr, kMapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED) << row.name;
    const auto first = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t base = ((first + kLargePageBytes - 1) & ~(kLargePageBytes - 1)) + kLargePageBytes;
    auto* start = reinterpret_cast<char*>(base) + row.offset;
    EXPECT_EQ(platform::AdviseLargePages(start, row.bytes), row.advised) << row.name;
    std::vector<TAddressSpan> expected;
    if (row.advised)
      expected.push_back({base + static_cast<std::uintptr_t>(row.markedBegin),
                          base + static_cast<std::uintptr_t>(row.markedEnd)});
    EXPECT_EQ(LargePageSpans(first, first + kMapped), expected) << row.name;
    ::munmap(mapped, kMapped);
  }
}

}  // namespace
