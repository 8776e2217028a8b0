#include "framework/core/class_registry.h"

#include <algorithm>
#include <memory>
#include <tuple>

#include "tests/framework/core/published_properties_sweep.h"
#include "tests/framework/framework_fixture.h"
#include "platform/code_page.h"

namespace {

enum class TProbeShape { psLine, psArea, psPoint };

}  // namespace

template <>
const TEnumType& typinfo::EnumTypeOf<TProbeShape>() {
  static const TEnumType type{"TProbeShape", {"psLine", "psArea", "psPoint"}};
  return type;
}

namespace {

// An element with a published property of every kind the conversions know.
class TProbe : public TOwnerEntity {
  KESTX_CLASS(TProbe)
 public:
  int Count32 = 0;
  std::uint8_t Small = 0;
  char Letter = 'a';
  bool Flag = false;
  TProbeShape Shape = TProbeShape::psLine;
  double Value = 0;
  std::string Label;
  TOwnerEntity* Link = nullptr;
  TMethod Handler;
  std::int64_t Big = 0;
  float Single = 0;
};

TClass TProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TProbe>(
      "TProbe", TOwnerEntity::StaticClass(), "E_ClassTest",
      {FieldProp("Count32", &TProbe::Count32), FieldProp("Small", &TProbe::Small),
       FieldProp("Letter", &TProbe::Letter), FieldProp("Flag", &TProbe::Flag), FieldProp("Shape", &TProbe::Shape),
       FieldProp("Value", &TProbe::Value), NotStored(FieldProp("Label", &TProbe::Label)),
       FieldProp("Link", &TProbe::Link), FieldProp("Handler", &TProbe::Handler), FieldProp("Big", &TProbe::Big),
       FieldProp("Single", &TProbe::Single)});
  return &info;
}

class RegistryTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    static bool probeRegistered = false;
    if (!probeRegistered) RegisterKestuClass(TProbe::StaticClass());
    probeRegistered = true;
  }
};

TClassInfo FakeClass(const std::string& name) {
  return DescribeClass<TElement>(name, TElement::StaticClass(), "Fake", {});
}

TEST_F(RegistryTest, EntriesStayInWindows1250CaseInsensitiveOrderAndBinarySearchFindsEach) {
  const TClassInfo tb = FakeClass("TB"), ta = FakeClass("ta"), tc = FakeClass("TC"), tcz = FakeClass("TČ"),
                   tz = FakeClass("TZ");
  std::unique_ptr<TKestuClasses> registry(new TKestuClasses);
  for (const TClassInfo* cls : {&tb, &ta, &tc, &tcz, &tz}) registry->RegisterClass(cls);
  std::vector<std::string> names;
  for (int i = 0; i < registry->GetCount(); ++i) names.push_back(registry->Entry(i)->GetName());
  EXPECT_EQ(Join(names) + " " + std::to_string(registry->Entry(0)->ID), "ta TB TC TZ TČ 1");  // Č by its code 0xC8;
  EXPECT_TRUE(registry->FindClass("tč") == &tcz && registry->FindClass("TA0") == nullptr);  // numbered as registered
  std::vector<TClassInfo> classes;
  for (int i = 299; i >= 0; --i) classes.push_back(FakeClass("T" + std::to_string(i * 7919 % 1000)));
  std::unique_ptr<TKestuClasses> large(new TKestuClasses);
  for (const TClassInfo& cls : classes) large->RegisterClass(&cls);
  for (int i = 1; i < large->GetCount(); ++i)
    EXPECT_LE(platform::AnsiCompareText(large->Entry(i - 1)->GetName(), large->Entry(i)->GetName()), 0);
  for (const TClassInfo& cls : classes) EXPECT_EQ(large->FindClass(cls.ClassName), &cls) << cls.ClassName;
}

TEST_F(RegistryTest, EveryRegisteredClassStandsInTheTreeWithItsParentsPropertiesFirst) {
  EXPECT_EQ(sweep::ClassesOutOfTheTree(), std::vector<std::string>{});
}

// An entry made elsewhere (the stream writer's own list) goes in name order
// and takes the list's next number.
TEST_F(RegistryTest, AnAddedEntryGoesInNameOrderAndTakesTheNextNumber) {
  const TClassInfo tb = FakeClass("TB"), ta = FakeClass("ta");
  std::unique_ptr<TKestuClasses> registry(new TKestuClasses);
  for (const TClassInfo* cls : {&tb, &ta}) {
    auto* entry = new TKestuClass;
    entry->SetElementClass(cls);
    registry->AddEntry(entry);
  }
  std::vector<std::string> entries;
  for (int i = 0; i < registry->GetCount(); ++i)
    entries.push_back(registry->Entry(i)->GetName() + "=" + std::to_string(registry->Entry(i)->ID));
  EXPECT_EQ(Join(entries), "ta=1 TB=0");
}

// Options, cloned block properties and tool settings take the properties after
// LastIndex as the ones a class adds to the entity.
TEST_F(RegistryTest, ThePropertiesAfterLastIndexAreTheDescendantsOwn) {
  const std::pair<TClass, const char*> cases[] = {
      {TEntity::StaticClass(), ""},
      {TOwnerEntity::StaticClass(), ""},
      {TKestuClasses::StaticClass(), "ShowProperties SortByName"},
      {TKestuClass::StaticClass(), "PropCount ElementClassName AncestorClassName UnitName"},
  };
  for (const auto& [cls, own] : cases) {
    std::vector<std::string> names;
    for (const TPropInfo* info : cls->Props()) names.push_back(info->Name);
    const auto last = std::find(names.rbegin(), names.rend(), "LastIndex");
    ASSERT_NE(last, names.rend()) << cls->ClassName;
    EXPECT_EQ(Join(std::vector<std::string>(last.base(), names.end())), own) << cls->ClassName;
  }
}

TEST_F(RegistryTest, PropertyValuesAsTextBothWaysAndBadTextChangesNothing) {
  const struct {
    const char* property;
    const char* before;  // set first, so that a refused text shows it kept the value
    const char* text;
    const char* readBack;
    bool refused;
  } cases[] = {
      {"Count32", "", "-123", "-123", false},
      {"Count32", "", "$1F", "31", false},
      {"Count32", "5", "x", "0", false},  // a text that is no number sets Integer and Float alike: to 0
      {"Count32", "5", "", "0", false},
      {"Count32", "", "12abc", "0", false},
      {"Count32", "", "1,5", "0", false},
      {"Count32", "", "1e99999", "0", false},
      {"Small", "", "200", "200", false},
      {"Small", "7", "300", "7", true},
      {"Flag", "", "True", "True", false},
      {"Flag", "", "false", "False", false},
      {"Flag", "", "1", "True", false},
      {"Flag", "True", "ano", "True", true},
      {"Shape", "", "2", "psPoint", false},
      {"Shape", "", "PSAREA", "psArea", false},
      {"Shape", "1", "psCircle", "psArea", true},
      {"Shape", "1", "9", "psArea", true},
      {"Value", "", "1,5", "1.5", false},
      {"Value", "3", "", "0", false},
      {"Value", "3", "abc", "0", false},
      {"Value", "3", "12abc", "0", false},
      // A number a property's type cannot hold is refused, as an integer out of range is.
      {"Value", "3", "1e99999", "3", true},
      {"Value", "3", "1e400", "3", true},
      {"Value", "3", "-1,8e308", "3", true},
      {"Value", "", "1.7976931348623157e308", "1.79769313486232E308", false},
      {"Single", "3", "1e39", "3", true},
      {"Single", "", "-1e38", "-9.99999968028569E37", false},
      {"Value", "", "1e20", "1E20", false},
      {"Value", "", "-0.0001", "-0.0001", false},
      {"Value", "", "0.00001", "1E-5", false},
      {"Value", "", "123456789012345", "123456789012345", false},
      {"Value", "", "1234567890123456", "1.23456789012346E15", false},
      {"Value", "", "0.1", "0.1", false},
      {"Label", "", "Průvodce", "Průvodce", false},
      {"Big", "", "-9000000000", "", false},  // 64-bit kinds have no text
      {"Handler", "", "1;2", "0;0", false},   // methods are never set from text
  };
  for (const auto& c : cases) {
    TProbe probe;
    dialogs.Messages.clear();
    if (*c.before) probe.SetPropertyText(c.property, c.before);
    probe.SetPropertyText(c.property, c.text);
    EXPECT_EQ(probe.GetPropertyText(c.property), c.readBack) << c.property << " <- " << c.text;
    const std::vector<std::string> box = {std::string("Error filling property ") + c.property + " by string " + c.text};
    EXPECT_EQ(Boxes(), c.refused ? box : std::vector<std::string>{}) << c.property << " <- " << c.text;
  }
  TProbe probe;
  probe.Letter = static_cast<char>(0xE8);  // č in Windows-1250
  EXPECT_EQ(probe.GetPropertyText("Letter"), "č");
  probe.SetPropertyText("Letter", "x");  // char properties are not set from text
  probe.Handler = {12, 34};
  EXPECT_EQ(probe.GetPropertyText("Letter") + probe.GetPropertyText("Handler") + MethodToText(TextToMethod("5;6")),
            "č12;345;6");
}

// What a person types for a property is written only when it is a value of
// the property's kind; anything else is refused with the fill error and the
// value stays, where scripts would have set 0.
TEST_F(RegistryTest, APersonsEntryNotOfThePropertysKindIsRefusedAndTheValueKept) {
  const struct {
    const char* property;
    const char* before;
    const char* text;
    const char* readBack;
    bool refused;
  } cases[] = {
      {"Count32", "5", "-123", "-123", false},
      {"Count32", "5", "$1F", "31", false},
      {"Count32", "5", "x", "5", true},
      {"Count32", "5", "", "5", true},
      {"Count32", "5", "12abc", "5", true},
      {"Count32", "5", "1,5", "5", true},
      {"Count32", "5", "99999999999", "5", true},
      {"Small", "7", "255", "255", false},
      {"Small", "7", "256", "7", true},
      {"Small", "7", "-1", "7", true},
      {"Flag", "True", "false", "False", false},
      {"Flag", "True", "0", "False", false},
      {"Flag", "True", "ano", "True", true},
      {"Shape", "1", "psPoint", "psPoint", false},
      {"Shape", "1", "3", "psArea", true},
      {"Value", "3", "1,5", "1.5", false},
      {"Value", "3", "", "3", true},
      {"Value", "3", "12abc", "3", true},
      {"Value", "3", "1e400", "3", true},
      {"Single", "3", "3,4e38", "3.39999995214436E38", false},
      {"Single", "3", "3,5e38", "3", true},
      {"Label", "a", "", "", false},
      {"Label", "a", "Průvodce", "Průvodce", false},
      {"Link", "", "0", "0", false},
      {"Link", "", "123456789", "0", true},
      {"Handler", "", "0;0", "0;0", false},  // the value's own text: nothing to write
      {"Handler", "", "1;2", "0;0", true},   // methods are never set from text
      {"Letter", "", "a", "a", false},
      {"Letter", "", "b", "a", true},
      {"Big", "", "5", "", false},  // written, though 64-bit kinds show no text
  };
  for (const auto& c : cases) {
    TProbe probe;
    if (*c.before) probe.SetPropertyText(c.property, c.before);
    dialogs.Messages.clear();
    const bool written = SetPropInfoFromEntry(&probe, probe.ClassType()->FindProp(c.property), c.text);
    EXPECT_EQ(written, !c.refused) << c.property << " <- " << c.text;
    EXPECT_EQ(probe.GetPropertyText(c.property), c.readBack) << c.property << " <- " << c.text;
    const std::vector<std::string> box = {std::string("Error filling property ") + c.property + " by string " + c.text};
    EXPECT_EQ(Boxes(), c.refused ? box : std::vector<std::string>{}) << c.property << " <- " << c.text;
  }
}

TEST_F(RegistryTest, ElementReferencesTravelAsHandlesOfLiveElementsThatFit) {
  TProbe probe;
  auto* target = new TOwnerEntity;
  const std::string handle = Handle(target);
  probe.SetPropertyText("Link", handle);
  EXPECT_TRUE(probe.Link == target && probe.GetPropertyText("Link") == handle);
  TOwnerElement wrongClass;
  probe.SetPropertyText("Link", Handle(&wrongClass));
  EXPECT_EQ(probe.Link, target);
  delete target;
  probe.Link = nullptr;
  probe.SetPropertyText("Link", handle);  // dead
  EXPECT_EQ(probe.Link, nullptr);
  probe.SetPropertyText("Link", "123456789");  // never issued
  probe.SetPropertyText("Link", "0");
  EXPECT_EQ(probe.GetPropertyText("Link"), "0");
  EXPECT_EQ(dialogs.Messages.size(), 3u);
  TOwnerEntity other;
  EXPECT_TRUE(SetObjectPropByName(probe, "link", &other) && GetObjectPropByName(probe, "Link") == &other);
  EXPECT_TRUE(!SetObjectPropByName(probe, "Value", &other) && GetObjectPropByName(probe, "Value") == nullptr);
  EXPECT_TRUE(!SetObjectPropByName(probe, "Link", &wrongClass) && GetObjectPropByName(probe, "Link") == &other)
      << "an element of another class is refused by the object setter too";
}

// A class entry and the text access describe each published property, by
// name in any case and by index; a name the class does not publish, and an
// index past its properties, answer nothing, and only a class-typed
// property answers a class or an element.
TEST_F(RegistryTest, APropertyTheClassLacksAnswersNothingAndOnlyAClassPropertyAnElement) {
  TKestuClass* entry = KestuClasses()->FindEntry("tprobe");
  ASSERT_NE(entry, nullptr);
  // TElement publishes 5 properties and TEntity 7; TProbe adds its 11.
  const int own = 12;
  ASSERT_EQ(entry->PropCount(), own + 11);
  TOwnerEntity target;
  TProbe probe;
  probe.SetName("sonda");
  probe.Value = 2.5;
  probe.Label = "Průvodce";
  probe.Link = &target;
  const struct {
    const char* asked;  // nil: the index past the last property
    int index;
    const char* name;
    TTypeKind kind;
    TClass cls;
    bool stored;
    bool readOrWriteOnly;
    std::string text;
    TObject* element;
  } rows[] = {
      {"id", 0, "ID", tkInteger, nullptr, false, false, "-1", nullptr},
      {"NAME", 1, "Name", tkLString, nullptr, true, false, "sonda", nullptr},  // stored by a test, not evaluated
      {"Count", 5, "Count", tkInteger, nullptr, false, true, "0", nullptr},
      {"nextelement", 7, "NextElement", tkClass, TElement::StaticClass(), true, true, "", nullptr},
      {"Value", own + 5, "Value", tkFloat, nullptr, true, false, "2.5", nullptr},
      {"label", own + 6, "Label", tkLString, nullptr, false, false, "Průvodce", nullptr},
      {"LINK", own + 7, "Link", tkClass, TOwnerEntity::StaticClass(), true, false, Handle(&target), &target},
      {"Missing", -1, "", tkUnknown, nullptr, true, true, "", nullptr},
      {"", -1, "", tkUnknown, nullptr, true, true, "", nullptr},
      {nullptr, own + 11, "", tkUnknown, nullptr, true, true, "", nullptr},
  };
  for (const auto& row : rows) {
    const std::string asked = row.asked ? row.asked : "index " + std::to_string(row.index);
    const int index = row.asked ? entry->IndexOfProperty(row.asked) : row.index;
    EXPECT_EQ(index, row.index) << asked;
    if (row.asked) {
      EXPECT_EQ(GetPropertyIndex(probe, row.asked), row.index) << asked;
    }
    EXPECT_EQ(std::tuple(entry->PropertyName(index), entry->PropertyKind(index), entry->PropertyClass(index),
                         entry->PropertyInfo(index) != nullptr),
              std::tuple(std::string(row.name), row.kind, row.cls, row.kind != tkUnknown))
        << asked;
    EXPECT_EQ(std::tuple(entry->IsStoredProperty(index), entry->IsReadOrWriteOnly(index)),
              std::tuple(row.stored, row.readOrWriteOnly))
        << asked;
    std::string name = "x", byIndex = "x", byName = "x";
    GetPropertyNameByIndex(probe, index, name);
    PropertyTextByIndex(probe, index, byIndex);
    if (row.asked) GetPropertyTextByName(probe, row.asked, byName);
    EXPECT_EQ(std::tuple(name, byIndex), std::tuple(std::string(row.name), row.text)) << asked;
    if (row.asked) {
      EXPECT_EQ(byName, row.text) << asked;
      EXPECT_EQ(GetObjectPropByName(probe, row.asked), row.element) << asked;
    }
  }
}

// A 64-bit property takes every integer text of its range, in decimal or
// hexadecimal; a text beyond it is no integer and sets 0.
TEST_F(RegistryTest, ASixtyFourBitPropertyTakesTheWholeRangeOfItsTexts) {
  const struct {
    const char* text;
    std::int64_t value;
  } rows[] = {
      {"-9223372036854775808", INT64_MIN},
      {"9223372036854775807", INT64_MAX},
      {"$7FFFFFFFFFFFFFFF", INT64_MAX},
      {"-$8000000000000000", INT64_MIN},
      {"9223372036854775808", 0},
      {"-9223372036854775809", 0},
  };
  for (const auto& row : rows) {
    TProbe probe;
    probe.Big = 5;
    probe.SetPropertyText("Big", row.text);
    EXPECT_EQ(probe.Big, row.value) << row.text;
  }
}

// An enumeration holding a value it has no name for reads as an error text,
// and by name as nothing.
TEST_F(RegistryTest, AnEnumerationValueWithoutANameReadsAsAnError) {
  for (const int value : {-1, 3, 7}) {
    TProbe probe;
    probe.Shape = static_cast<TProbeShape>(value);
    TKestuInstance instance;
    instance.SetInstance(&probe);
    EXPECT_EQ(std::tuple(probe.GetPropertyText("Shape"), instance.GetEnumName("Shape")),
              std::tuple(std::string("Err Ord Value"), std::string()))
        << value;
  }
}

// TKestuInstance reaches a property only with a value of its kind and range;
// a refused value changes nothing.
TEST_F(RegistryTest, InstanceValuesGoToPropertiesOfTheirKindOnly) {
  TOwnerEntity target;
  TOwnerElement wrongClass;
  EXPECT_FALSE(TKestuInstance().SetElementValue("Link", &target));  // bound to nothing
  const auto element = [&](const std::string& name) -> TElement* {
    return name == "target" ? &target : name == "wrong" ? static_cast<TElement*>(&wrongClass) : nullptr;
  };
  const auto nameOf = [&](TElement* e) { return e == &target ? "target" : e ? "other" : "nil"; };
  const struct {
    char Kind;  // o ordinal, f float, s string, m method, e enumeration name, l element
    const char* Property;
    std::string Value;
    bool Taken;
    std::string ReadBack;
  } cases[] = {
      {'o', "count32", "-5", true, "-5"},  // names in any case
      {'o', "Count32", std::to_string(std::int64_t{1} << 40), false, "0"},
      {'o', "Letter", "232", true, "232"},
      {'o', "Letter", "256", false, "97"},
      {'o', "Flag", "1", true, "1"},
      {'o', "Flag", "2", false, "0"},
      {'o', "Shape", "2", true, "2"},
      {'o', "Shape", "3", false, "0"},
      {'o', "Big", "9000000000", true, "9000000000"},
      {'o', "Value", "5", false, "0"},
      {'o', "Count", "5", false, "0"},  // read only
      {'o', "Missing", "5", false, "0"},
      {'f', "Value", "2.5", true, "2.500000"},
      {'f', "Count32", "2.5", false, "0.000000"},
      {'s', "Label", "Průvodce", true, "Průvodce"},
      {'s', "Count32", "7", false, ""},
      {'m', "Handler", "1;2", true, "1;2"},
      {'m', "Label", "1;2", false, "0;0"},
      {'e', "Shape", "psarea", true, "psArea"},
      {'e', "Shape", "psCircle", false, "psLine"},
      {'e', "Flag", "True", true, "True"},
      {'e', "Count32", "True", false, ""},
      {'l', "Link", "target", true, "target"},
      {'l', "Link", "wrong", false, "nil"},
      {'l', "Label", "target", false, "nil"},
      {'l', "Link", "nil", true, "nil"},
      {'f', "Missing", "2.5", false, "0.000000"},
      {'s', "Missing", "a", false, ""},
      {'m', "Missing", "1;2", false, "0;0"},
      {'e', "Missing", "psArea", false, ""},
      {'l', "Missing", "target", false, "nil"},
  };
  for (const auto& c : cases) {
    TProbe probe;
    TKestuInstance instance;
    instance.SetInstance(&probe);
    const std::string& v = c.Value;
    bool taken = false;
    std::string read;
    switch (c.Kind) {
      case 'o':
        taken = instance.SetOrdValue(c.Property, std::stoll(v));
        read = std::to_string(instance.GetOrdValue(c.Property));
        break;
      case 'f':
        taken = instance.SetFloatValue(c.Property, std::stold(v));
        read = std::to_string(static_cast<double>(instance.GetFloatValue(c.Property)));
        break;
      case 's':
        taken = instance.SetStrValue(c.Property, v);
        read = instance.GetStrValue(c.Property);
        break;
      case 'm':
        taken = instance.SetMethodValue(c.Property, TextToMethod(v));
        read = MethodToText(instance.GetMethodValue(c.Property));
        break;
      case 'e':
        taken = instance.SetEnumName(c.Property, v);
        read = instance.GetEnumName(c.Property);
        break;
      default:
        taken = instance.SetElementValue(c.Property, element(v));
        read = nameOf(instance.GetElementValue(c.Property));
    }
    EXPECT_EQ(std::to_string(taken) + " " + read, std::to_string(c.Taken) + " " + c.ReadBack)
        << c.Kind << " " << c.Property << " <- " << v;
    if (!c.Taken && c.Property != std::string("Missing")) {
      EXPECT_EQ(probe.GetPropertyText(c.Property), TProbe().GetPropertyText(c.Property)) << c.Property << " <- " << v;
    }
  }
}

// A clone is a new element of the same class with the stored published
// values; what is not stored (a property so marked, an unset name, ID) stays
// as the class makes it, and owners and children are not copied.
TEST_F(RegistryTest, ACloneCopiesTheStoredPropertiesOnly) {
  TOwnerEntity target;
  const struct {
    const char* property;
    std::string text;
    std::string cloneReads;
  } cases[] = {
      {"Count32", "-42", "-42"},
      {"Small", "200", "200"},
      {"Flag", "True", "True"},
      {"Shape", "psPoint", "psPoint"},
      {"Value", "1,5", "1.5"},
      {"Link", Handle(&target), Handle(&target)},
      {"Name", "Porost 12", "Porost 12"},
      {"Label", "Průvodce", ""},  // not stored
      {"ID", "77", "-1"},         // not stored: the clone's own
  };
  for (const auto& c : cases) {
    TProbe probe;
    probe.AddElement(new TOwnerElement);
    probe.SetPropertyText(c.property, c.text);
    std::unique_ptr<TElement> clone(CloneElement(&probe));
    ASSERT_NE(clone, nullptr) << c.property;
    auto* copy = DynamicCast<TProbe>(clone.get());
    ASSERT_NE(copy, nullptr) << c.property << ": of the source's class";
    EXPECT_EQ(copy->GetPropertyText(c.property), c.cloneReads) << c.property << " <- " << c.text;
    EXPECT_EQ(copy->GetCount() + copy->GetOwnersCount(), 0) << c.property;
  }
  TProbe unnamed;
  std::unique_ptr<TElement> clone(CloneElement(&unnamed));
  EXPECT_TRUE(clone && !clone->HasName() && CloneElement(nullptr) == nullptr);
}

// Paths end in exactly one backslash when asked to, and in none when asked
// the other way; class names get their T when they lack one.
TEST(TextHelpers, TrailingBackslashesAndClassNamePrefixes) {
  const struct {
    const char* text;
    const char* withBackslash;
    const char* withoutBackslash;
    const char* withT;
  } rows[] = {
      {"", "\\", "", ""},
      {"LES", "LES\\", "LES", "TLES"},
      {"LES\\", "LES\\", "LES", "TLES\\"},
      {"TWorld", "TWorld\\", "TWorld", "TWorld"},
      {"tree", "tree\\", "tree", "tree"},
  };
  for (const auto& row : rows) {
    std::string added = row.text, removed = row.text, prefixed = row.text;
    EXPECT_EQ(std::tuple(AddTrailingBackslash(added), RemoveTrailingBackslash(removed), EnsureTPrefix(prefixed)),
              std::tuple(row.withBackslash, row.withoutBackslash, row.withT))
        << row.text;
  }
}

TEST(FormatDecimalsTest, KeepsTheMinimumAndDropsTrailingZerosUpToTheMaximum) {
  const struct {
    double value;
    int min;
    int max;
    const char* text;
  } cases[] = {
      {1.23456, 0, 4, "1.2346"}, {1.2, 0, 4, "1.2"}, {3.0, 0, 4, "3"}, {12.345, 0, 2, "12.35"}, {2.675, 0, 2, "2.68"},
      {2500, 0, 2, "2500"},      {5, 3, 3, "5.000"}, {-0.001, 0, 2, "0"}, {-1.5, 0, 0, "-2"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDecimals(c.value, c.min, c.max), c.text) << c.value;
}

}  // namespace
