#pragma once
// What every construct compiler shares: the scanner, the stack of scopes
// with the variable names, the declared routines, positions for errors, and
// the resolution of variable names.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/tools/tools.h"
#include "oil/compiler/pre_compiler.h"

class TOilBlock;
class TOilProc;
class TNormalVariable;

// One scope: the block being compiled and its variables' names by slot.
struct TBlockInfo {
  virtual ~TBlockInfo() = default;
  TOilBlock* Block = nullptr;
  // Upper-cased, compared whole.
  std::vector<std::string> Names;
};

// A routine's scope: its first ParamCount slots are by-reference parameters.
struct TProcInfo : TBlockInfo {
  std::int32_t ParamCount = 0;
};

// One parameter of a declared routine.
struct TVarCompileInfo {
  std::string Name;  // upper-cased
  bool ByRef = false;
  std::int32_t Slot = 0;
  int TypeCode = 0;
  std::string TypeName;
};

struct TProcHeaderInfo {
  virtual ~TProcHeaderInfo() = default;
  TOilProc* Proc = nullptr;
  std::string Name;  // upper-cased
  std::vector<TVarCompileInfo> Parameters;
};

struct TFuncHeaderInfo : TProcHeaderInfo {
  int ResultType = 0;
  std::string ResultTypeName;
};

// The state of one compilation, shared by all its compilers.
struct TCompileContext {
  TPreCompiler* Scanner = nullptr;
  std::vector<std::unique_ptr<TBlockInfo>> BlockInfos;
  std::vector<std::unique_ptr<TProcHeaderInfo>> ProcHeaders;
  // How deeply constructs nest at this point of the compilation.
  int Nesting = 0;
};

// A declared type: its code and its type name (the upper-cased keyword, or
// the upper-cased class name with its "T").
struct TDeclaredType {
  int Code = 0;
  std::string Name;
};

// A block has at most this many variables.
constexpr int kMaxBlockVariables = 50;

class TCompiler : public TTechnology {
  KESTX_CLASS(TCompiler)
 public:
  struct Position {
    int Line;
    int Pos;
  };
  // Where the last token began, and where the scanner stands (past the last
  // line: the end of the text).
  Position TokenPosition() const;
  Position CurrentPosition() const;

  // Compiles one construct; the result is taken over with TakeOutput.
  void DoIt() override;
  TElement* TakeOutput();

  TCompileContext* Context() const { return context_; }
  void SetContext(TCompileContext* context) { context_ = context; }
  TPreCompiler* GetPreCompiler() const { return context_->Scanner; }

  TBlockInfo* TopBlockInfo() const;
  void PushBlockInfo(std::unique_ptr<TBlockInfo> info);
  void PopBlockInfo();
  bool RoutineExists(const std::string& name) const;
  bool ProcedureExists(const std::string& name) const;
  TProcHeaderInfo* FindHeader(const std::string& name) const;
  // A new variable object for the name, or nil when no scope declares it.
  TNormalVariable* FindVariable(const std::string& name) const;

 protected:
  // The construct's compilation: the object built, owned by the caller.
  virtual TElement* Compile() { return nullptr; }

  int ReadToken(std::string& text) { return context_->Scanner->ReadToken(text); }
  int ReadToken() {
    std::string text;
    return ReadToken(text);
  }
  void UnreadToken() { context_->Scanner->UnreadToken(); }
  char CurrentChar() const { return context_->Scanner->CurrentChar(); }


  // Moves the scanner back (forgetting a pushed-back token).
  void GoBack(Position position);
  // Reads a type keyword or a registered class name (error 10 for an unknown
  // class); any other token is the error given.
  TDeclaredType ReadDeclaredType(int errorCode, const std::string& errorText);
  [[noreturn]] void ErrorAt(Position position, int code, const std::string& text = {}) const;
  [[noreturn]] void ErrorAtToken(int code, const std::string& text = {}) const { ErrorAt(TokenPosition(), code, text); }
  [[noreturn]] void ErrorHere(int code, const std::string& text = {}) const { ErrorAt(CurrentPosition(), code, text); }

  // The debugging switch of the compilers that hold one, else nil.
  virtual std::uint8_t* DebugSwitch() { return nullptr; }

  // A sub-compiler made on first use and kept as a sub-tool; one that holds
  // a debugging switch gets this compiler's.
  template <class T>
  T* Sub(TCompiler*& field) {
    if (!field) {
      auto* compiler = new T;
      compiler->SetContext(context_);
      if (std::uint8_t* mine = DebugSwitch())
        if (std::uint8_t* theirs = static_cast<TCompiler*>(compiler)->DebugSwitch()) *theirs = *mine;
      AddTool(compiler);
      field = compiler;
    }
    return static_cast<T*>(field);
  }
  // Runs a sub-compiler and takes its result.
  template <class R, class T>
  std::unique_ptr<R> Run(TCompiler*& field) {
    T* compiler = Sub<T>(field);
    compiler->DoIt();
    return std::unique_ptr<R>(static_cast<R*>(compiler->TakeOutput()));
  }

 private:
  TCompileContext* context_ = nullptr;
  std::unique_ptr<TElement> output_;
};

// A new runtime object of the plain class, or of its debugging twin.
template <class Plain, class Twin>
std::unique_ptr<Plain> NewPlainOrTwin(bool debug) {
  return debug ? std::unique_ptr<Plain>(new Twin) : std::make_unique<Plain>();
}

// Counts one level of nesting for the time of a construct; too deep a
// nesting is a syntax error at the token where it happens, not an overflow.
class TNesting {
 public:
  explicit TNesting(TCompiler& compiler);
  ~TNesting();
  TNesting(const TNesting&) = delete;
  TNesting& operator=(const TNesting&) = delete;

 private:
  TCompileContext& context_;
};

// Type codes of the type keywords, or -1.
int TypeKeywordCode(int token);
// Whether a variable of target flags can take a value of source flags.
bool AssignmentCompatible(unsigned target, unsigned source);
