#pragma once
// Elements, entities and owners: the classes every framework object is made
// of.  An entity holds an ordered list of children; one element may sit in
// several entities.  Besides the published owners list of the owner classes,
// every element keeps a hidden list of the entities whose child lists hold it,
// so that it is freed only by its last holder and, when freed, leaves every
// list it is still in.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/core/element_slabs.h"
#include "platform/type_info.h"

class TEntity;
class TKestuMessage;
class TQuickEntity;
namespace platform {
class TReader;
class TWriter;
}  // namespace platform

// The stamp of the current graph walk: always negative and never -1, so it
// cannot be mistaken for an element number or for "never numbered".
int NewVisitStamp();
int CurrentVisitStamp();

// An ordered list of pointers, contiguous like a vector, that also gives up
// its first entry without moving the others: entries leave a list from
// either end in constant time, and from the middle by moving the shorter
// side.  Children leave their entities and holders their elements one by one
// in whole graphs; a vector would move the rest of the list each time.
//
// The list is one word: its counts and entries share one block in the element
// slabs, so that reaching an entry (a line's vertex) takes one step through
// the list, and a list costs one allocation.  A list without a block has
// never held anything; once made, the block stays until the list goes.
// Extra, when given, is a word of the owner's kept in the block's header
// (TPointerList keeps its counts there); it moves with the entries and is
// not copied with the list.
struct TNoHeaderWord {};

template <class T, class Extra = TNoHeaderWord>
class TGapList {
 public:
  using value_type = T*;
  using const_iterator = T* const*;
  using iterator = const_iterator;

  TGapList() = default;
  TGapList(const TGapList& other)
      : block_(other.block_ ? NewBlock(std::max(other.size(), kFirstCapacity), other.begin(), other.end()) : nullptr) {}
  TGapList& operator=(const TGapList& other) {
    if (this != &other) TGapList(other).Swap(*this);
    return *this;
  }
  TGapList(TGapList&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  TGapList& operator=(TGapList&& other) noexcept {
    Swap(other);
    return *this;
  }
  void Swap(TGapList& other) noexcept { std::swap(block_, other.block_); }
  ~TGapList() { FreeBlock(block_); }

  const_iterator begin() const { return block_ ? Items() + block_->Front : nullptr; }
  const_iterator end() const { return block_ ? Items() + block_->End : nullptr; }
  std::reverse_iterator<const_iterator> rbegin() const { return std::reverse_iterator<const_iterator>(end()); }
  std::reverse_iterator<const_iterator> rend() const { return std::reverse_iterator<const_iterator>(begin()); }
  std::size_t size() const { return block_ ? block_->End - block_->Front : 0; }
  bool empty() const { return size() == 0; }
  // Whether the list has its block (has held entries, or room was reserved).
  bool Made() const { return block_ != nullptr; }
  // Asks the processor to start loading the block's header and first entries.
  void Prefetch() const {
    if (block_) __builtin_prefetch(block_);
  }
  T* operator[](std::size_t index) const { return Items()[block_->Front + index]; }
  T* at(std::size_t index) const {
    if (index >= size()) throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return (*this)[index];
  }
  T* front() const { return (*this)[0]; }
  T* back() const { return Items()[block_->End - 1]; }
  T*& Slot(std::size_t index) { return Items()[block_->Front + index]; }

  void push_back(T* item) {
    if (!block_ || block_->End == block_->Capacity) MakeRoom(size() + 1);
    Items()[block_->End++] = item;
  }
  // Room for count entries past the gap.
  void reserve(std::size_t count) {
    if (!block_ || block_->Capacity - block_->Front < count) Reallocate(std::max(count, size()));
  }
  void pop_back() {
    --block_->End;
    if (empty()) clear();
  }
  // Inserts before index (appends for index past the end).
  void insert(std::size_t index, T* item) {
    const std::size_t count = size();
    if (index >= count) {
      push_back(item);
      return;
    }
    T** items = Items();
    if (block_->Front > 0 && index < count / 2) {
      const std::size_t first = --block_->Front;
      std::move(items + first + 1, items + first + 1 + index, items + first);
      items[first + index] = item;
      return;
    }
    if (block_->End == block_->Capacity) {
      MakeRoom(count + 1);
      items = Items();
    }
    const std::size_t at = block_->Front + index;
    std::move_backward(items + at, items + block_->End, items + block_->End + 1);
    items[at] = item;
    ++block_->End;
  }
  void erase(std::size_t index) {
    const std::size_t count = size();
    T** items = Items();
    const std::size_t first = block_->Front;
    if (index < count / 2) {
      std::move_backward(items + first, items + first + index, items + first + index + 1);
      items[block_->Front++] = nullptr;
      // The gap never takes more than the entries do.
      if (block_->Front > size() && block_->Front >= 16) Compact();
    } else {
      std::move(items + first + index + 1, items + block_->End, items + first + index);
      --block_->End;
    }
    if (empty()) clear();
  }
  void clear() {
    if (block_) block_->Front = block_->End = 0;
  }
  // Index of the first occurrence, or -1.  Looks from both ends at once, so
  // it is as fast for the last entries as for the first when the caller
  // knows the item to be listed once at most (unique).
  std::ptrdiff_t IndexOfFirst(const T* item, bool unique = false) const {
    const std::size_t count = size();
    for (std::size_t i = 0, j = count; i < j; ++i) {
      if ((*this)[i] == item) return static_cast<std::ptrdiff_t>(i);
      if (--j > i && (*this)[j] == item) {
        if (unique) return static_cast<std::ptrdiff_t>(j);
        // Only the entries between the two ends can still hold an earlier one.
        for (std::size_t k = i + 1; k < j; ++k)
          if ((*this)[k] == item) return static_cast<std::ptrdiff_t>(k);
        return static_cast<std::ptrdiff_t>(j);
      }
    }
    return -1;
  }
  bool operator==(const std::vector<T*>& other) const { return std::equal(begin(), end(), other.begin(), other.end()); }
  bool operator==(const TGapList& other) const { return std::equal(begin(), end(), other.begin(), other.end()); }

  // The most entries a block of bytes holds beside its header.
  static constexpr std::size_t CapacityIn(std::size_t bytes) { return (bytes - sizeof(Block)) / sizeof(T*); }

  // The owner's header word; only for a made list.
  Extra& HeaderWord() const { return block_->Word; }
  // The block as a bare address and back, for an owner that keeps the list
  // in a tagged word of its own: the list taken out owns nothing.
  void* TakeBlock() noexcept { return std::exchange(block_, nullptr); }
  static TGapList FromBlock(void* block) noexcept {
    TGapList list;
    list.block_ = static_cast<Block*>(block);
    return list;
  }

 private:
  // The entries follow the header, between Front and End.
  struct Block {
    std::uint32_t Front;
    std::uint32_t End;
    std::uint32_t Capacity;
    std::uint32_t Unused;
    [[no_unique_address]] Extra Word;
  };
  static_assert(!std::is_empty_v<Extra> || sizeof(Block) == 16, "a list without a header word keeps a 16-byte header");
  static constexpr std::size_t kFirstCapacity = 4;

  T** Items() const { return reinterpret_cast<T**>(block_ + 1); }
  static std::size_t BlockBytes(std::size_t capacity) { return sizeof(Block) + capacity * sizeof(T*); }
  static void FreeBlock(Block* block) {
    if (block) element_slabs::ReleaseElement(block, BlockBytes(block->Capacity));
  }
  // Room past the end for at least count entries in all: closes a gap that
  // takes half the block, else doubles the block.
  void MakeRoom(std::size_t count) {
    if (block_ && block_->Front >= block_->Capacity / 2 && block_->Capacity >= count) Compact();
    else Reallocate(std::max({kFirstCapacity, count, 2 * size()}));
  }
  void Reallocate(std::size_t capacity) {
    Block* made = NewBlock(capacity, begin(), end());
    if (block_) made->Word = block_->Word;
    FreeBlock(std::exchange(block_, made));
  }
  // A block of capacity entries holding [first, last) from its start.
  static Block* NewBlock(std::size_t capacity, const_iterator first, const_iterator last) {
    if (capacity > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("List too long");
    auto* block = static_cast<Block*>(element_slabs::AllocateElement(BlockBytes(capacity)));
    const auto count = static_cast<std::uint32_t>(last - first);
    *block = Block{0, count, static_cast<std::uint32_t>(capacity), 0, Extra{}};
    std::copy(first, last, reinterpret_cast<T**>(block + 1));
    return block;
  }
  void Compact() {
    T** items = Items();
    std::move(items + block_->Front, items + block_->End, items);
    block_->End -= block_->Front;
    block_->Front = 0;
  }

  Block* block_ = nullptr;
};

// A list of pointers in one word: empty, one entry held inline, or (tagged
// by the low bit) the block of a gap list of all entries.  Most elements have
// one holder and one owner, and a million elements should cost neither a
// million small allocations nor more than a word per list; a line held by its
// string, two line-end lists and two nodes costs one block per list, its
// header and entries reached in one step.  A long list also counts its
// entries (the map's address in the block's header), so that removing the
// first occurrence of one listed once does not search the whole list.
template <class T>
class TPointerList {
 public:
  TPointerList() = default;
  TPointerList(const TPointerList&) = delete;
  TPointerList& operator=(const TPointerList&) = delete;
  ~TPointerList() { Release(); }

  int Count() const {
    if (bits_ == 0) return 0;
    return IsList() ? static_cast<int>(Viewed(*this).List.size()) : 1;
  }
  T* At(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return IsList() ? Viewed(*this).List[static_cast<std::size_t>(index)] : Single();
  }
  // Appends for index 0 or an index past the end, else inserts at index.
  void Insert(int index, T* item) {
    if (bits_ == 0 && item) {
      bits_ = reinterpret_cast<std::uintptr_t>(item);
      return;
    }
    const int count = Count();
    Borrowed many(MakeList());
    if (index <= 0 || index >= count) many.List.push_back(item);
    else many.List.insert(static_cast<std::size_t>(index), item);
    if (Counts* counts = many.List.HeaderWord()) ++(*counts)[item];
    else if (many.List.size() >= kCountedFrom) CountAll(many.List);
  }
  void Add(T* item) {
    if (bits_ == 0 && item) bits_ = reinterpret_cast<std::uintptr_t>(item);
    else Insert(0, item);
  }
  // Removes the first occurrence; false when absent.
  bool Remove(const T* item) {
    if (!IsList()) return RemoveSingle(item);
    const std::ptrdiff_t index = [&] {
      const Viewed many(*this);
      const Counts* counts = many.List.HeaderWord();
      const bool once = counts && counts->count(item) != 0 && counts->at(item) == 1;
      return many.List.IndexOfFirst(item, once);
    }();
    return RemoveAt(item, index);
  }
  // Removes one occurrence, whichever is found first from either end: for
  // lists whose order does not matter; false when absent.
  bool RemoveAny(const T* item) {
    if (!IsList()) return RemoveSingle(item);
    return RemoveAt(item, Viewed(*this).List.IndexOfFirst(item, true));
  }
  bool Contains(const T* item) const {
    if (!IsList()) return bits_ != 0 && Single() == item;
    const Viewed many(*this);
    if (const Counts* counts = many.List.HeaderWord()) return counts->count(item) != 0;
    return many.List.IndexOfFirst(item, true) >= 0;
  }
  void Release() {
    if (IsList()) {
      Gap list = Gap::FromBlock(Block());
      delete list.HeaderWord();
    }
    bits_ = 0;
  }
  void Swap(TPointerList& other) { std::swap(bits_, other.bits_); }
  // Asks the processor to start loading the entries' block, for a caller
  // that will search the list soon; a single entry needs no load.
  void Prefetch() const {
    if (IsList()) __builtin_prefetch(Block());
  }

 private:
  static constexpr std::size_t kCountedFrom = 32;
  using Counts = std::unordered_map<const T*, int>;

  using Gap = TGapList<T, Counts*>;
  // A list that outgrows one entry mostly stays short (a line held by its
  // string, its two line-end lists and the nodes at its ends): room for a
  // few at once spares the reallocations of growing one by one, and as many
  // as one cache line holds cost no more than fewer (blocks of a line's
  // size start on a line in the slabs).
  static constexpr std::size_t kFirstCapacity = Gap::CapacityIn(64);
  // The gap list of a list-mode word for the length of a scope, to change
  // it: the word follows the block when the list moves it.
  struct Borrowed {
    explicit Borrowed(TPointerList& owner) : Owner(owner), List(Gap::FromBlock(owner.Block())) {}
    ~Borrowed() { Owner.bits_ = reinterpret_cast<std::uintptr_t>(List.TakeBlock()) | 1u; }
    Borrowed(const Borrowed&) = delete;
    Borrowed& operator=(const Borrowed&) = delete;
    TPointerList& Owner;
    Gap List;
  };
  // The same only to read: the word is not written (two threads may read).
  struct Viewed {
    explicit Viewed(const TPointerList& owner) : List(Gap::FromBlock(owner.Block())) {}
    ~Viewed() { List.TakeBlock(); }
    Viewed(const Viewed&) = delete;
    Viewed& operator=(const Viewed&) = delete;
    Gap List;
  };

  static void CountAll(Gap& list) {
    auto counts = std::make_unique<Counts>();
    for (T* entry : list) ++(*counts)[entry];
    list.HeaderWord() = counts.release();
  }
  bool RemoveSingle(const T* item) {
    if (bits_ == 0 || Single() != item) return false;
    bits_ = 0;
    return true;
  }
  bool RemoveAt(const T* item, std::ptrdiff_t index) {
    if (index < 0) return false;
    bool empty = false;
    {
      Borrowed many(*this);
      many.List.erase(static_cast<std::size_t>(index));
      if (Counts* counts = many.List.HeaderWord()) {
        auto count = counts->find(item);
        if (--count->second == 0) counts->erase(count);
      }
      empty = many.List.empty();
    }
    if (empty) Release();
    return true;
  }
  bool IsList() const { return (bits_ & 1u) != 0; }
  T* Single() const { return reinterpret_cast<T*>(bits_); }
  void* Block() const { return reinterpret_cast<void*>(bits_ & ~std::uintptr_t{1}); }
  // Turns the word into a list (keeping a single entry) and answers it.
  TPointerList& MakeList() {
    if (IsList()) return *this;
    Gap list;
    list.reserve(kFirstCapacity);
    if (bits_ != 0) list.push_back(Single());
    bits_ = reinterpret_cast<std::uintptr_t>(list.TakeBlock()) | 1u;
    return *this;
  }

  std::uintptr_t bits_ = 0;
};

class TElement;

// Raised when an entity is asked to hold or to free itself or one of its
// ancestors: the graph of holders stays acyclic, so walks up the owners end,
// and no entity frees the list it is being changed through.
class ECircularOwnership : public std::runtime_error {
 public:
  ECircularOwnership();
};

// Whether element is an entity in the middle of freeing an element it held
// (clearing its list, letting go of a child or a field): whatever that frees
// must not free it in turn.
bool IsFreeingHeldElements(const TElement* element);

// Elements are referred to in text (and from other threads) by a handle, never
// by address.  0 stands for nil.  A handle is issued on first demand and stays
// the element's for its life; once the element is freed it answers nil for
// good, whatever the number's slot holds later.
//
// The handles come from a table of slots: a handle is a slot's index in its
// low 24 bits and the slot's generation in the 7 bits above (scripts keep
// handles in signed 32-bit integers, so the top bit stays clear).  A slot
// holds the element and its generation in one word; freeing the element
// raises the generation, so every handle issued for it stops matching.
// Freed slots are reused first in, first out, so a slot comes back only after
// every other free one has; a slot whose generation is spent is never reused,
// so no stale handle can ever name another element.  That spends at most 2^31
// handles in a process's life, and the table raises when they run out rather
// than reuse one.
//
// Reading a handle is one load of its slot and a compare, with no lock and
// no branch: the slots are one flat table indexed by the handle's low bits,
// so a read is a single load whose address comes straight from the handle
// (a table of chunk pointers in front cost a second, dependent load, a third
// more than the read itself).  The table is zero until used and never moves;
// it lies in memory the system hands out as zero pages, so only the pages
// that hold issued slots take room.  Every word is atomic, so a reader on
// another thread sees either the element or nil.  Issuing and releasing take
// the free list's own small lock, once each in an element's life.  That two
// threads reach the same element in order (the program thread and the
// user-interface thread) is the world lock's business, as for every other
// part of an element.
namespace element_handles {
inline constexpr unsigned kSlotBits = 24;
inline constexpr std::uint32_t kSlotMask = (std::uint32_t{1} << kSlotBits) - 1;
inline constexpr std::uint32_t kLastHandle = 0x7FFFFFFF;
// A slot's word: the element's address shifted up by kAddressShift (while
// live) or the next free slot there (while free), and in the low byte the
// slot's generation, with kFreeMark added while no element is in it.  The
// shift keeps the word from looking like an address to the leak checker, so
// the table does not keep leaked elements reachable.  A slot never used is
// all zeros: generation 0 and no address.
inline constexpr unsigned kAddressShift = 16;
inline constexpr std::uint64_t kFreeMark = 0x80;
// Plain words read and written through atomic references: an array of
// atomics would need constant evaluation of 2^24 constructors to stay out of
// start-up, which not every compiler does.
using Slot = std::atomic_ref<std::uint64_t>;
alignas(Slot::required_alignment) extern std::uint64_t slots[std::size_t{1} << kSlotBits];

// The element of a handle this table issued (the top bit clear), or nil.
inline TElement* ElementOfIssued(std::uint32_t handle) {
  const std::uint64_t word = Slot(slots[handle & kSlotMask]).load(std::memory_order_acquire);
  // Branch-free: the address times whether the generations match, so a
  // freed link costs what a live one does, with no jump out of the caller's
  // loop and nothing for the branch predictor to learn.
  const bool live = static_cast<std::uint8_t>(word ^ (handle >> kSlotBits)) == 0;
  return reinterpret_cast<TElement*>((word >> kAddressShift) * live);
}
}  // namespace element_handles

std::uint32_t HandleOfElement(TElement* element);
// Whether the live handle was issued after the live handle earlier (or
// earlier is not live).  Numbers do not tell: freed slots come back.
bool IssuedAfter(std::uint32_t handle, std::uint32_t earlier);
// Nil also for numbers that no handle can be.
inline TElement* ElementOfHandle(std::uint32_t handle) {
  return handle > element_handles::kLastHandle ? nullptr : element_handles::ElementOfIssued(handle);
}

// A reference that does not own its element and reads nil once the element
// has been freed.
class TElementLink {
 public:
  TElementLink() = default;
  explicit TElementLink(TElement* element) { Set(element); }
  TElement* Get() const { return element_handles::ElementOfIssued(handle_); }
  void Set(TElement* element) { handle_ = HandleOfElement(element); }
  // Set to an element that has since been freed.
  bool IsDangling() const { return handle_ != 0 && Get() == nullptr; }
  bool IsSet() const { return handle_ != 0; }

 private:
  std::uint32_t handle_ = 0;
};

class TElement : public TPersistent {
  KESTX_CLASS(TElement)
 public:
  TElement();
  ~TElement() override;
  TElement(const TElement&) = delete;
  TElement& operator=(const TElement&) = delete;
  // Elements are made and freed by the million: they live in the slabs.
  static void* operator new(std::size_t size) { return element_slabs::AllocateElement(size); }
  static void operator delete(void* block, std::size_t size) noexcept { element_slabs::ReleaseElement(block, size); }

 private:
  TPointerList<TEntity> holders_;

 public:
  std::int32_t ID = -1;

  virtual int GetSize() const;
  int GetWholeSize();
  virtual int AccumulateSize();
  virtual std::string GetName() const;
  virtual void SetName(const std::string& name);
  virtual TElement* GetOwner(int index) const;
  virtual void InsertOwner(int index, TElement* owner);
  virtual int GetOwnersCount() const;
  virtual bool HasName() const;
  // GetName equals name when both are upper-cased by the locale's rules
  // (a class that overrides GetName below a named class overrides this too).
  virtual bool SameNameAs(std::string_view name) const;
  // The element's record in the older component stream: the reader takes
  // what follows the class name; child numbers index elementMap.
  virtual void ReadData(platform::TReader& reader, TQuickEntity& elementMap);
  virtual void WriteData(platform::TWriter& writer) const;
  virtual bool IsEmpty() const;
  virtual TElement* CreateEnvelope() const;
  // Takes over the values of Source; classes that can copy another element
  // override it, the others ignore it.
  virtual void Assign(const TElement* /*Source*/) {}
  // Runs once the most derived constructor has finished, when the element is
  // made through its virtual constructor: the place for set-up steps that
  // descendants override.
  virtual void AfterConstruction() {}

  virtual void ReceiveMessage(TKestuMessage*& message, bool& handled);
  virtual void PassMessageToOwners(TKestuMessage*& message, bool& handled);
  virtual void SendMessage(int code, TElement* receiver, TElement* data, bool killData);
  virtual void PostMessage(int code, TElement* receiver, TElement* data, bool killData);
  virtual void SendMessageToOwners(int code, TElement* data, bool killData);
  virtual void PostMessageToOwners(int code, TElement* data, bool killData);
  virtual void PropagateDown();

  virtual void AddOwner(TElement* owner);
  virtual void RemoveOwner(TElement* owner);
  virtual bool HasOwner(const TElement* element) const;
  virtual bool HasNoOwner() const;
  virtual TElement* GetOwnerByClass(TClass cls) const;
  virtual TElement* GetOwnerByName(const std::string& name) const;
  virtual TElement* FindUpByClass(TClass cls);
  virtual bool CanFree() const;
  void MarkReachable();
  virtual void MarkVisited();

  // Dotted paths from this element through class-typed properties and
  // FINDELEMENTBYNAME(...) / FINDELEMENTBYCLASS(...) searches (E_Path).
  virtual std::string GetPathValue(const std::string& path) const;
  // One line per value; "ELEMENT.Prop" gives Prop of every child.
  virtual std::vector<std::string> GetPathValueList(const std::string& path) const;
  virtual TElement* FindPathElement(const std::string& path) const;

  virtual bool HasProperty(const std::string& name) const;
  virtual std::string GetPropertyText(const std::string& name) const;
  virtual void SetPropertyText(const std::string& name, const std::string& text);
  virtual int GetPropertyInteger(const std::string& name) const;
  virtual void SetPropertyInteger(const std::string& name, int value);
  virtual bool GetPropertyBoolean(const std::string& name) const;
  virtual void SetPropertyBoolean(const std::string& name, bool value);

  // Entities whose child lists hold this element (one entry per slot).
  int HolderCount() const { return holders_.Count(); }
  TEntity* Holder(int index) const { return holders_.At(index); }
  // Whether it is a TEntity, without a look up the class tree.
  bool IsAnEntity() const { return isEntity_; }
  // Asks the processor to start loading the holder list's block.
  void PrefetchHolders() const { holders_.Prefetch(); }

 protected:
  // Leaves the child list of every holder.  Destructors that may run code
  // reaching other elements call it first, so nothing reaches a dying element.
  void DetachFromHolders();

 private:
  friend class TEntity;
  friend std::uint32_t HandleOfElement(TElement*);
  void AddHolder(TEntity* holder) { holders_.Add(holder); }
  bool RemoveHolder(TEntity* holder) { return holders_.RemoveAny(holder); }

  // One word for three small fields, so that an element stays three words.
  // The slot of the element's handle, 0 until one is issued.
  std::uint32_t handleSlot_ : element_handles::kSlotBits = 0;
  // Set by the entity constructor: whether an element can hold others is
  // asked at every addition, where a look up the class tree would cost more
  // than the addition itself.
  std::uint32_t isEntity_ : 1 = 0;
  // An entity's count of the fields holding an element (HoldInField); a class
  // has a few such fields at most.
  std::uint32_t fieldHolds_ : 7 = 0;
};

// Watchers of freed elements: each is called with the handle of every element
// that had one as the element is freed, on the thread that frees it (so a
// window that shows elements by handle learns that its model changed).  A
// watcher must not reach elements; it may post messages.
int WatchFreedHandles(std::function<void(std::uint32_t handle)> watcher);
void UnwatchFreedHandles(int id);

// Frees an element the way an owner does when it lets go of it for good.
void FreeAndNil(TElement*& element);
// Frees an element that nothing holds any more.  Called from inside another
// free, it may finish only when the outermost free returns, so that freeing
// a deeply nested graph does not nest as deeply on the stack.
void DisposeElement(TElement* element);

// A run of an element's own during which messages and window events are
// handled (a dialog shown modally).  While it lasts, freeing the element, or
// an entity it lies in, asks the run to end through end and leaves the
// freed element whole; it goes once the run has returned and nothing is
// being handled any more, as deleteLater does.
class TElementRun {
 public:
  TElementRun(TElement* element, std::function<void()> end);
  ~TElementRun();
  TElementRun(const TElementRun&) = delete;
  TElementRun& operator=(const TElementRun&) = delete;

 private:
  friend bool PostponedForRun(TElement* element);
  TElement* element_;
  std::function<void()> end_;
};

// The stored name of the two named classes, which sit on different branches
// of the class tree; an unnamed element answers its class name.
template <class Base>
class TNamed : public Base {
 public:
  std::string GetName() const override;
  void SetName(const std::string& name) override;
  bool HasName() const override;
  bool SameNameAs(std::string_view name) const override;
  // The name follows what the base writes (for an entity: its child list).
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

 protected:
  // The stored name; empty when there is none.
  const std::string& StoredName() const { return name_ ? *name_ : NoName(); }

 private:
  static const std::string& NoName();
  // Made on the first name: most elements of a large model (values, vertices)
  // are never named and so carry one word instead of a whole string.
  std::unique_ptr<std::string> name_;
};

class TNameElement : public TNamed<TElement> {
  KESTX_CLASS(TNameElement)
 public:
  int GetSize() const override;
};

// Looks through the owners for the first of a class / with a name (exactly);
// an envelope among them may stand for the element it wraps.
TElement* FirstOwnerOfClass(const TPointerList<TElement>& owners, TClass cls, bool throughEnvelopes);
TElement* FirstOwnerNamed(const TPointerList<TElement>& owners, const std::string& name, bool throughEnvelopes);

// The owners list of the two owner classes, which sit on different branches
// of the class tree.
template <class Base, bool ThroughEnvelopes>
class TOwnersOf : public Base {
 public:
  TElement* GetOwner(int index) const override { return owners_.At(index); }
  void InsertOwner(int index, TElement* owner) override { owners_.Insert(index, owner); }
  int GetOwnersCount() const override { return owners_.Count(); }
  void AddOwner(TElement* owner) override { owners_.Add(owner); }
  void RemoveOwner(TElement* owner) override { owners_.Remove(owner); }
  bool HasOwner(const TElement* element) const override { return owners_.Contains(element); }
  bool HasNoOwner() const override { return owners_.Count() == 0; }
  TElement* GetOwnerByClass(TClass cls) const override { return FirstOwnerOfClass(owners_, cls, ThroughEnvelopes); }
  TElement* GetOwnerByName(const std::string& name) const override {
    return FirstOwnerNamed(owners_, name, ThroughEnvelopes);
  }
  // Asks the processor to start loading the owners list's block.
  void PrefetchOwners() const { owners_.Prefetch(); }

 protected:
  TPointerList<TElement> owners_;
};

class TOwnerElement : public TOwnersOf<TNameElement, false> {
  KESTX_CLASS(TOwnerElement)
 public:
  ~TOwnerElement() override;
};

class TAliasElement : public TOwnerElement {
  KESTX_CLASS(TAliasElement)
 public:
  TElement* Target() const { return target_.Get(); }
  void SetTarget(TElement* target) { target_.Set(target); }

 private:
  TElementLink target_;
};

class TEntity : public TElement {
  KESTX_CLASS(TEntity)
 public:
  TEntity() { isEntity_ = true; }
  ~TEntity() override;

  virtual int GetCount();
  virtual int GetLastIndex();
  virtual TElement* GetElement(int index);
  // Whether GetCount and GetElement answer from Children() as it stands;
  // a class that makes its elements on demand says no.  Walks read the
  // list straight where it does.
  virtual bool AnswersFromChildren() const { return true; }
  virtual void SetElement(int index, TElement* element);
  virtual int IndexOf(const TElement* element) const;
  virtual void Clear();
  virtual TElement* AddNew(const std::string& className, const std::string& name);
  virtual void AddElement(TElement* element);
  virtual void InsertElement(int index, TElement* element);
  virtual void RemoveElement(TElement* element);
  // Removes in one pass every child entry Drop holds for, asked once per
  // entry in list order; the others keep their order.  Each removed entry is
  // let go as RemoveElement lets it go (one owner and one holder entry of
  // this entity fewer), in list order.  Answers the removed entries in order.
  virtual std::vector<TElement*> RemoveElementsIf(const std::function<bool(TElement*)>& Drop);
  virtual void FreeElement(TElement* element);
  virtual TElement* FindElementByClass(TClass cls) const;
  virtual TElement* FindElementByName(const std::string& name) const;
  virtual bool AllowFree(const TElement* element) const;

  int AccumulateSize() override;
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;
  bool IsEmpty() const override;
  TElement* CreateEnvelope() const override;
  void PropagateDown() override;
  void MarkVisited() override;

  TElement* FindByAliasOrName(const std::string& name) const;
  void AddAliased(const std::string& alias, TElement* element);
  TElement* GetOrCreateElement(TClass cls, const std::string& name);
  void SetOwnedElement(TElement*& field, TElement* element);
  // The same for a child kept through a link: the old one goes through
  // FreeElement, the new one (when not nil) becomes a child.
  void SetLinkedElement(TElementLink& link, TElement* element);
  int WholeCount();
  void AddAllFrom(TElement* source);

  // Children without creating the list; empty when there is none.
  const TGapList<TElement>& Children() const { return children_; }
  // Asks the processor to start loading the child list's block.
  void PrefetchChildren() const { children_.Prefetch(); }

  // Whether element is this entity or one of its ancestors (an entity that
  // holds it, in a child list or a field, directly or further up).
  bool IsSelfOrAncestor(const TElement* element) const;
  // Whether any of elements is: one walk up for them all, where an entity
  // held in many places is to take many children.
  bool AnyIsSelfOrAncestor(const std::vector<const TElement*>& elements) const;
  // Raises ECircularOwnership when element may not become held by this
  // entity.  Setters that replace a held element check before they let the
  // old one go.
  void CheckNewHeld(const TElement* element) const;

 protected:
  // Appends or inserts without telling the child (the element map of the
  // stream reader works so).
  void AppendUnowned(TElement* element);
  void InsertUnowned(int index, TElement* element);
  // Holds an element without becoming its owner, in a slot that keeps its
  // place, and answers the slot; ReleaseHeld empties the element's slot (the
  // hint when it still holds the element, else searching from the end)
  // without freeing it, false when not held.  The stream reader keeps what it
  // reads alive so until the graph owns it.
  std::size_t AppendHeld(TElement* element);
  bool ReleaseHeld(TElement* element, std::size_t slotHint);
  // Holds an element in a slot that ReleaseHeld emptied, so that a holder
  // that takes and lets go of many in turn keeps only as many slots as it
  // holds at once; false, holding nothing, when the slot is taken or gone.
  bool HoldInSlot(std::size_t slot, TElement* element);
  // A field that holds an element outside the child list (a property object,
  // a holes container): the entity is one of the element's holders and
  // owners, so the freeing rule decides when it dies.  The previous element
  // is let go as FreeElement lets a child go; self and ancestors are refused.
  void HoldInField(TElement*& field, TElement* element);
  void ReleaseField(TElement*& field);
  // Takes over, in order onto the end of this list, the children of class
  // cls in Source's slots From to To that Source alone holds: each leaves
  // Source and joins this entity as RemoveElement and AddElement of TEntity
  // move it, but its slot in Source is left nil, so that Source's other
  // children keep their indexes and no slot is searched for.  Stops before
  // the first slot without such a child and answers it (To + 1 once all are
  // taken); raises ECircularOwnership, as AddElement does, for this entity
  // or one of its ancestors.  For classes that add and remove children as
  // TEntity does: a list of vertices handed on whole.
  int TakeSoleChildren(TEntity& Source, int From, int To, TClass cls);
  // An element held in a field is being freed by someone else: the class
  // that keeps the field clears it.
  virtual void FieldElementFreed(TElement* element);

 private:
  // Whether element is an entity that holds something: only such an
  // element can hold another.
  static bool HoldsAnything(const TElement* element);
  // Whether found answers true for an ancestor, walking up the holders.
  template <class Found>
  bool AnyAncestor(Found found) const;

  friend class TElement;
  TGapList<TElement>& List();
  bool RefusesChild(const TElement* element) const;
  void DropChild(TElement* element);  // a dying child leaves the list
  // Starts loading the children a backward walk reaches after index.
  void PrefetchBefore(std::size_t index) const;
  // The first slot of a child; -1 when absent.
  std::ptrdiff_t ChildSlot(const TElement* element) const;
  // Stamps every unstamped element reachable below this entity (and itself)
  // and hands each to visit once, with itself as an entity when it is one;
  // entities are not asked to walk themselves.
  template <class Visit>
  void WalkUnstamped(Visit visit);

  TGapList<TElement> children_;
};

class TAliases : public TEntity {
  KESTX_CLASS(TAliases)
 public:
  TElement* GetAliasTarget(const std::string& name) const;
  void SetAlias(const std::string& name, TElement* element);
};

class TQuickEntity : public TEntity {
  KESTX_CLASS(TQuickEntity)
 public:
  void AddElement(TElement* element) override;
  void InsertElement(int index, TElement* element) override;
};

class TEnvelopeEntity : public TEntity {
  KESTX_CLASS(TEnvelopeEntity)
 public:
  TElement* Wrapped() const { return wrapped_.Get(); }
  void AddOwner(TElement* owner) override;
  TElement* GetOwnerByClass(TClass cls) const override;
  TElement* FindUpByClass(TClass cls) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

 private:
  TElementLink wrapped_;
};

class TNameEntity : public TNamed<TEntity> {
  KESTX_CLASS(TNameEntity)
 public:
  int GetSize() const override;
};

class TOwnerEntity : public TOwnersOf<TNameEntity, true> {
  KESTX_CLASS(TOwnerEntity)
 public:
  ~TOwnerEntity() override;
  TElement* GetOwner(int index) const override;
};

// Creates an element of a class by its virtual constructor; nil for an
// abstract class or one that is not an element.
TElement* NewElement(TClass cls);

// Creates an element of T by its virtual constructor.
template <class T>
T* CreateElement() {
  return static_cast<T*>(NewElement(T::StaticClass()));
}

template <class T>
T* ElementCast(TElement* element) {
  return DynamicCast<T>(element);
}

// The published Name of elements, written when the element has a name of its
// own; a class whose Name is not its own republishes it not stored.
TPropInfo ElementNameProp();

void RegisterElementsClasses();
