#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "oil/compiler/pre_compiler.h"
#include "tests/oil/oil_fixture.h"

namespace {

// Every token of the lines up to the end of the source as "code:text", separated by blanks, then "! " and the error
// if the scanner raised one. Each token is unread and read again, as the compilers do when they look ahead; a token
// that then comes back otherwise has the code -1.
std::string Tokens(const std::vector<std::string>& lines) {
  TPreCompiler scanner;
  scanner.SetSourceLines(lines);
  std::string tokens;
  const std::string failure = FailureOf([&] {
    for (int guard = 0; guard < 100; ++guard) {
      std::string text, again;
      const int code = scanner.ReadToken(text);
      if (code == tokEndOfSource) break;
      scanner.UnreadToken();
      const bool same = scanner.ReadToken(again) == code && again == text;
      tokens += std::to_string(same ? code : -1) + ":" + text + " ";
    }
  });
  return failure.empty() ? tokens : tokens + "! " + failure;
}

class PreCompiler : public OilTest {};

TEST_F(PreCompiler, SplitsTextIntoTokensOrReportsErrorsWithTheirPositions) {
  const std::tuple<const char*, std::vector<std::string>, std::string> cases[] = {  // name, lines, what Tokens gives
      {"keywords in any case", {"begin Begin BEGIN"}, "3:begin 3:Begin 3:BEGIN "},
      {"digit then underscore", {"1_"}, "60:1 58:_ "},
      {"numbers", {"12 12.5 1e3 1E+3"}, "60:12 59:12.5 59:1e3 59:1E+3 "},
      {"quoted strings", {"'abc' \"abc\""}, "61:'abc' 61:\"abc\" "},
      {"dividers", {"\\ \\\\ \\\\["}, "53:\\ 54:\\ 56:\\ "},
      {"comments across lines", {"a { one", "two } b"}, "58:a 58:b "},
      {"open comment swallows the rest", {"a { one", "b"}, "58:a "},
      {"element divider directive", {"{$ELEMENTDIVIDER |} a|b"}, "58:a 53:| 58:b "},
      {"owner divider directive", {"{$ownerdivider ##} a##b a\\b"}, "58:a 54:# 58:b 58:a 53:\\ 58:b "},
      {"dot without digits", {"x 12. "}, "58:x ! 1 Očekávám celé číslo @0:6"},
      {"exponent at line end", {"", "1e"}, "! 1 Očekávám celé číslo @1:3"},
      {"open string", {"a 'abc"}, "58:a ! 16 Neuzavřený řetězec @0:3"},
      {"tab", {"a\tb"}, "58:a ! 3 Chyba v syntaxi @0:2"},
      {"letter outside ASCII", {"x \xC4\x8D"}, "58:x ! 3 Chyba v syntaxi @0:3"},
      {"divider collision", {"{$ELEMENTDIVIDER |}", "{$OWNERDIVIDER |}"},
       "! 19 Kolize mezi NameDivider a OwnerDivider @1:16"},
      {"divider of letters", {"{$OWNERDIVIDER a}"}, "! 20 Tento znak není povolen: a @0:16"},
      {"later character of a divider", {"{$OWNERDIVIDER #a}"}, "! 20 Tento znak není povolen: a @0:17"},
      {"unknown directive", {"{$DIVIDER |}"}, "! 1 Očekávám identifikátor @0:3"},
  };
  for (const auto& [name, lines, tokens] : cases) EXPECT_EQ(Tokens(lines), tokens) << name;
}

}  // namespace
