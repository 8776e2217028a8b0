#include "framework/tools/recursor.h"

#include <functional>
#include <string>
#include <vector>

#include "tests/framework/deep_chains.h"
#include "tests/framework/framework_fixture.h"

namespace {

// Notes the before and after tests with the level they saw; every element
// before its children goes to the action.
class TTraceRecursor : public TRecursor {
 public:
  std::vector<std::string> trace;
  std::function<void(TElement*)> action;
  bool QProcessBefore(TElement* element) override {
    trace.push_back("+" + element->GetName() + std::to_string(Level));
    return true;
  }
  bool QProcessAfter(TElement* element) override {
    trace.push_back("-" + element->GetName() + std::to_string(Level));
    return false;
  }
  void Process(TElement* element) override {
    if (action) action(element);
  }
  void Prepare() override { trace.push_back("prepare"); }
  void LeftInside(TElement* element) override {
    TRecursor::LeftInside(element);
    ++leftInside;
    left.push_back(element->GetName());
  }
  int leftInside = 0;
  std::vector<std::string> left;
};

// A tree from text: "name(children...)" is an entity, a bare name a leaf.
TElement* Build(const char*& text) {
  std::string name;
  while (std::isalnum(static_cast<unsigned char>(*text))) name += *text++;
  if (*text != '(') {
    auto* leaf = new TOwnerElement;
    leaf->SetName(name);
    return leaf;
  }
  auto* entity = new TOwnerEntity;
  entity->SetName(name);
  for (++text; *text != ')'; text += *text == ' ') entity->AddElement(Build(text));
  ++text;
  return entity;
}

TElement* Node(const char* text) { return Build(text); }
TOwnerEntity* Tree(const char* text) { return static_cast<TOwnerEntity*>(Node(text)); }

class RecursorTest : public FrameworkTest {
 protected:
  std::string Walk(TElement* input, std::function<void(TElement*)> action = {}, bool notInside = false) {
    walk.trace.clear();
    walk.leftInside = 0;
    walk.left.clear();
    walk.action = std::move(action);
    walk.NotInside = notInside;
    walk.SetInput(input);
    walk.DoIt();
    EXPECT_EQ(walk.Level, 1);
    EXPECT_FALSE(walk.RunFlag());
    return Join(walk.trace);
  }
  TTraceRecursor walk;
};

// Every entity the walk was let into is left once, also one a hook kept
// the walk out of.
TEST_F(RecursorTest, EachEntityLetInIsLeftOnceInTheOrderItsWalkEnds) {
  std::unique_ptr<TOwnerEntity> root(Tree("root(a(a1) b c(c1))"));
  const struct {
    const char* name;
    std::function<void(TElement*)> action;
    bool notInside;
    std::vector<std::string> left;
  } rows[] = {
      {"walked through", {}, false, {"a", "c", "root"}},
      {"a hook keeps the walk out of a", [&](TElement* e) { walk.NotInside = e->GetName() == "a"; }, false,
       {"a", "c", "root"}},
      {"kept out before the walk", {}, true, {"root"}},
  };
  for (const auto& row : rows) {
    Walk(root.get(), row.action, row.notInside);
    EXPECT_EQ(walk.left, row.left) << row.name;
  }
}

TEST_F(RecursorTest, WalksDepthFirstWithTheLevelOfEachElement) {
  std::unique_ptr<TOwnerEntity> root(Tree("root(a(a1 a2) b)"));
  EXPECT_EQ(Walk(root.get()), "prepare +root1 +a2 +a13 -a13 +a23 -a23 -a2 +b2 -b2 -root1");
  walk.Level = 7;
  EXPECT_EQ(Walk(nullptr), "");  // without input nothing runs, and the level is one
  TOwnerElement plain;
  plain.SetName("x");
  EXPECT_EQ(Walk(&plain), "prepare +x1 -x1");
  EXPECT_EQ(Walk(root.get(), {}, true), "prepare +root1 -root1");  // NotInside before the walk
  EXPECT_EQ(Walk(root.get(), [&](TElement* element) { walk.NotInside = element->GetName() == "a"; }),
            "prepare +root1 +a2 -a2 +b2 -b2 -root1");  // set by a hook: no descent, the siblings still
  EXPECT_EQ(Walk(root.get(), [&](TElement* element) { if (element->GetName() == "a1") root->AddElement(Node("new")); }),
            "prepare +root1 +a2 +a13 -a13 +a23 -a23 -a2 +b2 -b2 -root1");  // added children wait for the next walk
}

TEST_F(RecursorTest, SharedElementIsVisitedOnEachPathAndACycleIsCutWhereItReturns) {
  std::unique_ptr<TOwnerEntity> root(Tree("root(a(b(s)))"));
  auto* a = static_cast<TOwnerEntity*>(root->GetElement(0));
  auto* b = static_cast<TOwnerEntity*>(a->GetElement(0));
  a->AddElement(b->GetElement(0));
  EXPECT_EQ(Walk(root.get()), "prepare +root1 +a2 +b3 +s4 -s4 -b3 +s3 -s3 -a2 -root1");
  // Entities refuse their owners; a list that holds without owning still
  // closes a cycle.
  auto* toRoot = new TQuickEntity;
  toRoot->AddElement(root.get());
  a->AddElement(toRoot);  // a reaches its own owner
  auto* toA = new TQuickEntity;
  toA->AddElement(a);
  b->AddElement(toA);  // and so does b, one level further down
  EXPECT_EQ(Walk(root.get()),
            "prepare +root1 +a2 +b3 +s4 -s4 +TQuickEntity4 -TQuickEntity4 -b3 +s3 -s3 +TQuickEntity3 -TQuickEntity3 "
            "-a2 -root1");
  EXPECT_EQ(Walk(b),
            "prepare +b1 +s2 -s2 +TQuickEntity2 +a3 +s4 -s4 +TQuickEntity4 +root5 -root5 -TQuickEntity4 -a3 "
            "-TQuickEntity2 -b1");  // cut at its own start
}

TEST_F(RecursorTest, ChildrenRemovedOrFreedDuringTheWalkAreLeftAlone) {
  Tracked<TOwnerElement>::Alive = 0;
  std::unique_ptr<TOwnerEntity> root(Tree("root(a)"));
  auto* doomed = new Tracked<TOwnerElement>;
  doomed->SetName("b");
  TElement* removed = Node("c");
  for (TElement* child : {static_cast<TElement*>(doomed), removed, Node("d")}) root->AddElement(child);
  EXPECT_EQ(Walk(root.get(),
                 [&](TElement* element) {
                   if (element != doomed) return;
                   root->RemoveElement(removed);
                   root->FreeElement(doomed);
                 }),
            "prepare +root1 +a2 -a2 +b2 -root1");  // "b" went before its after-test; "d" moved below the index
  EXPECT_EQ(Tracked<TOwnerElement>::Alive, 0);
  delete removed;
}

// An entity whose elements are made on demand, none in its children list,
// as folders and data sets answer: walks must ask it, not read the list.
class TOnDemandEntity : public TOwnerEntity {
 public:
  TOnDemandEntity() {
    for (int i = 0; i < 3; ++i) {
      made_[i] = std::make_unique<TOwnerElement>();
      made_[i]->SetName("e" + std::to_string(i));
    }
  }
  int Shown = 3;
  int GetCount() override { return Shown; }
  TElement* GetElement(int index) override { return index < Shown ? made_[index].get() : nullptr; }
  bool AnswersFromChildren() const override { return false; }

 private:
  std::unique_ptr<TOwnerElement> made_[3];
};

TEST_F(RecursorTest, AnEntityMakingItsElementsOnDemandIsAskedForThemAfterEveryHook) {
  const struct {
    const char* name;
    int shownAfterFirst;  // what the entity shows once the first element is processed
    const char* trace;
  } rows[] = {
      {"all three", 3, "prepare +od1 +e02 -e02 +e12 -e12 +e22 -e22 -od1"},
      {"shrunk to one by a hook", 1, "prepare +od1 +e02 -e02 -od1"},
      {"emptied by a hook", 0, "prepare +od1 +e02 -od1"},
  };
  for (const auto& row : rows) {
    TOnDemandEntity entity;
    entity.SetName("od");
    EXPECT_EQ(Walk(&entity, [&](TElement* element) { if (element->GetName() == "e0") entity.Shown = row.shownAfterFirst; }),
              row.trace)
        << row.name;
  }
}

TEST_F(RecursorTest, DeepChainsAreWalkedToTheBottomAndACycleIsCutWhateverTheDepth) {
  TEntity* at = nullptr;
  std::unique_ptr<TOwnerEntity> root = DeepChain<TOwnerEntity>(kDeepChainDepth, &at);
  at->AddElement(Node("bottom"));
  Walk(root.get());
  ASSERT_EQ(walk.trace.size(), 2u * (kDeepChainDepth + 1) + 1);
  EXPECT_EQ(walk.trace[kDeepChainDepth + 1], "+bottom" + std::to_string(kDeepChainDepth + 1));
  EXPECT_EQ(walk.leftInside, kDeepChainDepth);  // every entity's walk ends once, the input's included
  // root > ... > last, and last lists root again without owning it.
  std::unique_ptr<TNameEntity> cycle = DeepChain<TNameEntity>(1000, &at);
  auto* last = new TQuickEntity;
  at->AddElement(last);
  last->AddElement(cycle.get());
  Walk(cycle.get());
  EXPECT_EQ(walk.trace.size(), 2u * 1001 + 1);
}

// The walk keeps its first levels apart from the deeper ones: a cycle back to
// an entity at any level is cut there, the entity walked once, and a second
// walk by the same recursor finds the path empty again.
TEST_F(RecursorTest, ACycleIsCutAtTheLevelItReturnsToAndTheNextWalkStartsAfresh) {
  const struct {
    const char* name;
    int depth;
    int back;  // the level (from 0) the deepest entity lists again
  } rows[] = {
      {"a shallow chain to its middle", 10, 4},   {"to the last level kept apart", 40, 23},
      {"to the first level kept deeper", 40, 24}, {"to a deep level", 100, 70},
      {"to the level above the last", 40, 38},
  };
  for (const auto& row : rows) {
    TEntity* at = nullptr;
    std::unique_ptr<TNameEntity> root = DeepChain<TNameEntity>(row.depth, &at);
    TElement* target = root.get();
    for (int level = 0; level < row.back; ++level) target = static_cast<TEntity*>(target)->GetElement(0);
    auto* link = new TQuickEntity;  // lists without owning
    at->AddElement(link);
    link->AddElement(target);
    int visits = 0;
    const auto count = [&](TElement* element) {
      // A cycle left uncut would walk on for ever: the second visit stops it.
      if (element == target && ++visits > 1) walk.NotInside = true;
    };
    const std::string first = Walk(root.get(), count);
    EXPECT_EQ(visits, 1) << row.name;
    EXPECT_EQ(walk.trace.size(), 2u * (row.depth + 1) + 1) << row.name;
    visits = 0;
    EXPECT_EQ(Walk(root.get(), count), first) << row.name << ", walked again";
    EXPECT_EQ(visits, 1) << row.name << ", walked again";
  }
}

// The hook tools are the walk's action; the inside test runs on entities
// only, and an entity it answers nothing for is not entered.
TEST_F(RecursorTest, HookToolsAreTheActionAndTheInsideToolDecidesByItsOutput) {
  const struct {
    const char* name;
    bool insideTool;
    std::string notes;
  } rows[] = {
      {"before and after only", false, "+r +a +b -b -a +x +c -c -x -r"},
      {"with the inside test", true, "+r ?r +a ?a +b -b -a +x ?x -x -r"},
  };
  for (const auto& row : rows) {
    std::unique_ptr<TOwnerEntity> tree(Tree("r(a(b) x(c))"));
    std::vector<std::string> notes;
    TNoteTool before(notes, "+"), after(notes, "-"), inside(notes, "?");
    TRecursorWithTools walker;
    walker.SetBeforeTool(&before);
    walker.SetAfterTool(&after);
    if (row.insideTool) walker.SetQGoInsideTool(&inside);
    walker.SetInput(tree.get());
    walker.DoIt();
    EXPECT_EQ(Join(notes), row.notes) << row.name;
  }
}

}  // namespace
