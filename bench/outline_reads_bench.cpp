#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "forestry/selectors/multi_select_skupina.h"
#include "spatial/objects/space_entities.h"
#include "spatial/spatial_classes.h"

namespace {

// A circle of radius 1000 about (0, 0) split into lines of equal length, every
// other one drawn against the walking direction; the lines are children of
// the area.
std::unique_ptr<TPolyLineAreaElement> CircleOfLines(int vertices, int lines) {
  auto area = std::make_unique<TPolyLineAreaElement>();
  const int perLine = vertices / lines;
  const auto at = [vertices](int i) {
    const double angle = -2 * std::numbers::pi * i / vertices;
    return TRealPoint{1000 * std::cos(angle), 1000 * std::sin(angle)};
  };
  for (int l = 0; l < lines; ++l) {
    auto line = std::make_unique<TPolyLineElement>();
    const bool forward = l % 2 == 0;
    for (int k = 0; k <= perLine; ++k) {
      const TRealPoint p = at(l * perLine + (forward ? k : perLine - k));
      line->AddVertex(p.X, p.Y);
    }
    area->AddLine(line.release(), forward);
  }
  area->CalcBounds();
  return area;
}

// Time per vertex read, in seconds.
void CountPerVertex(benchmark::State& state, double vertices) {
  state.counters["per_vertex"] = benchmark::Counter(static_cast<double>(state.iterations()) * vertices,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void OutlineArgs(benchmark::internal::Benchmark* b) {
  // Vertices and lines: a thousand lines of 1 and of 100 segments, and lines
  // of 10 segments as the outline grows.
  for (const auto& [vertices, lines] : {std::pair{1000, 1000}, {100000, 1000}, {1000, 100}, {100000, 10000}})
    b->Args({vertices, lines});
}

// The outline's signed area and bounds: each reads every vertex in order.
void BM_OutlineAreaAndBounds(benchmark::State& state) {
  RegisterSpatialClasses();
  const auto area = CircleOfLines(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(area->WholeArea());
    area->CalcBounds();
  }
  CountPerVertex(state, static_cast<double>(state.range(0)));
}
BENCHMARK(BM_OutlineAreaAndBounds)->Apply(OutlineArgs)->Unit(benchmark::kMicrosecond);

// The same reads vertex by vertex through GetCoord, as every caller read an
// outline before: each read walks the lines from the first.
void BM_OutlineReadByIndex(benchmark::State& state) {
  RegisterSpatialClasses();
  const auto area = CircleOfLines(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    const int count = area->GetCoordsCount();
    double sum = 0;
    for (int i = 0; i < count; ++i) sum += area->GetCoord(i)->GetX();
    benchmark::DoNotOptimize(sum);
  }
  CountPerVertex(state, static_cast<double>(state.range(0)));
}
BENCHMARK(BM_OutlineReadByIndex)->Apply(OutlineArgs)->Unit(benchmark::kMicrosecond);

// A zigzag line of as many vertices as the outline, inside its bounds but
// outside it (in the corner beyond the arc), so that no answer comes early:
// every segment pair that could cross and every vertex is tried.
void BM_LineTouchesOutline(benchmark::State& state) {
  RegisterSpatialClasses();
  const int vertices = static_cast<int>(state.range(0));
  const auto area = CircleOfLines(vertices, vertices / 10);
  TPolyLineElement line;
  for (int i = 0; i < vertices; ++i) {
    const double t = static_cast<double>(i) / vertices;
    line.AddVertex(800 + 190 * t, 990 - 190 * t - (i % 2) * 5);
  }
  line.CalcBounds();
  for (auto _ : state) benchmark::DoNotOptimize(LineTouchesArea(line, *area));
  CountPerVertex(state, vertices);
}
BENCHMARK(BM_LineTouchesOutline)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
