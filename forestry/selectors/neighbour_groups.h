#pragma once
// The stand groups next to a stand group: those whose stand areas share a
// boundary line with one of its areas or of their holes.
#include "framework/tools/tools.h"

class TFindOkolniSkupiny : public TTool {
  KESTX_CLASS(TFindOkolniSkupiny)
 public:
  // Input: a stand group; Output: an entity of its neighbours, each once,
  // made when there is none.
  void DoIt() override;
};

void RegisterNeighbourGroupClasses();
