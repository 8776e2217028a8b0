#pragma once
// Compiling and evaluating condition texts in the tests of the condition
// language.
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "framework/condition/condition_compiler.h"
#include "framework/condition/condition_syntax.h"
#include "framework/condition/operators.h"
#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "tests/framework/framework_fixture.h"

// An element with published properties of every kind conditions read, and
// attributes it answers only as text.
class TProbe : public TOwnerEntity {
  KESTX_CLASS(TProbe)
 public:
  TProbe() { SetName("P1"); }
  std::int32_t Count = 7;
  std::uint8_t Small = 200;
  double Width = 2.25;
  std::string Label = "12";
  bool Active = true;
  char Letter = 'x';
  TType Kind = TType::Float;
  std::int64_t Big = 5000000000;
  mutable int touched = 0;
  std::map<std::string, std::string> attributes = {  // upper-case names
      {"CODE", "12"}, {"RATIO", "12,5"}, {"SHARE", "12.5"}, {"TAG", "abc"}, {"HUGE", "4294967297"}};

  std::string GetPropertyText(const std::string& name) const override {
    std::string text = TOwnerEntity::GetPropertyText(name);
    if (!text.empty()) return text;
    auto found = attributes.find(AsciiUpperCase(name));
    return found == attributes.end() ? std::string() : found->second;
  }
};

inline TClass TProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TProbe>(
      "TProbe", TOwnerEntity::StaticClass(), "ConditionTest",
      {FieldProp("Count", &TProbe::Count), FieldProp("Small", &TProbe::Small), FieldProp("Width", &TProbe::Width),
       FieldProp("Label", &TProbe::Label), FieldProp("Active", &TProbe::Active), FieldProp("Letter", &TProbe::Letter),
       FieldProp("Kind", &TProbe::Kind), FieldProp("Big", &TProbe::Big),
       AccessorProp<TProbe, int>("Touched", [](const TProbe& probe) { return ++probe.touched; }, nullptr),
       AccessorProp<TProbe, int>(
           "Broken", [](const TProbe&) -> int { throw std::runtime_error("cannot read"); }, nullptr)});
  return &info;
}

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
