#include "forestry/selectors/skupina_selectors.h"

#include <string>
#include <vector>

#include "block/forest_model/forest_units.h"
#include "tests/forestry/forest_data_fixture.h"

namespace {

// P1 101/12/a/3/2 at (0,0) with a 4 by 4 hole; P2 101/12/b/1/1 at (10,0).
class SkupinaSelectorTest : public ForestDataTest {
 protected:
  void SetUp() override {
    ForestDataTest::SetUp();
    PlaceStands({{{"101", "12", "a", "3", "2"}, 0, 0, 4}, {{"101", "12", "b", "1", "1"}, 10, 0}});
    selector = new TSkupinaSelector;
    owner.AddElement(selector);
  }
  void TearDown() override {
    owner.Clear();
    ForestDataTest::TearDown();
  }
  std::string Found(TElement* psk) const {
    if (!psk) return "none";
    if (psk == Unit({"101", "12", "a", "3", "2"})) return "P1";
    if (psk == Unit({"101", "12", "b", "1", "1"})) return "P2";
    return "other";
  }

  TRecorder owner;
  TSkupinaSelector* selector = nullptr;
};

TEST_F(SkupinaSelectorTest, TheGroupAtThePointIsTheOutputAndTheOwnersAreTold) {
  struct Row {
    const char* name;
    double x, y;
    const char* found;
  } rows[] = {
      {"inside the first", 1, 1, "P1"},
      {"inside the second", 15, 5, "P2"},
      {"in the hole", 5, 5, "none"},
      {"outside every area", 50, 50, "none"},
  };
  for (const Row& row : rows) {
    selector->SetOutput(Unit({"101"}));
    owner.Messages.clear();
    selector->X = row.x;
    selector->Y = row.y;
    selector->DoIt();
    RunMessages();
    EXPECT_EQ(Found(selector->Output()), row.found) << row.name;
    const bool told = std::string(row.found) != "none";
    ASSERT_EQ(owner.Messages.size(), told ? 1u : 0u) << row.name;
    if (told) {
      EXPECT_EQ(owner.Messages[0].Code, msgElementSelected) << row.name;
    }
  }
}

}  // namespace
