#include "spatial/sheets/geometry_holder.h"

#include "framework/core/class_registry.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

class GeometryElementTest : public SpatialTest {
 protected:
  TGeometryElement holder;
};

TEST_F(GeometryElementTest, ReadingTheGeometryMakesOneEmptyRectEntityNamedGeometry) {
  EXPECT_TRUE(holder.NoGeometry());
  TElement* geometry = holder.GetGeometry();
  ASSERT_NE(DynamicCast<TRectEntity>(geometry), nullptr);
  EXPECT_EQ(geometry->GetName(), "GEOMETRY");
  EXPECT_FALSE(holder.NoGeometry());
  EXPECT_EQ(holder.GetGeometry(), geometry);
  EXPECT_EQ(holder.GetCount(), 1);
}

TEST_F(GeometryElementTest, AChildNamedGeometryInAnyCaseIsFoundAndKept) {
  auto* existing = new TRectEntity;
  existing->SetName("geometry");
  holder.AddElement(existing);
  EXPECT_FALSE(holder.NoGeometry());
  EXPECT_EQ(holder.GetGeometry(), existing);
  EXPECT_EQ(holder.GetCount(), 1);
}

TEST_F(GeometryElementTest, WritingFreesTheOldGeometryAndAdoptsTheNewOne) {
  Tracked<TRectEntity>::Alive = 0;
  auto* first = new Tracked<TRectEntity>;
  holder.SetGeometry(first);
  EXPECT_EQ(holder.GetGeometry(), first);
  EXPECT_EQ(holder.IndexOf(first), 0);
  auto* second = new Tracked<TRectEntity>;
  holder.SetGeometry(second);
  EXPECT_EQ(Tracked<TRectEntity>::Alive, 1);
  EXPECT_EQ(holder.GetGeometry(), second);
  EXPECT_EQ(holder.GetCount(), 1);
  holder.SetGeometry(second);
  EXPECT_EQ(Tracked<TRectEntity>::Alive, 1);
  holder.SetGeometry(nullptr);
  EXPECT_EQ(Tracked<TRectEntity>::Alive, 0);
  EXPECT_TRUE(holder.NoGeometry());
  EXPECT_EQ(holder.GetCount(), 0);
}

TEST_F(GeometryElementTest, WritingReplacesAGeometryChildNotYetLookedUp) {
  Tracked<TRectEntity>::Alive = 0;
  auto* fromFile = new Tracked<TRectEntity>;
  fromFile->SetName("GEOMETRY");
  holder.AddElement(fromFile);
  holder.SetGeometry(new Tracked<TRectEntity>);
  EXPECT_EQ(Tracked<TRectEntity>::Alive, 1);
  EXPECT_EQ(holder.GetCount(), 1);
  holder.SetGeometry(nullptr);
}

TEST_F(GeometryElementTest, AGeometrySetAndThenListedAsAChildStaysOneChildInListOrder) {
  // The element stream sets the property before it adds the listed children.
  auto* geometry = new TRectEntity;
  auto* other = new TRectEntity;
  holder.SetGeometry(geometry);
  holder.AddElement(other);
  holder.AddElement(geometry);
  ASSERT_EQ(holder.GetCount(), 2);
  EXPECT_EQ(holder.GetElement(0), other);
  EXPECT_EQ(holder.GetElement(1), geometry);
  EXPECT_EQ(geometry->GetOwnersCount(), 1);
}

TEST_F(GeometryElementTest, TheGeometryIsStoredOnlyWhenThereIsOne) {
  auto stored = StoredPropertyNames(holder);
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "Geometry"), 0);
  EXPECT_EQ(holder.GetCount(), 0);
  holder.GetGeometry();
  stored = StoredPropertyNames(holder);
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "Geometry"), 1);
  EXPECT_EQ(OwnPropertyNames(TGeometryElement::StaticClass()), (Strings{"Geometry", "NoGeometry"}));
}

}  // namespace
