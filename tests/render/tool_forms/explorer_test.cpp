#include "render/tool_forms/explorer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "render/tool_forms/element_watch.h"
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

// Stands for the main tool and notes each message it receives as
// "code:data name".
class TNotingMainTool : public TTechnology {
 public:
  std::vector<std::string> Received;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    Received.push_back(std::to_string(message->Message) + ":" + (message->Data() ? message->Data()->GetName() : "nil"));
    handled = true;
  }
};

// The menu's items hand the selected element to the main tool with the
// code of the window it asks for.
TEST_F(ExplorerTest, TheMenuItemsPostTheirCodesWithTheSelectedElementToTheMainTool) {
  auto* main = new TNotingMainTool;
  world->SetMainTool(main);
  Open(world->ObjectModel());
  Expand("Object model");
  Expand("model");
  Window().SetTreeCurrent("tv_Tree", NodeNamed("a"));
  const std::pair<const char*, int> items[] = {{"mi_Zobraz", msgOpenGraphicWindow},
                                               {"mi_Vlastnosti", msgOpenPropertyEditor},
                                               {"mi_ProhlizejOdtud", msgOpenExplorer},
                                               {"mi_ProhlizejVlastniky", msgOpenOwnersExplorer}};
  for (const auto& [item, code] : items) {
    main->Received.clear();
    platform::UserClick(Window(), item);
    RunMessages();
    EXPECT_EQ(main->Received, std::vector<std::string>{std::to_string(code) + ":a"}) << item;
  }
  world->SetMainTool(nullptr);
}

// A click that comes before the explorer heard of a freed selection acts on
// the node the window shows selected once the freed node went (the tree makes
// the next sibling current), not on nothing.
TEST_F(ExplorerTest, AMenuItemAfterTheSelectionWasFreedHandsOnTheNodeShownInItsPlace) {
  auto* main = new TNotingMainTool;
  world->SetMainTool(main);
  Open(world->ObjectModel());
  Expand("Object model");
  Expand("model");
  Expand("a");
  Window().SetTreeCurrent("tv_Tree", NodeNamed("a1"));
  auto* a = DynamicCast<TEntity>(model->FindElementByName("a"));
  a->FreeElement(a->FindElementByName("a1"));
  platform::UserClick(Window(), "mi_Vlastnosti");
  RunMessages();
  EXPECT_EQ(main->Received, std::vector<std::string>{std::to_string(msgOpenPropertyEditor) + ":a2"});
  EXPECT_EQ(Shown(), "Object model(model(a(a2) b)) / a2 (TNameElement) R+");
  world->SetMainTool(nullptr);
}

// An entity whose children cannot be read (a source that fails as it is read).
class TUnreadable : public TOwnerEntity {
 public:
  int GetCount() override { throw std::runtime_error("Zdroj nelze přečíst"); }
  bool IsEmpty() const override { throw std::runtime_error("Zdroj nelze přečíst"); }
};

TEST_F(ExplorerTest, AnElementThatCannotBeReadIsReportedAndTheTreeStays) {
  auto* unreadable = new TUnreadable;
  unreadable->SetName("query");
  model->AddElement(unreadable);
  Open(model);
  Expand("model");
  Window().SetTreeCurrent("tv_Tree", NodeNamed("query"));
  // Once when its node was prepared, once when its children were listed.
  const std::string refused = "Zdroj nelze přečíst";
  EXPECT_EQ(Boxes(), (std::vector<std::string>{refused, refused}));
  EXPECT_EQ(Shown(), "model(a(a1) b query) / query (TOwnerEntity) R+");
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

TEST_F(ExplorerTest, AFreedElementTakesItsNodeAwayUnaskedAndALeftParentIsPreparedAgain) {
  struct Row {
    const char* name;
    std::vector<const char*> expand;
    std::function<void()> change;
    const char* before;
    const char* after;
  };
  const Row rows[] = {
      {"the model is cleared", {"Object model", "model", "a"}, [this] { world->ObjectModel()->Clear(); },
       "Object model(model(a(a1 a2) b))", "Object model"},
      {"the prepared first child goes, its sibling takes the expand mark", {"Object model", "model"},
       [this] {
         auto* a = DynamicCast<TEntity>(model->FindElementByName("a"));
         a->FreeElement(a->FindElementByName("a1"));
       },
       "Object model(model(a(a1) b))", "Object model(model(a(a2) b))"},
      {"an expanded child goes", {"Object model", "model"},
       [this] { model->FreeElement(model->FindElementByName("b")); }, "Object model(model(a(a1) b))",
       "Object model(model(a(a1)))"},
  };
  for (const Row& row : rows) {
    world->ObjectModel()->Clear();
    model = Named("model", world->ObjectModel());
    TOwnerEntity* a = Named("a", model);
    Named<TNameElement>("a1", a);
    Named<TNameElement>("a2", a);
    Named("b", model);
    Open(world->ObjectModel());
    for (const char* caption : row.expand) Expand(caption);
    EXPECT_EQ(Tree(), row.before) << row.name;
    row.change();
    RunMessages();  // nobody but the freed elements told the explorer
    EXPECT_EQ(Tree(), row.after) << row.name;
  }
}

// The explorer holds the tree and the list undrawn while it fills them, so
// that each is drawn once: after every fill both are drawn again.
TEST_F(ExplorerTest, TheTreeAndTheListAreDrawnAgainAfterEachFill) {
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"opened", [this] { Open(model); }},
      {"expanded", [this] { Expand("model"); }},
      {"a node chosen", [this] { Window().SetTreeCurrent("tv_Tree", NodeNamed("a")); }},
      {"collapsed", [this] { Window().SetTreeExpanded("tv_Tree", NodeNamed("model"), false); }},
      {"a shown element freed",
       [this] {
         Expand("model");
         model->FreeElement(model->FindElementByName("b"));
         RunMessages();
       }},
  };
  for (const auto& [name, step] : steps) {
    step();
    EXPECT_EQ(std::pair(Window().TreeUpdating("tv_Tree"), Window().TreeUpdating("lv_List")), std::pair(false, false))
        << name;
  }
  EXPECT_EQ(Tree(), "model(a(a1))") << "the steps ran";
}

TEST_F(ExplorerTest, TheToolPublishesItsFormWhichKnowsItsTool) {
  auto* form = DynamicCast<TExplorerForm>(GetObjectPropByName(*explorer, "Form"));
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(std::tuple(form, form->Tool(), form->ClassName()),
            std::tuple(explorer->ExplorerForm(), static_cast<TTool*>(explorer.get()), "TExplorerForm"));
}

}  // namespace

namespace {

// Notes the elements it is pointed at, in a log the test keeps; its close
// box is the closed handler.
class TWatchStandIn : public TElementWatch {
 public:
  explicit TWatchStandIn(std::vector<std::string>& log) : log_(log) { log_.push_back("new"); }
  ~TWatchStandIn() override { log_.push_back("freed"); }
  void Watch(TElement* element) override { log_.push_back(element ? element->GetName() : "nil"); }
  void OnClosed(std::function<void()> closed) override { Closed = std::move(closed); }
  std::function<void()> Closed;

 private:
  std::vector<std::string>& log_;
};

class ExplorerWatchTest : public ExplorerTest {
 protected:
  void SetUp() override {
    ExplorerTest::SetUp();
    SetElementWatchFactory([this]() -> std::unique_ptr<TElementWatch> {
      auto watch = std::make_unique<TWatchStandIn>(log);
      last = watch.get();
      return watch;
    });
  }
  void TearDown() override {
    SetElementWatchFactory(nullptr);
    ExplorerTest::TearDown();
  }
  std::vector<std::string> log;
  TWatchStandIn* last = nullptr;
};

TEST_F(ExplorerWatchTest, TheWatchButtonOpensAWatchOnTheSelectionWhichFollowsItUntilClosed) {
  struct Case {
    const char* name;
    std::function<void()> action;
    std::vector<std::string> log;  // what happened to the watches
  };
  const Case cases[] = {
      {"the button: a watch on the selected element",
       [this] { platform::UserClick(Window(), "ac_Watch"); }, {"new", "model"}},
      {"another selection is watched",
       [this] {
         Expand("model");
         Window().SetTreeCurrent("tv_Tree", NodeNamed("b"));
       },
       {"b"}},
      {"the button again: the old watch freed, a new one",
       [this] { platform::UserClick(Window(), "ac_Watch"); }, {"freed", "new", "b"}},
      {"its close box: freed once the close has returned",
       [this] {
         last->Closed();
         log.push_back("closed");
         RunMessages();
       },
       {"closed", "freed"}},
      {"no watch: a selection watches nothing",
       [this] { Window().SetTreeCurrent("tv_Tree", NodeNamed("a")); }, {}},
      {"closing the explorer frees its watch",
       [this] {
         platform::UserClick(Window(), "ac_Watch");
         platform::UserCloseWindow(Window());
       },
       {"new", "a", "freed"}},
  };
  Open(model);
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(Window().SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/explorer_watch_button.png"));
  for (const Case& c : cases) {
    log.clear();
    c.action();
    EXPECT_EQ(log, c.log) << c.name;
  }
}

TEST_F(ExplorerTest, WithoutAWatchFactoryTheWatchButtonOpensNothing) {
  Open(model);
  platform::UserClick(Window(), "ac_Watch");
  EXPECT_EQ(explorer->ExplorerForm()->Watch(), nullptr);
}

}  // namespace
