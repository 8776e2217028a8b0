// Drags of a control begun from its mouse-move handler, driven by Qt Test's
// mouse: what the control's mouse and drag handlers hear, and in which
// order; and the form parts placed in another window's tool bar.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/control_drag.h"
#include "platform/form_parts.h"
#include "platform/forms.h"

namespace {

constexpr const char* kImage = "Image";

// A window whose image begins a drag at every move with the left button,
// noting each mouse and drag event with its point.
class ControlDragTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<platform::Form>("TStandardImageForm");
    form->Show();
    form->OnMouse(kImage, [this](platform::MouseAction action, const platform::MouseInput& input) {
      static const char* const names[] = {"down", "up", "move"};
      heard.push_back(std::string(names[static_cast<int>(action)]) + Point(input.X, input.Y));
      if (action == platform::MouseAction::Move && (input.Shift & 8)) platform::BeginControlDrag(*form, kImage, 1);
    });
    platform::OnControlDrag(*form, kImage, [this](platform::DragAction action, std::int32_t x, std::int32_t y) {
      static const char* const names[] = {"start", "over", "drop", "end"};
      heard.push_back(std::string(names[static_cast<int>(action)]) + Point(x, y));
      if (action == platform::DragAction::Start) draggingAtStart = platform::ControlDragging(*form, kImage);
    });
  }
  static std::string Point(int x, int y) { return " " + std::to_string(x) + "," + std::to_string(y); }

  std::unique_ptr<platform::Form> form;
  std::vector<std::string> heard;
  bool draggingAtStart = false;
};

TEST_F(ControlDragTest, ADragStartsBeyondTheThresholdAndDropsOnlyAfterAMoveOverTheControl) {
  struct Row {
    const char* name;
    std::vector<std::pair<int, int>> path;
    std::vector<std::string> heard;
  };
  const Row rows[] = {
      {"click", {{10, 10}}, {"down 10,10", "up 10,10"}},
      {"move within the threshold", {{10, 10}, {11, 11}, {12, 12}}, {"down 10,10", "move 11,11", "move 12,12", "up 12,12"}},
      {"drag without a move over the image",
       {{10, 10}, {11, 11}, {14, 11}},
       {"down 10,10", "move 11,11", "start 0,0", "end 14,11"}},
      {"drag over the image",
       {{10, 10}, {11, 11}, {14, 11}, {30, 40}},
       {"down 10,10", "move 11,11", "start 0,0", "over 30,40", "drop 30,40", "end 30,40"}},
      {"drag released outside",
       {{10, 10}, {11, 11}, {14, 11}, {-5, -7}},
       {"down 10,10", "move 11,11", "start 0,0", "over -5,-7", "end -5,-7"}},
  };
  for (const Row& row : rows) {
    heard.clear();
    platform::UserDragControl(*form, kImage, row.path);
    EXPECT_EQ(heard, row.heard) << row.name;
    EXPECT_FALSE(platform::ControlDragging(*form, kImage)) << row.name << ": the drag is over";
  }
  EXPECT_TRUE(draggingAtStart);
}

TEST_F(ControlDragTest, TheDragCursorIsKeptApartFromTheControlsOwnCursor) {
  EXPECT_EQ(platform::ControlDragCursor(*form, kImage), -12);
  form->SetControlCursor(kImage, 0);
  platform::SetControlDragCursor(*form, kImage, 3);
  EXPECT_EQ(std::pair(platform::ControlDragCursor(*form, kImage), form->ControlCursor(kImage)), std::pair(3, 0));
}

TEST(FormPartsTest, APartMadeOnItsOwnMovesIntoAToolBarAndLeavesItWhenDestroyed) {
  platform::Form host("TExtendedKESTU_Form");
  host.AddToolBar("tb_Monitory", platform::BarArea::Top);
  auto part = std::make_unique<platform::Form>("TKestu_Frame");
  EXPECT_FALSE(platform::FormInToolBar(*part, host, "tb_Monitory"));
  platform::PlaceFormInToolBar(*part, host, "tb_Monitory");
  EXPECT_TRUE(platform::FormInToolBar(*part, host, "tb_Monitory"));
  part->SetBounds({0, 0, 90, 20});
  EXPECT_EQ(part->GetBounds().Width, 90);
  part.reset();
  EXPECT_EQ(host.ToolBarArea("tb_Monitory"), platform::BarArea::Top);
  platform::Form other("TKestu_Frame");
  EXPECT_THROW(platform::PlaceFormInToolBar(other, host, "MainMenu"), platform::EFormLayoutError);
}

// A part in a tool bar is one of the bar's controls, no window of its own:
// what its layout asked of it as a window (to stay on top) no longer holds.
TEST(FormPartsTest, APartInAToolBarIsNoLongerAWindowThatStaysOnTop) {
  platform::Form host("TExtendedKESTU_Form");
  host.AddToolBar("tb_Monitory", platform::BarArea::Top);
  platform::Form part("TTestListsForm");
  ASSERT_TRUE(part.StaysOnTop()) << "its layout keeps it on top";
  platform::PlaceFormInToolBar(part, host, "tb_Monitory");
  EXPECT_FALSE(part.StaysOnTop());
}

}  // namespace
