#include "tests/framework/framework_fixture.h"
#include "tests/framework/tools/tool_probes.h"
#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "framework/values/tool_models.h"

namespace {

// Takes the first child of its input as its result and notes what it saw.
class TFirstChildTool : public TTool {
 public:
  std::vector<std::string>* trail = nullptr;
  void DoIt() override {
    TTool::DoIt();
    trail->push_back(GetName() + ":" + (Input() ? Input()->GetName() : "nil"));
    auto* entity = DynamicCast<TEntity>(Input());
    SetOutput(entity && !entity->IsEmpty() ? entity->Children()[0] : nullptr);
  }
};

// Asks other tools to close and lets the messages run while it works.
class TClosingTool : public TFirstChildTool {
 public:
  std::vector<TElementLink> toClose;
  void DoIt() override {
    TFirstChildTool::DoIt();
    for (const TElementLink& link : toClose)
      if (TElement* tool = link.Get()) PostMessage(msgClose, tool, nullptr, false);
    platform::Application::Instance().ProcessMessages();
  }
};

class TechnologyTest : public ToolFixture {
 protected:
  template <class T>
  T* Named(const std::string& name) {
    auto* tool = new T;
    tool->SetName(name);
    tool->trail = &trail;
    return tool;
  }
  // root > c1 > c2 > c3, each the only child of the one before.
  TOwnerEntity* Chain() {
    auto* root = new TOwnerEntity;
    root->SetName("root");
    TOwnerEntity* at = root;
    for (const char* name : {"c1", "c2", "c3"}) {
      auto* child = new TOwnerEntity;
      child->SetName(name);
      at->AddElement(child);
      at = child;
    }
    return root;
  }
  std::vector<std::string> LogTexts() const {
    std::vector<std::string> texts;
    for (const Received& r : main.log) texts.push_back(r.text);
    return texts;
  }
  std::vector<std::string> ToolNames(TTechnology& technology) {
    std::vector<std::string> names;
    for (int i = 0; i < technology.ToolCount(); ++i) names.push_back(technology.GetTool(i)->GetName());
    return names;
  }

  std::vector<std::string> trail;
};

TEST_F(TechnologyTest, SequenceFeedsEachResultToTheNextTool) {
  std::unique_ptr<TOwnerEntity> root(Chain());
  TSeqTechnology sequence;
  for (const char* name : {"a", "b", "c"}) sequence.AddTool(Named<TFirstChildTool>(name));
  sequence.SetInput(root.get());
  sequence.DoIt();
  EXPECT_EQ(trail, (std::vector<std::string>{"a:root", "b:c1", "c:c2"}));
  ASSERT_NE(sequence.Output(), nullptr);
  EXPECT_EQ(sequence.Output()->GetName(), "c3");
  EXPECT_EQ(sequence.Input(), sequence.Output());
  EXPECT_EQ(sequence.GetActiveIndex(), 2);
  EXPECT_TRUE(sequence.RunFlag());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(sequence.GetTool(i)->GetParameters(), sequence.GetParameters());
  sequence.SetInput(root.get());
  sequence.DoIt();  // again: the shared parameters stay one entity
  EXPECT_EQ(sequence.GetParameters()->GetOwnersCount(), 4);
}

TEST_F(TechnologyTest, SequenceWithoutSubToolsLeavesInputAndOutput) {
  TOwnerElement in;
  TOwnerElement out;
  TSeqTechnology sequence;
  sequence.DoIt();  // no children at all
  sequence.GetParameters();
  sequence.SetInput(&in);
  sequence.SetOutput(&out);
  sequence.DoIt();
  EXPECT_EQ(sequence.Input(), &in);
  EXPECT_EQ(sequence.Output(), &out);
}

TEST_F(TechnologyTest, SequenceStopsWhenItsLaterToolsAreFreedWhileItRuns) {
  std::unique_ptr<TOwnerEntity> root(Chain());
  TSeqTechnology sequence;
  auto* first = Named<TClosingTool>("a");
  sequence.AddTool(first);
  TFirstChildTool* second = Named<TFirstChildTool>("b");
  TFirstChildTool* third = Named<TFirstChildTool>("c");
  sequence.AddTool(second);
  sequence.AddTool(third);
  first->toClose = {TElementLink(second), TElementLink(third)};
  sequence.SetInput(root.get());
  sequence.DoIt();
  EXPECT_EQ(trail, (std::vector<std::string>{"a:root"}));
  EXPECT_EQ(sequence.ToolCount(), 1);
  EXPECT_EQ(sequence.Output()->GetName(), "c1");
}

TEST_F(TechnologyTest, SequenceGoesOnWhenARunningToolClosesItself) {
  std::unique_ptr<TOwnerEntity> root(Chain());
  TSeqTechnology sequence;
  auto* first = Named<TClosingTool>("a");
  sequence.AddTool(first);
  sequence.AddTool(Named<TFirstChildTool>("b"));
  sequence.AddTool(Named<TFirstChildTool>("c"));
  first->toClose = {TElementLink(first)};
  sequence.SetInput(root.get());
  sequence.DoIt();
  // "a" was freed inside its run and gave nothing; "b" now sits at index 0, so
  // the step at index 1 runs "c" on the unchanged input.
  EXPECT_EQ(trail, (std::vector<std::string>{"a:root", "c:root"}));
  EXPECT_EQ(ToolNames(sequence), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(sequence.Output()->GetName(), "c1");
}

TEST_F(TechnologyTest, ClosedSubToolIsFreedByItsTechnology) {
  TTechnology technology;
  TProbeTool* a = Probe("a");
  TProbeTool* b = Probe("b");
  technology.AddTool(a);
  technology.AddTool(b);
  a->PostMessage(msgClose, a, nullptr, false);
  RunMessages();
  EXPECT_EQ(Tracked<TTool>::Alive, 1);
  EXPECT_EQ(ToolNames(technology), (std::vector<std::string>{"b"}));
}

TEST_F(TechnologyTest, DoubledCloseRequestFreesTheSubToolOnce) {
  TTechnology technology;
  TProbeTool* a = Probe("a");
  technology.AddTool(a);
  technology.AddTool(Probe("b"));
  a->PostMessage(msgClose, a, nullptr, false);
  a->PostMessage(msgClose, a, nullptr, false);
  RunMessages();
  EXPECT_EQ(Tracked<TTool>::Alive, 1);
  EXPECT_EQ(technology.ToolCount(), 1);
  // Both requests were answered before the first answer freed the tool.
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "close"), 2);
}

TEST_F(TechnologyTest, TechnologyClosesOnlyWhenEverySubToolMay) {
  TRecorder owner;
  auto* technology = new TTechnology;
  owner.AddElement(technology);
  TProbeTool* second = Probe("b");
  for (TProbeTool* tool : {Probe("a"), second, Probe("c")}) technology->AddTool(tool);
  second->mayClose = false;
  technology->DoIt();
  technology->Close();
  EXPECT_EQ(calls, (std::vector<std::string>{"canclose:a", "canclose:b"}));  // "c" is not asked
  EXPECT_TRUE(technology->RunFlag());
  second->mayClose = true;
  technology->Close();
  EXPECT_FALSE(technology->RunFlag());
  RunMessages();
  ASSERT_EQ(owner.log.size(), 1u);
  EXPECT_EQ(owner.log[0].sender, technology);
}

TEST_F(TechnologyTest, ToolListSetLaterStillForwardsClosedMessages) {
  TTechnology technology;
  technology.AddTool(Probe("old"));
  auto* tools = new TTools;
  TProbeTool* a = Probe("a");
  tools->AddElement(a);
  technology.SetTools(tools);
  EXPECT_EQ(Tracked<TTool>::Alive, 1);  // the old list went with its tool
  EXPECT_EQ(technology.GetTools(), tools);
  EXPECT_GE(technology.IndexOf(tools), 0);
  technology.SetTools(tools);
  EXPECT_EQ(technology.GetTools(), tools);
  a->PostMessage(msgClose, a, nullptr, false);
  RunMessages();
  EXPECT_EQ(Tracked<TTool>::Alive, 0);
  EXPECT_TRUE(technology.NoTools());
}

TEST_F(TechnologyTest, ToolListWithoutTechnologyIgnoresClosedMessages) {
  TTools loose;
  TProbeTool* a = Probe("a");
  loose.AddElement(a);
  a->PostMessage(msgClose, a, nullptr, false);
  RunMessages();
  EXPECT_EQ(Tracked<TTool>::Alive, 1);
  EXPECT_EQ(loose.IndexOf(a), 0);
}

TEST_F(TechnologyTest, ActiveIndexOutsideTheListMeansNone) {
  TTechnology technology;
  EXPECT_EQ(technology.GetActiveTool(), nullptr);
  TProbeTool* a = Probe("a");
  TProbeTool* b = Probe("b");
  technology.AddTool(a);
  technology.AddTool(b);
  technology.SetActiveIndex(1);
  EXPECT_EQ(technology.GetActiveTool(), b);
  for (int index : {-5, 2}) {
    technology.SetActiveIndex(index);
    EXPECT_EQ(technology.GetActiveIndex(), -1);
    EXPECT_EQ(technology.GetActiveTool(), nullptr);
  }
  technology.SetPropertyText("ActiveTool", std::to_string(HandleOfElement(a)));
  EXPECT_EQ(technology.GetActiveIndex(), 0);
  TTool stranger;
  technology.SetActiveTool(&stranger);
  EXPECT_EQ(technology.GetActiveIndex(), -1);
}

TEST_F(TechnologyTest, WriteOnlyPropertiesEditTheToolList) {
  TTechnology technology;
  TProbeTool* a = Probe("a");
  TProbeTool* b = Probe("b");
  TOwnerEntity keeper;
  keeper.AddElement(b);
  technology.SetPropertyText("ToolToAdd", std::to_string(HandleOfElement(a)));
  technology.SetPropertyText("ToolToAdd", std::to_string(HandleOfElement(b)));
  EXPECT_EQ(ToolNames(technology), (std::vector<std::string>{"a", "b"}));
  technology.SetPropertyText("ToolToRemove", std::to_string(HandleOfElement(a)));
  EXPECT_EQ(ToolNames(technology), (std::vector<std::string>{"b"}));
  technology.SetPropertyText("ToolToFree", std::to_string(HandleOfElement(b)));
  EXPECT_TRUE(technology.NoTools());
  EXPECT_EQ(Tracked<TTool>::Alive, 2);  // "a" was only removed, "b" is kept by the keeper
  delete a;
}

TEST_F(TechnologyTest, ReplaceToolFreesTheOldToolAndKeepsTheSameOne) {
  TTechnology technology;
  TTool* field = nullptr;
  TProbeTool* a = Probe("a");
  technology.ReplaceTool(field, a);
  technology.ReplaceTool(field, a);
  EXPECT_EQ(field, a);
  EXPECT_EQ(ToolNames(technology), (std::vector<std::string>{"a"}));
  technology.ReplaceTool(field, Probe("b"));
  EXPECT_EQ(Tracked<TTool>::Alive, 1);
  EXPECT_EQ(ToolNames(technology), (std::vector<std::string>{"b"}));
  EXPECT_EQ(technology.FindTool("B"), field);
}

TEST_F(TechnologyTest, SelectionRunsTheChosenToolOrElseTool) {
  std::unique_ptr<TOwnerEntity> root(Chain());
  TSelectTechnology select;
  select.AddTool(Named<TFirstChildTool>("a"));
  select.AddTool(Named<TFirstChildTool>("b"));
  auto* otherwise = Named<TFirstChildTool>("else");
  select.SetElseTool(otherwise);
  select.SetElseTool(otherwise);
  EXPECT_EQ(select.GetCount(), 2);  // the tool list and the else tool, once
  select.SetInput(root.get());
  select.SelIndex = 1;
  select.DoIt();
  select.SelIndex = -1;
  select.DoIt();
  select.SelIndex = 2;
  select.DoIt();
  EXPECT_EQ(trail, (std::vector<std::string>{"b:root", "else:root", "else:root"}));
  EXPECT_EQ(select.Output()->GetName(), "c1");
  EXPECT_EQ(select.Input(), root.get());  // the selection does not feed itself
  EXPECT_FALSE(select.RunFlag());
  EXPECT_TRUE(select.GetTool(0)->NoParameters());
}

TEST_F(TechnologyTest, SelectionWithoutAnyToolKeepsItsOutput) {
  TSelectTechnology select;
  TOwnerElement out;
  select.SetOutput(&out);
  select.SelIndex = -1;
  select.SetElseTool(nullptr);
  select.DoIt();
  EXPECT_EQ(select.Output(), &out);
  EXPECT_EQ(select.ElseTool(), nullptr);
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

TEST_F(TechnologyTest, ModelBuildsItsToolsAndLogsTheClassesItCannot) {
  TSeqTechnology technology;
  TToolModel* model = TechnologyModel("TSeqTechnology", {"TResultTool", "TFoo", "TElement", "TTool", ""});
  auto* resultModel = static_cast<TToolModel*>(model->ModelTools()->GetElement(0));
  resultModel->NewPropertyName("Result");
  resultModel->LastPropertyModel()->Value = "z modelu";
  technology.SetSelfModel(model);
  technology.ApplyModel();
  RunMessages();
  EXPECT_EQ(ToolNames(technology), (std::vector<std::string>{"nTResultTool", "nTTool"}));
  EXPECT_EQ(LogTexts(), (std::vector<std::string>{"Unknown class: TFoo", "Class: TElement is not a Tool"}));
  auto* result = static_cast<TResultTool*>(technology.GetTool(0));
  EXPECT_EQ(result->Result, "z modelu");
  EXPECT_EQ(result->SelfModel(), resultModel);
  EXPECT_EQ(resultModel->GetOwnersCount(), 2);  // the model's tool list and the tool
}

TEST_F(TechnologyTest, NestedTechnologiesBuildTheirOwnToolsFromTheirModels) {
  TTechnology technology;
  TToolModel* model = TechnologyModel("TTechnology", {"TSeqTechnology"});
  auto* inner = static_cast<TToolModel*>(model->ModelTools()->GetElement(0));
  inner->NewToolName("vnitřní");
  inner->LastToolModel()->ElementClassName = "TBooleanTool";
  technology.SetSelfModel(model);
  technology.ApplyModel();
  auto* sequence = DynamicCast<TSeqTechnology>(technology.GetTool(0));
  ASSERT_NE(sequence, nullptr);
  ASSERT_EQ(sequence->ToolCount(), 1);
  EXPECT_EQ(sequence->GetTool(0)->ClassName(), "TBooleanTool");
  EXPECT_EQ(sequence->GetTool(0)->GetName(), "vnitřní");
}

TEST_F(TechnologyTest, DynamicTechnologyTakesValuesButBuildsNoTools) {
  TSelectTechnology select;
  TToolModel* model = TechnologyModel("TSelectTechnology", {"TTool"});
  model->DynamicTool = true;
  model->NewPropertyName("SelIndex");
  model->LastPropertyModel()->Value = "3";
  select.SetSelfModel(model);
  select.ApplyModel();
  EXPECT_EQ(select.SelIndex, 3);
  EXPECT_TRUE(select.DynamicTool);
  EXPECT_TRUE(select.NoTools());
}

TEST_F(TechnologyTest, ModelAttachesASubToolToAToolProperty) {
  std::unique_ptr<TOwnerEntity> root(Chain());
  TSelectTechnology select;
  TToolModel* model = TechnologyModel("TSelectTechnology", {"TResultTool"});
  static_cast<TToolModel*>(model->ModelTools()->GetElement(0))->AttachToPropertyName = "ElseTool";
  model->NewPropertyName("SelIndex");
  model->LastPropertyModel()->Value = "-1";
  select.SetSelfModel(model);
  select.ApplyModel();
  ASSERT_EQ(select.ToolCount(), 1);
  EXPECT_EQ(select.ElseTool(), select.GetTool(0));
  EXPECT_EQ(select.SelIndex, -1);
  auto* elseTool = static_cast<TResultTool*>(select.ElseTool());
  select.SetInput(root.get());
  select.DoIt();
  EXPECT_TRUE(elseTool->RunFlag());
  EXPECT_EQ(elseTool->Input(), root.get());
}

TEST_F(TechnologyTest, FreeModelToolsStoresValuesAndCreateModelToolsRebuilds) {
  TTechnology technology;
  TToolModel* model = TechnologyModel("TTechnology", {"TResultTool"});
  static_cast<TToolModel*>(model->ModelTools()->GetElement(0))->NewPropertyName("Result");
  technology.SetSelfModel(model);
  technology.ApplyModel();
  static_cast<TResultTool*>(technology.GetTool(0))->Result = "uloženo";
  technology.FreeModelTools();
  EXPECT_TRUE(technology.NoTools());
  technology.CreateModelTools();
  ASSERT_EQ(technology.ToolCount(), 1);
  EXPECT_EQ(static_cast<TResultTool*>(technology.GetTool(0))->Result, "uloženo");
}

TEST_F(TechnologyTest, NewToolByModelAndAddNewToolCreateByClassName) {
  TTechnology technology;
  auto* toolModel = new TToolModel;
  toolModel->SetName("m");
  toolModel->ElementClassName = "TBooleanTool";
  TOwnerEntity keeper;
  keeper.AddElement(toolModel);
  technology.SetPropertyText("NewToolByModel", std::to_string(HandleOfElement(toolModel)));
  EXPECT_EQ(technology.AddNewTool("TResultTool", "r")->GetName(), "r");
  EXPECT_EQ(technology.AddNewTool("TNeznámá", "x"), nullptr);
  EXPECT_EQ(ToolNames(technology), (std::vector<std::string>{"m", "r"}));
  EXPECT_EQ(technology.CreateToolByModel(nullptr), nullptr);
  RunMessages();
  EXPECT_TRUE(main.log.empty());
}

}  // namespace
