#include "tests/app/graphic_forms/thematic_model.h"

#include <memory>
#include <utility>

#include "framework/stream/kes_saver.h"
#include "spatial/objects/space_entities.h"

namespace {

template <class T>
T* Shape(std::initializer_list<std::pair<double, double>> points, const std::string& name) {
  const TRealPoint o = ThematicModelOrigin();
  auto* shape = new T;
  shape->SetName(name);
  for (const auto& [x, y] : points) shape->AddVertex(o.X + x, o.Y + y);
  shape->CalcBounds();
  return shape;
}

// A map: its lines (the frame of the square first) and its areas, each in
// a layer of its own as the map objects of a block are.
TRectEntity* Map(const std::string& name, std::initializer_list<TPolyLineElement*> lines,
                 std::initializer_list<TAreaElement*> areas) {
  auto* lineLayer = new TPolyLineString;
  lineLayer->SetName("LINES");
  lineLayer->AddEntity(Shape<TPolyLineElement>({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}}, "Rám"));
  for (TPolyLineElement* line : lines) lineLayer->AddEntity(line);
  auto* areaLayer = new TAreaString;
  areaLayer->SetName("AREAS");
  for (TAreaElement* area : areas) areaLayer->AddEntity(area);
  auto* map = new TRectEntity;
  map->SetName(name);
  map->AddEntity(lineLayer);
  map->AddEntity(areaLayer);
  return map;
}

}  // namespace

TRealPoint ThematicModelOrigin() { return {-742500.0, -1046500.0}; }

std::vector<std::string> ThematicMapNames() { return {"Porostní mapa", "Šrafová mapa", "Těžební mapa"}; }

TOwnerEntity* BuildThematicModel() {
  auto data = std::make_unique<TOwnerEntity>();
  data->SetName("DATA");
  auto* thematic = new TOwnerEntity;
  thematic->SetName("THEMATIC");
  const std::vector<std::string> names = ThematicMapNames();
  thematic->AddElement(Map(names[0], {},
                           {Shape<TAreaElement>({{100, 100}, {600, 150}, {550, 700}, {120, 640}}, "1a"),
                            Shape<TAreaElement>({{600, 150}, {900, 200}, {880, 900}, {550, 700}}, "1b")}));
  thematic->AddElement(Map(names[1],
                           {Shape<TPolyLineElement>({{100, 100}, {900, 900}}, "Šrafa 1"),
                            Shape<TPolyLineElement>({{100, 500}, {500, 900}}, "Šrafa 2"),
                            Shape<TPolyLineElement>({{500, 100}, {900, 500}}, "Šrafa 3")},
                           {}));
  thematic->AddElement(Map(names[2], {Shape<TPolyLineElement>({{0, 450}, {1000, 450}}, "Cesta")},
                           {Shape<TAreaElement>({{300, 300}, {700, 300}, {700, 600}, {300, 600}}, "Těžba")}));
  data->AddElement(thematic);
  return data.release();
}

void WriteThematicModel(const std::string& fileName) {
  std::unique_ptr<TOwnerEntity> model(BuildThematicModel());
  TSave save;
  save.FileName = fileName;
  save.SetInput(model.get());
  save.DoIt();
}
