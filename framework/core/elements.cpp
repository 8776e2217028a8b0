#include "framework/core/elements.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <stdexcept>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "platform/app_queue.h"
#include "platform/streams.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"

// ---------------------------------------------------------------- stamps

namespace {

int currentStamp = -1;

}  // namespace

int NewVisitStamp() {
  // Counting down from -2 never repeats a stamp in a row, never gives 0 or -1,
  // and revisits an old stamp only after two thousand million walks.
  if (currentStamp <= std::numeric_limits<int>::min() + 1 || currentStamp >= -1) currentStamp = -2;
  else --currentStamp;
  return currentStamp;
}

int CurrentVisitStamp() { return currentStamp; }

// ---------------------------------------------------------------- freeing

namespace {

// Freeing an entity frees its children from inside its destructor, so a
// chain of nested entities would take one set of stack frames per level.
// Beyond this depth a child is queued instead, and the outermost free works
// the queue off: the stack stays flat whatever the depth of the data.
constexpr int kNestedFrees = 64;
int freeDepth = 0;

std::vector<TElement*>& QueuedFrees() {
  static std::vector<TElement*>* queued = new std::vector<TElement*>;  // outlives every element
  return *queued;
}

// The runs going on, the innermost last, and what freeing left for after
// them; threads free elements too.
std::mutex runsLock;
std::atomic<int> runsGoingOn{0};
std::vector<TElementRun*>& Runs() {
  static std::vector<TElementRun*>* runs = new std::vector<TElementRun*>;  // outlives every element
  return *runs;
}
std::vector<TElement*>& Postponed() {
  static std::vector<TElement*>* postponed = new std::vector<TElement*>;
  return *postponed;
}

// Whether inner is outer or lies in it: freeing outer would free it.
bool LiesIn(TElement* inner, const TElement* outer) {
  std::vector<TElement*> pending = {inner};
  std::unordered_set<const TElement*> seen;
  while (!pending.empty()) {
    TElement* next = pending.back();
    pending.pop_back();
    if (next == outer) return true;
    if (!seen.insert(next).second) continue;
    for (int i = 0; i < next->HolderCount(); ++i) pending.push_back(next->Holder(i));
  }
  return false;
}

// Frees what was left until the runs in it had ended.
void DisposePostponed() {
  std::vector<TElement*> due;
  {
    std::lock_guard lock(runsLock);
    due.swap(Postponed());
  }
  for (TElement* element : due) DisposeElement(element);
}

}  // namespace

bool PostponedForRun(TElement* element) {
  std::vector<std::function<void()>> ends;
  {
    std::lock_guard lock(runsLock);
    bool runsInIt = false;
    for (TElementRun* run : Runs()) {
      if (!LiesIn(run->element_, element)) continue;
      runsInIt = true;
      if (run->end_) ends.push_back(std::exchange(run->end_, nullptr));
    }
    if (!runsInIt) return false;
    std::vector<TElement*>& postponed = Postponed();
    if (std::find(postponed.begin(), postponed.end(), element) == postponed.end()) postponed.push_back(element);
  }
  for (const std::function<void()>& end : ends) end();
  return true;
}

TElementRun::TElementRun(TElement* element, std::function<void()> end) : element_(element), end_(std::move(end)) {
  std::lock_guard lock(runsLock);
  Runs().push_back(this);
  ++runsGoingOn;
}

TElementRun::~TElementRun() {
  bool postponed = false;
  {
    std::lock_guard lock(runsLock);
    std::erase(Runs(), this);
    --runsGoingOn;
    postponed = !Postponed().empty();
  }
  if (postponed) platform::Application::Instance().InvokeWhenIdle(DisposePostponed);
}

void DisposeElement(TElement* element) {
  if (!element) return;
  if (runsGoingOn.load(std::memory_order_acquire) > 0 && PostponedForRun(element)) return;
  if (freeDepth >= kNestedFrees) {
    QueuedFrees().push_back(element);
    return;
  }
  ++freeDepth;
  delete element;
  --freeDepth;
  if (freeDepth != 0) return;
  std::vector<TElement*>& queued = QueuedFrees();
  while (!queued.empty()) {
    TElement* next = queued.back();
    queued.pop_back();
    ++freeDepth;
    delete next;
    --freeDepth;
  }
}

namespace {

// Entities in the middle of freeing elements they held, innermost last.
thread_local std::vector<const TElement*> freeingHolders;

class FreeingScope {
 public:
  explicit FreeingScope(const TElement* holder) { freeingHolders.push_back(holder); }
  ~FreeingScope() { freeingHolders.pop_back(); }
  FreeingScope(const FreeingScope&) = delete;
  FreeingScope& operator=(const FreeingScope&) = delete;
};

}  // namespace

bool IsFreeingHeldElements(const TElement* element) {
  return std::find(freeingHolders.begin(), freeingHolders.end(), element) != freeingHolders.end();
}

ECircularOwnership::ECircularOwnership() : std::runtime_error("An entity cannot hold or free itself or its owner") {}

// ---------------------------------------------------------------- handles

namespace element_handles {
// Zero-initialised, so it takes no room in the program file and its pages only
// once a slot in them is written.
alignas(Slot::required_alignment) std::uint64_t slots[std::size_t{1} << kSlotBits];
}  // namespace element_handles

namespace {

using namespace element_handles;

constexpr std::uint64_t kLastGeneration = kLastHandle >> kSlotBits;

std::uint64_t GenerationOf(std::uint64_t word) { return word & kLastGeneration; }

// The free list (first in, first out, threaded through the free slots' words)
// and the count of slots handed out; slot 0 is never handed out (nil).
struct FreeSlots {
  std::mutex lock;
  std::uint32_t used = 1;
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  std::uint64_t issued = 0;
};

FreeSlots& Free() {
  static FreeSlots* slots = new FreeSlots;  // outlives every element
  return *slots;
}

using FreedWatcher = std::function<void(std::uint32_t)>;

struct FreedWatchers {
  std::mutex lock;
  std::vector<std::pair<int, std::shared_ptr<const FreedWatcher>>> watchers;
  int next = 1;
  // Read without the lock: frees pay nothing while nobody watches.
  std::atomic<int> count{0};
};

FreedWatchers& Watchers() {
  static FreedWatchers* watchers = new FreedWatchers;  // outlives every element
  return *watchers;
}

void TellWatchers(std::uint32_t handle) {
  FreedWatchers& all = Watchers();
  if (all.count.load(std::memory_order_relaxed) == 0) return;
  std::vector<std::shared_ptr<const FreedWatcher>> called;
  {
    std::lock_guard guard(all.lock);
    for (const auto& entry : all.watchers) called.push_back(entry.second);
  }
  for (const auto& watcher : called) (*watcher)(handle);
}

Slot SlotAt(std::uint32_t slot) { return Slot(slots[slot]); }

// The order of issue, kept beside the table for the few who ask
// (IssuedAfter): one chunk per kIssueChunk slots, made with its first slot.
constexpr unsigned kIssueChunkBits = 12;
constexpr std::uint32_t kIssueChunk = std::uint32_t{1} << kIssueChunkBits;
std::array<std::atomic<std::uint64_t>*, (std::size_t{1} << kSlotBits) / kIssueChunk> issueChunks{};

std::atomic<std::uint64_t>& IssueNumberAt(std::uint32_t slot) {
  std::atomic_ref<std::atomic<std::uint64_t>*> chunk(issueChunks[slot >> kIssueChunkBits]);
  return chunk.load(std::memory_order_acquire)[slot & (kIssueChunk - 1)];
}

// A slot for a new handle: the oldest free one, else a new one.
std::uint32_t TakeSlot(FreeSlots& free) {
  if (free.first != 0) {
    const std::uint32_t slot = free.first;
    free.first = static_cast<std::uint32_t>(SlotAt(slot).load(std::memory_order_relaxed) >> kAddressShift);
    if (free.first == 0) free.last = 0;
    return slot;
  }
  if (free.used > kSlotMask) throw std::overflow_error("No element handle is left to issue");
  const std::uint32_t slot = free.used++;
  std::atomic_ref<std::atomic<std::uint64_t>*> issueChunk(issueChunks[slot >> kIssueChunkBits]);
  if (issueChunk.load(std::memory_order_relaxed) == nullptr)
    issueChunk.store(new std::atomic<std::uint64_t>[kIssueChunk](), std::memory_order_release);
  return slot;
}

void ReleaseSlot(std::uint32_t slot) {
  FreeSlots& free = Free();
  std::lock_guard guard(free.lock);
  Slot word = SlotAt(slot);
  const std::uint64_t generation = GenerationOf(word.load(std::memory_order_relaxed));
  if (generation == kLastGeneration) {
    // Spent: kept out of use for good.
    word.store(generation | kFreeMark, std::memory_order_release);
    return;
  }
  word.store((generation + 1) | kFreeMark, std::memory_order_release);
  if (free.last != 0) {
    Slot last = SlotAt(free.last);
    last.store(last.load(std::memory_order_relaxed) | (std::uint64_t{slot} << kAddressShift), std::memory_order_relaxed);
  } else {
    free.first = slot;
  }
  free.last = slot;
}

std::uint32_t HandleIn(std::uint32_t slot) {
  return static_cast<std::uint32_t>(GenerationOf(SlotAt(slot).load(std::memory_order_acquire)) << kSlotBits) | slot;
}

}  // namespace

int WatchFreedHandles(std::function<void(std::uint32_t handle)> watcher) {
  FreedWatchers& all = Watchers();
  std::lock_guard guard(all.lock);
  const int id = all.next++;
  all.watchers.emplace_back(id, std::make_shared<const FreedWatcher>(std::move(watcher)));
  all.count.store(static_cast<int>(all.watchers.size()));
  return id;
}

void UnwatchFreedHandles(int id) {
  FreedWatchers& all = Watchers();
  std::lock_guard guard(all.lock);
  std::erase_if(all.watchers, [id](const auto& entry) { return entry.first == id; });
  all.count.store(static_cast<int>(all.watchers.size()));
}

std::uint32_t HandleOfElement(TElement* element) {
  if (!element) return 0;
  if (element->handleSlot_ != 0) return HandleIn(element->handleSlot_);
  const std::uint64_t address = reinterpret_cast<std::uintptr_t>(element);
  if (address >> (64 - kAddressShift) != 0) throw std::overflow_error("An element lies beyond the addresses a handle can hold");
  FreeSlots& free = Free();
  std::lock_guard guard(free.lock);
  const std::uint32_t slot = TakeSlot(free);
  Slot word = SlotAt(slot);
  word.store((address << kAddressShift) | GenerationOf(word.load(std::memory_order_relaxed)),
             std::memory_order_release);
  IssueNumberAt(slot).store(++free.issued, std::memory_order_relaxed);
  element->handleSlot_ = slot;
  return HandleIn(slot);
}

bool IssuedAfter(std::uint32_t handle, std::uint32_t earlier) {
  auto issueNumber = [](std::uint32_t live) -> std::uint64_t {
    if (!ElementOfHandle(live)) return 0;
    return IssueNumberAt(live & kSlotMask).load(std::memory_order_relaxed);
  };
  return issueNumber(handle) > issueNumber(earlier);
}

// ---------------------------------------------------------------- TElement

TElement::TElement() = default;

TElement::~TElement() {
  DetachFromHolders();
  if (handleSlot_ != 0) {
    const std::uint32_t handle = HandleIn(handleSlot_);
    ReleaseSlot(handleSlot_);
    TellWatchers(handle);
  }
}

void TElement::DetachFromHolders() {
  // From the last, so that each holder leaves the list without moving the others.
  for (int last = holders_.Count() - 1; last >= 0; last = holders_.Count() - 1) {
    TEntity* holder = holders_.At(last);
    holders_.RemoveAny(holder);
    holder->DropChild(this);
  }
}

int TElement::GetSize() const { return static_cast<int>(ClassType()->InstanceSize); }

int TElement::GetWholeSize() {
  NewVisitStamp();
  return AccumulateSize();
}

int TElement::AccumulateSize() {
  ID = CurrentVisitStamp();
  return GetSize();
}

std::string TElement::GetName() const { return ClassName(); }
void TElement::SetName(const std::string&) {}
TElement* TElement::GetOwner(int) const { return nullptr; }
void TElement::InsertOwner(int, TElement*) {}
int TElement::GetOwnersCount() const { return 0; }
bool TElement::HasName() const { return false; }
bool TElement::SameNameAs(std::string_view name) const { return platform::AnsiSameUpperCase(GetName(), name); }
bool TElement::IsEmpty() const { return true; }

void TElement::ReadData(platform::TReader& reader, TQuickEntity&) { ID = reader.ReadInteger(); }

void TElement::WriteData(platform::TWriter& writer) const {
  writer.WriteString(ClassName());
  writer.WriteInteger(ID);
}

TElement* TElement::CreateEnvelope() const {
  TElement* copy = NewElement(ClassType());
  if (!copy) return nullptr;
  copy->ID = 0;
  copy->SetName("Obálka: " + GetName());
  return copy;
}

void TElement::ReceiveMessage(TKestuMessage*&, bool&) {}

void TElement::PassMessageToOwners(TKestuMessage*& message, bool& handled) {
  if (!HasNoOwner()) {
    for (int i = 0; i < GetOwnersCount() && !handled; ++i)
      if (TElement* owner = GetOwner(i)) owner->ReceiveMessage(message, handled);
  }
  handled = true;
}

void TElement::SendMessage(int code, TElement* receiver, TElement* data, bool killData) {
  SendKestuMessage(new TKestuMessage(code, this, receiver, data, killData));
}

void TElement::PostMessage(int code, TElement* receiver, TElement* data, bool killData) {
  PostKestuMessage(new TKestuMessage(code, this, receiver, data, killData));
}

void TElement::SendMessageToOwners(int code, TElement* data, bool killData) {
  for (int i = 0; i < GetOwnersCount(); ++i) SendMessage(code, GetOwner(i), data, killData);
}

void TElement::PostMessageToOwners(int code, TElement* data, bool killData) {
  for (int i = 0; i < GetOwnersCount(); ++i) PostMessage(code, GetOwner(i), data, killData);
}

void TElement::PropagateDown() {}
void TElement::AddOwner(TElement*) {}
void TElement::RemoveOwner(TElement*) {}
bool TElement::HasOwner(const TElement*) const { return false; }
bool TElement::HasNoOwner() const { return GetOwnersCount() < 1; }
TElement* TElement::GetOwnerByClass(TClass) const { return nullptr; }
TElement* TElement::GetOwnerByName(const std::string&) const { return nullptr; }

TElement* TElement::FindUpByClass(TClass cls) {
  if (InheritsFrom(cls)) return this;
  if (HasNoOwner()) return nullptr;
  for (int i = 0; i < GetOwnersCount(); ++i)
    if (TElement* owner = GetOwner(i))
      if (TElement* found = owner->FindUpByClass(cls)) return found;
  return nullptr;
}

bool TElement::CanFree() const {
  const int owners = GetOwnersCount();
  if (owners < 2) return true;
  for (int i = 0; i < owners; ++i) {
    auto* owner = DynamicCast<TEntity>(GetOwner(i));
    if (!owner || !owner->AllowFree(this)) return false;
  }
  return true;
}

void TElement::MarkReachable() {
  NewVisitStamp();
  MarkVisited();
}

void TElement::MarkVisited() { ID = CurrentVisitStamp(); }

bool TElement::HasProperty(const std::string& name) const { return ClassType()->FindProp(name) != nullptr; }

std::string TElement::GetPropertyText(const std::string& name) const {
  std::string text;
  GetPropertyTextByName(*this, name, text);
  return text;
}

void TElement::SetPropertyText(const std::string& name, const std::string& text) {
  SetPropertyTextByName(*this, name, text);
}

int TElement::GetPropertyInteger(const std::string& name) const { return TextToInt(GetPropertyText(name)); }

void TElement::SetPropertyInteger(const std::string& name, int value) {
  SetPropertyText(name, std::to_string(value));
}

bool TElement::GetPropertyBoolean(const std::string& name) const {
  const std::string text = GetPropertyText(name);
  return !text.empty() && (text[0] == 'T' || text[0] == 't');
}

void TElement::SetPropertyBoolean(const std::string& name, bool value) { SetPropertyText(name, BoolToText(value)); }

void FreeAndNil(TElement*& element) {
  TElement* dying = element;
  element = nullptr;
  delete dying;
}

// ---------------------------------------------------------------- named and owner elements

template <class Base>
const std::string& TNamed<Base>::NoName() {
  static const std::string none;
  return none;
}

template <class Base>
std::string TNamed<Base>::GetName() const {
  return name_ ? *name_ : this->ClassName();
}

template <class Base>
void TNamed<Base>::SetName(const std::string& name) {
  if (name.empty()) name_.reset();
  else if (name_) *name_ = name;
  else name_ = std::make_unique<std::string>(name);
}

template <class Base>
bool TNamed<Base>::HasName() const {
  return name_ != nullptr;
}

template <class Base>
bool TNamed<Base>::SameNameAs(std::string_view name) const {
  // In place: a search among many children should not copy every name.
  return platform::AnsiSameUpperCase(name_ ? std::string_view(*name_) : this->ClassName(), name);
}

template <class Base>
void TNamed<Base>::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  Base::ReadData(reader, elementMap);
  SetName(reader.ReadString());
}

template <class Base>
void TNamed<Base>::WriteData(platform::TWriter& writer) const {
  Base::WriteData(writer);
  writer.WriteString(GetName());
}

template class TNamed<TElement>;
template class TNamed<TEntity>;

int TNameElement::GetSize() const {
  return TElement::GetSize() + static_cast<int>(platform::Cp1250Length(StoredName())) + 1;
}

namespace {

template <class Test>
TElement* FirstOwnerWhere(const TPointerList<TElement>& owners, bool throughEnvelopes, Test test) {
  for (int i = 0; i < owners.Count(); ++i) {
    TElement* owner = owners.At(i);
    if (throughEnvelopes)
      if (auto* envelope = DynamicCast<TEnvelopeEntity>(owner)) owner = envelope->Wrapped();
    if (owner && test(*owner)) return owner;
  }
  return nullptr;
}

}  // namespace

TElement* FirstOwnerOfClass(const TPointerList<TElement>& owners, TClass cls, bool throughEnvelopes) {
  return FirstOwnerWhere(owners, throughEnvelopes, [cls](const TElement& owner) { return owner.InheritsFrom(cls); });
}

TElement* FirstOwnerNamed(const TPointerList<TElement>& owners, const std::string& name, bool throughEnvelopes) {
  return FirstOwnerWhere(owners, throughEnvelopes, [&name](const TElement& owner) { return owner.GetName() == name; });
}

TOwnerElement::~TOwnerElement() {
  // The list is taken first, so that no owner's RemoveElement searches it.
  TPointerList<TElement> owners;
  owners.Swap(owners_);
  for (int i = owners.Count() - 1; i >= 0; --i)
    if (TElement* owner = owners.At(i); owner && owner->IsAnEntity()) static_cast<TEntity*>(owner)->RemoveElement(this);
}

// ---------------------------------------------------------------- TEntity

TEntity::~TEntity() {
  DetachFromHolders();
  Clear();
}

TGapList<TElement>& TEntity::List() {
  // Room for a few children at once: a line's vertices, a node's branches.
  // (Six, a whole cache line, cost 7 % more memory per element of a model
  // and made the topology passes no faster.)
  if (!children_.Made()) children_.reserve(4);
  return children_;
}

int TEntity::GetCount() { return static_cast<int>(List().size()); }
int TEntity::GetLastIndex() { return GetCount() - 1; }

TElement* TEntity::GetElement(int index) {
  if (!children_.Made()) {
    List();
    return nullptr;
  }
  return children_.at(static_cast<std::size_t>(index));
}

bool TEntity::RefusesChild(const TElement* element) const { return element == nullptr || element == this; }

void TEntity::SetElement(int index, TElement* element) {
  TGapList<TElement>& list = List();
  if (list.empty() && index == 0) {
    AddElement(element);
    return;
  }
  list.at(static_cast<std::size_t>(index));  // raises outside the list
  TElement*& slot = list.Slot(static_cast<std::size_t>(index));
  if (slot == element) return;
  if (element) CheckNewHeld(element);
  TElement* old = slot;
  slot = element;
  if (element) {
    element->AddOwner(this);
    element->AddHolder(this);
  }
  // The replaced element is never freed here (two calls swap two children);
  // it only stops being held by this slot, and stays with its other holders
  // or with the caller.
  if (old) {
    old->RemoveHolder(this);
    old->RemoveOwner(this);
  }
}

int TEntity::IndexOf(const TElement* element) const {
  if (!children_.Made()) return -1;
  return static_cast<int>(children_.IndexOfFirst(element));
}

namespace {

// Clears running on this thread: entities clear their children inside their
// own clear, and a graph needs one hourglass, not one per entity.
thread_local int clearsUnderway = 0;

class ClearScope {
 public:
  ClearScope() {
    if (clearsUnderway++ == 0) hourglass_.emplace();
  }
  ~ClearScope() { --clearsUnderway; }
  ClearScope(const ClearScope&) = delete;
  ClearScope& operator=(const ClearScope&) = delete;

 private:
  std::optional<platform::WaitCursor> hourglass_;
};

}  // namespace

void TEntity::PrefetchBefore(std::size_t index) const {
  // The children of a large graph lie scattered over memory, and each one's
  // holder list is a block of its own: a child and then its block are asked
  // for ahead, so that their loads overlap with the work on this one
  // instead of following it.  Every child still listed is alive.
  if (index >= 2) __builtin_prefetch(children_[index - 2]);
  if (index >= 1)
    if (const TElement* next = children_[index - 1]) next->PrefetchHolders();
}

void TEntity::Clear() {
  if (IsEmpty()) return;
  const ClearScope clearing;
  if (children_.size() > 200) platform::Application::Instance().ProcessMessages();
  if (!children_.Made()) return;
  const FreeingScope freeing(this);
  for (std::size_t i = children_.size(); i-- > 0;) {
    if (i >= children_.size()) continue;  // a freed child took others with it
    TElement* child = children_[i];
    PrefetchBefore(i);
    if (!child) continue;
    // Only what this entity holds is its to free (the stream reader's map holds nothing).
    const bool held = child->RemoveHolder(this);
    if (held && child->HolderCount() == 0 && child->CanFree()) {
      children_.erase(i);
      child->RemoveOwner(this);  // spares its destructor a search of this list
      DisposeElement(child);
    } else {
      child->RemoveOwner(this);
    }
  }
  children_.clear();
}

TElement* TEntity::AddNew(const std::string& className, const std::string& name) {
  TClass cls = FindKestuClass(className);
  if (!cls) return nullptr;
  TElement* element = NewElement(cls);
  if (!element) return nullptr;
  element->SetName(name);
  AddElement(element);
  return element;
}

void TEntity::AddElement(TElement* element) {
  if (!element) return;
  CheckNewHeld(element);
  element->AddOwner(this);
  List().push_back(element);
  element->AddHolder(this);
}

void TEntity::InsertElement(int index, TElement* element) {
  if (!element) return;
  CheckNewHeld(element);
  if (!children_.Made()) {
    if (index != 0) return;
    List().push_back(element);
  } else {
    TGapList<TElement>& list = children_;
    list.insert(static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(list.size()))), element);
  }
  element->AddHolder(this);
  element->AddOwner(this);
}

void TEntity::AppendUnowned(TElement* element) {
  if (element) List().push_back(element);
}

std::size_t TEntity::AppendHeld(TElement* element) {
  TGapList<TElement>& list = List();
  if (RefusesChild(element)) return list.size();
  list.push_back(element);
  element->AddHolder(this);
  return list.size() - 1;
}

bool TEntity::ReleaseHeld(TElement* element, std::size_t slotHint) {
  if (!element || !children_.Made()) return false;
  TGapList<TElement>& list = children_;
  std::size_t slot = slotHint;
  if (slot >= list.size() || list[slot] != element) {
    slot = list.size();
    while (slot > 0 && list[slot - 1] != element) --slot;
    if (slot-- == 0) return false;
  }
  list.Slot(slot) = nullptr;
  element->RemoveHolder(this);
  return true;
}

bool TEntity::HoldInSlot(std::size_t slot, TElement* element) {
  if (RefusesChild(element) || slot >= children_.size() || children_[slot] != nullptr) return false;
  children_.Slot(slot) = element;
  element->AddHolder(this);
  return true;
}

void TEntity::InsertUnowned(int index, TElement* element) {
  if (!element) return;
  if (!children_.Made()) {
    if (index == 0) List().push_back(element);
    return;
  }
  children_.insert(static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(children_.size()))), element);
}

std::ptrdiff_t TEntity::ChildSlot(const TElement* element) const {
  // Every slot of an entity that records its children is a holder entry of
  // the child, so a child with one holder sits in one slot at most.
  const bool unique = element->HolderCount() == 1 && !DynamicCast<TQuickEntity>(this);
  return children_.IndexOfFirst(element, unique);
}

void TEntity::RemoveElement(TElement* element) {
  if (!element || !children_.Made()) return;
  element->RemoveOwner(this);
  const std::ptrdiff_t slot = ChildSlot(element);
  if (slot < 0) return;
  children_.erase(static_cast<std::size_t>(slot));
  element->RemoveHolder(this);
}

std::vector<TElement*> TEntity::RemoveElementsIf(const std::function<bool(TElement*)>& Drop) {
  std::vector<TElement*> removed;
  if (!children_.Made()) return removed;
  TGapList<TElement>& list = children_;
  const std::size_t count = list.size();
  std::size_t kept = 0;
  for (std::size_t i = 0; i < count; ++i) {
    TElement* element = list[i];
    if (Drop(element)) removed.push_back(element);
    else list.Slot(kept++) = element;
  }
  while (list.size() > kept) list.pop_back();
  for (TElement* element : removed) {
    element->RemoveOwner(this);
    element->RemoveHolder(this);
  }
  return removed;
}

void TEntity::FreeElement(TElement* element) {
  if (!element || !children_.Made()) return;
  if (const std::ptrdiff_t slot = ChildSlot(element); slot >= 0) {
    children_.erase(static_cast<std::size_t>(slot));
    element->RemoveHolder(this);
  } else if (IsSelfOrAncestor(element)) {
    throw ECircularOwnership();  // freeing it would free this entity in the middle of the call
  }
  // Decided while this entity still counts among the owners; unlinked first
  // either way, so that a dying element does not search this list again.
  const bool dies = element->HolderCount() == 0 && element->CanFree();
  element->RemoveOwner(this);
  if (!dies) return;
  const FreeingScope freeing(this);
  DisposeElement(element);
}

void TEntity::DropChild(TElement* element) {
  if (children_.Made()) {
    // All of a dying child's slots go, so which one first does not matter.
    if (const std::ptrdiff_t slot = children_.IndexOfFirst(element, true); slot >= 0) {
      children_.erase(static_cast<std::size_t>(slot));
      return;
    }
  }
  // Not in the list, so this entity held it in a field.
  if (fieldHolds_ > 0) {
    --fieldHolds_;
    FieldElementFreed(element);
  }
}

bool TEntity::HoldsAnything(const TElement* element) {
  // Only an entity that holds something can hold this one; a new child is
  // mostly empty, so building a chain from the top costs nothing here.
  if (!element || !element->isEntity_) return false;
  const auto* candidate = static_cast<const TEntity*>(element);
  // The list itself is asked, not IsEmpty: entities that fill themselves on
  // first access (folders) must not be filled by being added somewhere.
  return !candidate->children_.empty() || candidate->fieldHolds_ != 0;
}

template <class Found>
bool TEntity::AnyAncestor(Found found) const {
  // Up a single line of holders no visited set is needed while the graph is
  // acyclic; past a few steps the walk below keeps one all the same.
  const TElement* at = this;
  for (int steps = 0; at->holders_.Count() == 1 && steps < 64; ++steps) {
    at = at->holders_.At(0);
    if (found(at)) return true;
  }
  std::vector<const TElement*> work;
  std::unordered_set<const TElement*> seen;
  for (int i = 0; i < at->holders_.Count(); ++i) work.push_back(at->holders_.At(i));
  while (!work.empty()) {
    const TElement* holder = work.back();
    work.pop_back();
    if (found(holder)) return true;
    if (!seen.insert(holder).second) continue;
    for (int i = 0; i < holder->holders_.Count(); ++i) work.push_back(holder->holders_.At(i));
  }
  return false;
}

bool TEntity::IsSelfOrAncestor(const TElement* element) const {
  if (element == this) return true;
  if (!HoldsAnything(element)) return false;
  return AnyAncestor([element](const TElement* at) { return at == element; });
}

bool TEntity::AnyIsSelfOrAncestor(const std::vector<const TElement*>& elements) const {
  std::unordered_set<const TElement*> holding;
  for (const TElement* element : elements) {
    if (element == this) return true;
    if (HoldsAnything(element)) holding.insert(element);
  }
  if (holding.empty()) return false;
  return AnyAncestor([&holding](const TElement* at) { return holding.contains(at); });
}

void TEntity::CheckNewHeld(const TElement* element) const {
  if (IsSelfOrAncestor(element)) throw ECircularOwnership();
}

void TEntity::HoldInField(TElement*& field, TElement* element) {
  if (field == element) return;
  if (element) CheckNewHeld(element);
  ReleaseField(field);
  if (!element) return;
  field = element;
  ++fieldHolds_;
  element->AddOwner(this);
  element->AddHolder(this);
}

namespace {

// Elements let go of by a field while another such element is being freed:
// freeing a chain of property objects (each held by the one before) frees
// them one after the other instead of one inside the other.
thread_local std::vector<TElement*>* pendingFrees = nullptr;

void FreeLetGo(TElement* element) {
  if (pendingFrees) {
    pendingFrees->push_back(element);
    return;
  }
  std::vector<TElement*> pending{element};
  pendingFrees = &pending;
  while (!pending.empty()) {
    TElement* next = pending.back();
    pending.pop_back();
    delete next;
  }
  pendingFrees = nullptr;
}

}  // namespace

void TEntity::ReleaseField(TElement*& field) {
  TElement* old = std::exchange(field, nullptr);
  if (!old) return;
  --fieldHolds_;
  old->RemoveHolder(this);
  const bool last = old->HolderCount() == 0 && old->CanFree();
  old->RemoveOwner(this);  // spares its destructor a search of the child list
  if (!last) return;
  const FreeingScope freeing(this);
  FreeLetGo(old);
}

void TEntity::FieldElementFreed(TElement*) {}

int TEntity::TakeSoleChildren(TEntity& Source, int From, int To, TClass cls) {
  int at = std::max(From, 0);
  if (&Source == this || !Source.children_.Made()) return at;
  TGapList<TElement>& source = Source.children_;
  const int last = std::min(To, static_cast<int>(source.size()) - 1);
  if (at > last) return at;
  List().reserve(children_.size() + static_cast<std::size_t>(last - at + 1));
  for (; at <= last; ++at) {
    TElement* child = source[static_cast<std::size_t>(at)];
    if (!child || !child->InheritsFrom(cls) || child->HolderCount() != 1 || child->holders_.At(0) != &Source) break;
    CheckNewHeld(child);
    source.Slot(static_cast<std::size_t>(at)) = nullptr;
    child->RemoveOwner(&Source);
    child->RemoveHolder(&Source);
    child->AddOwner(this);
    children_.push_back(child);
    child->AddHolder(this);
  }
  return at;
}

TElement* TEntity::FindElementByClass(TClass cls) const {
  for (TElement* child : Children())
    if (child && child->InheritsFrom(cls)) return child;
  return nullptr;
}

TElement* TEntity::FindElementByName(const std::string& name) const {
  for (TElement* child : Children())
    if (child && child->SameNameAs(name)) return child;
  return nullptr;
}

bool TEntity::AllowFree(const TElement*) const { return false; }

template <class Visit>
void TEntity::WalkUnstamped(Visit visit) {
  // A work list rather than recursion: a file may nest entities a million deep.
  const int stamp = CurrentVisitStamp();
  ID = stamp;
  std::vector<TEntity*> work{this};
  while (!work.empty()) {
    TEntity* entity = work.back();
    work.pop_back();
    visit(*entity, entity);
    for (TElement* child : entity->Children()) {
      if (!child || child->ID == stamp) continue;
      child->ID = stamp;
      if (child->isEntity_) work.push_back(static_cast<TEntity*>(child));
      else visit(*child, nullptr);
    }
  }
}

int TEntity::AccumulateSize() {
  int size = 0;
  WalkUnstamped([&size](const TElement& element, const TEntity*) { size += element.GetSize(); });
  return size;
}

bool TEntity::IsEmpty() const { return children_.empty(); }

void TEntity::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TElement::ReadData(reader, elementMap);
  reader.ReadListBegin();
  while (!reader.EndOfList()) {
    // Only elements read before this one can be its children, so no record makes a cycle.
    const std::int32_t number = reader.ReadInteger();
    const TGapList<TElement>& map = elementMap.Children();
    if (number < 0 || static_cast<std::size_t>(number) >= map.size())
      throw platform::EReadError("Invalid element number " + std::to_string(number));
    AddElement(map[static_cast<std::size_t>(number)]);
  }
  reader.ReadListEnd();
}

void TEntity::WriteData(platform::TWriter& writer) const {
  TElement::WriteData(writer);
  writer.WriteListBegin();
  for (const TElement* child : Children())
    if (child) writer.WriteInteger(child->ID);
  writer.WriteListEnd();
}

TElement* TEntity::CreateEnvelope() const {
  auto* copy = static_cast<TEntity*>(TElement::CreateEnvelope());
  if (!copy) return nullptr;
  for (TElement* child : Children()) {
    if (!child) continue;
    copy->AddElement(child->HasNoOwner() ? child->CreateEnvelope() : child);
  }
  return copy;
}

void TEntity::PropagateDown() {
  for (TElement* child : Children())
    if (child) child->PropagateDown();
}

void TEntity::MarkVisited() {
  WalkUnstamped([](const TElement&, const TEntity*) {});
}

TElement* TEntity::FindByAliasOrName(const std::string& name) const {
  if (auto* aliases = static_cast<TAliases*>(FindElementByClass(TAliases::StaticClass())))
    if (TElement* target = aliases->GetAliasTarget(name)) return target;
  return FindElementByName(name);
}

void TEntity::AddAliased(const std::string& alias, TElement* element) {
  if (element) CheckNewHeld(element);
  auto* aliases = static_cast<TAliases*>(FindElementByClass(TAliases::StaticClass()));
  if (!aliases) {
    aliases = new TAliases;
    AddElement(aliases);
  }
  if (TElement* previous = aliases->GetAliasTarget(alias); previous && previous != element) FreeElement(previous);
  aliases->SetAlias(alias, element);
  AddElement(element);
}

TElement* TEntity::GetOrCreateElement(TClass cls, const std::string& name) {
  if (TElement* found = FindElementByName(name)) return found;
  TElement* element = NewElement(cls);
  if (!element) return nullptr;
  element->SetName(name);
  AddElement(element);
  return element;
}

void TEntity::SetOwnedElement(TElement*& field, TElement* element) {
  if (field == element) return;
  if (element) CheckNewHeld(element);
  if (field) {
    TElement* old = field;
    field = nullptr;
    FreeElement(old);
  }
  field = element;
  AddElement(element);
}

void TEntity::SetLinkedElement(TElementLink& link, TElement* element) {
  TElement* old = link.Get();
  if (old == element) return;
  if (element) CheckNewHeld(element);
  link.Set(nullptr);
  if (old) FreeElement(old);
  link.Set(element);
  AddElement(element);
}

int TEntity::WholeCount() {
  NewVisitStamp();
  int count = 0;
  WalkUnstamped([&count](const TElement&, const TEntity* entity) {
    if (entity) count += static_cast<int>(entity->Children().size());
  });
  return count;
}

void TEntity::AddAllFrom(TElement* source) {
  auto* entity = DynamicCast<TEntity>(source);
  if (!entity || entity == this) return;
  const std::vector<TElement*> children(entity->Children().begin(), entity->Children().end());
  // All or nothing: one refused child leaves this entity as it was.
  for (const TElement* child : children)
    if (child) CheckNewHeld(child);
  for (TElement* child : children) AddElement(child);
}

// ---------------------------------------------------------------- aliases, quick and envelope entities

TElement* TAliases::GetAliasTarget(const std::string& name) const {
  auto* alias = DynamicCast<TAliasElement>(FindElementByName(name));
  return alias ? alias->Target() : nullptr;
}

void TAliases::SetAlias(const std::string& name, TElement* element) {
  if (!element) return;
  auto* alias = DynamicCast<TAliasElement>(FindElementByName(name));
  if (!alias) {
    alias = new TAliasElement;
    alias->SetName(name);
    AddElement(alias);
  }
  alias->SetTarget(element);
}

void TQuickEntity::AddElement(TElement* element) { AppendUnowned(element); }
void TQuickEntity::InsertElement(int index, TElement* element) { InsertUnowned(index, element); }

void TEnvelopeEntity::AddOwner(TElement* owner) { wrapped_.Set(owner); }

TElement* TEnvelopeEntity::GetOwnerByClass(TClass cls) const {
  if (InheritsFrom(cls)) return const_cast<TEnvelopeEntity*>(this);
  TElement* wrapped = Wrapped();
  return wrapped && wrapped->InheritsFrom(cls) ? wrapped : nullptr;
}

TElement* TEnvelopeEntity::FindUpByClass(TClass cls) {
  if (InheritsFrom(cls)) return this;
  TElement* wrapped = Wrapped();
  return wrapped ? wrapped->FindUpByClass(cls) : nullptr;
}

void TEnvelopeEntity::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TElement* wrapped = Wrapped();
  if (!wrapped || !message) return;
  message->SetReceiver(wrapped);
  wrapped->ReceiveMessage(message, handled);
}

// ---------------------------------------------------------------- named and owner entities

int TNameEntity::GetSize() const {
  return TEntity::GetSize() + (HasName() ? static_cast<int>(platform::Cp1250Length(StoredName())) + 1 : 0);
}


TOwnerEntity::~TOwnerEntity() {
  // The list is taken first, so that no owner's RemoveElement searches it.
  TPointerList<TElement> owners;
  owners.Swap(owners_);
  for (int i = owners.Count() - 1; i >= 0; --i) {
    TElement* owner = owners.At(i);
    if (owner && owner->IsAnEntity()) {
      auto* entity = static_cast<TEntity*>(owner);
      if (!entity->IsEmpty()) entity->RemoveElement(this);
    } else {
      platform::MessageDlg("TOwnerEntity.Destroy: Špatný vlastník", platform::MsgDlgType::Error, platform::mbOK);
    }
  }
}

TElement* TOwnerEntity::GetOwner(int index) const {
  if (index < 0 || index >= owners_.Count()) return nullptr;
  TElement* owner = owners_.At(index);
  if (!owner) {
    platform::MessageDlg("TOwnerEntity(" + GetName() + ").GetOwner: Objekt vlastníka je prázdný",
                         platform::MsgDlgType::Error, platform::mbOK);
    return nullptr;
  }
  if (!owner->IsAnEntity()) {
    platform::MessageDlg("TOwnerEntity(" + GetName() + ").GetOwner: Objekt vlastníka není TEntity",
                         platform::MsgDlgType::Error, platform::mbOK);
    return nullptr;
  }
  return owner;
}


// ---------------------------------------------------------------- creation and registration

TElement* NewElement(TClass cls) {
  if (!cls || !cls->Factory || !cls->InheritsFrom(TElement::StaticClass())) return nullptr;
  std::unique_ptr<TElement> element(static_cast<TElement*>(cls->Factory()));
  element->AfterConstruction();
  return element.release();
}

TPropInfo ElementNameProp() {
  return StoredWhen(AccessorProp<TElement, std::string>(
                        "Name", [](const TElement& e) { return e.GetName(); },
                        [](TElement& e, std::string name) { e.SetName(name); }),
                    [](const TObject& o) { return static_cast<const TElement&>(o).HasName(); });
}

TClass TElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TElement>(
      "TElement", TPersistent::StaticClass(), "Elements",
      {NotStored(FieldProp("ID", &TElement::ID)),
       ElementNameProp(),
       NotStored(ReadProp("OwnersCount", &TElement::GetOwnersCount)), NotStored(ReadProp("Size", &TElement::GetSize)),
       NotStored(AccessorProp<TElement, int>(
           "WholeSize", [](const TElement& e) { return const_cast<TElement&>(e).GetWholeSize(); }, nullptr))});
  return &info;
}

TClass TNameElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TNameElement>("TNameElement", TElement::StaticClass(), "Elements", {});
  return &info;
}

TClass TOwnerElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TOwnerElement>("TOwnerElement", TNameElement::StaticClass(), "Elements", {});
  return &info;
}

TClass TAliasElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TAliasElement>("TAliasElement", TOwnerElement::StaticClass(), "Elements", {});
  return &info;
}

TClass TEntity::StaticClass() {
  static const TClassInfo info = DescribeClass<TEntity>(
      "TEntity", TElement::StaticClass(), "Elements",
      // LastIndex comes last: what a descendant publishes after it is its own.
      {NotStored(AccessorProp<TEntity, int>(
           "Count", [](const TEntity& e) { return static_cast<int>(e.Children().size()); }, nullptr)),
       NotStored(AccessorProp<TEntity, int>(
           "WholeCount", [](const TEntity& e) { return const_cast<TEntity&>(e).WholeCount(); }, nullptr)),
       WriteProp("NextElement", &TEntity::AddElement), WriteProp("ElementToRemove", &TEntity::RemoveElement),
       WriteProp("ElementToFree", &TEntity::FreeElement), WriteProp("AddAllFrom", &TEntity::AddAllFrom),
       NotStored(AccessorProp<TEntity, int>(
           "LastIndex", [](const TEntity& e) { return static_cast<int>(e.Children().size()) - 1; }, nullptr))});
  return &info;
}

TClass TAliases::StaticClass() {
  static const TClassInfo info = DescribeClass<TAliases>("TAliases", TEntity::StaticClass(), "Elements", {});
  return &info;
}

TClass TQuickEntity::StaticClass() {
  static const TClassInfo info = DescribeClass<TQuickEntity>("TQuickEntity", TEntity::StaticClass(), "Elements", {});
  return &info;
}

TClass TEnvelopeEntity::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TEnvelopeEntity>("TEnvelopeEntity", TEntity::StaticClass(), "Elements", {});
  return &info;
}

TClass TNameEntity::StaticClass() {
  static const TClassInfo info = DescribeClass<TNameEntity>("TNameEntity", TEntity::StaticClass(), "Elements", {});
  return &info;
}

TClass TOwnerEntity::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TOwnerEntity>("TOwnerEntity", TNameEntity::StaticClass(), "Elements", {});
  return &info;
}

void RegisterElementsClasses() {
  for (TClass cls : {TElement::StaticClass(), TNameElement::StaticClass(), TOwnerElement::StaticClass(),
                     TEntity::StaticClass(), TNameEntity::StaticClass(), TOwnerEntity::StaticClass(),
                     TEnvelopeEntity::StaticClass(), TKestuMessage::StaticClass()})
    RegisterKestuClass(cls);
}
