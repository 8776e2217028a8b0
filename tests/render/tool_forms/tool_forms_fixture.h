#pragma once
// Tools that record what reaches them, and the fixture of the tool-form tests.
#include <memory>
#include <string>
#include <vector>

#include "framework/core/messages.h"
#include "framework/tools/world.h"
#include "platform/forms.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/tool_form_classes.h"
#include "tests/framework/framework_fixture.h"

// Records the codes, their data and the cursor numbers it receives, and the texts it sent itself (dropped files).
class TCodeRecorder : public TTechnology {
 public:
  std::vector<int> codes;
  std::vector<int> cursors;
  std::vector<TElement*> data;
  std::vector<std::string> texts;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    codes.push_back(message->Message);
    data.push_back(message->Data());
    if (auto* cursor = DynamicCast<TKestuCursorEvent>(message)) cursors.push_back(cursor->Cursor);
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && text->Sender() == this) texts.push_back(text->Text);
    handled = true;
  }
};

// Stands in for the main tool: keeps the lines meant for the message window.
class TLineRecorder : public TTechnology {
 public:
  std::vector<std::string> lines;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && message->Message == msgLogText)
      lines.push_back(text->Text);
    handled = true;
  }
};

// Hands the message to its receiver as the queue would; answers whether it was handled.
template <class Message>
bool Deliver(TElement& receiver, Message message) {
  TKestuMessage* pointer = &message;
  bool handled = false;
  receiver.ReceiveMessage(pointer, handled);
  return handled;
}

// A world of its own, and a recorder of what reaches the main tool.
class ToolFormsTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterToolFormClasses();
    world = std::make_unique<TWorld>();
    SetWorld(world.get());
    MainTool = &mainTool;
  }
  void TearDown() override {
    SetWorld(nullptr);
    world.reset();
    platform::SetAttended();
    FrameworkTest::TearDown();
  }
  // Answers every modal form by pressing the named button.
  static void Press(const char* button) {
    platform::SetModalAnswerer([button](platform::Form& form) { platform::UserClick(form, button); });
  }
  std::unique_ptr<TWorld> world;
  TCodeRecorder mainTool;
};
