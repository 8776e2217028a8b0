#include <benchmark/benchmark.h>

#include <memory>

#include "bench/heap_in_use.h"
#include "spatial/objects/space_entities.h"
#include "spatial/spatial_classes.h"

namespace {

constexpr int kVertices = 1000000;

std::unique_ptr<TPolyLineElement> BuildLine() {
  auto line = std::make_unique<TPolyLineElement>();
  for (int i = 0; i < kVertices; ++i) line->AddVertex(i, i % 7);
  return line;
}

// Heap bytes per vertex of a polyline of a million vertices (the line's own
// few bytes included).
void BM_MemoryPerVertex(benchmark::State& state) {
  RegisterSpatialClasses();
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    std::unique_ptr<TPolyLineElement> line = BuildLine();
    const std::size_t after = HeapInUse();
    state.counters["bytes_per_vertex"] = static_cast<double>(after - before) / kVertices;
    state.PauseTiming();
    line.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MemoryPerVertex)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LengthAndAreaOfMillionVertices(benchmark::State& state) {
  std::unique_ptr<TPolyLineElement> line = BuildLine();
  for (auto _ : state) {
    benchmark::DoNotOptimize(line->Length());
    benchmark::DoNotOptimize(line->GetCalculatedArea());
  }
}
BENCHMARK(BM_LengthAndAreaOfMillionVertices)->Unit(benchmark::kMillisecond);

}  // namespace
