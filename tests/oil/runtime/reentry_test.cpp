#include "tests/oil/oil_fixture.h"

namespace {

// Events processed while a program compiles or runs may not start another
// compilation or run of the same object.
class Reentry : public OilTest {};

TEST_F(Reentry, AnEventDuringACompilationDoesNotCompileAgain) {
  TProgramCompiler compiler;
  compiler.SetSourceLines(SourceLines("PROGRAM P;\nBEGIN i : INTEGER := 1;\nEND."));
  int attempts = 0;
  OnEveryMessage([&](int) {
    ++attempts;
    compiler.DoIt();
  });
  compiler.DoIt();
  std::unique_ptr<TOilProgram> compiled(compiler.TakeProgram());
  ASSERT_NE(compiled, nullptr);
  EXPECT_GT(attempts, 0);
  EXPECT_EQ(compiled->LineCount(), 1);
}

TEST_F(Reentry, AnEventDuringARunDoesNotRunAgainNorStartAThread) {
  Compile("PROGRAM P; BEGIN n : INTEGER; n := n + 1; OilEventTool(); n := n + 1; END.");
  int attempts = 0;
  OnEveryMessage([&](int) {
    ++attempts;
    program->Run();
    program->Execute();
  });
  program->Run();
  // Run once to its end, its frame left as after any run.
  const bool frameLeft = program->GetStack()->GetCount() == program->VarCount();
  EXPECT_EQ(std::tuple(attempts > 0, program->Running(), Var(0), frameLeft), std::tuple(true, false, "2", true));
}

}  // namespace
