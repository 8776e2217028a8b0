#pragma once
// Small tools that let scripts create, find, add, run and free elements by
// class name, without code of their own: made by name, given their
// properties and Input, run, and read through Output.  A tool whose
// condition fails does nothing and keeps its Output.
#include <string>

#include "framework/tools/tools.h"

class TCreateElement : public TTool {
  KESTX_CLASS(TCreateElement)
 public:
  std::string NameOfClass;
  std::string ElementName;
  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;

 protected:
  // The new element of the named class, or nil.
  TElement* NewOfClass() const;
};

class TCreate : public TCreateElement {
  KESTX_CLASS(TCreate)
 public:
  void DoIt() override;
};

class TCreateTool : public TTool {
  KESTX_CLASS(TCreateTool)
 public:
  std::string NameOfTool;
  std::string ElementName;
  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;
};

class TDoIt : public TTool {
  KESTX_CLASS(TDoIt)
 public:
  void DoIt() override;
};

class TFree : public TTool {
  KESTX_CLASS(TFree)
 public:
  void DoIt() override;
};

class TFreeAll : public TTool {
  KESTX_CLASS(TFreeAll)
 public:
  void DoIt() override;
};

class TAddElement : public TTool {
  KESTX_CLASS(TAddElement)
 public:
  TElement* ElementToAdd() const { return elementToAdd_.Get(); }
  void SetElementToAdd(TElement* element) { elementToAdd_.Set(element); }
  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;

 private:
  TElementLink elementToAdd_;
};

class TFindOwnerByClass : public TTool {
  KESTX_CLASS(TFindOwnerByClass)
 public:
  std::string OwnerClass;
  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;
};

class TFindOwnerByName : public TTool {
  KESTX_CLASS(TFindOwnerByName)
 public:
  std::string OwnerName;
  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;
};

class TFindElementByClass : public TTool {
  KESTX_CLASS(TFindElementByClass)
 public:
  std::string ClassOfElement;
  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;
};

class TFindElementByName : public TTool {
  KESTX_CLASS(TFindElementByName)
 public:
  std::string ElementName;
  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;
};

void RegisterScriptElementToolClasses();
