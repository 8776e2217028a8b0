#include "spatial/sheets/coordinate_systems.h"

#include <memory>

#include "spatial/geometry/geometry_elements.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

class WCSTest : public SpatialTest {};

TEST_F(WCSTest, TheNationalGridIsKindOneWithItsAxisNames) {
  TJTSK grid;
  EXPECT_EQ(grid.GetKind(), 1);
  EXPECT_EQ(grid.GetAxis1Name(), "Y");
  EXPECT_EQ(grid.GetAxis2Name(), "X");
  EXPECT_EQ(grid.GetAxis3Name(), "Vyska");
}

TEST_F(WCSTest, TheNationalGridNegatesEveryCoordinateBothWays) {
  TJTSK grid;
  long double x = 0, y = 0, z = 0;
  grid.ConvertToWorld(909652.431L, 898025.984L, -12.5L, x, y, z);
  EXPECT_EQ(x, -909652.431L);
  EXPECT_EQ(y, -898025.984L);
  EXPECT_EQ(z, 12.5L);
  grid.ConvertFromWorld(x, y, z, x, y, z);
  EXPECT_EQ(x, 909652.431L);
  EXPECT_EQ(y, 898025.984L);
  EXPECT_EQ(z, -12.5L);
}

TEST_F(WCSTest, CoordinatesAreConvertedInPlaceAndReturned) {
  TJTSK grid;
  T3DCoordinate point;
  point.SetX(100);
  point.SetY(-200);
  point.SetZ(300);
  EXPECT_EQ(grid.CoordToWorld(&point), &point);
  EXPECT_EQ(point.GetX(), -100);
  EXPECT_EQ(point.GetY(), 200);
  EXPECT_EQ(point.GetZ(), -300);
  EXPECT_EQ(grid.CoordFromWorld(&point), &point);
  EXPECT_EQ(point.GetX(), 100);
  EXPECT_EQ(point.GetY(), -200);
  EXPECT_EQ(point.GetZ(), 300);
}

TEST_F(WCSTest, GeographicConversionsOfTheGridChangeNothing) {
  TJTSK grid;
  T2DCoordinate point(5, 6);
  EXPECT_EQ(grid.CoordToGeographic(&point), &grid);
  EXPECT_EQ(grid.CoordFromGeographic(&point), &grid);
  EXPECT_EQ(point.GetX(), 5);
  EXPECT_EQ(point.GetY(), 6);
}

TEST_F(WCSTest, TheLibraryMakesOnlyTheNationalGridOnDemandAndOnlyOnce) {
  TWCSLibrary library;
  EXPECT_EQ(library.FindWCS(2), nullptr);
  EXPECT_EQ(library.GetCount(), 0);
  TWCS* grid = library.FindWCS(1);
  ASSERT_NE(DynamicCast<TJTSK>(grid), nullptr);
  EXPECT_EQ(library.FindWCS(1), grid);
  EXPECT_EQ(library.GetCount(), 1);
  EXPECT_EQ(library.FindWCS(2), nullptr);
  EXPECT_EQ(library.GetCount(), 1);
}

TEST_F(WCSTest, TheWorldMakesItsLibraryOnceAsAChild) {
  TWCSWorld world;
  const int before = world.GetCount();
  TWCSLibrary* library = world.GetLibrary();
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(world.GetLibrary(), library);
  EXPECT_EQ(world.GetCount(), before + 1);
  EXPECT_GE(world.IndexOf(library), 0);
  TWCS* grid = world.GetWCS(1);
  EXPECT_EQ(grid->GetKind(), 1);
  EXPECT_EQ(library->IndexOf(grid), 0);
  EXPECT_EQ(world.GetWCS(3), nullptr);
}

TEST_F(WCSTest, TheProgramsWorldIsMadeWithCoordinateSystems) {
  EXPECT_EQ(WorldClass(), TWCSWorld::StaticClass());
  std::unique_ptr<TElement> world(NewElement(WorldClass()));
  EXPECT_NE(DynamicCast<TWCSWorld>(world.get()), nullptr);
}

}  // namespace
