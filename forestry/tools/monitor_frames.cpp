#include "forestry/tools/monitor_frames.h"

#include <memory>

#include "framework/core/class_registry.h"
#include "platform/forms.h"
#include "render/devices/device.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/interaction_events.h"
#include "spatial/geometry/projection.h"

namespace {

// Scales from 100 up are shown whole, smaller ones with two decimals.
constexpr double kWholeScaleFrom = 100;

}  // namespace

// ---------------------------------------------------------------- TCoordMonitorFrame

void TCoordMonitorFrame::CreateFrame() { SetFrame(std::make_unique<TKestu_Frame>("TCoordMonitor_Frame")); }

void TCoordMonitorFrame::ShowPointOf(const TKestuMessage* message) {
  const auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  TDevice* device = GetDevice();
  TPageProjection* projection = device ? device->Projection() : nullptr;
  if (!mouse || !projection || !Frame()) return;
  Frame()->Window().SetText("l_X", FormatDecimals(projection->DeviceToWorldX(mouse->X), 0, 2));
  Frame()->Window().SetText("l_Y", FormatDecimals(projection->DeviceToWorldY(mouse->Y), 0, 2));
}

void TCoordMonitorFrame::MouseMove(TKestuMessage* message, bool& handled) {
  TKestuFrame::MouseMove(message, handled);
  ShowPointOf(message);
}

void TCoordMonitorFrame::DragOver(TKestuMessage* message, bool& handled) {
  TKestuFrame::DragOver(message, handled);
  ShowPointOf(message);
}

// ---------------------------------------------------------------- TScaleMonitorFrame

void TScaleMonitorFrame::CreateFrame() {
  SetFrame(std::make_unique<TKestu_Frame>("TScaleMonitor_Frame"));
  platform::Form& window = Frame()->Window();
  window.OnClick("BitBtn1", [this] { WriteBack("ed_Scale", "Scale"); });
  window.OnClick("BitBtn2", [this] { WriteBack("ed_VirtualScale", "VirtualScale"); });
}

TPageProjection* TScaleMonitorFrame::Projection() const {
  TDevice* device = GetDevice();
  return device ? device->Projection() : nullptr;
}

void TScaleMonitorFrame::WriteBack(const char* control, const char* property) {
  TPageProjection* projection = Projection();
  if (!projection || !Frame()) return;
  projection->SetPropertyText(property, Frame()->Window().Text(control));
  PostMessageToOwners(msgReView, nullptr, false);
}

void TScaleMonitorFrame::ReView(TKestuMessage* message, bool& handled) {
  TKestuFrame::ReView(message, handled);
  TPageProjection* projection = Projection();
  if (!projection || !Frame()) return;
  const double scale = projection->Scale();
  platform::Form& window = Frame()->Window();
  window.SetText("ed_Scale", FormatDecimals(scale, 0, scale >= kWholeScaleFrom ? 0 : 2));
  window.SetText("ed_VirtualScale", FormatDecimals(projection->VirtualScale(), 0, 0));
}

// ---------------------------------------------------------------- classes

TClass TCoordMonitorFrame::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TCoordMonitorFrame>("TCoordMonitorFrame", TKestuFrame::StaticClass(), "T_Monitors", {});
  return &info;
}

TClass TScaleMonitorFrame::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TScaleMonitorFrame>("TScaleMonitorFrame", TKestuFrame::StaticClass(), "T_Monitors", {});
  return &info;
}

void RegisterMonitorFrameClasses() {
  RegisterKestuClass(TCoordMonitorFrame::StaticClass());
  RegisterKestuClass(TScaleMonitorFrame::StaticClass());
}
