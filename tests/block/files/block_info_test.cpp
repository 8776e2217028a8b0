#include "block/files/block_info.h"

#include <gtest/gtest.h>

namespace {

// The code page the block's texts are read in comes from the number after
// CODEPAGE=; the two DOS code pages have a short number and a long one.
TEST(BlockInfo, TheCodePageNumberNamesTheTextsCodePage) {
  const struct {
    const char* line;
    TCodePage codePage;
  } rows[] = {
      {"CODEPAGE=1", cpKamenickych},    {"CODEPAGE=867", cpKamenickych}, {"CODEPAGE=2", cpLatin2},
      {"CODEPAGE=852", cpLatin2},       {"codepage = 1250", cpWindows},  {"CODEPAGE=0", cpIBM},
      {"CODEPAGE=3", cpIBM},            {"CODEPAGE=866", cpIBM},         {"CODEPAGE=1251", cpIBM},
      {"CODEPAGE=none", cpIBM},         {"CODEPAGE=", cpIBM},            {"CODEPAGE 852", cpIBM},
  };
  for (const auto& row : rows)
    EXPECT_EQ(ParseBlockInfo({"NAZEV=Les", row.line}).CodePage, row.codePage) << row.line;
}

// The box is stored as the record files store boxes (maximum corner first)
// in block coordinates; the model has the signs turned.
TEST(BlockInfo, TheBoxIsItsFourNumbersNegated) {
  const TBlockDescription info = ParseBlockInfo({"OPSANYOBDELNIKBLOKU=-700000 -1000000.5 -750000 -1050000", "CODEPAGE=852"});
  EXPECT_TRUE(info.HasBoundingRect);
  EXPECT_EQ(info.BoundingRect, (std::array<double, 4>{700000, 1000000.5, 750000, 1050000}));
  EXPECT_EQ(info.CodePage, cpLatin2);
  const TBlockDescription none = ParseBlockInfo({"NAZEV=Les"});
  EXPECT_FALSE(none.HasBoundingRect);
  EXPECT_EQ(none.CodePage, cpIBM);
}

}  // namespace
