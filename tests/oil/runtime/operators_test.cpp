#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>

#include "oil/errors/lang_errors.h"
#include "oil/oil_classes.h"
#include "oil/runtime/operators.h"

namespace {

using Make = std::function<TTypeElement*()>;

Make Int(std::int32_t v) { return [v] { return TIntegerElement::CreateValue(v); }; }
Make Flt(double v) { return [v] { return TFloatElement::CreateValue(v); }; }
Make Str(const char* v) { return [v] { return TStringElement::CreateValue(v); }; }
Make Chr(char v) { return [v] { return TCharElement::CreateValue(v); }; }
Make Bool(bool v) { return [v] { return TBooleanElement::CreateValue(v); }; }
Make Byte(std::uint8_t v) { return [v] { return TByteElement::CreateValue(v); }; }

TOilOperator* Const(const Make& make) {
  auto* constant = new TOilConst;
  constant->SetValue(TOilValue(make()));
  return constant;
}

template <class Op>
std::unique_ptr<TOilOperator> Binary(const Make& a, const Make& b) {
  auto op = std::make_unique<Op>();
  op->SetOperand(Const(a));
  op->SetSecondOperand(Const(b));
  return op;
}

// (a + b) compared with c.
template <class Compare>
std::unique_ptr<TOilOperator> SumComparedTo(double a, double b, double c) {
  auto op = std::make_unique<Compare>();
  auto* sum = new TOilPlus;
  sum->SetOperand(Const(Flt(a)));
  sum->SetSecondOperand(Const(Flt(b)));
  op->SetOperand(sum);
  op->SetSecondOperand(Const(Flt(c)));
  return op;
}

// The result as "type:text", or "error:code", or "fault" for the general failure.
std::string Outcome(TOilOperator& op) {
  try {
    TOilValue value = op.Evaluate();
    if (!value) return "none";
    return std::to_string(TypeCodeOf(*value)) + ":" + value->GetAsString();
  } catch (const TRunTimeError& error) {
    return "runtime:" + std::to_string(error.Code);
  } catch (const TLangError& error) {
    return "error:" + std::to_string(error.Code);
  } catch (const EOilArithmetic&) {
    return "fault";
  }
}

struct OperatorCase {
  const char* name;
  std::function<std::unique_ptr<TOilOperator>()> build;
  std::string outcome;
};

class Operators : public ::testing::Test {
 protected:
  void SetUp() override { RegisterOilClasses(); }
};

TEST_F(Operators, ComputeTheirValuesByTheTypeRules) {
  const OperatorCase cases[] = {
      {"3 * 4", [] { return Binary<TOilKrat>(Int(3), Int(4)); }, "5:12"},
      {"65536 * 65536", [] { return Binary<TOilKrat>(Int(65536), Int(65536)); }, "3: 4.29496729600000E+0009"},
      {"2.5 * 2", [] { return Binary<TOilKrat>(Flt(2.5), Int(2)); }, "3: 5.00000000000000E+0000"},
      {"7 MOD -2", [] { return Binary<TOilMod>(Int(7), Int(-2)); }, "5:1"},
      {"-7 MOD 2", [] { return Binary<TOilMod>(Int(-7), Int(2)); }, "5:-1"},
      {"-7 DIV 2", [] { return Binary<TOilDiv>(Int(-7), Int(2)); }, "5:-3"},
      {"5 DIV 0", [] { return Binary<TOilDiv>(Int(5), Int(0)); }, "error:3"},
      {"5 MOD 0", [] { return Binary<TOilMod>(Int(5), Int(0)); }, "error:3"},
      {"INT_MIN DIV -1", [] { return Binary<TOilDiv>(Int(INT_MIN), Int(-1)); }, "5:-2147483648"},
      {"INT_MIN MOD -1", [] { return Binary<TOilMod>(Int(INT_MIN), Int(-1)); }, "5:0"},
      {"INT_MAX + 1 wraps", [] { return Binary<TOilPlus>(Int(INT_MAX), Int(1)); }, "5:-2147483648"},
      {"INT_MIN - 1 wraps", [] { return Binary<TOilMinus>(Int(INT_MIN), Int(1)); }, "5:2147483647"},
      {"byte + integer", [] { return Binary<TOilPlus>(Byte(200), Int(100)); }, "5:300"},
      {"'a' + 'b'", [] { return Binary<TOilPlus>(Chr('a'), Chr('b')); }, "4:ab"},
      {"'a' + 1", [] { return Binary<TOilPlus>(Chr('a'), Int(1)); }, "error:3"},
      {"1 / 0", [] { return Binary<TOilDeleno>(Int(1), Int(0)); }, "fault"},
      {"overflowing product", [] { return Binary<TOilKrat>(Flt(1e308), Flt(1e308)); }, "fault"},
      {"1 / 4", [] { return Binary<TOilDeleno>(Int(1), Int(4)); }, "3: 2.50000000000000E-0001"},
      {"0.1 + 0.2 = 0.3", [] { return SumComparedTo<TOilRovno>(0.1, 0.2, 0.3); }, "0:true"},
      {"0.1 + 0.2 <> 0.3 is the negation", [] { return SumComparedTo<TOilRuzne>(0.1, 0.2, 0.3); }, "0:false"},
      {"TRUE > FALSE", [] { return Binary<TOilVetsi>(Bool(true), Bool(false)); }, "error:3"},
      {"TRUE = TRUE", [] { return Binary<TOilRovno>(Bool(true), Bool(true)); }, "0:true"},
      {"1 = 1.0", [] { return Binary<TOilRovno>(Int(1), Flt(1.0)); }, "0:true"},
      {"'B' > 'A'", [] { return Binary<TOilVetsi>(Chr('B'), Chr('A')); }, "0:true"},
      {"strings case-sensitive", [] { return Binary<TOilMensi>(Str("B"), Str("a")); }, "0:true"},
      {"string = integer", [] { return Binary<TOilRovno>(Str("1"), Int(1)); }, "error:3"},
      {"FALSE AND 1 does not run the second", [] { return Binary<TOilAnd>(Bool(false), Int(1)); }, "0:false"},
      {"TRUE OR 1 does not run the second", [] { return Binary<TOilOr>(Bool(true), Int(1)); }, "0:true"},
      {"TRUE AND 1", [] { return Binary<TOilAnd>(Bool(true), Int(1)); }, "error:3"},
      {"1 AND TRUE yields nothing", [] { return Binary<TOilAnd>(Int(1), Bool(true)); }, "none"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TOilOperator> op = c.build();
    EXPECT_EQ(Outcome(*op), c.outcome) << c.name;
  }
}

TEST_F(Operators, UnaryOperatorsWrapAndCheckTheirOperand) {
  const struct {
    const char* name;
    TOilPtrOperator* op;
    Make operand;
    std::string outcome;
  } cases[] = {
      {"minus integer", new TOilUnMinus, Int(5), "5:-5"},
      {"minus INT_MIN wraps", new TOilUnMinus, Int(INT_MIN), "5:-2147483648"},
      {"minus float", new TOilUnMinus, Flt(2.5), "3:-2.50000000000000E+0000"},
      {"minus string", new TOilUnMinus, Str("x"), "error:3"},
      {"not true", new TOilNot, Bool(true), "0:false"},
      {"not integer", new TOilNot, Int(1), "error:3"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TOilPtrOperator> op(c.op);
    op->SetOperand(Const(c.operand));
    EXPECT_EQ(Outcome(*op), c.outcome) << c.name;
  }
}

TEST_F(Operators, AnswerTheTypesTheyMayYieldBeforeAnyRun) {
  const struct {
    const char* name;
    std::unique_ptr<TOilOperator> op;
    unsigned flags;
  } cases[] = {
      {"integer * integer", Binary<TOilKrat>(Int(1), Int(2)), TypeBit(otFloat) | TypeBit(otInteger)},
      {"integer / integer", Binary<TOilDeleno>(Int(1), Int(2)), TypeBit(otFloat)},
      {"char + string", Binary<TOilPlus>(Chr('a'), Str("b")), TypeBit(otString)},
      {"float - integer", Binary<TOilMinus>(Flt(1), Int(2)), TypeBit(otFloat)},
      {"boolean = boolean", Binary<TOilRovno>(Bool(true), Bool(true)), 0},
      {"string < string", Binary<TOilMensi>(Str("a"), Str("b")), TypeBit(otBoolean)},
      {"integer MOD float", Binary<TOilMod>(Int(1), Flt(2)), 0},
      {"boolean OR boolean", Binary<TOilOr>(Bool(true), Bool(false)), TypeBit(otBoolean)},
  };
  for (const auto& c : cases) EXPECT_EQ(c.op->TypeFlags(), c.flags) << c.name;
}

}  // namespace
