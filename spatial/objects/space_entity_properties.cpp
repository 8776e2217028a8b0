#include "spatial/objects/space_entity_properties.h"

#include <exception>

#include "framework/core/class_registry.h"
#include "spatial/objects/registers.h"
#include "spatial/objects/space_entities.h"

namespace {

TObjectOwner* SlotOf(const TSpaceEntity* entity) {
  return entity ? static_cast<TObjectOwner*>(entity->GetOwnerByClass(TObjectOwner::StaticClass())) : nullptr;
}

TObjectRegister* RegisterOf(const TObjectOwner* slot) {
  return slot ? static_cast<TObjectRegister*>(slot->GetOwnerByClass(TObjectRegister::StaticClass())) : nullptr;
}

}  // namespace

TSpaceEntity* TSpaceEntityProps::SpaceEntity() const { return DynamicCast<TSpaceEntity>(spaceEntity_.Get()); }

void TSpaceEntityProps::SetSpaceEntity(TSpaceEntity* entity) { spaceEntity_.Set(entity); }

int TSpaceEntityProps::GetSpaceID() const { return -1; }

TObjectRegister* TSpaceEntityProps::GetObjectRegister() const { return RegisterOf(SlotOf(SpaceEntity())); }

TBlockRegister* TSpaceEntityProps::GetBlockRegister() const {
  const TObjectRegister* objects = GetObjectRegister();
  return objects ? static_cast<TBlockRegister*>(objects->GetOwnerByClass(TBlockRegister::StaticClass())) : nullptr;
}

TElement* TSpaceEntityProps::GetPrimaryProps() const {
  const TObjectOwner* slot = SlotOf(SpaceEntity());
  if (!slot) return nullptr;
  const auto& entities = slot->Children();
  if (entities.size() == 1) return const_cast<TSpaceEntityProps*>(this);
  const auto* first = entities.empty() ? nullptr : DynamicCast<TSpaceEntity>(entities.front());
  return first ? first->Properties() : nullptr;
}

int TSpaceEntityProps::GetOrigNo() const {
  const TObjectOwner* slot = SlotOf(SpaceEntity());
  const TObjectRegister* objects = RegisterOf(slot);
  return objects ? objects->SlotNumber(slot) : -1;
}

std::string TSpaceEntityProps::GetBlockName() const {
  const TObjectRegister* objects = GetObjectRegister();
  return objects ? objects->GetBlockName() : std::string();
}

bool TSpaceEntityProps::HasField(const std::string&) const { return false; }

void TSpaceEntityProps::GetFieldValue(const std::string&, std::string& Value) const { Value.clear(); }

void TSpaceEntityProps::SetFieldValue(const std::string&, const std::string&) {}

bool TSpaceEntityProps::LocateRecord() const { return false; }

TSpaceEntityProps* TSpaceEntityProps::CloneProps() const {
  auto* copy = static_cast<TSpaceEntityProps*>(NewElement(ClassType()));
  if (!copy) return nullptr;
  // Only the values this class and its descendants publish: nothing of the
  // element or entity (numbers, names, child commands).
  const std::vector<const TPropInfo*>& props = ClassType()->Props();
  const int first = GetPropertyIndex(*this, "LastIndex") + 1;
  for (int i = first; i < static_cast<int>(props.size()); ++i) {
    const TPropInfo* info = props[static_cast<std::size_t>(i)];
    if (!info->HasRead() || !info->HasWrite()) continue;
    std::string text;
    PropertyTextByIndex(*this, i, text);
    SetPropertyTextByIndex(*copy, i, text);
  }
  return copy;
}

bool TSpaceEntityProps::HasProperty(const std::string& name) const {
  try {
    if (TOwnerEntity::HasProperty(name)) return true;
    return GetObjectRegister() && HasField(name);
  } catch (const std::exception&) {
    return false;
  }
}

std::string TSpaceEntityProps::GetPropertyText(const std::string& name) const {
  std::string text = TOwnerEntity::GetPropertyText(name);
  if (text.empty() && GetObjectRegister() && LocateRecord()) GetFieldValue(name, text);
  return text;
}

void TSpaceEntityProps::SetPropertyText(const std::string& name, const std::string& text) {
  if (ClassType()->FindProp(name)) TOwnerEntity::SetPropertyText(name, text);
  else if (GetObjectRegister() && LocateRecord()) SetFieldValue(name, text);
}

TClass TSpaceEntityProps::StaticClass() {
  using E = TSpaceEntityProps;
  static const TClassInfo info = DescribeClass<E>(
      "TSpaceEntityProps", TOwnerEntity::StaticClass(), "E_SpaPrp",
      {FieldProp("IsDone", &E::IsDone), ReadWriteProp("SpaceEntity", &E::SpaceEntity, &E::SetSpaceEntity),
       NotStored(ReadProp("SpaceID", &E::GetSpaceID)), NotStored(ReadProp("ObjectRegister", &E::GetObjectRegister)),
       NotStored(ReadProp("BlockRegister", &E::GetBlockRegister)), NotStored(ReadProp("OrigNo", &E::GetOrigNo)),
       NotStored(ReadProp("BlockName", &E::GetBlockName))});
  return &info;
}
