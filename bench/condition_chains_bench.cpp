// Flat condition chains of a thousand to a hundred thousand links: parsing,
// evaluating, typing and freeing each grow linearly with the chain.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "framework/condition/condition_compiler.h"
#include "framework/condition/operators.h"
#include "framework/core/framework_classes.h"
#include "framework/values/typed_values.h"

namespace {

// "COUNT = 1 OR COUNT = 2 OR ... OR COUNT = n": no link holds for an element
// whose COUNT is 0, so evaluation runs every link.
std::string OrChain(std::int64_t n) {
  std::string text = "COUNT = 1";
  for (std::int64_t i = 2; i <= n; ++i) text += " OR COUNT = " + std::to_string(i);
  return text;
}

std::unique_ptr<TCondition> Compile(const std::string& text) {
  TCondCreator creator;
  return std::unique_ptr<TCondition>(CompileCondition(creator, text));
}

void Links(benchmark::State& state) { state.SetItemsProcessed(state.iterations() * state.range(0)); }

// Compiling into a tree and freeing it again.
void BM_CompileAndFreeOrChain(benchmark::State& state) {
  RegisterFrameworkClasses();
  const std::string text = OrChain(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(Compile(text).get());
  Links(state);
}

void BM_FreeOrChain(benchmark::State& state) {
  RegisterFrameworkClasses();
  const std::string text = OrChain(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TCondition> condition = Compile(text);
    state.ResumeTiming();
    condition.reset();
  }
  Links(state);
}

void BM_TestOrChain(benchmark::State& state) {
  RegisterFrameworkClasses();
  std::unique_ptr<TCondition> condition = Compile(OrChain(state.range(0)));
  TStringListElement element;
  for (auto _ : state) benchmark::DoNotOptimize(ConditionHolds(*condition, &element));
  Links(state);
}

void BM_TypeOrChain(benchmark::State& state) {
  RegisterFrameworkClasses();
  std::unique_ptr<TCondition> condition = Compile(OrChain(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(condition->HasValidType());
  Links(state);
}

// "1 + 1 + ... + 1 = n": a sum whose every link has a value.
void BM_TestSumChain(benchmark::State& state) {
  RegisterFrameworkClasses();
  std::string text = "1";
  for (std::int64_t i = 1; i < state.range(0); ++i) text += " + 1";
  std::unique_ptr<TCondition> condition = Compile(text + " = " + std::to_string(state.range(0)));
  TStringListElement element;
  for (auto _ : state)
    if (!ConditionHolds(*condition, &element)) state.SkipWithError("the sum must hold");
  Links(state);
}

}  // namespace

BENCHMARK(BM_CompileAndFreeOrChain)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeOrChain)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TestOrChain)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeOrChain)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TestSumChain)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
