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

bool TRecursor::OnDescentPath(const TElement* element) const {
  return std::find(descent_.begin(), descent_.end(), element) != descent_.end();
}

void TRecursor::GoInside(TElement* element) {
  auto* entity = DynamicCast<TEntity>(element);
  if (NotInside || !entity) return;
  ++Level;
  descent_.push_back(entity);
  struct Ascend {
    TRecursor& recursor;
    ~Ascend() {
      recursor.descent_.pop_back();
      --recursor.Level;
    }
  } ascend{*this};
  const int count = entity->GetCount();
  for (int i = 0; i < count && i < entity->GetCount(); ++i) {
    TElement* child = entity->GetElement(i);
    // An element that contains itself, directly or further down, is walked once.
    if (!child || OnDescentPath(child)) continue;
    if (QProcessBefore(child)) Process(child);
    if (!StillAt(*entity, i, child)) continue;
    if (QGoInside(child) && StillAt(*entity, i, child)) GoInside(child);
    if (!StillAt(*entity, i, child)) continue;
    if (QProcessAfter(child)) Process(child);
  }
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
