#pragma once
// The fixture of the shell's tests: the program's classes, a folder of its
// own for the program file and its INI file, and windows offscreen without a
// person (message boxes answered by the recording dialogs).
#include <string>
#include <vector>

#include "app/app_classes.h"
#include "app/startup/main_tool.h"
#include "app/windows/message_window.h"
#include "framework/tools/world.h"
#include "platform/forms.h"
#include "tests/framework/framework_fixture.h"
#include "tests/platform/temp_folder.h"
#include "tests/render/render_fixture.h"

class ShellTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterAppClasses();
    platform::SetUnattended([this](const std::string& line) { Unattended.push_back(line); });
    SetProgramFile(folder.File("kestx"));
    SetProgramArguments({});
  }
  void TearDown() override {
    delete World();
    ReleaseAllTextWindows();
    RunMessages();
    SetProgramFile("");
    SetProgramArguments({});
    platform::SetAttended();
    RestoreProgramPalette();
    FrameworkTest::TearDown();
  }
  std::string File(const std::string& name) const { return folder.File(name); }
  // The INI file beside the program.
  std::string Ini() const { return folder.File("kestx.INI"); }

  TempFolder folder;
  std::vector<std::string> Unattended;
};
