// The task form: its buttons choose the tool whose tasks are offered.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/tool_groups/task_form.h"
#include "framework/forms/base_forms.h"
#include "framework/values/typed_values.h"
#include "platform/forms.h"
#include "tests/app/tool_groups/tool_groups_fixture.h"
#include "tests/platform/test_bitmaps.h"

namespace {

class TaskFormTest : public ToolGroupsTest {
 protected:
  void SetUp() override {
    ToolGroupsTest::SetUp();
    form = CreateElement<TTaskForm>();
    owner.AddTool(form);
    // The form holds its model.
    TToolModel* model =
        Model("Volba", {{"Lesní", "TTechnology"}, {"|", "TTool"}, {"Mapy", "TTechnology"}, {".", "TTool"}});
    form->SetSelfModel(model);
    form->CreateModelTools();
  }
  void TearDown() override {
    owner.FreeTool(form);
    ToolGroupsTest::TearDown();
  }
  // Presses the button at index and answers what reached the owner.
  std::vector<int> Press(int button) {
    owner.codes.clear();
    owner.data.clear();
    platform::UserClickToolButton(form->Form()->Window(), "ToolBar", button);
    RunMessages();
    return owner.codes;
  }
  bool Marked(int tool) { return form->Bar().ActionOfTool(form->GetTool(tool))->Checked(); }

  TCodeRecorder owner;
  TTaskForm* form = nullptr;
};

TEST_F(TaskFormTest, ModelsMakeButtonsAndSeparatorsOnTheBar) {
  platform::Form& window = form->Form()->Window();
  ASSERT_EQ(form->ToolCount(), 2);
  ASSERT_EQ(window.ToolButtonCount("ToolBar"), 4);
  const bool dividers[] = {false, true, false, false};
  const bool separators[] = {false, true, false, true};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(window.ToolButtonIsSeparator("ToolBar", i), separators[i]) << "button " << i;
    EXPECT_EQ(window.ToolButtonIsDivider("ToolBar", i), dividers[i]) << "button " << i;
  }
  window.Show();
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(window.SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/task_form.png"));
}

TEST_F(TaskFormTest, AChoicePostsItsToolOnceAndMovesTheMark) {
  struct Row {
    const char* name;
    int button;
    std::vector<int> codes;
    int active;
    bool firstMarked, secondMarked;
  };
  const Row rows[] = {
      {"the last one built", 2, {msgChooseTasks}, 1, false, true},
      {"the same again", 2, {}, 1, false, true},
      {"another", 0, {msgChooseTasks}, 0, true, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Press(row.button), row.codes) << row.name;
    EXPECT_EQ(form->GetActiveTool(), form->GetTool(row.active)) << row.name;
    if (!row.codes.empty()) {
      EXPECT_EQ(owner.data.front(), form->GetTool(row.active)) << row.name;
    }
    EXPECT_EQ(Marked(0), row.firstMarked) << row.name;
    EXPECT_EQ(Marked(1), row.secondMarked) << row.name;
  }
}

// An action of no tool still ends the active one: afterwards no tool is active.
TEST_F(TaskFormTest, AChoiceOfNoToolLeavesNoToolActive) {
  form->SetPropertyText("NewToolAction", "bez nástroje");
  const int toolless = form->Form()->Window().ToolButtonCount("ToolBar") - 1;
  Press(0);
  ASSERT_EQ(form->GetActiveTool(), form->GetTool(0));
  EXPECT_EQ(Press(toolless), std::vector<int>{msgChooseTasks});
  EXPECT_EQ(owner.data.front(), nullptr);
  EXPECT_EQ(form->GetActiveTool(), nullptr);
  EXPECT_FALSE(Marked(0));
}

TEST_F(TaskFormTest, PublishedPropertiesReachTheBar) {
  form->SetPropertyText("ButtonWidth", "40");
  form->SetPropertyText("NewToolAction", "x");
  form->SetPropertyText("ActualHint", "nápověda");
  EXPECT_EQ(form->Form()->Window().GetToolBarStyle("ToolBar").ButtonWidth, 40);
  EXPECT_EQ(form->Bar().ActualHint(), "nápověda");
  EXPECT_EQ(form->GetPropertyText("ActualHint"), "nápověda");
}

}  // namespace

namespace {

// The model's pictures go into the form's bar when the model is applied.
TEST_F(TaskFormTest, TheModelsImagesGoIntoTheBar) {
  std::filesystem::create_directories(dir.File("img"));
  WriteBytes(dir.File("img/a.bmp"), HalfKeyedBmp(16, 16, 0x00FF0000));
  auto* pictured = CreateElement<TTaskForm>();
  owner.AddTool(pictured);
  TToolModel* model = Model("Obrázky", {{"Lesní", "TTechnology"}});
  model->Images()->NextValue("img/a.bmp");
  pictured->SetSelfModel(model);
  pictured->ApplyModel();
  ASSERT_EQ(pictured->Bar().Images()->Count(), 1);
  EXPECT_FALSE(pictured->Bar().Images()->Empty(0));
  owner.FreeTool(pictured);
}

}  // namespace
