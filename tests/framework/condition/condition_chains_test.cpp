// Long chains of operators of one level against deep nesting.
#include <pthread.h>

#include <functional>
#include <string>

#include "tests/framework/condition/condition_fixture.h"

namespace {

// Links enough that one evaluation per level would overflow the small stack
// the chains run on (about 130 bytes a level), few enough to keep the
// sanitizer run fast.
constexpr int kLinks = 2000;

// Runs work on a thread of its own with a stack of 256 KB, and waits for it.
// Freeing nests up to a fixed depth before it queues, whatever the length of
// the chain; that depth costs some 150 KB in an optimised sanitizer build,
// whose inlined frames each keep their own guarded locals, against 80 KB
// unoptimised.
void OnSmallStack(const std::function<void()>& work) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 256 * 1024);
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

using ConditionChainsTest = ConditionFixture;

TEST_F(ConditionChainsTest, AChainOfAnyLengthCompilesEvaluatesTypesAndFreesWithoutNestingOnTheStack) {
  const struct {
    std::string text;
    const char* value;
    bool typed;
  } cases[] = {
      {Chain("1 > 2", "OR", "1 < 1") + " OR 2 > 1", "B:true", true},  // runs every link
      {Chain("1 = 1", "AND", "2 = 2"), "B:true", true},
      {Chain("1 = 1", "=", "(1 = 1)"), "B:true", false},  // Booleans compare, yet are not typed as comparable
      {Chain("7", "MOD", "5"), "I:2", true},
      {Chain("0", "-", "1"), "I:-1999", true},
      {Chain("1", "/", "1"), "F:1", true},
  };
  OnSmallStack([&] {
    for (const auto& c : cases) {
      std::unique_ptr<TOperator> tree = Tree(c.text);
      EXPECT_EQ(ValueOf(*tree, nullptr), c.value) << c.value;
      EXPECT_EQ(tree->HasValidType(), c.typed) << c.value;
    }
    const std::string broken = Chain("1", "+", "1") + " = #";  // the tree built so far is freed
    EXPECT_EQ(CompileError(broken), "Nesmyslny znak@" + std::to_string(broken.size()));
    TStringListElement element;  // COUNT reads 0
    EXPECT_TRUE(ConditionHolds(*Compile(Chain("COUNT = 1", "OR", "COUNT = 0")), &element));
  });
}

TEST(ConditionChains, OnlyNestingIsBounded) {
  const std::pair<std::string, const char*> cases[] = {
      {std::string(900, '(') + "1" + std::string(900, ')') + " = 1", "compiles"},
      {std::string(1200, '(') + "1" + std::string(1200, ')'), "Vyraz nema smysl@1001"},
      {std::string(900, '-') + "1 = 1", "compiles"},
      {std::string(1200, '-') + "1 = 1", "Vyraz nema smysl@1000"},
      {"NOT " + std::string(3000, '\''), "Chyba v syntaxi@4"},
  };
  for (const auto& [text, outcome] : cases) EXPECT_EQ(CompileError(text), outcome) << text.substr(0, 60);
}

}  // namespace
