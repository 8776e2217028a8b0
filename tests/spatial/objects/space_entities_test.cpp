#include "spatial/objects/space_entities.h"

#include <cmath>
#include <memory>
#include <numbers>

#include "framework/values/typed_values.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entity_properties.h"
#include <gmock/gmock.h>

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

TEST_F(SpaceEntityTest, PropertiesGoToThePropertyObjectWhichIsFreedWhenReplaced) {
  TPointElement point;  // without properties: no number, foreign names dropped
  SetTexts(point, {{"SpaceID", "7"}, {"Barva", "12"}});
  EXPECT_EQ(Texts(point, {"SpaceID", "Group", "Barva"}), "-1|-1|");
  EXPECT_EQ(std::tuple(point.HasProperty("Barva"), point.HasProperty("angle")), std::tuple(false, true));
  point.SetProperties(new TDynamicProperties);
  SetTexts(point, {{"SpaceID", "42"}, {"Barva", "12"}, {"Angle", "1.5"}});
  point.Properties()->SetPropertyInteger("GROUP", 3);
  EXPECT_EQ(Texts(point, {"SpaceID", "Group", "BARVA", "Angle"}), "42|3|12|1.5");
  EXPECT_FALSE(point.Properties()->HasProperty("Angle"));

  Tracked<TDynamicProperties>::Alive = 0;
  {
    TTextElement text;
    text.SetProperties(new Tracked<TDynamicProperties>);
    text.SetProperties(text.Properties());  // the same object stays
    EXPECT_EQ(Tracked<TDynamicProperties>::Alive, 1);
    auto* props = new TSpaceEntityProps;
    text.SetProperties(props);
    EXPECT_EQ(Tracked<TDynamicProperties>::Alive, 0);
    EXPECT_EQ(props->SpaceEntity(), &text);
    text.SetProperties(new Tracked<TDynamicProperties>);
  }
  EXPECT_EQ(Tracked<TDynamicProperties>::Alive, 0);

  TPointElement done;  // IsDone lives in the element number
  done.SetPropertyText("IsDone", "True");
  const int set = done.ID;
  done.ID = 17;
  EXPECT_EQ(done.GetPropertyText("IsDone"), "True");
  done.SetIsDone(false);
  EXPECT_EQ(std::tuple(set, done.ID), std::tuple(0, -1));
}

TEST_F(SpaceEntityTest, AssignClonesBlockPropertiesButNotFreeFormOnes) {
  TPointElement source;
  source.SetBounds({1, 2, 3, 4});
  auto* props = new TSpaceEntityProps;
  props->IsDone = true;
  source.SetProperties(props);
  TPointElement target, dynamic, other;
  target.Assign(&source);
  EXPECT_EQ(BoxOf(target), (Box4{1, 2, 3, 4}));
  auto* copy = DynamicCast<TSpaceEntityProps>(target.Properties());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(std::tuple(copy != props, copy->IsDone, copy->SpaceEntity()), std::tuple(true, true, &target));
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
    if (!hole) {
      EXPECT_DOUBLE_EQ(area->SavedArea(), c.area);
      continue;
    }
    EXPECT_DOUBLE_EQ(area->WholeArea(), 100 * (c.area > 0 ? 1 : -1));
    EXPECT_EQ(std::tuple(hole->IsHole, hole->HoleOwnerArea(), area->Holes()->OwnerArea()),
              std::tuple(true, area.get(), area.get()));
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
    EXPECT_EQ(Tracked<TAreaElement>::Alive, 1);
  }
  EXPECT_EQ(Tracked<TAreaElement>::Alive, 0);  // freeing an area frees its holes
}

TEST_F(SpaceEntityTest, VertexIndexesOutOfRangeReadNothingAndWriteNothing) {
  TPolyLineElement empty;
  EXPECT_EQ(std::tuple(empty.Length(), empty.GetCalculatedArea(), empty.AreaTerm(true)), std::tuple(0.0, 0.0, 0.0));
  EXPECT_EQ(empty.InsertVertex(3, 1, 1), nullptr);  // nothing to insert into yet
  auto single = Poly({{3, 4}});
  EXPECT_EQ(std::tuple(single->Length(), single->GetCalculatedArea()), std::tuple(0.0, 0.0));
  for (int index : {-1, 1, 5}) {
    EXPECT_EQ(single->GetCoord(index), nullptr) << index;
    EXPECT_EQ(single->VertexAt(index, true), nullptr) << index;
    EXPECT_EQ(single->VertexAt(index, false), nullptr) << index;
    single->SetCoordX(index, 99);
    single->SetCoordY(index, 99);
    double x = 7, y = 7;
    single->GetVertexXY(index, true, x, y);
    EXPECT_EQ(std::tuple(x, y, single->GetCoordX(index), single->GetCoordY(index)), std::tuple(0, 0, 0, 0)) << index;
  }
  EXPECT_EQ(VerticesOf(*single), (std::vector<std::pair<double, double>>{{3, 4}}));

  auto line = Poly({{0, 0}, {10, 0}});
  line->InsertVertex(1, 5, 5);
  line->SetCoordY(2, -3);
  line->CalcBounds();
  EXPECT_EQ(VerticesOf(*line), (std::vector<std::pair<double, double>>{{0, 0}, {5, 5}, {10, -3}}));
  EXPECT_EQ(BoxOf(*line), (Box4{0, -3, 10, 5}));

  TAreaElement broken;  // a child that is no vertex breaks the sum with a message
  broken.AddVertex(0, 0);
  broken.AddVertex(0, 10);
  broken.AddElement(new TOwnerElement);
  broken.AddVertex(10, 0);
  EXPECT_EQ(broken.GetCalculatedArea(), 0);  // the first term is (0 - 0) * 10 / 2
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "GetCalculatedArea Error");
  TAreaElement noVertexFirst;
  noVertexFirst.AddElement(new TOwnerElement);
  noVertexFirst.AddVertex(1, 1);
  EXPECT_EQ(noVertexFirst.WholeArea(), 0);
  EXPECT_EQ(dialogs.Messages.size(), 1u);
}

TEST_F(SpaceEntityTest, LengthPointsAtADistanceAndTheMiddle) {
  auto bent = Poly({{0, 0}, {10, 0}, {10, 10}});
  EXPECT_EQ(Texts(*bent, {"Length", "CoordsCount"}), "20|3");
  const struct {
    TPolyLineElement* line;
    double distance, x, y, angle;
  } cases[] = {{bent.get(), 5, 5, 0, kPi / 2 + 2 * kPi},
               {bent.get(), 10, 10, 0, kPi},
               {bent.get(), 15, 10, 5, kPi},
               {bent.get(), 25, 10, 10, 0},  // beyond the end
               {Poly({{4, 2}}).release(), 0, 4, 2, 0}};
  for (const auto& c : cases) {
    double x = -1, y = -1, angle = -1;
    c.line->PointAtDistance(x, y, c.distance, angle);
    EXPECT_EQ(std::tuple(x, y, angle), std::tuple(c.x, c.y, c.angle)) << c.distance;
  }
  delete cases[4].line;
  TPolyLineElement none;
  double x = 7, y = 7, angle = 0;
  none.PointAtDistance(x, y, 3, angle);
  EXPECT_EQ(std::tuple(x, y), std::tuple(0.0, 0.0));
  double bx = 0, by = 0;
  bent->GetVertexXY(0, false, bx, by);  // counted from the end
  EXPECT_EQ(std::tuple(bx, by), std::tuple(10.0, 10.0));

  auto line = Poly({{0, 2}, {10, 2}, {10, 12}});
  line->PlaceRefAtMiddle();  // without moving the box
  EXPECT_EQ(std::tuple(line->GetAbsRefX(), line->GetAbsRefY(), line->Angle), std::tuple(10.0, 2.0, kPi));
  EXPECT_EQ(BoxOf(*line), (Box4{0, 2, 10, 12}));
}

TEST_F(SpaceEntityTest, LinesSharingVerticesKeepThemWhenEitherIsFreed) {
  auto* first = Poly({{0, 0}, {5, 5}, {10, 0}}).release();
  auto second = std::make_unique<TPolyLineElement>();
  second->AddLine(first, false);
  ASSERT_EQ(second->GetCoordsCount(), 3);
  EXPECT_EQ(second->GetCoord(0), first->GetCoord(2));  // the same objects, reversed
  EXPECT_EQ(second->GetCoord(1)->HolderCount(), 2);
  delete first;  // the sanitizer would catch any vertex freed with it
  EXPECT_EQ(second->GetCoord(1)->HolderCount(), 1);
  EXPECT_DOUBLE_EQ(second->Length(), 2 * std::sqrt(50.0));
  TPolyLineString lines;  // and the other way round, freed through an owning list
  auto* a = Poly({{1, 1}, {2, 2}}).release();
  auto* b = new TPolyLineElement;
  lines.AddElement(a);
  lines.AddElement(b);
  b->AddLine(a, true);
  lines.FreeElement(b);
  EXPECT_DOUBLE_EQ(a->Length(), std::sqrt(2.0));
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
      {"point within", &point, 10, 12, 3, true},       {"point, absolute tolerance", &point, 10, 12, -3, true},
      {"point, strictly within", &point, 10, 12, 2, false},
      {"line near a segment", line.get(), 5, 1, 1.5, true}, {"line too far", line.get(), 5, 1, 1, false},
      {"line, negative tolerance", line.get(), 5, 1, -1.5, false},
      {"line beyond its end", line.get(), 13, 10.5, 5, false}, {"line beside", line.get(), 11, 5, 2, true},
      {"area inside", area.get(), 5, 8, 1, true},      {"area in the hole", area.get(), 2, 3, 0.1, false},
      {"area outside", area.get(), 15, 5, 1, false},
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
  EXPECT_EQ(VerticesOf(*area), (std::vector<std::pair<double, double>>{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {6, 0}, {2, 0}}));
  EXPECT_EQ(std::tuple(area->GetCoord(6), area->GetCoord(-1), area->GetCalculatedArea()),
            std::tuple(nullptr, nullptr, 100.0));
  EXPECT_EQ(BoxOf(*area), (Box4{0, 0, 10, 10}));
  EXPECT_EQ(std::tuple(area->HasLine(area->Children()[1], false), area->HasLine(area->Children()[1], true)),
            std::tuple(true, false));

  auto hole = std::make_unique<TPolyLineAreaElement>();
  hole->AddLine(Poly({{2, 2}, {2, 4}, {4, 4}, {4, 2}, {2, 2}}).release(), true);
  area->AddHole(hole.release());
  area->AddHole(Poly<TAreaElement>({{6, 6}, {6, 8}, {8, 8}}).release());  // not converted
  std::unique_ptr<TAreaElement> plain(area->CreateAreaWithHoles());
  EXPECT_EQ(VerticesOf(*plain),
            (std::vector<std::pair<double, double>>{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {6, 0}, {2, 0}, {0, 0}}));
  EXPECT_NE(plain->GetCoord(0), area->GetCoord(0));
  EXPECT_EQ(BoxOf(*plain), (Box4{0, 0, 10, 10}));
  ASSERT_NE(plain->Holes(), nullptr);
  EXPECT_EQ(std::tuple(plain->Holes()->Children().size(), plain->GetCalculatedArea()), std::tuple(1u, 96.0));
  EXPECT_EQ((std::vector<bool>{area->OutlineContainsPoint(3, 3), area->ContainsPointOutsideHoles(3, 3),
                               area->ContainsPointOutsideHoles(5, 5), area->OutlineContainsPoint(11, 5)}),
            (std::vector<bool>{true, false, true, false}));
}

TEST_F(SpaceEntityTest, OriginBitsAsHexadecimalTextStayAlignedWithTheLines) {
  TLogLines log;
  MainTool = &log;
  auto area = LineSquare();
  area->SetLineOrigin(1, false);
  area->SetLineOrigin(2, true);
  EXPECT_EQ(area->GetLinesOriginesHex(), "05");
  for (const auto& [text, read] : {std::pair{"05A", "05"}, std::pair{"ff10", "FF10"}}) {
    area->SetPropertyText("LinesOriginesHex", text);
    EXPECT_EQ(area->GetPropertyText("LinesOriginesHex"), read);
  }
  EXPECT_EQ(std::tuple(area->GetLineOrigin(12), area->GetLineOrigin(16), area->GetLineOrigin(-1)),
            std::tuple(true, false, false));
  area->SetLineOrigin(-3, true);
  area->SetLineOrigin(17, true);
  EXPECT_EQ(area->GetLinesOriginesHex(), "FF1002");
  area->SetLinesOriginesHex("0A");
  area->SetLinesOriginesHex("010G");  // a bad pair keeps the bits and logs a line
  area->SetLinesOriginesHex("-1");
  RunMessages();
  EXPECT_EQ(area->GetLinesOriginesHex(), "0A");
  ASSERT_EQ(log.Lines.size(), 2u);
  EXPECT_THAT(log.Lines, ::testing::ElementsAre(::testing::HasSubstr("\"0G\""), ::testing::HasSubstr("\"-1\"")));
  area->SetLinesOriginesHex("");
  EXPECT_EQ(area->GetLinesOriginesHex(), "");

  area = LineSquare();  // bits 1, 0, 1
  area->SetLineOrigin(2, true);
  auto* extra = Poly({{3, 3}, {4, 4}}).release();
  area->InsertLine(1, extra, true);
  EXPECT_EQ(std::tuple(area->Children()[1], area->GetLinesOriginesHex()), std::tuple(extra, "0B"));  // 1, 1, 0, 1
  auto* last = Poly({{5, 5}, {6, 6}}).release();
  area->InsertLine(99, last, true);  // appended
  EXPECT_EQ(std::tuple(area->Children().back(), area->GetLinesOriginesHex()), std::tuple(last, "1B"));
  TElement* second = area->Children()[1];
  area->RemoveElement(second);  // removing moves the later bits down
  delete second;
  EXPECT_EQ(area->GetLinesOriginesHex(), "0D");
  delete area->Children()[0];  // a boundary line freed elsewhere leaves the same way
  EXPECT_EQ(std::tuple(area->Children().size(), area->GetLinesOriginesHex()), std::tuple(3u, "06"));
  TPolyLineAreaElement bare;
  bare.AddElement(Poly({{0, 0}, {1, 1}}).release());
  bare.InsertLine(0, Poly({{2, 2}, {3, 3}}).release(), true);
  EXPECT_EQ(bare.GetLinesOriginesHex(), "01");  // with no bits yet only the new one is set
}

TEST_F(SpaceEntityTest, AnAddElementMessageFromABoundaryLineInsertsNextToItInWalkingOrder) {
  auto area = LineSquare();
  TElement* first = area->Children()[0];   // walked forward
  TElement* second = area->Children()[1];  // walked backward
  auto* besideFirst = new TPolyLineElement;
  auto* besideSecond = new TPolyLineElement;
  first->SendMessage(msgAddElement, area.get(), besideFirst, false);
  second->SendMessage(msgAddElement, area.get(), besideSecond, false);
  EXPECT_EQ(area->Children(), (std::vector<TElement*>{besideFirst, first, second, besideSecond, area->Children()[4]}));
  EXPECT_EQ(area->GetLinesOriginesHex(), "03");
  TPolyLineElement stranger;
  stranger.SendMessage(msgAddElement, area.get(), new TPolyLineElement, true);
  EXPECT_EQ(area->Children().size(), 5u);
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

TEST_F(LineEndIndexTest, ALeafHoldsSixtyFourEndsAndSplitsAtTheNext) {
  EXPECT_EQ(Texts(root, {"Count", "Last"}), "0|True");  // the cell's Count replaces the child count
  for (int i = 0; i < 32; ++i) {
    TPolyLineElement* line = Line(10 + i, 10);
    root.AddLineEnd(line, true);
    root.AddLineEnd(line, false);
  }
  EXPECT_EQ(Texts(root, {"Count", "Last"}), "64|True");
  ASSERT_NE(root.Begins(), nullptr);
  EXPECT_EQ(std::tuple(root.Begins()->GetName(), root.Ends()->GetName(), root.Begins()->Children().size()),
            std::tuple("BEGINS", "ENDS", 32u));
  root.AddLineEnd(Line(80, 80), true);
  EXPECT_EQ(Texts(root, {"Count", "Last"}), "65|False");
  EXPECT_EQ(root.Begins(), nullptr);
  Strings names;
  for (TElement* child : root.Children()) names.push_back(child->GetName());
  EXPECT_EQ(names, (Strings{"LEVY DOLNI", "LEVY HORNI", "PRAVY DOLNI", "PRAVY HORNI"}));
  EXPECT_EQ(std::tuple(root.SplitX, root.SplitY), std::tuple(50.0, 50.0));
  EXPECT_EQ(std::tuple(Cell(TSpaceRect::LowerLeft), Cell(TSpaceRect::LowerLeft)->ClassType()),
            std::tuple(root.Children()[0], root.ClassType()));
  EXPECT_EQ(std::tuple(Cell(TSpaceRect::LowerLeft)->GetEndsCount(), Cell(TSpaceRect::UpperRight)->GetEndsCount()),
            std::tuple(64, 1));
  EXPECT_EQ(BoxOf(*Cell(TSpaceRect::UpperLeft)), (Box4{0, 50, 50, 100}));
  // The lines outlived the lists that were freed.
  EXPECT_EQ(std::tuple(lines.Children().size(), lines.Children()[0]->HolderCount()), std::tuple(33u, 3));
}

TEST_F(LineEndIndexTest, EachEndIsFiledWhereItsOwnVertexLiesCentreLinesGoingRightAndUp) {
  auto* line = Poly({{10, 10}, {50, 50}, {90, 90}}).release();
  auto* back = Poly({{90, 90}, {50, 50}, {10, 10}}).release();
  lines.AddElement(line);
  lines.AddElement(back);
  root.AddLineEnd(back, false);
  for (int i = 0; i < 64; ++i) root.AddLineEnd(Line(i % 2 == 0 ? 10 : 80, 10), true);
  ASSERT_FALSE(root.Last());  // the split filed back's end again by its last vertex
  root.AddLineEnd(line, false);
  root.AddLineEnd(line, true);
  ASSERT_NE(Cell(TSpaceRect::UpperRight)->Ends(), nullptr);
  EXPECT_EQ(Cell(TSpaceRect::UpperRight)->Ends()->Children(), std::vector<TElement*>{line});
  EXPECT_EQ(Cell(TSpaceRect::UpperRight)->Begins(), nullptr);
  ASSERT_NE(Cell(TSpaceRect::LowerLeft)->Ends(), nullptr);
  EXPECT_EQ(Cell(TSpaceRect::LowerLeft)->Ends()->Children(), std::vector<TElement*>{back});
  EXPECT_EQ(Cell(TSpaceRect::LowerLeft)->Begins()->Children().back(), line);
  root.AddLineEnd(Line(50, 20), true);
  root.AddLineEnd(Line(20, 50), true);
  EXPECT_EQ(Cell(TSpaceRect::LowerRight)->GetEndsCount(), 33);
  EXPECT_EQ(Cell(TSpaceRect::UpperLeft)->GetEndsCount(), 1);
  EXPECT_EQ(root.CellFor(50, 50), Cell(TSpaceRect::UpperRight));
  EXPECT_EQ(root.CellFor(49.999, 49.999), Cell(TSpaceRect::LowerLeft));
}

TEST_F(LineEndIndexTest, CellsTooSmallOrUnboundedGrowInsteadOfSplitting) {
  for (int i = 0; i < 200; ++i) root.AddLineEnd(Line(30, 30), true);
  EXPECT_EQ(root.GetEndsCount(), 200);
  TSpaceRect* cell = &root;
  int depth = 0;
  for (; !cell->Last(); ++depth) cell = cell->CellFor(30, 30);
  EXPECT_LT(cell->GetWidth(), 2 * TSpaceLineBegEndCell::MinCellSize);
  EXPECT_LT(depth, 25);
  EXPECT_EQ(static_cast<TSpaceLineBegEndCell*>(cell)->Begins()->Children().size(), 200u);
  TSpaceLineBegEndCell unbounded;
  for (int i = 0; i < 70; ++i) unbounded.AddLineEnd(Line(i, i), true);
  EXPECT_EQ(Texts(unbounded, {"Count", "Last"}), "70|True");
  TSpaceLineBegEndCell outside;  // ends outside the root go to the nearest quarters
  outside.SetBounds({0, 0, 100, 100});
  for (int i = 0; i < 70; ++i) outside.AddLineEnd(Line(500 + i, -300), false);
  EXPECT_EQ(outside.Cell(TSpaceRect::LowerRight)->GetEndsCount(), 70);
}

TEST_F(LineEndIndexTest, ALineWithoutVerticesIsRefusedWithAMessage) {
  TPolyLineElement empty;
  root.AddLineEnd(&empty, true);
  root.AddLineEnd(nullptr, false);
  EXPECT_EQ(root.GetEndsCount(), 0);
  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Error: TSpaceLineBegEndCell.AddLine");
}

}  // namespace
