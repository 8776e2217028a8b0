#pragma once
// The fixture of the tool-group and extended-form tests: the program's
// classes, a program folder, a main tool that keeps the message-window
// lines, and tools that count their runs and record what reaches them.
#include <string>
#include <vector>

#include "app/app_classes.h"
#include "app/startup/main_tool.h"
#include "app/tool_groups/tool_groups.h"
#include "framework/core/framework_classes.h"
#include "framework/values/tool_models.h"
#include "render/tool_forms/interface_tool.h"
#include "tests/platform/temp_folder.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

class TCountingTool : public TTool {
 public:
  int runs = 0;
  void DoIt() override {
    TTool::DoIt();
    ++runs;
  }
};

// An interface tool that writes what happens to it into a shared journal,
// handles the codes it is told to and may refuse to give way.
class TJournalTool : public TInterfaceTool {
 public:
  std::vector<std::string>* journal = nullptr;
  std::vector<int> handles;
  bool refuse = false;
  void Activate() override { journal->push_back(GetName() + " activated"); }
  void Deactivate() override { journal->push_back(GetName() + " deactivated"); }
  bool CanCloseActive() override { return !refuse; }
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    journal->push_back(GetName() + " " + std::to_string(message->Message));
    for (int code : handles) handled = handled || code == message->Message;
  }
};

class ToolGroupsTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    RegisterFrameworkClasses();
    RegisterAppClasses();
    platform::SetUnattended([](const std::string&) {});
    SetProgramFile(dir.File("kestx"));
    MainTool = &log;
  }
  void TearDown() override {
    RunMessages();
    SetProgramFile("");
    ToolFormsTest::TearDown();
  }
  // A tool model with the sub-tool models of names and classes.
  static TToolModel* Model(const std::string& name,
                           const std::vector<std::pair<std::string, std::string>>& tools) {
    auto* model = new TToolModel;
    model->SetName(name);
    for (const auto& [toolName, className] : tools) {
      model->NewToolName(toolName);
      model->LastToolModel()->ElementClassName = className;
    }
    return model;
  }

  TempFolder dir;
  TLineRecorder log;
};
