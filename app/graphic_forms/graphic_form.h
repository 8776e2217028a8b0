#pragma once
// The graphic window that scripts assemble: an extended form tool whose
// window shows its input through a universal interpret on an image device,
// with tools from its groups.  It publishes the current view into the
// system register's "Projection" so that scripts can read it, and switches
// between the thematic maps of the object model.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/extended_forms/extended_form_tool.h"
#include "render/tool_forms/graphic_window_parts.h"

class TGraphic_Form;
class TInterpretScript;
class TPageProjection;

class TGraphicForm : public TExtendedFormTool {
  KESTX_CLASS(TGraphicForm)
 public:
  ~TGraphicForm() override;

  TGraphic_Form* GraphicForm() const;
  bool ReViewPending() const { return redraw_.ReViewPending(); }
  bool ClosePending() const { return redraw_.ClosePending(); }

  // The published properties.
  std::string ActiveToolName();
  void SetActiveToolName(const std::string& name);
  std::string ActiveToolClassName();
  void SetActiveToolClassName(const std::string& name);
  std::uint32_t PageColor() const;
  void SetPageColor(std::uint32_t colour);
  TPageProjection* Projection() const;
  TInterpretScript* InterpretScript() const;
  void SetInterpretScript(TInterpretScript* script);
  void SetBreakReView(bool value);
  void SetElementForReView(TElement* element);
  void SetElementForKillReView(TElement* element);
  void SetReViewByElement(TElement* element);
  void SetShiftView(const std::string& direction);
  void SetZoom(const std::string& direction);
  void SetViewAll(bool value);

  // The user picked the thematic map of that name in the window's list.
  void ChooseMap(const std::string& map);

  virtual void ShowScaleText(const std::string& text);
  virtual void CreateDevice();
  virtual void ConnectDevice();
  virtual void CreateInterpret();
  virtual void ConnectInterpret();
  virtual void CreateDefaultTool();
  virtual void SetNextTool(TTool* tool);
  virtual void SetFreeForm(bool value);
  virtual void OpenFile(TKestuMessage* message, bool& handled);
  virtual void SaveFileAs(TKestuMessage* message, bool& handled);
  virtual void Print(TKestuMessage* message, bool& handled);
  virtual void EditScale(TKestuMessage* message, bool& handled);
  virtual void RepaintImage(TKestuMessage* message, bool& handled);
  virtual void FitAll(TKestuMessage* message, bool& handled);
  virtual void PrintDone(TKestuMessage* message, bool& handled);

  void AfterConstruction() override;
  void CreateForm() override;
  void SetVisible(bool value) override;
  void SetInput(TElement* element) override;
  void DoIt() override;
  void Close() override;
  void ToolFinished(TKestuMessage* message, bool& handled) override;
  void SetActiveIndex(int index) override;
  std::int32_t GetCursor() override;
  void SetCursor(std::int32_t number) override;
  void CursorChanged(TKestuMessage* message, bool& handled) override;
  void KeyDown(TKestuMessage* message, bool& handled) override;
  void ReView(TKestuMessage* message, bool& handled) override;
  void ReViewArea(TKestuMessage* message, bool& handled) override;
  void Resize(bool& handled) override;
  std::string GetText() override;
  void SetText(const std::string& text) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

 private:
  // The groups and the tools in them, in order.
  std::vector<TTool*> GroupsAndTools();
  // A redraw of the whole view (published after it) or of an area, by
  // draw, unless the tool is idle; kept for later while the interpret draws.
  void Redraw(bool& handled, const std::function<void()>& draw, bool whole);
  // Code 33 to itself, unless the tool is idle.
  void PostReViewRequest();
  // The view's centre, scale and virtual scale into the register.
  void PublishView();
  void FreeTheForm();
  void CloseNow();
  void FinishPendingWork();

  TRedrawState redraw_;
};

void RegisterGraphicFormClasses();
