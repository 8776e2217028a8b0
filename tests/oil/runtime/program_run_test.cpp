#include "tests/oil/oil_fixture.h"

namespace {

class ProgramRun : public OilTest {};

// Each row's statements make the main block; the program's variables from the first slot, each followed by '|',
// then the message boxes of the run's report after '!'.
TEST_F(ProgramRun, StatementsAndRoutinesLeaveTheirVariablesAndReportsAsExpected) {
  const Row cases[] = {
      {"assignment and arithmetic", "a : INTEGER := 3 * 4 + 1; b : FLOAT := 7 / 2;", "13| 3.50000000000000E+0000|"},
      {"leading minus on the first term only", "a : INTEGER := -1 + 2; b : INTEGER := 5; c : INTEGER := -b - 1;",
       "1|5|-6|"},
      {"FOR TO leaves the last counter", "i, s : INTEGER; FOR i := 1 TO 3 DO s := s * 10 + i;", "3|123|"},
      {"FOR that never runs leaves the start", "i, s : INTEGER; FOR i := 5 TO 1 DO s := 1;", "5|0|"},
      {"FOR DOWNTO", "i, s : INTEGER; FOR i := 3 DOWNTO 1 DO s := s * 10 + i;", "1|321|"},
      {"FOR count fixed before the body", "i, n : INTEGER; FOR i := 1 TO 3 DO BEGIN n := n + 1; i := 10; END;",
       "10|3|"},
      {"FOR over chars", "c : CHAR; s : STRING; FOR c := 'a' TO 'c' DO s := s + c;", "c|abc|"},
      {"REPEAT UNTIL", "i : INTEGER; REPEAT i := i + 1; UNTIL i >= 4;", "4|"},
      {"CASE ELSE", "i, a : INTEGER; i := 9; CASE i OF 1: a := 10 ELSE a := 99;", "9|99|"},
      {"CASE strings are case-sensitive", "s : STRING; a : INTEGER; s := 'x'; CASE s OF 'X': a := 1 'x': a := 2 END;",
       "x|2|"},
      {"CASE over a char", "c : CHAR := 'b'; a : INTEGER; CASE c OF 'a': a := 1 'b': a := 2 END;", "b|2|"},
      {"BEGIN block hides an outer name", "a : INTEGER := 1; BEGIN a : INTEGER := 2; END; b : INTEGER := a;", "1|1|"},
      {"TRY continues after a run-time error",
       "a : INTEGER; e : TELEMENT; TRY a := 1; a := e.ID; a := 2; END; a := a + 10;", "11|"},
      {"literal beyond the integer range is a float", "f : FLOAT := 3000000000; g : FLOAT := 2147483647 + 0.5;",
       " 3.00000000000000E+0009| 2.14748364750000E+0009|"},
      {"elements in a stable order",
       "n : INTEGER; a : TELEMENT := WORLD; b : TELEMENT := MAINTOOL;\n"
       "IF a < b THEN n := n + 1; IF b < a THEN n := n + 1; IF a > b THEN n := n + 10; IF b > a THEN n := n + 10;\n"
       "IF a = b THEN n := n + 100; IF a <> b THEN n := n + 1000;",
       "1011|"},
      {"long names compared whole",
       "abcdefghijabcdefghijabcdefghij_one : INTEGER := 1; abcdefghijabcdefghijabcdefghij_two : INTEGER := 2;\n"
       "abcdefghijabcdefghijabcdefghij_one := abcdefghijabcdefghijabcdefghij_one + 10;",
       "11|2|"},
      {"type mismatch", "e : TTOOL; e := WORLD;", "!Typová neshoda"},
      {"nil is assignable to an element", "e : TTOOL; e := NIL;", ""},
      {"index outside the children is catchable", "TRY e : TELEMENT := WORLD[1000]; END;", ""},
      {"CASE on nil", "i : INTEGER; CASE WORLD.ApplicTitle AND TRUE OF TRUE: i := 1 END;", "!Nevyjádřitelná proměnná"},
      {"unknown property", "i : INTEGER := WORLD.NoSuchProperty;", "!Špatné jméno property"},
      {"path into a value", "s : STRING := MAINTOOL[1000]\\x.Name;", "!Prvek neexistuje"},
  };
  // Each row's routines, then the main block's statements; what they give as above.
  const Row routines[] = {
      {"recursion keeps locals per activation",
       "FUNCTION Fib(N: INTEGER): INTEGER;\n"
       "BEGIN a : INTEGER; IF N < 2 THEN RESULT := N ELSE BEGIN a := Fib(N - 1); RESULT := a + Fib(N - 2); END; END;\n"
       "BEGIN f : INTEGER := Fib(15);", "610|"},
      {"by-reference parameters of every type",
       "PROCEDURE Set(VAR I: INTEGER; VAR F: FLOAT; VAR S: STRING; VAR B: BOOLEAN; VAR C: CHAR);\n"
       "BEGIN I := 7; F := 1.5; S := S + 'x'; B := TRUE; C := 'q'; END;\n"
       "BEGIN i : INTEGER; f : FLOAT; s : STRING := 'a'; b : BOOLEAN; c : CHAR; Set(i, f, s, b, c);",
       "7| 1.50000000000000E+0000|ax|true|q|"},
      {"by-reference passed on reaches the first caller",
       "PROCEDURE Inner(VAR X: INTEGER); BEGIN X := X + 1; END;\n"
       "PROCEDURE Outer(VAR Y: INTEGER); BEGIN Inner(Y); Inner(Y); END; BEGIN n : INTEGER := 5; Outer(n);", "7|"},
      {"recursive by-reference reaches the outermost variable",
       "PROCEDURE Count(VAR X: INTEGER; N: INTEGER); BEGIN IF N > 0 THEN BEGIN X := X + 1; Count(X, N - 1); END; END;\n"
       "BEGIN n : INTEGER; Count(n, 20);", "20|"},
      {"nested routine sees its parent's parameters",
       "FUNCTION Outer(A: INTEGER): INTEGER;\n"
       "  FUNCTION Twice(): INTEGER; BEGIN RESULT := A * 2; END;\n"
       "BEGIN RESULT := Twice() + 1; END; BEGIN r : INTEGER := Outer(20);", "41|"},
      {"function result type and slots",
       "FUNCTION F(A: INTEGER; VAR B: FLOAT): STRING; BEGIN B := A; RESULT := 'done'; END;\n"
       "BEGIN x : FLOAT; s : STRING := F(3, x);", " 3.00000000000000E+0000|done|"},
      {"function called as a statement",
       "FUNCTION One(): INTEGER; BEGIN RESULT := 1; END; BEGIN One(); n : INTEGER := One();", "1|"},
      {"caught errors do not grow the stack", "PROCEDURE Fail; BEGIN a, b, c : INTEGER; e : TELEMENT; a := e.ID; END;\n"
       "BEGIN i : INTEGER; FOR i := 1 TO 50 DO TRY Fail(); END;", "50|"},
      {"runaway recursion ends as a catchable error after many calls",
       "PROCEDURE R(VAR N: INTEGER); BEGIN N := N + 1; R(N); END;\n"
       "BEGIN ok, n : INTEGER; TRY R(n); END; IF n > 500 THEN ok := 1;", "1|"},
      {"runaway recursion", "PROCEDURE R; BEGIN R(); END; BEGIN R();", "!Vnitřní chyba"},
  };
  for (const auto& c : cases) {
    ASSERT_NO_THROW(RunProgram("PROGRAM T;\nBEGIN\n" + c.text + "\nEND.")) << c.name;
    EXPECT_EQ(Outcome(c.expected), c.expected) << c.name;
  }
  for (const auto& c : routines) {
    RunProgram("PROGRAM P;\n" + c.text + " END.");
    EXPECT_EQ(Outcome(c.expected), c.expected) << c.name;
    // Only the program's frame is left.
    EXPECT_EQ(program->GetStack()->GetCount(), program->VarCount()) << c.name;
  }
}

class RunErrors : public OilTest {};

TEST_F(RunErrors, OfTheOperatorsPassTryAndTheRunReport) {
  Compile("PROGRAM P; BEGIN TRY i : INTEGER := 1 DIV 0; END; END.");
  EXPECT_THROW(program->Run(), TLangError);
  EXPECT_TRUE(dialogs.Messages.empty());
  Compile("PROGRAM P; BEGIN f : FLOAT := 1 / 0; END.");
  EXPECT_THROW(program->Run(), EOilArithmetic);
}

}  // namespace
