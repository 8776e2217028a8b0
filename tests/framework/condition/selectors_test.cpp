#include "framework/condition/selectors.h"

#include "framework/condition/custom_recursor.h"

#include <memory>
#include <string>
#include <vector>

#include "tests/framework/condition/condition_fixture.h"

namespace {

std::string NamesIn(const TEntity& selection) {
  std::vector<std::string> names;
  for (TElement* element : selection.Children()) names.push_back(element->GetName());
  return Join(names);
}

// root (probes with their SMALL in brackets)
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
    root = Named("root", &keep);
    Numbered(1, "a", root);
    TEntity* b = Named("b", root);
    Numbered(2, "b1", b);
    Numbered(1, "b2x", Numbered(1, "b2", b));
    Named<TNameEntity>("c", root);
    Named<TOwnerElement>("d", root);
  }
  static TProbe* Numbered(int number, const std::string& name, TEntity* parent) {
    auto* element = Named<TProbe>(name, parent);
    element->Small = static_cast<std::uint8_t>(number);
    return element;
  }

  // Runs the selector on root: the names in the selection, or the syntax error "message@position".
  std::string Select(TSelector& selector, const std::string& condition) {
    selector.Condition = condition;
    selector.SetInput(root);
    std::string error;
    try {
      selector.DoIt();
    } catch (const SyntaxExcept& e) {
      error = std::string(e.what()) + "@" + std::to_string(e.Position);
    }
    selections.emplace_back(selector.Output());
    auto* selection = DynamicCast<TEntity>(selector.Output());
    return error.empty() && selection ? NamesIn(*selection) : error;
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

TEST_F(SelectorTest, EachVariantSelectsItsMatches) {
  const struct {
    const char* cls;
    const char* maxlevel;
    const char* condition;
    const char* selected;
  } cases[] = {
      // First, while every element has one owner: a selection is an owner too.
      {"TLevelSelector", "5", "NAME = 'b1'", "b1"},
      {"TAllSelector", "", "SMALL = 1", "a b2 b2x"},
      {"TAllSelector", "", "NAME = 'c' OR NAME = 'd'", "d"},  // classes without owner records are skipped
      {"TAllSelector", "", "MISSING = 1 OR SMALL / 0 = 1", ""},  // no value selects nothing
      {"TFirstSelector", "", "SMALL = 1", "a b2"},                // the topmost match on each path
      {"TFirstSelector", "", "CLASS(TProbe)", "a b1 b2"},
      {"TFirstSelector", "", "ANCESTOR(TEntity)", "root"},  // a matching input, nothing below it
      {"TLevelSelector", "5", "NAME = 'root' OR NAME = 'b2x'", "root b2x"},
      {"TLevelSelector", "5", "NAME = 'c' OR NAME = 'd'", "d"},  // the others take only elements with an owner
      {"TFirstSelector", "", "NAME = 'c' OR NAME = 'd'", "d"}, {"TAbsFirstSelector", "", "NAME = 'c'", ""},
      {"TAbsFirstSelector", "", "SMALL = 1", "a"},  // the first match in pre-order
      {"TAbsFirstSelector", "", "SMALL = 2 OR NAME = 'b2x'", "b1"},
      {"TLevelSelector", "0", "SMALL = 1", ""},  // levels one to Maxlevel
      {"TLevelSelector", "1", "SMALL = 1", ""}, {"TLevelSelector", "2", "SMALL = 1", "a"},
      {"TLevelSelector", "3", "SMALL = 1", "a b2"}, {"TLevelSelector", "4", "SMALL = 1", "a b2 b2x"},
      {"TLevelSelector", "0", "NAME = 'root'", "root"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TElement> created(CreateElementByClassName(c.cls));
    auto* selector = DynamicCast<TSelector>(created.get());
    ASSERT_NE(selector, nullptr) << c.cls;
    if (*c.maxlevel) selector->SetPropertyText("Maxlevel", c.maxlevel);
    EXPECT_EQ(Select(*selector, c.condition), c.selected) << c.cls << " " << c.maxlevel << " " << c.condition;
    if (created->ClassType() == TFirstSelector::StaticClass() && std::string(c.selected) != "root") {
      EXPECT_FALSE(static_cast<TFirstSelector*>(selector)->Found) << c.condition;  // cleared after each entity
    }
  }
}

TEST_F(SelectorTest, SecondRunAddsToTheSelectionAndFreesTheReplacedCondition) {
  TAllSelector selector;
  Select(selector, "SMALL = 1");
  const TElementLink first(selector.GetParameters()->GetElement(0));
  ASSERT_NE(DynamicCast<TCondition>(first.Get()), nullptr);
  EXPECT_EQ(Select(selector, "SMALL = 1"), "a b2 b2x a b2 b2x");
  EXPECT_EQ(Select(selector, "SMALL = 2"), "a b2 b2x a b2 b2x b1");
  EXPECT_EQ(selector.Output()->GetName(), "Selected elements");
  EXPECT_TRUE(first.Get() == nullptr && selector.GetParameters()->GetCount() == 1);
  EXPECT_NE(selector.FindTool("Condition Creator"), nullptr);
  TAllSelector wrong;  // an empty or wrong condition raises before the walk
  EXPECT_EQ(Select(wrong, ""), "Ocekavam indentifikator@1");
  EXPECT_EQ(Select(wrong, "   "), "Ocekavam indentifikator@1");
  EXPECT_EQ(Select(wrong, "SMALL = (1"), "Ocekavam: )@11");
  EXPECT_EQ(static_cast<TEntity*>(wrong.Output())->GetCount() + wrong.GetParameters()->GetCount(), 0);
}

// The custom recursor runs its before tool on the elements its before
// condition holds for, its after tool likewise, and enters only the
// elements its inside condition holds for; a tool without a condition never
// runs.
TEST_F(SelectorTest, TheCustomRecursorsConditionsChooseWhereItsToolsRunAndWhereItGoes) {
  const struct {
    const char *before, *after, *inside, *notes;
  } rows[] = {
      {"", "", "", ""},
      {"SMALL = 1", "", "", "+a +b2 +b2x"},
      {"", "NAME = 'b' OR NAME = 'b1'", "", "-b1 -b"},
      {"NAME = 'root' OR NAME = 'a' OR NAME = 'b1'", "NAME = 'a'", "NOT (NAME = 'b')", "+root +a -a"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> notes;
    TNoteTool before(notes, "+"), after(notes, "-");
    TCustomRecursor walker;
    walker.SetBeforeTool(&before);
    walker.SetAfterTool(&after);
    walker.BeforeCondition = row.before;
    walker.AfterCondition = row.after;
    walker.GoInsideCondition = row.inside;
    walker.SetInput(root);
    walker.DoIt();
    EXPECT_EQ(Join(notes), row.notes) << row.before << " | " << row.after << " | " << row.inside;
  }
}

}  // namespace
