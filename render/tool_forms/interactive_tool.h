#pragma once
// The tools a form-tool manager holds in its graphic window: viewers,
// selectors and editors, one of them active, each getting the window's
// events first through its handlers.
#include <cstdint>

#include "render/devices/device_tool.h"

class TFormToolManager;
class TInterpret;

enum : int { msgSelectTool = 4 };

class TInteractiveTool : public TDeviceTool {
  KESTX_CLASS(TInteractiveTool)
 public:
  TFormToolManager* Manager() const;
  void SetManager(TFormToolManager* manager);
  TInterpret* Interpret() const;

  virtual void SetInterpret(TInterpret* interpret);
  // The screen cursor shown over the image while the tool is active.
  virtual std::int32_t GetCursor();
  virtual void KeyDown(TKestuMessage* message, bool& handled);
  virtual void MouseDown(TKestuMessage* message, bool& handled);
  virtual void MouseUp(TKestuMessage* message, bool& handled);
  virtual void MouseMove(TKestuMessage* message, bool& handled);
  virtual void StartDrag(TKestuMessage* message, bool& handled);
  virtual void DragOver(TKestuMessage* message, bool& handled);
  virtual void DragDrop(TKestuMessage* message, bool& handled);
  virtual void EndDrag(TKestuMessage* message, bool& handled);
  virtual void ReView(TKestuMessage* message, bool& handled);
  virtual void Resize(bool& handled);
  virtual void StopReView(TKestuMessage* message, bool& handled);
  virtual void RequestReView(TKestuMessage* message, bool& handled);
  virtual void Activate();
  virtual void Deactivate();

  // The click of the tool's item in the window's tools menu: asks the
  // owners to make the tool active.
  void RequestSelection();

  void SetInput(TElement* element) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
  void PostMouseEvent(int code, TElement* receiver, bool armed, std::int32_t X, std::int32_t Y,
                      std::uint8_t shift, std::uint8_t button) override;
  void PostKeyEvent(int code, TElement* receiver, std::uint8_t shift, std::uint16_t key) override;

 private:
  TElementLink manager_;
  TElementLink interpret_;
};

void RegisterInteractiveToolClasses();
