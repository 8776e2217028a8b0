#include "framework/values/inheritance_models.h"

#include <utility>
#include <vector>

#include "framework/core/class_registry.h"

namespace {

// Both classes known and the first is the second or descends from it.
bool Descends(TClass cls, TClass ancestor) { return cls && ancestor && cls->InheritsFrom(ancestor); }

}  // namespace

std::string TModelItems::GetName() const { return "ITEMS"; }

// ---------------------------------------------------------------- TInheritanceModel

std::string TInheritanceModel::GetElementClassName() const { return elementClass_ ? elementClass_->ClassName : ""; }

TModelItems* TInheritanceModel::ExistingItems() const {
  return static_cast<TModelItems*>(FindElementByClass(TModelItems::StaticClass()));
}

TModelItems* TInheritanceModel::GetItems() {
  if (TModelItems* items = ExistingItems()) return items;
  auto* items = new TModelItems;
  AddElement(items);
  return items;
}

bool TInheritanceModel::GetNoItems() const {
  const TModelItems* items = ExistingItems();
  return !items || items->IsEmpty();
}

void TInheritanceModel::InsertModel(TInheritanceModel* node) {
  if (!node || node == this) return;
  if (TModelItems* items = ExistingItems()) {
    const std::vector<TElement*> children(items->Children().begin(), items->Children().end());
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      auto* item = DynamicCast<TInheritanceModel>(*it);
      if (!item || item == node) continue;
      if (Descends(item->ElementClass(), node->ElementClass())) {
        items->RemoveElement(item);
        node->GetItems()->AddElement(item);
      } else if (Descends(node->ElementClass(), item->ElementClass())) {
        item->InsertModel(node);
      }
    }
  }
  if (node->HasNoOwner()) GetItems()->AddElement(node);
}

void TInheritanceModel::SetElementClass(TClass cls) {
  elementClass_ = cls;
  if (cls) SetName(cls->ClassName);
}

void TInheritanceModel::SetElementClassName(const std::string& name) { SetElementClass(FindKestuClass(name)); }

bool TInheritanceModel::AcceptsClass(TClass cls) const {
  return !elementClass_ || Descends(cls, elementClass_);
}

TInheritanceModel* TInheritanceModel::FindModel(TClass cls) {
  TInheritanceModel* found = elementClass_ ? this : nullptr;
  if (cls == elementClass_ || GetNoItems()) return found;
  for (TElement* child : ExistingItems()->Children())
    if (auto* item = DynamicCast<TInheritanceModel>(child); item && item->AcceptsClass(cls))
      return item->FindModel(cls);
  return found;
}

TInheritanceModel* TInheritanceModel::FindModelByName(const std::string& name) {
  return FindModel(FindKestuClass(name));
}

// ---------------------------------------------------------------- TInheritanceModelEntity

TClass TInheritanceModelEntity::GetDefaultItemClass() const { return TInheritanceModel::StaticClass(); }

TClass TInheritanceModelEntity::ItemClass() const { return itemClass_ ? itemClass_ : GetDefaultItemClass(); }

std::string TInheritanceModelEntity::GetItemClassName() const { return ItemClass()->ClassName; }

void TInheritanceModelEntity::SetItemClassName(const std::string& name) {
  TClass cls = FindKestuClass(name);
  itemClass_ = Descends(cls, TInheritanceModel::StaticClass()) ? cls : TInheritanceModel::StaticClass();
}

TInheritanceModel* TInheritanceModelEntity::ActualItem() const {
  return static_cast<TInheritanceModel*>(actualItem_.Get());
}

std::string TInheritanceModelEntity::GetActualClassName() {
  TInheritanceModel* actual = ActualItem();
  if (!actual) {
    Error = errNoActual;
    return "NIL";
  }
  return actual->GetElementClassName();
}

bool TInheritanceModelEntity::GetIsError() const { return Error > 0; }

void TInheritanceModelEntity::SetNewClassName(const std::string& name) {
  actualItem_.Set(nullptr);
  Error = errNone;
  if (name.empty()) return;
  TClass cls = FindKestuClass(name);
  if (!cls) {
    Error = errNoClass;
    return;
  }
  auto* node = DynamicCast<TInheritanceModel>(NewElement(ItemClass()));
  if (!node) return;
  node->SetElementClass(cls);
  InsertModel(node);
  actualItem_.Set(node);
}

void TInheritanceModelEntity::SetFindClassName(const std::string& name) {
  Error = errNone;
  TClass cls = FindKestuClass(name);
  if (!cls) {
    Error = errNoClass;
    actualItem_.Set(nullptr);
    return;
  }
  TInheritanceModel* found = FindModel(cls);
  actualItem_.Set(found);
  if (!found) Error = errNoModel;
}

void TInheritanceModelEntity::FreeActualItem() {
  TInheritanceModel* node = ActualItem();
  actualItem_.Set(nullptr);
  if (!node || node == this) return;
  std::vector<TInheritanceModel*> held;
  if (TModelItems* items = node->ExistingItems()) {
    const std::vector<TElement*> children(items->Children().begin(), items->Children().end());
    for (TElement* child : children)
      if (auto* item = DynamicCast<TInheritanceModel>(child)) {
        items->RemoveElement(item);
        held.push_back(item);
      }
  }
  delete node;
  for (TInheritanceModel* item : held) InsertModel(item);
}

void TInheritanceModelEntity::SetActualClassName(const std::string& name) {
  Error = errNone;
  if (!ActualItem()) {
    Error = errNoActual;
    return;
  }
  FreeActualItem();
  SetNewClassName(name);
}

void TInheritanceModelEntity::DeleteActualItem(bool) {
  if (!ActualItem()) return;
  FreeActualItem();
  Error = errNoActual;
}

// ---------------------------------------------------------------- class descriptions

TClass TModelItems::StaticClass() {
  static const TClassInfo info = DescribeClass<TModelItems>("TModelItems", TEnvelopeEntity::StaticClass(), "e_InhMdl", {});
  return &info;
}

TClass TInheritanceModel::StaticClass() {
  // NextItem takes a node of this very class, which cannot be asked for its
  // description while it is being built: it is described as an entity and
  // given its class afterwards.
  static const TClassInfo info = [] {
    TPropInfo next = AccessorProp<TInheritanceModel, TOwnerEntity*>(
        "NextItem", nullptr,
        [](TInheritanceModel& m, TOwnerEntity* node) { m.InsertModel(DynamicCast<TInheritanceModel>(node)); });
    next.PropClass = &info;
    return DescribeClass<TInheritanceModel>(
        "TInheritanceModel", TOwnerEntity::StaticClass(), "e_InhMdl",
        {NotStored(AccessorProp<TInheritanceModel, TModelItems*>(
             "Items", [](const TInheritanceModel& m) { return const_cast<TInheritanceModel&>(m).GetItems(); },
             nullptr)),
         NotStored(ReadProp("NoItems", &TInheritanceModel::GetNoItems)), std::move(next),
         ReadWriteProp("ElementClassName", &TInheritanceModel::GetElementClassName,
                       &TInheritanceModel::SetElementClassName)});
  }();
  return &info;
}

TClass TInheritanceModelEntity::StaticClass() {
  static const TClassInfo info = DescribeClass<TInheritanceModelEntity>(
      "TInheritanceModelEntity", TInheritanceModel::StaticClass(), "e_InhMdl",
      {ReadWriteProp("ItemClassName", &TInheritanceModelEntity::GetItemClassName,
                     &TInheritanceModelEntity::SetItemClassName),
       NotStored(ReadProp("ActualItem", &TInheritanceModelEntity::ActualItem)),
       NotStored(FieldProp("Error", &TInheritanceModelEntity::Error)),
       WriteProp("NewClassName", &TInheritanceModelEntity::SetNewClassName),
       WriteProp("FindClassName", &TInheritanceModelEntity::SetFindClassName),
       NotStored(AccessorProp<TInheritanceModelEntity, std::string>(
           "ActualClassName",
           [](const TInheritanceModelEntity& m) { return const_cast<TInheritanceModelEntity&>(m).GetActualClassName(); },
           [](TInheritanceModelEntity& m, std::string name) { m.SetActualClassName(name); })),
       WriteProp("DeleteActualItem", &TInheritanceModelEntity::DeleteActualItem),
       NotStored(ReadProp("IsError", &TInheritanceModelEntity::GetIsError))});
  return &info;
}

// ---------------------------------------------------------------- register models

TOwnerEntity* TRegisterClassModel::PropertyModels() {
  return static_cast<TOwnerEntity*>(GetOrCreateElement(TOwnerEntity::StaticClass(), "PROPERTY MODELS"));
}

TOwnerEntity* TRegisterClassModel::Shell() {
  return static_cast<TOwnerEntity*>(GetOrCreateElement(TOwnerEntity::StaticClass(), "SHELL"));
}

TClass TRegisterClassModels::GetDefaultItemClass() const { return TRegisterClassModel::StaticClass(); }

TRegisterClassModel* TRegisterClassModels::ActualClassModel() const {
  return DynamicCast<TRegisterClassModel>(ActualItem());
}

TClass TRegisterPropertyModel::StaticClass() {
  static const TClassInfo info = DescribeClass<TRegisterPropertyModel>(
      "TRegisterPropertyModel", TOwnerEntity::StaticClass(), "e_InhMdl",
      {FieldProp("Alias", &TRegisterPropertyModel::Alias), FieldProp("ImageIndex", &TRegisterPropertyModel::ImageIndex),
       FieldProp("Editor", &TRegisterPropertyModel::Editor)});
  return &info;
}

TClass TRegisterClassModel::StaticClass() {
  static const TClassInfo info = DescribeClass<TRegisterClassModel>(
      "TRegisterClassModel", TInheritanceModel::StaticClass(), "e_InhMdl",
      {FieldProp("Alias", &TRegisterClassModel::Alias), FieldProp("ImageIndex", &TRegisterClassModel::ImageIndex),
       FieldProp("ImageSelectedIndex", &TRegisterClassModel::ImageSelectedIndex),
       FieldProp("Editor", &TRegisterClassModel::Editor), FieldProp("Interpret", &TRegisterClassModel::Interpret),
       FieldProp("SubClass", &TRegisterClassModel::SubClass),
       NotStored(AccessorProp<TRegisterClassModel, TOwnerEntity*>(
           "PropertyModels", [](const TRegisterClassModel& m) { return const_cast<TRegisterClassModel&>(m).PropertyModels(); },
           nullptr)),
       NotStored(AccessorProp<TRegisterClassModel, TOwnerEntity*>(
           "Shell", [](const TRegisterClassModel& m) { return const_cast<TRegisterClassModel&>(m).Shell(); }, nullptr))});
  return &info;
}

TClass TRegisterClassModels::StaticClass() {
  static const TClassInfo info = DescribeClass<TRegisterClassModels>(
      "TRegisterClassModels", TInheritanceModelEntity::StaticClass(), "e_InhMdl",
      {NotStored(ReadProp("ActualClassModel", &TRegisterClassModels::ActualClassModel))});
  return &info;
}

void RegisterInhMdlClasses() {
  for (TClass cls : {TRegisterClassModel::StaticClass(), TRegisterClassModels::StaticClass(),
                     TRegisterPropertyModel::StaticClass()})
    RegisterKestuClass(cls);
}
