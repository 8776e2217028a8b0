#include "render/interprets/interpret.h"

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "render/devices/device.h"
#include "spatial/geometry/projection.h"

template <class F>
void TInterpret::ForEachSubInterpret(F&& f) {
  for (int i = 0; i < ToolCount(); ++i) {
    if (auto* sub = DynamicCast<TInterpret>(ToolAt(i))) f(*sub);
  }
}

TDevice* TInterpret::Device() const { return static_cast<TDevice*>(device_.Get()); }

void TInterpret::SetDevice(TDevice* device) {
  TDevice* held = Device();
  if (held == device) return;
  if (held) RemoveElement(held);
  device_.Set(device);
  if (device) AddElement(device);
}

void TInterpret::SetNextSubInterpret(TTool* tool) {
  if (tool) AddTool(tool);
}

void TInterpret::ProcessSubOutput(TElement*) {}
bool TInterpret::IsItsClass(TElement* element) { return element != nullptr; }
void TInterpret::CreateSubInterprets() {}

void TInterpret::ClearSubInterprets() {
  if (TTools* tools = ExistingTools()) tools->Clear();
}

void TInterpret::AttachDevice(TDevice* device) {
  SetBreakWork(false);
  SetBusy(false);
  SetDevice(device);
  ForEachSubInterpret([device = Device()](TInterpret& sub) { sub.AttachDevice(device); });
}

void TInterpret::DetachDevice() {
  SetDevice(nullptr);
  ForEachSubInterpret([](TInterpret& sub) { sub.DetachDevice(); });
}

void TInterpret::BeforeRun() {}
void TInterpret::AfterRun() {}
bool TInterpret::QGoInsideAfter(TElement*) { return false; }

void TInterpret::ReView(TKestuMessage* message, bool& handled) {
  handled = true;
  if (Busy()) return;
  TElement* element = message ? message->Data() : nullptr;
  if (!element) {
    DoIt();
    return;
  }
  const TElementLink remembered(Input());
  SetInput(element);
  DoIt();
  SetInput(remembered.Get());
}

void TInterpret::ReViewArea(TKestuMessage*, bool&) {}

void TInterpret::AfterConstruction() {
  TRecursor::AfterConstruction();
  CreateSubInterprets();
}

bool TInterpret::QGoInside(TElement* element) { return DynamicCast<TEntity>(element) != nullptr; }
bool TInterpret::QProcessBefore(TElement*) { return true; }

void TInterpret::Process(TElement* element) {
  for (int i = 0; i < ToolCount(); ++i) {
    auto* sub = DynamicCast<TInterpret>(ToolAt(i));
    if (!sub || !sub->IsItsClass(element)) continue;
    sub->SetInput(element);
    sub->DoIt();
    ProcessSubOutput(sub->Output());
  }
}

namespace {

// Interprets run inside one another's walks; a failure is told once for the
// outermost walk, not once for every element it befalls.
thread_local int walkDepth = 0;
thread_local bool failureLogged = false;

class TWalkScope {
 public:
  TWalkScope() {
    if (walkDepth++ == 0) failureLogged = false;
  }
  ~TWalkScope() { --walkDepth; }
  TWalkScope(const TWalkScope&) = delete;
  TWalkScope& operator=(const TWalkScope&) = delete;
};

}  // namespace

void TInterpret::LogWalkFailure(const std::string& text) {
  if (failureLogged) return;
  failureLogged = true;
  Log(text);
}

void TInterpret::DoIt() {
  if (Busy()) return;
  const TWalkScope scope;
  SetBusy(true);
  walkEnded_ = false;
  try {
    try {
      BeforeRun();
      TRecursor::DoIt();
      AfterRun();
    } catch (const EBreakInterpret&) {
      throw;
    } catch (const std::exception& failure) {
      LogWalkFailure(failure.what());
      throw;
    }
  } catch (...) {
    // A break or a failure ends the walk; a redraw requested meanwhile
    // starts it again.
    walkEnded_ = true;
    if (RestartRequest()) {
      try {
        AfterRun();
      } catch (...) {
      }
      PostMessage(msgReView, this, nullptr, false);
    }
  }
  SetBusy(false);
  SetBreakWork(false);
}

void TInterpret::SetBreakWork(bool value) {
  TRecursor::SetBreakWork(value);
  ForEachSubInterpret([value](TInterpret& sub) { sub.SetBreakWork(value); });
}

void TInterpret::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TRecursor::ReceiveMessage(message, handled);
  if (handled || !message) return;
  if (message->Message == msgReView) ReView(message, handled);
  else if (message->Message == msgReViewArea) ReViewArea(message, handled);
}

void TRectInterpret::AttachDevice(TDevice* device) {
  TInterpret::AttachDevice(device);
  TDevice* attached = Device();
  if (!attached || !attached->Projection()) return;
  TRealRect world;
  attached->VisibleWorldRect(world, true);
  MinX = world.MinX;
  MinY = world.MinY;
  MaxX = world.MaxX;
  MaxY = world.MaxY;
}

TClass TInterpret::StaticClass() {
  static const TClassInfo info = DescribeClass<TInterpret>(
      "TInterpret", TRecursor::StaticClass(), "i_Basic",
      {ReadWriteProp("Device", &TInterpret::Device, &TInterpret::SetDevice),
       NotStored(WriteProp("NextSubInterpret", &TInterpret::SetNextSubInterpret))});
  return &info;
}

TClass TRectInterpret::StaticClass() {
  static const TClassInfo info = DescribeClass<TRectInterpret>(
      "TRectInterpret", TInterpret::StaticClass(), "i_Basic",
      {NotStored(ReadProp("MinX", &TRectInterpret::GetMinX)), NotStored(ReadProp("MinY", &TRectInterpret::GetMinY)),
       NotStored(ReadProp("MaxX", &TRectInterpret::GetMaxX)), NotStored(ReadProp("MaxY", &TRectInterpret::GetMaxY))});
  return &info;
}

void RegisterInterpretClasses() {
  RegisterKestuClass(TInterpret::StaticClass());
  RegisterKestuClass(TRectInterpret::StaticClass());
}
