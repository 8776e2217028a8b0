#include "forestry/reconstruction/layer_rebuilding.h"

#include <exception>
#include <memory>
#include <unordered_set>
#include <vector>

#include "block/forest_model/lhc_export.h"
#include "block/props/lumar_props.h"
#include "block/topology/line_joining.h"
#include "block/topology/walkers.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "forestry/hierarchy/tool_runs.h"
#include "forestry/reconstruction/lines_to_areas.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "platform/dialogs.h"
#include "spatial/objects/space_entities.h"
#include "spatial/objects/registers.h"

namespace {

std::string Number(const TSpaceEntity& element) { return std::to_string(element.GetSpaceID()); }

// The first area string among the entity's children.
TAreaString* FirstAreaString(const TEntity& entity) {
  for (TElement* child : entity.Children())
    if (auto* list = DynamicCast<TAreaString>(child)) return list;
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- TExtractLHC

void TExtractLHC::DoIt() {
  TRectEntity* gathered = FindOrCreateDataRect(LayerName);
  if (!gathered) return;
  gathered->Clear();
  const ProgressRun progress(*this, LayerName + "extrahování vrstvy z hierarchie", 0, 0);
  SetProgressText("... provádí se");
  if (TRectEntity* hierarchy = Hierarchy()) {
    // The containers of the stand groups and those of the areas that found
    // none of their own, in the order met: one walk finds the names that
    // hold the layer's, and only the layer's containers are kept of them.
    TSelectByName selector;
    selector.SelectedName = LayerName;
    selector.CaseSensitive = false;
    selector.Partialy = true;
    selector.SetInput(hierarchy);
    selector.DoIt();
    if (const auto* found = DynamicCast<TEntity>(selector.Output()))
      for (TElement* element : found->Children())
        if (IsLayerAreaContainer(*element, LayerName)) gathered->AddElement(element);
  }
  gathered->UpdateRect();
}

// ---------------------------------------------------------------- THeleClearLHC

TRectEntity* THeleClearLHC::GlobalLayer() const { return DynamicCast<TRectEntity>(FindDataEntity(LayerName)); }

TRectEntity& THeleClearLHC::WorkingRect(TRectEntity& layer, const char* name) const {
  if (auto* found = DynamicCast<TRectEntity>(layer.FindElementByName(name))) return *found;
  auto* made = CreateElement<TRectEntity>();
  made->SetName(name);
  layer.AddElement(made);
  return *made;
}

void THeleClearLHC::GatherAreas(TRectEntity& layer, TRectEntity& areas) {
  if (!areas.IsEmpty()) areas.Clear();
  const std::vector<TElement*> children(layer.Children().begin(), layer.Children().end());
  for (auto child = children.rbegin(); child != children.rend(); ++child) {
    auto* container = DynamicCast<TRectEntity>(*child);
    if (!container || !IsLayerAreaContainer(*container, LayerName)) continue;
    for (TElement* element : container->Children()) {
      auto* area = DynamicCast<TAreaElement>(element);
      if (!area) continue;
      if (DynamicCast<TPolyLineAreaElement>(area))
        for (TElement* line : area->Children())
          if (auto* poly = DynamicCast<TPolyElement>(line)) poly->CalcBounds();
      areas.AddEntity(area);
    }
    // The container leaves its stand group as well as the layer.
    delete container;
  }
}

void THeleClearLHC::JoinLines(TRectEntity& areas, TRectEntity& lines) {
  TLineExtractor extractor;
  auto* extracted = CreateElement<TSpaceEntity>();
  extractor.SetOutput(extracted);
  extractor.SetInput(&areas);
  extractor.DoIt();
  extracted->UpdateRect();
  if (SnapDistance == 0) SnapDistance = DefaultSnapDistance;
  TJoinLines join;
  join.SnapDistance = SnapDistance;
  join.CompareOnlyDifferentSource = false;
  join.SelfTest = true;
  join.SetInput(extracted);
  join.DoIt();
  const std::unique_ptr<TElement> tree(join.Output());
  join.SetOutput(nullptr);
  if (!lines.IsEmpty()) lines.Clear();
  THledacLinii finder;
  finder.SetOutput(&lines);
  finder.SetInput(tree.get());
  finder.DoIt();
  lines.UpdateRect();
}

void THeleClearLHC::TransferAttributes(TAreaString& rebuilt, const TRectEntity& areas) {
  const std::vector<TElement*> made(rebuilt.Children().begin(), rebuilt.Children().end());
  // The areas behind a line are the old ones and this run's new ones.
  const std::unordered_set<const TElement*> fresh(made.begin(), made.end());
  std::unordered_set<const TElement*> carried;
  for (auto element = made.rbegin(); element != made.rend(); ++element) {
    auto* area = DynamicCast<TPolyLineAreaElement>(*element);
    if (!area) continue;
    if (TPolyLineAreaElement* behind = OldAreaBehind(*area, fresh)) {
      carried.insert(behind);
      if (auto* props = DynamicCast<TSpaceEntityProps>(behind->Properties()))
        area->SetProperties(props->CloneProps());
      else
        SetProtocol(LayerName + "-Old Area no." + Number(*behind) + " has no properties!");
      FileBeside(*area, *behind);
    } else if (CreateHoles) {
      auto* props = CreateElement<TLumarAreaProps>();
      props->Druh = static_cast<std::int16_t>(HolesGroup);
      area->SetProperties(props);
    } else {
      delete area;
    }
  }
  ReportLeftOut(areas, carried);
}

// An old area that no new one stands for is gone from the layer (its lines
// would not join, or not close round it): the rebuild failed its work.
void THeleClearLHC::ReportLeftOut(const TRectEntity& areas, const std::unordered_set<const TElement*>& carried) {
  for (TElement* element : areas.Children()) {
    const auto* old = DynamicCast<TAreaElement>(element);
    if (!old || carried.contains(old)) continue;
    SetProtocol("ClearLHC: plocha č." + Number(*old) + " vrstvy " + LayerName +
                " nebyla přebudována, ve vrstvě chybí");
    NoteFailedWork(TFailedWork::Rebuild);
  }
}

bool THeleClearLHC::Finalize(TAreaString& rebuilt, TRectEntity& layer, const TRectEntity& gathered) {
  TEntity* layers = FindDataEntity("LAYERS");
  if (!layers) {
    SetProtocol("ClearLHC: LAYERS not found!");
    return false;
  }
  auto* target = DynamicCast<TRectEntity>(layers->FindElementByName("ARE_" + LayerName));
  if (!target) {
    SetProtocol("ClearLHC: LAYER " + LayerName + " not found!");
    return false;
  }
  // Areas of the layer that were in no container were not rebuilt: they
  // stay, as they are, beside the rebuilt ones.
  std::vector<TAreaElement*> kept;
  for (TElement* child : target->Children())
    if (const auto* list = DynamicCast<TSpaceEntityString>(child))
      for (TElement* element : list->Children())
        if (auto* area = DynamicCast<TAreaElement>(element); area && !area->HasOwner(&gathered))
          kept.push_back(area);
  // Held while the lists go.
  TOwnerEntity keep;
  for (TAreaElement* area : kept) keep.AddElement(area);
  target->Clear();
  target->AddEntity(&rebuilt);
  for (TAreaElement* area : kept) {
    rebuilt.AddEntity(area);
    SetProtocol("ClearLHC: plocha č." + Number(*area) + " vrstvy " + LayerName +
                " nebyla v hierarchii, zůstává nepřebudována");
  }
  target->UpdateRect();
  layer.Clear();
  return true;
}

void THeleClearLHC::DoIt() {
  TRectEntity* layer = GlobalLayer();
  if (!layer) return;
  const ProgressRun progress(*this, "Rekonstrukce vrstvy " + LayerName, 0, 0);
  SetProgressText("Hledání ploch ...");
  TRectEntity& areas = WorkingRect(*layer, "AREAS");
  TRectEntity& lines = WorkingRect(*layer, "LINES");
  TRectEntity& rebuiltAreas = WorkingRect(*layer, "NEW_AREAS");
  GatherAreas(*layer, areas);
  // Nothing gathered is nothing to rebuild: the layer is not replaced by
  // the areas of no lines.
  if (areas.IsEmpty()) return;
  SetProgressText("Nové spojení linií ...");
  JoinLines(areas, lines);
  SetProgressText("Přeplochování ...");
  TAreasFromClearLines builder;
  builder.SetInput(&lines);
  builder.DoIt();
  // Only this run's areas: the attributes go to the first list in it.
  rebuiltAreas.Clear();
  if (TElement* built = builder.Output()) rebuiltAreas.AddElement(built);
  rebuiltAreas.UpdateRect();
  SetProgressText("Přenos atributů ...");
  TAreaString* rebuilt = FirstAreaString(rebuiltAreas);
  if (rebuilt) TransferAttributes(*rebuilt, areas);
  SetProgressText("finalizace ...");
  if (rebuilt && Finalize(*rebuilt, *layer, areas)) PostKestuMessage(new TKestuMessage(msgDataChanged, this, nullptr, nullptr, false));
}

void THeleClearLHC::FileBeside(TAreaElement& area, const TAreaElement& old) {
  std::vector<TObjectOwner*> slots;
  for (int i = 0; i < old.GetOwnersCount(); ++i)
    if (auto* slot = DynamicCast<TObjectOwner>(old.GetOwner(i))) slots.push_back(slot);
  for (TObjectOwner* slot : slots) slot->AddElement(&area);
}

TPolyLineAreaElement* OldAreaBehind(const TPolyLineAreaElement& area,
                                    const std::unordered_set<const TElement*>& fresh) {
  // Every candidate once, in walking order, and all tested in one sweep over
  // the area's rings rather than a walk round them per candidate.
  std::vector<TPolyLineAreaElement*> candidates;
  std::unordered_set<const TElement*> met;
  for (TElement* line : area.Children()) {
    for (int i = 0; line && i < line->GetOwnersCount(); ++i) {
      auto* owner = DynamicCast<TPolyLineAreaElement>(line->GetOwner(i));
      if (owner && !fresh.contains(owner) && met.insert(owner).second) candidates.push_back(owner);
    }
  }
  if (candidates.empty()) return nullptr;
  std::vector<TRealPoint> labels;
  labels.reserve(candidates.size());
  for (const TPolyLineAreaElement* candidate : candidates)
    labels.push_back({candidate->GetAbsRefX(), candidate->GetAbsRefY()});
  const std::vector<std::uint8_t> inside = area.PointsOutsideHoles(labels);
  for (std::size_t i = 0; i < candidates.size(); ++i)
    if (inside[i]) return candidates[i];
  return nullptr;
}

// ---------------------------------------------------------------- TRemoveHoles

void TRemoveHoles::DoIt() {
  auto* areas = DynamicCast<TAreaString>(FindLayerEntity(LayerName, "ARE"));
  if (!areas || areas->IsEmpty()) return;
  const std::vector<TElement*> elements(areas->Children().begin(), areas->Children().end());
  const ProgressRun progress(*this, LayerName + ": Odstraňování neploch", 0, static_cast<int>(elements.size()));
  try {
    for (std::size_t i = elements.size(); i-- > 0;) {
      auto* area = DynamicCast<TAreaElement>(elements[i]);
      SetProgress(static_cast<int>(i));
      if (!area) continue;
      const std::string text = "Plocha c. " + Number(*area);
      SetProgressText(text);
      auto* props = DynamicCast<TLumarAreaProps>(area->Properties());
      if (!props || props->Druh != HolesGroup) continue;
      SetProgressText(text + " odstraněna");
      delete area;
    }
  } catch (const std::exception&) {
    platform::MessageDlg("Chyba při uvolňování neploch vrstvy " + LayerName, platform::MsgDlgType::Error,
                         platform::mbOK);
  }
}

// ---------------------------------------------------------------- TDeleteBlockRegister

void TDeleteBlockRegister::DoIt() {
  try {
    TSpaceEntityString* layer = DynamicCast<TAreaString>(FindLayerEntity(LayerName, "ARE"));
    if (!layer || layer->IsEmpty()) layer = DynamicCast<TPointString>(FindLayerEntity(LayerName, "PNT"));
    if (!layer || layer->IsEmpty()) return;
    auto* element = DynamicCast<TSpaceEntity>(layer->GetElement(0));
    auto* props = element ? DynamicCast<TLumarProps>(element->Properties()) : nullptr;
    if (props) delete props->GetBlockRegister();
  } catch (const std::exception&) {
    // The register is gone already or was never read: nothing to free.
  }
}

// ---------------------------------------------------------------- classes

TClass TExtractLHC::StaticClass() {
  static const TClassInfo info = DescribeClass<TExtractLHC>("TExtractLHC", THeleBasic::StaticClass(), "T_Helcle",
                                                            {FieldProp("LayerName", &TExtractLHC::LayerName)});
  return &info;
}

TClass THeleClearLHC::StaticClass() {
  using E = THeleClearLHC;
  static const TClassInfo info = DescribeClass<E>(
      "THeleClearLHC", THeleBasic::StaticClass(), "T_Helcle",
      {FieldProp("LayerName", &E::LayerName), FieldProp("CreateHoles", &E::CreateHoles),
       FieldProp("HolesGroup", &E::HolesGroup), FieldProp("SnapDistance", &E::SnapDistance),
       NotStored(AccessorProp<E, TElement*>("GlobalLayer", [](const E& e) -> TElement* { return e.GlobalLayer(); },
                                            nullptr))});
  return &info;
}

TClass TRemoveHoles::StaticClass() {
  using E = TRemoveHoles;
  static const TClassInfo info =
      DescribeClass<E>("TRemoveHoles", THeleBasic::StaticClass(), "T_Helcle",
                       {FieldProp("HolesGroup", &E::HolesGroup), FieldProp("LayerName", &E::LayerName)});
  return &info;
}

TClass TDeleteBlockRegister::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TDeleteBlockRegister>("TDeleteBlockRegister", THeleBasic::StaticClass(), "T_Helcle",
                                          {FieldProp("LayerName", &TDeleteBlockRegister::LayerName)});
  return &info;
}

void RegisterLayerRebuildingClasses() {
  RegisterKestuClass(THeleClearLHC::StaticClass());
  RegisterKestuClass(TExtractLHC::StaticClass());
  RegisterKestuClass(TRemoveHoles::StaticClass());
  RegisterKestuClass(TDeleteBlockRegister::StaticClass());
}
