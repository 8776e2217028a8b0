// The areas and holes of the topology against GEOS's polygonizer on the same
// lines: two independent builds of the faces of one map must agree.
#include <gtest/gtest.h>

#include <memory>

#include "bench/geos_reference.h"
#include "block/block_classes.h"
#include "block/topology/area_building.h"
#include "platform/dialogs.h"
#include "spatial/objects/space_entities.h"

namespace {

TEST(GeosCrossCheck, TheTopologyFindsTheAreasAndHolesGeosFindsOnTenThousandSegments) {
  RegisterBlockClasses();
  platform::RecordingDialogs dialogs;
  platform::SetDialogs(&dialogs);
  const struct {
    const char* name;
    int segmentsPerEdge;
    std::uint64_t seed;
  } rows[] = {{"four segments an edge", 4, 5}, {"one segment an edge", 1, 77}};
  for (const auto& row : rows) {
    const TStandMap map = MakeStandMap(StandMapSideFor(10000, row.segmentsPerEdge), row.seed, row.segmentsPerEdge);
    ASSERT_GE(map.SegmentCount(), 10000u) << row.name;
    const TGeosFaces geos = GeosPolygonize(map);
    std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
    TMakeNodesAndAreas maker;
    maker.SetInput(lines.get());
    maker.DoIt();
    auto* areas = DynamicCast<TAreaString>(maker.Output());
    ASSERT_NE(areas, nullptr) << row.name;
    int holes = 0;
    for (TElement* child : areas->Children())
      if (THolesEntity* list = static_cast<TAreaElement*>(child)->Holes()) holes += list->GetCount();
    EXPECT_EQ(areas->GetCount(), geos.Polygons) << row.name;
    EXPECT_EQ(holes, geos.InteriorRings) << row.name;
    EXPECT_EQ(geos.Polygons, map.ExpectedAreas) << row.name;
  }
  EXPECT_TRUE(dialogs.Messages.empty());
  platform::SetDialogs(nullptr);
}

}  // namespace
