#include "framework/core/element_slabs.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <thread>

#include "platform/memory_advice.h"

namespace element_slabs {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHoldsElements = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kHoldsElements = false;
#else
constexpr bool kHoldsElements = true;
#endif
#else
constexpr bool kHoldsElements = true;
#endif

constexpr std::size_t kClasses = kLargestPooled / kGranule;
constexpr std::size_t kHeaderBytes = 64;
constexpr std::align_val_t kBlockAlignment{kGranule};
constexpr std::size_t kRegionBytes = kSlabBytes * kSlabsPerRegion;
static_assert(kRegionBytes >= 2 * platform::kLargePageBytes, "a region holds a whole large page wherever it lies");

// 1 .. kClasses for pooled sizes.
std::size_t ClassOf(std::size_t size) { return size <= kGranule ? 1 : (size + kGranule - 1) / kGranule; }

struct FreeBlock {
  FreeBlock* Next;
};

struct Slab;
// Slabs ordered by address.  Each slab owns the one node that lists it, and
// the node moves between the sets without allocating: a free never has to
// find memory to tell where its slab now belongs.
using SlabSet = std::set<Slab*>;

// Taken from the heap as a plain block, so that the heap keeps a freed region
// for the next one as it keeps any block (a request for an aligned block this
// large is mapped and unmapped anew each time, each page faulting afresh); the
// slabs start at the first aligned address in it.
struct Region {
  char* Memory = nullptr;
  char* First = nullptr;
  std::size_t Slabs = 0;
  // Slabs that some class holds (its current one, or ones with blocks in use).
  std::size_t Held = 0;
};

// Sits in a slab's first kHeaderBytes; the blocks follow.
struct Slab {
  Region* Owner = nullptr;
  FreeBlock* Free = nullptr;
  char* Unused = nullptr;  // the first block never handed out since the slab started over
  char* End = nullptr;     // past the last whole block
  std::uint32_t Used = 0;
  bool Listed = false;  // among its class's partly used slabs
  SlabSet::node_type Node;

  char* First() { return reinterpret_cast<char*>(this) + kHeaderBytes; }
  void StartOver(std::size_t blockBytes) {
    Free = nullptr;
    Unused = First();
    End = First() + (kSlabBytes - kHeaderBytes) / blockBytes * blockBytes;
    Used = 0;
  }
  bool Full() const { return Free == nullptr && Unused == End; }
  void* Take(std::size_t blockBytes) {
    ++Used;
    if (Free) {
      FreeBlock* block = Free;
      Free = block->Next;
      return block;
    }
    void* block = Unused;
    Unused += blockBytes;
    return block;
  }
  void Put(void* block) {
    auto* free = static_cast<FreeBlock*>(block);
    free->Next = Free;
    Free = free;
    --Used;
  }
};
static_assert(sizeof(Slab) <= kHeaderBytes);

Slab* SlabOf(void* block) {
  return reinterpret_cast<Slab*>(reinterpret_cast<std::uintptr_t>(block) & ~(std::uintptr_t{kSlabBytes} - 1));
}

void List(SlabSet& set, Slab* slab) { set.insert(std::move(slab->Node)); }
void Unlist(SlabSet& set, Slab* slab) { slab->Node = set.extract(slab); }

// A lock held for a few instructions: cheaper than a mutex when, as mostly,
// no other thread wants it.
class SpinGuard {
 public:
  explicit SpinGuard(std::atomic_flag& flag) : flag_(flag) {
    while (flag_.test_and_set(std::memory_order_acquire))
      while (flag_.test(std::memory_order_relaxed)) std::this_thread::yield();
  }
  ~SpinGuard() { flag_.clear(std::memory_order_release); }
  SpinGuard(const SpinGuard&) = delete;
  SpinGuard& operator=(const SpinGuard&) = delete;

 private:
  std::atomic_flag& flag_;
};

struct SizeClass {
  std::atomic_flag Lock;
  Slab* Current = nullptr;
  SlabSet Partial;
};

struct Store {
  std::array<SizeClass, kClasses + 1> Classes;
  // Guards the empty slabs and the regions.
  std::mutex Lock;
  SlabSet Empty;
  std::size_t Regions = 0;
};

Store& Shared() {
  static Store* store = new Store;  // outlives every element
  return *store;
}

Slab* SlabIn(Region& region, std::size_t index) {
  return std::launder(reinterpret_cast<Slab*>(region.First + index * kSlabBytes));
}

// The caller holds the store's lock.
void AddRegion(Store& store) {
  auto region = std::make_unique<Region>();
  region->Memory = static_cast<char*>(::operator new(kRegionBytes));
  // Before any of it is touched: a page the system has mapped small stays small.
  if (store.Regions >= kRegionsInSmallPages) platform::AdviseLargePages(region->Memory, kRegionBytes);
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(region->Memory);
  region->First = region->Memory + ((kSlabBytes - (start & (kSlabBytes - 1))) & (kSlabBytes - 1));
  region->Slabs = static_cast<std::size_t>(region->Memory + kRegionBytes - region->First) / kSlabBytes;
  std::size_t made = 0;
  try {
    for (; made < region->Slabs; ++made) {
      auto* slab = new (region->First + made * kSlabBytes) Slab;
      slab->Owner = region.get();
      SlabSet one{slab};
      slab->Node = one.extract(one.begin());
    }
  } catch (...) {
    for (std::size_t i = 0; i <= made && i < region->Slabs; ++i) SlabIn(*region, i)->~Slab();
    ::operator delete(region->Memory);
    throw;
  }
  for (std::size_t i = 0; i < region->Slabs; ++i) List(store.Empty, SlabIn(*region, i));
  // Its slabs hold it from here; GiveBackSlab frees it with the last.
  static_cast<void>(region.release());
  ++store.Regions;
}

// The empty slab of the lowest address, made ready for blocks of blockBytes.
Slab* TakeEmptySlab(std::size_t blockBytes) {
  Store& store = Shared();
  Slab* slab = nullptr;
  {
    std::lock_guard guard(store.Lock);
    if (store.Empty.empty()) AddRegion(store);
    slab = *store.Empty.begin();
    Unlist(store.Empty, slab);
    ++slab->Owner->Held;
  }
  slab->StartOver(blockBytes);
  return slab;
}

// An emptied slab that its class no longer holds; its region goes back to
// the heap when none of its slabs is held.
void GiveBackSlab(Slab* slab) {
  Store& store = Shared();
  std::lock_guard guard(store.Lock);
  List(store.Empty, slab);
  Region* region = slab->Owner;
  if (--region->Held != 0) return;
  for (std::size_t i = 0; i < region->Slabs; ++i) {
    Slab* each = SlabIn(*region, i);
    Unlist(store.Empty, each);
    each->~Slab();
  }
  ::operator delete(region->Memory);
  delete region;
  --store.Regions;
}

// The slab a class fills next; the caller holds the class's lock.
Slab* NextSlab(SizeClass& sizeClass, std::size_t blockBytes) {
  if (sizeClass.Partial.empty()) return TakeEmptySlab(blockBytes);
  Slab* slab = *sizeClass.Partial.begin();
  Unlist(sizeClass.Partial, slab);
  slab->Listed = false;
  return slab;
}

}  // namespace

void* Allocate(std::size_t size) {
  if (size > kLargestPooled) return ::operator new(size, kBlockAlignment);
  const std::size_t sizeClass = ClassOf(size);
  const std::size_t blockBytes = sizeClass * kGranule;
  SizeClass& state = Shared().Classes[sizeClass];
  const SpinGuard guard(state.Lock);
  if (!state.Current || state.Current->Full()) state.Current = NextSlab(state, blockBytes);
  return state.Current->Take(blockBytes);
}

void Release(void* block, std::size_t size) noexcept {
  if (!block) return;
  if (size > kLargestPooled) {
    ::operator delete(block, kBlockAlignment);
    return;
  }
  const std::size_t sizeClass = ClassOf(size);
  Slab* slab = SlabOf(block);
  SizeClass& state = Shared().Classes[sizeClass];
  {
    const SpinGuard guard(state.Lock);
    slab->Put(block);
    if (slab == state.Current) {
      // Refilled from its first block, in address order again.
      if (slab->Used == 0) slab->StartOver(sizeClass * kGranule);
      return;
    }
    if (slab->Used != 0) {
      if (!slab->Listed) {
        List(state.Partial, slab);
        slab->Listed = true;
      }
      return;
    }
    if (slab->Listed) Unlist(state.Partial, slab);
    slab->Listed = false;
  }
  GiveBackSlab(slab);
}

std::size_t RegionCount() {
  Store& store = Shared();
  std::lock_guard guard(store.Lock);
  return store.Regions;
}

bool HoldsElements() { return kHoldsElements; }

void* AllocateElement(std::size_t size) {
  if constexpr (kHoldsElements) return Allocate(size);
  return ::operator new(size);
}

void ReleaseElement(void* block, std::size_t size) noexcept {
  if constexpr (kHoldsElements) Release(block, size);
  else ::operator delete(block);  // clang declares the sized form only with -fsized-deallocation
}

}  // namespace element_slabs
