#include "spatial/geometry/geometry_elements.h"

#include <memory>

#include "framework/core/class_registry.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

void SetCorners(TRectangle& r, double minX, double minY, double maxX, double maxY) {
  r.SetMinX(minX);
  r.SetMinY(minY);
  r.SetMaxX(maxX);
  r.SetMaxY(maxY);
}

void ExpectCorners(const TRectangle& r, double minX, double minY, double maxX, double maxY) {
  EXPECT_EQ(r.MinX(), minX);
  EXPECT_EQ(r.MinY(), minY);
  EXPECT_EQ(r.MaxX(), maxX);
  EXPECT_EQ(r.MaxY(), maxY);
}

void ExpectRect(const TRealRect& r, double minX, double minY, double maxX, double maxY) {
  EXPECT_DOUBLE_EQ(r.MinX, minX);
  EXPECT_DOUBLE_EQ(r.MinY, minY);
  EXPECT_DOUBLE_EQ(r.MaxX, maxX);
  EXPECT_DOUBLE_EQ(r.MaxY, maxY);
}

// An entity whose box is (0, 0, 100, 50) with the anchor at the lower-left corner.
std::unique_ptr<TRectEntity> Box() {
  auto e = std::make_unique<TRectEntity>();
  e->SetBounds({0, 0, 100, 50});
  return e;
}

class CoordinateTest : public SpatialTest {};

TEST_F(CoordinateTest, TheAbstractPointHoldsNoValue) {
  TCoordinate c;
  c.SetX(3);
  c.SetY(4);
  c.SetZ(5);
  EXPECT_EQ(c.GetX(), -1.0);
  EXPECT_EQ(c.GetY(), -1.0);
  EXPECT_EQ(c.GetZ(), -1.0);
}

TEST_F(CoordinateTest, APlanePointStartsAtTheOriginAndHasNoHeight) {
  T2DCoordinate c;
  EXPECT_EQ(c.GetX(), 0.0);
  EXPECT_EQ(c.GetY(), 0.0);
  c.SetZ(7);
  EXPECT_EQ(c.GetZ(), -1.0);
  EXPECT_EQ(c.GetPropertyText("Z"), "-1");
  c.SetPropertyText("X", "12.5");
  c.SetPropertyText("Y", "-3");
  EXPECT_EQ(c.GetX(), 12.5);
  EXPECT_EQ(c.GetY(), -3.0);
}

TEST_F(CoordinateTest, CopyKeepsClassHeightAndSystemButEnvelopeDropsTheSystem) {
  T3DCoordinate c;
  c.SetX(1);
  c.SetY(2);
  c.SetZ(3);
  c.CS = 4;
  std::unique_ptr<TCoordinate> copy(c.CreateCopy());
  EXPECT_EQ(copy->ClassType(), T3DCoordinate::StaticClass());
  EXPECT_EQ(copy->GetX(), 1.0);
  EXPECT_EQ(copy->GetY(), 2.0);
  EXPECT_EQ(copy->GetZ(), 3.0);
  EXPECT_EQ(copy->CS, 4);
  EXPECT_EQ(copy->ID, -1);

  std::unique_ptr<TElement> envelope(c.CreateEnvelope());
  auto* point = DynamicCast<T3DCoordinate>(envelope.get());
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetX(), 1.0);
  EXPECT_EQ(point->GetY(), 2.0);
  EXPECT_EQ(point->GetZ(), 3.0);
  EXPECT_EQ(point->CS, 0);
  EXPECT_EQ(point->ID, 0);
}

TEST_F(CoordinateTest, ExtentOfAPointIsThatPoint) {
  T2DCoordinate c(3.5, -2);
  TRealRect r{9, 9, 9, 9};
  c.GetExtent(r);
  ExpectRect(r, 3.5, -2, 3.5, -2);
}

TEST_F(CoordinateTest, PublishedPropertiesAndRegistration) {
  EXPECT_EQ(OwnPropertyNames(TCoordinate::StaticClass()), (Strings{"CS", "X", "Y", "Z"}));
  EXPECT_TRUE(OwnPropertyNames(T3DCoordinate::StaticClass()).empty());
  const TPropInfo* cs = TCoordinate::StaticClass()->FindProp("CS");
  EXPECT_EQ(cs->Kind, tkInteger);
  EXPECT_EQ(cs->Range.Max, 255);
  EXPECT_EQ(TCoordinate::StaticClass()->FindProp("X")->Kind, tkFloat);
  EXPECT_EQ(FindKestuClass("TCoordinate"), nullptr);
  for (const char* name : {"T2DCoordinate", "T3DCoordinate", "TRectangle", "TDrawRectangle", "TText", "TRectEntity",
                           "TSelectedElement"}) {
    std::unique_ptr<TElement> e(CreateElementByClassName(name));
    ASSERT_NE(e, nullptr) << name;
    EXPECT_EQ(e->ClassName(), name);
  }
}

class RectangleTest : public SpatialTest {};

TEST_F(RectangleTest, AnEmptyRectangleGrownByOnePointBecomesThatPoint) {
  TRectangle r;
  EXPECT_FALSE(r.IsValid());
  EXPECT_EQ(r.MinX(), 1e30);
  EXPECT_EQ(r.MaxY(), -1e30);
  r.IncludePoint(5, 7);
  EXPECT_TRUE(r.IsValid());
  ExpectCorners(r, 5, 7, 5, 7);
  r.IncludePoint(-1, 9);
  r.IncludeCoordinate(std::make_unique<T2DCoordinate>(6, 0).get());
  ExpectCorners(r, -1, 0, 6, 9);
  r.Clear();
  EXPECT_FALSE(r.IsValid());
}

TEST_F(RectangleTest, IncludingAnInvalidRectangleChangesNothing) {
  TRectangle target;
  target.IncludePoint(1, 1);
  TRectangle empty;
  target.IncludeRect(&empty);
  TRectangle marker;  // ordered corners, but one lies at the empty marker
  SetCorners(marker, 0, 0, 1e30, 5);
  target.IncludeRect(&marker);
  EXPECT_EQ(target.MinX(), 1.0);
  EXPECT_EQ(target.MaxX(), 1.0);
  EXPECT_EQ(target.MaxY(), 1.0);
  TRectangle valid;
  valid.IncludePoint(-2, 3);
  valid.IncludePoint(0, 4);
  target.IncludeRect(&valid);
  ExpectCorners(target, -2, 1, 1, 4);
}

TEST_F(RectangleTest, ValidityRequiresOrderedCornersStrictlyInsideTheMarker) {
  TRectangle r;
  SetCorners(r, 0, 0, 10, 10);
  EXPECT_TRUE(r.IsValid());
  r.SetMinY(-1e30);
  EXPECT_FALSE(r.IsValid());
  r.SetMinY(-9.99e29);
  EXPECT_TRUE(r.IsValid());
  r.SetMaxX(-1);
  EXPECT_FALSE(r.IsValid());
}

TEST_F(RectangleTest, RectanglesSharingAnEdgeOrCornerIntersect) {
  TRectangle a;
  a.IncludePoint(0, 0);
  a.IncludePoint(10, 10);
  TRectangle b;
  b.IncludePoint(10, 2);
  b.IncludePoint(20, 8);
  EXPECT_TRUE(a.Intersects(&b));
  EXPECT_TRUE(b.Intersects(&a));
  TRectangle corner;
  corner.IncludePoint(10, 10);
  corner.IncludePoint(11, 11);
  EXPECT_TRUE(a.Intersects(&corner));
  b.MoveBy(0.001, 0);
  EXPECT_FALSE(a.Intersects(&b));
  ExpectCorners(b, 10.001, 2, 20.001, 8);
}

TEST_F(RectangleTest, NormalizeOrdersEachAxisOnItsOwn) {
  TRectangle r;
  SetCorners(r, 5, 2, 1, 8);
  r.Normalize();
  ExpectCorners(r, 1, 2, 5, 8);
  r.SetMinY(9);
  r.Normalize();
  EXPECT_EQ(r.MinY(), 8.0);
  EXPECT_EQ(r.MaxY(), 9.0);
}

TEST_F(RectangleTest, CentreMarginAndSizes) {
  TRectangle r;
  r.IncludePoint(2, 4);
  r.IncludePoint(6, 10);
  TRealPoint c;
  r.GetCenter(c);
  EXPECT_EQ(c.X, 4.0);
  EXPECT_EQ(c.Y, 7.0);
  TRealRect m;
  r.GetMarginRect(m);
  ExpectRect(m, -8, -6, 16, 20);
  EXPECT_EQ(r.GetPropertyText("Width"), "4");
  EXPECT_EQ(r.GetPropertyText("Height"), "6");
  r.SetPropertyText("Width", "10");
  r.SetPropertyText("Height", "1");
  ExpectCorners(r, 2, 4, 12, 5);
}

TEST_F(RectangleTest, WidthWrittenOnAnEmptyRectangleStaysInvalid) {
  TRectangle r;
  r.SetWidth(5);
  EXPECT_EQ(r.MaxX(), 1e30 + 5);
  EXPECT_FALSE(r.IsValid());
}

TEST_F(RectangleTest, AssignTakesOnlyRectangles) {
  TRectangle r;
  r.IncludePoint(1, 2);
  T2DCoordinate other(7, 7);
  r.Assign(&other);
  ExpectCorners(r, 1, 2, 1, 2);
  TRectangle source;
  source.IncludePoint(-3, -4);
  source.IncludePoint(3, 4);
  r.Assign(&source);
  ExpectCorners(r, -3, -4, 3, 4);
}

TEST_F(RectangleTest, CopiesAreNewRectanglesWithTheSameCorners) {
  TRectangle r;
  r.IncludePoint(1, 2);
  r.IncludePoint(3, 5);
  std::unique_ptr<TRectangle> copy(r.CreateCopy());
  std::unique_ptr<TElement> envelope(r.CreateEnvelope());
  for (const TElement* e : {static_cast<const TElement*>(copy.get()), static_cast<const TElement*>(envelope.get())}) {
    const auto* c = DynamicCast<TRectangle>(e);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c, &r);
    ExpectCorners(*c, 1, 2, 3, 5);
    EXPECT_NE(c->MinCorner(), r.MinCorner());
  }
}

TEST_F(RectangleTest, SizeCountsBothCorners) {
  TRectangle r;
  T2DCoordinate corner;
  EXPECT_EQ(r.GetSize(), static_cast<int>(TRectangle::StaticClass()->InstanceSize) + 2 * corner.GetSize());
}

TEST_F(RectangleTest, PublishedProperties) {
  EXPECT_EQ(OwnPropertyNames(TRectangle::StaticClass()), (Strings{"MinX", "MinY", "MaxX", "MaxY", "Height", "Width"}));
  TRectangle r;
  EXPECT_EQ(r.GetPropertyText("MinX"), "1E30");
}

class RectEntityTest : public SpatialTest {};

TEST_F(RectEntityTest, ANewEntityIsEmptyAndAnchoredLowerLeft) {
  TRectEntity e;
  EXPECT_FALSE(e.IsValid());
  EXPECT_EQ(e.GetPropertyText("IsValid"), "False");
  EXPECT_EQ(e.GetPropertyText("HorizAllign"), "LEFT");
  EXPECT_EQ(e.GetPropertyText("VertAllign"), "DOWN");
  EXPECT_EQ(e.GetPropertyInteger("RefPosition"), 1);
}

TEST_F(RectEntityTest, FirstXAndYWrittenMakeADegenerateBox) {
  TRectEntity e;
  e.SetPropertyText("X", "10");
  e.SetPropertyText("Y", "20");
  ExpectBounds(e, 10, 20, 10, 20);
  EXPECT_TRUE(e.IsValid());
  e.SetRelRef(1, 1);
  e.SetBounds({0, 0, 4, 2});
  e.SetX(10);
  e.SetY(20);
  ExpectBounds(e, 6, 18, 10, 20);
}

TEST_F(RectEntityTest, AlignmentMovesTheBoxAboutTheAnchor) {
  auto e = Box();
  e->SetPropertyText("HorizAllign", "center");
  ExpectBounds(*e, -50, 0, 50, 50);
  EXPECT_EQ(e->GetAbsRefX(), 0.0);
  EXPECT_EQ(e->GetHorizAllign(), "CENTER");
  e->SetPropertyText("VertAllign", "Top");
  ExpectBounds(*e, -50, -50, 50, 0);
  EXPECT_EQ(e->GetRefPosition(), 6);
  e->SetPropertyText("HorizAllign", "STŘED");  // not a name: ignored
  e->SetPropertyText("HorizAllign", "right");
  ExpectBounds(*e, -100, -50, 0, 0);
  EXPECT_EQ(e->GetRefPosition(), 9);
  e->SetRelRefX(0.25);
  EXPECT_EQ(e->GetHorizAllign(), "OTHER");
  EXPECT_EQ(e->GetRefPosition(), 0);
}

TEST_F(RectEntityTest, AbsoluteReferenceWriteMovesTheAnchorNotTheBox) {
  auto e = Box();
  e->SetPropertyText("AbsRefX", "25");
  ExpectBounds(*e, 0, 0, 100, 50);
  EXPECT_EQ(e->GetRelRefX(), 0.25);
  EXPECT_EQ(e->GetPropertyText("X"), "25");
  e->SetAbsRefY(50);
  EXPECT_EQ(e->GetRelRefY(), 1.0);
  TRectEntity flat;
  flat.SetBounds({5, 5, 5, 5});
  flat.SetAbsRefX(100);  // no width to measure against
  EXPECT_EQ(flat.GetRelRefX(), 0.0);
}

TEST_F(RectEntityTest, RefPositionCodesPickGridCells) {
  auto e = Box();
  e->SetPropertyInteger("RefPosition", 9);
  EXPECT_EQ(e->GetRelRefX(), 1.0);
  EXPECT_EQ(e->GetRelRefY(), 1.0);
  ExpectBounds(*e, -100, -50, 0, 0);
  e->SetRefPosition(0);
  e->SetRefPosition(10);
  EXPECT_EQ(e->GetRefPosition(), 9);
  ExpectBounds(*e, -100, -50, 0, 0);
  e->SetRefPosition(4);
  EXPECT_EQ(e->GetRelRefX(), 0.5);
  EXPECT_EQ(e->GetRelRefY(), 0.0);
  e->SetRefPosition(2);
  EXPECT_EQ(e->GetRelRefX(), 0.0);
  EXPECT_EQ(e->GetRelRefY(), 0.5);
  EXPECT_EQ(e->GetPropertyText("RefPosition"), "2");
  EXPECT_EQ(TRectEntity::StaticClass()->FindProp("RefPosition")->Range.Max, 9);
}

TEST_F(RectEntityTest, DeltaReferenceIsAFractionOfTheSize) {
  auto e = Box();
  e->SetDeltaRefX(25);
  EXPECT_EQ(e->GetRelRefX(), 0.25);
  ExpectBounds(*e, -25, 0, 75, 50);
  EXPECT_EQ(e->GetDeltaRefX(), 25.0);
  TRectEntity flat;
  flat.SetBounds({0, 0, 10, 0});
  flat.SetRelRefY(0.5);  // nothing to move on a zero height
  flat.SetPropertyText("DeltaRefY", "3");
  EXPECT_EQ(flat.GetRelRefY(), 0.0);
}

TEST_F(RectEntityTest, WidthAndHeightGrowTheBoxKeepingTheAnchor) {
  auto e = Box();
  e->SetRelRefX(0.5);  // anchor at x = 0, box (-50 .. 50)
  e->SetPropertyText("Width", "200");
  ExpectBounds(*e, -50, 0, 150, 50);
  EXPECT_EQ(e->GetRelRefX(), 0.25);
  EXPECT_EQ(e->GetAbsRefX(), 0.0);
  e->SetRelRefY(1);
  e->SetHeight(25);
  ExpectBounds(*e, -50, -50, 150, -25);
  EXPECT_EQ(e->GetAbsRefY(), 0.0);
  EXPECT_EQ(e->GetRelRefY(), 2.0);
}

TEST_F(RectEntityTest, IntersectionOfZeroExtentIsAllZeros) {
  TRectEntity e;
  e.SetBounds({0, 0, 10, 10});
  TRealRect out{1, 1, 1, 1};
  e.GetIntersection({10, 0, 20, 10}, out);
  ExpectRect(out, 0, 0, 0, 0);
  e.GetIntersection({5, 5, 20, 20}, out);
  ExpectRect(out, 5, 5, 10, 10);
  e.GetIntersection({2, 10, 8, 30}, out);
  ExpectRect(out, 0, 0, 0, 0);
}

TEST_F(RectEntityTest, ContainmentTestsCountEdgesAsInside) {
  TRectEntity e;
  e.SetBounds({0, 0, 10, 10});
  EXPECT_TRUE(e.IntersectsRect(10, 10, 20, 20));
  EXPECT_FALSE(e.IntersectsRect(10.5, 0, 20, 20));
  EXPECT_TRUE(e.ContainsPoint(10, 0));
  EXPECT_FALSE(e.ContainsPoint(10, -0.1));
  EXPECT_TRUE(e.IsInsideRect(0, 0, 10, 10));
  EXPECT_FALSE(e.IsInsideRect(0, 0, 9, 10));
  EXPECT_TRUE(e.ContainsRect(0, 0, 10, 10));
  EXPECT_FALSE(e.ContainsRect(-1, 0, 10, 10));
  EXPECT_EQ(e.GetMaxSide(), 10.0);
  e.SetMaxY(30);
  EXPECT_EQ(e.GetMaxSide(), 30.0);
}

TEST_F(RectEntityTest, ExtentFollowsCoordinateAndRectChildrenOnly) {
  TRectEntity owner;
  owner.AddElement(new TOwnerEntity);
  owner.UpdateRect();
  EXPECT_FALSE(owner.IsValid());

  owner.AddEntity(new T2DCoordinate(3, 4));
  ExpectBounds(owner, 3, 4, 3, 4);
  auto* child = new TRectEntity;
  child->SetBounds({-1, 0, 2, 10});
  owner.AddEntity(child);
  owner.AddEntity(new TRectEntity);  // empty: no effect
  owner.AddEntity(nullptr);
  EXPECT_EQ(owner.GetCount(), 4);
  ExpectBounds(owner, -1, 0, 3, 10);

  owner.SetBounds({-50, -50, 50, 50});
  owner.SetPropertyBoolean("UpdateNoReset", true);
  ExpectBounds(owner, -50, -50, 50, 50);
  owner.UpdateRect();
  ExpectBounds(owner, -1, 0, 3, 10);
  owner.SetPropertyBoolean("UpdateNoReset", false);
  EXPECT_FALSE(owner.IsValid());
}

TEST_F(RectEntityTest, DeltaPropertiesMoveTheBox) {
  auto e = Box();
  e->SetPropertyText("DeltaX", "5");
  e->SetPropertyText("DeltaY", "-2");
  ExpectBounds(*e, 5, -2, 105, 48);
  EXPECT_EQ(e->GetPropertyText("CenterX"), "55");
  EXPECT_EQ(e->GetPropertyText("CenterY"), "23");
}

TEST_F(RectEntityTest, AssignCopiesIndexAndBoxButNotTheAnchor) {
  auto source = Box();
  source->Index = 7;
  source->SetRelRef(0.5, 0.5);
  TRectEntity target;
  target.Assign(source.get());
  EXPECT_EQ(target.Index, 7);
  ExpectBounds(target, -50, -25, 50, 25);
  EXPECT_EQ(target.GetRelRefX(), 0.0);
  EXPECT_NE(target.BoundRect(), source->BoundRect());
  TRectangle notAnEntity;
  target.Assign(&notAnEntity);
  EXPECT_EQ(target.Index, 7);
  EXPECT_TRUE(target.IsValid());
}

TEST_F(RectEntityTest, EnvelopeCopiesTheBoxAndSharesOwnedChildren) {
  auto e = Box();
  e->SetName("okno");
  auto* shared = new TOwnerElement;
  e->AddElement(shared);
  std::unique_ptr<TElement> copy(e->CreateEnvelope());
  auto* entity = DynamicCast<TRectEntity>(copy.get());
  ASSERT_NE(entity, nullptr);
  EXPECT_EQ(entity->GetName(), "Obálka: okno");
  ExpectBounds(*entity, 0, 0, 100, 50);
  ASSERT_EQ(entity->GetCount(), 1);
  EXPECT_EQ(entity->GetElement(0), shared);
}

TEST_F(RectEntityTest, SizeCountsBoundsAndReferenceOnceTheyExist) {
  TRectEntity e;
  const int bare = e.GetSize();
  e.BoundRect();
  const int withBounds = e.GetSize();
  EXPECT_EQ(withBounds, bare + TRectangle().GetSize());
  e.RelRefPoint();
  EXPECT_EQ(e.GetSize(), withBounds + T2DCoordinate().GetSize());
  e.SetBoundRect(nullptr);
  EXPECT_EQ(e.GetSize(), bare + T2DCoordinate().GetSize());
  EXPECT_FALSE(e.IsValid());  // a fresh empty box on the next use
}

TEST_F(RectEntityTest, HandingBackItsOwnBoundsOrAnchorKeepsThem) {
  auto e = Box();
  e->SetRelRefX(0.5);
  e->SetBoundRect(e->BoundRect());
  e->SetRelRefPoint(e->RelRefPoint());
  ExpectBounds(*e, -50, 0, 50, 50);
  EXPECT_EQ(e->GetRelRefX(), 0.5);
}

TEST_F(RectEntityTest, PublishedPropertiesInOrderWithTheirStoredFlags) {
  EXPECT_EQ(OwnPropertyNames(TRectEntity::StaticClass()),
            (Strings{"Index", "MinX", "MinY", "MaxX", "MaxY", "IsValid", "Width", "Height", "CenterX", "CenterY", "X",
                     "Y", "RelRefX", "RelRefY", "DeltaRefX", "DeltaRefY", "AbsRefX", "AbsRefY", "HorizAllign",
                     "VertAllign", "RefPosition", "DeltaX", "DeltaY", "UpdateNoReset"}));
  TRectEntity e;
  EXPECT_EQ(StoredPropertyNames(e), (Strings{"Index", "MinX", "MinY", "Width", "Height", "AbsRefX", "AbsRefY"}));
  EXPECT_EQ(TRectEntity::StaticClass()->FindProp("HorizAllign")->Kind, tkLString);
  EXPECT_EQ(TRectEntity::StaticClass()->FindProp("UpdateNoReset")->Kind, tkEnumeration);
}

TEST_F(RectEntityTest, StoredPropertiesAppliedInOrderRestoreBoxAndAnchor) {
  auto source = Box();
  source->SetRelRef(0.5, 1);
  TRectEntity loaded;
  for (const std::string& name : StoredPropertyNames(*source))
    loaded.SetPropertyText(name, source->GetPropertyText(name));
  ExpectBounds(loaded, -50, -50, 50, 0);
  EXPECT_EQ(loaded.GetRelRefX(), 0.5);
  EXPECT_EQ(loaded.GetRelRefY(), 1.0);
}

class RectDescendantsTest : public SpatialTest {};

TEST_F(RectDescendantsTest, DrawRectangleStartsAtZeroAndEnvelopeKeepsPenAndBrush) {
  TDrawRectangle r;
  EXPECT_EQ(r.PenWidth, 0.0);
  EXPECT_EQ(r.GetPropertyText("PenStyle"), "psSolid");
  EXPECT_EQ(r.GetPropertyText("BrushStyle"), "bsSolid");
  r.SetPropertyText("PenStyle", "psDashDot");
  r.SetPropertyText("BrushStyle", "bsDiagCross");
  r.PenWidth = 0.5;
  r.PenColor = 0xFF;
  r.BrushColor = 0xFF00;
  r.SetBounds({1, 2, 3, 4});
  std::unique_ptr<TElement> copy(r.CreateEnvelope());
  auto* envelope = DynamicCast<TDrawRectangle>(copy.get());
  ASSERT_NE(envelope, nullptr);
  EXPECT_EQ(envelope->PenStyle, psDashDot);
  EXPECT_EQ(envelope->BrushStyle, bsDiagCross);
  EXPECT_EQ(envelope->PenWidth, 0.5);
  EXPECT_EQ(envelope->PenColor, 0xFF);
  EXPECT_EQ(envelope->BrushColor, 0xFF00);
  ExpectBounds(*envelope, 1, 2, 3, 4);
  EXPECT_EQ(OwnPropertyNames(TDrawRectangle::StaticClass()),
            (Strings{"PenColor", "PenStyle", "PenWidth", "BrushColor", "BrushStyle"}));
}

TEST_F(RectDescendantsTest, TextBoxIgnoresChildrenAndItsEnvelopeKeepsTheText) {
  TText t;
  t.SetBounds({0, 0, 40, 10});
  t.SetRelRefY(0.5);
  t.AddElement(new T2DCoordinate(100, 100));
  t.SetPropertyBoolean("UpdateNoReset", true);
  ExpectBounds(t, 0, -5, 40, 5);
  EXPECT_EQ(t.GetRelRefY(), 0.5);
  t.Text = "Lesní správa";
  t.FontName = "Arial";
  t.FontStyle = fsBold | fsUnderline;
  t.Charset = 238;
  t.Color = 0x123456;
  t.Orientation = 1.5;
  std::unique_ptr<TElement> copy(t.CreateEnvelope());
  auto* envelope = DynamicCast<TText>(copy.get());
  ASSERT_NE(envelope, nullptr);
  EXPECT_EQ(envelope->Text, "Lesní správa");
  EXPECT_EQ(envelope->FontName, "Arial");
  EXPECT_EQ(envelope->FontStyle, fsBold | fsUnderline);
  EXPECT_EQ(envelope->Charset, 238);
  EXPECT_EQ(envelope->Color, 0x123456);
  EXPECT_EQ(envelope->Orientation, 1.5);
  EXPECT_DOUBLE_EQ(envelope->GetHeight(), 10.0);
  EXPECT_EQ(OwnPropertyNames(TText::StaticClass()),
            (Strings{"Text", "Orientation", "Color", "FontName", "FontStyle", "Charset"}));
  EXPECT_EQ(TText::StaticClass()->FindProp("FontStyle")->Kind, tkSet);
  EXPECT_EQ(t.GetPropertyText("FontStyle"), "5");
}

TEST_F(RectDescendantsTest, SelectedElementNamesItsElementUntilItIsFreed) {
  TSelectedElement s;
  EXPECT_EQ(s.GetPropertyText("SelectName"), "");
  auto* selected = new TOwnerEntity;
  selected->SetName("Porost 12");
  s.SetSelected(selected);
  EXPECT_EQ(s.GetPropertyText("SelectName"), "Porost 12");
  delete selected;
  EXPECT_EQ(s.GetSelectName(), "");
}

class ElemsStreamTest : public SpatialTest {
 protected:
  TQuickEntity map;
};

TEST_F(ElemsStreamTest, APlanePointRecordHoldsItsSystemThenSixteenRawBytes) {
  T2DCoordinate c(3.5, -2);
  c.ID = 7;
  c.CS = 2;
  const Bytes expected = Record()
                             .Str("T2DCoordinate")
                             .Int8(7)
                             .Int8(2)
                             .Raw({0, 0, 0, 0, 0, 0, 0x0C, 0x40, 0, 0, 0, 0, 0, 0, 0, 0xC0})
                             .bytes();
  EXPECT_EQ(WrittenRecord(c), expected);
  T2DCoordinate read;
  ReadRecord(expected, read, map);
  EXPECT_EQ(read.ID, 7);
  EXPECT_EQ(read.CS, 2);
  EXPECT_EQ(read.GetX(), 3.5);
  EXPECT_EQ(read.GetY(), -2.0);
}

TEST_F(ElemsStreamTest, ASpacePointAddsItsHeightAsAFloatValue) {
  T3DCoordinate c;
  c.SetZ(10);
  const Bytes expected = Record()
                             .Str("T3DCoordinate")
                             .Int8(-1)
                             .Int8(0)
                             .Raw(Bytes(16, 0))
                             .Raw(kExtendedTen)
                             .bytes();
  EXPECT_EQ(WrittenRecord(c), expected);
  T3DCoordinate read;
  read.SetX(9);
  ReadRecord(expected, read, map);
  EXPECT_EQ(read.GetX(), 0.0);
  EXPECT_EQ(read.GetZ(), 10.0);
}

TEST_F(ElemsStreamTest, ARectangleRecordHoldsFourFloatValues) {
  TRectangle r;
  SetCorners(r, 1, -2.5, 10, 100);
  const Bytes expected = Record()
                             .Str("TRectangle")
                             .Int8(-1)
                             .Raw(kExtendedOne)
                             .Raw(kExtendedMinus2_5)
                             .Raw(kExtendedTen)
                             .Raw(kExtendedHundred)
                             .bytes();
  EXPECT_EQ(WrittenRecord(r), expected);
  TRectangle read;
  ReadRecord(expected, read, map);
  ExpectCorners(read, 1, -2.5, 10, 100);
}

TEST_F(ElemsStreamTest, AnEmptyRectangleStaysEmptyThroughTheStream) {
  TRectangle empty;
  TRectangle read;
  read.IncludePoint(1, 1);
  ReadRecord(WrittenRecord(empty), read, map);
  EXPECT_FALSE(read.IsValid());
  EXPECT_EQ(read.MinX(), 1e30);
  EXPECT_EQ(read.MaxY(), -1e30);
}

TEST_F(ElemsStreamTest, ARectEntityRecordFollowsTheNamedEntityWithItsBounds) {
  auto e = Box();
  e->ID = 5;
  e->SetName("okno");
  e->SetRelRef(0.5, 0);
  e->Index = 3;
  auto* child = new T2DCoordinate(1, 1);
  child->ID = 2;
  e->AddElement(child);
  const Bytes expected = Record()
                             .Str("TRectEntity")
                             .Int8(5)
                             .Raw({0x01})
                             .Int8(2)
                             .Raw({0x00})
                             .Str("okno")
                             .Raw({0x05, 0, 0, 0, 0, 0, 0, 0, 0xC8, 0x04, 0xC0})  // -50
                             .Raw(kExtendedZero)
                             .Raw(kExtendedFifty)
                             .Raw(kExtendedFifty)
                             .bytes();
  EXPECT_EQ(WrittenRecord(*e), expected);

  TEntity numbered;  // owns what the map refers to, as the loaded graph would
  for (int i = 0; i < 3; ++i) {
    auto* element = new T2DCoordinate(i, i);
    numbered.AddElement(element);
    map.AddElement(element);
  }
  TRectEntity read;
  ReadRecord(expected, read, map);
  EXPECT_EQ(read.ID, 5);
  EXPECT_EQ(read.GetName(), "okno");
  ASSERT_EQ(read.GetCount(), 1);
  EXPECT_EQ(read.GetElement(0), map.GetElement(2));
  ExpectBounds(read, -50, 0, 50, 50);
  EXPECT_EQ(read.GetRelRefX(), 0.0);  // the anchor is not stored
  EXPECT_EQ(read.Index, 0);
  while (map.GetCount() > 0) map.RemoveElement(map.GetElement(0));  // the loader lets go of its map so
}

TEST_F(ElemsStreamTest, ATextRecordAddsTextOrientationAndHeight) {
  TText t;
  t.SetBounds({0, 0, 100, 10});
  t.Text = "Lesní";
  t.Orientation = 1;
  const Bytes expected = Record()
                             .Str("TText")
                             .Int8(-1)
                             .Raw({0x01, 0x00})
                             .Str("TText")
                             .Raw(kExtendedZero)
                             .Raw(kExtendedZero)
                             .Raw(kExtendedHundred)
                             .Raw(kExtendedTen)
                             .Str("Lesn\xED")
                             .Raw(kExtendedOne)
                             .Raw(kExtendedTen)
                             .bytes();
  EXPECT_EQ(WrittenRecord(t), expected);
  TText read;
  ReadRecord(expected, read, map);
  EXPECT_EQ(read.Text, "Lesní");
  EXPECT_EQ(read.Orientation, 1.0);
  ExpectBounds(read, 0, 0, 100, 10);
  EXPECT_EQ(read.GetName(), "TText");
}

TEST_F(ElemsStreamTest, DrawRectangleAndSelectionWriteNothingOfTheirOwn) {
  TDrawRectangle draw;
  draw.PenWidth = 3;
  TRectEntity plain;
  Bytes drawBytes = WrittenRecord(draw);
  Bytes plainBytes = WrittenRecord(plain);
  const std::string drawName = "TDrawRectangle";
  const std::string plainName = "TRectEntity";
  // Both records carry their class name twice: as the record's head and as the unnamed entity's name.
  EXPECT_EQ(drawBytes.size() - plainBytes.size(), 2 * (drawName.size() - plainName.size()));
  TSelectedElement selection;
  EXPECT_EQ(WrittenRecord(selection).size() - plainBytes.size(),
            2 * (std::string("TSelectedElement").size() - plainName.size()));
}

}  // namespace
