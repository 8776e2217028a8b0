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
  EXPECT_GT(attempts, 0);
  EXPECT_FALSE(program->Running());
  EXPECT_EQ(Var(0), "2");
  EXPECT_EQ(program->GetStack()->GetCount(), program->VarCount());
}

}  // namespace
