#include "spatial/objects/properties.h"

#include "framework/core/class_registry.h"

// ---------------------------------------------------------------- TDynamicProperties

TTypeElement* TDynamicProperties::Value(const std::string& name) const {
  return DynamicCast<TTypeElement>(FindElementByName(name));
}

bool TDynamicProperties::HasProperty(const std::string& name) const { return FindElementByName(name) != nullptr; }

std::string TDynamicProperties::GetPropertyText(const std::string& name) const {
  const TTypeElement* value = Value(name);
  return value ? value->GetAsString() : std::string();
}

void TDynamicProperties::SetPropertyText(const std::string& name, const std::string& text) {
  TElement* child = FindElementByName(name);
  if (auto* value = DynamicCast<TTypeElement>(child)) value->SetAsString(text);
  else if (!child) AddElement(TStringElement::CreateNameValue(name, text));
}

int TDynamicProperties::GetPropertyInteger(const std::string& name) const {
  const TTypeElement* value = Value(name);
  return value ? value->GetAsInteger() : 0;
}

void TDynamicProperties::SetPropertyInteger(const std::string& name, int value) {
  TElement* child = FindElementByName(name);
  if (auto* typed = DynamicCast<TTypeElement>(child)) typed->SetAsInteger(value);
  else if (!child) AddElement(TIntegerElement::CreateNameValue(name, value));
}

bool TDynamicProperties::GetPropertyBoolean(const std::string& name) const {
  const TTypeElement* value = Value(name);
  return value && value->GetAsBoolean();
}

void TDynamicProperties::SetPropertyBoolean(const std::string& name, bool value) {
  TElement* child = FindElementByName(name);
  if (auto* typed = DynamicCast<TTypeElement>(child)) {
    typed->SetAsBoolean(value);
  } else if (!child) {
    TBooleanElement* created = TBooleanElement::CreateValue(value);
    created->SetName(name);
    AddElement(created);
  }
}

// ---------------------------------------------------------------- TProperty

void TProperty::Bind(TObject* instance, const TPropInfo* info, int index) {
  instance_ = instance;
  info_ = info;
  PropIndex = index;
  SetName(info ? info->Name : std::string());
}

bool TProperty::IsStored() const { return instance_ && info_ && info_->IsStoredOn(*instance_); }

int TProperty::TypeKind() const { return info_ ? info_->Kind : 0; }

int TProperty::PropLongInt() const {
  if (!instance_ || !info_ || !info_->HasRead()) return 0;
  if (info_->GetOrd) return static_cast<int>(info_->GetOrd(*instance_));
  if (info_->GetObj) return static_cast<int>(HandleOfElement(dynamic_cast<TElement*>(info_->GetObj(*instance_))));
  return 0;
}

std::string TProperty::GetPropString() const {
  std::string text;
  if (instance_ && info_) PropInfoToText(*instance_, info_, text);
  return text;
}

void TProperty::SetPropString(const std::string& text) {
  if (instance_ && info_) SetPropInfoFromText(instance_, info_, text);
}

// ---------------------------------------------------------------- TInstanceProperties

TInstanceProperties::TInstanceProperties() = default;
TInstanceProperties::~TInstanceProperties() = default;

void TInstanceProperties::SetInstance(TObject* instance) {
  actual_.reset();
  props_.clear();
  instance_ = instance;
  if (!instance) return;
  SetName(instance->ClassName() + "_Instance");
  props_ = instance->ClassType()->Props();
}

std::string TInstanceProperties::InstClassName() const {
  return instance_ ? instance_->ClassName() : std::string("Unknown class");
}

int TInstanceProperties::GetPropIndex() const { return actual_ ? actual_->PropIndex : -1; }

void TInstanceProperties::Select(int index) const {
  actual_ = std::make_unique<TProperty>();
  actual_->Bind(instance_, props_[static_cast<std::size_t>(index)], index);
}

void TInstanceProperties::SetPropIndex(int index) {
  if (!instance_ || index < 0 || index >= PropCount()) return;
  Select(index);
}

std::string TInstanceProperties::GetPropName() const { return actual_ ? actual_->GetName() : std::string(); }

int TInstanceProperties::IndexOfProp(const std::string& name) const {
  const std::string wanted = AsciiUpperCase(name);
  for (std::size_t i = 0; i < props_.size(); ++i)
    if (AsciiUpperCase(props_[i]->Name) == wanted) return static_cast<int>(i);
  return -1;
}

void TInstanceProperties::SetPropName(const std::string& name) { SetPropIndex(IndexOfProp(name)); }

std::string TInstanceProperties::GetPropString() const {
  return actual_ ? actual_->GetPropString() : std::string();
}

void TInstanceProperties::SetPropString(const std::string& text) {
  if (actual_) actual_->SetPropString(text);
}

int TInstanceProperties::PropKind() const { return actual_ ? actual_->TypeKind() : 0; }

void TInstanceProperties::SetIsList(bool value) {
  Clear();
  if (!value || !instance_) return;
  for (int i = 0; i < PropCount(); ++i) {
    SetPropIndex(i);
    AddNameValue(GetPropName(), GetPropString());
  }
}

TProperty* TInstanceProperties::SelectNamed(const std::string& name) const {
  const int index = IndexOfProp(name);
  if (!instance_ || index < 0) return nullptr;
  Select(index);
  return actual_.get();
}

bool TInstanceProperties::HasProperty(const std::string& name) const {
  return TPropertyList::HasProperty(name) || (instance_ && IndexOfProp(name) >= 0);
}

std::string TInstanceProperties::GetPropertyText(const std::string& name) const {
  if (ClassType()->FindProp(name)) return TPropertyList::GetPropertyText(name);
  // A name the object lacks reads as empty rather than as whatever is selected.
  const TProperty* property = SelectNamed(name);
  return property ? property->GetPropString() : std::string();
}

void TInstanceProperties::SetPropertyText(const std::string& name, const std::string& text) {
  if (ClassType()->FindProp(name)) TPropertyList::SetPropertyText(name, text);
  else if (TProperty* property = SelectNamed(name)) property->SetPropString(text);
}

// ---------------------------------------------------------------- class descriptions

TClass TProperties::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TProperties>("TProperties", TOwnerEntity::StaticClass(), "E_props", {});
  return &info;
}

TClass TDynamicProperties::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TDynamicProperties>("TDynamicProperties", TProperties::StaticClass(), "E_props", {});
  return &info;
}

TClass TProperty::StaticClass() {
  using E = TProperty;
  static const TClassInfo info = DescribeClass<E>(
      "TProperty", TNameElement::StaticClass(), "E_props",
      {WriteProp("Instance", &E::SetInstance), FieldProp("PropIndex", &E::PropIndex),
       NotStored(ReadProp("IsStored", &E::IsStored)), NotStored(ReadProp("TypeKind", &E::TypeKind)),
       NotStored(ReadProp("PropLongInt", &E::PropLongInt)),
       ReadWriteProp("PropString", &E::GetPropString, &E::SetPropString)});
  return &info;
}

TClass TInstanceProperties::StaticClass() {
  using E = TInstanceProperties;
  static const TClassInfo info = DescribeClass<E>(
      "TInstanceProperties", TPropertyList::StaticClass(), "E_props",
      {ReadWriteProp("Instance", &E::Instance, &E::SetInstance),
       NotStored(ReadProp("InstClassName", &E::InstClassName)), NotStored(ReadProp("PropCount", &E::PropCount)),
       ReadWriteProp("PropName", &E::GetPropName, &E::SetPropName),
       ReadWriteProp("PropIndex", &E::GetPropIndex, &E::SetPropIndex),
       ReadWriteProp("PropString", &E::GetPropString, &E::SetPropString),
       NotStored(ReadProp("ActualProperty", &E::ActualProperty)), NotStored(ReadProp("PropKind", &E::PropKind)),
       WriteProp("IsList", &E::SetIsList)});
  return &info;
}

void RegisterE_propsClasses() { RegisterKestuClass(TDynamicProperties::StaticClass()); }
