#pragma once
// The topology tests' fixture: lines with block properties in one string,
// recorded gauges and log lines.
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "block/topology/node_building.h"
#include "platform/gauge_form.h"
#include "spatial/topology/topology_nodes.h"
#include "tests/block/block_fixture.h"

using Points = std::vector<std::pair<double, double>>;

// Where a class of the topology tools stands: its name, a class it is built
// on, and the settings a script reads and writes by name.
struct TClassPlace {
  TClass (*Class)();
  const char* Name;
  TClass (*Base)();
  std::vector<std::string> Published;
};

// What is out of place among the rows; "" when every class answers with its
// name, stands under its base and publishes its settings.
inline std::string MisplacedClasses(const std::vector<TClassPlace>& rows) {
  std::string faults;
  for (const TClassPlace& row : rows) {
    const TClass cls = row.Class();
    if (!cls) {
      faults += std::string(row.Name) + ": no class; ";
      continue;
    }
    if (cls->ClassName != row.Name) faults += std::string(row.Name) + ": named " + cls->ClassName + "; ";
    const TClass base = row.Base();
    if (!base || base == cls || !cls->InheritsFrom(base))
      faults += std::string(row.Name) + ": not under " + (base ? base->ClassName : "a class") + "; ";
    for (const std::string& property : row.Published)
      if (!cls->FindProp(property)) faults += std::string(row.Name) + ": " + property + " unpublished; ";
  }
  return faults;
}

class TopologyTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
    MainTool = &log;
  }
  void TearDown() override {
    RunMessages();
    MainTool = nullptr;
    platform::SetGaugeFormFactory(nullptr);
    BlockTest::TearDown();
  }

  // A line of the string with number cislo and kind druh.
  TPolyLineElement* Line(const Points& points, int cislo = 0, int druh = 0) {
    auto* line = new TPolyLineElement;
    auto* props = new TLumarLineProps;
    props->Cislo = cislo;
    props->Druh = static_cast<std::int16_t>(druh);
    line->SetProperties(props);
    for (const auto& [x, y] : points) line->AddVertex(x, y);
    line->CalcBounds();
    lines.AddEntity(line);
    return line;
  }

  // The nodes of every leaf of a line-end index.
  static std::vector<TNode*> NodesOf(TSpaceLineBegEndCell& tree) {
    std::vector<TNode*> nodes;
    std::vector<TSpaceLineBegEndCell*> work{&tree};
    while (!work.empty()) {
      TSpaceLineBegEndCell* cell = work.back();
      work.pop_back();
      for (TElement* child : cell->Children())
        if (auto* quarter = DynamicCast<TSpaceLineBegEndCell>(child)) work.push_back(quarter);
      if (TOwnerEntity* list = NodesOfCell(cell))
        for (TElement* node : list->Children()) nodes.push_back(static_cast<TNode*>(node));
    }
    return nodes;
  }

  // The log lines received so far (posted messages delivered first).
  std::vector<std::string> LogLines() {
    RunMessages();
    return log.Lines;
  }

  TLogLines log;
  TPolyLineString lines;
};
