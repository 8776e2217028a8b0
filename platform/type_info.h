#pragma once
// The class library's run-time type information: every framework class has
// one static description (name, parent, unit, factory, published
// properties).  Properties are read and written through type-erased
// accessors grouped by the value's kind, as the persistence and the
// reflection code expect.
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

class TObject;
struct TClassInfo;
using TClass = const TClassInfo*;

enum TTypeKind : std::uint8_t {
  tkUnknown = 0,
  tkInteger = 1,
  tkChar = 2,
  tkEnumeration = 3,
  tkFloat = 4,
  tkString = 5,
  tkSet = 6,
  tkClass = 7,
  tkMethod = 8,
  tkWChar = 9,
  tkLString = 10,
  tkWString = 11,
  tkVariant = 12,
  tkInt64 = 16,
};

// An event handler as stored in a method property: opaque code and data.
struct TMethod {
  std::uintptr_t Code = 0;
  std::uintptr_t Data = 0;
  bool operator==(const TMethod&) const = default;
};

// Names of an enumeration type, in value order.
struct TEnumType {
  std::string Name;
  std::vector<std::string> Names;
  // The value whose name equals text ignoring ASCII case, or -1.
  int ValueOf(const std::string& text) const;
};

const TEnumType& BooleanType();

// Bounds of an ordinal property's value type.
struct TOrdRange {
  std::int64_t Min;
  std::int64_t Max;
};

// The class of a class-typed property, looked up when first used: a class may
// publish a property of its own type while its description is being built.
class TClassRef {
 public:
  TClassRef& operator=(TClass cls) {
    fixed_ = cls;
    resolve_ = nullptr;
    return *this;
  }
  TClassRef& operator=(TClass (*resolve)()) {
    resolve_ = resolve;
    fixed_ = nullptr;
    return *this;
  }
  operator TClass() const { return resolve_ ? resolve_() : fixed_; }
  TClass operator->() const { return *this; }

 private:
  TClass fixed_ = nullptr;
  TClass (*resolve_)() = nullptr;
};

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = tkUnknown;
  TClassRef PropClass;                    // tkClass: the class the value must be of
  const TEnumType* EnumType = nullptr;    // tkEnumeration
  TOrdRange Range{INT32_MIN, INT32_MAX};  // ordinal kinds
  // tkFloat: the largest finite value of the property's type.
  long double FloatMax = std::numeric_limits<long double>::max();

  std::function<std::int64_t(const TObject&)> GetOrd;
  std::function<void(TObject&, std::int64_t)> SetOrd;
  std::function<long double(const TObject&)> GetFloat;
  std::function<void(TObject&, long double)> SetFloat;
  std::function<std::string(const TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<TObject*(const TObject&)> GetObj;
  std::function<void(TObject&, TObject*)> SetObj;
  std::function<TMethod(const TObject&)> GetMethod;
  std::function<void(TObject&, const TMethod&)> SetMethod;

  // Stored rule: a constant, or a test evaluated on the instance.
  std::optional<bool> StoredConstant = true;
  std::function<bool(const TObject&)> StoredTest;

  bool HasRead() const;
  bool HasWrite() const;
  bool IsStoredOn(const TObject& instance) const;
};

struct TClassInfo {
  std::string ClassName;
  TClass Parent = nullptr;
  std::string UnitName;
  std::size_t InstanceSize = 0;
  TObject* (*Factory)() = nullptr;  // the virtual constructor; nullptr when abstract
  std::vector<TPropInfo> OwnProps;

  // Published properties, inherited first; a property republished under the
  // same name keeps its place.  Built on first use.
  const std::vector<const TPropInfo*>& Props() const;
  const TPropInfo* FindProp(const std::string& name) const;  // ASCII case-insensitive
  // Every class above this one, from the root down to Parent: a class's
  // depth is the size of its list, so asking for an ancestor is one look.
  std::vector<TClass> Ancestors;

  // In the header: every DynamicCast asks it.
  bool InheritsFrom(TClass ancestor) const {
    if (ancestor == this) return true;
    if (!ancestor) return false;
    const std::size_t depth = ancestor->Ancestors.size();
    return depth < Ancestors.size() && Ancestors[depth] == ancestor;
  }

 private:
  mutable std::vector<const TPropInfo*> allProps_;
  mutable bool propsBuilt_ = false;
};

class TObject {
 public:
  virtual ~TObject() = default;
  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType()->ClassName; }
  bool InheritsFrom(TClass ancestor) const { return ClassType()->InheritsFrom(ancestor); }
};

class TPersistent : public TObject {
 public:
  static TClass StaticClass();
  TClass ClassType() const override { return StaticClass(); }
};

// The class asked for is looked up once per T: casts run in the innermost
// loops of graph walks.
template <class T>
T* DynamicCast(TObject* object) {
  static const TClass target = T::StaticClass();
  return object && object->InheritsFrom(target) ? static_cast<T*>(object) : nullptr;
}
template <class T>
const T* DynamicCast(const TObject* object) {
  static const TClass target = T::StaticClass();
  return object && object->InheritsFrom(target) ? static_cast<const T*>(object) : nullptr;
}

// Declares the class description of a framework class inside its body.
#define KESTX_CLASS(Self)                                 \
 public:                                                  \
  static TClass StaticClass();                            \
  TClass ClassType() const override {                     \
    static const TClass cls = StaticClass();              \
    return cls;                                           \
  }

// Builders of property descriptors.  The kind follows from the C++ type of the
// value: integral types are tkInteger, bool and enum types tkEnumeration,
// char tkChar, floating types tkFloat, std::string tkLString, pointers to
// TObject descendants tkClass, TMethod tkMethod.
namespace typinfo {

template <class E>
const TEnumType& EnumTypeOf();  // specialised next to each published enum type

template <class V>
struct ValueTraits;

template <class V>
  requires(std::is_integral_v<V> && !std::is_same_v<V, bool> && !std::is_same_v<V, char>)
struct ValueTraits<V> {
  static constexpr TTypeKind Kind = sizeof(V) > 4 ? tkInt64 : tkInteger;
};
template <>
struct ValueTraits<bool> {
  static constexpr TTypeKind Kind = tkEnumeration;
};
template <class V>
  requires std::is_enum_v<V>
struct ValueTraits<V> {
  static constexpr TTypeKind Kind = tkEnumeration;
};
template <>
struct ValueTraits<char> {
  static constexpr TTypeKind Kind = tkChar;
};
template <class V>
  requires std::is_floating_point_v<V>
struct ValueTraits<V> {
  static constexpr TTypeKind Kind = tkFloat;
};
template <>
struct ValueTraits<std::string> {
  static constexpr TTypeKind Kind = tkLString;
};
template <class V>
struct ValueTraits<V*> {
  static constexpr TTypeKind Kind = tkClass;
};
template <>
struct ValueTraits<TMethod> {
  static constexpr TTypeKind Kind = tkMethod;
};

template <class V>
void DescribeType(TPropInfo& info) {
  info.Kind = ValueTraits<V>::Kind;
  if constexpr (std::is_same_v<V, bool>) {
    info.EnumType = &BooleanType();
    info.Range = {0, 1};
  } else if constexpr (std::is_enum_v<V>) {
    info.EnumType = &EnumTypeOf<V>();
    info.Range = {0, static_cast<std::int64_t>(info.EnumType->Names.size()) - 1};
  } else if constexpr (std::is_same_v<V, char>) {
    info.Range = {0, 255};
  } else if constexpr (std::is_floating_point_v<V>) {
    info.FloatMax = std::numeric_limits<V>::max();
  } else if constexpr (std::is_integral_v<V>) {
    if constexpr (sizeof(V) < 8) info.Range = {std::numeric_limits<V>::min(), std::numeric_limits<V>::max()};
    else info.Range = {INT64_MIN, INT64_MAX};
  } else if constexpr (std::is_pointer_v<V>) {
    info.PropClass = &std::remove_cv_t<std::remove_pointer_t<V>>::StaticClass;
  }
}

template <class C, class V, class Getter>
void BindGetter(TPropInfo& info, Getter get) {
  auto read = [get](const TObject& object) -> V { return std::invoke(get, static_cast<const C&>(object)); };
  if constexpr (std::is_same_v<V, char>)
    info.GetOrd = [read](const TObject& o) { return static_cast<std::int64_t>(static_cast<unsigned char>(read(o))); };
  else if constexpr (std::is_integral_v<V> || std::is_enum_v<V>)
    info.GetOrd = [read](const TObject& o) { return static_cast<std::int64_t>(read(o)); };
  else if constexpr (std::is_floating_point_v<V>)
    info.GetFloat = [read](const TObject& o) { return static_cast<long double>(read(o)); };
  else if constexpr (std::is_same_v<V, std::string>)
    info.GetStr = read;
  else if constexpr (std::is_pointer_v<V>)
    info.GetObj = [read](const TObject& o) -> TObject* { return const_cast<std::remove_const_t<std::remove_pointer_t<V>>*>(read(o)); };
  else if constexpr (std::is_same_v<V, TMethod>)
    info.GetMethod = read;
}

template <class C, class V, class Setter>
void BindSetter(TPropInfo& info, Setter set) {
  auto write = [set](TObject& object, V value) { std::invoke(set, static_cast<C&>(object), value); };
  if constexpr (std::is_same_v<V, char>)
    info.SetOrd = [write](TObject& o, std::int64_t v) { write(o, static_cast<char>(static_cast<unsigned char>(v))); };
  else if constexpr (std::is_integral_v<V> || std::is_enum_v<V>)
    info.SetOrd = [write](TObject& o, std::int64_t v) { write(o, static_cast<V>(v)); };
  else if constexpr (std::is_floating_point_v<V>)
    info.SetFloat = [write](TObject& o, long double v) { write(o, static_cast<V>(v)); };
  else if constexpr (std::is_same_v<V, std::string>)
    info.SetStr = [write](TObject& o, const std::string& v) { write(o, v); };
  else if constexpr (std::is_pointer_v<V>)
    info.SetObj = [write](TObject& o, TObject* v) { write(o, static_cast<V>(v)); };
  else if constexpr (std::is_same_v<V, TMethod>)
    info.SetMethod = [write](TObject& o, const TMethod& v) { write(o, v); };
}

}  // namespace typinfo

// A property over a data member: read and write the field.
template <class C, class V>
TPropInfo FieldProp(std::string name, V C::*field) {
  TPropInfo info;
  info.Name = std::move(name);
  typinfo::DescribeType<V>(info);
  typinfo::BindGetter<C, V>(info, [field](const C& c) { return c.*field; });
  typinfo::BindSetter<C, V>(info, [field](C& c, V v) { c.*field = v; });
  return info;
}

// A property with accessors; either may be nullptr (read-only, write-only).
// V is the value type, C the class whose accessors they are.
template <class C, class V>
TPropInfo AccessorProp(std::string name, std::function<V(const C&)> get, std::function<void(C&, V)> set) {
  TPropInfo info;
  info.Name = std::move(name);
  typinfo::DescribeType<V>(info);
  if (get) typinfo::BindGetter<C, V>(info, std::move(get));
  if (set) typinfo::BindSetter<C, V>(info, std::move(set));
  return info;
}

// Over member functions, bound without a second type-erased call: the stream
// reader sets every stored value through these.
template <class C, class V>
TPropInfo ReadProp(std::string name, V (C::*get)() const) {
  TPropInfo info;
  info.Name = std::move(name);
  typinfo::DescribeType<V>(info);
  typinfo::BindGetter<C, V>(info, get);
  return info;
}
template <class C, class V, class W>
TPropInfo ReadWriteProp(std::string name, V (C::*get)() const, void (C::*set)(W)) {
  TPropInfo info = ReadProp(std::move(name), get);
  typinfo::BindSetter<C, V>(info, [set](C& c, V v) { (c.*set)(v); });
  return info;
}
template <class C, class V>
TPropInfo WriteProp(std::string name, void (C::*set)(V)) {
  using Plain = std::remove_cvref_t<V>;
  TPropInfo info;
  info.Name = std::move(name);
  typinfo::DescribeType<Plain>(info);
  typinfo::BindSetter<C, Plain>(info, [set](C& c, Plain v) { (c.*set)(v); });
  return info;
}

// Marks a property not stored, or stored when a test holds.
TPropInfo NotStored(TPropInfo info);
TPropInfo StoredWhen(TPropInfo info, std::function<bool(const TObject&)> test);

// Creates the description of a class: used inside its StaticClass().
template <class T>
TClassInfo DescribeClass(std::string name, TClass parent, std::string unit, std::vector<TPropInfo> props) {
  TClassInfo info;
  info.ClassName = std::move(name);
  info.Parent = parent;
  if (parent) {
    info.Ancestors = parent->Ancestors;
    info.Ancestors.push_back(parent);
  }
  info.UnitName = std::move(unit);
  info.InstanceSize = sizeof(T);
  if constexpr (!std::is_abstract_v<T> && std::is_default_constructible_v<T>)
    info.Factory = []() -> TObject* { return new T(); };
  info.OwnProps = std::move(props);
  return info;
}
