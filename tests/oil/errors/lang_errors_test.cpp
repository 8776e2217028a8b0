#include "oil/errors/lang_errors.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace {

// The texts inside the tables are also compared whole by the compiler's and the run's tests.
TEST(LangErrors, CodesGiveTheirTableTextsAndNoneOutsideTheTables) {
  const std::pair<int, const char*> cases[] = {{0, ""},  {1, "Nevyčíslitelný výraz"}, {15, "Nepoužitelný typ property"},
                                               {16, ""}, {25, ""},                     {-1, ""}};
  for (const auto& [code, text] : cases) {
    const TRunTimeError error(code);
    EXPECT_EQ(std::tuple(std::string(error.what()), error.Code, error.Line), std::tuple(text, code, -1)) << code;
  }
  const TCompilerError error(22, 4, 7, "x");  // past the table: its own text only
  EXPECT_EQ(std::tuple(std::string(error.what()), error.ErrorLine, error.ErrorColumn, error.Line),
            std::tuple("x", 4, 7, 0));
}

}  // namespace
