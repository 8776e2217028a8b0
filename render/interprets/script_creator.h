#pragma once
// The tool that builds the interpret script with which graphic windows draw
// GIS data in the GIS's own symbology.
#include <string>
#include <vector>

#include "framework/tools/tools.h"

// One class node of the script: the element class, its interpret class ("" for
// none), the group whose nodes share one interpret (0: its own), and whether
// it goes under the TRectEntity node rather than the script itself.
struct TSymbologyNode {
  std::string ElementClass;
  std::string InterpretClass;
  int SharedGroup = 0;
  bool UnderRectEntity = true;
};

class TUniversalLumarScriptCreator : public TTool {
  KESTX_CLASS(TUniversalLumarScriptCreator)
 public:
  // The nodes in the order they are added.
  static const std::vector<TSymbologyNode>& Nodes();
  // Output := a new script of one pass (the caller's).  A node whose classes
  // are not registered (yet) is left out, and so is the raster node while
  // rasters are off.
  void DoIt() override;
};

void RegisterScriptCreatorClasses();
