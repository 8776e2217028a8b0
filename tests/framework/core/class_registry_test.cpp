#include "framework/core/class_registry.h"

#include <cmath>
#include <memory>

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
};

TClass TProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TProbe>(
      "TProbe", TOwnerEntity::StaticClass(), "E_ClassTest",
      {FieldProp("Count32", &TProbe::Count32), FieldProp("Small", &TProbe::Small),
       FieldProp("Letter", &TProbe::Letter), FieldProp("Flag", &TProbe::Flag), FieldProp("Shape", &TProbe::Shape),
       FieldProp("Value", &TProbe::Value), NotStored(FieldProp("Label", &TProbe::Label)),
       FieldProp("Link", &TProbe::Link), FieldProp("Handler", &TProbe::Handler), FieldProp("Big", &TProbe::Big)});
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
  std::string FillError(const std::string& property, const std::string& text) const {
    return "Error filling property " + property + " by string " + text;
  }
};

TClassInfo FakeClass(const std::string& name) {
  return DescribeClass<TElement>(name, TElement::StaticClass(), "Fake", {});
}

TEST_F(RegistryTest, EntriesStayInCaseInsensitiveOrderAndGetNumbers) {
  const TClassInfo tb = FakeClass("TB"), ta = FakeClass("ta"), tc = FakeClass("TC"), tcz = FakeClass("TČ"),
                   tz = FakeClass("TZ");
  std::unique_ptr<TKestuClasses> registry(new TKestuClasses);
  for (const TClassInfo* cls : {&tb, &ta, &tc, &tcz, &tz}) registry->RegisterClass(cls);
  std::vector<std::string> names;
  for (int i = 0; i < registry->GetCount(); ++i) names.push_back(registry->Entry(i)->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"ta", "TB", "TC", "TZ", "TČ"}));  // Č sorts by its code 0xC8
  EXPECT_EQ(registry->Entry(0)->ID, 1);
  EXPECT_EQ(registry->Entry(1)->ID, 0);
  EXPECT_EQ(registry->FindClass("tb"), &tb);
  EXPECT_EQ(registry->FindClass("tč"), &tcz);
  EXPECT_EQ(registry->LastEntry()->GetName(), "TČ");
  EXPECT_EQ(registry->FindClass("TA0"), nullptr);
}

TEST_F(RegistryTest, BinarySearchFindsEveryEntryOfALargeRegistry) {
  std::vector<TClassInfo> classes;
  classes.reserve(300);
  for (int i = 299; i >= 0; --i) classes.push_back(FakeClass("T" + std::to_string(i * 7919 % 1000)));
  std::unique_ptr<TKestuClasses> registry(new TKestuClasses);
  for (const TClassInfo& cls : classes) registry->RegisterClass(&cls);
  for (int i = 1; i < registry->GetCount(); ++i)
    EXPECT_LE(platform::AnsiCompareText(registry->Entry(i - 1)->GetName(), registry->Entry(i)->GetName()), 0);
  for (const TClassInfo& cls : classes) EXPECT_EQ(registry->FindClass(cls.ClassName), &cls) << cls.ClassName;
}

TEST_F(RegistryTest, ClassIsFoundWithOrWithoutTAndInAnyCase) {
  EXPECT_EQ(FindKestuClass("townerentity"), TOwnerEntity::StaticClass());
  std::unique_ptr<TElement> made(CreateElementByClassName("OwnerEntity"));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->ClassType(), TOwnerEntity::StaticClass());
  EXPECT_EQ(made->ID, -1);
  EXPECT_EQ(CreateElementByClassName("Foo"), nullptr);
  EXPECT_EQ(CreateElementByClassName("TFoo"), nullptr);
  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Neregistrovaný element: TFoo");
  EXPECT_EQ(dialogs.Messages[1].Text, "Neregistrovaný element: TTFoo");
  EXPECT_EQ(FindKestuClass("TAliases"), nullptr);  // made by class reference only
  try {
    GetKestuClass("Nic");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Kestu nenašel třídu Nic");
  }
}

TEST_F(RegistryTest, EntryDescribesItsClassAndProperties) {
  TKestuClasses* registry = KestuClasses();
  EXPECT_TRUE(registry->ShowProperties);
  TKestuClass* entry = registry->FindEntry("TProbe");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->ElementClassName(), "TProbe");
  EXPECT_EQ(entry->AncestorClassName(), "TOwnerEntity");
  EXPECT_EQ(entry->UnitName(), "E_ClassTest");
  // inherited first: ID, Name, OwnersCount, Size, WholeSize, then the entity's seven
  EXPECT_EQ(entry->PropCount(), 12 + 10);
  EXPECT_EQ(entry->PropertyName(0), "ID");
  EXPECT_EQ(entry->IndexOfProperty("count32"), 12);
  EXPECT_EQ(entry->IndexOfProperty("none"), -1);
  EXPECT_EQ(entry->GetCount(), entry->PropCount());
  auto* shape = static_cast<TKestuClassProperty*>(entry->GetElement(16));
  EXPECT_EQ(shape->GetName(), "Shape");
  EXPECT_EQ(shape->TypeKind(), tkEnumeration);
  EXPECT_EQ(entry->PropertyKind(19), tkClass);
  EXPECT_EQ(entry->PropertyClass(19), TOwnerEntity::StaticClass());
  EXPECT_TRUE(entry->IsReadOrWriteOnly(entry->IndexOfProperty("Count")));
  EXPECT_FALSE(entry->IsReadOrWriteOnly(entry->IndexOfProperty("Label")));
  EXPECT_FALSE(entry->IsStoredProperty(entry->IndexOfProperty("Label")));
  EXPECT_TRUE(entry->IsStoredProperty(entry->IndexOfProperty("Name")));  // a test, not evaluated
  shape->LostProperty = true;
  shape->StoredKind = tkFloat;
  EXPECT_EQ(shape->TypeKind(), tkFloat);
  shape->LostProperty = false;
}

TEST_F(RegistryTest, CloneCopiesStoredPropertiesOnly) {
  TProbe source;
  source.ID = 77;
  source.Count32 = -5;
  source.Shape = TProbeShape::psPoint;
  source.Value = 2.25;
  source.Label = "not stored";
  TOwnerEntity target;
  source.Link = &target;
  std::unique_ptr<TProbe> copy(static_cast<TProbe*>(CloneElement(&source)));
  EXPECT_EQ(copy->ID, -1);
  EXPECT_FALSE(copy->HasName());
  EXPECT_EQ(copy->Count32, -5);
  EXPECT_EQ(copy->Shape, TProbeShape::psPoint);
  EXPECT_EQ(copy->Value, 2.25);
  EXPECT_EQ(copy->Label, "");
  EXPECT_EQ(copy->Link, &target);
  source.SetName("Porost 1a");
  std::unique_ptr<TElement> named(CloneElement(&source));
  EXPECT_EQ(named->GetName(), "Porost 1a");
}

TEST_F(RegistryTest, PropertyValuesAsTextBothWays) {
  TProbe probe;
  struct Case {
    const char* property;
    const char* text;
    const char* readBack;
  };
  for (const Case& c : std::vector<Case>{{"Count32", "-123", "-123"},
                                         {"Count32", "$1F", "31"},
                                         {"Count32", "x", "0"},
                                         {"Small", "200", "200"},
                                         {"Flag", "True", "True"},
                                         {"Flag", "false", "False"},
                                         {"Flag", "1", "True"},
                                         {"Shape", "2", "psPoint"},
                                         {"Shape", "PSAREA", "psArea"},
                                         {"Value", "1,5", "1.5"},
                                         {"Value", "", "0"},
                                         {"Value", "1e20", "1E20"},
                                         {"Value", "-0.0001", "-0.0001"},
                                         {"Value", "0.00001", "1E-5"},
                                         {"Value", "123456789012345", "123456789012345"},
                                         {"Value", "1234567890123456", "1.23456789012346E15"},
                                         {"Value", "0.1", "0.1"},
                                         {"Label", "Průvodce", "Průvodce"},
                                         {"Big", "-9000000000", ""}}) {  // 64-bit kinds have no text
    probe.SetPropertyText(c.property, c.text);
    EXPECT_EQ(probe.GetPropertyText(c.property), c.readBack) << c.property << " <- " << c.text;
  }
  EXPECT_TRUE(dialogs.Messages.empty());
  probe.Letter = static_cast<char>(0xE8);  // č in Windows-1250
  EXPECT_EQ(probe.GetPropertyText("Letter"), "č");
  probe.SetPropertyText("Letter", "x");  // char properties are not set from text
  EXPECT_EQ(probe.Letter, static_cast<char>(0xE8));
}

TEST_F(RegistryTest, EnumerationFromNumberAndFromNameAgree) {
  TProbe byNumber, byName;
  byNumber.SetPropertyText("Shape", "1");
  byName.SetPropertyText("Shape", "psArea");
  EXPECT_EQ(byNumber.Shape, byName.Shape);
}

TEST_F(RegistryTest, BadTextReportsAndLeavesValueUnchanged) {
  TProbe probe;
  probe.Small = 7;
  probe.Shape = TProbeShape::psArea;
  probe.SetPropertyText("Small", "300");
  probe.SetPropertyText("Shape", "psCircle");
  probe.SetPropertyText("Shape", "9");
  probe.SetPropertyText("Flag", "ano");
  EXPECT_EQ(probe.Small, 7);
  EXPECT_EQ(probe.Shape, TProbeShape::psArea);
  ASSERT_EQ(dialogs.Messages.size(), 4u);
  EXPECT_EQ(dialogs.Messages[0].Text, FillError("Small", "300"));
  EXPECT_EQ(dialogs.Messages[1].Text, FillError("Shape", "psCircle"));
  EXPECT_EQ(dialogs.Messages[3].Text, FillError("Flag", "ano"));
}

TEST_F(RegistryTest, ElementReferencesTravelAsHandlesOfLiveElements) {
  TProbe probe;
  auto* target = new TOwnerEntity;
  const std::string handle = std::to_string(HandleOfElement(target));
  probe.SetPropertyText("Link", handle);
  EXPECT_EQ(probe.Link, target);
  EXPECT_EQ(probe.GetPropertyText("Link"), handle);
  TOwnerElement wrongClass;
  probe.SetPropertyText("Link", std::to_string(HandleOfElement(&wrongClass)));
  EXPECT_EQ(probe.Link, target);
  delete target;
  probe.Link = nullptr;
  probe.SetPropertyText("Link", handle);  // dead
  EXPECT_EQ(probe.Link, nullptr);
  probe.SetPropertyText("Link", "123456789");  // never issued
  EXPECT_EQ(dialogs.Messages.size(), 3u);
  probe.SetPropertyText("Link", "0");
  EXPECT_EQ(probe.Link, nullptr);
  EXPECT_EQ(probe.GetPropertyText("Link"), "0");
  EXPECT_EQ(dialogs.Messages.size(), 3u);
}

TEST_F(RegistryTest, MethodPropertiesAreNeverSetFromText) {
  TProbe probe;
  probe.Handler = {12, 34};
  EXPECT_EQ(probe.GetPropertyText("Handler"), "12;34");
  probe.SetPropertyText("Handler", "1;2");
  EXPECT_EQ(probe.Handler, (TMethod{12, 34}));
  EXPECT_EQ(TextToMethod("5;6"), (TMethod{5, 6}));
  EXPECT_EQ(MethodToText(TextToMethod("5;6")), "5;6");
}

TEST_F(RegistryTest, PropertyAccessByIndexAndObjectProperties) {
  TProbe probe;
  const int index = GetPropertyIndex(probe, "VALUE");
  ASSERT_GE(index, 0);
  std::string name, text;
  GetPropertyNameByIndex(probe, index, name);
  EXPECT_EQ(name, "Value");
  SetPropertyTextByIndex(probe, index, "2.5");
  PropertyTextByIndex(probe, index, text);
  EXPECT_EQ(text, "2.5");
  GetPropertyNameByIndex(probe, 999, name);
  EXPECT_EQ(name, "");
  EXPECT_FALSE(SetPropertyTextByName(probe, "Missing", "1"));
  GetPropertyTextByName(probe, "", text);
  EXPECT_EQ(text, "");
  TOwnerEntity target;
  EXPECT_TRUE(SetObjectPropByName(probe, "link", &target));
  EXPECT_EQ(GetObjectPropByName(probe, "Link"), &target);
  EXPECT_FALSE(SetObjectPropByName(probe, "Value", &target));
  EXPECT_EQ(GetObjectPropByName(probe, "Value"), nullptr);
  EXPECT_EQ(GetPropertyCount(probe), 22);
}

TEST(TextFunctions, NumbersBooleansAndSeparators) {
  EXPECT_EQ(TextToFloatAnySep("1,5"), 1.5L);
  EXPECT_EQ(TextToFloatAnySep("1.5"), 1.5L);
  EXPECT_EQ(TextToFloatAnySep("abc"), 0.0L);
  EXPECT_EQ(TextToFloatAnySep(" -2.5E2 "), -250.0L);
  EXPECT_EQ(TextToFloatAnySep("1,5,5"), 0.0L);
  EXPECT_TRUE(IsFloatText("3,25"));
  EXPECT_FALSE(IsFloatText("3;25"));
  EXPECT_EQ(TextToInt(""), 0);
  EXPECT_EQ(TextToInt(" 42"), 42);
  EXPECT_EQ(TextToInt("42x"), 0);
  EXPECT_EQ(TextToInt("99999999999"), 0);
  EXPECT_EQ(TextToInt("-2147483648"), INT32_MIN);
  EXPECT_FALSE(TextToBool("yes"));
  EXPECT_TRUE(TextToBool("t"));
  EXPECT_FALSE(TextToBool(""));
  EXPECT_EQ(BoolToText(true), "TRUE");
  EXPECT_EQ(BoolToText(false), "FALSE");
  std::string text = "1.5,2";
  SwapFirstSeparator(text, ',', '.');
  EXPECT_EQ(text, "1,5,2");
}

TEST(TextFunctions, NamesPathsAndFormats) {
  std::string name = "Element";
  EXPECT_EQ(EnsureTPrefix(name), "TElement");
  name = "tool";
  EXPECT_EQ(EnsureTPrefix(name), "tool");
  name.clear();
  EXPECT_EQ(EnsureTPrefix(name), "");
  std::string path = "C:\\Data";
  EXPECT_EQ(AddTrailingBackslash(path), "C:\\Data\\");
  EXPECT_EQ(EnsureTrailingBackslash(path), "C:\\Data\\");
  EXPECT_EQ(RemoveTrailingBackslash(path), "C:\\Data");
  path.clear();
  EXPECT_EQ(AddTrailingBackslash(path), "\\");
  path.clear();
  EXPECT_EQ(RemoveTrailingBackslash(path), "");
  EXPECT_EQ(TrimBlanks(std::string("  a\tb \0", 7)), "a\tb");
  EXPECT_EQ(FormatIntWidth(5, 4, true), "0005");
  EXPECT_EQ(FormatIntWidth(5, 4, false), "   5");
  EXPECT_EQ(FormatIntWidth(-12, 2, true), "-12");
  EXPECT_EQ(FormatFloatWidth(8, 2, 3.14159), "    3.14");
  const std::string* none = nullptr;
  const std::string some = "x";
  EXPECT_EQ(PStringValue(none), "");
  EXPECT_EQ(PStringValue(&some), "x");
  std::unique_ptr<char[]> copy;
  ReplacePChar(copy, "abc");
  EXPECT_STREQ(copy.get(), "abc");
  ReplacePChar(copy, nullptr);
  EXPECT_EQ(copy, nullptr);
}

TEST(TextFunctions, SplittingNameValueLines) {
  std::string name, value;
  EXPECT_TRUE(SplitNameValue("  Barva =  13 ", name, value));
  EXPECT_EQ(name, "Barva");
  EXPECT_EQ(value, "13");
  EXPECT_FALSE(SplitNameValue("  Samotné jméno  ", name, value));
  EXPECT_EQ(name, "Samotné jméno");
  EXPECT_EQ(value, "");
  std::string left, right = "unchanged";
  EXPECT_TRUE(SplitAtChar("a:", ':', left, right));
  EXPECT_EQ(left, "a");
  EXPECT_EQ(right, "unchanged");
}

}  // namespace
