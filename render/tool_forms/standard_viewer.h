#pragma once
// The pan-and-zoom tool of script-built graphic windows: the image's drag
// draws a band that is zoomed to when the drag ends, a click centres the
// view on its point.
#include <cstdint>

#include "platform/canvas.h"
#include "render/tool_forms/interface_tool.h"

class TStandardViewer : public TInterfaceTool {
  KESTX_CLASS(TStandardViewer)
 public:
  // The rubber band in pixels, its moving corner at (Right, Bottom).
  platform::PixelRect Band;
  // Whether the band is on the picture.
  bool BandDrawn() const { return bandDrawn_; }

  void InitCursors() override;
  void KeyDown(TKestuMessage* message, bool& handled) override;
  void MouseDown(TKestuMessage* message, bool& handled) override;
  void StartDrag(TKestuMessage* message, bool& handled) override;
  void DragOver(TKestuMessage* message, bool& handled) override;
  void EndDrag(TKestuMessage* message, bool& handled) override;
  void MouseUp(TKestuMessage* message, bool& handled) override;

 private:
  // Takes the band off the picture when it is on it.
  void EraseBand();

  bool bandDrawn_ = false;
  // Whether the drag moved over the image since it started.
  bool bandMoved_ = false;
};

void RegisterStandardViewerClasses();
