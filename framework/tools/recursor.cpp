#include "framework/tools/recursor.h"

#include <algorithm>
#include <iterator>

#include "framework/core/class_registry.h"

namespace {

// The children of a walked entity: read from its list where it answers from
// it, else asked of it.
struct TChildren {
  TEntity& Entity;
  bool Direct;
  int Count() const { return Direct ? static_cast<int>(Entity.Children().size()) : Entity.GetCount(); }
  TElement* At(int index) const {
    return Direct ? Entity.Children()[static_cast<std::size_t>(index)] : Entity.GetElement(index);
  }
  // Whether the child is still in place after a hook ran; a child that a
  // hook removed (and perhaps freed) is not touched again.
  bool StillAt(int index, const TElement* child) const { return index < Count() && At(index) == child; }
};

// The children of a large graph lie scattered over memory, and whatever a
// walk does with a child starts by reading its header: the child two places
// ahead is asked for now, so that its load overlaps with the work on this one.
void AskAhead(const TEntity& parent, int index) {
  const auto& children = parent.Children();
  const auto ahead = static_cast<std::size_t>(index) + 2;
  if (ahead < children.size()) __builtin_prefetch(children[ahead]);
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

bool TRecursor::TDescentPath::Contains(const TElement* entity) const {
  return std::find(listed_.begin(), listed_.end(), entity) != listed_.end() ||
         (!deeper_.empty() && deeper_.contains(entity));
}

bool TRecursor::TDescentPath::Insert(const TElement* entity) {
  if (Contains(entity)) return false;
  if (listed_.size() < kListed) listed_.push_back(entity);
  else deeper_.insert(entity);
  return true;
}

void TRecursor::TDescentPath::Erase(const TElement* entity) {
  // Levels are left innermost first: the entity is mostly the last listed.
  if (const auto at = std::find(listed_.rbegin(), listed_.rend(), entity); at != listed_.rend())
    listed_.erase(std::next(at).base());
  else
    deeper_.erase(entity);
}

bool TRecursor::OnDescentPath(const TElement* element) const { return descent_.Contains(element); }

TRecursor::TWalkFrames::~TWalkFrames() {
  while (!Empty()) Leave();
}

void TRecursor::TWalkFrames::Enter(TEntity* entity) {
  ++recursor_.Level;
  const bool onPath = recursor_.descent_.Insert(entity);
  frames_.push_back({entity, entity->GetCount(), 0, onPath, nullptr, entity->AnswersFromChildren()});
}

void TRecursor::TWalkFrames::Leave() {
  const WalkFrame& left = frames_.back();
  if (left.OnPath) recursor_.descent_.Erase(left.Entity);
  --recursor_.Level;
  frames_.pop_back();
}

void TRecursor::LeftInside(TElement*) {}

void TRecursor::GoInside(TElement* element) {
  auto* entity = DynamicCast<TEntity>(element);
  if (NotInside || !entity) {
    LeftInside(element);
    return;
  }
  TWalkFrames frames(*this);
  frames.Enter(entity);
  while (!frames.Empty()) {
    WalkFrame& top = frames.Top();
    // What the hooks ask of the frame, held apart: Top is valid only until
    // the next Enter.
    const TChildren parent{*top.Entity, top.Direct};
    const int i = top.Index;
    if (TElement* child = top.Inside) {
      // Back from the child's children.
      top.Inside = nullptr;
      ++top.Index;
      LeftInside(child);
      if (parent.StillAt(i, child) && QProcessAfter(child)) Process(child);
      continue;
    }
    if (i >= top.Count || i >= parent.Count()) {
      frames.Leave();
      continue;
    }
    TElement* child = parent.At(i);
    AskAhead(parent.Entity, i);
    // An element that contains itself, directly or further down, is walked once.
    if (!child || OnDescentPath(child)) {
      ++top.Index;
      continue;
    }
    if (QProcessBefore(child)) Process(child);
    if (!parent.StillAt(i, child)) {
      ++top.Index;
      continue;
    }
    if (QGoInside(child) && parent.StillAt(i, child)) {
      auto* inner = DynamicCast<TEntity>(child);
      if (!NotInside && inner) {
        top.Inside = child;
        frames.Enter(inner);
        continue;
      }
      LeftInside(child);
    }
    ++top.Index;
    if (parent.StillAt(i, child) && QProcessAfter(child)) Process(child);
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
