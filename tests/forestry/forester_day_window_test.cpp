// The forester's day carried on in the editing window: after the day's
// script, a new harvest boundary is drawn by clicks and closed by dragging
// its end onto its start, the harvest area is made at a click inside it and
// given its attributes; the harvest layer is then rebuilt, assigned, taken
// out and exported as the day does, and the block read back.
#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>

#include "forestry/editors/area_point_editors.h"
#include "forestry/editors/graphic_editors.h"
#include "tests/forestry/editing_window_fixture.h"

namespace {

class ForesterDayWindowTest : public EditingWindowTest {
 protected:
  void Run(const std::string& line) {
    interpreter->Line = line;
    interpreter->DoIt();
  }
};

// Centre, size, urgency and keys of an exported harvest area.
struct Exported {
  double X, Y, Width, Height;
  std::string Keys;  // LHC|ODDELENI|DILEC|POROST|SKUPINA|NALEHAV
};

TEST_F(ForesterDayWindowTest, AHarvestDrawnInTheWindowIsExportedWithTheDaysHarvests) {
  // A rectangle 56 m by 10 m in the stand group of the first harvest, below
  // it: four corners clicked and a fifth vertex, dragged onto the first.
  const double x = -850, y = -875;
  Choose<TPolyLineEditor>("Editory", "Kresba");
  const PixelPoint first = PixelOf(x - 28, y - 5);
  for (const PixelPoint& at :
       {first, PixelOf(x - 28, y + 5), PixelOf(x + 28, y + 5), PixelOf(x + 28, y - 5), PixelOf(x, y - 20)})
    Click(at);
  Drag(PixelOf(x, y - 20), {first.first + 4, first.second});
  SaveScreenshot("edit_under_way");
  AnswerWith({"bt_OK"});
  Click(PixelOf(x, y), 1);
  Choose<TPolyLineAreaEditor>("Editory", "Plocha");
  AnswerWith({"bt_OK"}, [](platform::Form& form) {
    form.SetText("ed_Zpusob", "2");
    form.SetText("ed_Nalehavost", "3");
    form.SetText("ed_Srafa", "5");
  });
  Click(PixelOf(x, y));
  answers.clear();
  for (const char* line :
       {"ExtractLHC(LayerName:'TEZ')", "HeleClearLHC(LayerName:'TEZ', HolesGroup:'99', SnapDistance:'1')",
        "HeleZaradLHC(LayerName:'TEZ', PropertyClassName:'TTezPProps', HolesGroup:'99', Group:'12')",
        "ExtractLHC(LayerName:'TEZ')",
        "ExportLHC(LayerName:'TEZ', BlockName:'TEZ3.BLK', ControlDIR:'.', Group:'12', HolesGroup:'99', "
        "PropertyClassName:'TTezPProps')"})
    Run(line);
  EXPECT_THAT(interpreter->Results(), ::testing::Each(::testing::Not(::testing::StartsWith("ERROR"))));
  std::string keys = PathBelow(StandGroupAt(x, y), DataChild("HIERARCHY")).substr(1);
  std::replace(keys.begin(), keys.end(), '/', '|');
  // The day's four harvests as it exported them, and the new one.
  const Exported expected[] = {
      {-850, -850, 30, 30, "101|1|a|2|2|3"}, {-450, -750, 30, 30, "202|2|a|1|2|1"},
      {-650, -350, 30, 30, "101|4|b|1|2|2"}, {-250, -250, 30, 30, "202|4|b|2|2|3"},
      {x, y, 56, 10, keys + "|3"},
  };
  std::unique_ptr<TAreaString> exported = ReadAreas(folder.File("TEZ3.BLK"));
  ASSERT_NE(exported, nullptr);
  ASSERT_EQ(exported->GetCount(), static_cast<int>(std::size(expected)));
  for (const Exported& harvest : expected) {
    const std::string where = "harvest at " + std::to_string(harvest.X) + "," + std::to_string(harvest.Y);
    TAreaElement* found = nullptr;
    for (TElement* child : exported->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      if (std::fabs(area->GetCenterX() - harvest.X) < 1 && std::fabs(area->GetCenterY() - harvest.Y) < 1) found = area;
    }
    ASSERT_NE(found, nullptr) << where;
    // Corners within a pixel of where they were clicked (the day moved one
    // corner 40 cm).
    EXPECT_NEAR(found->GetMinX(), harvest.X - harvest.Width / 2, kMetresPerPixel) << where;
    EXPECT_NEAR(found->GetMaxX(), harvest.X + harvest.Width / 2, kMetresPerPixel) << where;
    EXPECT_NEAR(found->GetMinY(), harvest.Y - harvest.Height / 2, kMetresPerPixel) << where;
    EXPECT_NEAR(found->GetMaxY(), harvest.Y + harvest.Height / 2, kMetresPerPixel) << where;
    EXPECT_EQ(Texts(*found, {"LHC", "ODDELENI", "DILEC", "POROST", "SKUPINA", "NALEHAV"}), harvest.Keys) << where;
  }
}

}  // namespace
