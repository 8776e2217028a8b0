// Tool groups: buttons and actions made from tool models and scripts, their
// images, what a press does, and clearing.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <tuple>

#include "app/extended_forms/extended_form_tool.h"
#include "app/tool_groups/tool_groups.h"
#include "platform/forms.h"
#include "platform/pictures.h"
#include "tests/app/tool_groups/tool_groups_fixture.h"
#include "tests/platform/test_bitmaps.h"

namespace {

class ToolGroupTest : public ToolGroupsTest {
 protected:
  void SetUp() override {
    ToolGroupsTest::SetUp();
    form = std::make_unique<TExtendedKESTU_Form>();
    group = CreateElement<TExtendedToolGroup>();
    group->SetName("Edit");
    owner.AddTool(group);
    group->SetForm(form.get());
  }
  void TearDown() override {
    owner.FreeTool(group);
    form.reset();
    ToolGroupsTest::TearDown();
  }
  platform::Form& Window() { return form->Window(); }

  std::unique_ptr<TExtendedKESTU_Form> form;
  TCodeRecorder owner;
  TExtendedToolGroup* group = nullptr;
};

TEST_F(ToolGroupTest, ModelsNamedDotOrBarMakeSeparatorsAndOthersATool) {
  std::unique_ptr<TToolModel> model(
      Model("Edit", {{".", "TTool"}, {"Kresli", "TTool"}, {"|", "TTool"}, {"Vnořená", "TExtendedToolGroup"}}));
  TToolModel* drawModel = DynamicCast<TToolModel>(model->ModelTools()->GetElement(1));
  drawModel->Comment = "Kreslí čáru";
  drawModel->ImageIndex = 3;
  group->SetSelfModel(model.get());
  group->CreateModelTools();

  ASSERT_EQ(group->ToolCount(), 2) << "only Kresli and Vnořená are tools";
  struct Row {
    int button;
    bool separator, divider;
  };
  const Row rows[] = {{0, true, false}, {1, false, false}, {2, true, true}};
  ASSERT_EQ(Window().ToolButtonCount("tb_Edit"), 3);
  for (const Row& row : rows) {
    EXPECT_EQ(Window().ToolButtonIsSeparator("tb_Edit", row.button), row.separator) << "button " << row.button;
    EXPECT_EQ(Window().ToolButtonIsDivider("tb_Edit", row.button), row.divider) << "button " << row.button;
  }
  ASSERT_EQ(group->Actions().size(), 1u) << "a control tool gets no action";
  group->FindActionName("action_kresli");
  ASSERT_NE(group->Actual(), nullptr);
  EXPECT_EQ(group->ActualTool(), group->GetTool(0));
  EXPECT_EQ(group->Actual()->Caption(), "Kresli");
  EXPECT_EQ(group->ActualHint(), "Kreslí čáru");
  EXPECT_EQ(Window().Hint(group->Actual()->Id()), "Kreslí čáru") << "the window shows the hint";
  EXPECT_EQ(group->ActualImageIndex(), 3);
  EXPECT_EQ(Window().ToolButtonCursor("tb_Edit", 1), -21);
  EXPECT_EQ(Window().ControlCursor("tb_Edit"), -12) << "the bar itself shows the drag cursor";
  group->FindActionName("Action_Nic");
  EXPECT_EQ(group->Actual(), nullptr);
}

TEST_F(ToolGroupTest, ImagesAreTakenFromTheProgramFolderUnlessTheNameIsAbsolute) {
  std::filesystem::create_directories(dir.File("img"));
  std::filesystem::create_directories(dir.File("other"));
  WriteBytes(dir.File("img/a.bmp"), HalfKeyedBmp(16, 16, 0x00FF0000));
  WriteBytes(dir.File("other/b.bmp"), HalfKeyedBmp(40, 40, 0x000000FF));
  struct Row {
    std::string name;
    bool read;
  };
  const Row rows[] = {
      {"img/a.bmp", true},        {"img\\a.bmp", true},    {dir.File("other/b.bmp"), true},
      {"other\\b.bmp", true},     {"a.bmp", false},        {"img/none.bmp", false},
  };
  int index = 0;
  for (const Row& row : rows) {
    log.lines.clear();
    group->NewImage(row.name);
    RunMessages();
    ASSERT_EQ(group->Images()->Count(), index + 1) << row.name;
    EXPECT_EQ(group->Images()->Empty(index), !row.read) << row.name;
    EXPECT_EQ(log.lines.size(), row.read ? 0u : 1u) << row.name;
    ++index;
  }
  EXPECT_EQ(log.lines, std::vector<std::string>{"Image " + dir.File("img/none.bmp") + " was not read"});
}

TEST_F(ToolGroupTest, ImagesAddedAfterTheActionsLeaveEachActionItsOwnIndex) {
  // A model's actions are made before its images come.
  WriteBytes(dir.File("a.bmp"), HalfKeyedBmp(16, 16, 0x00FF0000));
  struct Row {
    std::string name;
    std::int32_t index;
  };
  const Row rows[] = {
      {"first image", 0}, {"second image", 1}, {"beyond the images", 4}, {"no image", -1},
  };
  for (const Row& row : rows) {
    group->NewToolAction(row.name);
    group->SetActualImageIndex(row.index);
  }
  group->NewImage("a.bmp");
  group->NewImage("a.bmp");
  for (const Row& row : rows) {
    group->FindActionName(row.name);
    ASSERT_NE(group->Actual(), nullptr) << row.name;
    EXPECT_EQ(group->ActualImageIndex(), row.index) << row.name;
  }
}

// What the user sees: the action's picture on its button, and none once the
// action has no picture.
TEST_F(ToolGroupTest, AnActionsPictureShowsOnItsButton) {
  constexpr std::uint32_t kBlue = 0x00FF0000;
  WriteBytes(dir.File("a.bmp"), HalfKeyedBmp(16, 16, kBlue));
  group->NewImage("a.bmp");
  group->NewToolAction("s obrázkem");
  Window().Show();
  const auto bluePixels = [this, kBlue] {
    const std::string shot = dir.File("bar.png");
    EXPECT_TRUE(Window().SaveImage(shot));
    const platform::DecodedPicture picture = platform::DecodePictureFile(shot);
    int count = 0;
    for (int y = 0; y < picture.Height; ++y)
      for (int x = 0; x < picture.Width; ++x) count += picture.At(x, y) == kBlue;
    return count;
  };
  for (const std::int32_t index : {0, -1}) {
    group->SetActualImageIndex(index);
    EXPECT_EQ(bluePixels() > 0, index == 0) << "image " << index;
  }
}

TEST_F(ToolGroupTest, AToolButtonPostsItsToolToTheOwnersAndRunsItWhenDirect) {
  TCountingTool tool;
  tool.SetName("Nástroj");
  group->NewToolAction("Nástroj");
  group->SetActualTool(&tool);
  group->SetActualHint("Pomoc");
  auto* action = dynamic_cast<TToolAction*>(group->Actual());
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->Name(), "Action_Nástroj");

  struct Row {
    const char* name;
    bool direct;
    int runs;
  };
  for (const Row& row : {Row{"selecting", false, 0}, Row{"direct", true, 1}}) {
    owner.codes.clear();
    owner.data.clear();
    tool.runs = 0;
    action->DirectExecute = row.direct;
    platform::UserClickToolButton(Window(), "tb_Edit", 0);
    RunMessages();
    EXPECT_EQ(owner.codes, std::vector<int>{msgSelectTool}) << row.name;
    EXPECT_EQ(owner.data, std::vector<TElement*>{&tool}) << row.name;
    EXPECT_EQ(tool.runs, row.runs) << row.name;
    EXPECT_FALSE(Window().Checked(action->Id())) << row.name << ": a press leaves the mark to the program";
  }
  platform::UserContextMenuToolButton(Window(), "tb_Edit", 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Hint: Pomoc"});
}

TEST_F(ToolGroupTest, AScriptActionRunsItsFileAndKeepsTheNameAbsolute) {
  auto* forest = new TOwnerEntity();
  forest->SetName("LES");
  forest->AddNew("TOwnerEntity", "a");
  world->AddElement(forest);
  std::filesystem::create_directories(dir.File("skripty"));
  WriteCp1250File(dir.File("skripty/přejmenuj.kes"), "LES.a.Name = 'přejmenováno'\r\n");
  group->NewScriptAction("");
  group->SetActualScript("skripty\\přejmenuj.kes");
  platform::UserClickToolButton(Window(), "tb_Edit", 0);
  EXPECT_EQ(group->ActualScript(), dir.File("skripty/přejmenuj.kes"));
  EXPECT_EQ(forest->GetElement(0)->GetName(), "přejmenováno");
  forest->GetElement(0)->SetName("a");
  platform::UserClickToolButton(Window(), "tb_Edit", 0);
  EXPECT_EQ(group->ActualScript(), dir.File("skripty/přejmenuj.kes"));
  EXPECT_EQ(forest->GetElement(0)->GetName(), "přejmenováno");
  EXPECT_TRUE(Boxes().empty());

  group->SetActualScript("chybí.kes");
  platform::UserClickToolButton(Window(), "tb_Edit", 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Skriptový soubor " + dir.File("chybí.kes") + " nenalezen !"});
}

TEST_F(ToolGroupTest, ActualPropertiesWithoutAnActionReadEmptyAndIgnoreWrites) {
  group->SetActualCaption("x");
  group->SetActualHint("x");
  group->SetActualImageIndex(2);
  group->SetActualScript("x");
  group->SetActualVisible(false);
  group->SetActualShortCut("Ctrl+S");
  EXPECT_EQ(group->ActualCaption(), "");
  EXPECT_EQ(group->ActualHint(), "");
  EXPECT_EQ(group->ActualImageIndex(), -1);
  EXPECT_EQ(group->ActualScript(), "");
  EXPECT_EQ(group->ActualTool(), nullptr);
  EXPECT_FALSE(group->ActualVisible());
  EXPECT_EQ(group->ActualShortCut(), "");
}

TEST_F(ToolGroupTest, AShortCutTextThatNamesNoKeyGivesNone) {
  group->NewToolAction("a");
  for (auto [text, shown] : {std::pair{"Ctrl+S", "Ctrl+S"}, std::pair{"", ""}, std::pair{"Ctrl+", ""},
                             std::pair{"F6", "F6"}, std::pair{"Ctrl+Q,Ctrl+W", ""}}) {
    group->SetActualShortCut(text);
    EXPECT_EQ(group->ActualShortCut(), shown) << '"' << text << '"';
  }
}

TEST_F(ToolGroupTest, AlignMovesTheBarToOneOfTheFourSidesAndIgnoresOtherValues) {
  struct Row {
    std::uint8_t align;
    platform::BarArea area;
  };
  const Row rows[] = {{3, platform::BarArea::Left},   {2, platform::BarArea::Bottom}, {0, platform::BarArea::Bottom},
                      {4, platform::BarArea::Right},  {9, platform::BarArea::Right},  {1, platform::BarArea::Top}};
  for (const Row& row : rows) {
    group->SetAlign(row.align);
    EXPECT_EQ(group->Align(), row.align) << int(row.align);
    EXPECT_EQ(Window().ToolBarArea("tb_Edit"), row.area) << int(row.align);
  }
}

TEST_F(ToolGroupTest, AGroupsPlaceAndSizeAreThoseOfItsBarOnTheSideItWasMovedTo) {
  group->NewToolAction("a");
  group->NewToolAction("b");
  platform::UserResize(Window(), 600, 400);
  struct Row {
    const char* side;
    std::uint8_t align;
    std::function<bool(int left, int top, int width, int height)> placed;
  };
  const Row rows[] = {
      {"top", 1, [](int, int, int width, int height) { return width > height; }},
      {"bottom", 2, [](int, int top, int, int) { return top > 200; }},
      {"left", 3, [](int, int, int width, int height) { return height > width; }},
      {"right", 4, [](int left, int, int, int) { return left > 300; }},
  };
  for (const Row& row : rows) {
    group->SetAlign(row.align);
    const int left = group->GetLeft(), top = group->GetTop(), width = group->Width(), height = group->Height();
    EXPECT_TRUE(row.placed(left, top, width, height))
        << row.side << ": " << left << "," << top << " " << width << "x" << height;
  }
}

TEST_F(ToolGroupTest, AControlToolWithoutAControlReadsZeroAndIgnoresWrites) {
  TControlTool tool;
  tool.SetAlign(3);
  tool.SetVisible(true);
  EXPECT_EQ(tool.Align(), 0);
  EXPECT_EQ(tool.GetLeft(), 0);
  EXPECT_EQ(tool.GetTop(), 0);
  EXPECT_EQ(tool.Width(), 0);
  EXPECT_EQ(tool.Height(), 0);
  EXPECT_FALSE(tool.Visible());
  // A group outside any window has a bar of no size.
  std::unique_ptr<TExtendedToolGroup> loose(CreateElement<TExtendedToolGroup>());
  EXPECT_EQ(std::tuple(loose->ButtonWidth(), loose->ButtonHeight(), loose->Flat()), std::tuple(0, 0, false));
  // Taken out of its window, a group keeps its bar's name but has no bar to change.
  const platform::ToolBarStyle before = Window().GetToolBarStyle("tb_Edit");
  group->SetForm(nullptr);
  group->SetFlat(!before.Flat);
  group->SetButtonHeight(before.ButtonHeight + 30);
  const platform::ToolBarStyle after = Window().GetToolBarStyle("tb_Edit");
  EXPECT_EQ(std::tuple(group->Flat(), group->ButtonHeight(), after.Flat, after.ButtonHeight),
            std::tuple(false, 0, before.Flat, before.ButtonHeight));
}

TEST_F(ToolGroupTest, ClearingLeavesNoButtonActionImageOrTool) {
  WriteBytes(dir.File("a.bmp"), HalfKeyedBmp(16, 16, 0x00FF0000));
  group->NewImage("a.bmp");
  TCountingTool* tool = new TCountingTool;
  tool->SetName("t");
  group->AddTool(tool);
  group->NewToolAction("t");
  group->SetActualTool(tool);
  group->NewSeparator("|");
  group->SetShowCaptions(true);
  group->SetActiveTool(tool);
  group->ClearGroup();
  EXPECT_EQ(Window().ToolButtonCount("tb_Edit"), 0);
  EXPECT_TRUE(group->Actions().empty());
  EXPECT_EQ(group->Actual(), nullptr);
  EXPECT_EQ(group->Images()->Count(), 0);
  EXPECT_EQ(group->ToolCount(), 0);
  EXPECT_EQ(group->GetActiveTool(), nullptr);
  EXPECT_TRUE(group->ShowCaptions());
  TCountingTool* next = new TCountingTool;
  group->AddTool(next);
  EXPECT_EQ(group->GetActiveTool(), nullptr) << "a tool added after clearing is not active";
}

TEST_F(ToolGroupTest, ASubGroupsBarBecomesAnItemOfTheGroupsBar) {
  auto* inner = CreateElement<TExtendedToolGroup>();
  inner->SetName("Vnitřní");
  inner->SetForm(form.get());
  inner->NewToolAction("x");
  group->AddTool(inner);
  EXPECT_EQ(Window().ToolButtonCount("tb_Edit"), 1);
  EXPECT_EQ(Window().ToolButtonCount("tb_Vnitřní"), 1) << "the inner bar keeps its buttons";
  TCountingTool plain;
  group->AddTool(&plain);
  EXPECT_EQ(Window().ToolButtonCount("tb_Edit"), 1) << "a tool without a control adds nothing";
  group->RemoveTool(&plain);
}

}  // namespace
