#pragma once
// A tool of a control group that shows, in the group's bar, a strip "TB"
// with two labelled edits made at run time.
#include <memory>
#include <string>

#include "app/tool_groups/tool_groups.h"

namespace platform {
class Form;
}

class TTestControlTool : public TControlTool {
  KESTX_CLASS(TTestControlTool)
 public:
  TTestControlTool();
  ~TTestControlTool() override;

  // Reads empty; what is written is ignored.
  std::string Text() const { return {}; }
  void SetText(const std::string&) {}

  void CreateControl() override;
  // Added to a tool group, the strip goes into the group's bar.
  void AddOwner(TElement* owner) override;

 private:
  std::unique_ptr<platform::Form> strip_;
};

void RegisterTestControlToolClasses();
