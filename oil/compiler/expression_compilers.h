#pragma once
// The compilers of expressions, element paths, calls of OIL routines and
// calls of framework tools.  Each leaves the root of the operator tree it
// built as its output.
#include "oil/compiler/compiler_base.h"

class TOilOperator;

class TExpressionCompiler : public TCompiler {
  KESTX_CLASS(TExpressionCompiler)
 protected:
  TElement* Compile() override;

 private:
  TCompiler* simple_ = nullptr;
};

class TSimpleExpCompiler : public TCompiler {
  KESTX_CLASS(TSimpleExpCompiler)
 protected:
  TElement* Compile() override;

 private:
  TCompiler* term_ = nullptr;
};

class TTermCompiler : public TCompiler {
  KESTX_CLASS(TTermCompiler)
 protected:
  TElement* Compile() override;

 private:
  TCompiler* factor_ = nullptr;
};

class TFactorCompiler : public TCompiler {
  KESTX_CLASS(TFactorCompiler)
 protected:
  TElement* Compile() override;

 private:
  TCompiler* expression_ = nullptr;
  TCompiler* path_ = nullptr;
};

class TPathCompiler : public TCompiler {
  KESTX_CLASS(TPathCompiler)
 protected:
  TElement* Compile() override;

 private:
  // The selectors after the start, while there are any.
  std::unique_ptr<TOilOperator> Selectors(std::unique_ptr<TOilOperator> path, int selector, Position after);
  bool SelectorFollows() const;
  TCompiler* tool_ = nullptr;
  TCompiler* caller_ = nullptr;
  TCompiler* term_ = nullptr;
};

class TWithExprCompiler : public TCompiler {
  KESTX_CLASS(TWithExprCompiler)
 public:
  // Set: the statements and routines are built as their debugging twins,
  // with their source lines and their variables' names.
  std::uint8_t Debug = 0;

 protected:
  std::unique_ptr<TOilOperator> Expression();
  std::uint8_t* DebugSwitch() override { return &Debug; }

 private:
  TCompiler* expression_ = nullptr;
};

class TFuncCallerCompiler : public TWithExprCompiler {
  KESTX_CLASS(TFuncCallerCompiler)
 protected:
  TElement* Compile() override;
};

class TToolCompiler : public TWithExprCompiler {
  KESTX_CLASS(TToolCompiler)
 protected:
  TElement* Compile() override;
};

// The nil constant and the implicit start of a path.
TOilOperator* NewNilConstant();
