#include "spatial/objects/space_entities.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

#include "tests/spatial/spatial_fixture.h"

namespace {

template <class T = TPolyLineElement>
std::unique_ptr<T> Poly(std::initializer_list<TRealPoint> points) {
  auto poly = std::make_unique<T>();
  for (const TRealPoint& p : points) poly->AddVertex(p.X, p.Y);
  poly->CalcBounds();
  return poly;
}

// The square (0, 0) - (10, 10), clockwise (x right, y up), and a hole of 10 in it.
const std::initializer_list<TRealPoint> kSquare10 = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
const std::initializer_list<TRealPoint> kHole = {{1, 1}, {1, 6}, {3, 6}, {3, 1}};

// The vertices of a line or area as (x, y) pairs.
std::vector<std::pair<double, double>> VerticesOf(const TPolyElement& poly) {
  std::vector<std::pair<double, double>> v;
  for (int i = 0; i < poly.GetCoordsCount(); ++i) v.emplace_back(poly.GetCoordX(i), poly.GetCoordY(i));
  return v;
}

class SpaceEntityTest : public SpatialTest {};

TEST_F(SpaceEntityTest, SignedAreasWithHolesWhateverWayEitherRuns) {
  const struct {
    const char* name;
    std::initializer_list<TRealPoint> outline, hole;
    double area;
  } cases[] = {
      {"clockwise hole", kSquare10, kHole, 90},
      {"anticlockwise hole", kSquare10, {{1, 1}, {3, 1}, {3, 6}, {1, 6}}, 90},
      {"anticlockwise outline keeps its sign", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, kHole, -90},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto area = Poly<TAreaElement>(c.outline);
    area->AddHole(Poly<TAreaElement>(c.hole).release());
    EXPECT_DOUBLE_EQ(area->GetCalculatedArea(), c.area);
  }
}

// Many points at once answer as each alone: on the half-unit grid many lie
// on the outline's or the hole's edges and corners.
TEST_F(SpaceEntityTest, PointsOutsideHolesAnswerAsEachPointAlone) {
  auto area = Poly<TAreaElement>(kSquare10);
  std::vector<TRealPoint> points;
  for (double x = -1; x <= 11; x += 0.5)
    for (double y = -1; y <= 11; y += 0.5) points.push_back({x, y});
  for (const bool withHole : {false, true}) {
    SCOPED_TRACE(withHole ? "with a hole" : "without holes");
    if (withHole) area->AddHole(Poly<TAreaElement>(kHole).release());
    const std::vector<std::uint8_t> inside = area->PointsOutsideHoles(points);
    ASSERT_EQ(inside.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
      EXPECT_EQ(inside[i] != 0, area->ContainsPointOutsideHoles(points[i].X, points[i].Y))
          << points[i].X << ", " << points[i].Y;
  }
  // The first point is tested against the holes like any other.
  EXPECT_EQ(area->PointsOutsideHoles({{2, 3}, {5, 5}}), (std::vector<std::uint8_t>{0, 1}));
}

// A hole is found where its outline holds the point, whether the hole has a
// box to pass over it by or has none: on the half-unit grid many points lie
// in a triangle's box but outside it, and on the holes' edges and corners.
TEST_F(SpaceEntityTest, AHoleIsFoundWhereItsOutlineHoldsThePointWithABoxOrWithout) {
  auto area = Poly<TAreaElement>(kSquare10);
  TAreaElement* triangle = Poly<TAreaElement>({{1, 1}, {1, 6}, {4, 1}}).release();
  auto* boxless = new TAreaElement;
  for (const TRealPoint& p : {TRealPoint{6, 6}, {6, 9}, {9, 9}, {9, 6}}) boxless->AddVertex(p.X, p.Y);
  ASSERT_FALSE(boxless->IsValid());
  area->AddHole(triangle);
  area->AddHole(boxless);
  int found[2] = {0, 0};
  for (double x = -1; x <= 11; x += 0.5) {
    for (double y = -1; y <= 11; y += 0.5) {
      TAreaElement* expected = triangle->OutlineContainsPoint(x, y)  ? triangle
                               : boxless->OutlineContainsPoint(x, y) ? boxless
                                                                     : nullptr;
      EXPECT_EQ(area->FindHoleAt(x, y), expected) << x << ", " << y;
      if (expected) ++found[expected == boxless];
    }
  }
  // Both holes hold points of the grid, or the rows prove little.
  EXPECT_GT(found[0], 0);
  EXPECT_GT(found[1], 0);
}

// Holes given at once go as given one by one: in order, marked as holes,
// naming their area, the container's box round them; the area itself is
// passed over, and one that holds the area is refused after those before it.
TEST_F(SpaceEntityTest, HolesGivenAtOnceGoAsGivenOneByOne) {
  const struct {
    const char* name;
    bool holeBefore;  // the area has a hole already
    int self;         // where the area itself is among the holes, -1 nowhere
    int holder;       // where an area holding the area is among them, -1 nowhere
  } rows[] = {
      {"an area without holes", false, -1, -1},
      {"an area with a hole", true, -1, -1},
      {"the area itself among them", false, 1, -1},
      {"an area holding the area among them", false, -1, 2},
  };
  // The holes' text: each hole's box, whether it is one and whose; then the
  // container's box.
  auto describe = [](const TAreaElement& area) {
    std::string text;
    if (const THolesEntity* holes = area.Holes()) {
      for (TElement* child : holes->Children()) {
        const auto* hole = static_cast<const TAreaElement*>(child);
        text += std::to_string(hole->GetMinX()) + (hole->IsHole ? " hole" : "") +
                (hole->HoleOwnerArea() == &area ? " of the area; " : "; ");
      }
      text += "box " + std::to_string(holes->GetMinX()) + " " + std::to_string(holes->GetMaxX());
    }
    return text;
  };
  for (const auto& row : rows) {
    std::string texts[2];
    bool refused[2] = {false, false};
    for (const bool atOnce : {false, true}) {
      // Holds every area made, so that each is freed with it.
      TOwnerEntity scene;
      auto* area = Poly<TAreaElement>(kSquare10).release();
      scene.AddElement(area);
      if (row.holeBefore) area->AddHole(Poly<TAreaElement>({{9, 8}, {9, 9}, {9.5, 9}}).release());
      std::vector<TAreaElement*> holes;
      for (int i = 0; i < 4; ++i) {
        holes.push_back(Poly<TAreaElement>({{1.0 + 2 * i, 1}, {1.0 + 2 * i, 2}, {2.0 + 2 * i, 2}}).release());
        scene.AddElement(holes.back());
      }
      if (row.self >= 0) holes.insert(holes.begin() + row.self, area);
      if (row.holder >= 0) {
        auto* holder = Poly<TAreaElement>(kSquare10).release();
        scene.AddElement(holder);
        holder->AddHole(area);
        holes.insert(holes.begin() + row.holder, holder);
      }
      try {
        if (atOnce) {
          area->AddHoles(holes);
        } else {
          for (TAreaElement* hole : holes) area->AddHole(hole);
        }
      } catch (const ECircularOwnership&) {
        refused[atOnce] = true;
      }
      texts[atOnce] = describe(*area);
    }
    EXPECT_EQ(texts[1], texts[0]) << row.name;
    EXPECT_EQ(refused[1], refused[0]) << row.name;
    EXPECT_EQ(refused[1], row.holder >= 0) << row.name;
    EXPECT_EQ(texts[1].find("9.000000 hole of the area") != std::string::npos, row.holeBefore) << row.name;
  }
}

TEST_F(SpaceEntityTest, ALineIsHitWithinTheToleranceOfAnyOfItsPoints) {
  // An L from (0, 0) right to (10, 0) and up to (10, 10); tolerance 1.
  const auto line = Poly({{0, 0}, {10, 0}, {10, 10}});
  const auto dot = Poly({{5, 5}});
  const struct {
    const char* name;
    const TPolyLineElement* line;
    double x, y;
    bool hit;
  } cases[] = {
      {"beside a segment", line.get(), 5, 0.9, true},
      {"beside a segment, out of reach", line.get(), 5, 1.1, false},
      {"just beyond the first end", line.get(), -0.5, 0.2, true},
      {"just beyond the last end", line.get(), 10.3, 10.6, true},
      {"beyond an end, out of reach", line.get(), -0.8, 0.8, false},
      {"outside the bend", line.get(), 10.5, -0.5, true},
      {"at exactly the tolerance from an end", line.get(), -1, 0, false},
      {"a line of one point", dot.get(), 5.5, 5.5, true},
      {"a line of one point, out of reach", dot.get(), 6, 5.5, false},
  };
  for (const auto& c : cases) {
    const T2DCoordinate point(c.x, c.y);
    EXPECT_EQ(c.line->HitTest(&point, 1), c.hit) << c.name;
  }
  EXPECT_FALSE(line->HitTest(nullptr, 1)) << "no point";
}

// An area is hit where its bounds hold the whole tolerance square around the
// point and the point lies inside the outline and outside every hole.
TEST_F(SpaceEntityTest, AnAreaIsHitInsideItsOutlineOutsideItsHolesClearOfItsBounds) {
  auto square = Poly<TAreaElement>(kSquare10);
  square->AddHole(Poly<TAreaElement>(kHole).release());
  // An L: the square without its upper right part above y = 4 and right of x = 4.
  const auto ell = Poly<TAreaElement>({{0, 0}, {0, 10}, {4, 10}, {4, 4}, {10, 4}, {10, 0}});
  const struct {
    const char* name;
    const TAreaElement* area;
    double x, y;
    bool hit;
  } cases[] = {
      {"inside, clear of the bounds", square.get(), 6, 8, true},
      {"in the hole", square.get(), 2, 3, false},
      {"inside, nearer the bounds than the tolerance", square.get(), 9.5, 8, false},
      {"outside the bounds", square.get(), 12, 8, false},
      {"in the bounds, outside the outline", ell.get(), 7, 7, false},
      {"in the foot of the L", ell.get(), 7, 2, true},
  };
  for (const auto& c : cases) {
    const T2DCoordinate point(c.x, c.y);
    EXPECT_EQ(c.area->HitTest(&point, 1), c.hit) << c.name;
  }
  EXPECT_FALSE(square->HitTest(nullptr, 1)) << "no point";
}

// A list of space entities takes the data of an add-element message (code 59)
// as its last child; other messages add nothing.
TEST_F(SpaceEntityTest, AListTakesTheDataOfAnAddElementMessage) {
  const struct {
    const char* name;
    int code;
    std::size_t children;
  } rows[] = {{"add element", 59, 2}, {"another code", 58, 1}};
  for (const auto& row : rows) {
    TPolyLineString list;
    list.AddElement(Poly({{0, 0}, {1, 1}}).release());
    TPolyLineElement* line = Poly({{2, 2}, {3, 3}}).release();
    list.SendMessage(row.code, &list, line, false);
    EXPECT_EQ(list.Children().size(), row.children) << row.name;
    EXPECT_EQ(list.IndexOf(line), row.children == 2 ? 1 : -1) << row.name;
    if (row.children == 1) delete line;
  }
}

TEST_F(SpaceEntityTest, VertexIndexesOutOfRangeReadNothingAndWriteNothing) {
  auto single = Poly({{3, 4}});
  for (int index : {-1, 1, 5}) {
    single->SetCoordX(index, 99);
    double x = 7, y = 7;
    single->GetVertexXY(index, true, x, y);
    EXPECT_EQ(std::tuple(x, y, single->GetCoord(index), single->VertexAt(index, false)),
              std::tuple(0, 0, nullptr, nullptr))
        << index;
  }
  EXPECT_EQ(VerticesOf(*single), (std::vector<std::pair<double, double>>{{3, 4}}));
  T2DCoordinate* inserted = single->InsertVertex(0, 1, 2);  // an insert in range gives the vertex it placed
  EXPECT_EQ(std::tuple(inserted, VerticesOf(*single)),
            std::tuple(single->GetCoord(0), std::vector<std::pair<double, double>>{{1, 2}, {3, 4}}));
  TAreaElement broken;  // a child that is no vertex breaks the sum with a message
  broken.AddVertex(0, 0);
  broken.AddVertex(0, 10);
  broken.AddElement(new TOwnerElement);
  broken.AddVertex(10, 0);
  EXPECT_EQ(broken.GetCalculatedArea(), 0);  // the first term is (0 - 0) * 10 / 2
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "GetCalculatedArea Error");
}

// A line's sums read its vertices straight from its child list: walked from
// either end, open and closed, as many terms as vertices, and cut short with
// the message at a child that is no vertex.
TEST_F(SpaceEntityTest, ALinesSumsWalkItsVerticesFromEitherEnd) {
  struct Sums {
    double openForward, openBackward, closedForward, closedBackward;
    std::size_t messages;
    bool operator==(const Sums&) const = default;
  };
  const struct {
    const char* name;
    std::vector<TRealPoint> points;
    int noVertexAt;  // where a child that is no vertex goes; -1: none
    Sums sums;
  } cases[] = {
      {"no vertex", {}, -1, {0, 0, 0, 0, 0}},
      {"one vertex", {{3, 4}}, -1, {0, 0, 0, 0, 0}},
      // (x1 - x0) * (y1 + y0) / 2 per segment: 12 * 4 / 2 = 24 one way, -24 the other.
      {"one segment", {{1, 1}, {13, 3}}, -1, {24, -24, 0, 0, 0}},
      // Forward 0 + 0 - 100, the closing term 0; backward 100 + 0 + 0, closing 0.
      {"three sides of a square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, -1, {-100, 100, -100, 100, 0}},
      // Forward 2 * 3 / 2 + 4 * 7 / 2 = 17, closing -6 * 6 / 2 = -18; backward -14 - 3 = -17, closing 18.
      {"a bent line", {{0, 1}, {2, 2}, {6, 5}}, -1, {17, -17, -1, 1, 0}},
      // Forward meets it at once; backward after (10, 0) - (0, 10): -50, and no closing term either way.
      {"a child that is no vertex", {{0, 0}, {0, 10}, {10, 0}}, 1, {0, -50, 0, -50, 4}},
  };
  for (const auto& c : cases) {
    TPolyLineElement line;
    for (std::size_t i = 0; i < c.points.size(); ++i) {
      if (static_cast<int>(i) == c.noVertexAt) line.AddElement(new TOwnerElement);
      line.AddVertex(c.points[i].X, c.points[i].Y);
    }
    dialogs.Messages.clear();
    const Sums sums{line.AreaTerm(true), line.AreaTerm(false), line.GetCalculatedAreaFrom(true),
                    line.GetCalculatedAreaFrom(false), dialogs.Messages.size()};
    EXPECT_EQ(sums, c.sums) << c.name;
  }
}

// An area of lines counts its vertices along its lines in their walking
// direction, each line without its last vertex (the next line's first).
// A distance of the whole length or more gives the last vertex, however the
// walk along the segments ends.
TEST_F(SpaceEntityTest, APointAtADistanceLiesOnTheSegmentThatDistanceReaches) {
  const struct {
    const char* name;
    std::vector<TRealPoint> vertices;
    double distance, x, y;
  } rows[] = {
      {"the start", {{0, 0}, {4, 0}, {4, 3}}, 0, 0, 0},
      {"within the first segment", {{0, 0}, {4, 0}, {4, 3}}, 2, 2, 0},
      {"within the second segment", {{0, 0}, {4, 0}, {4, 3}}, 5.5, 4, 1.5},
      {"exactly the whole length", {{0, 0}, {4, 0}, {4, 3}}, 7, 4, 3},
      {"past the end", {{0, 0}, {4, 0}, {4, 3}}, 9, 4, 3},
      {"a single vertex", {{2, 5}}, 1, 2, 5},
      {"no vertex, a distance beyond its length", {}, 1, 0, 0},
      {"no vertex, distance 0", {}, 0, 0, 0},
  };
  for (const auto& row : rows) {
    TPolyLineElement line;
    for (const TRealPoint& p : row.vertices) line.AddVertex(p.X, p.Y);
    double x = -1, y = -1, angle = 0;
    line.PointAtDistance(x, y, row.distance, angle);
    EXPECT_NEAR(x, row.x, 1e-12) << row.name;
    EXPECT_NEAR(y, row.y, 1e-12) << row.name;
  }
}

TEST_F(SpaceEntityTest, AnAreaOfLinesNumbersTheVerticesAlongItsLines) {
  TOwnerEntity lines;
  auto* there = Poly({{0, 0}, {10, 0}, {10, 10}}).release();
  auto* back = Poly({{0, 0}, {0, 10}, {10, 10}}).release();  // walked from its end
  lines.AddElement(there);
  lines.AddElement(back);
  TPolyLineAreaElement area;
  area.AddLine(there, true);
  area.AddLine(back, false);
  const std::pair<int, std::vector<double>> rows[] = {
      {-1, {}}, {0, {0, 0}}, {1, {10, 0}}, {2, {10, 10}}, {3, {0, 10}}, {4, {}}};
  for (const auto& [index, point] : rows) {
    const T2DCoordinate* vertex = area.GetCoord(index);
    std::vector<double> found;
    if (vertex) found = {vertex->GetX(), vertex->GetY()};
    EXPECT_EQ(found, point) << index;
  }
}

// The readers that do not ask GetCoord for each vertex must still take an
// area of lines' vertices from its lines, never from its children (the
// lines themselves): each answers as for a plain area of the same outline.
TEST_F(SpaceEntityTest, EveryVertexReaderOfAnAreaOfLinesAnswersAsForAPlainArea) {
  TOwnerEntity lines;
  auto* there = Poly({{0, 0}, {10, 0}, {10, 10}}).release();
  auto* back = Poly({{0, 0}, {0, 10}, {4, 12}, {10, 10}}).release();  // walked from its end
  lines.AddElement(there);
  lines.AddElement(back);
  TPolyLineAreaElement ofLines;
  ofLines.AddLine(there, true);
  ofLines.AddLine(back, false);
  ofLines.CalcBounds();
  auto plain = Poly<TAreaElement>({{0, 0}, {10, 0}, {10, 10}, {4, 12}, {0, 10}});

  using Reading = std::vector<double>;
  const auto vertexAt = [](const TPolyElement& p, int i, bool fromBegin) {
    const T2DCoordinate* v = p.VertexAt(i, fromBegin);
    return v ? Reading{v->GetX(), v->GetY()} : Reading{};
  };
  const struct {
    const char* name;
    std::function<Reading(TPolyElement&)> read;
  } readers[] = {
      {"VertexAt from the begin", [&](TPolyElement& p) {
         Reading r;
         for (int i = -1; i <= 5; ++i) std::ranges::copy(vertexAt(p, i, true), std::back_inserter(r));
         return r;
       }},
      {"VertexAt from the end", [&](TPolyElement& p) {
         Reading r;
         for (int i = -1; i <= 5; ++i) std::ranges::copy(vertexAt(p, i, false), std::back_inserter(r));
         return r;
       }},
      {"GetVertexXY", [](TPolyElement& p) {
         double x = 0, y = 0;
         p.GetVertexXY(2, false, x, y);
         return Reading{x, y};
       }},
      {"GetCoordX and GetCoordY", [](TPolyElement& p) { return Reading{p.GetCoordX(3), p.GetCoordY(3)}; }},
      {"Length", [](TPolyElement& p) { return Reading{p.Length()}; }},
      {"area sums", [](TPolyElement& p) {
         return Reading{p.GetCalculatedArea(), p.GetCalculatedAreaFrom(false), p.AreaTerm(true)};
       }},
      {"bounds", [](TPolyElement& p) {
         p.CalcBounds();
         return Reading{p.GetMinX(), p.GetMinY(), p.GetMaxX(), p.GetMaxY()};
       }},
      {"middle point", [](TPolyElement& p) {
         double x = 0, y = 0, angle = 0;
         p.GetMiddlePoint(x, y, angle);
         return Reading{x, y, angle};
       }},
  };
  for (const auto& reader : readers) {
    const Reading expected = reader.read(*plain);
    EXPECT_FALSE(expected.empty()) << reader.name;
    EXPECT_EQ(reader.read(ofLines), expected) << reader.name;
  }
}

TEST_F(SpaceEntityTest, LinesSharingVerticesKeepThemWhenEitherIsFreed) {
  auto* first = Poly({{0, 0}, {5, 5}, {10, 0}}).release();
  auto second = std::make_unique<TPolyLineElement>();
  second->AddLine(first, false);
  EXPECT_EQ(second->GetCoord(0), first->GetCoord(2));  // the same objects, reversed
  delete first;                                        // the sanitizer would catch any vertex freed with it
  EXPECT_DOUBLE_EQ(second->Length(), 2 * std::sqrt(50.0));
  TPolyLineString lines;  // and the other way round, freed through an owning list
  auto* a = Poly({{1, 1}, {2, 2}}).release();
  auto* b = new TPolyLineElement;
  lines.AddElement(a);
  lines.AddElement(b);
  b->AddLine(a, true);
  lines.FreeElement(b);
  EXPECT_EQ(a->GetCoord(1)->HolderCount(), 1);
}

// Three lines of 3, 2 and 4 vertices round the square (0, 0) - (10, 10), the second and third
// drawn against the walking direction.
std::unique_ptr<TPolyLineAreaElement> LineSquare() {
  auto area = std::make_unique<TPolyLineAreaElement>();
  area->AddLine(Poly({{0, 0}, {0, 10}, {10, 10}}).release(), true);
  area->AddLine(Poly({{10, 0}, {10, 10}}).release(), false);
  area->AddLine(Poly({{0, 0}, {2, 0}, {6, 0}, {10, 0}}).release(), false);
  return area;
}

TEST_F(SpaceEntityTest, OriginBitsAsHexadecimalTextStayAlignedWithTheLines) {
  TLogLines log;
  MainTool = &log;
  auto area = LineSquare();
  EXPECT_EQ(VerticesOf(*area),
            (std::vector<std::pair<double, double>>{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {6, 0}, {2, 0}}));
  area->SetLineOrigin(1, false);
  area->SetLineOrigin(2, true);
  area->SetLineOrigin(-3, true);
  EXPECT_EQ(area->GetLinesOriginesHex(), "05");
  area->SetLinesOriginesHex("010G");  // a bad pair keeps the bits and logs a line
  area->SetLinesOriginesHex("-1");
  RunMessages();
  EXPECT_EQ(area->GetLinesOriginesHex(), "05");
  EXPECT_THAT(log.Lines, ::testing::ElementsAre(::testing::HasSubstr("\"0G\""), ::testing::HasSubstr("\"-1\"")));
  area->InsertLine(1, Poly({{3, 3}, {4, 4}}).release(), true);
  EXPECT_EQ(area->GetLinesOriginesHex(), "0B");  // 1, 1, 0, 1
  TElement* second = area->Children()[1];
  area->RemoveElement(second);  // removing moves the later bits down
  delete second;
  EXPECT_EQ(area->GetLinesOriginesHex(), "05");
  delete area->Children()[0];  // a boundary line freed elsewhere leaves the same way
  EXPECT_EQ(area->GetLinesOriginesHex(), "02");
  TPolyLineAreaElement bare;
  bare.AddElement(Poly({{0, 0}, {1, 1}}).release());
  bare.InsertLine(0, Poly({{2, 2}, {3, 3}}).release(), true);
  EXPECT_EQ(bare.GetLinesOriginesHex(), "01");  // with no bits yet only the new one is set
}

// Removing several lines at once leaves the lines and origin bits that
// removing them one by one leaves, also where the bits stop short of the lines.
TEST_F(SpaceEntityTest, LinesRemovedInOnePassTakeTheirOriginBitsAlong) {
  const struct {
    const char* name;
    const char* lines;    // one letter per line; a repeated letter lists that line again
    const char* origins;  // per entry: 1 forward, 0 backward, - no bit stored (past the bits' end)
    const char* drop;     // the letters removed
  } rows[] = {
      {"none removed", "abcd", "1010", ""},
      {"all removed", "abcd", "1101", "abcd"},
      {"the first", "abcd", "0111", "a"},
      {"the last", "abcd", "1110", "d"},
      {"every other", "abcdefgh", "10110101", "aceg"},
      {"a line listed twice", "abcb", "1001", "b"},
      {"past the bits", "abcdefghij", "11111111--", "bi"},
      {"no bits at all", "abc", "---", "b"},
  };
  for (const auto& row : rows) {
    const std::string letters = row.lines;
    const std::string origins = row.origins;
    const std::string drop = row.drop;
    TPolyLineAreaElement onePass, oneByOne;
    std::vector<TPolyLineElement*> byLetter[2];
    for (int copy = 0; copy < 2; ++copy) {
      TPolyLineAreaElement& area = copy == 0 ? onePass : oneByOne;
      for (int letter = 0; letter < 26; ++letter)
        byLetter[copy].push_back(Poly({{double(letter), 0}, {double(letter), 1}}).release());
      for (std::size_t i = 0; i < letters.size(); ++i) {
        TPolyLineElement* line = byLetter[copy][static_cast<std::size_t>(letters[i] - 'a')];
        if (origins[i] == '-') area.AddElement(line);
        else area.AddLine(line, origins[i] == '1');
      }
    }
    auto letterOf = [&](int copy, const TElement* e) {
      return static_cast<char>('a' + (std::find(byLetter[copy].begin(), byLetter[copy].end(), e) - byLetter[copy].begin()));
    };
    const std::vector<TElement*> removed =
        onePass.RemoveElementsIf([&](TElement* e) { return drop.find(letterOf(0, e)) != std::string::npos; });
    std::string expectedRemoved;
    for (char c : letters)
      if (drop.find(c) != std::string::npos) {
        expectedRemoved += c;
        oneByOne.RemoveElement(byLetter[1][static_cast<std::size_t>(c - 'a')]);
      }
    std::string removedLetters, left[2];
    for (const TElement* e : removed) removedLetters += letterOf(0, e);
    for (const TElement* e : onePass.Children()) left[0] += letterOf(0, e);
    for (const TElement* e : oneByOne.Children()) left[1] += letterOf(1, e);
    EXPECT_EQ(removedLetters, expectedRemoved) << row.name;
    EXPECT_EQ(left[0], left[1]) << row.name;
    EXPECT_EQ(onePass.GetLinesOriginesHex(), oneByOne.GetLinesOriginesHex()) << row.name;
    for (const auto& lines : byLetter)
      for (TPolyLineElement* line : lines)
        if (line->HolderCount() == 0) delete line;
  }
}

// Drawing takes an area of lines as a plain area with its holes, whether a
// hole is itself made of lines or of vertices (as the block reader gives it).
TEST_F(SpaceEntityTest, APlainAreaOfLinesKeepsHolesOfEitherKind) {
  const struct {
    const char* name;
    bool holeOfLines;
  } cases[] = {{"hole of lines", true}, {"hole of vertices", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto area = LineSquare();
    if (c.holeOfLines) {
      auto* hole = new TPolyLineAreaElement;
      hole->AddLine(Poly({{1, 1}, {1, 6}, {3, 6}, {3, 1}, {1, 1}}).release(), true);
      area->AddHole(hole);
    } else {
      area->AddHole(Poly<TAreaElement>(kHole).release());
    }
    const std::unique_ptr<TAreaElement> plain(area->CreateAreaWithHoles());
    EXPECT_DOUBLE_EQ(std::fabs(plain->GetCalculatedArea()), 90) << "the outline less its hole";
    ASSERT_NE(plain->Holes(), nullptr);
    ASSERT_EQ(plain->Holes()->Children().size(), 1u);
    const auto* hole = DynamicCast<TAreaElement>(plain->Holes()->Children()[0]);
    ASSERT_NE(hole, nullptr);
    EXPECT_EQ(hole->ClassType(), TAreaElement::StaticClass());
    EXPECT_DOUBLE_EQ(std::fabs(hole->GetCalculatedArea()), 10);
    EXPECT_TRUE(hole->IsHole);
  }
}

// A line of an outline as drawn, and whether it is walked from its first vertex.
struct OutlineLine {
  std::vector<TRealPoint> vertices;
  bool forward = true;
  bool line = true;  // false: a child that is no line
};

std::unique_ptr<TPolyLineAreaElement> OutlineOf(const std::vector<OutlineLine>& lines) {
  auto area = std::make_unique<TPolyLineAreaElement>();
  for (const OutlineLine& l : lines) {
    if (!l.line) {
      area->AddElement(new TPointElement);
      continue;
    }
    auto poly = std::make_unique<TPolyLineElement>();
    for (const TRealPoint& p : l.vertices) poly->AddVertex(p.X, p.Y);
    area->AddLine(poly.release(), l.forward);
  }
  return area;
}

// A cursor and GetCoord number an outline's vertices alike, in whatever order
// they are read: each line walked its own way without its last vertex; an
// empty line counts -1, so the next line gives up its first vertex too.  Bounds
// and area come from the same vertices.
TEST_F(SpaceEntityTest, ACursorReadsAnOutlineAsGetCoordNumbersIt) {
  using P = std::pair<double, double>;
  const struct {
    const char* name;
    std::vector<OutlineLine> lines;
    std::vector<P> vertices;
  } rows[] = {
      {"lines walked either way",
       {{{{0, 0}, {0, 10}, {10, 10}}}, {{{10, 0}, {10, 10}}, false}, {{{0, 0}, {2, 0}, {6, 0}, {10, 0}}, false}},
       {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {6, 0}, {2, 0}}},
      {"one closed line", {{{{0, 0}, {0, 5}, {5, 5}, {5, 0}, {0, 0}}}}, {{0, 0}, {0, 5}, {5, 5}, {5, 0}}},
      {"one closed line walked back", {{{{0, 0}, {0, 5}, {5, 5}, {5, 0}, {0, 0}}, false}},
       {{0, 0}, {5, 0}, {5, 5}, {0, 5}}},
      {"lines sharing their end vertices",
       {{{{0, 0}, {0, 4}}}, {{{0, 4}, {4, 4}}}, {{{4, 0}, {4, 4}}, false}, {{{4, 0}, {0, 0}}}},
       {{0, 0}, {0, 4}, {4, 4}, {4, 0}}},
      {"an empty line between", {{{{0, 0}, {0, 4}, {4, 4}}}, {{}}, {{{4, 4}, {4, 0}, {0, 0}}}},
       {{0, 0}, {0, 4}, {4, 0}}},
      {"an empty line first", {{{}}, {{{0, 0}, {0, 4}, {4, 4}, {0, 0}}}}, {{0, 4}, {4, 4}}},
      {"a line of one vertex", {{{{0, 0}, {0, 4}}}, {{{0, 4}}}, {{{0, 4}, {4, 4}, {0, 0}}}},
       {{0, 0}, {0, 4}, {4, 4}}},
      {"a zero-length segment", {{{{0, 0}, {0, 4}, {0, 4}, {4, 4}}}, {{{4, 4}, {0, 0}}}},
       {{0, 0}, {0, 4}, {0, 4}, {4, 4}}},
      {"a child that is no line", {{{{0, 0}, {0, 4}, {4, 4}}}, {{}, true, false}, {{{0, 0}, {4, 0}, {4, 4}}, false}},
       {{0, 0}, {0, 4}, {4, 4}, {4, 0}}},
      {"no lines", {}, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::unique_ptr<TPolyLineAreaElement> area = OutlineOf(row.lines);
    const int count = static_cast<int>(row.vertices.size());
    ASSERT_EQ(area->GetCoordsCount(), count);
    std::vector<int> rising, falling, jumping;
    for (int i = -1; i <= count; ++i) rising.push_back(i);
    falling.assign(rising.rbegin(), rising.rend());
    for (int i = 0; i < count; i += 2) jumping.insert(jumping.end(), {i, i, count - 1 - i / 2, i + 1});
    for (const auto& [order, indexes] : {std::pair("rising", rising), {"falling", falling}, {"jumping", jumping}}) {
      TCoordCursor cursor(*area);
      for (int i : indexes) {
        const bool inRange = i >= 0 && i < count;
        for (const auto& [reader, vertex] : {std::pair("cursor", cursor.At(i)), {"GetCoord", area->GetCoord(i)}}) {
          ASSERT_EQ(vertex != nullptr, inRange) << reader << " " << order << " " << i;
          if (inRange) {
            EXPECT_EQ(P(vertex->GetX(), vertex->GetY()), row.vertices[i]) << reader << " " << order << " " << i;
          }
        }
      }
    }
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9, sum = 0;
    for (int i = 0; i < count; ++i) {
      const auto& [x, y] = row.vertices[i];
      const auto& [nx, ny] = row.vertices[(i + 1) % count];
      minX = std::min(minX, x), minY = std::min(minY, y), maxX = std::max(maxX, x), maxY = std::max(maxY, y);
      sum += (nx - x) * (ny + y) / 2;
    }
    EXPECT_DOUBLE_EQ(area->WholeArea(), sum);
    // Length and the point at a distance walk the same vertices as a plain
    // line through them.
    TPolyLineElement plain;
    for (const auto& [x, y] : row.vertices) plain.AddVertex(x, y);
    EXPECT_DOUBLE_EQ(area->Length(), plain.Length());
    for (const double share : {0.0, 0.3, 0.5, 0.999, 1.0, 1.5}) {
      double x = 0, y = 0, angle = 0, plainX = 0, plainY = 0, plainAngle = 0;
      area->PointAtDistance(x, y, plain.Length() * share, angle);
      plain.PointAtDistance(plainX, plainY, plain.Length() * share, plainAngle);
      EXPECT_EQ(std::tuple(x, y, angle), std::tuple(plainX, plainY, plainAngle)) << "at " << share;
    }
    if (count == 0) continue;
    area->CalcBounds();
    EXPECT_EQ(std::tuple(area->GetMinX(), area->GetMinY(), area->GetMaxX(), area->GetMaxY()),
              std::tuple(minX, minY, maxX, maxY));
  }
}

class LineEndIndexTest : public SpatialTest {
 protected:
  // A line from (x, y) to (x + 1, y + 1), kept by the test's list.
  TPolyLineElement* Line(double x, double y) {
    auto* line = Poly({{x, y}, {x + 1, y + 1}}).release();
    lines.AddElement(line);
    return line;
  }
  TPolyLineString lines;
};

TEST_F(LineEndIndexTest, ALeafSplitsAtTheSixtyFifthEndFilingEachEndByItsOwnVertex) {
  TSpaceLineBegEndCell root;
  root.SetBounds({0, 0, 100, 100});
  auto* line = Poly({{10, 10}, {50, 50}, {90, 90}}).release();
  auto* back = Poly({{90, 90}, {50, 50}, {10, 10}}).release();
  lines.AddElement(line);
  lines.AddElement(back);
  root.AddLineEnd(back, false);
  for (int i = 0; i < 63; ++i) root.AddLineEnd(Line(i % 2 == 0 ? 10 : 80, 10), true);
  EXPECT_EQ(Texts(root, {"Count", "Last"}), "64|True");  // the cell's Count replaces the child count
  root.AddLineEnd(line, false);                          // the split filed back's end again by its last vertex
  EXPECT_EQ(Texts(root, {"Count", "Last"}), "65|False");
  auto cell = [&](TSpaceRect::Quarter q) { return static_cast<TSpaceLineBegEndCell*>(root.Cell(q))->Ends(); };
  ASSERT_TRUE(cell(TSpaceRect::UpperRight) && cell(TSpaceRect::LowerLeft));
  EXPECT_EQ(cell(TSpaceRect::UpperRight)->Children(), std::vector<TElement*>{line});
  EXPECT_EQ(cell(TSpaceRect::LowerLeft)->Children(), std::vector<TElement*>{back});
}

// A split cuts the cell at the centre of its bounds into four quarters, named
// and added lower left, upper left, lower right, upper right.
TEST_F(LineEndIndexTest, ASplitMakesTheFourQuartersOfTheCellAtItsCentre) {
  TSpaceLineBegEndCell root;
  root.SetBounds({10, 20, 110, 80});
  const TRealPoint spread[] = {{30, 30}, {30, 70}, {90, 30}, {90, 70}};
  for (int i = 0; i < 65; ++i) root.AddLineEnd(Line(spread[i % 4].X, spread[i % 4].Y), true);
  ASSERT_FALSE(root.Last());
  EXPECT_EQ(std::pair(root.SplitX, root.SplitY), std::pair(60.0, 50.0));
  const struct {
    const char* name;
    double minX, minY, maxX, maxY;
  } quarters[] = {
      {"LEVY DOLNI", 10, 20, 60, 50},
      {"LEVY HORNI", 10, 50, 60, 80},
      {"PRAVY DOLNI", 60, 20, 110, 50},
      {"PRAVY HORNI", 60, 50, 110, 80},
  };
  ASSERT_EQ(root.Children().size(), std::size(quarters));
  for (std::size_t i = 0; i < std::size(quarters); ++i) {
    const auto& q = quarters[i];
    auto* cell = DynamicCast<TSpaceLineBegEndCell>(root.Children()[i]);
    ASSERT_NE(cell, nullptr) << q.name;
    EXPECT_EQ(std::tuple(cell->GetName(), cell->GetMinX(), cell->GetMinY(), cell->GetMaxX(), cell->GetMaxY()),
              std::tuple(std::string(q.name), q.minX, q.minY, q.maxX, q.maxY));
  }
}

// A quarter or a line-end list freed from outside (a script may free any
// child) reads nil afterwards: an end that quarter would take stays in the
// inner cell, and a leaf whose list went makes a new one.
TEST_F(LineEndIndexTest, AFreedQuarterOrListReadsNilAndItsEndsStayAboveIt) {
  const struct {
    const char* name;
    TSpaceRect::Quarter freed;
    double x, y;
  } rows[] = {
      {"lower left", TSpaceRect::LowerLeft, 10, 10},
      {"upper left", TSpaceRect::UpperLeft, 10, 80},
      {"lower right", TSpaceRect::LowerRight, 80, 10},
      {"upper right", TSpaceRect::UpperRight, 80, 80},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TSpaceLineBegEndCell root;
    root.SetBounds({0, 0, 100, 100});
    for (int i = 0; i < 65; ++i) root.AddLineEnd(Line(i % 2 == 0 ? 10 : 80, i % 4 < 2 ? 10 : 80), true);
    ASSERT_FALSE(root.Last());
    root.FreeElement(root.Cell(row.freed));
    EXPECT_EQ(root.Cell(row.freed), nullptr);
    TPolyLineElement* line = Line(row.x, row.y);
    root.AddLineEnd(line, true);
    ASSERT_NE(root.Begins(), nullptr);
    EXPECT_EQ(root.Begins()->Children(), std::vector<TElement*>{line});
    // The opposite quarter still files its ends, also after its list went.
    auto* opposite = static_cast<TSpaceLineBegEndCell*>(root.CellFor(100 - row.x, 100 - row.y));
    ASSERT_NE(opposite, nullptr);
    ASSERT_NE(opposite->Begins(), nullptr);
    opposite->FreeElement(opposite->Begins());
    EXPECT_EQ(opposite->Begins(), nullptr);
    TPolyLineElement* across = Line(100 - row.x, 100 - row.y);
    root.AddLineEnd(across, true);
    ASSERT_NE(opposite->Begins(), nullptr);
    EXPECT_EQ(opposite->Begins()->Children(), std::vector<TElement*>{across});
  }
}

TEST_F(LineEndIndexTest, CellsTooSmallOrUnboundedGrowInsteadOfSplittingAndEmptyLinesAreRefused) {
  TSpaceLineBegEndCell root;
  root.SetBounds({0, 0, 100, 100});
  for (int i = 0; i < 200; ++i) root.AddLineEnd(Line(30, 30), true);
  EXPECT_EQ(root.GetEndsCount(), 200);
  TSpaceRect* cell = &root;
  int depth = 0;
  for (; !cell->Last(); ++depth) cell = cell->CellFor(30, 30);
  EXPECT_LT(cell->GetWidth(), 2 * TSpaceLineBegEndCell::MinCellSize);
  EXPECT_LT(depth, 25);
  TSpaceLineBegEndCell unbounded;
  for (int i = 0; i < 70; ++i) unbounded.AddLineEnd(Line(i, i), true);
  EXPECT_EQ(Texts(unbounded, {"Count", "Last"}), "70|True");
  TPolyLineElement empty;
  unbounded.AddLineEnd(&empty, true);
  unbounded.AddLineEnd(nullptr, false);
  EXPECT_EQ(unbounded.GetEndsCount(), 70);
  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Error: TSpaceLineBegEndCell.AddLine");
}

}  // namespace
