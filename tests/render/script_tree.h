#pragma once
// An interpret script's current tree as text: each node's name, its
// sub-nodes in brackets.
#include <string>

#include "render/interprets/interpret_script.h"

inline std::string ScriptTree(TISClass& node) {
  std::string text;
  if (!node.ExistingSubNodes()) return text;
  for (TElement* child : node.ExistingSubNodes()->Children()) {
    text += (text.empty() ? "" : " ") + child->GetName();
    if (auto* below = DynamicCast<TISClass>(child); below && below->ExistingSubNodes() &&
                                                     !below->ExistingSubNodes()->Children().empty())
      text += "[" + ScriptTree(*below) + "]";
  }
  return text;
}
