#include "forestry/tools/test_control_tool.h"

#include "framework/core/class_registry.h"
#include "platform/form_parts.h"
#include "platform/forms.h"
#include "platform/run_time_controls.h"

namespace {

constexpr const char* kStrip = "TB";

// The edits' tops centre them on the strip.
platform::Bounds Centred(const platform::Form& strip, int left, int width, int height) {
  return {left, (strip.GetBounds().Height - height) / 2, width, height};
}

}  // namespace

TTestControlTool::TTestControlTool() = default;
TTestControlTool::~TTestControlTool() = default;

void TTestControlTool::CreateControl() {
  strip_ = std::make_unique<platform::Form>("TTestControl_Bar");
  platform::Form& strip = *strip_;
  platform::AddRunTimeEdit(strip, "Ex", Centred(strip, 20, 100, 15));
  platform::AddRunTimeLabel(strip, "Lx", " X: ", 0);
  platform::AddRunTimeEdit(strip, "Ey", Centred(strip, 140, 100, 8));
  platform::AddRunTimeLabel(strip, "Ly", " Y: ", 120);
  SetControl(strip_.get(), kStrip);
}

void TTestControlTool::AddOwner(TElement* owner) {
  TControlTool::AddOwner(owner);
  auto* list = DynamicCast<TEnvelopeEntity>(owner);
  auto* group = DynamicCast<TExtendedToolGroup>(list ? list->Wrapped() : owner);
  if (group && group->HasControl() && strip_) platform::PlaceFormInToolBar(*strip_, *group->ControlForm(), group->ControlName());
}

TClass TTestControlTool::StaticClass() {
  using E = TTestControlTool;
  static const TClassInfo info = DescribeClass<E>("TTestControlTool", TControlTool::StaticClass(), "T_Monitors",
                                                  {ReadWriteProp("Text", &E::Text, &E::SetText)});
  return &info;
}

void RegisterTestControlToolClasses() { RegisterKestuClass(TTestControlTool::StaticClass()); }
