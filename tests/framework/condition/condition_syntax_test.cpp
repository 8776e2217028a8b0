#include "framework/condition/condition_syntax.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The operator a text splits at and the position after it, "none", or the error.
std::string SplitOf(std::string_view text) {
  std::int32_t pos = -1;
  std::string op;
  try {
    if (!SplitAtTopOperator(text, pos, op)) return "none";
  } catch (const SyntaxExcept& e) {
    return std::string(e.what()) + "@" + std::to_string(e.Position);
  }
  return op + "@" + std::to_string(pos);
}

TEST(ConditionSyntax, SplitTakesTheLastOperatorOfTheLoosestLevelOutsideQuotesAndGroups) {
  const std::pair<const char*, const char*> cases[] = {
      {"A = 1 AND B < 2 OR C", "OR@19"}, {"2 * 3 + 4", "+@8"}, {"8 - 3 - 2", "-@8"}, {"2 + 3 mod 2", "mod@10"},
      {"A<=B", "=@4"}, {"A*", "*@0"}, {"abc", "none"}, {"", "none"},
      // word operators need a non-letter before and after
      {"ORDER", "none"}, {"ORDER = 1", "=@8"}, {"COLOR = 1", "=@8"}, {"X_OR = 1", "OR@5"},
      {"A AND2", "AND@6"},  // a digit after the word does not prevent it
      {"(A)OR(B)", "OR@6"}, {"'x'and'y'", "and@7"}, {"MODE DIVA", "none"},
      // a sign without an operand before it is no split point
      {"A - -B", "-@4"}, {"-A - B", "-@5"}, {"2 * -3", "*@4"}, {"-5", "none"}, {"(1)-2", "-@5"}, {"'a'+'b'", "+@5"},
      {"'A=B'", "none"}, {"(A = B AND C)", "none"}, {"'unclosed = 1 AND", "none"}, {"'a''=' = 1", "=@9"},
      {"'a''='' = 1", "none"},  // the third literal is never closed
      {"(A = B", "Ocekavam: )@7"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(SplitOf(text), expected) << text;
  std::string found;
  for (const TTopOperator& op : FindTopOperators("a OR (b AND c) and d Or e = 1"))
    found += std::string(op.Text) + "@" + std::to_string(op.First) + "-" + std::to_string(op.Last) + " ";
  EXPECT_EQ(found, "OR@3-4 and@16-18 Or@22-23 ");  // every hit of the winning level in order
  EXPECT_TRUE(FindTopOperators("(a OR b)").empty());
}

}  // namespace
