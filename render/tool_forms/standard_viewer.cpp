#include "render/tool_forms/standard_viewer.h"

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/rubber_band.h"

namespace {

void LetMessagesRun() { platform::Application::Instance().ProcessMessages(); }

}  // namespace

void TStandardViewer::InitCursors() { AddCursor("WAIT"); }

void TStandardViewer::KeyDown(TKestuMessage* message, bool& handled) {
  // The window would apply the same key again to the device both share.
  if (ApplyViewKey(*this, message, [this](int code) { PostMessageToOwners(code, nullptr, false); })) handled = true;
}

void TStandardViewer::MouseDown(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse) return;
  LetMessagesRun();
  PostMessageToOwners(msgStopReView, nullptr, false);
  if (mouse->Button == 0) Band = {mouse->X, mouse->Y, mouse->X, mouse->Y};
  handled = true;
}

void TStandardViewer::StartDrag(TKestuMessage*, bool&) {
  LetMessagesRun();
  SetBandPen(GetDevice());
  DrawBand(GetDevice(), Band);
  bandDrawn_ = true;
  bandMoved_ = false;
}

void TStandardViewer::DragOver(TKestuMessage* message, bool&) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse) return;
  SetBandPen(GetDevice());
  if (bandDrawn_) DrawBand(GetDevice(), Band);
  Band.Right = mouse->X;
  Band.Bottom = mouse->Y;
  DrawBand(GetDevice(), Band);
  bandDrawn_ = true;
  bandMoved_ = true;
}

void TStandardViewer::EraseBand() {
  if (!bandDrawn_) return;
  SetBandPen(GetDevice());
  DrawBand(GetDevice(), Band);
  bandDrawn_ = false;
}

void TStandardViewer::EndDrag(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse) return;
  handled = true;
  EraseBand();
  LetMessagesRun();
  SetPenBack(GetDevice());
  // The drag of the click that brought the window back acts on nothing; a
  // drag never moved over the image ends with the release at its end
  // point, which centres the view once.
  const bool moved = bandMoved_;
  bandMoved_ = false;
  if (!mouse->Armed || !moved) return;
  ZoomToBand(GetDevice(), Band, mouse->X, mouse->Y);
  PostMessageToOwners(msgRequestReView, nullptr, false);
}

void TStandardViewer::MouseUp(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || mouse->Button != 0) return;
  handled = true;
  EraseBand();
  SetPenBack(GetDevice());
  if (!mouse->Armed) return;
  ZoomToBand(GetDevice(), {mouse->X, mouse->Y, mouse->X, mouse->Y}, mouse->X, mouse->Y);
  PostMessageToOwners(msgRequestReView, nullptr, false);
}

TClass TStandardViewer::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TStandardViewer>("TStandardViewer", TInterfaceTool::StaticClass(), "t_InteractiveTool", {});
  return &info;
}

void RegisterStandardViewerClasses() { RegisterKestuClass(TStandardViewer::StaticClass()); }
