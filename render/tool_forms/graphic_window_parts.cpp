#include "render/tool_forms/graphic_window_parts.h"

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "platform/app_queue.h"
#include "render/devices/device.h"
#include "render/devices/device_tool.h"
#include "render/interprets/interpret.h"
#include "render/interprets/universal_interpret.h"
#include "render/tool_forms/interface_tool.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/missing_bounds.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr int kSelectTool = 4;

}  // namespace

bool TRedrawState::DeferReView(TInterpret* interpret) {
  if (!interpret) return false;
  // While it prints, the interpret draws on the printer: the window waits
  // for the print run's end without breaking the printed page.
  if (interpret->Printing) {
    reViewPending_ = true;
    return true;
  }
  if (!interpret->Busy()) return false;
  reViewPending_ = true;
  interpret->SetBreakWork(true);
  return true;
}

bool TRedrawState::DeferClose(TInterpret* interpret) {
  const bool printing = interpret && interpret->Printing;
  const bool busy = interpret && interpret->Busy();
  // Within a redraw the owner would free the window under it: the redraw
  // closes it when it ends; a print run ends with msgPrintDone.
  if (!printing && !busy && depth_ == 0) return false;
  closePending_ = true;
  if (busy && !printing) interpret->SetBreakWork(true);
  return true;
}

bool TRedrawState::Run(TElement& tool, const std::function<void()>& draw, const std::function<void()>& after) {
  const TElementLink self(&tool);
  ++depth_;
  try {
    draw();
    after();
  } catch (...) {
    --depth_;
    throw;
  }
  platform::Application::Instance().ProcessMessages();
  if (!self.Get()) return false;
  --depth_;
  return true;
}

void TRedrawState::WalkReported(TKestuMessage* message, const std::function<void()>& finish) {
  const auto* walker = message ? DynamicCast<TUniversalInterpret>(message->Sender()) : nullptr;
  if (walker && !walker->Printing && depth_ == 0) finish();
}

void TRedrawState::Finish(const std::function<void()>& close, const std::function<void()>& reView) {
  if (closePending_) {
    closePending_ = false;
    close();
  } else if (reViewPending_) {
    reViewPending_ = false;
    reView();
  }
}

void FitElementToDevice(TDevice* device, TElement* element) {
  if (!device || !device->Projection() || !element) return;
  TRealRect extent;
  if (auto* point = DynamicCast<TCoordinate>(element)) {
    point->GetExtent(extent);
  } else if (auto* entity = DynamicCast<TRectEntity>(element); entity && entity->IsValid()) {
    return device->Projection()->FitRectangle(entity->BoundRect(), device->Page());
  } else if (!CompleteMissingBounds(element, extent)) {
    // Nothing it holds has a place: the view stays as it was.
    return;
  }
  // An input without bounds (a layer read without them, or an entity that
  // has none) gets them from what it holds: the view shows that, and the
  // interprets, which pass by what lies off the page, can place it.
  device->Projection()->FitRectOnPage(extent, device->Page());
}

void SetEnvelopedInput(TDeviceTool& tool, TElement* element, const std::function<void(TElement*)>& setInput) {
  TElement* old = tool.Input();
  if (element && element == old) return;
  TRectEntity* envelope = nullptr;
  if (element) {
    // The window itself or its owner would end up holding itself: refused
    // before an envelope is made that nothing would free.
    tool.CheckNewHeld(element);
    // The new envelope takes the element before the old envelope goes: the
    // element may have lived only in it.
    envelope = CreateElement<TRectEntity>();
    envelope->SetName("Obálka");
    envelope->AddEntity(element);
    tool.AddElement(envelope);
  }
  setInput(envelope);
  if (old) tool.FreeElement(old);
  FitElementToDevice(tool.GetDevice(), element);
}

std::uint32_t DevicePageColor(const TDevice* device) {
  return device && device->Page() ? device->Page()->Color() : 0;
}

void SetDevicePageColor(TDevice* device, std::uint32_t colour) {
  if (device && device->Page()) device->Page()->SetColor(colour);
}

TInterpretScript* UniversalScript(const TInterpret* interpret) {
  const auto* universal = DynamicCast<TUniversalInterpret>(interpret);
  return universal ? universal->Script() : nullptr;
}

void SetUniversalScript(TInterpret* interpret, TInterpretScript* script) {
  if (auto* universal = DynamicCast<TUniversalInterpret>(interpret)) universal->SetScript(script);
}

namespace {

void RequestSelectionOfFirst(const std::vector<TTool*>& tools, const std::function<bool(const TTool&)>& wanted) {
  for (TTool* tool : tools) {
    if (!tool || !wanted(*tool)) continue;
    tool->PostMessageToOwners(kSelectTool, tool, false);
    return;
  }
}

}  // namespace

void RequestSelectionByName(const std::vector<TTool*>& tools, const std::string& name) {
  RequestSelectionOfFirst(tools, [&name](const TTool& tool) { return tool.GetName() == name; });
}

void RequestSelectionByClassName(const std::vector<TTool*>& tools, const std::string& className) {
  TClass cls = FindKestuClass(className);
  if (!cls) return;
  RequestSelectionOfFirst(tools, [cls](const TTool& tool) { return tool.InheritsFrom(cls); });
}
