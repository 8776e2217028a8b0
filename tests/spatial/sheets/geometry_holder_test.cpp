#include "spatial/sheets/geometry_holder.h"

#include <algorithm>

#include "tests/spatial/spatial_fixture.h"

namespace {

class GeometryElementTest : public SpatialTest {
 protected:
  bool GeometryStored() {
    const Strings stored = StoredPropertyNames(holder);
    return std::count(stored.begin(), stored.end(), "Geometry") == 1;
  }
  TGeometryElement holder;
};

TEST_F(GeometryElementTest, ReadingMakesOneEmptyRectEntityNamedGeometryStoredOnlyOnceItExists) {
  EXPECT_TRUE(holder.NoGeometry());
  EXPECT_FALSE(GeometryStored());
  EXPECT_EQ(holder.GetCount(), 0);  // asking made none
  TElement* geometry = holder.GetGeometry();
  ASSERT_NE(DynamicCast<TRectEntity>(geometry), nullptr);
  EXPECT_EQ(geometry->GetName(), "GEOMETRY");
  EXPECT_FALSE(holder.NoGeometry());
  EXPECT_EQ(holder.GetGeometry(), geometry);
  EXPECT_EQ(holder.Children(), std::vector<TElement*>{geometry});
  EXPECT_TRUE(GeometryStored());
  TGeometryElement named;  // a child named geometry in any case is found and kept
  auto* existing = new TRectEntity;
  existing->SetName("geometry");
  named.AddElement(existing);
  EXPECT_FALSE(named.NoGeometry());
  EXPECT_EQ(named.GetGeometry(), existing);
  EXPECT_EQ(named.GetCount(), 1);
}

TEST_F(GeometryElementTest, WritingFreesTheOldGeometryAndAdoptsTheNewOneAsOneChild) {
  Tracked<TRectEntity>::Alive = 0;
  auto* fromFile = new Tracked<TRectEntity>;  // a geometry child not yet looked up is replaced too
  fromFile->SetName("GEOMETRY");
  holder.AddElement(fromFile);
  auto* first = new Tracked<TRectEntity>;
  holder.SetGeometry(first);
  EXPECT_EQ(Tracked<TRectEntity>::Alive, 1);
  EXPECT_EQ(holder.Children(), std::vector<TElement*>{first});
  auto* second = new Tracked<TRectEntity>;
  holder.SetGeometry(second);
  holder.SetGeometry(second);
  EXPECT_EQ(Tracked<TRectEntity>::Alive, 1);
  EXPECT_EQ(holder.GetGeometry(), second);
  EXPECT_EQ(holder.GetCount(), 1);
  holder.SetGeometry(nullptr);
  EXPECT_EQ(Tracked<TRectEntity>::Alive, 0);
  EXPECT_TRUE(holder.NoGeometry());
  EXPECT_EQ(holder.GetCount(), 0);

  // The element stream sets the property before it adds the listed children.
  auto* geometry = new TRectEntity;
  auto* other = new TRectEntity;
  holder.SetGeometry(geometry);
  holder.AddElement(other);
  holder.AddElement(geometry);
  EXPECT_EQ(holder.Children(), (std::vector<TElement*>{other, geometry}));
  EXPECT_EQ(geometry->GetOwnersCount(), 1);
}

}  // namespace
