#include "framework/tools/recursor.h"

#include <functional>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"

namespace {

// Notes the before and after tests with the level they saw; every element
// before its children goes to the action.
class TTraceRecursor : public TRecursor {
 public:
  std::vector<std::string> trace;
  std::function<void(TElement*)> action;
  bool QProcessBefore(TElement* element) override {
    trace.push_back("+" + element->GetName() + "@" + std::to_string(Level));
    return true;
  }
  bool QProcessAfter(TElement* element) override {
    trace.push_back("-" + element->GetName() + "@" + std::to_string(Level));
    return false;
  }
  void Process(TElement* element) override {
    if (action) action(element);
  }
  void Prepare() override { trace.push_back("prepare"); }
};

// Notes each input under its tag; its result is the input unless the input
// bears the refused name.
class TNoteTool : public TTool {
 public:
  std::vector<std::string>* notes = nullptr;
  std::string tag;
  std::string refuse;
  void DoIt() override {
    notes->push_back(tag + Input()->GetName());
    SetOutput(Input()->GetName() == refuse ? nullptr : Input());
  }
};

class RecursorTest : public FrameworkTest {
 protected:
  TOwnerEntity* Entity(const std::string& name, std::initializer_list<TElement*> children = {}) {
    auto* entity = new TOwnerEntity;
    entity->SetName(name);
    for (TElement* child : children) entity->AddElement(child);
    return entity;
  }
  static TOwnerElement* Leaf(const std::string& name) {
    auto* leaf = new TOwnerElement;
    leaf->SetName(name);
    return leaf;
  }
  TNoteTool* Note(const std::string& tag, const std::string& refuse = "") {
    auto* tool = new TNoteTool;
    tool->notes = &notes;
    tool->tag = tag;
    tool->refuse = refuse;
    return tool;
  }
  std::vector<std::string> notes;
};

using Trace = std::vector<std::string>;

TEST_F(RecursorTest, WalksDepthFirstWithTheLevelOfEachElement) {
  std::unique_ptr<TOwnerEntity> root(Entity("root", {Entity("a", {Leaf("a1"), Leaf("a2")}), Leaf("b")}));
  TTraceRecursor walk;
  walk.SetInput(root.get());
  walk.DoIt();
  EXPECT_EQ(walk.trace, (Trace{"prepare", "+root@1", "+a@2", "+a1@3", "-a1@3", "+a2@3", "-a2@3", "-a@2", "+b@2",
                               "-b@2", "-root@1"}));
  EXPECT_EQ(walk.Level, 1);
  EXPECT_FALSE(walk.RunFlag());
}

TEST_F(RecursorTest, WithoutInputNothingRunsAndLevelIsOne) {
  TTraceRecursor walk;
  walk.Level = 7;
  walk.DoIt();
  EXPECT_TRUE(walk.trace.empty());
  EXPECT_EQ(walk.Level, 1);
}

TEST_F(RecursorTest, PlainElementGetsOnlyItsOwnTests) {
  TOwnerElement plain;
  plain.SetName("x");
  TTraceRecursor walk;
  walk.SetInput(&plain);
  walk.DoIt();
  EXPECT_EQ(walk.trace, (Trace{"prepare", "+x@1", "-x@1"}));
  EXPECT_EQ(walk.Level, 1);
}

TEST_F(RecursorTest, NotInsideBeforeTheWalkKeepsItAtTheInput) {
  std::unique_ptr<TOwnerEntity> root(Entity("root", {Leaf("a")}));
  TTraceRecursor walk;
  walk.NotInside = true;
  walk.SetInput(root.get());
  walk.DoIt();
  EXPECT_EQ(walk.trace, (Trace{"prepare", "+root@1", "-root@1"}));
}

TEST_F(RecursorTest, NotInsideSetByAHookStopsDescentButNotTheSiblings) {
  std::unique_ptr<TOwnerEntity> root(Entity("root", {Entity("a", {Leaf("a1")}), Entity("b", {Leaf("b1")})}));
  TTraceRecursor walk;
  walk.action = [&](TElement* element) {
    if (element->GetName() == "a") walk.NotInside = true;
  };
  walk.SetInput(root.get());
  walk.DoIt();
  EXPECT_EQ(walk.trace, (Trace{"prepare", "+root@1", "+a@2", "-a@2", "+b@2", "-b@2", "-root@1"}));
}

TEST_F(RecursorTest, SharedElementIsVisitedOnEachPath) {
  TOwnerElement* shared = Leaf("s");
  std::unique_ptr<TOwnerEntity> root(Entity("root", {Entity("a", {shared}), shared}));
  TTraceRecursor walk;
  walk.SetInput(root.get());
  walk.DoIt();
  EXPECT_EQ(walk.trace, (Trace{"prepare", "+root@1", "+a@2", "+s@3", "-s@3", "-a@2", "+s@2", "-s@2", "-root@1"}));
}

TEST_F(RecursorTest, CycleIsCutWhereItReturnsToTheDescentPath) {
  TOwnerElement* shared = Leaf("s");
  TOwnerEntity* b = Entity("b", {shared});
  TOwnerEntity* a = Entity("a", {b, shared});
  std::unique_ptr<TOwnerEntity> root(Entity("root", {a}));
  // Entities refuse their owners; a list that holds without owning still
  // closes a cycle.
  auto* toRoot = new TQuickEntity;
  toRoot->AddElement(root.get());
  a->AddElement(toRoot);  // a reaches its own owner
  auto* toA = new TQuickEntity;
  toA->AddElement(a);
  b->AddElement(toA);  // and so does b, one level further down
  TTraceRecursor walk;
  walk.SetInput(root.get());
  walk.DoIt();
  EXPECT_EQ(walk.trace, (Trace{"prepare", "+root@1", "+a@2", "+b@3", "+s@4", "-s@4", "+TQuickEntity@4",
                               "-TQuickEntity@4", "-b@3", "+s@3", "-s@3", "+TQuickEntity@3", "-TQuickEntity@3", "-a@2",
                               "-root@1"}));
  EXPECT_EQ(walk.Level, 1);
  // A second walk from inside the cycle cuts it at its own start.
  walk.trace.clear();
  walk.SetInput(b);
  walk.DoIt();
  EXPECT_EQ(walk.trace, (Trace{"prepare", "+b@1", "+s@2", "-s@2", "+TQuickEntity@2", "+a@3", "+s@4", "-s@4",
                               "+TQuickEntity@4", "+root@5", "-root@5", "-TQuickEntity@4", "-a@3", "-TQuickEntity@2",
                               "-b@1"}));
}

TEST_F(RecursorTest, ChildrenRemovedDuringTheWalkAreLeftAlone) {
  Tracked<TOwnerElement>::Alive = 0;
  auto* doomed = new Tracked<TOwnerElement>;
  doomed->SetName("b");
  TOwnerElement* removed = Leaf("c");
  std::unique_ptr<TOwnerEntity> root(Entity("root", {Leaf("a"), doomed, removed, Leaf("d")}));
  TTraceRecursor walk;
  walk.action = [&](TElement* element) {
    if (element != doomed) return;
    root->RemoveElement(removed);
    root->FreeElement(doomed);
  };
  walk.SetInput(root.get());
  walk.DoIt();
  EXPECT_EQ(Tracked<TOwnerElement>::Alive, 0);
  // "b" went before its after-test; "d" moved below the loop's index.
  EXPECT_EQ(walk.trace, (Trace{"prepare", "+root@1", "+a@2", "-a@2", "+b@2", "-root@1"}));
  delete removed;
}

TEST_F(RecursorTest, ChildrenAddedDuringTheWalkWaitForTheNextWalk) {
  std::unique_ptr<TOwnerEntity> root(Entity("root", {Leaf("a"), Leaf("b")}));
  TTraceRecursor walk;
  walk.action = [&](TElement* element) {
    if (element->GetName() == "a") root->AddElement(Leaf("new"));
  };
  walk.SetInput(root.get());
  walk.DoIt();
  EXPECT_EQ(walk.trace, (Trace{"prepare", "+root@1", "+a@2", "-a@2", "+b@2", "-b@2", "-root@1"}));
}

TEST_F(RecursorTest, HookToolsAreTheActionAndTheGoInsideTest) {
  std::unique_ptr<TOwnerEntity> root(Entity("root", {Entity("a", {Leaf("a1")}), Entity("skip", {Leaf("s1")})}));
  auto* walk = static_cast<TRecursorWithTools*>(CreateElementByClassName("TRecursorWithTools"));
  ASSERT_NE(walk, nullptr);
  for (TNoteTool* tool : {Note("+"), Note("-"), Note("?", "skip")}) walk->AddTool(tool);
  walk->SetPropertyText("BeforeTool", std::to_string(HandleOfElement(walk->GetTool(0))));
  walk->SetAfterTool(walk->GetTool(1));
  walk->SetQGoInsideTool(walk->GetTool(2));
  walk->SetInput(root.get());
  walk->DoIt();
  EXPECT_EQ(notes, (Trace{"+root", "?root", "+a", "?a", "+a1", "-a1", "-a", "+skip", "?skip", "-skip", "-root"}));
  delete walk;
}

TEST_F(RecursorTest, GoInsideToolWithoutResultStopsAtTheInput) {
  std::unique_ptr<TOwnerEntity> root(Entity("root", {Entity("a", {Leaf("a1")})}));
  TRecursorWithTools walk;
  walk.AddTool(Note("?", "root"));
  walk.SetQGoInsideTool(walk.GetTool(0));
  walk.AddTool(Note("+"));
  walk.SetBeforeTool(walk.GetTool(1));
  walk.SetInput(root.get());
  walk.DoIt();
  EXPECT_EQ(notes, (Trace{"+root", "?root"}));
  notes.clear();
  walk.SetQGoInsideTool(nullptr);
  walk.DoIt();
  EXPECT_EQ(notes, (Trace{"+root", "+a", "+a1"}));
}

TEST_F(RecursorTest, HookToolFreedDuringTheWalkIsNoLongerRun) {
  std::unique_ptr<TOwnerEntity> root(Entity("root", {Leaf("a"), Leaf("b")}));
  TRecursorWithTools walk;
  walk.AddTool(Note("+"));
  walk.SetBeforeTool(walk.GetTool(0));
  walk.SetInput(root.get());
  walk.DoIt();
  walk.FreeTool(walk.GetTool(0));
  EXPECT_EQ(walk.BeforeTool(), nullptr);
  walk.DoIt();
  EXPECT_EQ(notes, (Trace{"+root", "+a", "+b"}));
}

TEST_F(RecursorTest, OnlyTheRecursorWithToolsIsRegistered) {
  EXPECT_EQ(FindKestuClass("TRecursor"), nullptr);
  EXPECT_NE(FindKestuClass("TRecursorWithTools"), nullptr);
  TRecursor walk;
  for (const char* name : {"NotInside", "Level"})
    EXPECT_TRUE(TRecursor::StaticClass()->FindProp(name)->IsStoredOn(walk)) << name;
}

}  // namespace
