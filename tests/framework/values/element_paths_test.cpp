#include "framework/values/element_paths.h"

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"

namespace {

// A plain object (not an element) with a published property.
class TPathPlain : public TPersistent {
  KESTX_CLASS(TPathPlain)
 public:
  std::string Label = "plain label";
};

// An entity that reaches other objects through class-typed properties.
class TPathProbe : public TOwnerEntity {
  KESTX_CLASS(TPathProbe)
 public:
  TElement* Next = nullptr;
  TPathPlain* Plain = nullptr;
};

}  // namespace

TClass TPathPlain::StaticClass() {
  static const TClassInfo info = DescribeClass<TPathPlain>("TPathPlain", TPersistent::StaticClass(), "E_PathTest",
                                                           {FieldProp("Label", &TPathPlain::Label)});
  return &info;
}

TClass TPathProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TPathProbe>(
      "TPathProbe", TOwnerEntity::StaticClass(), "E_PathTest",
      {FieldProp("Next", &TPathProbe::Next), FieldProp("Plain", &TPathProbe::Plain)});
  return &info;
}

namespace {

// The token from pos as "text|new position|delimiter code".
std::string Scan(const std::string& text, std::string_view set, int pos, bool raw = false) {
  std::string token;
  int newPos = -1;
  char delimiter = 'x';
  if (raw) NextRawToken(text, set, pos, token, newPos, delimiter);
  else NextToken(text, set, pos, token, newPos, delimiter);
  return token + "|" + std::to_string(newPos) + "|" + std::to_string(delimiter);
}

TEST(NextTokenTest, SplitsAtTheSetCountingCharactersAndOnlyAsciiDelimits) {
  const struct {
    const char* text;
    const char* set;
    int pos;
    bool raw;
    const char* expected;
  } cases[] = {
      {"a, b;c", ",;", 1, false, "a|3|44"}, {"a, b;c", ",;", 3, false, "b|6|59"}, {"a, b;c", ",;", 6, false, "c|8|0"},
      {"a, b;c", ",;", 3, true, " b|6|59"},  // a raw token keeps its blanks
      {"", ",", 4, false, "|4|0"}, {"ab", ",", 9, false, "|4|0"},  // past the end
      {"šx.y", ".", 1, false, "šx|4|46"}, {"šx.y", ".", 4, false, "y|6|0"},  // "š" is one character
      {"a\tb", "\t", 1, false, "a\tb|5|0"},  // a control character is not in the set's range
  };
  for (const auto& c : cases) EXPECT_EQ(Scan(c.text, c.set, c.pos, c.raw), c.expected) << c.text << " @" << c.pos;
}

class PathTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    static bool registered = false;
    if (!registered) RegisterKestuClass(TPathProbe::StaticClass());
    registered = true;
    root.SetName("Root");
    roads = Named<TPathProbe>("roads", &root);
    for (const char* name : {"A", "B", "C"}) Named<TStringElement>(name, roads);
    root.AddElement(TStringElement::CreateNameValue("Width", "10"));
    Named<TStringListElement>("Settings", &root)->SetValueByName("Width", "12");
  }
  TPathProbe root;
  TPathProbe* roads = nullptr;
};

TEST_F(PathTest, ValuesAndErrorsOfPaths) {
  TStringElement notEntity;
  TPathPlain plain;
  root.Plain = &plain;
  const struct {
    TElement* next;
    const char* path;
    const char* expected;  // the value, or the error's text
  } cases[] = {
      {nullptr, "Name", "Root"}, {nullptr, " Name ", "Root"}, {nullptr, "NoSuchProperty", ""},
      {nullptr, "FINDELEMENTBYNAME(Roads).Count", "3"},  // children by name in any case, and by class
      {nullptr, "findElementByName( ROADS ).FindElementByName(b).Name", "B"},
      {nullptr, "FINDELEMENTBYCLASS(TStringElement).Value", "10"},
      {nullptr, "FINDELEMENTBYNAME(settings).width", "12"},  // dynamic properties of string lists
      {nullptr, "FINDELEMENTBYCLASS(TNoSuchClass).Value", "Kestu nenašel třídu TNoSuchClass"},
      {roads, "next.Name", "roads"}, {nullptr, "Plain.Label", "plain label"},  // class-typed properties lead on
      {nullptr, "Name)", ""},                                                   // a stray ")" is passed over
      {nullptr, "FINDELEMENTBYNAME(Roads)", "Chyba syntaxe. .. na pozici 24 očekávám \".\""},
      {nullptr, "FINDELEMENTBYNAME(Roads.Count", "Chyba syntaxe. .. na pozici 24 očekávám \")\""},
      {nullptr, "FINDELEMENTBYNAME(Roads", "Chyba syntaxe. .. na pozici 24 očekávám \")\""},
      {nullptr, "FINDELEMENTBYNAME(Ghost).Name", "Chyba ... nenalezl jsem objekt Ghost"},
      {nullptr, "Next.Name", "Chyba ... nenalezl jsem objekt "},
      {nullptr, "OtherCall(x).Name", "Chyba ... nenalezl jsem objekt x"},
      {&notEntity, "Next.FINDELEMENTBYNAME(x).Name", "Objekt na pozici 22 není Entita ... nelze prohledávat"},
  };
  for (const auto& c : cases) {
    root.Next = c.next;
    std::string value;
    try {
      value = root.GetPathValue(c.path);
    } catch (const std::exception& e) {
      value = e.what();
    }
    EXPECT_EQ(value, c.expected) << c.path;
  }
}

TEST_F(PathTest, FindPathElementAndElementLists) {
  root.Next = roads;
  // a find call may end an element search only
  EXPECT_TRUE(root.FindPathElement("Next") == roads && root.FindPathElement("FINDELEMENTBYNAME(Roads)") == roads &&
              root.FindPathElement("FINDELEMENTBYNAME(Ghost)") == nullptr);
  EXPECT_EQ(ErrorOf<Exception>([&] { root.FindPathElement("FINDELEMENTBYNAME(Roads)(x"); }),
            "Chyba syntaxe. .. na pozici 24 očekávám \".\"");
  EXPECT_EQ(ErrorOf<Exception>([&] { root.GetPathValueList("FINDELEMENTBYNAME(Roads)"); }),
            "Chyba syntaxe. .. na pozici 24 očekávám \".\"");
  TStringElement notEntity;
  root.Next = &notEntity;
  EXPECT_EQ(ErrorOf<Exception>([&] { root.FindPathElement("Next.FINDELEMENTBYCLASS(TElement)"); }),
            "Objekt na pozici 23 není Entita ... nelze prohledávat");
  EXPECT_EQ(Join(roads->GetPathValueList("ELEMENT.Name")) + "|" +
                Join(root.GetPathValueList("findelementbyname(roads).element.Name")) + "|" +
                Join(root.GetPathValueList("Name")),
            "A B C|A B C|Root");
  const std::pair<const char*, const char*> errors[] = {
      {"FINDELEMENTBYNAME(Roads).ELEMENT.Name.X", "Chybné zakončení příkazu: ."},
      {"FINDELEMENTBYNAME(Roads).ELEMENT.Name(X", "Chybné zakončení příkazu: ("},
      {"Next.ELEMENT.Name", "Poslední objekt není Entita - nelze vytvořit seznam !"},
      {"Plain.ELEMENT.Name", "Poslední objekt není ani Element, natož Entita !"},
  };
  TPathPlain plain;
  root.Plain = &plain;
  for (const auto& [path, error] : errors)
    EXPECT_EQ(ErrorOf<Exception>([&] { root.GetPathValueList(path); }), error) << path;
}

}  // namespace
