#pragma once
// The base of every tool that owns a window or control and shows an element
// through an interpret: it turns the interaction and redraw messages into
// calls of its handlers, which descendants override, and keeps the named
// cursors of the tool.
#include <cstdint>

#include "render/devices/device_tool.h"

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

void RegisterInterfaceToolClasses();
