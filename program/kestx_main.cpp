// The program: one world, one main tool, the start-up, then the event loop
// until the user agrees to quit.
//
// With KESTX_UNATTENDED set in the environment nobody sits at the program:
// every dialog and message box takes its default button and its text goes to
// the standard output, as does every line of the message window, and without
// a display Qt's offscreen platform is used.  The exit status tells a failed
// start-up script (1) and an export that did not write every chosen block (2)
// apart, and adds them when both happened.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/startup/main_tool.h"
#include "app/windows/message_window.h"
#include "forestry/forestry_classes.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/forms.h"
#include "platform/qt_messages.h"

int main(int argc, char** argv) {
  platform::EndOnFatalQtMessage();
  const char* unattended = std::getenv("KESTX_UNATTENDED");
  if (unattended != nullptr && *unattended != '\0') {
    platform::UseOffscreenWithoutDisplay();
    platform::SetUnattended([](const std::string& line) { std::cout << line << std::endl; });
  }
  platform::Application& application = platform::Application::Instance();
  application.SetTitle("KESTX");
  SetProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
  RegisterForestryClasses();

  TOldMainTool::Create(TMainTool::StaticClass());
  TWorld* world = World();
  int result = 0;
  if (world != nullptr && world->MainTool() != nullptr) {
    world->MainTool()->DoIt();
    result = application.Run(argc, argv);
    // The run's own failures, unless the window system already failed it.
    TWorld* after = World();
    auto* main = after ? DynamicCast<TMainTool>(after->MainTool()) : nullptr;
    if (main && result == 0) result = main->ExitStatus();
  }
  delete World();
  ReleaseAllTextWindows();
  return result;
}
