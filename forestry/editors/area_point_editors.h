#pragma once
// Editors that edit no vertices: the area editor makes an area out of the
// boundary lines around a click (or picks an existing one), the point
// editor places a point; both confirm in a dialog and hand the result to a
// store tool.
#include <cstdint>
#include <string>

#include "forestry/editors/graphic_editors.h"

class TAreaElement;
class TPointElement;
class TRectEntity;

class TPolyLineAreaEditor : public TGraphicEditor {
  KESTX_CLASS(TPolyLineAreaEditor)
 public:
  std::string LevelName;
  std::string CopyLinesLevels;
  std::string WorkingLinesLevels;
  std::string NeighbourhoodWorkingLinesLevels;
  std::string NeighbourhoodCopyLinesLevels;

  TTool* NeighbourhoodTool() const { return neighbourhoodTool_; }
  void SetNeighbourhoodTool(TTool* tool) { ReplaceTool(neighbourhoodTool_, tool); }
  TAreaElement* PickedArea() const;
  // The frame selector's last result.
  TElement* FrameElement() const { return frame_.Get(); }

  // Gathers the lines of the frame element's levels (and of its
  // neighbours') into a new working-line collection, which it answers.
  TRectEntity* GatherLines(TEntity& frame);

  void DrawElement() override;
  void InitCursors() override;
  void MouseUp(TKestuMessage* message, bool& handled) override;
  void FreeTool(TTool* tool) override;

 private:
  // Adds the lines of the entity's children named in the comma text.
  void GatherLevels(TEntity& entity, const std::string& names, bool copies, TRectEntity& lines);
  // Builds the areas of the gathered lines; the one under the cursor point
  // becomes the working area.
  void BuildAreaAtCursor(TEntity& frame);
  void ReleaseWorkingLines();

  double x_ = 0;
  double y_ = 0;
  TTool* neighbourhoodTool_ = nullptr;
  TElementLink frame_;
  TElementLink workingLines_;
};

class TPointEditor : public TGraphicEditor {
  KESTX_CLASS(TPointEditor)
 public:
  TPointElement* Point() const;
  void SetPoint(TPointElement* point);
  std::string InterpretName() const;
  void SetInterpretName(const std::string& name);

  void DrawElement() override;
  void InitCursors() override;
  void MouseDown(TKestuMessage* message, bool& handled) override;
  void MouseUp(TKestuMessage* message, bool& handled) override;
  void MouseMove(TKestuMessage* message, bool& handled) override;
  void DragOver(TKestuMessage* message, bool& handled) override;
  void DragDrop(TKestuMessage* message, bool& handled) override;
  void StartDrag(TKestuMessage* message, bool& handled) override;
  void EndDrag(TKestuMessage* message, bool& handled) override;

 private:
  void MovePointTo(const TKestuMessage* message);
  // A drop and the button's release end one gesture: it finishes once.
  void EndGesture(const TKestuMessage* message);
  void Finish();

  bool moving_ = false;
  bool finished_ = true;
};

void RegisterAreaPointEditorClasses();
