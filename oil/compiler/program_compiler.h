#pragma once
// Declarations of procedures and functions, and the compiler of a whole
// program text into a program object ready to run.
#include <string>
#include <vector>

#include "oil/compiler/statement_compilers.h"

class TOilProgram;

class TFuncDeclarationCompiler : public TWithExprCompiler {
  KESTX_CLASS(TFuncDeclarationCompiler)
 protected:
  TElement* Compile() override;
  // Routines while FUNCTION or PROCEDURE follows, each followed by ";".
  void Routines(TOilProc& parent);
  // Statements, each followed by ";", appended until END.
  void Body(TOilBlock& block);

 private:
  void Parameters(TProcHeaderInfo& header);
  TCompiler* declaration_ = nullptr;
  TCompiler* command_ = nullptr;
};

class TProgramCompiler : public TFuncDeclarationCompiler {
  KESTX_CLASS(TProgramCompiler)
 public:
  TProgramCompiler();
  ~TProgramCompiler() override;
  void SetSourceLines(const std::vector<std::string>& lines);
  const std::vector<std::string>& GetSourceLines() const;
  // The program compiled last, handed over (nil after an error).
  TOilProgram* TakeProgram();

 protected:
  TElement* Compile() override;

 private:
  std::unique_ptr<TCompileContext> context_;
  TElement* scanner_ = nullptr;
  bool compiling_ = false;
};

// Compiles a program text, as debugging twins when asked; raises TCompilerError.
std::unique_ptr<TOilProgram> CompileOilProgram(const std::vector<std::string>& lines, bool debug = false);
