#pragma once
// Taking a thematic layer out of the forest hierarchy and rebuilding its
// areas from their boundary lines, joined again, with the old areas'
// attributes carried over; and two clean-ups of a layer.
#include <cstdint>
#include <string>
#include <unordered_set>

#include "forestry/hierarchy/hierarchy_building.h"

class TAreaElement;
class TPolyLineAreaElement;

// Posted to the main tool when a tool has changed the data; no tool acts on
// it.
inline constexpr int msgDataChanged = 28;

// Gathers the layer's containers from every stand group into "DATA"/LayerName.
class TExtractLHC : public THeleBasic {
  KESTX_CLASS(TExtractLHC)
 public:
  std::string LayerName;

  void DoIt() override;
};

// Rebuilds the areas of the gathered layer "DATA"/LayerName and puts them
// into the layer "ARE_" + LayerName.
class THeleClearLHC : public THeleBasic {
  KESTX_CLASS(THeleClearLHC)
 public:
  static constexpr double DefaultSnapDistance = 0.01;

  std::string LayerName;
  bool CreateHoles = false;
  std::int32_t HolesGroup = 0;  // kind of new areas no old area stands behind
  double SnapDistance = 0;      // 0: DefaultSnapDistance

  TRectEntity* GlobalLayer() const;
  void DoIt() override;

 private:
  TRectEntity& WorkingRect(TRectEntity& layer, const char* name) const;
  // The old areas into "AREAS"; the containers they came in are freed.
  void GatherAreas(TRectEntity& layer, TRectEntity& areas);
  void JoinLines(TRectEntity& areas, TRectEntity& lines);
  // The attributes of the old areas (in "AREAS") go to the rebuilt ones.
  void TransferAttributes(TAreaString& rebuilt, const TRectEntity& areas);
  void ReportLeftOut(const TRectEntity& areas, const std::unordered_set<const TElement*>& carried);
  // The rebuilt area stands for the old one: filed beside it under its
  // number in the block's register, it shares that area's attribute record
  // (its keys, whatever its position).
  static void FileBeside(TAreaElement& area, const TAreaElement& old);
  bool Finalize(TAreaString& rebuilt, TRectEntity& layer, const TRectEntity& gathered);
};

// The old area a new one takes its attributes from: the first met along the
// new area's boundary lines, and each line's owners in order, whose label
// point lies inside the new area and outside its holes.  Areas in Fresh are
// this run's new ones and never stand behind another.
TPolyLineAreaElement* OldAreaBehind(const TPolyLineAreaElement& area,
                                    const std::unordered_set<const TElement*>& fresh);

// Frees the areas of the layer "ARE_" + LayerName whose kind is HolesGroup.
class TRemoveHoles : public THeleBasic {
  KESTX_CLASS(TRemoveHoles)
 public:
  std::int32_t HolesGroup = 0;
  std::string LayerName;

  void DoIt() override;
};

// Frees the block register of the block LayerName.
class TDeleteBlockRegister : public THeleBasic {
  KESTX_CLASS(TDeleteBlockRegister)
 public:
  std::string LayerName;

  void DoIt() override;
};

void RegisterLayerRebuildingClasses();
