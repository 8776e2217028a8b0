#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <locale>
#include <sstream>
#include <string>

#include "framework/values/line_scanner.h"
#include "framework/values/real48.h"

namespace {

// Runs reads given as blank-separated ops on a scanner of the line and answers what each gave, joined by "|":
// i ReadInteger, I ReadInteger2, r ReadReal, f ReadFloat, b ReadBoolean, c ReadChar (NUL as ^@), k Skip,
// B Back, s SkipBlanks, u<stop> ReadUntil, n<count> ReadCount, U<stops> ReadUntilSet, E the end flag (E or -).
// The text the reads fill starts as "kept".
std::string Scan(const std::string& line, const std::string& ops) {
  TCtiRadekClass scanner(line);
  std::ostringstream out;
  out.precision(15);
  out.imbue(std::locale::classic());
  std::string text = "kept";
  std::istringstream steps(ops);
  for (std::string op; steps >> op;) {
    const std::string arg = op.substr(1);
    switch (op[0]) {
      case 'i': out << scanner.ReadInteger(); break;
      case 'I': out << scanner.ReadInteger2(); break;
      case 'r': out << scanner.ReadReal(); break;
      case 'f': out << scanner.ReadFloat(); break;
      case 'b': out << scanner.ReadBoolean(); break;
      case 'c': {
        const char c = scanner.ReadChar();
        out << (c ? std::string(1, c) : "^@");
        break;
      }
      case 'k': scanner.Skip(); continue;
      case 'B': scanner.Back(); continue;
      case 's': scanner.SkipBlanks(); continue;
      case 'u': scanner.ReadUntil(arg[0], text), out << text; break;
      case 'n': scanner.ReadCount(std::stoi(arg), text), out << text; break;
      case 'U': {
        TCharSet stops;
        for (char c : arg) stops.set(static_cast<unsigned char>(c));
        scanner.ReadUntilSet(stops, text);
        out << text;
        break;
      }
      default: out << (scanner.IsEnd() ? "E" : "-");
    }
    out << "|";
  }
  std::string result = out.str();
  return result.substr(0, result.size() - 1);
}

TEST(LineScanner, ReadsOfEveryKindWhereTheyStopAndWhenTheyEnd) {
  const struct {
    const char* line;
    const char* ops;
    const char* expected;
  } cases[] = {
      {" 12 -3.5 x", "i r E i E", "12|-3.5|-|0|E"},
      {"1-2", "i i E", "1|-2|-"},  // a sign after a digit ends the integer
      {"1-2", "i c", "1|-"}, {"a+7;x-2147483648 2147483647 12+3", "i i I i i E", "7|-2147483648|2147483647|12|3|-"},
      {"1.5e3", "r c", "1.5|e"},  // a real stops before an exponent letter
      {"x+.5 5. -0.25", "r r r", "0.5|5|-0.25"},
      {"3,5", "r r", "3|5"},  // a comma is no decimal point
      {"abc 5", "B E c u; n2 U  i r f b", "E|^@|kept|kept|kept|0|0|0|0"},  // after the end flag reads give nothing
      {"ab", "c c E c E", "a|b|-|^@|E"}, {"abc", "k c B c B B E c", "b|b|-|a"},
      {"   \tx", "s c", "\t"},  // only spaces are blanks
      {"   ", "s E c", "-|^@"}, {"abcdef", "n3 c n10 E n1 c E", "abc|d|ef|-||^@|E"},
      {"abc", "k n-5 c n2147483647 c", "|b|c|^@"},  // a negative count reads nothing and stays
      {"čáp 12", "n3 i", "čáp|12"},                 // positions count characters, not UTF-8 bytes
      {"abc;def", "u; c u; E u;", "abc|;|def|-|"},   // the stop character is left unread
      {"ab,cd;ef", "U,; k U,; k U,; E", "ab|cd|ef|-"},
  };
  for (const auto& c : cases) EXPECT_EQ(Scan(c.line, c.ops), c.expected) << c.line << " / " << c.ops;
  for (const char* line : {"--5", "+-5", "abc", "", "+", "99999999999", "-2147483649"})
    EXPECT_EQ(Scan(line, "i E"), "0|E") << line;
  for (const char* line : {"1.2.3", "-", ".", "1-2", "--1", "abc", "10000000000000000000000000000000000000000"})
    EXPECT_EQ(Scan(line, "r E"), "0|E") << line;  // a real beyond the six-byte range is a failed read
  EXPECT_EQ(Scan("10000000000000000000000000000000000000000", "f E"), "1e+40|-");
  for (const auto& [line, expected] : {std::pair{" ano", "1|-"}, {"ne", "0|-"}, {"", "0|E"}, {"xyz", "0|E"},
                                       {"  t", "1|-"}, {"F", "0|-"}, {"1", "1|-"}, {"0", "0|-"}, {"-- A", "1|-"},
                                       {"yes", "0|E"}})
    EXPECT_EQ(Scan(line, "b E"), expected) << line;  // the first known letter
}

TEST(LineScanner, SetsHoldWindows1250CodesAndCharacterReadsStopAtPosition254) {
  TCtiRadekClass s("ešf");
  std::string text;
  s.ReadUntilSet(TCharSet().set(0x9A), text);  // 0x9A is "š"
  EXPECT_EQ(text, "e");
  EXPECT_EQ(static_cast<unsigned char>(s.ReadChar()), 0x9A);
  const std::string line = std::string(300, 'a') + ";77";
  const auto repeat = [](const std::string& op) {
    std::string ops;
    for (int i = 1; i < 254; ++i) ops += op + " ";
    return ops;
  };
  const std::string chars = Scan(line, repeat("c") + "E c E c");
  EXPECT_EQ(chars.substr(chars.size() - 10), "a|-|a|E|^@");  // the 254th character, then the end
  EXPECT_EQ(Scan(line, repeat("k") + "E k E"), "-|E");
  EXPECT_EQ(Scan(line, "u; i E"), std::string(300, 'a') + "|77|-");  // other reads reach the end
  EXPECT_EQ(Scan(std::string(280, ' ') + "-1.25", "r"), "-1.25");
}

TEST(LineScanner, RealsHaveSixByteRealPrecisionRoundedOnceAndUseThePointWhateverTheLocale) {
  TCtiRadekClass s("0.1 0.1");
  EXPECT_EQ(s.ReadReal(), RoundToReal48(0.1));
  EXPECT_NE(RoundToReal48(0.1), 0.1);
  EXPECT_EQ(s.ReadFloat(), 0.1L);
  struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  const std::string read = Scan("-3.5 2.25", "r f");
  std::locale::global(previous);
  EXPECT_EQ(read, "-3.5|2.25");
  // 1 + 2^-40 - 2^-60 and 1 + 2^-40 + 2^-60: either side of the half-way point
  // between 1 and the next six-byte real, which a double could not tell apart.
  if (std::numeric_limits<long double>::digits < 61) GTEST_SKIP() << "long double is no wider than double";
  TCtiRadekClass halves("1.000000000000909493834411190249511491856537759304046630859375 "
                        "1.000000000000909495569134666226318586268462240695953369140625");
  EXPECT_EQ(halves.ReadReal(), 1.0);
  EXPECT_EQ(halves.ReadReal(), 1.0 + std::ldexp(1.0, -39));
  EXPECT_FALSE(halves.IsEnd());
}

}  // namespace
