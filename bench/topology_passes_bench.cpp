#include <benchmark/benchmark.h>

// GEOS is the yardstick; without it there is nothing to time against.
#if KESTX_HAVE_GEOS
#include <malloc.h>

#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

#include "bench/geos_reference.h"
#include "bench/stand_map.h"
#include "block/block_classes.h"
#include "block/topology/node_building.h"
#include "block/topology/walkers.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/topology_nodes.h"

// The passes the topology chain is built on, on a stand map of 10^4 to 10^6
// segments, beside GEOS's polygonizer on the same lines in the same run:
// reading the lines into a line-end index, finding each end's node (with the
// line attached to it), linking every branch to its far node, one marking
// face walk per branch, and freeing all of it.  The first three are the
// topology tools themselves, as a user's run calls them.

namespace {

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

template <class Each>
void ForEachBranch(TSpaceLineBegEndCell* cell, Each each) {
  TOwnerEntity* nodes = NodesOfCell(cell);
  if (!nodes) return;
  for (TElement* child : nodes->Children()) {
    auto* node = static_cast<TNode*>(child);
    for (TElement* item : node->Children())
      if (auto* branch = DynamicCast<TNodeBranch>(item)) each(node, branch);
  }
}

class TMarkFaces : public TProchazecListuQTreeGauge {
 public:
  int ClosedFaces = 0;
  void Process(TElement* element) override {
    TProchazecListuQTree::Process(element);
    ForEachBranch(static_cast<TSpaceLineBegEndCell*>(element), [this](TNode*, TNodeBranch* branch) {
      if (branch->NotRegularArea) return;
      double area = 0;
      bool closed = false;
      int steps = 0;
      branch->TraceArea(area, closed, steps, true);
      ClosedFaces += closed ? 1 : 0;
    });
  }
};

struct PassSeconds {
  double Index = 0, Nodes = 0, FarNodes = 0, Walk = 0, Free = 0;
  double Total() const { return Index + Nodes + FarNodes + Walk + Free; }
};

// Runs the passes on freshly made lines; returns the closed faces found.
int RunPasses(const TStandMap& map, PassSeconds& seconds) {
  std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
  double started = CpuSeconds();
  std::unique_ptr<TElement> tree;
  {
    std::unique_ptr<TReadLinesIntoQTree> reader(CreateElement<TReadLinesIntoQTree>());
    reader->SetInput(lines.get());
    reader->DoIt();
    tree.reset(reader->Output());
  }
  double now = CpuSeconds();
  seconds.Index += now - started;
  auto walk = [&](TProchazecObjektu& pass, double& into) {
    started = CpuSeconds();
    pass.SetInput(tree.get());
    pass.DoIt();
    now = CpuSeconds();
    into += now - started;
  };
  TPutNodesIntoQTree nodes;
  walk(nodes, seconds.Nodes);
  TNodesConector farNodes;
  walk(farNodes, seconds.FarNodes);
  TMarkFaces faces;
  walk(faces, seconds.Walk);
  started = CpuSeconds();
  tree.reset();
  lines.reset();
  seconds.Free += CpuSeconds() - started;
  return faces.ClosedFaces;
}

void BM_TopologyPassesVsGeos(benchmark::State& state) {
  RegisterBlockClasses();
  const TStandMap map = MakeStandMap(StandMapSideFor(static_cast<std::size_t>(state.range(0))), 2026);
  TGeosLines geos(map);
  PassSeconds seconds;
  double geosSeconds = 0;
  int faces = 0;
  int polygons = 0;
  for (auto _ : state) {
    faces = RunPasses(map, seconds);
    malloc_trim(0);
    const double started = CpuSeconds();
    polygons = geos.Polygonize();
    const double geosRun = CpuSeconds() - started;
    geosSeconds += geosRun;
    state.SetIterationTime(geosRun);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["segments"] = static_cast<double>(map.SegmentCount());
  state.counters["index_s"] = seconds.Index / runs;
  state.counters["nodes_s"] = seconds.Nodes / runs;
  state.counters["far_nodes_s"] = seconds.FarNodes / runs;
  state.counters["walk_s"] = seconds.Walk / runs;
  state.counters["free_s"] = seconds.Free / runs;
  state.counters["passes_s"] = seconds.Total() / runs;
  state.counters["geos_s"] = geosSeconds / runs;
  state.counters["passes_to_geos"] = seconds.Total() / geosSeconds;
  // The faces the walks close (the outer one included) and GEOS's polygons.
  state.counters["faces"] = faces;
  state.counters["polygons"] = polygons;
  state.counters["expected_areas"] = map.ExpectedAreas;
}
BENCHMARK(BM_TopologyPassesVsGeos)
    ->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);

}  // namespace

#endif  // KESTX_HAVE_GEOS
