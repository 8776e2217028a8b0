// Comparing two texts upper-cased, without building the upper-cased copies.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"

namespace {

TEST(SameUpperCaseTest, AgreesWithComparingTheUpperCasedCopies) {
  struct Case {
    const char* a;
    const char* b;
  };
  const Case cases[] = {
      {"Model", "MODEL"},
      {"model", "modelx"},
      {"", ""},
      {"", "a"},
      {"žluťoučký kůň", "ŽLUŤOUČKÝ KŮŇ"},  // accented capitals by the code page's rules
      {"Šíp", "ŠÍPY"},
      {"ж", "Ж"},  // outside the code page: kept as it is, so the cases differ
      {"ж", "я"},  // two letters the code page lacks are not the same letter
      {"\xff", "?"},  // a malformed byte counts as a question mark
      {"\xC3", "?"},  // so does a sequence cut short
      {"a\xC3", "A?"},
      {"ß", "SS"},
      {"x_9-", "X_9-"},
      {"a long name well beyond any short string buffer", "A LONG NAME WELL BEYOND ANY SHORT STRING BUFFER"},
  };
  for (const Case& c : cases) {
    const bool expected = platform::AnsiUpperCase(c.a) == platform::AnsiUpperCase(c.b);
    EXPECT_EQ(platform::AnsiSameUpperCase(c.a, c.b), expected) << c.a << " / " << c.b;
    EXPECT_EQ(platform::AnsiSameUpperCase(c.b, c.a), expected) << c.b << " / " << c.a;
  }
  // The table holds both outcomes, so it tests something.
  EXPECT_TRUE(platform::AnsiSameUpperCase("žluťoučký kůň", "ŽLUŤOUČKÝ KŮŇ"));
  EXPECT_FALSE(platform::AnsiSameUpperCase("ж", "я"));
}

}  // namespace
