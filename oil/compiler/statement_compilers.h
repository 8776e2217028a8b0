#pragma once
// The compilers of statements: each turns one statement into one runtime
// statement object.
#include "oil/compiler/expression_compilers.h"

class TOilBlock;
class TOilLine;

class TCommandCompiler : public TCompiler {
  KESTX_CLASS(TCommandCompiler)
 public:
  std::uint8_t Debug = 0;

 protected:
  TElement* Compile() override;
  std::uint8_t* DebugSwitch() override { return &Debug; }
  TElement* Statement(int token);

 private:
  TCompiler* for_ = nullptr;
  TCompiler* if_ = nullptr;
  TCompiler* while_ = nullptr;
  TCompiler* repeat_ = nullptr;
  TCompiler* case_ = nullptr;
  TCompiler* try_ = nullptr;
  TCompiler* begin_ = nullptr;
  TCompiler* other_ = nullptr;
};

class TLineCompiler : public TWithExprCompiler {
  KESTX_CLASS(TLineCompiler)
 protected:
  std::unique_ptr<TOilLine> Statement();
  // Reads the keyword that begins the statement (error 1 with it otherwise).
  void Keyword(int token);
  // A condition: an expression that may be Boolean.
  std::unique_ptr<TOilOperator> Condition();
  // Statements, each followed by ";", appended to the block until the token end.
  void StatementsUntil(TOilBlock& block, int end);

 private:
  TCompiler* command_ = nullptr;
};

#define OIL_LINE_COMPILER(Name)       \
  class Name : public TLineCompiler { \
    KESTX_CLASS(Name)                 \
   protected:                         \
    TElement* Compile() override;     \
  };

OIL_LINE_COMPILER(TForCompiler)
OIL_LINE_COMPILER(TIfCompiler)
OIL_LINE_COMPILER(TWhileCompiler)
OIL_LINE_COMPILER(TRepeatCompiler)
OIL_LINE_COMPILER(TCaseCompiler)
OIL_LINE_COMPILER(TTryCompiler)
OIL_LINE_COMPILER(TBeginCompiler)

// Assignments, calls as statements and declarations of variables.
class TOtherCompiler : public TWithExprCompiler {
  KESTX_CLASS(TOtherCompiler)
 protected:
  TElement* Compile() override;

 private:
  TElement* Declaration(std::string name, Position nameAt, int separator);
  TCompiler* term_ = nullptr;
  TCompiler* caller_ = nullptr;
};
