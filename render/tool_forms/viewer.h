#pragma once
// The default tool of a graphic window: a click centres the view on the
// point, a band drawn with the mouse is zoomed to.
#include <cstdint>

#include "platform/canvas.h"
#include "render/tool_forms/interactive_tool.h"
#include "render/tool_forms/rubber_band.h"

class TViewer : public TInteractiveTool {
  KESTX_CLASS(TViewer)
 public:
  // The rubber band in pixels, its moving corner at (Right, Bottom).
  platform::PixelRect Band;

  std::string GetName() const override;
  std::int32_t GetCursor() override;
  void KeyDown(TKestuMessage* message, bool& handled) override;
  void MouseDown(TKestuMessage* message, bool& handled) override;
  void MouseMove(TKestuMessage* message, bool& handled) override;
  void MouseUp(TKestuMessage* message, bool& handled) override;

 private:
  // Whether the band drawn at the press is on the picture.
  bool dragging_ = false;
};

void RegisterViewerClasses();
