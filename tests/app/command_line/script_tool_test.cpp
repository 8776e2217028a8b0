// The script tool: its one parameter names the script file, which each run
// takes from the program's directory and keeps absolute; without a script
// a run does nothing.
#include "app/command_line/script_tool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tests/app/tool_groups/tool_groups_fixture.h"

namespace {

class ScriptToolTest : public ToolGroupsTest {
 protected:
  void SetUp() override {
    ToolGroupsTest::SetUp();
    forest = new TOwnerEntity();
    forest->SetName("LES");
    forest->AddNew("TOwnerEntity", "a");
    world->AddElement(forest);
    std::filesystem::create_directories(dir.File("skripty"));
    WriteCp1250File(dir.File("skripty/přejmenuj.kes"), "LES.a.Name = 'přejmenováno'\r\n");
  }
  TOwnerEntity* forest = nullptr;
};

TEST_F(ScriptToolTest, ARunTakesTheScriptFromTheProgramsDirectoryAndAnEmptyScriptRunsNothing) {
  struct Row {
    const char* name;
    std::string parameter;
    std::string script;
    const char* element;
  };
  const Row rows[] = {
      {"no script", "", "", "a"},
      {"relative with back-slashes", "skripty\\přejmenuj.kes", dir.File("skripty/přejmenuj.kes"), "přejmenováno"},
      {"absolute", dir.File("skripty/přejmenuj.kes"), dir.File("skripty/přejmenuj.kes"), "přejmenováno"},
  };
  for (const Row& row : rows) {
    forest->GetElement(0)->SetName("a");
    std::unique_ptr<TScriptTool> tool(CreateElement<TScriptTool>());
    tool->SetParameterByIndex(0, row.parameter);
    tool->DoIt();
    EXPECT_TRUE(tool->RunFlag()) << row.name;
    EXPECT_EQ(tool->Script, row.script) << row.name;
    EXPECT_EQ(forest->GetElement(0)->GetName(), row.element) << row.name;
    EXPECT_TRUE(Boxes().empty()) << row.name;
  }
}

}  // namespace
