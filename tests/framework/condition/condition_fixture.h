#pragma once
// Compiling and evaluating condition texts in the tests of the condition
// language.
#include <memory>
#include <string>

#include "framework/condition/condition_compiler.h"
#include "framework/condition/condition_syntax.h"
#include "framework/condition/operators.h"
#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "tests/framework/framework_fixture.h"

// One letter per type code: Boolean, Char, byte, Float, String, Integer, Pointer, Other.
inline constexpr char kTypeLetters[] = "BCbFSIPO";

// The error of parsing text, "message@position", or "compiles".
inline std::string CompileError(const std::string& text) {
  TExpressionCreator creator;
  try {
    delete creator.ParseExpression(text);
  } catch (const SyntaxExcept& e) {
    return std::string(e.what()) + "@" + std::to_string(e.Position);
  }
  return "compiles";
}

class ConditionFixture : public FrameworkTest {
 protected:
  static std::unique_ptr<TCondition> Compile(const std::string& text) {
    TCondCreator creator;
    return std::unique_ptr<TCondition>(CompileCondition(creator, text));
  }
  // The operator tree with its result list; nil for an empty text.
  static std::unique_ptr<TOperator> Tree(const std::string& text) {
    TExpressionCreator creator;
    creator.Command = text;
    creator.DoIt();
    return std::unique_ptr<TOperator>(static_cast<TOperator*>(creator.Output()));
  }
  // The value of the tree for the element, "type:text" with the type's letter in kTypeLetters, or "none".
  static std::string ValueOf(TOperator& tree, TElement* element) {
    tree.SetResultItem(0, element);
    tree.DoIt();
    std::string result = "none";
    if (auto* value = DynamicCast<TTypeElement>(tree.Output())) {
      const bool isFloat = value->GetTyp() == TType::Float;
      result = std::string(1, kTypeLetters[static_cast<int>(value->GetTyp())]) + ":" +
               (isFloat ? FloatToText(value->GetAsFloat()) : value->GetAsString());
    }
    tree.ReleaseResult();
    return result;
  }
};
