#pragma once
// Reads every published property of every registered class as text on a new
// instance, and again after each element-typed property has been given the
// instance itself and then its owner.  Used by each test program over the
// classes its libraries register.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"

namespace sweep {

// Under LeakSanitizer a read that hands out an object nobody owns fails the
// sweep; the copies with detail of the sheets, too, answer nil when read.
inline void ReadEveryProperty(const TElement& element) {
  for (const TPropInfo* info : element.ClassType()->Props()) element.GetPropertyText(info->Name);
}

// Whether a walk up the owners from element comes back to it.
inline bool IsAmongItsOwners(TElement* element) {
  std::vector<TElement*> work{element};
  std::unordered_set<TElement*> seen;
  while (!work.empty()) {
    TElement* at = work.back();
    work.pop_back();
    for (int i = 0; i < at->GetOwnersCount(); ++i) {
      TElement* owner = at->GetOwner(i);
      if (owner == element) return true;
      if (owner && seen.insert(owner).second) work.push_back(owner);
    }
  }
  return false;
}

// Sweeps every class of the registry; answers how many had instances.
inline int EveryRegisteredClass() {
  TKestuClasses& registry = *KestuClasses();
  int swept = 0;
  for (int i = 0; i < registry.GetCount(); ++i) {
    TClass cls = registry.Entry(i)->ElementClass();
    // The owner sits in an entity, as every element of a running program
    // does: a root that nothing holds is what a message posted with its data
    // to be freed ("ElementForKillReView") frees when it goes.
    TOwnerEntity keeper;
    auto* owner = new TOwnerEntity;
    keeper.AddElement(owner);
    TElement* element = NewElement(cls);
    if (!element) continue;  // an abstract class
    SCOPED_TRACE(cls->ClassName);
    ++swept;
    owner->AddElement(element);
    const TElementLink alive(element);
    ReadEveryProperty(*element);
    for (const TPropInfo* info : cls->Props()) {
      if (info->Kind != tkClass || !info->HasWrite()) continue;
      for (TElement* value : {element, static_cast<TElement*>(owner)}) {
        if (!alive.Get()) break;  // a property may free it (ElementToFree)
        SCOPED_TRACE(info->Name + (value == element ? " := itself" : " := its owner"));
        element->SetPropertyText(info->Name, std::to_string(HandleOfElement(value)));
        if (!alive.Get()) break;
        EXPECT_FALSE(IsAmongItsOwners(element));
        ReadEveryProperty(*element);
      }
    }
    DiscardQueuedKestuMessages();
  }
  return swept;
}

// The registry's entries that stand outside the class tree: one without a
// class (its description went missing, so scripts, files and the registry's
// property lists no longer see it), a class its own name does not find, one
// not under the element, or one whose properties do not begin with its
// parent's.
inline std::vector<std::string> ClassesOutOfTheTree() {
  TKestuClasses& registry = *KestuClasses();
  std::vector<std::string> wrong;
  for (int i = 0; i < registry.GetCount(); ++i) {
    const TClass cls = registry.Entry(i)->ElementClass();
    if (!cls) {
      wrong.push_back("entry " + std::to_string(i) + " has no class");
      continue;
    }
    if (FindKestuClass(cls->ClassName) != cls) wrong.push_back(cls->ClassName + " is not found by its name");
    if (cls != TElement::StaticClass() && !cls->InheritsFrom(TElement::StaticClass()))
      wrong.push_back(cls->ClassName + " is not under the element");
    if (!cls->Parent) {
      wrong.push_back(cls->ClassName + " has no parent");
      continue;
    }
    const auto& own = cls->Props();
    const auto& inherited = cls->Parent->Props();
    const auto sameName = [](const TPropInfo* a, const TPropInfo* b) { return a->Name == b->Name; };
    if (own.size() < inherited.size() || !std::equal(inherited.begin(), inherited.end(), own.begin(), sameName))
      wrong.push_back(cls->ClassName + " does not begin with its parent's properties");
  }
  return wrong;
}

}  // namespace sweep
