#include "spatial/objects/space_entities.h"

#include <gmock/gmock.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "framework/values/typed_values.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entity_properties.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

constexpr double kPi = std::numbers::pi;

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

TEST_F(SpaceEntityTest, PropertiesGoToThePropertyObjectWhichIsFreedWhenReplacedAndClonedByAssign) {
  TPointElement point;  // without properties: no number, foreign names dropped
  SetTexts(point, {{"SpaceID", "7"}, {"Barva", "12"}});
  EXPECT_EQ(Texts(point, {"SpaceID", "Group", "Barva"}), "-1|-1|");
  point.SetProperties(new TDynamicProperties);
  SetTexts(point, {{"SpaceID", "42"}, {"Barva", "12"}, {"Angle", "1.5"}});
  EXPECT_EQ(Texts(point, {"SpaceID", "BARVA", "Angle"}), "42|12|1.5");
  EXPECT_FALSE(point.Properties()->HasProperty("Angle"));
  TTextElement text;  // how long a replaced property object lives is the held-property tests' concern
  auto* textProps = new TSpaceEntityProps;
  text.SetProperties(textProps);
  text.SetProperties(text.Properties());  // the same object stays
  EXPECT_EQ(text.Properties(), textProps);
  EXPECT_EQ(textProps->SpaceEntity(), &text);
  TPointElement done;  // IsDone lives in the element number
  done.SetPropertyText("IsDone", "True");
  const int set = done.ID;
  done.ID = 17;
  const std::string read = done.GetPropertyText("IsDone");
  done.SetIsDone(false);
  EXPECT_EQ(std::tuple(set, read, done.ID), std::tuple(0, "True", -1));

  TPointElement source, target, dynamic, other;  // Assign clones block properties, not free-form ones
  source.SetBounds({1, 2, 3, 4});
  auto* props = new TSpaceEntityProps;
  props->IsDone = true;
  source.SetProperties(props);
  target.Assign(&source);
  auto* copy = DynamicCast<TSpaceEntityProps>(target.Properties());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(std::tuple(BoxOf(target), copy != props, copy->IsDone, copy->SpaceEntity()),
            std::tuple(Box4{1, 2, 3, 4}, true, true, &target));
  dynamic.SetProperties(new TDynamicProperties);
  other.Assign(&dynamic);
  EXPECT_EQ(std::tuple(other.Properties(), other.CreateEnvelope()), std::tuple(nullptr, &other));
}

TEST_F(SpaceEntityTest, StringsTakeDynamicPropertiesElementsOnRequestAndCheckOwners) {
  TPolyLineString lines, other;
  lines.SetPropertyText("Vrstva", "hranice");
  ASSERT_NE(DynamicCast<TDynamicProperties>(lines.Properties()), nullptr);
  EXPECT_EQ(lines.GetPropertyText("vrstva"), "hranice");
  auto* line = new TPolyLineElement;
  TOwnerElement sender;
  sender.SendMessage(msgAddElement, &lines, line, false);
  sender.SendMessage(msgAddElement + 1, &lines, new TPolyLineElement, true);
  EXPECT_EQ(lines.Children(), std::vector<TElement*>{line});
  const bool before = lines.NoChildHasOwner(&other);
  other.AddElement(line);
  EXPECT_EQ(std::tuple(before, lines.NoChildHasOwner(&other)), std::tuple(true, false));
  auto* owned = new TOwnerElement;  // only space entities count
  TOwnerEntity keep;
  keep.AddElement(owned);
  TPolyLineString mixed;
  mixed.AddElement(owned);
  EXPECT_TRUE(mixed.NoChildHasOwner(&keep));
}

TEST_F(SpaceEntityTest, SignedAreasWithHolesWhateverWayEitherRuns) {
  const struct {
    const char* name;
    std::initializer_list<TRealPoint> outline, hole;
    double area;
  } cases[] = {
      {"clockwise triangle", {{0, 0}, {0, 10}, {10, 0}}, {}, 50},
      {"anticlockwise triangle", {{0, 0}, {10, 0}, {0, 10}}, {}, -50},
      {"clockwise hole", kSquare10, kHole, 90},
      {"anticlockwise hole", kSquare10, {{1, 1}, {3, 1}, {3, 6}, {1, 6}}, 90},
      {"anticlockwise outline keeps its sign", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, kHole, -90},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto area = Poly<TAreaElement>(c.outline);
    TAreaElement* hole = c.hole.size() ? Poly<TAreaElement>(c.hole).release() : nullptr;
    if (hole) area->AddHole(hole);
    EXPECT_DOUBLE_EQ(area->GetCalculatedArea(), c.area);
    if (!hole) continue;
    EXPECT_DOUBLE_EQ(area->WholeArea(), 100 * (c.area > 0 ? 1 : -1));
    EXPECT_EQ(std::tuple(hole->IsHole, hole->HoleOwnerArea()), std::tuple(true, area.get()));
    hole->IsHole = false;  // the mark decides, not the place
    EXPECT_EQ(hole->HoleOwnerArea(), nullptr);
  }
  auto line = Poly({{0, 0}, {0, 10}, {10, 0}});
  EXPECT_EQ(std::tuple(line->GetPropertyText("Area1"), line->GetCalculatedAreaFrom(false)), std::tuple("50", -50.0));
  // Area terms of consecutive lines add up to the ring (no closing term); walked back a line runs the other way.
  auto first = Poly({{0, 0}, {0, 10}, {10, 10}});
  auto secondReversed = Poly({{0, 0}, {10, 0}, {10, 10}});
  EXPECT_EQ(std::tuple(first->AreaTerm(true), secondReversed->AreaTerm(false), first->AreaTerm(false)),
            std::tuple(100.0, 0.0, -100.0));
  Tracked<TAreaElement>::Alive = 0;
  {
    TAreaElement owner;
    owner.AddHole(new Tracked<TAreaElement>);
  }
  EXPECT_EQ(Tracked<TAreaElement>::Alive, 0);  // freeing an area frees its holes
}

TEST_F(SpaceEntityTest, VertexIndexesOutOfRangeReadNothingAndWriteNothing) {
  TPolyLineElement empty;
  EXPECT_EQ(std::tuple(empty.Length(), empty.GetCalculatedArea(), empty.AreaTerm(true)), std::tuple(0.0, 0.0, 0.0));
  EXPECT_EQ(empty.InsertVertex(3, 1, 1), nullptr);  // nothing to insert into yet
  auto single = Poly({{3, 4}});
  for (int index : {-1, 1, 5}) {
    EXPECT_EQ(std::tuple(single->GetCoord(index), single->VertexAt(index, true), single->VertexAt(index, false)),
              std::tuple(nullptr, nullptr, nullptr))
        << index;
    single->SetCoordX(index, 99);
    single->SetCoordY(index, 99);
    double x = 7, y = 7;
    single->GetVertexXY(index, true, x, y);
    EXPECT_EQ(std::tuple(x, y, single->GetCoordX(index), single->GetCoordY(index)), std::tuple(0, 0, 0, 0)) << index;
  }
  EXPECT_EQ(VerticesOf(*single), (std::vector<std::pair<double, double>>{{3, 4}}));
  TAreaElement broken;  // a child that is no vertex breaks the sum with a message
  broken.AddVertex(0, 0);
  broken.AddVertex(0, 10);
  broken.AddElement(new TOwnerElement);
  broken.AddVertex(10, 0);
  EXPECT_EQ(broken.GetCalculatedArea(), 0);  // the first term is (0 - 0) * 10 / 2
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "GetCalculatedArea Error");
  TAreaElement noVertexFirst;  // a child that is no vertex first ends the sum before it starts
  noVertexFirst.AddElement(new TOwnerElement);
  noVertexFirst.AddVertex(1, 1);
  EXPECT_EQ(std::pair(noVertexFirst.WholeArea(), dialogs.Messages.size()), std::pair(0.0, 1ul));
}

TEST_F(SpaceEntityTest, LengthPointsAtADistanceAndTheMiddle) {
  auto bent = Poly({{0, 0}, {10, 0}, {10, 10}});
  auto one = Poly({{4, 2}});
  TPolyLineElement none;
  const struct {
    TPolyLineElement* line;
    double distance, x, y, angle;
  } cases[] = {{bent.get(), 5, 5, 0, kPi / 2 + 2 * kPi},
               {bent.get(), 15, 10, 5, kPi},
               {bent.get(), 25, 10, 10, 0},  // beyond the end
               {one.get(), 0, 4, 2, 0},
               {&none, 3, 0, 0, 0}};
  for (const auto& c : cases) {
    double x = -1, y = -1, angle = 0;
    c.line->PointAtDistance(x, y, c.distance, angle);
    EXPECT_EQ(std::tuple(x, y, angle), std::tuple(c.x, c.y, c.angle)) << c.distance;
  }
  double bx = 0, by = 0;
  bent->GetVertexXY(0, false, bx, by);  // counted from the end
  EXPECT_EQ(std::tuple(bent->Length(), bx, by), std::tuple(20.0, 10.0, 10.0));
  auto line = Poly({{0, 2}, {10, 2}, {10, 12}});
  line->PlaceRefAtMiddle();  // without moving the box
  EXPECT_EQ(std::tuple(line->GetAbsRefX(), line->GetAbsRefY(), line->Angle, BoxOf(*line)),
            std::tuple(10.0, 2.0, kPi, Box4{0, 2, 10, 12}));
}

TEST_F(SpaceEntityTest, LinesSharingVerticesKeepThemWhenEitherIsFreed) {
  auto* first = Poly({{0, 0}, {5, 5}, {10, 0}}).release();
  auto second = std::make_unique<TPolyLineElement>();
  second->AddLine(first, false);
  ASSERT_EQ(second->GetCoordsCount(), 3);
  EXPECT_EQ(second->GetCoord(0), first->GetCoord(2));  // the same objects, reversed
  delete first;                                        // the sanitizer would catch any vertex freed with it
  EXPECT_EQ(second->GetCoord(1)->HolderCount(), 1);
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

TEST_F(SpaceEntityTest, HitTests) {
  TPointElement point;
  point.SetX(10);
  point.SetY(10);
  auto line = Poly({{0, 0}, {10, 0}, {10, 10}});
  auto area = Poly<TAreaElement>(kSquare10);
  area->AddHole(Poly<TAreaElement>(kHole).release());
  const struct {
    const char* name;
    TSpaceEntity* entity;
    double x, y, tolerance;
    bool hit;
  } cases[] = {
      {"point, absolute tolerance", &point, 10, 12, -3, true},
      {"point, strictly within", &point, 10, 12, 2, false},
      {"line near a segment", line.get(), 5, 1, 1.5, true},
      {"line, negative tolerance", line.get(), 5, 1, -1.5, false},
      {"line beyond its end", line.get(), 13, 10.5, 5, false},
      {"area in the hole", area.get(), 2, 3, 0.1, false},
      {"area, the square round the point leaves the box", area.get(), 9.5, 5, 1, false},
      {"area near the edge", area.get(), 9.5, 5, 0.4, true},
  };
  for (const auto& c : cases) {
    const T2DCoordinate at(c.x, c.y);
    EXPECT_EQ(c.entity->HitTest(&at, c.tolerance), c.hit) << c.name;
    EXPECT_FALSE(c.entity->HitTest(nullptr, 100)) << c.name;
  }
  EXPECT_EQ(area->FindHoleAt(2, 3), area->Holes()->Children()[0]);
  EXPECT_EQ(area->FindHoleAt(5, 8), nullptr);
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

TEST_F(SpaceEntityTest, AnAreaOfLinesWalksItsBoundaryByTheOriginBits) {
  auto area = LineSquare();
  EXPECT_EQ(VerticesOf(*area),
            (std::vector<std::pair<double, double>>{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {6, 0}, {2, 0}}));
  EXPECT_EQ(std::tuple(area->GetCoord(6), area->GetCoord(-1), area->GetCalculatedArea()),
            std::tuple(nullptr, nullptr, 100.0));
  EXPECT_EQ(std::pair(area->HasLine(area->Children()[1], false), area->HasLine(area->Children()[1], true)),
            std::pair(true, false));
  auto hole = std::make_unique<TPolyLineAreaElement>();
  hole->AddLine(Poly({{2, 2}, {2, 4}, {4, 4}, {4, 2}, {2, 2}}).release(), true);
  area->AddHole(hole.release());
  area->AddHole(Poly<TAreaElement>({{6, 6}, {6, 8}, {8, 8}}).release());  // not converted
  std::unique_ptr<TAreaElement> plain(area->CreateAreaWithHoles());
  EXPECT_EQ(VerticesOf(*plain),
            (std::vector<std::pair<double, double>>{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {6, 0}, {2, 0}, {0, 0}}));
  EXPECT_NE(plain->GetCoord(0), area->GetCoord(0));
  ASSERT_NE(plain->Holes(), nullptr);
  EXPECT_EQ(std::tuple(plain->Holes()->Children().size(), plain->GetCalculatedArea()), std::tuple(1u, 96.0));
  EXPECT_EQ((std::vector<bool>{area->ContainsPointOutsideHoles(3, 3), area->ContainsPointOutsideHoles(5, 5),
                               area->OutlineContainsPoint(11, 5)}),
            (std::vector<bool>{false, true, false}));
}

TEST_F(SpaceEntityTest, OriginBitsAsHexadecimalTextStayAlignedWithTheLines) {
  TLogLines log;
  MainTool = &log;
  auto area = LineSquare();
  area->SetLineOrigin(1, false);
  area->SetLineOrigin(2, true);
  EXPECT_EQ(area->GetLinesOriginesHex(), "05");
  area->SetPropertyText("LinesOriginesHex", "ff10");
  area->SetLineOrigin(-3, true);
  area->SetLineOrigin(17, true);
  EXPECT_EQ(std::tuple(area->GetLinesOriginesHex(), area->GetLineOrigin(12), area->GetLineOrigin(-1)),
            std::tuple("FF1002", true, false));
  area->SetLinesOriginesHex("0A");
  area->SetLinesOriginesHex("010G");  // a bad pair keeps the bits and logs a line
  area->SetLinesOriginesHex("-1");
  RunMessages();
  EXPECT_EQ(area->GetLinesOriginesHex(), "0A");
  EXPECT_THAT(log.Lines, ::testing::ElementsAre(::testing::HasSubstr("\"0G\""), ::testing::HasSubstr("\"-1\"")));

  area = LineSquare();  // bits 1, 0, 1
  area->SetLineOrigin(2, true);
  auto* extra = Poly({{3, 3}, {4, 4}}).release();
  area->InsertLine(1, extra, true);
  EXPECT_EQ(std::tuple(area->Children()[1], area->GetLinesOriginesHex()), std::tuple(extra, "0B"));  // 1, 1, 0, 1
  area->InsertLine(99, Poly({{5, 5}, {6, 6}}).release(), true);                                      // appended
  EXPECT_EQ(area->GetLinesOriginesHex(), "1B");
  TElement* second = area->Children()[1];
  area->RemoveElement(second);  // removing moves the later bits down
  delete second;
  EXPECT_EQ(area->GetLinesOriginesHex(), "0D");
  delete area->Children()[0];  // a boundary line freed elsewhere leaves the same way
  EXPECT_EQ(std::tuple(area->Children().size(), area->GetLinesOriginesHex()), std::tuple(3u, "06"));

  area = LineSquare();                    // an add message from a boundary line inserts next to it in walking order
  TElement* first = area->Children()[0];  // walked forward
  TElement* back = area->Children()[1];   // walked backward
  auto* besideFirst = new TPolyLineElement;
  auto* besideBack = new TPolyLineElement;
  first->SendMessage(msgAddElement, area.get(), besideFirst, false);
  back->SendMessage(msgAddElement, area.get(), besideBack, false);
  EXPECT_EQ(area->Children(), (std::vector<TElement*>{besideFirst, first, back, besideBack, area->Children()[4]}));
  EXPECT_EQ(area->GetLinesOriginesHex(), "03");
  TPolyLineElement stranger;
  stranger.SendMessage(msgAddElement, area.get(), new TPolyLineElement, true);
  EXPECT_EQ(area->Children().size(), 5u);
  TPolyLineAreaElement bare;
  bare.AddElement(Poly({{0, 0}, {1, 1}}).release());
  bare.InsertLine(0, Poly({{2, 2}, {3, 3}}).release(), true);
  EXPECT_EQ(bare.GetLinesOriginesHex(), "01");  // with no bits yet only the new one is set
}

class LineEndIndexTest : public SpatialTest {
 protected:
  void SetUp() override {
    SpatialTest::SetUp();
    root.SetBounds({0, 0, 100, 100});
  }
  // A line from (x, y) to (x + 1, y + 1), kept by the test's list.
  TPolyLineElement* Line(double x, double y) {
    auto* line = Poly({{x, y}, {x + 1, y + 1}}).release();
    lines.AddElement(line);
    return line;
  }
  TSpaceLineBegEndCell* Cell(TSpaceRect::Quarter quarter) {
    return static_cast<TSpaceLineBegEndCell*>(root.Cell(quarter));
  }
  TPolyLineString lines;
  TSpaceLineBegEndCell root;
};

TEST_F(LineEndIndexTest, ALeafHoldsSixtyFourEndsAndSplitsAtTheNextFilingEachEndByItsOwnVertex) {
  auto* line = Poly({{10, 10}, {50, 50}, {90, 90}}).release();
  auto* back = Poly({{90, 90}, {50, 50}, {10, 10}}).release();
  lines.AddElement(line);
  lines.AddElement(back);
  root.AddLineEnd(back, false);
  for (int i = 0; i < 63; ++i) root.AddLineEnd(Line(i % 2 == 0 ? 10 : 80, 10), true);
  EXPECT_EQ(Texts(root, {"Count", "Last"}), "64|True");  // the cell's Count replaces the child count
  root.AddLineEnd(line, false);                          // the split filed back's end again by its last vertex
  root.AddLineEnd(line, true);
  EXPECT_EQ(Texts(root, {"Count", "Last"}), "66|False");
  Strings names;
  for (TElement* child : root.Children()) names.push_back(child->GetName());
  EXPECT_EQ(names, (Strings{"LEVY DOLNI", "LEVY HORNI", "PRAVY DOLNI", "PRAVY HORNI"}));
  EXPECT_EQ(std::pair(Cell(TSpaceRect::LowerLeft)->Begins()->GetName(), Cell(TSpaceRect::LowerLeft)->Ends()->GetName()),
            std::pair(std::string("BEGINS"), std::string("ENDS")));
  EXPECT_EQ(std::tuple(root.SplitX, root.SplitY, BoxOf(*Cell(TSpaceRect::UpperLeft))),
            std::tuple(50.0, 50.0, Box4{0, 50, 50, 100}));
  ASSERT_NE(Cell(TSpaceRect::UpperRight)->Ends(), nullptr);
  EXPECT_EQ(Cell(TSpaceRect::UpperRight)->Ends()->Children(), std::vector<TElement*>{line});
  ASSERT_NE(Cell(TSpaceRect::LowerLeft)->Ends(), nullptr);
  EXPECT_EQ(Cell(TSpaceRect::LowerLeft)->Ends()->Children(), std::vector<TElement*>{back});
  EXPECT_EQ(Cell(TSpaceRect::LowerLeft)->Begins()->Children().back(), line);
  root.AddLineEnd(Line(50, 20), true);  // centre lines go right and up
  EXPECT_EQ(Cell(TSpaceRect::LowerRight)->GetEndsCount(), 32);
  EXPECT_EQ(std::pair(root.CellFor(50, 50), root.CellFor(49.999, 49.999)),
            std::pair(static_cast<TSpaceRect*>(Cell(TSpaceRect::UpperRight)),
                      static_cast<TSpaceRect*>(Cell(TSpaceRect::LowerLeft))));
  EXPECT_EQ(lines.Children()[2]->HolderCount(), 2);  // the lines outlived the lists that were freed
}

TEST_F(LineEndIndexTest, CellsTooSmallOrUnboundedGrowInsteadOfSplittingAndEmptyLinesAreRefused) {
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
  TSpaceLineBegEndCell outside;  // ends outside the root go to the nearest quarters
  outside.SetBounds({0, 0, 100, 100});
  for (int i = 0; i < 70; ++i) outside.AddLineEnd(Line(500 + i, -300), false);
  EXPECT_EQ(outside.Cell(TSpaceRect::LowerRight)->GetEndsCount(), 70);
  TPolyLineElement empty;
  outside.AddLineEnd(&empty, true);
  outside.AddLineEnd(nullptr, false);
  EXPECT_EQ(outside.GetEndsCount(), 70);
  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Error: TSpaceLineBegEndCell.AddLine");
}

}  // namespace
