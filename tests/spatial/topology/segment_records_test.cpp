#include "spatial/topology/segment_records.h"

#include <gmock/gmock.h>

#include <cmath>
#include <memory>

#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

class SegmentRecordsTest : public SpatialTest {
 protected:
  TPolyLineElement* Line(std::initializer_list<TRealPoint> points) {
    auto* line = new TPolyLineElement;
    for (const TRealPoint& p : points) line->AddVertex(p.X, p.Y);
    lines.AddElement(line);
    return line;
  }
  TLumLinAbscissa* Segment(TPolyLineElement* line, int index) {
    auto* segment = new TLumLinAbscissa;
    segment->SetLine(line);
    segment->Index = index;
    segments.AddElement(segment);
    return segment;
  }

  TPolyLineString lines;
  TEntity segments;
};

TEST_F(SegmentRecordsTest, ValuesComeFromTheLinesVerticesAndOutOfRangeReadZero) {
  TPolyLineElement* line = Line({{4, 9}, {1, 5}, {8, 8}});
  line->SetProperties(new TDynamicProperties);
  line->SetPropertyText("Cislo", "17");
  const TLumLinAbscissa* s = Segment(line, 1);
  EXPECT_EQ(std::tuple(s->GetIsFirst(), s->GetIsLast(), s->GetXmin(), s->GetYmax(), s->GetLength(), s->GetLineNo()),
            std::tuple(false, true, 1, 8, std::sqrt(58.0), 17));
  EXPECT_EQ(Segment(nullptr, 0)->GetLineNo(), -1);
  TLumLinAbscissa* beyond = Segment(line, 2);  // out of range: read as zero, written nowhere
  beyond->SetX2(99);
  EXPECT_EQ(std::pair(beyond->GetX2(), line->GetCoordsCount()), std::pair(0.0, 3));
  TLumLinAbscissa* none = beyond;
  Segment(nullptr, 0)->SplitAt(none, 1, 1);
  EXPECT_EQ(none, nullptr);
}

TEST_F(SegmentRecordsTest, AnEndSnapsOntoANearSegmentOnceAndIsThenFixed) {
  struct Row {
    const char* name;
    TRealPoint end;  // of the snapping segment, which starts at (5, -20)
    bool fixed;
    bool snaps;
  } rows[] = {
      {"onto the middle", {5, -0.5}, false, true},
      {"already fixed", {5, -0.5}, true, false},
      {"exactly on the other's begin", {0, 0}, false, false},
      {"foot outside the other", {12, -0.5}, false, false},
  };
  for (const Row& row : rows) {
    const TLumLinAbscissa* other = Segment(Line({{0, 0}, {10, 0}}), 0);
    TLumLinAbscissa* s = Segment(Line({{5, -20}, {row.end.X, row.end.Y}}), 0);
    s->FixedEnd = row.fixed;
    double x = 0, y = 0;
    EXPECT_EQ(s->SnapEndToSegment(false, other, 1, x, y), row.snaps) << row.name;
    EXPECT_EQ(std::tuple(s->FixedEnd, s->GetX2(), s->GetY2()),
              std::tuple(row.fixed || row.snaps, row.snaps ? 5 : row.end.X, row.snaps ? 0 : row.end.Y))
        << row.name;
  }
}

TEST_F(SegmentRecordsTest, EndsMeetCrossAndSplit) {
  TPolyLineElement* line = Line({{0, 0}, {10, 0}, {10, 10}});
  TLumLinAbscissa* base = Segment(line, 0);
  double dist = -1, x = 0, y = 0, fx = 0, fy = 0;
  const bool meets = base->EndMeetsEndOf(false, Segment(Line({{10.3, 0.4}, {20, 0}}), 0), true, 1, dist, x, y);
  EXPECT_EQ(std::tuple(meets, x, y), std::tuple(true, 10.3, 0.4));
  EXPECT_DOUBLE_EQ(dist, 0.5);
  const std::tuple<const char*, const TLumLinAbscissa*, bool, bool> crossings[] = {
      {"the next segment of the line", Segment(line, 1), false, false},
      {"an end in the middle", Segment(Line({{4, 0.2}, {4, 9}}), 0), true, false},
      {"an end near this segment's begin", Segment(Line({{0.1, 0.3}, {-5, 9}}), 0), true, true},
      {"an end sitting on this begin", Segment(Line({{0, 0}, {-4, 9}}), 0), false, false}};
  for (const auto& [name, other, found, nearEnd] : crossings) {
    bool Found = !found, NearEnd = !nearEnd;
    base->CrossingWith(other, true, 1, Found, NearEnd, x, y, fx, fy);
    EXPECT_EQ(std::pair(Found, NearEnd), std::pair(found, nearEnd)) << name;
  }
  bool bb, ee, be, eb;
  base->SharedEnds(Segment(Line({{10, 0}, {0, 0}}), 0), bb, ee, be, eb);
  EXPECT_EQ((std::vector<bool>{bb, ee, be, eb}), (std::vector<bool>{false, false, true, true}));
  TLumLinAbscissa* made = nullptr;
  base->SplitAt(made, 4, 1);
  std::unique_ptr<TLumLinAbscissa> owned(made);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(std::tuple(line->GetCoordsCount(), base->GetX2(), made->Index, made->IsNew, made->GetX2()),
            std::tuple(4, 4.0, 1, true, 10.0));
}

TEST_F(SegmentRecordsTest, ASegmentTreeFindsAVerticalSegmentByARectangleTouchingItsX) {
  TQTreeLumLinAbsc tree;
  TLumLinAbscissa* vertical = Segment(Line({{3, 1}, {3, 9}}), 0);
  tree.AddAndGrow(vertical);
  for (int i = 0; i < 40; ++i) tree.AddAndGrow(Segment(Line({{10.0 + i, 0}, {11.0 + i, 2}}), 0));
  EXPECT_FALSE(tree.IsLeaf());
  TQTreeWalker walker;
  std::vector<TElement*> found;
  for (TElement* e = walker.FindFirst(&tree, 0, 4, 3, 5, 0); e; e = walker.FindNext()) found.push_back(e);
  ASSERT_FALSE(found.empty());
  EXPECT_THAT(found, ::testing::Each(vertical));
  EXPECT_EQ(walker.FindFirst(&tree, 0, 4, 2.999, 5, 0), nullptr);
}

}  // namespace
