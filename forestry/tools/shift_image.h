#pragma once
// Panning with the mouse: while dragging, the picture taken at the start is
// shown moved with the mouse over the page colour; the drop moves the view
// and asks for a redraw.
#include <memory>

#include "spatial/geometry/geometry_types.h"
#include "render/tool_forms/interface_tool.h"

namespace platform {
class Bitmap;
}

class TShiftImage : public TInterfaceTool {
  KESTX_CLASS(TShiftImage)
 public:
  TShiftImage();
  ~TShiftImage() override;

  void InitCursors() override;
  void StartDrag(TKestuMessage* message, bool& handled) override;
  void DragOver(TKestuMessage* message, bool& handled) override;
  void DragDrop(TKestuMessage* message, bool& handled) override;
  void EndDrag(TKestuMessage* message, bool& handled) override;

 private:
  // The image's bitmap; nil unless the device draws on one.
  platform::Bitmap* ImageBitmap() const;

  std::unique_ptr<platform::Bitmap> copy_;
  bool firstMove_ = false;
  TDevicePoint start_;
  TDevicePoint last_;
};

void RegisterShiftImageClasses();
