#include "forestry/reconstruction/lines_to_areas.h"

#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "bench/stand_map.h"
#include "block/reading/block_reader.h"
#include "framework/values/typed_values.h"
#include "tests/forestry/forest_data_fixture.h"
#include "tests/forestry/reconstruction/boundary_fixture.h"

namespace {

using ::testing::ElementsAre;

// The sizes of GEOS's polygons of the lines, ascending.
std::vector<double> GeosFaceAreas(const TEntity& lines) {
  GEOSContextHandle_t h = GEOS_init_r();
  std::vector<GEOSGeometry*> strings;
  for (TElement* child : lines.Children()) {
    auto* line = static_cast<TPolyLineElement*>(child);
    GEOSCoordSequence* points = GEOSCoordSeq_create_r(h, static_cast<unsigned>(line->GetCoordsCount()), 2);
    for (int i = 0; i < line->GetCoordsCount(); ++i)
      GEOSCoordSeq_setXY_r(h, points, static_cast<unsigned>(i), line->GetCoordX(i), line->GetCoordY(i));
    strings.push_back(GEOSGeom_createLineString_r(h, points));
  }
  std::vector<double> areas;
  if (GEOSGeometry* faces = GEOSPolygonize_r(h, strings.data(), static_cast<unsigned>(strings.size()))) {
    for (int i = 0; i < GEOSGetNumGeometries_r(h, faces); ++i) {
      double area = 0;
      GEOSArea_r(h, GEOSGetGeometryN_r(h, faces, i), &area);
      areas.push_back(area);
    }
    GEOSGeom_destroy_r(h, faces);
  }
  for (GEOSGeometry* line : strings) GEOSGeom_destroy_r(h, line);
  GEOS_finish_r(h);
  std::sort(areas.begin(), areas.end());
  return areas;
}

std::vector<double> AreaSizes(const TEntity& areas) {
  std::vector<double> sizes;
  for (TElement* child : areas.Children()) sizes.push_back(std::fabs(static_cast<TAreaElement*>(child)->GetCalculatedArea()));
  std::sort(sizes.begin(), sizes.end());
  return sizes;
}

// The U-shaped stand, the stand above it and the gap between them: lines
// a to f as the layer rebuilding test has them.
class LinesToAreasTest : public ForestDataTest {
 protected:
  void SetUp() override {
    ForestDataTest::SetUp();
    for (const Vertices& points : std::vector<Vertices>{{{10, 20}, {10, 10}, {20, 10}, {20, 20}},
                                                         {{20, 20}, {30, 20}},
                                                         {{30, 20}, {30, 0}, {0, 0}, {0, 20}},
                                                         {{0, 20}, {10, 20}},
                                                         {{10, 20}, {20, 20}},
                                                         {{0, 20}, {0, 30}, {30, 30}, {30, 20}}})
      lines.push_back(BoundaryLine(points));
    for (TPolyLineElement* line : lines) layer.AddEntity(line);
    areaA = BoundedArea({{lines[3], true}, {lines[0], true}, {lines[1], true}, {lines[2], true}}, 5, 5);
    areaB = BoundedArea({{lines[5], true}, {lines[1], false}, {lines[4], false}, {lines[3], false}}, 15, 25);
    hole = BoundedArea({{BoundaryLine({{1, 1}, {1, 2}, {2, 2}, {2, 1}, {1, 1}}), false}}, 1.5, 1.5);
    areaA->AddHole(hole);
    stands.AddElement(areaA);
    stands.AddElement(areaB);
  }

  TRectEntity layer;
  std::vector<TPolyLineElement*> lines;
  TOwnerEntity stands;
  TPolyLineAreaElement *areaA = nullptr, *areaB = nullptr, *hole = nullptr;
};

TEST_F(LinesToAreasTest, TheExtractorTakesEveryBoundaryLineOnceHolesIncluded) {
  for (bool copy : {false, true}) {
    TLineExtractor tool;
    tool.CopyLines = copy;
    tool.SetInput(&stands);
    tool.DoIt();
    auto* output = DynamicCast<TEntity>(tool.Output());
    ASSERT_NE(output, nullptr);
    std::vector<std::string> outlines;
    for (TElement* line : output->Children()) {
      outlines.push_back(Outline(*static_cast<TPolyElement*>(line)));
      EXPECT_EQ(line->GetOwnersCount() == 1, copy) << "copies are the output's alone";
    }
    TElement* holeLine = hole->GetElement(0);
    EXPECT_THAT(outlines, ElementsAre(Outline(*lines[3]), Outline(*lines[0]), Outline(*lines[1]), Outline(*lines[2]),
                                      Outline(*lines[5]), Outline(*lines[4]),
                                      Outline(*static_cast<TPolyElement*>(holeLine))))
        << (copy ? "copies" : "lines");
  }
}

// The walk enters every entity but a line: what a line holds is no boundary
// line of the input.
TEST_F(LinesToAreasTest, TheExtractorEntersEveryEntityButALine) {
  struct Row {
    const char* name;
    bool insideTheLine;  // the second line held by the first, else by a group
    int taken;
  } rows[] = {
      {"a line in a group", false, 2},
      {"a line held by a line", true, 1},
  };
  for (const Row& row : rows) {
    TOwnerEntity input;
    TPolyLineElement* first = BoundaryLine({{0, 0}, {5, 0}});
    input.AddElement(first);
    TPolyLineElement* second = BoundaryLine({{5, 5}, {9, 9}});
    TEntity* holder = row.insideTheLine ? static_cast<TEntity*>(first) : Named<TOwnerEntity>("group", &input);
    holder->AddElement(second);
    TLineExtractor tool;
    tool.SetInput(&input);
    tool.DoIt();
    const std::vector<TElement*> expected{first, second};
    auto* output = DynamicCast<TEntity>(tool.Output());
    ASSERT_NE(output, nullptr) << row.name;
    EXPECT_EQ(std::vector<TElement*>(output->Children().begin(), output->Children().end()),
              std::vector<TElement*>(expected.begin(), expected.begin() + row.taken))
        << row.name;
  }
}

TEST_F(LinesToAreasTest, TheExtractorOwnsItsOutputAndReportsOneThatIsNoEntity) {
  TLineExtractor tool;
  tool.SetInput(&stands);
  tool.DoIt();
  const TElementLink first(tool.Output());
  auto* text = new TStringElement;
  tool.SetOutput(text);
  EXPECT_EQ(first.Get(), nullptr) << "the previous output is freed";
  tool.DoIt();
  EXPECT_THAT(MessageTexts(msgLogText), ElementsAre("ERROR: LineExtractor expected TEntity at output!"));
}

// The joined lines' container gets their bounds, 0..30 both ways, whether
// or not its caller computed them: the areas are read within them.
TEST_F(LinesToAreasTest, JoinedLinesGiveTheAreasTheyEnclose) {
  struct Row {
    const char* name;
    bool boundsComputed;
  } rows[] = {{"bounds computed by the caller", true}, {"bounds never computed", false}};
  for (const Row& row : rows) {
    std::unique_ptr<TRectEntity> input(CreateElement<TRectEntity>());
    input->AddAllFrom(&layer);
    if (row.boundsComputed) input->UpdateRect();
    TCreateAreasFromLinesTool tool;
    tool.SetInput(input.get());
    tool.DoIt();
    std::unique_ptr<TAreaString> areas(DynamicCast<TAreaString>(tool.Output()));
    ASSERT_NE(areas, nullptr) << row.name;
    EXPECT_THAT(AreaSizes(*areas), ElementsAre(100, 300, 500)) << row.name;
    for (TElement* child : areas->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      EXPECT_TRUE(area->ContainsPointOutsideHoles(area->GetAbsRefX(), area->GetAbsRefY()))
          << row.name << ": label inside";
    }
    EXPECT_EQ(input->GetCount(), 6) << row.name << ": the input holds the joined lines";
    EXPECT_EQ(std::vector<double>({input->GetMinX(), input->GetMinY(), input->GetMaxX(), input->GetMaxY()}),
              std::vector<double>({0, 0, 30, 30}))
        << row.name;
  }
}

// A line with a free end bounds no area: the area it reaches into keeps its
// outline without it.
TEST_F(LinesToAreasTest, ALineWithAFreeEndBoundsNoArea) {
  struct Row {
    const char* name;
    Vertices dangling;  // from a node of the layer to its free end
  } rows[] = {
      {"into the area above", {{10, 20}, {12, 25}}},
      {"bent, into the U-shaped area", {{30, 20}, {25, 5}, {22, 8}}},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TRectEntity> input(CreateElement<TRectEntity>());
    input->AddAllFrom(&layer);
    input->AddEntity(BoundaryLine(row.dangling));
    input->UpdateRect();
    TAreasFromClearLines tool;
    tool.SetInput(input.get());
    tool.DoIt();
    std::unique_ptr<TAreaString> areas(DynamicCast<TAreaString>(tool.Output()));
    ASSERT_NE(areas, nullptr) << row.name;
    EXPECT_THAT(AreaSizes(*areas), ElementsAre(100, 300, 500)) << row.name;
    const auto [freeX, freeY] = row.dangling.back();
    for (TElement* child : areas->Children()) {
      const auto* area = static_cast<TAreaElement*>(child);
      for (int i = 0; i < area->GetCoordsCount(); ++i)
        EXPECT_FALSE(area->GetCoordX(i) == freeX && area->GetCoordY(i) == freeY)
            << row.name << ": " << Outline(*area);
    }
  }
}

TEST_F(LinesToAreasTest, RebuiltStandMapAreasEqualGeosPolygons) {
  for (const auto& [side, seed] : {std::pair{3, 1u}, {6, 7u}, {10, 42u}}) {
    const TStandMap map = MakeStandMap(side, seed);
    std::unique_ptr<TPolyLineString> lineString(MakeStandMapLines(map));
    std::unique_ptr<TRectEntity> input(CreateElement<TRectEntity>());
    input->AddAllFrom(lineString.get());
    input->UpdateRect();
    const std::vector<double> expected = GeosFaceAreas(*input);
    TAreasFromClearLines tool;
    tool.SetInput(input.get());
    tool.DoIt();
    std::unique_ptr<TAreaString> areas(DynamicCast<TAreaString>(tool.Output()));
    ASSERT_NE(areas, nullptr) << side;
    const std::vector<double> sizes = AreaSizes(*areas);
    ASSERT_EQ(sizes.size(), expected.size()) << "side " << side;
    EXPECT_EQ(static_cast<int>(sizes.size()), map.ExpectedAreas) << "side " << side;
    for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_NEAR(sizes[i], expected[i], 1e-6) << "side " << side;
  }
}

TEST_F(LinesToAreasTest, TheSampleStandBlocksLinesGiveGeosPolygons) {
  TLumaRBlokReader reader;
  reader.Create(std::string(KESTX_SAMPLES_DIR) + "/forest/DET.BLK");
  std::unique_ptr<TPolyLineString> read(reader.ReadLines());
  ASSERT_NE(read, nullptr);
  std::unique_ptr<TRectEntity> input(CreateElement<TRectEntity>());
  input->AddAllFrom(read.get());
  input->UpdateRect();
  const std::vector<double> expected = GeosFaceAreas(*input);
  TCreateAreasFromLinesTool tool;
  tool.SetInput(input.get());
  tool.DoIt();
  std::unique_ptr<TAreaString> areas(DynamicCast<TAreaString>(tool.Output()));
  ASSERT_NE(areas, nullptr);
  const std::vector<double> sizes = AreaSizes(*areas);
  ASSERT_EQ(sizes.size(), expected.size());
  EXPECT_GT(sizes.size(), 60u);
  for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_NEAR(sizes[i], expected[i], 1e-6) << i;
}

TEST_F(LinesToAreasTest, NoLinesGiveAnEmptyAreaList) {
  TRectEntity input;
  TAreasFromClearLines tool;
  tool.SetInput(&input);
  tool.DoIt();
  std::unique_ptr<TAreaString> areas(DynamicCast<TAreaString>(tool.Output()));
  ASSERT_NE(areas, nullptr);
  EXPECT_TRUE(areas->IsEmpty());
}

TEST_F(LinesToAreasTest, OnlyARectEntityOfLinesIsJoined) {
  TClearLines tool;
  TOwnerEntity notRect;
  tool.SetInput(&notRect);
  tool.DoIt();
  EXPECT_EQ(tool.Output(), nullptr);
}

}  // namespace
