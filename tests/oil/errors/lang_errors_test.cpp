#include "oil/errors/lang_errors.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace {

TEST(LangErrors, RunTimeCodesGiveTheirTableTexts) {
  const std::pair<int, const char*> cases[] = {
      {0, ""}, {1, "Nevyčíslitelný výraz"}, {2, "Nevyjádřitelná proměnná"}, {3, "Typová neshoda"},
      {6, "Prvek neexistuje"}, {12, "Vnitřní chyba"}, {15, "Nepoužitelný typ property"}, {16, ""}, {25, ""}, {-1, ""}};
  for (const auto& [code, text] : cases) {
    const TRunTimeError error(code);
    EXPECT_EQ(std::tuple(std::string(error.what()), error.Code, error.Line), std::tuple(text, code, -1)) << code;
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
    EXPECT_EQ(std::tuple(std::string(error.what()), error.ErrorLine, error.ErrorColumn, error.Line),
              std::tuple(c.message, 4, 7, 0))
        << c.code;
  }
}

}  // namespace
