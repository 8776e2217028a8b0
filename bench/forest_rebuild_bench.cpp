// Rebuilding areas after one boundary line of a harvest layer changed: the
// area editor's rebuild (the lines of the stand group and of its neighbours
// gathered, areas built of them) against the whole layer taken out of the
// hierarchy and rebuilt, on a layer of about 10,000 areas, in one run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

#include "bench/forest_criterion.h"
#include "bench/stand_map.h"
#include "block/forest_model/forest_units.h"
#include "block/props/lumar_props.h"
#include "forestry/editors/area_point_editors.h"
#include "forestry/forestry_classes.h"
#include "forestry/hierarchy/groupper.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "forestry/hierarchy/layer_assignment.h"
#include "forestry/reconstruction/layer_rebuilding.h"
#include "forestry/reconstruction/lines_to_areas.h"
#include "forestry/selectors/neighbour_groups.h"
#include "framework/core/messages.h"
#include "platform/app_queue.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

constexpr int kLayerAreas = 10000;
constexpr const char* kLayer = "TEZ";
constexpr double kCell = 100;  // the stand map's cell

template <class E>
E* Named(const std::string& name, TEntity& owner) {
  auto* made = CreateElement<E>();
  made->SetName(name);
  owner.AddElement(made);
  return made;
}

// The smallest stand map with at least so many faces.
TStandMap MapOfAreas(int areas) {
  for (int side = 1;; ++side) {
    TStandMap map = MakeStandMap(side, 2027);
    if (map.ExpectedAreas >= areas) return map;
  }
}

// The areas the map's lines enclose, each line a new element.
std::unique_ptr<TAreaString> AreasOf(const TStandMap& map) {
  std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
  std::unique_ptr<TRectEntity> input(CreateElement<TRectEntity>());
  input->AddAllFrom(lines.get());
  input->UpdateRect();
  TAreasFromClearLines builder;
  builder.SetInput(input.get());
  builder.DoIt();
  return std::unique_ptr<TAreaString>(DynamicCast<TAreaString>(builder.Output()));
}

// The keys of the stand in the map's cell: compartments of 10 by 10 cells,
// sub-compartments of 5 by 5, an island a stand group of its own.
void GiveStandKeys(TAreaElement& area) {
  const int col = static_cast<int>(std::floor(area.GetAbsRefX() / kCell));
  const int row = static_cast<int>(std::floor(area.GetAbsRefY() / kCell));
  const bool island = std::fabs(area.GetCalculatedArea()) < kCell * kCell / 4;
  area.SetProperties(CreateElement<TDynamicProperties>());
  area.SetPropertyText("LHC", std::to_string(col / 25 + 1));
  area.SetPropertyText("ODDELENI", std::to_string(row / 10 * 100 + col / 10 + 1));
  area.SetPropertyText("DILEC", std::string(1, static_cast<char>('a' + row % 10 / 5 * 2 + col % 10 / 5)));
  area.SetPropertyText("POROST", std::to_string(row % 5 * 5 + col % 5 + 1));
  area.SetPropertyText("SKUPINA", island ? "2" : "1");
}

// A world whose forestry data holds the hierarchy of the stand map's stands
// and the layer TEZ of the same map drawn again (its own lines), one of
// whose boundary lines has a vertex moved.
struct TForestLayer {
  TWCSWorld world;
  TRectEntity* hierarchy = nullptr;
  TRectEntity* layers = nullptr;
  std::unique_ptr<TAreaString> stands;
  int areas = 0;
  // A stand in the middle of the map, whose harvest area's line moved.
  double x = 0;
  double y = 0;

  TForestLayer() {
    RegisterForestryClasses();
    SetWorld(&world);
    DropMessages();
    TEntity& data = *Named<TOwnerEntity>("DATA", *world.ObjectModel());
    hierarchy = Named<TRectEntity>("HIERARCHY", data);
    layers = Named<TRectEntity>("LAYERS", data);
    const TStandMap map = MapOfAreas(kLayerAreas);
    stands = AreasOf(map);
    TGroupper groupper;
    groupper.SetCriterion(ForestCriterion());
    groupper.SetOwnerClass("TRectEntity");
    groupper.SetOutput(hierarchy);
    for (TElement* child : stands->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      GiveStandKeys(*area);
      groupper.SetInput(area);
      groupper.DoIt();
    }
    std::unique_ptr<TAreaString> harvest = AreasOf(map);
    int number = 0;
    for (TElement* child : harvest->Children()) {
      auto* props = CreateElement<TLumarAreaProps>();
      props->Cislo = ++number;
      props->Druh = 6;
      static_cast<TAreaElement*>(child)->SetProperties(props);
    }
    areas = harvest->GetCount();
    Named<TRectEntity>(std::string("ARE_") + kLayer, *layers)->AddElement(harvest.release());
    // A quarter into the middle cell: clear of the island a stand may hold
    // round its centre.
    const double middle = std::floor(std::sqrt(map.ExpectedAreas - map.ExpectedHoles) / 2) * kCell;
    x = middle + kCell / 4;
    y = middle + kCell / 4;
    Assign();
    MoveOneVertex();
  }
  // Framework messages (progress, log lines) go nowhere and are freed.
  static void DropMessages() {
    platform::Application::Instance().SetMessageHook([](platform::AppMessage& message, bool& handled) {
      if (TKestuMessage* kestu = KestuMessageOf(message))
        DeliverKestuMessage(kestu, handled, [] { return static_cast<TElement*>(nullptr); });
    });
  }

  TPorostniSkupina* GroupAtMiddle() const {
    THeleSkupina lookup;
    lookup.SetInput(hierarchy);
    lookup.X = x;
    lookup.Y = y;
    lookup.DoIt();
    return lookup.Found ? DynamicCast<TPorostniSkupina>(lookup.PSKObject()) : nullptr;
  }

  // The layer's areas hung under their stand groups, unless they hang there.
  void Assign() {
    TPorostniSkupina* psk = GroupAtMiddle();
    if (psk && psk->FindElementByName(kLayer)) return;
    THeleZaradLHC assign;
    assign.LayerName = kLayer;
    assign.DoIt();
    platform::Application::Instance().ProcessMessages();
  }

  // The first boundary line of the middle stand group's harvest area with an
  // inner vertex gets that vertex moved by 2 m on both axes.
  void MoveOneVertex() {
    auto* container = DynamicCast<TEntity>(GroupAtMiddle()->FindElementByName(kLayer));
    auto* area = DynamicCast<TPolyLineAreaElement>(container->GetElement(0));
    for (TElement* child : area->Children()) {
      auto* line = DynamicCast<TPolyLineElement>(child);
      if (!line || line->GetCoordsCount() < 3) continue;
      line->SetCoordX(1, line->GetCoordX(1) + 2);
      line->SetCoordY(1, line->GetCoordY(1) + 2);
      line->CalcBounds();
      break;
    }
    area->CalcBounds();
  }
};

// The size of the list's area that holds the point; 0 when none does.
double SizeOfAreaAt(const TEntity& list, const T2DCoordinate& point) {
  for (TElement* child : list.Children())
    if (auto* area = DynamicCast<TAreaElement>(child); area && area->HitTest(&point, 0))
      return std::fabs(area->GetCalculatedArea());
  return 0;
}

TForestLayer& Forest() {
  // Kept to the end of the process: the element tables it uses end first.
  static auto* forest = new TForestLayer;
  return *forest;
}

void BM_RebuildAfterOneLineLocally(benchmark::State& state) {
  TForestLayer& forest = Forest();
  forest.Assign();
  TPorostniSkupina* psk = forest.GroupAtMiddle();
  std::unique_ptr<TPolyLineAreaEditor> editor(CreateElement<TPolyLineAreaEditor>());
  editor->CopyLinesLevels = kLayer;
  editor->NeighbourhoodCopyLinesLevels = kLayer;
  editor->SetNeighbourhoodTool(CreateElement<TFindOkolniSkupiny>());
  const T2DCoordinate click(forest.x, forest.y);
  double size = 0;
  int built = 0;
  for (auto _ : state) {
    TRectEntity* lines = editor->GatherLines(*psk);
    TCreateAreasFromLinesTool builder;
    builder.SetInput(lines);
    builder.DoIt();
    std::unique_ptr<TElement> areas(builder.Output());
    builder.SetOutput(nullptr);
    auto* list = DynamicCast<TEntity>(areas.get());
    built = list ? list->GetCount() : 0;
    size = list ? SizeOfAreaAt(*list, click) : 0;
  }
  if (size == 0) state.SkipWithError("no area was built under the stand group's point");
  state.counters["areas_built"] = built;
  // Equal to the whole rebuild's figure: the same area is rebuilt.
  state.counters["area_m2"] = size;
}
BENCHMARK(BM_RebuildAfterOneLineLocally)->Unit(benchmark::kMillisecond);

// The anchor: the layer taken out of the hierarchy and rebuilt whole.
void BM_RebuildWholeLayer(benchmark::State& state) {
  TForestLayer& forest = Forest();
  for (auto _ : state) {
    state.PauseTiming();
    forest.Assign();
    state.ResumeTiming();
    TExtractLHC extract;
    extract.LayerName = kLayer;
    extract.DoIt();
    THeleClearLHC rebuild;
    rebuild.LayerName = kLayer;
    rebuild.DoIt();
  }
  state.counters["layer_areas"] = forest.areas;
  auto* layer = DynamicCast<TEntity>(forest.layers->FindElementByName(std::string("ARE_") + kLayer));
  auto* rebuilt = layer ? DynamicCast<TEntity>(layer->GetElement(0)) : nullptr;
  state.counters["area_m2"] = rebuilt ? SizeOfAreaAt(*rebuilt, T2DCoordinate(forest.x, forest.y)) : 0;
}
BENCHMARK(BM_RebuildWholeLayer)->Unit(benchmark::kMillisecond);

}  // namespace
