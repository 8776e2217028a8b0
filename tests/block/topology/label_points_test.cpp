#include "block/topology/label_points.h"

#include <memory>

#include "tests/block/topology/topology_fixture.h"

namespace {

class LabelPointsTest : public TopologyTest {
 protected:
  static std::unique_ptr<TAreaElement> Polygon(const Points& points) {
    auto area = std::make_unique<TAreaElement>();
    for (const auto& [x, y] : points) area->AddVertex(x, y);
    area->CalcBounds();
    return area;
  }
};

// A square with a notch cut up from the bottom right of its centre: the row
// through the centre meets the boundary at 0 and 5.05.
const Points kNotched{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {9, 0}, {9, 9}, {5.05, 9}, {5.05, 0}, {0, 0}};
const Points kSquare{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};

TEST_F(LabelPointsTest, TheCentreIsTakenUnlessItLiesWithinAHundredthOfItsSpanFromTheBoundary) {
  const struct {
    const char* name;
    Points outline;
    bool acceptCentre;
    double x, y;
  } rows[] = {
      {"a square: its centre", kSquare, false, 5, 5},
      {"a centre 0.05 from the boundary of a span of 5.05: the middle of the span", kNotched, false, 2.525, 5},
      {"a centre inside is taken as it is when accepted", kNotched, true, 5, 5},
  };
  for (const auto& row : rows) {
    std::unique_ptr<TAreaElement> area = Polygon(row.outline);
    TAreaPointPlacer placer;
    placer.AcceptCentre = row.acceptCentre;
    placer.SetInput(area.get());
    placer.DoIt();
    EXPECT_EQ(placer.Output(), area.get()) << row.name;
    EXPECT_NEAR(area->GetAbsRefX(), row.x, 1e-9) << row.name;
    EXPECT_NEAR(area->GetAbsRefY(), row.y, 1e-9) << row.name;
  }
}

}  // namespace
