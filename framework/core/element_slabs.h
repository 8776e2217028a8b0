#pragma once
// Storage for the small blocks the element model is made of: the elements
// themselves and their child, holder and owner lists.  A model of a million
// elements is made and freed a million blocks at a time, and the passes over
// it run in the order it was made, so both the cost of a block and where it
// lies count.
//
// Blocks come in size classes of 16 bytes up to kLargestPooled.  Each class
// carves its blocks from slabs of kSlabBytes, aligned to their size, so that
// a block finds its slab by masking its address.  A class fills one slab at a
// time: its freed blocks first, then the never-used rest in address order.
// When that slab is full the class moves on to its partly used slab of the
// lowest address, else to an empty one of the lowest address, else to a new
// one.  A slab that empties starts over from its first block, so a model made
// after another was freed lies in address order again, as a fresh heap gives:
// a free list shared by all freed blocks would hand them out scattered over
// everything the earlier model used.  Slabs come from regions of
// kSlabsPerRegion; a region whose slabs are all empty goes back to the heap.
// Passes over a large model visit its elements far from the order they were
// made in, and with small pages most of those visits first wait for an
// address translation.  So once the store holds more than a small model
// needs (kRegionsInSmallPages), further regions are asked for as the
// system's large pages: a region spans two of them, so that at least one
// whole large page lies within it wherever the heap places it.  A small model
// stays in small pages, which the translation buffers cover and which cost
// less to map afresh.
//
// Each class has its own lock, held for a few instructions (the program
// thread and the user-interface thread both make and free elements); slabs
// change hands under one more lock, once per slab.
#include <cstddef>

namespace element_slabs {

inline constexpr std::size_t kGranule = 16;
inline constexpr std::size_t kLargestPooled = 512;
inline constexpr std::size_t kSlabBytes = std::size_t{64} * 1024;
inline constexpr std::size_t kSlabsPerRegion = 64;
inline constexpr std::size_t kRegionsInSmallPages = 16;

// A block of at least size bytes, aligned to 16; larger requests go to the
// general heap.  Raises std::bad_alloc when no memory is left.
void* Allocate(std::size_t size);
// Gives back a block from Allocate with the size it was asked for.
void Release(void* block, std::size_t size) noexcept;

// Regions held from the heap, for tests and diagnostics.
std::size_t RegionCount();

// Whether elements live in slabs.  Builds with AddressSanitizer keep them on
// the general heap, where freed memory is quarantined and leaks are found.
bool HoldsElements();

// Allocate and Release for elements: slabs, or the general heap where
// elements do not live in slabs.
void* AllocateElement(std::size_t size);
void ReleaseElement(void* block, std::size_t size) noexcept;

// A standard allocator over AllocateElement, for the element model's lists.
template <class T>
struct TSlabAllocator {
  using value_type = T;
  TSlabAllocator() = default;
  template <class U>
  TSlabAllocator(const TSlabAllocator<U>&) {}
  T* allocate(std::size_t count) { return static_cast<T*>(AllocateElement(count * sizeof(T))); }
  void deallocate(T* block, std::size_t count) noexcept { ReleaseElement(block, count * sizeof(T)); }
  template <class U>
  bool operator==(const TSlabAllocator<U>&) const {
    return true;
  }
};

}  // namespace element_slabs
