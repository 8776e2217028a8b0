#pragma once
// Hanging the elements of other block layers under the stand groups they
// belong to, each stand group keeping its pieces of every layer in a rect
// entity named for the layer.
#include <cstdint>
#include <string>

#include "block/forest_model/lhc_export.h"
#include "forestry/hierarchy/hierarchy_building.h"

class TAreaElement;
class TSpaceEntity;

// Assigns the areas of the layer "ARE_" + LayerName by their keys LHC ...
// SKUPINA and by their position; the position wins when it finds a stand
// group.
class THeleZaradLHC : public THeleBasic {
  KESTX_CLASS(THeleZaradLHC)
 public:
  static constexpr const char* UnplacedSuffix = kUnplacedSuffix;

  std::int32_t Group = 0;       // kind given to areas that had no properties
  std::int32_t HolesGroup = 0;  // kind of hole areas, which keep their properties
  std::string LayerName;
  std::string PropertyClassName() const { return propertyClassName_; }
  // Raises the registry's error for a name it does not hold.
  void SetPropertyClassName(const std::string& name);

  void DoIt() override;
  void AssignLayerAreas();
  // The deepest unit the area's keys name (the root when not even the LHC
  // does); complete when they name a whole path down to a stand group.
  TElement* FindPskByAttributes(const TAreaElement& area, bool& complete) const;
  // The stand group under the area's reference point, or nil.
  TElement* FindPskBySpace(const TAreaElement& area, bool& found) const;
  void PlaceIntoPsk(bool found, TElement* node, TAreaElement& area);

 private:
  void ConvertProperties(TAreaElement& area) const;

  std::string propertyClassName_;
  TClass propertyClass_ = nullptr;
};

// Assigns any space entities of the layer FeatureName + "_" + LayerName by
// position only.
class TLocateIntoPSK : public THeleBasic {
  KESTX_CLASS(TLocateIntoPSK)
 public:
  std::string LayerName;
  std::string FeatureName;
  std::string PropertyClassName() const { return propertyClassName_; }
  // A name no class has is reported to the message window.
  void SetPropertyClassName(const std::string& name);

  void DoIt() override;

 private:
  void ConvertProperties(TSpaceEntity& element) const;

  std::string propertyClassName_;
  TClass propertyClass_ = nullptr;
};

// Assigns the lines of the layer LIN_SLU by position.
class THeleNactiSlu : public THeleNacti {
  KESTX_CLASS(THeleNactiSlu)
 public:
  static constexpr const char* ContainerName = "SLUCLIN";

  void DoIt() override;
};

void RegisterLayerAssignmentClasses();
