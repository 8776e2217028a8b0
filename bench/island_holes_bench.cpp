// Areas of one stand holding many islands beside GEOS's polygonizer on the
// same lines in the same run: 2,500, 10,000 and 40,000 islands, each an
// octagon of 3 m radius closed on itself, on a grid of 10 m inside a square
// stand drawn as one closed line.  Every island's outer ring is a hole of
// the stand, so the stand takes them all.  The whole area building is timed
// against GEOS, and the pass attaching the holes on its own.
//
// Both sides time the same span: from the lines as each library holds them
// to the counted faces; making our line string and freeing either side's
// result stay outside.
#include <benchmark/benchmark.h>

#if KESTX_HAVE_GEOS
#include <cmath>
#include <memory>

#include "bench/geos_reference.h"
#include "bench/stand_map.h"
#include "bench/versus_geos.h"
#include "block/block_classes.h"
#include "block/topology/area_building.h"
#include "platform/dialogs.h"
#include "spatial/index/quadtree.h"
#include "spatial/objects/space_entities.h"

namespace {

TStandMap IslandsInOneStand(int islands) {
  TStandMap map;
  const int side = static_cast<int>(std::ceil(std::sqrt(double(islands))));
  const double pi = std::acos(-1.0);
  const double edge = side * 10.0;
  map.Lines.push_back({{0, 0}, {0, edge}, {edge, edge}, {edge, 0}, {0, 0}});
  for (int i = 0; i < islands; ++i) {
    const double cx = (i % side) * 10.0 + 5, cy = (i / side) * 10.0 + 5;
    TStandMapLine ring;
    for (int k = 0; k < 8; ++k) ring.push_back({cx + 3 * std::cos(k * pi / 4), cy + 3 * std::sin(k * pi / 4)});
    ring.push_back(ring.front());
    map.Lines.push_back(ring);
  }
  map.ExpectedAreas = islands + 1;
  map.ExpectedHoles = islands;
  return map;
}

void Prepare() {
  static platform::RecordingDialogs dialogs;
  RegisterBlockClasses();
  platform::SetDialogs(&dialogs);
}

// The holes the stand took; -1 when the areas are not the map's.
int HolesOfTheStand(const TAreaString& areas, const TStandMap& map) {
  if (static_cast<int>(areas.Children().size()) != map.ExpectedAreas) return -1;
  int most = 0;
  for (TElement* child : areas.Children())
    if (THolesEntity* holes = static_cast<TAreaElement*>(child)->Holes()) most = std::max(most, holes->GetCount());
  return most;
}

void BM_IslandsInOneStandVsGeosPolygonize(benchmark::State& state) {
  Prepare();
  const TStandMap map = IslandsInOneStand(static_cast<int>(state.range(0)));
  TGeosLines geos(map);
  TVersusGeos versus;
  int holes = 0, polygons = 0;
  for (auto _ : state) {
    std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
    auto maker = std::make_unique<TMakeNodesAndAreas>();
    versus.Run(
        state,
        [&] {
          maker->SetInput(lines.get());
          maker->DoIt();
        },
        [&] { polygons = geos.Polygonize(); });
    holes = HolesOfTheStand(*DynamicCast<TAreaString>(maker->Output()), map);
    maker.reset();
    lines.reset();
  }
  if (holes != map.ExpectedHoles || polygons != map.ExpectedAreas)
    state.SkipWithError("the stand does not hold every island");
  versus.Count(state, "areas", "geos_polygonize");
  state.counters["holes"] = holes;
}
BENCHMARK(BM_IslandsInOneStandVsGeosPolygonize)
    ->Arg(2500)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The hole pass alone, on areas built beforehand.
void BM_AttachIslandHolesToOneStand(benchmark::State& state) {
  Prepare();
  const TStandMap map = IslandsInOneStand(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
    auto nodes = std::make_unique<TMakeNodes>();
    nodes->SetInput(lines.get());
    nodes->DoIt();
    TCreateAreasForQTree creator;
    creator.AcceptLabelCentres = true;
    creator.SetInput(nodes->GetNodesQTree());
    creator.DoIt();
    std::unique_ptr<TSpaceEntityQTree> areas(creator.AreaQTree());
    state.ResumeTiming();
    TSubAreaMakerInQTree attacher;
    attacher.SetInput(areas.get());
    attacher.DoIt();
    state.PauseTiming();
    areas.reset();
    nodes.reset();
    lines.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AttachIslandHolesToOneStand)
    ->Arg(2500)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

#endif  // KESTX_HAVE_GEOS
