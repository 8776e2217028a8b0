#include "spatial/sheets/zm_sheets.h"

#include <cmath>
#include <map>
#include <memory>
#include <numbers>

#include "tests/spatial/spatial_fixture.h"

namespace {

struct Point {
  double X, Y;
};
using Corners = std::array<Point, 4>;

// Corners of the locator's current level.
Corners CornersOf(const TMapsZM& zm) {
  Corners c;
  for (int k = 0; k < 4; ++k) c[k] = {zm.CornerX(k + 1), zm.CornerY(k + 1)};
  return c;
}

void ExpectCorners(const Corners& actual, const Corners& expected) {
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(actual[k].X, expected[k].X, 1e-6) << "corner " << k + 1;
    EXPECT_NEAR(actual[k].Y, expected[k].Y, 1e-6) << "corner " << k + 1;
  }
}

Point Along(const Point& a, const Point& b, double f) { return {a.X + f * (b.X - a.X), a.Y + f * (b.Y - a.Y)}; }
Point Mid(const Point& a, const Point& b) { return Along(a, b, 0.5); }

// Sheet 1 of 1:200 000 in model coordinates, as the table gives it.
const Corners kSheet1 = {Point{-898025.984, -909652.431}, Point{-805128.319, -924005.96},
                         Point{-910223.928, -984669.564}, Point{-816140.335, -999206.329}};

class MapsZMTest : public SpatialTest {
 protected:
  TMapsZM zm;
};

TEST_F(MapsZMTest, CornersOfSheetsQuartersAndPartsAndTheAngle) {
  zm.SetMap200(1);  // negated and swapped from the table
  ExpectCorners(CornersOf(zm), kSheet1);
  const double angle = std::atan2(kSheet1[3].Y - kSheet1[2].Y, kSheet1[3].X - kSheet1[2].X) + 2 * std::numbers::pi;
  EXPECT_NEAR(zm.GetAngle(), angle, 1e-12);  // the direction of edge 3 to 4

  // Quarters split at the edge middles and keep the corner order.
  const auto& c = kSheet1;
  const Point n = Mid(c[0], c[1]), e = Mid(c[1], c[3]), s = Mid(c[2], c[3]), w = Mid(c[0], c[2]), m = Mid(n, s);
  const Corners quarters[] = {{c[0], n, w, m}, {n, c[1], m, e}, {w, m, c[2], s}, {m, e, s, c[3]}};
  zm.SetScale(100000);
  for (int q = 1; q <= 4; ++q) {
    SCOPED_TRACE(q);
    zm.SetMap100(q);
    ExpectCorners(CornersOf(zm), quarters[q - 1]);
  }
  EXPECT_NEAR(zm.GetZMCenterX(), (m.X + e.X + s.X + c[3].X) / 4, 1e-6);

  // The 1:10 000 parts cut the 1:50 000 sheet five by five.
  zm.SetMapName("01-11");
  const Corners sheet50 = CornersOf(zm);
  zm.SetScale(30000);  // other scales read the 1:50 000 corners
  ExpectCorners(CornersOf(zm), sheet50);
  auto grid = [&](int column, int row) {
    return Along(Along(sheet50[0], sheet50[1], column / 5.0), Along(sheet50[2], sheet50[3], column / 5.0), row / 5.0);
  };
  zm.SetScale(10000);
  zm.SetMap10(7);  // column 2, row 2
  ExpectCorners(CornersOf(zm), {grid(1, 1), grid(2, 1), grid(1, 2), grid(2, 2)});
}

TEST_F(MapsZMTest, NamesOfEveryScaleRoundTripMalformedOnesAreRefusedAndAnEmptyNameMeansNoSheet) {
  EXPECT_EQ(Texts(zm, {"Scale", "Map200", "MapName"}), "200000|0|");
  zm.SetMap200(5);  // no sheet: refused, and it blocks the levels below
  zm.SetMap100(3);
  EXPECT_EQ(Texts(zm, {"Map200", "Map100", "MapName"}), "0|0|");
  for (const auto& [name, scale] :
       {std::pair{"12", 200000}, std::pair{"12-3", 100000}, std::pair{"12-34", 50000}, std::pair{"12-342", 25000},
        std::pair{"02-11-25", 10000}, std::pair{"12-34-07", 10000}}) {
    zm.SetMapName(name);
    EXPECT_EQ(std::pair(zm.GetScale(), zm.GetMapName()), std::pair(scale, std::string(name)));
  }
  EXPECT_TRUE(dialogs.Messages.empty());
  for (const std::string bad : {"1a-34-07", "12-3x-07", "12-34-0y", "12-34-7", "12_34", "123", "12-34-07-1", " "}) {
    dialogs.Messages.clear();
    zm.SetMapName(bad);
    ASSERT_EQ(dialogs.Messages.size(), 1u) << bad;
    EXPECT_EQ(dialogs.Messages[0].Text, "Špatné jméno mapy ZM: " + bad);
    EXPECT_EQ(zm.GetMapName(), "12-34-07") << bad;
  }
  dialogs.Messages.clear();
  zm.SetMapName("");
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(Texts(zm, {"Map200", "Map10", "Scale", "MapName"}), "0|0|10000|");
}

TEST_F(MapsZMTest, AHigherNumberRecomputesTheLowerCornersOrClearsThem) {
  zm.SetMapName("12-34-07");
  zm.SetMap200(13);
  TMapsZM fresh;
  fresh.SetMapName("13-34-07");
  EXPECT_EQ(zm.GetMapName(), "13-34-07");
  for (int scale : {100000, 50000, 10000}) {
    zm.SetScale(scale);
    fresh.SetScale(scale);
    for (int k = 1; k <= 4; ++k)
      EXPECT_EQ(std::pair(zm.CornerX(k), zm.CornerY(k)), std::pair(fresh.CornerX(k), fresh.CornerY(k))) << scale;
  }
  zm.SetScale(200000);
  const double corner200 = zm.CornerX(1);
  zm.SetMap200(5);  // refused: the level written keeps its corners, the lower ones are cleared
  EXPECT_EQ(std::pair(zm.CornerX(1), Texts(zm, {"Map100", "Map50", "Map10"})),
            std::pair(corner200, std::string("0|0|0")));
  for (int scale : {100000, 50000, 10000}) {
    zm.SetScale(scale);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(zm.CornerX(k), 0) << scale;
  }
}

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
TEST_F(MapsZMTest, TheCornerTableHoldsTogetherAsAWhole) {
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
