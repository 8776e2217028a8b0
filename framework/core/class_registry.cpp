#include "framework/core/class_registry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <optional>

#include "platform/code_page.h"
#include "platform/decimal_text.h"
#include "platform/dialogs.h"

// ---------------------------------------------------------------- TKestuClass

void TKestuClass::SetElementClass(TClass cls) {
  elementClass_ = cls;
  props_.clear();
  if (!cls) return;
  SetName(cls->ClassName);
  props_ = cls->Props();
}

bool TKestuClass::IsStoredProperty(int index) const {
  const TPropInfo* info = PropertyInfo(index);
  if (!info) return true;
  return info->StoredConstant.value_or(true);
}

void TKestuClass::FillProperties() {
  Clear();
  for (std::size_t i = 0; i < props_.size(); ++i) {
    auto* property = new TKestuClassProperty;
    property->Bind(props_[i]);
    property->PropIndex = static_cast<int>(i);
    AddElement(property);
  }
}

int TKestuClass::IndexOfProperty(const std::string& name) const {
  for (std::size_t i = 0; i < props_.size(); ++i)
    if (platform::AnsiSameText(props_[i]->Name, name)) return static_cast<int>(i);
  return -1;
}

const TPropInfo* TKestuClass::PropertyInfo(int index) const {
  if (index < 0 || index >= PropCount()) return nullptr;
  return props_[static_cast<std::size_t>(index)];
}

std::string TKestuClass::PropertyName(int index) const {
  const TPropInfo* info = PropertyInfo(index);
  return info ? info->Name : std::string();
}

TTypeKind TKestuClass::PropertyKind(int index) const {
  const TPropInfo* info = PropertyInfo(index);
  return info ? info->Kind : tkUnknown;
}

TClass TKestuClass::PropertyClass(int index) const {
  const TPropInfo* info = PropertyInfo(index);
  return info && info->Kind == tkClass ? static_cast<TClass>(info->PropClass) : nullptr;
}

bool TKestuClass::IsReadOrWriteOnly(int index) const {
  const TPropInfo* info = PropertyInfo(index);
  return !info || !info->HasRead() || !info->HasWrite();
}

bool TKestuClass::IsNamed(const std::string& name) const { return platform::AnsiSameText(GetName(), name); }

std::string TKestuClass::ElementClassName() const { return elementClass_ ? elementClass_->ClassName : ""; }

std::string TKestuClass::AncestorClassName() const {
  return elementClass_ && elementClass_->Parent ? elementClass_->Parent->ClassName : "";
}

std::string TKestuClass::UnitName() const { return elementClass_ ? elementClass_->UnitName : ""; }

void TKestuClassProperty::Bind(const TPropInfo* descriptor) {
  descriptor_ = descriptor;
  if (descriptor) SetName(descriptor->Name);
}

int TKestuClassProperty::TypeKind() const {
  if (LostProperty) return StoredKind;
  return descriptor_ ? descriptor_->Kind : 0;
}

// ---------------------------------------------------------------- TKestuClasses

TKestuClass* TKestuClasses::Entry(int index) const {
  const auto& children = Children();
  if (index < 0 || index >= static_cast<int>(children.size())) return nullptr;
  return static_cast<TKestuClass*>(children[static_cast<std::size_t>(index)]);
}

TKestuClass* TKestuClasses::LastEntry() const { return IndexOf(lastEntry_) >= 0 ? lastEntry_ : nullptr; }

namespace {

void CheckIsEntry(const TElement* element) {
  if (element && !DynamicCast<TKestuClass>(element))
    throw Exception("TKestuClasses: " + element->GetName() + " is not a class entry");
}

}  // namespace

void TKestuClasses::AddElement(TElement* element) {
  CheckIsEntry(element);
  TOwnerEntity::AddElement(element);
}

void TKestuClasses::InsertElement(int index, TElement* element) {
  CheckIsEntry(element);
  TOwnerEntity::InsertElement(index, element);
}

void TKestuClasses::SetElement(int index, TElement* element) {
  CheckIsEntry(element);
  TOwnerEntity::SetElement(index, element);
}

TKestuClasses::Search TKestuClasses::BinarySearch(const std::string& name) const {
  Search result;
  const int count = static_cast<int>(Children().size());
  if (count == 0) return result;
  int hi = count - 1;
  int lo = 0;
  int order = platform::AnsiCompareText(name, Entry(hi)->GetName());
  if (order > 0) return result;
  if (order == 0) {
    result.Found = hi;
    return result;
  }
  if (hi == lo) {
    result.InsertAt = 0;
    return result;
  }
  order = platform::AnsiCompareText(name, Entry(lo)->GetName());
  if (order < 0) {
    result.InsertAt = 0;
    return result;
  }
  if (order == 0) {
    result.Found = 0;
    result.InsertAt = 1;
    return result;
  }
  for (;;) {
    result.InsertAt = hi;
    if (hi - lo < 2) return result;
    const int mid = lo + (hi - lo) / 2;
    order = platform::AnsiCompareText(name, Entry(mid)->GetName());
    if (order == 0) {
      result.Found = mid;
      result.InsertAt = mid + 1;
      return result;
    }
    if (order > 0) lo = mid;
    else hi = mid;
    if (lo >= hi) return result;
  }
}

void TKestuClasses::InsertInOrder(TKestuClass* entry) {
  const Search search = BinarySearch(entry->GetName());
  if (search.InsertAt < 0) AddElement(entry);
  else InsertElement(search.InsertAt, entry);
  lastEntry_ = entry;
}

void TKestuClasses::AddEntry(TKestuClass* entry) {
  if (!entry) return;
  InsertInOrder(entry);
  entry->ID = counter_++;
}

TKestuClass* TKestuClasses::RegisterClass(TClass cls) {
  auto* entry = new TKestuClass;
  entry->SetElementClass(cls);
  entry->ID = counter_++;
  if (ShowProperties) entry->FillProperties();
  InsertInOrder(entry);
  return entry;
}

TKestuClass* TKestuClasses::FindEntry(const std::string& name) {
  const Search search = BinarySearch(name);
  if (search.Found < 0) return nullptr;
  lastEntry_ = Entry(search.Found);
  return lastEntry_;
}

TClass TKestuClasses::FindClass(const std::string& name) {
  TKestuClass* entry = FindEntry(name);
  return entry ? entry->ElementClass() : nullptr;
}

TClass TKestuClasses::GetClass(const std::string& name) {
  TClass cls = FindClass(name);
  if (!cls) throw EClassNotFound("Kestu nenašel třídu " + name);
  return cls;
}

// ---------------------------------------------------------------- TKestuInstance

void TKestuInstance::SetInstance(TObject* instance) {
  instance_ = instance;
  SetElementClass(instance ? instance->ClassType() : nullptr);
}

bool TKestuInstance::IsStoredProperty(int index) const {
  const TPropInfo* info = PropertyInfo(index);
  if (!info || !instance_) return false;
  return info->IsStoredOn(*instance_);
}

namespace {

void CopyPropertyValue(const TPropInfo& info, const TObject& from, TObject& to) {
  switch (info.Kind) {
    case tkInteger: case tkChar: case tkEnumeration: case tkSet: case tkWChar: case tkInt64:
      info.SetOrd(to, info.GetOrd(from));
      break;
    case tkFloat:
      info.SetFloat(to, info.GetFloat(from));
      break;
    case tkString: case tkLString: case tkWString:
      info.SetStr(to, info.GetStr(from));
      break;
    case tkClass:
      info.SetObj(to, info.GetObj(from));
      break;
    case tkMethod:
      info.SetMethod(to, info.GetMethod(from));
      break;
    default:
      break;
  }
}

}  // namespace

TElement* TKestuInstance::Clone() const {
  if (!instance_) return nullptr;
  TElement* copy = NewElement(ElementClass());
  if (!copy) return nullptr;
  for (int i = 0; i < PropCount(); ++i) {
    const TPropInfo* info = PropertyInfo(i);
    if (IsReadOrWriteOnly(i) || !IsStoredProperty(i)) continue;
    CopyPropertyValue(*info, *instance_, *copy);
  }
  return copy;
}

namespace {

// The name of an enumeration's value; nil for a value it has no name for.
const std::string* EnumValueName(const TPropInfo& info, std::int64_t value) {
  const auto& names = info.EnumType->Names;
  return value >= 0 && value < static_cast<std::int64_t>(names.size()) ? &names[static_cast<std::size_t>(value)]
                                                                       : nullptr;
}

constexpr std::uint32_t Kinds(std::initializer_list<TTypeKind> kinds) {
  std::uint32_t bits = 0;
  for (const TTypeKind kind : kinds) bits |= std::uint32_t{1} << kind;
  return bits;
}

constexpr std::uint32_t kOrdinalKinds = Kinds({tkInteger, tkChar, tkEnumeration, tkSet, tkWChar, tkInt64});
constexpr std::uint32_t kStringKinds = Kinds({tkString, tkLString, tkWString});

}  // namespace

const TPropInfo* TKestuInstance::PropertyOfKind(const std::string& name, std::uint32_t kinds) const {
  if (!instance_) return nullptr;
  const TPropInfo* info = PropertyInfo(IndexOfProperty(name));
  if (!info || (kinds & (std::uint32_t{1} << info->Kind)) == 0) return nullptr;
  return info;
}

std::int64_t TKestuInstance::GetOrdValue(const std::string& name) const {
  const TPropInfo* info = PropertyOfKind(name, kOrdinalKinds);
  return info && info->GetOrd ? info->GetOrd(*instance_) : 0;
}

bool TKestuInstance::SetOrdValue(const std::string& name, std::int64_t value) {
  const TPropInfo* info = PropertyOfKind(name, kOrdinalKinds);
  if (!info || !info->SetOrd || value < info->Range.Min || value > info->Range.Max) return false;
  info->SetOrd(*instance_, value);
  return true;
}

long double TKestuInstance::GetFloatValue(const std::string& name) const {
  const TPropInfo* info = PropertyOfKind(name, Kinds({tkFloat}));
  return info && info->GetFloat ? info->GetFloat(*instance_) : 0;
}

bool TKestuInstance::SetFloatValue(const std::string& name, long double value) {
  const TPropInfo* info = PropertyOfKind(name, Kinds({tkFloat}));
  if (!info || !info->SetFloat) return false;
  info->SetFloat(*instance_, value);
  return true;
}

std::string TKestuInstance::GetStrValue(const std::string& name) const {
  const TPropInfo* info = PropertyOfKind(name, kStringKinds);
  return info && info->GetStr ? info->GetStr(*instance_) : std::string();
}

bool TKestuInstance::SetStrValue(const std::string& name, const std::string& value) {
  const TPropInfo* info = PropertyOfKind(name, kStringKinds);
  if (!info || !info->SetStr) return false;
  info->SetStr(*instance_, value);
  return true;
}

TElement* TKestuInstance::GetElementValue(const std::string& name) const {
  const TPropInfo* info = PropertyOfKind(name, Kinds({tkClass}));
  return info && info->GetObj ? dynamic_cast<TElement*>(info->GetObj(*instance_)) : nullptr;
}

bool TKestuInstance::SetElementValue(const std::string& name, TElement* value) {
  const TPropInfo* info = PropertyOfKind(name, Kinds({tkClass}));
  if (!info || !info->SetObj) return false;
  if (value && info->PropClass && !value->InheritsFrom(info->PropClass)) return false;
  info->SetObj(*instance_, value);
  return true;
}

TMethod TKestuInstance::GetMethodValue(const std::string& name) const {
  const TPropInfo* info = PropertyOfKind(name, Kinds({tkMethod}));
  return info && info->GetMethod ? info->GetMethod(*instance_) : TMethod{};
}

bool TKestuInstance::SetMethodValue(const std::string& name, const TMethod& value) {
  const TPropInfo* info = PropertyOfKind(name, Kinds({tkMethod}));
  if (!info || !info->SetMethod) return false;
  info->SetMethod(*instance_, value);
  return true;
}

std::string TKestuInstance::GetEnumName(const std::string& name) const {
  const TPropInfo* info = PropertyOfKind(name, Kinds({tkEnumeration}));
  if (!info || !info->GetOrd || !info->EnumType) return {};
  const std::string* valueName = EnumValueName(*info, info->GetOrd(*instance_));
  return valueName ? *valueName : std::string();
}

bool TKestuInstance::SetEnumName(const std::string& name, const std::string& valueName) {
  const TPropInfo* info = PropertyOfKind(name, Kinds({tkEnumeration}));
  if (!info || !info->EnumType) return false;
  const int value = info->EnumType->ValueOf(valueName);
  return value >= 0 && SetOrdValue(name, value);
}

// ---------------------------------------------------------------- process-wide registry

namespace {

// Holds the process-wide registry for the whole run, so that an entity that
// lets go of it (a world, a script) never frees it.
class TRegistryKeeper : public TEntity {
 public:
  using TEntity::AppendHeld;
};

}  // namespace

TKestuClasses* KestuClasses() {
  static TKestuClasses* registry = [] {
    auto* created = new TKestuClasses;
    created->ShowProperties = true;
    (new TRegistryKeeper)->AppendHeld(created);
    return created;
  }();
  return registry;
}

TKestuClass* RegisterKestuClass(TClass cls) { return KestuClasses()->RegisterClass(cls); }

TClass FindKestuClass(const std::string& name) { return KestuClasses()->FindClass(name); }

TClass GetKestuClass(const std::string& name) { return KestuClasses()->GetClass(name); }

TClass FindKestuClassWithOrWithoutT(const std::string& name, std::string* tried) {
  TClass cls = FindKestuClass(name);
  std::string last = name;
  if (!cls) {
    last = std::string("T").append(name);
    cls = FindKestuClass(last);
  }
  if (tried) *tried = std::move(last);
  return cls;
}

TElement* CreateElementByClassName(const std::string& name) {
  std::string tried;
  if (TClass cls = FindKestuClassWithOrWithoutT(name, &tried)) return NewElement(cls);
  platform::MessageDlg("Neregistrovaný element: " + tried, platform::MsgDlgType::Error, platform::mbOK);
  return nullptr;
}

TElement* CloneElement(const TElement* element) {
  if (!element) return nullptr;
  TKestuInstance instance;
  instance.SetInstance(const_cast<TElement*>(element));
  return instance.Clone();
}

// ---------------------------------------------------------------- property text

namespace {

const TPropInfo* PropAt(const TObject& object, int index) {
  const auto& props = object.ClassType()->Props();
  if (index < 0 || index >= static_cast<int>(props.size())) return nullptr;
  return props[static_cast<std::size_t>(index)];
}

std::string SkipBlanks(const std::string& text) {
  std::size_t begin = 0;
  while (begin < text.size() && text[begin] == ' ') ++begin;
  std::size_t end = text.size();
  while (end > begin && text[end - 1] == ' ') --end;
  return text.substr(begin, end - begin);
}

// Integer text as the class library reads it: optional sign, decimal digits
// or "$" with hexadecimal digits; leading blanks allowed.
std::optional<long long> ParseInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return std::nullopt;
  unsigned long long magnitude = 0;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  auto [end, error] = std::from_chars(first, last, magnitude, base);
  if (error != std::errc() || end != last) return std::nullopt;
  if (magnitude > static_cast<unsigned long long>(INT64_MAX) + (negative ? 1 : 0)) return std::nullopt;
  if (negative) return magnitude == static_cast<unsigned long long>(INT64_MAX) + 1 ? INT64_MIN
                                                                                     : -static_cast<long long>(magnitude);
  return static_cast<long long>(magnitude);
}

// How a text reads as a float: a number, no number at all, or a number
// beyond what the type reading it holds.
enum class FloatRead { Number, NoNumber, OutOfRange };

// A float with "." as the decimal separator, blanks around it allowed.
FloatRead ReadFloat(const std::string& raw, long double& value) {
  const std::string text = SkipBlanks(raw);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t numberStart = i;
  std::size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return FloatRead::NoNumber;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const std::size_t expStart = j;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
    if (j == expStart) return FloatRead::NoNumber;
    i = j;
  }
  if (i != text.size()) return FloatRead::NoNumber;
  std::string number = text.substr(numberStart, i - numberStart);
  if (!number.empty() && number[0] == '.') number = std::string("0").append(number);
  long double read = 0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), read);
  if (error == std::errc::result_out_of_range) return FloatRead::OutOfRange;
  if (error != std::errc() || end != number.data() + number.size()) return FloatRead::NoNumber;
  value = negative ? -read : read;
  return FloatRead::Number;
}

std::optional<long double> ParseFloat(const std::string& raw) {
  long double value = 0;
  if (ReadFloat(raw, value) != FloatRead::Number) return std::nullopt;
  return value;
}

// The first 63 characters, with either decimal separator.
FloatRead ReadFloatAnySep(const std::string& text, long double& value) {
  const std::string head = text.substr(0, 63);
  const FloatRead read = ReadFloat(head, value);
  if (read != FloatRead::NoNumber) return read;
  std::string swapped = head;
  SwapFirstSeparator(swapped, '.', ',');
  return ReadFloat(swapped, value);
}

// A float property's reading of a text: a number its type cannot hold (the
// double of most properties ends near 1.8e308) is out of range as well.
FloatRead ReadFloatOfProperty(const TPropInfo* info, const std::string& text, long double& value) {
  const FloatRead read = ReadFloatAnySep(text, value);
  if (read == FloatRead::Number && !(std::fabs(value) <= info->FloatMax)) return FloatRead::OutOfRange;
  return read;
}

std::optional<long double> ParseFloatAnySep(const std::string& text) {
  long double value = 0;
  if (ReadFloatAnySep(text, value) != FloatRead::Number) return std::nullopt;
  return value;
}

struct FillError {};

void ReportFillError(const TPropInfo* info, const std::string& text) { ShowPropertyFillError(info->Name, text); }

std::int64_t CheckedOrdinal(const TPropInfo* info, long long value) {
  if (value < info->Range.Min || value > info->Range.Max) throw FillError{};
  return value;
}

}  // namespace

void ShowPropertyFillError(const std::string& name, const std::string& text) {
  platform::MessageDlg("Error filling property " + name + " by string " + text, platform::MsgDlgType::Error,
                       platform::mbOK);
}

int GetPropertyCount(const TObject& object) { return static_cast<int>(object.ClassType()->Props().size()); }

void GetPropertyNameByIndex(const TObject& object, int index, std::string& name) {
  const TPropInfo* info = PropAt(object, index);
  name = info ? info->Name : std::string();
}

int GetPropertyIndex(const TObject& object, const std::string& name) {
  const auto& props = object.ClassType()->Props();
  for (std::size_t i = 0; i < props.size(); ++i)
    if (platform::AnsiSameText(props[i]->Name, name) && props[i]->Name.size() == name.size())
      return static_cast<int>(i);
  return -1;
}

void GetPropertyTextByName(const TObject& object, const std::string& name, std::string& text) {
  text.clear();
  if (name.empty()) return;
  PropInfoToText(object, object.ClassType()->FindProp(name), text);
}

void PropertyTextByIndex(const TObject& object, int index, std::string& text) {
  text.clear();
  PropInfoToText(object, PropAt(object, index), text);
}

void SetPropertyTextByIndex(TObject& object, int index, const std::string& text) {
  SetPropInfoFromText(&object, PropAt(object, index), text);
}

bool SetPropertyTextByName(TObject& object, const std::string& name, const std::string& text) {
  const TPropInfo* info = object.ClassType()->FindProp(name);
  if (!info) return false;
  SetPropInfoFromText(&object, info, text);
  return true;
}

TObject* GetObjectPropByName(const TObject& object, const std::string& name) {
  const TPropInfo* info = object.ClassType()->FindProp(name);
  if (!info || info->Kind != tkClass || !info->GetObj) return nullptr;
  return info->GetObj(object);
}

bool SetObjectPropByName(TObject& object, const std::string& name, TObject* value) {
  const TPropInfo* info = object.ClassType()->FindProp(name);
  if (!info || info->Kind != tkClass || !info->SetObj) return false;
  // The setter takes the value as its property's class: another is refused.
  if (value && info->PropClass && !value->InheritsFrom(info->PropClass)) return false;
  info->SetObj(object, value);
  return true;
}

void PropInfoToText(const TObject& object, const TPropInfo* info, std::string& text) {
  text.clear();
  if (!info || !info->HasRead() || info->Kind > tkLString) return;
  // An ordinal getter that raises (an integer view of a value beyond 32 bits) reads as an error text.
  const auto ordinal = [&](auto toText) {
    try {
      text = toText(info->GetOrd(object));
    } catch (const std::exception&) {
      text = "Err Ord Value";
    }
  };
  switch (info->Kind) {
    case tkInteger: case tkSet:
      if (info->GetOrd) ordinal([](std::int64_t value) { return std::to_string(value); });
      break;
    case tkChar:
      if (info->GetOrd)
        ordinal([](std::int64_t value) { return platform::Cp1250ToUtf8(std::string(1, static_cast<char>(value))); });
      break;
    case tkEnumeration:
      if (info->GetOrd) {
        const std::string* valueName = EnumValueName(*info, info->GetOrd(object));
        text = valueName ? *valueName : "Err Ord Value";
      }
      break;
    case tkFloat:
      if (info->GetFloat) text = FloatToText(info->GetFloat(object));
      break;
    case tkString: case tkLString:
      if (info->GetStr) text = info->GetStr(object);
      break;
    case tkClass:
      if (info->GetObj) text = std::to_string(HandleOfElement(dynamic_cast<TElement*>(info->GetObj(object))));
      break;
    case tkMethod:
      if (info->GetMethod) text = MethodToText(info->GetMethod(object));
      break;
    default:
      break;
  }
}

void SetPropInfoFromText(TObject* object, const TPropInfo* info, const std::string& text) {
  if (!object || !info || !info->HasWrite()) return;
  try {
    switch (info->Kind) {
      case tkInteger: case tkInt64:
        if (info->SetOrd) info->SetOrd(*object, CheckedOrdinal(info, ParseInteger(text).value_or(0)));
        break;
      case tkEnumeration: case tkSet: {
        if (!info->SetOrd) break;
        std::optional<long long> value = ParseInteger(text);
        if (!value && info->EnumType) {
          const int named = info->EnumType->ValueOf(SkipBlanks(text));
          if (named < 0) throw FillError{};
          value = named;
        }
        info->SetOrd(*object, CheckedOrdinal(info, value.value_or(0)));
        break;
      }
      case tkFloat: {  // like an integer, a text that is no number gives 0, one out of range is refused
        if (!info->SetFloat) break;
        long double value = 0;
        const FloatRead read = ReadFloatOfProperty(info, text, value);
        if (read == FloatRead::OutOfRange) throw FillError{};
        info->SetFloat(*object, read == FloatRead::Number ? value : 0);
        break;
      }
      case tkString: case tkLString: case tkWString:
        if (info->SetStr) info->SetStr(*object, text);
        break;
      case tkClass: {
        if (!info->SetObj) break;
        const std::optional<long long> handle = SkipBlanks(text).empty() ? 0 : ParseInteger(text);
        if (!handle || *handle < 0 || *handle > UINT32_MAX) throw FillError{};
        TElement* element = ElementOfHandle(static_cast<std::uint32_t>(*handle));
        if (*handle != 0 && (!element || (info->PropClass && !element->InheritsFrom(info->PropClass))))
          throw FillError{};
        info->SetObj(*object, element);
        break;
      }
      default:  // method properties never come from text; char and others are not set
        break;
    }
  } catch (const FillError&) {
    ReportFillError(info, text);
  } catch (const std::exception&) {
    ReportFillError(info, text);
  }
}

namespace {

bool InRange(const TPropInfo* info, std::optional<long long> value) {
  return value && *value >= info->Range.Min && *value <= info->Range.Max;
}

// Whether the text reads as a value of the property's kind, so that setting
// it from the text writes exactly that value.
bool EntryOfKind(const TPropInfo* info, const std::string& text) {
  if (!info->HasWrite()) return false;
  switch (info->Kind) {
    case tkInteger: case tkInt64: case tkSet:
      return info->SetOrd && InRange(info, ParseInteger(text));
    case tkEnumeration:
      return info->SetOrd && (InRange(info, ParseInteger(text)) ||
                              (info->EnumType && info->EnumType->ValueOf(SkipBlanks(text)) >= 0));
    case tkFloat: {
      long double value = 0;
      return info->SetFloat && ReadFloatOfProperty(info, text, value) == FloatRead::Number;
    }
    case tkString: case tkLString: case tkWString:
      return static_cast<bool>(info->SetStr);
    case tkClass: {
      if (!info->SetObj) return false;
      if (SkipBlanks(text).empty()) return true;
      const std::optional<long long> handle = ParseInteger(text);
      if (!handle || *handle < 0 || *handle > UINT32_MAX) return false;
      TElement* element = ElementOfHandle(static_cast<std::uint32_t>(*handle));
      return *handle == 0 || (element && (!info->PropClass || element->InheritsFrom(info->PropClass)));
    }
    default:  // no text sets a method, a char or a value of another kind
      return false;
  }
}

}  // namespace

bool SetPropInfoFromEntry(TObject* object, const TPropInfo* info, const std::string& text) {
  if (!object || !info) return false;
  if (EntryOfKind(info, text)) {
    SetPropInfoFromText(object, info, text);
    return true;
  }
  std::string shown;
  PropInfoToText(*object, info, shown);
  if (text == shown) return true;
  ReportFillError(info, text);
  return false;
}

// ---------------------------------------------------------------- text functions

int TextToInt(const std::string& text) {
  const std::optional<long long> value = ParseInteger(text);
  if (!value || *value < INT32_MIN || *value > INT32_MAX) return 0;
  return static_cast<int>(*value);
}

bool TryTextToInt(const std::string& text, int& value) {
  const std::optional<long long> parsed = ParseInteger(text);
  if (!parsed || *parsed < INT32_MIN || *parsed > INT32_MAX) return false;
  value = static_cast<int>(*parsed);
  return true;
}

int StrToInt(const std::string& text) {
  int value = 0;
  if (!TryTextToInt(text, value)) throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

bool TryTextToFloat(const std::string& text, long double& value) {
  const std::optional<long double> parsed = ParseFloat(text);
  if (!parsed) return false;
  value = *parsed;
  return true;
}

std::string AsciiUpperCase(const std::string& text) {
  std::string upper = text;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

EInvalidOp::EInvalidOp() : Exception("Invalid floating point operation") {}

bool IsFloatText(const std::string& text) { return ParseFloatAnySep(text).has_value(); }

long double TextToFloatAnySep(const std::string& text) { return ParseFloatAnySep(text).value_or(0.0L); }

std::string FloatToText(long double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14Le", value);  // d.dddddddddddddde±x: 15 significant digits
  std::string mantissa(buffer, std::strchr(buffer, 'e'));
  const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
  const bool negative = mantissa[0] == '-';
  if (negative) mantissa.erase(0, 1);
  std::string digits;
  for (char c : mantissa)
    if (c != '.') digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out;
  if (exponent >= 15 || exponent < -4) {
    out = digits.substr(0, 1);
    if (digits.size() > 1) out.append(".").append(digits, 1);
    out.append("E").append(std::to_string(exponent));
  } else if (exponent < 0) {
    out = std::string("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
  } else {
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out = digits + std::string(whole - digits.size(), '0');
    } else {
      out = digits.substr(0, whole).append(".").append(digits, whole);
    }
  }
  return negative ? std::string("-").append(out) : out;
}

std::string BoolToText(bool value) { return value ? "TRUE" : "FALSE"; }

bool TextToBool(const std::string& text) { return !text.empty() && (text[0] == 'T' || text[0] == 't'); }

std::string& EnsureTPrefix(std::string& name) {
  if (!name.empty() && name[0] != 'T' && name[0] != 't') name = std::string("T").append(name);
  return name;
}

void SwapFirstSeparator(std::string& text, char a, char b) {
  const std::size_t at = text.find_first_of(std::string{a, b});
  if (at == std::string::npos) return;
  text[at] = text[at] == a ? b : a;
}

std::string& AddTrailingBackslash(std::string& path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

std::string& EnsureTrailingBackslash(std::string& path) { return AddTrailingBackslash(path); }

std::string& RemoveTrailingBackslash(std::string& path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string TrimBlanks(const std::string& text) {
  auto blank = [](char c) { return c == ' ' || c == '\0'; };
  std::size_t begin = 0;
  while (begin < text.size() && blank(text[begin])) ++begin;
  std::size_t end = text.size();
  while (end > begin && blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string FormatIntWidth(long long value, int width, bool zeroPad) {
  char buffer[96];
  if (zeroPad) std::snprintf(buffer, sizeof buffer, "%*.*lld", width, width, value);
  else std::snprintf(buffer, sizeof buffer, "%*lld", width, value);
  return buffer;
}

std::string FormatFloatWidth(int width, int decimals, double value) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%*.*f", width, std::clamp(decimals, 0, 60), value);
  return buffer;
}

std::string FormatDecimals(double value, int minDecimals, int maxDecimals) {
  std::string text = platform::RoundedDecimals(value, maxDecimals);
  const std::size_t point = text.find('.');
  if (point == std::string::npos) return text;
  std::size_t keep = text.size();
  while (keep > point + 1 + static_cast<std::size_t>(std::max(minDecimals, 0)) && text[keep - 1] == '0') --keep;
  if (keep == point + 1) keep = point;
  text.resize(keep);
  return text;
}

bool SplitAtChar(const std::string& text, char ch, std::string& left, std::string& right) {
  const std::size_t at = text.find(ch);
  if (at == std::string::npos) {
    left = TrimBlanks(text);
    return false;
  }
  left = TrimBlanks(text.substr(0, at));
  if (at + 1 < text.size()) right = TrimBlanks(text.substr(at + 1));
  return true;
}

bool SplitNameValue(const std::string& text, std::string& name, std::string& value) {
  value.clear();
  return SplitAtChar(text, '=', name, value);
}

std::string PStringValue(const std::string* value) { return value ? *value : std::string(); }

void ReplacePChar(std::unique_ptr<char[]>& target, const char* source) {
  target.reset();
  if (!source) return;
  const std::size_t length = std::strlen(source);
  target = std::make_unique<char[]>(length + 1);
  std::memcpy(target.get(), source, length + 1);
}

std::string MethodToText(const TMethod& method) {
  return std::to_string(method.Code) + ";" + std::to_string(method.Data);
}

TMethod TextToMethod(const std::string& text) {
  TMethod method;
  const std::size_t at = text.find(';');
  const std::string code = text.substr(0, at);
  const std::string data = at == std::string::npos ? std::string() : text.substr(at + 1, 255);
  method.Code = static_cast<std::uintptr_t>(ParseInteger(code).value_or(0));
  method.Data = static_cast<std::uintptr_t>(ParseInteger(data).value_or(0));
  return method;
}

// ---------------------------------------------------------------- class descriptions

TClass TKestuClass::StaticClass() {
  static const TClassInfo info = DescribeClass<TKestuClass>(
      "TKestuClass", TOwnerEntity::StaticClass(), "E_Class",
      {NotStored(ReadProp("PropCount", &TKestuClass::PropCount)),
       NotStored(ReadProp("ElementClassName", &TKestuClass::ElementClassName)),
       NotStored(ReadProp("AncestorClassName", &TKestuClass::AncestorClassName)),
       NotStored(ReadProp("UnitName", &TKestuClass::UnitName))});
  return &info;
}

TClass TKestuClassProperty::StaticClass() {
  static const TClassInfo info = DescribeClass<TKestuClassProperty>(
      "TKestuClassProperty", TNameElement::StaticClass(), "E_Class",
      {FieldProp("PropIndex", &TKestuClassProperty::PropIndex),
       FieldProp("LostProperty", &TKestuClassProperty::LostProperty),
       NotStored(ReadProp("TypeKind", &TKestuClassProperty::TypeKind))});
  return &info;
}

TClass TKestuClasses::StaticClass() {
  static const TClassInfo info = DescribeClass<TKestuClasses>(
      "TKestuClasses", TOwnerEntity::StaticClass(), "E_Class",
      {FieldProp("ShowProperties", &TKestuClasses::ShowProperties),
       AccessorProp<TKestuClasses, bool>(
           "SortByName", [](const TKestuClasses& c) { return c.SortByName(); }, [](TKestuClasses&, bool) {})});
  return &info;
}

TClass TKestuInstance::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TKestuInstance>("TKestuInstance", TKestuClass::StaticClass(), "E_Class", {});
  return &info;
}

void RegisterClassUnitClasses() {
  for (TClass cls : {TKestuClass::StaticClass(), TKestuClasses::StaticClass(), TKestuClassProperty::StaticClass()})
    RegisterKestuClass(cls);
}
