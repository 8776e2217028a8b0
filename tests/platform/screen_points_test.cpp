#include "platform/screen_points.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms.h"

namespace platform {
namespace {

// The screen is the window system's, asked for before anything made a
// window: whatever platform runs the tests shows a screen of some size.
TEST(ScreenPointsTest, TheScreenIsTheWindowSystemsEvenBeforeAnyWindow) {
  const ScreenExtent screen = ScreenSize();
  EXPECT_GT(screen.Width, 0);
  EXPECT_GT(screen.Height, 0);
}

// The popup answers the index of an offered item, the first and the last
// included; an answer outside the items, no items, or an unattended run
// choose none (-1), and unattended the answerer is not even asked.
TEST(ScreenPointsTest, APopupAnswersTheChosenItemOrNone) {
  const std::vector<std::string> three{"Přidat", "Smazat", "Konec"};
  const struct {
    const char* name;
    std::vector<std::string> items;
    int answer;
    bool unattended;
    int chosen;
    int asked;
  } rows[] = {
      {"the first item", three, 0, false, 0, 1},
      {"the last item", three, 2, false, 2, 1},
      {"none chosen", three, -1, false, -1, 1},
      {"one past the last", three, 3, false, -1, 1},
      {"no items", {}, 0, false, -1, 0},
      {"unattended", three, 1, true, -1, 0},
  };
  for (const auto& row : rows) {
    int asked = 0;
    SetPopupAnswerer([&](const std::vector<std::string>& items) {
      ++asked;
      EXPECT_EQ(items, row.items) << row.name;
      return row.answer;
    });
    if (row.unattended) SetUnattended([](const std::string&) {});
    EXPECT_EQ(ChooseRunTimePopupItem(row.items, 10, 20), row.chosen) << row.name;
    EXPECT_EQ(asked, row.asked) << row.name;
    SetAttended();
    SetPopupAnswerer(nullptr);
  }
}

}  // namespace
}  // namespace platform
