#include "oil/runtime/oil_value.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "framework/core/elements.h"
#include "tests/oil/oil_fixture.h"

namespace {

// Every read of a value or an element as "type|boolean|char code|byte|integer|float|text|element"; "!" where a read
// raises.
template <class Value>
std::string ReadAll(const Value& value, int type) {
  std::ostringstream text;
  text.precision(15);
  const auto field = [&text](auto read) {
    try {
      text << read() << "|";
    } catch (const std::exception&) {
      text << "!|";
    }
  };
  text << type << "|";
  field([&] { return value.GetAsBoolean(); });
  field([&] { return int(static_cast<unsigned char>(value.GetAsChar())); });
  field([&] { return int(value.GetAsByte()); });
  field([&] { return value.GetAsInteger(); });
  field([&] { return value.GetAsFloat(); });
  field([&] { return value.GetAsString(); });
  field([&] { return static_cast<const void*>(value.GetAsPointer()); });
  return text.str();
}

class OilValues : public OilTest {};

// A value taken from an element reads as the element does, and the element it makes again reads alike.
TEST_F(OilValues, ReadAsTheElementsTheyAreTakenFromAndMake) {
  const struct {
    const char* name;
    std::function<TTypeElement*()> make;
  } cases[] = {
      {"true", [] { return TBooleanElement::CreateValue(true); }},
      {"ASCII char", [] { return TCharElement::CreateValue('A'); }},
      {"code page char", [] { return TCharElement::CreateValue('\x9E'); }},
      {"byte", [] { return TByteElement::CreateValue(200); }},
      {"float", [] { return TFloatElement::CreateValue(-2.5); }},
      {"float beyond the integers", [] { return TFloatElement::CreateValue(1e20); }},
      {"numeric text", [] { return TStringElement::CreateValue("42"); }},
      {"accented text", [] { return TStringElement::CreateValue("\u017Elu\u0165"); }},
      {"integer", [] { return TIntegerElement::CreateValue(-17); }},
      {"element", [this] { return TPointerElement::CreateValue(world.get()); }},
      {"nil", [] { return TPointerElement::CreateValue(nullptr); }},
      {"untyped", [] { return new TTypeElement; }},
  };
  for (const auto& c : cases) {
    const std::unique_ptr<TTypeElement> element(c.make());
    const TOilValue value = TOilValue::Of(*element);
    const std::string expected = ReadAll(*element, TypeCodeOf(*element));
    EXPECT_EQ(ReadAll(value, TypeCodeOf(value)), expected) << c.name;
    const std::unique_ptr<TTypeElement> made = value.NewElement();
    EXPECT_EQ(made->ClassType()->ClassName, element->ClassType()->ClassName) << c.name;
    EXPECT_EQ(ReadAll(*made, TypeCodeOf(*made)), expected) << c.name;
    EXPECT_EQ(ReadAll(TOilValue(c.make()), TypeCodeOf(value)), expected) << c.name << " taken over";
  }
}

// Each row stores a value into a new element of a class; the element's reads afterwards.
TEST_F(OilValues, StoreIntoAnElementByTheElementsType) {
  const struct {
    const char* name;
    TOilValue value;
    std::function<TTypeElement*()> storage;
    std::string text;
  } cases[] = {
      {"integer into float", TOilValue::Integer(3), [] { return TFloatElement::CreateValue(0); },
       " 3.00000000000000E+0000"},
      {"byte into integer", TOilValue::Byte(200), [] { return TIntegerElement::CreateValue(0); }, "200"},
      {"code page char into text", TOilValue::Char('\x9E'), [] { return TStringElement::CreateValue("x"); },
       "\u017E"},
      {"integer into byte through its text", TOilValue::Integer(300), [] { return TByteElement::CreateValue(0); },
       "44"},
      {"false into boolean", TOilValue::Boolean(false), [] { return TBooleanElement::CreateValue(true); }, "false"},
      {"nil into element", TOilValue::Element(nullptr), [this] { return TPointerElement::CreateValue(world.get()); },
       "0"},
  };
  for (const auto& c : cases) {
    const std::unique_ptr<TTypeElement> storage(c.storage());
    c.value.StoreInto(*storage);
    EXPECT_EQ(storage->GetAsString(), c.text) << c.name;
  }
  // An element is stored by its handle: the storage refers to the same element.
  const std::unique_ptr<TTypeElement> storage(TPointerElement::CreateValue(nullptr));
  TOilValue::Element(main).StoreInto(*storage);
  EXPECT_EQ(storage->GetAsPointer(), main);
}

}  // namespace
