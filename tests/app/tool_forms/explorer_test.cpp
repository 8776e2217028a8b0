#include "app/tool_forms/explorer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/database/database_elements.h"
#include "framework/environment/file_elements.h"
#include "framework/tools/system_register.h"
#include "framework/tools/tools.h"
#include "framework/values/inheritance_models.h"
#include "tests/app/tool_forms/tool_forms_fixture.h"

// A class the registry does not list.
class TUnlistedEntity : public TOwnerEntity {
  KESTX_CLASS(TUnlistedEntity)
};

TClass TUnlistedEntity::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TUnlistedEntity>("TUnlistedEntity", TOwnerEntity::StaticClass(), "test", {});
  return &info;
}

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
  void Expand(const std::string& caption, bool expanded = true) {
    const int node = NodeNamed(caption);
    ASSERT_NE(node, 0) << caption;
    Window().SetTreeExpanded("tv_Tree", node, expanded);
  }
  void Open(TElement* input, bool owners = false) {
    explorer->ShowOwners = owners;
    explorer->SetInput(input);
    explorer->DoIt();
  }
  // The list as text: the headers, then each row, apart by "|"; the cells by ",".
  std::string List() {
    std::vector<std::string> rows = {Join(Window().TreeColumns("lv_List"), ",")};
    const int columns = static_cast<int>(Window().TreeColumns("lv_List").size());
    for (int row : Window().TreeChildren("lv_List", 0)) {
      std::vector<std::string> cells;
      for (int column = 0; column < columns; ++column) cells.push_back(Window().TreeNodeText("lv_List", row, column));
      rows.push_back(Join(cells, ","));
    }
    return Join(rows, "|");
  }

  TOwnerEntity* model = nullptr;
  std::unique_ptr<TExplorer> explorer;
};

TEST_F(ExplorerTest, TheTreeUnfoldsOneLevelAtATimeAndShowsWhatWasAddedWhenUnfoldedAgain) {
  Open(model);
  EXPECT_EQ(Window().Caption(), "Prohlížeč modelu");
  // The node expanded or collapsed, after adding the child named; the tree then.
  const std::tuple<const char*, bool, const char*, const char*> steps[] = {
      {"", true, nullptr, "model(a)"},           {"model", true, nullptr, "model(a(a1) b)"},
      {"a", true, nullptr, "model(a(a1 a2) b)"}, {"a", true, nullptr, "model(a(a1 a2) b)"},
      {"model", false, nullptr, "model(a)"},     {"model", true, "c", "model(a(a1) b c)"}};
  for (const auto& [node, expanded, added, tree] : steps) {
    if (added) Named(added, model);
    if (*node) Expand(node, expanded);
    EXPECT_EQ(Tree(), tree) << (expanded ? "expand " : "collapse ") << node;
  }
}

TEST_F(ExplorerTest, OwnersUnfoldUpwardsAndTheStatusLineNamesTheElementAndItsRegistration) {
  auto* unlisted = Named<TUnlistedEntity>("u", model);
  auto* plain = Named<TOwnerElement>("plain", model);
  TElement* shared = Named("shared", model);
  Named("second", world->ObjectModel())->AddElement(shared);
  std::unique_ptr<TOwnerEntity> loose(Named("loose"));
  // The element shown, whether its owners, the node expanded; the tree and the status line then.
  const std::tuple<TElement*, bool, const char*, const char*> cases[] = {
      {plain, false, "", "plain / plain (TOwnerElement) R+"},  // no children: no expand mark
      {plain, true, "", "plain(model) / plain (TOwnerElement) R+"},
      {unlisted, false, "", "u / u (TUnlistedEntity) R-"},
      {shared, true, "shared", "shared(model(Object model) second(Object model)) / shared (TOwnerEntity) R+"},
      {loose.get(), true, "", "loose / loose (TOwnerEntity) R+"},  // the root of no model has no owner
  };
  for (const auto& [element, owners, node, shown] : cases) {
    Open(element, owners);
    if (*node) Expand(node);
    EXPECT_EQ(Shown(), shown);
  }
  // The owners' list counts their children and owners.
  Open(shared, true);
  EXPECT_EQ(List(), "Name,Count,Owners|model,5,1|second,1,1");
}

TEST_F(ExplorerTest, ClassModelsGiveTheListItsColumnsAndTheNodesTheirPictures) {
  TRegisterClassModels* models = world->SystemRegister()->ClassModels();
  models->SetNewClassName("TOwnerEntity");
  models->ActualClassModel()->SubClass = "TFileModel";
  models->ActualClassModel()->ImageIndex = 3;
  models->ActualClassModel()->ImageSelectedIndex = 4;
  models->SetNewClassName("TFileModel");
  Named("FileName", models->ActualClassModel()->PropertyModels());
  Named("Path", models->ActualClassModel()->PropertyModels());
  models->SetNewClassName("TNameElement");
  models->ActualClassModel()->ImageIndex = 1;
  auto* file = Named<TFileModel>("guide", model);
  file->SetFileName("/data/guide.KES");
  Named<TOwnerElement>("leaf", model);
  Open(model);
  EXPECT_EQ(List(), "Name,FileName,Path|a,,|b,,|guide,/data/guide.KES,/data/|leaf,,");
  Expand("model");
  Expand("a");
  // A class without a model of its own (TOwnerElement) takes its nearest modelled ancestor's picture.
  const std::pair<const char*, int> images[] = {{"model", 3}, {"a", 3}, {"a1", 1}, {"leaf", 1}};
  for (const auto& [node, image] : images) EXPECT_EQ(Window().TreeNodeImage("tv_Tree", NodeNamed(node)), image) << node;
  // A model without a sub-class leaves the name alone; a class with no model at all has no picture.
  Open(file);
  EXPECT_EQ(List(), "Name");
  std::unique_ptr<TEntity> bare(new TQuickEntity);
  Open(bare.get());
  EXPECT_EQ(Window().TreeNodeImage("tv_Tree", Window().TreeChildren("tv_Tree", 0).front()), -1);
}

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

TEST_F(ExplorerTest, AHiddenListStaysHiddenUntilToggledAndTheStyleButtonsActAsOneSwitch) {
  using Style = platform::Form::ListStyle;
  explorer->DontShowList = true;
  Open(model);
  EXPECT_EQ(std::tuple(Window().ControlVisible("lv_List"), List()), std::tuple(false, "Name"));
  platform::UserClick(Window(), "ac_ShowList");
  EXPECT_EQ(std::tuple(Window().ControlVisible("lv_List"), List(), Window().TreeListStyle("lv_List")),
            std::tuple(true, "Name|a|b", Style::Report));
  const std::pair<const char*, Style> steps[] = {
      {"ac_Icons", Style::Icons}, {"ac_List", Style::List}, {"ac_List", Style::List}, {"ac_Report", Style::Report}};
  for (const auto& [pressed, style] : steps) {
    platform::UserClick(Window(), pressed);
    EXPECT_EQ(Window().TreeListStyle("lv_List"), style) << pressed;
    for (const char* button : {"ac_Icons", "ac_List", "ac_Report"})
      EXPECT_EQ(Window().Checked(button), std::string(button) == pressed) << pressed << " then " << button;
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

TEST_F(ExplorerTest, MenuCommandsHandTheSelectedElementToTheMainToolAndClosingTheWindowClosesTheTool) {
  // The world's main tool gets what is posted to it; what is posted to nobody goes to the program's (the fixture's).
  auto* main = new TCodeRecorder;
  world->SetMainTool(main);
  Open(model);
  Expand("model");
  Window().SetTreeCurrent("tv_Tree", NodeNamed("b"));
  for (const char* item : {"mi_Zobraz", "mi_Vlastnosti", "mi_ProhlizejOdtud", "mi_ProhlizejVlastniky", "mi_OIL",
                           "mi_Load", "mi_Save"})
    platform::UserClick(Window(), item);
  EXPECT_TRUE(explorer->RunFlag());
  EXPECT_TRUE(platform::UserCloseWindow(Window()));
  EXPECT_FALSE(Window().Visible());
  RunMessages();
  EXPECT_EQ(std::tuple(main->codes, mainTool.codes), std::tuple(std::vector{30, 58, 36, 37, 26, 25}, std::vector{73}));
  TElement* b = model->FindElementByName("b");
  EXPECT_EQ(std::tuple(main->data, mainTool.data), std::tuple(std::vector<TElement*>(6, b), std::vector{b}));
  EXPECT_FALSE(explorer->RunFlag()) << "msgClose reached the tool";
}

}  // namespace
