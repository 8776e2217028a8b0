#include "forestry/hierarchy/psk_selector.h"

#include <iterator>

#include "forestry/hierarchy/hierarchy_lookup.h"
#include "framework/core/class_registry.h"
#include "render/devices/device.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/standard_image_form.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr std::int32_t kPSKSelectorCursor = 18;
constexpr std::int32_t kCrossReach = 5;
// The stand record's keys, one per status panel.
constexpr const char* kKeys[] = {"LHC", "ODDELENI", "DILEC", "POROST", "SKUPINA"};

}  // namespace

void MarkStandArea(TDevice& device, TAreaElement& area) {
  UseMarkPen(device, kMarkRed);
  device.SetBrush({kMarkWhite, platform::BrushStyle::Clear});
  device.DrawArea(&area);
  DrawMarkCross(device, area.GetAbsRefX(), area.GetAbsRefY(), kCrossReach, CrossShape::Diagonal);
  UseMarkPen(device, kMarkWhite);
  DrawMarkCross(device, area.GetAbsRefX(), area.GetAbsRefY(), kCrossReach, CrossShape::Upright);
}

TPSKSelector::TPSKSelector() {
  if (TElement* hierarchy = ModelHierarchy()) {
    lookup_ = std::make_unique<THeleSkupina>();
    lookup_->SetInput(hierarchy);
  }
}

TPSKSelector::~TPSKSelector() = default;

std::int32_t TPSKSelector::GetCursor() { return kPSKSelectorCursor; }

void TPSKSelector::ShowKeys() {
  TFormToolManager* manager = Manager();
  TStandardImageForm* form = manager ? manager->Form() : nullptr;
  if (!form) return;
  for (int panel = 0; panel < static_cast<int>(std::size(kKeys)); ++panel)
    form->SetPanelText(panel, lookup_->Found ? lookup_->Key(kKeys[panel]) : std::string());
}

void TPSKSelector::MouseMove(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  double x = 0, y = 0;
  if (mouse && lookup_ && !lookup_->Busy() && WorldPointOf(*mouse, x, y)) {
    lookup_->X = x;
    lookup_->Y = y;
    lookup_->Found = false;
    lookup_->DoIt();
    ShowKeys();
  }
  TObjectSelector::MouseMove(message, handled);
}

void TPSKSelector::MouseUp(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || mouse->Button != 0) return;
  handled = true;
  auto* area = lookup_ && lookup_->Found ? DynamicCast<TAreaElement>(lookup_->Output()) : nullptr;
  if (!area) return;
  if (TDevice* device = GetDevice()) {
    MarkStandArea(*device, *area);
    RepaintImage();
  }
  if (ShowProperties) ShowChosenElement(area, mouse->X, mouse->Y);
  SetOutput(area);
  RunOnSelect(area);
}

TClass TPSKSelector::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPSKSelector>("TPSKSelector", TObjectSelector::StaticClass(), "T_Helhie", {});
  return &info;
}

void RegisterPSKSelectorClasses() { RegisterKestuClass(TPSKSelector::StaticClass()); }
