#pragma once
// Stands in for the property editor, which the selectors open by class name
// among the main tool's tools.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"

// Stands in for the property editor: notes where it was to open and that
// it ran.
class TEditorStandIn : public TTool {
 public:
  static TClass StaticClass() {
    static const TClassInfo info = DescribeClass<TEditorStandIn>(
        "TObjectPropertyEditor", TTool::StaticClass(), "PickersTest",
        {FieldProp("Left", &TEditorStandIn::Left), FieldProp("Top", &TEditorStandIn::Top)});
    return &info;
  }
  TClass ClassType() const override { return StaticClass(); }
  void DoIt() override { Shown = true; }
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  bool Shown = false;
};

// Registers the stand-in unless an editor class is registered already.
inline void RegisterEditorStandIn() {
  if (!FindKestuClass("TObjectPropertyEditor")) RegisterKestuClass(TEditorStandIn::StaticClass());
}

// What the main tool's property editors were given: their input and place,
// and whether they ran.  The real editor, once registered, is seen as well.
struct EditorSeen {
  TElement* Input = nullptr;
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  bool Shown = false;
  bool operator==(const EditorSeen&) const = default;
};

inline std::vector<EditorSeen> EditorsOf(TTechnology& mainTool) {
  std::vector<EditorSeen> editors;
  for (int i = 0; i < mainTool.ToolCount(); ++i) {
    TTool* tool = mainTool.GetTool(i);
    if (!tool || tool->ClassName() != "TObjectPropertyEditor") continue;
    auto* standIn = dynamic_cast<TEditorStandIn*>(tool);
    editors.push_back({tool->Input(), std::stoi(tool->GetPropertyText("Left")), std::stoi(tool->GetPropertyText("Top")),
                       standIn ? standIn->Shown : true});
  }
  return editors;
}
