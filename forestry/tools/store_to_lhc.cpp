#include "forestry/tools/store_to_lhc.h"

#include "app/command_line/command_line.h"
#include "forestry/selectors/multi_select_skupina.h"
#include "forestry/tools/command_line_element.h"
#include "framework/core/class_registry.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/objects/space_entities.h"

// ---------------------------------------------------------------- TStoreToLHCTool

TStoreToLHCTool::TStoreToLHCTool() {
  auto* commandLine = new TCommandLine;
  AddTool(commandLine);
  commandLine_.Set(commandLine);
}

void TStoreToLHCTool::ReplaceLinkedTool(TElementLink& link, TTool* tool) {
  TTool* held = DynamicCast<TTool>(link.Get());
  ReplaceTool(held, tool);
  link.Set(held);
}

TCommandLine* TStoreToLHCTool::CommandLine() const { return DynamicCast<TCommandLine>(commandLine_.Get()); }

void TStoreToLHCTool::SetGlobalStorePath(const std::string& path) {
  globalStorePath_ = path;
  if (TCommandLine* commandLine = CommandLine()) commandLine->Line = path;
}

TTool* TStoreToLHCTool::MultiFrameSelector() const { return DynamicCast<TTool>(multiFrameSelector_.Get()); }

void TStoreToLHCTool::SetMultiFrameSelector(TTool* selector) { ReplaceLinkedTool(multiFrameSelector_, selector); }

TTool* TStoreToLHCTool::FrameSelector() const { return DynamicCast<TTool>(frameSelector_.Get()); }

void TStoreToLHCTool::SetFrameSelector(TTool* selector) { ReplaceLinkedTool(frameSelector_, selector); }

std::string TStoreToLHCTool::FrameStoreClassName() const {
  return frameStoreClass_ ? frameStoreClass_->ClassName : TRectEntity::StaticClass()->ClassName;
}

void TStoreToLHCTool::SetFrameStoreClassName(const std::string& name) {
  TClass found = FindKestuClass(name);
  frameStoreClass_ = found ? found : TRectEntity::StaticClass();
}

TEntity* TStoreToLHCTool::GlobalStore() {
  TCommandLine* commandLine = CommandLine();
  return commandLine ? DynamicCast<TEntity>(RunForElement(*commandLine)) : nullptr;
}

TEntity* TStoreToLHCTool::FrameStore(TElement* psk) {
  auto* group = DynamicCast<TEntity>(psk);
  if (!group) return nullptr;
  TClass containerClass = frameStoreClass_ ? frameStoreClass_ : TRectEntity::StaticClass();
  return DynamicCast<TEntity>(group->GetOrCreateElement(containerClass, FrameStorePath));
}

void TStoreToLHCTool::StoreInto(TElement* element, TElement* target) {
  auto* store = DynamicCast<TEntity>(target);
  if (!element || !store) return;
  // Stored again after a second edit, the element keeps one place.
  if (store->IndexOf(element) < 0) store->AddElement(element);
  if (auto* bounded = DynamicCast<TRectEntity>(store)) bounded->UpdateRectNoReset();
}

TElement* TStoreToLHCTool::ChosenFrame() {
  if (TTool* selector = FrameSelector()) return selector->Output();
  TElement* handed = GetParameter("FrameSelector");
  if (auto* selector = DynamicCast<TTool>(handed)) return selector->Output();
  return handed;
}

void TStoreToLHCTool::StoreByFrameSelector() {
  TElement* element = Input();
  if (!element) return;
  StoreInto(element, GlobalStore());
  StoreInto(element, FrameStore(ChosenFrame()));
}

// ---------------------------------------------------------------- the concrete stores

TStoreLineToLHC::TStoreLineToLHC() { SetMultiFrameSelector(new TMultiSelectSkupinaByLine); }

void TStoreLineToLHC::DoIt() {
  auto* line = DynamicCast<TPolyElement>(Input());
  if (!line) return;
  StoreInto(line, GlobalStore());
  auto* selector = DynamicCast<TMultiSelectSkupina>(MultiFrameSelector());
  if (!selector) return;
  if (auto* byLine = DynamicCast<TMultiSelectSkupinaByLine>(selector)) byLine->SetLine(line);
  selector->ClearOutput();
  selector->DoIt();
  auto* groups = DynamicCast<TEntity>(selector->Output());
  if (!groups) return;
  for (TElement* psk : groups->Children())
    if (psk) StoreInto(line, FrameStore(psk));
}

void TStoreAreaToLHC::DoIt() { StoreByFrameSelector(); }

void TStorePointToLHC::DoIt() { StoreByFrameSelector(); }

// ---------------------------------------------------------------- classes

TClass TStoreToLHCTool::StaticClass() {
  using E = TStoreToLHCTool;
  static const TClassInfo info = DescribeClass<E>(
      "TStoreToLHCTool", TTechnology::StaticClass(), "T_Stores",
      {FieldProp("FrameStorePath", &E::FrameStorePath),
       ReadWriteProp("GlobalStorePath", &E::GlobalStorePath, &E::SetGlobalStorePath),
       ReadWriteProp("MultiFrameSelector", &E::MultiFrameSelector, &E::SetMultiFrameSelector),
       ReadWriteProp("FrameStoreClassName", &E::FrameStoreClassName, &E::SetFrameStoreClassName),
       ReadWriteProp("FrameSelector", &E::FrameSelector, &E::SetFrameSelector)});
  return &info;
}

TClass TStoreLineToLHC::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TStoreLineToLHC>("TStoreLineToLHC", TStoreToLHCTool::StaticClass(), "T_Stores", {});
  return &info;
}

TClass TStoreAreaToLHC::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TStoreAreaToLHC>("TStoreAreaToLHC", TStoreToLHCTool::StaticClass(), "T_Stores", {});
  return &info;
}

TClass TStorePointToLHC::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TStorePointToLHC>("TStorePointToLHC", TStoreToLHCTool::StaticClass(), "T_Stores", {});
  return &info;
}

void RegisterStoreToLHCClasses() {
  RegisterKestuClass(TStoreLineToLHC::StaticClass());
  RegisterKestuClass(TStoreAreaToLHC::StaticClass());
  RegisterKestuClass(TStorePointToLHC::StaticClass());
}
