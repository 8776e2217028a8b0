#include "block/forest_model/forest_props.h"

#include "block/forest_model/forest_units.h"
#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"

namespace {

std::string NameOf(const TElement* unit) { return unit ? unit->GetName() : std::string(); }

template <class Unit>
std::string NameAbove(const TPorostniSkupina* group, Unit* (TForestUnit::*level)() const) {
  return group ? NameOf((group->*level)()) : std::string();
}

}  // namespace

TPorostniSkupina* TTezPProps::StandGroup() const {
  TSpaceEntity* area = SpaceEntity();
  return area ? static_cast<TPorostniSkupina*>(area->FindUpByClass(TPorostniSkupina::StaticClass())) : nullptr;
}

std::string TTezPProps::GetLHC() const { return NameAbove(StandGroup(), &TForestUnit::GetLHC); }
std::string TTezPProps::GetOddeleni() const { return NameAbove(StandGroup(), &TForestUnit::GetOddeleni); }
std::string TTezPProps::GetDilec() const { return NameAbove(StandGroup(), &TForestUnit::GetDilec); }
std::string TTezPProps::GetPorost() const { return NameAbove(StandGroup(), &TForestUnit::GetPorost); }
std::string TTezPProps::GetSkupina() const { return NameOf(StandGroup()); }

TClass TTezPProps::StaticClass() {
  using E = TTezPProps;
  static const TClassInfo info = DescribeClass<E>(
      "TTezPProps", TLumarAreaProps::StaticClass(), "e_LHCProps",
      {FieldProp("Nalehavost", &E::Nalehavost), FieldProp("Zpusob", &E::Zpusob), FieldProp("Vymera", &E::Vymera),
       NotStored(ReadProp("LHC", &E::GetLHC)), NotStored(ReadProp("Oddeleni", &E::GetOddeleni)),
       NotStored(ReadProp("Dilec", &E::GetDilec)), NotStored(ReadProp("Porost", &E::GetPorost)),
       NotStored(ReadProp("Skupina", &E::GetSkupina))});
  return &info;
}

TClass TTezBProps::StaticClass() {
  using E = TTezBProps;
  static const TClassInfo info = DescribeClass<E>("TTezBProps", TLumarPointProps::StaticClass(), "e_LHCProps",
                                                  {FieldProp("Nalehavost", &E::Nalehavost)});
  return &info;
}

TClass TSRFBProps::StaticClass() {
  using E = TSRFBProps;
  static const TClassInfo info = DescribeClass<E>("TSRFBProps", TLumarPointProps::StaticClass(), "e_LHCProps",
                                                  {FieldProp("VEK_ST", &E::VEK_ST)});
  return &info;
}

void RegisterForestPropsClasses() {
  for (TClass cls : {TTezPProps::StaticClass(), TTezBProps::StaticClass(), TSRFBProps::StaticClass()})
    RegisterKestuClass(cls);
}
