// The forester's day carried on in the editing window: after the day's
// script, a new harvest boundary is drawn by clicks and closed by dragging
// its end onto its start, the harvest area is made at a click inside it and
// given its attributes; the harvest layer is then rebuilt, assigned, taken
// out and exported as the day does, and the block read back.  A second day
// redraws the stored boundary in the picked-line editor before the area is
// made.
#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>

#include "forestry/editors/area_point_editors.h"
#include "forestry/editors/graphic_editors.h"
#include "tests/forestry/editing_window_fixture.h"
#include "tests/forestry/forester_day_harvests.h"
#include "tests/forestry/sample_forest_blocks.h"

namespace {

// Centre, size, urgency and keys of an exported harvest area.
struct Exported {
  double X, Y, Width, Height;
  std::string Keys;  // LHC|ODDELENI|DILEC|POROST|SKUPINA|NALEHAV
};

class ForesterDayWindowTest : public EditingWindowTest {
 protected:
  // The centre of the new harvest, in the stand group of the day's first
  // harvest, below it.
  static constexpr double kX = -850, kY = -875;

  void Run(const std::string& line) {
    interpreter->Line = line;
    interpreter->DoIt();
  }
  // A rectangle 56 m by 10 m round the centre: four corners clicked and a
  // fifth vertex, dragged onto the first; stored into the stand group's
  // LINIE.
  void DrawBoundary() {
    Choose<TPolyLineEditor>("Editory", "Kresba");
    const PixelPoint first = PixelOf(kX - 28, kY - 5);
    for (const PixelPoint& at : {first, PixelOf(kX - 28, kY + 5), PixelOf(kX + 28, kY + 5), PixelOf(kX + 28, kY - 5),
                                 PixelOf(kX, kY - 20)})
      Click(at);
    Drag(PixelOf(kX, kY - 20), {first.first + 4, first.second});
    SaveScreenshot("edit_under_way");
    AnswerWith({"bt_OK"});
    Click(PixelOf(kX, kY), 1);
  }
  // The harvest area made at a click inside the boundary, given its
  // attributes; then the harvest layer rebuilt, assigned, taken out and
  // exported into TEZ3.BLK as the day does.
  void MakeAreaAndExport() {
    Choose<TPolyLineAreaEditor>("Editory", "Plocha");
    AnswerWith({"bt_OK"}, [](platform::Form& form) {
      form.SetText("ed_Zpusob", "2");
      form.SetText("ed_Nalehavost", "3");
      form.SetText("ed_Srafa", "5");
    });
    Click(PixelOf(kX, kY));
    answers.clear();
    for (const char* line :
         {"ExtractLHC(LayerName:'TEZ')", "HeleClearLHC(LayerName:'TEZ', HolesGroup:'99', SnapDistance:'1')",
          "HeleZaradLHC(LayerName:'TEZ', PropertyClassName:'TTezPProps', HolesGroup:'99', Group:'12')",
          "ExtractLHC(LayerName:'TEZ')",
          "ExportLHC(LayerName:'TEZ', BlockName:'TEZ3.BLK', ControlDIR:'.', Group:'12', HolesGroup:'99', "
          "PropertyClassName:'TTezPProps')"})
      Run(line);
    EXPECT_THAT(interpreter->Results(), ::testing::Each(::testing::Not(::testing::StartsWith("ERROR"))));
  }
  // The exported area whose bounds are centred within a metre of the point;
  // nil when none is.
  static TAreaElement* AreaCentredAt(TAreaString& exported, double x, double y) {
    TAreaElement* found = nullptr;
    for (TElement* child : exported.Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      if (std::fabs(area->GetCenterX() - x) < 1 && std::fabs(area->GetCenterY() - y) < 1) found = area;
    }
    return found;
  }
  // Whether a vertex of the area's outline lies within a pixel of the point.
  static bool HasVertexNear(const TAreaElement& area, double x, double y) {
    for (int i = 0; i < area.GetCoordsCount(); ++i)
      if (std::fabs(area.GetCoordX(i) - x) <= kMetresPerPixel && std::fabs(area.GetCoordY(i) - y) <= kMetresPerPixel)
        return true;
    return false;
  }
};

TEST_F(ForesterDayWindowTest, AHarvestDrawnInTheWindowIsExportedWithTheDaysHarvests) {
  DrawBoundary();
  MakeAreaAndExport();
  std::string keys = PathBelow(StandGroupAt(kX, kY), DataChild("HIERARCHY")).substr(1);
  std::replace(keys.begin(), keys.end(), '/', '|');
  // The day's harvests as it exported them, and the new one.
  std::vector<Exported> expected;
  for (const DayHarvest& harvest : kDayHarvests)
    expected.push_back({harvest.X + kSampleForestOrigin, harvest.Y + kSampleForestOrigin, kDayHarvestSide,
                        kDayHarvestSide, harvest.Keys});
  expected.push_back({kX, kY, 56, 10, keys + "|3"});
  std::unique_ptr<TAreaString> exported = ReadAreas(folder.File("TEZ3.BLK"));
  ASSERT_NE(exported, nullptr);
  ASSERT_EQ(exported->GetCount(), static_cast<int>(expected.size()));
  for (const Exported& harvest : expected) {
    const std::string where = "harvest at " + std::to_string(harvest.X) + "," + std::to_string(harvest.Y);
    TAreaElement* found = AreaCentredAt(*exported, harvest.X, harvest.Y);
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

// The stored boundary picked by a click on it in the picked-line editor and
// one corner dragged 14 m inwards, finished by the line dialog's OK: the
// area made afterwards, and what is exported, follow the redrawn line.
TEST_F(ForesterDayWindowTest, ABoundaryRedrawnByDraggingIsTheOneBuiltAndExported) {
  DrawBoundary();
  const std::pair<double, double> corner{kX + 28, kY + 5}, moved{kX + 14, kY + 5};
  auto* editor = Choose<TPolyLineEditor>("Editory", "Oprava");
  ASSERT_NE(editor, nullptr);
  Click(PixelOf(kX - 28, kY));
  ASSERT_NE(editor->WorkingElement(), nullptr) << "the boundary picked by a click on its side";
  Drag(PixelOf(corner.first, corner.second), PixelOf(moved.first, moved.second));
  captions.clear();
  AnswerWith({"bt_OK"});
  Click(PixelOf(kX, kY), 1);
  EXPECT_THAT(captions, ::testing::ElementsAre("Stará linie"));
  MakeAreaAndExport();
  std::unique_ptr<TAreaString> exported = ReadAreas(folder.File("TEZ3.BLK"));
  ASSERT_NE(exported, nullptr);
  EXPECT_EQ(exported->GetCount(), static_cast<int>(std::size(kDayHarvests)) + 1)
      << "the day's harvests and the redrawn one, no other";
  // The bounds keep their centre: the far corner below still spans them.
  TAreaElement* found = AreaCentredAt(*exported, kX, kY);
  ASSERT_NE(found, nullptr);
  EXPECT_TRUE(HasVertexNear(*found, moved.first, moved.second)) << "the corner where it was dropped";
  EXPECT_FALSE(HasVertexNear(*found, corner.first, corner.second)) << "the corner where it was";
  // A trapezium of sides 42 m and 56 m, 10 m apart, instead of the
  // rectangle's 560 m²; a pixel's strip along the long side allowed.
  EXPECT_NEAR(std::fabs(found->GetCalculatedArea()), 490, 56 * kMetresPerPixel);
}

}  // namespace
