#include "render/interprets/interpret_script.h"

#include <functional>
#include <string>

#include "render/interprets/interpret.h"
#include "spatial/objects/space_entities.h"
#include "tests/render/render_fixture.h"
#include "tests/render/script_tree.h"

namespace {

class InterpretScriptTest : public RenderTest {
 protected:
  // The tree of the current pass.
  std::string Tree() { return script().GetSubNodes(), ScriptTree(script()); }
  // Writes a property as a script line would; answers Error.
  int Set(const std::string& name, const std::string& value) {
    script().SetPropertyText(name, value);
    return script().Error;
  }
  std::string Get(const std::string& name) { return script().GetPropertyText(name); }
  TInterpretScript& script() { return *owned; }

  std::unique_ptr<TInterpretScript> owned = std::make_unique<TInterpretScript>();
};

TEST_F(InterpretScriptTest, ClassNodesNestByInheritanceWhicheverComesFirst) {
  struct Case {
    const char* name;
    std::vector<const char*> classes;
    const char* tree;
  };
  const Case cases[] = {
      {"a descendant goes under its ancestor", {"TRectEntity", "TSpaceEntity"}, "(TRectEntity):[(TSpaceEntity):]"},
      {"an ancestor takes its descendant in", {"TSpaceEntity", "TRectEntity"}, "(TRectEntity):[(TSpaceEntity):]"},
      {"unrelated classes stay side by side",
       {"TPolyLineElement", "TAreaElement", "TSpaceEntity"},
       "(TSpaceEntity):[(TAreaElement): (TPolyLineElement):]"},
      {"a class without the T", {"RectEntity"}, "(TRectEntity):"},
  };
  for (const Case& test : cases) {
    TInterpretScript fresh;
    for (const char* cls : test.classes) fresh.SetPropertyText("NewClassName", cls);
    EXPECT_EQ(ScriptTree(fresh), test.tree) << test.name;
  }
}

TEST_F(InterpretScriptTest, AnElementFindsTheInterpretOfItsMostSpecificNodeOrOfItsOwnInstance) {
  ASSERT_EQ(Set("NewClassName", "TSpaceEntity") + Set("ActualInterpretName", "TInterpret"), 0);
  ASSERT_EQ(Set("NewClassName", "TPolyLineElement") + Set("ActualInterpretName", "TRectInterpret"), 0);
  TPolyLineElement line, special;
  TAreaElement area;
  TRectEntity plain;
  ASSERT_EQ(Set("NewElement", Handle(&special)) + Set("ActualInterpretName", "TRectInterpret"), 0);
  TInterpret* own = script().GetActualInterpret();
  struct Case {
    const char* name;
    TElement* element;
    std::string interpretClass;
  };
  const Case cases[] = {
      {"its class's node", &line, "TRectInterpret"},
      {"its nearest ancestor's node", &area, "TInterpret"},
      {"no node for it", &plain, ""},
  };
  for (const Case& test : cases) {
    TInterpret* found = script().FindInterpret(test.element);
    EXPECT_EQ(found ? found->ClassName() : "", test.interpretClass) << test.name;
  }
  EXPECT_EQ(script().FindInterpret(&special), own) << "the element's own instance node";
}

// Lines a, b and c: a class node for lines and instance nodes for a and b,
// all looked up once before each change; after it, each line finds the
// interpret of its first node (or of the class node) as the list now stands.
TEST_F(InterpretScriptTest, InstanceNodesKeepAnsweringForTheirElementsThroughEveryChangeOfTheirList) {
  const auto named = [](const char* name) {
    auto* interpret = new TInterpret;
    interpret->SetName(name);
    return interpret;
  };
  struct Case {
    const char* name;
    std::function<void(TInterpretScript&, TPolyLineElement&, TPolyLineElement&, TPolyLineElement&)> change;
    const char* answers;  // the interprets of a, b and c
  };
  const Case cases[] = {
      {"nothing changed", [](auto&, auto&, auto&, auto&) {}, "A B lines"},
      {"a node filed after the look-up",
       [&](TInterpretScript& s, auto&, auto&, TPolyLineElement& c) {
         s.SetNewElement(&c);
         s.SetActualInterpret(named("C"));
       },
       "A B C"},
      {"a node deleted by the script",
       [](TInterpretScript& s, TPolyLineElement& a, auto&, auto&) {
         s.SetFindElement(&a);
         s.SetDeleteActualItem("");
       },
       "lines B lines"},
      {"a node freed by someone else",
       [](TInterpretScript& s, TPolyLineElement& a, auto&, auto&) {
         TElement* node = s.FindInstanceNode(&a);
         FreeAndNil(node);
       },
       "lines B lines"},
      {"a node given another element",
       [](TInterpretScript& s, TPolyLineElement& a, auto&, TPolyLineElement& c) {
         s.SetFindElement(&a);
         s.SetActualElement(&c);
       },
       "lines B A"},
      {"a node's element set in place",
       [](TInterpretScript& s, TPolyLineElement& a, auto&, TPolyLineElement& c) { s.FindInstanceNode(&a)->SetElement(&c); },
       "lines B A"},
      {"a node put before the others in their list",
       [&](TInterpretScript& s, auto&, TPolyLineElement& b, auto&) {
         auto* node = new TISInstance;
         node->SetElement(&b);
         node->SetInterpret(named("B2"));
         s.FindClassNode(TPolyLineElement::StaticClass())->GetSubNodes()->InsertElement(0, node);
       },
       "A B2 lines"},
      {"a node put in the place of the first",
       [&](TInterpretScript& s, auto&, TPolyLineElement& b, auto&) {
         auto* node = new TISInstance;
         node->SetElement(&b);
         node->SetInterpret(named("B2"));
         TISInstances& list = *s.FindClassNode(TPolyLineElement::StaticClass())->GetSubNodes();
         TElement* replaced = list.Children()[0];
         list.SetElement(0, node);
         FreeAndNil(replaced);
       },
       "lines B2 lines"},
      {"a class node above them all", [](TInterpretScript& s, auto&, auto&, auto&) { s.SetNewClassName("TSpaceEntity"); },
       "A B lines"},
  };
  for (const Case& test : cases) {
    TInterpretScript fresh;
    fresh.SetNewClassName("TPolyLineElement");
    fresh.SetActualInterpret(named("lines"));
    TPolyLineElement a, b, c;
    for (auto [line, name] : {std::pair(&a, "A"), std::pair(&b, "B")}) {
      fresh.SetNewElement(line);
      fresh.SetActualInterpret(named(name));
    }
    for (TPolyLineElement* line : {&a, &b, &c}) fresh.FindInterpret(line);
    test.change(fresh, a, b, c);
    // Asked last first: the first answer must not mend the index for the rest.
    std::string answers;
    for (TPolyLineElement* line : {&c, &b, &a}) {
      const TInterpret* found = fresh.FindInterpret(line);
      answers = (found ? found->GetName() : std::string("-")) + (answers.empty() ? "" : " ") + answers;
    }
    EXPECT_EQ(answers, test.answers) << test.name;
  }
}

TEST_F(InterpretScriptTest, PropertyOperationsReportTheirErrors) {
  TPolyLineElement line;
  struct Case {
    const char* name;
    std::function<int()> run;
    int error;
    const char* actual;  // the current node's name afterwards
  };
  const Case cases[] = {
      {"an unknown class", [&] { return Set("NewClassName", "TNoSuch"); }, 2, "Interpret Script"},
      {"the class of a new instance node reads NIL",
       [&] { return Set("NewElement", Handle(&line)), Get("ActualClassName") == "NIL" ? script().Error : -1; }, 0,
       "TPolyLineElement(TPolyLineElement):"},
      {"an element not in the script", [&] { return Set("FindElement", Handle(&line)); }, 1, "Interpret Script"},
      {"no current node for its class", [&] { return Get("ActualClassName"), script().Error; }, 3, "Interpret Script"},
      {"a nil element", [&] { return Set("NewClassName", "TRectEntity"), Set("ActualElement", "0"); }, 4,
       "(TRectEntity):"},
      {"an element for a class node", [&] { return Set("NewClassName", "TRectEntity"), Set("ActualElement", Handle(&line)); },
       3, "(TRectEntity):"},
      {"no interpret to name",
       [&] { return Set("NewClassName", "TRectEntity"), Get("ActualInterpretName"), script().Error; }, 5, "(TRectEntity):"},
      {"an interpret of an unknown class clears it",
       [&] {
         Set("NewClassName", "TRectEntity"), Set("ActualInterpretName", "TInterpret");
         return Set("ActualInterpretName", "XYZ") * 10 + (script().GetActualInterpret() == nullptr);
       },
       21, "(TRectEntity):"},
      {"only interpret classes make interprets",
       [&] { return Set("NewClassName", "TRectEntity"), Set("ActualInterpretName", "TRectEntity"); }, 2,
       "(TRectEntity):"},
      {"deleting the current node succeeds",
       [&] { return Set("NewClassName", "TRectEntity"), Set("DeleteActualItem", "1") * 10 + (Tree() == ""); }, 1,
       "Interpret Script"},
      {"deleting with no current node", [&] { return Set("DeleteActualItem", "1"); }, 3, "Interpret Script"},
      {"a pass beyond the last", [&] { return Set("PassesCount", "2"), Set("Pass", "5") * 10 + script().Pass(); }, 80,
       "Interpret Script"},
      {"more passes than a script can hold",
       [&] { return Set("PassesCount", "2000000000") * 10 + script().PassesCount(); }, 80, "Interpret Script"},
      {"an interpret is found by its name in any case",
       [&] {
         Set("NewClassName", "TRectEntity"), Set("ActualInterpretName", "TInterpret");
         script().GetActualInterpret()->SetName("Lesy");
         return Set("NewClassName", "TAreaElement"), Set("FindInterpretName", "LESY");
       },
       0, "(TRectEntity):TInterpret"},
      {"no interpret of that name",
       [&] { return Set("NewClassName", "TRectEntity"), Set("FindInterpretName", "Lesy"); }, 1, "Interpret Script"},
      {"a class not in the script finds the script",
       [&] { return Set("NewClassName", "TAreaElement"), Set("FindClassName", "TPolyLineElement"); }, 0,
       "Interpret Script"},
  };
  for (const Case& test : cases) {
    owned = std::make_unique<TInterpretScript>();
    EXPECT_EQ(test.run(), test.error) << test.name;
    EXPECT_EQ(script().ActualItem()->GetName(), test.actual) << test.name;
  }
}

TEST_F(InterpretScriptTest, ANodeGivenAnotherElementLeavesTheListThatHoldsIt) {
  TPolyLineElement line;
  TAreaElement area;
  line.SetName("L");
  area.SetName("A");
  Set("NewClassName", "TPolyLineElement");
  Set("NewClassName", "TAreaElement");
  Set("NewElement", Handle(&line));
  ASSERT_EQ(Tree(), "(TPolyLineElement):[L(TPolyLineElement):] (TAreaElement):");
  EXPECT_EQ(Set("ActualElement", Handle(&area)), 0);
  EXPECT_EQ(Tree(), "(TPolyLineElement): (TAreaElement):[A(TAreaElement):]");
  EXPECT_EQ(Set("FindElement", Handle(&area)), 0);
  Set("NewClassName", "TSpaceEntity");
  Set("FindClassName", "TAreaElement");
  EXPECT_EQ(Set("ActualClassName", "TTextElement"), 0);
  EXPECT_EQ(Tree(), "(TSpaceEntity):[(TPolyLineElement): (TTextElement):[A(TAreaElement):]]")
      << "a class node refiled with its sub-nodes";
}

TEST_F(InterpretScriptTest, PassesAreTreesOfTheirOwnAndAnInterpretSetAgainStays) {
  Set("PassesCount", "2");
  Set("Pass", "0");
  Set("NewClassName", "TRectEntity");
  Set("Pass", "1");
  Set("NewClassName", "TAreaElement");
  EXPECT_EQ(Tree(), "(TAreaElement):");
  Set("Pass", "0");
  EXPECT_EQ(Tree(), "(TRectEntity):");
  EXPECT_EQ(script().Children().size(), 2u);

  Set("FindClassName", "TRectEntity");
  Set("ActualInterpretName", "TInterpret");
  TInterpret* held = script().GetActualInterpret();
  script().SetActualInterpret(held);
  EXPECT_EQ(script().GetActualInterpret(), held);
  EXPECT_EQ(held->GetOwnersCount(), 1) << "still alive and held once";
  Set("PassesCount", "1");
  EXPECT_EQ(std::tuple(script().PassesCount(), Tree()), std::tuple(1, std::string("(TRectEntity):TInterpret")));
}

// Refuses every device it is given.
class TRefusingInterpret : public TInterpret {
 public:
  void AttachDevice(TDevice*) override { throw std::runtime_error("zařízení odmítnuto"); }
};

TEST_F(InterpretScriptTest, ANodeThatFailsToTakeTheDeviceIsReportedAndTheOthersStillTakeIt) {
  Set("NewClassName", "TAreaElement");
  script().SetActualInterpret(new TRefusingInterpret);
  Set("NewClassName", "TPolyLineElement");
  Set("ActualInterpretName", "TInterpret");
  TInterpret* taking = script().GetActualInterpret();
  TNullDevice device;
  script().AttachDevice(&device);
  EXPECT_EQ(std::tuple(Boxes(), taking->Device() == &device),
            std::tuple(std::vector<std::string>{"zařízení odmítnuto"}, true));
  script().DetachDevice();
  EXPECT_EQ(taking->Device(), nullptr);
}

}  // namespace
