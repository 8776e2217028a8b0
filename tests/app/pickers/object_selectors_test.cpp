#include "app/pickers/object_selectors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "tests/app/pickers/selectors_fixture.h"

namespace {

TPolyLineElement* Line(const std::string& name, std::initializer_list<std::pair<double, double>> vertices) {
  auto* line = new TPolyLineElement;
  line->SetName(name);
  for (const auto& [x, y] : vertices) line->AddVertex(x, y);
  line->CalcBounds();
  return line;
}

// A window on two lines:
//   L1 through (20,80), (60,40), (100,90), its reference point (20,40)
//   L2 from (300,300) to (340,300)
class SelectorsWindowTest : public SelectorsTest {
 protected:
  void SetUp() override {
    SelectorsTest::SetUp();
    model = new TRectEntity;
    model->SetName("model");
    auto* lines = new TPolyLineString;
    l1 = Line("L1", {{20, 80}, {60, 40}, {100, 90}});
    l2 = Line("L2", {{300, 300}, {340, 300}});
    lines->AddEntity(l1);
    lines->AddEntity(l2);
    model->AddEntity(lines);
    window = std::make_unique<PickerWindow>(owner, model);
    noted = new TNotedTool;
    owner.AddElement(noted);
  }
  void TearDown() override {
    window.reset();
    SelectorsTest::TearDown();
  }
  template <class Selector>
  Selector* Selected() {
    auto* selector = CreateElement<Selector>();
    selector->SetOnSelect(noted);
    window->Select(selector);
    noted->runs = 0;
    noted->input = noted->ftm = nullptr;
    return selector;
  }

  TRectEntity* model = nullptr;
  TPolyLineElement* l1 = nullptr;
  TPolyLineElement* l2 = nullptr;
  std::unique_ptr<PickerWindow> window;
  TNotedTool* noted = nullptr;
};

TEST_F(SelectorsWindowTest, ALeftClickWithinThePixelToleranceOfALinePicksItAndHandsItOn) {
  struct Row {
    const char* name;
    double x, y;
    int dx, dy;
    std::uint8_t button;
    TElement* picked;
  };
  const Row rows[] = {
      {"on a vertex", 60, 40, 0, 0, 0, l1},
      {"2 pixels beside a segment", 40, 60, 2, 2, 0, l1},
      {"on the other line", 320, 300, 0, 3, 0, l2},
      {"6 pixels beside a segment", 320, 300, 0, 6, 0, nullptr},
      {"far from every line", 200, 200, 0, 0, 0, nullptr},
      {"the right button", 60, 40, 0, 0, 1, nullptr},
  };
  for (const Row& row : rows) {
    auto* selector = Selected<TLineSelector>();
    EXPECT_EQ(window->manager->GetImageCursor(), 17) << row.name;
    window->Clear();
    const std::vector<platform::ColorValue> before = window->Pixels();
    TDevicePoint at = window->At(row.x, row.y);
    at.X += row.dx;
    at.Y += row.dy;
    window->Click(at, row.button);
    EXPECT_EQ(std::tuple(selector->Output(), noted->runs, noted->input, noted->ftm),
              std::tuple(row.picked, row.picked ? 1 : 0, row.picked, row.picked ? window->manager : nullptr))
        << row.name;
    EXPECT_EQ(window->Pixels() != before, row.picked != nullptr) << row.name << ": marked";
    EXPECT_EQ(platform::LastPopup().Menu == "pm_Image", row.button == 1) << row.name << ": the window's menu";
  }
}

TEST_F(SelectorsWindowTest, APickedLineIsMarkedRedAtItsVerticesAndWhiteAtItsReferencePoint) {
  Selected<TLineSelector>();
  const TDevicePoint first = window->At(20, 80), middle = window->At(60, 40), last = window->At(100, 90),
                     reference = window->At(20, 40);
  window->Click(middle);
  ASSERT_EQ(noted->input, l1);
  window->ExpectPixels({
      {"first vertex: centre", first, 0, 0, kRed},
      {"first vertex: diagonal arm", first, 4, 4, kRed},
      {"first vertex: other diagonal arm", first, -4, 4, kRed},
      {"first vertex: upright arm", first, 4, 0, kRed},
      {"first vertex: upright arm up", first, 0, -4, kRed},
      {"first vertex: between the arms", first, 4, 2, kGrey},
      {"further vertex: diagonal arm", middle, 2, 2, kRed},
      {"further vertex: other diagonal arm", middle, 2, -2, kRed},
      {"further vertex: no upright arm", middle, 2, 0, kGrey},
      {"further vertex: arms of 3 pixels", middle, 5, 5, kGrey},
      {"last vertex: diagonal arm", last, -2, -2, kRed},
      {"reference point: diagonal arm", reference, 5, -5, kWhite},
      {"reference point: upright arm", reference, 0, -5, kWhite},
      {"reference point: upright arm across", reference, 5, 0, kWhite},
      {"reference point: beyond the arms", reference, 0, -8, kGrey},
  });
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(window->Window().SaveImage(KESTX_SCREENSHOTS_DIR "/line_selector_mark.png"));
}

TEST_F(SelectorsWindowTest, APointCollectorNotesTheWorldPointOfALeftClick) {
  struct Row {
    const char* name;
    std::int32_t x, y;
    std::uint8_t button;
  };
  const Row rows[] = {
      {"left click", 40, 30, 0},
      {"another left click", 90, 70, 0},
      {"the right button", 10, 10, 1},
  };
  for (const Row& row : rows) {
    auto* collector = Selected<TPointCollector>();
    EXPECT_EQ(window->manager->GetImageCursor(), 7) << row.name;
    window->Click({row.x, row.y}, row.button);
    const bool taken = row.button == 0;
    const TPageProjection& projection = *window->manager->Projection();
    EXPECT_EQ(
        std::tuple(collector->X, collector->Y),
        taken ? std::tuple(projection.DeviceToWorldX(row.x), projection.DeviceToWorldY(row.y)) : std::tuple(0.0, 0.0))
        << row.name;
    TElement* envelope = window->manager->Input();
    EXPECT_EQ(std::tuple(collector->Output(), noted->runs, noted->input, noted->ftm),
              std::tuple(taken ? envelope : nullptr, taken ? 1 : 0, taken ? envelope : nullptr,
                         taken ? window->manager : nullptr))
        << row.name;
  }
}

// The follow-up tool gets the window as "FTM" wherever it lives, also as a
// tool of that same window, and keeps getting it click after click.
TEST_F(SelectorsWindowTest, AFollowUpToolInTheSameWindowRunsWithTheWindowAsItsFTM) {
  enum class Where { Elsewhere, WindowTool, WindowChild };
  struct Row {
    const char* name;
    Where where;
  } rows[] = {
      {"held outside the window", Where::Elsewhere},
      {"a tool of the window", Where::WindowTool},
      {"a child of the window", Where::WindowChild},
  };
  for (const Row& row : rows) {
    auto* next = new TNotedTool;
    switch (row.where) {
      case Where::Elsewhere: owner.AddElement(next); break;
      case Where::WindowTool: window->manager->AddTool(next); break;
      case Where::WindowChild: window->manager->AddElement(next); break;
    }
    auto* selector = Selected<TLineSelector>();
    selector->SetOnSelect(next);
    for (int click = 1; click <= 2; ++click) {
      next->ftm = nullptr;
      window->Click(window->At(60, 40));
      EXPECT_EQ(std::tuple(next->runs, next->input, next->ftm), std::tuple(click, static_cast<TElement*>(l1),
                                                                           static_cast<TElement*>(window->manager)))
          << row.name << ", click " << click;
    }
  }
}

TEST_F(SelectorsWindowTest, ShowingTheChosenLineOpensTheEditorTenPixelsBelowRightOfTheClick) {
  auto* selector = Selected<TLineSelector>();
  selector->ShowProperties = true;
  const TDevicePoint at = window->At(60, 40);
  window->Click(at);
  std::int32_t x = at.X, y = at.Y;
  window->Window().ControlToScreen("Image", x, y);
  EXPECT_EQ(Editors(), (std::vector<EditorSeen>{{l1, x + 10, y + 10, true}}));
}

}  // namespace
