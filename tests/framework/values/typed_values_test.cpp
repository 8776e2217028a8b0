#include "framework/values/typed_values.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <tuple>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "tests/platform/temp_folder.h"

namespace {

using Strings = std::vector<std::string>;

// Every read as "byte|integer|char code|string|float|boolean"; "!" where a read raises.
std::string ReadAll(const TTypeElement& e) {
  std::ostringstream text;
  text.precision(15);
  const auto field = [&text](auto read, bool last = false) {
    try {
      text << read();
    } catch (const EInvalidOp&) {
      text << "!";
    }
    if (!last) text << "|";
  };
  field([&] { return int(e.GetAsByte()); });
  field([&] { return e.GetAsInteger(); });
  field([&] { return int(static_cast<unsigned char>(e.GetAsChar())); });
  field([&] { return e.GetAsString(); });
  field([&] { return e.GetAsFloat(); });
  field([&] { return int(e.GetAsBoolean()); }, true);
  return text.str();
}

// Runs writes given as "kind:argument|..." (y byte, i integer, c char code, s string, f float, b boolean,
// p pointer, a text appended to a string element) on a new element of the class and answers its reads, after "!"
// for each write that raised.
std::string Convert(const std::string& cls, const std::string& script) {
  std::unique_ptr<TTypeElement> e(static_cast<TTypeElement*>(CreateElementByClassName(cls)));
  std::string raised;
  std::istringstream steps(script);
  for (std::string step; std::getline(steps, step, '|');) {
    const std::string arg = step.size() > 2 ? step.substr(2) : "";
    try {
      switch (step[0]) {
        case 'y': e->SetAsByte(static_cast<std::uint8_t>(std::stoi(arg))); break;
        case 'i': e->SetAsInteger(std::stoi(arg)); break;
        case 'c': e->SetAsChar(static_cast<char>(std::stoi(arg))); break;
        case 's': e->SetAsString(arg); break;
        case 'f': e->SetAsFloat(arg == "nan" ? std::nan("") : std::stod(arg)); break;
        case 'b': e->SetAsBoolean(arg == "1"); break;
        case 'a': static_cast<TStringElement&>(*e).AppendString(arg); break;
        default: e->SetAsPointer(e.get());
      }
    } catch (const EInvalidOp&) {
      raised += "!";
    }
  }
  EXPECT_EQ(e->GetAsPointer(), nullptr) << cls;
  return raised + ReadAll(*e);
}

using TypeTest = FrameworkTest;

TEST_F(TypeTest, ConversionTableOfEveryValueClass) {
  const struct {
    const char* cls;
    const char* writes;
    const char* reads;
  } cases[] = {
      {"TTypeElement", "y:5|i:5|c:5|s:5|f:5|b:1|p", "0|0|0||0|0"},  // reads nothing, ignores writes
      {"TBooleanElement", "b:1", "1|0|0|true|0|1"}, {"TBooleanElement", "b:1|b:0", "0|0|0|false|0|0"},
      {"TBooleanElement", "y:7", "1|0|0|true|0|1"}, {"TBooleanElement", "y:7|y:0", "0|0|0|false|0|0"},
      {"TBooleanElement", "i:1|c:84|f:1|p|s:TRUE|s:1", "0|0|0|false|0|0"},  // only the exact words
      {"TBooleanElement", "s:true", "1|0|0|true|0|1"}, {"TBooleanElement", "s:true|s:FALSE|s:", "1|0|0|true|0|1"},
      {"TBooleanElement", "s:true|s:false", "0|0|0|false|0|0"}, {"TCharElement", "c:154", "154|154|154|š|0|0"},
      {"TCharElement", "c:154|i:0|i:256|i:-1", "154|154|154|š|0|0"}, {"TCharElement", "i:65", "65|65|65|A|0|0"},
      {"TCharElement", "i:255", "255|255|255|˙|0|0"}, {"TCharElement", "y:66", "66|66|66|B|0|0"},
      {"TCharElement", "s:žluť", "158|158|158|ž|0|0"}, {"TCharElement", "s:žluť|s:|f:70|b:1", "158|158|158|ž|0|0"},
      {"TByteElement", "y:65", "65|65|65|65|65|1"}, {"TByteElement", "i:300", "44|44|44|44|44|1"},
      {"TByteElement", "i:-1", "255|255|255|255|255|1"}, {"TByteElement", "c:154", "154|154|154|154|154|1"},
      {"TByteElement", "s:300|s:12x|s:", "44|44|44|44|44|1"}, {"TByteElement", "y:5|b:0", "0|0|0|0|0|0"},
      {"TByteElement", "b:1", "1|1|1|1|1|1"},
      {"TByteElement", "f:2.5", "2|2|2|2|2|1"},  // halves to even, low bits kept
      {"TByteElement", "f:3.5", "4|4|4|4|4|1"}, {"TByteElement", "f:2.51", "3|3|3|3|3|1"},
      {"TByteElement", "f:-0.5", "0|0|0|0|0|0"}, {"TByteElement", "f:300.2", "44|44|44|44|44|1"},
      {"TByteElement", "f:-1.4|f:1e30|f:nan", "!!255|255|255|255|255|1"},
      {"TFloatElement", "f:2.9", "0|2|0| 2.90000000000000E+0000|2.9|0"},
      {"TFloatElement", "f:-2.9", "0|-2|0|-2.90000000000000E+0000|-2.9|0"},
      {"TFloatElement", "f:4294967298", "0|2|0| 4.29496729800000E+0009|4294967298|0"},  // low 32 bits
      {"TFloatElement", "f:1e20", "0|!|0| 1.00000000000000E+0020|1e+20|0"},
      {"TFloatElement", "f:-9.3e18", "0|!|0|-9.30000000000000E+0018|-9.3e+18|0"},
      {"TFloatElement", "i:-7|s:1,5|s:abc|s:1e999", "0|-7|0|-7.00000000000000E+0000|-7|0"},
      {"TFloatElement", "s: 2.5E3 |y:1|c:49|b:1", "0|2500|0| 2.50000000000000E+0003|2500|0"},
      {"TStringElement", "s:42", "0|42|0|42|42|1"}, {"TStringElement", "s:4x", "0|0|0|4x|0|0"},
      {"TStringElement", "s:1,5", "0|0|0|1,5|1.5|1"}, {"TStringElement", "i:-12", "0|-12|0|-12|-12|1"},
      {"TStringElement", "f:2.5", "0|0|0|2.5|2.5|1"}, {"TStringElement", "f:1e20", "0|0|0|1E20|1e+20|1"},
      {"TStringElement", "b:1", "0|0|0|TRUE|0|1"}, {"TStringElement", "s:4|a:2|a:", "0|42|0|42|42|1"}, {"TStringElement", "b:0|y:1|c:120|p", "0|0|0|FALSE|0|0"},
      {"TIntegerElement", "i:300", "44|300|0|300|300|1"}, {"TIntegerElement", "y:200", "200|200|0|200|200|1"},
      {"TIntegerElement", "s:-17|s:17.5|s:9999999999", "239|-17|0|-17|-17|1"},
      {"TIntegerElement", "f:2.5", "2|2|0|2|2|1"}, {"TIntegerElement", "f:3.5", "4|4|0|4|4|1"},
      {"TIntegerElement", "f:-2.5|c:120", "254|-2|0|-2|-2|1"}, {"TIntegerElement", "y:5|b:0", "0|0|0|0|0|0"},
      {"TIntegerElement", "b:1", "1|1|0|1|1|1"},
      {"TIntegerElement", "f:2147483647|f:2147483648|f:-3e9", "!!255|2147483647|0|2147483647|2147483647|1"},
      {"TIntegerElement", "f:-2147483648.4", "0|-2147483648|0|-2147483648|-2147483648|1"},
  };
  for (const auto& c : cases) EXPECT_EQ(Convert(c.cls, c.writes), c.reads) << c.cls << " " << c.writes;
}

TEST_F(TypeTest, FloatTextIsTwentyThreeCharacters) {
  TFloatElement e;
  for (const auto& [value, text] : {std::pair{1.5, " 1.50000000000000E+0000"}, {-0.000123, "-1.23000000000000E-0004"},
                                    {0.0, " 0.00000000000000E+0000"}, {1e300, " 1.00000000000000E+0300"},
                                    {123456789.123456789, " 1.23456789123457E+0008"},
                                    {-9.999999999999999, "-1.00000000000000E+0001"},
                                    {5e-324, " 4.94065645841247E-0324"},
                                    {-std::numeric_limits<double>::infinity(), "                   -INF"}}) {
    e.SetAsFloat(value);
    EXPECT_EQ(e.GetAsString(), text) << value;
  }
  // An ordinal view whose getter raises reads as an error text instead of letting the error out.
  for (const auto& [value, asInteger] : {std::pair{"1e308", "Err Ord Value"}, {"-1e19", "Err Ord Value"}, {"12", "12"}}) {
    e.SetPropertyText("AsFloat", value);
    EXPECT_EQ(e.GetPropertyText("AsInteger"), asInteger) << value;
  }
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(TypeTest, PointerHoldsAHandleThatReadsNilOnceTheElementIsFreed) {
  auto* target = new TOwnerElement;
  std::unique_ptr<TPointerElement> e(TPointerElement::CreateValue(target));
  const std::string handle = Handle(target);
  EXPECT_EQ(e->GetAsPointer(), target);
  EXPECT_EQ(ReadAll(*e), "0|" + handle + "|0|" + handle + "|0|0");
  TPointerElement other;
  std::vector<TElement*> read;
  for (const std::string& text : {handle, std::string("junk")}) {
    other.SetAsString(text);
    read.push_back(other.GetAsPointer());
  }
  other.SetAsInteger(std::stoi(handle));
  TIntegerElement number;
  number.SetAsPointer(target);
  EXPECT_EQ(read, (std::vector<TElement*>{target, nullptr}));
  EXPECT_TRUE(other.GetAsPointer() == target && number.GetAsPointer() == target);
  delete target;
  EXPECT_TRUE(e->GetAsPointer() == nullptr && number.GetAsPointer() == nullptr);
  EXPECT_EQ(e->GetAsString(), handle);  // the number itself stays
}

std::vector<std::int32_t> Values(TIntegerListElement& list) {
  std::vector<std::int32_t> values;
  for (int i = 0; i < list.GetCount(); ++i) values.push_back(list.GetInteger(i));
  return values;
}

// A sorted list takes each addition at its place, after its equals, so the earlier element stays first.
TEST_F(TypeTest, SortedIntegerListsTakeAdditionsInOrderAndRepeatsOnlyWhereAllowed) {
  std::mt19937 random(3);
  std::vector<std::int32_t> shuffled;
  for (int i = 0; i < 300; ++i) shuffled.push_back(static_cast<std::int32_t>(random() % 40) - 20);
  const std::pair<const char*, std::vector<std::int32_t>> cases[] = {
      {"repeats among others", {5, 3, 5, 4, 3}},
      {"descending", {9, 7, 5, 3, 1}},
      {"extremes", {0, INT32_MAX, INT32_MIN, -1, INT32_MAX}},
      {"many in no order", shuffled},
  };
  for (const auto& [name, fed] : cases) {
    for (const int mode : {0, 1, 2}) {  // unsorted, sorted, sorted with duplicates
      TIntegerListElement list;
      list.Sorted = mode > 0;
      list.Duplicates = mode == 2;
      for (const std::int32_t value : fed) list.AddInteger(value);
      std::vector<std::int32_t> expected = fed;
      if (mode > 0) std::sort(expected.begin(), expected.end());
      if (mode == 1) expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
      EXPECT_EQ(Values(list), expected) << name << " mode " << mode;
      EXPECT_TRUE(list.Contains(fed[1]) && !list.Contains(77)) << name << " mode " << mode;
    }
  }
  TIntegerListElement list;
  list.Sorted = list.Duplicates = true;
  list.AddInteger(4);
  list.AddInteger(2);
  TElement* firstFour = list.GetElement(1);
  list.AddInteger(4);
  EXPECT_EQ(list.GetElement(1), firstFour);
}

// ---------------------------------------------------------------- string lists

class StringListTest : public FrameworkTest {
 protected:
  std::string Bytes() const { return FileBytes(path); }
  void Write(const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
  static std::string NameValues(TStringListElement& list) {
    Strings lines;
    for (int i = 0; i < list.GetCount(); ++i) lines.push_back(list.GetItemName(i) + "=" + list.GetValue(i));
    return Join(lines, ", ");
  }
  TempFolder folder;
  const std::string path = folder.File("list.txt");
};

TEST_F(StringListTest, FilesAreWindows1250LinesByteForByteBothWays) {
  TStringListElement list;
  list.AddNameValue("Název", "Žluťoučký kůň");
  list.AddNameValue("X", "");
  list.NextValue("jen hodnota");
  Write("old content that must go\r\nand more\r\n");
  list.SaveToFile(path);
  EXPECT_EQ(Bytes(), "N\xE1zev=\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2\r\nX\r\njen hodnota=\r\n");
  TStringListElement().SetPropertyText("SaveToFile", path);
  EXPECT_EQ(Bytes(), "");
  Write("K\xF9\xF2=\x9A\x9D\r\n\r\nsamotn\xE9\nb = 2\rlast=3");
  TStringListElement loaded;
  loaded.NextValue("before");
  loaded.SetPropertyText("LoadFromFile", path);  // appends
  EXPECT_EQ(NameValues(loaded), "TStringElement=before, Kůň=šť, samotné=, b=2, last=3");
  loaded.LoadFromFile(path + ".missing");
  EXPECT_EQ(loaded.GetCount(), 5);
  EXPECT_THROW(list.SaveToFile(path + ".missing/y.txt"), platform::EFCreateError);
}

// Named items answer as properties beside the published ones, so a script
// that sets one is told it exists; setting one changes its value.
TEST_F(StringListTest, NamedItemsAreItsPropertiesBesideThePublishedOnes) {
  TStringListElement list;
  list.AddNameValue("Název", "1");
  list.NextValue("jen hodnota");
  const struct {
    const char* name;
    bool has;
  } rows[] = {{"Název", true}, {"název", true}, {"SaveToFile", true}, {"Nic", false}, {"", false}};
  for (const auto& row : rows) EXPECT_EQ(list.HasProperty(row.name), row.has) << row.name;
  list.SetPropertyText("Název", "2");
  list.SetPropertyText("Nový", "3");
  EXPECT_EQ(NameValues(list), "Název=2, TStringElement=jen hodnota, Nový=3");
}

// Each item of a property list takes the element's property its name names;
// a leading "-" is not part of the name and negates the text.
TEST_F(StringListTest, APropertyListTakesThePropertiesItsItemsNameAndAMinusNegatesThem) {
  TStringListElement element;
  element.SetName("Porost");
  element.AddNameValue("Dx", "-3");
  element.AddNameValue("Dy", "4");
  TPropertyList list;
  for (const char* item : {"-Dx", "-Dy", "Name", "Dx", "-Nic"}) list.AddNameValue(item, "?");
  list.SetElement(&element);
  EXPECT_EQ(NameValues(list), "-Dx=3, -Dy=-4, Name=Porost, Dx=-3, -Nic=-");
}

// Every item keeps whether it has a name, its name and its value.
TEST_F(StringListTest, AListSavedAndLoadedAgainIsEqual) {
  using Item = std::tuple<bool, std::string, std::string>;  // named, name, value
  const std::vector<std::vector<Item>> lists = {
      {{false, "", "abc"}},
      {{true, "Klíč", ""}},
      {{true, "Název", "Žluťoučký kůň"}, {false, "", "jen hodnota"}, {true, "X", ""}, {false, "", ""}},
      {{true, "a", "b=c"}, {false, "", "1,5"}},
  };
  const auto items = [](const TStringListElement& list) {
    std::vector<Item> read;
    for (TElement* child : list.Children()) {
      auto* item = DynamicCast<TStringElement>(child);
      read.emplace_back(item->HasName(), item->HasName() ? item->GetName() : "", item->GetAsString());
    }
    return read;
  };
  for (const std::vector<Item>& written : lists) {
    TStringListElement list, loaded;
    for (const auto& [named, name, value] : written) {
      if (named) list.AddNameValue(name, value);
      else list.NextValue(value);
    }
    list.SaveToFile(path);
    loaded.LoadFromFile(path);
    EXPECT_EQ(items(loaded), written) << NameValues(list) << " came back as " << NameValues(loaded);
  }
}

}  // namespace
