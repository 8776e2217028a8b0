#pragma once
// The debugging twins of the program objects.  A twin statement stops before
// it runs when it is flagged and tells the program's observer where; an error
// that passes through it without a source line gets the statement's.  Twin
// blocks keep the names of their variables on a stack beside the values, so
// that a debugger shows names beside values at a stop.
#include <atomic>
#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "oil/errors/lang_errors.h"
#include "oil/runtime/program_run.h"

class TKestuMessage;

// A variable's description that keeps the variable's source name (a
// by-reference parameter's followed by "+").
class TDBVarInfo : public TVarInfo {
  KESTX_CLASS(TDBVarInfo)
 public:
  std::string VarName;
};

// One entry of a name stack: a variable's name and, while its activation
// lasts, its storage.
class TDBStackName : public TNameElement {
  KESTX_CLASS(TDBStackName)
 public:
  TTypeElement* Value = nullptr;
};

// The name stack of a twin block ("NameSTACK" followed by the block's name),
// shared down the program as the value stack is.
class TDBNames {
 public:
  virtual ~TDBNames() = default;
  virtual TOwnerEntity* GetNameStack() = 0;
  virtual void SetNameStack(TOwnerEntity* stack) = 0;
};

// The inner block takes the enclosing block's value stack and, when both
// are twins, its name stack.
void ShareStacks(TOilBlock& enclosing, TOilBlock& inner);

// Stops before a flagged statement: called by every twin statement.
void StopAtFlaggedLine(int sourceLine);

template <class Plain>
class TDBLine : public Plain {
 public:
  TOilDebugInfo GetDebugInfo() const override {
    return {breakpoint_.load(std::memory_order_relaxed), this->GetSourceLine()};
  }
  void SetDebugInfo(const TOilDebugInfo& info) override {
    breakpoint_.store(info.Breakpoint, std::memory_order_relaxed);
    this->SetSourceLine(info.SourceLine);
  }
  void Execute() override {
    if (breakpoint_.load(std::memory_order_relaxed)) StopAtFlaggedLine(this->GetSourceLine());
    try {
      Plain::Execute();
    } catch (TLangError& error) {
      if (error.Line < 0) error.Line = this->GetSourceLine();
      throw;
    }
  }

 private:
  // Flagged by the debugger on the user-interface thread, read by the run.
  std::atomic<bool> breakpoint_{false};
};

#define OIL_DEBUG_LINE(Name, Plain)   \
  class Name : public TDBLine<Plain> { \
    KESTX_CLASS(Name)                 \
  };

OIL_DEBUG_LINE(TDBAssignLine, TAssignLine)
OIL_DEBUG_LINE(TDBExprLine, TExprLine)
OIL_DEBUG_LINE(TDBIfLine, TIfLine)
OIL_DEBUG_LINE(TDBForLine, TForLine)
OIL_DEBUG_LINE(TDBWhileLine, TWhileLine)
OIL_DEBUG_LINE(TDBRepeatLine, TRepeatline)
OIL_DEBUG_LINE(TDBCaseLine, TCaseLine)
OIL_DEBUG_LINE(TDBProtectBlock, TProtectBlock)

#undef OIL_DEBUG_LINE

// A BEGIN block with variables of its own.
class TDBOilBlock : public TDBLine<TOilBlock>, public TDBNames {
  KESTX_CLASS(TDBOilBlock)
 public:
  TOwnerEntity* GetNameStack() override;
  void SetNameStack(TOwnerEntity* stack) override;
  void PushVariables() override;
  void Execute() override;

 protected:
  TVarInfo* NewVarInfo(const std::string& name) override;

 private:
  TElement* names_ = nullptr;
};

namespace debug_detail {
TOwnerEntity* OwnedNameStack(TOilBlock& block, TElement*& field);
TVarInfo* NamedVarInfo(const std::string& name);
// Pushes the names of the routine's activation beside its frame's storage.
void PushRoutineNames(TOilProc& routine, TOwnerEntity& names);
// Removes the names an activation pushed when it ends, also when an error
// passes through it.
class TNamesMark {
 public:
  explicit TNamesMark(TOwnerEntity& names);
  ~TNamesMark();
  TNamesMark(const TNamesMark&) = delete;
  TNamesMark& operator=(const TNamesMark&) = delete;

 private:
  TOwnerEntity& names_;
  std::size_t count_;
};
}  // namespace debug_detail

// A procedure or function twin: each activation's names while it lasts.
template <class Plain>
class TDBRoutine : public Plain, public TDBNames {
 public:
  TOwnerEntity* GetNameStack() override { return debug_detail::OwnedNameStack(*this, names_); }
  void SetNameStack(TOwnerEntity* stack) override { this->SetOwnedElement(names_, stack); }
  void Call(std::span<TOilArgument> arguments) override {
    debug_detail::TNamesMark mark(*GetNameStack());
    Plain::Call(arguments);
  }

 protected:
  TVarInfo* NewVarInfo(const std::string& name) override { return debug_detail::NamedVarInfo(name); }
  void FrameBound() override { debug_detail::PushRoutineNames(*this, *GetNameStack()); }

 private:
  TElement* names_ = nullptr;
};

class TDBOilProc : public TDBRoutine<TOilProc> {
  KESTX_CLASS(TDBOilProc)
};

class TDBOilFunc : public TDBRoutine<TOilFunc> {
  KESTX_CLASS(TDBOilFunc)
};

// Reports to an observer instead of the user: 73 when a run starts, a
// TLineMessage (76) at a flagged statement, 78 when resumed, a TErrorMessage
// (75) instead of the message box, and 74 once the run's thread has ended.
// The messages reach the observer on the user-interface thread, when it next
// delivers messages, in the order of what they tell: a resume before the stop
// that follows it, whichever thread gets on first.
class TDBOilProgram : public TOilProgram, public TDBNames {
  KESTX_CLASS(TDBOilProgram)
 public:
  // Not owned: held by link, so an observer freed meanwhile is told nothing.
  void SetObserver(TElement* observer) { observer_.Set(observer); }
  TElement* Observer() const { return observer_.Get(); }

  TOwnerEntity* GetNameStack() override;
  void SetNameStack(TOwnerEntity* stack) override;

  void ResumeRun() override;
  void ThreadTerminated() override;
  void ShowRunReport(const std::string& text, int line) override;
  void PushVariables() override;
  void PopVariables() override;

  // The variables of the activations alive at this moment, outermost first:
  // each name beside its value as text.  Read while the run is stopped.
  std::vector<std::pair<std::string, std::string>> VisibleVariables();

  // On the run's thread: tells the observer the line and stops there until resumed.
  void LineReached(int sourceLine);

 protected:
  TVarInfo* NewVarInfo(const std::string& name) override;
  void RunStarting() override;

 private:
  // Delivers to the observer on the user-interface thread after what the run
  // sent before.
  void Notify(int code, int line = -1, const std::string& text = {});

  TElement* names_ = nullptr;
  TElementLink observer_;
};
