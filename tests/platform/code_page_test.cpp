#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

const unsigned char kUnassignedBytes[] = {0x81, 0x83, 0x88, 0x90, 0x98};

bool IsUnassigned(unsigned b) {
  for (const unsigned char u : kUnassignedBytes) {
    if (u == b) return true;
  }
  return false;
}

std::string Bytes(std::initializer_list<unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(CodePage, EveryAssignedByteSurvivesTheRoundTripThroughUtf8) {
  std::string all;
  for (unsigned b = 0; b < 256; ++b) {
    if (IsUnassigned(b)) continue;
    const std::string one(1, static_cast<char>(b));
    const std::string utf8 = Cp1250ToUtf8(one);
    EXPECT_EQ(Utf8ToCp1250(utf8), one) << "byte " << b;
    EXPECT_EQ(Cp1250Length(utf8), 1u) << "byte " << b;
    all += one;
  }
  ASSERT_EQ(all.size(), 251u);
  EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(all)), all);
}

TEST(CodePage, KnownCharactersMapToTheirBytes) {
  EXPECT_EQ(Utf8ToCp1250("Průvodce"), Bytes({0x50, 0x72, 0xF9, 0x76, 0x6F, 0x64, 0x63, 0x65}));
  EXPECT_EQ(Utf8ToCp1250("Č"), Bytes({0xC8}));
  EXPECT_EQ(Utf8ToCp1250("š"), Bytes({0x9A}));
  EXPECT_EQ(Utf8ToCp1250("ž"), Bytes({0x9E}));
  EXPECT_EQ(Utf8ToCp1250("ě"), Bytes({0xEC}));
  EXPECT_EQ(Utf8ToCp1250("ů"), Bytes({0xF9}));
  EXPECT_EQ(Utf8ToCp1250("€"), Bytes({0x80}));
  EXPECT_EQ(Utf8ToCp1250("„“–—…"), Bytes({0x84, 0x93, 0x96, 0x97, 0x85}));
  EXPECT_EQ(Utf8ToCp1250("ŁĄŞŻĽľ"), Bytes({0xA3, 0xA5, 0xAA, 0xAF, 0xBC, 0xBE}));
  EXPECT_EQ(Utf8ToCp1250("§°×ß÷˙"), Bytes({0xA7, 0xB0, 0xD7, 0xDF, 0xF7, 0xFF}));
  EXPECT_EQ(Utf8ToCp1250("\u00A0"), Bytes({0xA0}));
  EXPECT_EQ(Cp1250ToUtf8(Bytes({0x55, 0x9E, 0x69, 0x76, 0x61, 0x74, 0x65, 0x6C, 0x73, 0x6B, 0xE9})), "Uživatelské");
}

TEST(CodePage, AsciiIncludingNulPassesUnchanged) {
  const std::string ascii("A\0b\x7F\n", 5);
  EXPECT_EQ(Utf8ToCp1250(ascii), ascii);
  EXPECT_EQ(Cp1250ToUtf8(ascii), ascii);
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1250("α日😀x"), "???x");
  EXPECT_EQ(Utf8ToCp1250("ñ"), "?");
  EXPECT_EQ(Cp1250Length("α日😀x"), 4u);
}

TEST(CodePage, MalformedUtf8BecomesOneQuestionMarkPerBadByte) {
  EXPECT_EQ(Utf8ToCp1250("a\x80" "b"), "a?b");          // stray continuation
  EXPECT_EQ(Utf8ToCp1250("\xC4"), "?");                 // cut short at the end
  EXPECT_EQ(Utf8ToCp1250("\xC5" "A"), "?A");            // lead followed by ASCII
  EXPECT_EQ(Utf8ToCp1250("\xE2\x82"), "??");            // euro sign cut short
  EXPECT_EQ(Utf8ToCp1250("\xC0\xAF"), "??");            // overlong '/'
  EXPECT_EQ(Utf8ToCp1250("\xE0\x80\xAF"), "???");       // overlong '/'
  EXPECT_EQ(Utf8ToCp1250("\xED\xA0\x80"), "???");       // surrogate
  EXPECT_EQ(Utf8ToCp1250("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
  EXPECT_EQ(Utf8ToCp1250("\xFF\xFE"), "??");
  EXPECT_EQ(Cp1250Length("\xE2\x82" "x"), 3u);
  EXPECT_EQ(AnsiUpperCase("a\x80" "b"), "A?B");
  EXPECT_EQ(AnsiCompareText("\xC4", "?"), 0);
}

const char kSmall[] = "áčďéěíňóřšťúůýžľĺŕôäöüłśźżąęćńőűţşăâîçëđ";
const char kCapital[] = "ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽĽĹŔÔÄÖÜŁŚŹŻĄĘĆŃŐŰŢŞĂÂÎÇËĐ";

TEST(CodePage, AccentedLettersChangeCase) {
  EXPECT_EQ(AnsiUpperCase(kSmall), kCapital);
  EXPECT_EQ(AnsiLowerCase(kCapital), kSmall);
  EXPECT_EQ(AnsiUpperCase("příliš žluťoučký kůň úpěl ďábelské ódy"), "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY");
  EXPECT_EQ(UpperCp1250(static_cast<char>(0xE8)), static_cast<char>(0xC8));
  EXPECT_EQ(LowerCp1250(static_cast<char>(0x8A)), static_cast<char>(0x9A));
}

TEST(CodePage, NonLettersAndLettersWithoutAPartnerKeepTheirCase) {
  const std::string kept = "ß µ ÷ × ˙ § € 0123456789 .,;-_@[]";
  EXPECT_EQ(AnsiUpperCase(kept), kept);
  EXPECT_EQ(AnsiLowerCase(kept), kept);
  // The rules are the code page's: letters it lacks pass through unchanged.
  EXPECT_EQ(AnsiUpperCase("αñ"), "αñ");
}

TEST(CodePage, ByteCaseMappingIsConsistentOverAllBytes) {
  for (unsigned b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const char upper = UpperCp1250(c);
    const char lower = LowerCp1250(c);
    EXPECT_EQ(UpperCp1250(upper), upper) << "byte " << b;
    EXPECT_EQ(LowerCp1250(lower), lower) << "byte " << b;
    EXPECT_EQ(UpperCp1250(lower), upper) << "byte " << b;
    if (upper != c) {
      EXPECT_EQ(LowerCp1250(upper), c) << "byte " << b;
    }
  }
}

TEST(CodePage, ComparisonIgnoresCaseAndOrdersByCodePageBytes) {
  EXPECT_LT(AnsiCompareText("ta", "TB"), 0);
  EXPECT_LT(AnsiCompareText("TB", "TC"), 0);
  EXPECT_GT(AnsiCompareText("TC", "ta"), 0);
  EXPECT_EQ(AnsiCompareText("čAj", "ČAJ"), 0);
  EXPECT_TRUE(AnsiSameText("Průvodce", "PRŮVODCE"));
  EXPECT_FALSE(AnsiSameText("Průvodce", "Pruvodce"));
  // Accented capitals sit above the ASCII letters as unsigned bytes.
  EXPECT_LT(AnsiCompareText("Z", "Č"), 0);
  EXPECT_LT(AnsiCompareText("z", "š"), 0);
  EXPECT_LT(AnsiCompareText("ab", "ABC"), 0);
  EXPECT_GT(AnsiCompareText("abc", "AB"), 0);
  EXPECT_EQ(AnsiCompareText("", ""), 0);
}

TEST(CodePage, LengthCountsCodePageBytes) {
  EXPECT_EQ(Cp1250Length("Průvodce"), 8u);
  EXPECT_EQ(Cp1250Length("€"), 1u);
  EXPECT_EQ(Cp1250Length(""), 0u);
}

}  // namespace
}  // namespace platform
