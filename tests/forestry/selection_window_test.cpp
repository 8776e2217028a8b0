// The selectors of the sample editing window (group Výběr) clicked on the
// forest's skidding lines, survey points, stand areas and stand groups.
#include <gmock/gmock.h>

#include "forestry/selectors/graphic_selectors.h"
#include "forestry/selectors/skupina_selectors.h"
#include "tests/forestry/editing_window_fixture.h"

namespace {

class SelectionWindowTest : public EditingWindowTest {
 protected:
  TEntity* Selection() {
    return DynamicCast<TEntity>(
        DynamicCast<TEntity>(world->ObjectModel()->FindElementByName("SELECT"))->FindElementByName("VYBER"));
  }
  // The first element of the stand group's level at the map point.
  TElement* FirstOf(double x, double y, const std::string& level) {
    TEntity* elements = Level(StandGroupAt(x, y), level);
    return elements && elements->GetCount() ? elements->GetElement(0) : nullptr;
  }
  // Each click in turn, then the selection's size and whether it holds the
  // element.
  struct Step {
    const char* name;
    int dx, dy;  // pixels from the point clicked about
    std::uint8_t shift;
    bool selected;
  };
  void ClickThrough(PixelPoint at, TElement* element, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      Click({at.first + step.dx, at.second + step.dy}, 0, step.shift);
      EXPECT_EQ(Selection()->GetCount(), step.selected ? 1 : 0) << step.name;
      EXPECT_EQ(Selection()->IndexOf(element) >= 0, step.selected) << step.name;
    }
  }
};

// The first skidding line's last segment runs from (-860, -840) to (-830,
// -830), 3 pixels right for every one up: a click (1, 3) pixels aside from
// its middle is 3.2 pixels from it, (2, 6) pixels aside 6.3.
TEST_F(SelectionWindowTest, ALineIsPickedWithinFivePixelsAndShiftRemovesItAgain) {
  TElement* line = FirstOf(-845, -835, "SLUCLIN");
  ASSERT_NE(line, nullptr);
  Choose<TPolyLineSelector>("Výběr", "Linie");
  ClickThrough(PixelOf(-845, -835), line,
               {{"6.3 px off picks nothing", 2, 6, 0, false},
                {"3.2 px off picks", 1, 3, 0, true},
                {"Shift on it removes", 1, 3, ssShift, false},
                {"Shift on the other side adds", -1, -3, ssShift, true},
                {"6.3 px off empties", -2, -6, 0, false}});
}

TEST_F(SelectionWindowTest, APointIsPickedWithinFivePixels) {
  TElement* point = FirstOf(-750, -750, "BOD_PNT");
  ASSERT_NE(point, nullptr);
  Choose<TPointSelector>("Výběr", "Bod");
  ClickThrough(PixelOf(-750, -750), point,
               {{"6 px off picks nothing", 6, 0, 0, false},
                {"4 px off picks", 0, 4, 0, true},
                {"6 px off empties", 0, -6, 0, false}});
}

TEST_F(SelectionWindowTest, AStandAreaIsPickedByAClickInside) {
  TElement* area = FirstOf(-750, -650, "GEOMETRY");
  ASSERT_NE(area, nullptr);
  Choose<TAreaSelector>("Výběr", "Plocha");
  ClickThrough(PixelOf(-750, -650), area, {{"inside", 0, 0, 0, true}});
}

TEST_F(SelectionWindowTest, AStandGroupClickedIsNamedAndKeptAsTheSelectedFrame) {
  Choose<TSelectSkupina>("Výběr", "Skupina");
  Click(PixelOf(-850, -850));
  EXPECT_THAT(MessageTexts(msgLogText), ::testing::Contains("Selected: 101 1 a 2-2"));
  auto* frame = DynamicCast<TEntity>(
      DynamicCast<TEntity>(world->ObjectModel()->FindElementByName("SELECT"))->FindElementByName("FRAME"));
  ASSERT_NE(frame, nullptr);
  EXPECT_THAT(frame->Children(), ::testing::ElementsAre(StandGroupAt(-850, -850)));
}

}  // namespace
