#pragma once
// Where the forestry tools keep their data, and the building of the forest
// hierarchy from the stand areas of the block "DET".  Under the object
// model's "DATA": "HIERARCHY" (the root of LHC > compartment >
// sub-compartment > stand > stand group) and "LAYERS" (one rect entity per
// loaded block layer, named type + "_" + block).
#include <cstdint>
#include <string>

#include "framework/tools/tools.h"

class TAreaString;
class TEntity;
class TOwnerEntity;
class TRectEntity;
class TSpaceEntityString;

// The base of the forestry tools: finds their data.
class THeleBasic : public TTool {
  KESTX_CLASS(THeleBasic)
 public:
  // A line for the message window.
  void SetProtocol(const std::string& text);
  // "DATA"/"HIERARCHY" when it is a rect entity; the tools never make it.
  TRectEntity* Hierarchy() const;
  // The object model's "DATAMODEL"; nil when there is none.
  TElement* DataModel() const;

  // The child of "DATA" of that name when it is an entity.
  TEntity* FindDataEntity(const std::string& name) const;
  // That child when it is a rect entity; else a new one added to "DATA"
  // (nil without "DATA").
  TRectEntity* FindOrCreateDataRect(const std::string& name) const;
  // The first list of space entities in "LAYERS"/type + "_" + block.
  TSpaceEntityString* FindLayerEntity(const std::string& block, const std::string& layerType) const;
};

// Builds the data model from a data folder and sorts the stand areas of its
// block "DET" into the forest hierarchy.
class THeleNacti : public THeleBasic {
  KESTX_CLASS(THeleNacti)
 public:
  // The name of the tool's own list of the stand areas.
  static constexpr const char* StandAreasName = "DETTEMP";
  static constexpr const char* ModelFailureText = "Chyba vytváření popisu modelu ...";
  static constexpr const char* ProgressName = "Vytváření lesnické hierarchie ...";

  std::string Directory;  // the data folder

  // Whether the last step run failed.
  bool Failed() const { return error_ != 0; }
  // The stand areas found by the last run (held, not owned by the list).
  TAreaString* StandAreas() const;
  TRectEntity* Model() const;

  // Runs the five steps, stopping after the first one that fails.
  void DoIt() override;

 protected:
  bool CreateModelDescription();
  bool BuildDataModel();
  bool LoadBlockLayers();
  bool FindBlockLayerAreas(const std::string& block, const std::string& layerType);
  bool BuildForestHierarchy();

 private:
  void ReportModelFailure();
  // Refills the groups of "LAYERS" that the model's layers go into: a group
  // filled by an earlier run is emptied first.
  void RefillLayerGroups(TEntity& layers, TRectEntity& model);

  std::uint8_t error_ = 0;
  TElementLink description_;
  TElementLink model_;
  TElementLink standAreas_;
};

// The five levels of the forest hierarchy as the grouping tool's criterion:
// LHC, ODDELENI, DILEC, POROST, SKUPINA, stand groups with their areas in
// "GEOMETRY".  The caller owns it.
TOwnerEntity* ForestCriterion();

void RegisterHierarchyBuildingClasses();
