#include "platform/locale_conventions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

// What the application object does with a Czech user's environment, and
// back to "C" for the tests after.
class ConversionLocaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::setlocale(LC_ALL, "cs_CZ.UTF-8"), nullptr) << "the Czech locale cs_CZ.UTF-8 is not installed";
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

std::string Printed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// The numbers of dBASE fields, property texts and dialogs keep their point,
// and names sort by their bytes, once the user's locale was taken; the
// system's messages stay in the user's language.
TEST_F(ConversionLocaleTest, NumbersAndNamesDoNotFollowTheUsersLocale) {
  platform::FixConversionLocale();
  struct Row {
    const char* name;
    std::function<std::string()> got;
    std::string wanted;
  };
  const Row rows[] = {
      {"a dBASE numeric field", [] { return Printed("%.4f", 900.0); }, "900.0000"},
      {"a property's real", [] { return Printed("%.14e", 1.25); }, "1.25000000000000e+00"},
      {"a typed real read back", [] { return std::to_string(std::strtod("1.25", nullptr)); }, "1.250000"},
      {"names by their bytes (\"ch\" before \"d\")",
       [] { return std::to_string(std::strcoll("ch", "d") < 0); }, "1"},
      {"the system's message in Czech", [] { return std::string(std::strerror(ENOSPC)); },
       "Na zařízení není volné místo"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.got(), row.wanted) << row.name;
}

}  // namespace
