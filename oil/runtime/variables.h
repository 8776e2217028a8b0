#pragma once
// Variables held in a block's frame, parameters passed by reference,
// published properties of elements, the steps of element paths and calls of
// framework tools: operators that connect expressions to storage.
#include <string>

#include "oil/runtime/operators.h"

class TOilBlock;

class TVariable : public TOilOperator {
  KESTX_CLASS(TVariable)
 public:
  TOilValue Evaluate() override { return GetValue(); }
  virtual TOilValue GetValue();
  virtual void SetValue(TOilValue value);
  // SetValue of an Integer value.
  virtual void SetInteger(std::int32_t value) { SetValue(TOilValue::Integer(value)); }
  virtual int GetValueType();
  virtual std::string GetTypeName();
  // The element that holds the value (nil for a property).
  virtual TTypeElement* Storage();

 protected:
  unsigned ComputeTypeFlags() override;
};

class TNormalVariable : public TVariable {
  KESTX_CLASS(TNormalVariable)
 public:
  std::int32_t VarIndex = 0;
  TOilBlock* Block() const { return block_; }
  // The block is not owned: it encloses the variable.
  void SetBlock(TOilBlock* block) { block_ = block; }

  TOilValue GetValue() override;
  std::int32_t EvaluateInteger() override;
  void SetValue(TOilValue value) override;
  void SetInteger(std::int32_t value) override;
  int GetValueType() override;
  std::string GetTypeName() override;
  TTypeElement* Storage() override;

 protected:
  // The element in the current frame of the block.
  TTypeElement* SlotElement();

 private:
  // The declaration does not change once the program runs: the slot's type
  // and element class are looked up at its first use, not at every one.
  void ResolveSlot();

  TOilBlock* block_ = nullptr;
  std::int32_t resolvedIndex_ = -1;
  int kind_ = 0;
  TClass slotClass_ = nullptr;
};

// A by-reference parameter: it stands for the caller's storage element.
class TCalledVariable : public TNormalVariable {
  KESTX_CLASS(TCalledVariable)
 public:
  TOilValue GetValue() override;
  std::int32_t EvaluateInteger() override;
  void SetValue(TOilValue value) override;
  TTypeElement* Storage() override;
};

class TPropVariable : public TVariable {
  KESTX_CLASS(TPropVariable)
 public:
  std::string PropertyName;
  TOilOperator* GetOwnerExpression() const { return static_cast<TOilOperator*>(owner_); }
  void SetOwnerExpression(TOilOperator* expression);

  TOilValue GetValue() override;
  void SetValue(TOilValue value) override;
  int GetValueType() override { return otAny; }

 protected:
  unsigned ComputeTypeFlags() override { return kAllTypes; }

 private:
  // The element the owner expression yields and its property (codes 2, 4, 5).
  struct PropertyTarget {
    TElement* element;
    const TPropInfo* info;
  };
  PropertyTarget FindProperty();

  TElement* owner_ = nullptr;
  TClass lastClass_ = nullptr;
  std::string lastName_;
  const TPropInfo* lastInfo_ = nullptr;
};

// Converts a value to a published property's kind and writes it (codes 3, 7, 15).
struct TPropInfo;
void WritePropertyValue(TObject& object, const TPropInfo& info, const TOilValue& value);

class TElementOperator : public TOilPtrOperator {
  KESTX_CLASS(TElementOperator)
 public:
  std::string ElementName;
  TOilValue Evaluate() override;

 protected:
  unsigned ComputeTypeFlags() override { return TypeBit(otElement); }
  // The element the path has reached (codes 2).
  TElement* StartElement();
};

class TOwnerOperator : public TElementOperator {
  KESTX_CLASS(TOwnerOperator)
 public:
  TOilValue Evaluate() override;
};

class TElementByNumberOperator : public TOilPtrOperator {
  KESTX_CLASS(TElementByNumberOperator)
 public:
  TOilOperator* GetPositionIndex() const { return static_cast<TOilOperator*>(position_); }
  void SetPositionIndex(TOilOperator* expression);
  TOilValue Evaluate() override;

 protected:
  unsigned ComputeTypeFlags() override { return TypeBit(otElement); }
  void UpdateDepth() override;
  // The entity the path has reached and the position asked for.
  TEntity* StartEntity(std::int32_t& position);

 private:
  TElement* position_ = nullptr;
};

class TOwnerByNumberOperator : public TElementByNumberOperator {
  KESTX_CLASS(TOwnerByNumberOperator)
 public:
  TOilValue Evaluate() override;
};

class TToolInputInfo : public TEntity {
  KESTX_CLASS(TToolInputInfo)
 public:
  // 1-based position among the tool class's published properties.
  std::int32_t PropIndex = 0;
  TOilOperator* GetExpression() const { return static_cast<TOilOperator*>(expression_); }
  void SetExpression(TOilOperator* expression);

 private:
  TElement* expression_ = nullptr;
};

class TToolOperator : public TOilPtrOperator {
  KESTX_CLASS(TToolOperator)
 public:
  TClass ToolClass = nullptr;
  TEntity* GetInputs();
  TToolInputInfo* GetInput(int index);
  void AddInput(TToolInputInfo* input);
  TOilValue Evaluate() override;

 protected:
  unsigned ComputeTypeFlags() override { return TypeBit(otElement); }
  void UpdateDepth() override;

 private:
  TElement* inputs_ = nullptr;
};
