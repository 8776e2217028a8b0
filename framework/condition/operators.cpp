#include "framework/condition/operators.h"

#include <cmath>
#include <cstdlib>
#include <exception>
#include <initializer_list>
#include <limits>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "platform/code_page.h"

namespace {

constexpr double kEqualTolerance = 1E-13;

bool OneOf(TType type, std::initializer_list<TType> types) {
  for (TType t : types)
    if (t == type) return true;
  return false;
}
bool IsNumeric(TType type) { return OneOf(type, {TType::Byte, TType::Float, TType::Integer}); }
bool IsIntegral(TType type) { return OneOf(type, {TType::Byte, TType::Integer}); }
bool IsText(TType type) { return OneOf(type, {TType::Char, TType::String}); }
// Both numeric and at least one of them Float.
bool IsFloatPair(TType a, TType b) {
  return IsNumeric(a) && IsNumeric(b) && (a == TType::Float || b == TType::Float);
}

// The value when it is of the type, else none.
const TTypeElement* OfType(const TTypeElement* value, TType type) {
  return value && value->GetTyp() == type ? value : nullptr;
}
bool IsTrue(const TTypeElement* value) {
  const TTypeElement* boolean = OfType(value, TType::Boolean);
  return boolean && boolean->GetAsBoolean();
}

// Results.  A value that the Float type cannot hold, or that the Integer
// type cannot hold after rounding, is no value.
TTypeElement* NewBoolean(bool value) { return TBooleanElement::CreateValue(value); }
TTypeElement* NewFloat(double value) { return std::isfinite(value) ? TFloatElement::CreateValue(value) : nullptr; }
// An integral result beyond 32 bits widens to Float.
TTypeElement* NewInteger(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
    return NewFloat(static_cast<double>(value));
  return TIntegerElement::CreateValue(static_cast<std::int32_t>(value));
}
// A whole Float as Integer; none beyond 32 bits.
TTypeElement* NewWholeInteger(double whole) {
  if (!(whole >= std::numeric_limits<std::int32_t>::min() && whole <= std::numeric_limits<std::int32_t>::max()))
    return nullptr;
  return TIntegerElement::CreateValue(static_cast<std::int32_t>(whole));
}

std::int64_t IntegerOf(const TTypeElement& value) { return value.GetAsInteger(); }

// Flags of the typing rules.
bool Allows(const TTypeFlags& flags, TType type) { return flags[static_cast<std::size_t>(type)]; }
bool AllowsAny(const TTypeFlags& flags, std::initializer_list<TType> types) {
  for (TType t : types)
    if (Allows(flags, t)) return true;
  return false;
}
bool AllowsNumeric(const TTypeFlags& flags) { return AllowsAny(flags, {TType::Byte, TType::Float, TType::Integer}); }
bool AllowsIntegral(const TTypeFlags& flags) { return AllowsAny(flags, {TType::Byte, TType::Integer}); }
void Allow(TTypeFlags& flags, TType type, bool when = true) {
  if (when) flags[static_cast<std::size_t>(type)] = true;
}
TTypeFlags Only(TType type, bool when = true) {
  TTypeFlags flags{};
  Allow(flags, type, when);
  return flags;
}

// The flags an operand has computed, which are freed once taken.
TTypeFlags TakeFlags(TOperator* operand) {
  TTypeFlags flags{};
  if (!operand) return flags;
  if (const TTypeFlags* computed = operand->GetTypeFlags()) flags = *computed;
  operand->FreeTypeFlags();
  return flags;
}

// Operators that run in the frame of TNoPtrOperator go on the work stack of
// the walk; any other operator is asked to do its part itself.
TNoPtrOperator* Framed(TOperator* operand) { return DynamicCast<TNoPtrOperator>(operand); }

// "+" and "-" share all but the texts.
TTypeFlags AdditiveFlags(const TTypeFlags& a, const TTypeFlags& b) {
  TTypeFlags flags{};
  Allow(flags, TType::Integer, AllowsIntegral(a) && AllowsIntegral(b));
  Allow(flags, TType::Float,
        (Allows(a, TType::Float) && AllowsNumeric(b)) || (Allows(b, TType::Float) && AllowsNumeric(a)));
  return flags;
}

template <class Operation>
TTypeElement* Additive(const TTypeElement* a, const TTypeElement* b, Operation operation) {
  if (!a || !b) return nullptr;
  if (IsIntegral(a->GetTyp()) && IsIntegral(b->GetTyp())) return NewInteger(operation(IntegerOf(*a), IntegerOf(*b)));
  if (IsFloatPair(a->GetTyp(), b->GetTyp())) return NewFloat(operation(a->GetAsFloat(), b->GetAsFloat()));
  return nullptr;
}

// The value of a numeric function of one Float.
template <class Function>
TTypeElement* OfFloat(const TTypeElement* x, Function function) {
  if (!x || !IsNumeric(x->GetTyp())) return nullptr;
  return NewFloat(function(x->GetAsFloat()));
}

TTypeFlags FloatOfNumeric(const TTypeFlags& operand) { return Only(TType::Float, AllowsNumeric(operand)); }

// ROUND and TRUNC: integral values stay as they are.
template <class Function>
TTypeElement* ToWhole(const TTypeElement* x, Function function) {
  if (!x) return nullptr;
  switch (x->GetTyp()) {
    case TType::Byte: return TByteElement::CreateValue(x->GetAsByte());
    case TType::Integer: return TIntegerElement::CreateValue(x->GetAsInteger());
    case TType::Float: return NewWholeInteger(function(x->GetAsFloat()));
    default: return nullptr;
  }
}

TTypeFlags WholeFlags(const TTypeFlags& operand) {
  TTypeFlags flags{};
  Allow(flags, TType::Byte, Allows(operand, TType::Byte));
  Allow(flags, TType::Integer, AllowsAny(operand, {TType::Integer, TType::Float}));
  return flags;
}

// A type name of the element or of one of its ancestor classes.
bool HasClassName(TClass cls, const std::string& name, bool ancestors) {
  for (; cls; cls = ancestors ? cls->Parent : nullptr)
    if (platform::AnsiSameText(cls->ClassName, name)) return true;
  return false;
}

// The number or text a property answers as text.
TTypeElement* ValueOfText(const std::string& text) {
  if (text.empty()) return nullptr;
  if (IsFloatText(text)) {
    const auto value = static_cast<double>(TextToFloatAnySep(text));
    if (std::isfinite(value)) {
      if (value == RoundHalfEven(value))
        if (TTypeElement* whole = NewWholeInteger(value)) return whole;
      return TFloatElement::CreateValue(value);
    }
  }
  return TStringElement::CreateValue(text);
}

}  // namespace

// ---------------------------------------------------------------- short list

TElement* TShortList::GetItem(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<std::size_t>(index)].Get();
}

void TShortList::SetItem(int index, TElement* element) {
  if (index < 0) return;
  while (Count() < index + 1) items_.emplace_back(element);
  items_[static_cast<std::size_t>(index)].Set(element);
}

// ---------------------------------------------------------------- operator base

TNoPtrOperator::~TNoPtrOperator() {
  TNoPtrOperator::ReleaseResult();
  // Every operator of a tree holds its one result list, taken from the top
  // down.  The operators let go of it in that order, before the tree's
  // operands are freed in an order of their own: each then leaves the list
  // at its front instead of searching the list for itself.  The operands are
  // reached through the tool list, as their fields have gone already.
  TShortList* list = static_cast<TShortList*>(resultList_.Get());
  if (!list) return;
  std::vector<TNoPtrOperator*> work{this};
  while (!work.empty()) {
    TNoPtrOperator* op = work.back();
    work.pop_back();
    op->SetLinkedElement(op->resultList_, nullptr);
    for (int index = op->ToolCount(); index-- > 0;)
      if (auto* operand = DynamicCast<TNoPtrOperator>(op->ToolAt(index)); operand && operand->resultList_.Get() == list)
        work.push_back(operand);
  }
}

void TNoPtrOperator::SetOperand1(TOperator* operand) { delete operand; }
TOperator* TNoPtrOperator::GetOperand1() const { return nullptr; }
void TNoPtrOperator::SetOperand2(TOperator* operand) { delete operand; }
TOperator* TNoPtrOperator::GetOperand2() const { return nullptr; }
void TNoPtrOperator::SetOperand1Value(TTypeElement*) {}
TTypeElement* TNoPtrOperator::GetOperand1Value() const { return nullptr; }
void TNoPtrOperator::SetOperand2Value(TTypeElement*) {}
TTypeElement* TNoPtrOperator::GetOperand2Value() const { return nullptr; }
void TNoPtrOperator::SetElementIndex(std::int32_t index) { elementIndex_ = index; }
std::int32_t TNoPtrOperator::GetElementIndex() const { return elementIndex_; }

void TNoPtrOperator::ReleaseOperandResults() {
  for (TOperator* operand : {GetOperand1(), GetOperand2()})
    if (operand) operand->ReleaseResult();
  SetOperand1Value(nullptr);
  SetOperand2Value(nullptr);
}

void TNoPtrOperator::SetResultList(TShortList* list) {
  std::vector<TNoPtrOperator*> work{this};
  while (!work.empty()) {
    TNoPtrOperator* op = work.back();
    work.pop_back();
    op->SetLinkedElement(op->resultList_, list);
    // Operand 1 comes off the stack first, as it would be reached first.
    for (TOperator* operand : {op->GetOperand2(), op->GetOperand1()}) {
      if (TNoPtrOperator* framed = Framed(operand)) work.push_back(framed);
      else if (operand) operand->SetResultList(list);
    }
  }
}

TShortList* TNoPtrOperator::GetResultList() {
  if (auto* list = static_cast<TShortList*>(resultList_.Get())) return list;
  auto* list = new TShortList;
  resultList_.Set(list);
  AddElement(list);
  return list;
}

bool TNoPtrOperator::GetTypeFlag(TType code) const {
  return typeFlags_ && (*typeFlags_)[static_cast<std::size_t>(code)];
}

void TNoPtrOperator::SetTypeFlag(TType code, bool flag) {
  if (typeFlags_) (*typeFlags_)[static_cast<std::size_t>(code)] = flag;
}

const TTypeFlags* TNoPtrOperator::GetTypeFlags() const { return typeFlags_.get(); }
void TNoPtrOperator::SetTypeFlags(const TTypeFlags& flags) { typeFlags_ = std::make_unique<TTypeFlags>(flags); }

void TNoPtrOperator::SetResultItem(int index, TElement* element) { GetResultList()->SetItem(index, element); }

TElement* TNoPtrOperator::GetResultItem(int index) {
  auto* list = static_cast<TShortList*>(resultList_.Get());
  return list ? list->GetItem(index) : nullptr;
}

TElement* TNoPtrOperator::TestedElement() { return GetResultItem(elementIndex_); }

void TNoPtrOperator::EvaluateOperand1() {
  TOperator* operand = GetOperand1();
  if (!operand) {
    SetOperand1Value(nullptr);
    return;
  }
  operand->DoIt();
  SetOperand1Value(DynamicCast<TTypeElement>(operand->Output()));
}

void TNoPtrOperator::EvaluateOperand2() {
  TOperator* operand = GetOperand2();
  if (!operand || !GetOperand1Value()) {
    SetOperand2Value(nullptr);
    return;
  }
  operand->DoIt();
  SetOperand2Value(DynamicCast<TTypeElement>(operand->Output()));
}

void TNoPtrOperator::ReleaseResult() {
  TElement* output = Output();
  SetOutput(nullptr);
  if (output && output->GetOwnersCount() == 0) delete output;
}

bool TNoPtrOperator::HasValidType() {
  ComputeTypeFlags();
  bool any = false;
  for (bool flag : *typeFlags_) any = any || flag;
  FreeTypeFlags();
  return any;
}

void TNoPtrOperator::ComputeTypeFlags() {
  struct TFrame {
    TNoPtrOperator* op;
    bool operandsDone;
  };
  std::vector<TFrame> work{{this, false}};
  while (!work.empty()) {
    TNoPtrOperator& op = *work.back().op;
    if (work.back().operandsDone) {
      op.SetTypeFlags(op.TypeRule(TakeFlags(op.GetOperand1()), TakeFlags(op.GetOperand2())));
      work.pop_back();
      continue;
    }
    work.back().operandsDone = true;
    for (TOperator* operand : {op.GetOperand1(), op.GetOperand2()}) {
      if (TNoPtrOperator* framed = Framed(operand)) work.push_back({framed, false});
      else if (operand) operand->ComputeTypeFlags();
    }
  }
}

void TNoPtrOperator::FreeTypeFlags() { typeFlags_.reset(); }

void TNoPtrOperator::DoIt() {
  // What an operator on the stack does next.
  enum TStep { kOperand1, kValue1, kValue2, kValue };
  struct TFrame {
    TNoPtrOperator* op;
    TStep next;
  };
  std::vector<TFrame> work;
  auto enter = [&work](TNoPtrOperator& op) {
    op.TTechnology::DoIt();
    op.ReleaseResult();
    work.push_back({&op, kOperand1});
  };
  // An operand of the frame is entered and comes first; any other runs here.
  auto run = [&enter](TOperator& operand) {
    if (TNoPtrOperator* framed = Framed(&operand)) enter(*framed);
    else operand.DoIt();
  };
  enter(*this);
  while (!work.empty()) {
    TNoPtrOperator& op = *work.back().op;
    switch (work.back().next) {
      case kOperand1:
        work.back().next = kValue1;
        if (TOperator* first = op.GetOperand1()) run(*first);
        break;
      case kValue1: {
        TOperator* first = op.GetOperand1();
        op.SetOperand1Value(first ? DynamicCast<TTypeElement>(first->Output()) : nullptr);
        TOperator* second = op.GetOperand2();
        if (second && op.NeedsOperand2()) {
          work.back().next = kValue2;
          run(*second);
        } else {
          op.SetOperand2Value(nullptr);
          work.back().next = kValue;
        }
        break;
      }
      case kValue2:
        op.SetOperand2Value(DynamicCast<TTypeElement>(op.GetOperand2()->Output()));
        [[fallthrough]];
      case kValue:
        op.SetOutput(op.Evaluate());
        op.ReleaseOperandResults();
        work.pop_back();
        break;
    }
  }
}

bool TNoPtrOperator::NeedsOperand2() const { return GetOperand1Value() != nullptr; }

TTypeElement* TNoPtrOperator::Evaluate() { return nullptr; }
TTypeFlags TNoPtrOperator::TypeRule(const TTypeFlags&, const TTypeFlags&) const { return {}; }

// ---------------------------------------------------------------- operands

namespace {

// Replaces the operand held in field; the operator frees the old one.
void ReplaceOperand(TTechnology& self, TElementLink& field, TOperator* operand) {
  auto* old = static_cast<TOperator*>(field.Get());
  if (old == operand) return;
  field.Set(nullptr);
  if (old) self.FreeTool(old);
  if (operand) {
    self.AddTool(operand);
    field.Set(operand);
  }
}

}  // namespace

void TOnePtrOperator::SetOperand1(TOperator* operand) {
  operand1Value_ = nullptr;
  ReplaceOperand(*this, operand1_, operand);
}
TOperator* TOnePtrOperator::GetOperand1() const { return static_cast<TOperator*>(operand1_.Get()); }
void TOnePtrOperator::SetOperand1Value(TTypeElement* value) { operand1Value_ = value; }
TTypeElement* TOnePtrOperator::GetOperand1Value() const { return operand1Value_; }

void TTwoPtrOperator::SetOperand2(TOperator* operand) {
  operand2Value_ = nullptr;
  ReplaceOperand(*this, operand2_, operand);
}
TOperator* TTwoPtrOperator::GetOperand2() const { return static_cast<TOperator*>(operand2_.Get()); }
void TTwoPtrOperator::SetOperand2Value(TTypeElement* value) { operand2Value_ = value; }
TTypeElement* TTwoPtrOperator::GetOperand2Value() const { return operand2Value_; }

// ---------------------------------------------------------------- leaves and root

TTypeElement* TConstOperator::ConstValue() const { return static_cast<TTypeElement*>(value_.Get()); }

void TConstOperator::SetConstValue(TTypeElement* value) { SetLinkedElement(value_, value); }

TTypeElement* TConstOperator::Evaluate() { return ConstValue(); }
void TConstOperator::ReleaseResult() {}

TTypeFlags TConstOperator::TypeRule(const TTypeFlags&, const TTypeFlags&) const {
  const TTypeElement* value = ConstValue();
  return value ? Only(value->GetTyp()) : TTypeFlags{};
}

TReadPropOperator::TReadPropOperator() {
  auto* exists = new TPropExistsOperator;
  exists->SetOperand1(new TConstOperator);
  SetOperand1(exists);
  SetPropName("");
}

void TReadPropOperator::SetPropName(const std::string& name) {
  propName_ = name;
  if (auto* exists = DynamicCast<TPropExistsOperator>(GetOperand1()))
    if (auto* constant = DynamicCast<TConstOperator>(exists->GetOperand1()))
      constant->SetConstValue(TStringElement::CreateValue(name));
}

TTypeElement* TReadPropOperator::ReadPublished(const TElement& element) const {
  const TPropInfo* info = element.ClassType()->FindProp(propName_);
  if (!info) return nullptr;
  switch (info->Kind) {
    case tkInteger:
    case tkInt64: {
      if (!info->GetOrd) return nullptr;
      const std::int64_t value = info->GetOrd(element);
      if (info->Range.Min == 0 && info->Range.Max == 255) return TByteElement::CreateValue(static_cast<std::uint8_t>(value));
      return NewInteger(value);
    }
    case tkChar:
      return info->GetOrd ? TCharElement::CreateValue(static_cast<char>(info->GetOrd(element))) : nullptr;
    case tkEnumeration:
      if (info->EnumType != &BooleanType() || !info->GetOrd) return nullptr;
      return NewBoolean(info->GetOrd(element) != 0);
    case tkFloat:
      return info->GetFloat ? NewFloat(static_cast<double>(info->GetFloat(element))) : nullptr;
    case tkString:
    case tkLString:
    case tkWString:
      return info->GetStr ? TStringElement::CreateValue(info->GetStr(element)) : nullptr;
    default:
      return nullptr;
  }
}

TTypeElement* TReadPropOperator::Evaluate() {
  const TTypeElement* exists = GetOperand1Value();
  const TElement* element = TestedElement();
  if (!element) return nullptr;
  // Only syntax errors raise: a property that fails to read has no value.
  try {
    if (IsTrue(exists))
      if (TTypeElement* value = ReadPublished(*element)) return value;
    return ValueOfText(element->GetPropertyText(propName_));
  } catch (const std::exception&) {
    return nullptr;
  }
}

TTypeFlags TReadPropOperator::TypeRule(const TTypeFlags&, const TTypeFlags&) const {
  TTypeFlags all;
  all.fill(true);
  return all;
}

bool TCondition::Test() {
  EvaluateOperand1();
  const bool holds = IsTrue(GetOperand1Value());
  ReleaseOperandResults();
  return holds;
}

TTypeElement* TCondition::Evaluate() { return NewBoolean(IsTrue(GetOperand1Value())); }

TTypeFlags TCondition::TypeRule(const TTypeFlags&, const TTypeFlags&) const { return Only(TType::Boolean); }

bool ConditionHolds(TCondition& condition, TElement* element) {
  condition.SetResultItem(0, element);
  return condition.Test();
}

// ---------------------------------------------------------------- element tests

namespace {

// CLASS and ANCESTOR: the name is a String value.
TTypeElement* ClassNameTest(const TTypeElement* nameValue, const TElement* element, bool ancestors) {
  const TTypeElement* name = OfType(nameValue, TType::String);
  if (!name || !element) return nullptr;
  return NewBoolean(HasClassName(element->ClassType(), name->GetAsString(), ancestors));
}

}  // namespace

TTypeElement* TClassIsOperator::Evaluate() { return ClassNameTest(GetOperand1Value(), TestedElement(), false); }

TTypeElement* TIsAncestorOperator::Evaluate() { return ClassNameTest(GetOperand1Value(), TestedElement(), true); }

TTypeElement* TPropExistsOperator::Evaluate() {
  const TTypeElement* name = OfType(GetOperand1Value(), TType::String);
  if (!name) return nullptr;
  const std::string text = name->GetAsString();
  if (text.empty()) return NewBoolean(false);
  const TElement* element = TestedElement();
  if (!element) return nullptr;
  return NewBoolean(element->ClassType()->FindProp(text) != nullptr);
}

TTypeFlags TClassIsOperator::TypeRule(const TTypeFlags&, const TTypeFlags&) const { return Only(TType::Boolean); }
TTypeFlags TIsAncestorOperator::TypeRule(const TTypeFlags&, const TTypeFlags&) const { return Only(TType::Boolean); }
TTypeFlags TPropExistsOperator::TypeRule(const TTypeFlags&, const TTypeFlags&) const { return Only(TType::Boolean); }

// ---------------------------------------------------------------- arithmetic

TTypeElement* TPlusOperator::Evaluate() {
  const TTypeElement* a = GetOperand1Value();
  const TTypeElement* b = GetOperand2Value();
  if (a && b && IsText(a->GetTyp()) && IsText(b->GetTyp()))
    return TStringElement::CreateValue(a->GetAsString() + b->GetAsString());
  return Additive(a, b, [](auto x, auto y) { return x + y; });
}

TTypeFlags TPlusOperator::TypeRule(const TTypeFlags& a, const TTypeFlags& b) const {
  TTypeFlags flags = AdditiveFlags(a, b);
  Allow(flags, TType::String,
        AllowsAny(a, {TType::String, TType::Char}) && AllowsAny(b, {TType::String, TType::Char}));
  return flags;
}

TTypeElement* TMinusOperator::Evaluate() {
  return Additive(GetOperand1Value(), GetOperand2Value(), [](auto x, auto y) { return x - y; });
}

TTypeFlags TMinusOperator::TypeRule(const TTypeFlags& a, const TTypeFlags& b) const { return AdditiveFlags(a, b); }

TTypeElement* TKratOperator::Evaluate() {
  const TTypeElement* a = GetOperand1Value();
  const TTypeElement* b = GetOperand2Value();
  if (!a || !b) return nullptr;
  if (IsIntegral(a->GetTyp()) && IsIntegral(b->GetTyp())) {
    const double product = a->GetAsFloat() * b->GetAsFloat();
    if (std::fabs(product) <= std::numeric_limits<std::int32_t>::max())
      return TIntegerElement::CreateValue(static_cast<std::int32_t>(IntegerOf(*a) * IntegerOf(*b)));
    return NewFloat(product);
  }
  if (IsFloatPair(a->GetTyp(), b->GetTyp())) return NewFloat(a->GetAsFloat() * b->GetAsFloat());
  return nullptr;
}

TTypeFlags TKratOperator::TypeRule(const TTypeFlags& a, const TTypeFlags& b) const {
  TTypeFlags flags = Only(TType::Float, AllowsNumeric(a) && AllowsNumeric(b));
  Allow(flags, TType::Integer, AllowsIntegral(a) && AllowsIntegral(b));
  return flags;
}

TTypeElement* TDelenoOperator::Evaluate() {
  const TTypeElement* a = GetOperand1Value();
  const TTypeElement* b = GetOperand2Value();
  if (!a || !b || !IsNumeric(a->GetTyp()) || !IsNumeric(b->GetTyp())) return nullptr;
  const double divisor = b->GetAsFloat();
  return divisor == 0 ? nullptr : NewFloat(a->GetAsFloat() / divisor);
}

TTypeFlags TDelenoOperator::TypeRule(const TTypeFlags& a, const TTypeFlags& b) const {
  return Only(TType::Float, AllowsNumeric(a) && AllowsNumeric(b));
}

namespace {

// MOD and DIV: integral operands, no value for a zero divisor.
template <class Operation>
TTypeElement* IntegerDivision(const TTypeElement* a, const TTypeElement* b, Operation operation) {
  if (!a || !b || !IsIntegral(a->GetTyp()) || !IsIntegral(b->GetTyp())) return nullptr;
  const std::int64_t divisor = IntegerOf(*b);
  return divisor == 0 ? nullptr : NewInteger(operation(IntegerOf(*a), divisor));
}

TTypeFlags IntegerOfIntegrals(const TTypeFlags& a, const TTypeFlags& b) {
  return Only(TType::Integer, AllowsIntegral(a) && AllowsIntegral(b));
}

}  // namespace

TTypeElement* TModOperator::Evaluate() {
  return IntegerDivision(GetOperand1Value(), GetOperand2Value(), [](std::int64_t x, std::int64_t y) { return x % y; });
}

TTypeFlags TModOperator::TypeRule(const TTypeFlags& a, const TTypeFlags& b) const { return IntegerOfIntegrals(a, b); }

TTypeElement* TDivOperator::Evaluate() {
  return IntegerDivision(GetOperand1Value(), GetOperand2Value(), [](std::int64_t x, std::int64_t y) { return x / y; });
}

TTypeFlags TDivOperator::TypeRule(const TTypeFlags& a, const TTypeFlags& b) const { return IntegerOfIntegrals(a, b); }

// ---------------------------------------------------------------- comparisons

TTypeElement* TCompareOperator::Evaluate() {
  const TTypeElement* a = GetOperand1Value();
  const TTypeElement* b = GetOperand2Value();
  if (!a || !b) return nullptr;
  const TType type = a->GetTyp();
  if (type != b->GetTyp() && !(IsNumeric(type) && IsNumeric(b->GetTyp()))) return nullptr;
  const TRelation relation = Relation();
  // The relation between two values of one kind.
  auto decide = [relation](auto x, auto y) {
    switch (relation) {
      case TRelation::Equal: return NewBoolean(x == y);
      case TRelation::Greater: return NewBoolean(x > y);
      case TRelation::Less: return NewBoolean(x < y);
    }
    return NewBoolean(false);
  };
  switch (type) {
    case TType::Boolean:
      return relation == TRelation::Equal ? NewBoolean(a->GetAsBoolean() == b->GetAsBoolean()) : nullptr;
    case TType::Char:
      return decide(static_cast<unsigned char>(a->GetAsChar()), static_cast<unsigned char>(b->GetAsChar()));
    case TType::Byte:
    case TType::Float:
    case TType::Integer: {
      const double x = a->GetAsFloat();
      const double y = b->GetAsFloat();
      if (relation == TRelation::Equal) return NewBoolean(std::fabs(x - y) < kEqualTolerance);
      return decide(x, y);
    }
    case TType::String:
      if (relation == TRelation::Equal) return NewBoolean(a->GetAsString() == b->GetAsString());
      return decide(platform::Utf8ToCp1250(a->GetAsString()).compare(platform::Utf8ToCp1250(b->GetAsString())), 0);
    case TType::Pointer:
      return decide(a->GetAsInteger(), b->GetAsInteger());
    default:
      return nullptr;
  }
}

TTypeFlags TCompareOperator::TypeRule(const TTypeFlags& a, const TTypeFlags& b) const {
  const bool both = (AllowsNumeric(a) && AllowsNumeric(b)) || (Allows(a, TType::Char) && Allows(b, TType::Char)) ||
                    (Allows(a, TType::String) && Allows(b, TType::String)) ||
                    (Allows(a, TType::Pointer) && Allows(b, TType::Pointer));
  return Only(TType::Boolean, both);
}

// ---------------------------------------------------------------- logic

namespace {

// The right side of AND and OR when the left side does not decide.
TTypeElement* RightTruth(const TTwoPtrOperator& self) {
  const TTypeElement* right = OfType(self.GetOperand2Value(), TType::Boolean);
  return right ? NewBoolean(right->GetAsBoolean()) : nullptr;
}

// Whether the left side is the Boolean that leaves the outcome to the right
// side.
bool LeftIs(const TTwoPtrOperator& self, bool undecided) {
  const TTypeElement* left = OfType(self.GetOperand1Value(), TType::Boolean);
  return left && left->GetAsBoolean() == undecided;
}

TTypeFlags BooleanOfBooleans(const TTypeFlags& a, const TTypeFlags& b) {
  return Only(TType::Boolean, Allows(a, TType::Boolean) && Allows(b, TType::Boolean));
}

}  // namespace

bool TAndOperator::NeedsOperand2() const { return LeftIs(*this, true); }

TTypeElement* TAndOperator::Evaluate() {
  const TTypeElement* left = OfType(GetOperand1Value(), TType::Boolean);
  if (!left) return nullptr;
  return left->GetAsBoolean() ? RightTruth(*this) : NewBoolean(false);
}

TTypeFlags TAndOperator::TypeRule(const TTypeFlags& a, const TTypeFlags& b) const { return BooleanOfBooleans(a, b); }

bool TOrOperator::NeedsOperand2() const { return LeftIs(*this, false); }

TTypeElement* TOrOperator::Evaluate() {
  const TTypeElement* left = OfType(GetOperand1Value(), TType::Boolean);
  if (!left) return nullptr;
  return left->GetAsBoolean() ? NewBoolean(true) : RightTruth(*this);
}

TTypeFlags TOrOperator::TypeRule(const TTypeFlags& a, const TTypeFlags& b) const { return BooleanOfBooleans(a, b); }

TTypeElement* TNotOperator::Evaluate() {
  const TTypeElement* value = OfType(GetOperand1Value(), TType::Boolean);
  return value ? NewBoolean(!value->GetAsBoolean()) : nullptr;
}

TTypeFlags TNotOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  return Only(TType::Boolean, Allows(operand, TType::Boolean));
}

// ---------------------------------------------------------------- numeric functions

TTypeElement* TUnMinusOperator::Evaluate() {
  const TTypeElement* x = GetOperand1Value();
  if (!x) return nullptr;
  if (IsIntegral(x->GetTyp())) return NewInteger(-IntegerOf(*x));
  if (x->GetTyp() == TType::Float) return NewFloat(-x->GetAsFloat());
  return nullptr;
}

TTypeFlags TUnMinusOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  TTypeFlags flags = Only(TType::Integer, AllowsIntegral(operand));
  Allow(flags, TType::Float, Allows(operand, TType::Float));
  return flags;
}

TTypeElement* TAbsValOperator::Evaluate() {
  const TTypeElement* x = GetOperand1Value();
  if (!x) return nullptr;
  switch (x->GetTyp()) {
    case TType::Byte: return TByteElement::CreateValue(x->GetAsByte());
    case TType::Integer: return NewInteger(std::llabs(IntegerOf(*x)));
    case TType::Float: return NewFloat(std::fabs(x->GetAsFloat()));
    default: return nullptr;
  }
}

TTypeFlags TAbsValOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  TTypeFlags flags{};
  for (TType type : {TType::Byte, TType::Float, TType::Integer}) Allow(flags, type, Allows(operand, type));
  return flags;
}

TTypeElement* TRoundOperator::Evaluate() { return ToWhole(GetOperand1Value(), RoundHalfEven); }
TTypeFlags TRoundOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const { return WholeFlags(operand); }

TTypeElement* TTruncOperator::Evaluate() {
  return ToWhole(GetOperand1Value(), [](double value) { return std::trunc(value); });
}
TTypeFlags TTruncOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const { return WholeFlags(operand); }

TTypeElement* TCosOperator::Evaluate() { return OfFloat(GetOperand1Value(), [](double x) { return std::cos(x); }); }
TTypeFlags TCosOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const { return FloatOfNumeric(operand); }

TTypeElement* TSinOperator::Evaluate() { return OfFloat(GetOperand1Value(), [](double x) { return std::sin(x); }); }
TTypeFlags TSinOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const { return FloatOfNumeric(operand); }

TTypeElement* TArcTanOperator::Evaluate() {
  return OfFloat(GetOperand1Value(), [](double x) { return std::atan(x); });
}
TTypeFlags TArcTanOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  return FloatOfNumeric(operand);
}

TTypeElement* TExpOperator::Evaluate() { return OfFloat(GetOperand1Value(), [](double x) { return std::exp(x); }); }
TTypeFlags TExpOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const { return FloatOfNumeric(operand); }

TTypeElement* TFracOperator::Evaluate() {
  return OfFloat(GetOperand1Value(), [](double x) { return x - std::trunc(x); });
}
TTypeFlags TFracOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const { return FloatOfNumeric(operand); }

TTypeElement* TSqrOperator::Evaluate() { return OfFloat(GetOperand1Value(), [](double x) { return x * x; }); }
TTypeFlags TSqrOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const { return FloatOfNumeric(operand); }

// Outside the domain the result is not finite, which is no value.
TTypeElement* TLnOperator::Evaluate() {
  return OfFloat(GetOperand1Value(),
                 [](double x) { return x > 0 ? std::log(x) : std::numeric_limits<double>::quiet_NaN(); });
}
TTypeFlags TLnOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const { return FloatOfNumeric(operand); }

TTypeElement* TSqrtOperator::Evaluate() {
  return OfFloat(GetOperand1Value(),
                 [](double x) { return x >= 0 ? std::sqrt(x) : std::numeric_limits<double>::quiet_NaN(); });
}
TTypeFlags TSqrtOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  return FloatOfNumeric(operand);
}

TTypeElement* TOddOperator::Evaluate() {
  const TTypeElement* x = GetOperand1Value();
  if (!x || !IsIntegral(x->GetTyp())) return nullptr;
  return NewBoolean(IntegerOf(*x) % 2 != 0);
}

TTypeFlags TOddOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  return Only(TType::Boolean, AllowsIntegral(operand));
}

// ---------------------------------------------------------------- conversions

namespace {

constexpr std::initializer_list<TType> kToBooleanFrom = {TType::Boolean, TType::Byte, TType::Integer};
constexpr std::initializer_list<TType> kToCharFrom = {TType::Char, TType::Byte};
constexpr std::initializer_list<TType> kToByteFrom = {TType::Boolean, TType::Char, TType::Byte, TType::Integer};
constexpr std::initializer_list<TType> kToFloatFrom = {TType::Byte, TType::Float, TType::Integer};
constexpr std::initializer_list<TType> kToStringFrom = {TType::Boolean, TType::Char,    TType::Byte, TType::Float,
                                                    TType::String,  TType::Integer, TType::Other};
constexpr std::initializer_list<TType> kToIntegerFrom = {TType::Char, TType::Byte, TType::Float, TType::Integer};

// The operand when its type is one the conversion accepts.
const TTypeElement* Accepted(const TTypeElement* value, std::initializer_list<TType> types) {
  return value && OneOf(value->GetTyp(), types) ? value : nullptr;
}

}  // namespace

TTypeElement* TNaBooleanOperator::Evaluate() {
  const TTypeElement* x = Accepted(GetOperand1Value(), kToBooleanFrom);
  return x ? NewBoolean(x->GetAsBoolean()) : nullptr;
}
TTypeFlags TNaBooleanOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  return Only(TType::Boolean, AllowsAny(operand, kToBooleanFrom));
}

TTypeElement* TNaCharOperator::Evaluate() {
  const TTypeElement* x = Accepted(GetOperand1Value(), kToCharFrom);
  return x ? TCharElement::CreateValue(x->GetAsChar()) : nullptr;
}
TTypeFlags TNaCharOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  return Only(TType::Char, AllowsAny(operand, kToCharFrom));
}

TTypeElement* TNaByteOperator::Evaluate() {
  const TTypeElement* x = Accepted(GetOperand1Value(), kToByteFrom);
  return x ? TByteElement::CreateValue(x->GetAsByte()) : nullptr;
}
TTypeFlags TNaByteOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  return Only(TType::Byte, AllowsAny(operand, kToByteFrom));
}

TTypeElement* TNaFloatOperator::Evaluate() {
  const TTypeElement* x = Accepted(GetOperand1Value(), kToFloatFrom);
  return x ? NewFloat(x->GetAsFloat()) : nullptr;
}
TTypeFlags TNaFloatOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  return Only(TType::Float, AllowsAny(operand, kToFloatFrom));
}

TTypeElement* TNaStringOperator::Evaluate() {
  const TTypeElement* x = Accepted(GetOperand1Value(), kToStringFrom);
  return x ? TStringElement::CreateValue(x->GetAsString()) : nullptr;
}
TTypeFlags TNaStringOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  return Only(TType::String, AllowsAny(operand, kToStringFrom));
}

// A Float beyond 32 bits has no Integer value.
TTypeElement* TNaIntegerOperator::Evaluate() {
  const TTypeElement* x = Accepted(GetOperand1Value(), kToIntegerFrom);
  if (!x) return nullptr;
  if (x->GetTyp() == TType::Float) return NewWholeInteger(std::trunc(x->GetAsFloat()));
  return TIntegerElement::CreateValue(x->GetAsInteger());
}
TTypeFlags TNaIntegerOperator::TypeRule(const TTypeFlags& operand, const TTypeFlags&) const {
  return Only(TType::Integer, AllowsAny(operand, kToIntegerFrom));
}

// ---------------------------------------------------------------- class descriptions

#define KESTX_DESCRIBE(Name, Base)                                                            \
  TClass Name::StaticClass() {                                                                \
    static const TClassInfo info = DescribeClass<Name>(#Name, Base::StaticClass(), "T_Oper", {}); \
    return &info;                                                                             \
  }

KESTX_DESCRIBE(TShortList, TOwnerElement)
KESTX_DESCRIBE(TOperator, TTechnology)
KESTX_DESCRIBE(TNoPtrOperator, TOperator)
KESTX_DESCRIBE(TOnePtrOperator, TNoPtrOperator)
KESTX_DESCRIBE(TTwoPtrOperator, TOnePtrOperator)
KESTX_DESCRIBE(TConstOperator, TNoPtrOperator)
KESTX_DESCRIBE(TReadPropOperator, TOnePtrOperator)
KESTX_DESCRIBE(TCondition, TOnePtrOperator)
KESTX_DESCRIBE(TClassIsOperator, TOnePtrOperator)
KESTX_DESCRIBE(TIsAncestorOperator, TOnePtrOperator)
KESTX_DESCRIBE(TPropExistsOperator, TOnePtrOperator)
KESTX_DESCRIBE(TAbsValOperator, TOnePtrOperator)
KESTX_DESCRIBE(TRoundOperator, TOnePtrOperator)
KESTX_DESCRIBE(TTruncOperator, TOnePtrOperator)
KESTX_DESCRIBE(TCosOperator, TOnePtrOperator)
KESTX_DESCRIBE(TSinOperator, TOnePtrOperator)
KESTX_DESCRIBE(TArcTanOperator, TOnePtrOperator)
KESTX_DESCRIBE(TExpOperator, TOnePtrOperator)
KESTX_DESCRIBE(TFracOperator, TOnePtrOperator)
KESTX_DESCRIBE(TLnOperator, TOnePtrOperator)
KESTX_DESCRIBE(TOddOperator, TOnePtrOperator)
KESTX_DESCRIBE(TSqrOperator, TOnePtrOperator)
KESTX_DESCRIBE(TSqrtOperator, TOnePtrOperator)
KESTX_DESCRIBE(TUnMinusOperator, TOnePtrOperator)
KESTX_DESCRIBE(TNotOperator, TOnePtrOperator)
KESTX_DESCRIBE(TNaBooleanOperator, TOnePtrOperator)
KESTX_DESCRIBE(TNaCharOperator, TOnePtrOperator)
KESTX_DESCRIBE(TNaByteOperator, TOnePtrOperator)
KESTX_DESCRIBE(TNaFloatOperator, TOnePtrOperator)
KESTX_DESCRIBE(TNaStringOperator, TOnePtrOperator)
KESTX_DESCRIBE(TNaIntegerOperator, TOnePtrOperator)
KESTX_DESCRIBE(TPlusOperator, TTwoPtrOperator)
KESTX_DESCRIBE(TMinusOperator, TTwoPtrOperator)
KESTX_DESCRIBE(TKratOperator, TTwoPtrOperator)
KESTX_DESCRIBE(TDelenoOperator, TTwoPtrOperator)
KESTX_DESCRIBE(TModOperator, TTwoPtrOperator)
KESTX_DESCRIBE(TDivOperator, TTwoPtrOperator)
KESTX_DESCRIBE(TAndOperator, TTwoPtrOperator)
KESTX_DESCRIBE(TOrOperator, TTwoPtrOperator)
KESTX_DESCRIBE(TCompareOperator, TTwoPtrOperator)
KESTX_DESCRIBE(TVetsiOperator, TCompareOperator)
KESTX_DESCRIBE(TMensiOperator, TCompareOperator)
KESTX_DESCRIBE(TRovnoOperator, TCompareOperator)
