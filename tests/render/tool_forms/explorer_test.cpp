#include "render/tool_forms/explorer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/database/database_elements.h"
#include "framework/tools/tools.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

class ExplorerTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    model = Named("model", world->ObjectModel());
    TOwnerEntity* a = Named("a", model);
    Named<TNameElement>("a1", a);
    Named<TNameElement>("a2", a);
    Named("b", model);
    explorer.reset(CreateElement<TExplorer>());
  }
  void TearDown() override {
    explorer.reset();
    ToolFormsTest::TearDown();
  }

  platform::Form& Window() { return explorer->ExplorerForm()->Window(); }
  // The tree as text: each node's caption, its sub-nodes in brackets.
  std::string Tree(int node = 0) {
    std::string text;
    for (int child : Window().TreeChildren("tv_Tree", node)) {
      if (!text.empty()) text += " ";
      text += Window().TreeNodeText("tv_Tree", child);
      const std::string below = Tree(child);
      if (!below.empty()) text += "(" + below + ")";
    }
    return text;
  }
  // The tree and the status line.
  std::string Shown() { return Tree() + " / " + Window().Text("sb_Status"); }
  // The node with that caption, searched breadth first.
  int NodeNamed(const std::string& caption) {
    std::vector<int> pending = Window().TreeChildren("tv_Tree", 0);
    for (std::size_t i = 0; i < pending.size(); ++i) {
      if (Window().TreeNodeText("tv_Tree", pending[i]) == caption) return pending[i];
      for (int child : Window().TreeChildren("tv_Tree", pending[i])) pending.push_back(child);
    }
    return 0;
  }
  void Expand(const std::string& caption) {
    const int node = NodeNamed(caption);
    ASSERT_NE(node, 0) << caption;
    Window().SetTreeExpanded("tv_Tree", node, true);
  }
  void Open(TElement* input) {
    explorer->SetInput(input);
    explorer->DoIt();
  }

  TOwnerEntity* model = nullptr;
  std::unique_ptr<TExplorer> explorer;
};

TEST_F(ExplorerTest, AnElementThatCannotBeReadIsReportedAndTheTreeStays) {
  auto* table = CreateElement<TDatabaseClass>();
  table->SetName("query");
  model->AddElement(table);
  Open(model);
  table->SetDataSourceType(TDSType::dstSQL);
  table->SetDataSource("Q");
  Expand("model");
  Window().SetTreeCurrent("tv_Tree", NodeNamed("query"));
  // Once when its node was prepared, once when its children were listed.
  const std::string refused = "SQL queries are not supported: only dBASE tables can be opened (Q)";
  EXPECT_EQ(Boxes(), (std::vector<std::string>{refused, refused}));
  EXPECT_EQ(Shown(), "model(a(a1) b query) / query (TDatabaseClass) R+");
  // The failure left nothing half done: the tree still follows the user.
  Window().SetTreeCurrent("tv_Tree", NodeNamed("b"));
  EXPECT_EQ(Window().Text("sb_Status"), "b (TOwnerEntity) R+");
}

// A collapsed node keeps only the sign that it can open; opened again it
// lists its children once.
TEST_F(ExplorerTest, ACollapsedNodeListsItsChildrenAnewWhenOpened) {
  Open(model);
  Expand("model");
  const std::pair<bool, const char*> steps[] = {
      {true, "model(a(a1 a2) b)"}, {false, "model(a(a1) b)"}, {true, "model(a(a1 a2) b)"}};
  for (const auto& [expanded, tree] : steps) {
    Window().SetTreeExpanded("tv_Tree", NodeNamed("a"), expanded);
    EXPECT_EQ(Tree(), tree) << (expanded ? "opened" : "collapsed");
  }
}

TEST_F(ExplorerTest, ClearingTheModelEmptiesTheTree) {
  Open(world->ObjectModel());
  Expand("Object model");
  Expand("model");
  Expand("a");
  EXPECT_EQ(Tree(), "Object model(model(a(a1 a2) b))");
  Window().SetTreeCurrent("tv_Tree", NodeNamed("a1"));
  // A new guide: the old model goes, and the next message the explorer
  // gets (or the next click) takes the nodes of freed elements away.
  world->ObjectModel()->Clear();
  explorer->PostMessage(msgToolControl, explorer.get(), nullptr, false);
  RunMessages();
  EXPECT_EQ(Shown(), "Object model / Object model (TObjectModel) R+");
  world->SetObjectModel(nullptr);
  Window().SetTreeExpanded("tv_Tree", Window().TreeChildren("tv_Tree", 0).front(), false);
  EXPECT_EQ(Shown(), " / ");
}

}  // namespace
