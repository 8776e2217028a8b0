#pragma once
// Running a script file of the command-line language from a button, menu
// item or tool: the script tool, and the run that script actions share.
#include <string>

#include "framework/tools/tools.h"

// Runs the script file through a fresh command line; a name relative to
// the program's directory is made absolute first and stored back.
void RunScriptFile(std::string& script);

class TScriptTool : public TTool {
  KESTX_CLASS(TScriptTool)
 public:
  // The script file's name.
  std::string Script;

  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;
};

void RegisterScriptToolClasses();
