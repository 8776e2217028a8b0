#include "tests/oil/oil_fixture.h"

namespace {

struct RoutineCase {
  const char* name;
  const char* text;
  std::vector<std::string> values;  // the program's variables from the first slot
};

class Routines : public OilTest, public ::testing::WithParamInterface<RoutineCase> {};

TEST_P(Routines, CallWithTheirOwnFrames) {
  const RoutineCase& c = GetParam();
  RunProgram(c.text);
  EXPECT_EQ(Shown(), std::vector<std::string>()) << c.name;
  for (std::size_t i = 0; i < c.values.size(); ++i)
    EXPECT_EQ(Var(static_cast<int>(i)), c.values[i]) << c.name << " #" << i;
  // Only the program's frame is left.
  EXPECT_EQ(program->GetStack()->GetCount(), program->VarCount()) << c.name;
}

const RoutineCase kRoutines[] = {
    {"recursive function reads its own frame",
     "PROGRAM P;\n"
     "FUNCTION Fact(N: INTEGER): INTEGER;\n"
     "BEGIN IF N <= 1 THEN RESULT := 1 ELSE RESULT := N * Fact(N - 1); END;\n"
     "BEGIN f : INTEGER := Fact(10); END.",
     {"3628800"}},
    {"recursion keeps locals per activation",
     "PROGRAM P;\n"
     "FUNCTION Fib(N: INTEGER): INTEGER;\n"
     "BEGIN a : INTEGER; IF N < 2 THEN RESULT := N ELSE BEGIN a := Fib(N - 1); RESULT := a + Fib(N - 2); END; END;\n"
     "BEGIN f : INTEGER := Fib(15); END.",
     {"610"}},
    {"by-reference parameters of every type",
     "PROGRAM P;\n"
     "PROCEDURE Set(VAR I: INTEGER; VAR F: FLOAT; VAR S: STRING; VAR B: BOOLEAN; VAR C: CHAR);\n"
     "BEGIN I := 7; F := 1.5; S := S + 'x'; B := TRUE; C := 'q'; END;\n"
     "BEGIN i : INTEGER; f : FLOAT; s : STRING := 'a'; b : BOOLEAN; c : CHAR; Set(i, f, s, b, c); END.",
     {"7", " 1.50000000000000E+0000", "ax", "true", "q"}},
    {"by-reference passed on reaches the first caller",
     "PROGRAM P;\n"
     "PROCEDURE Inner(VAR X: INTEGER); BEGIN X := X + 1; END;\n"
     "PROCEDURE Outer(VAR Y: INTEGER); BEGIN Inner(Y); Inner(Y); END;\n"
     "BEGIN n : INTEGER := 5; Outer(n); END.",
     {"7"}},
    {"recursive by-reference reaches the outermost variable",
     "PROGRAM P;\n"
     "PROCEDURE Count(VAR X: INTEGER; N: INTEGER); BEGIN IF N > 0 THEN BEGIN X := X + 1; Count(X, N - 1); END; END;\n"
     "BEGIN n : INTEGER; Count(n, 20); END.",
     {"20"}},
    {"nested routine sees its parent's parameters",
     "PROGRAM P;\n"
     "FUNCTION Outer(A: INTEGER): INTEGER;\n"
     "  FUNCTION Twice(): INTEGER; BEGIN RESULT := A * 2; END;\n"
     "BEGIN RESULT := Twice() + 1; END;\n"
     "BEGIN r : INTEGER := Outer(20); END.",
     {"41"}},
    {"function result type and slots",
     "PROGRAM P;\n"
     "FUNCTION F(A: INTEGER; VAR B: FLOAT): STRING; BEGIN B := A; RESULT := 'done'; END;\n"
     "BEGIN x : FLOAT; s : STRING := F(3, x); END.",
     {" 3.00000000000000E+0000", "done"}},
    {"procedure without parameters",
     "PROGRAM P;\n"
     "PROCEDURE Nothing; BEGIN END;\n"
     "BEGIN n : INTEGER := 1; Nothing(); n := 2; END.",
     {"2"}},
    {"function called as a statement",
     "PROGRAM P;\n"
     "FUNCTION One(): INTEGER; BEGIN RESULT := 1; END;\n"
     "BEGIN One(); n : INTEGER := One(); END.",
     {"1"}},
    {"caught errors do not grow the stack",
     "PROGRAM P;\n"
     "PROCEDURE Fail; BEGIN a, b, c : INTEGER; e : TELEMENT; a := e.ID; END;\n"
     "BEGIN i : INTEGER; FOR i := 1 TO 50 DO TRY Fail(); END; END.",
     {"50"}},
};

INSTANTIATE_TEST_SUITE_P(Oil, Routines, ::testing::ValuesIn(kRoutines),
                         [](const auto& info) { return TestName(info.param.name); });

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
      {"CASE selector without value",
       "i : INTEGER; CASE WORLD.ApplicTitle AND TRUE OF TRUE: i := 1 END;", {"Nevyjádřitelná proměnná"}},
      {"runaway recursion", nullptr, {"Vnitřní chyba"}},
      {"unknown property", "i : INTEGER := WORLD.NoSuchProperty;", {"Špatné jméno property"}},
      {"path into a value", "s : STRING := MAINTOOL[1000]\\x.Name;", {"Prvek neexistuje"}},
  };
  for (const auto& c : cases) {
    dialogs.Messages.clear();
    const std::string text =
        c.body ? std::string("PROGRAM P;\nBEGIN\n") + c.body + "\nEND."
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

namespace {

TEST_F(RunErrors, RunawayRecursionEndsAsACatchableErrorAfterManyCalls) {
  RunProgram(
      "PROGRAM P; PROCEDURE R(VAR N: INTEGER); BEGIN N := N + 1; R(N); END;\n"
      "BEGIN n : INTEGER; TRY R(n); END; END.");
  EXPECT_EQ(Shown(), std::vector<std::string>());
  EXPECT_GT(std::stoi(Var(0)), 500);
}

}  // namespace
