// The monitors and the test tool bar in a window with tool groups: the
// monitors see the window's messages, the strip sits in its group's bar.
#include "forestry/tools/monitor_frames.h"
#include "forestry/tools/test_control_tool.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/extended_forms/extended_form_tool.h"
#include "forestry/forestry_classes.h"
#include "framework/core/class_registry.h"
#include "platform/form_parts.h"
#include "render/devices/device.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/interaction_events.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"
#include "tests/app/pickers/picker_window.h"
#include "tests/app/tool_groups/tool_groups_fixture.h"

namespace {

// Counts the redraws handed to it.
class TRedrawCount : public TInterpret {
 public:
  int redraws = 0;
  void ReView(TKestuMessage*, bool&) override { ++redraws; }
};

// A window with the groups "Monitors" (both monitors) and "Nástroje" (the
// test tool); the monitors watch the view of a picker window on a square.
class MonitorsWindowTest : public ToolGroupsTest {
 protected:
  void SetUp() override {
    ToolGroupsTest::SetUp();
    RegisterForestryClasses();
    model = new TRectEntity;
    auto* square = new TAreaElement;
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.0, 100.0}, {100.0, 100.0}, {100.0, 0.0}}) square->AddVertex(x, y);
    square->CalcBounds();
    model->AddEntity(square);
    owner.AddElement(model);
    view = std::make_unique<PickerWindow>(owner, model);
    tool.reset(CreateElement<TExtendedFormTool>());
    tool->SetName("Okno");
    tool->NewGroupName("Monitors");
    coords = CreateElement<TCoordMonitorFrame>();
    scale = CreateElement<TScaleMonitorFrame>();
    for (TKestuFrame* frame : {static_cast<TKestuFrame*>(coords), static_cast<TKestuFrame*>(scale)}) {
      tool->Monitors()->AddTool(frame);
      frame->SetDevice(Device());
    }
    tool->NewGroupName("Nástroje");
    tools = DynamicCast<TExtendedToolGroup>(tool->FindTool("Nástroje"));
    testTool = CreateElement<TTestControlTool>();
    tools->AddTool(testTool);
    tool->SetVisible(true);
    // Wide enough for every bar to show whole.
    tool->ExtendedForm()->Window().SetBounds({0, 0, 900, 200});
    RunMessages();
  }
  void TearDown() override {
    tool.reset();
    view.reset();
    owner.Clear();
    ToolGroupsTest::TearDown();
  }
  TDevice* Device() const { return view->manager->GetDevice(); }
  TPageProjection* Projection() const { return Device()->Projection(); }
  platform::Form& Strip(TKestuFrame* frame) { return frame->Frame()->Window(); }
  void Show(const std::string& name) {
    std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
    EXPECT_TRUE(tool->ExtendedForm()->Window().SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/" + name + ".png"));
  }

  TOwnerEntity owner;
  TRectEntity* model = nullptr;
  std::unique_ptr<PickerWindow> view;
  std::unique_ptr<TExtendedFormTool> tool;
  TCoordMonitorFrame* coords = nullptr;
  TScaleMonitorFrame* scale = nullptr;
  TExtendedToolGroup* tools = nullptr;
  TTestControlTool* testTool = nullptr;
};

TEST_F(MonitorsWindowTest, TheCoordinatesUnderTheMouseShowWithAtMostTwoDecimals) {
  struct Row {
    const char* name;
    int code;
    std::int32_t x, y;
    bool shown;
    bool device = true;  // without one there is no map to convert to
  } rows[] = {
      {"a move", msgMouseMove, 40, 50, true},
      {"a move, the monitor without a device", msgMouseMove, 40, 50, false, false},
      {"a drag over", msgDragOver, 70, 20, true},
      {"a button release", msgMouseUp, 10, 10, false},
  };
  for (const Row& row : rows) {
    coords->SetDevice(row.device ? Device() : nullptr);
    Strip(coords).SetText("l_X", "-");
    Strip(coords).SetText("l_Y", "-");
    Deliver(*tool, TKestuMouseEvent(row.code, tool.get(), nullptr, 0, 0, row.x, row.y, true));
    const std::string x = Strip(coords).Text("l_X");
    const std::string y = Strip(coords).Text("l_Y");
    if (!row.shown) {
      EXPECT_EQ(x + " " + y, "- -") << row.name;
      continue;
    }
    EXPECT_NEAR(std::stod(x), Projection()->DeviceToWorldX(row.x), 0.005) << row.name;
    EXPECT_NEAR(std::stod(y), Projection()->DeviceToWorldY(row.y), 0.005) << row.name;
    for (const std::string& text : {x, y}) {
      const std::size_t point = text.find('.');
      EXPECT_TRUE(point == std::string::npos || text.size() - point - 1 <= 2) << row.name << ": " << text;
    }
  }
  platform::Form& window = tool->ExtendedForm()->Window();
  for (TKestuFrame* frame : {static_cast<TKestuFrame*>(coords), static_cast<TKestuFrame*>(scale)}) {
    EXPECT_TRUE(platform::FormInToolBar(Strip(frame), window, tool->Monitors()->ControlName())) << frame->ClassName();
    EXPECT_TRUE(Strip(frame).Visible()) << frame->ClassName();
  }
  EXPECT_TRUE(window.ControlVisible(tool->Monitors()->ControlName()));
  Deliver(*tool, TKestuMouseEvent(msgMouseMove, tool.get(), nullptr, 0, 0, 40, 50, true));
  Deliver(*tool, TKestuMessage(msgReView, nullptr, tool.get(), nullptr, false));
  RunMessages();
  Show("monitors_in_a_window");
}

TEST_F(MonitorsWindowTest, TheScaleShowsWholeFromAHundredAndTwoDecimalsBelow) {
  struct Row {
    double scale, virtualScale;
    const char* shown;
    const char* virtualShown;
  } rows[] = {
      {2500, 5000, "2500", "5000"},
      {12.345, 1000.4, "12.35", "1000"},
      {100.4, 2000, "100", "2000"},
      {99.5, 2000, "99.5", "2000"},
  };
  for (const Row& row : rows) {
    Projection()->SetScale(row.scale);
    Projection()->SetVirtualScale(row.virtualScale);
    Deliver(*tool, TKestuMessage(msgReView, nullptr, tool.get(), nullptr, false));
    EXPECT_EQ(Strip(scale).Text("ed_Scale"), row.shown) << row.scale;
    EXPECT_EQ(Strip(scale).Text("ed_VirtualScale"), row.virtualShown) << row.virtualScale;
  }
}

// The scale monitor is an interface tool first: with an interpret and
// something to show, the redraw is also handed to its interpret.
TEST_F(MonitorsWindowTest, TheScaleMonitorHandsTheRedrawToItsInterpretToo) {
  auto* interpret = new TRedrawCount;
  scale->SetInterpret(interpret);
  scale->SetInput(model);
  Projection()->SetScale(2500);
  Deliver(*tool, TKestuMessage(msgReView, nullptr, tool.get(), nullptr, false));
  EXPECT_EQ(interpret->redraws, 1);
  EXPECT_EQ(Strip(scale).Text("ed_Scale"), "2500");
}

TEST_F(MonitorsWindowTest, TheButtonsWriteTheTextsBackAndAskTheOwnersForARedraw) {
  struct Row {
    const char* button;
    const char* control;
    const char* text;
    double scale, virtualScale;
  } rows[] = {
      {"BitBtn1", "ed_Scale", "1234", 1234, 5000},
      {"BitBtn2", "ed_VirtualScale", "777", 1234, 777},
  };
  Projection()->SetScale(500);
  Projection()->SetVirtualScale(5000);
  TRecorder watcher;
  watcher.AddElement(scale);
  for (const Row& row : rows) {
    watcher.Messages.clear();
    Strip(scale).SetText(row.control, row.text);
    platform::UserClick(Strip(scale), row.button);
    RunMessages();
    EXPECT_EQ(Projection()->Scale(), row.scale) << row.button;
    EXPECT_EQ(Projection()->VirtualScale(), row.virtualScale) << row.button;
    ASSERT_FALSE(watcher.Messages.empty()) << row.button;
    EXPECT_EQ(watcher.Messages.back().Code, msgReView) << row.button;
  }
  watcher.RemoveElement(scale);
}

TEST_F(MonitorsWindowTest, TheTestToolBuildsItsStripInItsGroupsBar) {
  ASSERT_TRUE(testTool->HasControl());
  platform::Form& strip = *testTool->ControlForm();
  EXPECT_TRUE(platform::FormInToolBar(strip, tool->ExtendedForm()->Window(), tools->ControlName()));
  const platform::Bounds bar = strip.GetBounds();
  EXPECT_EQ(std::vector<int>({bar.Width, bar.Height}), std::vector<int>({245, 22}));
  // Each edit centred up and down on the bar 22 high.
  struct Row {
    const char* control;
    int left, top, width, height;
  } rows[] = {{"Ex", 20, (22 - 15) / 2, 100, 15}, {"Ey", 140, (22 - 8) / 2, 100, 8}};
  for (const Row& row : rows) {
    const platform::Bounds at = strip.ControlBounds(row.control);
    EXPECT_EQ(std::vector<int>({at.Left, at.Top, at.Width, at.Height}),
              std::vector<int>({row.left, row.top, row.width, row.height}))
        << row.control;
  }
  EXPECT_EQ(strip.ControlBounds("Ly").Left, 120);
  // The tool's control is the strip itself, placed in the group's bar: no
  // bar area of its own.
  const std::pair<const char*, const char*> published[] = {
      {"Width", "245"}, {"Height", "22"}, {"Left", "0"}, {"Top", "0"}, {"Visible", "True"}, {"Align", "0"}};
  for (const auto& [name, value] : published) EXPECT_EQ(testTool->GetPropertyText(name), value) << name;
  EXPECT_EQ(strip.Text("Lx"), " X: ");
  EXPECT_EQ(strip.Text("Ly"), " Y: ");
  testTool->SetPropertyText("Text", "něco");
  EXPECT_EQ(testTool->GetPropertyText("Text"), "");
  strip.SetText("Ex", "12");
  EXPECT_EQ(strip.Text("Ex"), "12");
  Show("test_tool_bar");
}

}  // namespace
