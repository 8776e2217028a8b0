#include "spatial/topology/segment_records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

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
  EXPECT_EQ(std::pair(s->GetXmax(), s->GetYmin()), std::pair(8.0, 5.0));
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

// An end within the tolerance of the point moves onto it; one farther stays.
TEST_F(SegmentRecordsTest, AnEndSnapsOntoAPointWithinTheTolerance) {
  const struct {
    const char* name;
    bool atBegin;
    double x, y;
    bool snapped;
    double x1, y1, x2, y2;
  } rows[] = {
      {"begin within", true, 0.05, -0.05, true, 0.05, -0.05, 10, 0},
      {"end within", false, 9.95, 0.05, true, 0, 0, 9.95, 0.05},
      {"begin beyond", true, 0.5, 0, false, 0, 0, 10, 0},
      {"end near the begin", false, 0.05, 0, false, 0, 0, 10, 0},
  };
  for (const auto& row : rows) {
    TLumLinAbscissa* s = Segment(Line({{0, 0}, {10, 0}, {20, 0}}), 0);
    EXPECT_EQ(s->SnapEnd(row.atBegin, row.x, row.y, 0.1), row.snapped) << row.name;
    EXPECT_EQ(std::tuple(s->GetX1(), s->GetY1(), s->GetX2(), s->GetY2()), std::tuple(row.x1, row.y1, row.x2, row.y2))
        << row.name;
  }
}

// An end that is not fixed and not one of the other segment's own ends moves
// onto its foot on the other segment when that lies within it, nearer than
// the tolerance, and is fixed there.
TEST_F(SegmentRecordsTest, AnEndSnapsOntoTheFootOnAnotherSegmentAndIsFixedThere) {
  const struct {
    const char* name;
    TRealPoint begin, end;  // this segment
    bool atBegin, fixedBefore;
    TRealPoint otherBegin, otherEnd;
    bool snapped;
    TRealPoint movedTo;  // the asked end afterwards
  } rows[] = {
      {"begin near the middle", {5, 0.05}, {5, 5}, true, false, {0, 0}, {10, 0}, true, {5, 0}},
      {"end near the middle", {5, 5}, {3, -0.05}, false, false, {0, 0}, {10, 0}, true, {3, 0}},
      {"begin near a slanted segment", {5, 5.1}, {0, 9}, true, false, {0, 0}, {10, 10}, true, {5.05, 5.05}},
      {"begin already fixed", {5, 0.05}, {5, 5}, true, true, {0, 0}, {10, 0}, false, {5, 0.05}},
      {"begin on the other's end", {10, 0}, {10, 5}, true, false, {0, 0}, {10, 0}, false, {10, 0}},
      {"begin on the other's begin", {0, 0}, {0, 5}, true, false, {0, 0}, {10, 0}, false, {0, 0}},
      {"the foot beyond the other's end", {10.05, 0.01}, {12, 5}, true, false, {0, 0}, {10, 0}, false, {10.05, 0.01}},
      {"begin beyond the tolerance", {5, 5.2}, {0, 9}, true, false, {0, 0}, {10, 10}, false, {5, 5.2}},
  };
  for (const auto& row : rows) {
    TLumLinAbscissa* s = Segment(Line({row.begin, row.end}), 0);
    const TLumLinAbscissa* other = Segment(Line({row.otherBegin, row.otherEnd}), 0);
    (row.atBegin ? s->FixedBegin : s->FixedEnd) = row.fixedBefore;
    double x = -1, y = -1;
    EXPECT_EQ(s->SnapEndToSegment(row.atBegin, other, 0.1, x, y), row.snapped) << row.name;
    const TRealPoint asked = row.atBegin ? TRealPoint{s->GetX1(), s->GetY1()} : TRealPoint{s->GetX2(), s->GetY2()};
    const TRealPoint kept = row.atBegin ? TRealPoint{s->GetX2(), s->GetY2()} : TRealPoint{s->GetX1(), s->GetY1()};
    const TRealPoint far = row.atBegin ? row.end : row.begin;
    EXPECT_NEAR(asked.X, row.movedTo.X, 1e-12) << row.name;
    EXPECT_NEAR(asked.Y, row.movedTo.Y, 1e-12) << row.name;
    EXPECT_EQ(std::pair(kept.X, kept.Y), std::pair(far.X, far.Y)) << row.name;
    EXPECT_EQ(row.atBegin ? s->FixedBegin : s->FixedEnd, row.fixedBefore || row.snapped) << row.name;
    if (row.snapped) {
      EXPECT_EQ(std::pair(x, y), std::pair(asked.X, asked.Y)) << row.name;
    }
  }
}

// The other segment's asked end lies on this one within the tolerance, unless
// the two share that end or both ends.
TEST_F(SegmentRecordsTest, AnOtherSegmentsEndOnThisOneIsACrossingUnlessTheEndsAreShared) {
  const struct {
    const char* name;
    TRealPoint begin, end;
    bool found;
  } rows[] = {
      {"its begin on this one", {5, 0.05}, {5, 5}, true},
      {"its begin on this one, the far ends shared", {5, 0.05}, {10, 0}, true},
      {"its begin beyond the tolerance", {5, 0.5}, {5, 5}, false},
      {"its begin shared with this begin", {0, 0}, {5, 5}, false},
      {"both ends shared", {0, 0}, {10, 0}, false},
      {"both ends shared the other way", {10, 0}, {0, 0}, false},
  };
  for (const auto& row : rows) {
    const TLumLinAbscissa* s = Segment(Line({{0, 0}, {10, 0}}), 0);
    const TLumLinAbscissa* other = Segment(Line({row.begin, row.end}), 0);
    bool found = false, nearEnd = false;
    double px = 0, py = 0, fx = 0, fy = 0;
    s->CrossingWith(other, true, 0.1, found, nearEnd, px, py, fx, fy);
    EXPECT_EQ(found, row.found) << row.name;
    if (row.found) {
      EXPECT_EQ(std::tuple(px, py, fx, fy), std::tuple(row.begin.X, row.begin.Y, row.begin.X, 0.0)) << row.name;
    }
  }
}

// A segment tree files a segment under the box of its two ends: a rectangle
// that touches a vertical segment only at its x finds it.
TEST_F(SegmentRecordsTest, ASegmentTreeFindsSegmentsByTheBoxOfTheirEnds) {
  TQTreeLumLinAbsc tree;
  TLumLinAbscissa* vertical = Segment(Line({{5, 0}, {5, 10}}), 0);
  TLumLinAbscissa* slanted = Segment(Line({{20, 12}, {8, 4}}), 0);
  ASSERT_TRUE(tree.AddAndGrow(vertical));
  ASSERT_TRUE(tree.AddAndGrow(slanted));
  const struct {
    const char* name;
    TRealRect query;
    std::vector<TElement*> found;
  } rows[] = {
      {"touching the vertical one at its x", {5, 2, 7, 3}, {vertical}},
      {"just left of the vertical one", {4, 2, 4.99, 3}, {}},
      {"within the slanted one's box only", {10, 5, 11, 6}, {slanted}},
      {"touching the slanted one's box at its upper corner", {20, 12, 21, 13}, {slanted}},
      {"over both", {0, 0, 30, 30}, {vertical, slanted}},
  };
  for (const auto& row : rows) {
    std::vector<TElement*> found;
    TQTreeWalker walker;
    const TRealRect& q = row.query;
    for (TElement* e = walker.FindFirst(&tree, q.MinX, q.MinY, q.MaxX, q.MaxY, 0); e; e = walker.FindNext())
      found.push_back(e);
    EXPECT_EQ(found, row.found) << row.name;
  }
}

}  // namespace
