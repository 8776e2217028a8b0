// Children and holders leaving their lists one by one, sorted integer
// additions and name lookups, from ten thousand to a million.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "framework/core/framework_classes.h"
#include "framework/values/typed_values.h"

namespace {

// Children removed one by one, first to last, by RemoveElement.
void BM_RemoveChildrenFromTheFront(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    TOwnerEntity entity;
    std::vector<std::unique_ptr<TOwnerElement>> children;
    for (std::size_t i = 0; i < n; ++i) {
      children.push_back(std::make_unique<TOwnerElement>());
      entity.AddElement(children.back().get());
    }
    state.ResumeTiming();
    for (const auto& child : children) entity.RemoveElement(child.get());
    state.PauseTiming();
    children.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// An entity of n owner elements; the children come back in order.
std::unique_ptr<TOwnerEntity> EntityOf(std::size_t n, std::vector<TElement*>& children) {
  auto entity = std::make_unique<TOwnerEntity>();
  children.clear();
  for (std::size_t i = 0; i < n; ++i) {
    children.push_back(new TOwnerElement);
    entity->AddElement(children.back());
  }
  return entity;
}

// Children freed one by one, last to first, by FreeElement.
void BM_FreeChildrenFromTheBack(benchmark::State& state) {
  std::vector<TElement*> children;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TOwnerEntity> entity = EntityOf(static_cast<std::size_t>(state.range(0)), children);
    state.ResumeTiming();
    for (auto it = children.rbegin(); it != children.rend(); ++it) entity->FreeElement(*it);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Children freed on their own, first to last: each leaves its entity's list.
void BM_ChildrenDyingFromTheFront(benchmark::State& state) {
  std::vector<TElement*> children;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TOwnerEntity> entity = EntityOf(static_cast<std::size_t>(state.range(0)), children);
    state.ResumeTiming();
    for (TElement* child : children) delete child;
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One element held by n entities, freed: it leaves every one of them.
void BM_FreeElementHeldByMany(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::unique_ptr<TOwnerEntity>> holders;
    auto* shared = new TOwnerElement;
    for (std::size_t i = 0; i < n; ++i) {
      holders.push_back(std::make_unique<TOwnerEntity>());
      holders.back()->AddElement(shared);
    }
    state.ResumeTiming();
    delete shared;
    state.PauseTiming();
    holders.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Additions to a sorted integer list, in no order and in ascending order.
void SortedAdditions(benchmark::State& state, bool ascending) {
  const auto n = static_cast<std::size_t>(state.range(0));
  std::mt19937 random(1);
  std::vector<std::int32_t> values(n);
  for (std::size_t i = 0; i < n; ++i) values[i] = ascending ? static_cast<std::int32_t>(i) : static_cast<std::int32_t>(random());
  for (auto _ : state) {
    TIntegerListElement list;
    list.Sorted = true;
    for (const std::int32_t value : values) list.AddInteger(value);
    state.PauseTiming();
    list.Clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
void BM_SortedIntegerAdditionsRandom(benchmark::State& state) { SortedAdditions(state, false); }
void BM_SortedIntegerAdditionsAscending(benchmark::State& state) { SortedAdditions(state, true); }

// Lookups by name, in other letter case, among n named children: a hundred
// lookups spread over the list; items are child comparisons.
void BM_FindElementByName(benchmark::State& state) {
  RegisterFrameworkClasses();
  const auto n = static_cast<int>(state.range(0));
  TOwnerEntity entity;
  for (int i = 0; i < n; ++i) {
    auto* child = new TOwnerElement;
    child->SetName("Element číslo " + std::to_string(i));
    entity.AddElement(child);
  }
  std::vector<std::string> wanted;
  for (int k = 1; k <= 100; ++k) wanted.push_back("ELEMENT ČÍSLO " + std::to_string(static_cast<std::int64_t>(n) * k / 101));
  for (auto _ : state)
    for (const std::string& name : wanted) benchmark::DoNotOptimize(entity.FindElementByName(name));
  // About half the list is compared per lookup.
  state.SetItemsProcessed(state.iterations() * 100 * n / 2);
}

#define KESTX_SIZES ->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_RemoveChildrenFromTheFront) KESTX_SIZES;
BENCHMARK(BM_FreeChildrenFromTheBack) KESTX_SIZES;
BENCHMARK(BM_ChildrenDyingFromTheFront) KESTX_SIZES;
BENCHMARK(BM_FreeElementHeldByMany) KESTX_SIZES;
// In no order each addition also moves the later half of the list on average,
// a memory move the size of the list.
BENCHMARK(BM_SortedIntegerAdditionsRandom)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortedIntegerAdditionsAscending) KESTX_SIZES;
BENCHMARK(BM_FindElementByName) KESTX_SIZES;

}  // namespace
