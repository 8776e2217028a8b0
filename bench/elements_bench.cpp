#include <benchmark/benchmark.h>

#include <memory>

#include "bench/heap_in_use.h"
#include "framework/core/elements.h"
#include "framework/core/framework_classes.h"

namespace {

constexpr int kEntities = 1000;
constexpr int kPerEntity = 1000;

std::unique_ptr<TOwnerEntity> BuildModel() {
  auto root = std::make_unique<TOwnerEntity>();
  for (int e = 0; e < kEntities; ++e) {
    auto* entity = new TOwnerEntity;
    root->AddElement(entity);
    for (int i = 0; i < kPerEntity; ++i) entity->AddElement(new TOwnerElement);
  }
  return root;
}

// One million owner elements in a thousand entities: create, walk, free.
void BM_CreateWalkFreeMillionElements(benchmark::State& state) {
  RegisterFrameworkClasses();
  for (auto _ : state) {
    std::unique_ptr<TOwnerEntity> root = BuildModel();
    benchmark::DoNotOptimize(root->WholeCount());
    root.reset();
  }
  state.SetItemsProcessed(state.iterations() * kEntities * kPerEntity);
}
BENCHMARK(BM_CreateWalkFreeMillionElements)->Unit(benchmark::kMillisecond);

void BM_CreateMillionElements(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<TOwnerEntity> root = BuildModel();
    state.PauseTiming();
    root.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CreateMillionElements)->Unit(benchmark::kMillisecond);

void BM_WalkMillionElements(benchmark::State& state) {
  std::unique_ptr<TOwnerEntity> root = BuildModel();
  for (auto _ : state) benchmark::DoNotOptimize(root->WholeCount());
}
BENCHMARK(BM_WalkMillionElements)->Unit(benchmark::kMillisecond);

void BM_FreeMillionElements(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TOwnerEntity> root = BuildModel();
    state.ResumeTiming();
    root.reset();
  }
}
BENCHMARK(BM_FreeMillionElements)->Unit(benchmark::kMillisecond);

// Heap bytes per element of the same model (entities included in the count).
void BM_MemoryPerElement(benchmark::State& state) {
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    std::unique_ptr<TOwnerEntity> root = BuildModel();
    const std::size_t after = HeapInUse();
    state.counters["bytes_per_element"] =
        static_cast<double>(after - before) / (static_cast<double>(kEntities) * (kPerEntity + 1));
    state.PauseTiming();
    root.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MemoryPerElement)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
