#include "framework/values/element_paths.h"

#include <string>
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

struct Token {
  std::string Text;
  int NewPos;
  char Delimiter;
};

Token Scan(const std::string& text, std::string_view set, int pos, bool raw = false) {
  Token token{"", -1, 'x'};
  if (raw) NextRawToken(text, set, pos, token.Text, token.NewPos, token.Delimiter);
  else NextToken(text, set, pos, token.Text, token.NewPos, token.Delimiter);
  return token;
}

TEST(NextTokenTest, SplitsAtTheSetAndStepsOverEachDelimiter) {
  const std::string text = "a, b;c";
  Token t = Scan(text, ",;", 1);
  EXPECT_EQ(t.Text, "a");
  EXPECT_EQ(t.Delimiter, ',');
  EXPECT_EQ(t.NewPos, 3);
  t = Scan(text, ",;", 3);
  EXPECT_EQ(t.Text, "b");
  EXPECT_EQ(t.Delimiter, ';');
  EXPECT_EQ(t.NewPos, 6);
  t = Scan(text, ",;", 6);
  EXPECT_EQ(t.Text, "c");
  EXPECT_EQ(t.Delimiter, '\0');
  EXPECT_EQ(t.NewPos, 8);
}

TEST(NextTokenTest, RawTokenKeepsItsBlanksAndEmptyTextKeepsThePosition) {
  Token t = Scan("a, b;c", ",;", 3, true);
  EXPECT_EQ(t.Text, " b");
  EXPECT_EQ(t.NewPos, 6);
  t = Scan("", ",", 4);
  EXPECT_EQ(t.Text, "");
  EXPECT_EQ(t.Delimiter, '\0');
  EXPECT_EQ(t.NewPos, 4);
  t = Scan("ab", ",", 9);  // past the end
  EXPECT_EQ(t.Text, "");
  EXPECT_EQ(t.Delimiter, '\0');
  EXPECT_EQ(t.NewPos, 4);
}

TEST(NextTokenTest, PositionsCountCharactersAndOnlyAsciiDelimitsText) {
  // "š" is one character; characters above 127 in the set never delimit.
  Token t = Scan("šx.y", ".", 1);
  EXPECT_EQ(t.Text, "šx");
  EXPECT_EQ(t.NewPos, 4);
  t = Scan("šx.y", ".", t.NewPos);
  EXPECT_EQ(t.Text, "y");
  EXPECT_EQ(t.NewPos, 6);
  t = Scan("a\tb", "\t", 1);  // a control character is not in the set's range
  EXPECT_EQ(t.Text, "a\tb");
  EXPECT_EQ(t.Delimiter, '\0');
}

class PathTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    static bool registered = false;
    if (!registered) RegisterKestuClass(TPathProbe::StaticClass());
    registered = true;
    root.SetName("Root");
    roads = new TPathProbe;
    roads->SetName("roads");
    root.AddElement(roads);
    for (const char* name : {"A", "B", "C"}) {
      auto* child = new TStringElement;
      child->SetName(name);
      roads->AddElement(child);
    }
    auto* value = TStringElement::CreateNameValue("Width", "10");
    root.AddElement(value);
  }

  // The message of the error a path raises.
  template <class Call>
  std::string ErrorOf(Call call) {
    try {
      call();
    } catch (const Exception& e) {
      return e.what();
    }
    return "no error";
  }

  TPathProbe root;
  TPathProbe* roads = nullptr;
};

TEST_F(PathTest, LastSegmentReadsThePropertyAsText) {
  EXPECT_EQ(root.GetPathValue("Name"), "Root");
  EXPECT_EQ(root.GetPathValue(" Name "), "Root");
  EXPECT_EQ(root.GetPathValue("NoSuchProperty"), "");
}

TEST_F(PathTest, FindCallsSearchChildrenByNameInAnyCaseAndByClass) {
  EXPECT_EQ(root.GetPathValue("FINDELEMENTBYNAME(Roads).Count"), "3");
  EXPECT_EQ(root.GetPathValue("findElementByName( ROADS ).FindElementByName(b).Name"), "B");
  EXPECT_EQ(root.GetPathValue("FINDELEMENTBYCLASS(TStringElement).Value"), "10");
  EXPECT_THROW(root.GetPathValue("FINDELEMENTBYCLASS(TNoSuchClass).Value"), EClassNotFound);
}

TEST_F(PathTest, ClassTypedPropertiesLeadToTheObjectTheyHold) {
  root.Next = roads;
  EXPECT_EQ(root.GetPathValue("next.Name"), "roads");
  EXPECT_EQ(root.FindPathElement("Next"), roads);
  TPathPlain plain;
  root.Plain = &plain;
  EXPECT_EQ(root.GetPathValue("Plain.Label"), "plain label");
  EXPECT_EQ(root.GetPathValue("Name)"), "");  // a stray ")" is passed over
}

TEST_F(PathTest, FindCallMayEndOnlyAnElementSearch) {
  EXPECT_EQ(ErrorOf([&] { root.GetPathValue("FINDELEMENTBYNAME(Roads)"); }),
            "Chyba syntaxe. .. na pozici 24 očekávám \".\"");
  EXPECT_EQ(ErrorOf([&] { root.GetPathValueList("FINDELEMENTBYNAME(Roads)"); }),
            "Chyba syntaxe. .. na pozici 24 očekávám \".\"");
  EXPECT_EQ(root.FindPathElement("FINDELEMENTBYNAME(Roads)"), roads);
  EXPECT_EQ(root.FindPathElement("FINDELEMENTBYNAME(Ghost)"), nullptr);
  EXPECT_EQ(ErrorOf([&] { root.FindPathElement("FINDELEMENTBYNAME(Roads)(x"); }),
            "Chyba syntaxe. .. na pozici 24 očekávám \".\"");
}

TEST_F(PathTest, ArgumentWithoutClosingParenthesisNamesThePositionAfterIt) {
  EXPECT_EQ(ErrorOf([&] { root.GetPathValue("FINDELEMENTBYNAME(Roads.Count"); }),
            "Chyba syntaxe. .. na pozici 24 očekávám \")\"");
  EXPECT_EQ(ErrorOf([&] { root.GetPathValue("FINDELEMENTBYNAME(Roads"); }),
            "Chyba syntaxe. .. na pozici 24 očekávám \")\"");
}

TEST_F(PathTest, MissingObjectNamesTheLastSearchedArgument) {
  EXPECT_EQ(ErrorOf([&] { root.GetPathValue("FINDELEMENTBYNAME(Ghost).Name"); }),
            "Chyba ... nenalezl jsem objekt Ghost");
  EXPECT_EQ(ErrorOf([&] { root.GetPathValue("Next.Name"); }), "Chyba ... nenalezl jsem objekt ");
  EXPECT_EQ(ErrorOf([&] { root.GetPathValue("OtherCall(x).Name"); }), "Chyba ... nenalezl jsem objekt x");
}

TEST_F(PathTest, FindCallOnAnElementThatIsNoEntityNamesThePositionBeforeTheParenthesis) {
  TStringElement plain;
  EXPECT_EQ(ErrorOf([&] { plain.GetPathValue("FINDELEMENTBYNAME(x).Name"); }),
            "Objekt na pozici 17 není Entita ... nelze prohledávat");
  root.Next = &plain;
  EXPECT_EQ(ErrorOf([&] { root.FindPathElement("Next.FINDELEMENTBYCLASS(TElement)"); }),
            "Objekt na pozici 23 není Entita ... nelze prohledávat");
}

TEST_F(PathTest, ElementListGivesThePropertyOfEveryChildInOrder) {
  EXPECT_EQ(roads->GetPathValueList("ELEMENT.Name"), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(root.GetPathValueList("findelementbyname(roads).element.Name"),
            (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(root.GetPathValueList("Name"), (std::vector<std::string>{"Root"}));
  EXPECT_EQ(ErrorOf([&] { roads->GetPathValueList("ELEMENT.Name.X"); }), "Chybné zakončení příkazu: .");
  EXPECT_EQ(ErrorOf([&] { roads->GetPathValueList("ELEMENT.Name(X"); }), "Chybné zakončení příkazu: (");
}

TEST_F(PathTest, ElementListNeedsAnEntity) {
  TStringElement plain;
  root.Next = &plain;
  EXPECT_EQ(ErrorOf([&] { root.GetPathValueList("Next.ELEMENT.Name"); }),
            "Poslední objekt není Entita - nelze vytvořit seznam !");
  TPathPlain object;
  root.Plain = &object;
  EXPECT_EQ(ErrorOf([&] { root.GetPathValueList("Plain.ELEMENT.Name"); }),
            "Poslední objekt není ani Element, natož Entita !");
}

TEST_F(PathTest, PathsReachDynamicPropertiesOfStringLists) {
  auto* list = new TStringListElement;
  list->SetName("Settings");
  list->SetValueByName("Width", "12");
  root.AddElement(list);
  EXPECT_EQ(root.GetPathValue("FINDELEMENTBYNAME(settings).width"), "12");
}

}  // namespace
