#include "spatial/sheets/coordinate_systems.h"

#include <memory>

#include "tests/spatial/spatial_fixture.h"

namespace {

class WCSTest : public SpatialTest {};

TEST_F(WCSTest, TheNationalGridNegatesEveryCoordinateBothWaysAndInPlace) {
  TJTSK grid;
  EXPECT_EQ(std::tuple(grid.GetKind(), grid.GetAxis1Name(), grid.GetAxis2Name(), grid.GetAxis3Name()),
            std::tuple(1, "Y", "X", "Vyska"));
  long double x = 0, y = 0, z = 0;
  grid.ConvertToWorld(909652.431L, 898025.984L, -12.5L, x, y, z);
  EXPECT_EQ(std::tuple(x, y, z), std::tuple(-909652.431L, -898025.984L, 12.5L));
  grid.ConvertFromWorld(x, y, z, x, y, z);
  EXPECT_EQ(std::tuple(x, y, z), std::tuple(909652.431L, 898025.984L, -12.5L));
  T3DCoordinate point;
  SetTexts(point, {{"X", "100"}, {"Y", "-200"}, {"Z", "300"}});
  EXPECT_EQ(grid.CoordToWorld(&point), &point);
  EXPECT_EQ(Texts(point, {"X", "Y", "Z"}), "-100|200|-300");
  EXPECT_EQ(grid.CoordFromWorld(&point), &point);
  EXPECT_EQ(grid.CoordToGeographic(&point), &grid);
  EXPECT_EQ(Texts(point, {"X", "Y", "Z"}), "100|-200|300");  // the geographic conversions change nothing
}

TEST_F(WCSTest, TheWorldMakesItsLibraryOnceAndTheLibraryOnlyTheNationalGridOnce) {
  EXPECT_EQ(WorldClass(), TWCSWorld::StaticClass());  // the program's world has coordinate systems
  TWCSWorld world;
  const int before = world.GetCount();
  TWCSLibrary* library = world.GetLibrary();
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(std::tuple(world.GetLibrary(), world.GetCount(), library->FindWCS(2)),
            std::tuple(library, before + 1, nullptr));
  TWCS* grid = world.GetWCS(1);
  ASSERT_NE(DynamicCast<TJTSK>(grid), nullptr);
  EXPECT_EQ(std::tuple(world.GetWCS(1), library->GetCount(), world.GetWCS(3)), std::tuple(grid, 1, nullptr));
}

}  // namespace
