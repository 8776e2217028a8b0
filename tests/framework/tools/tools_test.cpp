#include "framework/tools/tools.h"

#include <functional>

#include "tests/framework/framework_fixture.h"
#include "framework/values/tool_models.h"

namespace {

// Records which of its dispatch targets ran.
class TProbeTool : public Tracked<TTool> {
 public:
  std::vector<std::string>* calls = nullptr;
  void Close() override {
    calls->push_back("close");
    TTool::Close();
  }
};

// Delivers unaddressed messages to a recorder and makes probes that note
// their calls in one list.
class ToolFixture : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    Tracked<TTool>::Alive = 0;
    MainTool = &main;
  }
  TProbeTool* Probe(const std::string& name) {
    auto* tool = new TProbeTool;
    tool->SetName(name);
    tool->calls = &calls;
    return tool;
  }

  std::vector<std::string> calls;
  TRecorder main;
};

using ToolsTest = ToolFixture;
using Leaf = Tracked<TOwnerElement>;

TEST_F(ToolsTest, InputOutputParametersAndSelfModelFollowTheirRules) {
  TTool tool;
  Leaf::Alive = 0;
  auto* element = new Leaf;
  tool.SetInput(element);
  tool.SetOutput(element);
  delete element;
  EXPECT_TRUE(!tool.Input() && !tool.Output() && tool.NoParameters());  // references read nil once freed
  auto* first = new Leaf;
  auto* second = new Leaf;
  tool.SetParameter("Vstup", first);
  const int count = tool.GetParameters()->GetCount();
  tool.SetParameter("Vstup", first);  // again: nothing changes
  EXPECT_EQ(first->GetOwnersCount() + tool.GetParameters()->GetCount(), 1 + count);
  tool.SetParameter("Vstup", second);  // a used name frees the previous element
  EXPECT_TRUE(Leaf::Alive == 1 && tool.GetParameter("vstup") == second);
  tool.SetPropertyText("NextParameter", Handle(Named<TOwnerElement>("Soubor")));
  EXPECT_NE(tool.GetParameter("SOUBOR"), nullptr);
  TProbeTool* probe = Probe("t");
  TParameters* shared = probe->GetParameters();
  tool.SetParameters(shared);
  tool.SetParameters(shared);
  EXPECT_EQ(shared->GetOwnersCount(), 2);
  delete probe;
  EXPECT_TRUE(tool.GetParameters() == shared && shared->GetOwnersCount() == 1);  // outlive one of their tools
  TTool modelled;  // a self model replaces the old one; resetting it is harmless
  Tracked<TToolModel>::Alive = 0;
  auto* firstModel = new Tracked<TToolModel>;
  auto* secondModel = new Tracked<TToolModel>;
  modelled.SetSelfModel(firstModel);
  modelled.SetSelfModel(firstModel);
  EXPECT_EQ(modelled.GetCount(), 1);
  TOwnerEntity keeper;
  keeper.AddElement(secondModel);
  modelled.SetPropertyText("SelfModel", Handle(secondModel));
  EXPECT_EQ(modelled.SelfModel(), secondModel);
  EXPECT_EQ(Tracked<TToolModel>::Alive, 1);  // the firstModel had no other owner
  modelled.SetSelfModel(nullptr);
  EXPECT_EQ(Tracked<TToolModel>::Alive, 1);  // the keeper still holds the secondModel
}

// ---------------------------------------------------------------- technologies

// Takes the first child of its input as its result and notes what it saw;
// asks the tools to close and lets the messages run while it works.
class TFirstChildTool : public TTool {
 public:
  std::vector<std::string>* trail = nullptr;
  std::vector<TElementLink> toClose;
  void DoIt() override {
    TTool::DoIt();
    trail->push_back(GetName() + ":" + (Input() ? Input()->GetName() : "nil"));
    auto* entity = DynamicCast<TEntity>(Input());
    SetOutput(entity && !entity->IsEmpty() ? entity->Children()[0] : nullptr);
    for (const TElementLink& link : toClose)
      if (TElement* tool = link.Get()) PostMessage(msgClose, tool, nullptr, false);
    if (!toClose.empty()) platform::Application::Instance().ProcessMessages();
  }
};

class TechnologyTest : public ToolFixture {
 protected:
  void SetUp() override {
    ToolFixture::SetUp();
    TOwnerEntity* at = root.get();  // root > c1 > c2 > c3
    root->SetName("root");
    for (const char* name : {"c1", "c2", "c3"}) at = ::Named(name, at);
  }
  TFirstChildTool* Walker(const std::string& name) {
    auto* tool = ::Named<TFirstChildTool>(name);
    tool->trail = &trail;
    return tool;
  }
  // Runs a sequence of tools named a, b, c on root, the first closing the tools at the indexes given.
  std::string RunSequence(TSeqTechnology& sequence, std::initializer_list<int> closes) {
    trail.clear();
    for (const char* name : {"a", "b", "c"}) sequence.AddTool(Walker(name));
    for (int index : closes) static_cast<TFirstChildTool*>(sequence.GetTool(0))->toClose.emplace_back(sequence.GetTool(index));
    sequence.SetInput(root.get());
    sequence.DoIt();
    return Join(trail) + " -> " + (sequence.Output() ? sequence.Output()->GetName() : "nil");
  }
  static std::string ToolNames(TTechnology& technology) {
    std::vector<std::string> names;
    for (int i = 0; i < technology.ToolCount(); ++i) names.push_back(technology.GetTool(i)->GetName());
    return Join(names);
  }

  std::unique_ptr<TOwnerEntity> root{new TOwnerEntity};
  std::vector<std::string> trail;
};

// A sequence feeds each result to the next tool and checks its bounds on every
// step, as tools may be freed while it runs.
TEST_F(TechnologyTest, SequenceFeedsEachResultToTheNextToolWithinItsBounds) {
  TSeqTechnology sequence;
  EXPECT_EQ(RunSequence(sequence, {}), "a:root b:c1 c:c2 -> c3");
  EXPECT_EQ(sequence.GetActiveIndex(), 2);
  sequence.SetInput(root.get());
  sequence.DoIt();  // again: the shared parameters stay one entity
  EXPECT_EQ(sequence.GetParameters()->GetOwnersCount(), 4);
  TSeqTechnology empty;
  empty.DoIt();  // no children at all
  TSeqTechnology stops;
  EXPECT_EQ(RunSequence(stops, {1, 2}), "a:root -> c1");  // its later tools were freed while it ran
  EXPECT_EQ(ToolNames(stops), "a");
  // "a" is freed inside its run and gives nothing; "b" now sits at index 0, so
  // the step at index 1 runs "c" on the unchanged input.
  TSeqTechnology goesOn;
  EXPECT_EQ(RunSequence(goesOn, {0}), "a:root c:root -> c1");
  EXPECT_EQ(ToolNames(goesOn), "b c");
}

TEST_F(TechnologyTest, SubToolsCloseOnce) {
  TTechnology technology;
  TProbeTool* a = Probe("a");
  technology.AddTool(a);
  technology.AddTool(Probe("b"));
  a->PostMessage(msgClose, a, nullptr, false);
  a->PostMessage(msgClose, a, nullptr, false);
  RunMessages();
  EXPECT_EQ(std::to_string(Tracked<TTool>::Alive) + " " + ToolNames(technology), "1 b");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "close"), 2);  // both answered before the first freed it
  auto* tools = new TTools;  // a list set later still forwards
  TProbeTool* c = Probe("c");
  tools->AddElement(c);
  technology.SetTools(tools);
  technology.SetTools(tools);
  EXPECT_EQ(Tracked<TTool>::Alive, 1);  // the old list went with its tool
  EXPECT_GE(technology.IndexOf(tools), 0);
  c->PostMessage(msgClose, c, nullptr, false);
  RunMessages();
  EXPECT_TRUE(Tracked<TTool>::Alive == 0 && technology.NoTools());
}


// Holds one sub-tool in a field of its own, as editors hold their helpers.
class THookTechnology : public TTechnology {
 public:
  static TClass StaticClass() {
    static const TClassInfo info = DescribeClass<THookTechnology>(
        "THookTechnology", TTechnology::StaticClass(), "ToolsTest",
        {AccessorProp<THookTechnology, TTool*>(
            "Hook", [](const THookTechnology& t) { return t.hook; },
            [](THookTechnology& t, TTool* tool) { t.ReplaceTool(t.hook, tool); })});
    return &info;
  }
  TClass ClassType() const override { return StaticClass(); }
  TTool* hook = nullptr;
};

TEST_F(TechnologyTest, AToolHeldInAFieldIsListedOnceHoweverItCameThere) {
  struct Row {
    const char* name;
    std::function<void(THookTechnology&)> give;
    std::string listed;
    int probesAlive;
  };
  const Row rows[] = {
      {"wired by its model",
       [](THookTechnology& technology) {
         auto* model = new TToolModel;
         model->NewToolName("hook");
         model->LastToolModel()->ElementClassName = "TTool";
         model->LastToolModel()->AttachToPropertyName = "Hook";
         technology.SetSelfModel(model);
         technology.ApplyModel();
       },
       "hook", 0},
      {"set by its property",
       [this](THookTechnology& technology) {
         technology.SetPropertyText("Hook", Handle(Probe("a")));
       },
       "a", 1},
      {"added first, then set",
       [this](THookTechnology& technology) {
         TProbeTool* probe = Probe("a");
         technology.AddTool(probe);
         technology.SetPropertyText("Hook", Handle(probe));
       },
       "a", 1},
      {"replaced: the old one freed",
       [this](THookTechnology& technology) {
         technology.SetPropertyText("Hook", Handle(Probe("a")));
         technology.SetPropertyText("Hook", Handle(Probe("b")));
       },
       "b", 1},
  };
  for (const Row& row : rows) {
    Tracked<TTool>::Alive = 0;
    {
      THookTechnology technology;
      row.give(technology);
      EXPECT_EQ(ToolNames(technology), row.listed) << row.name;
      EXPECT_EQ(technology.hook ? technology.hook->GetName() : "nil", row.listed) << row.name;
      EXPECT_EQ(Tracked<TTool>::Alive, row.probesAlive) << row.name;
    }
    EXPECT_EQ(Tracked<TTool>::Alive, 0) << row.name << ": freed once with the technology";
  }
}

}  // namespace
