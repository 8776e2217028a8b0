#include "forestry/selectors/graphic_selectors.h"

#include <memory>
#include <string>
#include <vector>

#include "forestry/reconstruction/layer_rebuilding.h"
#include "forestry/selectors/skupina_selectors.h"
#include "render/devices/device.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/interaction_events.h"
#include "tests/app/pickers/picker_window.h"
#include "tests/forestry/forest_data_fixture.h"
#include "tests/forestry/reconstruction/boundary_fixture.h"

namespace {

// Notes what it is asked to draw: the element's name, and for a selection
// the names of what it holds.
class TNotingInterpret : public TInterpret {
 public:
  explicit TNotingInterpret(std::vector<std::string>& notes) : notes_(notes) {}
  void DoIt() override {
    std::string note = Input() ? Input()->GetName() : "nil";
    auto* entity = DynamicCast<TEntity>(Input());
    if (entity && !DynamicCast<TPolyElement>(entity) && entity->GetCount() > 0) {
      note += ":";
      for (TElement* child : entity->Children()) note += " " + child->GetName();
    }
    notes_.push_back(note);
  }

 private:
  std::vector<std::string>& notes_;
};

// Keeps the code and data of every message the tools post to their owner.
class TDataRecorder : public TOwnerEntity {
 public:
  std::vector<std::pair<int, TElement*>> Received;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    Received.emplace_back(message->Message, message->Data());
    handled = true;
  }
};

// P1 101/12/a/3/2 at (0,0) and P2 101/12/b/1/1 at (10,0), stand areas of
// side 10; P1 holds the lines "l1" at y = 3 and "l2" at y = 7 in "LINIE";
// the selection is DATA/SEL; a graphic window shows the stands.
class GraphicSelectorTest : public ForestDataTest {
 protected:
  void SetUp() override {
    ForestDataTest::SetUp();
    PlaceStands({{{"101", "12", "a", "3", "2"}, 0, 0}, {{"101", "12", "b", "1", "1"}, 10, 0}});
    auto* lines = Named<TRectEntity>("LINIE", DynamicCast<TEntity>(Unit({"101", "12", "a", "3", "2"})));
    for (const auto& [name, y] : {std::pair{"l1", 3.0}, {"l2", 7.0}}) {
      TPolyLineElement* line = BoundaryLine({{1, y}, {9, y}});
      line->SetName(name);
      lines->AddEntity(line);
    }
    selection = Named<TRectEntity>("SEL", data);
    window = std::make_unique<PickerWindow>(windowOwner, hierarchy);
    // Apart from the selectors' owner: it tells its own owners of the group.
    frameSelector = new TSkupinaSelector;
    windowOwner.AddElement(frameSelector);
  }
  void TearDown() override {
    owner.Clear();
    window.reset();
    windowOwner.Clear();
    ForestDataTest::TearDown();
  }
  // A selector of the class in the window, its frame selector the stand
  // group under the click.
  template <class S>
  S* Selector(std::int32_t tolerance, const std::string& level, bool multiSelect) {
    auto* selector = new S;
    owner.AddElement(selector);
    selector->SetDevice(window->manager->GetDevice());
    selector->SetInterpret(new TNotingInterpret(drawn));
    selector->SetFrameSelector(frameSelector);
    selector->PixelTolerance = tolerance;
    selector->LevelName = level;
    selector->MultiSelect = multiSelect;
    selector->SetGlobalSelectPath("ObjectModel.DATA.SEL");
    return selector;
  }
  // The left button (or another) released at the map point moved by
  // (dx, dy) pixels; answers whether the event was marked handled.
  bool Release(TGraphicSelector& selector, double x, double y, int dx = 0, int dy = 0, std::uint8_t shift = 0,
               std::uint8_t button = 0) {
    const TDevicePoint at = window->At(x, y);
    TKestuMessage* event = new TKestuMouseEvent(msgMouseUp, &selector, nullptr, shift, button, at.X + dx, at.Y + dy, false);
    bool handled = false;
    selector.MouseUp(event, handled);
    delete event;
    RunMessages();
    return handled;
  }
  std::vector<std::string> Selection() const {
    std::vector<std::string> names;
    for (TElement* child : selection->Children()) names.push_back(child->GetName());
    return names;
  }
  int DataChanges() {
    int count = 0;
    for (const TRecorder::Entry& entry : recorder.Messages) count += entry.Code == msgDataChanged;
    recorder.Messages.clear();
    return count;
  }
  std::vector<std::string> Selected() {
    std::vector<std::string> names;
    for (const auto& [code, element] : owner.Received)
      if (code == msgElementSelected) names.push_back(element ? element->GetName() : "nil");
    owner.Received.clear();
    return names;
  }

  TOwnerEntity windowOwner;
  TDataRecorder owner;
  std::unique_ptr<PickerWindow> window;
  TSkupinaSelector* frameSelector = nullptr;
  TRectEntity* selection = nullptr;
  std::vector<std::string> drawn;
};

TEST_F(GraphicSelectorTest, ALinePicksWithinThePixelToleranceAndANegativeOneActsAsNone) {
  struct Row {
    const char* name;
    std::int32_t tolerance;
    int offset;
    std::vector<std::string> selected;
  } rows[] = {
      {"on the line", 5, 0, {"l1"}},
      {"4 px off within 5", 5, 4, {"l1"}},
      {"6 px off beyond 5", 5, 6, {}},
      {"4 px off with -5", -5, 4, {}},
  };
  for (const Row& row : rows) {
    auto* selector = Selector<TPolyLineSelector>(row.tolerance, "LINIE", false);
    selection->Clear();
    EXPECT_TRUE(Release(*selector, 5, 3, 0, row.offset)) << row.name;
    EXPECT_EQ(Selected(), row.selected) << row.name;
    EXPECT_EQ(Selection(), row.selected) << row.name;
    EXPECT_EQ(selector->Output() ? std::vector<std::string>{selector->Output()->GetName()} : std::vector<std::string>{},
              row.selected)
        << row.name;
  }
}

TEST_F(GraphicSelectorTest, ShiftWithMultiSelectExtendsAndRemovesWithoutItReplaces) {
  struct Step {
    const char* name;
    bool multiSelect;
    double y;
    std::uint8_t shift;
    std::vector<std::string> selection;
    std::vector<std::string> drawn;
    int changes;
  } steps[] = {
      {"first line", true, 3, 0, {"l1"}, {"SEL", "l1"}, 1},
      {"second line replaces", true, 7, 0, {"l2"}, {"SEL: l1", "l2"}, 1},
      {"shift adds", true, 3, ssShift, {"l2", "l1"}, {"l1"}, 1},
      {"shift again removes", true, 3, ssShift, {"l2"}, {"l1"}, 1},
      {"shift without multi-select replaces", false, 3, ssShift, {"l1"}, {"SEL: l2", "l1"}, 1},
      {"a miss empties", false, 5, 0, {}, {"SEL: l1"}, 1},
      {"a miss on nothing changes nothing", false, 5, 0, {}, {"SEL"}, 0},
  };
  for (const Step& step : steps) {
    auto* selector = Selector<TPolyLineSelector>(3, "LINIE", step.multiSelect);
    drawn.clear();
    Release(*selector, 5, step.y, 0, 0, step.shift);
    EXPECT_EQ(Selection(), step.selection) << step.name;
    EXPECT_EQ(drawn, step.drawn) << step.name;
    EXPECT_EQ(DataChanges(), step.changes) << step.name;
  }
}

TEST_F(GraphicSelectorTest, OtherButtonsMissingFramesAndLevelsPickNothing) {
  struct Row {
    const char* name;
    double x, y;
    const char* level;
    std::uint8_t button;
    bool frameSelector;
  } rows[] = {
      {"the right button", 5, 3, "LINIE", 1, true},
      {"outside every stand", 50, 50, "LINIE", 0, true},
      {"a stand without the level", 15, 3, "LINIE", 0, true},
      {"no frame selector", 5, 3, "LINIE", 0, false},
  };
  for (const Row& row : rows) {
    auto* selector = Selector<TPolyLineSelector>(5, row.level, false);
    if (!row.frameSelector) selector->SetFrameSelector(nullptr);
    EXPECT_TRUE(Release(*selector, row.x, row.y, 0, 0, 0, row.button)) << row.name;
    EXPECT_EQ(Selected(), std::vector<std::string>{}) << row.name;
    EXPECT_EQ(selector->Output(), nullptr) << row.name;
  }
}

TEST_F(GraphicSelectorTest, APointPicksWithinThePixelTolerance) {
  auto* points = Named<TRectEntity>("BODY", DynamicCast<TEntity>(Unit({"101", "12", "b", "1", "1"})));
  auto* point = Named<TPointElement>("p1");
  point->SetBounds({15, 5, 15, 5});
  points->AddEntity(point);
  struct Row {
    const char* name;
    int offset;
    bool picked;
  } rows[] = {{"on the point", 0, true}, {"4 px off within 5", 4, true}, {"7 px off beyond 5", 7, false}};
  for (const Row& row : rows) {
    auto* selector = Selector<TPointSelector>(5, "BODY", false);
    Release(*selector, 15, 5, row.offset, 0);
    EXPECT_EQ(selector->Output() == point, row.picked) << row.name;
  }
}

// An area is picked wherever the click lies inside it, up to its very edge:
// its pixel tolerance is not used.
TEST_F(GraphicSelectorTest, AnAreaIsPickedInTheFramesGeometryUpToItsEdge) {
  // Three pixels stay within one map unit of the edge (stand 10..20).
  ASSERT_LT(3 * window->manager->Projection()->DeviceToWorldLength(1), 1);
  TElement* area = DynamicCast<TEntity>(Unit({"101", "12", "b", "1", "1", "GEOMETRY"}))->GetElement(0);
  struct Row {
    const char* name;
    double x, y;
    int dx, dy;
  } rows[] = {
      {"the middle of the stand", 15, 5, 0, 0},
      {"3 px inside its right edge", 20, 5, -3, 0},
      {"3 px inside its lower edge", 15, 0, 0, -3},
  };
  for (const Row& row : rows) {
    auto* selector = Selector<TAreaSelector>(5, "GEOMETRY", false);
    selection->Clear();
    Release(*selector, row.x, row.y, row.dx, row.dy);
    EXPECT_EQ(selector->Output(), area) << row.name;
    EXPECT_EQ(selection->IndexOf(area), 0) << row.name;
  }
}

TEST_F(GraphicSelectorTest, SelectingAStandGroupLogsItsKeysAndKeepsItAsTheSelectedFrame) {
  auto* tool = new TSelectSkupina;
  owner.AddElement(tool);
  tool->SetDevice(window->manager->GetDevice());
  const TDevicePoint at = window->At(5, 5);
  struct Row {
    const char* name;
    TDevicePoint at;
    std::vector<std::string> logged;
    std::vector<std::string> selected;
  } rows[] = {
      {"outside every stand", window->At(50, 50), {}, {}},
      {"inside a stand", at, {"Selected: 101 12 a 3-2"}, {"2"}},
  };
  for (const Row& row : rows) {
    auto* event = new TKestuMouseEvent(msgMouseUp, tool, nullptr, 0, 0, row.at.X, row.at.Y, false);
    bool handled = false;
    TKestuMessage* message = event;
    tool->MouseUp(message, handled);
    delete event;
    EXPECT_EQ(MessageTexts(msgLogText), row.logged) << row.name;
    EXPECT_EQ(Selected(), row.selected) << row.name;
  }
  auto* select = DynamicCast<TEntity>(world->ObjectModel()->FindElementByName("SELECT"));
  ASSERT_NE(select, nullptr);
  auto* frame = DynamicCast<TRectEntity>(select->FindElementByName("FRAME"));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetCount(), 1);
  EXPECT_EQ(frame->GetElement(0), Unit({"101", "12", "a", "3", "2"}));
  EXPECT_EQ(std::vector<double>({frame->GetMinX(), frame->GetMaxX()}), std::vector<double>({0, 10}));
}

}  // namespace
