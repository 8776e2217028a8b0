#include "tests/oil/oil_fixture.h"

namespace {

class CompilerErrors : public OilTest {};
class ProgramCompiler : public OilTest {};

// Each program compiles, or fails with its error's code, text and position.
TEST_F(ProgramCompiler, CompilesOrFailsWithItsErrorsCodeTextAndPosition) {
  std::string parameters = "P0", variables = "a1";  // 51 of them with WORLD, MAINTOOL and ACTIVEELEMENT
  for (int i = 1; i < 51; ++i) parameters += ", P" + std::to_string(i);
  for (int i = 2; i <= 48; ++i) variables += ",a" + std::to_string(i);
  const std::string P = "PROGRAM P; ", PB = P + "BEGIN ";  // the head, and the head with the main block begun
  // Each row's failure as "code message @line:column", or the program's name and its top-level statements.
  const Row cases[] = {
      {"smallest program", PB + "END.", "P: 0 lines"},
      {"empty block", PB + "BEGIN ; END; END.", "P: 1 lines"},
      {"names in any case", PB + "e : TELEMENT := world; END.", "P: 1 lines"},
      {"statements over lines", "PROGRAM P;\nBEGIN\n  i : INTEGER\n  := 1\n  ;\nEND.", "P: 1 lines"},
      {"no PROGRAM", "BEGIN END.", "1 Očekávám PROGRAM @0:6"},
      {"no semicolon after the name", "PROGRAM P BEGIN END.", "1 Očekávám ; @0:11"},
      {"text after the final dot", PB + "END. x", "1 Očekávám konec souboru @0:23"},
      {"statement without semicolon", "PROGRAM P;\nBEGIN a : INTEGER; a := 1 END.", "1 Očekávám ; @1:27"},
      {"IF without ELSE before END", PB + "a : INTEGER; IF TRUE THEN a := 1 END.", "1 Očekávám ELSE @0:51"},
      {"semicolon between CASE branches", PB + "i : INTEGER; CASE i OF 1: i := 1; 2: i := 2 END; END.",
       "1 Očekávám konstantu @0:50"},
      {"two names with an initial value", PB + "x, y : INTEGER := 0; END.", "1 Očekávám ; @0:33"},
      {"declared twice", PB + "x : INTEGER; x : FLOAT; END.", "11 Proměnná již existuje @0:31"},
      {"assignment of another type", PB + "i : INTEGER; i := 'x'; END.", "8 Typová neshoda @0:35"},
      {"condition not Boolean", PB + "IF 1 THEN ; END.", "1 Očekávám logický výraz @0:23"},
      {"operands of no common type", PB + "s : STRING := 'a' + 1; END.", "8 Typová neshoda @0:40"},
      {"selector on a number", PB + "i : INTEGER; i := i.Name; END.", "9 Nedává ukazatel na prvek @0:37"},
      {"a blank before a selector ends the path", PB + "e : TELEMENT := WORLD .Name; END.", "1 Očekávám ; @0:40"},
      {"unknown tool", PB + "NoSuchTool(); END.", "13 Neznámý nástroj @0:18"},
      {"tool property given twice", PB + "FindElementByName(ElementName: 'a', ElementName: 'b'); END.",
       "12 Properta již byla zadána @0:54"},
      {"type mismatch found at the end of the text", "PROGRAM P;\nBEGIN e : TELEMENT; e := WORLD+.N",
       "8 Typová neshoda @1:34"},
      {"end of source inside the block", "PROGRAM P;\nBEGIN", "17 Neočekávaný konec souboru @1:1"},
      {"routine declared twice", P + "PROCEDURE A; BEGIN END; PROCEDURE a; BEGIN END; BEGIN END.",
       "21 Identifikátor byl již použit @0:47"},
      {"parameter named Result", P + "FUNCTION F(Result: INTEGER): INTEGER; BEGIN END; BEGIN END.",
       "21 Identifikátor byl již použit @0:23"},
      {"too few arguments", P + "PROCEDURE A(X, Y: INTEGER); BEGIN END; BEGIN A(1); END.", "1 Očekávám , @0:61"},
      {"constant for a by-reference parameter", P + "PROCEDURE A(VAR X: INTEGER); BEGIN END; BEGIN A(1); END.",
       "1 Očekávám proměnnou @0:60"},
      {"a 51st variable in a block", PB + variables + " : INTEGER; END.", "5 Příliš mnoho proměnných @0:201"},
      {"too deep a nesting", PB + "i : INTEGER := " + std::string(300, '(') + "1;", "3 Chyba v syntaxi @0:99"},
      {"more than fifty parameters", P + "PROCEDURE A(" + parameters + ": INTEGER); BEGIN END; BEGIN END.",
       "5 Příliš mnoho proměnných @0:277"},
      {"fifty parameters", P + "PROCEDURE A(" + parameters.substr(0, parameters.rfind(',')) + ": INTEGER); BEGIN END; BEGIN END.",
       "P: 0 lines"},
  };
  for (const auto& c : cases) {
    const std::string failure = CompileError(c.text);
    if (failure.empty()) Compile(c.text);
    EXPECT_EQ(failure.empty() ? program->GetName() + ": " + std::to_string(program->LineCount()) + " lines" : failure,
              c.expected)
        << c.name;
  }
}

TEST_F(CompilerErrors, TheProgressDisplayEndsAlsoAfterAnError) {
  std::vector<int> codes;
  OnEveryMessage([&codes](int code) { codes.push_back(code); });
  CompileError("PROGRAM P;\nBEGIN x := ; END.");
  platform::Application::Instance().ProcessMessages();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(std::pair(codes.front(), codes.back()), std::pair(int{msgProgressStart}, int{msgProgressEnd}));
}


TEST_F(ProgramCompiler, EveryCutOfAProgramFailsInsideTheTextOrCompiles) {
  const std::string text =
      "PROGRAM P; {$OWNERDIVIDER ##}\n"
      "FUNCTION F(A: INTEGER; VAR B: FLOAT): STRING;\n"
      "  PROCEDURE Q(); BEGIN END;\n"
      "BEGIN B := A * 2.5e1; RESULT := 'x' + \"yz\"; END;\n"
      "BEGIN x : FLOAT; s : STRING := F(3, x);\n"
      "  CASE s OF 'a': x := 1 ELSE x := -x; WHILE NOT (x < 0) DO x := x - 1;\n"
      "  e : TELEMENT := WORLD\\Model##[0][1].FindElementByName('n'); TRY e.Name := s; END;\n"
      "END.";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    const std::vector<std::string> lines = SourceLines(text.substr(0, cut));
    try {
      CompileOilProgram(lines);
    } catch (const TCompilerError& error) {
      ASSERT_GE(error.ErrorLine, 0) << cut;
      if (lines.empty()) continue;
      ASSERT_LT(static_cast<std::size_t>(error.ErrorLine), lines.size()) << cut;
      EXPECT_GE(error.ErrorColumn, 1) << cut;
      EXPECT_LE(static_cast<std::size_t>(error.ErrorColumn), lines[static_cast<std::size_t>(error.ErrorLine)].size() + 1)
          << cut << ": " << error.what();
    }
  }
}

}  // namespace
