#include "framework/tools/recursor.h"

#include <algorithm>

#include "framework/core/class_registry.h"

namespace {

// Whether the child is still in place after a hook ran; a child that a hook
// removed (and perhaps freed) is not touched again.
bool StillAt(TEntity& entity, int index, const TElement* child) {
  return index < entity.GetCount() && entity.GetElement(index) == child;
}

void RunHookTool(TTool* tool, TElement* element) {
  if (!tool) return;
  tool->SetInput(element);
  tool->DoIt();
}

}  // namespace

void TRecursor::DoIt() {
  Level = 1;
  if (!Input()) return;
  Prepare();
  if (TElement* input = Input(); input && QProcessBefore(input)) Process(input);
  if (TElement* input = Input(); input && QGoInside(input)) GoInside(input);
  if (TElement* input = Input(); input && QProcessAfter(input)) Process(input);
}

bool TRecursor::OnDescentPath(const TElement* element) const { return descent_.contains(element); }

void TRecursor::LeftInside(TElement*) {}

void TRecursor::GoInside(TElement* element) {
  auto* entity = DynamicCast<TEntity>(element);
  if (NotInside || !entity) {
    LeftInside(element);
    return;
  }
  // The levels below are frames of a list, not of the stack: a file may nest
  // entities a million deep.
  struct Frame {
    TEntity* Entity;
    int Count;  // taken once, before the loop over the children
    int Index = 0;
    bool OnPath;          // this frame put Entity on the descent path
    TElement* Inside = nullptr;  // the child whose children are being walked
  };
  std::vector<Frame> frames;
  const auto enter = [&](TEntity* inside) {
    ++Level;
    const bool onPath = descent_.insert(inside).second;
    frames.push_back({inside, inside->GetCount(), 0, onPath});
  };
  const auto leave = [&] {
    const Frame& left = frames.back();
    if (left.OnPath) descent_.erase(left.Entity);
    --Level;
    frames.pop_back();
  };
  struct Unwind {
    std::vector<Frame>& open;
    const decltype(leave)& leaveOne;
    ~Unwind() {
      while (!open.empty()) leaveOne();
    }
  } unwind{frames, leave};
  enter(entity);
  while (!frames.empty()) {
    const std::size_t top = frames.size() - 1;
    TEntity& parent = *frames[top].Entity;
    const int i = frames[top].Index;
    if (TElement* child = frames[top].Inside) {
      // Back from the child's children.
      frames[top].Inside = nullptr;
      ++frames[top].Index;
      LeftInside(child);
      if (StillAt(parent, i, child) && QProcessAfter(child)) Process(child);
      continue;
    }
    if (i >= frames[top].Count || i >= parent.GetCount()) {
      leave();
      continue;
    }
    TElement* child = parent.GetElement(i);
    // An element that contains itself, directly or further down, is walked once.
    if (!child || OnDescentPath(child)) {
      ++frames[top].Index;
      continue;
    }
    if (QProcessBefore(child)) Process(child);
    if (!StillAt(parent, i, child)) {
      ++frames[top].Index;
      continue;
    }
    if (QGoInside(child) && StillAt(parent, i, child)) {
      auto* inner = DynamicCast<TEntity>(child);
      if (!NotInside && inner) {
        frames[top].Inside = child;
        enter(inner);
        continue;
      }
      LeftInside(child);
    }
    ++frames[top].Index;
    if (StillAt(parent, i, child) && QProcessAfter(child)) Process(child);
  }
  LeftInside(element);
}

bool TRecursor::QGoInside(TElement* element) { return DynamicCast<TEntity>(element) != nullptr; }
bool TRecursor::QProcessBefore(TElement*) { return false; }
bool TRecursor::QProcessAfter(TElement*) { return false; }
void TRecursor::Process(TElement*) {}
void TRecursor::Prepare() {}

bool TRecursorWithTools::QGoInside(TElement* element) {
  TTool* test = QGoInsideTool();
  if (!DynamicCast<TEntity>(element) || !test) return true;
  const TElementLink alive(test);
  RunHookTool(test, element);
  return alive.Get() && test->Output() != nullptr;
}

bool TRecursorWithTools::QProcessBefore(TElement* element) {
  RunHookTool(BeforeTool(), element);
  return false;
}

bool TRecursorWithTools::QProcessAfter(TElement* element) {
  RunHookTool(AfterTool(), element);
  return false;
}

TClass TRecursor::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TRecursor>("TRecursor", TTechnology::StaticClass(), "T_Recurs",
                               {FieldProp("NotInside", &TRecursor::NotInside), FieldProp("Level", &TRecursor::Level)});
  return &info;
}

TClass TRecursorWithTools::StaticClass() {
  static const TClassInfo info = DescribeClass<TRecursorWithTools>(
      "TRecursorWithTools", TRecursor::StaticClass(), "T_Recurs",
      {ReadWriteProp("BeforeTool", &TRecursorWithTools::BeforeTool, &TRecursorWithTools::SetBeforeTool),
       ReadWriteProp("AfterTool", &TRecursorWithTools::AfterTool, &TRecursorWithTools::SetAfterTool),
       ReadWriteProp("QGoInsideTool", &TRecursorWithTools::QGoInsideTool, &TRecursorWithTools::SetQGoInsideTool)});
  return &info;
}

void RegisterRecursorClasses() { RegisterKestuClass(TRecursorWithTools::StaticClass()); }
