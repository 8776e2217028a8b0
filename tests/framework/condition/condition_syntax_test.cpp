#include "framework/condition/condition_syntax.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What a scanner reads from pos, and where it leaves pos: "text@pos".
std::string Read(void (*scanner)(std::string_view, std::int32_t&, std::string&), std::string_view text,
                 std::int32_t pos) {
  std::string read;
  scanner(text, pos, read);
  return read + "@" + std::to_string(pos);
}

// The operator a text splits at and the position after it, or "none".
std::string SplitOf(std::string_view text) {
  std::int32_t pos = -1;
  std::string op;
  if (!SplitAtTopOperator(text, pos, op)) return "none";
  return op + "@" + std::to_string(pos);
}

TEST(ConditionSyntax, KeywordCodesIgnoreCaseAndUnknownWordsAreZero) {
  EXPECT_EQ(FindConditionKeyword("find"), 1);
  EXPECT_EQ(FindConditionKeyword("Class"), 5);
  EXPECT_EQ(FindConditionKeyword("abs"), 19);
  EXPECT_EQ(FindConditionKeyword("not"), 20);
  EXPECT_EQ(FindConditionKeyword("<"), 25);
  EXPECT_EQ(FindConditionKeyword("/"), 31);
  EXPECT_EQ(FindConditionKeyword("ToInteger"), 37);
  EXPECT_EQ(FindConditionKeyword("FINDX"), 0);
  EXPECT_EQ(FindConditionKeyword(""), 0);
  EXPECT_EQ(FindConditionKeyword("<="), 0);
}

TEST(ConditionSyntax, IdentifierCharactersAreAsciiLettersDigitsAndUnderscore) {
  for (char c : std::string("azAZ09_")) EXPECT_TRUE(IsIdentChar(c)) << c;
  for (char c : std::string(" .-'(\t")) EXPECT_FALSE(IsIdentChar(c)) << c;
  EXPECT_FALSE(IsIdentChar('\xE9'));  // é in Windows-1250
}

TEST(ConditionSyntax, SkipSpacesTreatsOnlyTheSpaceAsBlankAndGivesZeroAtTheEnd) {
  std::int32_t pos = 1;
  SkipSpaces("  x", pos);
  EXPECT_EQ(pos, 3);
  pos = 1;
  SkipSpaces("\tx", pos);
  EXPECT_EQ(pos, 1);
  pos = 2;
  SkipSpaces("x   ", pos);
  EXPECT_EQ(pos, 0);
  pos = 0;
  SkipSpaces("abc", pos);
  EXPECT_EQ(pos, 0);
  pos = 9;
  SkipSpaces("abc", pos);
  EXPECT_EQ(pos, 0);
  EXPECT_TRUE(IsAtEnd("ab   ", 3));
  EXPECT_FALSE(IsAtEnd("ab  c", 3));
  EXPECT_TRUE(IsAtEnd("ab", 0));
}

TEST(ConditionSyntax, IdentifiersAndNumbersStopAtTheFirstOtherCharacter) {
  EXPECT_EQ(Read(ReadIdentifier, "  Area_2+x", 1), "Area_2@9");
  EXPECT_EQ(Read(ReadIdentifier, "  Area_2+x", 9), "@9");
  EXPECT_EQ(Read(ReadIdentifier, "  Area_2+x", 10), "x@0");
  EXPECT_EQ(Read(ReadNumber, "1.2.3 x", 1), "1.2.3@6");
  EXPECT_EQ(Read(ReadNumber, "x    ", 3), "@0");
}

TEST(ConditionSyntax, QuotedLiteralRunsToTheNextQuoteOrToTheEnd) {
  EXPECT_EQ(Read(ReadQuoted, " 'A=B' x", 1), "A=B@7");
  EXPECT_EQ(Read(ReadQuoted, "'abc'", 1), "abc@0");
  EXPECT_EQ(Read(ReadQuoted, "'unclosed = 1", 1), "unclosed = 1@0");
  EXPECT_EQ(Read(ReadQuoted, "'", 1), "@0");
}

TEST(ConditionSyntax, ParenthesizedGroupIgnoresQuotesAndReportsMissingParentheses) {
  EXPECT_EQ(Read(ReadParenthesized, " (a(b)')') c", 1), "a(b)'@9");
  EXPECT_EQ(Read(ReadParenthesized, "(x)", 1), "x@0");

  auto failure = [](std::string_view text, std::int32_t pos) {
    std::string ignored;
    try {
      ReadParenthesized(text, pos, ignored);
    } catch (const SyntaxExcept& e) {
      return std::string(e.what()) + "@" + std::to_string(e.Position);
    }
    return std::string("no error");
  };
  EXPECT_EQ(failure("x", 1), "Ocekavam: (@1");
  EXPECT_EQ(failure("ab   ", 3), "Ocekavam: (@3");
  EXPECT_EQ(failure("abc", 0), "Ocekavam: (@4");
  EXPECT_EQ(failure("((a)", 1), "Ocekavam: )@5");
}

TEST(ConditionSyntax, SplitTakesTheLoosestLevelAndItsLastOccurrence) {
  EXPECT_EQ(SplitOf("A = 1 AND B < 2 OR C"), "OR@19");
  EXPECT_EQ(SplitOf("2 * 3 + 4"), "+@8");
  EXPECT_EQ(SplitOf("8 - 3 - 2"), "-@8");
  EXPECT_EQ(SplitOf("2 + 3 mod 2"), "mod@10");
  EXPECT_EQ(SplitOf("A<=B"), "=@4");
  EXPECT_EQ(SplitOf("A*"), "*@0");
  EXPECT_EQ(SplitOf("abc"), "none");
  EXPECT_EQ(SplitOf(""), "none");
}

TEST(ConditionSyntax, TopOperatorsAreEveryHitOfTheWinningLevelInOrder) {
  std::string found;
  for (const TTopOperator& op : FindTopOperators("a OR (b AND c) and d Or e = 1"))
    found += std::string(op.Text) + "@" + std::to_string(op.First) + "-" + std::to_string(op.Last) + " ";
  EXPECT_EQ(found, "OR@3-4 and@16-18 Or@22-23 ");
  EXPECT_TRUE(FindTopOperators("(a OR b)").empty());
}

TEST(ConditionSyntax, WordOperatorsNeedANonLetterBeforeAndAfter) {
  EXPECT_EQ(SplitOf("ORDER"), "none");
  EXPECT_EQ(SplitOf("ORDER = 1"), "=@8");
  EXPECT_EQ(SplitOf("COLOR = 1"), "=@8");
  EXPECT_EQ(SplitOf("X_OR = 1"), "OR@5");
  EXPECT_EQ(SplitOf("A AND2"), "AND@6");  // a digit after the word does not prevent it
  EXPECT_EQ(SplitOf("(A)OR(B)"), "OR@6");
  EXPECT_EQ(SplitOf("'x'and'y'"), "and@7");
  EXPECT_EQ(SplitOf("MODE DIVA"), "none");
}

TEST(ConditionSyntax, SignWithoutOperandBeforeItIsNoSplitPoint) {
  EXPECT_EQ(SplitOf("A - -B"), "-@4");
  EXPECT_EQ(SplitOf("-A - B"), "-@5");
  EXPECT_EQ(SplitOf("2 * -3"), "*@4");
  EXPECT_EQ(SplitOf("-5"), "none");
  EXPECT_EQ(SplitOf("(1)-2"), "-@5");
  EXPECT_EQ(SplitOf("'a'+'b'"), "+@5");
}

TEST(ConditionSyntax, OperatorsInsideQuotesAndParenthesesAreNotSplitPoints) {
  EXPECT_EQ(SplitOf("'A=B'"), "none");
  EXPECT_EQ(SplitOf("(A = B AND C)"), "none");
  EXPECT_EQ(SplitOf("'unclosed = 1 AND"), "none");
  EXPECT_EQ(SplitOf("'a''=' = 1"), "=@9");
  EXPECT_EQ(SplitOf("'a''='' = 1"), "none");  // the third literal is never closed
  try {
    SplitOf("(A = B");
    ADD_FAILURE() << "an unbalanced group must raise while splitting";
  } catch (const SyntaxExcept& e) {
    EXPECT_STREQ(e.what(), "Ocekavam: )");
    EXPECT_EQ(e.Position, 7);
  }
}

}  // namespace
