#pragma once
// A console on a world of its own, owned by a main tool that frees it when
// it closes and keeps the lines sent to the message window; its INI file
// lies beside the program in the test's folder.
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/command_line/command_line.h"
#include "app/console/command_line_dlg.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "oil/runtime/program_run.h"
#include "platform/app_queue.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/ini_file.h"
#include "tests/app/shell_fixture.h"

// Keeps the message window's lines and frees the tools that close.
class TLogKeeper : public TTechnology {
 public:
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && text->Message == msgLogText)
      Lines.push_back(text->Text);
    TTechnology::ReceiveMessage(message, handled);
  }
  std::vector<std::string> Lines;
};

// Presses a button of the console's window (or F9 in its command pane) from
// inside a line of its own run (the lines let the event queue run, as a
// person's clicks would); counts its runs.
class TPressTool : public TResultTool {
  KESTX_CLASS(TPressTool)
 public:
  std::string Button;
  void GetParameterName(int index, std::string& name) override { name = index == 0 ? "Button" : ""; }
  void DoIt() override {
    TResultTool::DoIt();
    ++Runs;
    Press(Button);
  }
  static void Press(const std::string& button) {
    if (!Window) return;
    if (button == "F9") platform::UserKeyOn(*Window, "CMemo", platform::vkF9);
    else platform::UserClick(*Window, button);
  }
  static inline platform::Form* Window = nullptr;
  static inline int Runs = 0;
};

inline TClass TPressTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TPressTool>("TPressTool", TResultTool::StaticClass(), "test",
                                                           {FieldProp("Button", &TPressTool::Button)});
  return &info;
}

// Queues the press the first time it runs instead: it arrives when the queue
// runs after that line, before the next one, as a person's press during a
// long line would.
class TQueuedPressTool : public TPressTool {
  KESTX_CLASS(TQueuedPressTool)
 public:
  void DoIt() override {
    TResultTool::DoIt();
    if (Runs++ > 0) return;
    platform::Application::Instance().Invoke([button = Button] { Press(button); });
  }
};

inline TClass TQueuedPressTool::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TQueuedPressTool>("TQueuedPressTool", TPressTool::StaticClass(), "test", {});
  return &info;
}

class ConsoleTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    RegisterKestuClass(TPressTool::StaticClass());
    RegisterKestuClass(TQueuedPressTool::StaticClass());
    TPressTool::Runs = 0;
    auto* world = new TWorld;
    SetWorld(world);
    keeper = new TLogKeeper;
    world->SetMainTool(keeper);
    MainTool = keeper;
    forest = new TOwnerEntity;
    forest->SetName("LES");
    for (const char* name : {"b", "a", "b"}) forest->AddNew("TOwnerEntity", name);
    world->AddElement(forest);
  }
  void TearDown() override {
    TPressTool::Window = nullptr;
    if (auto* program = DynamicCast<TOilProgram>(World()->ObjectModel()->FindElementByName("PROGRAM")))
      program->StopRun();
    ShellTest::TearDown();
  }
  // A console the main tool owns, on the world, shown unless asked.
  TCommandLineDlg* Open(bool show = true) {
    auto* console = new TCommandLineDlg;
    keeper->AddTool(console);
    console->SetRootElement(World());
    if (show) console->DoIt();
    TPressTool::Window = &console->Window();
    return console;
  }
  // Closes through the window's close box; answers whether it closed, and
  // lets the main tool free the console.
  static bool CloseBox(TCommandLineDlg* console) {
    const bool closed = platform::UserCloseWindow(console->Window());
    RunMessages();
    return closed;
  }
  static int ProgramCount() {
    int count = 0;
    for (TElement* element : World()->ObjectModel()->Children()) count += element->GetName() == "PROGRAM";
    return count;
  }
  static TOilProgram* Program() {
    return DynamicCast<TOilProgram>(World()->ObjectModel()->FindElementByName("PROGRAM"));
  }
  // Delivers messages until the condition holds; false after the time limit.
  static bool RunUntil(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > end) return false;
      RunMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  TLogKeeper* keeper = nullptr;
  TOwnerEntity* forest = nullptr;
};
