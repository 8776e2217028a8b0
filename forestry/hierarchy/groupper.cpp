#include "forestry/hierarchy/groupper.h"

#include <unordered_set>
#include <vector>

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/code_page.h"
#include "spatial/geometry/geometry_elements.h"

namespace {

constexpr const char* kEmptyKey = "___";

// The registry class of that name; nil for an empty name or one no class has.
TClass ClassNamed(const std::string& name) { return name.empty() ? nullptr : FindKestuClassWithOrWithoutT(name); }

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

}  // namespace

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
    for (TElement* child : std::vector<TElement*>(criterion->Children().begin(), criterion->Children().end())) {
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
  std::string key = level.GetCatenation();
  if (key.empty()) key = kEmptyKey;
  auto* described = DynamicCast<TPropsAndClass>(&level);
  const TClass socketClass = described ? ClassNamed(described->SocketClassName) : nullptr;
  const std::string socketName = described ? described->SocketName : std::string();

  auto* group = DynamicCast<TEntity>(FindGroup(owner, key));
  if (!group) {
    TClass groupClass = ownerClass_;
    if (described && !described->OwnerClassName.empty()) groupClass = ClassNamed(described->OwnerClassName);
    group = NewNamedEntity(groupClass, key);
    owner.AddElement(group);
    IndexGroup(owner, key, group);
  }
  if (!socketClass) return group;
  if (TElement* socket = group->FindElementByName(socketName)) return socket;
  // A group found without its socket gets one, rather than a second group
  // of the same name that lookups would never reach.
  TEntity* socket = NewNamedEntity(socketClass, socketName);
  group->AddElement(socket);
  return socket;
}

TGroupper::OwnerIndex& TGroupper::IndexOf(TEntity& owner) {
  OwnerIndex& entry = index_[&owner];
  const std::size_t count = owner.Children().size();
  if (entry.Owner.Get() == &owner && entry.Count == count) return entry;
  // New, or changed by others since: index the children anew, the first of
  // each name winning as in a search from the front.
  entry.Owner.Set(&owner);
  entry.Count = count;
  entry.Groups.clear();
  for (TElement* child : owner.Children())
    if (child) entry.Groups.emplace(platform::AnsiUpperCase(child->GetName()), TElementLink(child));
  return entry;
}

TElement* TGroupper::FindGroup(TEntity& owner, const std::string& key) {
  OwnerIndex& entry = IndexOf(owner);
  const auto found = entry.Groups.find(platform::AnsiUpperCase(key));
  if (found == entry.Groups.end()) return nullptr;
  TElement* group = found->second.Get();
  // A group that has since left the owner (where it keeps owners) or was
  // renamed does not count; the owner is indexed again.
  if (group && group->SameNameAs(key) && (group->GetOwnersCount() == 0 || group->HasOwner(&owner))) return group;
  entry.Count = static_cast<std::size_t>(-1);
  return owner.FindElementByName(key);
}

void TGroupper::IndexGroup(TEntity& owner, const std::string& key, TElement* group) {
  OwnerIndex& entry = index_[&owner];
  // The group is the owner's one new child: the index stays, with it added.
  if (entry.Owner.Get() == &owner && entry.Count + 1 == owner.Children().size()) {
    ++entry.Count;
    entry.Groups.try_emplace(platform::AnsiUpperCase(key), group);
    return;
  }
  IndexOf(owner);
}

void TGroupper::IncludeInOwners(TElement* e) {
  // A work list rather than recursion up the owners, each visited once.
  const TElement* input = Input();
  std::vector<TElement*> pending{e};
  std::unordered_set<const TElement*> seen;
  while (!pending.empty()) {
    TElement* next = pending.back();
    pending.pop_back();
    auto* rect = DynamicCast<TRectEntity>(next);
    if (!rect || !seen.insert(rect).second) continue;
    rect->IncludeElement(input);
    for (int i = 0; i < rect->GetOwnersCount(); ++i) pending.push_back(rect->GetOwner(i));
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
