#include <cmath>
#include <map>

#include "spatial/sheets/zm_sheets.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using ZMCornerTableTest = SpatialTest;

struct Point {
  double X;
  double Y;
};

// The table point behind every corner of the 18 sheets of 1:200 000, read
// through the locator; a point two sheets share must be the same for both.
std::map<int, Point> TablePoints() {
  std::map<int, Point> points;
  TMapsZM zm;
  for (int i = 1; i <= 35; ++i) {
    if (!TMapsZM::ValidMap200(i)) continue;
    zm.SetMap200(i);
    const int numbers[4] = {i, i + 1, i + 10, i + 11};
    for (int k = 1; k <= 4; ++k) {
      const Point corner{zm.CornerX(k), zm.CornerY(k)};
      const auto [at, added] = points.emplace(numbers[k - 1], corner);
      EXPECT_TRUE(added || (at->second.X == corner.X && at->second.Y == corner.Y))
          << "point " << numbers[k - 1] << " differs between sheet " << i << " and a neighbour";
    }
  }
  return points;
}

// A wrong digit anywhere in the table shows: the columns of the table (points
// ten apart) are straight and evenly spaced to the centimetre, and the sums
// of all 28 points the sheets use are those of the table.
TEST_F(ZMCornerTableTest, TheCornerTableHoldsTogetherAsAWhole) {
  const std::map<int, Point> points = TablePoints();
  ASSERT_EQ(points.size(), 28u);
  int checked = 0;
  for (const auto& [number, p] : points) {
    const auto above = points.find(number - 10);
    const auto below = points.find(number + 10);
    if (above == points.end() || below == points.end()) continue;
    ++checked;
    EXPECT_LT(std::fabs(above->second.X - 2 * p.X + below->second.X), 0.01) << "column through point " << number;
    EXPECT_LT(std::fabs(above->second.Y - 2 * p.Y + below->second.Y), 0.01) << "column through point " << number;
  }
  EXPECT_EQ(checked, 16);
  double sumX = 0;
  double sumY = 0;
  for (const auto& [number, p] : points) {
    sumX += p.X;
    sumY += p.Y;
  }
  // Model points are the grid points negated and swapped: X = -B, Y = -A.
  EXPECT_NEAR(sumX, -19128738.401, 1e-4);
  EXPECT_NEAR(sumY, -30567339.834, 1e-4);
}

}  // namespace
