#include "block/tables/transfer_script.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TransferScript, ALineGivesItsFirstWordAsSourceAndTheRestAsTargetUpperCased) {
  const std::string longTarget(300, 'a');
  // 254 letters and "č": 256 bytes here, 255 on disk, so it stays whole.
  const std::string fullTarget = std::string(254, 'b') + "č";
  const struct {
    const char* name;
    std::string line;
    bool added;
    std::string source, target;
  } rows[] = {
      {"two words", "cislo number", true, "CISLO", "NUMBER"},
      {"blanks around and between", "  *druh   kind of stand  ", true, "*DRUH", "KIND OF STAND"},
      {"diacritics upper-cased", "vymera plocha_č", true, "VYMERA", "PLOCHA_Č"},
      {"one word", "cislo", false, "", ""},
      {"one word and blanks", "cislo   ", false, "", ""},
      {"a target cut at 255 bytes on disk", "x " + longTarget, true, "X", std::string(255, 'A')},
      {"a target of 255 bytes on disk kept", "x " + fullTarget, true, "X", std::string(254, 'B') + "Č"},
  };
  for (const auto& row : rows) {
    TMovedItemContainer script;
    EXPECT_EQ(script.AddLine(row.line), row.added) << row.name;
    ASSERT_EQ(script.GetCount(), row.added ? 1 : 0) << row.name;
    if (!row.added) continue;
    const auto* pair = static_cast<const TSourTarNames*>(script.GetElement(0));
    EXPECT_EQ(pair->Source, row.source) << row.name;
    EXPECT_EQ(pair->Target, row.target) << row.name;
  }
}

}  // namespace
