#include "oil/tools/script_element_tools.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "oil/oil_classes.h"

namespace {

// A small tree, built anew for each case: Root holds Child and Tech (a technology); Other holds Child too.
class ScriptElementTools : public ::testing::Test {
 protected:
  void SetUp() override { RegisterOilClasses(); }
  void Build() {
    other.reset();
    root = Named(std::make_unique<TOwnerEntity>(), "Root");
    other = Named(std::make_unique<TOwnerEntity>(), "Other");
    child = Named(new TOwnerEntity, "Child");
    tech = Named(new TTechnology, "Tech");
    root->AddElement(child);
    root->AddElement(tech);
    other->AddElement(child);
  }
  template <class T>
  static T Named(T element, const char* name) {
    element->SetName(name);
    return element;
  }
  TElement* Find(const std::string& name) const {
    for (TElement* element : std::initializer_list<TElement*>{root.get(), other.get(), child, tech})
      if (element->GetName() == name) return element;
    return nullptr;
  }
  // Children of Root, children of Other, sub-tools of Tech.
  std::string Counts() const {
    return std::to_string(root->GetCount()) + " " + std::to_string(other->GetCount()) + " " +
           std::to_string(tech->ToolCount());
  }

  std::unique_ptr<TOwnerEntity> root;
  std::unique_ptr<TOwnerEntity> other;
  TOwnerEntity* child = nullptr;
  TTechnology* tech = nullptr;
};

// Each tool is given its arguments by its parameters' names, in their order,
// as a script's call gives them; its Output starts as Tech.
TEST_F(ScriptElementTools, DoTheirWorkOrNothingWhenTheirConditionFails) {
  const struct {
    const char* name;
    const char* tool;
    std::vector<std::string> arguments;  // an element by its name for an element parameter
    const char* input;
    const char* outcome;  // the Output's name, then the counts after the run as Counts gives them
  } cases[] = {
      {"CreateElement adds a child", "TCreateElement", {"OwnerEntity", "New"}, "Root", "New|3 1 0"},
      {"CreateElement of an unknown class", "TCreateElement", {"NoSuchClass", "x"}, "Root", "Tech|2 1 0"},
      {"CreateElement into a non-entity", "TCreateElement", {"TOwnerEntity", "x"}, "", "Tech|2 1 0"},
      {"CreateTool adds a sub-tool", "TCreateTool", {"TTool", "Sub"}, "Tech", "Sub|2 1 1"},
      {"CreateTool of a class that is no tool", "TCreateTool", {"TOwnerEntity", "x"}, "Tech", "Tech|2 1 0"},
      {"DoIt on a non-tool does nothing", "TDoIt", {}, "Root", "Tech|2 1 0"},
      {"Free frees its input whoever holds it", "TFree", {}, "Child", "|1 0 0"},
      {"FreeAll clears the children as Clear does", "TFreeAll", {}, "Other", "|2 0 0"},
      {"AddElement", "TAddElement", {"Tech"}, "Other", "Tech|2 2 0"},
      {"FindOwnerByClass", "TFindOwnerByClass", {"OwnerEntity"}, "Child", "Root|2 1 0"},
      {"FindOwnerByName", "TFindOwnerByName", {"Other"}, "Child", "Other|2 1 0"},
      {"FindElementByName ignores case", "TFindElementByName", {"tech"}, "Root", "Tech|2 1 0"},
      {"FindElementByClass", "TFindElementByClass", {"Technology"}, "Root", "Tech|2 1 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Build();
    std::unique_ptr<TElement> made(CreateElementByClassName(c.tool));
    auto* tool = DynamicCast<TTool>(made.get());
    ASSERT_NE(tool, nullptr);
    for (int i = 0; i <= static_cast<int>(c.arguments.size()); ++i) {
      std::string parameter;
      tool->GetParameterName(i, parameter);
      if (i == static_cast<int>(c.arguments.size())) {
        EXPECT_EQ(parameter, "") << "a parameter more";
      } else if (!SetObjectPropByName(*tool, parameter, Find(c.arguments[static_cast<std::size_t>(i)]))) {
        EXPECT_TRUE(SetPropertyTextByName(*tool, parameter, c.arguments[static_cast<std::size_t>(i)])) << parameter;
      }
    }
    tool->SetOutput(tech);
    tool->SetInput(Find(c.input));
    tool->DoIt();
    EXPECT_EQ((tool->Output() ? tool->Output()->GetName() : "") + "|" + Counts(), c.outcome);
  }
}

}  // namespace
