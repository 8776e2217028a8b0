#include "framework/condition/custom_recursor.h"

#include "framework/core/class_registry.h"
#include "framework/condition/operators.h"
#include "framework/condition/condition_compiler.h"

namespace {

// Compiles a text into the slot: the old condition goes, an empty text leaves
// the slot empty.
void Recompile(TCondCreator& creator, const std::string& text, std::unique_ptr<TCondition>& slot) {
  slot.reset(text.empty() ? nullptr : CompileCondition(creator, text));
}

}  // namespace

TCustomRecursor::TCustomRecursor() = default;
TCustomRecursor::~TCustomRecursor() = default;

void TCustomRecursor::Prepare() {
  TCondCreator creator;
  Recompile(creator, BeforeCondition, before_);
  Recompile(creator, AfterCondition, after_);
  Recompile(creator, GoInsideCondition, goInside_);
}

bool TCustomRecursor::QProcessBefore(TElement* element) {
  if (!before_ || !ConditionHolds(*before_, element)) return false;
  return TRecursorWithTools::QProcessBefore(element);
}

bool TCustomRecursor::QProcessAfter(TElement* element) {
  if (!after_ || !ConditionHolds(*after_, element)) return false;
  return TRecursorWithTools::QProcessAfter(element);
}

bool TCustomRecursor::QGoInside(TElement* element) {
  if (!goInside_) return true;
  if (!ConditionHolds(*goInside_, element)) return false;
  return TRecursorWithTools::QGoInside(element);
}

TClass TCustomRecursor::StaticClass() {
  static const TClassInfo info = DescribeClass<TCustomRecursor>(
      "TCustomRecursor", TRecursorWithTools::StaticClass(), "T_advrcz",
      {FieldProp("BeforeCondition", &TCustomRecursor::BeforeCondition),
       FieldProp("AfterCondition", &TCustomRecursor::AfterCondition),
       FieldProp("GoInsideCondition", &TCustomRecursor::GoInsideCondition)});
  return &info;
}

void RegisterAdvrczClasses() { RegisterKestuClass(TCustomRecursor::StaticClass()); }
