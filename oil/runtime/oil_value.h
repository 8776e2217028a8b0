#pragma once
// The value of an expression while a statement runs: a small tagged value
// that lives on the frame of whoever evaluates it.  It becomes a typed value
// element only where it is handed to the framework or stored in a frame, and
// reads as such an element does (the same conversions, the same type codes).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/values/typed_values.h"

class TOilValue {
 public:
  TOilValue() = default;
  // No value: what an operator yields when it yields none.
  TOilValue(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
  // Takes over a value element: its value is kept and the element freed.
  explicit TOilValue(TTypeElement* element);

  // The value an element holds now.
  static TOilValue Of(const TTypeElement& element);
  static TOilValue Boolean(bool value);
  static TOilValue Char(char value);
  static TOilValue Byte(std::uint8_t value);
  static TOilValue Float(double value);
  static TOilValue Integer(std::int32_t value);
  static TOilValue String(std::string value);
  static TOilValue Element(TElement* element);

  explicit operator bool() const { return type_ != kNone; }
  // Read as a value element is read: TypeCodeOf(*value), value->GetAsString().
  const TOilValue& operator*() const { return *this; }
  const TOilValue* operator->() const { return this; }

  // The type code (TType's numbering); only for a present value.
  int Type() const { return type_; }
  bool GetAsBoolean() const;
  char GetAsChar() const;
  std::uint8_t GetAsByte() const;
  std::int32_t GetAsInteger() const;
  double GetAsFloat() const;
  std::string GetAsString() const;
  TElement* GetAsPointer() const;
  // The handle of the element referred to, without looking the element up.
  std::uint32_t ElementHandle() const;
  // The text of a String value, read in place.
  const std::string& Text() const { return text_; }
  // The text of a String value, handed over; the value is left empty.
  std::string TakeText();

  // A new typed value element with the value (owned by the caller).
  std::unique_ptr<TTypeElement> NewElement() const;
  // Writes the value into an element by that element's type, as a frame's
  // slot takes a value.
  void StoreInto(TTypeElement& storage) const;

 private:
  static constexpr std::int8_t kNone = -1;
  explicit TOilValue(TType type) : type_(static_cast<std::int8_t>(type)) {}

  std::int8_t type_ = kNone;
  union {
    std::int64_t bits_ = 0;
    bool boolean_;
    char char_;
    std::uint8_t byte_;
    double float_;
    std::int32_t integer_;
    std::uint32_t handle_;
  };
  std::string text_;
};

int TypeCodeOf(const TOilValue& value);
int TypeCodeOf(const TTypeElement& value);
