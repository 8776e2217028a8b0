#pragma once
// The guide export dialog: which map series go out, and into which folder.
// It edits the program's options, which it reaches through the world's main
// tool and its published "Options" element by property name.
#include "render/tool_forms/dialog_tools.h"

class TKESTXDialog : public TKestuDialog {
  KESTX_CLASS(TKESTXDialog)
 public:
  void CreateForm() override;
  // Shows the options in the controls; on OK writes the controls back, on
  // anything else leaves the options as they were.
  void DoIt() override;
  // Lets the user pick the export folder into the folder field.
  void b_PathClick();
};

void RegisterExportDialogClasses();
