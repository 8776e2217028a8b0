// The box index under re-filing: n boxes packed, then every box moved once,
// in random order, each move followed by a search of a small rectangle, at
// 10^3, 10^4 and 10^5 boxes.  The boxes keep the same density at every size,
// so a search finds about as many at each; time per operation (a file or a
// search) should grow no faster than the logarithm of n.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "spatial/index/box_tree.h"

namespace {

void BM_BoxTreeRefiling(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const double side = 10 * std::sqrt(static_cast<double>(count));
  std::mt19937 random(2026);
  std::uniform_real_distribution<double> place(0, side), extent(0, 5);
  auto randomBox = [&] {
    const double x = place(random), y = place(random);
    return TBox{x, y, x + extent(random), y + extent(random)};
  };
  std::vector<TBox> boxes(count), moved(count), rects(count);
  for (TBox& box : boxes) box = randomBox();
  for (TBox& box : moved) box = randomBox();
  for (TBox& rect : rects) rect = randomBox();
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::shuffle(order.begin(), order.end(), random);
  std::vector<std::size_t> found;
  std::size_t hits = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TBoxTree tree(boxes);
    state.ResumeTiming();
    for (std::size_t i = 0; i < count; ++i) {
      tree.File(order[i], moved[i]);
      found.clear();
      tree.Search(rects[i], found);
      hits += found.size();
    }
  }
  benchmark::DoNotOptimize(hits);
  state.counters["time/operation"] = benchmark::Counter(
      static_cast<double>(2 * count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_BoxTreeRefiling)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
