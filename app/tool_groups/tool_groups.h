#pragma once
// Tool groups: technologies whose sub-tools are shown as the buttons of one
// tool bar of an extended form (or as items of its menu bar), each button
// bound to an action that selects or runs its tool.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/tool_groups/group_actions.h"
#include "framework/tools/tools.h"
#include "render/tool_forms/interactive_tool.h"

namespace platform {
class Form;
class ImageList;
}  // namespace platform

class TKESTUForm;

// Code 4 (msgSelectTool) is the interactive tools'.
enum : int { msgStartTask = 5, msgChooseTasks = 6 };

// A technology that owns one control of a window: a tool bar, the menu bar.
class TControlTool : public TTechnology {
  KESTX_CLASS(TControlTool)
 public:
  platform::Form* ControlForm() const { return controlForm_; }
  const std::string& ControlName() const { return controlName_; }
  bool HasControl() const { return controlForm_ != nullptr; }
  void SetControl(platform::Form* form, const std::string& name);

  // 1 to 4: the top, bottom, left or right bar holds the control; 0 without.
  virtual std::uint8_t Align() const;
  virtual void SetAlign(std::uint8_t value);
  virtual std::int32_t GetLeft() const;
  virtual std::int32_t GetTop() const;
  std::int32_t Width() const;
  std::int32_t Height() const;
  bool Visible() const;
  void SetVisible(bool value);
  // The argument's control becomes a part of this tool's control.
  virtual void SetParentControl(platform::Form* form, const std::string& control);
  virtual void CreateControl();

  void AfterConstruction() override;
  TTool* AddTool(TTool* tool) override;

 private:
  platform::Form* controlForm_ = nullptr;
  std::string controlName_;
};

class TExtendedToolGroup : public TControlTool {
  KESTX_CLASS(TExtendedToolGroup)
 public:
  ~TExtendedToolGroup() override;

  TKESTUForm* Form() const { return form_; }
  virtual void SetForm(TKESTUForm* form);
  virtual void AddSubTools(TTool* tool);
  TTool* AddTool(TTool* tool) override;
  TTool* CreateToolByModel(TToolModel* model) override;
  void ApplyModel() override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
  std::uint8_t Align() const override { return align_; }
  void SetAlign(std::uint8_t value) override;

  // The actions in list order; Actual is the one the Actual... properties
  // address (nil for none).
  const std::vector<std::unique_ptr<TAction>>& Actions() const { return actions_; }
  TAction* Actual() const { return actual_; }
  void SetActual(TAction* action) { actual_ = action; }
  // The action of the list that stands for the tool; nil for none.
  TToolAction* ActionOfTool(const TTool* tool) const;
  platform::ImageList* Images() const { return images_.get(); }
  // Destroys buttons, actions, images and sub-tools; no action is current.
  void ClearGroup();
  // The form is about to end: the actions go with it, the window frees
  // what they showed in one piece.
  void ReleaseForm();
  // Each image of the model, unless it has none or says NoImages.
  void AddModelImages(TToolModel* model);
  // A tool action for the tool with the model's name, comment and image.
  void AddToolActionFor(TTool* tool, TToolModel* model);

  // The published properties.
  bool Flat() const;
  void SetFlat(bool value);
  std::int32_t ButtonHeight() const;
  void SetButtonHeight(std::int32_t value);
  std::int32_t ButtonWidth() const;
  void SetButtonWidth(std::int32_t value);
  bool ShowCaptions() const;
  void SetShowCaptions(bool value);
  bool Wrapable() const;
  void SetWrapable(bool value);
  std::int32_t ImageHeight() const;
  void SetImageHeight(std::int32_t value);
  std::int32_t ImageWidth() const;
  void SetImageWidth(std::int32_t value);
  bool AutoDock() const;
  void SetAutoDock(bool value);
  void NewImage(const std::string& fileName);
  void NewScriptAction(const std::string& unused);
  void NewToolAction(const std::string& name);
  void NewSeparator(const std::string& text);
  void FindActionName(const std::string& name);
  std::string ActualCaption() const;
  void SetActualCaption(const std::string& caption);
  std::string ActualHint() const;
  void SetActualHint(const std::string& hint);
  std::int32_t ActualImageIndex() const;
  void SetActualImageIndex(std::int32_t index);
  std::string ActualScript() const;
  void SetActualScript(const std::string& script);
  TTool* ActualTool() const;
  void SetActualTool(TTool* tool);
  bool ActualVisible() const;
  void SetActualVisible(bool value);
  std::string ActualShortCut() const;
  void SetActualShortCut(const std::string& text);

 protected:
  // What a press of a tool action does; a group posts code 4 with the tool.
  virtual void ToolActionExecuted(TToolAction& action);
  // The name of the tool bar the group makes in its form.
  virtual std::string BarName() const;
  // The window the actions live in; nil before the group has a form.
  platform::Form* Window() const;
  // Makes an action of the list, becoming Actual, with its check-style
  // button unless the caller adds it once the action is filled in.
  template <class A>
  A* NewAction(bool withButton);
  // Adds the buttons of the action to the group's bar.
  virtual void AddActionButton(TAction& action);
  // The tool bar's name; empty for a group without its own bar.
  std::string barName_;
  std::unique_ptr<platform::ImageList> images_;

 private:
  TToolAction* MakeToolAction(const std::string& name, bool withButton);

  TKESTUForm* form_ = nullptr;
  std::vector<std::unique_ptr<TAction>> actions_;
  TAction* actual_ = nullptr;
  std::uint8_t align_ = 0;
  int nextActionId_ = 0;
};

// The group of the form's menu bar: no bar or images of its own.
class TMenuGroup : public TExtendedToolGroup {
  KESTX_CLASS(TMenuGroup)
 public:
  void SetForm(TKESTUForm* form) override;
};

void RegisterToolGroupClasses();
