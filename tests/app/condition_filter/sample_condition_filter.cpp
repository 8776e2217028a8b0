#include "tests/app/condition_filter/sample_condition_filter.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <utility>

#include "block/export/line_export.h"
#include "block/props/lumar_props.h"
#include "framework/stream/kes_saver.h"
#include "framework/values/typed_values.h"
#include "spatial/objects/space_entities.h"

namespace {

void WriteBlock(const std::string& block) {
  TPolyLineString lines;
  for (int n = 1; n <= 4; ++n) {
    auto* line = new TPolyLineElement;
    line->AddVertex(10.0 * n, 0);
    line->AddVertex(10.0 * n + 2, 1);
    line->CalcBounds();
    auto* props = new TLumarLineProps;
    props->Cislo = n;
    props->Druh = static_cast<std::int16_t>(4 + n);
    props->Barva = static_cast<std::int16_t>(n);
    line->SetProperties(props);
    lines.AddEntity(line);
  }
  std::unique_ptr<TExportLinesToLumar> exporter(CreateElement<TExportLinesToLumar>());
  exporter->SetBlockName(block);
  exporter->ExportDBF = false;
  exporter->RegisterObject = false;
  exporter->SetInput(&lines);
  exporter->DoIt();
}

TStringListElement* List(TOwnerEntity& table, const std::string& name) {
  auto* list = CreateElement<TStringListElement>();
  list->SetName(name);
  table.AddElement(list);
  return list;
}

void WriteTable(const std::string& file) {
  TOwnerEntity table;
  table.SetName(kSampleFilterColumns);
  TStringListElement* kinds = List(table, "DRUH");
  TStringListElement* colours = List(table, "BARVA");
  for (const auto& [kind, colour] : {std::pair{"6", "2"}, std::pair{"8", "4"}}) {
    kinds->NextValue(kind);
    colours->NextValue(colour);
  }
  TStringListElement* size = List(table, "@_SIZE");
  for (const auto& [name, value] : {std::pair{"LEFT", 40}, std::pair{"TOP", 30}, std::pair{"WIDTH", 420},
                                    std::pair{"HEIGHT", 260}, std::pair{"DRUH_Width", 80}, std::pair{"BARVA_Width", 90}})
    size->SetIntegerByName(name, value);
  TSave saver;
  saver.FileName = file;
  saver.SetInput(&table);
  saver.DoIt();
}

}  // namespace

void WriteSampleConditionFilter(const std::string& folder) {
  std::filesystem::create_directories(folder);
  WriteBlock(folder + "/LES.BLK");
  WriteTable(folder + "/ConditionFilter.kes");
}
