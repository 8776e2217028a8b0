#include "forestry/hierarchy/psk_selector.h"

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "forestry/hierarchy/groupper.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "framework/tools/world.h"
#include "tests/app/pickers/editor_stand_in.h"
#include "tests/app/pickers/picker_window.h"
#include "tests/forestry/forestry_fixture.h"

namespace {

using Panels = std::vector<std::string>;

// The object model's DATA/HIERARCHY built by the grouping tool from three
// stand areas 10 by 10, shown in a window:
//   A: 101/12/a/3/2 at (0,0) with a 4 by 4 hole in its middle
//   B: 101/12/a/3/2 at (10,0)
//   C: 101/12/b/1/1 at (0,10)
class PSKSelectorTest : public ForestryTest {
 protected:
  void SetUp() override {
    ForestryTest::SetUp();
    RegisterEditorStandIn();
    world = std::make_unique<TWorld>();
    SetWorld(world.get());
    editorsOwner = new TTechnology;
    world->SetMainTool(editorsOwner);
    MainTool = &owner;
    auto* data = new TOwnerEntity;
    data->SetName("DATA");
    world->ObjectModel()->AddElement(data);
    auto* hierarchy = new TRectEntity;
    hierarchy->SetName("HIERARCHY");
    data->AddElement(hierarchy);
    TGroupper groupper;
    GroupStandsInto(groupper, hierarchy);
    map = new TRectEntity;
    map->SetName("map");
    PlaceStands(groupper,
                {{"A", {"101", "12", "a", "3", "2"}, 0, 0, 4},
                 {"B", {"101", "12", "a", "3", "2"}, 10, 0, 0},
                 {"C", {"101", "12", "b", "1", "1"}, 0, 10, 0}},
                [this](TAreaElement* area) { map->AddEntity(area); });
    window = std::make_unique<PickerWindow>(owner, map);
    noted = new TNotedTool;
    owner.AddElement(noted);
  }
  void TearDown() override {
    window.reset();
    owner.Clear();
    SetWorld(nullptr);
    world.reset();
    ForestryTest::TearDown();
  }
  TPSKSelector* Selected() {
    auto* selector = CreateElement<TPSKSelector>();
    selector->SetOnSelect(noted);
    window->Select(selector);
    noted->runs = 0;
    noted->input = noted->ftm = nullptr;
    return selector;
  }
  Panels PanelTexts() {
    Panels texts;
    for (int i = 0; i < 5; ++i) texts.push_back(window->manager->Form()->PanelText(i));
    return texts;
  }
  TElement* Area(const std::string& name) { return map->FindElementByName(name); }

  std::unique_ptr<TWorld> world;
  TTechnology* editorsOwner = nullptr;
  TLineRecorder owner;
  TRectEntity* map = nullptr;
  std::unique_ptr<PickerWindow> window;
  TNotedTool* noted = nullptr;
};

TEST_F(PSKSelectorTest, TheMouseShowsTheKeysOfTheStandAreaUnderItInTheFivePanels) {
  // D: a block's stand area 3 by 3 at (16,16) whose attribute table cannot
  // be read; the hierarchy files it under the groups of empty keys.
  TLumarBlockRegister block;
  block.SetName(folder.Path());
  WriteCp1250File(File("P0000.DBF"), "no table at all");
  auto* d = Filed<TAreaElement, TLumarAreaProps>(block, 1, 0);
  for (const auto& [x, y] : {std::pair{16, 16}, {16, 19}, {19, 19}, {19, 16}}) d->AddVertex(x, y);
  d->CalcBounds();
  map->AddEntity(d);
  TGroupper groupper;
  auto* data = DynamicCast<TEntity>(world->ObjectModel()->FindElementByName("DATA"));
  GroupStandsInto(groupper, DynamicCast<TEntity>(data->FindElementByName("HIERARCHY")));
  groupper.SetInput(d);
  groupper.DoIt();
  Selected();
  EXPECT_EQ(window->manager->GetImageCursor(), 18);
  struct Row {
    const char* name;
    double x, y;
    Panels panels;
  };
  const Panels none(5, "");
  const Row rows[] = {
      {"in A", 2, 2, {"101", "12", "a", "3", "2"}},  {"in A's hole", 5, 5, none},
      {"in C", 5, 15, {"101", "12", "b", "1", "1"}}, {"in no area", 15, 15, none},
      {"in B", 15, 5, {"101", "12", "a", "3", "2"}}, {"in D, its keys unread", 17.5, 17.5, none},
  };
  for (const Row& row : rows) {
    for (int i = 0; i < 5; ++i) window->manager->Form()->SetPanelText(i, "stale");
    window->Mouse(platform::MouseAction::Move, window->At(row.x, row.y));
    EXPECT_EQ(PanelTexts(), row.panels) << row.name;
    EXPECT_FALSE(window->Window().Text("l_x").empty()) << row.name << ": the window still shows the point";
  }
}

TEST_F(PSKSelectorTest, ABusyLookupLeavesThePanelsAsTheyAre) {
  TPSKSelector* selector = Selected();
  for (int i = 0; i < 5; ++i) window->manager->Form()->SetPanelText(i, "kept");
  selector->Lookup()->SetBusy(true);
  window->Mouse(platform::MouseAction::Move, window->At(2, 2));
  EXPECT_EQ(PanelTexts(), Panels(5, "kept"));
  selector->Lookup()->SetBusy(false);
  window->Mouse(platform::MouseAction::Move, window->At(2, 2));
  EXPECT_EQ(PanelTexts(), (Panels{"101", "12", "a", "3", "2"}));
}

TEST_F(PSKSelectorTest, ALeftClickOnAStandAreaHandsItOnWithTheWindowsManager) {
  struct Row {
    const char* name;
    double x, y;
    std::uint8_t button;
    const char* picked;
  };
  const Row rows[] = {
      {"in A", 2, 2, 0, "A"},
      {"in C", 5, 15, 0, "C"},
      {"in A's hole", 5, 5, 0, nullptr},
      {"in no area", 15, 15, 0, nullptr},
      {"the right button in A", 2, 2, 1, nullptr},
  };
  for (const Row& row : rows) {
    TPSKSelector* selector = Selected();
    window->Clear();
    const std::vector<platform::ColorValue> before = window->Pixels();
    const TDevicePoint at = window->At(row.x, row.y);
    window->Mouse(platform::MouseAction::Move, at);
    window->Click(at, row.button);
    TElement* picked = row.picked ? Area(row.picked) : nullptr;
    EXPECT_EQ(std::tuple(selector->Output(), noted->runs, noted->input, noted->ftm),
              std::tuple(picked, picked ? 1 : 0, picked, picked ? window->manager : nullptr))
        << row.name;
    EXPECT_EQ(window->Pixels() != before, picked != nullptr) << row.name << ": marked";
    EXPECT_EQ(platform::LastPopup().Menu == "pm_Image", row.button == 1) << row.name << ": the window's menu";
  }
}

TEST_F(PSKSelectorTest, ShowingTheChosenAreaOpensTheEditorTenPixelsBelowRightOfTheClick) {
  TPSKSelector* selector = Selected();
  selector->ShowProperties = true;
  const TDevicePoint at = window->At(2, 2);
  window->Mouse(platform::MouseAction::Move, at);
  window->Click(at);
  std::int32_t x = at.X, y = at.Y;
  window->Window().ControlToScreen("Image", x, y);
  EXPECT_EQ(EditorsOf(*editorsOwner), (std::vector<EditorSeen>{{Area("A"), x + 10, y + 10, true}}));
}

TEST_F(PSKSelectorTest, TheMarkOutlinesTheAreaInRedWithCrossesAtItsReferencePoint) {
  Selected();
  const TDevicePoint at = window->At(2, 2);
  window->Mouse(platform::MouseAction::Move, at);
  window->Click(at);
  ASSERT_EQ(noted->input, Area("A"));
  // A's reference point is its lower left corner (0,0); up on the screen is
  // into the area.
  const TDevicePoint corner = window->At(0, 0);
  window->ExpectPixels({
      {"left side", window->At(0, 7), 0, 0, kRed},
      {"top side", window->At(7, 10), 0, 0, kRed},
      {"the hole's side", window->At(3, 5), 0, 0, kRed},
      {"inside: the brush is hollow", window->At(2, 8), 0, 0, kGrey},
      {"B, not chosen", window->At(20, 5), 0, 0, kGrey},
      {"red diagonal arm into the area", corner, 3, -3, kRed},
      {"red diagonal arm outside", corner, -3, 3, kRed},
      {"white upright arm along the left side", corner, 0, -3, kWhite},
      {"white upright arm across", corner, -3, 0, kWhite},
      {"beyond the arms", corner, -8, 8, kGrey},
  });
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(window->Window().SaveImage(KESTX_SCREENSHOTS_DIR "/psk_selector.png"));
}

TEST_F(PSKSelectorTest, WithoutAHierarchyTheSelectorShowsAndChoosesNothing) {
  struct Row {
    const char* name;
    std::function<void()> change;
  };
  const Row rows[] = {
      {"no HIERARCHY in DATA",
       [&] {
         auto* data = DynamicCast<TEntity>(world->ObjectModel()->FindElementByName("DATA"));
         data->FreeElement(data->FindElementByName("HIERARCHY"));
       }},
      {"no DATA", [&] { world->ObjectModel()->FreeElement(world->ObjectModel()->FindElementByName("DATA")); }},
  };
  for (const Row& row : rows) {
    row.change();
    TPSKSelector* selector = Selected();
    EXPECT_EQ(selector->Lookup(), nullptr) << row.name;
    for (int i = 0; i < 5; ++i) window->manager->Form()->SetPanelText(i, "kept");
    const TDevicePoint at = window->At(2, 2);
    window->Mouse(platform::MouseAction::Move, at);
    window->Click(at);
    EXPECT_EQ(std::tuple(PanelTexts(), selector->Output(), noted->runs), std::tuple(Panels(5, "kept"), nullptr, 0))
        << row.name;
  }
}

}  // namespace
