#pragma once
// The graphic editors: tools of a graphic window that draw a new line or
// shape, or change a picked one, vertex by vertex with the mouse and keys,
// confirm it in a dialog and hand it to a store tool.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/messages.h"
#include "platform/canvas.h"
#include "render/tool_forms/frames.h"

class TPolyElement;

// Where a window of that size shown at the screen point (x, y) goes so that
// it lies inside the screen: moved left or up as far as it sticks out, never
// past the screen's top left corner.
struct TScreenPlace {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  bool operator==(const TScreenPlace&) const = default;
};
TScreenPlace PlaceInsideScreen(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                               std::int32_t screenWidth, std::int32_t screenHeight);

class TGraphicEditor : public TFrameTool {
  KESTX_CLASS(TGraphicEditor)
 public:
  bool CanCreateNewObject = false;
  platform::ColorValue Color = 0;
  bool Modified = false;
  std::string ConfirmText;

  TTool* SelectTool() const { return selectTool_; }
  void SetSelectTool(TTool* tool) { ReplaceTool(selectTool_, tool); }
  TTool* StoreTool() const { return storeTool_; }
  void SetStoreTool(TTool* tool) { ReplaceTool(storeTool_, tool); }
  TTool* Dialog() const { return dialog_; }
  void SetDialog(TTool* tool) { ReplaceTool(dialog_, tool); }
  // An editor freed while it holds a picked element gives it back.
  ~TGraphicEditor() override;

  // No element was picked: the working element is a new one.
  bool NewObject() const { return Input() == nullptr; }

  // The working element is the editor's own: a new one frees the old.
  void SetOutput(TElement* element) override;

  virtual void DrawElement();
  virtual void RefreshElementArea();
  virtual void ResetWorkingElement();
  virtual TElement* CloneInput();
  virtual void ElementSelected(TKestuMessage* message);

  void Activate() override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
  void FreeTool(TTool* tool) override;

 protected:
  // Lets the working element go without freeing what others hold.
  void ReleaseWorkingElement();
  // The working element was picked and leaves unstored: it returns to the
  // owners it was taken from, with the vertices it had.
  void RestorePickedElement();
  // A picked element is stored or deleted: it no longer returns.
  void ForgetPickedElement();
  // Places the dialog at the mouse cursor, kept on the screen, under the
  // caption, and runs it on the element; its result.
  std::int32_t RunDialogAt(TElement* element, const std::string& caption);
  void PostToMainTool(int code);
  void ProcessMessages();
  // The map point of a mouse event's pixel; false without a projection.
  bool MapPointOf(const TKestuMessage* message, double& X, double& Y) const;

 private:
  struct FormerOwner {
    TElementLink Owner;
    int Index = 0;
  };
  TTool* selectTool_ = nullptr;
  TTool* storeTool_ = nullptr;
  TTool* dialog_ = nullptr;
  TElementLink picked_;
  std::vector<FormerOwner> formerOwners_;
  std::vector<std::pair<double, double>> formerVertices_;
};

class TPolyElementEditor : public TGraphicEditor {
  KESTX_CLASS(TPolyElementEditor)
 public:
  TPolyElementEditor();

  std::int32_t CurrentIndex() const { return current_; }
  std::int32_t HitIndex() const { return hit_; }
  bool OnSegment() const { return onSegment_; }
  bool ExtendAtStart() const { return extendAtStart_; }
  bool Snapped() const { return snap_; }
  double CursorX() const { return x_; }
  double CursorY() const { return y_; }
  TPolyElement* WorkingElement() const;

  virtual void ElementChanged();
  virtual void HitTest();
  virtual void CommitElement();
  virtual void InsertVertex();
  virtual void AppendVertex();
  virtual void ShowPointMenu(std::int32_t X, std::int32_t Y);
  virtual void FinishElement();
  virtual void DiscardElement();
  virtual void DeleteCurrentVertex();
  virtual void CloseShape();

  void DrawElement() override;
  void RefreshElementArea() override;
  void InitCursors() override;
  void Activate() override;
  void Deactivate() override;
  bool CanCloseActive() override;
  void ReView(TKestuMessage* message, bool& handled) override;
  void MouseMove(TKestuMessage* message, bool& handled) override;
  void MouseDown(TKestuMessage* message, bool& handled) override;
  void StartDrag(TKestuMessage* message, bool& handled) override;
  void DragOver(TKestuMessage* message, bool& handled) override;
  void KeyDown(TKestuMessage* message, bool& handled) override;

 protected:
  // The pen width of the chain of segments.
  virtual std::int32_t ChainWidth() const { return 3; }
  // Draws the chain of segments with the device's pen.
  virtual void DrawChain(TPolyElement& element);
  void ClearIndices();
  double WorkingLength() const;
  // Erases the overlay, returns a picked element unstored, and a new empty
  // line becomes the working element.
  void StartNewLine();
  // The event's pixel as the cursor point; false without a projection.
  bool TakeCursorPoint(const TKestuMessage* message);
  void SnapDraggedEnd();

 private:
  // The vertex tolerance in map units; 0 without a projection.
  double Tolerance() const;
  // How near a vertex the cursor point hits it: twice the tolerance.
  double VertexReach() const;
  void DrawMark(double X, double Y, std::int32_t reach);
  void RemoveVertex(int index);
  void SelectHitVertex();

  bool dragging_ = false;
  std::int32_t current_ = -1;
  std::int32_t hit_ = -1;
  bool onSegment_ = false;
  bool extendAtStart_ = false;
  double x_ = 0;
  double y_ = 0;
  bool snap_ = false;
};

class TPolyLineEditor : public TPolyElementEditor {
  KESTX_CLASS(TPolyLineEditor)
 public:
  double Length() const;

  void ResetWorkingElement() override;
  void DragDrop(TKestuMessage* message, bool& handled) override;

 protected:
  std::int32_t ChainWidth() const override { return 1; }
};

class TShapeEditor : public TPolyElementEditor {
  KESTX_CLASS(TShapeEditor)
 public:
  double Length() const;
  double Area() const;

  void ResetWorkingElement() override;

 protected:
  std::int32_t ChainWidth() const override { return 1; }
  void DrawChain(TPolyElement& element) override;
};

// Registered under a name of its own; it behaves as the graphic editor.
class TSelectElementKiller : public TGraphicEditor {
  KESTX_CLASS(TSelectElementKiller)
};

void RegisterGraphicEditorClasses();
