#include "spatial/sheets/zm_sheets.h"

#include <cmath>
#include <memory>
#include <numbers>

#include "framework/core/class_registry.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

struct Point {
  double X;
  double Y;
};

// Corners of the locator's current level.
std::array<Point, 4> CornersOf(const TMapsZM& zm) {
  return {Point{zm.CornerX(1), zm.CornerY(1)}, Point{zm.CornerX(2), zm.CornerY(2)},
          Point{zm.CornerX(3), zm.CornerY(3)}, Point{zm.CornerX(4), zm.CornerY(4)}};
}

void ExpectPoint(const Point& p, double x, double y) {
  EXPECT_NEAR(p.X, x, 1e-6);
  EXPECT_NEAR(p.Y, y, 1e-6);
}

Point Mid(const Point& a, const Point& b) { return {(a.X + b.X) / 2, (a.Y + b.Y) / 2}; }

// Sheet 1 of 1:200 000 in model coordinates, as the table gives it.
const std::array<Point, 4> kSheet1 = {Point{-898025.984, -909652.431}, Point{-805128.319, -924005.96},
                                      Point{-910223.928, -984669.564}, Point{-816140.335, -999206.329}};

class MapsZMTest : public SpatialTest {
 protected:
  TMapsZM zm;
};

TEST_F(MapsZMTest, ANewLocatorStandsAt200000WithNoSheetAndCoversAllSheets) {
  EXPECT_EQ(zm.GetScale(), 200000);
  EXPECT_EQ(zm.GetMap200(), 0);
  EXPECT_EQ(zm.GetMapName(), "");
  // Extremes over the 18 sheets: B of points 31 and 16, A of points 46 and 1.
  EXPECT_DOUBLE_EQ(zm.GetMinX(), -934619.816);
  EXPECT_DOUBLE_EQ(zm.GetMaxX(), -437863.421);
  EXPECT_DOUBLE_EQ(zm.GetMinY(), -1269686.596);
  EXPECT_DOUBLE_EQ(zm.GetMaxY(), -909652.431);
}

TEST_F(MapsZMTest, OnlyTheEighteenTableSheetsAreValid) {
  int count = 0;
  for (int i = -1; i <= 60; ++i)
    if (TMapsZM::ValidMap200(i)) ++count;
  EXPECT_EQ(count, 18);
  for (int i : {1, 4, 11, 15, 21, 25, 32, 35}) EXPECT_TRUE(TMapsZM::ValidMap200(i)) << i;
  for (int i : {0, 5, 10, 16, 20, 26, 31, 36}) EXPECT_FALSE(TMapsZM::ValidMap200(i)) << i;
}

TEST_F(MapsZMTest, Sheet1TakesItsCornersNegatedAndSwappedFromTheTable) {
  zm.SetMap200(1);
  const auto corners = CornersOf(zm);
  for (int k = 0; k < 4; ++k) ExpectPoint(corners[k], kSheet1[k].X, kSheet1[k].Y);
  EXPECT_EQ(zm.CornerX(0), 0);
  EXPECT_EQ(zm.CornerY(5), 0);
  EXPECT_EQ(zm.GetMapName(), "01");
}

TEST_F(MapsZMTest, ANumberThatIsNoSheetIsRefusedAndBlocksTheLevelsBelow) {
  zm.SetMap200(5);
  EXPECT_EQ(zm.GetMap200(), 0);
  EXPECT_EQ(zm.GetMapName(), "");
  zm.SetMap100(3);
  EXPECT_EQ(zm.GetMap100(), 0);
}

TEST_F(MapsZMTest, QuartersSplitAtTheEdgeMiddlesAndKeepTheCornerOrder) {
  zm.SetMap200(1);
  zm.SetMap100(4);
  zm.SetScale(100000);
  const auto& c = kSheet1;
  const Point centre = Mid(Mid(c[0], c[1]), Mid(c[2], c[3]));
  const auto corners = CornersOf(zm);
  ExpectPoint(corners[0], centre.X, centre.Y);
  ExpectPoint(corners[1], Mid(c[1], c[3]).X, Mid(c[1], c[3]).Y);
  ExpectPoint(corners[2], Mid(c[2], c[3]).X, Mid(c[2], c[3]).Y);
  ExpectPoint(corners[3], c[3].X, c[3].Y);
  EXPECT_NEAR(zm.GetZMCenterX(), (corners[0].X + corners[1].X + corners[2].X + corners[3].X) / 4, 1e-6);
  EXPECT_NEAR(zm.GetZMCenterY(), (corners[0].Y + corners[1].Y + corners[2].Y + corners[3].Y) / 4, 1e-6);
  zm.SetMap100(1);
  ExpectPoint(CornersOf(zm)[0], c[0].X, c[0].Y);
  ExpectPoint(CornersOf(zm)[1], Mid(c[0], c[1]).X, Mid(c[0], c[1]).Y);
  ExpectPoint(CornersOf(zm)[2], Mid(c[0], c[2]).X, Mid(c[0], c[2]).Y);
  ExpectPoint(CornersOf(zm)[3], centre.X, centre.Y);
  zm.SetMap100(2);
  ExpectPoint(CornersOf(zm)[0], Mid(c[0], c[1]).X, Mid(c[0], c[1]).Y);
  ExpectPoint(CornersOf(zm)[1], c[1].X, c[1].Y);
  ExpectPoint(CornersOf(zm)[2], centre.X, centre.Y);
  ExpectPoint(CornersOf(zm)[3], Mid(c[1], c[3]).X, Mid(c[1], c[3]).Y);
  zm.SetMap100(3);
  ExpectPoint(CornersOf(zm)[0], Mid(c[0], c[2]).X, Mid(c[0], c[2]).Y);
  ExpectPoint(CornersOf(zm)[1], centre.X, centre.Y);
  ExpectPoint(CornersOf(zm)[2], c[2].X, c[2].Y);
  ExpectPoint(CornersOf(zm)[3], Mid(c[2], c[3]).X, Mid(c[2], c[3]).Y);
}

TEST_F(MapsZMTest, TheTenThousandPartsCutTheFiftyThousandSheetFiveByFive) {
  zm.SetMapName("01-11");
  const auto sheet50 = CornersOf(zm);
  auto along = [](const Point& a, const Point& b, double f) { return Point{a.X + f * (b.X - a.X), a.Y + f * (b.Y - a.Y)}; };
  auto grid = [&](int column, int row) {
    const Point top = along(sheet50[0], sheet50[1], column / 5.0);
    const Point bottom = along(sheet50[2], sheet50[3], column / 5.0);
    return along(top, bottom, row / 5.0);
  };
  zm.SetScale(10000);
  zm.SetMap10(7);  // column 2, row 2
  auto corners = CornersOf(zm);
  ExpectPoint(corners[0], grid(1, 1).X, grid(1, 1).Y);
  ExpectPoint(corners[1], grid(2, 1).X, grid(2, 1).Y);
  ExpectPoint(corners[2], grid(1, 2).X, grid(1, 2).Y);
  ExpectPoint(corners[3], grid(2, 2).X, grid(2, 2).Y);
  zm.SetMap10(5);  // column 5, row 1
  ExpectPoint(CornersOf(zm)[1], sheet50[1].X, sheet50[1].Y);
  zm.SetMap10(25);
  ExpectPoint(CornersOf(zm)[3], sheet50[3].X, sheet50[3].Y);
  zm.SetMap10(26);
  EXPECT_EQ(zm.GetMap10(), 0);
}

TEST_F(MapsZMTest, The10000SheetNeedsNo25000Sheet) {
  zm.SetMap200(12);
  zm.SetMap100(3);
  zm.SetMap50(4);
  EXPECT_EQ(zm.GetMap25(), 0);
  zm.SetMap10(7);
  EXPECT_EQ(zm.GetMap10(), 7);
}

TEST_F(MapsZMTest, TheAngleIsTheDirectionOfEdgeThreeToFour) {
  zm.SetMap200(1);
  const double expected = std::atan2(kSheet1[3].Y - kSheet1[2].Y, kSheet1[3].X - kSheet1[2].X) + 2 * std::numbers::pi;
  EXPECT_NEAR(zm.GetAngle(), expected, 1e-12);
}

TEST_F(MapsZMTest, OtherScalesReadTheFiftyThousandCorners) {
  zm.SetMapName("12-34");
  const auto sheet50 = CornersOf(zm);
  zm.SetScale(30000);
  const auto other = CornersOf(zm);
  for (int k = 0; k < 4; ++k) ExpectPoint(other[k], sheet50[k].X, sheet50[k].Y);
}

TEST_F(MapsZMTest, NamesOfEveryScaleRoundTrip) {
  for (const auto& [name, scale] : {std::pair{"12", 200000}, std::pair{"12-3", 100000}, std::pair{"12-34", 50000},
                                    std::pair{"12-342", 25000}, std::pair{"12-34-07", 10000},
                                    std::pair{"02-11-25", 10000}}) {
    TMapsZM locator;
    locator.SetScale(200000);
    locator.SetMapName(name);
    EXPECT_EQ(locator.GetScale(), scale) << name;
    EXPECT_EQ(locator.GetMapName(), name);
  }
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(MapsZMTest, The10000NameSetsEveryLevel) {
  zm.SetMapName("12-34-07");
  EXPECT_EQ(zm.GetScale(), 10000);
  EXPECT_EQ(zm.GetMap200(), 12);
  EXPECT_EQ(zm.GetMap100(), 3);
  EXPECT_EQ(zm.GetMap50(), 4);
  EXPECT_EQ(zm.GetMap10(), 7);
  EXPECT_EQ(zm.GetMapName(), "12-34-07");
  zm.SetScale(25000);
  zm.SetMap25(2);
  EXPECT_EQ(zm.GetMapName(), "12-342");
}

TEST_F(MapsZMTest, MalformedNamesAreRefusedWithAMessageAndChangeNothing) {
  zm.SetMapName("12-34-07");
  for (const std::string bad : {"1a-34-07", "12-3x-07", "12-34-0y", "12-34-7", "12_34", "123", "12-34-07-1", " "}) {
    dialogs.Messages.clear();
    zm.SetMapName(bad);
    ASSERT_EQ(dialogs.Messages.size(), 1u) << bad;
    EXPECT_EQ(dialogs.Messages[0].Text, "Špatné jméno mapy ZM: " + bad);
    EXPECT_EQ(zm.GetMapName(), "12-34-07") << bad;
  }
}

TEST_F(MapsZMTest, NoNameMeansNoSheet) {
  zm.SetMapName("12-34-07");
  zm.SetMapName("");
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(zm.GetMap200(), 0);
  EXPECT_EQ(zm.GetMap10(), 0);
  EXPECT_EQ(zm.GetScale(), 10000);
  EXPECT_EQ(zm.GetMapName(), "");
}

TEST_F(MapsZMTest, ANewHigherSheetCarriesTheLowerNumbersWithNoStaleCorners) {
  zm.SetMapName("12-34-07");
  zm.SetMap200(13);
  TMapsZM fresh;
  fresh.SetMapName("13-34-07");
  for (int scale : {100000, 50000, 10000}) {
    zm.SetScale(scale);
    fresh.SetScale(scale);
    for (int k = 1; k <= 4; ++k) {
      EXPECT_EQ(zm.CornerX(k), fresh.CornerX(k)) << scale;
      EXPECT_EQ(zm.CornerY(k), fresh.CornerY(k)) << scale;
    }
  }
  EXPECT_EQ(zm.GetMapName(), "13-34-07");
}

TEST_F(MapsZMTest, AHigherNumberThatIsRefusedClearsTheLevelsBelow) {
  zm.SetMapName("12-34-07");
  zm.SetScale(200000);
  const double corner200 = zm.CornerX(1);
  zm.SetMap200(5);
  EXPECT_EQ(zm.CornerX(1), corner200);  // the level written keeps its corners
  EXPECT_EQ(zm.GetMap100(), 0);
  EXPECT_EQ(zm.GetMap50(), 0);
  EXPECT_EQ(zm.GetMap10(), 0);
  for (int scale : {100000, 50000, 10000}) {
    zm.SetScale(scale);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(zm.CornerX(k), 0) << scale;
  }
}

TEST_F(MapsZMTest, QuadBoundsEnclosesTheFourCorners) {
  TZMCorners corners = {TRealPoint{3, 9}, TRealPoint{7, 8}, TRealPoint{1, 2}, TRealPoint{6, 1}};
  std::unique_ptr<TRectangle> bounds(TMapsZM::QuadBounds(corners));
  EXPECT_EQ(bounds->MinX(), 1);
  EXPECT_EQ(bounds->MinY(), 1);
  EXPECT_EQ(bounds->MaxX(), 7);
  EXPECT_EQ(bounds->MaxY(), 9);
}

TEST_F(MapsZMTest, PropertiesAreWrittenThroughTheSetters) {
  zm.SetPropertyText("Scale", "10000");
  zm.SetPropertyText("Map200", "12");
  zm.SetPropertyText("Map100", "3");
  zm.SetPropertyText("Map50", "4");
  zm.SetPropertyText("Map10", "7");
  EXPECT_EQ(zm.GetPropertyText("MapName"), "12-34-07");
  zm.SetPropertyText("MapName", "11-2");
  EXPECT_EQ(zm.GetPropertyText("Scale"), "100000");
  EXPECT_EQ(OwnPropertyNames(TMapsZM::StaticClass()),
            (Strings{"Color", "PenWidth", "PenStyle", "Scale", "Map200", "Map100", "Map50", "Map25", "Map10",
                     "ZMCenterX", "ZMCenterY", "Angle", "MapName"}));
}

}  // namespace
