#pragma once
// The project dialog: edits the project given as Input, or makes a new one
// under a free default name in ProjectDirectory; the project is the Output.
#include <string>

#include "render/tool_forms/dialog_tools.h"

class TLHCProjectDialog : public TKestuDialog {
  KESTX_CLASS(TLHCProjectDialog)
 public:
  // Where new projects go.
  std::string ProjectDirectory;

  bool NewProject() const { return newProject_; }
  // "Nový projekt", else "Nový projekt" + the smallest n from 1 whose project
  // file (".KPR") the folder does not hold, letter case ignored.
  static std::string DefaultProjectName(const std::string& directory);

  void CreateForm() override;
  // From a program thread the form shows on the user-interface thread.
  void DoIt() override;

 private:
  void ShowProject();
  void PickFolder(const std::string& edit);

  bool newProject_ = false;
};

void RegisterProjectDialogClasses();
