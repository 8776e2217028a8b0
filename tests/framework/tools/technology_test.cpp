#include "tests/framework/framework_fixture.h"
#include "tests/framework/tools/tool_probes.h"
#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "framework/values/tool_models.h"

namespace {

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

TEST_F(TechnologyTest, SequenceFeedsEachResultToTheNextTool) {
  TSeqTechnology sequence;
  EXPECT_EQ(RunSequence(sequence, {}), "a:root b:c1 c:c2 -> c3");
  EXPECT_EQ(sequence.GetActiveIndex(), 2);
  sequence.SetInput(root.get());
  sequence.DoIt();  // again: the shared parameters stay one entity
  EXPECT_EQ(sequence.GetParameters()->GetOwnersCount(), 4);
  TSeqTechnology empty;
  empty.DoIt();  // no children at all
}

TEST_F(TechnologyTest, SequenceChecksItsBoundsOnEveryStep) {
  TSeqTechnology stops;
  EXPECT_EQ(RunSequence(stops, {1, 2}), "a:root -> c1");  // its later tools were freed while it ran
  EXPECT_EQ(ToolNames(stops), "a");
  trail.clear();
  // "a" is freed inside its run and gives nothing; "b" now sits at index 0, so
  // the step at index 1 runs "c" on the unchanged input.
  TSeqTechnology goesOn;
  EXPECT_EQ(RunSequence(goesOn, {0}), "a:root c:root -> c1");
  EXPECT_EQ(ToolNames(goesOn), "b c");
}

TEST_F(TechnologyTest, ClosedSubToolIsFreedOnceByItsTechnologyOrItsToolList) {
  TTechnology technology;
  TProbeTool* a = Probe("a");
  technology.AddTool(a);
  technology.AddTool(Probe("b"));
  a->PostMessage(msgClose, a, nullptr, false);
  a->PostMessage(msgClose, a, nullptr, false);
  RunMessages();
  EXPECT_EQ(Tracked<TTool>::Alive, 1);
  EXPECT_EQ(ToolNames(technology), "b");
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
  EXPECT_EQ(Tracked<TTool>::Alive, 0);
  EXPECT_TRUE(technology.NoTools());
  TTools loose;  // without a technology it ignores them
  TProbeTool* d = Probe("d");
  loose.AddElement(d);
  d->PostMessage(msgClose, d, nullptr, false);
  RunMessages();
  EXPECT_EQ(loose.IndexOf(d), 0);
}

TEST_F(TechnologyTest, TechnologyClosesOnlyWhenEverySubToolMay) {
  TRecorder owner;
  auto* technology = new TTechnology;
  owner.AddElement(technology);
  technology->SetName("T");
  TProbeTool* second = Probe("b");
  for (TProbeTool* tool : {Probe("a"), second, Probe("c")}) technology->AddTool(tool);
  second->mayClose = false;
  technology->DoIt();
  technology->Close();
  EXPECT_EQ(Join(calls), "canclose:a canclose:b");  // "c" is not asked
  EXPECT_TRUE(technology->RunFlag());
  second->mayClose = true;
  technology->Close();
  EXPECT_FALSE(technology->RunFlag());
  RunMessages();
  EXPECT_EQ(owner.Log(), "1<T");
}

TEST_F(TechnologyTest, ToolListEditsActiveIndexAndReplacedTools) {
  TTechnology technology;
  TProbeTool* a = Probe("a");
  TProbeTool* b = Probe("b");
  TOwnerEntity keeper;
  keeper.AddElement(b);
  technology.SetPropertyText("ToolToAdd", Handle(a));
  technology.SetPropertyText("ToolToAdd", Handle(b));
  technology.SetActiveIndex(1);
  EXPECT_EQ(technology.GetActiveTool(), b);
  for (int index : {-5, 2}) {
    technology.SetActiveIndex(index);
    EXPECT_EQ(technology.GetActiveTool(), nullptr) << index;  // outside the list means none
  }
  technology.SetPropertyText("ToolToRemove", Handle(a));
  technology.SetPropertyText("ToolToFree", Handle(b));
  EXPECT_TRUE(technology.NoTools());
  EXPECT_EQ(Tracked<TTool>::Alive, 2);  // "a" was only removed, "b" is kept by the keeper
  delete a;
  TTool* field = nullptr;
  TProbeTool* c = Probe("c");
  technology.ReplaceTool(field, c);
  technology.ReplaceTool(field, c);  // the same again changes nothing
  technology.ReplaceTool(field, Probe("d"));
  EXPECT_EQ(Tracked<TTool>::Alive, 2);
  EXPECT_EQ(ToolNames(technology), "d");
  EXPECT_EQ(technology.FindTool("D"), field);
}

TEST_F(TechnologyTest, SelectionRunsTheChosenToolOrElseTool) {
  TSelectTechnology select;
  select.AddTool(Walker("a"));
  select.AddTool(Walker("b"));
  TFirstChildTool* otherwise = Walker("else");
  select.SetElseTool(otherwise);
  select.SetElseTool(otherwise);
  EXPECT_EQ(select.GetCount(), 2);  // the tool list and the else tool, once
  select.SetInput(root.get());
  for (int index : {1, -1, 2}) {
    select.SelIndex = index;
    select.DoIt();
  }
  EXPECT_EQ(Join(trail), "b:root else:root else:root");
  EXPECT_EQ(select.Output()->GetName(), "c1");
  EXPECT_EQ(select.Input(), root.get());  // the selection does not feed itself
  TSelectTechnology none;
  TOwnerElement out;
  none.SetOutput(&out);
  none.SelIndex = -1;
  none.SetElseTool(nullptr);
  none.DoIt();
  EXPECT_EQ(none.Output(), &out);
}

// A model of a technology with tool models of the given classes, named after them.
TToolModel* TechnologyModel(const std::string& technologyClass, std::initializer_list<const char*> toolClasses) {
  auto* model = new TToolModel;
  model->ElementClassName = technologyClass;
  for (const char* cls : toolClasses) {
    model->NewToolName(std::string("n") + cls);
    model->LastToolModel()->ElementClassName = cls;
  }
  return model;
}

TToolModel* ToolModel(TToolModel* model, int index) {
  return static_cast<TToolModel*>(model->ModelTools()->GetElement(index));
}

TEST_F(TechnologyTest, ModelBuildsItsToolsAndLogsTheClassesItCannot) {
  TTechnology technology;
  TToolModel* model = TechnologyModel("TTechnology", {"TResultTool", "TFoo", "TElement", "TSeqTechnology", ""});
  TToolModel* resultModel = ToolModel(model, 0);
  resultModel->NewPropertyName("Result");
  resultModel->LastPropertyModel()->Value = "z modelu";
  ToolModel(model, 3)->NewToolName("vnitřní");  // nested technologies build their own tools
  ToolModel(model, 3)->LastToolModel()->ElementClassName = "TBooleanTool";
  technology.SetSelfModel(model);
  technology.ApplyModel();
  RunMessages();
  EXPECT_EQ(ToolNames(technology), "nTResultTool nTSeqTechnology");
  EXPECT_EQ(main.Log(), "8<TTechnology Unknown class: TFoo, 8<TTechnology Class: TElement is not a Tool");
  auto* result = static_cast<TResultTool*>(technology.GetTool(0));
  EXPECT_EQ(result->Result, "z modelu");
  EXPECT_EQ(result->SelfModel(), resultModel);
  EXPECT_EQ(resultModel->GetOwnersCount(), 2);  // the model's tool list and the tool
  auto* sequence = static_cast<TSeqTechnology*>(technology.GetTool(1));
  EXPECT_EQ(ToolNames(*sequence), "vnitřní");
  EXPECT_EQ(sequence->GetTool(0)->ClassName(), "TBooleanTool");
  result->Result = "uloženo";
  technology.FreeModelTools();  // stores the values, and the tools are made again from them
  EXPECT_TRUE(technology.NoTools());
  technology.CreateModelTools();
  EXPECT_EQ(static_cast<TResultTool*>(technology.GetTool(0))->Result, "uloženo");
}

TEST_F(TechnologyTest, ModelAttachesToolsToPropertiesAndADynamicOneBuildsNone) {
  TSelectTechnology select;
  TToolModel* model = TechnologyModel("TSelectTechnology", {"TResultTool"});
  ToolModel(model, 0)->AttachToPropertyName = "ElseTool";
  model->NewPropertyName("SelIndex");
  model->LastPropertyModel()->Value = "-1";
  select.SetSelfModel(model);
  select.ApplyModel();
  ASSERT_EQ(select.ToolCount(), 1);
  EXPECT_EQ(select.ElseTool(), select.GetTool(0));
  select.SetInput(root.get());
  select.DoIt();
  EXPECT_TRUE(select.ElseTool()->RunFlag());
  TSelectTechnology dynamic;
  TToolModel* values = TechnologyModel("TSelectTechnology", {"TTool"});
  values->DynamicTool = true;
  values->NewPropertyName("SelIndex");
  values->LastPropertyModel()->Value = "3";
  dynamic.SetSelfModel(values);
  dynamic.ApplyModel();
  EXPECT_EQ(dynamic.SelIndex, 3);
  EXPECT_TRUE(dynamic.DynamicTool);
  EXPECT_TRUE(dynamic.NoTools());
}

}  // namespace
