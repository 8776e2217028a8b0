#pragma once
// Extended form tools: form tools whose window scripts assemble out of tool
// groups, shown as the window's tool bars and menu.  Special groups carry the
// window's tasks, the tools of the current task and monitors that see every
// message; one tool of one group is active and gets the window's device,
// input and mouse events.
#include <string>

#include "framework/forms/base_forms.h"
#include "render/tool_forms/form_tool.h"

class TExtendedToolGroup;
class TFrameSelector;
class TMenuGroup;
class TTools;
class TTechnology;

// The window: four bar areas, a status bar, and a menu tool bar showing the
// main menu "Zobrazení", "Úlohy" and "-".
class TExtendedKESTU_Form : public TKESTUForm {
 public:
  // The layout of a descendant window, or the plain one.
  explicit TExtendedKESTU_Form(const std::string& layout = "TExtendedKESTU_Form");
  platform::Menu* MainMenu() { return &Window().MainMenu("MainMenu"); }
  // The menu tool bar shows the menu anew (none first, so it is rebuilt).
  void ResetMenuBar(platform::Menu* menu);
};

class TExtendedFormTool : public TFormTool {
  KESTX_CLASS(TExtendedFormTool)
 public:
  ~TExtendedFormTool() override;

  TMenuGroup* Menu() const;
  TExtendedToolGroup* Tasks() const;
  TExtendedToolGroup* TaskTools() const;
  TExtendedToolGroup* Monitors() const;
  TTechnology* FrameSelectors() const;
  TExtendedKESTU_Form* ExtendedForm() const;
  // The active sub-tool when it is a group, else nil.
  TExtendedToolGroup* CurrentGroup();
  TTool* CurrentTask() const;
  // The active tool of FrameSelectors when it is a frame selector.
  TFrameSelector* CurrentFrameSelector() const;

  TTools* Groups() { return GetTools(); }
  void SetGroups(TTools* tools) { SetTools(tools); }
  void NewGroupName(const std::string& name);
  bool AutoDock() const;
  void SetAutoDock(bool value);

  virtual platform::Menu* GetMainMenu();
  virtual std::string GetText();
  virtual void SetText(const std::string& text);
  virtual void ClearTaskTools();
  virtual void ClearTasks();
  virtual void FillTasks(TTool* tool);
  virtual void FillTaskTools(TTool* task);
  virtual void ChooseTasks(TKestuMessage* message, bool& handled);
  virtual void StartTask(TKestuMessage* message);
  virtual void SelectTool(TKestuMessage* message, bool& handled);
  virtual void ShowStatusText(TKestuMessage* message);

  TTool* AddTool(TTool* tool) override;
  TTool* GetActiveTool() override;
  void SetActiveTool(TTool* tool) override;
  void CreateModelTools() override;
  void CreateForm() override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

 protected:
  // The groups let the window go before it ends.
  void ReleaseGroupsForm();

 private:
  // The group's menu item lists the group's actions, last to first.
  void FillMenuItem(const std::string& menuItem, TExtendedToolGroup* group);
  void ResetMenuBar();
  void SelectInGroup(TExtendedToolGroup& group, TTool* tool, TKestuMessage* message, bool& handled);
  void SelectTask(TTool* task);

  TElementLink menu_;
  TElementLink tasks_;
  TElementLink taskTools_;
  TElementLink monitors_;
  TElementLink frameSelectors_;
};

void RegisterExtendedFormClasses();
