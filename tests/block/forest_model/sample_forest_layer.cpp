#include "tests/block/forest_model/sample_forest_layer.h"

#include <memory>

#include "block/forest_model/forest_props.h"
#include "block/forest_model/forest_units.h"
#include "framework/stream/kes_saver.h"
#include "spatial/objects/space_entities.h"

namespace {

template <class T>
T* Named(const std::string& name, TEntity* owner) {
  auto* element = new T;
  element->SetName(name);
  owner->AddElement(element);
  return element;
}

TPolyLineElement* Line(TPolyLineString& list, std::initializer_list<TRealPoint> points) {
  auto* line = new TPolyLineElement;
  for (const TRealPoint& p : points) line->AddVertex(p.X, p.Y);
  line->CalcBounds();
  list.AddEntity(line);
  return line;
}

TPolyLineAreaElement* Area(TAreaString& list, std::initializer_list<std::pair<TPolyLineElement*, bool>> ring,
                           double labelX) {
  auto* area = new TPolyLineAreaElement;
  for (const auto& [line, forward] : ring) area->AddLine(line, forward);
  area->CalcBounds();
  area->SetAbsRefX(labelX);
  area->SetAbsRefY(-50);
  list.AddEntity(area);
  return area;
}

}  // namespace

TOwnerEntity* BuildSampleForestData() {
  auto data = std::make_unique<TOwnerEntity>();
  data->SetName("DATA");
  // A class the registry knows, so that the layer loads with its bounds.
  auto* layer = Named<TRectEntity>("TEZBA", data.get());
  // Stored coordinates are the model's negated: the stands lie below and
  // left of the origin so that a block holds them positive.
  auto* drawn = new TPolyLineString;
  drawn->SetName("LINIE");
  TPolyLineElement* shared = Line(*drawn, {{-100, -100}, {-100, 0}});
  TPolyLineElement* leftRest = Line(*drawn, {{-100, 0}, {-200, 0}, {-200, -100}, {-100, -100}});
  TPolyLineElement* rightRest = Line(*drawn, {{-100, -100}, {0, -100}, {0, 0}, {-100, 0}});
  layer->AddEntity(drawn);
  auto* areas = Named<TAreaString>("TEZBA", layer);
  // Clockwise, as the topology makes them.
  TPolyLineAreaElement* left = Area(*areas, {{leftRest, false}, {shared, false}}, -150);
  Area(*areas, {{shared, true}, {rightRest, false}}, -50);
  auto* props = new TTezPProps;
  props->Nalehavost = 3;
  left->SetProperties(props);
  auto* group = Named<TPorostniSkupina>(
      "1a", Named<TPorost>("1", Named<TDilec>("A", Named<TOddeleni>("12", Named<TLHC>("LHC1", layer)))));
  group->AddElement(left);
  return data.release();
}

void WriteSampleForestData(const std::string& fileName) {
  std::unique_ptr<TOwnerEntity> data(BuildSampleForestData());
  TSave save;
  save.FileName = fileName;
  save.SetInput(data.get());
  save.DoIt();
}
