// The area and point editors of the sample editing window: an area built
// at a click inside lines drawn in the window, points placed by a click or a
// drag; both confirmed in their dialogs and stored into the stand group
// under them and the global store.
#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>

#include "block/forest_model/forest_props.h"
#include "forestry/editors/area_point_editors.h"
#include "forestry/editors/graphic_editors.h"
#include "spatial/objects/space_entities.h"
#include "tests/forestry/editing_window_fixture.h"

namespace {

class AreaPointWindowTest : public EditingWindowTest {
 protected:
  // A rectangle 56 m by 10 m round the map point drawn by the new-line
  // editor, closed and stored in its dialog.
  void DrawRectangleAround(double x, double y) {
    Choose<TPolyLineEditor>("Editory", "Kresba");
    for (const auto& [cx, cy] : {std::pair{x - 28, y - 5}, {x - 28, y + 5}, {x + 28, y + 5}, {x + 28, y - 5}})
      Click(PixelOf(cx, cy));
    AnswerWith({"b_Close", "bt_OK"});
    Click(PixelOf(x, y), 1);
    Click(PixelOf(x, y), 1);
    answers.clear();
  }
  TEntity* Stored(const std::string& global) { return DataChild(global); }
};

// The rectangle lies in the stand group of the first harvest area, below it;
// its centre is clicked.
TEST_F(AreaPointWindowTest, AnAreaAtAClickIsStoredWithItsAttributesOnlyOnOk) {
  struct Row {
    const char* name;
    const char* button;
    bool stored;
  } rows[] = {
      {"OK", "bt_OK", true},
      {"Storno", "bt_Storno", false},
  };
  const double x = -850, y = -875;
  for (const Row& row : rows) {
    DrawRectangleAround(x, y);
    captions.clear();
    ASSERT_EQ(Stored("LINIE")->GetCount(), 1) << row.name << ": the rectangle's line";
    Choose<TPolyLineAreaEditor>("Editory", "Plocha");
    std::string group;
    std::vector<platform::ColorValue> shown;
    AnswerWith({row.button}, [&](platform::Form& form) {
      group = form.Text("l_Skupina");
      form.SetText("ed_Zpusob", "2");
      form.SetText("ed_Nalehavost", "3");
      form.SetText("ed_Srafa", "5");
      shown = ImagePixels();
      if (row.stored) SaveScreenshot("hatched_area");
    });
    const std::vector<platform::ColorValue> before = ImagePixels();
    Click(PixelOf(x, y));
    EXPECT_THAT(captions, ::testing::ElementsAre("Nová plocha")) << row.name;
    std::string notation = PathBelow(StandGroupAt(x, y), DataChild("HIERARCHY")).substr(1);
    std::replace(notation.begin(), notation.end(), '/', ' ');
    EXPECT_EQ(group, notation) << row.name << ": the stand group under the click";
    EXPECT_NE(shown, before) << row.name << ": the area is shown while the dialog asks";
    if (!row.stored) {
      EXPECT_EQ(ImagePixels(), before) << row.name << ": and erased after";
    }
    TElement* psk = StandGroupAt(x, y);
    TEntity* harvest = Level(psk, "TEZ");
    auto* area = Stored("PLOCHY")->GetCount() ? DynamicCast<TAreaElement>(Stored("PLOCHY")->GetElement(0)) : nullptr;
    EXPECT_EQ(area != nullptr, row.stored) << row.name;
    if (area) {
      EXPECT_TRUE(harvest && harvest->IndexOf(area) >= 0) << row.name << ": in the stand group's harvest";
      EXPECT_NEAR(std::fabs(area->GetCalculatedArea()), 560, 15) << row.name;
      auto* props = DynamicCast<TTezPProps>(area->Properties());
      ASSERT_NE(props, nullptr) << row.name;
      EXPECT_EQ(std::pair(props->Zpusob, props->Nalehavost), std::pair(2, 3)) << row.name;
    }
    captions.clear();
    ForgetStored("LINIE", "LINIE");
    ForgetStored("TEZ", "PLOCHY");
  }
}

// A second click inside a stored area opens that area and stores no copy of
// it; what is changed in its dialog is kept in the area itself.
TEST_F(AreaPointWindowTest, AStoredAreaClickedAgainIsEditedNotStoredTwice) {
  const double x = -850, y = -875;
  DrawRectangleAround(x, y);
  TEntity* harvest = Level(StandGroupAt(x, y), "TEZ");
  ASSERT_NE(harvest, nullptr);
  const int before = harvest->GetCount();
  Choose<TPolyLineAreaEditor>("Editory", "Plocha");
  captions.clear();
  for (const char* zpusob : {"2", "4"}) {
    AnswerWith({"bt_OK"}, [zpusob](platform::Form& form) {
      form.SetText("ed_Zpusob", zpusob);
      form.SetText("ed_Nalehavost", "3");
      form.SetText("ed_Srafa", "5");
    });
    Click(PixelOf(x, y));
  }
  EXPECT_THAT(captions, ::testing::ElementsAre("Nová plocha", "Stará plocha"));
  ASSERT_EQ(Stored("PLOCHY")->GetCount(), 1);
  EXPECT_EQ(harvest->GetCount(), before + 1);
  auto* props = DynamicCast<TTezPProps>(DynamicCast<TAreaElement>(Stored("PLOCHY")->GetElement(0))->Properties());
  ASSERT_NE(props, nullptr);
  EXPECT_EQ(props->Zpusob, 4);
}

TEST_F(AreaPointWindowTest, APointIsStoredOncePerGestureOnlyOnOk) {
  struct Row {
    const char* name;
    bool drag;
    const char* button;
    int stored;
  } rows[] = {
      {"a click", false, "bt_OK", 1},
      {"a drag", true, "bt_OK", 1},
      {"Storno", false, "bt_Storno", 0},
  };
  const PixelPoint from = PixelOf(-660, -740), to = PixelOf(-640, -760);
  for (const Row& row : rows) {
    Choose<TPointEditor>("Editory", "Bod");
    AnswerWith({row.button});
    if (row.drag)
      Drag(from, to);
    else
      Click(to);
    EXPECT_EQ(Stored("BODY")->GetCount(), row.stored) << row.name;
    TEntity* points = Level(StandGroupAt(-640, -760), "BODY");
    EXPECT_EQ(points ? points->GetCount() : 0, row.stored) << row.name;
    if (row.stored && Stored("BODY")->GetCount()) {
      auto* point = DynamicCast<TSpaceEntity>(Stored("BODY")->GetElement(0));
      EXPECT_EQ(PixelOf(point->GetAbsRefX(), point->GetAbsRefY()), to) << row.name;
    }
    ForgetStored("BODY", "BODY");
  }
}

}  // namespace
