#include "render/interprets/universal_interpret.h"

#include <algorithm>
#include <iterator>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "platform/app_queue.h"
#include "render/devices/tile_device.h"
#include "render/interprets/interpret_layers.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/interpret_timers.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

void LetEventsRun() { platform::Application::Instance().ProcessMessages(); }

}  // namespace

TTickElement* TUniversalInterpret::Timer() {
  if (!timer_.Get()) {
    auto* timer = new TTickElement;
    timer->Interval = 200;
    AddElement(timer);
    timer_.Set(timer);
  }
  return static_cast<TTickElement*>(timer_.Get());
}

TInterpretScript* TUniversalInterpret::Script() const { return static_cast<TInterpretScript*>(script_.Get()); }
void TUniversalInterpret::SetScript(TInterpretScript* script) { SetLinkedElement(script_, script); }

TInterpret* TUniversalInterpret::Interpret() const { return static_cast<TInterpret*>(interpret_.Get()); }
void TUniversalInterpret::SetInterpret(TInterpret* interpret) { interpret_.Set(interpret); }

TTileDevice* TUniversalInterpret::TileDevice() {
  if (!tileDevice_.Get()) SetTileDevice(new TTileDevice);
  return static_cast<TTileDevice*>(tileDevice_.Get());
}

void TUniversalInterpret::SetTileDevice(TTileDevice* device) { SetLinkedElement(tileDevice_, device); }

bool TUniversalInterpret::RunPasses() {
  TInterpretScript* script = Script();
  if (!script) return true;
  for (std::int32_t pass = 0; pass < script->PassesCount(); ++pass) {
    script->SetPass(pass);
    if (script->Error > 0) return true;
    TInterpret::DoIt();
    if (WalkEnded()) return false;
  }
  return true;
}

void TUniversalInterpret::RunTiles() {
  StartProgress("Interpretace Bitmapových Dlaždic", 0, 0);
  SetProgressText("Inicializace....");
  TDevice* target = Device();
  TTileDevice* tiles = TileDevice();
  tiles->Setup(target);
  SetDevice(tiles);
  for (int band = 1; !tiles->Done; ++band) {
    SetProgressText("Interpretace " + std::to_string(band) + ". dlaždice z " + std::to_string(tiles->TileCount));
    tiles->BeginDraw();
    const bool whole = RunPasses();
    tiles->EndDraw();
    if (!whole) break;
    tiles->NextTile();
  }
  SetDevice(target);
  EndProgress();
}

void TUniversalInterpret::DoIt() {
  if (Busy()) return;
  if (Tile) RunTiles();
  else RunPasses();
}

void TUniversalInterpret::BeforeRun() {
  entered_.clear();
  drawn_ = nullptr;
  drawnBy_ = nullptr;
  if (TInterpretScript* script = Script()) script->AttachDevice(Device());
  Timer()->Reset();
  Counter = 0;
}

void TUniversalInterpret::AfterRun() {
  if (TInterpretScript* script = Script()) script->DetachDevice();
  PostMessageToOwners(msgFinished, nullptr, false);
}

bool TUniversalInterpret::LayerVisible(const TInterpretLayer& layer) const {
  const TDevice* device = Device();
  return layer.VisibleAt(device && device->Projection() ? device->Projection()->Scale() : 0);
}

bool TUniversalInterpret::QGoInside(TElement* element) {
  const auto* layer = DynamicCast<TInterpretLayer>(element);
  const bool inside = layer ? LayerVisible(*layer) : CanGoInside && DynamicCast<TEntity>(element) != nullptr;
  if (!inside) return false;
  TInterpret* walkedBy = nullptr;
  if (TInterpret* above = WalkedBy(); above && above->QGoInside(element)) walkedBy = above;
  else if (element == drawn_ && drawnBy_ && drawnBy_->QGoInside(element)) walkedBy = drawnBy_;
  entered_.push_back({element, walkedBy});
  return true;
}

void TUniversalInterpret::LeftInside(TElement* element) {
  TInterpret::LeftInside(element);
  const auto at = std::find_if(entered_.rbegin(), entered_.rend(),
                               [element](const TEntered& entered) { return entered.Entity == element; });
  if (at != entered_.rend()) entered_.erase(std::prev(at.base()), entered_.end());
}

bool TUniversalInterpret::QProcessBefore(TElement* element) {
  const auto* layer = DynamicCast<TInterpretLayer>(element);
  if (!layer) return true;
  if (!LayerVisible(*layer)) return false;
  if (layer->Interpret() && layer->LayerClass()) {
    layerInterpret_.Set(layer->Interpret());
    SetInterpret(layer->Interpret());
    layer->Interpret()->AttachDevice(Device());
    LayerClass = layer->LayerClass();
    InterpretByLayer = true;
  }
  return true;
}

bool TUniversalInterpret::QProcessAfter(TElement* element) {
  if (!DynamicCast<TInterpretLayer>(element)) return false;
  if (InterpretByLayer)
    if (auto* layerInterpret = static_cast<TInterpret*>(layerInterpret_.Get())) layerInterpret->DetachDevice();
  InterpretByLayer = false;
  LayerClass = nullptr;
  layerInterpret_.Set(nullptr);
  SetInterpret(nullptr);
  return false;
}

// An element that the same interpret met walking an entity above it was
// drawn then (an area interpret walks its layer's areas itself): it is not
// drawn twice, and the walk goes on as after drawing it.
void TUniversalInterpret::Draw(TInterpret* interpret, TElement* element) {
  SetInterpret(interpret);
  drawn_ = element;
  drawnBy_ = nullptr;
  if (!interpret) return;
  if (interpret != WalkedBy()) {
    interpret->SetInput(element);
    interpret->DoIt();
    drawnBy_ = interpret;
  }
  CanGoInside = interpret->QGoInsideAfter(element);
}

void TUniversalInterpret::Process(TElement* element) {
  CanGoInside = true;
  drawn_ = nullptr;
  if (!InterpretByLayer) {
    if (TInterpretScript* script = Script(); script && script->Accepts(element)) Draw(script->FindInterpret(element), element);
    SetInterpret(nullptr);
  } else if (LayerClass && element->InheritsFrom(LayerClass)) {
    Draw(static_cast<TInterpret*>(layerInterpret_.Get()), element);
  }
  TTickElement& timer = *Timer();
  if (!timer.Alarm()) return;
  timer.Pause = true;
  LetEventsRun();
  if (BreakWork()) throw EBreakInterpret("Konec intepretace");
  timer.Reset();
}

void TUniversalInterpret::SetBreakWork(bool value) {
  TInterpret::SetBreakWork(value);
  if (TInterpret* running = Interpret(); running && running != this) running->SetBreakWork(value);
}

void TUniversalInterpret::ReView(TKestuMessage* message, bool& handled) {
  LetEventsRun();
  handled = true;
  if (Busy()) return;
  TDevice* device = Device();
  const bool whole = !message || !message->Data();
  if (device && whole) device->BeginDraw();
  TInterpret::ReView(message, handled);
  if (device) device->EndDraw();
}

void TUniversalInterpret::ReViewArea(TKestuMessage* message, bool& handled) {
  LetEventsRun();
  auto* area = message ? DynamicCast<TRectEntity>(message->Data()) : nullptr;
  if (!area) return;
  handled = true;
  TDevice* device = Device();
  if (Busy() || !device) return;
  TRealRect margin;
  area->BoundRect()->GetMarginRect(margin);
  T_Page& page = *device->Page();
  device->Projection()->SetClipRect(margin);
  page.ClipActive = true;
  device->BeginDraw();
  message->SetData(nullptr);
  TInterpret::ReView(message, handled);
  page.ClipActive = false;
  page.ClipRect = page.PageRect;
  device->EndDraw();
}

TClass TUniversalInterpret::StaticClass() {
  static const TClassInfo info = DescribeClass<TUniversalInterpret>(
      "TUniversalInterpret", TInterpret::StaticClass(), "I_uni",
      {NotStored(AccessorProp<TUniversalInterpret, TTickElement*>(
           "Timer", [](const TUniversalInterpret& u) { return const_cast<TUniversalInterpret&>(u).Timer(); },
           nullptr)),
       ReadWriteProp("Script", &TUniversalInterpret::Script, &TUniversalInterpret::SetScript),
       FieldProp("CanGoInside", &TUniversalInterpret::CanGoInside),
       FieldProp("Counter", &TUniversalInterpret::Counter),
       NotStored(ReadWriteProp("Interpret", &TUniversalInterpret::Interpret, &TUniversalInterpret::SetInterpret)),
       FieldProp("Tile", &TUniversalInterpret::Tile),
       NotStored(AccessorProp<TUniversalInterpret, TTileDevice*>(
           "TileDevice", [](const TUniversalInterpret& u) { return const_cast<TUniversalInterpret&>(u).TileDevice(); },
           [](TUniversalInterpret& u, TTileDevice* d) { u.SetTileDevice(d); })),
       NotStored(FieldProp("InterpretByLayer", &TUniversalInterpret::InterpretByLayer))});
  return &info;
}

void RegisterUniversalInterpretClasses() { RegisterKestuClass(TUniversalInterpret::StaticClass()); }
