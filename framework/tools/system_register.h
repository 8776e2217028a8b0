#pragma once
// The system register: named sections that configure the user interface and
// the class models, filled by the start-up scripts.
#include "framework/core/elements.h"

class TStringListElement;
class TRegisterClassModels;

class TSystemRegister : public TOwnerEntity {
  KESTX_CLASS(TSystemRegister)
 public:
  // The sections "IMAGES", "CURSORS" and "CLASS MODELS": the child of that
  // name (any letter case), created when missing; nil when a child of that
  // name is of another class.
  TStringListElement* Images();
  TStringListElement* Cursors();
  TRegisterClassModels* ClassModels();

 private:
  TElement* Section(TElementLink& cache, TClass cls, const char* name);

  TElementLink images_;
  TElementLink cursors_;
  TElementLink classModels_;
};

void RegisterSysRegClasses();
