#include "framework/condition/selectors.h"

#include <memory>
#include <string>
#include <vector>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "framework/condition/condition_syntax.h"
#include "framework/condition/operators.h"
#include "framework/condition/custom_recursor.h"

namespace {

// A model element with one published number.
class TNumbered : public TOwnerEntity {
  KESTX_CLASS(TNumbered)
 public:
  std::int32_t Number = 0;
};

TClass TNumbered::StaticClass() {
  static const TClassInfo info = DescribeClass<TNumbered>("TNumbered", TOwnerEntity::StaticClass(), "SelectorTest",
                                                          {FieldProp("Number", &TNumbered::Number)});
  return &info;
}

// Notes the name of every input it runs on; its result is its input.
class TNameNotes : public TTool {
 public:
  std::vector<std::string> names;
  void DoIt() override {
    names.push_back(Input()->GetName());
    SetOutput(Input());
  }
};

std::string Names(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : " ") + name;
  return joined;
}

std::string NamesIn(const TEntity& selection) {
  std::vector<std::string> names;
  for (TElement* element : selection.Children()) names.push_back(element->GetName());
  return Names(names);
}

// root
//   a (1)
//   b
//     b1 (2)
//     b2 (1)
//       b2x (1)
//   c      a named entity without owner records
//   d      a leaf
class SelectorTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    root = Add(&keep, new TOwnerEntity, "root");
    Add(root, Numbered(1), "a");
    TEntity* b = Add(root, new TOwnerEntity, "b");
    Add(b, Numbered(2), "b1");
    TEntity* b2 = Add(b, Numbered(1), "b2");
    Add(b2, Numbered(1), "b2x");
    Add(root, new TNameEntity, "c");
    Add(root, new TOwnerElement, "d");
  }

  template <class T>
  static T* Add(TEntity* parent, T* element, const std::string& name) {
    element->SetName(name);
    parent->AddElement(element);
    return element;
  }
  static TNumbered* Numbered(int number) {
    auto* element = new TNumbered;
    element->Number = number;
    return element;
  }

  // Runs the selector on root and answers the names in the selection.
  std::string Select(TSelector& selector, const std::string& condition) {
    selector.Condition = condition;
    selector.SetInput(root);
    selector.DoIt();
    auto* selection = DynamicCast<TEntity>(selector.Output());
    if (!selection) return "no selection";
    selections.emplace_back(selection);
    return NamesIn(*selection);
  }

  std::string ErrorOf(TSelector& selector, const std::string& condition) {
    try {
      Select(selector, condition);
    } catch (const SyntaxExcept& e) {
      selections.emplace_back(selector.Output());
      return std::string(e.what()) + "@" + std::to_string(e.Position);
    }
    return "no error";
  }

  void TearDown() override {
    for (const TElementLink& selection : selections) delete selection.Get();  // once each
    FrameworkTest::TearDown();
  }

  TOwnerEntity keep;
  TOwnerEntity* root = nullptr;
  // Selections are the caller's to free.
  std::vector<TElementLink> selections;
};

TEST_F(SelectorTest, AllSelectorTakesEveryMatchWithOwnerRecords) {
  TAllSelector selector;
  EXPECT_EQ(Select(selector, "NUMBER = 1"), "a b2 b2x");
  EXPECT_EQ(selector.Output()->GetName(), "Selected elements");
  EXPECT_EQ(selector.Level, 1);
}

TEST_F(SelectorTest, AllSelectorSkipsClassesWithoutOwnerRecords) {
  TAllSelector selector;
  EXPECT_EQ(Select(selector, "NAME = 'c' OR NAME = 'd'"), "d");
}

TEST_F(SelectorTest, FirstSelectorTakesTheTopmostMatchOnEachPath) {
  TFirstSelector selector;
  EXPECT_EQ(Select(selector, "NUMBER = 1"), "a b2");
  TFirstSelector numbered;
  EXPECT_EQ(Select(numbered, "CLASS(TNumbered)"), "a b1 b2");
  EXPECT_FALSE(numbered.Found);  // cleared after each entity's children
}

TEST_F(SelectorTest, MatchingInputIsTakenAndNothingBelowIt) {
  TFirstSelector selector;
  EXPECT_EQ(Select(selector, "ANCESTOR(TEntity)"), "root");
  TLevelSelector level;
  level.Maxlevel = 5;
  EXPECT_EQ(Select(level, "NAME = 'root' OR NAME = 'b2x'"), "root b2x");
}

TEST_F(SelectorTest, VariantsOtherThanAllTakeOnlyElementsWithAnOwner) {
  auto* orphan = new TOwnerEntity;
  orphan->SetName("orphan");
  Add(orphan, Numbered(1), "child");
  for (TSelector* selector :
       std::initializer_list<TSelector*>{new TFirstSelector, new TAbsFirstSelector, new TLevelSelector}) {
    if (auto* level = DynamicCast<TLevelSelector>(selector)) level->Maxlevel = 2;
    selector->Condition = "ANCESTOR(TOwnerEntity)";
    selector->SetInput(orphan);
    selector->DoIt();
    std::unique_ptr<TElement> selection(selector->Output());
    EXPECT_EQ(NamesIn(*static_cast<TEntity*>(selection.get())), "child") << selector->ClassName();
    delete selector;
  }
  TAllSelector all;
  all.Condition = "ANCESTOR(TOwnerEntity)";
  all.SetInput(orphan);
  all.DoIt();
  auto* selection = static_cast<TEntity*>(all.Output());
  ASSERT_EQ(selection->GetCount(), 2);
  EXPECT_EQ(selection->GetElement(0), orphan);
  selection->RemoveElement(orphan);  // let the selection go without taking the orphan along
  delete selection;
  delete orphan;
}

TEST_F(SelectorTest, AbsFirstSelectorTakesTheFirstMatchInPreOrder) {
  TAbsFirstSelector selector;
  EXPECT_EQ(Select(selector, "NUMBER = 1"), "a");
  TAbsFirstSelector deep;
  EXPECT_EQ(Select(deep, "NUMBER = 2 OR NAME = 'b2x'"), "b1");
  EXPECT_TRUE(deep.Found);
}

TEST_F(SelectorTest, LevelSelectorExaminesLevelsOneToMaxlevel) {
  const std::pair<int, const char*> cases[] = {{0, ""}, {1, ""}, {2, "a"}, {3, "a b2"}, {4, "a b2 b2x"}};
  for (const auto& [maxlevel, expected] : cases) {
    TLevelSelector selector;
    selector.Maxlevel = maxlevel;
    EXPECT_EQ(Select(selector, "NUMBER = 1"), expected) << maxlevel;
  }
  TLevelSelector top;
  top.Maxlevel = 0;
  EXPECT_EQ(Select(top, "NAME = 'root'"), "root");
}

TEST_F(SelectorTest, SecondRunAddsToTheSelectionAndUsesTheChangedCondition) {
  TAllSelector selector;
  Select(selector, "NUMBER = 1");
  const TElementLink first(selector.GetParameters()->GetElement(0));
  ASSERT_NE(DynamicCast<TCondition>(first.Get()), nullptr);
  EXPECT_EQ(Select(selector, "NUMBER = 1"), "a b2 b2x a b2 b2x");
  EXPECT_EQ(Select(selector, "NUMBER = 2"), "a b2 b2x a b2 b2x b1");
  EXPECT_EQ(first.Get(), nullptr);  // replaced conditions are freed
  EXPECT_EQ(selector.GetParameters()->GetCount(), 1);
  EXPECT_NE(selector.FindTool("Condition Creator"), nullptr);
}

TEST_F(SelectorTest, EmptyOrWrongConditionRaisesBeforeTheWalk) {
  TAllSelector selector;
  EXPECT_EQ(ErrorOf(selector, ""), "Ocekavam indentifikator@1");
  EXPECT_EQ(static_cast<TEntity*>(selector.Output())->GetCount(), 0);
  EXPECT_EQ(ErrorOf(selector, "   "), "Ocekavam indentifikator@1");
  EXPECT_EQ(ErrorOf(selector, "NUMBER = (1"), "Ocekavam: )@12");
  EXPECT_EQ(static_cast<TEntity*>(selector.Output())->GetCount(), 0);
  EXPECT_EQ(selector.GetParameters()->GetCount(), 0);
}

TEST_F(SelectorTest, ConditionWithoutValueSelectsNothing) {
  TAllSelector selector;
  EXPECT_EQ(Select(selector, "MISSING = 1 OR NUMBER / 0 = 1"), "");
}

TEST_F(SelectorTest, SelectorsAreCreatedByNameAndConfiguredByText) {
  for (const char* name : {"TAllSelector", "TFirstSelector", "TLevelSelector", "TAbsFirstSelector", "TCustomRecursor"})
    EXPECT_NE(FindKestuClass(name), nullptr) << name;
  EXPECT_EQ(FindKestuClass("TSelector"), nullptr);
  std::unique_ptr<TElement> created(CreateElementByClassName("TLevelSelector"));
  auto* selector = DynamicCast<TLevelSelector>(created.get());
  ASSERT_NE(selector, nullptr);
  selector->SetPropertyText("Maxlevel", "3");
  selector->SetPropertyText("Condition", "NUMBER = 1");
  selector->SetInput(root);
  selector->DoIt();
  selections.emplace_back(selector->Output());
  EXPECT_EQ(static_cast<TEntity*>(selector->Output())->GetCount(), 2);
}

// ---------------------------------------------------------------- custom recursor

class CustomRecursorTest : public SelectorTest {
 protected:
  void SetUp() override {
    SelectorTest::SetUp();
    before = Tool("before");
    after = Tool("after");
    recursor.SetBeforeTool(before);
    recursor.SetAfterTool(after);
    recursor.SetInput(root);
  }
  TNameNotes* Tool(const std::string& name) {
    auto* tool = new TNameNotes;
    tool->SetName(name);
    recursor.AddTool(tool);
    return tool;
  }

  TCustomRecursor recursor;
  TNameNotes* before = nullptr;
  TNameNotes* after = nullptr;
};

TEST_F(CustomRecursorTest, ToolsRunOnTheElementsTheirConditionsAccept) {
  recursor.BeforeCondition = "NUMBER = 1";
  recursor.AfterCondition = "CLASS(TNumbered)";
  recursor.DoIt();
  EXPECT_EQ(Names(before->names), "a b2 b2x");
  EXPECT_EQ(Names(after->names), "a b1 b2x b2");
}

TEST_F(CustomRecursorTest, WithoutBeforeAndAfterConditionsNoToolRuns) {
  recursor.DoIt();
  EXPECT_TRUE(before->names.empty());
  EXPECT_TRUE(after->names.empty());
}

TEST_F(CustomRecursorTest, GoInsideConditionGatesTheDescent) {
  recursor.BeforeCondition = "1 = 1";
  recursor.DoIt();
  EXPECT_EQ(Names(before->names), "root a b b1 b2 b2x c d");
  before->names.clear();
  recursor.GoInsideCondition = "NOT (NAME = 'b')";
  recursor.DoIt();
  EXPECT_EQ(Names(before->names), "root a b c d");
}

TEST_F(CustomRecursorTest, HoldingGoInsideConditionStillAsksTheGoInsideTool) {
  auto* refuses = new TTool;  // its Output stays nil
  recursor.AddTool(refuses);
  recursor.SetQGoInsideTool(refuses);
  recursor.BeforeCondition = "1 = 1";
  recursor.DoIt();
  EXPECT_EQ(Names(before->names), "root a b b1 b2 b2x c d");  // no go-inside condition: the tool is not asked
  before->names.clear();
  recursor.GoInsideCondition = "1 = 1";
  recursor.DoIt();
  EXPECT_EQ(Names(before->names), "root");
}

TEST_F(CustomRecursorTest, EmptiedConditionTextClearsItsCondition) {
  recursor.BeforeCondition = "NUMBER = 2";
  recursor.GoInsideCondition = "NAME = 'root'";
  recursor.DoIt();
  EXPECT_EQ(Names(before->names), "");
  before->names.clear();
  recursor.GoInsideCondition = "";
  recursor.DoIt();
  EXPECT_EQ(Names(before->names), "b1");
  before->names.clear();
  recursor.BeforeCondition = "";
  recursor.DoIt();
  EXPECT_TRUE(before->names.empty());
}

TEST_F(CustomRecursorTest, SyntaxErrorStopsTheRunBeforeTheWalk) {
  recursor.BeforeCondition = "1 = 1";
  recursor.AfterCondition = "NUMBER >";
  try {
    recursor.DoIt();
    ADD_FAILURE() << "the wrong condition must raise";
  } catch (const SyntaxExcept& e) {
    EXPECT_STREQ(e.what(), "Ocekavam vyraz");
    EXPECT_EQ(e.Position, 9);
  }
  EXPECT_TRUE(before->names.empty());
}

TEST_F(CustomRecursorTest, ConditionsAreSetAsText) {
  recursor.SetPropertyText("BeforeCondition", "NUMBER = 2");
  recursor.DoIt();
  EXPECT_EQ(Names(before->names), "b1");
  EXPECT_EQ(recursor.GetPropertyText("BeforeCondition"), "NUMBER = 2");
}

}  // namespace
