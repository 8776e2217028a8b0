#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <locale>
#include <string>

#include "framework/values/line_scanner.h"
#include "framework/values/real48.h"

namespace {

template <class Read>
void ExpectFailedReads(std::initializer_list<const char*> Lines, Read ReadValue) {
  for (const char* Line : Lines) {
    TCtiRadekClass S(Line);
    EXPECT_EQ(ReadValue(S), 0) << Line;
    EXPECT_TRUE(S.IsEnd()) << Line;
  }
}

TEST(CtiRadek, ReadsIntegerRealThenFailsOnText) {
  TCtiRadekClass S(" 12 -3.5 x");
  EXPECT_EQ(S.ReadInteger(), 12);
  EXPECT_EQ(S.ReadReal(), -3.5);
  EXPECT_FALSE(S.IsEnd());
  EXPECT_EQ(S.ReadInteger(), 0);
  EXPECT_TRUE(S.IsEnd());
}

TEST(CtiRadek, ASignAfterADigitEndsTheInteger) {
  TCtiRadekClass S("1-2");
  EXPECT_EQ(S.ReadInteger(), 1);
  EXPECT_EQ(S.ReadInteger(), -2);
  EXPECT_FALSE(S.IsEnd());

  TCtiRadekClass T("1-2");
  T.ReadInteger();
  EXPECT_EQ(T.ReadChar(), '-');
}

TEST(CtiRadek, IntegerConversionsThatFailSetTheEndFlag) {
  ExpectFailedReads({"--5", "+-5", "abc", "", "+", "99999999999", "-2147483649"},
                    [](TCtiRadekClass& S) { return S.ReadInteger(); });
}

TEST(CtiRadek, IntegersWithSignsAndLimits) {
  TCtiRadekClass S("a+7;x-2147483648 2147483647 12+3");
  EXPECT_EQ(S.ReadInteger(), 7);
  EXPECT_EQ(S.ReadInteger(), -2147483647 - 1);
  EXPECT_EQ(S.ReadInteger2(), 2147483647);
  EXPECT_EQ(S.ReadInteger(), 12);
  EXPECT_EQ(S.ReadInteger(), 3);
  EXPECT_FALSE(S.IsEnd());
}

TEST(CtiRadek, RealStopsBeforeAnExponentLetter) {
  TCtiRadekClass S("1.5e3");
  EXPECT_EQ(S.ReadReal(), 1.5);
  EXPECT_EQ(S.ReadChar(), 'e');
}

TEST(CtiRadek, RealFormsAndFailures) {
  TCtiRadekClass S("x+.5 5. -0.25");
  EXPECT_EQ(S.ReadReal(), 0.5);
  EXPECT_EQ(S.ReadReal(), 5.0);
  EXPECT_EQ(S.ReadReal(), -0.25);
  ExpectFailedReads({"1.2.3", "-", ".", "1-2", "--1", "abc"}, [](TCtiRadekClass& S) { return S.ReadReal(); });
}

TEST(CtiRadek, ACommaIsNotADecimalPoint) {
  TCtiRadekClass S("3,5");
  EXPECT_EQ(S.ReadReal(), 3.0);
  EXPECT_EQ(S.ReadReal(), 5.0);
}

struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(CtiRadek, NumbersUseThePointWhateverTheLocale) {
  const std::locale Previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  TCtiRadekClass S("-3.5 2.25");
  const double Real = S.ReadReal();
  const long double Float = S.ReadFloat();
  std::locale::global(Previous);
  EXPECT_EQ(Real, -3.5);
  EXPECT_EQ(Float, 2.25L);
}

TEST(CtiRadek, RealHasSixByteRealPrecisionFloatHasExtended) {
  TCtiRadekClass S("0.1 0.1");
  EXPECT_EQ(S.ReadReal(), RoundToReal48(0.1));
  EXPECT_NE(RoundToReal48(0.1), 0.1);
  EXPECT_EQ(S.ReadFloat(), 0.1L);
}

TEST(CtiRadek, RealRoundsTheTextOnceToTheSixByteReal) {
  // 1 + 2^-40 - 2^-60 and 1 + 2^-40 + 2^-60: either side of the half-way point
  // between 1 and the next six-byte real, which a double could not tell apart.
  if (std::numeric_limits<long double>::digits < 61) GTEST_SKIP() << "long double is no wider than double";
  TCtiRadekClass S("1.000000000000909493834411190249511491856537759304046630859375 "
                   "1.000000000000909495569134666226318586268462240695953369140625");
  EXPECT_EQ(S.ReadReal(), 1.0);
  EXPECT_EQ(S.ReadReal(), 1.0 + std::ldexp(1.0, -39));
  EXPECT_FALSE(S.IsEnd());
}

TEST(CtiRadek, RealBeyondTheSixByteRangeIsAFailedReadNotARaise) {
  const std::string Huge = "1" + std::string(40, '0');
  TCtiRadekClass S(Huge);
  EXPECT_EQ(S.ReadReal(), 0.0);
  EXPECT_TRUE(S.IsEnd());
  TCtiRadekClass F(Huge);
  EXPECT_EQ(F.ReadFloat(), 1e40L);
  EXPECT_FALSE(F.IsEnd());
}

TEST(CtiRadek, BooleanReadsTheFirstKnownLetter) {
  const struct {
    const char* Line;
    bool Value;
    bool End;
  } Cases[] = {{" ano", true, false}, {"ne", false, false},  {"", false, true},    {"xyz", false, true},
               {"  t", true, false},  {"F", false, false},   {"1", true, false},   {"0", false, false},
               {"-- A", true, false}, {"yes", false, true}};
  for (const auto& C : Cases) {
    TCtiRadekClass S(C.Line);
    EXPECT_EQ(S.ReadBoolean(), C.Value) << C.Line;
    EXPECT_EQ(S.IsEnd(), C.End) << C.Line;
  }
}

TEST(CtiRadek, AfterTheEndFlagReadsGiveNothing) {
  TCtiRadekClass S("abc 5");
  S.Back();  // at position 1
  ASSERT_TRUE(S.IsEnd());
  EXPECT_EQ(S.ReadChar(), '\0');
  std::string Text = "kept";
  S.ReadUntil(' ', Text);
  EXPECT_EQ(Text, "kept");
  S.ReadCount(2, Text);
  EXPECT_EQ(Text, "kept");
  S.ReadUntilSet(TCharSet().set(' '), Text);
  EXPECT_EQ(Text, "kept");
  EXPECT_EQ(S.ReadInteger(), 0);
  EXPECT_EQ(S.ReadReal(), 0.0);
  EXPECT_EQ(S.ReadFloat(), 0.0L);
  EXPECT_FALSE(S.ReadBoolean());
}

TEST(CtiRadek, ReadCharPastTheLineGivesNulAndEnds) {
  TCtiRadekClass S("ab");
  EXPECT_EQ(S.ReadChar(), 'a');
  EXPECT_EQ(S.ReadChar(), 'b');
  EXPECT_FALSE(S.IsEnd());
  EXPECT_EQ(S.ReadChar(), '\0');
  EXPECT_TRUE(S.IsEnd());
}

TEST(CtiRadek, BackAndSkipMoveOneCharacter) {
  TCtiRadekClass S("abc");
  S.Skip();
  EXPECT_EQ(S.ReadChar(), 'b');
  S.Back();
  EXPECT_EQ(S.ReadChar(), 'b');
  S.Back();
  S.Back();
  EXPECT_FALSE(S.IsEnd());
  EXPECT_EQ(S.ReadChar(), 'a');
}

TEST(CtiRadek, CharacterWiseReadsStopAtPosition254) {
  const std::string Line = std::string(300, 'a') + ";77";
  TCtiRadekClass S(Line);
  for (int I = 1; I < 254; ++I) ASSERT_EQ(S.ReadChar(), 'a');
  EXPECT_FALSE(S.IsEnd());
  EXPECT_EQ(S.ReadChar(), 'a');  // the 254th character, then the end
  EXPECT_TRUE(S.IsEnd());
  EXPECT_EQ(S.ReadChar(), '\0');

  TCtiRadekClass K(Line);
  for (int I = 1; I < 254; ++I) K.Skip();
  EXPECT_FALSE(K.IsEnd());
  K.Skip();
  EXPECT_TRUE(K.IsEnd());
}

TEST(CtiRadek, OtherReadsReachTheEndOfALongLine) {
  const std::string Line = std::string(300, 'a') + ";77";
  TCtiRadekClass S(Line);
  std::string Text;
  S.ReadUntil(';', Text);
  EXPECT_EQ(Text, std::string(300, 'a'));
  EXPECT_EQ(S.ReadInteger(), 77);
  EXPECT_FALSE(S.IsEnd());

  TCtiRadekClass R(std::string(280, ' ') + "-1.25");
  EXPECT_EQ(R.ReadReal(), -1.25);
}

TEST(CtiRadek, SkipBlanksPassesSpacesOnly) {
  TCtiRadekClass S("   \tx");
  S.SkipBlanks();
  EXPECT_EQ(S.ReadChar(), '\t');
  TCtiRadekClass All("   ");
  All.SkipBlanks();
  EXPECT_FALSE(All.IsEnd());
  EXPECT_EQ(All.ReadChar(), '\0');
}

TEST(CtiRadek, ReadCountTakesFixedWidthFields) {
  TCtiRadekClass S("abcdef");
  std::string Text;
  S.ReadCount(3, Text);
  EXPECT_EQ(Text, "abc");
  EXPECT_EQ(S.ReadChar(), 'd');
  S.ReadCount(10, Text);
  EXPECT_EQ(Text, "ef");
  EXPECT_FALSE(S.IsEnd());
  S.ReadCount(1, Text);
  EXPECT_EQ(Text, "");
  EXPECT_EQ(S.ReadChar(), '\0');
  EXPECT_TRUE(S.IsEnd());
}

TEST(CtiRadek, ANegativeCountReadsNothingAndStays) {
  TCtiRadekClass S("abc");
  S.Skip();
  std::string Text = "old";
  S.ReadCount(-5, Text);
  EXPECT_EQ(Text, "");
  EXPECT_EQ(S.ReadChar(), 'b');
  S.ReadCount(2147483647, Text);
  EXPECT_EQ(Text, "c");
  EXPECT_EQ(S.ReadChar(), '\0');
}

TEST(CtiRadek, PositionsCountCharactersNotUtf8Bytes) {
  TCtiRadekClass S("čáp 12");
  std::string Text;
  S.ReadCount(3, Text);
  EXPECT_EQ(Text, "čáp");
  EXPECT_EQ(S.ReadInteger(), 12);
}

TEST(CtiRadek, ReadUntilLeavesTheStopCharacterUnread) {
  TCtiRadekClass S("abc;def");
  std::string Text;
  S.ReadUntil(';', Text);
  EXPECT_EQ(Text, "abc");
  EXPECT_EQ(S.ReadChar(), ';');
  S.ReadUntil(';', Text);
  EXPECT_EQ(Text, "def");
  EXPECT_FALSE(S.IsEnd());
  S.ReadUntil(';', Text);
  EXPECT_EQ(Text, "");
}

TEST(CtiRadek, ReadUntilSetStopsAtAnyCodeOfTheSet) {
  TCtiRadekClass S("ab,cd;ešf");
  const TCharSet Stops = TCharSet().set(',').set(';');
  std::string Text;
  S.ReadUntilSet(Stops, Text);
  EXPECT_EQ(Text, "ab");
  S.Skip();
  S.ReadUntilSet(Stops, Text);
  EXPECT_EQ(Text, "cd");
  S.Skip();
  // The set holds Windows-1250 codes; 0x9A is "š".
  S.ReadUntilSet(TCharSet().set(0x9A), Text);
  EXPECT_EQ(Text, "e");
  EXPECT_EQ(static_cast<unsigned char>(S.ReadChar()), 0x9A);
}

}  // namespace
