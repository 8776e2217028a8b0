#include "oil/runtime/variables.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "framework/core/class_registry.h"
#include "oil/errors/lang_errors.h"
#include "oil/runtime/program_blocks.h"
#include "oil/runtime/run_context.h"

namespace {

[[noreturn]] void Fail(int code) { throw TRunTimeError(code); }

bool IsType(const TOilValue& value, unsigned set) { return (TypeBit(TypeCodeOf(value)) & set) != 0; }

constexpr unsigned kTextTypes = TypeBit(otChar) | TypeBit(otString);

// The element an element-typed value refers to: code 2 for any other value
// and for a reference to nothing.
TElement* ReferencedElement(const TOilValue& value) {
  if (!value || TypeCodeOf(*value) != otElement) Fail(rteNoVariable);
  TElement* element = value->GetAsPointer();
  if (!element) Fail(rteNoVariable);
  return element;
}

TOilValue Reference(TElement* element) { return TOilValue::Element(element); }

}  // namespace

// ---------------------------------------------------------------- variables

TOilValue TVariable::GetValue() { return nullptr; }
void TVariable::SetValue(TOilValue) { Fail(rteNoVariable); }
int TVariable::GetValueType() { return otAny; }
std::string TVariable::GetTypeName() { return {}; }
TTypeElement* TVariable::Storage() { return nullptr; }

unsigned TVariable::ComputeTypeFlags() {
  const int type = GetValueType();
  return type >= otAny ? kAllTypes : TypeBit(type);
}

void TNormalVariable::ResolveSlot() {
  kind_ = block_->GetVarType(VarIndex);
  slotClass_ = SlotClassOf(kind_);
  resolvedIndex_ = VarIndex;
}

TTypeElement* TNormalVariable::SlotElement() {
  if (!block_) Fail(rteNoVariable);
  if (resolvedIndex_ != VarIndex) ResolveSlot();
  return block_->VariableSlot(VarIndex, slotClass_);
}

TTypeElement* TNormalVariable::Storage() { return SlotElement(); }

TOilValue TNormalVariable::GetValue() { return TOilValue::Of(*SlotElement()); }

std::int32_t TNormalVariable::EvaluateInteger() { return SlotElement()->GetAsInteger(); }

void TNormalVariable::SetInteger(std::int32_t value) {
  TTypeElement* storage = Storage();
  if (TypeCodeOf(*storage) == otInteger) storage->SetAsInteger(value);
  else SetValue(TOilValue::Integer(value));
}

void TNormalVariable::SetValue(TOilValue value) {
  TTypeElement* storage = SlotElement();
  if (TypeCodeOf(*storage) != otElement) return AssignToStorage(*storage, value);
  const std::string typeName = GetTypeName();
  AssignToStorage(*storage, value, &typeName);
}

int TNormalVariable::GetValueType() {
  if (!block_) return otAny;
  return resolvedIndex_ == VarIndex ? kind_ : block_->GetVarType(VarIndex);
}

std::string TNormalVariable::GetTypeName() { return block_ ? block_->GetVarTypeName(VarIndex) : std::string(); }

TTypeElement* TCalledVariable::Storage() {
  // Fixed when the call began, so that a recursive activation still reaches
  // its own caller's variable.
  TTypeElement* target = Block() ? Block()->ReferenceTarget(VarIndex) : nullptr;
  if (!target) Fail(rteNoVariable);
  return target;
}

TOilValue TCalledVariable::GetValue() { return TOilValue::Of(*Storage()); }

std::int32_t TCalledVariable::EvaluateInteger() { return Storage()->GetAsInteger(); }

void TCalledVariable::SetValue(TOilValue value) {
  TTypeElement* storage = Storage();
  // A FLOAT or STRING parameter may stand for an INTEGER or CHAR variable:
  // what that variable cannot hold is refused, not cut down.
  if (value && !TypesCompatible(TypeCodeOf(*storage), TypeCodeOf(*value))) Fail(rteTypeMismatch);
  AssignToStorage(*storage, value);
}

// ---------------------------------------------------------------- properties

void TPropVariable::SetOwnerExpression(TOilOperator* expression) {
  SetOwnedElement(owner_, expression);
  depth_ = 1 + (expression ? expression->Depth() : 0);
}

TPropVariable::PropertyTarget TPropVariable::FindProperty() {
  TOilOperator* owner = GetOwnerExpression();
  TOilValue value = owner ? owner->Evaluate() : nullptr;
  TElement* element = ReferencedElement(value);
  // A class's published properties never change: the last look-up is kept
  // for as long as the class and the name stay the same.
  TClass cls = element->ClassType();
  if (cls != lastClass_ || PropertyName != lastName_) {
    lastInfo_ = cls->FindProp(PropertyName);
    lastClass_ = cls;
    lastName_ = PropertyName;
  }
  if (!lastInfo_) Fail(rteBadProperty);
  return {element, lastInfo_};
}

TOilValue TPropVariable::GetValue() {
  const auto [element, info] = FindProperty();
  if (!info->HasRead()) Fail(rteBadProperty);
  switch (info->Kind) {
    case tkInteger: return TOilValue::Integer(static_cast<std::int32_t>(info->GetOrd(*element)));
    case tkChar:
    case tkWChar: return TOilValue::Char(static_cast<char>(info->GetOrd(*element)));
    case tkEnumeration: {
      const std::int64_t ordinal = info->GetOrd(*element);
      std::string name;
      if (info->EnumType && ordinal >= 0 && ordinal < static_cast<std::int64_t>(info->EnumType->Names.size()))
        name = AsciiUpperCase(info->EnumType->Names[static_cast<std::size_t>(ordinal)]);
      if (name == "TRUE") return TOilValue::Boolean(true);
      if (name == "FALSE") return TOilValue::Boolean(false);
      Fail(rteBadPropertyKind);
    }
    case tkFloat: return TOilValue::Float(static_cast<double>(info->GetFloat(*element)));
    case tkString:
    case tkLString:
    case tkWString: return TOilValue::String(info->GetStr(*element));
    case tkClass: return Reference(DynamicCast<TElement>(info->GetObj(*element)));
    default: Fail(rteBadPropertyKind);
  }
}

void WritePropertyValue(TObject& object, const TPropInfo& info, const TOilValue& value) {
  auto require = [&value](unsigned set) {
    if (!IsType(value, set)) Fail(rteTypeMismatch);
  };
  switch (info.Kind) {
    case tkInteger:
    case tkInt64:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkFloat:
    case tkString:
    case tkLString:
    case tkWString:
    case tkClass: break;
    default: Fail(rteBadPropertyKind);
  }
  if (!info.HasWrite()) Fail(rteCannotAssign);
  switch (info.Kind) {
    case tkInteger:
    case tkInt64:
      require(kIntegralTypes);
      info.SetOrd(object, value.GetAsInteger());
      break;
    case tkChar:
    case tkWChar:
      require(TypeBit(otChar));
      info.SetOrd(object, static_cast<unsigned char>(value.GetAsChar()));
      break;
    case tkEnumeration:
      require(TypeBit(otBoolean));
      info.SetOrd(object, value.GetAsBoolean() ? 1 : 0);
      break;
    case tkFloat:
      require(kNumericTypes);
      info.SetFloat(object, value.GetAsFloat());
      break;
    case tkClass: {
      require(TypeBit(otElement));
      TElement* element = value.GetAsPointer();
      // The setter takes the property's class on trust: check it here.
      if (element && !element->InheritsFrom(info.PropClass)) Fail(rteTypeMismatch);
      info.SetObj(object, element);
      break;
    }
    default:
      require(kTextTypes);
      info.SetStr(object, value.GetAsString());
      break;
  }
}

void TPropVariable::SetValue(TOilValue value) {
  const auto [element, info] = FindProperty();
  if (!value) Fail(rteNoValue);
  WritePropertyValue(*element, *info, value);
}

// ---------------------------------------------------------------- element paths

TElement* TElementOperator::StartElement() {
  return ReferencedElement(EvaluateOperand());
}

TOilValue TElementOperator::Evaluate() {
  auto* entity = DynamicCast<TEntity>(StartElement());
  if (!entity) Fail(rteNotEntity);
  return Reference(entity->FindElementByName(ElementName));
}

TOilValue TOwnerOperator::Evaluate() {
  TElement* element = StartElement();
  if (!DynamicCast<TOwnerElement>(element) && !DynamicCast<TOwnerEntity>(element)) Fail(rteNotEntity);
  return Reference(element->GetOwnerByName(ElementName));
}

void TElementByNumberOperator::SetPositionIndex(TOilOperator* expression) {
  SetOwnedElement(position_, expression);
  UpdateDepth();
}

void TElementByNumberOperator::UpdateDepth() {
  TOilPtrOperator::UpdateDepth();
  if (GetPositionIndex()) depth_ = std::max(depth_, 1 + GetPositionIndex()->Depth());
}

TEntity* TElementByNumberOperator::StartEntity(std::int32_t& position) {
  auto* entity = DynamicCast<TEntity>(ReferencedElement(EvaluateOperand()));
  if (!entity) Fail(rteNotEntity);
  TOilValue index = GetPositionIndex() ? GetPositionIndex()->Evaluate() : nullptr;
  if (!index) Fail(rteNoVariable);
  if (!IsType(*index, kIntegralTypes)) Fail(rteTypeMismatch);
  position = index->GetAsInteger();
  return entity;
}

TOilValue TElementByNumberOperator::Evaluate() {
  std::int32_t position = 0;
  TEntity* entity = StartEntity(position);
  if (position < 0 || position >= static_cast<std::int32_t>(entity->Children().size())) Fail(rteNoSuchElement);
  return Reference(entity->Children()[static_cast<std::size_t>(position)]);
}

TOilValue TOwnerByNumberOperator::Evaluate() {
  std::int32_t position = 0;
  TEntity* entity = StartEntity(position);
  if (position < 0 || position >= entity->GetOwnersCount()) Fail(rteNoSuchElement);
  return Reference(entity->GetOwner(position));
}

// ---------------------------------------------------------------- tool calls

void TToolInputInfo::SetExpression(TOilOperator* expression) { SetOwnedElement(expression_, expression); }

TEntity* TToolOperator::GetInputs() {
  if (!inputs_) {
    auto* inputs = new TEntity;
    AddElement(inputs);
    inputs_ = inputs;
  }
  return static_cast<TEntity*>(inputs_);
}

TToolInputInfo* TToolOperator::GetInput(int index) {
  return static_cast<TToolInputInfo*>(GetInputs()->GetElement(index));
}

void TToolOperator::AddInput(TToolInputInfo* input) {
  GetInputs()->AddElement(input);
  UpdateDepth();
}

void TToolOperator::UpdateDepth() {
  TOilPtrOperator::UpdateDepth();
  if (!inputs_) return;
  for (TElement* child : static_cast<TEntity*>(inputs_)->Children()) {
    auto* input = static_cast<TToolInputInfo*>(child);
    if (input->GetExpression()) depth_ = std::max(depth_, 1 + input->GetExpression()->Depth());
  }
}

TOilValue TToolOperator::Evaluate() {
  TElement* input = nullptr;
  if (GetOperand()) {
    TOilValue value = GetOperand()->Evaluate();
    if (value) {
      if (TypeCodeOf(*value) != otElement) Fail(rteInputNotElement);
      input = value->GetAsPointer();
    }
  }
  if (!ToolClass) Fail(rteNoTool);
  // The tool lives for this call only, whatever happens in it.
  std::unique_ptr<TElement> made(NewElement(ToolClass));
  auto* tool = DynamicCast<TTool>(made.get());
  if (!tool) Fail(rteNoTool);
  tool->SetInput(input);
  const auto& props = ToolClass->Props();
  if (inputs_) {
    for (TElement* child : static_cast<TEntity*>(inputs_)->Children()) {
      auto* item = static_cast<TToolInputInfo*>(child);
      TOilValue value = item->GetExpression() ? item->GetExpression()->Evaluate() : nullptr;
      if (!value) Fail(rteNoValue);
      const int index = item->PropIndex - 1;
      if (index < 0 || index >= static_cast<int>(props.size())) Fail(rteBadProperty);
      WritePropertyValue(*tool, *props[static_cast<std::size_t>(index)], value);
    }
  }
  const std::uint32_t toolHandle = HandleOfElement(tool);
  tool->DoIt();
  HandOverLooseOutput(tool->Output(), toolHandle);
  return Reference(tool->Output());
}

// ---------------------------------------------------------------- class descriptions

#define OIL_VARIABLE_INFO(Self, Parent, ...) OIL_CLASS_INFO(Self, Parent, "OilVariables", __VA_ARGS__)
OIL_VARIABLE_INFO(TVariable, TOilOperator)
OIL_VARIABLE_INFO(TNormalVariable, TVariable, FieldProp("VarIndex", &TNormalVariable::VarIndex))
OIL_VARIABLE_INFO(TCalledVariable, TNormalVariable)
OIL_VARIABLE_INFO(TPropVariable, TVariable, FieldProp("PropertyName", &TPropVariable::PropertyName))
OIL_VARIABLE_INFO(TElementOperator, TOilPtrOperator, FieldProp("ElementName", &TElementOperator::ElementName))
OIL_VARIABLE_INFO(TOwnerOperator, TElementOperator)
OIL_VARIABLE_INFO(TElementByNumberOperator, TOilPtrOperator)
OIL_VARIABLE_INFO(TOwnerByNumberOperator, TElementByNumberOperator)
OIL_VARIABLE_INFO(TToolInputInfo, TEntity, FieldProp("PropIndex", &TToolInputInfo::PropIndex))
OIL_VARIABLE_INFO(TToolOperator, TOilPtrOperator)
