#include "framework/tools/tools.h"

#include "tests/framework/framework_fixture.h"
#include "tests/framework/tools/tool_probes.h"
#include "framework/core/class_registry.h"
#include "framework/values/tool_models.h"

namespace {

using ToolsTest = ToolFixture;
using Leaf = Tracked<TOwnerElement>;

TEST_F(ToolsTest, DispatchesCodesZeroToThreeAndClosesOnlyWhenItMay) {
  TRecorder a, b;
  TProbeTool* tool = Probe("t");
  a.AddElement(tool);
  for (int code : {0, 1, 3, 7, 2}) tool->PostMessage(code, tool, nullptr, false);
  RunMessages();
  EXPECT_EQ(Join(calls), "code0 closed:t finished close canclose:t");
  EXPECT_EQ(a.Log(), "1<t");  // close answered with one msgToolClosed to the owner
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
  EXPECT_TRUE(tool->RunFlag());
  EXPECT_EQ(Pending(), 0u);
  tool->mayClose = true;
  tool->Close();
  EXPECT_FALSE(tool->RunFlag());
  RunMessages();
  EXPECT_EQ(a.Log() + " " + b.Log(), "1<t, 1<t 1<t");  // every owner is told
  EXPECT_EQ(Tracked<TTool>::Alive, 1);               // owners that are no technology keep it
}

TEST_F(ToolsTest, BreakWorkReadsEitherBreakBit) {
  TTool tool;
  tool.SetPropertyBoolean("Idle", true);
  EXPECT_FALSE(tool.BreakWork());
  tool.SetRestartRequest(true);
  EXPECT_TRUE(tool.BreakWork());
  tool.SetBreakWork(true);
  tool.SetBreakWork(false);  // clears both
  EXPECT_FALSE(tool.BreakWork() || tool.RestartRequest());
  tool.SetPropertyText("BreakWork", "True");
  EXPECT_TRUE(tool.BreakWork() && !tool.RestartRequest());
}

TEST_F(ToolsTest, InputOutputAndParametersFollowTheFreeingRule) {
  TTool tool;
  Leaf::Alive = 0;
  auto* element = new Leaf;
  tool.SetInput(element);
  tool.SetOutput(element);
  delete element;
  EXPECT_EQ(tool.Input(), nullptr);  // references read nil once freed
  EXPECT_EQ(tool.Output(), nullptr);
  EXPECT_TRUE(tool.NoParameters());
  auto* first = new Leaf;
  auto* second = new Leaf;
  tool.SetParameter("Vstup", first);
  const int count = tool.GetParameters()->GetCount();
  tool.SetParameter("Vstup", first);  // again: nothing changes
  EXPECT_EQ(first->GetOwnersCount(), 1);
  EXPECT_EQ(tool.GetParameters()->GetCount(), count);
  tool.SetParameter("Vstup", second);  // a used name frees the previous element
  EXPECT_EQ(Leaf::Alive, 1);
  EXPECT_EQ(tool.GetParameter("vstup"), second);
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
  EXPECT_EQ(tool.GetParameters(), shared);  // shared parameters outlive one of their tools
  EXPECT_EQ(shared->GetOwnersCount(), 1);
}

TEST_F(ToolsTest, ProgressReachesTheMainToolInOrderAndEndsWithTheTool) {
  TTool tool;
  tool.SetProgress(5);  // nothing before a start
  tool.SetProgressText("nic");
  tool.EndProgress();
  EXPECT_EQ(Pending(), 0u);
  tool.StartProgress("Export", 0, 100);
  EXPECT_TRUE(tool.InProgress());
  EXPECT_EQ(main.Log(), "10<TTool Export");  // the start ran its messages at once
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
  EXPECT_TRUE(other.Messages.empty());
  EXPECT_EQ(Pending(), 2u);
  RunMessages();
  EXPECT_EQ(main.Log(), "12<nil");  // the tool is gone by then
}

// Two elements, each described by an element model that sits in it under its
// name, and a link from the first model to the second that nothing holds yet.
struct LinkedElements {
  LinkedElements() : source(Described("zdroj")), target(Described("cil")), link(new TModelLink) {
    link->SetSource(source->FindElementByClass(TElementModel::StaticClass()));
    link->SetDestination(target->FindElementByClass(TElementModel::StaticClass()));
  }
  ~LinkedElements() { target->RemoveElement(source.get()); }
  static TOwnerEntity* Described(const std::string& name) {
    auto* element = Named(name);
    Named<TElementModel>(name, element)->ElementClassName = "TOwnerEntity";
    return element;
  }
  int TimesHeld() const {
    int held = 0;
    for (TElement* child : target->Children()) held += child == source.get();
    return held;
  }
  std::unique_ptr<TOwnerEntity> source;
  std::unique_ptr<TOwnerEntity> target;
  TModelLink* link;
};

TEST_F(ToolsTest, ApplyModelSetsValuesAndAppliesLinksAndStoreToModelWritesThemBack) {
  TResultTool tool;
  tool.SetName("X");
  tool.DynamicTool = true;
  tool.ApplyModel();
  RunMessages();
  EXPECT_EQ(main.Log(), "8<X Tool: X class: TResultTool Has no model!");
  EXPECT_TRUE(tool.DynamicTool);
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
  EXPECT_EQ(tool.Result, "Hotovo");
  EXPECT_EQ(tool.Error, 0);  // link only: no value
  EXPECT_FALSE(tool.DynamicTool);
  EXPECT_EQ(byProperty.TimesHeld() + byModel.TimesHeld(), 2);
  tool.Result = "Ahoj";
  tool.Error = 5;
  tool.StoreToModel();  // even link-only models
  EXPECT_EQ(Join(model->GetPathValueList("ModelProperties.ELEMENT.Value")), "Ahoj 5");
  EXPECT_FALSE(TResultTool::StaticClass()->FindProp("Result")->IsStoredOn(tool));
}

TEST_F(ToolsTest, SelfModelReplacesTheOldModelAndResettingItIsHarmless) {
  TTool tool;
  Tracked<TToolModel>::Alive = 0;
  auto* first = new Tracked<TToolModel>;
  auto* second = new Tracked<TToolModel>;
  tool.SetSelfModel(first);
  tool.SetSelfModel(first);
  EXPECT_EQ(tool.GetCount(), 1);
  TOwnerEntity keeper;
  keeper.AddElement(second);
  tool.SetPropertyText("SelfModel", Handle(second));
  EXPECT_EQ(tool.SelfModel(), second);
  EXPECT_EQ(Tracked<TToolModel>::Alive, 1);  // the first had no other owner
  tool.SetSelfModel(nullptr);
  EXPECT_EQ(Tracked<TToolModel>::Alive, 1);  // the keeper still holds the second
}

}  // namespace
