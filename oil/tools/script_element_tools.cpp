#include "oil/tools/script_element_tools.h"

#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "oil/errors/lang_errors.h"
#include "oil/runtime/run_context.h"

namespace {

// A program cannot free what runs it: itself, an entity that holds it, a part
// of it, or the world it works on.  Refused as an element it may not have.
void RefuseFreeingWhatRuns(TElement* element) {
  if (element == World() || TouchesRunningProgram(element)) throw TRunTimeError(rteNoSuchElement);
}

// The parameter names of a tool, index 0 first.
void ParameterName(int index, std::string& name, std::initializer_list<const char*> names) {
  name.clear();
  if (index >= 0 && static_cast<std::size_t>(index) < names.size()) name = *(names.begin() + index);
}

// "DoIt" published as a method, as scripts see it.
template <class T>
TPropInfo DoItMethod() {
  return NotStored(AccessorProp<T, TMethod>("DoIt", [](const T&) { return TMethod{}; }, nullptr));
}

// A class by the name a script gives: with or without its leading "T".
TClass ScriptClass(const std::string& name) {
  TClass cls = FindKestuClass(name);
  return cls ? cls : FindKestuClass("T" + name);
}

}  // namespace

TElement* TCreateElement::NewOfClass() const {
  TClass cls = ScriptClass(NameOfClass);
  return cls ? NewElement(cls) : nullptr;
}

void TCreateElement::DoIt() {
  TTool::DoIt();
  auto* parent = DynamicCast<TEntity>(Input());
  if (!parent) return;
  TElement* element = NewOfClass();
  if (!element) return;
  element->SetName(ElementName);
  parent->AddElement(element);
  SetOutput(element);
}

void TCreateElement::GetParameterName(int index, std::string& name) {
  ParameterName(index, name, {"NameOfClass", "ElementName"});
}

void TCreate::DoIt() {
  TTool::DoIt();
  TElement* element = NewOfClass();
  if (!element) return;
  element->SetName(ElementName);
  SetOutput(element);
}

void TCreateTool::DoIt() {
  TTool::DoIt();
  auto* technology = DynamicCast<TTechnology>(Input());
  TClass cls = ScriptClass(NameOfTool);
  if (!technology || !cls || !cls->InheritsFrom(TTool::StaticClass())) return;
  auto* tool = static_cast<TTool*>(NewElement(cls));
  if (!tool) return;
  tool->SetName(ElementName);
  technology->AddTool(tool);
  SetOutput(tool);
}

void TCreateTool::GetParameterName(int index, std::string& name) {
  ParameterName(index, name, {"NameOfTool", "ElementName"});
}

void TDoIt::DoIt() {
  TTool::DoIt();
  auto* tool = DynamicCast<TTool>(Input());
  if (!tool) return;
  tool->DoIt();
  SetOutput(tool->Output());
}

void TFree::DoIt() {
  TTool::DoIt();
  TElement* element = Input();
  if (!element || element == this) return;
  RefuseFreeingWhatRuns(element);
  // Whoever holds it: an element leaves every list as it is destroyed.
  delete element;
  SetOutput(nullptr);
}

void TFreeAll::DoIt() {
  TTool::DoIt();
  auto* entity = DynamicCast<TEntity>(Input());
  if (!entity) return;
  RefuseFreeingWhatRuns(entity);
  entity->Clear();
  SetOutput(nullptr);
}

void TAddElement::DoIt() {
  TTool::DoIt();
  auto* entity = DynamicCast<TEntity>(Input());
  if (!entity) return;
  entity->AddElement(ElementToAdd());
  SetOutput(ElementToAdd());
}

void TAddElement::GetParameterName(int index, std::string& name) { ParameterName(index, name, {"ElementToAdd"}); }

void TFindOwnerByClass::DoIt() {
  TTool::DoIt();
  TClass cls = ScriptClass(OwnerClass);
  if (!Input() || !cls) return;
  SetOutput(Input()->GetOwnerByClass(cls));
}

void TFindOwnerByClass::GetParameterName(int index, std::string& name) {
  ParameterName(index, name, {"OwnerClass"});
}

void TFindOwnerByName::DoIt() {
  TTool::DoIt();
  if (!Input()) return;
  SetOutput(Input()->GetOwnerByName(OwnerName));
}

void TFindOwnerByName::GetParameterName(int index, std::string& name) { ParameterName(index, name, {"OwnerName"}); }

void TFindElementByClass::DoIt() {
  TTool::DoIt();
  auto* entity = DynamicCast<TEntity>(Input());
  TClass cls = ScriptClass(ClassOfElement);
  if (!entity || !cls) return;
  SetOutput(entity->FindElementByClass(cls));
}

void TFindElementByClass::GetParameterName(int index, std::string& name) {
  ParameterName(index, name, {"ClassOfElement"});
}

void TFindElementByName::DoIt() {
  TTool::DoIt();
  auto* entity = DynamicCast<TEntity>(Input());
  if (!entity) return;
  SetOutput(entity->FindElementByName(ElementName));
}

void TFindElementByName::GetParameterName(int index, std::string& name) {
  ParameterName(index, name, {"ElementName"});
}

#define SCRIPT_TOOL_INFO(Self, Parent, ...)                                                                   \
  TClass Self::StaticClass() {                                                                                \
    static const TClassInfo info = DescribeClass<Self>(#Self, Parent::StaticClass(), "ScriptTools", {__VA_ARGS__}); \
    return &info;                                                                                             \
  }
SCRIPT_TOOL_INFO(TCreateElement, TTool, FieldProp("NameOfClass", &TCreateElement::NameOfClass),
                 FieldProp("ElementName", &TCreateElement::ElementName), DoItMethod<TCreateElement>())
SCRIPT_TOOL_INFO(TCreate, TCreateElement)
SCRIPT_TOOL_INFO(TCreateTool, TTool, FieldProp("NameOfTool", &TCreateTool::NameOfTool),
                 FieldProp("ElementName", &TCreateTool::ElementName))
SCRIPT_TOOL_INFO(TDoIt, TTool)
SCRIPT_TOOL_INFO(TFree, TTool)
SCRIPT_TOOL_INFO(TFreeAll, TTool)
SCRIPT_TOOL_INFO(TAddElement, TTool,
                 AccessorProp<TAddElement, TElement*>("ElementToAdd", &TAddElement::ElementToAdd,
                                                      &TAddElement::SetElementToAdd))
SCRIPT_TOOL_INFO(TFindOwnerByClass, TTool, FieldProp("OwnerClass", &TFindOwnerByClass::OwnerClass),
                 DoItMethod<TFindOwnerByClass>())
SCRIPT_TOOL_INFO(TFindOwnerByName, TTool, FieldProp("OwnerName", &TFindOwnerByName::OwnerName))
SCRIPT_TOOL_INFO(TFindElementByClass, TTool, FieldProp("ClassOfElement", &TFindElementByClass::ClassOfElement),
                 DoItMethod<TFindElementByClass>())
SCRIPT_TOOL_INFO(TFindElementByName, TTool, FieldProp("ElementName", &TFindElementByName::ElementName))

void RegisterScriptElementToolClasses() {
  RegisterKestuClass(TCreateElement::StaticClass());
  RegisterKestuClass(TCreate::StaticClass());
  RegisterKestuClass(TCreateTool::StaticClass());
  RegisterKestuClass(TDoIt::StaticClass());
  RegisterKestuClass(TFree::StaticClass());
  RegisterKestuClass(TFreeAll::StaticClass());
  RegisterKestuClass(TAddElement::StaticClass());
  RegisterKestuClass(TFindOwnerByClass::StaticClass());
  RegisterKestuClass(TFindOwnerByName::StaticClass());
  RegisterKestuClass(TFindElementByClass::StaticClass());
  RegisterKestuClass(TFindElementByName::StaticClass());
}
