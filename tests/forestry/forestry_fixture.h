#pragma once
// The forestry tests' fixture: every class registered, and stand areas with
// the keys of the stand records.
#include <gmock/gmock.h>

#include <array>
#include <string>

#include "forestry/forestry_classes.h"
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

class ForestryTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    RegisterForestryClasses();
  }
};
