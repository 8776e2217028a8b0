#include "cartography/symbols/latin2.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Latin2Test, ReplacesEachByteOnceAndKeepsTheLength) {
  struct Row {
    const char* name;
    std::string in;
    std::string out;
  };
  const Row rows[] = {
      {"empty", "", ""},
      {"ASCII unchanged", "Les 12/a", "Les 12/a"},
      {"č", "\xE8", "\x9F"},
      {"Ž", "\x8E", "\xA6"},
      {"Á, the first letter of the tables", "\xC1", "\xB5"},
      {"ž, the last", "\x9E", "\xA7"},
      {"Ŕ goes to E8 and stays there", "\xC0", "\xE8"},
      {"ä outside the table", "\xE4", "\xE4"},
      {"mixed", "\xC8" "ern\xE1 \xD8" "eka", "\xAC" "ern\xA0 \xFC" "eka"},
  };
  for (const Row& row : rows) EXPECT_EQ(ConvertToLatin2(row.in), row.out) << row.name;
}

}  // namespace
