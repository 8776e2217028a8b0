#pragma once
// What the exports of a forestry layer into a GIS block share: the target,
// the kinds, colours and symbols given to the layer's areas and boundary
// lines, the lookup of the layer under the object model's "DATA", and the
// property objects given to its areas.
#include <cstdint>
#include <string>

#include "framework/tools/tools.h"

// The suffix of the container that holds a layer's areas that found no
// stand group of their own (their keys stop short of one, or name none).
inline constexpr const char* kUnplacedSuffix = " NEZAŘAZENO";
// A container of the layer's areas: named like the layer, or like its
// unplaced areas, in any case.
bool IsLayerAreaContainer(const TElement& element, const std::string& layer);

class TExportLHCBasic : public TTool {
  KESTX_CLASS(TExportLHCBasic)
 public:
  std::string BlockName;  // the target block directory
  std::string ControlDIR;  // folder of table templates and transfer scripts
  std::int32_t Group = 0;  // kind given to the layer's areas
  std::string LayerName;
  const std::string& PropertyClassName() const { return propertyClassName_; }
  // Also looks the class up in the class registry and keeps it (nil for a
  // name no class has).
  void SetPropertyClassName(const std::string& name);
  std::int32_t HolesGroup = 0;  // kind of areas that keep their kind
  std::int32_t LinesSymbol = 0;
  std::int32_t LinesColor = 0;
  std::int32_t LinesGroup = 0;  // kind of boundary lines

  TClass PropertyClass() const { return propertyClass_; }
  // The object model's child "DATA" and in it the child named LayerName,
  // each when an entity; else nil.
  TEntity* FindLayer() const;
  // Each area of the list without properties gets a new object of the
  // property class with colour 13, symbol 1 and kind Group, when that class
  // makes area properties (another object is freed); an area whose
  // properties are of the class already gets kind Group unless its kind is
  // HolesGroup.  Without such a class the areas keep what they have and one
  // line goes to the message window.
  void AssignAreaProperties(TEntity& areas);

 private:
  std::string propertyClassName_;
  TClass propertyClass_ = nullptr;
};

// The layer's areas with their boundary lines into the block BlockName,
// with attribute records: the layer's lines get nodes (the graph stays the
// tool's child through the export), lines without properties become
// boundary lines of LinesGroup, areas get properties of PropertyClassName.
// The areas of the layer's containers are exported, the unplaced ones'
// too; every other area of the layer is named in the log.
class TExportLHC : public TExportLHCBasic {
  KESTX_CLASS(TExportLHC)
 public:
  void DoIt() override;

 private:
  void NameAreasLeftOut(const TEntity& layer, const TEntity& taken);
};

// The layer's objects into the block BlockName as points, with attribute
// records.
class TExportSimpleLHC : public TExportLHCBasic {
  KESTX_CLASS(TExportSimpleLHC)
 public:
  void DoIt() override;
};

void RegisterLHCExportClasses();
