#include "tests/render/sample_model.h"

#include <memory>
#include <vector>

#include "framework/stream/kes_saver.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/map_sheets.h"
#include "spatial/sheets/zm_sheets.h"
#include "spatial/topology/topology_nodes.h"

namespace {

// Vertices relative to the origin.
template <class T>
T* Shape(std::initializer_list<std::pair<double, double>> points, const std::string& name) {
  const TRealPoint o = SampleModelOrigin();
  auto* shape = new T;
  shape->SetName(name);
  for (const auto& [x, y] : points) shape->AddVertex(o.X + x, o.Y + y);
  shape->CalcBounds();
  return shape;
}

template <class T>
T* Box(double left, double bottom, double right, double top, const std::string& name) {
  const TRealPoint o = SampleModelOrigin();
  auto* box = new T;
  box->SetName(name);
  box->SetBounds({o.X + left, o.Y + bottom, o.X + right, o.Y + top});
  return box;
}

}  // namespace

TRealPoint SampleModelOrigin() { return {-816140.335, -999206.329}; }

TOwnerEntity* BuildSampleRenderModel() {
  auto model = std::make_unique<TOwnerEntity>();
  model->SetName("MODEL");
  auto* lines = new TPolyLineString;
  lines->SetName("LINES");
  lines->AddEntity(Shape<TPolyLineElement>({{-450, -300}, {-100, -350}, {200, -150}, {450, -400}}, "Cesta"));
  lines->AddEntity(Shape<TPolyLineElement>({{-400, 400}, {-420, 100}, {-300, -100}}, "Potok"));
  // The node's lines are the model's lines too, written before the node.
  std::vector<TPolyLineElement*> branches;
  for (const auto& [x, y] : {std::pair(-150.0, 0.0), std::pair(-50.0, 150.0), std::pair(0.0, -100.0)}) {
    branches.push_back(Shape<TPolyLineElement>({{-100, 50}, {x, y}}, "Vetev"));
    lines->AddEntity(branches.back());
  }
  model->AddElement(lines);
  auto* areas = new TAreaString;
  areas->SetName("AREAS");
  auto* area = Shape<TAreaElement>({{50, 50}, {400, 80}, {380, 420}, {60, 380}}, "Porost");
  area->AddHole(Shape<TAreaElement>({{150, 150}, {280, 160}, {220, 300}}, "Paseka"));
  areas->AddEntity(area);
  model->AddElement(areas);
  auto* points = new TPointString;
  points->SetName("POINTS");
  points->AddEntity(Box<TPointElement>(-200, 300, -200, 300, "Studna"));
  points->AddEntity(Box<TPointElement>(300, -250, 300, -250, "Posed"));
  model->AddElement(points);
  auto* node = new TNode;
  node->SetName("Uzel");
  for (TPolyLineElement* line : branches) node->AddLine(line, true);
  model->AddElement(node);
  auto* selection = Box<TSelectedElement>(40, 40, 410, 430, "Vyber");
  model->AddElement(selection);
  model->AddElement(Box<TSMO_10>(-480, -480, 20, 20, "Kutna-Hora-1-1"));
  model->AddElement(Box<TSMO_5>(-470, -470, -230, -230, "Kutna-Hora-1-1-1"));
  auto* locator = new TMapsZM;
  locator->SetName("ZM");
  locator->SetScale(10000);
  locator->SetMap200(12);
  locator->Color = 0xFF00FF;
  model->AddElement(locator);
  return model.release();
}

void WriteSampleRenderModel(const std::string& fileName) {
  std::unique_ptr<TOwnerEntity> model(BuildSampleRenderModel());
  TSave save;
  save.FileName = fileName;
  save.SetInput(model.get());
  save.DoIt();
}
