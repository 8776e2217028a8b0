#include "tests/oil/oil_fixture.h"

namespace {

// A model under the world's object model: Root (a probe) with the children
// A (a probe) and B (an owner entity); A is also held by B.
class ElementAccess : public OilTest {
 protected:
  void SetUp() override {
    OilTest::SetUp();
    root = AddNamed<TOilProbe>(world->ObjectModel(), "Root");
    a = AddNamed<TOilProbe>(root, "A");
    b = AddNamed<TOwnerEntity>(root, "B");
    b->AddElement(a);
    root->AddElement(TStringElement::CreateValue("value"));
    TOilProbeTool::Calls.clear();
  }
  // Runs statements with r (integer) and s (string) declared and e set to Root.
  void Body(const std::string& statements) {
    RunProgram("PROGRAM P;\nBEGIN\nr : INTEGER; s : STRING; e : TELEMENT := WORLD\\Model\\Root;\n" + statements +
               "\nEND.");
  }

  TOilProbe* root = nullptr;
  TOilProbe* a = nullptr;
  TOwnerEntity* b = nullptr;
};

// Each row gives r and s, then the boxes shown, as Outcome gives them.
TEST_F(ElementAccess, PathsReachChildrenAndOwnersAndPropertiesAreReadAndWrittenByTheirKind) {
  const Row cases[] = {
      {"child by name", "s := WORLD\\Model\\Root\\a.Name;", "0|A|"},
      {"quoted name", "s := WORLD\\'Model'\\Root\\\"B\".Name;", "0|B|"},
      {"owner by name", "s := WORLD\\Model\\Root\\A\\\\B.Name;", "0|B|"},
      {"owner by number", "s := WORLD\\Model\\Root\\A\\\\[0].Name;", "0|Root|"},
      {"missing child is nothing", "e := WORLD\\Model\\NoSuch; IF e = NIL THEN s := 'nil';", "0|nil|"},
      {"property of a missing child", "s := WORLD\\Model\\NoSuch.Name;", "0||!Nevyjádřitelná proměnná"},
      {"child of a value", "s := WORLD\\Model\\Root[2]\\x.Name;", "0||!Objekt není TEntity"},
      {"owner outside the list", "s := WORLD\\Model\\Root\\\\[5].Name;", "0||!Prvek neexistuje"},
      {"negative child number", "r := 0 - 1; s := WORLD\\Model[r].Name;", "-1||!Prvek neexistuje"},
      {"element variable as start", "s := e[0].Name;", "0|A|"},
      {"one property read from elements of two classes", "FOR r := 0 TO 1 DO s := s + e[r].Name + '.';", "1|A.B.|"},
      {"a property the second class lacks", "FOR r := 0 TO 1 DO s := s + e[r].Text;", "1||!Špatné jméno property"},
      {"active element is the default start", "ACTIVEELEMENT := WORLD\\Model\\Root; s := \\B.Name + [0].Name;",
       "0|BA|"},
      {"unknown name is a property of the active element", "ACTIVEELEMENT := WORLD\\Model\\Root; s := Text + 'x';",
       "0|x|"},
      {"an output nobody holds is freed by the script; the variable then reads nil",
       "e := Create(NameOfClass: 'TOwnerEntity', ElementName: 'Loose'); s := e.Name; e.Free();"
       " IF e = NIL THEN s := s + ' nil';", "0|Loose nil|"},
      {"custom dividers", "{$ELEMENTDIVIDER |}{$OWNERDIVIDER ~~} s := WORLD|Model|Root|A~~B.Name;", "0|B|"},
      {"integer into float reads back", "e.Ratio := 3; IF e.Ratio = 3.0 THEN r := 1;", "1||"},
      {"Boolean property", "e.Shown := TRUE; IF e.Shown THEN r := 1; e.Shown := FALSE; IF NOT e.Shown THEN r := r + 2;",
       "3||"},
      {"enumeration without TRUE or FALSE", "IF e.Kind THEN r := 1;", "0||!Nepoužitelný typ property"},
      {"TRUE written to any enumeration", "e.Kind := TRUE; r := 5;", "5||"},
      {"char", "e.Letter := 'z'; s := e.Letter;", "0|z|"},
      {"string into an integer", "e.Count := 'x';", "0||!Typová neshoda"},
      {"class property", "e.Target := e\\B; s := e.Target.Name;", "0|B|"},
      {"element of another class", "e.Target := e[2]; r := 1;", "0||!Typová neshoda"},
      {"read-only property", "e.ReadOnly := 1;", "0||!Přiřazení nelze provést"},
      {"64-bit property cannot be read", "r := e.Big;", "0||!Nepoužitelný typ property"},
  };
  for (const auto& c : cases) {
    Body(c.text);
    EXPECT_EQ(Outcome(c.expected), c.expected) << c.name;
  }
  EXPECT_EQ(std::pair(root->Ratio, static_cast<int>(root->Kind)), std::pair(3.0, 1));
}

TEST_F(ElementAccess, ToolCallsCreateSetRunAndFreeTheirTool) {
  // The calls the probe tool records, then the boxes shown, each after '!'.
  const Row cases[] = {
      {"named arguments", "e := WORLD\\Model\\Root.OilProbeTool(Number: 2, Text: 'x', Ratio: 4, Flag: TRUE);",
       "x|2|4.000000|T|Root"},
      {"positional then named", "e := OilProbeTool('y', 7, Flag: FALSE);", "y|7|0.000000|F|TWorld"},
      {"quoted tool name", "e := WORLD.'TOilProbeTool'();", "|0|0.000000|F|TWorld"},
      {"value as input", "e := WORLD.Name.OilProbeTool();", "!Input musí být prvek nikoliv hodnota"},
      {"argument of the wrong type", "e := OilProbeTool(Number: 'x');", "!Typová neshoda"},
      {"output taken", "e := WORLD\\Model.OilProbeTool(); s := e.Name;", "|0|0.000000|F|Model"},
  };
  for (const auto& c : cases) {
    TOilProbeTool::Calls.clear();
    Body(c.text);
    std::string calls;
    for (const std::string& call : TOilProbeTool::Calls) calls += call;
    EXPECT_EQ(std::pair(calls + Outcome(""), TOilProbeTool::Alive), std::pair(c.expected, 0)) << c.name;
  }
}

}  // namespace
