#include "block/forest_model/forest_units.h"

#include "framework/core/class_registry.h"

namespace {

template <class T>
T* OwnerOf(const TElement& unit) {
  return static_cast<T*>(unit.GetOwnerByClass(T::StaticClass()));
}

// The answer of the unit above, nil when there is none.
template <class Above, class Result>
Result* Through(Above* above, Result* (TForestUnit::*ask)() const) {
  return above ? (above->*ask)() : nullptr;
}

// The unit's own levels: read-only published elements.
template <class Unit, class Level>
TPropInfo LevelProp(const char* name, Level* (Unit::*get)() const) {
  return NotStored(AccessorProp<Unit, TElement*>(name, [get](const Unit& unit) -> TElement* { return (unit.*get)(); },
                                                 nullptr));
}

}  // namespace

TDilec* TForestUnit::GetDilec() const { return nullptr; }
TLHC* TForestUnit::GetLHC() const { return nullptr; }
TOddeleni* TForestUnit::GetOddeleni() const { return nullptr; }
TPorost* TForestUnit::GetPorost() const { return nullptr; }

TLHC* TOddeleni::GetLHC() const { return OwnerOf<TLHC>(*this); }

TLHC* TDilec::GetLHC() const { return Through(GetOddeleni(), &TForestUnit::GetLHC); }
TOddeleni* TDilec::GetOddeleni() const { return OwnerOf<TOddeleni>(*this); }

TLHC* TPorost::GetLHC() const { return Through(GetDilec(), &TForestUnit::GetLHC); }
TOddeleni* TPorost::GetOddeleni() const { return Through(GetDilec(), &TForestUnit::GetOddeleni); }
TDilec* TPorost::GetDilec() const { return OwnerOf<TDilec>(*this); }

TLHC* TPorostniSkupina::GetLHC() const { return Through(GetPorost(), &TForestUnit::GetLHC); }
TOddeleni* TPorostniSkupina::GetOddeleni() const { return Through(GetPorost(), &TForestUnit::GetOddeleni); }
TDilec* TPorostniSkupina::GetDilec() const { return Through(GetPorost(), &TForestUnit::GetDilec); }
TPorost* TPorostniSkupina::GetPorost() const { return OwnerOf<TPorost>(*this); }

TClass TForestUnit::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TForestUnit>("TForestUnit", TGeometryElement::StaticClass(), "e_LHCModel", {});
  return &info;
}

TClass TLHC::StaticClass() {
  static const TClassInfo info = DescribeClass<TLHC>("TLHC", TForestUnit::StaticClass(), "e_LHCModel", {});
  return &info;
}

TClass TOddeleni::StaticClass() {
  using E = TOddeleni;
  static const TClassInfo info =
      DescribeClass<E>("TOddeleni", TForestUnit::StaticClass(), "e_LHCModel", {LevelProp("LHC", &E::GetLHC)});
  return &info;
}

TClass TDilec::StaticClass() {
  using E = TDilec;
  static const TClassInfo info =
      DescribeClass<E>("TDilec", TForestUnit::StaticClass(), "e_LHCModel",
                       {LevelProp("LHC", &E::GetLHC), LevelProp("Oddeleni", &E::GetOddeleni)});
  return &info;
}

TClass TPorost::StaticClass() {
  using E = TPorost;
  static const TClassInfo info = DescribeClass<E>(
      "TPorost", TForestUnit::StaticClass(), "e_LHCModel",
      {LevelProp("LHC", &E::GetLHC), LevelProp("Oddeleni", &E::GetOddeleni), LevelProp("Dilec", &E::GetDilec)});
  return &info;
}

TClass TPorostniSkupina::StaticClass() {
  using E = TPorostniSkupina;
  static const TClassInfo info =
      DescribeClass<E>("TPorostniSkupina", TForestUnit::StaticClass(), "e_LHCModel",
                       {LevelProp("LHC", &E::GetLHC), LevelProp("Oddeleni", &E::GetOddeleni),
                        LevelProp("Dilec", &E::GetDilec), LevelProp("Porost", &E::GetPorost)});
  return &info;
}

TClass TEtaz::StaticClass() {
  static const TClassInfo info = DescribeClass<TEtaz>("TEtaz", TForestUnit::StaticClass(), "e_LHCModel", {});
  return &info;
}

void RegisterForestUnitClasses() {
  for (TClass cls : {TForestUnit::StaticClass(), TEtaz::StaticClass(), TPorostniSkupina::StaticClass(),
                     TPorost::StaticClass(), TDilec::StaticClass(), TOddeleni::StaticClass(), TLHC::StaticClass()})
    RegisterKestuClass(cls);
}
