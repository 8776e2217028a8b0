#include "oil/runtime/program_objects.h"

#include <array>
#include <cstdint>
#include <string>

#include "oil/errors/lang_errors.h"
#include "oil/runtime/run_context.h"

namespace {

[[noreturn]] void Fail(int code) { throw TRunTimeError(code); }

// Calls nest on the thread's own stack; a runaway recursion ends as a
// run-time error instead of overflowing it: when the calls have used this
// much of the stack since the first of them.
constexpr std::uintptr_t kStackBudget = 1536 * 1024;
thread_local int activations = 0;
thread_local std::uintptr_t stackBase = 0;

std::uintptr_t StackPosition() { return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)); }

class TActivation {
 public:
  TActivation() {
    const std::uintptr_t here = StackPosition();
    if (activations == 0) stackBase = here;
    else if (stackBase > here && stackBase - here > kStackBudget) Fail(rteInternal);
    ++activations;
  }
  ~TActivation() { --activations; }
  TActivation(const TActivation&) = delete;
  TActivation& operator=(const TActivation&) = delete;
};

}  // namespace

// ---------------------------------------------------------------- routines

TEntity* TOilProc::GetSubProcedures() { return OwnedList<TEntity>(*this, subProcedures_, "Podprocedury"); }

namespace {

// Sets an element made for a declared type back to that type's initial
// value, as a new frame has it.
void ResetValue(TTypeElement& element, int type) {
  switch (type) {
    case otBoolean: element.SetAsBoolean(false); break;
    case otChar: element.SetAsChar('\0'); break;
    case otByte: element.SetAsByte(0); break;
    case otFloat: element.SetAsFloat(0); break;
    case otString: element.SetAsString(std::string()); break;
    default: element.SetAsInteger(0); break;
  }
}

}  // namespace

TOilFrame& TOilProc::EnterFrame() {
  if (depth_ == frames_.size()) frames_.push_back(std::make_unique<TOilFrame>());
  TOilFrame& frame = *frames_[depth_];
  const std::size_t count = static_cast<std::size_t>(VarCount());
  if (frame.Owned.size() != count) {
    frame.Owned.clear();
    frame.Slots.clear();
    frame.Types.clear();
    for (std::size_t i = 0; i < count; ++i) {
      const TVarInfo* info = GetVarInfoItem(static_cast<int>(i));
      frame.Types.push_back(info->VarType & 0x7F);
      frame.Owned.push_back(NewValueOfType(frame.Types.back(), info->TypeName));
      frame.Slots.push_back(frame.Owned.back().get());
    }
  } else {
    for (std::size_t i = 0; i < count; ++i) ResetValue(*frame.Slots[i], frame.Types[i]);
  }
  frame.Targets.assign(static_cast<std::size_t>(std::max(Calls, 0)), nullptr);
  return frame;
}

// One activation of a routine: its frame is the routine's current one while
// it lasts, also when an error passes through.
class TRoutineFrame {
 public:
  explicit TRoutineFrame(TOilProc& proc) : proc_(proc), saved_(proc.frame_) {
    proc.frame_ = &proc.EnterFrame();
    ++proc.depth_;
  }
  ~TRoutineFrame() {
    --proc_.depth_;
    proc_.frame_ = saved_;
  }
  TRoutineFrame(const TRoutineFrame&) = delete;
  TRoutineFrame& operator=(const TRoutineFrame&) = delete;

 private:
  TOilProc& proc_;
  TOilFrame* saved_;
};

void TOilProc::Call(std::span<TOilArgument> arguments) {
  TActivation activation;
  TRoutineFrame frame(*this);
  BindParameters(arguments);
  FrameBound();
  ExecuteLines();
  KeepResult();
}

void TOilProc::Execute() {
  Call({});
}

void TOilProc::BindParameters(std::span<TOilArgument> arguments) {
  for (TOilArgument& argument : arguments) {
    const int target = argument.Target;
    if (target < 0 || target >= VarCount()) Fail(rteInternal);
    const auto index = static_cast<std::size_t>(target);
    if (argument.ByRef) {
      if (!argument.Storage || index >= frame_->Targets.size()) Fail(rteNoVariable);
      frame_->Targets[index] = argument.Storage;
      continue;
    }
    if (!argument.Value) Fail(rteNoVariable);
    const int type = frame_->Types[index];
    if (!TypesCompatible(type, TypeCodeOf(*argument.Value))) Fail(rteTypeMismatch);
    if (type == otInteger) frame_->Slots[index]->SetAsInteger(argument.Value.GetAsInteger());
    else AssignToStorage(*frame_->Slots[index], argument.Value);
  }
}

void TOilFunc::KeepResult() { result_ = TOilValue::Of(*VariableSlot(Calls, nullptr)); }

void TParametr::SetExpression(TOilOperator* expression) { SetOwnedElement(expression_, expression); }

TNameEntity* TProcCaller::GetArguments() { return OwnedList<TNameEntity>(*this, parameters_, "Parametry"); }

void TProcCaller::AddArgument(TParametr* parameter) {
  GetArguments()->AddElement(parameter);
  UpdateParameterDepth(*parameter);
}

void TProcCaller::UpdateParameterDepth(const TParametr& parameter) {
  if (parameter.GetExpression()) depth_ = std::max(depth_, 1 + parameter.GetExpression()->Depth());
}

TOilProc* TProcCaller::GetProc() const { return static_cast<TOilProc*>(proc_.Get()); }

void TProcCaller::SetProc(TOilProc* proc) {
  proc_.Set(proc);
  ForgetTypeFlags();
}

unsigned TProcCaller::ComputeTypeFlags() {
  auto* function = DynamicCast<TOilFunc>(GetProc());
  if (!function || function->Calls >= function->VarCount()) return 0;
  return TypeBit(function->GetVarType(function->Calls));
}

TOilProc* TProcCaller::RunProc() {
  const TRunContext* context = TRunContext::Current();
  if (!context) return GetProc();
  if (procRun_ != context->RunNumber()) {
    runProc_ = GetProc();
    procRun_ = context->RunNumber();
  }
  return runProc_;
}

TOilValue TProcCaller::Evaluate() {
  TOilProc* proc = RunProc();
  if (!proc) Fail(rteInternal);
  // Arguments are worked out in the caller's frame, before the callee's
  // frame begins: a recursive call reads the caller's values.  The few
  // arguments of a usual call need no list on the heap.
  if (!parameters_) {
    proc->Call({});
    return proc->GetResult();
  }
  const auto& parameters = static_cast<TEntity*>(parameters_)->Children();
  const std::size_t count = parameters.size();
  constexpr std::size_t kInline = 2;
  std::array<TOilArgument, kInline> inlineArguments;
  std::vector<TOilArgument> moreArguments;
  if (count > kInline) moreArguments.resize(count);
  const std::span<TOilArgument> arguments =
      count > kInline ? std::span<TOilArgument>(moreArguments) : std::span<TOilArgument>(inlineArguments).first(count);
  for (std::size_t i = 0; i < count; ++i) {
    auto* parameter = static_cast<TParametr*>(parameters[i]);
    TOilArgument& argument = arguments[i];
    argument.Target = parameter->Target;
    argument.ByRef = parameter->ByRef;
    TOilOperator* expression = parameter->GetExpression();
    if (parameter->ByRef) {
      auto* variable = DynamicCast<TVariable>(expression);
      argument.Storage = variable ? variable->Storage() : nullptr;
    } else if (expression && expression->TypeFlags() == TypeBit(otInteger)) {
      argument.Value = TOilValue::Integer(expression->EvaluateInteger());
    } else if (expression) {
      argument.Value = expression->Evaluate();
    }
  }
  proc->Call(arguments);
  return proc->GetResult();
}

// ---------------------------------------------------------------- statements

bool ConditionValue(TOilOperator* condition) {
  TOilValue value = condition ? condition->Evaluate() : nullptr;
  if (!value) Fail(rteNoVariable);
  if (TypeCodeOf(*value) != otBoolean) Fail(rteNotBoolean);
  return value->GetAsBoolean();
}

void TAssignLine::SetVariable(TVariable* variable) {
  SetOwnedElement(variable_, variable);
  shape_ = TShape::Unknown;
}

void TAssignLine::SetExpression(TOilOperator* expression) {
  SetOwnedElement(expression_, expression);
  shape_ = TShape::Unknown;
}

TAssignLine::TShape TAssignLine::Shape() {
  if (shape_ != TShape::Unknown) return shape_;
  auto* target = DynamicCast<TNormalVariable>(GetVariable());
  auto* plus = DynamicCast<TOilPlus>(GetExpression());
  auto* left = plus ? DynamicCast<TNormalVariable>(plus->GetOperand()) : nullptr;
  TOilOperator* right = plus ? plus->GetSecondOperand() : nullptr;
  // Only a right side without effects may run before the left one is read.
  const bool plain = right && (DynamicCast<TOilConst>(right) || DynamicCast<TNormalVariable>(right));
  const bool same = target && left && target->ClassType() == left->ClassType() && target->Block() == left->Block() &&
                    target->VarIndex == left->VarIndex;
  shape_ = plain && same && target->GetValueType() == otString ? TShape::Append : TShape::General;
  return shape_;
}

void TAssignLine::AppendInPlace() {
  const TOilValue right = static_cast<TOilPlus*>(GetExpression())->GetSecondOperand()->Evaluate();
  // As the operator itself raises them.
  if (!right) throw TLangError(rteInternal);
  if (right.Type() != otString && right.Type() != otChar) throw TLangError(rteTypeMismatch);
  const std::string text = right.Type() == otString ? right.Text() : right.GetAsString();
  TVariable* target = GetVariable();
  TTypeElement* storage = target->Storage();
  if (storage->ClassType() == TStringElement::StaticClass()) static_cast<TStringElement*>(storage)->AppendString(text);
  else target->SetValue(TOilValue::String(storage->GetAsString() + text));
}

void TAssignLine::Execute() {
  if (Shape() == TShape::Append) return AppendInPlace();
  TOilOperator* expression = GetExpression();
  TVariable* target = GetVariable();
  // An integer into an INTEGER variable: no value is built on the way.
  if (expression && target && expression->IntegralOnly() && target->GetValueType() == otInteger) {
    target->SetInteger(expression->EvaluateInteger());
    return;
  }
  TOilValue value = GetExpression() ? GetExpression()->Evaluate() : nullptr;
  if (!value) Fail(rteNoValue);
  TVariable* variable = GetVariable();
  if (!variable) Fail(rteNoVariable);
  if (!TypesCompatible(variable->GetValueType(), TypeCodeOf(*value))) Fail(rteTypeMismatch);
  variable->SetValue(std::move(value));
}

void TExprLine::SetExpression(TOilOperator* expression) { SetOwnedElement(expression_, expression); }

void TExprLine::Execute() {
  if (GetExpression()) GetExpression()->Evaluate();
}

void TIfLine::SetCondition(TOilOperator* condition) { SetOwnedElement(condition_, condition); }
void TIfLine::SetThenLine(TOilLine* line) { SetOwnedElement(then_, line); }
void TIfLine::SetElseLine(TOilLine* line) { SetOwnedElement(else_, line); }

void TIfLine::Execute() {
  if (ConditionValue(static_cast<TOilOperator*>(condition_))) ExecuteLine(static_cast<TOilLine*>(then_));
  else if (else_) ExecuteLine(static_cast<TOilLine*>(else_));
}

void TForLine::SetVariable(TNormalVariable* variable) { SetOwnedElement(variable_, variable); }
void TForLine::SetBody(TOilLine* line) { SetOwnedElement(body_, line); }
void TForLine::SetStart(TOilOperator* expression) { SetOwnedElement(start_, expression); }
void TForLine::SetEnd(TOilOperator* expression) { SetOwnedElement(end_, expression); }

std::int32_t TForLine::Bound(TOilOperator* expression, int variableType, TOilValue* keep) {
  TOilValue value = expression ? expression->Evaluate() : nullptr;
  if (!value) Fail(rteNoVariable);
  const int type = TypeCodeOf(*value);
  const bool fits = variableType == otChar ? type == otChar : (type == otByte || type == otInteger);
  if (!fits) Fail(rteTypeMismatch);
  const std::int32_t bound = type == otChar ? static_cast<unsigned char>(value->GetAsChar()) : value->GetAsInteger();
  if (keep) *keep = std::move(value);
  return bound;
}

void TForLine::Execute() {
  auto* variable = static_cast<TNormalVariable*>(variable_);
  if (!variable) Fail(rteNoVariable);
  const int type = variable->GetValueType();
  if (type != otChar && type != otByte && type != otInteger) Fail(rteNoVariable);
  TOilValue startValue;
  const std::int32_t first = Bound(static_cast<TOilOperator*>(start_), type, &startValue);
  variable->SetValue(std::move(startValue));
  const std::int32_t last = Bound(static_cast<TOilOperator*>(end_), type, nullptr);
  // The count is fixed before the body first runs; the counter is written
  // into the variable's own element each time.
  TTypeElement* storage = variable->Storage();
  auto* body = static_cast<TOilLine*>(body_);
  if (Direction) {
    for (std::int64_t counter = first; counter <= last; ++counter) {
      storage->SetAsInteger(static_cast<std::int32_t>(counter));
      ExecuteLine(body);
    }
  } else {
    for (std::int64_t counter = first; counter >= last; --counter) {
      storage->SetAsInteger(static_cast<std::int32_t>(counter));
      ExecuteLine(body);
    }
  }
}

void TWhileLine::SetBody(TOilLine* line) { SetOwnedElement(body_, line); }
void TWhileLine::SetCondition(TOilOperator* condition) { SetOwnedElement(condition_, condition); }

void TWhileLine::Execute() {
  while (ConditionValue(static_cast<TOilOperator*>(condition_))) ExecuteLine(static_cast<TOilLine*>(body_));
}

void TRepeatline::SetCondition(TOilOperator* condition) { SetOwnedElement(condition_, condition); }

void TRepeatline::Execute() {
  do {
    ExecuteLines();
    BetweenStatements();
  } while (!ConditionValue(static_cast<TOilOperator*>(condition_)));
}

void TCaseLine::SetSelector(TOilOperator* selector) { SetOwnedElement(selector_, selector); }
void TCaseLine::SetElseLine(TOilLine* line) { SetOwnedElement(else_, line); }

TEntity* TCaseLine::Labels() { return OwnedList<TEntity>(*this, labels_, "Labels"); }
TEntity* TCaseLine::Lines() { return OwnedList<TEntity>(*this, lines_, "Lines"); }

int TCaseLine::BranchCount() const {
  return labels_ ? static_cast<int>(static_cast<TEntity*>(labels_)->Children().size()) : 0;
}

void TCaseLine::AddBranch(TOilValue label, TOilLine* line) {
  Labels()->AddElement(label.NewElement().release());
  // An empty branch statement keeps its place as a statement that does nothing.
  Lines()->AddElement(line ? line : new TOilLine);
}

namespace {

// Whether a label of one type can match a selector of another, and does.
bool LabelMatches(const TTypeElement& label, const TOilValue& selector) {
  const int l = TypeCodeOf(label), s = TypeCodeOf(selector);
  switch (l) {
    case otBoolean: return s == otBoolean && label.GetAsBoolean() == selector.GetAsBoolean();
    case otChar:
    case otString: return (s == otChar || s == otString) && label.GetAsString() == selector.GetAsString();
    case otFloat:
    case otInteger: return (s == otFloat || s == otInteger) && label.GetAsFloat() == selector.GetAsFloat();
    default: return false;
  }
}

}  // namespace

void TCaseLine::Execute() {
  TOilValue selector = selector_ ? static_cast<TOilOperator*>(selector_)->Evaluate() : nullptr;
  if (!selector) Fail(rteNoVariable);
  if (TypeCodeOf(*selector) >= otElement) Fail(rteBadCaseType);
  const int count = BranchCount();
  for (int i = 0; i < count; ++i) {
    if (LabelMatches(*static_cast<TTypeElement*>(Labels()->Children()[static_cast<std::size_t>(i)]), *selector)) {
      ExecuteLine(static_cast<TOilLine*>(Lines()->Children()[static_cast<std::size_t>(i)]));
      return;
    }
  }
  if (else_) ExecuteLine(static_cast<TOilLine*>(else_));
}

void TProtectBlock::Execute() {
  try {
    ExecuteLines();
  } catch (const TRunTimeError&) {
    // Discarded: the run goes on after the block; the frames it left were
    // removed on the way out.
  }
}

// ---------------------------------------------------------------- class descriptions

#define OIL_PROGRAM_INFO(Self, Parent, ...) OIL_CLASS_INFO(Self, Parent, "OilProgram", __VA_ARGS__)
OIL_PROGRAM_INFO(TOilProc, TOilBlock, FieldProp("Calls", &TOilProc::Calls))
OIL_PROGRAM_INFO(TOilFunc, TOilProc)
OIL_PROGRAM_INFO(TCaller, TOilOperator)
OIL_PROGRAM_INFO(TParametr, TEntity)
OIL_PROGRAM_INFO(TProcCaller, TCaller)
OIL_PROGRAM_INFO(TAssignLine, TOilLine)
OIL_PROGRAM_INFO(TExprLine, TOilLine)
OIL_PROGRAM_INFO(TIfLine, TOilLine)
OIL_PROGRAM_INFO(TForLine, TOilLine)
OIL_PROGRAM_INFO(TWhileLine, TOilLine)
OIL_PROGRAM_INFO(TRepeatline, TOilBlock)
OIL_PROGRAM_INFO(TCaseLine, TOilLine)
OIL_PROGRAM_INFO(TProtectBlock, TOilBlock)
