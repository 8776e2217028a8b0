#include "spatial/sheets/geometry_holder.h"

#include "tests/spatial/spatial_fixture.h"

namespace {

// Geometry is stored only once it exists, and a loaded one is found by its name: the series stream tests
// save a holder with one and one without.
class GeometryElementTest : public SpatialTest {
 protected:
  TGeometryElement holder;
};

TEST_F(GeometryElementTest, ReadingMakesOneEmptyRectEntityNamedGeometry) {
  EXPECT_EQ(std::pair(holder.NoGeometry(), holder.GetCount()), std::pair(true, 0));
  TElement* geometry = holder.GetGeometry();
  ASSERT_NE(DynamicCast<TRectEntity>(geometry), nullptr);
  EXPECT_EQ(std::tuple(geometry->GetName(), holder.GetGeometry(), holder.GetCount()),
            std::tuple("GEOMETRY", geometry, 1));
}

TEST_F(GeometryElementTest, WritingFreesTheOldGeometryAndAdoptsTheNewOneAsOneChild) {
  Tracked<TRectEntity>::Alive = 0;
  auto* fromFile = new Tracked<TRectEntity>;  // a geometry child not yet looked up is replaced too
  fromFile->SetName("GEOMETRY");
  holder.AddElement(fromFile);
  auto* second = new Tracked<TRectEntity>;
  holder.SetGeometry(new Tracked<TRectEntity>);
  holder.SetGeometry(second);
  holder.SetGeometry(second);
  EXPECT_EQ(std::tuple(Tracked<TRectEntity>::Alive, holder.Children()), std::tuple(1, std::vector<TElement*>{second}));
  holder.SetGeometry(nullptr);
  EXPECT_EQ(std::tuple(Tracked<TRectEntity>::Alive, holder.NoGeometry(), holder.GetCount()), std::tuple(0, true, 0));
  // The element stream sets the property before it adds the listed children.
  auto* geometry = new TRectEntity;
  auto* other = new TRectEntity;
  holder.SetGeometry(geometry);
  holder.AddElement(other);
  holder.AddElement(geometry);
  EXPECT_EQ(std::tuple(holder.Children(), geometry->GetOwnersCount()),
            std::tuple(std::vector<TElement*>{other, geometry}, 1));
}

}  // namespace
