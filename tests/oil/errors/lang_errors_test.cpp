#include <gtest/gtest.h>

#include "oil/errors/lang_errors.h"

namespace {

TEST(LangErrors, RunTimeCodesGiveTheirTableTexts) {
  const struct {
    int code;
    const char* text;
  } cases[] = {{0, ""},
               {1, "Nevyčíslitelný výraz"},
               {2, "Nevyjádřitelná proměnná"},
               {3, "Typová neshoda"},
               {6, "Prvek neexistuje"},
               {12, "Vnitřní chyba"},
               {15, "Nepoužitelný typ property"},
               {16, ""},
               {25, ""},
               {-1, ""}};
  for (const auto& c : cases) {
    const TRunTimeError error(c.code);
    EXPECT_STREQ(error.what(), c.text) << c.code;
    EXPECT_EQ(error.Code, c.code);
    EXPECT_EQ(error.Line, -1) << c.code;
  }
}

TEST(LangErrors, CompilerErrorsAppendTheirTextAndKeepThePosition) {
  const struct {
    int code;
    const char* extra;
    const char* message;
  } cases[] = {{1, ")", "Očekávám )"},
               {20, "a", "Tento znak není povolen: a"},
               {19, "", "Kolize mezi NameDivider a OwnerDivider"},
               {21, "", "Identifikátor byl již použit"},
               {22, "x", "x"}};
  for (const auto& c : cases) {
    const TCompilerError error(c.code, 4, 7, c.extra);
    EXPECT_STREQ(error.what(), c.message) << c.code;
    EXPECT_EQ(error.ErrorLine, 4);
    EXPECT_EQ(error.ErrorColumn, 7);
    EXPECT_EQ(error.Line, 0);
  }
}

TEST(LangErrors, RunTimeErrorsAreLanguageErrorsButNotCompilerErrors) {
  try {
    throw TRunTimeError(3);
  } catch (const TCompilerError&) {
    FAIL() << "a run-time error taken as a compiler error";
  } catch (const TLangError& error) {
    EXPECT_EQ(error.Code, 3);
  }
}

}  // namespace
