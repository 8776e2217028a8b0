#pragma once
// Typed value elements: one value each, readable and writable as any of the
// basic types by fixed conversion rules that scripts and conditions rely on
// when they compare values across types.  String lists of name = value items
// built of them serve as dictionaries.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/elements.h"

// Published as Typ; the value names are "_Boolean" ... "_Other".
enum class TType : std::uint8_t { Boolean, Char, Byte, Float, String, Integer, Pointer, Other };

namespace typinfo {
template <>
const TEnumType& EnumTypeOf<TType>();
}

// How a Float becomes a whole number wherever values convert: to the nearest,
// halves to the even neighbour.
double RoundHalfEven(double value);

// The base reads as 0, #0, false, empty text and nil and ignores every write.
// Chars are Windows-1250 codes; texts are UTF-8.
class TTypeElement : public TOwnerElement {
  KESTX_CLASS(TTypeElement)
 public:
  virtual TType GetTyp() const;
  virtual std::string GetTypeAsString() const;
  virtual std::uint8_t GetAsByte() const;
  virtual void SetAsByte(std::uint8_t value);
  virtual std::int32_t GetAsInteger() const;
  virtual void SetAsInteger(std::int32_t value);
  virtual char GetAsChar() const;
  virtual void SetAsChar(char value);
  virtual std::string GetAsString() const;
  virtual void SetAsString(const std::string& value);
  virtual double GetAsFloat() const;
  virtual void SetAsFloat(double value);
  virtual bool GetAsBoolean() const;
  virtual void SetAsBoolean(bool value);
  virtual TElement* GetAsPointer() const;
  virtual void SetAsPointer(TElement* value);
  virtual std::string GetUpperName() const;
  // A new element of the same class with the same value and name; nil for
  // the base class.
  virtual TTypeElement* CreateCopy() const;
};

class TBooleanElement : public TTypeElement {
  KESTX_CLASS(TBooleanElement)
 public:
  static TBooleanElement* CreateValue(bool value);
  TType GetTyp() const override;
  std::string GetTypeAsString() const override;
  std::uint8_t GetAsByte() const override;
  void SetAsByte(std::uint8_t value) override;
  std::string GetAsString() const override;
  void SetAsString(const std::string& value) override;
  bool GetAsBoolean() const override;
  void SetAsBoolean(bool value) override;

 private:
  bool value_ = false;
};

class TCharElement : public TTypeElement {
  KESTX_CLASS(TCharElement)
 public:
  static TCharElement* CreateValue(char value);
  TType GetTyp() const override;
  std::string GetTypeAsString() const override;
  std::uint8_t GetAsByte() const override;
  void SetAsByte(std::uint8_t value) override;
  std::int32_t GetAsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  char GetAsChar() const override;
  void SetAsChar(char value) override;
  std::string GetAsString() const override;
  void SetAsString(const std::string& value) override;

 private:
  char value_ = '\0';
};

class TByteElement : public TTypeElement {
  KESTX_CLASS(TByteElement)
 public:
  static TByteElement* CreateValue(std::uint8_t value);
  TType GetTyp() const override;
  std::string GetTypeAsString() const override;
  std::uint8_t GetAsByte() const override;
  void SetAsByte(std::uint8_t value) override;
  std::int32_t GetAsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  char GetAsChar() const override;
  void SetAsChar(char value) override;
  std::string GetAsString() const override;
  void SetAsString(const std::string& value) override;
  double GetAsFloat() const override;
  void SetAsFloat(double value) override;
  bool GetAsBoolean() const override;
  void SetAsBoolean(bool value) override;

 private:
  std::uint8_t value_ = 0;
};

class TFloatElement : public TTypeElement {
  KESTX_CLASS(TFloatElement)
 public:
  static TFloatElement* CreateValue(double value);
  TType GetTyp() const override;
  std::string GetTypeAsString() const override;
  // Raises EInvalidOp beyond the 64-bit range.
  std::int32_t GetAsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  // The 23-character scientific text.
  std::string GetAsString() const override;
  void SetAsString(const std::string& value) override;
  double GetAsFloat() const override;
  void SetAsFloat(double value) override;

 private:
  double value_ = 0;
};

class TIntegerListElement;

class TStringElement : public TTypeElement {
  KESTX_CLASS(TStringElement)
 public:
  static TStringElement* CreateValue(const std::string& value);
  static TStringElement* CreateNameValue(const std::string& name, const std::string& value);
  static TStringElement* CreateNameIsValue(const std::string& text);

  TType GetTyp() const override;
  std::string GetTypeAsString() const override;
  std::int32_t GetAsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  std::string GetAsString() const override;
  void SetAsString(const std::string& value) override;
  double GetAsFloat() const override;
  void SetAsFloat(double value) override;
  bool GetAsBoolean() const override;
  void SetAsBoolean(bool value) override;

  // Extends the value in place, without a copy of it (SetAsString of the
  // value with the text after it, for this class itself).
  void AppendString(const std::string& text);

  std::string GetNameIsValue() const;
  void SetNameIsValue(const std::string& text);
  // Every integer a line scanner reads from the value; nil when none.
  TIntegerListElement* GetIntegerList() const;
  bool TryGetInteger(std::int32_t& value) const;

 protected:
  // Sets name and value of a new element of a string class.
  static TStringElement* Init(TStringElement* element, const std::string& name, const std::string& value);
  static TStringElement* InitNameIsValue(TStringElement* element, const std::string& text);

 private:
  std::string value_;
};

// A string element holding a file path.
class TPathElement : public TStringElement {
  KESTX_CLASS(TPathElement)
 public:
  static TPathElement* CreateValue(const std::string& value);
  static TPathElement* CreateNameValue(const std::string& name, const std::string& value);
  static TPathElement* CreateNameIsValue(const std::string& text);
};

class TIntegerElement : public TTypeElement {
  KESTX_CLASS(TIntegerElement)
 public:
  static TIntegerElement* CreateValue(std::int32_t value);
  static TIntegerElement* CreateNameValue(const std::string& name, std::int32_t value);
  TType GetTyp() const override;
  std::string GetTypeAsString() const override;
  std::uint8_t GetAsByte() const override;
  void SetAsByte(std::uint8_t value) override;
  std::int32_t GetAsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  std::string GetAsString() const override;
  void SetAsString(const std::string& value) override;
  double GetAsFloat() const override;
  // Raises EInvalidOp when the rounded value is no 32-bit integer.
  void SetAsFloat(double value) override;
  bool GetAsBoolean() const override;
  void SetAsBoolean(bool value) override;
  // The value is the handle of the element.
  TElement* GetAsPointer() const override;
  void SetAsPointer(TElement* value) override;

 private:
  std::int32_t value_ = 0;
};

// Refers to an element without owning it, by its handle: reads nil once the
// element is freed.
class TPointerElement : public TTypeElement {
  KESTX_CLASS(TPointerElement)
 public:
  static TPointerElement* CreateValue(TElement* value);
  TType GetTyp() const override;
  std::string GetTypeAsString() const override;
  std::int32_t GetAsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  std::string GetAsString() const override;
  void SetAsString(const std::string& value) override;
  TElement* GetAsPointer() const override;
  void SetAsPointer(TElement* value) override;

 private:
  std::uint32_t handle_ = 0;
};

class TIntegerListElement : public TOwnerEntity {
  KESTX_CLASS(TIntegerListElement)
 public:
  bool Sorted = false;
  bool Duplicates = false;

  std::int32_t GetInteger(int index);
  bool Contains(std::int32_t value) const;
  void AddInteger(std::int32_t value);
  // Raises EConvertError for a part that is no integer.
  void AddCommaText(const std::string& text);
};

class TStringListElement : public TOwnerEntity {
  KESTX_CLASS(TStringListElement)
 public:
  static TStringListElement* CreateFromStrings(const std::vector<std::string>& lines);

  TStringElement* GetItem(int index);
  std::string GetValue(int index);
  std::string GetItemName(int index);
  std::string GetItemUpperName(int index);
  void SetValue(int index, const std::string& value);
  void SetItemName(int index, const std::string& name);

  TStringElement* FindItem(const std::string& name) const;
  std::string GetValueByName(const std::string& name) const;
  std::int32_t GetIntegerByName(const std::string& name) const;
  void SetValueByName(const std::string& name, const std::string& value);
  void SetIntegerByName(const std::string& name, std::int32_t value);

  void NextValue(const std::string& text);
  void NextName(const std::string& text);
  void NextNameIsValue(const std::string& text);
  TStringElement* AddNameValue(const std::string& name, const std::string& value);
  void NextStringList(const std::vector<std::string>& lines);
  // The file is Windows-1250 text; lines end in CR LF when written.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  std::vector<std::string> GetValueList() const;
  void SplitNameValues();

  // Items act as properties that the class does not publish.
  bool HasProperty(const std::string& name) const override;
  std::string GetPropertyText(const std::string& name) const override;
  void SetPropertyText(const std::string& name, const std::string& text) override;

 protected:
  TStringElement* ItemOf(const TElement* child) const;
};

class TPropertyList : public TStringListElement {
  KESTX_CLASS(TPropertyList)
 public:
  std::string Delimiter;
  using TStringListElement::SetElement;
  // Each item takes the element's property named by the item ("-" in front
  // negates the text).
  void SetElement(TElement* element);
  std::string GetCatenation() const;
};

void RegisterTypeClasses();
