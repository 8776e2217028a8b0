#pragma once
// The creators that compile condition texts into operator trees.
#include <string>

#include "framework/tools/tools.h"

class TCondition;
class TOperator;

class TExpressionCreator : public TTool {
  KESTX_CLASS(TExpressionCreator)
 public:
  // The text to compile.
  std::string Command;

  // A new operator tree, owned by the caller; raises SyntaxExcept.
  virtual TOperator* ParseExpression(const std::string& text);
  // Output: the tree of Command with a result list attached, nil for an
  // empty Command.  The creator does not own it.
  void DoIt() override;
};

class TCondCreator : public TExpressionCreator {
  KESTX_CLASS(TCondCreator)
 public:
  // Output: a new TCondition named "Condition" over the tree of Command; one
  // without operand, which never holds, for an empty Command.  The caller
  // owns it, also when a syntax error leaves it without operand.
  void DoIt() override;
};

// Compiles text with the creator and hands over the condition.  After a
// syntax error nothing is left over: the condition is freed before the error
// passes on.
TCondition* CompileCondition(TCondCreator& creator, const std::string& text);
