#pragma once
// Sorting elements one at a time into a tree of named groups.  Each level of
// the tree is keyed by the values of some of the element's properties; a
// level's group is found by name under the group of the level above and made
// when missing, of a class chosen per level, optionally with a socket
// element inside that receives the element instead of the group.
#include <array>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/values/typed_values.h"
#include "framework/tools/tools.h"

// The element's key of that name: the text of its property, empty when it
// has no such property; so also when the attribute table behind it cannot
// be read, whose error text is no key.
std::string KeyText(const TElement& element, const std::string& name);

// One level of the criterion: the item names are the properties that make
// the key; the strings choose the classes of the groups and their sockets.
class TPropsAndClass : public TPropertyList {
  KESTX_CLASS(TPropsAndClass)
 public:
  std::string OwnerClassName;   // empty: the tool's OwnerClass
  std::string SocketName;
  std::string SocketClassName;  // empty: no socket
};

class TGroupper : public TTool {
  KESTX_CLASS(TGroupper)
 public:
  bool DoItEmpty = false;

  // One property list (a single level) or an entity of property lists, the
  // levels in order; the tool owns it.
  TElement* Criterion() const { return criterion_.Get(); }
  void SetCriterion(TElement* criterion);
  std::string OwnerClass() const;
  // The class of that name in the class registry; nil for a name no class has.
  void SetOwnerClass(const std::string& name);
  // Appends a rule "G=E": after placing, the group's property G gets the
  // text of the input's property E.  A text without "=" is no rule.
  void SetNextAssigment(const std::string& rule);

  // Places the input (see the class comment); nothing without an input or
  // with a criterion that is no entity.
  void DoIt() override;
  // The group (or its socket) of one level under the owner.
  TElement* FindOrCreateLevelGroup(TEntity& owner, TPropertyList& level);
  // Grows the bounds of e, when a rect entity, by the input, and so on up
  // its owners.
  void IncludeInOwners(TElement* e);

 private:
  // Groups by owner and name, kept for the run: placing looks a key up here
  // instead of among all the owner's children.  A group is kept with its
  // place in the owner's list, so that one that left it is noticed without
  // reaching it; an owner whose count of children changed behind the tool's
  // back is indexed anew.
  struct GroupKey {
    const TElement* Owner;
    std::string Name;  // upper case
    auto operator<=>(const GroupKey&) const = default;
  };
  struct IndexedGroup {
    TElement* Group;
    std::size_t Slot;
  };
  void IndexOwner(TEntity& owner);
  // The group last found or made under an owner: elements placed in order
  // mostly share the groups of the upper levels with the one before.
  struct RecentGroup {
    const TElement* Owner = nullptr;
    std::string Key;
    IndexedGroup Found{};
  };
  std::size_t RecentSlot(const TElement& owner) const;
  TElement* StillInPlace(const TEntity& owner, const IndexedGroup& indexed, const std::string& key) const;
  void Remember(const TEntity& owner, const std::string& key, const IndexedGroup& group);
  TElement* FindGroup(TEntity& owner, const std::string& key);
  void IndexGroup(TEntity& owner, const std::string& key, TElement* group);
  void ApplyAssignments(TElement& group);
  // The registry class of that name, looked up once per run of placements;
  // nil for an empty name or one no class has.
  TClass ClassNamed(const std::string& name);

  TElementLink criterion_;
  TClass ownerClass_ = nullptr;
  std::unique_ptr<TStringListElement> assignments_;
  // Ordered maps: their nodes are small, where a hash table's growing
  // bucket arrays were a good part of the cost of a build.
  std::map<GroupKey, IndexedGroup> groups_;
  std::map<const TElement*, std::size_t> counts_;
  std::unordered_map<std::string, TClass> classes_;
  // The work lists of IncludeInOwners, kept between placements.
  std::vector<TElement*> pending_;
  std::vector<const TElement*> seen_;
  std::array<RecentGroup, 8> recent_;
};

void RegisterGroupperClasses();
