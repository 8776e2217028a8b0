#include "oil/runtime/debug_objects.h"

#include "framework/core/messages.h"
#include "framework/tools/world.h"
#include "oil/errors/lang_errors.h"
#include "oil/runtime/debug_messages.h"
#include "oil/runtime/run_context.h"
#include "platform/app_queue.h"

namespace debug_detail {

TOwnerEntity* OwnedNameStack(TOilBlock& block, TElement*& field) {
  if (!field) {
    auto* stack = new TOwnerEntity;
    stack->SetName("NameSTACK" + block.GetName());
    block.AddElement(stack);
    field = stack;
  }
  return static_cast<TOwnerEntity*>(field);
}

TVarInfo* NamedVarInfo(const std::string& name) {
  auto* info = new TDBVarInfo;
  info->VarName = name;
  return info;
}

std::string VarNameOf(TOilBlock& block, int index) {
  auto* info = DynamicCast<TDBVarInfo>(block.GetVarInfoItem(index));
  return info ? info->VarName : std::string();
}

void PushName(TOwnerEntity& names, const std::string& name, TTypeElement* value) {
  auto* entry = new TDBStackName;
  entry->SetName(name);
  entry->Value = value;
  names.AddElement(entry);
}

void PopNamesTo(TOwnerEntity& names, std::size_t count) {
  while (names.Children().size() > count) names.FreeElement(names.Children().back());
}

TNamesMark::TNamesMark(TOwnerEntity& names) : names_(names), count_(names.Children().size()) {}
TNamesMark::~TNamesMark() { PopNamesTo(names_, count_); }

// By-reference parameters show the caller's storage.
void PushRoutineNames(TOilProc& routine, TOwnerEntity& names) {
  for (int i = 0; i < routine.VarCount(); ++i) {
    TTypeElement* value = i < routine.Calls ? routine.ReferenceTarget(i) : routine.VariableSlot(i, nullptr);
    PushName(names, VarNameOf(routine, i), value);
  }
}

}  // namespace debug_detail

using namespace debug_detail;

void ShareStacks(TOilBlock& enclosing, TOilBlock& inner) {
  inner.SetStack(enclosing.GetStack());
  auto* outerNames = dynamic_cast<TDBNames*>(&enclosing);
  auto* innerNames = dynamic_cast<TDBNames*>(&inner);
  if (outerNames && innerNames) innerNames->SetNameStack(outerNames->GetNameStack());
}

void StopAtFlaggedLine(int sourceLine) {
  TRunContext* context = TRunContext::Current();
  if (!context) return;
  if (auto* program = dynamic_cast<TDBOilProgram*>(context->Program())) program->LineReached(sourceLine);
}

// ---------------------------------------------------------------- blocks

TOwnerEntity* TDBOilBlock::GetNameStack() { return OwnedNameStack(*this, names_); }
void TDBOilBlock::SetNameStack(TOwnerEntity* stack) { SetOwnedElement(names_, stack); }
TVarInfo* TDBOilBlock::NewVarInfo(const std::string& name) { return NamedVarInfo(name); }

void TDBOilBlock::PushVariables() {
  TDBLine<TOilBlock>::PushVariables();
  TOwnerEntity& names = *GetNameStack();
  for (int i = 0; i < VarCount(); ++i) PushName(names, VarNameOf(*this, i), GetStackItem(Base + i));
}

void TDBOilBlock::Execute() {
  TNamesMark mark(*GetNameStack());
  TDBLine<TOilBlock>::Execute();
}

// ---------------------------------------------------------------- the program

TOwnerEntity* TDBOilProgram::GetNameStack() { return OwnedNameStack(*this, names_); }
void TDBOilProgram::SetNameStack(TOwnerEntity* stack) { SetOwnedElement(names_, stack); }
TVarInfo* TDBOilProgram::NewVarInfo(const std::string& name) { return NamedVarInfo(name); }

void TDBOilProgram::PushVariables() {
  TOwnerEntity& names = *GetNameStack();
  PopNamesTo(names, 0);
  TOilProgram::PushVariables();
  for (int i = 0; i < VarCount(); ++i) PushName(names, VarNameOf(*this, i), GetStackItem(Base + i));
}

void TDBOilProgram::PopVariables() {
  TOilProgram::PopVariables();
  PopNamesTo(*GetNameStack(), 0);
}

void TDBOilProgram::RunStarting() { Notify(msgOpenCommandLine); }

void TDBOilProgram::LineReached(int sourceLine) {
  // Nobody would resume a run stopped for no one.
  if (!Observer()) return;
  TRunContext* context = TRunContext::Current();
  // The stop is asked for before the observer hears of it, so that a resume
  // it sends at once is not lost.
  if (context) context->SuspendHere();
  Notify(msgOilLine, sourceLine);
  if (context) context->BetweenStatements();
}

void TDBOilProgram::ResumeRun() {
  if (!Running()) return;
  // Told before the run goes on: its next stop, told from its own thread as
  // soon as it gets there, must not reach the observer first.
  Notify(msgOilResumed);
  TOilProgram::ResumeRun();
}

void TDBOilProgram::ThreadTerminated() {
  TOilProgram::ThreadTerminated();
  Notify(msgOilTerminated);
}

void TDBOilProgram::ShowRunReport(const std::string& text, int line) {
  // With nobody to tell, the user is.
  if (!Observer()) return TOilProgram::ShowRunReport(text, line);
  Notify(msgOilError, line, text);
}

std::vector<std::pair<std::string, std::string>> TDBOilProgram::VisibleVariables() {
  std::vector<std::pair<std::string, std::string>> variables;
  for (TElement* child : GetNameStack()->Children()) {
    auto* entry = static_cast<TDBStackName*>(child);
    variables.emplace_back(entry->GetName(), entry->Value ? entry->Value->GetAsString() : std::string());
  }
  return variables;
}

void TDBOilProgram::Notify(int code, int line, const std::string& text) {
  if (!observer_.IsSet()) return;
  auto deliver = [sender = TElementLink(this), receiver = observer_, code, line, text] {
    // The observer looks at the world the run works on.
    std::lock_guard world(WorldLock());
    TElement* observer = receiver.Get();
    if (!observer) return;
    TKestuMessage* message = nullptr;
    if (code == msgOilLine) {
      auto* lineMessage = new TLineMessage(code, sender.Get(), observer, nullptr, false);
      lineMessage->LineNum = line;
      message = lineMessage;
    } else if (code == msgOilError) {
      auto* errorMessage = new TErrorMessage(code, sender.Get(), observer, nullptr, false);
      errorMessage->Text = text;
      errorMessage->LineNum = line;
      message = errorMessage;
    } else {
      message = new TKestuMessage(code, sender.Get(), observer, nullptr, false);
    }
    SendKestuMessage(message);
  };
  // Queued on either thread: what the user-interface thread tells (a resume,
  // the end) comes after what the run told before it.
  platform::Application::Instance().Invoke(deliver);
}

// ---------------------------------------------------------------- class descriptions

#define OIL_DEBUG_INFO(Self, Parent) OIL_CLASS_INFO(Self, Parent, "OilDebug")
OIL_CLASS_INFO(TDBVarInfo, TVarInfo, "OilDebug", FieldProp("VarName", &TDBVarInfo::VarName))
OIL_DEBUG_INFO(TDBStackName, TNameElement)
OIL_DEBUG_INFO(TDBAssignLine, TAssignLine)
OIL_DEBUG_INFO(TDBExprLine, TExprLine)
OIL_DEBUG_INFO(TDBIfLine, TIfLine)
OIL_DEBUG_INFO(TDBForLine, TForLine)
OIL_DEBUG_INFO(TDBWhileLine, TWhileLine)
OIL_DEBUG_INFO(TDBRepeatLine, TRepeatline)
OIL_DEBUG_INFO(TDBCaseLine, TCaseLine)
OIL_DEBUG_INFO(TDBProtectBlock, TProtectBlock)
OIL_DEBUG_INFO(TDBOilBlock, TOilBlock)
OIL_DEBUG_INFO(TDBOilProc, TOilProc)
OIL_DEBUG_INFO(TDBOilFunc, TOilFunc)
OIL_DEBUG_INFO(TDBOilProgram, TOilProgram)
