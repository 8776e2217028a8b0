#include "oil/compiler/program_compiler.h"

#include "framework/core/class_registry.h"
#include "oil/errors/lang_errors.h"
#include "oil/runtime/debug_objects.h"

namespace {

// Pops the scope pushed for a construct, also when its compilation fails.
class TScopeGuard {
 public:
  explicit TScopeGuard(TCompiler& compiler) : compiler_(compiler) {}
  ~TScopeGuard() { compiler_.PopBlockInfo(); }
  TScopeGuard(const TScopeGuard&) = delete;
  TScopeGuard& operator=(const TScopeGuard&) = delete;

 private:
  TCompiler& compiler_;
};

}  // namespace

void TFuncDeclarationCompiler::Routines(TOilProc& parent) {
  for (;;) {
    const int token = ReadToken();
    UnreadToken();
    if (token != tokFunction && token != tokProcedure) return;
    parent.GetSubProcedures()->AddElement(Run<TElement, TFuncDeclarationCompiler>(declaration_).release());
    if (ReadToken() != tokSemicolon) ErrorHere(cerExpected, ";");
  }
}

void TFuncDeclarationCompiler::Body(TOilBlock& block) {
  if (ReadToken() != tokBegin) ErrorAtToken(cerExpected, "BEGIN");
  if (Debug) block.SetSourceLine(TokenPosition().Line);
  for (;;) {
    if (ReadToken() == tokEnd) return;
    UnreadToken();
    block.AddLine(Run<TOilLine, TCommandCompiler>(command_).release());
    if (ReadToken() != tokSemicolon) ErrorAtToken(cerExpected, ";");
  }
}

void TFuncDeclarationCompiler::Parameters(TProcHeaderInfo& header) {
  for (;;) {
    std::string text;
    const bool byRef = ReadToken(text) == tokVar;
    if (!byRef) UnreadToken();
    const std::size_t groupStart = header.Parameters.size();
    for (;;) {
      if (ReadToken(text) != tokIdentifier) ErrorAtToken(cerExpected, "identifikátor proměnné");
      const std::string upper = AsciiUpperCase(text);
      for (const TVarCompileInfo& known : header.Parameters)
        if (known.Name == upper) ErrorAtToken(cerIdentifierUsed);
      TVarCompileInfo parameter;
      parameter.Name = upper;
      parameter.ByRef = byRef;
      header.Parameters.push_back(parameter);
      const int separator = ReadToken();
      if (separator == tokColon) break;
      if (separator != tokComma) ErrorAtToken(cerExpected, ":");
    }
    const TDeclaredType type = ReadDeclaredType(cerExpected, "identifikátor typu");
    for (std::size_t i = groupStart; i < header.Parameters.size(); ++i) {
      header.Parameters[i].TypeCode = type.Code;
      header.Parameters[i].TypeName = type.Name;
    }
    const int token = ReadToken();
    if (token == tokRParen) return;
    if (token != tokSemicolon) ErrorAtToken(cerExpected, ")");
  }
}

TElement* TFuncDeclarationCompiler::Compile() {
  const int kind = ReadToken();
  if (kind != tokProcedure && kind != tokFunction) ErrorAtToken(cerExpected, "PROCEDURE nebo FUNCTION");
  const bool function = kind == tokFunction;
  std::string name;
  if (ReadToken(name) != tokIdentifier) ErrorAtToken(cerExpected, function ? "jmeno funkce" : "jmeno procedury");
  if (RoutineExists(name)) ErrorHere(cerIdentifierUsed);
  auto& headers = Context()->ProcHeaders;
  headers.push_back(function ? std::make_unique<TFuncHeaderInfo>() : std::make_unique<TProcHeaderInfo>());
  TProcHeaderInfo& header = *headers.back();
  header.Name = AsciiUpperCase(name);
  const std::size_t headerCount = headers.size();
  std::unique_ptr<TOilProc> routine(function ? NewPlainOrTwin<TOilFunc, TDBOilFunc>(Debug).release()
                                              : NewPlainOrTwin<TOilProc, TDBOilProc>(Debug).release());
  routine->SetName(name);
  header.Proc = routine.get();
  if (function) {
    TVarCompileInfo result;
    result.Name = "RESULT";
    header.Parameters.push_back(result);
  }
  TBlockInfo* enclosing = TopBlockInfo();
  if (enclosing && enclosing->Block) ShareStacks(*enclosing->Block, *routine);
  auto scopeInfo = std::make_unique<TProcInfo>();
  scopeInfo->Block = routine.get();
  TProcInfo& scope = *scopeInfo;
  PushBlockInfo(std::move(scopeInfo));
  TScopeGuard popScope(*this);

  if (ReadToken() == tokLParen) {
    if (ReadToken() != tokRParen) {
      UnreadToken();
      Parameters(header);
    }
  } else {
    UnreadToken();
  }
  if (function) {
    if (ReadToken() != tokColon) ErrorAtToken(cerExpected, ":");
    const TDeclaredType type = ReadDeclaredType(cerExpected, "identifikátor typu");
    header.Parameters.front().TypeCode = type.Code;
    header.Parameters.front().TypeName = type.Name;
    auto& functionHeader = static_cast<TFuncHeaderInfo&>(header);
    functionHeader.ResultType = type.Code;
    functionHeader.ResultTypeName = type.Name;
  }
  if (ReadToken() != tokSemicolon) ErrorAtToken(cerExpected, ";");

  // By-reference parameters first, then RESULT and the by-value ones.
  std::vector<TVarCompileInfo*> order;
  for (TVarCompileInfo& parameter : header.Parameters)
    if (parameter.ByRef) order.push_back(&parameter);
  const int byRefCount = static_cast<int>(order.size());
  for (TVarCompileInfo& parameter : header.Parameters)
    if (!parameter.ByRef) order.push_back(&parameter);
  if (static_cast<int>(order.size()) > kMaxBlockVariables) ErrorAtToken(cerTooManyVariables);
  for (std::size_t slot = 0; slot < order.size(); ++slot) {
    order[slot]->Slot = static_cast<std::int32_t>(slot);
    routine->AddVariable(order[slot]->TypeCode, order[slot]->TypeName,
                         order[slot]->ByRef ? order[slot]->Name + "+" : order[slot]->Name);
    scope.Names.push_back(order[slot]->Name);
  }
  scope.ParamCount = byRefCount;
  routine->Calls = byRefCount;
  if (function) header.Parameters.erase(header.Parameters.begin());

  Routines(*routine);
  Body(*routine);
  // Routines declared inside are not callable after this one's END.
  headers.resize(headerCount);
  return routine.release();
}

// ---------------------------------------------------------------- the program

TProgramCompiler::TProgramCompiler() : context_(std::make_unique<TCompileContext>()) {
  auto* scanner = new TPreCompiler;
  AddElement(scanner);
  scanner_ = scanner;
  context_->Scanner = scanner;
  SetContext(context_.get());
}

TProgramCompiler::~TProgramCompiler() = default;

void TProgramCompiler::SetSourceLines(const std::vector<std::string>& lines) { context_->Scanner->SetSourceLines(lines); }

const std::vector<std::string>& TProgramCompiler::GetSourceLines() const { return context_->Scanner->GetSourceLines(); }

TOilProgram* TProgramCompiler::TakeProgram() { return static_cast<TOilProgram*>(TakeOutput()); }

TElement* TProgramCompiler::Compile() {
  // Messages processed while compiling may not start another compilation.
  if (compiling_) return nullptr;
  compiling_ = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{compiling_};
  context_->BlockInfos.clear();
  context_->ProcHeaders.clear();
  context_->Nesting = 0;
  TPreCompiler& scanner = *context_->Scanner;

  if (ReadToken() != tokProgram) ErrorHere(cerExpected, "PROGRAM");
  auto program = NewPlainOrTwin<TOilProgram, TDBOilProgram>(Debug);
  const Position afterKeyword = CurrentPosition();
  std::string name;
  if (ReadToken(name) != tokIdentifier) ErrorAt(afterKeyword, cerExpected, "jméno programu");
  program->SetName(name);
  const int semicolon = ReadToken();
  scanner.StartProgress("Compiling: " + name, 0, scanner.LineCount());
  // The progress display ends however the compilation ends.
  struct EndProgress {
    TPreCompiler& scanner;
    ~EndProgress() { scanner.EndProgress(); }
  } endProgress{scanner};
  if (semicolon != tokSemicolon) ErrorAtToken(cerExpected, ";");

  auto scopeInfo = std::make_unique<TProcInfo>();
  scopeInfo->Block = program.get();
  TProcInfo& scope = *scopeInfo;
  PushBlockInfo(std::move(scopeInfo));
  TScopeGuard popScope(*this);
  const char* predefined[] = {"WORLD", "MAINTOOL", "ACTIVEELEMENT"};
  const char* typeNames[] = {"TELEMENT", "TTOOL", "TELEMENT"};
  for (int i = 0; i < 3; ++i) {
    program->AddVariable(otElement, typeNames[i], predefined[i]);
    scope.Names.push_back(predefined[i]);
  }
  Routines(*program);
  Body(*program);
  if (CurrentChar() != '.') ErrorHere(cerExpected, ".");
  ReadToken();
  if (ReadToken() != tokEndOfSource) ErrorAtToken(cerExpected, "konec souboru");
  return program.release();
}

std::unique_ptr<TOilProgram> CompileOilProgram(const std::vector<std::string>& lines, bool debug) {
  TProgramCompiler compiler;
  compiler.Debug = debug ? 1 : 0;
  compiler.SetSourceLines(lines);
  compiler.DoIt();
  return std::unique_ptr<TOilProgram>(compiler.TakeProgram());
}

OIL_CLASS_INFO(TFuncDeclarationCompiler, TWithExprCompiler, "OilProgramCompiler")
OIL_CLASS_INFO(TProgramCompiler, TFuncDeclarationCompiler, "OilProgramCompiler")
