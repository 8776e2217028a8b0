#include <memory>
#include <random>
#include <string>

#include "platform/code_page.h"
#include "tests/framework/condition/condition_fixture.h"

namespace {

// Pieces of condition texts, rich in what the scanners treat specially.
const char* const kPieces[] = {
    "A",      "count",   "NAME",     "'",       "'x'",      "(",       ")",         " ",       "  ",     "+",
    "-",      "*",       "/",        "<",       ">",        "=",       "AND",       "OR",      "NOT",    "MOD",
    "DIV",    "and",     "or",       "1",       "0",        "2.5",     "1.2.3",     "4294967297", "65536", ".",
    "_",      "#",       "CLASS(",   "ANCESTOR(", "EXISTSPROP(", "ROUND(", "TRUNC(", "LN(",     "SQRT(",  "EXP(",
    "TOCHAR(", "TOBYTE(", "TOSTRING(", "TOINTEGER(", "TOFLOAT(", "TOBOOLEAN(", "ODD(", "ABS(",    "SQR(",   "FRAC(",
    "COS(",   "SIN(",    "ARCTAN(",  "FIND",    "š",        "\t",      "\xff",      "0.1",     "-2147483648", "X_OR",
};

const char* const kValid[] = {
    "COUNT = 12 AND NAME = 'abc' OR NOT (X > 2.5)",
    "CLASS(TStringListElement) AND EXISTSPROP(Name)",
    "ANCESTOR(TOwnerEntity) OR ROUND(X * 2) DIV 3 = -1",
    "TOSTRING(TOINTEGER(2.9) + 1) = '3' AND ODD(COUNT MOD 0)",
    "SQRT(LN(EXP(1)) / 0) < ABS(-2147483648) - FRAC(SQR(1.5))",
    "TOCHAR(TOBYTE(65)) + 'b' = 'Ab' OR ARCTAN(COS(SIN(0))) > TOFLOAT(1)",
    "((((1 + 2) * 3) - 4) / 5) > 1 AND (A = 'x(y)z')",
    "- -A - +B * 46340 * 46340 = TOBOOLEAN(1)",
};

// A random expression that the grammar accepts (not necessarily with a value).
std::string RandomExpression(std::mt19937& random, int depth) {
  static const char* const operands[] = {"0", "7", "-3", "2.5", "2147483647", "4294967297", "'abc'", "'12'", "''",
                                         "COUNT", "X", "A", "NAME", "MISSING", "CLASS(TStringListElement)",
                                         "ANCESTOR(TEntity)", "EXISTSPROP(Name)"};
  static const char* const binaries[] = {" AND ", " OR ", " < ", " > ", " = ", " MOD ", " DIV ", " + ", " - ", " * ",
                                         " / "};
  static const char* const functions[] = {"ROUND(", "TRUNC(", "COS(", "SIN(", "ARCTAN(", "EXP(", "FRAC(", "LN(",
                                          "SQR(", "SQRT(", "ODD(", "ABS(", "TOBOOLEAN(", "TOCHAR(", "TOBYTE(",
                                          "TOFLOAT(", "TOSTRING(", "TOINTEGER(", "NOT (", "-("};
  auto pick = [&random](auto& list) { return list[random() % std::size(list)]; };
  const auto inner = [&] { return RandomExpression(random, depth - 1); };
  switch (depth <= 0 ? 0 : random() % 3) {
    case 0: return pick(operands);
    case 1: return pick(functions) + inner() + ")";
    default: return "(" + inner() + pick(binaries) + inner() + ")";
  }
}

class ConditionFuzzTest : public ConditionFixture {
 protected:
  void SetUp() override {
    ConditionFixture::SetUp();
    element.SetName("abc");
    element.SetValueByName("COUNT", "12");
    element.SetValueByName("X", "2,5");
    element.SetValueByName("A", "x(y)z");
  }

  // Compiles and evaluates one text: it either works or fails with a
  // SyntaxExcept at a position inside the text or just after it.
  void Exercise(const std::string& text) {
    ++texts;
    std::unique_ptr<TCondition> condition;
    try {
      condition = Compile(text);
    } catch (const SyntaxExcept& e) {
      ++failures;
      EXPECT_TRUE(e.Position >= 1 && e.Position <= static_cast<std::int32_t>(platform::Cp1250Length(text)) + 1) << text;
      return;
    }  // anything else escapes and fails the test
    condition->Test();  // nothing stored yet
    const bool first = ConditionHolds(*condition, &element);
    EXPECT_EQ(condition->Test(), first) << text;
    condition->DoIt();
    std::unique_ptr<TOperator> tree = Tree(text);
    EXPECT_EQ(tree == nullptr, text.empty()) << text;
    if (!tree) return;
    ValueOf(*tree, &element);
    tree->HasValidType();
  }

  TStringListElement element;
  int texts = 0;
  int failures = 0;
};

TEST_F(ConditionFuzzTest, RandomTextsCompileOrFailWithASyntaxError) {
  std::mt19937 random(20240917);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> count(1, 12);
  for (int i = 0; i < 6000; ++i) {
    std::string text;
    for (int n = count(random); n > 0; --n) text += kPieces[piece(random)];
    Exercise(text);
  }
  std::uniform_int_distribution<int> byte(1, 255);
  for (int i = 0; i < 2000; ++i) {
    std::string text;
    for (int n = count(random); n > 0; --n) text += static_cast<char>(byte(random));
    Exercise(text);
  }
  EXPECT_GT(failures, 0);
  EXPECT_LT(failures, texts);  // some random texts are conditions too
}

TEST_F(ConditionFuzzTest, GrammaticalTextsCompileAndMutatedOnesCompileOrFailWithASyntaxError) {
  std::mt19937 random(77);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  for (int i = 0; i < 1000; ++i) {
    const std::string text = RandomExpression(random, 4);
    failures = 0;
    Exercise(text);
    EXPECT_EQ(failures, 0) << text;
    std::string mutated = text;
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, mutated.size() - 1)(random);
    if (i % 2) mutated.erase(at, 1);
    else mutated.insert(at, kPieces[piece(random)]);
    Exercise(mutated);
  }
}

TEST_F(ConditionFuzzTest, TruncatedConditionsCompileOrFailWithASyntaxError) {
  for (const std::string valid : kValid) {
    Exercise(valid);
    EXPECT_EQ(failures, 0) << valid;
    for (std::size_t cut = 0; cut < valid.size(); ++cut) {
      Exercise(valid.substr(0, cut));
      Exercise(valid.substr(cut));
    }
    failures = 0;
  }
}

}  // namespace
