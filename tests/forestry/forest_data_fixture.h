#pragma once
// The fixture of the tools that work on the forestry data: a world whose
// object model holds "DATA" with "HIERARCHY" and "LAYERS", stand areas
// sorted into the hierarchy, layers of other blocks, and the messages that
// reach the main tool.
#include <memory>
#include <string>
#include <vector>

#include "forestry/hierarchy/groupper.h"
#include "forestry/hierarchy/hierarchy_building.h"
#include "framework/tools/world.h"
#include "spatial/sheets/coordinate_systems.h"
#include "tests/forestry/forestry_fixture.h"

// The names from the root down to the element, "/"-joined, following each
// element's first owner.
inline std::string PathBelow(const TElement* element, const TElement* root) {
  std::string path;
  for (const TElement* at = element; at && at != root; at = at->GetOwnersCount() ? at->GetOwner(0) : nullptr)
    path = "/" + at->GetName() + path;
  return path;
}

// A square of side 2 centred on (x, y), its reference point in the middle.
template <class Area = TAreaElement>
Area* SquareAround(double x, double y, double half = 1) {
  auto* area = new Area;
  for (const auto& [px, py] : {std::pair{x - half, y - half}, {x - half, y + half}, {x + half, y + half},
                               {x + half, y - half}})
    area->AddVertex(px, py);
  area->CalcBounds();
  area->SetAbsRefX(x);
  area->SetAbsRefY(y);
  return area;
}

class ForestDataTest : public ForestryTest {
 protected:
  void SetUp() override {
    ForestryTest::SetUp();
    world = new TWCSWorld;
    SetWorld(world);
    MainTool = &recorder;
    data = Named<TOwnerEntity>("DATA", world->ObjectModel());
    hierarchy = Named<TRectEntity>("HIERARCHY", data);
    layers = Named<TRectEntity>("LAYERS", data);
  }
  void TearDown() override {
    RunMessages();
    SetWorld(nullptr);
    delete world;
    ForestryTest::TearDown();
  }

  // A new list of class L in the layer group type + "_" + block.
  template <class L>
  L* AddLayer(const std::string& type, const std::string& block) {
    auto* group = DynamicCast<TRectEntity>(layers->FindElementByName(type + "_" + block));
    if (!group) group = Named<TRectEntity>(type + "_" + block, layers);
    auto* list = new L;
    group->AddElement(list);
    return list;
  }

  // Stand areas 10 by 10 with their lower left corners at the points, sorted
  // into the hierarchy; the layer ARE_DET holds them.
  struct Stand {
    StandKeys Keys;
    double X, Y, Hole = 0;
  };
  void PlaceStands(const std::vector<Stand>& stands) {
    auto* det = AddLayer<TAreaString>("ARE", "DET");
    TGroupper groupper;
    groupper.SetCriterion(ForestCriterion());
    groupper.SetOwnerClass("TRectEntity");
    groupper.SetOutput(hierarchy);
    for (const Stand& stand : stands) {
      TAreaElement* area = StandArea(stand.Keys, stand.X, stand.Y, 10, stand.Hole);
      det->AddEntity(area);
      groupper.SetInput(area);
      groupper.DoIt();
    }
  }

  // The unit at the path of names below the hierarchy; nil when missing.
  TElement* Unit(const std::vector<std::string>& path) const {
    TElement* at = hierarchy;
    for (const std::string& name : path) {
      auto* entity = DynamicCast<TEntity>(at);
      at = entity ? entity->FindElementByName(name) : nullptr;
    }
    return at;
  }

  // The texts of the messages of that code that reached the main tool.
  std::vector<std::string> MessageTexts(int code) {
    RunMessages();
    std::vector<std::string> texts;
    for (const TRecorder::Entry& entry : recorder.Messages)
      if (entry.Code == code) texts.push_back(entry.Text);
    return texts;
  }

  TWCSWorld* world = nullptr;
  TRecorder recorder;
  TOwnerEntity* data = nullptr;
  TRectEntity* hierarchy = nullptr;
  TRectEntity* layers = nullptr;
};
