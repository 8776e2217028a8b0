#pragma once
// Reads every published property of every registered class as text on a new
// instance, and again after each element-typed property has been given the
// instance itself and then its owner.  Used by each test program over the
// classes its libraries register.
#include <gtest/gtest.h>

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

}  // namespace sweep
