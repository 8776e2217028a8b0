#include "framework/tools/tools.h"

#include "tests/framework/framework_fixture.h"
#include "tests/framework/tools/tool_probes.h"
#include "framework/core/class_registry.h"
#include "framework/values/tool_models.h"

namespace {

class ToolsTest : public ToolFixture {};

TEST_F(ToolsTest, DispatchesCodesZeroToThreeToTheirHandlers) {
  TRecorder owner;
  TProbeTool* tool = Probe("t");
  owner.AddElement(tool);
  for (int code : {0, 1, 3, 7, 2}) tool->PostMessage(code, tool, nullptr, false);
  RunMessages();
  EXPECT_EQ(calls, (std::vector<std::string>{"code0", "closed:t", "finished", "close", "canclose:t"}));
  // Close answered with one msgToolClosed to the owner, sent by the tool.
  ASSERT_EQ(owner.log.size(), 1u);
  EXPECT_EQ(owner.log[0].code, msgToolClosed);
  EXPECT_EQ(owner.log[0].sender, tool);
}

TEST_F(ToolsTest, UnknownCodesAndCodeZeroOfTheBaseToolStayUnhandled) {
  TTool tool;
  for (int code : {0, 3, 57}) {
    TKestuMessage* message = new TKestuMessage(code, nullptr, &tool, nullptr, false);
    bool handled = true;  // the dispatch clears it first
    tool.ReceiveMessage(message, handled);
    EXPECT_FALSE(handled) << code;
    delete message;
  }
}

TEST_F(ToolsTest, CloseClearsTheRunFlagAndTellsEveryOwner) {
  TRecorder a;
  TRecorder b;
  TProbeTool* tool = Probe("t");
  a.AddElement(tool);
  b.AddElement(tool);
  tool->DoIt();
  EXPECT_TRUE(tool->RunFlag());
  tool->Close();
  EXPECT_FALSE(tool->RunFlag());
  RunMessages();
  ASSERT_EQ(a.log.size(), 1u);
  ASSERT_EQ(b.log.size(), 1u);
  EXPECT_EQ(b.log[0].code, msgToolClosed);
  EXPECT_EQ(Tracked<TTool>::Alive, 1);  // owners that are no technology keep it
}

TEST_F(ToolsTest, CloseRefusedByCanCloseKeepsTheToolOpenAndPostsNothing) {
  TRecorder owner;
  TProbeTool* tool = Probe("t");
  owner.AddElement(tool);
  tool->mayClose = false;
  tool->DoIt();
  tool->Close();
  EXPECT_TRUE(tool->RunFlag());
  EXPECT_EQ(platform::Application::Instance().PendingCount(), 0u);
}

TEST_F(ToolsTest, BreakWorkReadsEitherBreakBitAndFalseClearsBoth) {
  TTool tool;
  EXPECT_FALSE(tool.BreakWork());
  tool.SetRestartRequest(true);
  EXPECT_TRUE(tool.BreakWork());
  tool.SetBreakWork(true);
  tool.SetBreakWork(false);
  EXPECT_FALSE(tool.BreakWork());
  EXPECT_FALSE(tool.RestartRequest());
  tool.SetPropertyText("BreakWork", "True");
  EXPECT_TRUE(tool.BreakWork());
  EXPECT_FALSE(tool.RestartRequest());
}

TEST_F(ToolsTest, FlagPropertiesAreIndependentBits) {
  TTool tool;
  tool.SetPropertyBoolean("Busy", true);
  tool.SetPropertyBoolean("Idle", true);
  EXPECT_TRUE(tool.Busy());
  EXPECT_TRUE(tool.Idle());
  EXPECT_FALSE(tool.InProgress());
  EXPECT_FALSE(tool.BreakWork());
  EXPECT_FALSE(tool.RunFlag());
  tool.SetPropertyBoolean("Busy", false);
  EXPECT_FALSE(tool.Busy());
  EXPECT_TRUE(tool.Idle());
}

TEST_F(ToolsTest, OnlyDynamicToolIsStored) {
  TTool tool;
  std::vector<std::string> stored;
  for (const TPropInfo& prop : TTool::StaticClass()->OwnProps)
    if (prop.IsStoredOn(tool)) stored.push_back(prop.Name);
  EXPECT_EQ(stored, (std::vector<std::string>{"DynamicTool"}));
  tool.SetPropertyText("Error", "12");
  EXPECT_EQ(tool.Error, 12);
}

TEST_F(ToolsTest, InputAndOutputAreReferencesThatReadNilOnceFreed) {
  TTool tool;
  auto* element = new TOwnerElement;
  tool.SetPropertyText("Input", std::to_string(HandleOfElement(element)));
  tool.SetOutput(element);
  EXPECT_EQ(tool.Input(), element);
  EXPECT_EQ(tool.GetPropertyText("Output"), std::to_string(HandleOfElement(element)));
  delete element;
  EXPECT_EQ(tool.Input(), nullptr);
  EXPECT_EQ(tool.Output(), nullptr);
}

TEST_F(ToolsTest, SetParameterUnderAUsedNameFreesThePreviousElement) {
  TTool tool;
  Tracked<TOwnerElement>::Alive = 0;
  auto* first = new Tracked<TOwnerElement>;
  auto* second = new Tracked<TOwnerElement>;
  tool.SetParameter("Vstup", first);
  EXPECT_EQ(tool.GetParameter("vstup"), first);
  tool.SetParameter("Vstup", second);
  EXPECT_EQ(Tracked<TOwnerElement>::Alive, 1);
  EXPECT_EQ(tool.GetParameter("Vstup"), second);
  EXPECT_EQ(tool.GetParameter("Jiný"), nullptr);
  EXPECT_FALSE(tool.NoParameters());
}

TEST_F(ToolsTest, ResettingAParameterToItsElementChangesNothing) {
  TTool tool;
  Tracked<TOwnerElement>::Alive = 0;
  auto* element = new Tracked<TOwnerElement>;
  tool.SetParameter("A", element);
  const int count = tool.GetParameters()->GetCount();
  tool.SetParameter("A", element);
  EXPECT_EQ(Tracked<TOwnerElement>::Alive, 1);
  EXPECT_EQ(tool.GetParameters()->GetCount(), count);
  EXPECT_EQ(element->GetOwnersCount(), 1);
  EXPECT_EQ(tool.GetParameter("A"), element);
}

TEST_F(ToolsTest, NextParameterAddsTheElementUnderItsOwnName) {
  TTool tool;
  EXPECT_TRUE(tool.NoParameters());
  auto* element = new TOwnerElement;
  element->SetName("Soubor");
  tool.SetPropertyText("NextParameter", std::to_string(HandleOfElement(element)));
  EXPECT_EQ(tool.GetParameter("SOUBOR"), element);
}

TEST_F(ToolsTest, ParametersByIndexAndPositionalArguments) {
  TProbeTool* tool = Probe("t");
  auto* element = new TOwnerElement;
  tool->AddParameter(element);
  EXPECT_EQ(tool->GetParameterByIndex(0), element);
  tool->SetParameterByIndex(1, "42");
  EXPECT_EQ(tool->Error, 42);
  tool->SetParameterByIndex(0, "7");  // no property for that position
  EXPECT_EQ(tool->Error, 42);
  tool->FreeParameter(element);
  EXPECT_TRUE(tool->NoParameters());
  delete tool;
}

TEST_F(ToolsTest, SharedParametersOutliveOneOfTheirTools) {
  TTool* a = new TTool;
  TTool b;
  TParameters* shared = a->GetParameters();
  b.SetParameters(shared);
  EXPECT_EQ(shared->GetOwnersCount(), 2);
  b.SetParameters(shared);  // again: nothing changes
  EXPECT_EQ(shared->GetOwnersCount(), 2);
  delete a;
  EXPECT_EQ(b.GetParameters(), shared);
  EXPECT_EQ(shared->GetOwnersCount(), 1);
}

TEST_F(ToolsTest, ProgressMessagesReachTheMainToolInOrder) {
  TTool tool;
  tool.SetProgress(5);  // nothing before a start
  tool.SetProgressText("nic");
  tool.EndProgress();
  EXPECT_EQ(platform::Application::Instance().PendingCount(), 0u);
  tool.StartProgress("Export", 0, 100);
  EXPECT_TRUE(tool.InProgress());
  ASSERT_EQ(main.log.size(), 1u);  // the start ran its messages at once
  tool.SetProgress(40);
  tool.SetProgressText("Linie 40");
  EXPECT_EQ(main.log.size(), 1u);  // steps wait for the loop
  tool.EndProgress();
  EXPECT_FALSE(tool.InProgress());
  ASSERT_EQ(main.log.size(), 4u);
  EXPECT_EQ(main.log[1].code, msgProgress);
  EXPECT_EQ(main.log[2].code, msgProgressText);
  EXPECT_EQ(main.log[2].text, "Linie 40");
  EXPECT_EQ(main.log[3].code, msgProgressEnd);
  for (const Received& r : main.log) EXPECT_EQ(r.sender, &tool);
  EXPECT_EQ(main.progress, (std::vector<std::string>{"Export 0..100 @0", " 0..0 @40"}));
}

TEST_F(ToolsTest, DestroyingAToolInProgressEndsItWithoutLettingMessagesRun) {
  auto* tool = new TTool;
  tool->StartProgress("Uložení", 0, 10);
  main.log.clear();
  TRecorder other;
  other.PostMessage(msgFinished, &other, nullptr, false);
  delete tool;
  EXPECT_TRUE(other.log.empty());
  EXPECT_EQ(platform::Application::Instance().PendingCount(), 2u);
  RunMessages();
  ASSERT_EQ(main.log.size(), 1u);
  EXPECT_EQ(main.log[0].code, msgProgressEnd);
  EXPECT_EQ(main.log[0].sender, nullptr);  // the tool is gone by then
}

TEST_F(ToolsTest, ApplyModelWithoutModelLogsAndLeavesTheToolAlone) {
  TTool tool;
  tool.SetName("X");
  tool.DynamicTool = true;
  tool.ApplyModel();
  RunMessages();
  ASSERT_EQ(main.log.size(), 1u);
  EXPECT_EQ(main.log[0].code, msgLogText);
  EXPECT_EQ(main.log[0].text, "Tool: X class: TTool Has no model!");
  EXPECT_TRUE(tool.DynamicTool);
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
    auto* element = new TOwnerEntity;
    element->SetName(name);
    auto* model = new TElementModel;
    model->SetName(name);
    model->ElementClassName = "TOwnerEntity";
    element->AddElement(model);
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

TEST_F(ToolsTest, ApplyModelSetsPropertiesAndAppliesLinksOfEachPropertyModel) {
  TResultTool tool;
  auto* model = new TToolModel;
  model->DynamicTool = true;
  model->NewPropertyName("Result");
  model->LastPropertyModel()->Value = "Hotovo";
  model->NewPropertyName("Error");
  TPropertyModel* linkOnly = model->LastPropertyModel();
  linkOnly->LinkOnly = true;
  linkOnly->Value = "99";
  LinkedElements linked;
  linkOnly->Links()->AddElement(linked.link);
  tool.SetSelfModel(model);
  tool.ApplyModel();
  EXPECT_EQ(tool.Result, "Hotovo");
  EXPECT_EQ(tool.Error, 0);  // link only: no value
  EXPECT_TRUE(tool.DynamicTool);
  EXPECT_EQ(linked.TimesHeld(), 1);
  tool.ApplyModel();
  EXPECT_EQ(linked.TimesHeld(), 1);
}

TEST_F(ToolsTest, ApplyModelAppliesTheModelsOwnLinks) {
  TTool tool;
  auto* model = new TToolModel;
  LinkedElements linked;
  model->Links()->AddElement(linked.link);
  tool.SetSelfModel(model);
  tool.ApplyModel();
  EXPECT_EQ(linked.TimesHeld(), 1);
}

TEST_F(ToolsTest, StoreToModelWritesPropertyTextsBackEvenForLinkOnlyModels) {
  TResultTool tool;
  auto* model = new TToolModel;
  model->NewPropertyName("Result");
  model->NewPropertyName("Busy");
  model->LastPropertyModel()->LinkOnly = true;
  tool.SetSelfModel(model);
  tool.Result = "Ahoj";
  tool.SetBusy(true);
  tool.StoreToModel();
  auto* properties = model->ModelProperties();
  EXPECT_EQ(static_cast<TPropertyModel*>(properties->GetElement(0))->Value, "Ahoj");
  EXPECT_EQ(static_cast<TPropertyModel*>(properties->GetElement(1))->Value, "True");
}

TEST_F(ToolsTest, SelfModelReplacesTheOldModelAndResettingItIsHarmless) {
  TTool tool;
  Tracked<TToolModel>::Alive = 0;
  auto* first = new Tracked<TToolModel>;
  auto* second = new Tracked<TToolModel>;
  tool.SetSelfModel(first);
  tool.SetSelfModel(first);
  EXPECT_EQ(tool.SelfModel(), first);
  EXPECT_EQ(tool.GetCount(), 1);
  TOwnerEntity keeper;
  keeper.AddElement(second);
  tool.SetPropertyText("SelfModel", std::to_string(HandleOfElement(second)));
  EXPECT_EQ(tool.SelfModel(), second);
  EXPECT_EQ(Tracked<TToolModel>::Alive, 1);  // the first had no other owner
  tool.SetSelfModel(nullptr);
  EXPECT_EQ(tool.SelfModel(), nullptr);
  EXPECT_EQ(Tracked<TToolModel>::Alive, 1);  // the keeper still holds the second
}

TEST_F(ToolsTest, ResultToolsCarryTheirResultUnstored) {
  TElement* text = CreateElementByClassName("ResultTool");
  TElement* flag = CreateElementByClassName("TBooleanTool");
  ASSERT_NE(text, nullptr);
  ASSERT_NE(flag, nullptr);
  text->SetPropertyText("Result", "OK");
  flag->SetPropertyText("Result", "True");
  EXPECT_EQ(static_cast<TResultTool*>(text)->Result, "OK");
  EXPECT_TRUE(static_cast<TBooleanTool*>(flag)->Result);
  EXPECT_FALSE(TResultTool::StaticClass()->FindProp("Result")->IsStoredOn(*text));
  for (const char* name : {"TProgressMessage", "TToolProperties", "TTool", "TTechnology", "TSeqTechnology",
                           "TSelectTechnology"})
    EXPECT_NE(FindKestuClass(name), nullptr) << name;
  EXPECT_EQ(FindKestuClass("TParameters"), nullptr);
  EXPECT_EQ(FindKestuClass("TTools"), nullptr);
  delete text;
  delete flag;
}

}  // namespace
