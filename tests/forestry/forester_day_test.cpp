// The sample forester's day (samples/forest/day.oil) run by the command-line
// interpreter in a written copy of the sample folder.
#include <cmath>
#include <memory>

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

// A harvest area of the sample: its centre in the grid, and its stand group's keys and
// urgency as the exported table must give them.
struct Exported {
  double X, Y;
  std::string Keys;  // LHC|ODDELENI|DILEC|POROST|SKUPINA|NALEHAV
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
  // Harvest areas whose label lies in a stand; the one that lay outside went
  // by its keys the first time and under the root the second.
  const Exported expected[] = {
      {150, 150, "101|1|a|2|2|3"},
      {550, 250, "202|2|a|1|2|1"},
      {350, 650, "101|4|b|1|2|2"},
      {750, 750, "202|4|b|2|2|3"},
  };
  std::unique_ptr<TAreaString> exported = ReadAreas(folder.File("TEZ2.BLK"));
  ASSERT_NE(exported, nullptr);
  ASSERT_EQ(exported->GetCount(), static_cast<int>(std::size(expected)));
  for (const Exported& harvest : expected) {
    const std::string where = "harvest at " + std::to_string(harvest.X) + "," + std::to_string(harvest.Y);
    const double x = harvest.X + kSampleForestOrigin, y = harvest.Y + kSampleForestOrigin;
    TAreaElement* found = nullptr;
    for (TElement* child : exported->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      if (std::fabs(area->GetCenterX() - x) < 1 && std::fabs(area->GetCenterY() - y) < 1) found = area;
    }
    ASSERT_NE(found, nullptr) << where;
    // The outline: the 30 m square, one corner moved by at most 40 cm.
    EXPECT_NEAR(found->GetMinX(), x - 15, 0.4) << where;
    EXPECT_NEAR(found->GetMaxX(), x + 15, 0.4) << where;
    EXPECT_NEAR(found->GetMinY(), y - 15, 0.4) << where;
    EXPECT_NEAR(found->GetMaxY(), y + 15, 0.4) << where;
    EXPECT_NEAR(std::fabs(found->GetCalculatedArea()), 900, 15 * 0.4) << where;
    EXPECT_EQ(Texts(*found, {"LHC", "ODDELENI", "DILEC", "POROST", "SKUPINA", "NALEHAV"}), harvest.Keys) << where;
  }
}

}  // namespace
