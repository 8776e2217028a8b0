#include "block/forest_model/lhc_export.h"

#include <unordered_set>

#include "block/export/area_export.h"
#include "block/export/point_export.h"
#include "block/props/lumar_props.h"
#include "block/topology/node_building.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr const char* kDataName = "DATA";
constexpr std::int16_t kAreaColor = 13;
constexpr std::int16_t kAreaSymbol = 1;

// The space entities of the layer's rect children that Holds names, the
// last child first, into list.
template <class Wanted, class Names>
void CollectNamed(const TEntity& layer, const Names& Holds, TEntity& list) {
  const auto& children = layer.Children();
  for (std::size_t i = children.size(); i-- > 0;) {
    const auto* holder = DynamicCast<TRectEntity>(children[i]);
    if (!holder || !Holds(*holder)) continue;
    for (TElement* child : holder->Children())
      if (DynamicCast<Wanted>(child)) list.AddElement(child);
  }
}

TEntity* ChildEntity(const TEntity* parent, const std::string& name) {
  return parent ? DynamicCast<TEntity>(parent->FindElementByName(name)) : nullptr;
}

}  // namespace

bool IsLayerAreaContainer(const TElement& element, const std::string& layer) {
  return element.SameNameAs(layer) || element.SameNameAs(layer + kUnplacedSuffix);
}

void TExportLHCBasic::SetPropertyClassName(const std::string& name) {
  propertyClassName_ = name;
  propertyClass_ = FindKestuClassWithOrWithoutT(name);
}

TEntity* TExportLHCBasic::FindLayer() const {
  TWorld* world = World();
  return ChildEntity(ChildEntity(world ? world->ObjectModel() : nullptr, kDataName), LayerName);
}

void TExportLHCBasic::AssignAreaProperties(TEntity& areas) {
  if (!propertyClass_) {
    Log("Kestu nenašel třídu " + propertyClassName_);
    return;
  }
  for (TElement* child : areas.Children()) {
    auto* area = DynamicCast<TAreaElement>(child);
    if (!area) continue;
    if (TElement* props = area->Properties()) {
      auto* lumar = DynamicCast<TLumarProps>(props);
      if (lumar && props->InheritsFrom(propertyClass_) && lumar->Druh != HolesGroup)
        lumar->Druh = static_cast<std::int16_t>(Group);
      continue;
    }
    TElement* made = NewElement(propertyClass_);
    auto* props = DynamicCast<TLumarAreaProps>(made);
    if (!props) {
      delete made;
      continue;
    }
    props->Barva = kAreaColor;
    props->Znacka = kAreaSymbol;
    props->Druh = static_cast<std::int16_t>(Group);
    area->SetProperties(props);
  }
}

// ---------------------------------------------------------------- TExportLHC

void TExportLHC::DoIt() {
  TTool::DoIt();
  TEntity* layer = FindLayer();
  if (!layer) return;
  TElement* lines = nullptr;
  {
    std::unique_ptr<TMakeNodes> nodes(CreateElement<TMakeNodes>());
    nodes->SetInput(layer);
    nodes->DoIt();
    lines = nodes->Output();
    if (lines) AddElement(lines);
    if (TSpaceLineBegEndCell* tree = nodes->GetNodesQTree()) AddElement(tree);
  }
  if (const auto* boundary = DynamicCast<TEntity>(lines)) {
    for (TElement* child : boundary->Children()) {
      auto* line = DynamicCast<TPolyLineElement>(child);
      if (!line || line->Properties()) continue;
      auto* props = new TLumarLineProps;
      props->Barva = static_cast<std::int16_t>(LinesColor);
      props->Znacka = static_cast<std::int16_t>(LinesSymbol);
      props->Druh = static_cast<std::int16_t>(LinesGroup);
      line->SetProperties(props);
    }
  }
  auto areas = std::make_unique<TAreaString>();
  CollectNamed<TAreaElement>(*layer, [this](const TElement& e) { return IsLayerAreaContainer(e, LayerName); },
                             *areas);
  NameAreasLeftOut(*layer, *areas);
  TAreaString* list = areas.get();
  // An empty list is nobody's and goes with the run.
  if (list->GetCount() > 0) layer->AddElement(areas.release());
  std::unique_ptr<TExportAreasToLumar> exporter(CreateElement<TExportAreasToLumar>());
  // Each area's record is looked up in the table of the kind it had
  // before it is given the layer's.
  for (TElement* area : list->Children()) exporter->KeepSourceTable(area);
  AssignAreaProperties(*list);
  exporter->SetName("Export ploch vrstvy " + LayerName);
  exporter->SetInput(list);
  exporter->SetBlockName(BlockName);
  exporter->ControlDir = ControlDIR;
  exporter->ExportDBF = true;
  exporter->DoIt();
}

void TExportLHC::NameAreasLeftOut(const TEntity& layer, const TEntity& taken) {
  std::unordered_set<const TElement*> named(taken.Children().begin(), taken.Children().end());
  const auto name = [&](const TElement* child, const std::string& where) {
    const auto* area = DynamicCast<TAreaElement>(child);
    if (!area || !named.insert(area).second) return;
    Log("Export vrstvy " + LayerName + ": plocha č." + std::to_string(area->GetSpaceID()) + " v " + where +
        " se neexportuje");
  };
  for (TElement* child : layer.Children()) {
    name(child, layer.GetName());
    // The unnamed lists are those earlier exports collected.
    const auto* holder = DynamicCast<TEntity>(child);
    if (holder && holder->HasName() && !DynamicCast<TAreaElement>(child))
      for (TElement* inner : holder->Children()) name(inner, holder->GetName());
  }
}

// ---------------------------------------------------------------- TExportSimpleLHC

void TExportSimpleLHC::DoIt() {
  TTool::DoIt();
  TEntity* layer = FindLayer();
  if (!layer) return;
  auto* list = new TSpaceEntityString;
  layer->AddElement(list);
  CollectNamed<TSpaceEntity>(*layer, [this](const TElement& e) { return e.SameNameAs(LayerName); }, *list);
  std::unique_ptr<TExportPointsToLumar> exporter(CreateElement<TExportPointsToLumar>());
  exporter->SetName("Export bodu vrstvy " + LayerName);
  exporter->SetInput(list);
  exporter->SetBlockName(BlockName);
  exporter->ControlDir = ControlDIR;
  exporter->ExportDBF = true;
  exporter->DoIt();
}

// ---------------------------------------------------------------- class descriptions

TClass TExportLHCBasic::StaticClass() {
  using E = TExportLHCBasic;
  static const TClassInfo info = DescribeClass<E>(
      "TExportLHCBasic", TTool::StaticClass(), "T_ExpLHC",
      {FieldProp("BlockName", &E::BlockName), FieldProp("ControlDIR", &E::ControlDIR), FieldProp("Group", &E::Group),
       FieldProp("LayerName", &E::LayerName),
       AccessorProp<E, std::string>(
           "PropertyClassName", [](const E& e) { return e.PropertyClassName(); },
           [](E& e, std::string name) { e.SetPropertyClassName(name); }),
       FieldProp("HolesGroup", &E::HolesGroup), FieldProp("LinesSymbol", &E::LinesSymbol),
       FieldProp("LinesColor", &E::LinesColor), FieldProp("LinesGroup", &E::LinesGroup)});
  return &info;
}

TClass TExportLHC::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TExportLHC>("TExportLHC", TExportLHCBasic::StaticClass(), "T_ExpLHC", {});
  return &info;
}

TClass TExportSimpleLHC::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TExportSimpleLHC>("TExportSimpleLHC", TExportLHCBasic::StaticClass(), "T_ExpLHC", {});
  return &info;
}

void RegisterLHCExportClasses() {
  RegisterKestuClass(TExportLHC::StaticClass());
  RegisterKestuClass(TExportSimpleLHC::StaticClass());
}
