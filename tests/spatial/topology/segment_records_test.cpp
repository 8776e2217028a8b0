#include "spatial/topology/segment_records.h"

#include <gtest/gtest.h>

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

TEST_F(SegmentRecordsTest, EndsMeetAndSplit) {
  TPolyLineElement* line = Line({{0, 0}, {10, 0}, {10, 10}});
  TLumLinAbscissa* base = Segment(line, 0);
  double dist = -1, x = 0, y = 0;
  const bool meets = base->EndMeetsEndOf(false, Segment(Line({{10.3, 0.4}, {20, 0}}), 0), true, 1, dist, x, y);
  EXPECT_EQ(std::tuple(meets, x, y), std::tuple(true, 10.3, 0.4));
  EXPECT_DOUBLE_EQ(dist, 0.5);
  TLumLinAbscissa* made = nullptr;
  base->SplitAt(made, 4, 1);
  std::unique_ptr<TLumLinAbscissa> owned(made);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(std::tuple(line->GetCoordsCount(), base->GetX2(), made->Index, made->IsNew, made->GetX2()),
            std::tuple(4, 4.0, 1, true, 10.0));
}

}  // namespace
