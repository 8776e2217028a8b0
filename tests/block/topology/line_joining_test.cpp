#include "block/topology/line_joining.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "bench/perturbed_map.h"
#include "block/topology/area_building.h"
#include "platform/code_page.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/objects/registers.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/segment_records.h"
#include "tests/block/topology/topology_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAreArray;

class LineJoiningTest : public TopologyTest {
 protected:
  // Joins the lines of the string; the quadtree of accepted lines is kept.
  void Join(TJoinLines& joiner) {
    joiner.SetInput(&lines);
    joiner.DoIt();
    accepted.reset(static_cast<TQTreeLumLin*>(joiner.Output()));
  }
  void Join(double snap, double minLength = 0, bool onlyEnds = false, bool selfTest = false) {
    TJoinLines joiner;
    joiner.SnapDistance = snap;
    joiner.MinLength = minLength;
    joiner.OnlyEnds = onlyEnds;
    joiner.SelfTest = selfTest;
    Join(joiner);
  }
  // The vertices of every line of the string, in any order.
  std::vector<Points> Result() const {
    std::vector<Points> all;
    for (TElement* child : lines.Children()) all.push_back(VerticesOf(*static_cast<TPolyElement*>(child)));
    return all;
  }

  std::unique_ptr<TQTreeLumLin> accepted;
};

TEST_F(LineJoiningTest, EndsSnapToVerticesAndSegmentsAndCrossingLinesAreCutAtTheirCrossing) {
  const struct {
    const char* name;
    std::vector<Points> drawn;  // the last is accepted first, the first compared last
    std::vector<Points> joined;
    bool onlyEnds = false;
    bool selfTest = false;
  } rows[] = {
      {"an end 0.005 from a vertex ends on it",
       {{{10.005, 0.003}, {10, 10}}, {{0, 0}, {10, 0}, {20, 0}}},
       {{{0, 0}, {10, 0}}, {{10, 0}, {20, 0}}, {{10, 0}, {10, 10}}}},
      {"an end 0.02 from a vertex stays", {{{10.02, 0.02}, {10, 10}}, {{0, 0}, {10, 0}, {20, 0}}},
       {{{0, 0}, {10, 0}, {20, 0}}, {{10.02, 0.02}, {10, 10}}}},
      {"an end 0.005 from the middle of a segment: both cut there",
       {{{5, 0.005}, {5, 10}}, {{0, 0}, {20, 0}}},
       {{{0, 0}, {5, 0}}, {{5, 0}, {20, 0}}, {{5, 0}, {5, 10}}}},
      {"lines crossing without a vertex: both cut at the crossing", {{{0, 0}, {10, 0}}, {{5, -5}, {5, 5}}},
       {{{0, 0}, {5, 0}}, {{5, 0}, {10, 0}}, {{5, -5}, {5, 0}}, {{5, 0}, {5, 5}}}},
      {"a segment shorter than the snap distance loses its begin vertex", {{{0, 0}, {5, 0}, {5.004, 0}, {5, 9}}},
       {{{0, 0}, {5.004, 0}, {5, 9}}}},
      {"lines meeting end to end stay whole", {{{0, 0}, {10, 0}}, {{10, 0}, {10, 10}}},
       {{{0, 0}, {10, 0}}, {{10, 0}, {10, 10}}}},
      {"a duplicated line is not written twice", {{{0, 0}, {10, 0}}, {{0, 0}, {10, 0}}}, {{{0, 0}, {10, 0}}}},
      {"an old end 0.005 from a new segment: the new line takes that vertex and is cut there",
       {{{0, 0}, {20, 0}}, {{5, 0.005}, {5, 10}}},
       {{{0, 0}, {5, 0.005}}, {{5, 0.005}, {20, 0}}, {{5, 0.005}, {5, 10}}}},
      {"an inner vertex 0.005 from an old end snaps to it", {{{0, 0}, {10, 0.005}, {20, 0}}, {{10, 0}, {10, 10}}},
       {{{0, 0}, {10, 0}}, {{10, 0}, {20, 0}}, {{10, 0}, {10, 10}}}},
      {"only ends: the inner vertex stays and the old line meets it",
       {{{0, 0}, {10, 0.005}, {20, 0}}, {{10, 0}, {10, 10}}},
       {{{0, 0}, {10, 0.005}}, {{10, 0.005}, {20, 0}}, {{10, 0}, {10, 0.005}}, {{10, 0.005}, {10, 10}}}, true},
      {"a line ending 0.006 from its own begin stays open", {{{0, 0}, {10, 0}, {10, 10}, {0.005, 0.003}}},
       {{{0, 0}, {10, 0}, {10, 10}, {0.005, 0.003}}}},
      {"with the self test its begin goes to its end", {{{0, 0}, {10, 0}, {10, 10}, {0.005, 0.003}}},
       {{{0.005, 0.003}, {10, 0}, {10, 10}, {0.005, 0.003}}}, false, true},
      // Both go onto the segment, 0.008 apart: the short segment between
      // them loses its begin, and the end's foot, now a vertex of the old
      // line 0.0036 off the line's first segment, is put back onto it.
      {"an end and the vertex after it 0.005 and 0.006 from one segment: the line ends at the end's foot",
       {{{5, 0.005}, {5.008, -0.006}, {3, 1}}, {{0, 0}, {20, 0}}},
       {{{0, 0}, {5, 0}}, {{5, 0}, {20, 0}}, {{5, 0}, {3, 1}}}},
      {"a line doubling back along itself: the doubled segment once, its ends kept",
       {{{61.504, 0}, {48, 0}, {0, 0}, {0, 11.5}, {8, 0.004}, {9, 0}, {0, 63.504}}},
       {{{61.504, 0}, {48, 0}, {9, 0}},
        {{8, 0.004}, {0, 0}, {0, 11.5}, {8, 0.004}},
        {{8, 0.004}, {9, 0}},
        {{9, 0}, {0, 63.504}}},
       false, true},
  };
  for (const auto& row : rows) {
    lines.Clear();
    for (const Points& points : row.drawn) Line(points, 1);
    Join(0.01, 0, row.onlyEnds, row.selfTest);
    EXPECT_THAT(Result(), UnorderedElementsAreArray(row.joined)) << row.name;
  }
}

// Told to compare only lines of different sources, a line is compared only
// with the lines of other blocks: two crossing lines of one block stay whole.
TEST_F(LineJoiningTest, WhenTheSourceMustDifferOnlyLinesOfAnotherBlockAreCompared) {
  const struct {
    const char* name;
    bool onlyDifferent;
    bool oneBlock;
    int lines;
  } rows[] = {
      {"one block, every line compared: both cut", false, true, 4},
      {"one block, only other sources: both whole", true, true, 2},
      {"two blocks, only other sources: both cut", true, false, 4},
  };
  for (const auto& row : rows) {
    lines.Clear();
    TRegister registry;
    TBlockRegister* first = registry.GetBlockRegister("A", "TLumarBlockRegister");
    TBlockRegister* second = row.oneBlock ? first : registry.GetBlockRegister("B", "TLumarBlockRegister");
    first->RegisterElement(Line({{0, 0}, {10, 0}}, 1));
    second->RegisterElement(Line({{5, -5}, {5, 5}}, 2));
    TJoinLines joiner;
    joiner.SnapDistance = 0.01;
    joiner.CompareOnlyDifferentSource = row.onlyDifferent;
    Join(joiner);
    EXPECT_EQ(lines.GetCount(), row.lines) << row.name;
    accepted.reset();
  }
}

TEST_F(LineJoiningTest, AStringWithoutLinesGivesAnEmptyTree) {
  lines.Clear();
  Join(0.01);
  ASSERT_NE(accepted, nullptr);
  EXPECT_EQ(accepted->GetElementsCount(), 0);
  EXPECT_EQ(lines.GetCount(), 0);
}

TEST_F(LineJoiningTest, ALineNoLongerThanTheMinimumIsNeitherComparedNorFiled) {
  const struct {
    const char* name;
    double minLength;
    int filed;
    int lines;
  } rows[] = {{"2.0 against a minimum of 2", 2, 1, 2}, {"2.0 against a minimum of 1.9: it cuts the other", 1.9, 3, 3}};
  for (const auto& row : rows) {
    lines.Clear();
    Line({{3, 0.004}, {3, 2}}, 2);
    Line({{0, 0}, {10, 0}}, 1);
    Join(0.01, row.minLength);
    EXPECT_EQ(accepted->GetElementsCount(), row.filed) << row.name;
    EXPECT_EQ(lines.GetCount(), row.lines) << row.name;
  }
}

TEST_F(LineJoiningTest, LongSegmentsAreCutShortEvenWhenRoundingLandsOnTheirBegin) {
  const struct {
    const char* name;
    double roundKoef;
    bool divideLines;
    int lines;
  } rows[] = {
      {"25 long by 10: three segments of one line", 0, false, 1},
      {"rounding to 1", 1, false, 1},
      {"rounding to 100 lands on the begin: the exact points", 100, false, 1},
      {"dividing the line: three lines", 0, true, 3},
  };
  for (const auto& row : rows) {
    lines.Clear();
    Line({{0, 0}, {25, 0}}, 1);
    TJoinLines joiner;
    joiner.MaxOutputAbscLength = 10;
    joiner.RoundKoef = row.roundKoef;
    joiner.DivideOutputLines = row.divideLines;
    Join(joiner);
    EXPECT_EQ(lines.GetCount(), row.lines) << row.name;
    int segments = 0;
    for (TElement* child : lines.Children()) {
      auto* written = static_cast<TPolyLineElement*>(child);
      for (int i = 0; i + 1 < written->GetCoordsCount(); ++i, ++segments)
        EXPECT_LE(written->GetCoordX(i + 1) - written->GetCoordX(i), 10) << row.name;
    }
    EXPECT_EQ(segments, 3) << row.name;
  }
}

TEST_F(LineJoiningTest, ThePiecesOfACutLineAreInItsContainerAtOnceWithVerticesOfTheirOwnAndTheOldLineIsGone) {
  TPolyLineElement* cut = Line({{0, 0}, {20, 0}}, 1);
  Line({{5, -5}, {5, 5}}, 2);
  // An area holding the first line's vertices keeps them to itself.
  TAreaElement area;
  area.AddLine(cut, true);
  TJoinLines joiner;
  joiner.SnapDistance = 0.01;
  joiner.SetInput(&lines);
  joiner.DoIt();
  accepted.reset(static_cast<TQTreeLumLin*>(joiner.Output()));
  // Read before any posted message could run.
  EXPECT_EQ(lines.GetCount(), 4);
  EXPECT_EQ(accepted->GetElementsCount(), 4);
  for (TElement* child : lines.Children()) {
    const auto* piece = static_cast<TPolyElement*>(child);
    EXPECT_EQ(piece->GetCoordsCount(), 2);
    for (int i = 0; i < piece->GetCoordsCount(); ++i) EXPECT_EQ(piece->GetCoord(i)->HolderCount(), 1) << i;
  }
  EXPECT_EQ(VerticesOf(area), (Points{{0, 0}, {20, 0}}));
}

TEST_F(LineJoiningTest, AProtocolThatCannotBeWrittenIsReportedOnceAndTheWorkGoesOn) {
  Line({{0, 0}, {10, 0}}, 1);
  Line({{5, -5}, {5, 5}}, 2);
  TJoinLines joiner;
  joiner.SnapDistance = 0.01;
  joiner.SetProtocol(File("no such folder/join.lae"));
  joiner.SetUseProtocol(true);
  joiner.SetProtocoledLine(-1);
  Join(joiner);
  EXPECT_THAT(Boxes(), ElementsAre("Protocol >>> TLinComparator.DoIt,  B E G I N   <<< open error"));
  EXPECT_EQ(lines.GetCount(), 4);
}

}  // namespace

namespace {

TEST_F(LineJoiningTest, TheProtocolListsTheStepsOfTheProtocolledLines) {
  Line({{0, 0}, {10, 0}}, 1);
  Line({{5, -5}, {5, 5}}, 2);
  TJoinLines joiner;
  joiner.SnapDistance = 0.01;
  joiner.SetProtocol(File("join.lae"));
  joiner.SetUseProtocol(true);
  joiner.SetProtocoledLine(-1);
  Join(joiner);
  const std::string stars(38, '*');
  const std::string seg = "      5.00000000        0.00000000";  // (5, 0): the crossing
  const std::vector<std::string> expected{
      // Line 2 comes first and meets nothing.
      ">>> TLinComparator.DoIt,  B E G I N   <<<",
      ":2",
      ">>> TLinComparator.DoIt,  DZAIFL 0.01  <<<",
      "**************** Uložena kompletní linie ****************",
      ":2",
      stars,
      // Line 1 crosses it: both are split at (5, 0).
      ">>> TLinComparator.DoIt,  B E G I N   <<<",
      ":1",
      ">>> TLinComparator.DoIt,  DZAIFL 0.01  <<<",
      ">>> TAbscAbscJoiner.DoIt, New absc <<<",
      "     1  1 " + seg + "      10.00000000        0.00000000 Last NewEnd New  TPolyLineElement",
      "     2  1 " + seg + "       5.00000000        5.00000000 Last NewEnd New  TPolyLineElement",
      ">>> TLinComparator.DoIt,   E N D   <<<",
      ":2",
      "     2  0       5.00000000       -5.00000000 " + seg + " First  TPolyLineElement",
      "     2  1 " + seg + "       5.00000000        5.00000000 Last NewEnd New  TPolyLineElement",
      "*******************  Uloženy segmenty nové linie **************",
      ":1",
      "     1  0       0.00000000        0.00000000 " + seg + " First  TPolyLineElement",
      "     1  1 " + seg + "      10.00000000        0.00000000 Last NewEnd New  TPolyLineElement",
      stars,
  };
  std::string cp1250;
  for (const std::string& line : expected) cp1250 += platform::Utf8ToCp1250(line) + "\r\n";
  const Bytes bytes = FileContent(File("join.lae"));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), cp1250);
}

}  // namespace

namespace {

TEST_F(LineJoiningTest, OneLineOrEveryLineIsProtocolled) {
  const struct {
    const char* name;
    bool use;
    int protocoledLine;
    std::size_t lines;
  } rows[] = {
      {"every line", true, -1, 21},
      {"line 2: its own run and its cut as an old line", true, 2, 9},
      {"line 1: its run and its pieces", true, 1, 12},
      {"no protocol", false, -1, 0},
  };
  for (const auto& row : rows) {
    lines.Clear();
    Line({{0, 0}, {10, 0}}, 1);
    Line({{5, -5}, {5, 5}}, 2);
    TJoinLines joiner;
    joiner.SnapDistance = 0.01;
    joiner.SetProtocol(File("join.lae"));
    joiner.SetUseProtocol(row.use);
    joiner.SetProtocoledLine(row.protocoledLine);
    Join(joiner);
    EXPECT_EQ(platform::ReadTextLines(File("join.lae")).size(), row.lines) << row.name;
  }
}

}  // namespace

namespace {

struct TSegment {
  const TPolyElement* line;
  TRealPoint a, b;
};

bool IsVertexOf(const TPolyElement& line, const TRealPoint& p) {
  for (int i = 0; i < line.GetCoordsCount(); ++i)
    if (line.GetCoordX(i) == p.X && line.GetCoordY(i) == p.Y) return true;
  return false;
}

double DistanceToSegment(const TRealPoint& p, const TSegment& s) {
  bool on = false;
  double x = 0, y = 0, d = 0;
  Mathlib::ProjectPointToSegment(on, x, y, p.X, p.Y, s.a.X, s.a.Y, s.b.X, s.b.Y, d);
  if (on) return d;
  return std::min(Mathlib::Distance(p.X, p.Y, s.a.X, s.a.Y), Mathlib::Distance(p.X, p.Y, s.b.X, s.b.Y));
}

// What breaks the rules of joined lines: two lines crossing or touching
// without a shared vertex there, or an end within the snap distance of a
// line it does not touch; "" when nothing does.
std::string JoiningFaults(const TEntity& lines, double snap) {
  std::vector<TSegment> segments;
  for (TElement* child : lines.Children()) {
    auto* line = static_cast<TPolyElement*>(child);
    for (int i = 0; i + 1 < line->GetCoordsCount(); ++i)
      segments.push_back({line, {line->GetCoordX(i), line->GetCoordY(i)}, {line->GetCoordX(i + 1), line->GetCoordY(i + 1)}});
  }
  for (const TSegment& s : segments) {
    for (const TSegment& t : segments) {
      if (s.line == t.line) continue;
      double x = 0, y = 0;
      bool noPoint = true, onS = false, onT = false;
      Mathlib::SegmentIntersection(x, y, noPoint, s.a.X, s.a.Y, s.b.X, s.b.Y, t.a.X, t.a.Y, t.b.X, t.b.Y, onS, onT);
      const TRealPoint p{x, y};
      if (!noPoint && onS && onT && !(IsVertexOf(*s.line, p) && IsVertexOf(*t.line, p))) {
        // Meeting at a shared vertex that the computed crossing misses by rounding is fine.
        const bool shared = (s.a.X == t.a.X && s.a.Y == t.a.Y) || (s.a.X == t.b.X && s.a.Y == t.b.Y) ||
                            (s.b.X == t.a.X && s.b.Y == t.a.Y) || (s.b.X == t.b.X && s.b.Y == t.b.Y);
        if (!shared) return "lines cross at " + std::to_string(x) + "," + std::to_string(y);
      }
    }
  }
  for (TElement* child : lines.Children()) {
    auto* line = static_cast<TPolyElement*>(child);
    for (const bool begin : {true, false}) {
      double x = 0, y = 0;
      line->GetVertexXY(0, begin, x, y);
      const TRealPoint end{x, y};
      for (const TSegment& t : segments)
        if (t.line != line && !IsVertexOf(*t.line, end) && DistanceToSegment(end, t) < snap)
          return "an end near a line at " + std::to_string(x) + "," + std::to_string(y);
    }
  }
  return "";
}

TEST_F(LineJoiningTest, APerturbedStandMapJoinsIntoLinesThatMeetOnlyAtSharedVerticesAndGiveItsAreas) {
  const struct {
    const char* name;
    int side;
    std::uint64_t seed;
    int segments;
  } rows[] = {
      {"one stand", 1, 1, 4},
      {"5 x 5 stands", 5, 11, 4},
      {"4 x 4 stands of straight edges", 4, 2, 1},
  };
  for (const auto& row : rows) {
    const TStandMap map = MakeStandMap(row.side, row.seed, row.segments);
    std::unique_ptr<TPolyLineString> drawn(MakeStandMapLines(PerturbedStandMap(map, 0.004)));
    EXPECT_NE(JoiningFaults(*drawn, 0.01), "") << row.name << ": the perturbation must break the rules";
    TJoinLines joiner;
    joiner.SnapDistance = 0.01;
    joiner.SetInput(drawn.get());
    joiner.DoIt();
    std::unique_ptr<TQTreeLumLin> accepted(static_cast<TQTreeLumLin*>(joiner.Output()));
    EXPECT_EQ(JoiningFaults(*drawn, 0.01), "") << row.name;
    TMakeNodesAndAreas maker;
    maker.SetInput(drawn.get());
    maker.DoIt();
    auto* areas = static_cast<TAreaString*>(maker.Output());
    int holes = 0;
    for (TElement* child : areas->Children())
      if (auto* holeList = static_cast<TAreaElement*>(child)->Holes()) holes += holeList->GetCount();
    EXPECT_EQ(areas->GetCount(), map.ExpectedAreas) << row.name;
    EXPECT_EQ(holes, map.ExpectedHoles) << row.name;
  }
}

}  // namespace

namespace {

// The comparison tools' element properties are published links: a script
// can set and read them, an element of another class is refused, and an
// element freed since reads as nil rather than as a dangling object.
TEST_F(LineJoiningTest, TheToolsElementPropertiesAreLinksThatRefuseOtherClassesAndForgetFreedElements) {
  const struct {
    const char* name;
    std::function<TObject*()> tool;
    const char* property;
    std::function<TElement*()> element;
  } rows[] = {
      {"adder's working list", [] { return new TAddLinesIntoLinesAbscEntity; }, "LinesAbsc",
       [] { return new TLinesAbscEntity; }},
      {"adder's segment index", [] { return new TAddLinesIntoLinesAbscEntity; }, "QTreeAbsc",
       [] { return new TQTreeLumLinAbsc; }},
      {"adder's register", [] { return new TAddLinesIntoLinesAbscEntity; }, "RefContainer",
       [] { return new TObjectRegister; }},
      {"comparator's line index", [] { return new TLinComparator; }, "QTree", [] { return new TQTreeLumLin; }},
      {"comparator's register", [] { return new TLinComparator; }, "RefContainer", [] { return new TObjectRegister; }},
      {"saver's line index", [] { return new TSaveChangedLines; }, "QTree", [] { return new TQTreeLumLin; }},
      {"saver's new lines", [] { return new TSaveChangedLines; }, "NewLines", [] { return new TPolyLineString; }},
  };
  for (const auto& row : rows) {
    std::unique_ptr<TObject> tool(row.tool());
    std::unique_ptr<TElement> element(row.element());
    T2DCoordinate stranger(0, 0);
    EXPECT_EQ(SetObjectPropByName(*tool, row.property, &stranger), false) << row.name;
    EXPECT_TRUE(SetObjectPropByName(*tool, row.property, element.get())) << row.name;
    EXPECT_EQ(GetObjectPropByName(*tool, row.property), element.get()) << row.name;
    element.reset();
    EXPECT_EQ(GetObjectPropByName(*tool, row.property), nullptr) << row.name;
  }
}

}  // namespace

namespace {

// What an area built after joining is: its sum and its box, as text.
std::string AreaText(double sum, double minX, double minY, double maxX, double maxY) {
  return FormatFloatWidth(0, 2, sum) + " [" + FormatFloatWidth(0, 4, minX) + " " + FormatFloatWidth(0, 4, minY) + " " +
         FormatFloatWidth(0, 4, maxX) + " " + FormatFloatWidth(0, 4, maxY) + "]";
}

// The foot of P on the line through the origin and D.
std::pair<double, double> FootOnLineThroughOrigin(std::pair<double, double> p, std::pair<double, double> d) {
  const double t = (p.first * d.first + p.second * d.second) / (d.first * d.first + d.second * d.second);
  return {t * d.first, t * d.second};
}

// The shoelace sum of a ring given clockwise, positive.
double RingArea(const Points& ring) {
  double sum = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const auto& [x0, y0] = ring[i];
    const auto& [x1, y1] = ring[(i + 1) % ring.size()];
    sum += (x1 - x0) * (y1 + y0) / 2;
  }
  return sum;
}

Points Reversed(Points points) {
  std::reverse(points.begin(), points.end());
  return points;
}

// Two stands side by side, the west one 100 x 120 and the east one 75 x 120,
// with their shared boundary and the lines round each.
const Points kWest{{100, 0}, {0, 0}, {0, 120}, {100, 120}};
const Points kEast{{100, 120}, {175, 120}, {175, 0}, {100, 0}};
const Points kShared{{100, 0}, {100, 60}, {100, 120}};

// A quadrangle with a slanted south side from the origin to (175, 35), cut by
// a tee from a vertex of its north side at x, drawn to end 0.005 above the
// south side: the tee's end goes onto that side, which is cut there.
struct TTeeStands {
  std::vector<Points> drawn;
  std::vector<std::string> areas;
};
TTeeStands TeeStands(double x) {
  const std::pair<double, double> south{175, 35};
  const Points tee{{x, 120}, {x, x * 0.2 + 0.005}};
  const auto foot = FootOnLineThroughOrigin(tee[1], south);
  const Points west{{0, 0}, {0, 120}, {x, 120}, foot};
  const Points east{foot, {x, 120}, {175, 120}, south};
  return {{tee, {{0, 0}, south}, {south, {175, 120}}, {{175, 120}, {x, 120}, {0, 120}}, {{0, 120}, {0, 0}}},
          {AreaText(RingArea(west), 0, 0, foot.first, 120), AreaText(RingArea(east), x, foot.second, 175, 120)}};
}

TEST_F(LineJoiningTest, AreasBuiltAfterJoiningAreTheDrawnStandsWhateverCopiesOrTeesTheLinesHad) {
  const std::vector<std::string> twoStands{AreaText(12000, 0, 0, 100, 120), AreaText(9000, 100, 0, 175, 120)};
  const struct {
    const char* name;
    std::vector<Points> drawn;  // the last is accepted first
    std::size_t lines;          // after joining
    std::vector<std::string> areas;
  } rows[] = {
      {"the two stands", {kWest, kEast, kShared}, 3, twoStands},
      {"a copy of the shared boundary", {kShared, kWest, kEast, kShared}, 3, twoStands},
      {"a reversed copy of the shared boundary", {Reversed(kShared), kWest, kEast, kShared}, 3, twoStands},
      {"a copy of the west boundary", {kWest, kWest, kEast, kShared}, 3, twoStands},
      {"a copy of the shared boundary drawn in two lines",
       {kShared, kWest, kEast, {{100, 0}, {100, 60}}, {{100, 120}, {100, 60}}}, 4, twoStands},
      {"two copies of the shared boundary", {Reversed(kShared), kShared, kWest, kEast, kShared}, 3, twoStands},
      {"a tee ending beside a slanted side at x 100", TeeStands(100).drawn, 7, TeeStands(100).areas},
      {"a tee ending beside a slanted side at x 37.3", TeeStands(37.3).drawn, 7, TeeStands(37.3).areas},
      {"a tee ending beside a slanted side at x 151.9", TeeStands(151.9).drawn, 7, TeeStands(151.9).areas},
  };
  for (const auto& row : rows) {
    lines.Clear();
    for (const Points& points : row.drawn) Line(points, static_cast<int>(lines.GetCount()) + 1);
    Join(0.01);
    EXPECT_EQ(lines.GetCount(), row.lines) << row.name;
    TMakeNodesAndAreas maker;
    maker.SetInput(&lines);
    maker.DoIt();
    std::vector<std::string> areas;
    for (TElement* child : static_cast<TAreaString*>(maker.Output())->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      areas.push_back(AreaText(area->WholeArea(), area->GetMinX(), area->GetMinY(), area->GetMaxX(), area->GetMaxY()));
    }
    EXPECT_THAT(areas, UnorderedElementsAreArray(row.areas)) << row.name;
  }
}

}  // namespace

namespace {

// The box of a line's vertices.
TRealRect VertexBox(const TPolyElement& line) {
  TRealRect box{1e300, 1e300, -1e300, -1e300};
  for (const auto& [x, y] : VerticesOf(line)) {
    box = {std::min(box.MinX, x), std::min(box.MinY, y), std::max(box.MaxX, x), std::max(box.MaxY, y)};
  }
  return box;
}

std::string BoxText(double minX, double minY, double maxX, double maxY) {
  return FormatFloatWidth(0, 4, minX) + " " + FormatFloatWidth(0, 4, minY) + " " + FormatFloatWidth(0, 4, maxX) + " " +
         FormatFloatWidth(0, 4, maxY);
}

TEST_F(LineJoiningTest, ALineKeptWholeAfterItsVerticesMovedOrWentHasTheBoxOfItsVertices) {
  const struct {
    const char* name;
    std::vector<Points> drawn;  // line 1 first; the last is accepted first
    int line;                   // the line whose box is given
    std::string box;
    bool selfTest = false;
    double maxSegment = 0;
    double roundTo = 0;
  } rows[] = {
      {"its end snapped 0.005 onto an old end", {{{10.005, 0.003}, {20, 5}}, {{0, 0}, {10, 0}}}, 1,
       BoxText(10, 0, 20, 5)},
      {"its end snapped 0.005 onto an old segment", {{{5, 0.005}, {5, 10}}, {{0, 0}, {20, 0}}}, 1,
       BoxText(5, 0, 5, 10)},
      {"its first segment, shorter than the snap distance, dropped", {{{-0.004, 0}, {0, 0}, {10, 0}, {10, 10}}}, 1,
       BoxText(0, 0, 10, 10)},
      {"its begin snapped to its own end", {{{0, 0}, {10, 0}, {10, 10}, {0.005, 0.003}}}, 1,
       BoxText(0.005, 0, 10, 10), true},
      {"a long segment cut at rounded points off it", {{{0.3, 0.3}, {25.3, 0.3}}}, 1, BoxText(0.3, 0, 25.3, 0.3),
       false, 10, 1},
  };
  for (const auto& row : rows) {
    lines.Clear();
    for (const Points& points : row.drawn) Line(points, static_cast<int>(lines.GetCount()) + 1);
    TJoinLines joiner;
    joiner.SnapDistance = 0.01;
    joiner.SelfTest = row.selfTest;
    joiner.MaxOutputAbscLength = row.maxSegment;
    joiner.RoundKoef = row.roundTo;
    Join(joiner);
    bool found = false;
    for (TElement* child : lines.Children()) {
      auto* line = static_cast<TPolyLineElement*>(child);
      const TRealRect vertices = VertexBox(*line);
      EXPECT_EQ(BoxText(line->GetMinX(), line->GetMinY(), line->GetMaxX(), line->GetMaxY()),
                BoxText(vertices.MinX, vertices.MinY, vertices.MaxX, vertices.MaxY))
          << row.name << ", line " << line->GetSpaceID();
      if (line->GetSpaceID() != row.line) continue;
      found = true;
      EXPECT_EQ(BoxText(vertices.MinX, vertices.MinY, vertices.MaxX, vertices.MaxY), row.box) << row.name;
    }
    EXPECT_TRUE(found) << row.name;
  }
}

TEST_F(LineJoiningTest, ALineTooFarOutToIndexIsReportedAndLeftAsItIsWhileTheOthersAreJoined) {
  // 1.7e38 lies beyond the empty rectangle's marker, so the string's bounds
  // leave it out; 1e10 widens them beyond the largest square.
  const Points farther{{0, 0}, {1.7e38, 3}, {1.7e38, 5}};
  const Points far{{0, 0}, {1e10, 3}};
  const Points a{{0, 0}, {10, 0}};
  const Points b{{5, -5}, {5, 5}};
  const struct {
    const char* name;
    std::vector<Points> drawn;  // the last is accepted first
    std::size_t farLine;
  } rows[] = {
      {"at 1.7e38, compared last", {farther, a, b}, 0},
      {"at 1.7e38, compared first", {a, b, farther}, 2},
      {"at 1e10, compared last", {far, a, b}, 0},
      {"at 1e10, compared first", {a, b, far}, 2},
  };
  for (const auto& row : rows) {
    lines.Clear();
    dialogs.Messages.clear();
    log.Lines.clear();
    for (const Points& points : row.drawn) Line(points, 7);
    TPolyLineElement* farLine = static_cast<TPolyLineElement*>(lines.GetElement(static_cast<int>(row.farLine)));
    Join(0.01);
    EXPECT_THAT(Boxes(), ElementsAre("Chyba při komparaci linie č.7: QTree TQTreeLumLinAbsc: nemá platné hranice"))
        << row.name;
    EXPECT_THAT(LogLines(), ElementsAre("QTree TQTreeLumLin: prvek TPolyLineElement nemá platné hranice, nebyl zařazen"))
        << row.name;
    EXPECT_EQ(lines.GetCount(), 5) << row.name;
    EXPECT_NE(lines.IndexOf(farLine), -1) << row.name;
    EXPECT_EQ(VerticesOf(*farLine), row.drawn[row.farLine]) << row.name;
    EXPECT_EQ(accepted->GetElementsCount(), 4) << row.name;
  }
}

// The segment quadtree of such a line cannot be squared: the tool raises
// and leaves no tree behind (the sanitizers' leak check tells).
TEST_F(LineJoiningTest, ASegmentQuadtreeThatCannotBeSquaredIsNotMade) {
  TPolyLineElement* far = Line({{0, 0}, {1e10, 3}}, 7);
  TCreateLinesAbscEntity creator;
  creator.SetInput(far);
  creator.DoIt();
  std::unique_ptr<TLinesAbscEntity> list(static_cast<TLinesAbscEntity*>(creator.Output()));
  TCreateLinQTreeAbsc squarer;
  squarer.SetInput(list.get());
  try {
    squarer.DoIt();
    ADD_FAILURE() << "squared";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "QTree TQTreeLumLinAbsc: nemá platné hranice");
  }
  EXPECT_EQ(squarer.Output(), nullptr);
}

}  // namespace

namespace {

// A line of count segments along x from x0, at height y, waving by amplitude
// with a period of 20 segments.
Points Wave(double x0, double y, int count, double amplitude) {
  Points points;
  for (int i = 0; i <= count; ++i) points.emplace_back(x0 + i, y + amplitude * std::sin(i * 3.14159265358979323846 / 10));
  return points;
}

// The records of the old lines the adder is to make, as the joining was
// first built: every accepted line met over the segment index's square
// widened by the tolerance, one record per segment, kept when its box
// widened by the tolerance meets a segment of the new line.
std::vector<std::string> RecordsMeetingEveryWay(TQTreeLumLin& accepted, TQTreeLumLinAbsc& segments,
                                                const TLinesAbscEntity& list, double tol) {
  std::vector<std::string> records;
  std::vector<const TElement*> seen;
  TQTreeWalker walker;
  const double minX = segments.GetQXMin() - tol, minY = segments.GetQYMin() - tol;
  const double side = segments.GetQWidth() + 2 * tol;
  for (TElement* found = walker.FindFirst(&accepted, minX, minY, minX + side, minY + side, 0); found;
       found = walker.FindNext()) {
    auto* line = static_cast<TPolyLineElement*>(found);
    if (std::find(seen.begin(), seen.end(), line) != seen.end() || list.ContainsLine(line)) continue;
    seen.push_back(line);
    for (int i = 0; i + 1 < line->GetCoordsCount(); ++i) {
      TLumLinAbscissa record;
      record.SetLine(line);
      record.Index = i;
      if (segments.AnyElementMeetsRect(record.GetXmin() - tol, record.GetYmin() - tol, record.GetXmax() + tol,
                                       record.GetYmax() + tol))
        records.push_back(std::to_string(line->GetSpaceID()) + ":" + std::to_string(i));
    }
  }
  return records;
}

TEST_F(LineJoiningTest, TheOldSegmentsComparedAreThoseWithinTheToleranceOfTheNewLineInTheOrderTheIndexGivesThem) {
  std::vector<Points> waves;
  for (int i = 0; i < 12; ++i) waves.push_back(Wave(-3.5 * i, i * 1.5, 200, 4));
  std::vector<Points> crossings;
  for (int i = 0; i < 40; ++i) crossings.push_back({{i * 5.0, -8}, {i * 5.0 + 0.5, 25}});
  const struct {
    const char* name;
    Points newLine;
    std::vector<Points> accepted;
    double tol;
  } rows[] = {
      {"waves side by side, boxes overlapping", Wave(0, 7.5, 200, 4), waves, 0.01},
      {"waves side by side with a wide tolerance", Wave(0, 7.5, 200, 4), waves, 1.6},
      {"a long wave across short lines", Wave(-10, 5, 230, 9), crossings, 0.01},
      {"a short line among waves", {{50, 3}, {52, 9}}, waves, 0.01},
      {"boxes touching without a tolerance", {{0, 0}, {10, 0}},
       {{{10, 0}, {20, 5}}, {{-5, -5}, {0, -2}, {5, -1e-9}}, {{3, 2}, {5, 1e-9}}, {{0, 1}, {10, 1}}}, 0},
      {"segments just within and just beyond the tolerance", {{0, 0}, {10, 0}},
       {{{0, 0.5}, {10, 0.5}}, {{0, -0.50001}, {10, -0.50001}}, {{10.5, 0}, {11, 5}}, {{-0.5001, 0}, {-1, 5}}}, 0.5},
  };
  for (const auto& row : rows) {
    lines.Clear();
    TQTreeLumLin accepted;
    int number = 2;
    for (const Points& points : row.accepted) accepted.AddAndGrow(Line(points, number++));
    TPolyLineElement* newLine = Line(row.newLine, 1);
    TCreateLinesAbscEntity creator;
    creator.SetInput(newLine);
    creator.DoIt();
    std::unique_ptr<TLinesAbscEntity> list(static_cast<TLinesAbscEntity*>(creator.Output()));
    TCreateLinQTreeAbsc squarer;
    squarer.SetInput(list.get());
    squarer.DoIt();
    std::unique_ptr<TQTreeLumLinAbsc> segments(static_cast<TQTreeLumLinAbsc*>(squarer.Output()));
    const std::vector<std::string> expected = RecordsMeetingEveryWay(accepted, *segments, *list, row.tol);
    TAddLinesIntoLinesAbscEntity adder;
    adder.SetLinesAbsc(list.get());
    adder.SetQTreeAbsc(segments.get());
    adder.Tolerance = row.tol;
    adder.SetInput(&accepted);
    adder.DoIt();
    std::vector<std::string> records;
    for (int i = list->GroupEnd(0) + 1; i < list->GetChildCount(); ++i)
      records.push_back(std::to_string(list->LineOf(i)->GetSpaceID()) + ":" + std::to_string(list->Segment(i)->Index));
    EXPECT_EQ(records, expected) << row.name;
    // The rows are meant to find some segments and leave others.
    EXPECT_FALSE(records.empty()) << row.name;
  }
}

}  // namespace

namespace {

TEST_F(LineJoiningTest, TheComparisonToolsStandUnderTheirBasesAndPublishTheirSettings) {
  EXPECT_EQ(MisplacedClasses({
                {&TCreateLinesAbscEntity::StaticClass, "TCreateLinesAbscEntity", &TTool::StaticClass, {}},
                {&TCreateLinQTreeAbsc::StaticClass, "TCreateLinQTreeAbsc", &TTool::StaticClass, {}},
                {&TAddLinesIntoLinesAbscEntity::StaticClass, "TAddLinesIntoLinesAbscEntity", &TTool::StaticClass,
                 {"LinesAbsc", "QTreeAbsc", "Tolerance", "CompareOnlyDifferentSource", "RefContainer"}},
                {&TLinComparator::StaticClass, "TLinComparator", &TProtocolTool::StaticClass,
                 {"QTree", "SnapDistance", "OnlyEnds", "SelfTest", "CompareOnlyDifferentSource", "RefContainer",
                  "Protocol"}},
                {&TSaveChangedLines::StaticClass, "TSaveChangedLines", &TProtocolTool::StaticClass,
                 {"NewLines", "QTree", "MinLength", "SetLinesLabelPoint", "Protocol"}},
                {&TJoinLines::StaticClass, "TJoinLines", &TTool::StaticClass,
                 {"SnapDistance", "MinLength", "OnlyEnds", "SelfTest", "PrepocitavatPopBodyLinii",
                  "CompareOnlyDifferentSource", "MaxOutputAbscLength", "RoundKoef", "DivideOutputLines", "Protocol",
                  "UseProtocol", "ProtocoledLine"}},
            }),
            "");
}

}  // namespace

namespace {

// From a hundred lines on the joiner shows its gauge up to the count less
// one; each line, the last first, captions it with its number (and, past a
// hundred vertices, their count and the line's length) and moves it.
TEST_F(LineJoiningTest, AHundredLinesOrMoreShowTheGaugeCaptionedWithEachLineFromTheLast) {
  const struct {
    const char* name;
    int lines;
    bool longLast;  // the last line has 101 vertices over a length of 100
    std::vector<std::string> head, tail;
  } rows[] = {
      {"99 lines: not shown", 99, false,
       {"MaxValue=0", "Caption=L   99", "Caption=L   98"},
       {"Caption=L    2", "Caption=L    1", "Hide"}},
      {"100 lines: shown", 100, false,
       {"MaxValue=99", "Show", "Caption=L  100", "Progress=0", "Caption=L   99", "Progress=1"},
       {"Caption=L    1", "Progress=99", "Hide"}},
      {"a last line of 101 vertices", 100, true,
       {"MaxValue=99", "Show", "Caption=L  100: 101: 100.00", "Progress=0", "Caption=L   99"},
       {"Caption=L    1", "Progress=99", "Hide"}},
  };
  for (const auto& row : rows) {
    lines.Clear();
    // Short lines ten apart: none touches another.
    for (int k = 1; k <= row.lines; ++k) {
      Points points{{0, 10.0 * k}, {5, 10.0 * k}};
      if (k == row.lines && row.longLast) {
        points.clear();
        for (int x = 0; x <= 100; ++x) points.push_back({x, 10.0 * k});
      }
      Line(points, k);
    }
    // The joiner's own gauge is the one that begins with its maximum.
    std::vector<std::vector<std::string>> gauges;
    struct TKeptGauge : platform::RecordingGaugeForm {
      explicit TKeptGauge(std::vector<std::vector<std::string>>& kept) : kept(kept) {}
      ~TKeptGauge() override { kept.push_back(Calls); }
      std::vector<std::vector<std::string>>& kept;
    };
    platform::SetGaugeFormFactory([&] { return std::make_unique<TKeptGauge>(gauges); });
    Join(0.01);
    platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
    const auto own = std::find_if(gauges.begin(), gauges.end(), [](const std::vector<std::string>& calls) {
      return !calls.empty() && calls.front().rfind("MaxValue=", 0) == 0;
    });
    ASSERT_NE(own, gauges.end()) << row.name;
    ASSERT_GE(own->size(), row.head.size() + row.tail.size()) << row.name;
    EXPECT_EQ(std::vector<std::string>(own->begin(), own->begin() + static_cast<std::ptrdiff_t>(row.head.size())),
              row.head)
        << row.name;
    EXPECT_EQ(std::vector<std::string>(own->end() - static_cast<std::ptrdiff_t>(row.tail.size()), own->end()),
              row.tail)
        << row.name;
    EXPECT_EQ(lines.GetCount(), row.lines) << row.name;
  }
}

}  // namespace
