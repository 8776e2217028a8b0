#include "render/tool_forms/interface_tool.h"

#include "framework/core/class_registry.h"
#include "framework/tools/system_register.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"
#include "render/devices/device.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/interaction_events.h"

TInterpret* TInterfaceTool::Interpret() const { return static_cast<TInterpret*>(interpret_.Get()); }

void ReplaceInterpret(TDeviceTool& tool, TElementLink& field, TInterpret* interpret) {
  auto* old = static_cast<TInterpret*>(field.Get());
  if (old == interpret) return;
  if (interpret) {
    interpret->SetDevice(old ? old->Device() : tool.GetDevice());
    interpret->SetInput(old ? old->Input() : tool.Input());
  }
  field.Set(nullptr);
  if (old) tool.FreeElement(old);
  field.Set(interpret);
  if (interpret) tool.AddElement(interpret);
}

void StopInterpretReView(TInterpret* interpret, bool& handled) {
  if (!interpret) return;
  if (interpret->Busy()) interpret->SetBreakWork(true);
  handled = true;
}

void RequestInterpretReView(TDeviceTool& tool, TInterpret* interpret, TKestuMessage* message, bool& handled) {
  if (!interpret) return;
  if (interpret->Busy()) {
    interpret->SetRestartRequest(true);
  } else {
    tool.PostMessage(msgReView, message->Receiver(), message->Data(), message->KillData);
    // The new message owns the data now: the 33 would free it on delivery
    // and the 31 would arrive empty, redrawing everything.
    message->KillData = false;
  }
  handled = true;
}

void TInterfaceTool::SetInterpret(TInterpret* interpret) { ReplaceInterpret(*this, interpret_, interpret); }

TIntegerListElement* TInterfaceTool::ExistingCursors() const {
  return static_cast<TIntegerListElement*>(cursors_.Get());
}

TIntegerListElement* TInterfaceTool::Cursors() {
  if (TIntegerListElement* cursors = ExistingCursors()) return cursors;
  auto* cursors = new TIntegerListElement();
  cursors->SetName("CURSORS");
  AddElement(cursors);
  cursors_.Set(cursors);
  return cursors;
}

void TInterfaceTool::AddCursor(const std::string& name) {
  std::int32_t number = 0;
  if (TWorld* world = World()) {
    TStringListElement* registered = world->SystemRegister()->Cursors();
    if (TElement* entry = registered->FindElementByName(name)) number = 1 + registered->IndexOf(entry);
  }
  Cursors()->AddElement(TIntegerElement::CreateNameValue(name, number));
}

std::int32_t TInterfaceTool::CursorNumber(int index) const {
  TIntegerListElement* cursors = ExistingCursors();
  if (!cursors || index < 0 || index >= cursors->GetCount()) return 0;
  auto* entry = DynamicCast<TTypeElement>(cursors->GetElement(index));
  return entry ? entry->GetAsInteger() : 0;
}

void TInterfaceTool::SetCursorIndex(std::int32_t value) {
  if (value == cursorIndex_) return;
  TIntegerListElement* cursors = ExistingCursors();
  const bool inList = cursors && value >= 0 && value < cursors->GetCount();
  cursorIndex_ = inList ? value : -1;
  const std::int32_t cursor = inList ? CursorNumber(value) : 0;
  for (int i = 0; i < GetOwnersCount(); ++i) {
    if (TElement* owner = GetOwner(i)) PostKestuMessage(new TKestuCursorEvent(msgCursorChanged, owner, this, cursor));
  }
}

void TInterfaceTool::InitCursors() {}

std::int32_t TInterfaceTool::GetCursor() { return CursorNumber(cursorIndex_ == -1 ? 0 : cursorIndex_); }

void TInterfaceTool::SetCursor(std::int32_t) {}

void TInterfaceTool::CursorChanged(TKestuMessage*, bool&) {}
void TInterfaceTool::KeyDown(TKestuMessage*, bool&) {}
void TInterfaceTool::MouseDown(TKestuMessage*, bool&) {}
void TInterfaceTool::MouseUp(TKestuMessage*, bool&) {}
void TInterfaceTool::MouseMove(TKestuMessage*, bool&) {}
void TInterfaceTool::StartDrag(TKestuMessage*, bool&) {}
void TInterfaceTool::DragOver(TKestuMessage*, bool&) {}
void TInterfaceTool::DragDrop(TKestuMessage*, bool&) {}
void TInterfaceTool::EndDrag(TKestuMessage*, bool&) {}

void TInterfaceTool::ReView(TKestuMessage* message, bool& handled) {
  if (Idle() || !Input()) return;
  if (TInterpret* interpret = Interpret()) interpret->ReView(message, handled);
}

void TInterfaceTool::ReViewArea(TKestuMessage* message, bool& handled) {
  if (Idle() || !Input()) return;
  if (TInterpret* interpret = Interpret()) interpret->ReViewArea(message, handled);
}

void TInterfaceTool::Resize(bool& handled) { handled = false; }

void TInterfaceTool::StopReView(TKestuMessage*, bool& handled) { StopInterpretReView(Interpret(), handled); }

void TInterfaceTool::RequestReView(TKestuMessage* message, bool& handled) {
  RequestInterpretReView(*this, Interpret(), message, handled);
}

void TInterfaceTool::Activate() {
  cursorIndex_ = -1;
  SetCursorIndex(0);
  if (!ExistingCursors() || ExistingCursors()->GetCount() == 0)
    PostTextMessage(this, msgLogText, "a tool " + GetName() + " has no cursors !", nullptr);
  SetActive(true);
}

void TInterfaceTool::Deactivate() { SetActive(false); }

bool TInterfaceTool::CanCloseActive() { return true; }

void TInterfaceTool::AfterConstruction() {
  TDeviceTool::AfterConstruction();
  InitCursors();
  cursorIndex_ = -1;
}

void TInterfaceTool::SetInput(TElement* element) {
  TDeviceTool::SetInput(element);
  if (TInterpret* interpret = Interpret()) interpret->SetInput(element);
}

bool TInterfaceTool::CanClose() { return TDeviceTool::CanClose() && (!Active() || CanCloseActive()); }

void TInterfaceTool::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  handled = false;
  TDeviceTool::ReceiveMessage(message, handled);
  if (handled || !message) return;
  if (DispatchInteraction(*this, message, handled)) return;
  if (message->Message == msgReViewArea) return ReViewArea(message, handled);
  if (message->Message == msgCursorChanged) return CursorChanged(message, handled);
}

void PostMouseEventFrom(TElement* sender, int code, TElement* receiver, bool armed, std::int32_t X, std::int32_t Y,
                        std::uint8_t shift, std::uint8_t button) {
  PostKestuMessage(new TKestuMouseEvent(code, receiver, sender, shift, button, X, Y, armed));
}

void PostKeyEventFrom(TElement* sender, int code, TElement* receiver, std::uint8_t shift, std::uint16_t key) {
  PostKestuMessage(new TKestuKeyEvent(code, receiver, sender, shift, key));
}

void TInterfaceTool::PostMouseEvent(int code, TElement* receiver, bool armed, std::int32_t X, std::int32_t Y,
                                    std::uint8_t shift, std::uint8_t button) {
  PostMouseEventFrom(this, code, receiver, armed, X, Y, shift, button);
}

void TInterfaceTool::PostKeyEvent(int code, TElement* receiver, std::uint8_t shift, std::uint16_t key) {
  PostKeyEventFrom(this, code, receiver, shift, key);
}

TClass TInterfaceTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TInterfaceTool>(
      "TInterfaceTool", TDeviceTool::StaticClass(), "t_InterfaceTool",
      {ReadWriteProp("Active", &TInterfaceTool::Active, &TInterfaceTool::SetActive),
       AccessorProp<TInterfaceTool, TInterpret*>(
           "Interpret", [](const TInterfaceTool& t) { return t.Interpret(); },
           [](TInterfaceTool& t, TInterpret* i) { t.SetInterpret(i); }),
       AccessorProp<TInterfaceTool, std::int32_t>(
           "Cursor", [](const TInterfaceTool& t) { return const_cast<TInterfaceTool&>(t).GetCursor(); },
           [](TInterfaceTool& t, std::int32_t n) { t.SetCursor(n); }),
       ReadWriteProp("CursorIndex", &TInterfaceTool::CursorIndex, &TInterfaceTool::SetCursorIndex)});
  return &info;
}

void RegisterInterfaceToolClasses() { RegisterKestuClass(TInterfaceTool::StaticClass()); }
