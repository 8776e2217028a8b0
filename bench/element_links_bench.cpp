#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/core/elements.h"

// Reading a link against reading a plain pointer field, over 10^4 to 10^6
// holders, to live elements and to freed ones, in the same run: processor
// time, medians of the three iterations.

namespace {

struct LinkHolder {
  TElementLink link;
};
struct PointerHolder {
  TElement* pointer = nullptr;
};

// Processor time: the machine is shared, and a busy machine's wall clock
// says little about a single-threaded loop.
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Hands a read value to the loop's end through a register.  Under GCC,
// benchmark::DoNotOptimize may take the field's memory operand instead, and
// the anchor's loop then reads no pointer at all.
template <class T>
inline __attribute__((always_inline)) void UseRead(T value) {
  asm volatile("" : : "r"(value));
}

// Seconds per read of all holders, over enough rounds to take a while.
template <class Holder, class Read>
double SecondsPerRead(const std::vector<Holder>& holders, Read read) {
  const std::size_t rounds = std::max<std::size_t>(1, 20000000 / holders.size());
  const double started = CpuSeconds();
  for (std::size_t round = 0; round < rounds; ++round)
    for (const Holder& holder : holders) UseRead(read(holder));
  return (CpuSeconds() - started) / static_cast<double>(rounds * holders.size());
}

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
  return values[values.size() / 2];
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
  std::vector<double> live, freed, plain;
  for (auto _ : state) {
    live.push_back(SecondsPerRead(links, readLink));
    freed.push_back(SecondsPerRead(freedLinks, readLink));
    plain.push_back(SecondsPerRead(pointers, readPointer));
  }
  state.counters["live_ns"] = Median(live) * 1e9;
  state.counters["freed_ns"] = Median(freed) * 1e9;
  state.counters["pointer_ns"] = Median(plain) * 1e9;
  state.counters["live_to_pointer"] = Median(live) / Median(plain);
  state.counters["freed_to_pointer"] = Median(freed) / Median(plain);
}
BENCHMARK(BM_LinkGetRatios)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
