#include "spatial/geometry/missing_bounds.h"

#include <memory>
#include <unordered_set>
#include <vector>

#include "spatial/geometry/geometry_elements.h"

namespace {

struct Frame {
  explicit Frame(TEntity* entity) : Entity(entity) {}
  TEntity* Entity;
  std::size_t Next = 0;
  // What the children cover, and the part of it whose bounds the walk made.
  TRectangle Content;
  TRectangle Made;
};

TRealRect RealRect(const TRectangle& r) { return {r.MinX(), r.MinY(), r.MaxX(), r.MaxY()}; }

// The frame's extent into result; true when the walk made bounds in it.
bool Finish(Frame& frame, TRectangle& result) {
  auto* rect = DynamicCast<TRectEntity>(frame.Entity);
  if (!rect) {
    result.Assign(&frame.Content);
    return frame.Made.IsValid();
  }
  bool made = false;
  if (!rect->IsValid()) {
    made = frame.Content.IsValid();
    if (made) rect->SetBounds(RealRect(frame.Content));
  } else if (frame.Made.IsValid()) {
    made = !rect->ContainsRect(frame.Made.MinX(), frame.Made.MinY(), frame.Made.MaxX(), frame.Made.MaxY());
    if (made) rect->BoundRect()->IncludeRect(&frame.Made);
  }
  result.Assign(rect->BoundRect());
  return made;
}

}  // namespace

bool CompleteMissingBounds(TElement* element, TRealRect& extent) {
  TRectangle result;
  if (auto* point = DynamicCast<TCoordinate>(element)) result.IncludeCoordinate(point);
  std::unordered_set<const TElement*> entered;
  std::vector<std::unique_ptr<Frame>> stack;
  const auto enter = [&](TElement* e) {
    auto* entity = DynamicCast<TEntity>(e);
    if (!entity || !entered.insert(entity).second) return false;
    stack.push_back(std::make_unique<Frame>(entity));
    return true;
  };
  enter(element);
  while (!stack.empty()) {
    Frame& top = *stack.back();
    const auto& children = top.Entity->Children();
    if (top.Next < children.size()) {
      TElement* child = children[top.Next++];
      if (auto* point = DynamicCast<TCoordinate>(child)) {
        top.Content.IncludeCoordinate(point);
      } else if (!enter(child)) {
        // Entered before: its bounds as they stand now.
        if (auto* rect = DynamicCast<TRectEntity>(child)) top.Content.IncludeRect(rect->BoundRect());
      }
      continue;
    }
    result.Clear();
    const bool made = Finish(top, result);
    stack.pop_back();
    if (stack.empty()) break;
    stack.back()->Content.IncludeRect(&result);
    if (made) stack.back()->Made.IncludeRect(&result);
  }
  extent = RealRect(result);
  return result.IsValid();
}
