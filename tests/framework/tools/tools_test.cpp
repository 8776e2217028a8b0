#include "framework/tools/tools.h"

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "framework/values/tool_models.h"

namespace {

// Records which of its dispatch targets ran.
class TProbeTool : public Tracked<TTool> {
 public:
  std::vector<std::string>* calls = nullptr;
  bool mayClose = true;
  void HandleMessageCode0(TKestuMessage*, bool& handled) override {
    calls->push_back("code0");
    handled = true;
  }
  void ToolClosed(TKestuMessage* message, bool& handled) override {
    calls->push_back("closed:" + (message->Sender() ? message->Sender()->GetName() : std::string("nil")));
    TTool::ToolClosed(message, handled);
  }
  void Close() override {
    calls->push_back("close");
    TTool::Close();
  }
  void ToolFinished(TKestuMessage*, bool&) override { calls->push_back("finished"); }
  bool CanClose() override {
    calls->push_back("canclose:" + GetName());
    return mayClose;
  }
  void GetParameterName(int index, std::string& name) override { name = index == 1 ? "Error" : ""; }
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
  static std::size_t Pending() { return platform::Application::Instance().PendingCount(); }

  std::vector<std::string> calls;
  TRecorder main;
};

using ToolsTest = ToolFixture;
using Leaf = Tracked<TOwnerElement>;

TEST_F(ToolsTest, DispatchesCodesZeroToThreeAndClosesOnlyWhenItMay) {
  TRecorder a, b;
  TProbeTool* tool = Probe("t");
  a.AddElement(tool);
  for (int code : {0, 1, 3, 7, 2}) tool->PostMessage(code, tool, nullptr, false);
  RunMessages();
  // close answered with one msgToolClosed to the owner
  EXPECT_EQ(Join(calls) + " | " + a.Log(), "code0 closed:t finished close canclose:t | 1<t");
  TTool plain;
  for (int code : {0, 3, 57}) {  // unknown codes and code 0 of the base tool stay unhandled
    std::unique_ptr<TKestuMessage> message(new TKestuMessage(code, nullptr, &plain, nullptr, false));
    TKestuMessage* received = message.get();
    bool handled = true;  // the dispatch clears it first
    plain.ReceiveMessage(received, handled);
    EXPECT_FALSE(handled) << code;
  }
  b.AddElement(tool);
  tool->mayClose = false;
  tool->DoIt();
  tool->Close();
  EXPECT_TRUE(tool->RunFlag() && Pending() == 0);
  tool->mayClose = true;
  tool->Close();
  EXPECT_FALSE(tool->RunFlag());
  RunMessages();
  EXPECT_EQ(a.Log() + " " + b.Log(), "1<t, 1<t 1<t");  // every owner is told
  EXPECT_EQ(Tracked<TTool>::Alive, 1);               // owners that are no technology keep it
}

TEST_F(ToolsTest, BreakBitsInputOutputParametersAndSelfModelFollowTheirRules) {
  TTool tool;
  tool.SetPropertyBoolean("Idle", true);
  EXPECT_FALSE(tool.BreakWork());
  tool.SetRestartRequest(true);
  EXPECT_TRUE(tool.BreakWork());  // either break bit
  tool.SetBreakWork(true);
  tool.SetBreakWork(false);  // clears both
  EXPECT_FALSE(tool.BreakWork() || tool.RestartRequest());
  tool.SetPropertyText("BreakWork", "True");
  EXPECT_TRUE(tool.BreakWork() && !tool.RestartRequest());
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
  auto* positional = new TOwnerElement;
  probe->AddParameter(positional);
  EXPECT_EQ(probe->GetParameterByIndex(0), positional);
  probe->FreeParameter(positional);
  EXPECT_TRUE(probe->NoParameters());
  probe->SetParameterByIndex(1, "42");
  probe->SetParameterByIndex(0, "7");  // no property for that position
  EXPECT_EQ(probe->Error, 42);
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

TEST_F(ToolsTest, ProgressReachesTheMainToolInOrderAndEndsWithTheTool) {
  TTool tool;
  tool.SetProgress(5);  // nothing before a start
  tool.SetProgressText("nic");
  tool.EndProgress();
  EXPECT_EQ(Pending(), 0u);
  tool.StartProgress("Export", 0, 100);
  EXPECT_TRUE(tool.InProgress() && main.Log() == "10<TTool Export");  // the start ran its messages at once
  tool.SetProgress(40);
  tool.SetProgressText("Linie 40");
  EXPECT_EQ(main.Messages.size(), 1u);  // steps wait for the loop
  tool.EndProgress();
  EXPECT_FALSE(tool.InProgress());
  EXPECT_EQ(main.Log(), "10<TTool Export, 11<TTool, 13<TTool Linie 40, 12<TTool");
  EXPECT_EQ(std::to_string(main.Messages[0].Max) + " " + std::to_string(main.Messages[1].Progress), "100 40");
  auto* doomed = new TTool;
  doomed->StartProgress("Uložení", 0, 10);
  main.Messages.clear();
  TRecorder other;
  other.PostMessage(msgFinished, &other, nullptr, false);
  delete doomed;  // ends its progress without letting messages run
  EXPECT_TRUE(other.Messages.empty() && Pending() == 2);
  RunMessages();
  EXPECT_EQ(main.Log(), "12<nil");  // the tool is gone by then
}

// Two elements, each described by an element model that sits in it under its
// name, and a link from the first model to the second that nothing holds yet.
struct LinkedElements {
  static TOwnerEntity* Described(const std::string& name) {
    auto* element = Named(name);
    Named<TElementModel>(name, element)->ElementClassName = "TOwnerEntity";
    return element;
  }
  LinkedElements() {
    link->SetSource(source->GetElement(0));
    link->SetDestination(target->GetElement(0));
  }
  ~LinkedElements() { target->RemoveElement(source.get()); }
  std::unique_ptr<TOwnerEntity> source{Described("zdroj")}, target{Described("cil")};
  TModelLink* link = new TModelLink;
};

TEST_F(ToolsTest, ApplyModelSetsValuesAndAppliesLinksAndStoreToModelWritesThemBack) {
  TResultTool tool;
  tool.SetName("X");
  tool.DynamicTool = true;
  tool.ApplyModel();
  RunMessages();
  EXPECT_TRUE(main.Log() == "8<X Tool: X class: TResultTool Has no model!" && tool.DynamicTool);
  auto* model = new TToolModel;
  model->NewPropertyName("Result");
  model->LastPropertyModel()->Value = "Hotovo";
  model->NewPropertyName("Error");
  TPropertyModel* linkOnly = model->LastPropertyModel();
  linkOnly->LinkOnly = true;
  linkOnly->Value = "99";
  LinkedElements byProperty, byModel;
  linkOnly->Links()->AddElement(byProperty.link);
  model->Links()->AddElement(byModel.link);
  tool.SetSelfModel(model);
  tool.ApplyModel();
  tool.ApplyModel();
  // link only: no value
  EXPECT_EQ(tool.Result + std::to_string(tool.Error) + std::to_string(tool.DynamicTool), "Hotovo00");
  EXPECT_EQ(byProperty.target->GetCount() + byModel.target->GetCount(), 2 + 2);  // each model and its source once
  tool.Result = "Ahoj";
  tool.Error = 5;
  tool.StoreToModel();  // even link-only models
  EXPECT_EQ(Join(model->GetPathValueList("ModelProperties.ELEMENT.Value")), "Ahoj 5");
  EXPECT_FALSE(TResultTool::StaticClass()->FindProp("Result")->IsStoredOn(tool));
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

TEST_F(TechnologyTest, SubToolsCloseOnceAndATechnologyOnlyWhenEachMay) {
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
  TTools loose;  // without a technology it ignores them
  TProbeTool* d = Probe("d");
  loose.AddElement(d);
  d->PostMessage(msgClose, d, nullptr, false);
  RunMessages();
  EXPECT_EQ(loose.IndexOf(d), 0);
  calls.clear();  // a technology closes only when every sub-tool may
  TRecorder owner;
  auto* closing = new TTechnology;
  owner.AddElement(closing);
  closing->SetName("T");
  TProbeTool* second = Probe("b");
  for (TProbeTool* tool : {Probe("a"), second, Probe("c")}) closing->AddTool(tool);
  second->mayClose = false;
  closing->DoIt();
  closing->Close();
  EXPECT_EQ(Join(calls), "canclose:a canclose:b");  // "c" is not asked
  EXPECT_TRUE(closing->RunFlag());
  second->mayClose = true;
  closing->Close();
  EXPECT_FALSE(closing->RunFlag());
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
  for (const auto& [index, active] : {std::pair<int, TTool*>{1, b}, {-5, nullptr}, {2, nullptr}}) {
    technology.SetActiveIndex(index);
    EXPECT_EQ(technology.GetActiveTool(), active) << index;  // outside the list means none
  }
  technology.SetPropertyText("ToolToRemove", Handle(a));
  technology.SetPropertyText("ToolToFree", Handle(b));
  EXPECT_TRUE(technology.NoTools() && Tracked<TTool>::Alive == 2);  // "a" only removed, "b" kept by the keeper
  delete a;
  TTool* field = nullptr;
  TProbeTool* c = Probe("c");
  technology.ReplaceTool(field, c);
  technology.ReplaceTool(field, c);  // the same again changes nothing
  technology.ReplaceTool(field, Probe("d"));
  EXPECT_EQ(std::to_string(Tracked<TTool>::Alive) + " " + ToolNames(technology), "2 d");
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
  EXPECT_EQ(Join(trail) + " -> " + select.Output()->GetName(), "b:root else:root else:root -> c1");
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
  EXPECT_TRUE(result->SelfModel() == resultModel && resultModel->GetOwnersCount() == 2);  // the tool list and the tool
  auto* sequence = static_cast<TSeqTechnology*>(technology.GetTool(1));
  EXPECT_EQ(ToolNames(*sequence) + " " + sequence->GetTool(0)->ClassName(), "vnitřní TBooleanTool");
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
  EXPECT_TRUE(dynamic.SelIndex == 3 && dynamic.DynamicTool && dynamic.NoTools());
}

}  // namespace
