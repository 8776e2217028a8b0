#include "block/forest_model/lhc_export.h"

#include "block/props/lumar_props.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr const char* kDataName = "DATA";
constexpr std::int16_t kAreaColor = 13;
constexpr std::int16_t kAreaSymbol = 1;

TEntity* ChildEntity(const TEntity* parent, const std::string& name) {
  return parent ? DynamicCast<TEntity>(parent->FindElementByName(name)) : nullptr;
}

}  // namespace

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
