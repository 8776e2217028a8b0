#include "framework/condition/selectors.h"

#include "framework/core/class_registry.h"
#include "framework/condition/condition_syntax.h"
#include "framework/condition/operators.h"
#include "framework/condition/condition_compiler.h"

namespace {

bool IsEntity(TElement* element) { return DynamicCast<TEntity>(element) != nullptr; }

}  // namespace

TCondCreator* TSelector::ConditionCreator() {
  if (auto* creator = static_cast<TCondCreator*>(creator_.Get())) return creator;
  auto* creator = new TCondCreator;
  creator->SetName("Condition Creator");
  AddTool(creator);
  creator_.Set(creator);
  return creator;
}

void TSelector::Prepare() {
  if (!Output()) {
    auto* selection = new TOwnerEntity;
    selection->SetName("Selected elements");
    SetOutput(selection);
  }
  if (TrimBlanks(Condition).empty()) throw SyntaxExcept("Ocekavam indentifikator", 1);
  TCondition* condition = CompileCondition(*ConditionCreator(), Condition);
  if (TElement* old = compiled_.Get()) FreeParameter(old);
  AddParameter(condition);
  compiled_.Set(condition);
}

bool TSelector::QProcessBefore(TElement*) { return true; }
bool TSelector::QProcessAfter(TElement*) { return false; }

bool TSelector::Holds(TElement* element) {
  auto* condition = static_cast<TCondition*>(compiled_.Get());
  return condition && ConditionHolds(*condition, element);
}

void TSelector::Select(TElement* element) {
  if (auto* selection = DynamicCast<TEntity>(Output())) selection->AddElement(element);
}

void TAllSelector::Process(TElement* element) {
  const bool recordsOwners = DynamicCast<TOwnerElement>(element) || DynamicCast<TOwnerEntity>(element);
  if (recordsOwners && Holds(element)) Select(element);
}

void TFirstSelector::Prepare() {
  TSelector::Prepare();
  Found = false;
}

bool TFirstSelector::QGoInside(TElement* element) { return IsEntity(element) && !Found; }

void TFirstSelector::LeftInside(TElement*) { Found = false; }

void TFirstSelector::Process(TElement* element) {
  Found = Holds(element) && element->GetOwnersCount() > 0;
  if (Found) Select(element);
}

void TAbsFirstSelector::Prepare() {
  TSelector::Prepare();
  Found = false;
}

bool TAbsFirstSelector::QGoInside(TElement* element) { return IsEntity(element) && !Found; }

void TAbsFirstSelector::Process(TElement* element) {
  if (Found || !Holds(element) || element->GetOwnersCount() == 0) return;
  Select(element);
  Found = true;
}

bool TLevelSelector::QGoInside(TElement* element) { return IsEntity(element) && Level < Maxlevel; }

void TLevelSelector::Process(TElement* element) {
  if (Holds(element) && element->GetOwnersCount() > 0) Select(element);
}

TClass TSelector::StaticClass() {
  static const TClassInfo info = DescribeClass<TSelector>("TSelector", TRecursor::StaticClass(), "T_select",
                                                          {FieldProp("Condition", &TSelector::Condition)});
  return &info;
}

TClass TAllSelector::StaticClass() {
  static const TClassInfo info = DescribeClass<TAllSelector>("TAllSelector", TSelector::StaticClass(), "T_select", {});
  return &info;
}

TClass TFirstSelector::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TFirstSelector>("TFirstSelector", TSelector::StaticClass(), "T_select", {});
  return &info;
}

TClass TAbsFirstSelector::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TAbsFirstSelector>("TAbsFirstSelector", TSelector::StaticClass(), "T_select", {});
  return &info;
}

TClass TLevelSelector::StaticClass() {
  static const TClassInfo info = DescribeClass<TLevelSelector>("TLevelSelector", TSelector::StaticClass(), "T_select",
                                                               {FieldProp("Maxlevel", &TLevelSelector::Maxlevel)});
  return &info;
}

void RegisterSelectClasses() {
  for (TClass cls : {TAllSelector::StaticClass(), TFirstSelector::StaticClass(), TLevelSelector::StaticClass(),
                     TAbsFirstSelector::StaticClass()})
    RegisterKestuClass(cls);
}
