// Extended form tools: how messages travel through monitors and the active
// tool, how a tool, a task and a task form's choice are selected, and the
// window's task menus.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <tuple>

#include "app/extended_forms/extended_form_tool.h"
#include "platform/form_parts.h"
#include "platform/forms.h"
#include "render/tool_forms/frames.h"
#include "render/tool_forms/standard_image_form.h"
#include "tests/app/tool_groups/tool_groups_fixture.h"

namespace {

class ExtendedFormToolTest : public ToolGroupsTest {
 protected:
  void SetUp() override {
    ToolGroupsTest::SetUp();
    tool.reset(CreateElement<TExtendedFormTool>());
    tool->SetName("Okno");
    tool->NewGroupName("Kreslení");
    group = DynamicCast<TExtendedToolGroup>(tool->FindTool("Kreslení"));
    a = Member("A");
    b = Member("B");
  }
  void TearDown() override {
    tool.reset();
    ToolGroupsTest::TearDown();
  }
  // An interface tool of the drawing group with its own button.
  TJournalTool* Member(const std::string& name) {
    auto* member = new TJournalTool;
    member->SetName(name);
    member->journal = &journal;
    group->AddTool(member);
    group->NewToolAction(name);
    group->SetActualTool(member);
    return member;
  }
  // The mark as the window shows it.
  bool Marked(TTool* member) { return tool->Form()->Window().Checked(group->ActionOfTool(member)->Id()); }
  bool Select(TTool* member) { return Deliver(*tool, TKestuMessage(msgSelectTool, nullptr, tool.get(), member, false)); }

  std::unique_ptr<TExtendedFormTool> tool;
  TExtendedToolGroup* group = nullptr;
  TJournalTool* a = nullptr;
  TJournalTool* b = nullptr;
  std::vector<std::string> journal;
};

TEST_F(ExtendedFormToolTest, MonitorsSeeEveryMessageBeforeTheActiveToolWhichNeverGetsRedrawsOrCursors) {
  tool->NewGroupName("Monitors");
  for (const char* name : {"M1", "M2"}) {
    auto* monitor = new TJournalTool;
    monitor->SetName(name);
    monitor->journal = &journal;
    monitor->handles = {60, 31};
    tool->Monitors()->AddTool(monitor);
  }
  ASSERT_TRUE(Select(a));
  journal.clear();
  struct Row {
    int code;
    std::vector<std::string> order;
  };
  const Row rows[] = {
      {60, {"M1 60", "M2 60", "A 60"}},
      {63, {"M1 63", "M2 63", "A 63"}},
      {31, {"M1 31", "M2 31"}},
      {71, {"M1 71", "M2 71"}},
  };
  for (const Row& row : rows) {
    journal.clear();
    Deliver(*tool, TKestuMessage(row.code, nullptr, tool.get(), nullptr, false));
    EXPECT_EQ(journal, row.order) << "code " << row.code;
  }
}

// The window does not close by its close box: it asks its tool to close instead.
TEST_F(ExtendedFormToolTest, TheCloseBoxAsksTheToolToClose) {
  tool->NewGroupName("Monitors");
  auto* monitor = new TJournalTool;
  monitor->SetName("M");
  monitor->journal = &journal;
  tool->Monitors()->AddTool(monitor);
  EXPECT_FALSE(platform::UserCloseWindow(tool->Form()->Window()));
  RunMessages();
  EXPECT_EQ(journal, std::vector<std::string>{"M " + std::to_string(msgClose)});
}

TEST_F(ExtendedFormToolTest, SelectingAToolHandsTheWindowOverUnlessTheActiveOneRefuses) {
  ASSERT_TRUE(Select(a));
  EXPECT_EQ(tool->GetActiveTool(), a);
  struct Row {
    const char* name;
    TJournalTool* chosen;
    bool refuse;
    TTool* active;
    // The active tool is offered the selection first.
    std::vector<std::string> journal;
    bool aMarked, bMarked;
  };
  const Row rows[] = {
      {"the active tool again", a, false, a, {"A 4"}, true, false},
      {"refused by the active tool", b, true, a, {"A 4"}, true, false},
      {"another tool", b, false, b, {"A 4", "A deactivated", "B activated"}, false, true},
      {"back", a, false, a, {"B 4", "B deactivated", "A activated"}, true, false},
  };
  for (const Row& row : rows) {
    journal.clear();
    DynamicCast<TJournalTool>(tool->GetActiveTool())->refuse = row.refuse;
    Select(row.chosen);
    EXPECT_EQ(tool->GetActiveTool(), row.active) << row.name;
    EXPECT_EQ(journal, row.journal) << row.name;
    EXPECT_EQ(Marked(a), row.aMarked) << row.name;
    EXPECT_EQ(Marked(b), row.bMarked) << row.name;
    DynamicCast<TJournalTool>(tool->GetActiveTool())->refuse = false;
  }
}

TEST_F(ExtendedFormToolTest, AToolThatIsNoWindowPartRunsOnceAndTheActiveOneKeepsItsMark) {
  auto* counter = new TCountingTool;
  counter->SetName("Počítadlo");
  group->AddTool(counter);
  group->NewToolAction("Počítadlo");
  group->SetActualTool(counter);
  Select(a);
  Select(counter);
  EXPECT_EQ(counter->runs, 1);
  EXPECT_EQ(tool->GetActiveTool(), a);
  EXPECT_TRUE(Marked(a));
  EXPECT_FALSE(Marked(counter));
}

TEST_F(ExtendedFormToolTest, AToolWithoutAButtonIsSelectedAndNoMarkIsTouched) {
  auto* plain = new TJournalTool;
  plain->SetName("Bez tlačítka");
  plain->journal = &journal;
  group->AddTool(plain);
  Select(a);
  Select(plain);
  EXPECT_EQ(tool->GetActiveTool(), plain);
  EXPECT_FALSE(Marked(a));
  EXPECT_EQ(journal.back(), "Bez tlačítka activated");
}

TEST_F(ExtendedFormToolTest, MembershipAndDuplicateGroupErrorsOnlyWriteTheirLines) {
  TJournalTool stranger;
  stranger.SetName("Cizí");
  stranger.journal = &journal;
  Select(a);
  Select(&stranger);
  tool->NewGroupName("KRESLENÍ");
  RunMessages();
  EXPECT_EQ(log.lines, (std::vector<std::string>{"Tool: Cizí is not component of Okno",
                                                 "Group named KRESLENÍ already exists !"}));
  EXPECT_EQ(tool->GetActiveTool(), a);
  EXPECT_EQ(tool->ToolCount(), 1);
}

TEST_F(ExtendedFormToolTest, TasksComeFromTheChosenToolAndListInTheMenuLastFirst) {
  tool->NewGroupName("Tasks");
  tool->NewGroupName("TaskTools");
  // The chosen tool holds its model.
  TToolModel* model = Model("Úlohy", {{"První", "TTechnology"}, {"Druhá", "TTechnology"}});
  auto* chosen = CreateElement<TTechnology>();
  chosen->SetSelfModel(model);
  chosen->CreateModelTools();
  Deliver(*tool, TKestuMessage(msgChooseTasks, nullptr, tool.get(), chosen, false));
  platform::Form& window = tool->Form()->Window();
  EXPECT_EQ(window.Items("Tasks"), (std::vector<std::string>{"Druhá", "První"}));
  EXPECT_TRUE(window.MenuItemVisible("Tasks"));

  // Choosing a task posts its start; choosing the current one again nothing.
  TTool* first = tool->Tasks()->GetTool(0);
  mainTool.codes.clear();
  Select(first);
  RunMessages();
  EXPECT_EQ(tool->CurrentTask(), first);
  EXPECT_TRUE(tool->Tasks()->ActionOfTool(first)->Checked());
  EXPECT_EQ(window.Text("TaskTools"), "První");
  Select(first);
  EXPECT_TRUE(tool->Tasks()->ActionOfTool(first)->Checked());
  EXPECT_EQ(tool->CurrentTask(), first);
  // Another task takes the mark from the current one.
  TTool* second = tool->Tasks()->GetTool(1);
  Select(second);
  RunMessages();
  EXPECT_EQ(tool->CurrentTask(), second);
  EXPECT_FALSE(tool->Tasks()->ActionOfTool(first)->Checked());
  EXPECT_TRUE(tool->Tasks()->ActionOfTool(second)->Checked());

  Deliver(*tool, TKestuMessage(msgChooseTasks, nullptr, tool.get(), nullptr, false));
  EXPECT_TRUE(window.Items("Tasks").empty());
  EXPECT_FALSE(window.MenuItemVisible("Tasks"));
  EXPECT_EQ(tool->CurrentTask(), nullptr);
  delete chosen;
}

TEST_F(ExtendedFormToolTest, TheViewMenuShowsAndHidesTheStatusBarAndTheMenu) {
  platform::Form& window = tool->Form()->Window();
  window.Show();
  struct Row {
    const char* action;
    const char* control;
  };
  for (const Row& row : {Row{"StatusbarVisible", "StatusBar"}, Row{"MenuVisible", "MenuBar"}}) {
    ASSERT_TRUE(window.ControlVisible(row.control)) << row.control;
    platform::UserClick(window, row.action);
    EXPECT_FALSE(window.ControlVisible(row.control)) << row.action;
    platform::UserClick(window, row.action);
    EXPECT_TRUE(window.ControlVisible(row.control)) << row.action;
  }
  EXPECT_EQ(window.Items("View"), (std::vector<std::string>{"Status bar", "Menu"}));
}

TEST_F(ExtendedFormToolTest, AFrameMadeFromAModelTakesTheWindowsDeviceAndSitsInTheGroupsBarWithoutAnAction) {
  auto* device = CreateElement<TImageCanvasDevice>();
  tool->SetDevice(device);
  // The frame keeps its model.
  auto* model = new TToolModel;
  model->SetName("Souřadnice");
  model->ElementClassName = "TKestuFrame";
  const std::size_t actions = group->Actions().size();
  auto* frame = DynamicCast<TKestuFrame>(group->CreateToolByModel(model));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetDevice(), device);
  EXPECT_EQ(std::tuple(group->ActionOfTool(frame), group->Actions().size()), std::tuple(nullptr, actions));
  EXPECT_TRUE(platform::FormInToolBar(frame->Frame()->Window(), tool->Form()->Window(), "tb_Kreslení"));
}

TEST_F(ExtendedFormToolTest, AFrameToolIsGivenTheCurrentFrameSelectorWhenSelected) {
  auto* frameTool = new TFrameTool;
  frameTool->SetName("F");
  group->AddTool(frameTool);
  group->NewToolAction("F");
  group->SetActualTool(frameTool);
  auto* selectors = new TTechnology;
  selectors->SetName("FrameSelectors");
  tool->AddTool(selectors);
  auto* selector = new TFrameSelector;
  selectors->AddTool(selector);
  struct Row {
    const char* name;
    TTool* activeSelector;
    TFrameSelector* given;
  };
  const Row rows[] = {{"no current selector", nullptr, nullptr}, {"a current selector", selector, selector}};
  for (const Row& row : rows) {
    selectors->SetActiveTool(row.activeSelector);
    ASSERT_TRUE(Select(a)) << row.name;
    ASSERT_TRUE(Select(frameTool)) << row.name;
    EXPECT_EQ(frameTool->FrameSelector(), row.given) << row.name;
  }
}

}  // namespace
