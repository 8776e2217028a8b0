// The sample forester's day (samples/forest/day.oil) run by the command-line
// interpreter in a written copy of the sample folder.
#include <cmath>
#include <memory>

#include "tests/forestry/forester_day_harvests.h"
#include "tests/forestry/sample_forest_folder.h"

namespace {

using ::testing::ElementsAre;

class ForesterDayTest : public SampleForestFolderTest {
 protected:
  TElement* Var(TCommandLine& interpreter, const char* name) {
    auto* var = DynamicCast<TVar>(interpreter.Vars()->FindElementByName(name));
    return var ? var->Element() : nullptr;
  }
};

TEST_F(ForesterDayTest, TheDayEndsWithTheRebuiltHarvestAreasInANewBlock) {
  std::unique_ptr<TCommandLine> interpreter(CreateElement<TCommandLine>());
  interpreter->ByDDE = true;
  interpreter->SetFileName("day.oil");
  interpreter->DoIt();
  EXPECT_THAT(interpreter->Results(), ::testing::Each(::testing::Not(::testing::StartsWith("ERROR"))));
  TElement* byName = Var(*interpreter, "BYNAME");
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(byName, Var(*interpreter, "BYPOINT")) << "found by its names and by a point alike";
  EXPECT_EQ(PathBelow(byName, DynamicCast<TEntity>(world->ObjectModel()->FindElementByName("DATA"))
                                  ->FindElementByName("HIERARCHY")),
            "/101/1/a/2/2");
  EXPECT_THAT(Boxes(), ElementsAre("Pro linii c.3 není nalezen objekt pro přidání"));
  EXPECT_THAT(MessageTexts(msgLogText), ::testing::Contains("Pro BOD_PNT c.3 není nalezena PSK"));
  // Every harvest area, those outside every stand too, each once.
  std::unique_ptr<TAreaString> exported = ReadAreas(folder.File("TEZ2.BLK"));
  ASSERT_NE(exported, nullptr);
  ASSERT_EQ(exported->GetCount(), static_cast<int>(std::size(kDayHarvests)));
  for (const DayHarvest& harvest : kDayHarvests) {
    const std::string where = "harvest at " + std::to_string(harvest.X) + "," + std::to_string(harvest.Y);
    const double x = harvest.X + kSampleForestOrigin, y = harvest.Y + kSampleForestOrigin;
    TAreaElement* found = nullptr;
    for (TElement* child : exported->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      if (std::fabs(area->GetCenterX() - x) < 1 && std::fabs(area->GetCenterY() - y) < 1) found = area;
    }
    ASSERT_NE(found, nullptr) << where;
    // The outline: the 30 m square, one corner moved by at most 40 cm.
    const double half = kDayHarvestSide / 2;
    EXPECT_NEAR(found->GetMinX(), x - half, kDayCornerMove) << where;
    EXPECT_NEAR(found->GetMaxX(), x + half, kDayCornerMove) << where;
    EXPECT_NEAR(found->GetMinY(), y - half, kDayCornerMove) << where;
    EXPECT_NEAR(found->GetMaxY(), y + half, kDayCornerMove) << where;
    EXPECT_NEAR(std::fabs(found->GetCalculatedArea()), kDayHarvestSide * kDayHarvestSide, kDayAreaTolerance)
        << where;
    EXPECT_EQ(Texts(*found, {"LHC", "ODDELENI", "DILEC", "POROST", "SKUPINA", "NALEHAV"}), harvest.Keys) << where;
  }
}

}  // namespace
