#include "framework/values/typed_values.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <random>

#include "tests/framework/framework_fixture.h"
#include "platform/streams.h"
#include "framework/core/class_registry.h"

namespace {

class TypeTest : public FrameworkTest {};

// Reads of every kind, so that one expectation shows a whole row of the table.
struct Reads {
  int Byte;
  int Integer;
  int Char;  // Windows-1250 code
  std::string String;
  double Float;
  bool Boolean;
  bool operator==(const Reads&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Reads& r) {
  return out << "{byte " << r.Byte << ", int " << r.Integer << ", char " << r.Char << ", \"" << r.String
             << "\", float " << r.Float << ", bool " << r.Boolean << "}";
}

Reads ReadAll(const TTypeElement& e) {
  return {e.GetAsByte(), e.GetAsInteger(), static_cast<unsigned char>(e.GetAsChar()), e.GetAsString(),
          e.GetAsFloat(), e.GetAsBoolean()};
}

TEST_F(TypeTest, BaseTypeElementReadsNothingAndIgnoresWrites) {
  TTypeElement e;
  e.SetAsByte(5);
  e.SetAsInteger(5);
  e.SetAsChar('x');
  e.SetAsString("5");
  e.SetAsFloat(5);
  e.SetAsBoolean(true);
  e.SetAsPointer(&e);
  EXPECT_EQ(ReadAll(e), (Reads{0, 0, 0, "", 0, false}));
  EXPECT_EQ(e.GetAsPointer(), nullptr);
  EXPECT_EQ(e.GetTyp(), TType::Other);
  EXPECT_EQ(e.GetTypeAsString(), "");
  EXPECT_EQ(e.CreateCopy(), nullptr);
}

TEST_F(TypeTest, TypeCodesAndTypeNames) {
  std::unique_ptr<TTypeElement> elements[] = {
      std::make_unique<TBooleanElement>(), std::make_unique<TCharElement>(),   std::make_unique<TByteElement>(),
      std::make_unique<TFloatElement>(),   std::make_unique<TStringElement>(), std::make_unique<TIntegerElement>(),
      std::make_unique<TPointerElement>(), std::make_unique<TTypeElement>(),   std::make_unique<TPathElement>()};
  const char* names[] = {"boolean", "char", "byte", "float", "string", "integer", "pointer", "", "string"};
  const char* typs[] = {"_Boolean", "_Char", "_Byte",    "_Float", "_String",
                        "_Integer", "_Pointer", "_Other", "_String"};
  const int codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 4};
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(elements[i]->ClassName());
    EXPECT_EQ(static_cast<int>(elements[i]->GetTyp()), codes[i]);
    EXPECT_EQ(elements[i]->GetTypeAsString(), names[i]);
    EXPECT_EQ(elements[i]->GetPropertyText("Typ"), typs[i]);
    EXPECT_EQ(elements[i]->GetPropertyText("TypeAsString"), names[i]);
  }
}

TEST_F(TypeTest, BooleanConversions) {
  std::unique_ptr<TBooleanElement> e(TBooleanElement::CreateValue(true));
  EXPECT_EQ(ReadAll(*e), (Reads{1, 0, 0, "true", 0, true}));
  e->SetAsBoolean(false);
  EXPECT_EQ(ReadAll(*e), (Reads{0, 0, 0, "false", 0, false}));
  e->SetAsByte(7);
  EXPECT_TRUE(e->GetAsBoolean());
  e->SetAsByte(0);
  EXPECT_FALSE(e->GetAsBoolean());
  e->SetAsInteger(1);
  e->SetAsChar('T');
  e->SetAsFloat(1);
  e->SetAsPointer(e.get());
  EXPECT_FALSE(e->GetAsBoolean());
  e->SetAsString("TRUE");  // only the exact lower-case words are understood
  e->SetAsString("1");
  EXPECT_FALSE(e->GetAsBoolean());
  e->SetAsString("true");
  EXPECT_TRUE(e->GetAsBoolean());
  e->SetAsString("FALSE");
  e->SetAsString("");
  EXPECT_TRUE(e->GetAsBoolean());
  e->SetAsString("false");
  EXPECT_FALSE(e->GetAsBoolean());
  EXPECT_EQ(e->GetAsPointer(), nullptr);
}

TEST_F(TypeTest, CharConversions) {
  std::unique_ptr<TCharElement> e(TCharElement::CreateValue('\x9A'));  // "š" in Windows-1250
  EXPECT_EQ(ReadAll(*e), (Reads{0x9A, 0x9A, 0x9A, "š", 0, false}));
  e->SetAsInteger(0);
  e->SetAsInteger(256);
  e->SetAsInteger(-1);
  EXPECT_EQ(e->GetAsString(), "š");
  e->SetAsInteger(65);
  EXPECT_EQ(e->GetAsString(), "A");
  e->SetAsInteger(255);
  EXPECT_EQ(e->GetAsByte(), 255);
  e->SetAsByte(66);
  EXPECT_EQ(e->GetAsChar(), 'B');
  e->SetAsChar('C');
  EXPECT_EQ(e->GetAsInteger(), 67);
  e->SetAsString("žluť");
  EXPECT_EQ(static_cast<unsigned char>(e->GetAsChar()), 0x9E);
  EXPECT_EQ(e->GetAsString(), "ž");
  e->SetAsString("");
  EXPECT_EQ(e->GetAsString(), "ž");
  e->SetAsFloat(70);
  e->SetAsBoolean(true);
  EXPECT_EQ(e->GetAsString(), "ž");
  EXPECT_EQ(e->GetAsPointer(), nullptr);
}

TEST_F(TypeTest, ByteConversions) {
  std::unique_ptr<TByteElement> e(TByteElement::CreateValue(65));
  EXPECT_EQ(ReadAll(*e), (Reads{65, 65, 65, "65", 65, true}));
  e->SetAsInteger(300);
  EXPECT_EQ(e->GetAsByte(), 44);
  e->SetAsInteger(-1);
  EXPECT_EQ(e->GetAsInteger(), 255);
  e->SetAsChar('\x9A');
  EXPECT_EQ(e->GetAsInteger(), 154);
  e->SetAsString("300");
  EXPECT_EQ(e->GetAsByte(), 44);
  e->SetAsString("12x");
  e->SetAsString("");
  EXPECT_EQ(e->GetAsByte(), 44);
  e->SetAsBoolean(false);
  EXPECT_EQ(ReadAll(*e), (Reads{0, 0, 0, "0", 0, false}));
  e->SetAsBoolean(true);
  EXPECT_EQ(e->GetAsByte(), 1);
  e->SetAsByte(9);
  EXPECT_EQ(e->GetAsByte(), 9);
}

TEST_F(TypeTest, ByteFromFloatRoundsHalvesToEvenAndKeepsTheLowBits) {
  TByteElement e;
  e.SetAsFloat(2.5);
  EXPECT_EQ(e.GetAsByte(), 2);
  e.SetAsFloat(3.5);
  EXPECT_EQ(e.GetAsByte(), 4);
  e.SetAsFloat(2.51);
  EXPECT_EQ(e.GetAsByte(), 3);
  e.SetAsFloat(-0.5);
  EXPECT_EQ(e.GetAsByte(), 0);
  e.SetAsFloat(300.2);
  EXPECT_EQ(e.GetAsByte(), 44);
  e.SetAsFloat(-1.4);
  EXPECT_EQ(e.GetAsByte(), 255);
  EXPECT_THROW(e.SetAsFloat(1e30), EInvalidOp);
  EXPECT_THROW(e.SetAsFloat(std::nan("")), EInvalidOp);
  EXPECT_EQ(e.GetAsByte(), 255);
}

TEST_F(TypeTest, FloatTextIsTwentyThreeCharactersOfScientificNotation) {
  TFloatElement e;
  const std::pair<double, const char*> cases[] = {
      {1.5, " 1.50000000000000E+0000"},      {-0.000123, "-1.23000000000000E-0004"},
      {0.0, " 0.00000000000000E+0000"},      {1e300, " 1.00000000000000E+0300"},
      {123456789.123456789, " 1.23456789123457E+0008"}, {-9.999999999999999, "-1.00000000000000E+0001"},
      {5e-324, " 4.94065645841247E-0324"}};
  for (const auto& [value, text] : cases) {
    e.SetAsFloat(value);
    EXPECT_EQ(e.GetAsString(), text);
    EXPECT_EQ(e.GetAsString().size(), 23u);
  }
  e.SetAsFloat(-std::numeric_limits<double>::infinity());
  EXPECT_EQ(e.GetAsString(), std::string(19, ' ') + "-INF");
}

TEST_F(TypeTest, FloatConversions) {
  std::unique_ptr<TFloatElement> e(TFloatElement::CreateValue(2.9));
  EXPECT_EQ(ReadAll(*e), (Reads{0, 2, 0, " 2.90000000000000E+0000", 2.9, false}));
  e->SetAsFloat(-2.9);
  EXPECT_EQ(e->GetAsInteger(), -2);
  e->SetAsFloat(4294967298.0);  // 2^32 + 2: the low 32 bits of the truncated value
  EXPECT_EQ(e->GetAsInteger(), 2);
  e->SetAsFloat(1e20);
  EXPECT_THROW(e->GetAsInteger(), EInvalidOp);
  e->SetAsFloat(-9.3e18);
  EXPECT_THROW(e->GetAsInteger(), EInvalidOp);
  e->SetAsInteger(-7);
  EXPECT_EQ(e->GetAsFloat(), -7.0);
  e->SetAsString("1,5");  // only "." is a decimal point here
  EXPECT_EQ(e->GetAsFloat(), -7.0);
  e->SetAsString("abc");
  e->SetAsString("1e999");
  EXPECT_EQ(e->GetAsFloat(), -7.0);
  e->SetAsString(" 2.5E3 ");
  EXPECT_EQ(e->GetAsFloat(), 2500.0);
  e->SetAsByte(1);
  e->SetAsChar('1');
  e->SetAsBoolean(true);
  EXPECT_EQ(e->GetAsFloat(), 2500.0);
  EXPECT_EQ(e->GetAsPointer(), nullptr);
}

TEST_F(TypeTest, StringConversions) {
  std::unique_ptr<TStringElement> e(TStringElement::CreateValue("42"));
  EXPECT_EQ(ReadAll(*e), (Reads{0, 42, 0, "42", 42, true}));
  e->SetAsString("4x");
  EXPECT_EQ(e->GetAsInteger(), 0);
  EXPECT_EQ(e->GetAsFloat(), 0);
  e->SetAsString("1,5");
  EXPECT_EQ(e->GetAsFloat(), 1.5);
  e->SetAsInteger(-12);
  EXPECT_EQ(e->GetAsString(), "-12");
  e->SetAsFloat(2.5);
  EXPECT_EQ(e->GetAsString(), "2.5");
  e->SetAsFloat(1e20);
  EXPECT_EQ(e->GetAsString(), "1E20");
  e->SetAsBoolean(true);
  EXPECT_EQ(e->GetAsString(), "TRUE");
  e->SetAsBoolean(false);
  EXPECT_EQ(e->GetAsString(), "FALSE");
  e->SetAsByte(1);
  e->SetAsChar('x');
  e->SetAsPointer(e.get());
  EXPECT_EQ(e->GetAsString(), "FALSE");
  EXPECT_EQ(e->GetAsPointer(), nullptr);
}

TEST_F(TypeTest, StringReadsAsBooleanByNumberOrByWord) {
  TStringElement e;
  const std::pair<const char*, bool> cases[] = {{"ano", true},  {"0.0", false}, {"-2", true},  {"yes", false},
                                                {"True", true}, {"ANO", true},  {"0,0", false}, {"0,5", true},
                                                {"", false},    {"t", false}};
  for (const auto& [text, expected] : cases) {
    e.SetAsString(text);
    EXPECT_EQ(e.GetAsBoolean(), expected) << text;
  }
}

TEST_F(TypeTest, IntegerConversions) {
  std::unique_ptr<TIntegerElement> e(TIntegerElement::CreateValue(300));
  EXPECT_EQ(ReadAll(*e), (Reads{44, 300, 0, "300", 300, true}));
  e->SetAsByte(200);
  EXPECT_EQ(e->GetAsInteger(), 200);
  e->SetAsString("-17");
  EXPECT_EQ(e->GetAsInteger(), -17);
  e->SetAsString("17.5");
  e->SetAsString("9999999999");
  EXPECT_EQ(e->GetAsInteger(), -17);
  e->SetAsFloat(2.5);
  EXPECT_EQ(e->GetAsInteger(), 2);
  e->SetAsFloat(3.5);
  EXPECT_EQ(e->GetAsInteger(), 4);
  e->SetAsFloat(-2.5);
  EXPECT_EQ(e->GetAsInteger(), -2);
  e->SetAsChar('x');
  EXPECT_EQ(e->GetAsInteger(), -2);
  e->SetAsBoolean(false);
  EXPECT_EQ(ReadAll(*e), (Reads{0, 0, 0, "0", 0, false}));
  e->SetAsBoolean(true);
  EXPECT_EQ(e->GetAsInteger(), 1);
}

TEST_F(TypeTest, IntegerFromFloatOutsideItsRangeRaisesInsteadOfWrapping) {
  TIntegerElement e;
  e.SetAsFloat(2147483647.0);
  EXPECT_EQ(e.GetAsInteger(), 2147483647);
  EXPECT_THROW(e.SetAsFloat(2147483648.0), EInvalidOp);
  EXPECT_THROW(e.SetAsFloat(-3e9), EInvalidOp);
  EXPECT_EQ(e.GetAsInteger(), 2147483647);
  e.SetAsFloat(-2147483648.4);
  EXPECT_EQ(e.GetAsInteger(), INT32_MIN);
}

TEST_F(TypeTest, PointerHoldsAHandleThatReadsNilOnceTheElementIsFreed) {
  auto* target = new TOwnerElement;
  std::unique_ptr<TPointerElement> e(TPointerElement::CreateValue(target));
  const std::uint32_t handle = HandleOfElement(target);
  EXPECT_EQ(e->GetAsPointer(), target);
  EXPECT_EQ(e->GetAsInteger(), static_cast<std::int32_t>(handle));
  EXPECT_EQ(e->GetAsString(), std::to_string(handle));
  EXPECT_EQ(e->GetAsByte(), 0);
  EXPECT_FALSE(e->GetAsBoolean());

  TPointerElement other;
  other.SetAsString(std::to_string(handle));
  EXPECT_EQ(other.GetAsPointer(), target);
  other.SetAsString("junk");
  EXPECT_EQ(other.GetAsPointer(), nullptr);
  other.SetAsInteger(static_cast<std::int32_t>(handle));
  EXPECT_EQ(other.GetAsPointer(), target);

  TIntegerElement number;
  number.SetAsPointer(target);
  EXPECT_EQ(number.GetAsInteger(), static_cast<std::int32_t>(handle));
  EXPECT_EQ(number.GetAsPointer(), target);

  delete target;
  EXPECT_EQ(e->GetAsPointer(), nullptr);
  EXPECT_EQ(number.GetAsPointer(), nullptr);
  EXPECT_EQ(e->GetAsInteger(), static_cast<std::int32_t>(handle));  // the number itself stays
}

TEST_F(TypeTest, CreateCopyGivesTheSameClassValueAndName) {
  std::vector<std::unique_ptr<TTypeElement>> originals;
  originals.emplace_back(TBooleanElement::CreateValue(true));
  originals.emplace_back(TCharElement::CreateValue('\x9A'));
  originals.emplace_back(TByteElement::CreateValue(200));
  originals.emplace_back(TFloatElement::CreateValue(0.1));
  originals.emplace_back(TStringElement::CreateNameValue("Key", "text"));
  originals.emplace_back(TPathElement::CreateValue("C:\\data\\a.blk"));
  originals.emplace_back(TIntegerElement::CreateNameValue("N", -5));
  originals.emplace_back(TPointerElement::CreateValue(originals[0].get()));
  for (const auto& original : originals) {
    SCOPED_TRACE(original->ClassName());
    std::unique_ptr<TTypeElement> copy(original->CreateCopy());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->ClassType(), original->ClassType());
    EXPECT_EQ(copy->HasName(), original->HasName());
    EXPECT_EQ(copy->GetName(), original->GetName());
    EXPECT_EQ(copy->GetAsString(), original->GetAsString());
    EXPECT_EQ(copy->GetAsFloat(), original->GetAsFloat());
    EXPECT_EQ(copy->GetAsPointer(), original->GetAsPointer());
    EXPECT_EQ(copy->ID, -1);
  }
}

TEST_F(TypeTest, PublishedPropertiesReachTheConversions) {
  TIntegerElement e;
  e.SetName("šířka");
  EXPECT_EQ(e.GetPropertyText("UpperName"), "šířKA");  // ASCII rule only
  e.SetPropertyText("AsFloat", "2.5");
  EXPECT_EQ(e.GetAsInteger(), 2);
  e.SetPropertyText("Text", "31");
  EXPECT_EQ(e.GetPropertyText("Value"), "31");
  EXPECT_EQ(e.GetPropertyText("AsBoolean"), "True");
  TKestuClass entry;
  entry.SetElementClass(TIntegerElement::StaticClass());
  const int value = entry.IndexOfProperty("Value");
  ASSERT_GE(value, 0);
  EXPECT_TRUE(entry.IsStoredProperty(value));
  EXPECT_FALSE(entry.IsStoredProperty(entry.IndexOfProperty("AsInteger")));
  EXPECT_EQ(TPointerElement::StaticClass()->FindProp("Value"), nullptr);
  TStringElement s;
  s.SetPropertyText("NameIsValue", "a=b");
  EXPECT_EQ(s.GetName(), "a");
  EXPECT_EQ(s.GetAsString(), "b");
}

TEST_F(TypeTest, NameIsValueSplitsAtTheFirstEqualsSign) {
  TStringElement e;
  e.SetNameIsValue(" a = b=c ");
  EXPECT_EQ(e.GetName(), "a");
  EXPECT_EQ(e.GetAsString(), "b=c");
  EXPECT_EQ(e.GetNameIsValue(), "a=b=c");
  e.SetNameIsValue("x");
  EXPECT_EQ(e.GetName(), "a");
  EXPECT_EQ(e.GetAsString(), "x");
  e.SetNameIsValue("y=");
  EXPECT_EQ(e.GetName(), "a");
  EXPECT_EQ(e.GetAsString(), "y");
  e.SetNameIsValue("=z");
  EXPECT_EQ(e.GetName(), "a");
  EXPECT_EQ(e.GetAsString(), "y");
  std::unique_ptr<TStringElement> created(TStringElement::CreateNameIsValue("k=v"));
  EXPECT_EQ(created->GetNameIsValue(), "k=v");
  std::unique_ptr<TPathElement> path(TPathElement::CreateNameIsValue("PATH=C:\\x"));
  EXPECT_EQ(path->GetName(), "PATH");
  EXPECT_EQ(path->ClassType(), TPathElement::StaticClass());
}

TEST_F(TypeTest, IntegerListOfAStringHoldsEveryIntegerTheScannerReads) {
  std::unique_ptr<TStringElement> e(TStringElement::CreateValue(" 12 -3 x 7"));
  std::unique_ptr<TIntegerListElement> list(e->GetIntegerList());
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->GetCount(), 3);
  EXPECT_EQ(list->GetInteger(0), 12);
  EXPECT_EQ(list->GetInteger(1), -3);
  EXPECT_EQ(list->GetInteger(2), 7);
  e->SetAsString("none here");
  EXPECT_EQ(e->GetIntegerList(), nullptr);
  std::int32_t value = 0;
  EXPECT_FALSE(e->TryGetInteger(value));
  e->SetAsString("-8");
  EXPECT_TRUE(e->TryGetInteger(value));
  EXPECT_EQ(value, -8);
}

std::vector<int> Values(TIntegerListElement& list) {
  std::vector<int> values;
  for (int i = 0; i < list.GetCount(); ++i) values.push_back(list.GetInteger(i));
  return values;
}

TEST_F(TypeTest, IntegerListAddsInOrderOrSorted) {
  TIntegerListElement plain;
  EXPECT_FALSE(plain.Sorted);
  EXPECT_FALSE(plain.Duplicates);
  for (int v : {5, 3, 5, 4}) plain.AddInteger(v);
  EXPECT_EQ(Values(plain), (std::vector<int>{5, 3, 5, 4}));
  TIntegerListElement sorted;
  sorted.Sorted = true;
  for (int v : {5, 3, 5, 4}) sorted.AddInteger(v);
  EXPECT_EQ(Values(sorted), (std::vector<int>{3, 4, 5}));
  TIntegerListElement withDuplicates;
  withDuplicates.Sorted = true;
  withDuplicates.Duplicates = true;
  for (int v : {5, 3, 5, 4, 3}) withDuplicates.AddInteger(v);
  EXPECT_EQ(Values(withDuplicates), (std::vector<int>{3, 3, 4, 5, 5}));
  EXPECT_TRUE(withDuplicates.Contains(4));
  EXPECT_FALSE(withDuplicates.Contains(6));
}

TEST_F(TypeTest, CommaTextAddsEachPartAndRaisesOnOneThatIsNoInteger) {
  TIntegerListElement list;
  list.AddCommaText(" 10, 2 ,-3");
  EXPECT_EQ(Values(list), (std::vector<int>{10, 2, -3}));
  EXPECT_THROW(list.AddCommaText("4,x,5"), EConvertError);
  EXPECT_EQ(Values(list), (std::vector<int>{10, 2, -3, 4}));
  EXPECT_THROW(list.AddCommaText("6,"), EConvertError);
}

TEST_F(TypeTest, ClassesAreRegisteredByName) {
  for (const char* name : {"TTypeElement", "TBooleanElement", "TCharElement", "TByteElement", "TFloatElement",
                           "TIntegerListElement", "TStringElement", "TIntegerElement", "TPointerElement",
                           "TStringListElement", "TPathElement", "TPropertyList"}) {
    TClass cls = FindKestuClass(name);
    ASSERT_NE(cls, nullptr) << name;
    EXPECT_EQ(cls->UnitName, "E_type");
  }
  std::unique_ptr<TElement> created(CreateElementByClassName("StringElement"));
  EXPECT_NE(DynamicCast<TStringElement>(created.get()), nullptr);
}

// ---------------------------------------------------------------- string lists

class StringListTest : public FrameworkTest {
 protected:
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
    FrameworkTest::TearDown();
  }
  std::string FilePath(const std::string& name) {
    std::filesystem::create_directories(dir_);
    return (dir_ / name).string();
  }
  static std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  static void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file << bytes;
  }
  static std::vector<std::string> NameValues(TStringListElement& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.GetCount(); ++i) lines.push_back(list.GetItemName(i) + "=" + list.GetValue(i));
    return lines;
  }

 private:
  std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                               ("kestx-stringlist-" + std::to_string(std::random_device()()) +
                                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(StringListTest, ItemsByIndexAndByName) {
  TStringListElement list;
  list.NextName("Width");
  list.NextValue("loose");
  TStringElement* added = list.AddNameValue("Height", "20");
  EXPECT_EQ(list.GetItem(2), added);
  EXPECT_EQ(list.GetValue(2), "20");
  EXPECT_EQ(list.GetItemName(0), "Width");
  EXPECT_EQ(list.GetItemUpperName(0), "WIDTH");
  EXPECT_EQ(list.GetItemName(1), "TStringElement");  // an item without a name
  list.SetValue(0, "10");
  list.SetItemName(1, "Depth");
  EXPECT_EQ(list.FindItem("depth"), list.GetItem(1));
  EXPECT_EQ(list.FindItem("missing"), nullptr);
  EXPECT_EQ(list.GetValueByName("WIDTH"), "10");
  EXPECT_EQ(list.GetIntegerByName("width"), 10);
  EXPECT_EQ(list.GetIntegerByName("depth"), 0);
  EXPECT_EQ(list.GetValueByName("missing"), "");
  list.SetValueByName("height", "21");
  list.SetIntegerByName("Color", 255);
  EXPECT_EQ(NameValues(list), (std::vector<std::string>{"Width=10", "Depth=loose", "Height=21", "Color=255"}));
  EXPECT_THROW(list.GetItem(9), std::out_of_range);
}

TEST_F(StringListTest, LinesWithAnEqualsSignBecomeNameValueItems) {
  TStringListElement list;
  list.NextNameIsValue("no equals sign");
  EXPECT_EQ(list.GetCount(), 0);
  list.NextStringList({"a = 1", "", "plain", "=lost", "b="});
  EXPECT_EQ(NameValues(list), (std::vector<std::string>{"a=1", "plain=", "TStringElement=", "TStringElement=b"}));
  std::unique_ptr<TStringListElement> created(TStringListElement::CreateFromStrings({"x=1", "y"}));
  EXPECT_EQ(NameValues(*created), (std::vector<std::string>{"x=1", "y="}));
  EXPECT_EQ(created->GetValueList(), (std::vector<std::string>{"1", ""}));
}

TEST_F(StringListTest, ItemsActAsPropertiesTheClassDoesNotPublish) {
  TStringListElement list;
  list.SetName("Settings");
  list.SetValueByName("Width", "10");
  EXPECT_EQ(list.GetPropertyText("width"), "10");
  EXPECT_EQ(list.GetPropertyText("Name"), "Settings");
  list.SetPropertyText("Depth", "3");
  EXPECT_EQ(list.GetValueByName("DEPTH"), "3");
  EXPECT_EQ(list.GetPropertyInteger("depth"), 3);
  list.SetPropertyText("Name", "Other");
  EXPECT_EQ(list.GetName(), "Other");
  EXPECT_EQ(list.FindItem("Name"), nullptr);
  list.SetPropertyText("NextNameIsValue", "k=v");
  EXPECT_EQ(list.GetValueByName("k"), "v");
}

TEST_F(StringListTest, SaveWritesWindows1250LinesByteForByte) {
  TStringListElement list;
  list.AddNameValue("Název", "Žluťoučký kůň");
  list.AddNameValue("X", "");
  list.NextValue("jen hodnota");
  const std::string path = FilePath("list.txt");
  WriteBytes(path, "old content that must go\r\nand more\r\n");
  list.SaveToFile(path);
  EXPECT_EQ(ReadBytes(path),
            "N\xE1zev=\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2\r\n"
            "X\r\n"
            "jen hodnota=\r\n");
  TStringListElement empty;
  empty.SaveToFile(path);
  EXPECT_EQ(ReadBytes(path), "");
}

TEST_F(StringListTest, LoadAppendsTheLinesOfAWindows1250File) {
  const std::string path = FilePath("in.txt");
  WriteBytes(path, "K\xF9\xF2=\x9A\x9D\r\n\r\nsamotn\xE9\nb = 2\rlast=3");
  TStringListElement list;
  list.NextValue("before");
  list.LoadFromFile(path);
  EXPECT_EQ(NameValues(list),
            (std::vector<std::string>{"TStringElement=before", "Kůň=šť", "samotné=", "b=2", "last=3"}));
  list.LoadFromFile(FilePath("missing.txt"));
  EXPECT_EQ(list.GetCount(), 5);
}

TEST_F(StringListTest, SavedListLoadsBackTheSameItems) {
  TStringListElement list;
  list.AddNameValue("Čára", "č. 5 = pět");
  list.NextValue("value only");
  const std::string path = FilePath("round.txt");
  list.SetPropertyText("SaveToFile", path);
  TStringListElement loaded;
  loaded.SetPropertyText("LoadFromFile", path);
  EXPECT_EQ(NameValues(loaded), NameValues(list));
}

TEST_F(StringListTest, SaveToAFileThatCannotBeCreatedRaises) {
  TStringListElement list;
  list.NextValue("x");
  EXPECT_THROW(list.SaveToFile(FilePath("no-such-dir") + "/x/y.txt"), platform::EFCreateError);
}

TEST_F(StringListTest, SplitNameValuesMovesTheNamePartOutOfTheValue) {
  TStringListElement list;
  list.NextValue("a = 1");
  list.NextValue("plain");
  list.AddNameValue("keep", "b=2");
  list.SplitNameValues();
  EXPECT_EQ(NameValues(list), (std::vector<std::string>{"a=1", "TStringElement=plain", "b=2"}));
}

TEST_F(StringListTest, PropertyListTakesPropertiesOfAnElementAndJoinsThem) {
  TIntegerElement source;
  source.SetName("Source");
  source.SetAsInteger(-3);
  TPropertyList list;
  list.NextName("-Value");
  list.NextName("Name");
  list.NextName("-Name");
  list.SetElement(nullptr);
  EXPECT_EQ(list.GetValueList(), (std::vector<std::string>{"", "", ""}));
  list.SetElement(&source);
  EXPECT_EQ(list.GetValueList(), (std::vector<std::string>{"3", "Source", "-Source"}));
  list.Delimiter = "; ";
  EXPECT_EQ(list.GetCatenation(), "3; Source; -Source");
  EXPECT_EQ(list.GetPropertyText("Catenation"), "3; Source; -Source");
  TPropertyList empty;
  empty.Delimiter = ",";
  EXPECT_EQ(empty.GetCatenation(), "");
  list.SetPropertyText("Element", std::to_string(HandleOfElement(&source)));
  EXPECT_EQ(list.GetValue(0), "3");
}

}  // namespace
