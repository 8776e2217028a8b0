#include "spatial/objects/registers.h"

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/tools/world.h"
#include "platform/code_page.h"

namespace {

char KindLetterOf(const TElement* Element) {
  if (DynamicCast<TPointElement>(Element)) return 'B';
  if (DynamicCast<TTextElement>(Element)) return 'T';
  if (DynamicCast<TPolyLineElement>(Element)) return 'L';
  if (DynamicCast<TAreaElement>(Element)) return 'P';
  return 'X';
}

}  // namespace

// ---------------------------------------------------------------- TObjectOwner

std::string TObjectOwner::GetPropertyText(const std::string& name) const {
  std::string text = TOwnerEntity::GetPropertyText(name);
  if (text.empty() && !Children().empty() && Children().front()) text = Children().front()->GetPropertyText(name);
  return text;
}

void TObjectOwner::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TOwnerEntity::ReceiveMessage(message, handled);
  if (message && message->Message == msgAddElement) AddElement(message->Data());
}

// ---------------------------------------------------------------- TObjectRegister

void TObjectRegister::Register(TElement* Entity) {
  auto* entity = DynamicCast<TSpaceEntity>(Entity);
  if (!entity) return;
  const int number = entity->GetSpaceID();
  if (number < MinNumber || number > MaxNumber) return;
  while (SlotCount() <= number) {
    TObjectOwner* slot = CreateSlot();
    slot->number_ = SlotCount();
    AddElement(slot);
  }
  if (auto* slot = DynamicCast<TEntity>(Children()[static_cast<std::size_t>(number)])) slot->AddElement(entity);
  IncludeElement(entity);
}

TSpaceEntity* TObjectRegister::FindEntity(int Number) const {
  if (Number < MinNumber || Number >= SlotCount()) return nullptr;
  const auto* slot = DynamicCast<TEntity>(Children()[static_cast<std::size_t>(Number)]);
  if (!slot || slot->Children().empty()) return nullptr;
  return DynamicCast<TSpaceEntity>(slot->Children().front());
}

void TObjectRegister::ClearSlot(int Number) {
  if (Number < 0 || Number >= SlotCount()) return;
  if (auto* slot = DynamicCast<TObjectOwner>(Children()[static_cast<std::size_t>(Number)])) slot->Clear();
}

int TObjectRegister::SlotNumber(const TObjectOwner* slot) const {
  if (!slot) return -1;
  // Slots stay where they were created; look further only when moved.
  const int number = slot->number_;
  if (number >= 0 && number < SlotCount() && Children()[static_cast<std::size_t>(number)] == slot) return number;
  return IndexOf(slot);
}

std::string TObjectRegister::GetBlockName() const {
  const TElement* block = GetOwnerByClass(TBlockRegister::StaticClass());
  return block ? block->GetName() : std::string();
}

TObject* TObjectRegister::GetDBF() const { return nullptr; }

TObjectOwner* TObjectRegister::CreateSlot() const { return new TObjectOwner; }

// ---------------------------------------------------------------- TBlockRegister

void TBlockRegister::RegisterElement(TElement* Element) {
  if (!Element) return;
  GetObjectRegister(KindLetterOf(Element))->Register(Element);
  IncludeElement(Element);
}

void TBlockRegister::RegisterSpaceEntity(TElement* Entity) {
  if (DynamicCast<TSpaceEntity>(Entity)) RegisterElement(Entity);
}

TObjectRegister* TBlockRegister::GetObjectRegister(char Letter) {
  const std::string name(1, Letter);
  for (TElement* child : Children())
    if (auto* objects = DynamicCast<TObjectRegister>(child); objects && platform::AnsiSameText(child->GetName(), name))
      return objects;
  auto* objects = new TObjectRegister;
  objects->SetName(name);
  AddElement(objects);
  return objects;
}

TSpaceEntity* TBlockRegister::FindObject(char Letter, int Number) {
  return GetObjectRegister(Letter)->FindEntity(Number);
}

void TBlockRegister::ClearObject(char Letter, int Number) { GetObjectRegister(Letter)->ClearSlot(Number); }

// ---------------------------------------------------------------- TRegister

TBlockRegister* TRegister::FindBlockRegister(const std::string& Name) const {
  if (Name.empty()) return nullptr;
  for (TElement* child : Children())
    if (auto* block = DynamicCast<TBlockRegister>(child); block && platform::AnsiSameText(child->GetName(), Name))
      return block;
  return nullptr;
}

TBlockRegister* TRegister::GetBlockRegister(const std::string& Name, const std::string& ClassName) {
  if (TBlockRegister* found = FindBlockRegister(Name)) return found;
  TElement* created = CreateElementByClassName(ClassName);
  auto* block = DynamicCast<TBlockRegister>(created);
  if (!block) {
    delete created;
    return nullptr;
  }
  block->SetName(Name);
  AddElement(block);
  return block;
}

// ---------------------------------------------------------------- TRegisterObjectSelector

void TRegisterObjectSelector::DoIt() {
  TTool::DoIt();
  TSpaceEntity* found = nullptr;
  TWorld* world = World();
  TObjectModel* model = world ? world->ObjectModel() : nullptr;
  auto* reg = model ? static_cast<TRegister*>(model->FindElementByClass(TRegister::StaticClass())) : nullptr;
  TBlockRegister* block = reg ? reg->FindBlockRegister(BlockName) : nullptr;
  if (block && !ObjectType.empty()) found = block->FindObject(ObjectType.front(), ObjectNo);
  SetOutput(found);
}

// ---------------------------------------------------------------- class descriptions

TClass TObjectOwner::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TObjectOwner>("TObjectOwner", TOwnerEntity::StaticClass(), "E_Reg", {});
  return &info;
}

TClass TObjectRegister::StaticClass() {
  using E = TObjectRegister;
  static const TClassInfo info =
      DescribeClass<E>("TObjectRegister", TSpaceEntity::StaticClass(), "E_Reg",
                       {NotStored(ReadProp("BlockName", &E::GetBlockName)), NotStored(ReadProp("DBF", &E::GetDBF))});
  return &info;
}

TClass TBlockRegister::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TBlockRegister>("TBlockRegister", TSpaceEntity::StaticClass(), "E_Reg", {});
  return &info;
}

TClass TRegister::StaticClass() {
  static const TClassInfo info = DescribeClass<TRegister>("TRegister", TSpaceEntity::StaticClass(), "E_Reg", {});
  return &info;
}

TClass TRegisterObjectSelector::StaticClass() {
  using E = TRegisterObjectSelector;
  static const TClassInfo info =
      DescribeClass<E>("TRegisterObjectSelector", TTool::StaticClass(), "E_Reg",
                       {FieldProp("BlockName", &E::BlockName), FieldProp("ObjectNo", &E::ObjectNo),
                        FieldProp("ObjectType", &E::ObjectType)});
  return &info;
}

void RegisterE_RegClasses() {
  for (TClass cls : {TBlockRegister::StaticClass(), TRegister::StaticClass(), TRegisterObjectSelector::StaticClass()})
    RegisterKestuClass(cls);
}
