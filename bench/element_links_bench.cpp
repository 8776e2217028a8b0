#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/core/elements.h"

// Reading a link against reading a plain pointer field, over 10^4 to 10^6
// holders, to live elements and to freed ones, in the same run.

namespace {

struct LinkHolder {
  TElementLink link;
};
struct PointerHolder {
  TElement* pointer = nullptr;
};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Seconds per read of all holders, over enough rounds to take a while.
template <class Holder, class Read>
double SecondsPerRead(const std::vector<Holder>& holders, Read read) {
  const std::size_t rounds = std::max<std::size_t>(1, 20000000 / holders.size());
  const auto started = std::chrono::steady_clock::now();
  for (std::size_t round = 0; round < rounds; ++round)
    for (const Holder& holder : holders) benchmark::DoNotOptimize(read(holder));
  return Seconds(std::chrono::steady_clock::now() - started) / static_cast<double>(rounds * holders.size());
}

void BM_LinkGetRatios(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  std::vector<std::unique_ptr<TElement>> elements;
  for (std::size_t i = 0; i < n; ++i) elements.emplace_back(new TOwnerElement);
  std::vector<LinkHolder> links(n);
  std::vector<PointerHolder> pointers(n);
  for (std::size_t i = 0; i < n; ++i) {
    links[i].link.Set(elements[i].get());
    pointers[i].pointer = elements[i].get();
  }
  std::vector<LinkHolder> freedLinks(n);
  {
    std::vector<std::unique_ptr<TElement>> freed;
    for (std::size_t i = 0; i < n; ++i) {
      freed.emplace_back(new TOwnerElement);
      freedLinks[i].link.Set(freed.back().get());
    }
  }
  auto readLink = [](const LinkHolder& holder) { return holder.link.Get(); };
  auto readPointer = [](const PointerHolder& holder) { return holder.pointer; };
  double live = 0, freed = 0, plain = 0;
  for (auto _ : state) {
    live += SecondsPerRead(links, readLink);
    freed += SecondsPerRead(freedLinks, readLink);
    plain += SecondsPerRead(pointers, readPointer);
  }
  state.counters["live_ns"] = live * 1e9 / static_cast<double>(state.iterations());
  state.counters["freed_ns"] = freed * 1e9 / static_cast<double>(state.iterations());
  state.counters["pointer_ns"] = plain * 1e9 / static_cast<double>(state.iterations());
  state.counters["live_to_pointer"] = live / plain;
  state.counters["freed_to_pointer"] = freed / plain;
}
BENCHMARK(BM_LinkGetRatios)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
