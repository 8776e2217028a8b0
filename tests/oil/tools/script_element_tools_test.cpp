#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "oil/oil_classes.h"
#include "oil/tools/script_element_tools.h"

namespace {

// A small tree: Root (entity) holds Child (owner entity) and Tech (technology);
// Other (entity) holds Child too.
class ScriptElementTools : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterOilClasses();
    root = std::make_unique<TOwnerEntity>();
    root->SetName("Root");
    child = new TOwnerEntity;
    child->SetName("Child");
    root->AddElement(child);
    tech = new TTechnology;
    tech->SetName("Tech");
    root->AddElement(tech);
    other = std::make_unique<TOwnerEntity>();
    other->SetName("Other");
    other->AddElement(child);
  }
  void TearDown() override {
    other.reset();
    root.reset();
  }

  std::unique_ptr<TOwnerEntity> root;
  std::unique_ptr<TOwnerEntity> other;
  TOwnerEntity* child = nullptr;
  TTechnology* tech = nullptr;
};

TEST_F(ScriptElementTools, RegisterInTheirOrderWithTheirParameters) {
  const struct {
    const char* name;
    std::vector<std::string> parameters;
  } tools[] = {{"TCreateElement", {"NameOfClass", "ElementName"}},
               {"TCreate", {"NameOfClass", "ElementName"}},
               {"TCreateTool", {"NameOfTool", "ElementName"}},
               {"TDoIt", {}},
               {"TFree", {}},
               {"TFreeAll", {}},
               {"TAddElement", {"ElementToAdd"}},
               {"TFindOwnerByClass", {"OwnerClass"}},
               {"TFindOwnerByName", {"OwnerName"}},
               {"TFindElementByClass", {"ClassOfElement"}},
               {"TFindElementByName", {"ElementName"}}};
  int lastId = -1;
  for (const auto& t : tools) {
    TKestuClass* entry = KestuClasses()->FindEntry(t.name);
    ASSERT_NE(entry, nullptr) << t.name;
    EXPECT_GT(entry->ID, lastId) << t.name << " registered out of order";
    lastId = entry->ID;
    std::unique_ptr<TElement> made(NewElement(entry->ElementClass()));
    auto* tool = DynamicCast<TTool>(made.get());
    ASSERT_NE(tool, nullptr) << t.name;
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
      std::string name;
      tool->GetParameterName(i, name);
      if (!name.empty()) names.push_back(name);
    }
    EXPECT_EQ(names, t.parameters) << t.name;
  }
}

TEST_F(ScriptElementTools, DoTheirWorkOrNothingWhenTheirConditionFails) {
  const struct {
    const char* name;
    std::function<TTool*()> make;
    std::function<TElement*()> input;
    // What the Output should be afterwards (it starts as Tech).
    std::function<TElement*(TTool&)> output;
    std::function<bool()> check;
  } cases[] = {
      {"CreateElement adds a child",
       [] { auto* t = new TCreateElement; t->NameOfClass = "OwnerEntity"; t->ElementName = "New"; return t; },
       [this] { return root.get(); }, [this](TTool&) { return root->FindElementByName("New"); },
       [this] { return root->GetCount() == 3; }},
      {"CreateElement of an unknown class",
       [] { auto* t = new TCreateElement; t->NameOfClass = "NoSuchClass"; return t; }, [this] { return root.get(); },
       [this](TTool&) -> TElement* { return tech; }, [this] { return root->GetCount() == 2; }},
      {"CreateElement into a non-entity",
       [] { auto* t = new TCreateElement; t->NameOfClass = "TOwnerEntity"; return t; },
       [] { return static_cast<TElement*>(nullptr); }, [this](TTool&) -> TElement* { return tech; }, [] { return true; }},
      {"CreateTool adds a sub-tool",
       [] { auto* t = new TCreateTool; t->NameOfTool = "TTool"; t->ElementName = "Sub"; return t; },
       [this] { return tech; }, [this](TTool&) { return tech->FindTool("Sub"); },
       [this] { return tech->ToolCount() == 1; }},
      {"CreateTool of a class that is no tool",
       [] { auto* t = new TCreateTool; t->NameOfTool = "TOwnerEntity"; return t; }, [this] { return tech; },
       [this](TTool&) -> TElement* { return tech; }, [this] { return tech->ToolCount() == 0; }},
      {"DoIt on a non-tool does nothing", [] { return new TDoIt; }, [this] { return root.get(); },
       [this](TTool&) -> TElement* { return tech; }, [] { return true; }},
      {"FreeAll clears the children as Clear does", [] { return new TFreeAll; }, [this] { return other.get(); },
       [](TTool&) -> TElement* { return nullptr; }, [this] { return other->GetCount() == 0 && root->IndexOf(child) == 0; }},
      {"AddElement", [this] { auto* t = new TAddElement; t->SetElementToAdd(tech); return t; },
       [this] { return other.get(); }, [this](TTool&) { return tech; },
       [this] { return other->IndexOf(tech) == 1; }},
      {"FindOwnerByClass", [] { auto* t = new TFindOwnerByClass; t->OwnerClass = "OwnerEntity"; return t; },
       [this] { return child; }, [this](TTool&) { return root.get(); }, [] { return true; }},
      {"FindOwnerByClass of an unknown class",
       [] { auto* t = new TFindOwnerByClass; t->OwnerClass = "Nothing"; return t; }, [this] { return child; },
       [this](TTool&) -> TElement* { return tech; }, [] { return true; }},
      {"FindOwnerByName", [] { auto* t = new TFindOwnerByName; t->OwnerName = "Other"; return t; },
       [this] { return child; }, [this](TTool&) { return other.get(); }, [] { return true; }},
      {"FindElementByName ignores case",
       [] { auto* t = new TFindElementByName; t->ElementName = "tech"; return t; }, [this] { return root.get(); },
       [this](TTool&) { return tech; }, [] { return true; }},
      {"FindElementByName without a match",
       [] { auto* t = new TFindElementByName; t->ElementName = "none"; return t; }, [this] { return root.get(); },
       [](TTool&) -> TElement* { return nullptr; }, [] { return true; }},
      {"FindElementByClass", [] { auto* t = new TFindElementByClass; t->ClassOfElement = "Technology"; return t; },
       [this] { return root.get(); }, [this](TTool&) { return tech; }, [] { return true; }},
  };
  for (const auto& c : cases) {
    SetUp();
    std::unique_ptr<TTool> tool(c.make());
    tool->SetOutput(tech);
    tool->SetInput(c.input());
    tool->DoIt();
    EXPECT_EQ(tool->Output(), c.output(*tool)) << c.name;
    EXPECT_TRUE(c.check()) << c.name;
    tool.reset();
    TearDown();
  }
}

TEST_F(ScriptElementTools, FreeFreesItsInputWhoeverHoldsIt) {
  TFree tool;
  tool.SetInput(child);
  tool.DoIt();
  EXPECT_EQ(root->GetCount(), 1);
  EXPECT_EQ(other->GetCount(), 0);
  EXPECT_EQ(root->FindElementByName("Child"), nullptr);
  EXPECT_EQ(tool.Input(), nullptr);
}

TEST_F(ScriptElementTools, DoItRunsItsInputAndTakesItsOutput) {
  auto* inner = new TFindElementByName;
  inner->ElementName = "Child";
  inner->SetInput(root.get());
  tech->AddTool(inner);
  TDoIt tool;
  tool.SetInput(inner);
  tool.DoIt();
  EXPECT_EQ(tool.Output(), child);
}

}  // namespace
