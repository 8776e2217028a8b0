#pragma once
// Sorting elements one at a time into a tree of named groups.  Each level of
// the tree is keyed by the values of some of the element's properties; a
// level's group is found by name under the group of the level above and made
// when missing, of a class chosen per level, optionally with a socket
// element inside that receives the element instead of the group.
#include <memory>
#include <string>
#include <unordered_map>

#include "framework/values/typed_values.h"
#include "framework/tools/tools.h"

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
  // Groups by name under each owner, kept for the run: placing looks a key
  // up here instead of among all the owner's children.
  struct OwnerIndex {
    TElementLink Owner;
    std::size_t Count = 0;  // the owner's children when last indexed
    std::unordered_map<std::string, TElementLink> Groups;
  };
  TElement* FindGroup(TEntity& owner, const std::string& key);
  void IndexGroup(TEntity& owner, const std::string& key, TElement* group);
  OwnerIndex& IndexOf(TEntity& owner);
  void ApplyAssignments(TElement& group);

  TElementLink criterion_;
  TClass ownerClass_ = nullptr;
  std::unique_ptr<TStringListElement> assignments_;
  std::unordered_map<const TElement*, OwnerIndex> index_;
};

void RegisterGroupperClasses();
