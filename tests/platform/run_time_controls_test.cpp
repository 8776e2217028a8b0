// Edits and labels made at run time on a form of a fixed height.
#include "platform/run_time_controls.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/forms.h"

namespace {

class RunTimeControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { form = std::make_unique<platform::Form>("TTestStrip"); }
  static std::vector<int> Place(const platform::Bounds& b) { return {b.Left, b.Top, b.Width, b.Height}; }
  std::unique_ptr<platform::Form> form;
};

TEST_F(RunTimeControlsTest, AnEditTakesItsPlaceAndItsTextIsReachedByName) {
  platform::AddRunTimeEdit(*form, "ed_X", {30, 5, 100, 15});
  EXPECT_EQ(Place(form->ControlBounds("ed_X")), std::vector<int>({30, 5, 100, 15}));
  form->SetText("ed_X", "12,5");
  EXPECT_EQ(form->Text("ed_X"), "12,5");
}

TEST_F(RunTimeControlsTest, ALabelFitsItsCaptionAndIsCentredVertically) {
  platform::AddRunTimeLabel(*form, "lb_X", " X: ", 120);
  const platform::Bounds at = form->ControlBounds("lb_X");
  EXPECT_EQ(at.Left, 120);
  EXPECT_GT(at.Width, 0);
  EXPECT_EQ(at.Top, (40 - at.Height) / 2);
  EXPECT_EQ(form->Text("lb_X"), " X: ");
}

TEST_F(RunTimeControlsTest, ANameTheFormAlreadyHasIsRefused) {
  struct Row {
    const char* name;
    bool edit;
  } rows[] = {{"lb_Fixed", true}, {"lb_Fixed", false}, {"ed_Twice", true}};
  platform::AddRunTimeEdit(*form, "ed_Twice", {0, 0, 10, 10});
  for (const Row& row : rows) {
    if (row.edit) {
      EXPECT_THROW(platform::AddRunTimeEdit(*form, row.name, {0, 0, 10, 10}), platform::EFormLayoutError) << row.name;
    } else {
      EXPECT_THROW(platform::AddRunTimeLabel(*form, row.name, "x", 0), platform::EFormLayoutError) << row.name;
    }
  }
}

}  // namespace
