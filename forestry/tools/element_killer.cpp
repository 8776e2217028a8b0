#include "forestry/tools/element_killer.h"

#include "app/command_line/command_line.h"
#include "forestry/reconstruction/layer_rebuilding.h"
#include "forestry/tools/command_line_element.h"
#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "render/tool_forms/dialog_tools.h"
#include "render/tool_forms/interface_tool.h"
#include "spatial/geometry/geometry_elements.h"

std::string TAllElementKiller::ElementClassName() const { return elementClass_ ? elementClass_->ClassName : ""; }

void TAllElementKiller::SetElementClassName(const std::string& name) {
  elementClass_ = FindKestuClass(name);
  if (!elementClass_) Log("ElementKiller - unknown class: " + name);
}

void TAllElementKiller::SetGlobalPath(const std::string& path) {
  globalPath_ = path;
  auto* commandLine = DynamicCast<TCommandLine>(commandLine_.Get());
  if (!commandLine) {
    commandLine = new TCommandLine;
    AddElement(commandLine);
    commandLine_.Set(commandLine);
  }
  commandLine->Line = path;
}

int TAllElementKiller::FreeChildrenOfClass(TEntity& target) {
  if (!elementClass_) return 0;
  int count = 0;
  for (int i = target.GetCount() - 1; i >= 0; --i) {
    if (i >= target.GetCount()) continue;
    TElement* child = target.GetElement(i);
    if (!child || child == this || !child->InheritsFrom(elementClass_)) continue;
    // Freed for good: the element leaves every owner as it is destroyed.
    delete child;
    ++count;
  }
  return count;
}

void TAllElementKiller::DoIt() {
  auto* commandLine = DynamicCast<TCommandLine>(commandLine_.Get());
  auto* target = commandLine ? DynamicCast<TEntity>(RunForElement(*commandLine)) : nullptr;
  if (!target) {
    platform::ShowMessage("Nemohu nalézt cestu: " + globalPath_);
    return;
  }
  if (!AskConfirmation(ConfirmText)) return;
  const int count = FreeChildrenOfClass(*target);
  if (count > 0) {
    if (auto* bounded = DynamicCast<TRectEntity>(target)) bounded->UpdateRect();
    PostMessageToOwners(msgRequestReView, nullptr, false);
    PostKestuMessage(new TKestuMessage(msgDataChanged, this, nullptr, nullptr, false));
  }
  platform::ShowMessage("Bylo odstraněno celkem " + std::to_string(count) + " elementů");
}

TClass TAllElementKiller::StaticClass() {
  using E = TAllElementKiller;
  static const TClassInfo info = DescribeClass<E>(
      "TAllElementKiller", TTool::StaticClass(), "T_Monitors",
      {ReadWriteProp("ElementClassName", &E::ElementClassName, &E::SetElementClassName),
       FieldProp("ConfirmText", &E::ConfirmText), ReadWriteProp("GlobalPath", &E::GlobalPath, &E::SetGlobalPath)});
  return &info;
}

void RegisterElementKillerClasses() { RegisterKestuClass(TAllElementKiller::StaticClass()); }
