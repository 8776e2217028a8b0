#include "framework/values/element_paths.h"

#include <string>
#include <tuple>
#include <vector>

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
    root.Plain = &plain;
  }
  TStringElement notEntity;
  TPathPlain plain;
  TPathProbe root;
  TPathProbe* roads = nullptr;
};

// The scanner steps from a 1-based character position to the next delimiter
// and past it; callers scanning a line in a loop reuse one token variable, so
// an empty text must empty it too.
TEST(TokenScannerTest, ATokenRunsToTheNextDelimiterAndTheScanGoesOnPastIt) {
  const struct {
    const char* text;
    const char* delimiters;
    int pos;
    bool raw;
    const char* token;
    char delimiter;
    int newPos;
  } rows[] = {
      {"a, b;c", ",;", 1, false, "a", ',', 3},
      {"a, b;c", ",;", 3, false, "b", ';', 6},
      {"a, b;c", ",;", 3, true, " b", ';', 6},
      {"a, b;c", ",;", 6, false, "c", '\0', 8},
      {"a, b;c", ",;", 9, false, "", '\0', 8},  // past the end: at the end
      {"", ",;", 4, false, "", '\0', 4},
      {"", ",;", 4, true, "", '\0', 4},
      {"čá.x", ".", 1, false, "čá", '.', 4},  // positions count characters
      {"čá.x", ".", 4, false, "x", '\0', 6},
      {"a\tb", "\t", 1, false, "a\tb", '\0', 5},  // below 32: never a delimiter
      {"FINDELEMENTBYNAME(Roads).Count", "().", 1, false, "FINDELEMENTBYNAME", '(', 19},
      {"FINDELEMENTBYNAME(Roads).Count", "().", 19, false, "Roads", ')', 25},
  };
  for (const auto& row : rows) {
    std::string token = "stale";
    int newPos = -7;
    char delimiter = 'x';
    (row.raw ? NextRawToken : NextToken)(row.text, row.delimiters, row.pos, token, newPos, delimiter);
    EXPECT_EQ(std::tuple(token, delimiter, newPos), std::tuple(std::string(row.token), row.delimiter, row.newPos))
        << "\"" << row.text << "\" from " << row.pos << (row.raw ? " raw" : "");
  }
}

TEST_F(PathTest, ValuesAndErrorsOfPaths) {
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

// A list path ends in ELEMENT and one property: that property of each child of
// the entity reached, one line each in order; any other path gives its value
// as the only line.
TEST_F(PathTest, ListsOfPathsAndTheirErrors) {
  const struct {
    TElement* next;
    const char* path;
    std::vector<std::string> lines;  // or the error's text as the only line
  } cases[] = {
      {roads, "Next.ELEMENT.Name", {"A", "B", "C"}},
      {roads, "next.element.name", {"A", "B", "C"}},
      {nullptr, "FINDELEMENTBYNAME(Roads).ELEMENT.Name", {"A", "B", "C"}},
      {nullptr, "Name", {"Root"}},
      {roads, "Next.ELEMENT.Name.X", {"Chybné zakončení příkazu: ."}},
      {&notEntity, "Next.ELEMENT.Name", {"Poslední objekt není Entita - nelze vytvořit seznam !"}},
      {nullptr, "Plain.ELEMENT.Label", {"Poslední objekt není ani Element, natož Entita !"}},
  };
  for (const auto& c : cases) {
    root.Next = c.next;
    std::vector<std::string> lines;
    try {
      lines = root.GetPathValueList(c.path);
    } catch (const std::exception& e) {
      lines = {e.what()};
    }
    EXPECT_EQ(lines, c.lines) << c.path;
  }
}

}  // namespace
