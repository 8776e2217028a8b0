#include "oil/runtime/oil_value.h"

#include <utility>

#include "platform/code_page.h"

TOilValue::TOilValue(TTypeElement* element) {
  const std::unique_ptr<TTypeElement> owned(element);
  if (owned) *this = Of(*owned);
}

TOilValue TOilValue::Of(const TTypeElement& element) {
  switch (element.GetTyp()) {
    case TType::Boolean: return Boolean(element.GetAsBoolean());
    case TType::Char: return Char(element.GetAsChar());
    case TType::Byte: return Byte(element.GetAsByte());
    case TType::Float: return Float(element.GetAsFloat());
    case TType::String: return String(element.GetAsString());
    case TType::Integer: return Integer(element.GetAsInteger());
    case TType::Pointer: {
      // A pointer element's integer is its handle: copied without a look-up.
      TOilValue value(TType::Pointer);
      value.handle_ = static_cast<std::uint32_t>(element.GetAsInteger());
      return value;
    }
    default: return TOilValue(TType::Other);
  }
}

TOilValue TOilValue::Boolean(bool value) {
  TOilValue made(TType::Boolean);
  made.boolean_ = value;
  return made;
}

TOilValue TOilValue::Char(char value) {
  TOilValue made(TType::Char);
  made.char_ = value;
  return made;
}

TOilValue TOilValue::Byte(std::uint8_t value) {
  TOilValue made(TType::Byte);
  made.byte_ = value;
  return made;
}

TOilValue TOilValue::Float(double value) {
  TOilValue made(TType::Float);
  made.float_ = value;
  return made;
}

TOilValue TOilValue::Integer(std::int32_t value) {
  TOilValue made(TType::Integer);
  made.integer_ = value;
  return made;
}

TOilValue TOilValue::String(std::string value) {
  TOilValue made(TType::String);
  made.text_ = std::move(value);
  return made;
}

TOilValue TOilValue::Element(TElement* element) {
  TOilValue made(TType::Pointer);
  made.handle_ = HandleOfElement(element);
  return made;
}

// The common cases are read directly; every other conversion is the one of
// the value element itself, so that both read alike.
bool TOilValue::GetAsBoolean() const {
  return type_ == static_cast<int>(TType::Boolean) ? boolean_ : NewElement()->GetAsBoolean();
}

char TOilValue::GetAsChar() const {
  return type_ == static_cast<int>(TType::Char) ? char_ : NewElement()->GetAsChar();
}

std::uint8_t TOilValue::GetAsByte() const {
  return type_ == static_cast<int>(TType::Byte) ? byte_ : NewElement()->GetAsByte();
}

std::int32_t TOilValue::GetAsInteger() const {
  switch (static_cast<TType>(type_)) {
    case TType::Integer: return integer_;
    case TType::Byte: return byte_;
    case TType::Pointer: return static_cast<std::int32_t>(handle_);
    default: return NewElement()->GetAsInteger();
  }
}

double TOilValue::GetAsFloat() const {
  switch (static_cast<TType>(type_)) {
    case TType::Float: return float_;
    case TType::Integer: return integer_;
    case TType::Byte: return byte_;
    default: return NewElement()->GetAsFloat();
  }
}

std::string TOilValue::GetAsString() const {
  switch (static_cast<TType>(type_)) {
    case TType::String: return text_;
    // A char is a Windows-1250 code; texts are UTF-8.
    case TType::Char:
      if (static_cast<unsigned char>(char_) < 0x80) return std::string(1, char_);
      return platform::Cp1250ToUtf8(std::string_view(&char_, 1));
    default: return NewElement()->GetAsString();
  }
}

TElement* TOilValue::GetAsPointer() const { return ElementOfHandle(ElementHandle()); }

std::uint32_t TOilValue::ElementHandle() const {
  return type_ == static_cast<int>(TType::Pointer) ? handle_ : HandleOfElement(NewElement()->GetAsPointer());
}

std::string TOilValue::TakeText() {
  if (type_ != static_cast<int>(TType::String)) return GetAsString();
  return std::move(text_);
}

std::unique_ptr<TTypeElement> TOilValue::NewElement() const {
  switch (static_cast<TType>(type_)) {
    case TType::Boolean: return std::unique_ptr<TTypeElement>(TBooleanElement::CreateValue(boolean_));
    case TType::Char: return std::unique_ptr<TTypeElement>(TCharElement::CreateValue(char_));
    case TType::Byte: return std::unique_ptr<TTypeElement>(TByteElement::CreateValue(byte_));
    case TType::Float: return std::unique_ptr<TTypeElement>(TFloatElement::CreateValue(float_));
    case TType::String: return std::unique_ptr<TTypeElement>(TStringElement::CreateValue(text_));
    case TType::Integer: return std::unique_ptr<TTypeElement>(TIntegerElement::CreateValue(integer_));
    case TType::Pointer: {
      auto element = std::make_unique<TPointerElement>();
      element->SetAsInteger(static_cast<std::int32_t>(handle_));
      return element;
    }
    default: return std::make_unique<TTypeElement>();
  }
}

void TOilValue::StoreInto(TTypeElement& storage) const {
  switch (storage.GetTyp()) {
    case TType::Boolean: storage.SetAsBoolean(GetAsBoolean()); break;
    case TType::Char: storage.SetAsChar(GetAsChar()); break;
    case TType::Float: storage.SetAsFloat(GetAsFloat()); break;
    case TType::String:
      if (type_ == static_cast<int>(TType::String)) storage.SetAsString(text_);
      else storage.SetAsString(GetAsString());
      break;
    case TType::Integer: storage.SetAsInteger(GetAsInteger()); break;
    // The handle is what a pointer element holds: no look-up either way.
    case TType::Pointer: storage.SetAsInteger(static_cast<std::int32_t>(ElementHandle())); break;
    default: storage.SetAsString(GetAsString()); break;
  }
}

int TypeCodeOf(const TOilValue& value) { return value.Type(); }
int TypeCodeOf(const TTypeElement& value) { return static_cast<int>(value.GetTyp()); }
