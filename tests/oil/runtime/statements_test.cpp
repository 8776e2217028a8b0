#include "tests/oil/oil_fixture.h"

namespace {

class Statements : public OilTest {};

TEST_F(Statements, LeaveTheirVariablesAsExpected) {
  const struct {
    const char* name;
    const char* body;    // statements of the main block
    const char* values;  // the program's variables from the first slot, each followed by '|'
  } cases[] = {
      {"assignment and arithmetic", "a : INTEGER := 3 * 4 + 1; b : FLOAT := 7 / 2;", "13| 3.50000000000000E+0000|"},
      {"leading minus on the first term only", "a : INTEGER := -1 + 2; b : INTEGER := 5; c : INTEGER := -b - 1;",
       "1|5|-6|"},
      {"IF THEN ELSE", "a : INTEGER; IF 1 < 2 THEN a := 1 ELSE a := 2;", "1|"},
      {"IF without ELSE", "a : INTEGER := 7; IF 1 > 2 THEN a := 1;", "7|"},
      {"FOR TO leaves the last counter", "i, s : INTEGER; FOR i := 1 TO 3 DO s := s * 10 + i;", "3|123|"},
      {"FOR that never runs leaves the start", "i, s : INTEGER; FOR i := 5 TO 1 DO s := 1;", "5|0|"},
      {"FOR DOWNTO", "i, s : INTEGER; FOR i := 3 DOWNTO 1 DO s := s * 10 + i;", "1|321|"},
      {"FOR count fixed before the body", "i, n : INTEGER; FOR i := 1 TO 3 DO BEGIN n := n + 1; i := 10; END;",
       "10|3|"},
      {"FOR over chars", "c : CHAR; s : STRING; FOR c := 'a' TO 'c' DO s := s + c;", "c|abc|"},
      {"WHILE", "i : INTEGER; WHILE i < 5 DO i := i + 2;", "6|"},
      {"REPEAT UNTIL", "i : INTEGER; REPEAT i := i + 1; UNTIL i >= 4;", "4|"},
      {"CASE integer labels", "i, a : INTEGER; i := 2; CASE i OF 1: a := 10 2: a := 20 END;", "2|20|"},
      {"CASE ELSE", "i, a : INTEGER; i := 9; CASE i OF 1: a := 10 ELSE a := 99;", "9|99|"},
      {"CASE strings are case-sensitive", "s : STRING; a : INTEGER; s := 'x'; CASE s OF 'X': a := 1 'x': a := 2 END;",
       "x|2|"},
      {"CASE float label", "f : FLOAT; a : INTEGER; f := 1.5; CASE f OF 1.5: a := 1 END;",
       " 1.50000000000000E+0000|1|"},
      {"BEGIN block hides an outer name", "a : INTEGER := 1; BEGIN a : INTEGER := 2; END; b : INTEGER := a;", "1|1|"},
      {"TRY continues after a run-time error",
       "a : INTEGER; e : TELEMENT; TRY a := 1; a := e.ID; a := 2; END; a := a + 10;", "11|"},
      {"strings and chars", "s : STRING := 'ab' + \"cd\"; c : CHAR := 'x'; t : STRING := c + s;", "abcd|x|xabcd|"},
      {"booleans", "b : BOOLEAN := (1 < 2) AND NOT (2 < 1); c : BOOLEAN := FALSE OR b;", "true|true|"},
      {"literal beyond the integer range is a float", "f : FLOAT := 3000000000; g : FLOAT := 2147483647 + 0.5;",
       " 3.00000000000000E+0009| 2.14748364750000E+0009|"},
      {"elements in a stable order",
       "n : INTEGER; a : TELEMENT := WORLD; b : TELEMENT := MAINTOOL;\n"
       "IF a < b THEN n := n + 1; IF b < a THEN n := n + 1; IF a > b THEN n := n + 10; IF b > a THEN n := n + 10;\n"
       "IF a = b THEN n := n + 100; IF a <> b THEN n := n + 1000;",
       "1011|"},
      {"MOD and DIV", "a : INTEGER := 7 MOD (-2); b : INTEGER := -7 MOD 2; c : INTEGER := -7 DIV 2;", "1|-1|-3|"},
      {"long names compared whole",
       "abcdefghijabcdefghijabcdefghij_one : INTEGER := 1; abcdefghijabcdefghijabcdefghij_two : INTEGER := 2;\n"
       "abcdefghijabcdefghijabcdefghij_one := abcdefghijabcdefghijabcdefghij_one + 10;",
       "11|2|"},
  };
  for (const auto& c : cases) {
    RunProgram(std::string("PROGRAM T;\nBEGIN\n") + c.body + "\nEND.");
    EXPECT_EQ(Shown(), std::vector<std::string>()) << c.name;
    EXPECT_EQ(VarsAs(c.values), c.values) << c.name;
  }
}

}  // namespace
