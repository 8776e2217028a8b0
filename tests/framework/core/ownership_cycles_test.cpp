// An entity never comes to hold itself or one of its owners, whichever path
// adds the child: the graph of holders stays acyclic, walks up the owners
// end, and freeing the top frees everything once.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"

namespace {

using OwnershipCyclesTest = FrameworkTest;

std::string HandleText(TElement* element) { return std::to_string(HandleOfElement(element)); }

// top holds middle holds entity; every one a tool, so that every path of a
// tool can be tried with any of them.
struct Chain {
  std::unique_ptr<TTechnology> top{new TTechnology};
  TTechnology* middle = new TTechnology;
  TSelectTechnology* entity = new TSelectTechnology;
  Chain() {
    top->AddElement(middle);
    middle->AddElement(entity);
  }
};

struct Path {
  const char* Name;
  // The published property that adds the child, or empty for a C++ call.
  const char* Property;
  std::function<void(TSelectTechnology& entity, TElement* candidate)> Add;
};

const Path kPaths[] = {
    {"NextElement", "NextElement", nullptr},
    {"AddAllFrom", "AddAllFrom", nullptr},
    {"NextParameter", "NextParameter", nullptr},
    {"ToolToAdd", "ToolToAdd", nullptr},
    {"ElseTool", "ElseTool", nullptr},
    {"AddElement", "", [](TSelectTechnology& e, TElement* c) { e.AddElement(c); }},
    {"InsertElement", "", [](TSelectTechnology& e, TElement* c) { e.InsertElement(0, c); }},
    {"SetElement", "", [](TSelectTechnology& e, TElement* c) { e.SetElement(0, c); }},
    {"AddAliased", "", [](TSelectTechnology& e, TElement* c) { e.AddAliased("x", c); }},
    {"SetParameter", "", [](TSelectTechnology& e, TElement* c) { e.SetParameter("x", c); }},
    {"AddTool", "", [](TSelectTechnology& e, TElement* c) { e.AddTool(static_cast<TTool*>(c)); }},
    {"SetElseTool", "", [](TSelectTechnology& e, TElement* c) { e.SetElseTool(static_cast<TTool*>(c)); }},
};

TEST_F(OwnershipCyclesTest, EveryPathRefusesTheEntityItselfAndItsOwners) {
  const char* const levels[] = {"itself", "its owner", "its owner's owner"};
  for (const Path& path : kPaths) {
    for (int level = 0; level < 3; ++level) {
      SCOPED_TRACE(std::string(path.Name) + " given " + levels[level]);
      Chain chain;
      TSelectTechnology& entity = *chain.entity;
      entity.AddElement(new TOwnerEntity);  // SetElement replaces a child
      TElement* const candidates[] = {&entity, chain.middle, chain.top.get()};
      TElement* candidate = candidates[level];
      // AddAllFrom takes the children of an entity that also holds the candidate.
      TOwnerEntity source;
      auto* harmless = new TOwnerElement;
      source.AddElement(harmless);
      source.AddElement(candidate);
      const int holders = candidate->HolderCount();
      dialogs.Messages.clear();
      if (*path.Property) {
        const std::string text = HandleText(path.Name == std::string("AddAllFrom") ? &source : candidate);
        entity.SetPropertyText(path.Property, text);
        ASSERT_EQ(dialogs.Messages.size(), 1u);
        EXPECT_EQ(dialogs.Messages[0].Text, "Error filling property " + std::string(path.Property) + " by string " + text);
      } else {
        EXPECT_THROW(path.Add(entity, candidate), ECircularOwnership);
      }
      EXPECT_EQ(candidate->HolderCount(), holders);
      EXPECT_EQ(harmless->HolderCount(), 1) << "AddAllFrom takes all or nothing";
      EXPECT_EQ(entity.ElseTool(), nullptr);
      EXPECT_EQ(entity.FindUpByClass(TKestuMessage::StaticClass()), nullptr);  // the walk up ends
      source.RemoveElement(candidate);
    }
  }
}

TEST_F(OwnershipCyclesTest, DescendantsAndElementsHeldElsewhereAreTaken) {
  Chain chain;
  auto* grandchild = new TOwnerEntity;
  auto* child = new TOwnerEntity;
  child->AddElement(grandchild);
  chain.entity->AddElement(child);
  TOwnerEntity elsewhere;
  auto* shared = new TOwnerEntity;
  elsewhere.AddElement(shared);
  shared->AddElement(new TOwnerEntity);  // holds something, so the walk up runs
  for (TElement* taken : {static_cast<TElement*>(grandchild), static_cast<TElement*>(shared)}) {
    chain.entity->AddElement(taken);
    EXPECT_EQ(chain.entity->IndexOf(taken), static_cast<int>(chain.entity->Children().size()) - 1);
  }
  // A child given to its own descendant is refused from below as well.
  EXPECT_THROW(grandchild->AddElement(chain.middle), ECircularOwnership);
  EXPECT_TRUE(grandchild->IsEmpty());
  elsewhere.RemoveElement(shared);
}

TEST_F(OwnershipCyclesTest, AToolGivenItselfAsParameterKeepsItsParameterList) {
  auto tool = std::make_unique<TTool>();
  TParameters* parameters = tool->GetParameters();
  tool->SetPropertyText("NextParameter", HandleText(tool.get()));
  EXPECT_EQ(tool->GetParameters(), parameters);
  EXPECT_TRUE(parameters->IsEmpty());
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  // Replacing the parameter later works on an intact list.
  auto* value = new TOwnerEntity;
  value->SetName(tool->GetName());
  tool->SetPropertyText("NextParameter", HandleText(value));
  EXPECT_EQ(tool->GetParameter(tool->GetName()), value);
  EXPECT_EQ(dialogs.Messages.size(), 1u);
}

}  // namespace
