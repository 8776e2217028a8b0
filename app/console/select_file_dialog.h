#pragma once
// A small tool that lets a script ask the user for a file name.
#include <string>

#include "framework/tools/tools.h"

class TSelectFileDialog : public TTool {
  KESTX_CLASS(TSelectFileDialog)
 public:
  std::string Filter;
  std::string InitialDir;
  std::string FileName;

  // Shows an open dialog; a confirmed choice becomes FileName, a cancelled
  // one leaves it as it was.  From a program's thread the dialog is shown on
  // the user-interface thread, which alone shows windows.
  void DoIt() override;
};
