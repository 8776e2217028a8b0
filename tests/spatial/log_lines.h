#pragma once
#include <string>
#include <vector>

#include "framework/core/elements.h"
#include "framework/core/messages.h"

// Stands in for the main tool: keeps the text of every log line (code 8).
class TLogLines : public TOwnerEntity {
 public:
  std::vector<std::string> Lines;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && text->Message == msgLogText)
      Lines.push_back(text->Text);
    handled = true;
  }
};
