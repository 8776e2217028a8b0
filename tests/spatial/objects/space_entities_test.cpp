#include "spatial/objects/space_entities.h"

#include <cmath>
#include <memory>
#include <numbers>

#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "spatial/objects/space_entity_properties.h"
#include "spatial/objects/properties.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

constexpr double kPi = std::numbers::pi;

// Collects the log lines (code 8) that reach it as the main tool.
class TLogCatcher : public TOwnerEntity {
 public:
  Strings Lines;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && text->Message == msgLogText)
      Lines.push_back(text->Text);
    handled = true;
  }
};

template <class T = TPolyLineElement>
std::unique_ptr<T> Poly(std::initializer_list<TRealPoint> points) {
  auto poly = std::make_unique<T>();
  for (const TRealPoint& p : points) poly->AddVertex(p.X, p.Y);
  poly->CalcBounds();
  return poly;
}

// The square (0, 0) - (10, 10), clockwise (x right, y up).
std::initializer_list<TRealPoint> kSquare10 = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};

class SpaceEntityTest : public SpatialTest {};

TEST_F(SpaceEntityTest, RegistersTheMapObjectClassesButNotTheAbstractBases) {
  for (const char* name : {"TSpaceEntity", "TPointElement", "TPointString", "TTextElement", "TTextString",
                           "TPolyElement", "TPolyLineElement", "TPolyLineString", "TAreaElement", "TAreaString",
                           "TPolyLineAreaElement", "TSpaceLineBegEndCell", "THolesEntity"})
    EXPECT_NE(FindKestuClass(name), nullptr) << name;
  EXPECT_EQ(FindKestuClass("TSpaceEntityString"), nullptr);
  EXPECT_EQ(FindKestuClass("TSpaceRect"), nullptr);
}

TEST_F(SpaceEntityTest, PublishesItsPropertiesInOrder) {
  EXPECT_EQ(OwnPropertyNames(TSpaceEntity::StaticClass()),
            (Strings{"SpaceID", "Group", "IsDone", "Angle", "Properties"}));
  EXPECT_EQ(OwnPropertyNames(TPolyElement::StaticClass()), (Strings{"CoordsCount", "Length", "Area1"}));
  EXPECT_EQ(OwnPropertyNames(TAreaElement::StaticClass()),
            (Strings{"Holes", "IsHole", "HoleOwnerArea", "WholeArea", "SavedArea"}));
  EXPECT_EQ(OwnPropertyNames(TPolyLineAreaElement::StaticClass()), (Strings{"LinesOriginesHex"}));
  // The cell's Count replaces the entity's child count in place.
  const auto& props = TSpaceLineBegEndCell::StaticClass()->Props();
  EXPECT_EQ(props.size(), TSpaceRect::StaticClass()->Props().size());
  TSpaceLineBegEndCell cell;
  EXPECT_EQ(cell.GetPropertyText("Count"), "0");
  EXPECT_EQ(cell.GetPropertyText("Last"), "True");
}

TEST_F(SpaceEntityTest, WithoutPropertiesHasNoNumberOrGroupAndDropsForeignNames) {
  TPointElement point;
  EXPECT_EQ(point.GetSpaceID(), -1);
  EXPECT_EQ(point.GetGroup(), -1);
  point.SetSpaceID(7);
  EXPECT_EQ(point.GetSpaceID(), -1);
  EXPECT_FALSE(point.HasProperty("Barva"));
  EXPECT_TRUE(point.HasProperty("angle"));
  point.SetPropertyText("Barva", "12");
  EXPECT_EQ(point.GetPropertyText("Barva"), "");
  EXPECT_EQ(point.GetPropertyText("SpaceID"), "-1");
}

TEST_F(SpaceEntityTest, NamesItDoesNotPublishGoToItsPropertyObject) {
  TPointElement point;
  point.SetProperties(new TDynamicProperties);
  point.SetSpaceID(42);
  point.SetPropertyText("Barva", "12");
  point.SetPropertyText("Angle", "1.5");
  EXPECT_EQ(point.GetSpaceID(), 42);
  EXPECT_EQ(point.GetPropertyInteger("SpaceID"), 42);
  EXPECT_EQ(point.GetPropertyText("BARVA"), "12");
  EXPECT_TRUE(point.HasProperty("barva"));
  EXPECT_DOUBLE_EQ(point.Angle, 1.5);
  EXPECT_FALSE(point.Properties()->HasProperty("Angle"));
  point.Properties()->SetPropertyInteger("GROUP", 3);
  EXPECT_EQ(point.GetGroup(), 3);
}

TEST_F(SpaceEntityTest, ReplacingThePropertyObjectFreesTheOldOneAndTiesTheNewOne) {
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
    EXPECT_EQ(text.GetSpaceID(), -1);  // the base props know no number
    text.SetProperties(new Tracked<TDynamicProperties>);
  }
  EXPECT_EQ(Tracked<TDynamicProperties>::Alive, 0);
}

TEST_F(SpaceEntityTest, IsDoneLivesInTheElementNumber) {
  TPointElement point;
  EXPECT_FALSE(point.GetIsDone());
  point.SetPropertyText("IsDone", "True");
  EXPECT_EQ(point.ID, 0);
  point.ID = 17;
  EXPECT_TRUE(point.GetIsDone());
  point.SetIsDone(false);
  EXPECT_EQ(point.ID, -1);
}

TEST_F(SpaceEntityTest, AssignCopiesTheBoxAndClonesBlockProperties) {
  TPointElement source;
  source.SetBounds({1, 2, 3, 4});
  auto* props = new TSpaceEntityProps;
  props->IsDone = true;
  source.SetProperties(props);
  TPointElement target;
  target.Assign(&source);
  EXPECT_DOUBLE_EQ(target.GetMaxY(), 4);
  auto* copy = DynamicCast<TSpaceEntityProps>(target.Properties());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, props);
  EXPECT_TRUE(copy->IsDone);
  EXPECT_EQ(copy->SpaceEntity(), &target);
  // Free-form properties are not cloned.
  TPointElement dynamic;
  dynamic.SetProperties(new TDynamicProperties);
  TPointElement other;
  other.Assign(&dynamic);
  EXPECT_EQ(other.Properties(), nullptr);
  EXPECT_EQ(other.CreateEnvelope(), &other);
}

TEST_F(SpaceEntityTest, StringsTakeDynamicPropertiesAndAddElementsOnRequest) {
  TPolyLineString lines;
  lines.SetPropertyText("Vrstva", "hranice");
  ASSERT_NE(DynamicCast<TDynamicProperties>(lines.Properties()), nullptr);
  EXPECT_EQ(lines.GetPropertyText("vrstva"), "hranice");

  auto* line = new TPolyLineElement;
  TOwnerElement sender;
  sender.SendMessage(msgAddElement, &lines, line, false);
  sender.SendMessage(msgAddElement + 1, &lines, new TPolyLineElement, true);
  ASSERT_EQ(lines.Children().size(), 1u);
  EXPECT_EQ(lines.Children()[0], line);
}

TEST_F(SpaceEntityTest, NoChildHasOwnerLooksOnlyAtSpaceEntityChildren) {
  TPolyLineString lines;
  TPolyLineString other;
  auto* line = new TPolyLineElement;
  lines.AddElement(line);
  EXPECT_TRUE(lines.NoChildHasOwner(&other));
  other.AddElement(line);
  EXPECT_FALSE(lines.NoChildHasOwner(&other));
  auto* owned = new TOwnerElement;
  TOwnerEntity keep;
  keep.AddElement(owned);
  TPolyLineString mixed;
  mixed.AddElement(owned);
  EXPECT_TRUE(mixed.NoChildHasOwner(&keep));
}

// ---------------------------------------------------------------- vertices, lengths and areas

class PolyElementTest : public SpatialTest {};

TEST_F(PolyElementTest, TriangleAreaIsPositiveClockwiseAndNegativeAnticlockwise) {
  auto clockwise = Poly<TAreaElement>({{0, 0}, {0, 10}, {10, 0}});
  auto anticlockwise = Poly<TAreaElement>({{0, 0}, {10, 0}, {0, 10}});
  EXPECT_DOUBLE_EQ(clockwise->GetCalculatedArea(), 50);
  EXPECT_DOUBLE_EQ(anticlockwise->GetCalculatedArea(), -50);
  EXPECT_EQ(clockwise->GetPropertyText("Area1"), "50");
  EXPECT_EQ(anticlockwise->GetPropertyText("Area1"), "-50");
  EXPECT_DOUBLE_EQ(anticlockwise->SavedArea(), -50);
  auto line = Poly({{0, 0}, {0, 10}, {10, 0}});
  EXPECT_DOUBLE_EQ(line->GetCalculatedArea(), 50);
  EXPECT_DOUBLE_EQ(line->GetCalculatedAreaFrom(false), -50);
}

TEST_F(PolyElementTest, HolesShrinkTheOutlineWhateverWayEitherRuns) {
  for (bool holeClockwise : {true, false}) {
    auto area = Poly<TAreaElement>(kSquare10);
    TAreaElement* hole = holeClockwise ? Poly<TAreaElement>({{1, 1}, {1, 6}, {3, 6}, {3, 1}}).release()
                                       : Poly<TAreaElement>({{1, 1}, {3, 1}, {3, 6}, {1, 6}}).release();
    area->AddHole(hole);
    EXPECT_DOUBLE_EQ(area->GetCalculatedArea(), 90);
    EXPECT_DOUBLE_EQ(area->WholeArea(), 100);
    EXPECT_TRUE(hole->IsHole);
    EXPECT_EQ(hole->HoleOwnerArea(), area.get());
    EXPECT_EQ(area->Holes()->OwnerArea(), area.get());
    hole->IsHole = false;  // the mark decides, not the place
    EXPECT_EQ(hole->HoleOwnerArea(), nullptr);
  }
  // An anticlockwise outline keeps its sign and still loses the hole.
  auto reversed = Poly<TAreaElement>({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  reversed->AddHole(Poly<TAreaElement>({{1, 1}, {1, 6}, {3, 6}, {3, 1}}).release());
  EXPECT_DOUBLE_EQ(reversed->GetCalculatedArea(), -90);
}

TEST_F(PolyElementTest, FreeingAnAreaFreesItsHoles) {
  Tracked<TAreaElement>::Alive = 0;
  {
    TAreaElement area;
    area.AddHole(new Tracked<TAreaElement>);
    EXPECT_EQ(Tracked<TAreaElement>::Alive, 1);
    EXPECT_EQ(area.Holes()->Children().size(), 1u);
  }
  EXPECT_EQ(Tracked<TAreaElement>::Alive, 0);
  TAreaElement plain;
  EXPECT_EQ(plain.HoleOwnerArea(), nullptr);
  plain.IsHole = true;
  EXPECT_EQ(plain.HoleOwnerArea(), nullptr);
}

TEST_F(PolyElementTest, ShortLinesHaveNoLengthOrAreaAndOutOfRangeIndexesReadEmpty) {
  TPolyLineElement empty;
  EXPECT_EQ(empty.Length(), 0);
  EXPECT_EQ(empty.GetCalculatedArea(), 0);
  EXPECT_EQ(empty.AreaTerm(true), 0);
  EXPECT_EQ(empty.GetCoord(0), nullptr);
  auto single = Poly({{3, 4}});
  EXPECT_EQ(single->Length(), 0);
  EXPECT_EQ(single->GetCalculatedArea(), 0);
  EXPECT_EQ(single->GetCoord(single->GetCoordsCount()), nullptr);
  for (int index : {-1, 1, 5}) {
    EXPECT_EQ(single->GetCoord(index), nullptr) << index;
    EXPECT_EQ(single->VertexAt(index, true), nullptr) << index;
    EXPECT_EQ(single->VertexAt(index, false), nullptr) << index;
    EXPECT_EQ(single->GetCoordX(index), 0) << index;
    EXPECT_EQ(single->GetCoordY(index), 0) << index;
    single->SetCoordX(index, 99);
    single->SetCoordY(index, 99);
    double x = 7, y = 7;
    single->GetVertexXY(index, true, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
  }
  EXPECT_EQ(single->GetCoordX(0), 3);
  EXPECT_EQ(single->GetCoordY(0), 4);
}

TEST_F(PolyElementTest, LengthFollowsTheChainWithoutClosing) {
  auto line = Poly({{0, 0}, {3, 4}, {3, 10}});
  EXPECT_DOUBLE_EQ(line->Length(), 11);
  EXPECT_EQ(line->GetPropertyText("Length"), "11");
  EXPECT_EQ(line->GetPropertyText("CoordsCount"), "3");
  double x = 0, y = 0;
  line->GetVertexXY(0, false, x, y);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 10);
}

TEST_F(PolyElementTest, VerticesCanBeInsertedAndEdited) {
  TPolyLineElement line;
  line.AddVertex(0, 0);
  line.AddVertex(10, 0);
  line.InsertVertex(1, 5, 5);
  line.SetCoordY(2, -3);
  EXPECT_EQ(line.GetCoordsCount(), 3);
  EXPECT_EQ(line.GetCoordX(1), 5);
  EXPECT_EQ(line.GetCoordY(2), -3);
  TPolyLineElement fresh;
  EXPECT_EQ(fresh.InsertVertex(3, 1, 1), nullptr);  // nothing to insert into yet
  EXPECT_EQ(fresh.GetCoordsCount(), 0);
  line.CalcBounds();
  EXPECT_EQ(line.GetMinY(), -3);
  EXPECT_EQ(line.GetMaxY(), 5);
  EXPECT_EQ(line.GetMaxX(), 10);
}

TEST_F(PolyElementTest, AChildThatIsNoVertexBreaksTheSumWithAMessage) {
  TAreaElement area;
  area.AddVertex(0, 0);
  area.AddVertex(0, 10);
  area.AddElement(new TOwnerElement);
  area.AddVertex(10, 0);
  EXPECT_EQ(area.GetCalculatedArea(), 0);  // the first term is (0 - 0) * 10 / 2
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "GetCalculatedArea Error");
  TAreaElement noVertexFirst;
  noVertexFirst.AddElement(new TOwnerElement);
  noVertexFirst.AddVertex(1, 1);
  EXPECT_EQ(noVertexFirst.WholeArea(), 0);
  EXPECT_EQ(dialogs.Messages.size(), 1u);
}

TEST_F(PolyElementTest, AreaTermsOfConsecutiveLinesAddUpToTheRing) {
  auto ring = Poly<TAreaElement>({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
  auto first = Poly({{0, 0}, {0, 10}, {10, 10}});
  auto secondReversed = Poly({{0, 0}, {10, 0}, {10, 10}});  // walked backwards it continues the ring
  EXPECT_DOUBLE_EQ(first->AreaTerm(true) + secondReversed->AreaTerm(false), ring->GetCalculatedArea());
  EXPECT_DOUBLE_EQ(first->AreaTerm(true), 100);  // no closing term
  EXPECT_DOUBLE_EQ(first->AreaTerm(false), -100);  // walked back it runs the other way
}

TEST_F(PolyElementTest, PointAtDistanceWalksTheSegments) {
  auto line = Poly({{0, 0}, {10, 0}});
  double x = -1, y = -1, angle = -1;
  line->PointAtDistance(x, y, 5, angle);
  EXPECT_DOUBLE_EQ(x, 5);
  EXPECT_DOUBLE_EQ(y, 0);
  EXPECT_DOUBLE_EQ(angle, kPi / 2 + 2 * kPi);
  line->PointAtDistance(x, y, 25, angle);
  EXPECT_DOUBLE_EQ(x, 10);
  EXPECT_DOUBLE_EQ(angle, 0);
  line->PointAtDistance(x, y, 10, angle);
  EXPECT_DOUBLE_EQ(x, 10);
  EXPECT_DOUBLE_EQ(angle, 0);

  auto bent = Poly({{0, 0}, {10, 0}, {10, 10}});
  bent->PointAtDistance(x, y, 15, angle);
  EXPECT_DOUBLE_EQ(x, 10);
  EXPECT_DOUBLE_EQ(y, 5);
  EXPECT_DOUBLE_EQ(angle, kPi);

  auto dot = Poly({{4, 2}});
  dot->PointAtDistance(x, y, 0, angle);
  EXPECT_DOUBLE_EQ(x, 4);
  EXPECT_DOUBLE_EQ(y, 2);
  TPolyLineElement none;
  none.PointAtDistance(x, y, 3, angle);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST_F(PolyElementTest, ReferencePointGoesToTheMiddleWithoutMovingTheBox) {
  auto line = Poly({{0, 2}, {10, 2}, {10, 12}});
  line->PlaceRefAtMiddle();
  EXPECT_DOUBLE_EQ(line->GetAbsRefX(), 10);
  EXPECT_DOUBLE_EQ(line->GetAbsRefY(), 2);
  EXPECT_DOUBLE_EQ(line->Angle, kPi);  // the middle starts the upward segment
  EXPECT_DOUBLE_EQ(line->GetMinX(), 0);
  EXPECT_DOUBLE_EQ(line->GetMaxY(), 12);
}

// ---------------------------------------------------------------- shared vertices

TEST_F(PolyElementTest, LinesSharingVerticesKeepThemWhenEitherIsFreed) {
  auto* first = Poly({{0, 0}, {5, 5}, {10, 0}}).release();
  auto second = std::make_unique<TPolyLineElement>();
  second->AddLine(first, false);
  ASSERT_EQ(second->GetCoordsCount(), 3);
  EXPECT_EQ(second->GetCoord(0), first->GetCoord(2));  // the same objects, reversed
  EXPECT_EQ(second->GetCoord(2), first->GetCoord(0));
  EXPECT_EQ(second->GetCoord(1)->HolderCount(), 2);
  delete first;  // the sanitizer would catch any vertex freed with it
  EXPECT_EQ(second->GetCoord(1)->HolderCount(), 1);
  EXPECT_DOUBLE_EQ(second->Length(), 2 * std::sqrt(50.0));
  EXPECT_DOUBLE_EQ(second->GetCoordX(0), 10);

  // And the other way round, freed through an owning list.
  TPolyLineString lines;
  auto* a = Poly({{1, 1}, {2, 2}}).release();
  auto* b = new TPolyLineElement;
  lines.AddElement(a);
  lines.AddElement(b);
  b->AddLine(a, true);
  lines.FreeElement(b);
  EXPECT_DOUBLE_EQ(a->Length(), std::sqrt(2.0));
  EXPECT_EQ(a->GetCoord(1)->HolderCount(), 1);
}

// ---------------------------------------------------------------- hit tests

class HitTestTest : public SpatialTest {};

TEST_F(HitTestTest, PointHitsWithinTheAbsoluteToleranceOfItsReference) {
  TPointElement point;
  point.SetX(10);
  point.SetY(10);
  const T2DCoordinate near(10, 12);
  EXPECT_TRUE(point.HitTest(&near, 3));
  EXPECT_TRUE(point.HitTest(&near, -3));
  EXPECT_FALSE(point.HitTest(&near, 2));  // strictly within
  EXPECT_FALSE(point.HitTest(nullptr, 100));
}

TEST_F(HitTestTest, PolylineHitsNearASegmentButNotBeyondItsEnds) {
  auto line = Poly({{0, 0}, {10, 0}, {10, 10}});
  const T2DCoordinate above(5, 1);
  const T2DCoordinate beyondEnd(13, 10.5);
  const T2DCoordinate beside(11, 5);
  EXPECT_TRUE(line->HitTest(&above, 1.5));
  EXPECT_FALSE(line->HitTest(&above, 1));
  EXPECT_FALSE(line->HitTest(&above, -1.5));  // a negative tolerance never hits
  EXPECT_FALSE(line->HitTest(&beyondEnd, 5));
  EXPECT_TRUE(line->HitTest(&beside, 2));
  EXPECT_FALSE(line->HitTest(nullptr, 100));
}

TEST_F(HitTestTest, AreaHitsInsideItsOutlineAndOutsideItsHoles) {
  auto area = Poly<TAreaElement>(kSquare10);
  area->AddHole(Poly<TAreaElement>({{1, 1}, {1, 6}, {3, 6}, {3, 1}}).release());
  const T2DCoordinate inside(5, 8);
  const T2DCoordinate inHole(2, 3);
  const T2DCoordinate outside(15, 5);
  const T2DCoordinate nearEdge(9.5, 5);
  EXPECT_TRUE(area->HitTest(&inside, 1));
  EXPECT_FALSE(area->HitTest(&inHole, 0.1));
  EXPECT_FALSE(area->HitTest(&outside, 1));
  EXPECT_FALSE(area->HitTest(&nearEdge, 1));  // the square round the point leaves the box
  EXPECT_TRUE(area->HitTest(&nearEdge, 0.4));
  EXPECT_EQ(area->FindHoleAt(2, 3), area->Holes()->Children()[0]);
  EXPECT_EQ(area->FindHoleAt(5, 8), nullptr);
  EXPECT_FALSE(area->HitTest(nullptr, 1));
}

// ---------------------------------------------------------------- areas bounded by lines

class PolyLineAreaTest : public SpatialTest {
 protected:
  // Three lines of 3, 2 and 4 vertices round the square (0, 0) - (10, 10),
  // the second and third drawn against the walking direction.
  std::unique_ptr<TPolyLineAreaElement> Square() {
    auto area = std::make_unique<TPolyLineAreaElement>();
    area->AddLine(Poly({{0, 0}, {0, 10}, {10, 10}}).release(), true);
    area->AddLine(Poly({{10, 0}, {10, 10}}).release(), false);
    area->AddLine(Poly({{0, 0}, {2, 0}, {6, 0}, {10, 0}}).release(), false);
    return area;
  }
};

TEST_F(PolyLineAreaTest, CountsAndWalksBoundaryVerticesByTheirOriginBits) {
  auto area = Square();
  EXPECT_EQ(area->GetCoordsCount(), 6);
  EXPECT_EQ(area->GetPropertyText("CoordsCount"), "6");
  const double xs[] = {0, 0, 10, 10, 6, 2};
  const double ys[] = {0, 10, 10, 0, 0, 0};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(area->GetCoordX(i), xs[i]) << i;
    EXPECT_EQ(area->GetCoordY(i), ys[i]) << i;
  }
  EXPECT_EQ(area->GetCoord(6), nullptr);
  EXPECT_EQ(area->GetCoord(-1), nullptr);
  EXPECT_DOUBLE_EQ(area->GetCalculatedArea(), 100);
  EXPECT_DOUBLE_EQ(area->GetMaxX(), 10);  // the bounds grew by each line
  EXPECT_TRUE(area->HasLine(area->Children()[1], false));
  EXPECT_FALSE(area->HasLine(area->Children()[1], true));
}

TEST_F(PolyLineAreaTest, OriginBitsReadAsHexadecimalText) {
  auto area = Square();
  area->SetLineOrigin(1, false);
  area->SetLineOrigin(2, true);
  EXPECT_EQ(area->GetLinesOriginesHex(), "05");
  area->SetPropertyText("LinesOriginesHex", "05A");
  EXPECT_EQ(area->GetPropertyText("LinesOriginesHex"), "05");
  area->SetLinesOriginesHex("ff10");
  EXPECT_EQ(area->GetLinesOriginesHex(), "FF10");
  EXPECT_TRUE(area->GetLineOrigin(12));
  EXPECT_FALSE(area->GetLineOrigin(16));
  EXPECT_FALSE(area->GetLineOrigin(-1));
  area->SetLineOrigin(-3, true);
  area->SetLineOrigin(17, true);
  EXPECT_EQ(area->GetLinesOriginesHex(), "FF1002");
  area->SetLinesOriginesHex("");
  EXPECT_EQ(area->GetLinesOriginesHex(), "");
}

TEST_F(PolyLineAreaTest, ABadHexadecimalPairKeepsTheBitsAndLogsALine) {
  TLogCatcher log;
  MainTool = &log;
  auto area = Square();
  area->SetLinesOriginesHex("0A");
  area->SetLinesOriginesHex("010G");
  area->SetLinesOriginesHex("-1");
  RunMessages();
  EXPECT_EQ(area->GetLinesOriginesHex(), "0A");
  ASSERT_EQ(log.Lines.size(), 2u);
  EXPECT_NE(log.Lines[0].find("\"0G\""), std::string::npos);
  EXPECT_NE(log.Lines[1].find("\"-1\""), std::string::npos);
}

TEST_F(PolyLineAreaTest, RemovingALineMovesTheLaterBitsDown) {
  auto area = Square();
  area->SetLineOrigin(2, true);  // bits 1, 0, 1
  TElement* second = area->Children()[1];
  area->RemoveElement(second);
  delete second;
  EXPECT_EQ(area->Children().size(), 2u);
  EXPECT_TRUE(area->GetLineOrigin(1));
  EXPECT_FALSE(area->GetLineOrigin(2));
  EXPECT_EQ(area->GetLinesOriginesHex(), "03");
  // A boundary line freed elsewhere leaves the same way.
  delete area->Children()[0];
  EXPECT_EQ(area->Children().size(), 1u);
  EXPECT_EQ(area->GetLinesOriginesHex(), "01");
}

TEST_F(PolyLineAreaTest, InsertingALineMovesTheLaterBitsUp) {
  auto area = Square();  // bits 1, 0, 0
  area->SetLineOrigin(2, true);  // 1, 0, 1
  auto* extra = Poly({{3, 3}, {4, 4}}).release();
  area->InsertLine(1, extra, true);
  EXPECT_EQ(area->Children()[1], extra);
  EXPECT_EQ(area->GetLinesOriginesHex(), "0B");  // 1, 1, 0, 1
  auto* last = Poly({{5, 5}, {6, 6}}).release();
  area->InsertLine(99, last, true);  // appended
  EXPECT_EQ(area->Children().back(), last);
  EXPECT_EQ(area->GetLinesOriginesHex(), "1B");
  TPolyLineAreaElement bare;
  bare.AddElement(Poly({{0, 0}, {1, 1}}).release());
  bare.InsertLine(0, Poly({{2, 2}, {3, 3}}).release(), true);
  EXPECT_EQ(bare.GetLinesOriginesHex(), "01");  // with no bits yet only the new one is set
}

TEST_F(PolyLineAreaTest, AddElementMessageFromABoundaryLineInsertsNextToItInWalkingOrder) {
  auto area = Square();
  TElement* first = area->Children()[0];   // walked forward
  TElement* second = area->Children()[1];  // walked backward
  auto* besideFirst = new TPolyLineElement;
  auto* besideSecond = new TPolyLineElement;
  first->SendMessage(msgAddElement, area.get(), besideFirst, false);
  second->SendMessage(msgAddElement, area.get(), besideSecond, false);
  ASSERT_EQ(area->Children().size(), 5u);
  EXPECT_EQ(area->Children()[0], besideFirst);
  EXPECT_EQ(area->Children()[1], first);
  EXPECT_EQ(area->Children()[2], second);
  EXPECT_EQ(area->Children()[3], besideSecond);
  EXPECT_EQ(area->GetLinesOriginesHex(), "03");
  TPolyLineElement stranger;
  stranger.SendMessage(msgAddElement, area.get(), new TPolyLineElement, true);
  EXPECT_EQ(area->Children().size(), 5u);
}

TEST_F(PolyLineAreaTest, CreatedAreasHoldCopiesOfTheRingAndTheHoles) {
  auto area = Square();
  auto hole = std::make_unique<TPolyLineAreaElement>();
  hole->AddLine(Poly({{2, 2}, {2, 4}, {4, 4}, {4, 2}, {2, 2}}).release(), true);
  area->AddHole(hole.release());
  area->AddHole(Poly<TAreaElement>({{6, 6}, {6, 8}, {8, 8}}).release());  // not converted
  std::unique_ptr<TAreaElement> plain(area->CreateAreaWithHoles());
  ASSERT_EQ(plain->GetCoordsCount(), 7);
  const double xs[] = {0, 0, 10, 10, 6, 2, 0};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(plain->GetCoordX(i), xs[i]) << i;
  EXPECT_EQ(plain->GetCoordY(6), 0);
  EXPECT_NE(plain->GetCoord(0), area->GetCoord(0));
  EXPECT_DOUBLE_EQ(plain->GetMaxY(), 10);
  ASSERT_NE(plain->Holes(), nullptr);
  EXPECT_EQ(plain->Holes()->Children().size(), 1u);
  EXPECT_DOUBLE_EQ(plain->GetCalculatedArea(), 96);
  EXPECT_TRUE(area->OutlineContainsPoint(3, 3));
  EXPECT_FALSE(area->ContainsPointOutsideHoles(3, 3));
  EXPECT_TRUE(area->ContainsPointOutsideHoles(5, 5));
  EXPECT_FALSE(area->OutlineContainsPoint(11, 5));
  const T2DCoordinate inside(5, 5);
  EXPECT_TRUE(area->HitTest(&inside, 1));
}

// ---------------------------------------------------------------- line-end index

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
  TPolyLineString lines;
  TSpaceLineBegEndCell root;
};

TEST_F(LineEndIndexTest, ALeafHoldsSixtyFourEndsAndSplitsAtTheNext) {
  for (int i = 0; i < 32; ++i) {
    TPolyLineElement* line = Line(10 + i, 10);
    root.AddLineEnd(line, true);
    root.AddLineEnd(line, false);
  }
  EXPECT_TRUE(root.Last());
  EXPECT_EQ(root.GetEndsCount(), 64);
  ASSERT_NE(root.Begins(), nullptr);
  EXPECT_EQ(root.Begins()->GetName(), "BEGINS");
  EXPECT_EQ(root.Ends()->GetName(), "ENDS");
  EXPECT_EQ(root.Begins()->Children().size(), 32u);

  root.AddLineEnd(Line(80, 80), true);
  EXPECT_FALSE(root.Last());
  EXPECT_EQ(root.GetPropertyText("Last"), "False");
  EXPECT_EQ(root.GetEndsCount(), 65);
  EXPECT_EQ(root.Begins(), nullptr);
  Strings names;
  for (TElement* child : root.Children()) names.push_back(child->GetName());
  EXPECT_EQ(names, (Strings{"LEVY DOLNI", "LEVY HORNI", "PRAVY DOLNI", "PRAVY HORNI"}));
  EXPECT_EQ(root.SplitX, 50);
  EXPECT_EQ(root.SplitY, 50);
  TSpaceRect* lowerLeft = root.Cell(TSpaceRect::LowerLeft);
  EXPECT_EQ(lowerLeft, root.Children()[0]);
  EXPECT_EQ(lowerLeft->GetEndsCount(), 64);
  EXPECT_EQ(root.Cell(TSpaceRect::UpperRight)->GetEndsCount(), 1);
  EXPECT_DOUBLE_EQ(root.Cell(TSpaceRect::UpperLeft)->GetMinY(), 50);
  EXPECT_DOUBLE_EQ(root.Cell(TSpaceRect::UpperLeft)->GetMaxX(), 50);
  EXPECT_EQ(lowerLeft->ClassType(), root.ClassType());
  // The lines outlived the lists that were freed.
  EXPECT_EQ(lines.Children().size(), 33u);
  EXPECT_EQ(lines.Children()[0]->HolderCount(), 3);
}

TEST_F(LineEndIndexTest, EachEndIsFiledWhereItsOwnVertexLies) {
  auto* line = Poly({{10, 10}, {50, 50}, {90, 90}}).release();
  auto* back = Poly({{90, 90}, {50, 50}, {10, 10}}).release();
  lines.AddElement(line);
  lines.AddElement(back);
  root.AddLineEnd(back, false);
  for (int i = 0; i < 64; ++i) root.AddLineEnd(Line(i % 2 == 0 ? 10 : 80, 10), true);
  ASSERT_FALSE(root.Last());  // the split filed back's end again by its last vertex
  root.AddLineEnd(line, false);
  root.AddLineEnd(line, true);
  auto* upperRight = static_cast<TSpaceLineBegEndCell*>(root.Cell(TSpaceRect::UpperRight));
  auto* lowerLeft = static_cast<TSpaceLineBegEndCell*>(root.Cell(TSpaceRect::LowerLeft));
  ASSERT_NE(upperRight->Ends(), nullptr);
  EXPECT_EQ(upperRight->Ends()->Children(), std::vector<TElement*>{line});
  EXPECT_EQ(upperRight->Begins(), nullptr);
  ASSERT_NE(lowerLeft->Ends(), nullptr);
  EXPECT_EQ(lowerLeft->Ends()->Children(), std::vector<TElement*>{back});
  ASSERT_NE(lowerLeft->Begins(), nullptr);
  EXPECT_EQ(lowerLeft->Begins()->Children().back(), line);
}

TEST_F(LineEndIndexTest, EndsOnTheCentreLinesGoRightAndUp) {
  for (int i = 0; i < 65; ++i) root.AddLineEnd(Line(10, 10), true);
  ASSERT_FALSE(root.Last());
  root.AddLineEnd(Line(50, 20), true);
  root.AddLineEnd(Line(20, 50), true);
  EXPECT_EQ(root.Cell(TSpaceRect::LowerRight)->GetEndsCount(), 1);
  EXPECT_EQ(root.Cell(TSpaceRect::UpperLeft)->GetEndsCount(), 1);
  EXPECT_EQ(root.CellFor(50, 50), root.Cell(TSpaceRect::UpperRight));
  EXPECT_EQ(root.CellFor(49.999, 49.999), root.Cell(TSpaceRect::LowerLeft));
}

TEST_F(LineEndIndexTest, ManyEndsAtOnePointStopSplittingAtTheSmallestCell) {
  for (int i = 0; i < 200; ++i) root.AddLineEnd(Line(30, 30), true);
  EXPECT_EQ(root.GetEndsCount(), 200);
  TSpaceRect* cell = &root;
  int depth = 0;
  while (!cell->Last()) {
    cell = cell->CellFor(30, 30);
    ++depth;
  }
  EXPECT_LT(cell->GetWidth(), 2 * TSpaceLineBegEndCell::MinCellSize);
  EXPECT_LT(depth, 25);
  EXPECT_EQ(static_cast<TSpaceLineBegEndCell*>(cell)->Begins()->Children().size(), 200u);
}

TEST_F(LineEndIndexTest, EndsOutsideTheRootGoToTheNearestQuarters) {
  for (int i = 0; i < 70; ++i) root.AddLineEnd(Line(500 + i, -300), false);
  EXPECT_EQ(root.GetEndsCount(), 70);
  EXPECT_EQ(root.Cell(TSpaceRect::LowerRight)->GetEndsCount(), 70);
  TSpaceLineBegEndCell unbounded;  // bounds never set: it cannot split, it grows
  for (int i = 0; i < 70; ++i) unbounded.AddLineEnd(Line(i, i), true);
  EXPECT_TRUE(unbounded.Last());
  EXPECT_EQ(unbounded.GetEndsCount(), 70);
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
