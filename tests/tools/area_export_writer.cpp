// Exports two stands into a block with attribute tables made from the
// samples' control folder, for tests/block/area_export_crosscheck.py to read
// with an independent dBASE reader: area_export_writer <samples> <block>.
// The left stand lies in a stand group and under an area of another layer;
// the right one in neither.
#include <exception>
#include <iostream>
#include <memory>
#include <string>

#include "block/block_classes.h"
#include "block/export/area_export.h"
#include "block/forest_model/forest_props.h"
#include "block/forest_model/forest_units.h"
#include "block/topology/area_building.h"
#include "framework/tools/world.h"
#include "platform/gauge_form.h"
#include "spatial/index/quadtree.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

TPolyLineElement* Line(std::initializer_list<TRealPoint> points) {
  auto* line = new TPolyLineElement;
  for (const TRealPoint& p : points) line->AddVertex(p.X, p.Y);
  line->CalcBounds();
  auto* props = new TLumarLineProps;
  props->Druh = 4;  // the table is named by the export's kind, 5
  line->SetProperties(props);
  return line;
}

template <class U>
U* Unit(const std::string& name, TEntity* owner) {
  auto* unit = new U;
  unit->SetName(name);
  owner->AddElement(unit);
  return unit;
}

void Export(const std::string& samples, const std::string& block) {
  TWCSWorld world;
  SetWorld(&world);
  TPolyLineString lines;
  lines.AddEntity(Line({{100, 0}, {100, 100}}));
  lines.AddEntity(Line({{100, 100}, {0, 100}, {0, 0}, {100, 0}}));
  lines.AddEntity(Line({{100, 0}, {200, 0}, {200, 100}, {100, 100}}));
  TMakeNodesAndAreas topology;
  topology.SetInput(&lines);
  topology.DoIt();
  auto* areas = DynamicCast<TAreaString>(topology.Output());
  TEntity units;
  auto* group = Unit<TPorostniSkupina>(
      "1a", Unit<TPorost>("1", Unit<TDilec>("A", Unit<TOddeleni>("12", Unit<TLHC>("LHC1", &units)))));
  for (TElement* child : areas->Children()) {
    auto* area = static_cast<TAreaElement*>(child);
    const bool left = area->GetMinX() < 50;
    area->SetAbsRefX(left ? 50 : 150);
    area->SetAbsRefY(50);
    auto* props = new TTezPProps;
    props->Druh = 12;
    props->Nalehavost = left ? 3 : 0;
    area->SetProperties(props);
    if (left) group->AddElement(area);
  }
  // The other layer: one area over the left stand.
  TSpaceEntityQTree tree;
  auto* over = new TAreaElement;
  for (const TRealPoint& p : {TRealPoint{-10, -10}, {-10, 110}, {110, 110}, {110, -10}, {-10, -10}})
    over->AddVertex(p.X, p.Y);
  over->CalcBounds();
  auto* overProps = new TLumarAreaProps;
  overProps->Cislo = 77;
  overProps->Druh = 9;
  over->SetProperties(overProps);
  units.AddElement(over);
  tree.AddAndGrow(over);
  TExportAreasToLumarPropsFromAreaQTree exporter;
  exporter.SetAreaQTree(&tree);
  exporter.SetBlockName(block);
  exporter.ControlDir = samples + "/control";
  exporter.ExportDBF = true;
  exporter.BothSources = true;
  exporter.PlochyVHa = true;
  exporter.DBFLinii = true;
  exporter.DruhLinii = 5;
  exporter.SetInput(areas);
  exporter.DoIt();
  SetWorld(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: area_export_writer <samples> <block>\n";
    return 2;
  }
  try {
    RegisterBlockClasses();
    platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
    Export(argv[1], argv[2]);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  return 0;
}
