#pragma once
// The owner of a graphic window: the standard image form, the device that
// draws into its image, the universal interpret and the interactive tools,
// one of them active, which get every event of the window first.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <vector>

#include "render/tool_forms/graphic_window_parts.h"
#include "render/tool_forms/interactive_tool.h"

namespace platform {
class Menu;
}
class TInterpretScript;
class TPageProjection;
class TStandardImageForm;

enum : int {
  msgPrintDone = 17,
  msgOpenFile = 23,
  msgSaveFileAs = 24,
  msgPrint = 40,
  msgEditScale = 45,
  msgFitAll = 46,
  msgRepaintImage = 49,
  msgQuickView = 50,
};

class TFormToolManager : public TInteractiveTool {
  KESTX_CLASS(TFormToolManager)
 public:
  ~TFormToolManager() override;

  TStandardImageForm* Form() const { return form_.get(); }
  bool QuickView() const { return quickView_; }
  void SetQuickView(bool value);
  // A redraw or a close asked while the interpret draws, carried out when it
  // reports the end of its walk.
  bool ReViewPending() const { return redraw_.ReViewPending(); }
  bool ClosePending() const { return redraw_.ClosePending(); }

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
  // The window's scale, as the keys, the scale dialog and scripts set it:
  // one the scale label cannot show (ShowableScale) is refused, the view kept.
  void SetShownScale(double scale);
  void SetElementForReView(TElement* element);
  void SetElementForKillReView(TElement* element);

  virtual std::int32_t GetLeft() const;
  virtual std::int32_t GetTop() const;
  virtual std::int32_t GetWidth() const;
  virtual std::int32_t GetHeight() const;
  virtual void SetLeft(std::int32_t value);
  virtual void SetTop(std::int32_t value);
  virtual void SetWidth(std::int32_t value);
  virtual void SetHeight(std::int32_t value);
  virtual void ShowScaleText(const std::string& text);
  virtual void CreateForm();
  virtual void CreateDevice();
  virtual void ConnectDevice();
  virtual void CreateInterpret();
  virtual void ConnectInterpret();
  virtual void CreateDefaultTool();
  virtual void SetNextTool(TInteractiveTool* tool);
  virtual bool GetVisible() const;
  virtual platform::Menu* GetMainMenu() const;
  virtual void SetVisible(bool value);
  virtual std::string GetCaption() const;
  virtual void SetCaption(const std::string& caption);
  virtual std::int32_t GetImageCursor() const;
  virtual void SetImageCursor(std::int32_t cursor);
  virtual void SetFreeForm(bool value);
  virtual void SetLoadFromFile(const std::string& fileName);
  virtual void SetSaveToFile(const std::string& fileName);
  virtual void OpenFile(TKestuMessage* message, bool& handled);
  virtual void SaveFileAs(TKestuMessage* message, bool& handled);
  virtual void SelectTool(TKestuMessage* message, bool& handled);
  virtual void Print(TKestuMessage* message, bool& handled);
  virtual void ToggleQuickView(TKestuMessage* message, bool& handled);
  virtual void RepaintImage(TKestuMessage* message, bool& handled);
  virtual void EditScale(TKestuMessage* message, bool& handled);
  virtual void FitAll(TKestuMessage* message, bool& handled);
  virtual void PrintDone(TKestuMessage* message, bool& handled);
  // Shows the whole input.
  void FitToInput();

  void AfterConstruction() override;
  void SetInput(TElement* element) override;
  void DoIt() override;
  void Close() override;
  void ToolFinished(TKestuMessage* message, bool& handled) override;
  void SetActiveIndex(int index) override;
  TTool* AddTool(TTool* tool) override;
  void RemoveTool(TTool* tool) override;
  void FreeTool(TTool* tool) override;
  void KeyDown(TKestuMessage* message, bool& handled) override;
  void MouseUp(TKestuMessage* message, bool& handled) override;
  void MouseMove(TKestuMessage* message, bool& handled) override;
  void ReView(TKestuMessage* message, bool& handled) override;
  void Resize(bool& handled) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

 private:
  // The device lets the image's bitmap go before the form ends with it.
  void FreeTheForm();
  void CloseNow();
  // A close or a redraw asked while the interpret drew.
  void FinishPendingWork();
  bool InterpretBusy() const;
  void MarkToolItem(const TTool* tool);
  void RemoveToolItem(const TTool* tool);
  std::vector<TTool*> SubTools();
  // Makes the tool the active one, as a code 4 for it does.
  void MakeActive(TInteractiveTool* tool);

  std::unique_ptr<TStandardImageForm> form_;
  bool quickView_ = false;
  TRedrawState redraw_;
};

// Whether a graphic window takes the scale: finite, above 0 and below 2^63,
// so that its label shows it as a whole number.
bool ShowableScale(double scale);
// The scale as a graphic window's label shows it: a whole number from 10 on,
// three decimals below; nothing for a scale that is no finite number above 0.
std::string ScaleLabelText(double scale);
// Applies the view keys of the graphic windows to the tool's device: F5
// halves the scale, F6 doubles it (each posting 33; a scale that is not
// ShowableScale is refused and nothing posted), Esc posts 9; false for other
// keys.
bool ApplyViewKey(TDeviceTool& tool, TKestuMessage* message, const std::function<void(int code)>& post);
// Sets the device's pen to copy mode, as every redraw starts.
void SetCopyPen(TDevice* device);

void RegisterFormToolManagerClasses();
