#include "block/props/lumar_registers.h"

#include "block/props/lumar_props.h"
#include "block/tables/lumar_dbf_table.h"
#include "framework/core/class_registry.h"

void TLumarObjectOwner::AddElement(TElement* element) {
  TObjectOwner::AddElement(element);
  if (HasName()) return;
  const auto* entity = DynamicCast<TSpaceEntity>(element);
  const auto* props = entity ? DynamicCast<TLumarProps>(entity->Properties()) : nullptr;
  if (props)
    SetName(std::string(1, props->GetObjectType()) + std::to_string(props->Cislo) + ":" + std::to_string(props->Druh));
}

TObject* TLumarObjectRegister::GetDBF() const { return GetDBFTable(); }

TLumarDBFTable* TLumarObjectRegister::GetDBFTable() const {
  // The table is made on first use, also through a const view.
  auto& table = const_cast<TLumarObjectRegister*>(this)->DBFTable;
  if (!table) table = std::make_unique<TLumarDBFTable>();
  return static_cast<TLumarDBFTable*>(table.get());
}

TObjectOwner* TLumarObjectRegister::CreateSlot() const { return new TLumarObjectOwner; }

TObjectRegister* TLumarBlockRegister::GetObjectRegister(char Letter) {
  if (auto* found = DynamicCast<TObjectRegister>(FindElementByName(std::string(1, Letter)))) return found;
  auto* objects = new TLumarObjectRegister;
  objects->SetName(std::string(1, Letter));
  AddElement(objects);
  return objects;
}

TClass TLumarObjectOwner::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarObjectOwner>("TLumarObjectOwner", TObjectOwner::StaticClass(), "E_LmrReg", {});
  return &info;
}

TClass TLumarObjectRegister::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarObjectRegister>("TLumarObjectRegister", TObjectRegister::StaticClass(), "E_LmrReg", {});
  return &info;
}

TClass TLumarBlockRegister::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarBlockRegister>("TLumarBlockRegister", TBlockRegister::StaticClass(), "E_LmrReg", {});
  return &info;
}

void RegisterE_LmrRegClasses() {
  for (TClass cls :
       {TLumarObjectOwner::StaticClass(), TLumarObjectRegister::StaticClass(), TLumarBlockRegister::StaticClass()})
    RegisterKestuClass(cls);
}
