#include "app/windows/rich_text.h"

#include <gtest/gtest.h>

namespace {

TEST(RichTextTest, LinesGoOutAsWindows1250RtfAndComeBackTheSame) {
  const std::vector<std::string> lines = {"Export SMO_50 do /data/50.BLK", "", "Příliš žluťoučký kůň {a\\b}",
                                          "  "};
  const std::string rtf = LinesToRtf(lines);
  EXPECT_TRUE(IsRtf(rtf));
  EXPECT_NE(rtf.find("\\ansicpg1250"), std::string::npos);
  EXPECT_NE(rtf.find("P\\'f8\\'edli\\'9a \\'9elu\\'9dou\\'e8k\\'fd k\\'f9\\'f2 \\{a\\\\b\\}"), std::string::npos);
  for (unsigned char c : rtf) EXPECT_LT(c, 0x80);
  EXPECT_EQ(RtfToLines(rtf), lines);
}

TEST(RichTextTest, TextOfForeignDocumentsSkipsTablesAndReadsUnicode) {
  const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {
      {"tables and ignorable groups skipped",
       "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255;}{\\*\\generator X;}\\f0 Ahoj\\par sv\\u283?te\\line x}",
       {"Ahoj", "světe", "x"}},
      {"substitute as escaped byte skipped", "{\\rtf1 \\u269\\'e8ert}", {"čert"}},
      {"a control word right after a character is no substitute", "{\\rtf1 \\u269\\par x}", {"č", "x"}},
      {"not rtf at all is text", "{\\rtf1 a\\tab b}", {"a\tb"}},
      {"an escape without two hex digits gives no byte", "{\\rtf1 a\\'zzb}", {"azzb"}},
      {"an escaped byte that ends a document cut short", "{\\rtf1 ko\\'e8", {"koč"}},
  };
  for (const auto& [name, rtf, lines] : cases) EXPECT_EQ(RtfToLines(rtf), lines) << name;
  EXPECT_FALSE(IsRtf("prostý text"));
}

}  // namespace
