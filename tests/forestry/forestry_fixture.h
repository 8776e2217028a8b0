#pragma once
// The forestry tests' fixture: every class registered, and stand areas with
// the keys of the stand records.
#include <gmock/gmock.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <string>

#include "forestry/forestry_classes.h"
#include "forestry/hierarchy/groupper.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"
#include "tests/block/block_fixture.h"

// The keys of a stand record: LHC, ODDELENI, DILEC, POROST, SKUPINA.
using StandKeys = std::array<std::string, 5>;
inline constexpr const char* kStandKeyNames[] = {"LHC", "ODDELENI", "DILEC", "POROST", "SKUPINA"};

// A square stand area with the keys as its properties, side long, its lower
// left corner at (x, y); an optional square hole in its middle.
inline TAreaElement* StandArea(const StandKeys& keys, double x, double y, double side = 10, double hole = 0) {
  auto* area = new TAreaElement;
  area->SetProperties(new TDynamicProperties);
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (!keys[i].empty()) area->SetPropertyText(kStandKeyNames[i], keys[i]);
  for (const auto& [px, py] : {std::pair{x, y}, {x, y + side}, {x + side, y + side}, {x + side, y}})
    area->AddVertex(px, py);
  area->CalcBounds();
  if (hole > 0) {
    auto* ring = new TAreaElement;
    const double hx = x + (side - hole) / 2;
    const double hy = y + (side - hole) / 2;
    for (const auto& [px, py] : {std::pair{hx, hy}, {hx, hy + hole}, {hx + hole, hy + hole}, {hx + hole, hy}})
      ring->AddVertex(px, py);
    ring->CalcBounds();
    area->AddHole(ring);
  }
  return area;
}

// Sets the grouping tool to build the forest hierarchy into output: LHC,
// compartment, sub-compartment and stand units, and stand groups holding
// their areas in "GEOMETRY".
inline void GroupStandsInto(TGroupper& groupper, TEntity* output) {
  auto* criterion = new TOwnerEntity;
  const std::pair<const char*, const char*> levels[] = {
      {"LHC", "TLHC"}, {"ODDELENI", "TOddeleni"}, {"DILEC", "TDilec"}, {"POROST", "TPorost"}};
  for (const auto& [key, cls] : levels) {
    auto* level = new TPropsAndClass;
    level->NextName(key);
    level->OwnerClassName = cls;
    criterion->AddElement(level);
  }
  auto* psk = new TPropsAndClass;
  psk->NextName("SKUPINA");
  psk->OwnerClassName = "TPorostniSkupina";
  psk->SocketClassName = "TAreaString";
  psk->SocketName = "GEOMETRY";
  criterion->AddElement(psk);
  groupper.SetCriterion(criterion);
  groupper.SetOutput(output);
}

// A stand area of side 10 to be placed in the hierarchy.
struct StandPlace {
  const char* Name;
  StandKeys Keys;
  double X, Y, Hole;
};

// Makes each stand's area, hands it to keep and has the groupper place it.
inline void PlaceStands(TGroupper& groupper, std::initializer_list<StandPlace> stands,
                        const std::function<void(TAreaElement*)>& keep) {
  for (const StandPlace& stand : stands) {
    TAreaElement* area = StandArea(stand.Keys, stand.X, stand.Y, 10, stand.Hole);
    area->SetName(stand.Name);
    keep(area);
    groupper.SetInput(area);
    groupper.DoIt();
  }
}

class ForestryTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    RegisterForestryClasses();
  }
};
