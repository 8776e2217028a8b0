#include "tests/oil/oil_fixture.h"

namespace {

class Routines : public OilTest {};

TEST_F(Routines, CallWithTheirOwnFrames) {
  const struct {
    const char* name;
    const char* routines;  // declared before the main block
    const char* main;
    const char* values;  // the program's variables from the first slot, each followed by '|'
  } cases[] = {
      {"recursive function reads its own frame",
       "FUNCTION Fact(N: INTEGER): INTEGER; BEGIN IF N <= 1 THEN RESULT := 1 ELSE RESULT := N * Fact(N - 1); END;",
       "f : INTEGER := Fact(10);", "3628800|"},
      {"recursion keeps locals per activation",
       "FUNCTION Fib(N: INTEGER): INTEGER;\n"
       "BEGIN a : INTEGER; IF N < 2 THEN RESULT := N ELSE BEGIN a := Fib(N - 1); RESULT := a + Fib(N - 2); END; END;",
       "f : INTEGER := Fib(15);", "610|"},
      {"by-reference parameters of every type",
       "PROCEDURE Set(VAR I: INTEGER; VAR F: FLOAT; VAR S: STRING; VAR B: BOOLEAN; VAR C: CHAR);\n"
       "BEGIN I := 7; F := 1.5; S := S + 'x'; B := TRUE; C := 'q'; END;",
       "i : INTEGER; f : FLOAT; s : STRING := 'a'; b : BOOLEAN; c : CHAR; Set(i, f, s, b, c);",
       "7| 1.50000000000000E+0000|ax|true|q|"},
      {"by-reference passed on reaches the first caller",
       "PROCEDURE Inner(VAR X: INTEGER); BEGIN X := X + 1; END;\n"
       "PROCEDURE Outer(VAR Y: INTEGER); BEGIN Inner(Y); Inner(Y); END;",
       "n : INTEGER := 5; Outer(n);", "7|"},
      {"recursive by-reference reaches the outermost variable",
       "PROCEDURE Count(VAR X: INTEGER; N: INTEGER); BEGIN IF N > 0 THEN BEGIN X := X + 1; Count(X, N - 1); END; END;",
       "n : INTEGER; Count(n, 20);", "20|"},
      {"nested routine sees its parent's parameters",
       "FUNCTION Outer(A: INTEGER): INTEGER;\n"
       "  FUNCTION Twice(): INTEGER; BEGIN RESULT := A * 2; END;\n"
       "BEGIN RESULT := Twice() + 1; END;",
       "r : INTEGER := Outer(20);", "41|"},
      {"function result type and slots",
       "FUNCTION F(A: INTEGER; VAR B: FLOAT): STRING; BEGIN B := A; RESULT := 'done'; END;",
       "x : FLOAT; s : STRING := F(3, x);", " 3.00000000000000E+0000|done|"},
      {"procedure without parameters", "PROCEDURE Nothing; BEGIN END;", "n : INTEGER := 1; Nothing(); n := 2;", "2|"},
      {"function called as a statement", "FUNCTION One(): INTEGER; BEGIN RESULT := 1; END;",
       "One(); n : INTEGER := One();", "1|"},
      {"caught errors do not grow the stack", "PROCEDURE Fail; BEGIN a, b, c : INTEGER; e : TELEMENT; a := e.ID; END;",
       "i : INTEGER; FOR i := 1 TO 50 DO TRY Fail(); END;", "50|"},
      {"runaway recursion ends as a catchable error after many calls",
       "PROCEDURE R(VAR N: INTEGER); BEGIN N := N + 1; R(N); END;",
       "ok, n : INTEGER; TRY R(n); END; IF n > 500 THEN ok := 1;", "1|"},
  };
  for (const auto& c : cases) {
    RunProgram(std::string("PROGRAM P;\n") + c.routines + "\nBEGIN " + c.main + " END.");
    EXPECT_EQ(Shown(), std::vector<std::string>()) << c.name;
    EXPECT_EQ(VarsAs(c.values), c.values) << c.name;
    // Only the program's frame is left.
    EXPECT_EQ(program->GetStack()->GetCount(), program->VarCount()) << c.name;
  }
}

class RunErrors : public OilTest {};

TEST_F(RunErrors, EndTheRunWithTheirReport) {
  const struct {
    const char* name;
    const char* body;
    std::vector<std::string> shown;
  } cases[] = {
      {"type mismatch", "e : TTOOL; e := WORLD;", {"Typová neshoda"}},
      {"nil is assignable to an element", "e : TTOOL; e := NIL;", {}},
      {"property of nothing", "i : INTEGER := WORLD\\NoSuchChild.ID;", {"Nevyjádřitelná proměnná"}},
      {"index outside the children", "e : TELEMENT := WORLD[1000];", {"Prvek neexistuje"}},
      {"index outside the children is catchable", "TRY e : TELEMENT := WORLD[1000]; END;", {}},
      {"CASE on nil", "i : INTEGER; CASE WORLD.ApplicTitle AND TRUE OF TRUE: i := 1 END;", {"Nevyjádřitelná proměnná"}},
      {"runaway recursion", nullptr, {"Vnitřní chyba"}},
      {"unknown property", "i : INTEGER := WORLD.NoSuchProperty;", {"Špatné jméno property"}},
      {"path into a value", "s : STRING := MAINTOOL[1000]\\x.Name;", {"Prvek neexistuje"}},
  };
  for (const auto& c : cases) {
    dialogs.Messages.clear();
    const std::string text = c.body ? std::string("PROGRAM P;\nBEGIN\n") + c.body + "\nEND."
                                    : "PROGRAM P; PROCEDURE R; BEGIN R(); END; BEGIN R(); END.";
    ASSERT_NO_THROW(RunProgram(text)) << c.name;
    EXPECT_EQ(Shown(), c.shown) << c.name;
  }
}

TEST_F(RunErrors, OfTheOperatorsPassTryAndTheRunReport) {
  Compile("PROGRAM P; BEGIN TRY i : INTEGER := 1 DIV 0; END; END.");
  EXPECT_THROW(program->Run(), TLangError);
  EXPECT_EQ(Shown(), std::vector<std::string>());
  Compile("PROGRAM P; BEGIN f : FLOAT := 1 / 0; END.");
  EXPECT_THROW(program->Run(), EOilArithmetic);
}

TEST_F(RunErrors, PredefinedVariablesStartAsTheWorldAndItsMainTool) {
  RunProgram("PROGRAM P; BEGIN w : TELEMENT := WORLD; m : TTOOL := MAINTOOL; a : TELEMENT := ACTIVEELEMENT; END.");
  EXPECT_EQ(ElementVar(0), world.get());
  EXPECT_EQ(ElementVar(1), main);
  EXPECT_EQ(ElementVar(2), world.get());
}

}  // namespace
