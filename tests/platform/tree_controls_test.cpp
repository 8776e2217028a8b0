#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms.h"

namespace platform {
namespace {

constexpr const char* kTree = "tv_Tree";

TEST(TreeControlsTest, NodesKeepTheirNumbersTextsAndData) {
  Form form("TExplorerForm");
  const int root = form.TreeAddNode(kTree, 0, {"kořen"}, 7);
  const int child = form.TreeAddNode(kTree, root, {"dítě", "2"}, 8);
  const int grandchild = form.TreeAddNode(kTree, child, {"vnuk"}, 9);
  EXPECT_EQ(form.TreeChildren(kTree, 0), std::vector<int>{root});
  EXPECT_EQ(form.TreeChildren(kTree, root), std::vector<int>{child});
  EXPECT_EQ(form.TreeNodeText(kTree, child), "dítě");
  EXPECT_EQ(form.TreeNodeText(kTree, child, 1), "2");
  EXPECT_EQ(form.TreeNodeData(kTree, grandchild), 9u);
  EXPECT_EQ(form.TreeAddNode(kTree, 999, {"orphan"}, 1), 0);

  form.TreeDeleteChildren(kTree, root);
  struct Case {
    int node;
    const char* text;
    std::uint32_t data;
  };
  const Case cases[] = {{root, "kořen", 7}, {child, "", 0}, {grandchild, "", 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(form.TreeNodeText(kTree, c.node), c.text) << c.node;
    EXPECT_EQ(form.TreeNodeData(kTree, c.node), c.data) << c.node;
    EXPECT_TRUE(form.TreeChildren(kTree, c.node).empty()) << c.node;
  }
  EXPECT_EQ(form.TreeNodeText(kTree, 0), "");
  // Numbers of deleted nodes are not given again.
  const int next = form.TreeAddNode(kTree, root, {"nový"}, 10);
  EXPECT_GT(next, grandchild);
  form.TreeClear(kTree);
  EXPECT_TRUE(form.TreeChildren(kTree, 0).empty());
  EXPECT_EQ(form.TreeNodeText(kTree, root), "");
  EXPECT_EQ(form.TreeNodeData(kTree, next), 0u);
}

TEST(TreeControlsTest, ExpandingCollapsingAndSelectingCallTheirHandlers) {
  Form form("TExplorerForm");
  std::vector<std::string> events;
  form.OnTreeExpanded(kTree, [&](int node) { events.push_back("+" + form.TreeNodeText(kTree, node)); });
  form.OnTreeCollapsed(kTree, [&](int node) { events.push_back("-" + form.TreeNodeText(kTree, node)); });
  form.OnChange(kTree, [&] { events.push_back("=" + form.TreeNodeText(kTree, form.TreeCurrent(kTree))); });
  const int a = form.TreeAddNode(kTree, 0, {"a"}, 1);
  form.TreeAddNode(kTree, a, {"a1"}, 2);
  const int b = form.TreeAddNode(kTree, 0, {"b"}, 3);
  form.SetTreeExpanded(kTree, a, true);
  EXPECT_TRUE(form.TreeExpanded(kTree, a));
  form.SetTreeExpanded(kTree, a, false);
  form.SetTreeCurrent(kTree, b);
  EXPECT_EQ(form.TreeCurrent(kTree), b);
  EXPECT_EQ(events, (std::vector<std::string>{"+a", "-a", "=b"}));
}

TEST(TreeControlsTest, ColumnsAndVisibility) {
  Form form("TExplorerForm");
  form.SetTreeColumns("lv_List", {"Name", "X", "Y"});
  EXPECT_EQ(form.TreeColumns("lv_List"), (std::vector<std::string>{"Name", "X", "Y"}));
  EXPECT_TRUE(form.ControlVisible("lv_List"));
  form.SetControlVisible("lv_List", false);
  EXPECT_FALSE(form.ControlVisible("lv_List"));
  EXPECT_THROW(form.TreeChildren("sb_Status", 0), EFormLayoutError);
}

}  // namespace
}  // namespace platform
