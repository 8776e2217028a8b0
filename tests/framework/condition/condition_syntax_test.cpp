#include "framework/condition/condition_syntax.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// What a scanner reads from pos and where it leaves pos, "text@pos", or its error "message@position".
std::string Read(void (*scanner)(std::string_view, std::int32_t&, std::string&), std::string_view text,
                 std::int32_t pos) {
  std::string read;
  try {
    scanner(text, pos, read);
  } catch (const SyntaxExcept& e) {
    return std::string(e.what()) + "@" + std::to_string(e.Position);
  }
  return read + "@" + std::to_string(pos);
}

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

TEST(ConditionSyntax, KeywordsCharactersAndBlanks) {
  for (const auto& [word, code] : {std::pair{"find", 1}, {"Class", 5}, {"abs", 19}, {"not", 20}, {"<", 25}, {"/", 31},
                                   {"ToInteger", 37}, {"FINDX", 0}, {"", 0}, {"<=", 0}})
    EXPECT_EQ(FindConditionKeyword(word), code) << word;
  for (char c : std::string("azAZ09_")) EXPECT_TRUE(IsIdentChar(c)) << c;
  for (char c : std::string(" .-'(\t\xE9")) EXPECT_FALSE(IsIdentChar(c)) << c;  // é in Windows-1250 too
  // only the space is blank; zero at the end
  for (const auto& [text, from, to] : {std::tuple{"  x", 1, 3}, {"\tx", 1, 1}, {"x   ", 2, 0}, {"abc", 0, 0},
                                       {"abc", 9, 0}}) {
    std::int32_t pos = from;
    SkipSpaces(text, pos);
    EXPECT_EQ(pos, to) << text << " from " << from;
  }
  EXPECT_TRUE(IsAtEnd("ab   ", 3));
  EXPECT_FALSE(IsAtEnd("ab  c", 3));
  EXPECT_TRUE(IsAtEnd("ab", 0));
}

TEST(ConditionSyntax, ScannersStopAtTheFirstOtherCharacter) {
  using TScanner = void (*)(std::string_view, std::int32_t&, std::string&);
  const std::tuple<TScanner, const char*, std::int32_t, const char*> cases[] = {
      {ReadIdentifier, "  Area_2+x", 1, "Area_2@9"}, {ReadIdentifier, "  Area_2+x", 9, "@9"},
      {ReadIdentifier, "  Area_2+x", 10, "x@0"}, {ReadNumber, "1.2.3 x", 1, "1.2.3@6"}, {ReadNumber, "x    ", 3, "@0"},
      // a quoted literal runs to the next quote or to the end
      {ReadQuoted, " 'A=B' x", 1, "A=B@7"}, {ReadQuoted, "'abc'", 1, "abc@0"},
      {ReadQuoted, "'unclosed = 1", 1, "unclosed = 1@0"}, {ReadQuoted, "'", 1, "@0"},
      // a group ignores quotes and reports missing parentheses
      {ReadParenthesized, " (a(b)')') c", 1, "a(b)'@9"}, {ReadParenthesized, "(x)", 1, "x@0"},
      {ReadParenthesized, "x", 1, "Ocekavam: (@1"}, {ReadParenthesized, "ab   ", 3, "Ocekavam: (@3"},
      {ReadParenthesized, "abc", 0, "Ocekavam: (@4"}, {ReadParenthesized, "((a)", 1, "Ocekavam: )@5"},
  };
  for (const auto& [scanner, text, pos, expected] : cases) EXPECT_EQ(Read(scanner, text, pos), expected) << text;
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
