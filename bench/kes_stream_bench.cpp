#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/heap_in_use.h"
#include "framework/values/typed_values.h"
#include "framework/core/framework_classes.h"
#include "framework/core/messages.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "platform/app_queue.h"
#include "platform/streams.h"

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

// The process number keeps benchmark programs run side by side off each other's files.
std::string TempFile(const std::string& name) {
  const std::u8string path =
      (std::filesystem::temp_directory_path() / ("kestx_bench_" + std::to_string(::getpid()) + "_" + name)).u8string();
  return std::string(reinterpret_cast<const char*>(path.data()), path.size());
}

std::string GraphFile() { return TempFile("million.kes"); }

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
    std::size_t before = HeapInUse();
    auto started = std::chrono::steady_clock::now();
    std::unique_ptr<TOwnerEntity> built = BuildGraph();
    build += Seconds(std::chrono::steady_clock::now() - started);
    builtBytes = static_cast<double>(HeapInUse() - before);
    FreeUntimed(built);

    before = HeapInUse();
    started = std::chrono::steady_clock::now();
    std::unique_ptr<TElement> loaded = LoadGraph(file);
    const double loadSeconds = Seconds(std::chrono::steady_clock::now() - started);
    load += loadSeconds;
    loadedBytes = static_cast<double>(HeapInUse() - before);
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

// ---------------------------------------------------------------- growth from ten thousand to a million

// Wide and deep graphs of ten thousand to a million elements: load, save and
// free, beside a plain reader of the same stream.

// n elements: a root, named groups of a thousand integer values.
std::unique_ptr<TOwnerEntity> WideGraph(std::int64_t n) {
  auto root = std::make_unique<TOwnerEntity>();
  root->SetName("Model");
  const std::int64_t groups = (n - 1) / (kPerGroup + 1);
  for (std::int64_t g = 0; g < groups; ++g) {
    auto* group = new TOwnerEntity;
    group->SetName("G" + std::to_string(g));
    root->AddElement(group);
    for (int i = 0; i < kPerGroup; ++i)
      group->AddElement(TIntegerElement::CreateValue(static_cast<std::int32_t>(g * kPerGroup + i)));
  }
  return root;
}

// n named entities, each the only child of the one above.
std::unique_ptr<TOwnerEntity> DeepGraph(std::int64_t n) {
  auto root = std::make_unique<TOwnerEntity>();
  root->SetName("L0");
  TEntity* at = root.get();
  for (std::int64_t level = 1; level < n; ++level) {
    auto* next = new TOwnerEntity;
    next->SetName("L" + std::to_string(level));
    at->AddElement(next);
    at = next;
  }
  return root;
}

std::string FileFor(const char* shape, std::int64_t n) {
  return TempFile(std::string(shape) + "_" + std::to_string(n) + ".kes");
}

// Processor time of this process: the machine may be shared, and the walls
// of a busy machine say little about a single-threaded run.
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The yardstick: the same stream read into plain structs, with no classes,
// properties or ownership behind them; values and children in flat arrays.
struct PlainRecord {
  std::int32_t Class = 0;
  std::int32_t Number = 0;
  std::uint32_t FirstValue = 0;
  std::uint32_t FirstChild = 0;
};
struct PlainValue {
  std::int32_t Position = 0;
  std::int64_t Ordinal = 0;
  std::uint32_t Text = 0;  // index into the texts, 0 for none
};
struct PlainGraph {
  std::vector<std::vector<int>> Kinds;  // per class record, the kind at each position
  std::vector<PlainRecord> Records;
  std::vector<PlainValue> Values;
  std::vector<std::string> Texts{""};
  std::vector<std::int32_t> Children;
};

std::size_t ReadPlain(const std::string& file) {
  platform::TMemoryStream stream;
  stream.LoadFromFile(file);
  platform::TReader reader(stream, 4096);
  char magic[4];
  reader.Read(magic, 4);
  for (int i = 0; i < 3; ++i) reader.ReadString();
  PlainGraph graph;
  reader.ReadListBegin();
  while (!reader.EndOfList()) {
    const std::int32_t head = reader.ReadInteger();
    if (head == -1) {
      reader.ReadString();
      reader.ReadInteger();
      std::vector<int>& kinds = graph.Kinds.emplace_back();
      reader.ReadListBegin();
      while (!reader.EndOfList()) {
        reader.ReadString();
        kinds.push_back(reader.ReadInteger());
      }
      reader.ReadListEnd();
      continue;
    }
    graph.Records.push_back({head, reader.ReadInteger(), static_cast<std::uint32_t>(graph.Values.size()),
                             static_cast<std::uint32_t>(graph.Children.size())});
    const std::vector<int>& kinds = graph.Kinds.at(static_cast<std::size_t>(head));
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
      PlainValue& value = graph.Values.emplace_back();
      value.Position = reader.ReadInteger();
      switch (kinds.at(static_cast<std::size_t>(value.Position))) {
        case 5: case 10:
          value.Text = static_cast<std::uint32_t>(graph.Texts.size());
          graph.Texts.push_back(reader.ReadString());
          break;
        case 4: value.Ordinal = static_cast<std::int64_t>(reader.ReadFloat()); break;
        default: value.Ordinal = reader.ReadInteger(); break;
      }
    }
    reader.ReadListEnd();
    if (reader.ReadInteger() != 0) {
      reader.ReadListBegin();
      while (!reader.EndOfList()) graph.Children.push_back(reader.ReadInteger());
      reader.ReadListEnd();
    }
  }
  reader.ReadListEnd();
  return graph.Records.size();
}

using Builder = std::unique_ptr<TOwnerEntity> (*)(std::int64_t);

void SaveBench(benchmark::State& state, Builder build, const char* shape) {
  Prepare();
  const std::string file = FileFor(shape, state.range(0));
  std::unique_ptr<TOwnerEntity> root = build(state.range(0));
  for (auto _ : state) SaveGraph(root.get(), file);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  FreeUntimed(root);
  std::filesystem::remove(file);
}

void LoadBench(benchmark::State& state, Builder build, const char* shape) {
  Prepare();
  const std::string file = FileFor(shape, state.range(0));
  std::unique_ptr<TOwnerEntity> built = build(state.range(0));
  SaveGraph(built.get(), file);
  FreeUntimed(built);
  for (auto _ : state) {
    std::unique_ptr<TElement> root = LoadGraph(file);
    state.PauseTiming();
    FreeUntimed(root);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(file);
}

void FreeBench(benchmark::State& state, Builder build) {
  Prepare();
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TOwnerEntity> root = build(state.range(0));
    state.ResumeTiming();
    root.reset();
    state.PauseTiming();
    malloc_trim(0);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WideGraphSave(benchmark::State& state) { SaveBench(state, WideGraph, "wide"); }
void BM_WideGraphLoad(benchmark::State& state) { LoadBench(state, WideGraph, "wide"); }
void BM_WideGraphFree(benchmark::State& state) { FreeBench(state, WideGraph); }
void BM_DeepChainSave(benchmark::State& state) { SaveBench(state, DeepGraph, "deep"); }
void BM_DeepChainLoad(benchmark::State& state) { LoadBench(state, DeepGraph, "deep"); }
void BM_DeepChainFree(benchmark::State& state) { FreeBench(state, DeepGraph); }

void BM_WidePlainReader(benchmark::State& state) {
  Prepare();
  const std::string file = FileFor("plain", state.range(0));
  std::unique_ptr<TOwnerEntity> built = WideGraph(state.range(0));
  SaveGraph(built.get(), file);
  FreeUntimed(built);
  for (auto _ : state) benchmark::DoNotOptimize(ReadPlain(file));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(file);
}

// Save, load and the plain reader of one graph, side by side in each
// iteration: load / plain reader and save / load from the same run, in
// processor time (the manual time is the load's).
void BM_WideGraphRatios(benchmark::State& state) {
  Prepare();
  const std::string file = FileFor("ratios", state.range(0));
  double save = 0;
  double load = 0;
  double plain = 0;
  for (auto _ : state) {
    std::unique_ptr<TOwnerEntity> built = WideGraph(state.range(0));
    double started = CpuSeconds();
    SaveGraph(built.get(), file);
    save += CpuSeconds() - started;
    FreeUntimed(built);
    started = CpuSeconds();
    std::unique_ptr<TElement> loaded = LoadGraph(file);
    const double loadSeconds = CpuSeconds() - started;
    load += loadSeconds;
    FreeUntimed(loaded);
    started = CpuSeconds();
    benchmark::DoNotOptimize(ReadPlain(file));
    plain += CpuSeconds() - started;
    malloc_trim(0);
    state.SetIterationTime(loadSeconds);
  }
  state.counters["load_to_plain"] = load / plain;
  state.counters["save_to_load"] = save / load;
  std::filesystem::remove(file);
}

#define KESTX_SIZES ->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_WideGraphSave) KESTX_SIZES;
BENCHMARK(BM_WideGraphLoad) KESTX_SIZES;
BENCHMARK(BM_WidePlainReader) KESTX_SIZES;
BENCHMARK(BM_WideGraphFree) KESTX_SIZES;
BENCHMARK(BM_WideGraphRatios) KESTX_SIZES->UseManualTime()->Iterations(3);
BENCHMARK(BM_DeepChainSave) KESTX_SIZES;
BENCHMARK(BM_DeepChainLoad) KESTX_SIZES;
BENCHMARK(BM_DeepChainFree) KESTX_SIZES;

}  // namespace
