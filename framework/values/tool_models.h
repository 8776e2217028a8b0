#pragma once
// The model of a tool: an element model that also lists the models of the
// sub-tools a technology builds from it.
#include <string>

#include "framework/values/element_models.h"

class TToolModel : public TElementModel {
  KESTX_CLASS(TToolModel)
 public:
  bool DynamicTool = false;
  std::string ShortCut;

  // The child "TOOLS", created on first use.
  TOwnerEntity* ModelTools();
  bool NoModelTools() const;
  void NewToolName(const std::string& name);
  TToolModel* LastToolModel() const;
};

void RegisterToolModelClasses();
