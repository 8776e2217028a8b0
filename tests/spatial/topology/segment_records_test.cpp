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

// A segment at either end of its line is at the line's margin.
TEST_F(SegmentRecordsTest, TheFirstAndLastSegmentsAreAtTheMargin) {
  TPolyLineElement* two = Line({{0, 0}, {1, 0}});
  TPolyLineElement* five = Line({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}});
  const struct {
    const char* name;
    TPolyLineElement* line;
    int index;
    bool first, last, margin;
  } rows[] = {
      {"the only segment", two, 0, true, true, true},  {"the first of four", five, 0, true, false, true},
      {"the second of four", five, 1, false, false, false}, {"the third of four", five, 2, false, false, false},
      {"the last of four", five, 3, false, true, true},
  };
  for (const auto& row : rows) {
    const TLumLinAbscissa* s = Segment(row.line, row.index);
    EXPECT_EQ(std::tuple(s->GetIsFirst(), s->GetIsLast(), s->GetIsMargin()), std::tuple(row.first, row.last, row.margin))
        << row.name;
  }
}

}  // namespace
