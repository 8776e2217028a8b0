#pragma once
// Free-form property holders (named typed values created when first
// written) and a reflection view of the published properties of any object,
// as the property editor reads and writes them.
#include <memory>
#include <string>
#include <vector>

#include "framework/values/typed_values.h"

class TProperties : public TOwnerEntity {
  KESTX_CLASS(TProperties)
};

// One typed value child per property, named as the property (any case).
// Unknown names read as empty, 0 or false and create nothing.
class TDynamicProperties : public TProperties {
  KESTX_CLASS(TDynamicProperties)
 public:
  bool HasProperty(const std::string& name) const override;
  std::string GetPropertyText(const std::string& name) const override;
  void SetPropertyText(const std::string& name, const std::string& text) override;
  int GetPropertyInteger(const std::string& name) const override;
  void SetPropertyInteger(const std::string& name, int value) override;
  bool GetPropertyBoolean(const std::string& name) const override;
  void SetPropertyBoolean(const std::string& name, bool value) override;

 private:
  TTypeElement* Value(const std::string& name) const;
};

// One published property of one object (not owned; the caller keeps it
// alive while bound).
class TProperty : public TNameElement {
  KESTX_CLASS(TProperty)
 public:
  int PropIndex = 0;

  TObject* Instance() const { return instance_; }
  void SetInstance(TObject* instance) { instance_ = instance; }
  const TPropInfo* Info() const { return info_; }
  // Takes the property's name.
  void Bind(TObject* instance, const TPropInfo* info, int index);

  bool IsStored() const;
  // The property's type kind; 0 without type information.
  int TypeKind() const;
  // The ordinal value, or the handle of a class property's element.
  int PropLongInt() const;
  std::string GetPropString() const;
  void SetPropString(const std::string& text);

 private:
  TObject* instance_ = nullptr;
  const TPropInfo* info_ = nullptr;
};

// The published properties of a bound object (not owned), one selected at a
// time as ActualProperty.  Names it does not publish itself select the
// object's property of that name.
class TInstanceProperties : public TPropertyList {
  KESTX_CLASS(TInstanceProperties)
 public:
  TInstanceProperties();
  ~TInstanceProperties() override;

  TObject* Instance() const { return instance_; }
  // Nil unbinds: no instance, no properties, none selected.
  void SetInstance(TObject* instance);
  std::string InstClassName() const;
  int PropCount() const { return static_cast<int>(props_.size()); }
  // -1 without a selected property.
  int GetPropIndex() const;
  // An index outside 0 .. PropCount - 1 is ignored.
  void SetPropIndex(int index);
  std::string GetPropName() const;
  // An unknown name leaves the selection as it was.
  void SetPropName(const std::string& name);
  std::string GetPropString() const;
  void SetPropString(const std::string& text);
  TProperty* ActualProperty() const { return actual_.get(); }
  int PropKind() const;
  // Refills the list with one name = value item per property when true.
  void SetIsList(bool value);

  // The instance's properties act as this list's own.
  bool HasProperty(const std::string& name) const override;
  std::string GetPropertyText(const std::string& name) const override;
  void SetPropertyText(const std::string& name, const std::string& text) override;

 private:
  int IndexOfProp(const std::string& name) const;
  // Reading a property by name selects it, also through a const view.
  void Select(int index) const;
  // Selects the instance's property of that name; nil when it has none.
  TProperty* SelectNamed(const std::string& name) const;

  TObject* instance_ = nullptr;
  std::vector<const TPropInfo*> props_;
  mutable std::unique_ptr<TProperty> actual_;
};

void RegisterE_propsClasses();
