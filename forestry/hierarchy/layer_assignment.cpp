#include "forestry/hierarchy/layer_assignment.h"

#include <exception>
#include <memory>
#include <vector>

#include "block/forest_model/forest_units.h"
#include "block/props/lumar_props.h"
#include "forestry/hierarchy/groupper.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "forestry/hierarchy/tool_runs.h"
#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "spatial/objects/space_entities.h"

namespace {

// The block values an area keeps when its properties change class.
constexpr const char* kAreaValues[] = {"Cislo",    "Druh",   "Barva",   "Znacka",  "Vyber",      "Presnost",
                                       "Symbol",   "IsDone", "LineNo",  "PaterNo", "HasChildren"};
// Harvest values carried over as integers.
constexpr const char* kHarvestValues[] = {"NALEHAVOST", "ZPUSOB"};

// The stand group whose stand area holds the point; nil when none does.
TElement* StandGroupAt(TRectEntity* hierarchy, double x, double y) {
  THeleSkupina lookup;
  lookup.SetInput(hierarchy);
  lookup.X = x;
  lookup.Y = y;
  lookup.DoIt();
  return lookup.Found ? lookup.PSKObject() : nullptr;
}

// The node's rect child of that name, made when missing.
TRectEntity* Container(TEntity& node, const std::string& name) {
  if (auto* found = DynamicCast<TRectEntity>(node.FindElementByName(name))) return found;
  auto* container = CreateElement<TRectEntity>();
  container->SetName(name);
  node.AddElement(container);
  return container;
}

// The element goes into the node's container of that name; the node's
// bounds grow by it.
void PlaceUnder(TElement& node, const std::string& name, TSpaceEntity& element) {
  auto* entity = DynamicCast<TEntity>(&node);
  if (!entity) return;
  Container(*entity, name)->AddEntity(&element);
  if (auto* rect = DynamicCast<TRectEntity>(&node)) rect->IncludeElement(&element);
}

// Gathers every container of that name in the hierarchy into "DATA"'s rect
// of the same name, which lists them anew each run.
void CollectContainers(const THeleBasic& tool, const std::string& name) {
  TRectEntity* collected = tool.FindOrCreateDataRect(name);
  if (!collected) return;
  collected->Clear();
  TSelectByName selector;
  selector.SelectedName = name;
  selector.CaseSensitive = false;
  selector.Partialy = false;
  selector.SetInput(tool.Hierarchy());
  selector.SetOutput(collected);
  selector.DoIt();
}

std::string Number(const TSpaceEntity& element) { return std::to_string(element.GetSpaceID()); }

}  // namespace

// ---------------------------------------------------------------- THeleZaradLHC

void THeleZaradLHC::SetPropertyClassName(const std::string& name) {
  propertyClassName_ = name;
  propertyClass_ = GetKestuClass(name);
}

void THeleZaradLHC::DoIt() { AssignLayerAreas(); }

TElement* THeleZaradLHC::FindPskByAttributes(const TAreaElement& area, bool& complete) const {
  complete = false;
  THeleHier hier;
  hier.SetInput(Hierarchy());
  constexpr const char* kKeys[] = {"LHC", "ODDELENI", "DILEC", "POROST", "SKUPINA"};
  for (int level = THeleHier::kLHC; level < THeleHier::kLevels; ++level) {
    const auto at = static_cast<THeleHier::Level>(level);
    hier.SetNodeName(at, KeyText(area, kKeys[level]));
    if (hier.NodeName(at).empty()) break;
    if (at == THeleHier::kPSK) complete = true;
  }
  hier.DoIt();
  return hier.Output() ? hier.Output() : Hierarchy();
}

TElement* THeleZaradLHC::FindPskBySpace(const TAreaElement& area, bool& found) const {
  TElement* group = StandGroupAt(Hierarchy(), area.GetAbsRefX(), area.GetAbsRefY());
  found = group != nullptr;
  return group;
}

void THeleZaradLHC::ConvertProperties(TAreaElement& area) const {
  if (!propertyClass_) return;
  TElement* old = area.Properties();
  if (old && old->InheritsFrom(propertyClass_)) return;
  auto* block = DynamicCast<TLumarAreaProps>(old);
  // Hole areas and properties of another kind stay as they are: no object
  // is made for them.
  if (old && (!block || block->Druh == HolesGroup)) return;
  // Freed when a value is refused before the area holds it.
  std::unique_ptr<TElement> made(NewElement(propertyClass_));
  if (!made) return;
  if (block) {
    // Only values both sides know: an area read without attribute table
    // has no harvest values.
    for (const char* name : kAreaValues)
      if (made->HasProperty(name)) made->SetPropertyText(name, block->GetPropertyText(name));
    for (const char* name : kHarvestValues)
      if (made->HasProperty(name) && block->HasProperty(name))
        made->SetPropertyInteger(name, block->GetPropertyInteger(name));
  } else {
    made->SetPropertyInteger("Druh", Group);
  }
  area.SetProperties(made.release());
}

void THeleZaradLHC::PlaceIntoPsk(bool found, TElement* node, TAreaElement& area) {
  if (!node) return;
  ConvertProperties(area);
  PlaceUnder(*node, found ? LayerName : LayerName + UnplacedSuffix, area);
}

void THeleZaradLHC::AssignLayerAreas() {
  auto* areas = DynamicCast<TAreaString>(FindLayerEntity(LayerName, "ARE"));
  if (!areas || areas->IsEmpty() || !Hierarchy()) return;
  FindOrCreateDataRect(LayerName + UnplacedSuffix);
  const std::vector<TElement*> elements(areas->Children().begin(), areas->Children().end());
  const ProgressRun progress(*this, LayerName + ": Zařazování ploch do hierarchie", 0,
                             static_cast<int>(elements.size()) - 1);
  try {
    for (std::size_t i = 0; i < elements.size(); ++i) {
      auto* element = DynamicCast<TSpaceEntity>(elements[i]);
      SetProgress(static_cast<int>(i));
      if (!element) continue;
      SetProgressText("Plocha c. " + Number(*element));
      auto* area = DynamicCast<TAreaElement>(element);
      if (!area) continue;
      bool complete = false;
      bool found = false;
      TElement* byKeys = FindPskByAttributes(*area, complete);
      TElement* bySpace = FindPskBySpace(*area, found);
      if (byKeys == bySpace) {
        PlaceIntoPsk(found, byKeys, *area);
      } else if (bySpace) {
        PlaceIntoPsk(found, bySpace, *area);
      } else {
        PlaceIntoPsk(complete, byKeys, *area);
        SetProtocol("Zařazování plochy " + LayerName + " č." + Number(*area) +
                    " zařazování přes atributy - pod touto plochou neleží regulérní PSK");
      }
    }
  } catch (const std::exception&) {
    platform::MessageDlg("Chyba při zařazování ploch vrstvy " + LayerName, platform::MsgDlgType::Error,
                         platform::mbOK);
  }
}

// ---------------------------------------------------------------- TLocateIntoPSK

void TLocateIntoPSK::SetPropertyClassName(const std::string& name) {
  propertyClassName_ = name;
  propertyClass_ = FindKestuClass(name);
  if (!propertyClass_) SetProtocol(GetName() + ": Class " + name + " not found!");
}

void TLocateIntoPSK::ConvertProperties(TSpaceEntity& element) const {
  if (!propertyClass_) return;
  TElement* old = element.Properties();
  if (old && old->InheritsFrom(propertyClass_)) return;
  std::unique_ptr<TElement> made(NewElement(propertyClass_));
  if (!made) return;
  if (old) {
    const int count = GetPropertyCount(*made);
    for (int i = GetPropertyIndex(*made, "LastIndex") + 1; i < count; ++i) {
      std::string name;
      GetPropertyNameByIndex(*made, i, name);
      SetPropertyTextByIndex(*made, i, old->GetPropertyText(name));
    }
  }
  element.SetProperties(made.release());
}

void TLocateIntoPSK::DoIt() {
  TSpaceEntityString* elements = FindLayerEntity(LayerName, FeatureName);
  if (!elements || elements->IsEmpty() || !Hierarchy()) return;
  const std::string name = LayerName + "_" + FeatureName;
  const std::vector<TElement*> children(elements->Children().begin(), elements->Children().end());
  for (TElement* child : children) {
    auto* element = DynamicCast<TSpaceEntity>(child);
    if (!element) continue;
    ConvertProperties(*element);
    if (TElement* group = StandGroupAt(Hierarchy(), element->GetAbsRefX(), element->GetAbsRefY()))
      PlaceUnder(*group, name, *element);
    else
      SetProtocol("Pro " + name + " c." + Number(*element) + " není nalezena PSK");
  }
  CollectContainers(*this, name);
}

// ---------------------------------------------------------------- THeleNactiSlu

void THeleNactiSlu::DoIt() {
  auto* lines = DynamicCast<TPolyLineString>(FindLayerEntity("SLU", "LIN"));
  if (!lines || lines->IsEmpty() || !Hierarchy()) return;
  const std::vector<TElement*> children(lines->Children().begin(), lines->Children().end());
  for (TElement* child : children) {
    auto* line = DynamicCast<TPolyLineElement>(child);
    if (!line) continue;
    if (TElement* group = StandGroupAt(Hierarchy(), line->GetAbsRefX(), line->GetAbsRefY()))
      PlaceUnder(*group, ContainerName, *line);
    else
      platform::ShowMessage("Pro linii c." + Number(*line) + " není nalezen objekt pro přidání");
  }
  CollectContainers(*this, ContainerName);
}

// ---------------------------------------------------------------- classes

TClass THeleZaradLHC::StaticClass() {
  using E = THeleZaradLHC;
  static const TClassInfo info = DescribeClass<E>(
      "THeleZaradLHC", THeleBasic::StaticClass(), "T_Helzar",
      {FieldProp("Group", &E::Group), FieldProp("LayerName", &E::LayerName),
       ReadWriteProp("PropertyClassName", &E::PropertyClassName, &E::SetPropertyClassName),
       FieldProp("HolesGroup", &E::HolesGroup)});
  return &info;
}

TClass TLocateIntoPSK::StaticClass() {
  using E = TLocateIntoPSK;
  static const TClassInfo info = DescribeClass<E>(
      "TLocateIntoPSK", THeleBasic::StaticClass(), "T_Helzar",
      {FieldProp("LayerName", &E::LayerName), FieldProp("FeatureName", &E::FeatureName),
       ReadWriteProp("PropertyClassName", &E::PropertyClassName, &E::SetPropertyClassName)});
  return &info;
}

TClass THeleNactiSlu::StaticClass() {
  static const TClassInfo info =
      DescribeClass<THeleNactiSlu>("THeleNactiSlu", THeleNacti::StaticClass(), "T_Helzar", {});
  return &info;
}

void RegisterLayerAssignmentClasses() {
  RegisterKestuClass(THeleZaradLHC::StaticClass());
  RegisterKestuClass(TLocateIntoPSK::StaticClass());
  RegisterKestuClass(THeleNactiSlu::StaticClass());
}
