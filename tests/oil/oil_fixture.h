#pragma once
// Compiles and runs OIL programs against a world of their own, with message
// boxes recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/core/framework_classes.h"
#include "framework/core/messages.h"
#include "framework/tools/tools.h"
#include "framework/tools/world.h"
#include "oil/compiler/program_compiler.h"
#include "oil/errors/lang_errors.h"
#include "oil/oil_classes.h"
#include "oil/runtime/program_run.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "tests/oil/oil_probes.h"

inline std::vector<std::string> SourceLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Records the boxes it shows and the threads that showed them.
class ThreadDialogs : public platform::RecordingDialogs {
 public:
  int MessageDlg(const std::string& text, platform::MsgDlgType type, unsigned buttons) override {
    threads.push_back(std::this_thread::get_id());
    return RecordingDialogs::MessageDlg(text, type, buttons);
  }
  std::vector<std::thread::id> threads;
};

// The first slot of a program's own variables (after WORLD, MAINTOOL, ACTIVEELEMENT).
constexpr int kFirstSlot = 3;

class OilTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterOilClasses();
    RegisterOilProbes();
    platform::SetDialogs(&dialogs);
    world = std::make_unique<TWorld>();
    main = new TTechnology;
    main->SetName("Main");
    world->SetMainTool(main);
    world->ObjectModel()->SetName("Model");
    SetWorld(world.get());
  }
  void TearDown() override {
    platform::Application::Instance().SetMessageHook(nullptr);
    program.reset();
    SetWorld(nullptr);
    world.reset();
    platform::SetDialogs(nullptr);
  }

  // A new element of the class under the owner.
  template <class T>
  static T* AddNamed(TEntity* owner, const std::string& name) {
    auto* element = new T;
    element->SetName(name);
    owner->AddElement(element);
    return element;
  }
  // Compiles; a compile error fails the test.
  void Compile(const std::string& text) { program = CompileOilProgram(SourceLines(text)); }
  // Compiles and runs on this thread; the messages shown are in dialogs.
  void RunProgram(const std::string& text) {
    dialogs.Messages.clear();
    Compile(text);
    program->Run();
  }
  // Delivers the framework's messages posted while compiling or running, each one's code handed to the action first.
  static void OnEveryMessage(std::function<void(int code)> action) {
    platform::Application::Instance().SetMessageHook([action](platform::AppMessage& message, bool& handled) {
      if (TKestuMessage* kestu = KestuMessageOf(message)) {
        action(kestu->Message);
        DeliverKestuMessage(kestu, handled, [] { return nullptr; });
      }
    });
  }
  // A variable of the program as text, counted from the first of its own.
  std::string Var(int n) { return program->GetStackItem(kFirstSlot + n)->GetAsString(); }
  // The program's variables from the first slot as texts, each followed by '|' (as many as expected holds before
  // its first '!'), then the text of each message box shown after a '!'.
  std::string Outcome(const std::string& expected) {
    std::string texts;
    for (int n = 0; n < std::ranges::count(expected.substr(0, expected.find('!')), '|'); ++n) texts += Var(n) + "|";
    for (const auto& shown : dialogs.Messages) texts += "!" + shown.Text;
    return texts;
  }

  ThreadDialogs dialogs;
  std::unique_ptr<TWorld> world;
  TTechnology* main = nullptr;
  std::unique_ptr<TOilProgram> program;
};

// Delivers this thread's messages until the condition holds; false after the time limit.
inline bool RunUntil(const std::function<bool()>& condition, std::chrono::seconds limit = std::chrono::seconds(20)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    platform::Application::Instance().ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// A row of a table: its name, a program or part of one, and what it gives as one text.
struct Row {
  const char* name;
  std::string text;
  std::string expected;
};

// The compiler error the action raises as "code message @line:column"; empty when it raises none.
template <class Action>
std::string FailureOf(Action action) {
  try {
    action();
  } catch (const TCompilerError& error) {
    return std::to_string(error.Code) + " " + error.what() + " @" + std::to_string(error.ErrorLine) + ":" +
           std::to_string(error.ErrorColumn);
  }
  return "";
}

inline std::string CompileError(const std::string& text) {
  return FailureOf([&] { CompileOilProgram(SourceLines(text)); });
}
