#include "framework/values/typed_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/core/class_registry.h"
#include "framework/values/line_scanner.h"
#include "platform/streams.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;

// The class library raises its invalid-operation error for a value (or NaN)
// beyond the 64-bit range.
std::int64_t CheckedInt64(double value) {
  if (!(value >= -kTwoTo63 && value < kTwoTo63)) throw EInvalidOp();
  return static_cast<std::int64_t>(value);
}

std::uint8_t LowByte(std::int64_t value) { return static_cast<std::uint8_t>(static_cast<std::uint64_t>(value)); }

std::string CharText(char value) { return platform::Cp1250ToUtf8(std::string_view(&value, 1)); }

// A blank or "-", one digit, the point, 14 digits, "E", the exponent's sign and
// four exponent digits: 23 characters.
std::string ScientificText(double value) {
  if (!std::isfinite(value)) {
    const char* word = std::isnan(value) ? "NAN" : value > 0 ? "INF" : "-INF";
    return std::string(23 - std::strlen(word), ' ') + word;
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14E", std::fabs(value));
  const char* e = std::strchr(buffer, 'E');
  const int exponent = std::atoi(e + 1);
  char tail[16];
  std::snprintf(tail, sizeof tail, "E%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return std::string(value < 0 ? "-" : " ") + std::string(buffer, static_cast<std::size_t>(e - buffer)) + tail;
}

}  // namespace

double RoundHalfEven(double value) {
  double rounded = std::floor(value);
  const double fraction = value - rounded;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0)) rounded += 1;
  return rounded;
}

template <>
const TEnumType& typinfo::EnumTypeOf<TType>() {
  static const TEnumType type{"TType",
                              {"_Boolean", "_Char", "_Byte", "_Float", "_String", "_Integer", "_Pointer", "_Other"}};
  return type;
}

// ---------------------------------------------------------------- TTypeElement

TType TTypeElement::GetTyp() const { return TType::Other; }
std::string TTypeElement::GetTypeAsString() const { return ""; }
std::uint8_t TTypeElement::GetAsByte() const { return 0; }
void TTypeElement::SetAsByte(std::uint8_t) {}
std::int32_t TTypeElement::GetAsInteger() const { return 0; }
void TTypeElement::SetAsInteger(std::int32_t) {}
char TTypeElement::GetAsChar() const { return '\0'; }
void TTypeElement::SetAsChar(char) {}
std::string TTypeElement::GetAsString() const { return ""; }
void TTypeElement::SetAsString(const std::string&) {}
double TTypeElement::GetAsFloat() const { return 0; }
void TTypeElement::SetAsFloat(double) {}
bool TTypeElement::GetAsBoolean() const { return false; }
void TTypeElement::SetAsBoolean(bool) {}
TElement* TTypeElement::GetAsPointer() const { return nullptr; }
void TTypeElement::SetAsPointer(TElement*) {}
std::string TTypeElement::GetUpperName() const { return AsciiUpperCase(GetName()); }

TTypeElement* TTypeElement::CreateCopy() const {
  const TType typ = GetTyp();
  if (typ == TType::Other) return nullptr;
  auto* copy = static_cast<TTypeElement*>(NewElement(ClassType()));
  if (!copy) return nullptr;
  if (HasName()) copy->SetName(GetName());
  switch (typ) {
    case TType::Boolean: copy->SetAsBoolean(GetAsBoolean()); break;
    case TType::Char: copy->SetAsChar(GetAsChar()); break;
    case TType::Byte: copy->SetAsByte(GetAsByte()); break;
    case TType::Float: copy->SetAsFloat(GetAsFloat()); break;
    case TType::String: copy->SetAsString(GetAsString()); break;
    case TType::Integer: case TType::Pointer: copy->SetAsInteger(GetAsInteger()); break;
    case TType::Other: break;
  }
  return copy;
}

// ---------------------------------------------------------------- Boolean

TBooleanElement* TBooleanElement::CreateValue(bool value) {
  auto* element = new TBooleanElement;
  element->value_ = value;
  return element;
}
TType TBooleanElement::GetTyp() const { return TType::Boolean; }
std::string TBooleanElement::GetTypeAsString() const { return "boolean"; }
std::uint8_t TBooleanElement::GetAsByte() const { return value_ ? 1 : 0; }
void TBooleanElement::SetAsByte(std::uint8_t value) { value_ = value != 0; }
std::string TBooleanElement::GetAsString() const { return value_ ? "true" : "false"; }
void TBooleanElement::SetAsString(const std::string& value) {
  if (value == "true") value_ = true;
  else if (value == "false") value_ = false;
}
bool TBooleanElement::GetAsBoolean() const { return value_; }
void TBooleanElement::SetAsBoolean(bool value) { value_ = value; }

// ---------------------------------------------------------------- Char

TCharElement* TCharElement::CreateValue(char value) {
  auto* element = new TCharElement;
  element->value_ = value;
  return element;
}
TType TCharElement::GetTyp() const { return TType::Char; }
std::string TCharElement::GetTypeAsString() const { return "char"; }
std::uint8_t TCharElement::GetAsByte() const { return static_cast<std::uint8_t>(value_); }
void TCharElement::SetAsByte(std::uint8_t value) { value_ = static_cast<char>(value); }
std::int32_t TCharElement::GetAsInteger() const { return static_cast<unsigned char>(value_); }
void TCharElement::SetAsInteger(std::int32_t value) {
  if (value > 0 && value < 256) value_ = static_cast<char>(value);
}
char TCharElement::GetAsChar() const { return value_; }
void TCharElement::SetAsChar(char value) { value_ = value; }
std::string TCharElement::GetAsString() const { return CharText(value_); }
void TCharElement::SetAsString(const std::string& value) {
  const std::string code = platform::Utf8ToCp1250(value);
  if (!code.empty()) value_ = code[0];
}

// ---------------------------------------------------------------- Byte

TByteElement* TByteElement::CreateValue(std::uint8_t value) {
  auto* element = new TByteElement;
  element->value_ = value;
  return element;
}
TType TByteElement::GetTyp() const { return TType::Byte; }
std::string TByteElement::GetTypeAsString() const { return "byte"; }
std::uint8_t TByteElement::GetAsByte() const { return value_; }
void TByteElement::SetAsByte(std::uint8_t value) { value_ = value; }
std::int32_t TByteElement::GetAsInteger() const { return value_; }
void TByteElement::SetAsInteger(std::int32_t value) { value_ = LowByte(value); }
char TByteElement::GetAsChar() const { return static_cast<char>(value_); }
void TByteElement::SetAsChar(char value) { value_ = static_cast<std::uint8_t>(value); }
std::string TByteElement::GetAsString() const { return std::to_string(value_); }
void TByteElement::SetAsString(const std::string& value) {
  int parsed = 0;
  if (TryTextToInt(value, parsed)) value_ = LowByte(parsed);
}
double TByteElement::GetAsFloat() const { return value_; }
void TByteElement::SetAsFloat(double value) { value_ = LowByte(CheckedInt64(RoundHalfEven(value))); }
bool TByteElement::GetAsBoolean() const { return value_ != 0; }
void TByteElement::SetAsBoolean(bool value) { value_ = value ? 1 : 0; }

// ---------------------------------------------------------------- Float

TFloatElement* TFloatElement::CreateValue(double value) {
  auto* element = new TFloatElement;
  element->value_ = value;
  return element;
}
TType TFloatElement::GetTyp() const { return TType::Float; }
std::string TFloatElement::GetTypeAsString() const { return "float"; }
std::int32_t TFloatElement::GetAsInteger() const {
  const std::int64_t whole = CheckedInt64(std::trunc(value_));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole)));
}
void TFloatElement::SetAsInteger(std::int32_t value) { value_ = value; }
std::string TFloatElement::GetAsString() const { return ScientificText(value_); }
void TFloatElement::SetAsString(const std::string& value) {
  long double parsed = 0;
  if (!TryTextToFloat(value, parsed)) return;
  const double converted = static_cast<double>(parsed);
  if (std::isfinite(converted)) value_ = converted;
}
double TFloatElement::GetAsFloat() const { return value_; }
void TFloatElement::SetAsFloat(double value) { value_ = value; }

// ---------------------------------------------------------------- String

TStringElement* TStringElement::Init(TStringElement* element, const std::string& name, const std::string& value) {
  if (!name.empty()) element->SetName(name);
  element->value_ = value;
  return element;
}

TStringElement* TStringElement::InitNameIsValue(TStringElement* element, const std::string& text) {
  element->SetNameIsValue(text);
  return element;
}

TStringElement* TStringElement::CreateValue(const std::string& value) { return Init(new TStringElement, "", value); }
TStringElement* TStringElement::CreateNameValue(const std::string& name, const std::string& value) {
  return Init(new TStringElement, name, value);
}
TStringElement* TStringElement::CreateNameIsValue(const std::string& text) {
  return InitNameIsValue(new TStringElement, text);
}

TType TStringElement::GetTyp() const { return TType::String; }
std::string TStringElement::GetTypeAsString() const { return "string"; }
std::int32_t TStringElement::GetAsInteger() const { return TextToInt(value_); }
void TStringElement::SetAsInteger(std::int32_t value) { value_ = std::to_string(value); }
std::string TStringElement::GetAsString() const { return value_; }
void TStringElement::SetAsString(const std::string& value) { value_ = value; }
void TStringElement::AppendString(const std::string& text) { value_ += text; }
double TStringElement::GetAsFloat() const { return static_cast<double>(TextToFloatAnySep(value_)); }
void TStringElement::SetAsFloat(double value) { value_ = FloatToText(value); }

bool TStringElement::GetAsBoolean() const {
  if (IsFloatText(value_)) return TextToFloatAnySep(value_) != 0;
  const std::string upper = AsciiUpperCase(value_);
  return upper == "TRUE" || upper == "ANO";
}

void TStringElement::SetAsBoolean(bool value) { value_ = BoolToText(value); }

std::string TStringElement::GetNameIsValue() const { return GetName() + "=" + value_; }

void TStringElement::SetNameIsValue(const std::string& text) {
  std::string name;
  std::string value;
  SplitNameValue(text, name, value);
  if (name.empty()) return;
  if (!value.empty()) {
    SetName(name);
    value_ = value;
  } else {
    value_ = name;
  }
}

TIntegerListElement* TStringElement::GetIntegerList() const {
  TCtiRadekClass scanner(value_);
  TIntegerListElement* list = nullptr;
  while (true) {
    const std::int32_t value = scanner.ReadInteger();
    if (scanner.IsEnd()) break;
    if (!list) list = new TIntegerListElement;
    list->AddInteger(value);
  }
  return list;
}

bool TStringElement::TryGetInteger(std::int32_t& value) const { return TryTextToInt(value_, value); }

TPathElement* TPathElement::CreateValue(const std::string& value) {
  return static_cast<TPathElement*>(Init(new TPathElement, "", value));
}
TPathElement* TPathElement::CreateNameValue(const std::string& name, const std::string& value) {
  return static_cast<TPathElement*>(Init(new TPathElement, name, value));
}
TPathElement* TPathElement::CreateNameIsValue(const std::string& text) {
  return static_cast<TPathElement*>(InitNameIsValue(new TPathElement, text));
}

// ---------------------------------------------------------------- Integer

TIntegerElement* TIntegerElement::CreateValue(std::int32_t value) { return CreateNameValue("", value); }
TIntegerElement* TIntegerElement::CreateNameValue(const std::string& name, std::int32_t value) {
  auto* element = new TIntegerElement;
  if (!name.empty()) element->SetName(name);
  element->value_ = value;
  return element;
}
TType TIntegerElement::GetTyp() const { return TType::Integer; }
std::string TIntegerElement::GetTypeAsString() const { return "integer"; }
std::uint8_t TIntegerElement::GetAsByte() const { return LowByte(value_); }
void TIntegerElement::SetAsByte(std::uint8_t value) { value_ = value; }
std::int32_t TIntegerElement::GetAsInteger() const { return value_; }
void TIntegerElement::SetAsInteger(std::int32_t value) { value_ = value; }
std::string TIntegerElement::GetAsString() const { return std::to_string(value_); }
void TIntegerElement::SetAsString(const std::string& value) {
  int parsed = 0;
  if (TryTextToInt(value, parsed)) value_ = parsed;
}
double TIntegerElement::GetAsFloat() const { return value_; }
void TIntegerElement::SetAsFloat(double value) {
  const std::int64_t rounded = CheckedInt64(RoundHalfEven(value));
  if (rounded < INT32_MIN || rounded > INT32_MAX) throw EInvalidOp();
  value_ = static_cast<std::int32_t>(rounded);
}
bool TIntegerElement::GetAsBoolean() const { return value_ != 0; }
void TIntegerElement::SetAsBoolean(bool value) { value_ = value ? 1 : 0; }
TElement* TIntegerElement::GetAsPointer() const { return ElementOfHandle(static_cast<std::uint32_t>(value_)); }
void TIntegerElement::SetAsPointer(TElement* value) { value_ = static_cast<std::int32_t>(HandleOfElement(value)); }

// ---------------------------------------------------------------- Pointer

TPointerElement* TPointerElement::CreateValue(TElement* value) {
  auto* element = new TPointerElement;
  element->SetAsPointer(value);
  return element;
}
TType TPointerElement::GetTyp() const { return TType::Pointer; }
std::string TPointerElement::GetTypeAsString() const { return "pointer"; }
std::int32_t TPointerElement::GetAsInteger() const { return static_cast<std::int32_t>(handle_); }
void TPointerElement::SetAsInteger(std::int32_t value) { handle_ = static_cast<std::uint32_t>(value); }
std::string TPointerElement::GetAsString() const { return std::to_string(handle_); }
void TPointerElement::SetAsString(const std::string& value) { SetAsInteger(TextToInt(value)); }
TElement* TPointerElement::GetAsPointer() const { return ElementOfHandle(handle_); }
void TPointerElement::SetAsPointer(TElement* value) { handle_ = HandleOfElement(value); }

// ---------------------------------------------------------------- integer lists

std::int32_t TIntegerListElement::GetInteger(int index) {
  auto* item = DynamicCast<TTypeElement>(GetElement(index));
  return item ? item->GetAsInteger() : 0;
}

bool TIntegerListElement::Contains(std::int32_t value) const {
  for (TElement* child : Children())
    if (auto* item = DynamicCast<TTypeElement>(child); item && item->GetAsInteger() == value) return true;
  return false;
}

void TIntegerListElement::AddInteger(std::int32_t value) {
  if (!Sorted) {
    AddElement(TIntegerElement::CreateValue(value));
    return;
  }
  // A sorted list is kept in order by this very operation, so the place is
  // found by halving: the first child whose value is greater.
  const auto& children = Children();
  const auto valueOf = [](const TElement* child) {
    auto* item = DynamicCast<TTypeElement>(child);
    return item ? item->GetAsInteger() : 0;
  };
  const auto place = std::upper_bound(children.begin(), children.end(), value,
                                      [&](std::int32_t wanted, const TElement* child) { return wanted < valueOf(child); });
  if (!Duplicates && place != children.begin() && valueOf(*(place - 1)) == value) return;
  if (place == children.end()) AddElement(TIntegerElement::CreateValue(value));
  else InsertElement(static_cast<int>(place - children.begin()), TIntegerElement::CreateValue(value));
}

void TIntegerListElement::AddCommaText(const std::string& text) {
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    AddInteger(StrToInt(TrimBlanks(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start))));
    if (comma == std::string::npos) return;
    start = comma + 1;
  }
}

// ---------------------------------------------------------------- string lists

TStringListElement* TStringListElement::CreateFromStrings(const std::vector<std::string>& lines) {
  auto* list = new TStringListElement;
  list->NextStringList(lines);
  return list;
}

TStringElement* TStringListElement::ItemOf(const TElement* child) const {
  return const_cast<TStringElement*>(DynamicCast<TStringElement>(child));
}

TStringElement* TStringListElement::GetItem(int index) { return ItemOf(GetElement(index)); }

std::string TStringListElement::GetValue(int index) {
  TStringElement* item = GetItem(index);
  return item ? item->GetAsString() : std::string();
}

std::string TStringListElement::GetItemName(int index) {
  TStringElement* item = GetItem(index);
  return item ? item->GetName() : std::string();
}

std::string TStringListElement::GetItemUpperName(int index) {
  TStringElement* item = GetItem(index);
  return item ? item->GetUpperName() : std::string();
}

void TStringListElement::SetValue(int index, const std::string& value) {
  if (TStringElement* item = GetItem(index)) item->SetAsString(value);
}

void TStringListElement::SetItemName(int index, const std::string& name) {
  if (TStringElement* item = GetItem(index)) item->SetName(name);
}

TStringElement* TStringListElement::FindItem(const std::string& name) const {
  const std::string wanted = AsciiUpperCase(name);
  for (TElement* child : Children())
    if (TStringElement* item = ItemOf(child); item && item->GetUpperName() == wanted) return item;
  return nullptr;
}

std::string TStringListElement::GetValueByName(const std::string& name) const {
  TStringElement* item = FindItem(name);
  return item ? item->GetAsString() : std::string();
}

std::int32_t TStringListElement::GetIntegerByName(const std::string& name) const {
  return TextToInt(GetValueByName(name));
}

void TStringListElement::SetValueByName(const std::string& name, const std::string& value) {
  TStringElement* item = FindItem(name);
  if (!item) item = AddNameValue(name, "");
  item->SetAsString(value);
}

void TStringListElement::SetIntegerByName(const std::string& name, std::int32_t value) {
  SetValueByName(name, std::to_string(value));
}

void TStringListElement::NextValue(const std::string& text) { AddElement(TStringElement::CreateValue(text)); }

void TStringListElement::NextName(const std::string& text) { AddNameValue(text, ""); }

void TStringListElement::NextNameIsValue(const std::string& text) {
  if (text.find('=') != std::string::npos) AddElement(TStringElement::CreateNameIsValue(text));
}

TStringElement* TStringListElement::AddNameValue(const std::string& name, const std::string& value) {
  TStringElement* item = TStringElement::CreateNameValue(name, value);
  AddElement(item);
  return item;
}

void TStringListElement::NextStringList(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    if (line.find('=') != std::string::npos) NextNameIsValue(line);
    else NextName(line);
  }
}

void TStringListElement::LoadFromFile(const std::string& fileName) {
  if (!platform::FileExists(fileName)) return;
  NextStringList(platform::ReadTextLines(fileName));
}

// Each line is written so that LoadFromFile reads the item back as it is: a
// line without "=" is a name with no value, and one that ends in "=" is a
// value with no name.
void TStringListElement::SaveToFile(const std::string& fileName) {
  std::vector<std::string> lines;
  for (TElement* child : Children()) {
    TStringElement* item = ItemOf(child);
    if (!item) continue;
    std::string line;
    if (!item->HasName()) line = item->GetAsString() + "=";
    else if (item->GetAsString().empty()) line = item->GetName();
    else line = item->GetName() + "=" + item->GetAsString();
    lines.push_back(line);
  }
  platform::WriteTextLines(fileName, lines);
}

std::vector<std::string> TStringListElement::GetValueList() const {
  std::vector<std::string> values;
  for (TElement* child : Children())
    if (TStringElement* item = ItemOf(child)) values.push_back(item->GetAsString());
  return values;
}

void TStringListElement::SplitNameValues() {
  for (TElement* child : Children()) {
    TStringElement* item = ItemOf(child);
    if (!item) continue;
    std::string name;
    std::string value;
    if (!SplitNameValue(item->GetAsString(), name, value)) continue;
    item->SetName(name);
    item->SetAsString(value);
  }
}

std::string TStringListElement::GetPropertyText(const std::string& name) const {
  std::string text = TOwnerEntity::GetPropertyText(name);
  if (text.empty()) text = GetValueByName(name);
  return text;
}

bool TStringListElement::HasProperty(const std::string& name) const {
  return TOwnerEntity::HasProperty(name) || (!name.empty() && FindItem(name));
}

void TStringListElement::SetPropertyText(const std::string& name, const std::string& text) {
  if (ClassType()->FindProp(name)) TOwnerEntity::SetPropertyText(name, text);
  else SetValueByName(name, text);
}

// ---------------------------------------------------------------- property lists

void TPropertyList::SetElement(TElement* element) {
  if (!element) return;
  for (TElement* child : Children()) {
    TStringElement* item = ItemOf(child);
    if (!item) continue;
    std::string name = item->GetName();
    const bool negate = !name.empty() && name[0] == '-';
    if (negate) name.erase(0, 1);
    std::string text = element->GetPropertyText(name);
    if (negate) {
      if (!text.empty() && text[0] == '-') text.erase(0, 1);
      else text.insert(text.begin(), '-');
    }
    item->SetAsString(text);
  }
}

std::string TPropertyList::GetCatenation() const {
  std::string text;
  bool first = true;
  for (TElement* child : Children()) {
    TStringElement* item = ItemOf(child);
    if (!item) continue;
    if (!first) text += Delimiter;
    text += item->GetAsString();
    first = false;
  }
  return text;
}

// ---------------------------------------------------------------- class descriptions

TClass TTypeElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TTypeElement>(
      "TTypeElement", TOwnerElement::StaticClass(), "E_type",
      {NotStored(ReadProp("Typ", &TTypeElement::GetTyp)),
       NotStored(ReadProp("TypeAsString", &TTypeElement::GetTypeAsString)),
       NotStored(ReadWriteProp("AsByte", &TTypeElement::GetAsByte, &TTypeElement::SetAsByte)),
       NotStored(ReadWriteProp("AsInteger", &TTypeElement::GetAsInteger, &TTypeElement::SetAsInteger)),
       NotStored(ReadWriteProp("AsChar", &TTypeElement::GetAsChar, &TTypeElement::SetAsChar)),
       NotStored(ReadWriteProp("AsString", &TTypeElement::GetAsString, &TTypeElement::SetAsString)),
       NotStored(ReadWriteProp("AsFloat", &TTypeElement::GetAsFloat, &TTypeElement::SetAsFloat)),
       NotStored(ReadWriteProp("AsBoolean", &TTypeElement::GetAsBoolean, &TTypeElement::SetAsBoolean)),
       NotStored(ReadWriteProp("Text", &TTypeElement::GetAsString, &TTypeElement::SetAsString)),
       NotStored(ReadProp("UpperName", &TTypeElement::GetUpperName))});
  return &info;
}

TClass TBooleanElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TBooleanElement>("TBooleanElement", TTypeElement::StaticClass(), "E_type",
                                     {ReadWriteProp("Value", &TTypeElement::GetAsBoolean, &TTypeElement::SetAsBoolean)});
  return &info;
}

TClass TCharElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TCharElement>("TCharElement", TTypeElement::StaticClass(), "E_type",
                                  {ReadWriteProp("Value", &TTypeElement::GetAsChar, &TTypeElement::SetAsChar)});
  return &info;
}

TClass TByteElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TByteElement>("TByteElement", TTypeElement::StaticClass(), "E_type",
                                  {ReadWriteProp("Value", &TTypeElement::GetAsByte, &TTypeElement::SetAsByte)});
  return &info;
}

TClass TFloatElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TFloatElement>("TFloatElement", TTypeElement::StaticClass(), "E_type",
                                   {ReadWriteProp("Value", &TTypeElement::GetAsFloat, &TTypeElement::SetAsFloat)});
  return &info;
}

TClass TStringElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TStringElement>(
      "TStringElement", TTypeElement::StaticClass(), "E_type",
      {ReadWriteProp("Value", &TTypeElement::GetAsString, &TTypeElement::SetAsString),
       NotStored(ReadWriteProp("NameIsValue", &TStringElement::GetNameIsValue, &TStringElement::SetNameIsValue))});
  return &info;
}

TClass TPathElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TPathElement>("TPathElement", TStringElement::StaticClass(), "E_type", {});
  return &info;
}

TClass TIntegerElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TIntegerElement>("TIntegerElement", TTypeElement::StaticClass(), "E_type",
                                     {ReadWriteProp("Value", &TTypeElement::GetAsInteger, &TTypeElement::SetAsInteger)});
  return &info;
}

TClass TPointerElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPointerElement>("TPointerElement", TTypeElement::StaticClass(), "E_type", {});
  return &info;
}

TClass TIntegerListElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TIntegerListElement>("TIntegerListElement", TOwnerEntity::StaticClass(), "E_type", {});
  return &info;
}

TClass TStringListElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TStringListElement>(
      "TStringListElement", TOwnerEntity::StaticClass(), "E_type",
      {WriteProp("NextValue", &TStringListElement::NextValue), WriteProp("NextName", &TStringListElement::NextName),
       WriteProp("NextNameIsValue", &TStringListElement::NextNameIsValue),
       WriteProp("LoadFromFile", &TStringListElement::LoadFromFile),
       WriteProp("SaveToFile", &TStringListElement::SaveToFile)});
  return &info;
}

TClass TPropertyList::StaticClass() {
  static const TClassInfo info = DescribeClass<TPropertyList>(
      "TPropertyList", TStringListElement::StaticClass(), "E_type",
      {FieldProp("Delimiter", &TPropertyList::Delimiter), WriteProp("Element", &TPropertyList::SetElement),
       NotStored(ReadProp("Catenation", &TPropertyList::GetCatenation))});
  return &info;
}

void RegisterTypeClasses() {
  for (TClass cls : {TTypeElement::StaticClass(), TBooleanElement::StaticClass(), TCharElement::StaticClass(),
                     TByteElement::StaticClass(), TFloatElement::StaticClass(), TIntegerListElement::StaticClass(),
                     TStringElement::StaticClass(), TIntegerElement::StaticClass(), TPointerElement::StaticClass(),
                     TStringListElement::StaticClass(), TPathElement::StaticClass(), TPropertyList::StaticClass()})
    RegisterKestuClass(cls);
}
