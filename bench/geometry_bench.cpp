#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#include "spatial/geometry/intersections.h"
#include "spatial/geometry/polygon_clipper.h"

namespace {

constexpr int kVertices = 100000;

// A star-shaped ring with a jagged rim around (0, 0), radius 500 to 1000.
std::vector<TRealPoint> JaggedRing() {
  std::mt19937 Random(42);
  std::uniform_real_distribution<double> Radius(500, 1000);
  std::vector<TRealPoint> Ring(kVertices);
  for (int I = 0; I < kVertices; ++I) {
    const double Angle = 2 * std::numbers::pi * I / kVertices;
    const double R = Radius(Random);
    Ring[I] = {R * std::cos(Angle), R * std::sin(Angle)};
  }
  return Ring;
}

void BM_PointInPolygon(benchmark::State& State) {
  const std::vector<TRealPoint> Ring = JaggedRing();
  const TRealPoint Points[] = {{0, 0}, {300, -200}, {2000, 0}, {-750, 10}};
  for (auto _ : State) {
    for (const TRealPoint& P : Points) benchmark::DoNotOptimize(AnalInt::PointInPolygon(Ring, P));
  }
  State.SetItemsProcessed(State.iterations() * std::size(Points));
  State.counters["vertices"] = kVertices;
}
BENCHMARK(BM_PointInPolygon)->Unit(benchmark::kMicrosecond);

void BM_PolygonClip(benchmark::State& State) {
  std::vector<TDevicePoint> Ring;
  for (const TRealPoint& P : JaggedRing()) Ring.push_back({AnalInt::RoundClamped(P.X), AnalInt::RoundClamped(P.Y)});
  // The page cuts through the rim on all four sides.
  const TDeviceRect Page{-700, -600, 700, 600};
  const auto Count = static_cast<std::int32_t>(Ring.size());
  std::int32_t ResultCount = 0;
  for (auto _ : State) {
    std::unique_ptr<TDevicePoint[]> Buffer(new TDevicePoint[Ring.size()]);
    std::copy(Ring.begin(), Ring.end(), Buffer.get());
    TOrezavacPloch Clipper(Page, std::move(Buffer), 8 * Count, Count);
    Clipper.Clip();
    std::unique_ptr<TDevicePoint[]> Out;
    std::int32_t ByteSize = 0;
    Clipper.GetResult(Out, ByteSize, ResultCount);
    benchmark::DoNotOptimize(Out.get());
  }
  State.SetItemsProcessed(State.iterations() * Count);
  State.counters["result_points"] = ResultCount;
}
BENCHMARK(BM_PolygonClip)->Unit(benchmark::kMicrosecond);

}  // namespace
