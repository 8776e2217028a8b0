#include "block/tables/transfer_script.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/platform/temp_folder.h"

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

// A script loaded from a file holds that file's pairs alone, whatever it
// held before; the published file name loads it as the accessor does.
TEST(TransferScript, LoadingAFileReplacesThePairsHeld) {
  TempFolder folder;
  WriteCp1250File(folder.File("first.TDS"), "a x\r\nc z\r\n");
  const struct {
    const char* name;
    std::optional<std::string> text;  // none: no such file
    std::vector<std::string> pairs;
  } rows[] = {
      {"another script", "b y\r\n", {"B Y"}},
      {"an empty file", "", {}},
      {"a missing file", std::nullopt, {}},
  };
  for (const auto& row : rows) {
    const std::string second = folder.File("second.TDS");
    std::filesystem::remove(second);
    if (row.text) WriteCp1250File(second, *row.text);
    TMovedItemContainer script;
    script.SetFileName(folder.File("first.TDS"));
    ASSERT_EQ(script.GetCount(), 2) << row.name;
    script.SetPropertyText("FileName", second);
    std::vector<std::string> pairs;
    for (const TElement* child : script.Children()) {
      EXPECT_EQ(child->ClassName(), "TSourTarNames") << row.name;
      const auto* pair = static_cast<const TSourTarNames*>(child);
      pairs.push_back(pair->Source + " " + pair->Target);
    }
    EXPECT_EQ(pairs, row.pairs) << row.name;
    EXPECT_EQ(script.FileName(), second) << row.name;
  }
}

}  // namespace
