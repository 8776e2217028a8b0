#pragma once
// The class registry (element classes by name), the descriptions of their
// published properties, cloning through properties, and the text forms of
// property values that scripts, files and the explorer read and write.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "framework/core/elements.h"

class EClassNotFound : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The class library's general exception, and its conversion and
// floating-point invalid-operation errors.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};
class EInvalidOp : public Exception {
 public:
  EInvalidOp();
};

class TKestuClassProperty;

class TKestuClass : public TOwnerEntity {
  KESTX_CLASS(TKestuClass)
 public:
  TClass ElementClass() const { return elementClass_; }
  void SetElementClass(TClass cls);
  int PropCount() const { return static_cast<int>(props_.size()); }

  virtual bool IsStoredProperty(int index) const;
  virtual void FillProperties();
  virtual int IndexOfProperty(const std::string& name) const;

  std::string PropertyName(int index) const;
  TTypeKind PropertyKind(int index) const;
  const TPropInfo* PropertyInfo(int index) const;
  TClass PropertyClass(int index) const;
  // The element stream skips properties that cannot be both read and written.
  bool IsReadOrWriteOnly(int index) const;
  bool IsNamed(const std::string& name) const;

  std::string ElementClassName() const;
  std::string AncestorClassName() const;
  std::string UnitName() const;

 private:
  TClass elementClass_ = nullptr;
  std::vector<const TPropInfo*> props_;
};

class TKestuClassProperty : public TNameElement {
  KESTX_CLASS(TKestuClassProperty)
 public:
  const TPropInfo* Descriptor() const { return descriptor_; }
  void Bind(const TPropInfo* descriptor);
  int PropIndex = 0;
  bool LostProperty = false;
  TTypeKind StoredKind = tkUnknown;
  int TypeKind() const;

 private:
  const TPropInfo* descriptor_ = nullptr;
};

class TKestuClasses : public TOwnerEntity {
  KESTX_CLASS(TKestuClasses)
 public:
  bool ShowProperties = false;
  bool SortByName() const { return true; }

  virtual void AddEntry(TKestuClass* entry);
  virtual TKestuClass* RegisterClass(TClass cls);
  virtual TKestuClass* FindEntry(const std::string& name);
  virtual TClass FindClass(const std::string& name);
  virtual TClass GetClass(const std::string& name);

  TKestuClass* Entry(int index) const;
  // Nil once that entry has left the registry.
  TKestuClass* LastEntry() const;

  // Only class entries can be children: the lookups read every child as one.
  // Anything else raises Exception.
  void AddElement(TElement* element) override;
  void InsertElement(int index, TElement* element) override;
  void SetElement(int index, TElement* element) override;

 private:
  struct Search {
    int Found = -1;
    int InsertAt = -1;
  };
  Search BinarySearch(const std::string& name) const;
  void InsertInOrder(TKestuClass* entry);

  TKestuClass* lastEntry_ = nullptr;
  int counter_ = 0;
};

class TKestuInstance : public TKestuClass {
  KESTX_CLASS(TKestuInstance)
 public:
  TObject* Instance() const { return instance_; }
  void SetInstance(TObject* instance);
  bool IsStoredProperty(int index) const override;
  TElement* Clone() const;

  // A property's value on the instance by the property's name and kind:
  // integer, char, enumeration, set, wide char and 64-bit integer as an
  // ordinal, float as an extended real, the string kinds as text, class as
  // the element, method as its code and data, and an enumeration also by the
  // name of its value.  Reading a property that is missing, of another kind
  // or without a reader gives 0, empty or nil.  Writing answers whether the
  // value was taken: a property that is missing, of another kind or without
  // a writer, an ordinal outside the property's range, an unknown value name
  // and an element of the wrong class are refused and change nothing.
  std::int64_t GetOrdValue(const std::string& name) const;
  bool SetOrdValue(const std::string& name, std::int64_t value);
  long double GetFloatValue(const std::string& name) const;
  bool SetFloatValue(const std::string& name, long double value);
  std::string GetStrValue(const std::string& name) const;
  bool SetStrValue(const std::string& name, const std::string& value);
  TElement* GetElementValue(const std::string& name) const;
  bool SetElementValue(const std::string& name, TElement* value);
  TMethod GetMethodValue(const std::string& name) const;
  bool SetMethodValue(const std::string& name, const TMethod& value);
  std::string GetEnumName(const std::string& name) const;
  bool SetEnumName(const std::string& name, const std::string& valueName);

 private:
  // The descriptor of the named property when its kind is one of the kinds
  // (a set of bits 1 << kind).
  const TPropInfo* PropertyOfKind(const std::string& name, std::uint32_t kinds) const;

  TObject* instance_ = nullptr;
};

// The process-wide registry; created by the first registration.
TKestuClasses* KestuClasses();
TKestuClass* RegisterKestuClass(TClass cls);
TClass FindKestuClass(const std::string& name);
TClass GetKestuClass(const std::string& name);
// The class of that name, else of that name with "T" in front: the lookup of
// everything that names classes the way users write them.  tried (when
// given) receives the last name looked up.
TClass FindKestuClassWithOrWithoutT(const std::string& name, std::string* tried = nullptr);
TElement* CreateElementByClassName(const std::string& name);
TElement* CloneElement(const TElement* element);

// Text access to published properties of any object.
int GetPropertyCount(const TObject& object);
void GetPropertyNameByIndex(const TObject& object, int index, std::string& name);
int GetPropertyIndex(const TObject& object, const std::string& name);
void GetPropertyTextByName(const TObject& object, const std::string& name, std::string& text);
void PropertyTextByIndex(const TObject& object, int index, std::string& text);
void SetPropertyTextByIndex(TObject& object, int index, const std::string& text);
bool SetPropertyTextByName(TObject& object, const std::string& name, const std::string& text);
TObject* GetObjectPropByName(const TObject& object, const std::string& name);
bool SetObjectPropByName(TObject& object, const std::string& name, TObject* value);
void PropInfoToText(const TObject& object, const TPropInfo* info, std::string& text);
// The message box of a property that could not be set from a text.
void ShowPropertyFillError(const std::string& name, const std::string& text);
// Scripts' and files' text for a property: a number beyond what the
// property's type holds, an unknown enumeration name or the handle of no
// fitting element is refused with the fill error and the value kept; any
// other text that is no number sets a number property to 0.
void SetPropInfoFromText(TObject* object, const TPropInfo* info, const std::string& text);
// Whether data from outside (a KES file, a model script) may set the
// property: one its class stores, reads and writes.  The setter of any other
// may act beyond the object (rename or write a file, post a message).
inline bool IsStoredData(const TPropInfo& info) {
  return info.StoredConstant.value_or(true) && info.HasRead() && info.HasWrite();
}
// The same for a name given to an object: a name its class does not publish
// (a dynamic property, or none) is not refused here.
inline bool MayTakeStoredData(const TObject& object, const std::string& name) {
  const TPropInfo* info = object.ClassType()->FindProp(name);
  return !info || IsStoredData(*info);
}
// A person's entry for a property: written only when the text is a value of
// the property's kind (an integer in the property's range, an enumeration's
// number or name, a number its type holds, any text, an element's handle);
// otherwise the fill error is shown and the value stays, unless the text is
// the value's own text.  Scripts and files keep the lenient
// SetPropInfoFromText.
bool SetPropInfoFromEntry(TObject* object, const TPropInfo* info, const std::string& text);

// Small text functions used across the system.
int TextToInt(const std::string& text);
// The class library's strict conversions: false (or EConvertError) when the
// text is no 32-bit integer, or no number with "." as the decimal point.
bool TryTextToInt(const std::string& text, int& value);
int StrToInt(const std::string& text);
bool TryTextToFloat(const std::string& text, long double& value);
std::string AsciiUpperCase(const std::string& text);
bool IsFloatText(const std::string& text);
long double TextToFloatAnySep(const std::string& text);
// The class library's default float text: 15 significant digits, general form.
std::string FloatToText(long double value);
std::string BoolToText(bool value);
bool TextToBool(const std::string& text);
std::string& EnsureTPrefix(std::string& name);
void SwapFirstSeparator(std::string& text, char a, char b);
std::string& AddTrailingBackslash(std::string& path);
std::string& EnsureTrailingBackslash(std::string& path);
std::string& RemoveTrailingBackslash(std::string& path);
std::string TrimBlanks(const std::string& text);
std::string FormatIntWidth(long long value, int width, bool zeroPad);
std::string FormatFloatWidth(int width, int decimals, double value);
// At least minDecimals and at most maxDecimals places, rounded as written
// (12.345 to two places is 12.35), trailing zeros beyond the minimum
// dropped, "." as the separator ("0.##" is 0, 2; "0.000" 3, 3).
std::string FormatDecimals(double value, int minDecimals, int maxDecimals);
bool SplitNameValue(const std::string& text, std::string& name, std::string& value);
bool SplitAtChar(const std::string& text, char ch, std::string& left, std::string& right);
std::string PStringValue(const std::string* value);
void ReplacePChar(std::unique_ptr<char[]>& target, const char* source);
std::string MethodToText(const TMethod& method);
TMethod TextToMethod(const std::string& text);

void RegisterClassUnitClasses();
