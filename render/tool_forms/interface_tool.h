#pragma once
// The base of every tool that owns a window or control and shows an element
// through an interpret: it turns the interaction and redraw messages into
// calls of its handlers, which descendants override, and keeps the named
// cursors of the tool.
#include <cstdint>

#include "render/devices/device_tool.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/interaction_events.h"

class TIntegerListElement;
class TInterpret;

enum : int { msgStopReView = 9, msgRequestReView = 33, msgResize = 47 };

class TInterfaceTool : public TDeviceTool {
  KESTX_CLASS(TInterfaceTool)
 public:
  // Shares the tool's busy bit: an active tool counts as busy.
  bool Active() const { return Busy(); }
  void SetActive(bool value) { SetBusy(value); }
  TInterpret* Interpret() const;
  virtual void SetInterpret(TInterpret* interpret);
  std::int32_t CursorIndex() const { return cursorIndex_; }
  void SetCursorIndex(std::int32_t value);
  // The "CURSORS" list, made on first use.
  TIntegerListElement* Cursors();
  void AddCursor(const std::string& name);

  virtual void InitCursors();
  virtual std::int32_t GetCursor();
  virtual void SetCursor(std::int32_t number);
  virtual void CursorChanged(TKestuMessage* message, bool& handled);
  virtual void KeyDown(TKestuMessage* message, bool& handled);
  virtual void MouseDown(TKestuMessage* message, bool& handled);
  virtual void MouseUp(TKestuMessage* message, bool& handled);
  virtual void MouseMove(TKestuMessage* message, bool& handled);
  virtual void StartDrag(TKestuMessage* message, bool& handled);
  virtual void DragOver(TKestuMessage* message, bool& handled);
  virtual void DragDrop(TKestuMessage* message, bool& handled);
  virtual void EndDrag(TKestuMessage* message, bool& handled);
  virtual void ReView(TKestuMessage* message, bool& handled);
  virtual void ReViewArea(TKestuMessage* message, bool& handled);
  virtual void Resize(bool& handled);
  virtual void StopReView(TKestuMessage* message, bool& handled);
  virtual void RequestReView(TKestuMessage* message, bool& handled);
  virtual void Activate();
  virtual void Deactivate();
  virtual bool CanCloseActive();

  void AfterConstruction() override;
  void SetInput(TElement* element) override;
  bool CanClose() override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
  void PostMouseEvent(int code, TElement* receiver, bool armed, std::int32_t X, std::int32_t Y,
                      std::uint8_t shift, std::uint8_t button) override;
  void PostKeyEvent(int code, TElement* receiver, std::uint8_t shift, std::uint16_t key) override;

 private:
  TIntegerListElement* ExistingCursors() const;
  // The screen cursor number of entry index; 0 outside the list.
  std::int32_t CursorNumber(int index) const;

  TElementLink interpret_;
  TElementLink cursors_;
  std::int32_t cursorIndex_ = -1;
};

// The redraw rules that interface and interactive tools share.
// The interpret held in field is replaced by interpret: the new one takes
// over the old one's device and input (else the tool's), the old one is
// freed and the new one becomes the tool's child.
void ReplaceInterpret(TDeviceTool& tool, TElementLink& field, TInterpret* interpret);
// Code 9: a busy interpret breaks its walk; unhandled without an interpret.
void StopInterpretReView(TInterpret* interpret, bool& handled);
// Code 33: a busy interpret restarts, an idle one is asked to redraw by a
// code 31 from the tool, to which the message hands its data over.
void RequestInterpretReView(TDeviceTool& tool, TInterpret* interpret, TKestuMessage* message, bool& handled);

// Hands the codes that interface and interactive tools share to the tool's
// handlers; false for any other code.
template <class Tool>
bool DispatchInteraction(Tool& tool, TKestuMessage* message, bool& handled) {
  switch (message->Message) {
    case msgStopReView: tool.StopReView(message, handled); return true;
    case msgReView: tool.ReView(message, handled); return true;
    case msgRequestReView: tool.RequestReView(message, handled); return true;
    case msgResize: tool.Resize(handled); return true;
    case msgKeyDown: tool.KeyDown(message, handled); return true;
    case msgMouseDown: tool.MouseDown(message, handled); return true;
    case msgMouseUp: tool.MouseUp(message, handled); return true;
    case msgMouseMove: tool.MouseMove(message, handled); return true;
    case msgStartDrag: tool.StartDrag(message, handled); return true;
    case msgDragOver: tool.DragOver(message, handled); return true;
    case msgDragDrop: tool.DragDrop(message, handled); return true;
    case msgEndDrag: tool.EndDrag(message, handled); return true;
    default: return false;
  }
}

// The interaction events a tool posts for its form.
void PostMouseEventFrom(TElement* sender, int code, TElement* receiver, bool armed, std::int32_t X, std::int32_t Y,
                        std::uint8_t shift, std::uint8_t button);
void PostKeyEventFrom(TElement* sender, int code, TElement* receiver, std::uint8_t shift, std::uint16_t key);

void RegisterInterfaceToolClasses();
