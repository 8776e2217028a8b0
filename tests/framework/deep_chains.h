#pragma once
// Chains of entities nested deeper than the stack could follow one level per
// frame: each entity is the only child of the one above.
#include <memory>
#include <string>

#include "framework/core/elements.h"

// Deep enough that one stack frame per level (large under the sanitizers)
// overflows the stack, small enough to keep the tests fast.
inline constexpr int kDeepChainDepth = 20000;

// Entities named "L0", "L1", ... from the top; the deepest comes back through
// deepest.
template <class Entity>
std::unique_ptr<Entity> DeepChain(int depth = kDeepChainDepth, TEntity** deepest = nullptr) {
  auto root = std::make_unique<Entity>();
  root->SetName("L0");
  TEntity* at = root.get();
  for (int level = 1; level < depth; ++level) {
    auto* next = new Entity;
    next->SetName("L" + std::to_string(level));
    at->AddElement(next);
    at = next;
  }
  if (deepest) *deepest = at;
  return root;
}
