#include "render/tool_forms/viewer.h"

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/interface_tool.h"

namespace {

constexpr std::int32_t kViewerCursor = 16;

}  // namespace

std::string TViewer::GetName() const { return "Prohlížeč"; }

std::int32_t TViewer::GetCursor() { return kViewerCursor; }

void TViewer::KeyDown(TKestuMessage* message, bool& handled) {
  // The manager would apply the same key again to the device both share.
  if (ApplyViewKey(*this, message, [this](int code) { PostMessageToOwners(code, nullptr, false); })) handled = true;
}

void TViewer::MouseDown(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse) return;
  platform::Application::Instance().ProcessMessages();
  PostMessageToOwners(msgStopReView, nullptr, false);
  if (mouse->Button == 0) {
    SetBandPen(GetDevice());
    Band = {mouse->X, mouse->Y, mouse->X, mouse->Y};
    DrawBand(GetDevice(), Band);
    dragging_ = true;
  }
  handled = true;
}

void TViewer::MouseMove(TKestuMessage* message, bool&) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || !mouse->Armed || !(mouse->Shift & ssLeft) || !dragging_) return;
  SetBandPen(GetDevice());
  DrawBand(GetDevice(), Band);
  Band.Right = mouse->X;
  Band.Bottom = mouse->Y;
  DrawBand(GetDevice(), Band);
}

void TViewer::MouseUp(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || mouse->Button != 0) return;
  // The band drawn at the press goes also when the click only brought the
  // window back to the front.
  if (dragging_) {
    SetBandPen(GetDevice());
    DrawBand(GetDevice(), Band);
    SetPenBack(GetDevice());
    dragging_ = false;
  }
  if (!mouse->Armed) return;
  ZoomToBand(GetDevice(), Band, mouse->X, mouse->Y);
  PostMessageToOwners(msgRequestReView, nullptr, false);
  handled = true;
}

TClass TViewer::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TViewer>("TViewer", TInteractiveTool::StaticClass(), "t_InteractiveTool", {});
  return &info;
}

void RegisterViewerClasses() { RegisterKestuClass(TViewer::StaticClass()); }
