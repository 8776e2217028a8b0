#include "forestry/selectors/graphic_selectors.h"

#include <algorithm>

#include "app/command_line/command_line.h"
#include "app/pickers/pick_uppers.h"
#include "forestry/reconstruction/layer_rebuilding.h"
#include "forestry/selectors/skupina_selectors.h"
#include "forestry/tools/command_line_element.h"
#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "render/devices/device.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interaction_events.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

// ---------------------------------------------------------------- TGraphicSelector

TCommandLine* TGraphicSelector::CommandLine() const { return DynamicCast<TCommandLine>(commandLine_.Get()); }

void TGraphicSelector::SetGlobalSelectPath(const std::string& path) {
  globalSelectPath_ = path;
  if (!CommandLine()) {
    auto* commandLine = new TCommandLine;
    AddTool(commandLine);
    commandLine_.Set(commandLine);
  }
  CommandLine()->Line = path;
}

double TGraphicSelector::WorldTolerance() const {
  TDevice* device = GetDevice();
  TPageProjection* projection = device ? device->Projection() : nullptr;
  return projection ? projection->DeviceToWorldLength(std::max(PixelTolerance, 0)) : 0;
}

void TGraphicSelector::Highlight(TElement* element) {
  TInterpret* interpret = Interpret();
  if (!interpret || !element) return;
  interpret->AttachDevice(GetDevice());
  interpret->SetInput(element);
  interpret->DoIt();
  PostMessageToOwners(msgRepaintImage, nullptr, false);
  platform::Application::Instance().ProcessMessages();
}

void TGraphicSelector::SelectElement(TElement* element, bool extend) {
  TCommandLine* commandLine = CommandLine();
  if (globalSelectPath_.empty() || !commandLine) return;
  auto* selection = DynamicCast<TEntity>(RunForElement(*commandLine));
  if (!selection) return;
  bool changed = false;
  if (!extend) {
    Highlight(selection);
    changed = selection->GetCount() > 0;
    selection->Clear();
  }
  if (element) {
    if (selection->IndexOf(element) < 0) selection->AddElement(element);
    else selection->RemoveElement(element);
    changed = true;
    if (auto* bounded = DynamicCast<TRectEntity>(selection)) bounded->UpdateRect();
    Highlight(element);
  }
  if (changed) PostKestuMessage(new TKestuMessage(msgDataChanged, this, nullptr, nullptr, false));
}

void TGraphicSelector::MouseUp(TKestuMessage* message, bool& handled) {
  handled = true;
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || mouse->Button != 0) return;
  TDevice* device = GetDevice();
  TPageProjection* projection = device ? device->Projection() : nullptr;
  TFrameSelector* frameSelector = FrameSelector();
  if (!projection || !frameSelector) return;
  const double x = projection->DeviceToWorldX(mouse->X);
  const double y = projection->DeviceToWorldY(mouse->Y);
  frameSelector->X = x;
  frameSelector->Y = y;
  frameSelector->DoIt();
  TElement* frame = frameSelector->Output();
  if (!frame) return;
  if (!LevelName.empty()) {
    auto* entity = DynamicCast<TEntity>(frame);
    frame = entity ? entity->FindElementByName(LevelName) : nullptr;
    if (!frame) return;
  }
  std::unique_ptr<TPickUper> picker = MakePicker();
  picker->SetX(x);
  picker->SetY(y);
  picker->SetInput(frame);
  picker->DoIt();
  TElement* picked = picker->Found() ? picker->Output() : nullptr;
  picker.reset();
  SelectElement(picked, MultiSelect && (mouse->Shift & ssShift) != 0);
  if (!picked) return;
  SetOutput(picked);
  PostMessageToOwners(msgElementSelected, picked, false);
}

// ---------------------------------------------------------------- the kinds

void TPolyLineSelector::InitCursors() { AddCursor("LINESELECT"); }

std::unique_ptr<TPickUper> TPolyLineSelector::MakePicker() {
  auto picker = std::make_unique<TPickUpPolyLine>();
  picker->Tolerance = WorldTolerance();
  return picker;
}

void TAreaSelector::InitCursors() { AddCursor("AREASELECT"); }

std::unique_ptr<TPickUper> TAreaSelector::MakePicker() {
  auto picker = std::make_unique<TPickUpArea>();
  picker->Tolerance = 0;
  return picker;
}

void TPointSelector::InitCursors() { AddCursor("POINTSELECT"); }

std::unique_ptr<TPickUper> TPointSelector::MakePicker() {
  auto picker = std::make_unique<TPickUpPoint>();
  picker->Tolerance = WorldTolerance();
  return picker;
}

// ---------------------------------------------------------------- classes

TClass TGraphicSelector::StaticClass() {
  using E = TGraphicSelector;
  static const TClassInfo info = DescribeClass<E>(
      "TGraphicSelector", TFrameTool::StaticClass(), "T_Selectors",
      {FieldProp("PixelTolerance", &E::PixelTolerance), FieldProp("LevelName", &E::LevelName),
       FieldProp("MultiSelect", &E::MultiSelect),
       ReadWriteProp("GlobalSelectPath", &E::GlobalSelectPath, &E::SetGlobalSelectPath)});
  return &info;
}

TClass TPolyLineSelector::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPolyLineSelector>("TPolyLineSelector", TGraphicSelector::StaticClass(), "T_Selectors", {});
  return &info;
}

TClass TAreaSelector::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TAreaSelector>("TAreaSelector", TGraphicSelector::StaticClass(), "T_Selectors", {});
  return &info;
}

TClass TPointSelector::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPointSelector>("TPointSelector", TGraphicSelector::StaticClass(), "T_Selectors", {});
  return &info;
}

void RegisterGraphicSelectorClasses() {
  RegisterKestuClass(TPolyLineSelector::StaticClass());
  RegisterKestuClass(TAreaSelector::StaticClass());
  RegisterKestuClass(TPointSelector::StaticClass());
}
