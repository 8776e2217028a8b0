#include "app/command_line/script_tool.h"

#include <memory>

#include "app/command_line/command_line.h"
#include "app/startup/main_tool.h"
#include "framework/core/class_registry.h"

void RunScriptFile(std::string& script) {
  script = ResolveFileName(ProgramDirectory(), script);
  std::unique_ptr<TCommandLine> commandLine(CreateElement<TCommandLine>());
  commandLine->SetFileName(script);
  commandLine->DoIt();
}

void TScriptTool::DoIt() {
  TTool::DoIt();
  if (!Script.empty()) RunScriptFile(Script);
}

void TScriptTool::GetParameterName(int index, std::string& name) {
  if (index == 0) name = "Script";
  else TTool::GetParameterName(index, name);
}

TClass TScriptTool::StaticClass() {
  using S = TScriptTool;
  static const TClassInfo info =
      DescribeClass<S>("TScriptTool", TTool::StaticClass(), "t_ScriptTool", {FieldProp("Script", &S::Script)});
  return &info;
}

void RegisterScriptToolClasses() { RegisterKestuClass(TScriptTool::StaticClass()); }
