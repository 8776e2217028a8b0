// The forest hierarchy built from stand areas by the grouping tool, against
// the same keys read into nested maps with bounds; and stand areas found
// under points, against a scan of every area.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/forest_criterion.h"
#include "forestry/forestry_classes.h"
#include "forestry/hierarchy/groupper.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr const char* kKeys[] = {"LHC", "ODDELENI", "DILEC", "POROST", "SKUPINA"};
constexpr int kStandsPerCompartment = 100;
constexpr double kSide = 10;

// n square stands of 10 m, a compartment a block of 10 by 10 stands, the
// compartments (n / 100 of them) on a square grid split among four LHC by
// column; a sub-compartment 25 stands, a stand 5 and a stand group one.
struct StandMap {
  TOwnerEntity areas;
  std::vector<TAreaElement*> list;
  double extent = 0;

  explicit StandMap(int n) {
    RegisterForestryClasses();
    const int compartments = n / kStandsPerCompartment;
    const int blocks = static_cast<int>(std::ceil(std::sqrt(compartments)));
    extent = blocks * 10 * kSide;
    list.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      const int c = i / kStandsPerCompartment;
      const int j = i % kStandsPerCompartment;
      const double x = ((c % blocks) * 10 + j % 10) * kSide;
      const double y = ((c / blocks) * 10 + j / 10) * kSide;
      const std::string keys[] = {std::to_string((c % blocks) * 4 / blocks + 1), std::to_string(c + 1),
                                  std::string(1, static_cast<char>('a' + j / 25)), std::to_string(j / 5 + 1),
                                  std::to_string(j % 5 + 1)};
      auto* area = new TAreaElement;
      area->SetProperties(new TDynamicProperties);
      for (int k = 0; k < 5; ++k) area->SetPropertyText(kKeys[k], keys[k]);
      for (const auto& [dx, dy] : {std::pair{0.0, 0.0}, {0.0, kSide}, {kSide, kSide}, {kSide, 0.0}})
        area->AddVertex(x + dx, y + dy);
      area->CalcBounds();
      areas.AddElement(area);
      list.push_back(area);
    }
  }
};

// Kept to the end of the process: the element tables they use end first.
const StandMap& Stands(int n) {
  static auto* maps = new std::map<int, StandMap*>;
  StandMap*& map = (*maps)[n];
  if (!map) map = new StandMap(n);
  return *map;
}

std::unique_ptr<TRectEntity> Build(const StandMap& stands) {
  auto hierarchy = std::make_unique<TRectEntity>();
  TGroupper groupper;
  groupper.SetCriterion(ForestCriterion());
  groupper.SetOutput(hierarchy.get());
  for (TAreaElement* area : stands.list) {
    groupper.SetInput(area);
    groupper.DoIt();
  }
  return hierarchy;
}

void BM_BuildHierarchy(benchmark::State& state) {
  const StandMap& stands = Stands(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::unique_ptr<TRectEntity> hierarchy = Build(stands);
    state.PauseTiming();
    hierarchy.reset();
    state.ResumeTiming();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildHierarchy)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

// The anchor: the same keys read into nested maps whose nodes keep bounds.
struct MapNode {
  double minX = 1e30, minY = 1e30, maxX = -1e30, maxY = -1e30;
  std::map<std::string, MapNode> children;
  std::vector<TAreaElement*> areas;
  void Include(const TAreaElement& area) {
    minX = std::min(minX, area.GetMinX());
    minY = std::min(minY, area.GetMinY());
    maxX = std::max(maxX, area.GetMaxX());
    maxY = std::max(maxY, area.GetMaxY());
  }
};

void BM_BuildNestedMaps(benchmark::State& state) {
  const StandMap& stands = Stands(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    MapNode root;
    for (TAreaElement* area : stands.list) {
      MapNode* node = &root;
      node->Include(*area);
      for (const char* key : kKeys) {
        node = &node->children[area->GetPropertyText(key)];
        node->Include(*area);
      }
      node->areas.push_back(area);
    }
    benchmark::DoNotOptimize(root.children.size());
    state.PauseTiming();
    root = MapNode();
    state.ResumeTiming();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildNestedMaps)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

constexpr int kLookupStands = 100000;
constexpr int kPoints = 10000;
constexpr int kTrackSteps = 1000;

const TRectEntity& LookupHierarchy() {
  static TRectEntity* hierarchy = Build(Stands(kLookupStands)).release();
  return *hierarchy;
}

std::vector<std::pair<double, double>> RandomPoints(double extent) {
  std::mt19937 random(41);
  std::uniform_real_distribution<double> at(0, extent);
  std::vector<std::pair<double, double>> points(kPoints);
  for (auto& point : points) point = {at(random), at(random)};
  return points;
}

// A mouse crossing the map in steps of 1 m.
std::vector<std::pair<double, double>> MouseTrack() {
  std::vector<std::pair<double, double>> track(kTrackSteps);
  for (int i = 0; i < kTrackSteps; ++i) track[static_cast<std::size_t>(i)] = {3.0 + i * 1.0, 4.0 + i * 0.5};
  return track;
}

void FindByHierarchy(benchmark::State& state, const std::vector<std::pair<double, double>>& points) {
  auto& hierarchy = const_cast<TRectEntity&>(LookupHierarchy());
  THeleSkupina finder;
  finder.SetInput(&hierarchy);
  for (auto _ : state) {
    int found = 0;
    for (const auto& [x, y] : points) {
      finder.X = x;
      finder.Y = y;
      finder.Found = false;
      finder.DoIt();
      found += finder.Found;
    }
    benchmark::DoNotOptimize(found);
  }
}

void FindByScan(benchmark::State& state, const std::vector<std::pair<double, double>>& points) {
  const StandMap& stands = Stands(kLookupStands);
  for (auto _ : state) {
    int found = 0;
    for (const auto& [x, y] : points) {
      for (TAreaElement* area : stands.list) {
        if (area->ContainsPoint(x, y) && area->ContainsPointOutsideHoles(x, y)) {
          ++found;
          break;
        }
      }
    }
    benchmark::DoNotOptimize(found);
  }
}

void BM_FindPointsByHierarchy(benchmark::State& state) {
  FindByHierarchy(state, RandomPoints(Stands(kLookupStands).extent));
}
void BM_FindPointsByScan(benchmark::State& state) { FindByScan(state, RandomPoints(Stands(kLookupStands).extent)); }
void BM_MouseTrackByHierarchy(benchmark::State& state) { FindByHierarchy(state, MouseTrack()); }
void BM_MouseTrackByScan(benchmark::State& state) { FindByScan(state, MouseTrack()); }
BENCHMARK(BM_FindPointsByHierarchy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindPointsByScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MouseTrackByHierarchy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MouseTrackByScan)->Unit(benchmark::kMillisecond);

}  // namespace
