#pragma once
// A compiled OIL program is a tree of elements: blocks (program_blocks.h)
// hold statements, declare variables and keep their values on a stack shared
// down the tree; procedures and functions take parameters; one statement
// class per construct of the language.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "oil/runtime/program_blocks.h"
#include "oil/runtime/variables.h"


// One argument of a call, evaluated in the caller's frame.
struct TOilArgument {
  int Target = 0;
  bool ByRef = false;
  TOilValue Value;                    // by value
  TTypeElement* Storage = nullptr;    // by reference: the caller's storage element
};

class TOilProc : public TOilBlock {
  KESTX_CLASS(TOilProc)
 public:
  // The number of by-reference parameters.
  std::int32_t Calls = 0;
  TEntity* GetSubProcedures();
  // One activation with the arguments bound.
  virtual void Call(std::span<TOilArgument> arguments);
  // The result of the last call, handed over; nil for a procedure.
  virtual TOilValue GetResult() { return nullptr; }
  void Execute() override;

 protected:
  void BindParameters(std::span<TOilArgument> arguments);
  // Once the activation's frame is made and its parameters bound.
  virtual void FrameBound() {}
  // After the statements, before the frame goes.
  virtual void KeepResult() {}

 private:
  friend class TRoutineFrame;
  // The frame for the next activation: made at the first call at that depth,
  // set back to the declared types' initial values at every later one.
  TOilFrame& EnterFrame();

  TElement* subProcedures_ = nullptr;
  std::vector<std::unique_ptr<TOilFrame>> frames_;
  std::size_t depth_ = 0;
};

class TOilFunc : public TOilProc {
  KESTX_CLASS(TOilFunc)
 public:
  TOilValue GetResult() override { return std::move(result_); }

 protected:
  void KeepResult() override;

 private:
  TOilValue result_;
};

class TCaller : public TOilOperator {
  KESTX_CLASS(TCaller)
};

class TParametr : public TEntity {
  KESTX_CLASS(TParametr)
 public:
  // The variable index in the callee's frame.
  std::int32_t Target = 0;
  // A by-reference argument's expression is the caller's variable itself.
  bool ByRef = false;
  TOilOperator* GetExpression() const { return static_cast<TOilOperator*>(expression_); }
  void SetExpression(TOilOperator* expression);

 private:
  TElement* expression_ = nullptr;
};

class TProcCaller : public TCaller {
  KESTX_CLASS(TProcCaller)
 public:
  TNameEntity* GetArguments();
  void AddArgument(TParametr* parameter);
  // The routine is held by link: it may call itself.
  TOilProc* GetProc() const;
  void SetProc(TOilProc* proc);
  TOilValue Evaluate() override;

 protected:
  unsigned ComputeTypeFlags() override;
  void UpdateParameterDepth(const TParametr& parameter);
  TOilProc* RunProc();

 private:
  TElement* parameters_ = nullptr;
  TElementLink proc_;
  // The routine as the current run found it: a run lets no part of its
  // program be freed, so the link is looked up once per run.
  TOilProc* runProc_ = nullptr;
  std::uint64_t procRun_ = 0;
};

// ---------------------------------------------------------------- statements

class TAssignLine : public TOilLine {
  KESTX_CLASS(TAssignLine)
 public:
  TVariable* GetVariable() const { return static_cast<TVariable*>(variable_); }
  void SetVariable(TVariable* variable);
  TOilOperator* GetExpression() const { return static_cast<TOilOperator*>(expression_); }
  void SetExpression(TOilOperator* expression);
  void Execute() override;

 private:
  // s := s + t, with s a STRING variable and t a constant or a variable, grows
  // the text where it is stored.  Which form the statement has is worked out
  // when it first runs.
  enum class TShape : std::uint8_t { Unknown, General, Append };
  TShape Shape();
  void AppendInPlace();

  TElement* variable_ = nullptr;
  TElement* expression_ = nullptr;
  TShape shape_ = TShape::Unknown;
};

class TExprLine : public TOilLine {
  KESTX_CLASS(TExprLine)
 public:
  TOilOperator* GetExpression() const { return static_cast<TOilOperator*>(expression_); }
  void SetExpression(TOilOperator* expression);
  void Execute() override;

 private:
  TElement* expression_ = nullptr;
};

class TIfLine : public TOilLine {
  KESTX_CLASS(TIfLine)
 public:
  void SetCondition(TOilOperator* condition);
  void SetThenLine(TOilLine* line);
  void SetElseLine(TOilLine* line);
  void Execute() override;

 private:
  TElement* condition_ = nullptr;
  TElement* then_ = nullptr;
  TElement* else_ = nullptr;
};

class TForLine : public TOilLine {
  KESTX_CLASS(TForLine)
 public:
  // 1 counts up (TO), 0 down (DOWNTO).
  std::uint8_t Direction = 1;
  void SetVariable(TNormalVariable* variable);
  void SetBody(TOilLine* line);
  void SetStart(TOilOperator* expression);
  void SetEnd(TOilOperator* expression);
  void Execute() override;

 private:
  // A bound's integer value, checked against the control variable's type.
  std::int32_t Bound(TOilOperator* expression, int variableType, TOilValue* keep);

  TElement* variable_ = nullptr;
  TElement* body_ = nullptr;
  TElement* start_ = nullptr;
  TElement* end_ = nullptr;
};

class TWhileLine : public TOilLine {
  KESTX_CLASS(TWhileLine)
 public:
  void SetBody(TOilLine* line);
  void SetCondition(TOilOperator* condition);
  void Execute() override;

 private:
  TElement* body_ = nullptr;
  TElement* condition_ = nullptr;
};

// The loop body is its statement list; it has no frame of its own.
class TRepeatline : public TOilBlock {
  KESTX_CLASS(TRepeatline)
 public:
  void SetCondition(TOilOperator* condition);
  void Execute() override;

 private:
  TElement* condition_ = nullptr;
};

class TCaseLine : public TOilLine {
  KESTX_CLASS(TCaseLine)
 public:
  void SetSelector(TOilOperator* selector);
  // A label and the statement run when it matches (nil: nothing to run).
  void AddBranch(TOilValue label, TOilLine* line);
  void SetElseLine(TOilLine* line);
  int BranchCount() const;
  void Execute() override;

 private:
  TEntity* Labels();
  TEntity* Lines();
  TElement* selector_ = nullptr;
  TElement* labels_ = nullptr;
  TElement* lines_ = nullptr;
  TElement* else_ = nullptr;
};

// TRY: the statement list runs under a handler that discards run-time errors.
class TProtectBlock : public TOilBlock {
  KESTX_CLASS(TProtectBlock)
 public:
  void Execute() override;
};

// The value of a condition: present (code 2) and Boolean (code 10).
bool ConditionValue(TOilOperator* condition);
