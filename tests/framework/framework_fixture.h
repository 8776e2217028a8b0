#pragma once
#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <vector>

#include "framework/core/elements.h"
#include "framework/core/framework_classes.h"
#include "framework/core/messages.h"
#include "framework/tools/tools.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"

// Registers the framework, records message boxes, and delivers queued
// framework messages to their receivers (nil receivers to MainTool).
class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFrameworkClasses();
    platform::SetDialogs(&dialogs);
    platform::Application::Instance().SetMessageHook([this](platform::AppMessage& message, bool& handled) {
      if (TKestuMessage* kestu = KestuMessageOf(message))
        DeliverKestuMessage(kestu, handled, [this] { return MainTool; });
    });
    platform::Application::Instance().SetExceptionHook([this](std::exception_ptr error) {
      try {
        std::rethrow_exception(error);
      } catch (const std::exception& e) {
        Exceptions.push_back(e.what());
      }
    });
  }
  void TearDown() override {
    DiscardQueuedKestuMessages();
    platform::Application::Instance().SetMessageHook(nullptr);
    platform::Application::Instance().SetExceptionHook(nullptr);
    platform::SetDialogs(nullptr);
  }
  static void RunMessages() { platform::Application::Instance().ProcessMessages(); }
  // The texts of the message boxes shown so far.
  std::vector<std::string> Boxes() const {
    std::vector<std::string> texts;
    for (const auto& box : dialogs.Messages) texts.push_back(box.Text);
    return texts;
  }

  platform::RecordingDialogs dialogs;
  TElement* MainTool = nullptr;
  std::vector<std::string> Exceptions;
};

// The text of the E that run raises, or "no error".
template <class E = std::exception, class Run>
std::string ErrorOf(Run run) {
  try {
    run();
  } catch (const E& error) {
    return error.what();
  }
  return "no error";
}

// An element reference as property text.
inline std::string Handle(TElement* element) { return std::to_string(HandleOfElement(element)); }

inline std::string Join(const std::vector<std::string>& parts, const std::string& separator = " ") {
  std::string joined;
  for (std::size_t i = 0; i < parts.size(); ++i) joined += (i ? separator : "") + parts[i];
  return joined;
}

// A new element of class T with the name, added to the parent when there is one.
template <class T = TOwnerEntity>
T* Named(const std::string& name, TEntity* parent = nullptr) {
  auto* element = new T;
  if (!name.empty()) element->SetName(name);
  if (parent) parent->AddElement(element);
  return element;
}

// Counts its living instances, so tests can tell what was freed.
template <class Base>
class Tracked : public Base {
 public:
  Tracked() { ++Alive; }
  ~Tracked() override { --Alive; }
  static inline int Alive = 0;
};

// A hook tool of a walk: notes its mark and each input's name; as an inside
// test it answers (has an Output) for names without an "x" only.
class TNoteTool : public TTool {
 public:
  TNoteTool(std::vector<std::string>& notes, std::string mark) : notes_(notes), mark_(std::move(mark)) {}
  void DoIt() override {
    notes_.push_back(mark_ + Input()->GetName());
    SetOutput(Input()->GetName().find('x') == std::string::npos ? Input() : nullptr);
  }

 private:
  std::vector<std::string>& notes_;
  std::string mark_;
};

// Stands in for the main tool or an owner: keeps every message it receives.
class TRecorder : public TOwnerEntity {
 public:
  struct Entry {
    int Code;
    std::string Sender;
    std::string Text;  // of a text message, or the process of a progress message
    int Max = 0;
    int Progress = 0;
  };
  std::vector<Entry> Messages;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    Entry entry{message->Message, message->Sender() ? message->Sender()->GetName() : "nil", ""};
    if (auto* text = DynamicCast<TKestuTextMessage>(message)) entry.Text = text->Text;
    if (auto* progress = DynamicCast<TProgressMessage>(message))
      entry = {entry.Code, entry.Sender, progress->ProcessName, progress->MaxProgress, progress->Progress};
    Messages.push_back(entry);
    handled = true;
  }
  // "code<sender[ text]" for each message, joined by ", ".
  std::string Log() const {
    std::vector<std::string> lines;
    for (const Entry& m : Messages) lines.push_back(std::to_string(m.Code) + "<" + m.Sender + (m.Text.empty() ? "" : " " + m.Text));
    return Join(lines, ", ");
  }
};
