#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace platform {
namespace {

TEST(CodePage, Utf8ToCp1250) {
  const std::pair<std::string, std::string> cases[] = {
      {"Průvodce", "Pr\xF9vodce"},
      {"Čšžěů€", "\xC8\x9A\x9E\xEC\xF9\x80"},
      {"„“–—…", "\x84\x93\x96\x97\x85"},
      {"ŁĄŞŻĽľ", "\xA3\xA5\xAA\xAF\xBC\xBE"},
      {"§°×ß÷˙\u00A0", "\xA7\xB0\xD7\xDF\xF7\xFF\xA0"},
      {std::string("A\0b\x7F\n", 5), std::string("A\0b\x7F\n", 5)},  // ASCII with NUL unchanged
      {"α日😀x", "???x"},                                                // outside the code page
      {"ñ", "?"},
      // Malformed UTF-8: one question mark per bad byte.
      {"a\x80" "b", "a?b"},           // stray continuation
      {"\xC4", "?"},                  // cut short at the end
      {"\xC5" "A", "?A"},             // lead followed by ASCII
      {"\xE2\x82", "??"},             // euro sign cut short
      {"\xC0\xAF", "??"},             // overlong '/'
      {"\xE0\x80\xAF", "???"},        // overlong '/'
      {"\xED\xA0\x80", "???"},        // surrogate
      {"\xF4\x90\x80\x80", "????"},   // beyond U+10FFFF
      {"\xFF\xFE", "??"},
  };
  for (const auto& [utf8, cp1250] : cases) {
    EXPECT_EQ(Utf8ToCp1250(utf8), cp1250) << utf8;
    EXPECT_EQ(Cp1250Length(utf8), cp1250.size()) << utf8;
  }
  EXPECT_EQ(Cp1250ToUtf8("U\x9Eivatelsk\xE9"), "Uživatelské");
  EXPECT_EQ(Cp1250ToUtf8(std::string("A\0b", 3)), std::string("A\0b", 3));
  EXPECT_EQ(AnsiUpperCase("a\x80" "b"), "A?B");
  EXPECT_EQ(AnsiCompareText("\xC4", "?"), 0);
}

// Texts must come back from a file byte for byte, the five bytes that carry
// no character (read as the C1 controls of their value) included.
TEST(CodePage, EncodableTextsAreThoseWhoseEveryCharacterHasAByte) {
  const std::pair<const char*, bool> rows[] = {
      {"", true},         {"Žďár nad Sázavou", true}, {"€ „x“", true}, {"a-Дир", false},
      {"ž日", false},      {"\xff", false},            {"\x7f", true},
  };
  for (const auto& [text, encodable] : rows) EXPECT_EQ(platform::EncodableInCp1250(text), encodable) << text;
}

TEST(CodePage, EveryByteSurvivesTheWayThroughUtf8) {
  std::string all;
  for (unsigned b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1250ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1250(utf8), all);
  EXPECT_EQ(Cp1250Length(utf8), 256u);
  for (const unsigned char b : {0x81, 0x83, 0x88, 0x90, 0x98}) {
    const std::string one(1, static_cast<char>(b)), c1 = {'\xC2', static_cast<char>(b)};
    EXPECT_EQ(std::tuple(Cp1250ToUtf8(one), Utf8ToCp1250(c1), AnsiUpperCase(c1)), std::tuple(c1, one, c1))
        << "byte " << unsigned{b};
  }
}

TEST(CodePage, ForeignCodePagesConvertBothWaysAndKeepEveryByte) {
  const struct {
    int codePage;
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {852, "\xA6\xD4\xA0r nad S\xA0zavou", "Žďár nad Sázavou"},
      {852, "\xAC\xD8\x85\xFD\xE7\x9F", "Čěůřšč"},
      {895, "\x92\x83\xA0r \x9E\xA9\x96", "Žďár Řřů"},
      {437, "\x80\x9B\xE1\xB0", "Ç¢ß░"},
      {1252, "M\xFCller Stra\xDF" "e \x80\x9C", "Müller Straße €œ"},
      {1250, "\x8E\xEF\xE1r", "Žďár"},
      {0, "\x8E\xEF\xE1r", "Žďár"},  // no code page named: the system's own
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CodePageToUtf8(c.codePage, c.bytes), c.utf8) << c.codePage << " " << c.utf8;
    EXPECT_EQ(Utf8ToCodePage(c.codePage, c.utf8), c.bytes) << c.codePage << " " << c.utf8;
  }
  std::string all;
  for (unsigned b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (const int codePage : {437, 852, 895, 1252}) {
    EXPECT_EQ(Utf8ToCodePage(codePage, CodePageToUtf8(codePage, all)), all) << codePage;
    EXPECT_EQ(Utf8ToCodePage(codePage, "日"), "?") << codePage;
  }
}

TEST(CodePage, CaseFollowsTheCodePage) {
  const char kSmall[] = "áčďéěíňóřšťúůýžľĺŕôäöüłśźżąęćńőűţşăâîçëđ";
  const char kCapital[] = "ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽĽĹŔÔÄÖÜŁŚŹŻĄĘĆŃŐŰŢŞĂÂÎÇËĐ";
  EXPECT_EQ(AnsiUpperCase(kSmall), kCapital);
  EXPECT_EQ(AnsiLowerCase(kCapital), kSmall);
  EXPECT_EQ(AnsiUpperCase("příliš žluťoučký kůň úpěl ďábelské ódy"), "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY");
  // Non-letters, letters without a partner and letters the code page lacks keep their case;
  // characters at the edges of UTF-8's lengths (U+0080, U+07FF, U+0800, U+FFFF) come back as they were written.
  for (const std::string kept : {"ß µ ÷ × ˙ § € 0123456789 .,;-_@[]", "αñ", "\xC2\x80 \xDF\xBF \xE0\xA0\x80 \xEF\xBF\xBF"}) {
    EXPECT_EQ(AnsiUpperCase(kept), kept);
    EXPECT_EQ(AnsiLowerCase(kept), kept);
  }
  EXPECT_EQ(UpperCp1250(static_cast<char>(0xE8)), static_cast<char>(0xC8));
  EXPECT_EQ(LowerCp1250(static_cast<char>(0x8A)), static_cast<char>(0x9A));
  for (unsigned b = 0; b < 256; ++b) {  // consistent over all bytes
    const char c = static_cast<char>(b), upper = UpperCp1250(c), lower = LowerCp1250(c);
    EXPECT_EQ(std::tuple(UpperCp1250(upper), LowerCp1250(lower), UpperCp1250(lower),
                         upper == c || LowerCp1250(upper) == c),
              std::tuple(upper, lower, upper, true))
        << "byte " << b;
  }
}

TEST(CodePage, ComparisonIgnoresCaseAndOrdersByCodePageBytes) {
  const std::tuple<const char*, const char*, int> cases[] = {
      {"ta", "TB", -1}, {"TB", "TC", -1}, {"TC", "ta", 1}, {"čAj", "ČAJ", 0}, {"Průvodce", "PRŮVODCE", 0},
      {"Z", "Č", -1},   {"z", "š", -1},  // accented capitals sit above the ASCII letters as unsigned bytes
      {"ab", "ABC", -1}, {"abc", "AB", 1}, {"", "", 0}};
  for (const auto& [a, b, sign] : cases) {
    const int result = AnsiCompareText(a, b);
    EXPECT_EQ((result > 0) - (result < 0), sign) << a << " " << b;
    EXPECT_EQ(AnsiSameText(a, b), sign == 0) << a << " " << b;
  }
  EXPECT_FALSE(AnsiSameText("Průvodce", "Pruvodce"));
}

// Comparing two texts upper-cased, without building the upper-cased copies.
TEST(CodePage, SameUpperCaseAgreesWithComparingTheUpperCasedCopies) {
  const std::pair<const char*, const char*> cases[] = {
      {"Model", "MODEL"}, {"model", "modelx"}, {"", ""}, {"", "a"}, {"Šíp", "ŠÍPY"}, {"ß", "SS"}, {"x_9-", "X_9-"},
      {"žluťoučký kůň", "ŽLUŤOUČKÝ KŮŇ"},  // accented capitals by the code page's rules
      {"ж", "Ж"},                          // outside the code page: kept as it is, so the cases differ
      {"ж", "я"},                          // two letters the code page lacks are not the same letter
      {"\xff", "?"}, {"\xC3", "?"}, {"a\xC3", "A?"},  // a malformed byte or a sequence cut short is a question mark
      {"a long name well beyond any short string buffer", "A LONG NAME WELL BEYOND ANY SHORT STRING BUFFER"},
  };
  for (const auto& [a, b] : cases) {
    const bool expected = AnsiUpperCase(a) == AnsiUpperCase(b);
    EXPECT_EQ(AnsiSameUpperCase(a, b), expected) << a << " / " << b;
    EXPECT_EQ(AnsiSameUpperCase(b, a), expected) << b << " / " << a;
  }
}

}  // namespace
}  // namespace platform
