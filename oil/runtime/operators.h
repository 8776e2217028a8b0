#pragma once
// The operator tree of compiled expressions.  Each operator computes a new
// value element per run; the value belongs to nobody until a consumer takes
// it.  Each operator also answers, before any run, which value types it may
// yield, so that the compiler can check types.
#include <cstdint>
#include <memory>

#include "framework/tools/tools.h"
#include "oil/runtime/oil_value.h"

// Type codes of values; 7 is "any" (a property's value, known only at run time).
enum OilType : int { otBoolean = 0, otChar, otByte, otFloat, otString, otInteger, otElement, otAny };

constexpr unsigned TypeBit(int code) { return 1u << code; }
constexpr unsigned kNumericTypes = TypeBit(otByte) | TypeBit(otFloat) | TypeBit(otInteger);
constexpr unsigned kIntegralTypes = TypeBit(otByte) | TypeBit(otInteger);
constexpr unsigned kAllTypes = 0xFFu;

class TOilOperator : public TTechnology {
  KESTX_CLASS(TOilOperator)
 public:
  // Runs the operator and keeps its value as the result.
  void DoIt() override;
  // The run itself: a new value, or nil when the operator yields none.
  virtual TOilValue Evaluate();

  const TOilValue& Result() const { return result_; }
  TOilValue TakeResult() { return std::move(result_); }
  void ReleaseResult() { result_ = nullptr; }
  virtual void ReleaseOperandResults() {}

  // The run of an operator whose values are all Byte or Integer (IntegralOnly):
  // the value as an integer, without building it.  The same result and the
  // same errors as Evaluate.
  virtual std::int32_t EvaluateInteger();

  // The types the operator may yield, one bit per type code; worked out once.
  unsigned TypeFlags() {
    if (!flagsKnown_) {
      flags_ = ComputeTypeFlags();
      flagsKnown_ = true;
    }
    return flags_;
  }
  bool GetTypeFlag(int code) { return (TypeFlags() & TypeBit(code)) != 0; }
  bool HasValidType() { return TypeFlags() != 0; }
  // Known when the program is compiled: every value it yields is Byte or Integer.
  bool IntegralOnly() {
    const unsigned flags = TypeFlags();
    return flags != 0 && (flags & ~kIntegralTypes) == 0;
  }
  // How deep the tree below this operator reaches (1 for a leaf).
  int Depth() const { return depth_; }

 protected:
  virtual unsigned ComputeTypeFlags() { return 0; }
  void ForgetTypeFlags() { flagsKnown_ = false; }
  int depth_ = 1;

 private:
  TOilValue result_;
  unsigned flags_ = 0;
  bool flagsKnown_ = false;
};

class TOilPtrOperator : public TOilOperator {
  KESTX_CLASS(TOilPtrOperator)
 public:
  TOilOperator* GetOperand() const { return static_cast<TOilOperator*>(operand_); }
  // Takes the operand over; frees the previous one.
  void SetOperand(TOilOperator* operand);
  void ReleaseOperandResults() override;

 protected:
  // The operand's value; nil when there is no operand or it yields none.
  TOilValue EvaluateOperand();
  virtual void UpdateDepth();

 private:
  TElement* operand_ = nullptr;
};

class TOilTwoPtrOperator : public TOilPtrOperator {
  KESTX_CLASS(TOilTwoPtrOperator)
 public:
  TOilOperator* GetSecondOperand() const { return static_cast<TOilOperator*>(second_); }
  void SetSecondOperand(TOilOperator* operand);
  void ReleaseOperandResults() override;

 protected:
  TOilValue EvaluateSecondOperand();
  void UpdateDepth() override;
  // Both operands yield only Byte or Integer values.
  bool IntegralOperands() {
    return GetOperand() && GetSecondOperand() && GetOperand()->IntegralOnly() && GetSecondOperand()->IntegralOnly();
  }
  // Both values, each present, else code 12.
  void EvaluateBoth(TOilValue& a, TOilValue& b);
  // Both values as integers for MOD and DIV (code 3 unless integral with a divisor).
  void IntegerOperands(std::int32_t& x, std::int32_t& y);

 private:
  TElement* second_ = nullptr;
};

class TOilConst : public TOilOperator {
  KESTX_CLASS(TOilConst)
 public:
  // Made once, when the program is compiled.
  const TOilValue& Value() const { return value_; }
  void SetValue(TOilValue value);
  TOilValue Evaluate() override;
  std::int32_t EvaluateInteger() override;

 protected:
  unsigned ComputeTypeFlags() override;

 private:
  TOilValue value_;
};

class TOilUnMinus : public TOilPtrOperator {
  KESTX_CLASS(TOilUnMinus)
 public:
  TOilValue Evaluate() override;
  std::int32_t EvaluateInteger() override;

 protected:
  unsigned ComputeTypeFlags() override;
};

class TOilNot : public TOilPtrOperator {
  KESTX_CLASS(TOilNot)
 public:
  TOilValue Evaluate() override;

 protected:
  unsigned ComputeTypeFlags() override;
};

#define OIL_BINARY_OPERATOR(Name, ...)     \
  class Name : public TOilTwoPtrOperator { \
    KESTX_CLASS(Name)                      \
   public:                                 \
    TOilValue Evaluate() override;         \
    __VA_ARGS__                            \
                                           \
   protected:                              \
    unsigned ComputeTypeFlags() override;  \
  };

// The integral operators also run without building their values.
#define OIL_INTEGRAL_RUN std::int32_t EvaluateInteger() override;
OIL_BINARY_OPERATOR(TOilPlus, OIL_INTEGRAL_RUN)
OIL_BINARY_OPERATOR(TOilMinus, OIL_INTEGRAL_RUN)
OIL_BINARY_OPERATOR(TOilKrat)
OIL_BINARY_OPERATOR(TOilDeleno)
OIL_BINARY_OPERATOR(TOilMod, OIL_INTEGRAL_RUN)
OIL_BINARY_OPERATOR(TOilDiv, OIL_INTEGRAL_RUN)
OIL_BINARY_OPERATOR(TOilAnd)
OIL_BINARY_OPERATOR(TOilOr)

// The comparisons share the type rules and differ in the relation tested.
class TOilCompare : public TOilTwoPtrOperator {
  KESTX_CLASS(TOilCompare)
 public:
  enum class Relation { Greater, GreaterEqual, Less, LessEqual, Equal, Different };
  TOilValue Evaluate() override;

 protected:
  unsigned ComputeTypeFlags() override;
  virtual Relation GetRelation() const { return Relation::Equal; }
};

#define OIL_COMPARISON(Name, Rel)                                      \
  class Name : public TOilCompare {                                    \
    KESTX_CLASS(Name)                                                  \
   protected:                                                          \
    Relation GetRelation() const override { return Relation::Rel; }    \
  };

OIL_COMPARISON(TOilVetsi, Greater)
OIL_COMPARISON(TOilVetsiRovno, GreaterEqual)
OIL_COMPARISON(TOilMensi, Less)
OIL_COMPARISON(TOilMensiRovno, LessEqual)
OIL_COMPARISON(TOilRovno, Equal)
OIL_COMPARISON(TOilRuzne, Different)

// Describes an OIL class for the class library (the unit name is the folder's).
#define OIL_CLASS_INFO(Self, Parent, Unit, ...)                                                     \
  TClass Self::StaticClass() {                                                                      \
    static const TClassInfo info = DescribeClass<Self>(#Self, Parent::StaticClass(), Unit, {__VA_ARGS__}); \
    return &info;                                                                                   \
  }
