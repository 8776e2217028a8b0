#pragma once
// Compiled conditions: trees of operators.  Each operator is a technology
// whose operands are its tools; running it leaves its value in Output as a
// new typed value element, or nil when it has no value for the element under
// test.  The element under test sits at index 0 of one short list that all
// operators of a tree share.  Evaluation raises nothing: a value that cannot
// be computed is no value, and a condition without a value does not hold.
// A chain of one operator level is a tree as deep as the chain is long, so
// the walks over a tree (evaluation, typing, handing down the result list)
// keep their place on a work stack and never nest on the stack by its depth.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/tools/tools.h"

enum class TType : std::uint8_t;
class TTypeElement;

// One flag per value type code (Boolean .. Other).
using TTypeFlags = std::array<bool, 8>;

// The elements an operator tree inspects; it does not own them.
class TShortList : public TOwnerElement {
  KESTX_CLASS(TShortList)
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Nil beyond the list and for an element freed since it was stored.
  TElement* GetItem(int index) const;
  // Appends the element until the list reaches index, then stores it there.
  void SetItem(int index, TElement* element);

 private:
  std::vector<TElementLink> items_;
};

class TOperator : public TTechnology {
  KESTX_CLASS(TOperator)
 public:
  virtual void SetOperand1(TOperator* operand) = 0;
  virtual TOperator* GetOperand1() const = 0;
  virtual void SetOperand2(TOperator* operand) = 0;
  virtual TOperator* GetOperand2() const = 0;
  virtual void SetOperand1Value(TTypeElement* value) = 0;
  virtual TTypeElement* GetOperand1Value() const = 0;
  virtual void SetOperand2Value(TTypeElement* value) = 0;
  virtual TTypeElement* GetOperand2Value() const = 0;
  virtual void SetElementIndex(std::int32_t index) = 0;
  virtual std::int32_t GetElementIndex() const = 0;
  virtual void ReleaseOperandResults() = 0;
  virtual void SetResultList(TShortList* list) = 0;
  virtual TShortList* GetResultList() = 0;
  virtual bool GetTypeFlag(TType code) const = 0;
  virtual void SetTypeFlag(TType code, bool flag) = 0;
  virtual const TTypeFlags* GetTypeFlags() const = 0;
  virtual void SetTypeFlags(const TTypeFlags& flags) = 0;
  virtual void SetResultItem(int index, TElement* element) = 0;
  virtual TElement* GetResultItem(int index) = 0;
  virtual void EvaluateOperand1() = 0;
  virtual void EvaluateOperand2() = 0;
  virtual void ReleaseResult() = 0;
  virtual bool HasValidType() = 0;
  virtual void ComputeTypeFlags() = 0;
  virtual void FreeTypeFlags() = 0;
};

// An operator without operands; the base of every operator of a tree.
class TNoPtrOperator : public TOperator {
  KESTX_CLASS(TNoPtrOperator)
 public:
  ~TNoPtrOperator() override;

  // It has no operand to take: a given operator is freed.
  void SetOperand1(TOperator* operand) override;
  TOperator* GetOperand1() const override;
  void SetOperand2(TOperator* operand) override;
  TOperator* GetOperand2() const override;
  void SetOperand1Value(TTypeElement* value) override;
  TTypeElement* GetOperand1Value() const override;
  void SetOperand2Value(TTypeElement* value) override;
  TTypeElement* GetOperand2Value() const override;
  void SetElementIndex(std::int32_t index) override;
  std::int32_t GetElementIndex() const override;
  void ReleaseOperandResults() override;
  // Reaches every operator of the tree below.
  void SetResultList(TShortList* list) final;
  TShortList* GetResultList() override;
  bool GetTypeFlag(TType code) const override;
  void SetTypeFlag(TType code, bool flag) override;
  const TTypeFlags* GetTypeFlags() const override;
  void SetTypeFlags(const TTypeFlags& flags) override;
  void SetResultItem(int index, TElement* element) override;
  // Nil beyond the list.
  TElement* GetResultItem(int index) override;
  void EvaluateOperand1() override;
  void EvaluateOperand2() override;
  void ReleaseResult() override;
  bool HasValidType() override;
  // The operands' flags are computed first and freed once used; a class
  // gives its own through TypeRule.
  void ComputeTypeFlags() final;
  void FreeTypeFlags() override;

  // The evaluation frame of every operator: the previous value goes, operand
  // 1 runs, then operand 2 when NeedsOperand2 says so, the class's rule
  // makes the new value, the operands' values go.  The operators below run
  // in the same frame, from a work stack.
  void DoIt() final;

 protected:
  // Whether operand 2 runs, asked once operand 1 has given its value: by
  // default when it has one.
  virtual bool NeedsOperand2() const;
  // The new value, or nil for none.
  virtual TTypeElement* Evaluate();
  // The types the value can have, from those of the operands.
  virtual TTypeFlags TypeRule(const TTypeFlags& operand1, const TTypeFlags& operand2) const;
  // The element under test; nil when none is stored.
  TElement* TestedElement();

 private:
  std::unique_ptr<TTypeFlags> typeFlags_;
  TElementLink resultList_;
  std::int32_t elementIndex_ = 0;
};

class TOnePtrOperator : public TNoPtrOperator {
  KESTX_CLASS(TOnePtrOperator)
 public:
  void SetOperand1(TOperator* operand) override;
  TOperator* GetOperand1() const override;
  void SetOperand1Value(TTypeElement* value) override;
  TTypeElement* GetOperand1Value() const override;

 private:
  TElementLink operand1_;
  TTypeElement* operand1Value_ = nullptr;
};

class TTwoPtrOperator : public TOnePtrOperator {
  KESTX_CLASS(TTwoPtrOperator)
 public:
  void SetOperand2(TOperator* operand) override;
  TOperator* GetOperand2() const override;
  void SetOperand2Value(TTypeElement* value) override;
  TTypeElement* GetOperand2Value() const override;

 private:
  TElementLink operand2_;
  TTypeElement* operand2Value_ = nullptr;
};

class TConstOperator : public TNoPtrOperator {
  KESTX_CLASS(TConstOperator)
 public:
  TTypeElement* ConstValue() const;
  void SetConstValue(TTypeElement* value);
  // The value is reused, never released.
  void ReleaseResult() override;

 protected:
  // The constant's own value.
  TTypeElement* Evaluate() override;
  TTypeFlags TypeRule(const TTypeFlags& operand1, const TTypeFlags& operand2) const override;

 private:
  TElementLink value_;
};

// A bare property name: the published property of the element, else the
// text the element answers for that name.
class TReadPropOperator : public TOnePtrOperator {
  KESTX_CLASS(TReadPropOperator)
 public:
  TReadPropOperator();
  const std::string& PropName() const { return propName_; }
  void SetPropName(const std::string& name);

 protected:
  TTypeElement* Evaluate() override;
  TTypeFlags TypeRule(const TTypeFlags& operand1, const TTypeFlags& operand2) const override;

 private:
  TTypeElement* ReadPublished(const TElement& element) const;
  std::string propName_;
};

// The root of a compiled condition.
class TCondition : public TOnePtrOperator {
  KESTX_CLASS(TCondition)
 public:
  // Whether the operand's value is Boolean true for the element under test.
  bool Test();

 protected:
  // A new Boolean holding what Test answers.
  TTypeElement* Evaluate() override;
  TTypeFlags TypeRule(const TTypeFlags& operand1, const TTypeFlags& operand2) const override;
};

// Stores element as the element under test and tests the condition on it.
bool ConditionHolds(TCondition& condition, TElement* element);

// The operator classes differ only in their value rule and their typing rule.
#define KESTX_OPERATOR_RULES                \
 protected:                                 \
  TTypeElement* Evaluate() override;        \
  TTypeFlags TypeRule(const TTypeFlags& operand1, const TTypeFlags& operand2) const override;

#define KESTX_OPERATOR(Name, Base) \
  class Name : public Base {       \
    KESTX_CLASS(Name)              \
    KESTX_OPERATOR_RULES           \
  };

KESTX_OPERATOR(TClassIsOperator, TOnePtrOperator)
KESTX_OPERATOR(TIsAncestorOperator, TOnePtrOperator)
KESTX_OPERATOR(TPropExistsOperator, TOnePtrOperator)
KESTX_OPERATOR(TAbsValOperator, TOnePtrOperator)
KESTX_OPERATOR(TRoundOperator, TOnePtrOperator)
KESTX_OPERATOR(TTruncOperator, TOnePtrOperator)
KESTX_OPERATOR(TCosOperator, TOnePtrOperator)
KESTX_OPERATOR(TSinOperator, TOnePtrOperator)
KESTX_OPERATOR(TArcTanOperator, TOnePtrOperator)
KESTX_OPERATOR(TExpOperator, TOnePtrOperator)
KESTX_OPERATOR(TFracOperator, TOnePtrOperator)
KESTX_OPERATOR(TLnOperator, TOnePtrOperator)
KESTX_OPERATOR(TOddOperator, TOnePtrOperator)
KESTX_OPERATOR(TSqrOperator, TOnePtrOperator)
KESTX_OPERATOR(TSqrtOperator, TOnePtrOperator)
KESTX_OPERATOR(TUnMinusOperator, TOnePtrOperator)
KESTX_OPERATOR(TNotOperator, TOnePtrOperator)
KESTX_OPERATOR(TNaBooleanOperator, TOnePtrOperator)
KESTX_OPERATOR(TNaCharOperator, TOnePtrOperator)
KESTX_OPERATOR(TNaByteOperator, TOnePtrOperator)
KESTX_OPERATOR(TNaFloatOperator, TOnePtrOperator)
KESTX_OPERATOR(TNaStringOperator, TOnePtrOperator)
KESTX_OPERATOR(TNaIntegerOperator, TOnePtrOperator)

KESTX_OPERATOR(TPlusOperator, TTwoPtrOperator)
KESTX_OPERATOR(TMinusOperator, TTwoPtrOperator)
KESTX_OPERATOR(TKratOperator, TTwoPtrOperator)
KESTX_OPERATOR(TDelenoOperator, TTwoPtrOperator)
KESTX_OPERATOR(TModOperator, TTwoPtrOperator)
KESTX_OPERATOR(TDivOperator, TTwoPtrOperator)

// The right operand runs only when the left one is Boolean and does not
// decide.
class TAndOperator : public TTwoPtrOperator {
  KESTX_CLASS(TAndOperator)
  KESTX_OPERATOR_RULES
  bool NeedsOperand2() const override;
};

class TOrOperator : public TTwoPtrOperator {
  KESTX_CLASS(TOrOperator)
  KESTX_OPERATOR_RULES
  bool NeedsOperand2() const override;
};

// The three relations share the typing and the comparison of the values.
class TCompareOperator : public TTwoPtrOperator {
  KESTX_CLASS(TCompareOperator)
  KESTX_OPERATOR_RULES
  enum class TRelation { Equal, Greater, Less };
  virtual TRelation Relation() const = 0;
};

class TVetsiOperator : public TCompareOperator {
  KESTX_CLASS(TVetsiOperator)
 protected:
  TRelation Relation() const override { return TRelation::Greater; }
};

class TMensiOperator : public TCompareOperator {
  KESTX_CLASS(TMensiOperator)
 protected:
  TRelation Relation() const override { return TRelation::Less; }
};

class TRovnoOperator : public TCompareOperator {
  KESTX_CLASS(TRovnoOperator)
 protected:
  TRelation Relation() const override { return TRelation::Equal; }
};

#undef KESTX_OPERATOR
#undef KESTX_OPERATOR_RULES
