#pragma once
// The task form: a small window of one tool bar, like a tool group's, whose
// buttons choose the tool whose tasks an extended form tool offers.
#include <memory>

#include "app/tool_groups/tool_groups.h"
#include "render/tool_forms/form_tool.h"

class TTaskForm : public TFormTool {
  KESTX_CLASS(TTaskForm)
 public:
  TTaskForm();
  ~TTaskForm() override;

  // The group that shows the bar "ToolBar" (of no window before the form).
  TExtendedToolGroup& Bar() const { return *bar_; }
  // The action chosen last; nil before the first choice.
  TToolAction* Current() const { return current_; }

  void CreateForm() override;
  void ApplyModel() override;
  TTool* CreateToolByModel(TToolModel* model) override;
  // A press of one of the bar's tool actions.
  void Choose(TToolAction& action);

 private:
  std::unique_ptr<TExtendedToolGroup> bar_;
  TToolAction* current_ = nullptr;
};

void RegisterTaskFormClasses();
