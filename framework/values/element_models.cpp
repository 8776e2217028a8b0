#include "framework/values/element_models.h"

#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "platform/code_page.h"

// ---------------------------------------------------------------- TModelLink

void TModelLink::Apply() {
  // Links between plain property models have no effect.
  auto* source = DynamicCast<TElementModel>(GetSource());
  auto* destination = DynamicCast<TElementModel>(GetDestination());
  if (!source || !destination) return;
  TElement* sourceElement = source->GetModelElement();
  TElement* destinationElement = destination->GetModelElement();
  if (!sourceElement || !destinationElement) return;
  auto* entity = DynamicCast<TEntity>(destinationElement);
  if (entity && entity->IndexOf(sourceElement) < 0) entity->AddElement(sourceElement);
}

// ---------------------------------------------------------------- TPropertyModel

TOwnerEntity* TPropertyModel::NamedPart(const char* name) {
  return static_cast<TOwnerEntity*>(GetOrCreateElement(TOwnerEntity::StaticClass(), name));
}

TEntity* TPropertyModel::FilledPart(const char* name) const {
  auto* part = DynamicCast<TEntity>(FindElementByName(name));
  return part && !part->IsEmpty() ? part : nullptr;
}

TOwnerEntity* TPropertyModel::Links() { return NamedPart("LINKS"); }
bool TPropertyModel::NoLinks() const { return !FilledPart("LINKS"); }

void TPropertyModel::AddLink(TElement* source, TElement* destination) {
  auto* link = new TModelLink;
  link->SetSource(source);
  link->SetDestination(destination);
  Links()->AddElement(link);
}

void TPropertyModel::NewSourceLink(TElement* element) {
  if (element) AddLink(element, this);
}

void TPropertyModel::NewDestinationLink(TElement* element) {
  if (element) AddLink(this, element);
}

TElement* TPropertyModel::GetModelElement() {
  TElement* model = FindUpByClass(TElementModel::StaticClass());
  return model ? static_cast<TElementModel*>(model)->GetModelElement() : nullptr;
}

// ---------------------------------------------------------------- TElementModel

TOwnerEntity* TElementModel::ModelElements() { return NamedPart("ELEMENTS"); }
bool TElementModel::NoModelElements() const { return !FilledPart("ELEMENTS"); }
TOwnerEntity* TElementModel::ModelProperties() { return NamedPart("PROPERTIES"); }
bool TElementModel::NoModelProperties() const { return !FilledPart("PROPERTIES"); }

TStringListElement* TElementModel::Images() {
  return static_cast<TStringListElement*>(GetOrCreateElement(TStringListElement::StaticClass(), "IMAGES"));
}

bool TElementModel::NoImages() const { return !FilledPart("IMAGES"); }

void TElementModel::NewElementName(const std::string& name) {
  auto* model = new TElementModel;
  model->SetName(name);
  ModelElements()->AddElement(model);
}

void TElementModel::NewPropertyName(const std::string& name) {
  auto* model = new TPropertyModel;
  model->SetName(name);
  ModelProperties()->AddElement(model);
}

void TElementModel::NewImage(const std::string& text) { Images()->NextValue(text); }

TPropertyModel* TElementModel::LastPropertyModel() const {
  TEntity* properties = FilledPart("PROPERTIES");
  return properties ? DynamicCast<TPropertyModel>(properties->Children().back()) : nullptr;
}

TElement* TElementModel::GetModelElement() {
  const std::string name = GetName();
  for (int i = 0; i < GetOwnersCount(); ++i) {
    TElement* owner = GetOwner(i);
    if (owner && platform::AnsiSameText(owner->GetName(), name) &&
        platform::AnsiSameText(owner->ClassName(), ElementClassName))
      return owner;
  }
  return nullptr;
}

// ---------------------------------------------------------------- class descriptions

TClass TModelLink::StaticClass() {
  static const TClassInfo info = DescribeClass<TModelLink>(
      "TModelLink", TOwnerElement::StaticClass(), "e_ElementModel",
      {ReadWriteProp("Source", &TModelLink::GetSource, &TModelLink::SetSource),
       ReadWriteProp("Destination", &TModelLink::GetDestination, &TModelLink::SetDestination)});
  return &info;
}

TClass TPropertyModel::StaticClass() {
  static const TClassInfo info = DescribeClass<TPropertyModel>(
      "TPropertyModel", TOwnerEntity::StaticClass(), "e_ElementModel",
      {FieldProp("LinkOnly", &TPropertyModel::LinkOnly), FieldProp("Alias", &TPropertyModel::Alias),
       FieldProp("Value", &TPropertyModel::Value),
       NotStored(AccessorProp<TPropertyModel, TOwnerEntity*>(
           "Links", [](const TPropertyModel& m) { return const_cast<TPropertyModel&>(m).Links(); }, nullptr)),
       NotStored(ReadProp("NoLinks", &TPropertyModel::NoLinks)),
       WriteProp("NewSourceLink", &TPropertyModel::NewSourceLink),
       WriteProp("NewDestinationLink", &TPropertyModel::NewDestinationLink)});
  return &info;
}

TClass TElementModel::StaticClass() {
  static const TClassInfo info = DescribeClass<TElementModel>(
      "TElementModel", TPropertyModel::StaticClass(), "e_ElementModel",
      {FieldProp("ElementClassName", &TElementModel::ElementClassName),
       FieldProp("Comment", &TElementModel::Comment),
       FieldProp("AttachToPropertyName", &TElementModel::AttachToPropertyName),
       FieldProp("ImageIndex", &TElementModel::ImageIndex),
       NotStored(AccessorProp<TElementModel, TOwnerEntity*>(
           "ModelElements", [](const TElementModel& m) { return const_cast<TElementModel&>(m).ModelElements(); },
           nullptr)),
       NotStored(ReadProp("NoModelElements", &TElementModel::NoModelElements)),
       NotStored(AccessorProp<TElementModel, TOwnerEntity*>(
           "ModelProperties", [](const TElementModel& m) { return const_cast<TElementModel&>(m).ModelProperties(); },
           nullptr)),
       NotStored(ReadProp("NoModelProperties", &TElementModel::NoModelProperties)),
       NotStored(AccessorProp<TElementModel, TStringListElement*>(
           "Images", [](const TElementModel& m) { return const_cast<TElementModel&>(m).Images(); }, nullptr)),
       NotStored(ReadProp("NoImages", &TElementModel::NoImages)),
       WriteProp("NewElementName", &TElementModel::NewElementName),
       WriteProp("NewPropertyName", &TElementModel::NewPropertyName), WriteProp("NewImage", &TElementModel::NewImage),
       NotStored(ReadProp("LastPropertyModel", &TElementModel::LastPropertyModel))});
  return &info;
}

void RegisterElementModelClasses() {
  for (TClass cls : {TModelLink::StaticClass(), TPropertyModel::StaticClass(), TElementModel::StaticClass()})
    RegisterKestuClass(cls);
}
