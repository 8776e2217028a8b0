#pragma once
// The five levels the forest hierarchy is grouped by: LHC, compartment,
// sub-compartment, stand and stand group, the stand group holding its areas
// in "GEOMETRY"; shared by the benchmarks that build the hierarchy.
#include <utility>

#include "forestry/hierarchy/groupper.h"

inline TOwnerEntity* ForestCriterion() {
  auto* criterion = CreateElement<TOwnerEntity>();
  const std::pair<const char*, const char*> levels[] = {{"LHC", "TLHC"},
                                                        {"ODDELENI", "TOddeleni"},
                                                        {"DILEC", "TDilec"},
                                                        {"POROST", "TPorost"},
                                                        {"SKUPINA", "TPorostniSkupina"}};
  for (const auto& [key, cls] : levels) {
    auto* level = CreateElement<TPropsAndClass>();
    level->NextName(key);
    level->OwnerClassName = cls;
    criterion->AddElement(level);
  }
  auto* psk = static_cast<TPropsAndClass*>(criterion->GetElement(4));
  psk->SocketClassName = "TAreaString";
  psk->SocketName = "GEOMETRY";
  return criterion;
}
