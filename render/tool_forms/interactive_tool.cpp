#include "render/tool_forms/interactive_tool.h"

#include "framework/core/class_registry.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/interface_tool.h"

TFormToolManager* TInteractiveTool::Manager() const { return static_cast<TFormToolManager*>(manager_.Get()); }

void TInteractiveTool::SetManager(TFormToolManager* manager) { manager_.Set(manager); }

TInterpret* TInteractiveTool::Interpret() const { return static_cast<TInterpret*>(interpret_.Get()); }

void TInteractiveTool::SetInterpret(TInterpret* interpret) { ReplaceInterpret(*this, interpret_, interpret); }

std::int32_t TInteractiveTool::GetCursor() { return 0; }

void TInteractiveTool::KeyDown(TKestuMessage*, bool&) {}
void TInteractiveTool::MouseDown(TKestuMessage*, bool&) {}
void TInteractiveTool::MouseUp(TKestuMessage*, bool&) {}
void TInteractiveTool::MouseMove(TKestuMessage*, bool&) {}
void TInteractiveTool::StartDrag(TKestuMessage*, bool&) {}
void TInteractiveTool::DragOver(TKestuMessage*, bool&) {}
void TInteractiveTool::DragDrop(TKestuMessage*, bool&) {}
void TInteractiveTool::EndDrag(TKestuMessage*, bool&) {}

void TInteractiveTool::ReView(TKestuMessage* message, bool& handled) {
  if (!Input()) return;
  if (TInterpret* interpret = Interpret()) interpret->ReView(message, handled);
}

void TInteractiveTool::Resize(bool& handled) { handled = false; }

void TInteractiveTool::StopReView(TKestuMessage*, bool& handled) { StopInterpretReView(Interpret(), handled); }

void TInteractiveTool::RequestReView(TKestuMessage* message, bool& handled) {
  RequestInterpretReView(*this, Interpret(), message, handled);
}

void TInteractiveTool::Activate() {}
void TInteractiveTool::Deactivate() {}

void TInteractiveTool::RequestSelection() { PostMessageToOwners(msgSelectTool, this, false); }

void TInteractiveTool::SetInput(TElement* element) {
  TDeviceTool::SetInput(element);
  if (TInterpret* interpret = Interpret()) interpret->SetInput(element);
}

void TInteractiveTool::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  handled = false;
  TDeviceTool::ReceiveMessage(message, handled);
  if (handled || !message) return;
  DispatchInteraction(*this, message, handled);
}

void TInteractiveTool::PostMouseEvent(int code, TElement* receiver, bool armed, std::int32_t X, std::int32_t Y,
                                      std::uint8_t shift, std::uint8_t button) {
  PostMouseEventFrom(this, code, receiver, armed, X, Y, shift, button);
}

void TInteractiveTool::PostKeyEvent(int code, TElement* receiver, std::uint8_t shift, std::uint16_t key) {
  PostKeyEventFrom(this, code, receiver, shift, key);
}

TClass TInteractiveTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TInteractiveTool>(
      "TInteractiveTool", TDeviceTool::StaticClass(), "t_InteractiveTool", {});
  return &info;
}

void RegisterInteractiveToolClasses() { RegisterKestuClass(TInteractiveTool::StaticClass()); }
