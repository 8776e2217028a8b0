#pragma once
// Tools over the layers a graphic window shows: finding the layers of one
// block and type, and grouping them by block and type.  A layer list knows
// its block and type by its properties "BlockName" and "TYPE"; an interpret
// layer is looked into one level.
#include <string>

#include "framework/tools/tools.h"

// Adds to Output every layer of Input whose block name and type match.
class TFindBlockLayer : public TTool {
  KESTX_CLASS(TFindBlockLayer)
 public:
  // Empty: any type / any block.
  std::string LayerType;
  std::string LayerName;

  void DoIt() override;
};

// Puts every raster of Input into the group "RAS_RAK" and every layer list
// into the group type + "_" + block name (LIN_XY), groups being rect
// entities under Output.
class TBlockLayersTool : public TTool {
  KESTX_CLASS(TBlockLayersTool)
 public:
  void DoIt() override;
};

void RegisterBlockLayerClasses();
