// Long chains of operators of one level against deep nesting.
#include <pthread.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/condition/condition_compiler.h"
#include "framework/condition/condition_syntax.h"
#include "framework/condition/operators.h"
#include "framework/values/typed_values.h"
#include "tests/framework/framework_fixture.h"

namespace {

// Links enough that one evaluation per level would overflow the small stack
// the chains run on, few enough to keep the sanitizer run fast.
constexpr int kLinks = 2000;
constexpr std::size_t kSmallStack = 256 * 1024;

// Runs work on a thread of its own with a small stack, and waits for it.
void OnSmallStack(const std::function<void()>& work) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, kSmallStack);
  pthread_t thread;
  auto run = [](void* argument) -> void* {
    (*static_cast<const std::function<void()>*>(argument))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&work)), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

// first, then kLinks - 1 times op and link.
std::string Chain(const std::string& first, const std::string& op, const std::string& link) {
  std::string text = first;
  for (int i = 1; i < kLinks; ++i) text.append(" ").append(op).append(" ").append(link);
  return text;
}

std::string ValueOf(TOperator& tree) {
  tree.DoIt();
  const auto* value = DynamicCast<TTypeElement>(tree.Output());
  std::string text = value ? value->GetTypeAsString() + ":" + value->GetAsString() : "none";
  tree.ReleaseResult();
  return text;
}

class ConditionChainsTest : public FrameworkTest {};

TEST_F(ConditionChainsTest, AChainOfAnyLengthCompilesEvaluatesTypesAndFreesWithoutNestingOnTheStack) {
  const struct {
    std::string text;
    const char* value;
    bool typed;
  } cases[] = {
      {Chain("1 > 2", "OR", "1 < 1") + " OR 2 > 1", "boolean:true", true},  // runs every link
      {Chain("1 = 1", "AND", "2 = 2"), "boolean:true", true},
      {Chain("1 = 1", "=", "(1 = 1)"), "boolean:true", false},  // Booleans compare, yet are not typed as comparable
      {Chain("7", "MOD", "5"), "integer:2", true},
      {Chain("0", "-", "1"), "integer:-1999", true},
      {Chain("1", "/", "1"), "float: 1.00000000000000E+0000", true},
  };
  OnSmallStack([&] {
    for (const auto& c : cases) {
      TExpressionCreator creator;
      std::unique_ptr<TOperator> tree(creator.ParseExpression(c.text));
      tree->SetResultList(new TShortList);
      EXPECT_EQ(ValueOf(*tree), c.value) << c.value;
      EXPECT_EQ(tree->HasValidType(), c.typed) << c.value;
    }
    TCondCreator creator;
    std::unique_ptr<TCondition> condition(CompileCondition(creator, Chain("COUNT = 1", "OR", "COUNT = 0")));
    TStringListElement element;  // COUNT reads 0
    EXPECT_TRUE(ConditionHolds(*condition, &element));
  });
}

TEST_F(ConditionChainsTest, OnlyNestingIsBounded) {
  const std::pair<std::string, const char*> cases[] = {
      {std::string(900, '(') + "1" + std::string(900, ')') + " = 1", "no error"},
      {std::string(1200, '(') + "1" + std::string(1200, ')'), "Vyraz nema smysl"},
      {std::string(900, '-') + "1 = 1", "no error"},
      {std::string(1200, '-') + "1 = 1", "Vyraz nema smysl"},
      {std::string(50, '(') + Chain("1", "+", "1") + std::string(50, ')') + " > 1", "no error"},
      {"NOT " + std::string(3000, '\''), "Chyba v syntaxi"},
  };
  for (const auto& [text, outcome] : cases) {
    EXPECT_EQ(ErrorOf<SyntaxExcept>([&] {
                TCondCreator creator;
                delete CompileCondition(creator, text);
              }),
              outcome)
        << text.substr(0, 60);
  }
}

}  // namespace
