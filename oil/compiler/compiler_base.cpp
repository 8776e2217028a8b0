#include "oil/compiler/compiler_base.h"

#include "framework/core/class_registry.h"
#include "oil/errors/lang_errors.h"
#include "oil/runtime/program_objects.h"

namespace {
constexpr int kMaxNesting = 200;
}  // namespace

void TCompiler::DoIt() {
  output_.reset();
  output_.reset(Compile());
}

TElement* TCompiler::TakeOutput() { return output_.release(); }

TBlockInfo* TCompiler::TopBlockInfo() const {
  return context_->BlockInfos.empty() ? nullptr : context_->BlockInfos.back().get();
}

void TCompiler::PushBlockInfo(std::unique_ptr<TBlockInfo> info) { context_->BlockInfos.push_back(std::move(info)); }

void TCompiler::PopBlockInfo() {
  if (!context_->BlockInfos.empty()) context_->BlockInfos.pop_back();
}

TProcHeaderInfo* TCompiler::FindHeader(const std::string& name) const {
  const std::string upper = AsciiUpperCase(name);
  for (auto it = context_->ProcHeaders.rbegin(); it != context_->ProcHeaders.rend(); ++it)
    if ((*it)->Name == upper) return it->get();
  return nullptr;
}

bool TCompiler::RoutineExists(const std::string& name) const { return FindHeader(name) != nullptr; }

bool TCompiler::ProcedureExists(const std::string& name) const {
  const std::string upper = AsciiUpperCase(name);
  for (auto it = context_->ProcHeaders.rbegin(); it != context_->ProcHeaders.rend(); ++it)
    if ((*it)->Name == upper && !dynamic_cast<TFuncHeaderInfo*>(it->get())) return true;
  return false;
}

TNormalVariable* TCompiler::FindVariable(const std::string& name) const {
  const std::string upper = AsciiUpperCase(name);
  for (auto scope = context_->BlockInfos.rbegin(); scope != context_->BlockInfos.rend(); ++scope) {
    const std::vector<std::string>& names = (*scope)->Names;
    for (int slot = static_cast<int>(names.size()) - 1; slot >= 0; --slot) {
      if (names[static_cast<std::size_t>(slot)] != upper) continue;
      auto* proc = dynamic_cast<TProcInfo*>(scope->get());
      TNormalVariable* variable =
          proc && slot < proc->ParamCount ? new TCalledVariable : new TNormalVariable;
      variable->VarIndex = slot;
      variable->SetBlock((*scope)->Block);
      return variable;
    }
  }
  return nullptr;
}

TCompiler::Position TCompiler::TokenPosition() const {
  return {context_->Scanner->RealLine, context_->Scanner->RealPos};
}

TCompiler::Position TCompiler::CurrentPosition() const {
  const TPreCompiler& scanner = *context_->Scanner;
  // Past the last line the position is the end of the text.
  if (scanner.GetLine() >= scanner.LineCount() && scanner.LineCount() > 0) {
    const int last = scanner.LineCount() - 1;
    return {last, static_cast<int>(scanner.GetSourceLines()[static_cast<std::size_t>(last)].size()) + 1};
  }
  return {scanner.GetLine(), scanner.Pos};
}

void TCompiler::GoBack(Position position) {
  TPreCompiler* scanner = context_->Scanner;
  scanner->ClearUnreadToken();
  scanner->SetLine(position.Line);
  scanner->Pos = position.Pos;
}

void TCompiler::ErrorAt(Position position, int code, const std::string& text) const {
  throw TCompilerError(code, position.Line, position.Pos, text);
}

TDeclaredType TCompiler::ReadDeclaredType(int errorCode, const std::string& errorText) {
  std::string text;
  const int token = ReadToken(text);
  TDeclaredType type;
  type.Code = TypeKeywordCode(token);
  if (type.Code >= 0) {
    type.Name = AsciiUpperCase(text);
  } else if (token == tokIdentifier) {
    EnsureTPrefix(text);
    if (!FindKestuClass(text)) ErrorAtToken(cerUnknownType);
    type.Code = otElement;
    type.Name = AsciiUpperCase(text);
  } else {
    ErrorAtToken(errorCode, errorText);
  }
  return type;
}

TNesting::TNesting(TCompiler& compiler) : context_(*compiler.Context()) {
  if (++context_.Nesting > kMaxNesting) {
    --context_.Nesting;
    const TPreCompiler* scanner = context_.Scanner;
    throw TCompilerError(cerSyntax, scanner->RealLine, scanner->RealPos, "");
  }
}

TNesting::~TNesting() { --context_.Nesting; }

int TypeKeywordCode(int token) {
  switch (token) {
    case tokBooleanType: return otBoolean;
    case tokCharType: return otChar;
    case tokFloatType: return otFloat;
    case tokStringType: return otString;
    case tokIntegerType: return otInteger;
    default: return -1;
  }
}

bool AssignmentCompatible(unsigned target, unsigned source) {
  if ((target & source & kAllTypes) != 0) return true;
  if ((target & TypeBit(otFloat)) && (source & kIntegralTypes)) return true;
  if ((target & TypeBit(otInteger)) && (source & TypeBit(otByte))) return true;
  return (target & TypeBit(otString)) && (source & TypeBit(otChar));
}

OIL_CLASS_INFO(TCompiler, TTechnology, "OilCompiler")
