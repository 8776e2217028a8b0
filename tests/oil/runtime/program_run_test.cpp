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
      {"integers wrap on their way into a variable", "i : INTEGER := 2147483647; i := i + 1; j : INTEGER := -i - 1;",
       "-2147483648|2147483647|"},
      {"integral comparisons",
       "n : INTEGER; i : INTEGER := 3; IF i = 3 THEN n := n + 1; IF i <> 3 THEN n := n + 10;\n"
       "IF i < 4 THEN n := n + 100; IF i >= 4 THEN n := n + 1000; IF -i <= -3 THEN n := n + 10000;",
       "10101|3|"},
      {"a text extended by itself and by a char", "s : STRING := 'ab'; s := s + s; c : CHAR := '\xC5\xBE'; s := s + c;",
       "abab\xC5\xBE|\xC5\xBE|"},
      {"a text extended by a longer sum",
       "s : STRING := 'a'; t : STRING := 'b'; s := s + t; s := s + 'c' + s;", "abcab|b|"},
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
      {"a FLOAT parameter cannot write a fraction into an INTEGER variable",
       "PROCEDURE Set(VAR F: FLOAT); BEGIN F := 7 / 2; END; BEGIN n : INTEGER := 1; Set(n);", "1|!Typová neshoda"},
      {"a FLOAT parameter writes an integer into an INTEGER variable",
       "PROCEDURE Set(VAR F: FLOAT); BEGIN F := 1410065408 + 2; END; BEGIN n : INTEGER := 1; Set(n);", "1410065410|"},
      {"a STRING parameter cannot write a text into a CHAR variable",
       "PROCEDURE Set(VAR S: STRING); BEGIN S := 'ab'; END; BEGIN c : CHAR := 'q'; Set(c);", "q|!Typová neshoda"},
      {"a STRING parameter writes a char into a CHAR variable",
       "PROCEDURE Set(VAR S: STRING); BEGIN S := 'z'; END; BEGIN c : CHAR := 'q'; Set(c);", "z|"},
      {"a STRING parameter cannot extend a CHAR variable in place",
       "PROCEDURE P(VAR S: STRING); BEGIN S := S + 'x'; END; BEGIN c : CHAR := 'q'; P(c);", "q|!Typová neshoda"},
      {"routine variables start afresh at every call",
       "FUNCTION F(): INTEGER; BEGIN a : INTEGER; s : STRING; e : TELEMENT;\n"
       "IF (a = 0) AND (s + 'yz' = 'yz') AND (e = NIL) THEN RESULT := 1; a := 5; s := 'x'; e := WORLD; END;\n"
       "BEGIN n : INTEGER := F() + F();", "2|"},
      {"a routine's variable passed on by reference",
       "PROCEDURE Inc(VAR X: INTEGER); BEGIN X := X + 1; END;\n"
       "FUNCTION F(): INTEGER; BEGIN a : INTEGER := 1; Inc(a); Inc(a); RESULT := a; END; BEGIN n : INTEGER := F();",
       "3|"},
      {"a routine left by an error starts afresh",
       "FUNCTION G(N: INTEGER): INTEGER; BEGIN a : INTEGER; e : TELEMENT; a := a + N; IF N = 1 THEN a := e.ID;"
       " RESULT := a; END;\nBEGIN r : INTEGER; TRY r := G(1); END; r := G(5);", "5|"},
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

// Each row's statements make the main block; it gives the probe tools still alive after the run, then what Outcome
// gives after '|'.
TEST_F(ProgramRun, FreesTheOutputsOfToolCallsThatNothingTookWhenTheRunEnds) {
  const Row cases[] = {
      {"outputs nobody took",
       "i : INTEGER; e : TELEMENT; FOR i := 1 TO 1000 DO e := Create(NameOfClass: 'TOilProbeTool', ElementName: 'x');",
       "0|"},
      {"an output an entity took",
       "e : TELEMENT := Create(NameOfClass: 'TOilProbeTool', ElementName: 'Kept'); WORLD\\Model.AddElement(ElementToAdd: e);",
       "1|"},
      {"an output the program freed itself",
       "s : STRING; e : TELEMENT := Create(NameOfClass: 'TOilProbeTool', ElementName: 'x'); e.Free();"
       " IF e = NIL THEN s := 'nil';",
       "0|nil|"},
      {"an output taken and freed by its taker",
       "e : TELEMENT := WORLD\\Model.Create(NameOfClass: 'TOwnerEntity', ElementName: 'Box');\n"
       "c : TELEMENT := Create(NameOfClass: 'TOilProbeTool', ElementName: 'x'); e.AddElement(ElementToAdd: c); e.Free();",
       "0|"},
      {"an output that lived before the call",
       "s : STRING; e : TELEMENT := WORLD\\Model.FindOwnerByClass(OwnerClass: 'TWorld'); IF e = WORLD THEN s := 'world';",
       "0|world|"},
      {"outputs nobody took when the run ends by an error",
       "e : TELEMENT := Create(NameOfClass: 'TOilProbeTool', ElementName: 'x'); e := WORLD.NoSuchProperty;",
       "0|!Špatné jméno property"},
  };
  for (const auto& c : cases) {
    TOilProbeTool::Alive = 0;
    RunProgram("PROGRAM T;\nBEGIN\n" + c.text + "\nEND.");
    const std::string expected = c.expected.substr(c.expected.find('|') + 1);
    EXPECT_EQ(std::to_string(TOilProbeTool::Alive) + "|" + Outcome(expected), c.expected) << c.name;
  }
}

// Each row's statements make the main block of a program the object model holds as PROGRAM, beside an entity Other;
// the program's variables from the first slot and the boxes of its report as Outcome gives them, then whether
// Other is still there.
TEST_F(ProgramRun, RefusesToFreeWhatRunsIt) {
  const Row cases[] = {
      {"the program itself", "n : INTEGER; WORLD\\Model\\'PROGRAM'.Free(); n := 1;", "0|!Prvek neexistuje|other"},
      {"the entity that holds it", "n : INTEGER; WORLD\\Model.FreeAll(); n := 1;", "0|!Prvek neexistuje|other"},
      {"an entity that holds it through another", "n : INTEGER; WORLD\\Model\\Box.Free(); n := 1;",
       "0|!Prvek neexistuje|other"},
      {"its statements", "n : INTEGER; WORLD\\Model\\'PROGRAM'\\'Program Lines'.FreeAll(); n := 1;",
       "0|!Prvek neexistuje|other"},
      {"the world", "n : INTEGER; WORLD.Free(); n := 1;", "0|!Prvek neexistuje|other"},
      {"refused as an error TRY takes", "n : INTEGER; TRY WORLD\\Model\\'PROGRAM'.Free(); END; n := 1;", "1||other"},
      {"anything else", "n : INTEGER; WORLD\\Model\\Other.Free(); n := 1;", "1||gone"},
  };
  for (const auto& c : cases) {
    dialogs.Messages.clear();
    Compile("PROGRAM T;\nBEGIN\n" + c.text + "\nEND.");
    program->SetName("PROGRAM");
    world->ObjectModel()->AddElement(program.get());
    auto* box = AddNamed<TOwnerEntity>(world->ObjectModel(), "Box");
    box->AddElement(AddNamed<TOwnerEntity>(world->ObjectModel(), "Inner"));
    static_cast<TOwnerEntity*>(box->GetElement(0))->AddElement(program.get());
    AddNamed<TOwnerEntity>(world->ObjectModel(), "Other");
    program->Run();
    const char* other = world->ObjectModel()->FindElementByName("Other") ? "other" : "gone";
    EXPECT_EQ(Outcome(c.expected.substr(0, c.expected.rfind('|'))) + "|" + other, c.expected) << c.name;
    // The model frees the program with the rest.
    program.release();
    world->ObjectModel()->Clear();
  }
}

// A program run a second time starts as the first run did: nothing of the first run's frames, routines or outputs
// carries over.  Each row's statements, then the variables and boxes as Outcome gives them after each run; no
// output is left after either.
TEST_F(ProgramRun, RunsAgainAsItRanTheFirstTime) {
  const Row cases[] = {
      {"program variables", "n : INTEGER; s : STRING; n := n + 1; s := s + 'x';", "1|x|"},
      {"routine variables",
       "FUNCTION F(N: INTEGER): INTEGER; BEGIN a : INTEGER; a := a + N; RESULT := a; END;\n"
       "BEGIN n : INTEGER := F(2) + F(3);", "5|"},
      {"a routine left by an error",
       "PROCEDURE P(VAR X: INTEGER); BEGIN e : TELEMENT; X := X + 1; X := e.ID; END; BEGIN n : INTEGER; P(n);",
       "1|!Nevyjádřitelná proměnná"},
      {"outputs", "n : INTEGER := 1; e : TELEMENT := Create(NameOfClass: 'TOilProbeTool', ElementName: 'x');", "1|"},
  };
  for (const auto& c : cases) {
    const bool routines = c.text.starts_with("FUNCTION") || c.text.starts_with("PROCEDURE");
    Compile("PROGRAM P;\n" + std::string(routines ? "" : "BEGIN\n") + c.text + "\nEND.");
    for (int run = 1; run <= 2; ++run) {
      dialogs.Messages.clear();
      TOilProbeTool::Alive = 0;
      program->Run();
      EXPECT_EQ(Outcome(c.expected), c.expected) << c.name << ", run " << run;
      EXPECT_EQ(TOilProbeTool::Alive, 0) << c.name << ", run " << run;
    }
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
