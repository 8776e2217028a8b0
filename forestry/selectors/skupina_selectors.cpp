#include "forestry/selectors/skupina_selectors.h"

#include "block/forest_model/forest_units.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "render/devices/device.h"
#include "render/tool_forms/interaction_events.h"
#include "spatial/geometry/projection.h"

// ---------------------------------------------------------------- TSkupinaLookup

TSkupinaLookup::TSkupinaLookup() = default;
TSkupinaLookup::~TSkupinaLookup() = default;

THeleSkupina& TSkupinaLookup::Lookup() {
  if (!lookup_) {
    lookup_ = std::make_unique<THeleSkupina>();
    lookup_->SetInput(ModelHierarchy());
  }
  return *lookup_;
}

TPorostniSkupina* TSkupinaLookup::Find(double x, double y) {
  THeleSkupina& lookup = Lookup();
  lookup.X = x;
  lookup.Y = y;
  lookup.Found = false;
  lookup.DoIt();
  return lookup.Found ? lookup.PSKObject() : nullptr;
}

// ---------------------------------------------------------------- TSelectSkupina

void TSelectSkupina::KeepAsFrame(TPorostniSkupina* psk) {
  TWorld* world = World();
  TEntity* model = world ? world->ObjectModel() : nullptr;
  if (!model) return;
  auto* select = DynamicCast<TEntity>(model->GetOrCreateElement(TOwnerEntity::StaticClass(), "SELECT"));
  auto* frame = select ? DynamicCast<TRectEntity>(select->GetOrCreateElement(TRectEntity::StaticClass(), "FRAME"))
                       : nullptr;
  if (!frame) return;
  frame->Clear();
  frame->AddElement(psk);
  frame->UpdateRect();
}

void TSelectSkupina::MouseUp(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || mouse->Button != 0) return;
  handled = true;
  TDevice* device = GetDevice();
  TPageProjection* projection = device ? device->Projection() : nullptr;
  if (!projection) return;
  TPorostniSkupina* psk = lookup_.Find(projection->DeviceToWorldX(mouse->X), projection->DeviceToWorldY(mouse->Y));
  if (!psk) return;
  const THeleSkupina& found = lookup_.Lookup();
  Log("Selected: " + found.Key("LHC") + " " + found.Key("ODDELENI") + " " + found.Key("DILEC") + " " +
      found.Key("POROST") + "-" + found.Key("SKUPINA"));
  PostMessageToOwners(msgElementSelected, psk, false);
  KeepAsFrame(psk);
}

// ---------------------------------------------------------------- TSkupinaSelector

void TSkupinaSelector::DoIt() {
  SetOutput(nullptr);
  TPorostniSkupina* psk = lookup_.Find(X, Y);
  if (!psk) return;
  SetOutput(psk);
  PostMessageToOwners(msgElementSelected, psk, false);
}

// ---------------------------------------------------------------- classes

TClass TSelectSkupina::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSelectSkupina>("TSelectSkupina", TInterfaceTool::StaticClass(), "T_Selectors", {});
  return &info;
}

TClass TSkupinaSelector::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSkupinaSelector>("TSkupinaSelector", TFrameSelector::StaticClass(), "T_Selectors", {});
  return &info;
}

void RegisterSkupinaSelectorClasses() {
  RegisterKestuClass(TSelectSkupina::StaticClass());
  RegisterKestuClass(TSkupinaSelector::StaticClass());
}
