#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "framework/values/typed_values.h"
#include "framework/core/framework_classes.h"
#include "framework/core/messages.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "platform/app_queue.h"

namespace {

// 1 root + 999 named entities + 999,000 integer values = 1,000,000 elements.
constexpr int kGroups = 999;
constexpr int kPerGroup = 1000;
constexpr double kElements = 1.0 + kGroups + static_cast<double>(kGroups) * kPerGroup;

void Prepare() {
  RegisterFrameworkClasses();
  // Progress and log messages are delivered nowhere, but delivered and freed.
  platform::Application::Instance().SetMessageHook([](platform::AppMessage& message, bool& handled) {
    if (TKestuMessage* kestu = KestuMessageOf(message)) DeliverKestuMessage(kestu, handled, [] { return nullptr; });
  });
}

std::unique_ptr<TOwnerEntity> BuildGraph() {
  auto root = std::make_unique<TOwnerEntity>();
  root->SetName("Model");
  for (int g = 0; g < kGroups; ++g) {
    auto* group = new TOwnerEntity;
    std::string name = "G";
    name += std::to_string(g);
    group->SetName(name);
    root->AddElement(group);
    for (int i = 0; i < kPerGroup; ++i) group->AddElement(TIntegerElement::CreateValue(g * kPerGroup + i));
  }
  return root;
}

std::string GraphFile() {
  const std::u8string path = (std::filesystem::temp_directory_path() / "kestx_bench_million.kes").u8string();
  return std::string(reinterpret_cast<const char*>(path.data()), path.size());
}

void SaveGraph(TElement* root, const std::string& file) {
  TSave save;
  save.FileName = file;
  save.SetInput(root);
  save.DoIt();
}

std::unique_ptr<TElement> LoadGraph(const std::string& file) {
  TLoad load;
  load.FileName = file;
  load.DoIt();
  return std::unique_ptr<TElement>(load.Output());
}

double Seconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

// Frees a graph in full outside the timed part and gives its memory back, so
// that every timed part starts from the same heap: the allocator merges a
// million freed blocks only at some later large request, which would charge
// the next build or load for this free, or not, depending on where the blocks
// happened to lie.
template <class T>
void FreeUntimed(std::unique_ptr<T>& graph) {
  graph.reset();
  malloc_trim(0);
}

void WriteGraphFile(const std::string& file) {
  std::unique_ptr<TOwnerEntity> built = BuildGraph();
  SaveGraph(built.get(), file);
  FreeUntimed(built);
}

void BM_KesBuildMillionInCode(benchmark::State& state) {
  Prepare();
  for (auto _ : state) {
    std::unique_ptr<TOwnerEntity> root = BuildGraph();
    state.PauseTiming();
    FreeUntimed(root);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kElements));
}
BENCHMARK(BM_KesBuildMillionInCode)->Unit(benchmark::kMillisecond);

void BM_KesSaveMillion(benchmark::State& state) {
  Prepare();
  const std::string file = GraphFile();
  std::unique_ptr<TOwnerEntity> root = BuildGraph();
  for (auto _ : state) SaveGraph(root.get(), file);
  state.counters["file_bytes_per_element"] = static_cast<double>(std::filesystem::file_size(file)) / kElements;
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kElements));
}
BENCHMARK(BM_KesSaveMillion)->Unit(benchmark::kMillisecond);

void BM_KesLoadMillion(benchmark::State& state) {
  Prepare();
  const std::string file = GraphFile();
  WriteGraphFile(file);
  for (auto _ : state) {
    std::unique_ptr<TElement> root = LoadGraph(file);
    state.PauseTiming();
    FreeUntimed(root);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kElements));
}
BENCHMARK(BM_KesLoadMillion)->Unit(benchmark::kMillisecond);

// Loading against building the same graph in code, measured side by side, and
// the heap each graph takes per element.
void BM_KesLoadToBuildRatio(benchmark::State& state) {
  Prepare();
  const std::string file = GraphFile();
  WriteGraphFile(file);
  double build = 0;
  double load = 0;
  double builtBytes = 0;
  double loadedBytes = 0;
  for (auto _ : state) {
    std::size_t before = mallinfo2().uordblks;
    auto started = std::chrono::steady_clock::now();
    std::unique_ptr<TOwnerEntity> built = BuildGraph();
    build += Seconds(std::chrono::steady_clock::now() - started);
    builtBytes = static_cast<double>(mallinfo2().uordblks - before);
    FreeUntimed(built);

    before = mallinfo2().uordblks;
    started = std::chrono::steady_clock::now();
    std::unique_ptr<TElement> loaded = LoadGraph(file);
    const double loadSeconds = Seconds(std::chrono::steady_clock::now() - started);
    load += loadSeconds;
    loadedBytes = static_cast<double>(mallinfo2().uordblks - before);
    FreeUntimed(loaded);
    state.SetIterationTime(loadSeconds);
  }
  state.counters["load_to_build"] = load / build;
  state.counters["built_bytes_per_element"] = builtBytes / kElements;
  state.counters["loaded_bytes_per_element"] = loadedBytes / kElements;
  state.counters["file_bytes_per_element"] = static_cast<double>(std::filesystem::file_size(file)) / kElements;
  std::filesystem::remove(file);
}
BENCHMARK(BM_KesLoadToBuildRatio)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace
