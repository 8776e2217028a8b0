#include "spatial/sheets/zm_sheets.h"

#include <cmath>
#include <map>
#include <memory>

#include "tests/spatial/spatial_fixture.h"

namespace {

struct Point {
  double X, Y;
};
class MapsZMTest : public SpatialTest {
 protected:
  TMapsZM zm;
};

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

// Corners worked out by hand from the corner table: quarters by edge
// midpoints, the 1:10 000 sheets by fifths of the 1:50 000 edges.
TEST_F(MapsZMTest, EverySheetBelowTheFirstLevelHasTheCornersOfItsDivision) {
  const struct {
    const char* name;
    int scale;
    Point corners[4];
  } cases[] = {
      {"12-3",
       100000,
       {{-821646.3435, -1036806.5135}, {-774198.4855, -1043372.393}, {-827152.352, -1074406.698},
        {-779407.3255, -1081013.7}}},
      {"12-34",
       50000,
       {{-800601.126625, -1058899.826125}, {-776802.9055, -1062193.0465}, {-803279.83875, -1077710.199},
        {-779407.3255, -1081013.7}}},
      {"12-342",
       25000,
       {{-788702.0160625, -1060546.4363125}, {-776802.9055, -1062193.0465}, {-790022.79909375, -1069954.19290625},
        {-778105.1155, -1071603.37325}}},
      {"12-34-07",
       10000,
       {{-796374.25314, -1063320.956}, {-791611.63723, -1063980.0113}, {-796907.02388, -1067083.4418},
        {-792141.436285, -1067742.908325}}},
      {"02-11-25",
       10000,
       {{-788660.63392, -941629.61836}, {-783993.11185, -942275.5145}, {-789199.348, -945391.2817},
        {-784528.85425, -946037.5890625}}},
  };
  for (const auto& c : cases) {
    TMapsZM sheet;
    sheet.SetMapName(c.name);
    sheet.SetScale(c.scale);
    double sumX = 0, sumY = 0;
    for (int k = 1; k <= 4; ++k) {
      EXPECT_NEAR(sheet.CornerX(k), c.corners[k - 1].X, 1e-6) << c.name << " corner " << k;
      EXPECT_NEAR(sheet.CornerY(k), c.corners[k - 1].Y, 1e-6) << c.name << " corner " << k;
      sumX += c.corners[k - 1].X;
      sumY += c.corners[k - 1].Y;
    }
    EXPECT_NEAR(sheet.GetZMCenterX(), sumX / 4, 1e-6) << c.name;
    EXPECT_NEAR(sheet.GetZMCenterY(), sumY / 4, 1e-6) << c.name;
  }
}

}  // namespace
