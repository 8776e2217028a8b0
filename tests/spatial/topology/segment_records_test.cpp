#include "spatial/topology/segment_records.h"

#include <gmock/gmock.h>

#include <memory>

#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using ::testing::ElementsAre;

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

TEST_F(SegmentRecordsTest, FirstLastAndMarginFollowTheIndexInTheLine) {
  struct Row {
    const char* name;
    int vertices, index;
    bool first, last, margin;
  } rows[] = {
      {"only segment of 2 vertices", 2, 0, true, true, true},
      {"first of 5", 5, 0, true, false, true},
      {"inner of 5", 5, 2, false, false, false},
      {"last of 5", 5, 3, false, true, true},
  };
  for (const Row& row : rows) {
    TPolyLineElement* line = Line({});
    for (int i = 0; i < row.vertices; ++i) line->AddVertex(i, i * i);
    const TLumLinAbscissa* s = Segment(line, row.index);
    EXPECT_EQ(std::tuple(s->GetIsFirst(), s->GetIsLast(), s->GetIsMargin(), s->GetX1(), s->GetY2()),
              std::tuple(row.first, row.last, row.margin, row.index, (row.index + 1) * (row.index + 1)))
        << row.name;
  }
}

TEST_F(SegmentRecordsTest, ComputedValuesComeFromTheLinesVertices) {
  TPolyLineElement* line = Line({{4, 9}, {1, 5}, {8, 8}});
  line->SetProperties(new TDynamicProperties);
  line->SetPropertyText("Cislo", "17");
  const TLumLinAbscissa* s = Segment(line, 0);
  EXPECT_EQ(std::tuple(s->GetXmin(), s->GetYmin(), s->GetXmax(), s->GetYmax(), s->GetLength(), s->GetLineNo()),
            std::tuple(1, 5, 4, 9, 5, 17));
  EXPECT_EQ(Segment(nullptr, 0)->GetLineNo(), -1);
  TLumLinAbscissa* beyond = Segment(line, 2);  // out of range: read as zero, written nowhere
  beyond->SetX2(99);
  EXPECT_EQ(std::pair(beyond->GetX2(), line->GetCoordsCount()), std::pair(0.0, 3));
  // Snapping an end moves the shared vertex for the neighbour too.
  TLumLinAbscissa* first = Segment(line, 0);
  EXPECT_FALSE(first->SnapEnd(false, 4, 20, 1));
  EXPECT_TRUE(first->SnapEnd(false, 1.5, 5, 1));
  EXPECT_EQ(std::tuple(Segment(line, 1)->GetX1(), line->GetCoordX(1), first->FixedEnd), std::tuple(1.5, 1.5, false));
}

TEST_F(SegmentRecordsTest, EndsMeetWithinToleranceUnlessFixed) {
  const TLumLinAbscissa* other = Segment(Line({{10.3, 0.4}, {20, 0}}), 0);
  struct Row {
    const char* name;
    bool fixed;
    double tol;
    bool meets;
  } rows[] = {{"within", false, 1, true}, {"too far", false, 0.4, false}, {"fixed end", true, 1, false}};
  for (const Row& row : rows) {
    TLumLinAbscissa* s = Segment(Line({{0, 0}, {10, 0}}), 0);
    s->FixedEnd = row.fixed;
    double dist = -1, x = 0, y = 0;
    EXPECT_EQ(s->EndMeetsEndOf(false, other, true, row.tol, dist, x, y), row.meets) << row.name;
    EXPECT_EQ(std::pair(x, y), std::pair(10.3, 0.4)) << row.name;
    EXPECT_DOUBLE_EQ(dist, row.meets ? 0.5 : -1) << row.name;
  }
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
      {"beyond the tolerance", {5, -2}, false, false},
      {"foot outside the other", {12, -0.5}, false, false},
  };
  for (const Row& row : rows) {
    const TLumLinAbscissa* other = Segment(Line({{0, 0}, {10, 0}}), 0);
    TLumLinAbscissa* s = Segment(Line({{5, -20}, {row.end.X, row.end.Y}}), 0);
    s->FixedEnd = row.fixed;
    double x = 0, y = 0;
    EXPECT_EQ(s->SnapEndToSegment(false, other, 1, x, y), row.snaps) << row.name;
    EXPECT_EQ(std::tuple(s->FixedEnd, s->GetX2(), s->GetY2(), s->GetY1()),
              std::tuple(row.fixed || row.snaps, row.snaps ? 5 : row.end.X, row.snaps ? 0 : row.end.Y, -20.0))
        << row.name;
  }
}

TEST_F(SegmentRecordsTest, CrossingReportsAnOtherEndLyingOnThisSegment) {
  TPolyLineElement* line = Line({{0, 0}, {10, 0}, {10, 10}});
  const TLumLinAbscissa* base = Segment(line, 0);
  struct Row {
    const char* name;
    const TLumLinAbscissa* other;
    bool atBegin;
    bool found, nearEnd;
  } rows[] = {
      {"the next segment of the line, at the shared vertex", Segment(line, 1), true, false, false},
      {"the same segment", Segment(line, 0), true, false, false},
      {"an end in the middle", Segment(Line({{4, 0.2}, {4, 9}}), 0), true, true, false},
      {"the other end chosen", Segment(Line({{4, 9}, {4, 0.2}}), 0), false, true, false},
      {"an end near this segment's begin", Segment(Line({{0.1, 0.3}, {-5, 9}}), 0), true, true, true},
      {"an end too far off", Segment(Line({{4, 2}, {4, 9}}), 0), true, false, false},
      {"an end sitting on this begin", Segment(Line({{0, 0}, {-4, 9}}), 0), true, false, false},
  };
  for (const Row& row : rows) {
    bool found = true, nearEnd = true;
    double px = 0, py = 0, fx = 0, fy = 0;
    base->CrossingWith(row.other, row.atBegin, 1, found, nearEnd, px, py, fx, fy);
    EXPECT_EQ(std::tuple(found, nearEnd, row.found ? fy : 0), std::tuple(row.found, row.nearEnd, 0.0)) << row.name;
  }
}

TEST_F(SegmentRecordsTest, SplittingInsertsTheVertexAndGivesANewSegmentToTheOldEnd) {
  TPolyLineElement* line = Line({{0, 0}, {10, 0}});
  TLumLinAbscissa* s = Segment(line, 0);
  TLumLinAbscissa* made = nullptr;
  s->SplitAt(made, 4, 1);
  std::unique_ptr<TLumLinAbscissa> owned(made);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(std::tuple(line->GetCoordsCount(), s->Index, s->GetX2(), s->GetY2()), std::tuple(3, 0, 4.0, 1.0));
  EXPECT_EQ(std::tuple(made->GetLine(), made->Index, made->IsNew, made->GetX1(), made->GetX2()),
            std::tuple(line, 1, true, 4.0, 10.0));

  TLumLinAbscissa* none = s;
  Segment(nullptr, 0)->SplitAt(none, 1, 1);
  EXPECT_EQ(none, nullptr);
}

TEST_F(SegmentRecordsTest, SharedEndsCompareTheFourPairsExactly) {
  const TLumLinAbscissa* s = Segment(Line({{0, 0}, {5, 5}}), 0);
  bool bb, ee, be, eb;
  s->SharedEnds(Segment(Line({{5, 5}, {0, 0}}), 0), bb, ee, be, eb);
  EXPECT_THAT((std::vector<bool>{bb, ee, be, eb}), ElementsAre(false, false, true, true));
  s->SharedEnds(Segment(Line({{0, 0}, {5, 5.0000001}}), 0), bb, ee, be, eb);
  EXPECT_THAT((std::vector<bool>{bb, ee, be, eb}), ElementsAre(true, false, false, false));
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
  EXPECT_TRUE(vertical->BoundsMeetRect(0, 4, 2.5, 5, 0.5));
}

}  // namespace
