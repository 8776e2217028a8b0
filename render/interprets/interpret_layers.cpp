#include "render/interprets/interpret_layers.h"

#include "framework/core/class_registry.h"
#include "render/interprets/interpret.h"
#include "render/interprets/interpret_script.h"

std::string TInterpretLayer::LayerClassName() const { return layerClass_ ? layerClass_->ClassName : ""; }

void TInterpretLayer::SetLayerClassName(const std::string& name) { layerClass_ = FindKestuClassWithOrWithoutT(name); }

TInterpret* TInterpretLayer::Interpret() const { return static_cast<TInterpret*>(interpret_.Get()); }

void TInterpretLayer::SetInterpret(TInterpret* interpret) { SetLinkedElement(interpret_, interpret); }

std::string TInterpretLayer::InterpretName() const { return Interpret() ? Interpret()->ClassName() : ""; }

void TInterpretLayer::SetInterpretName(const std::string& name) {
  if (Interpret() && AsciiUpperCase(Interpret()->ClassName()) == AsciiUpperCase(name)) return;
  TClass cls = FindInterpretClass(name);
  SetInterpret(cls ? static_cast<TInterpret*>(NewElement(cls)) : nullptr);
}

bool TInterpretLayer::VisibleAt(double scale) const {
  return !SwitchedOff && (MinScaleNumber == 0 || scale > MinScaleNumber) &&
         (MaxScaleNumber == 0 || scale < MaxScaleNumber);
}

void TInterpretContainer::AddElement(TElement* element) {
  TRectEntity::AddElement(element);
  if (DynamicCast<TRectEntity>(element)) IncludeElement(element);
}

TClass TInterpretLayer::StaticClass() {
  static const TClassInfo info = DescribeClass<TInterpretLayer>(
      "TInterpretLayer", TRectEntity::StaticClass(), "I_uni",
      {ReadWriteProp("LayerClassName", &TInterpretLayer::LayerClassName, &TInterpretLayer::SetLayerClassName),
       FieldProp("LayerType", &TInterpretLayer::LayerType), FieldProp("Path", &TInterpretLayer::Path),
       FieldProp("GlobalColor", &TInterpretLayer::GlobalColor),
       FieldProp("GlobalSymbol", &TInterpretLayer::GlobalSymbol),
       FieldProp("SwitchedOff", &TInterpretLayer::SwitchedOff),
       ReadWriteProp("Interpret", &TInterpretLayer::Interpret, &TInterpretLayer::SetInterpret),
       NotStored(ReadWriteProp("InterpretName", &TInterpretLayer::InterpretName, &TInterpretLayer::SetInterpretName)),
       FieldProp("MinScaleNumber", &TInterpretLayer::MinScaleNumber),
       FieldProp("MaxScaleNumber", &TInterpretLayer::MaxScaleNumber), FieldProp("AsText", &TInterpretLayer::AsText)});
  return &info;
}

TClass TInterpretContainer::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TInterpretContainer>("TInterpretContainer", TRectEntity::StaticClass(), "I_uni", {});
  return &info;
}

void RegisterInterpretLayerClasses() {
  RegisterKestuClass(TInterpretLayer::StaticClass());
  RegisterKestuClass(TInterpretContainer::StaticClass());
}
