#include "framework/tools/system_register.h"

#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "framework/values/inheritance_models.h"

TElement* TSystemRegister::Section(TElementLink& cache, TClass cls, const char* name) {
  TElement* section = cache.Get();
  if (!section) {
    section = GetOrCreateElement(cls, name);
    cache.Set(section);
  }
  return section && section->InheritsFrom(cls) ? section : nullptr;
}

TStringListElement* TSystemRegister::Images() {
  return static_cast<TStringListElement*>(Section(images_, TStringListElement::StaticClass(), "IMAGES"));
}

TStringListElement* TSystemRegister::Cursors() {
  return static_cast<TStringListElement*>(Section(cursors_, TStringListElement::StaticClass(), "CURSORS"));
}

TRegisterClassModels* TSystemRegister::ClassModels() {
  return static_cast<TRegisterClassModels*>(
      Section(classModels_, TRegisterClassModels::StaticClass(), "CLASS MODELS"));
}

TClass TSystemRegister::StaticClass() {
  static const TClassInfo info = DescribeClass<TSystemRegister>(
      "TSystemRegister", TOwnerEntity::StaticClass(), "e_SysReg",
      {NotStored(AccessorProp<TSystemRegister, TStringListElement*>(
           "Images", [](const TSystemRegister& r) { return const_cast<TSystemRegister&>(r).Images(); }, nullptr)),
       NotStored(AccessorProp<TSystemRegister, TStringListElement*>(
           "Cursors", [](const TSystemRegister& r) { return const_cast<TSystemRegister&>(r).Cursors(); }, nullptr)),
       NotStored(AccessorProp<TSystemRegister, TRegisterClassModels*>(
           "ClassModels", [](const TSystemRegister& r) { return const_cast<TSystemRegister&>(r).ClassModels(); },
           nullptr))});
  return &info;
}

void RegisterSysRegClasses() { RegisterKestuClass(TSystemRegister::StaticClass()); }
