#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "oil/errors/lang_errors.h"
#include "oil/oil_classes.h"
#include "oil/runtime/operators.h"
#include "tests/oil/oil_fixture.h"

namespace {

// A constant operator of the value.
TOilOperator* Const(TTypeElement* value) {
  auto* constant = new TOilConst;
  constant->SetValue(TOilValue(value));
  return constant;
}
TOilOperator* C(std::int32_t v) { return Const(TIntegerElement::CreateValue(v)); }
TOilOperator* C(double v) { return Const(TFloatElement::CreateValue(v)); }
TOilOperator* C(const char* v) { return Const(TStringElement::CreateValue(v)); }
TOilOperator* C(char v) { return Const(TCharElement::CreateValue(v)); }
TOilOperator* C(bool v) { return Const(TBooleanElement::CreateValue(v)); }
TOilOperator* Byte(std::uint8_t v) { return Const(TByteElement::CreateValue(v)); }

// The operator over its operands; the operands become its own.
template <class Op>
std::unique_ptr<Op> Of(TOilOperator* a, TOilOperator* b = nullptr) {
  auto op = std::make_unique<Op>();
  op->SetOperand(a);
  if constexpr (requires { op->SetSecondOperand(b); }) op->SetSecondOperand(b);
  return op;
}

// The result as "type:text", or "error:code", or "fault" for the general failure.
std::string Evaluated(TOilOperator& op) {
  try {
    TOilValue value = op.Evaluate();
    if (!value) return "none";
    return std::to_string(TypeCodeOf(*value)) + ":" + value->GetAsString();
  } catch (const TLangError& error) {
    return "error:" + std::to_string(error.Code);
  } catch (const EOilArithmetic&) {
    return "fault";
  }
}

class Operators : public OilTest {};

TEST_F(Operators, ComputeTheirValuesByTheTypeRulesAndCheckTheirOperands) {
  const struct {
    const char* name;
    std::unique_ptr<TOilOperator> op;
    std::string outcome;
  } cases[] = {
      {"65536 * 65536", Of<TOilKrat>(C(65536), C(65536)), "3: 4.29496729600000E+0009"},
      {"7 MOD -2", Of<TOilMod>(C(7), C(-2)), "5:1"},
      {"-7 DIV 2", Of<TOilDiv>(C(-7), C(2)), "5:-3"},
      {"5 DIV 0", Of<TOilDiv>(C(5), C(0)), "error:3"},
      {"INT_MIN DIV -1", Of<TOilDiv>(C(INT_MIN), C(-1)), "5:-2147483648"},
      {"INT_MIN MOD -1", Of<TOilMod>(C(INT_MIN), C(-1)), "5:0"},
      {"INT_MAX + 1 wraps", Of<TOilPlus>(C(INT_MAX), C(1)), "5:-2147483648"},
      {"INT_MIN - 1 wraps", Of<TOilMinus>(C(INT_MIN), C(1)), "5:2147483647"},
      {"byte + integer", Of<TOilPlus>(Byte(200), C(100)), "5:300"},
      {"'a' + 'b'", Of<TOilPlus>(C('a'), C('b')), "4:ab"},
      {"'a' + 1", Of<TOilPlus>(C('a'), C(1)), "error:3"},
      {"1 / 0", Of<TOilDeleno>(C(1), C(0)), "fault"},
      {"overflowing product", Of<TOilKrat>(C(1e308), C(1e308)), "fault"},
      {"0.1 + 0.2 = 0.3", Of<TOilRovno>(Of<TOilPlus>(C(0.1), C(0.2)).release(), C(0.3)), "0:true"},
      {"0.1 + 0.2 <> 0.3 is the negation", Of<TOilRuzne>(Of<TOilPlus>(C(0.1), C(0.2)).release(), C(0.3)), "0:false"},
      {"strings case-sensitive", Of<TOilMensi>(C("B"), C("a")), "0:true"},
      {"strings by their code page bytes", Of<TOilMensi>(C("\u017E"), C("\u00E9")), "0:true"},
      {"chars by their code page bytes", Of<TOilMensi>(C('\x9E'), C('\xE9')), "0:true"},
      {"FALSE AND 1 does not run the second", Of<TOilAnd>(C(false), C(1)), "0:false"},
      {"TRUE OR 1 does not run the second", Of<TOilOr>(C(true), C(1)), "0:true"},
      {"TRUE AND 1", Of<TOilAnd>(C(true), C(1)), "error:3"},
      {"1 AND TRUE yields nothing", Of<TOilAnd>(C(1), C(true)), "none"},
      {"minus integer", Of<TOilUnMinus>(C(5)), "5:-5"},
      {"minus INT_MIN wraps", Of<TOilUnMinus>(C(INT_MIN)), "5:-2147483648"},
      {"minus string", Of<TOilUnMinus>(C("x")), "error:3"},
      {"not integer", Of<TOilNot>(C(1)), "error:3"},
  };
  for (const auto& c : cases) EXPECT_EQ(Evaluated(*c.op), c.outcome) << c.name;
}

}  // namespace
