#include "oil/runtime/operators.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "oil/errors/lang_errors.h"
#include "platform/code_page.h"

namespace {

bool InSet(int type, unsigned set) { return type >= 0 && type < 8 && (set & TypeBit(type)) != 0; }

// Raised by the operators: no TRY takes these.
[[noreturn]] void Fail(int code) { throw TLangError(code); }

TOilValue MakeInteger(std::int32_t value) { return TOilValue::Integer(value); }
TOilValue MakeBoolean(bool value) { return TOilValue::Boolean(value); }

TOilValue MakeFloat(double value) {
  if (!std::isfinite(value)) throw EOilArithmetic("Floating point overflow");
  return TOilValue::Float(value);
}

std::int32_t Wrap(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

// Which of the flag sets a and b both meet.
bool Both(unsigned a, unsigned b, unsigned set) { return (a & set) != 0 && (b & set) != 0; }

// The float rows of + and -: one operand Float and the other numeric.
bool FloatMix(int a, int b) {
  return (a == otFloat && InSet(b, kNumericTypes)) || (b == otFloat && InSet(a, kNumericTypes));
}
bool FloatMixFlags(unsigned a, unsigned b) {
  return ((a & TypeBit(otFloat)) && (b & kNumericTypes)) || ((a & kNumericTypes) && (b & TypeBit(otFloat)));
}

// The flags of + without its text row, shared by + and -.
unsigned AdditiveFlags(unsigned a, unsigned b) {
  unsigned flags = 0;
  if (Both(a, b, kIntegralTypes)) flags |= TypeBit(otInteger);
  if (FloatMixFlags(a, b)) flags |= TypeBit(otFloat);
  return flags;
}


constexpr unsigned kTextTypes = TypeBit(otChar) | TypeBit(otString);

}  // namespace

// ---------------------------------------------------------------- base classes

void TOilOperator::DoIt() { result_ = Evaluate(); }

TOilValue TOilOperator::Evaluate() { return nullptr; }

std::int32_t TOilOperator::EvaluateInteger() {
  const TOilValue value = Evaluate();
  if (!value) Fail(rteInternal);
  return value->GetAsInteger();
}

void TOilPtrOperator::SetOperand(TOilOperator* operand) {
  SetOwnedElement(operand_, operand);
  ForgetTypeFlags();
  UpdateDepth();
}

void TOilPtrOperator::UpdateDepth() { depth_ = 1 + (GetOperand() ? GetOperand()->Depth() : 0); }

void TOilPtrOperator::ReleaseOperandResults() {
  if (GetOperand()) GetOperand()->ReleaseResult();
}

TOilValue TOilPtrOperator::EvaluateOperand() { return GetOperand() ? GetOperand()->Evaluate() : nullptr; }

void TOilTwoPtrOperator::SetSecondOperand(TOilOperator* operand) {
  SetOwnedElement(second_, operand);
  ForgetTypeFlags();
  UpdateDepth();
}

void TOilTwoPtrOperator::UpdateDepth() {
  TOilPtrOperator::UpdateDepth();
  if (GetSecondOperand()) depth_ = std::max(depth_, 1 + GetSecondOperand()->Depth());
}

void TOilTwoPtrOperator::ReleaseOperandResults() {
  TOilPtrOperator::ReleaseOperandResults();
  if (GetSecondOperand()) GetSecondOperand()->ReleaseResult();
}

TOilValue TOilTwoPtrOperator::EvaluateSecondOperand() {
  return GetSecondOperand() ? GetSecondOperand()->Evaluate() : nullptr;
}

void TOilTwoPtrOperator::EvaluateBoth(TOilValue& a, TOilValue& b) {
  a = EvaluateOperand();
  if (a) b = EvaluateSecondOperand();
  if (!a || !b) Fail(rteInternal);
}

// ---------------------------------------------------------------- constants and unary operators

void TOilConst::SetValue(TOilValue value) {
  value_ = std::move(value);
  ForgetTypeFlags();
}

TOilValue TOilConst::Evaluate() { return value_; }

std::int32_t TOilConst::EvaluateInteger() { return value_.GetAsInteger(); }

unsigned TOilConst::ComputeTypeFlags() {
  return value_ && TypeCodeOf(*value_) < 8 ? TypeBit(TypeCodeOf(*value_)) : 0;
}

TOilValue TOilUnMinus::Evaluate() {
  TOilValue a = EvaluateOperand();
  if (!a) Fail(rteInternal);
  const int type = TypeCodeOf(*a);
  if (InSet(type, kIntegralTypes)) return MakeInteger(Wrap(-static_cast<std::int64_t>(a->GetAsInteger())));
  if (type == otFloat) return MakeFloat(-a->GetAsFloat());
  Fail(rteTypeMismatch);
}

std::int32_t TOilUnMinus::EvaluateInteger() {
  if (!GetOperand() || !GetOperand()->IntegralOnly()) return TOilOperator::EvaluateInteger();
  return Wrap(-static_cast<std::int64_t>(GetOperand()->EvaluateInteger()));
}

unsigned TOilUnMinus::ComputeTypeFlags() {
  const unsigned a = GetOperand() ? GetOperand()->TypeFlags() : 0;
  unsigned flags = 0;
  if (a & kIntegralTypes) flags |= TypeBit(otInteger);
  if (a & TypeBit(otFloat)) flags |= TypeBit(otFloat);
  return flags;
}

TOilValue TOilNot::Evaluate() {
  TOilValue a = EvaluateOperand();
  if (!a) Fail(rteInternal);
  if (TypeCodeOf(*a) != otBoolean) Fail(rteTypeMismatch);
  return MakeBoolean(!a->GetAsBoolean());
}

unsigned TOilNot::ComputeTypeFlags() {
  const unsigned a = GetOperand() ? GetOperand()->TypeFlags() : 0;
  return (a & TypeBit(otBoolean)) ? TypeBit(otBoolean) : 0;
}

// ---------------------------------------------------------------- arithmetic

namespace {

struct Flags2 {
  unsigned a;
  unsigned b;
};

Flags2 OperandFlags(TOilTwoPtrOperator& op) {
  return {op.GetOperand() ? op.GetOperand()->TypeFlags() : 0u,
          op.GetSecondOperand() ? op.GetSecondOperand()->TypeFlags() : 0u};
}

}  // namespace

TOilValue TOilPlus::Evaluate() {
  if (IntegralOperands()) return MakeInteger(EvaluateInteger());
  TOilValue a, b;
  EvaluateBoth(a, b);
  const int ta = TypeCodeOf(*a), tb = TypeCodeOf(*b);
  if (InSet(ta, kIntegralTypes) && InSet(tb, kIntegralTypes))
    return MakeInteger(Wrap(static_cast<std::int64_t>(a->GetAsInteger()) + b->GetAsInteger()));
  if (FloatMix(ta, tb)) return MakeFloat(a->GetAsFloat() + b->GetAsFloat());
  if (InSet(ta, kTextTypes) && InSet(tb, kTextTypes)) {
    std::string text = a.TakeText();
    text += b.Type() == otString ? b.Text() : b->GetAsString();
    return TOilValue::String(std::move(text));
  }
  Fail(rteTypeMismatch);
}

std::int32_t TOilPlus::EvaluateInteger() {
  if (!IntegralOperands()) return TOilOperator::EvaluateInteger();
  const std::int32_t a = GetOperand()->EvaluateInteger();
  return Wrap(static_cast<std::int64_t>(a) + GetSecondOperand()->EvaluateInteger());
}

// The integer operands of MOD and DIV: integral, the divisor not zero.
void TOilTwoPtrOperator::IntegerOperands(std::int32_t& x, std::int32_t& y) {
  if (IntegralOperands()) {
    x = GetOperand()->EvaluateInteger();
    y = GetSecondOperand()->EvaluateInteger();
  } else {
    TOilValue a, b;
    EvaluateBoth(a, b);
    if (!InSet(TypeCodeOf(*a), kIntegralTypes) || !InSet(TypeCodeOf(*b), kIntegralTypes)) Fail(rteTypeMismatch);
    x = a->GetAsInteger();
    y = b->GetAsInteger();
  }
  if (y == 0) Fail(rteTypeMismatch);
}

unsigned TOilPlus::ComputeTypeFlags() {
  const auto [a, b] = OperandFlags(*this);
  return AdditiveFlags(a, b) | (Both(a, b, kTextTypes) ? TypeBit(otString) : 0u);
}

TOilValue TOilMinus::Evaluate() {
  if (IntegralOperands()) return MakeInteger(EvaluateInteger());
  TOilValue a, b;
  EvaluateBoth(a, b);
  const int ta = TypeCodeOf(*a), tb = TypeCodeOf(*b);
  if (InSet(ta, kIntegralTypes) && InSet(tb, kIntegralTypes))
    return MakeInteger(Wrap(static_cast<std::int64_t>(a->GetAsInteger()) - b->GetAsInteger()));
  if (FloatMix(ta, tb)) return MakeFloat(a->GetAsFloat() - b->GetAsFloat());
  Fail(rteTypeMismatch);
}

std::int32_t TOilMinus::EvaluateInteger() {
  if (!IntegralOperands()) return TOilOperator::EvaluateInteger();
  const std::int32_t a = GetOperand()->EvaluateInteger();
  return Wrap(static_cast<std::int64_t>(a) - GetSecondOperand()->EvaluateInteger());
}

unsigned TOilMinus::ComputeTypeFlags() {
  const auto [a, b] = OperandFlags(*this);
  return AdditiveFlags(a, b);
}

TOilValue TOilKrat::Evaluate() {
  TOilValue a, b;
  EvaluateBoth(a, b);
  const int ta = TypeCodeOf(*a), tb = TypeCodeOf(*b);
  if (!InSet(ta, kNumericTypes) || !InSet(tb, kNumericTypes)) Fail(rteTypeMismatch);
  if (ta == otFloat || tb == otFloat) return MakeFloat(a->GetAsFloat() * b->GetAsFloat());
  const std::int64_t product = static_cast<std::int64_t>(a->GetAsInteger()) * b->GetAsInteger();
  if (product >= -2147483647 && product <= 2147483647) return MakeInteger(static_cast<std::int32_t>(product));
  return MakeFloat(static_cast<double>(product));
}

unsigned TOilKrat::ComputeTypeFlags() {
  const auto [a, b] = OperandFlags(*this);
  unsigned flags = 0;
  if (Both(a, b, kNumericTypes)) flags |= TypeBit(otFloat);
  if (Both(a, b, kIntegralTypes)) flags |= TypeBit(otInteger);
  return flags;
}

TOilValue TOilDeleno::Evaluate() {
  TOilValue a, b;
  EvaluateBoth(a, b);
  if (!InSet(TypeCodeOf(*a), kNumericTypes) || !InSet(TypeCodeOf(*b), kNumericTypes)) Fail(rteTypeMismatch);
  const double divisor = b->GetAsFloat();
  if (divisor == 0) throw EOilArithmetic("Floating point division by zero");
  return MakeFloat(a->GetAsFloat() / divisor);
}

unsigned TOilDeleno::ComputeTypeFlags() {
  const auto [a, b] = OperandFlags(*this);
  return Both(a, b, kNumericTypes) ? TypeBit(otFloat) : 0u;
}

TOilValue TOilMod::Evaluate() { return MakeInteger(EvaluateInteger()); }

std::int32_t TOilMod::EvaluateInteger() {
  std::int32_t x = 0, y = 0;
  IntegerOperands(x, y);
  // INT_MIN MOD -1 is 0, computed without the overflowing division.
  return y == -1 ? 0 : x % y;
}

unsigned TOilMod::ComputeTypeFlags() {
  const auto [a, b] = OperandFlags(*this);
  return Both(a, b, kIntegralTypes) ? TypeBit(otInteger) : 0u;
}

TOilValue TOilDiv::Evaluate() { return MakeInteger(EvaluateInteger()); }

std::int32_t TOilDiv::EvaluateInteger() {
  std::int32_t x = 0, y = 0;
  IntegerOperands(x, y);
  // INT_MIN DIV -1 wraps to INT_MIN.
  return y == -1 ? Wrap(-static_cast<std::int64_t>(x)) : x / y;
}

unsigned TOilDiv::ComputeTypeFlags() {
  const auto [a, b] = OperandFlags(*this);
  return Both(a, b, kIntegralTypes) ? TypeBit(otInteger) : 0u;
}

// ---------------------------------------------------------------- logic

namespace {

// AND and OR: the second operand runs only when the first does not decide.
TOilValue ShortCircuit(TOilValue first, bool decisive, TOilOperator* second) {
  if (!first) Fail(rteInternal);
  if (TypeCodeOf(*first) != otBoolean) return nullptr;
  if (first->GetAsBoolean() == decisive) return first;
  TOilValue value = second ? second->Evaluate() : nullptr;
  if (!value) Fail(rteInternal);
  if (TypeCodeOf(*value) != otBoolean) Fail(rteTypeMismatch);
  return value;
}

unsigned LogicFlags(TOilTwoPtrOperator& op) {
  const auto [a, b] = OperandFlags(op);
  return Both(a, b, TypeBit(otBoolean)) ? TypeBit(otBoolean) : 0u;
}

}  // namespace

TOilValue TOilAnd::Evaluate() { return ShortCircuit(EvaluateOperand(), false, GetSecondOperand()); }
unsigned TOilAnd::ComputeTypeFlags() { return LogicFlags(*this); }
TOilValue TOilOr::Evaluate() { return ShortCircuit(EvaluateOperand(), true, GetSecondOperand()); }
unsigned TOilOr::ComputeTypeFlags() { return LogicFlags(*this); }

// ---------------------------------------------------------------- comparisons

namespace {

using Relation = TOilCompare::Relation;

template <class T>
bool Ordered(Relation relation, const T& a, const T& b) {
  switch (relation) {
    case Relation::Greater: return a > b;
    case Relation::GreaterEqual: return a >= b;
    case Relation::Less: return a < b;
    case Relation::LessEqual: return a <= b;
    case Relation::Equal: return a == b;
    case Relation::Different: return !(a == b);
  }
  return false;
}

bool CompareNumbers(Relation relation, double a, double b) {
  // Equality allows for the rounding of decimal fractions; <> is its negation.
  const bool equal = std::fabs(a - b) < 1e-13;
  if (relation == Relation::Equal) return equal;
  if (relation == Relation::Different) return !equal;
  return Ordered(relation, a, b);
}

// Texts order as their characters do: by the Windows-1250 bytes that chars
// hold, not by the UTF-8 they are kept in.
bool CompareTexts(Relation relation, const std::string& a, const std::string& b) {
  // Plain ASCII is the same in both: no conversion needed.
  const auto ascii = [](const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  if (ascii(a) && ascii(b)) return Ordered(relation, a, b);
  return Ordered(relation, platform::Utf8ToCp1250(a), platform::Utf8ToCp1250(b));
}

}  // namespace

TOilValue TOilCompare::Evaluate() {
  if (IntegralOperands()) {
    // Whole numbers are equal within the tolerance only when they are equal.
    const std::int32_t x = GetOperand()->EvaluateInteger();
    return MakeBoolean(Ordered(GetRelation(), x, GetSecondOperand()->EvaluateInteger()));
  }
  TOilValue a, b;
  EvaluateBoth(a, b);
  const int ta = TypeCodeOf(*a), tb = TypeCodeOf(*b);
  if (ta != tb && !(InSet(ta, kNumericTypes) && InSet(tb, kNumericTypes))) Fail(rteTypeMismatch);
  const Relation relation = GetRelation();
  switch (ta) {
    case otBoolean:
      if (relation != Relation::Equal && relation != Relation::Different) Fail(rteTypeMismatch);
      return MakeBoolean(Ordered(relation, a->GetAsBoolean(), b->GetAsBoolean()));
    case otChar:
      return MakeBoolean(Ordered(relation, static_cast<unsigned char>(a->GetAsChar()),
                                 static_cast<unsigned char>(b->GetAsChar())));
    case otByte:
    case otFloat:
    case otInteger: return MakeBoolean(CompareNumbers(relation, a->GetAsFloat(), b->GetAsFloat()));
    case otString: return MakeBoolean(CompareTexts(relation, a.Text(), b.Text()));
    case otElement:
      // Elements are ordered by their handles: stable for their lifetime.
      return MakeBoolean(Ordered(relation, HandleOfElement(a->GetAsPointer()), HandleOfElement(b->GetAsPointer())));
    default: Fail(rteTypeMismatch);
  }
}

unsigned TOilCompare::ComputeTypeFlags() {
  const auto [a, b] = OperandFlags(*this);
  const bool comparable = Both(a, b, kNumericTypes) || Both(a, b, TypeBit(otChar)) ||
                          Both(a, b, TypeBit(otElement)) || Both(a, b, TypeBit(otString));
  return comparable ? TypeBit(otBoolean) : 0u;
}

// ---------------------------------------------------------------- class descriptions

#define OIL_OPERATOR_INFO(Self, Parent) OIL_CLASS_INFO(Self, Parent, "OilOperators")
OIL_OPERATOR_INFO(TOilOperator, TTechnology)
OIL_OPERATOR_INFO(TOilPtrOperator, TOilOperator)
OIL_OPERATOR_INFO(TOilTwoPtrOperator, TOilPtrOperator)
OIL_OPERATOR_INFO(TOilConst, TOilOperator)
OIL_OPERATOR_INFO(TOilUnMinus, TOilPtrOperator)
OIL_OPERATOR_INFO(TOilNot, TOilPtrOperator)
OIL_OPERATOR_INFO(TOilPlus, TOilTwoPtrOperator)
OIL_OPERATOR_INFO(TOilMinus, TOilTwoPtrOperator)
OIL_OPERATOR_INFO(TOilKrat, TOilTwoPtrOperator)
OIL_OPERATOR_INFO(TOilDeleno, TOilTwoPtrOperator)
OIL_OPERATOR_INFO(TOilMod, TOilTwoPtrOperator)
OIL_OPERATOR_INFO(TOilDiv, TOilTwoPtrOperator)
OIL_OPERATOR_INFO(TOilAnd, TOilTwoPtrOperator)
OIL_OPERATOR_INFO(TOilOr, TOilTwoPtrOperator)
OIL_OPERATOR_INFO(TOilCompare, TOilTwoPtrOperator)
OIL_OPERATOR_INFO(TOilVetsi, TOilCompare)
OIL_OPERATOR_INFO(TOilVetsiRovno, TOilCompare)
OIL_OPERATOR_INFO(TOilMensi, TOilCompare)
OIL_OPERATOR_INFO(TOilMensiRovno, TOilCompare)
OIL_OPERATOR_INFO(TOilRovno, TOilCompare)
OIL_OPERATOR_INFO(TOilRuzne, TOilCompare)
