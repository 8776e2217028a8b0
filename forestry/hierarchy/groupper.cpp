#include "forestry/hierarchy/groupper.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "block/props/lumar_props.h"
#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/code_page.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr const char* kEmptyKey = "___";

// Owners of up to so many children are searched rather than indexed.
constexpr std::size_t kScannedOwner = 16;

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Names as the lookups by name compare them: upper case by the code page's
// rules, ASCII ones directly.
std::string NameKey(const std::string& name) {
  return IsAscii(name) ? AsciiUpperCase(name) : platform::AnsiUpperCase(name);
}

// A new entity of the class, named; a TOwnerEntity for no class or one that
// makes no entities (a group must hold what is placed in it).
TEntity* NewNamedEntity(TClass cls, const std::string& name) {
  TElement* made = NewElement(cls ? cls : TOwnerEntity::StaticClass());
  auto* entity = DynamicCast<TEntity>(made);
  if (!entity) {
    delete made;
    entity = CreateElement<TOwnerEntity>();
  }
  entity->SetName(name);
  return entity;
}

// Whether a property text of the element may be the error text of an
// attribute table that cannot be read: only a block object's may.  The
// others are not asked twice for every key.
bool ReadsAttributeTable(const TElement& element) {
  const auto* entity = DynamicCast<TSpaceEntity>(&element);
  return entity && DynamicCast<TLumarProps>(entity->Properties());
}

// Each item of the level whose property the element does not have reads
// as that property's empty text would.
void BlankMissingKeys(TPropertyList& level, const TElement& element) {
  if (!ReadsAttributeTable(element)) return;
  for (int i = 0; i < level.GetCount(); ++i) {
    std::string name = level.GetItemName(i);
    const bool negate = !name.empty() && name[0] == '-';
    if (negate) name.erase(0, 1);
    if (!name.empty() && !element.HasProperty(name)) level.SetValue(i, negate ? "-" : "");
  }
}

}  // namespace

std::string KeyText(const TElement& element, const std::string& name) {
  return !ReadsAttributeTable(element) || element.HasProperty(name) ? element.GetPropertyText(name) : std::string();
}

TClass TGroupper::ClassNamed(const std::string& name) {
  if (name.empty()) return nullptr;
  if (const auto known = classes_.find(name); known != classes_.end()) return known->second;
  const TClass cls = FindKestuClassWithOrWithoutT(name);
  // A name not (yet) registered is asked again next time.
  if (cls) classes_.emplace(name, cls);
  return cls;
}

void TGroupper::SetCriterion(TElement* criterion) { SetLinkedElement(criterion_, criterion); }

std::string TGroupper::OwnerClass() const { return ownerClass_ ? ownerClass_->ClassName : std::string(); }

void TGroupper::SetOwnerClass(const std::string& name) { ownerClass_ = FindKestuClassWithOrWithoutT(name); }

void TGroupper::SetNextAssigment(const std::string& rule) {
  if (!assignments_) assignments_.reset(CreateElement<TStringListElement>());
  assignments_->NextNameIsValue(rule);
}

void TGroupper::DoIt() {
  platform::Application::Instance().ProcessMessages();
  TElement* input = Input();
  auto* criterion = DynamicCast<TEntity>(Criterion());
  if (!input || !criterion) return;
  if (!ownerClass_) ownerClass_ = TNameEntity::StaticClass();
  auto* root = DynamicCast<TEntity>(Output());
  if (!Output()) {
    // The tool keeps the tree it made, so that it outlives no one.
    root = CreateElement<TOwnerEntity>();
    AddElement(root);
    SetOutput(root);
  }
  if (!root) return;

  TElement* group = nullptr;
  if (auto* single = DynamicCast<TPropertyList>(criterion)) {
    group = FindOrCreateLevelGroup(*root, *single);
  } else {
    TEntity* owner = root;
    for (TElement* child : criterion->Children()) {
      auto* level = DynamicCast<TPropertyList>(child);
      if (!level) continue;
      group = owner ? FindOrCreateLevelGroup(*owner, *level) : nullptr;
      owner = DynamicCast<TEntity>(group);
      if (!group) break;
    }
  }
  if (!group) return;
  ApplyAssignments(*group);
  if (DoItEmpty) return;
  auto* target = DynamicCast<TEntity>(group);
  if (!target) return;
  target->AddElement(input);
  if (DynamicCast<TRectEntity>(group)) IncludeInOwners(group);
}

void TGroupper::ApplyAssignments(TElement& group) {
  if (!assignments_) return;
  TElement* input = Input();
  for (int i = 0; i < assignments_->GetCount(); ++i) {
    try {
      group.SetPropertyText(assignments_->GetItemName(i), input->GetPropertyText(assignments_->GetValue(i)));
    } catch (const std::exception&) {
      // A property that cannot take the text: the next rule still applies.
    }
  }
}

TElement* TGroupper::FindOrCreateLevelGroup(TEntity& owner, TPropertyList& level) {
  level.SetElement(Input());
  BlankMissingKeys(level, *Input());
  std::string key = level.GetCatenation();
  if (key.empty()) key = kEmptyKey;
  auto* described = DynamicCast<TPropsAndClass>(&level);
  const TClass socketClass = described ? ClassNamed(described->SocketClassName) : nullptr;

  auto* group = DynamicCast<TEntity>(FindGroup(owner, key));
  if (!group) {
    TClass groupClass = ownerClass_;
    if (described && !described->OwnerClassName.empty()) groupClass = ClassNamed(described->OwnerClassName);
    group = NewNamedEntity(groupClass, key);
    owner.AddElement(group);
    IndexGroup(owner, key, group);
  }
  if (!socketClass) return group;
  if (TElement* socket = group->FindElementByName(described->SocketName)) return socket;
  // A group found without its socket gets one, rather than a second group
  // of the same name that lookups would never reach.
  TEntity* socket = NewNamedEntity(socketClass, described->SocketName);
  group->AddElement(socket);
  return socket;
}

void TGroupper::IndexOwner(TEntity& owner) {
  const std::size_t count = owner.Children().size();
  const auto [known, made] = counts_.try_emplace(&owner, count);
  if (!made && known->second == count) return;
  known->second = count;
  // From the back, so that the first child of a name wins, as in a search
  // from the front.
  for (std::size_t slot = count; slot-- > 0;)
    if (TElement* child = owner.Children()[slot])
      groups_.insert_or_assign(GroupKey{&owner, NameKey(child->GetName())}, IndexedGroup{child, slot});
}

TElement* TGroupper::StillInPlace(const TEntity& owner, const IndexedGroup& indexed, const std::string& key) const {
  const TGapList<TElement>& children = owner.Children();
  if (indexed.Slot < children.size() && children[indexed.Slot] == indexed.Group &&
      indexed.Group->SameNameAs(key))
    return indexed.Group;
  return nullptr;
}

std::size_t TGroupper::RecentSlot(const TElement& owner) const {
  // Addresses share their low bits (allocations are aligned): their
  // product with an odd constant spreads them over the high bits.
  const auto mixed = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&owner)) * 0x9E3779B97F4A7C15u;
  return static_cast<std::size_t>(mixed >> 32) % recent_.size();
}

void TGroupper::Remember(const TEntity& owner, const std::string& key, const IndexedGroup& group) {
  RecentGroup& slot = recent_[RecentSlot(owner)];
  slot.Owner = &owner;
  slot.Key = key;
  slot.Found = group;
}

TElement* TGroupper::FindGroup(TEntity& owner, const std::string& key) {
  const RecentGroup& recent = recent_[RecentSlot(owner)];
  if (recent.Owner == &owner && recent.Key == key)
    if (TElement* group = StillInPlace(owner, recent.Found, key)) return group;
  const TGapList<TElement>& children = owner.Children();
  if (children.size() <= kScannedOwner) {
    for (std::size_t slot = 0; slot < children.size(); ++slot) {
      TElement* child = children[slot];
      if (!child || !child->SameNameAs(key)) continue;
      Remember(owner, key, IndexedGroup{child, slot});
      return child;
    }
    return nullptr;
  }
  IndexOwner(owner);
  const auto found = groups_.find(GroupKey{&owner, NameKey(key)});
  if (found == groups_.end()) return nullptr;
  if (TElement* group = StillInPlace(owner, found->second, key)) {
    Remember(owner, key, found->second);
    return group;
  }
  // The group has left its place: the owner is searched, and indexed anew
  // next time.
  groups_.erase(found);
  counts_[&owner] = static_cast<std::size_t>(-1);
  return owner.FindElementByName(key);
}

void TGroupper::IndexGroup(TEntity& owner, const std::string& key, TElement* group) {
  const std::size_t count = owner.Children().size();
  if (count == 0 || owner.Children()[count - 1] != group) return;
  const IndexedGroup made{group, count - 1};
  Remember(owner, key, made);
  // The group is an indexed owner's one new child: the index stays, with it
  // added.
  const auto known = counts_.find(&owner);
  if (known == counts_.end() || known->second + 1 != count) return;
  known->second = count;
  groups_.insert_or_assign(GroupKey{&owner, NameKey(key)}, made);
}

void TGroupper::IncludeInOwners(TElement* e) {
  // A work list rather than recursion up the owners, each visited once.
  const TElement* input = Input();
  pending_.assign(1, e);
  seen_.clear();
  while (!pending_.empty()) {
    TElement* next = pending_.back();
    pending_.pop_back();
    auto* rect = DynamicCast<TRectEntity>(next);
    if (!rect || std::find(seen_.begin(), seen_.end(), rect) != seen_.end()) continue;
    seen_.push_back(rect);
    rect->IncludeElement(input);
    for (int i = 0; i < rect->GetOwnersCount(); ++i) pending_.push_back(rect->GetOwner(i));
  }
}

TClass TPropsAndClass::StaticClass() {
  using E = TPropsAndClass;
  static const TClassInfo info = DescribeClass<E>(
      "TPropsAndClass", TPropertyList::StaticClass(), "T_Helhie",
      {FieldProp("OwnerClassName", &E::OwnerClassName), FieldProp("SocketName", &E::SocketName),
       FieldProp("SocketClassName", &E::SocketClassName)});
  return &info;
}

TClass TGroupper::StaticClass() {
  using E = TGroupper;
  static const TClassInfo info = DescribeClass<E>(
      "TGroupper", TTool::StaticClass(), "T_Helhie",
      {AccessorProp<E, TElement*>(
           "Criterion", [](const E& e) { return e.Criterion(); }, [](E& e, TElement* c) { e.SetCriterion(c); }),
       AccessorProp<E, std::string>(
           "OwnerClass", [](const E& e) { return e.OwnerClass(); }, [](E& e, std::string n) { e.SetOwnerClass(n); }),
       NotStored(WriteProp("NextAssigment", &E::SetNextAssigment)), FieldProp("DoItEmpty", &E::DoItEmpty)});
  return &info;
}

void RegisterGroupperClasses() {
  RegisterKestuClass(TGroupper::StaticClass());
  RegisterKestuClass(TPropsAndClass::StaticClass());
}
