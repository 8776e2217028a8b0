#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/tools/tools.h"
#include "framework/tools/world.h"
#include "oil/compiler/program_compiler.h"
#include "oil/oil_classes.h"
#include "oil/runtime/program_run.h"

namespace {

constexpr int kStatements = 10000000;

// Ten million integer assignments in a FOR loop, run on the calling thread.
void BM_OilIntegerLoop(benchmark::State& state) {
  RegisterOilClasses();
  TWorld world;
  world.SetMainTool(new TTechnology);
  SetWorld(&world);
  const std::vector<std::string> source = {
      "PROGRAM Loop;",
      "BEGIN",
      "  i, s : INTEGER;",
      "  FOR i := 1 TO " + std::to_string(kStatements) + " DO s := s + i MOD 7;",
      "END."};
  std::unique_ptr<TOilProgram> program = CompileOilProgram(source);
  for (auto _ : state) {
    program->Run();
    benchmark::DoNotOptimize(program->GetStackItem(4)->GetAsInteger());
  }
  state.counters["statements/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kStatements, benchmark::Counter::kIsRate);
  program.reset();
  SetWorld(nullptr);
}
BENCHMARK(BM_OilIntegerLoop)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
