// Topology building on the stand map at 10^4, 10^5 and 10^6 segments: nodes
// and areas (with holes and labels) against GEOS's polygonizer on the same
// lines in the same run, node building alone, and line joining of a map
// whose corners were moved apart.  Time per segment is reported for each.
//
// Both sides of the comparison time the same span: from the map's lines as
// each library holds its input (our line string; GEOS's line strings made
// from the map's points) to the counted faces.  Making our line string and
// freeing either side's results stay outside, our tools are made inside.
// Every size runs for at least a second, so that runs of a few milliseconds
// at 10^4 are not judged on one iteration.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "bench/perturbed_map.h"
#include "block/block_classes.h"
#include "block/topology/area_building.h"
#include "block/topology/line_joining.h"
#include "framework/core/messages.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "spatial/index/quadtree.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/segment_records.h"
#ifdef KESTX_HAVE_GEOS
#include "bench/geos_reference.h"
#endif

namespace {

const TStandMap& MapOf(std::int64_t segments) {
  static std::map<std::int64_t, TStandMap> maps;
  auto found = maps.find(segments);
  if (found == maps.end())
    found = maps.emplace(segments, MakeStandMap(StandMapSideFor(static_cast<std::size_t>(segments)), 2026)).first;
  return found->second;
}

void Prepare() {
  static platform::RecordingDialogs dialogs;
  RegisterBlockClasses();
  platform::SetDialogs(&dialogs);
  // The pieces of a line the joining cuts reach its string by a framework
  // message, as in the program; without a receiver of their own, messages
  // are freed.
  platform::Application::Instance().SetMessageHook([](platform::AppMessage& message, bool& handled) {
    if (TKestuMessage* kestu = KestuMessageOf(message)) DeliverKestuMessage(kestu, handled, [] { return nullptr; });
  });
}

void PerSegment(benchmark::State& state, const TStandMap& map) {
  state.counters["segments"] = static_cast<double>(map.SegmentCount());
  state.counters["time/segment"] = benchmark::Counter(static_cast<double>(map.SegmentCount()),
                                                      benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
}

void BM_MakeNodesAndAreas(benchmark::State& state) {
  Prepare();
  const TStandMap& map = MapOf(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
    state.ResumeTiming();
    auto maker = std::make_unique<TMakeNodesAndAreas>();
    maker->SetInput(lines.get());
    maker->DoIt();
    state.PauseTiming();
    auto* areas = DynamicCast<TAreaString>(maker->Output());
    int holes = 0;
    for (TElement* child : areas->Children())
      if (THolesEntity* list = static_cast<TAreaElement*>(child)->Holes()) holes += list->GetCount();
    if (areas->GetCount() != map.ExpectedAreas || holes != map.ExpectedHoles)
      state.SkipWithError("areas or holes differ from the map's");
    maker.reset();
    lines.reset();
    state.ResumeTiming();
  }
  PerSegment(state, map);
}

#ifdef KESTX_HAVE_GEOS
void BM_GeosPolygonize(benchmark::State& state) {
  const TStandMap& map = MapOf(state.range(0));
  for (auto _ : state) {
    auto polygonization = std::make_unique<TGeosPolygonization>(map);
    state.PauseTiming();
    const TGeosFaces faces = polygonization->Faces();
    if (faces.Polygons != map.ExpectedAreas || faces.InteriorRings != map.ExpectedHoles)
      state.SkipWithError("GEOS's faces differ from the map's");
    polygonization.reset();
    state.ResumeTiming();
  }
  PerSegment(state, map);
}
BENCHMARK(BM_GeosPolygonize)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
#endif

void BM_MakeNodes(benchmark::State& state) {
  Prepare();
  const TStandMap& map = MapOf(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
    state.ResumeTiming();
    auto maker = std::make_unique<TMakeNodes>();
    maker->SetInput(lines.get());
    maker->DoIt();
    state.PauseTiming();
    maker.reset();
    lines.reset();
    state.ResumeTiming();
  }
  PerSegment(state, map);
}

void BM_JoinLines(benchmark::State& state) {
  Prepare();
  const TStandMap map = PerturbedStandMap(MapOf(state.range(0)), 0.004);
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
    state.ResumeTiming();
    auto joiner = std::make_unique<TJoinLines>();
    joiner->SnapDistance = 0.01;
    joiner->SetInput(lines.get());
    joiner->DoIt();
    state.PauseTiming();
    std::unique_ptr<TQTreeLumLin> accepted(static_cast<TQTreeLumLin*>(joiner->Output()));
    accepted.reset();
    joiner.reset();
    lines.reset();
    state.ResumeTiming();
  }
  PerSegment(state, map);
}

BENCHMARK(BM_MakeNodesAndAreas)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_MakeNodes)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_JoinLines)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
