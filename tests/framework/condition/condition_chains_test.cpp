// Long chains of operators of one level against deep nesting.
#include <memory>
#include <string>

#include "framework/condition/condition_compiler.h"
#include "framework/condition/condition_syntax.h"
#include "framework/condition/operators.h"
#include "framework/values/typed_values.h"
#include "tests/framework/framework_fixture.h"

namespace {

class ConditionChainsTest : public FrameworkTest {
 protected:
  std::string ErrorOf(const std::string& text) {
    TCondCreator creator;
    try {
      delete CompileCondition(creator, text);
    } catch (const SyntaxExcept& e) {
      return e.what();
    }
    return "compiles";
  }
  TStringListElement element;  // COUNT reads 0
};

// "COUNT = 1 OR COUNT = 2 OR ... OR COUNT = last", then " OR " + tail.
std::string Chain(int last, const std::string& tail = "") {
  std::string text = "COUNT = 1";
  for (int i = 2; i <= last; ++i) text += " OR COUNT = " + std::to_string(i);
  return tail.empty() ? text : text + " OR " + tail;
}

TEST_F(ConditionChainsTest, FlatChainLongerThanTheNestingLimitCompilesAndHoldsOnlyWhereOneLinkDoes) {
  struct Case {
    const char* name;
    int length;
    std::string tail;
    bool holds;
  };
  const Case cases[] = {
      {"a thousand and one comparisons, none true", 1001, "", false},
      {"two thousand comparisons, the last true", 1999, "COUNT = 0", true},
  };
  for (const Case& c : cases) {
    TCondCreator creator;
    std::unique_ptr<TCondition> condition(CompileCondition(creator, Chain(c.length, c.tail)));
    condition->SetResultItem(0, &element);
    EXPECT_EQ(condition->Test(), c.holds) << c.name;
  }
}

TEST_F(ConditionChainsTest, NestingIsBoundedWhereAChainOfTheSameLengthIsNot) {
  struct Case {
    const char* name;
    std::string text;
    const char* outcome;
  };
  const Case cases[] = {
      {"1200 parentheses", std::string(1200, '(') + "1" + std::string(1200, ')'), "Vyraz nema smysl"},
      {"1200 signs", std::string(1200, '-') + "1 = 1", "Vyraz nema smysl"},
      {"a chain of 1200 sums", [] {
         std::string text = "1";
         for (int i = 0; i < 1200; ++i) text += " + 1";
         return text + " = 1201";
       }(),
       "compiles"},
      {"a chain of 1200 comparisons inside 50 parentheses",
       std::string(50, '(') + Chain(1200) + std::string(50, ')'), "compiles"},
      // Evaluation follows the depth of the tree on the stack.
      {"a chain of 10001 comparisons", Chain(10001), "Vyraz nema smysl"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.text), c.outcome) << c.name;
}

}  // namespace
