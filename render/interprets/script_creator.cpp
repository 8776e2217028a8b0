#include "render/interprets/script_creator.h"

#include <map>

#include "framework/core/class_registry.h"
#include "render/interprets/interpret.h"
#include "render/interprets/interpret_script.h"
#include "render/rasters/raster.h"

const std::vector<TSymbologyNode>& TUniversalLumarScriptCreator::Nodes() {
  static const std::vector<TSymbologyNode> nodes = {
      {"TRectEntity", "", 0, false},
      {"TRaster", "TRasterInterpret", 0, true},
      {"TTextElement", "TInterpretLumTextu", 1, true},
      {"TTextString", "TInterpretLumTextu", 1, true},
      {"TPointElement", "TInterpretLumBodu", 2, true},
      {"TPointString", "TInterpretLumBodu", 2, true},
      {"TAreaElement", "TInterpretLumPloch", 3, true},
      {"TAreaString", "TInterpretLumPloch", 3, true},
      {"TPolyLineElement", "TInterpretLumLinii", 4, true},
      {"TPolyLineString", "TInterpretLumLinii", 4, true},
      {"TDesktop", "TDesktopInterpret", 0, true},
      {"TSMO_5", "TSMO_Interpret", 0, true},
      {"TCross", "TInterpretKrizku", 0, false},
      {"TLines", "TLinesInterpret", 0, false},
  };
  return nodes;
}

void TUniversalLumarScriptCreator::DoIt() {
  TTool::DoIt();
  auto* script = new TInterpretScript;
  TISClass* rectEntities = nullptr;
  std::map<int, TInterpret*> shared;
  for (const TSymbologyNode& row : Nodes()) {
    if (row.ElementClass == "TRaster" && !RastersEnabled()) continue;
    TClass elementClass = FindKestuClass(row.ElementClass);
    TClass interpretClass = row.InterpretClass.empty() ? nullptr : FindInterpretClass(row.InterpretClass);
    if (!elementClass || (!row.InterpretClass.empty() && !interpretClass)) continue;
    auto* node = new TISClass;
    node->SetElementClass(elementClass);
    if (interpretClass) {
      // The nodes of a group hold one interpret, freed with the last of them.
      TInterpret*& held = shared[row.SharedGroup];
      TInterpret* interpret = row.SharedGroup && held ? held : static_cast<TInterpret*>(NewElement(interpretClass));
      if (row.SharedGroup) held = interpret;
      node->SetInterpret(interpret);
    }
    TISClass* parent = row.UnderRectEntity && rectEntities ? rectEntities : script;
    parent->AddClassNode(node);
    if (row.ElementClass == "TRectEntity") rectEntities = node;
  }
  SetOutput(script);
}

TClass TUniversalLumarScriptCreator::StaticClass() {
  static const TClassInfo info = DescribeClass<TUniversalLumarScriptCreator>(
      "TUniversalLumarScriptCreator", TTool::StaticClass(), "I_uni", {});
  return &info;
}

void RegisterScriptCreatorClasses() { RegisterKestuClass(TUniversalLumarScriptCreator::StaticClass()); }
