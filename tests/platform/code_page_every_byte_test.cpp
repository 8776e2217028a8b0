#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"

namespace platform {
namespace {

// Texts must come back from a file byte for byte, the five bytes that carry
// no character included.
TEST(CodePageEveryByte, EveryByteSurvivesTheWayThroughUtf8) {
  std::string all;
  for (unsigned b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1250ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1250(utf8), all);
  EXPECT_EQ(Cp1250Length(utf8), 256u);
}

TEST(CodePageEveryByte, BytesWithoutACharacterAreTheC1ControlsOfTheirValue) {
  struct Case {
    unsigned char Byte;
    const char* Utf8;
  };
  const Case cases[] = {{0x81, "\xC2\x81"}, {0x83, "\xC2\x83"}, {0x88, "\xC2\x88"}, {0x90, "\xC2\x90"},
                        {0x98, "\xC2\x98"}};
  for (const Case& c : cases) {
    const std::string one(1, static_cast<char>(c.Byte));
    EXPECT_EQ(Cp1250ToUtf8(one), c.Utf8) << "byte " << unsigned{c.Byte};
    EXPECT_EQ(Utf8ToCp1250(c.Utf8), one) << "byte " << unsigned{c.Byte};
    EXPECT_EQ(AnsiUpperCase(c.Utf8), c.Utf8) << "byte " << unsigned{c.Byte};
  }
}

}  // namespace
}  // namespace platform
