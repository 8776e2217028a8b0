#pragma once
// Monitors shown in a graphic window's bar: the map coordinates under the
// mouse, and the view's scale and virtual scale, which can be written back.
#include "render/tool_forms/frames.h"

class TPageProjection;

class TCoordMonitorFrame : public TKestuFrame {
  KESTX_CLASS(TCoordMonitorFrame)
 public:
  void CreateFrame() override;
  void MouseMove(TKestuMessage* message, bool& handled) override;
  void DragOver(TKestuMessage* message, bool& handled) override;

 private:
  void ShowPointOf(const TKestuMessage* message);
};

class TScaleMonitorFrame : public TKestuFrame {
  KESTX_CLASS(TScaleMonitorFrame)
 public:
  void CreateFrame() override;
  void ReView(TKestuMessage* message, bool& handled) override;

 private:
  TPageProjection* Projection() const;
  // The combo box's text into the projection's property, then a redraw of
  // everything.
  void WriteBack(const char* control, const char* property);
};

void RegisterMonitorFrameClasses();
