#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "spatial/index/quadtree.h"
#include "spatial/objects/space_entities.h"
#include "spatial/spatial_classes.h"
#include "spatial/topology/segment_records.h"

namespace {

// A million segments: ten thousand lines of 101 vertices, each a random walk
// of steps up to 20 m from a random start in a square of 100 km.
constexpr int kLines = 10000;
constexpr int kVerticesPerLine = 101;
constexpr int kSegments = kLines * (kVerticesPerLine - 1);
constexpr int kQueries = 100000;
constexpr double kExtent = 100000;
constexpr double kQuerySide = 200;

struct Segments {
  TPolyLineString lines;
  // Holds the records, so that a tree freed does not free them.
  TEntity records;
  std::vector<TLumLinAbscissa*> list;

  Segments() {
    RegisterSpatialClasses();
    std::mt19937 random(18);
    std::uniform_real_distribution<double> start(0, kExtent);
    std::uniform_real_distribution<double> step(-20, 20);
    list.reserve(kSegments);
    for (int l = 0; l < kLines; ++l) {
      auto* line = new TPolyLineElement;
      double x = start(random), y = start(random);
      for (int v = 0; v < kVerticesPerLine; ++v) {
        line->AddVertex(x, y);
        x += step(random);
        y += step(random);
      }
      lines.AddElement(line);
      for (int i = 0; i + 1 < kVerticesPerLine; ++i) {
        auto* segment = new TLumLinAbscissa;
        segment->SetLine(line);
        segment->Index = i;
        records.AddElement(segment);
        list.push_back(segment);
      }
    }
  }
};

Segments& Data() {
  static Segments* data = new Segments;  // built once for all benchmarks
  return *data;
}

std::vector<TRealRect> Queries(int count) {
  std::mt19937 random(133);
  std::uniform_real_distribution<double> corner(0, kExtent - kQuerySide);
  std::vector<TRealRect> queries(static_cast<std::size_t>(count));
  for (TRealRect& q : queries) {
    q.MinX = corner(random);
    q.MinY = corner(random);
    q.MaxX = q.MinX + kQuerySide;
    q.MaxY = q.MinY + kQuerySide;
  }
  return queries;
}

std::unique_ptr<TQTreeLumLinAbsc> BuildTree() {
  auto tree = std::make_unique<TQTreeLumLinAbsc>();
  for (TLumLinAbscissa* segment : Data().list) tree->AddAndGrow(segment);
  return tree;
}

void BM_SegmentTreeInsertMillion(benchmark::State& state) {
  Data();
  for (auto _ : state) {
    std::unique_ptr<TQTreeLumLinAbsc> tree = BuildTree();
    state.PauseTiming();
    state.counters["leaves"] = tree->GetLeavesCount();
    state.counters["entries"] = tree->GetElementsCount();
    tree.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SegmentTreeInsertMillion)->Unit(benchmark::kMillisecond)->Iterations(1);

// One iteration answers all the rectangle queries.
void BM_SegmentTreeHundredThousandQueries(benchmark::State& state) {
  std::unique_ptr<TQTreeLumLinAbsc> tree = BuildTree();
  const std::vector<TRealRect> queries = Queries(kQueries);
  std::size_t found = 0;
  for (auto _ : state) {
    found = 0;
    TQTreeWalker walker;
    for (const TRealRect& q : queries)
      for (TElement* e = walker.FindFirst(tree.get(), q.MinX, q.MinY, q.MaxX, q.MaxY, 0); e; e = walker.FindNext())
        ++found;
    benchmark::DoNotOptimize(found);
  }
  state.counters["hits_per_query"] = static_cast<double>(found) / kQueries;
  state.counters["us_per_query"] =
      benchmark::Counter(static_cast<double>(kQueries), benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}
BENCHMARK(BM_SegmentTreeHundredThousandQueries)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same queries by looking at every segment: a hundred of them, as all
// would take hours; the time per query is what compares.
void BM_LinearScanHundredQueries(benchmark::State& state) {
  const std::vector<TLumLinAbscissa*>& list = Data().list;
  const std::vector<TRealRect> queries = Queries(100);
  std::size_t found = 0;
  for (auto _ : state) {
    found = 0;
    for (const TRealRect& q : queries)
      for (const TLumLinAbscissa* segment : list)
        if (segment->BoundsMeetRect(q.MinX, q.MinY, q.MaxX, q.MaxY, 0)) ++found;
    benchmark::DoNotOptimize(found);
  }
  state.counters["hits_per_query"] = static_cast<double>(found) / 100;
  state.counters["us_per_query"] = benchmark::Counter(
      100.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LinearScanHundredQueries)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
