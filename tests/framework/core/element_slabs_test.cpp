#include "framework/core/element_slabs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "tests/platform/large_page_spans.h"

namespace {

using namespace element_slabs;

std::uintptr_t Address(const void* block) { return reinterpret_cast<std::uintptr_t>(block); }
std::uintptr_t SlabAddress(const void* block) { return Address(block) & ~(std::uintptr_t{kSlabBytes} - 1); }

// Sizes of classes that no element or list of the model takes, so that what
// other tests left behind in the store does not meet these tests' blocks.
constexpr std::size_t kLoneSize = 496;
constexpr std::size_t kBlocksPerSlab = (kSlabBytes - 64) / kLoneSize;

TEST(ElementSlabsTest, BlocksAreAlignedWritableAndApart) {
  const struct {
    const char* name;
    std::size_t size;
  } rows[] = {{"empty request", 0},  {"one byte", 1},           {"one granule", 16},
              {"just past a granule", 17}, {"largest pooled", kLargestPooled},
              {"just past the pooled", kLargestPooled + 1}, {"large", 4096}};
  for (const auto& row : rows) {
    std::vector<std::pair<std::uintptr_t, std::uintptr_t>> spans;
    std::vector<void*> blocks;
    for (int i = 0; i < 300; ++i) {
      void* block = Allocate(row.size);
      ASSERT_NE(block, nullptr) << row.name;
      EXPECT_EQ(Address(block) % kGranule, 0u) << row.name;
      std::memset(block, 0xA5, row.size);
      blocks.push_back(block);
      spans.emplace_back(Address(block), Address(block) + std::max<std::size_t>(row.size, 1));
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i)
      EXPECT_LE(spans[i - 1].second, spans[i].first) << row.name << ": blocks " << i - 1 << " and " << i << " overlap";
    for (void* block : blocks) Release(block, row.size);
  }
}

// Blocks freed in any order come back in address order once their slabs have
// emptied: a model made after another was freed lies as a fresh one does.
TEST(ElementSlabsTest, AModelMadeAfterAFreedOneLiesInAddressOrder) {
  const std::size_t count = 5 * kBlocksPerSlab;
  std::vector<void*> blocks;
  for (std::size_t i = 0; i < count; ++i) blocks.push_back(Allocate(kLoneSize));
  std::shuffle(blocks.begin(), blocks.end(), std::mt19937(2026));
  for (void* block : blocks) Release(block, kLoneSize);
  blocks.clear();
  for (std::size_t i = 0; i < count; ++i) blocks.push_back(Allocate(kLoneSize));
  std::size_t jumps = 0;
  for (std::size_t i = 1; i < count; ++i)
    if (Address(blocks[i]) != Address(blocks[i - 1]) + kLoneSize) ++jumps;
  // One jump to each further slab; a free list in freeing order jumps at nearly every block.
  EXPECT_LE(jumps, count / kBlocksPerSlab + 1);
  for (void* block : blocks) Release(block, kLoneSize);
}

TEST(ElementSlabsTest, AFullSlabGoesOnToThePartlyUsedSlabOfTheLowestAddress) {
  std::vector<void*> blocks;
  for (std::size_t i = 0; i < 4 * kBlocksPerSlab; ++i) blocks.push_back(Allocate(kLoneSize));
  // A block from each of two slabs that are filled and left behind.
  void* first = blocks[kBlocksPerSlab + kBlocksPerSlab / 2];
  void* second = blocks[2 * kBlocksPerSlab + kBlocksPerSlab / 2];
  ASSERT_NE(SlabAddress(first), SlabAddress(second));
  ASSERT_NE(SlabAddress(second), SlabAddress(blocks.back()));
  std::erase(blocks, first);
  std::erase(blocks, second);
  Release(second, kLoneSize);
  Release(first, kLoneSize);
  const std::uintptr_t lower = std::min(Address(first), Address(second));
  const std::uintptr_t higher = std::max(Address(first), Address(second));
  std::vector<std::uintptr_t> refills;
  for (std::size_t i = 0; i <= kBlocksPerSlab + 1 && refills.size() < 2; ++i) {
    void* block = Allocate(kLoneSize);
    blocks.push_back(block);
    if (Address(block) == lower || Address(block) == higher) refills.push_back(Address(block));
  }
  EXPECT_EQ(refills, (std::vector<std::uintptr_t>{lower, higher}));
  for (void* block : blocks) Release(block, kLoneSize);
}

TEST(ElementSlabsTest, RegionsOfEmptiedSlabsGoBackToTheHeap) {
  const std::size_t before = RegionCount();
  const std::size_t count = 3 * kSlabsPerRegion * kBlocksPerSlab;
  std::vector<void*> blocks;
  for (std::size_t i = 0; i < count; ++i) blocks.push_back(Allocate(kLoneSize));
  EXPECT_GE(RegionCount(), before + 2);
  for (void* block : blocks) Release(block, kLoneSize);
  // The class keeps the slab it fills next, and with it that slab's region.
  EXPECT_LE(RegionCount(), before + 1);
}

// A region hands out every whole slab it holds: all kSlabsPerRegion of them,
// or one fewer where the heap's block does not begin on a slab boundary.
TEST(ElementSlabsTest, ARegionHandsOutEveryWholeSlabItHolds) {
  std::size_t regions = RegionCount();
  int added = 0;
  std::set<std::uintptr_t> slabs;  // of the first region added here
  std::vector<void*> blocks;
  for (std::size_t i = 0; i < 3 * kSlabsPerRegion * kBlocksPerSlab && added < 2; ++i) {
    blocks.push_back(Allocate(kLoneSize));
    if (RegionCount() != regions) {
      regions = RegionCount();
      ++added;
    }
    if (added == 1) slabs.insert(SlabAddress(blocks.back()));
  }
  EXPECT_EQ(added, 2);
  EXPECT_GE(slabs.size(), kSlabsPerRegion - 1);
  EXPECT_LE(slabs.size(), kSlabsPerRegion);
  for (void* block : blocks) Release(block, kLoneSize);
}

// The slabs of blocks[first..], and how many of them lie in memory asked for
// as large pages.
struct TSlabsInLargePages {
  std::size_t Slabs = 0;
  std::size_t Marked = 0;
};

TSlabsInLargePages CountSlabsInLargePages(const std::vector<void*>& blocks, std::size_t first,
                                          std::size_t end = SIZE_MAX) {
  std::set<std::uintptr_t> slabs;
  for (std::size_t i = first; i < std::min(end, blocks.size()); ++i) slabs.insert(SlabAddress(blocks[i]));
  const std::vector<TAddressSpan> marked = LargePageSpans(*slabs.begin(), *slabs.rbegin() + kSlabBytes);
  TSlabsInLargePages count{slabs.size(), 0};
  for (std::uintptr_t slab : slabs)
    for (const TAddressSpan& span : marked)
      if (span.Begin <= slab && slab + kSlabBytes <= span.End) ++count.Marked;
  return count;
}

// A large model is walked far from the order it was made in: past the
// regions of a small model, slabs lie in memory asked for as large pages, at
// least the whole large page that every region holds wherever the heap
// placed it.  A small model stays in small pages.
TEST(ElementSlabsTest, SlabsPastASmallModelLieInMemoryAskedForAsLargePages) {
  if (!SystemHasLargePages()) GTEST_SKIP() << "the system maps no large pages";
  const std::size_t held = RegionCount();
  ASSERT_LT(held + 2, kRegionsInSmallPages) << "other tests left regions behind";
  const std::size_t perRegion = kSlabsPerRegion * kBlocksPerSlab;
  std::vector<void*> blocks;
  for (std::size_t i = 0; i < perRegion; ++i) blocks.push_back(Allocate(kLoneSize));
  const TSlabsInLargePages small = CountSlabsInLargePages(blocks, 0);
  EXPECT_EQ(small.Marked, 0u) << "a small model: " << small.Slabs << " slabs";
  const std::size_t large = kRegionsInSmallPages + 3;
  while (blocks.size() < large * perRegion) blocks.push_back(Allocate(kLoneSize));
  // The blocks of the last two regions come from regions made past the small model's.
  const TSlabsInLargePages last = CountSlabsInLargePages(blocks, blocks.size() - 2 * perRegion);
  // A region of 64 slabs holds at least 32 in a whole large page.
  EXPECT_GE(last.Marked * 3, last.Slabs) << last.Marked << " of " << last.Slabs << " slabs";
  for (void* block : blocks) Release(block, kLoneSize);
}

// The region that makes the store hold more than kRegionsInSmallPages is the
// first asked for as large pages; the one before it is not.
TEST(ElementSlabsTest, TheFirstRegionPastTheSmallModelIsTheFirstInLargePages) {
  if (!SystemHasLargePages()) GTEST_SKIP() << "the system maps no large pages";
  ASSERT_LT(RegionCount() + 2, kRegionsInSmallPages) << "other tests left regions behind";
  std::vector<void*> blocks;
  // The first block of the last small region, and of the first large one.
  std::size_t lastSmall = 0, firstLarge = 0, next = 0;
  while (next == 0 && blocks.size() < 2 * kRegionsInSmallPages * kSlabsPerRegion * kBlocksPerSlab) {
    const std::size_t before = RegionCount();
    blocks.push_back(Allocate(kLoneSize));
    if (RegionCount() == before) continue;
    if (RegionCount() == kRegionsInSmallPages) lastSmall = blocks.size() - 1;
    else if (RegionCount() == kRegionsInSmallPages + 1) firstLarge = blocks.size() - 1;
    else if (RegionCount() == kRegionsInSmallPages + 2) next = blocks.size() - 1;
  }
  ASSERT_TRUE(lastSmall < firstLarge && firstLarge < next);
  const TSlabsInLargePages small = CountSlabsInLargePages(blocks, lastSmall, firstLarge);
  const TSlabsInLargePages large = CountSlabsInLargePages(blocks, firstLarge, next);
  EXPECT_EQ(small.Marked, 0u) << small.Slabs << " slabs";
  // A region of 64 slabs holds at least 32 in a whole large page.
  EXPECT_GE(large.Marked * 3, large.Slabs) << large.Marked << " of " << large.Slabs << " slabs";
  for (void* block : blocks) Release(block, kLoneSize);
}

// Blocks made on one thread and freed on another; each live block is handed
// out once (run under ThreadSanitizer as well).
TEST(ElementSlabsTest, BlocksFreedOnAnotherThreadAreNeverHandedOutTwice) {
  constexpr int kRounds = 20000;
  std::mutex lock;
  std::vector<void*> handed;
  std::atomic<bool> done{false};
  std::atomic<int> duplicates{0};
  std::set<void*> live;
  std::mutex liveLock;
  auto make = [&] {
    void* block = Allocate(kLoneSize - 16);
    {
      std::lock_guard guard(liveLock);
      if (!live.insert(block).second) ++duplicates;
    }
    std::lock_guard guard(lock);
    handed.push_back(block);
  };
  std::thread freer([&] {
    for (bool finished = false; !finished;) {
      std::vector<void*> taken;
      {
        std::lock_guard guard(lock);
        taken.swap(handed);
        finished = done.load();
      }
      for (void* block : taken) {
        {
          std::lock_guard guard(liveLock);
          live.erase(block);
        }
        Release(block, kLoneSize - 16);
      }
      // The freeing thread makes blocks of the same class meanwhile.
      void* own = Allocate(kLoneSize - 16);
      {
        std::lock_guard guard(liveLock);
        if (!live.insert(own).second) ++duplicates;
        live.erase(own);
      }
      Release(own, kLoneSize - 16);
    }
  });
  for (int i = 0; i < kRounds; ++i) make();
  {
    std::lock_guard guard(lock);
    done.store(true);
  }
  freer.join();
  EXPECT_EQ(duplicates.load(), 0);
  EXPECT_TRUE(live.empty());
}

}  // namespace
