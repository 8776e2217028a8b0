#include "spatial/geometry/geometry_elements.h"

#include <functional>
#include <memory>

#include "tests/spatial/spatial_fixture.h"

namespace {

TRectangle* Rect(double minX, double minY, double maxX, double maxY, TRectangle* r = new TRectangle) {
  r->SetMinX(minX);
  r->SetMinY(minY);
  r->SetMaxX(maxX);
  r->SetMaxY(maxY);
  return r;
}

// An entity whose box is (0, 0, 100, 50) with the anchor at the lower-left corner.
std::unique_ptr<TRectEntity> Box() {
  auto e = std::make_unique<TRectEntity>();
  e->SetBounds({0, 0, 100, 50});
  return e;
}

class GeometryElementsTest : public SpatialTest {
 protected:
  TQuickEntity map;
};

TEST_F(GeometryElementsTest, CoordinatesHoldTheValuesTheirKindHasAndCopyThem) {
  TCoordinate abstract;
  abstract.SetX(3);
  abstract.SetZ(5);
  EXPECT_EQ(abstract.GetX(), -1.0);
  EXPECT_EQ(abstract.GetZ(), -1.0);
  T2DCoordinate plane(3.5, -2);
  plane.SetZ(7);
  EXPECT_EQ(plane.GetPropertyText("Z"), "-1");
  TRealRect extent{9, 9, 9, 9};
  plane.GetExtent(extent);
  EXPECT_EQ(BoxOf(extent), (Box4{3.5, -2, 3.5, -2}));

  T3DCoordinate c;
  c.SetX(1);
  c.SetY(2);
  c.SetZ(3);
  c.CS = 4;
  std::unique_ptr<TCoordinate> copy(c.CreateCopy());
  std::unique_ptr<TElement> envelope(c.CreateEnvelope());
  auto* point = DynamicCast<T3DCoordinate>(envelope.get());
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(copy->ClassType(), T3DCoordinate::StaticClass());
  for (const TCoordinate* p : {static_cast<const TCoordinate*>(copy.get()), static_cast<const TCoordinate*>(point)}) {
    EXPECT_EQ(p->GetX(), 1.0);
    EXPECT_EQ(p->GetY(), 2.0);
    EXPECT_EQ(p->GetZ(), 3.0);
  }
  EXPECT_EQ(copy->CS, 4);  // the copy keeps the system, the envelope does not
  EXPECT_EQ(point->CS, 0);
}

TEST_F(GeometryElementsTest, RectanglesGrowFromEmptyAndTestValidity) {
  TRectangle r;
  EXPECT_FALSE(r.IsValid());
  EXPECT_EQ(BoxOf(r), (Box4{1e30, 1e30, -1e30, -1e30}));
  EXPECT_EQ(r.GetPropertyText("MinX"), "1E30");
  r.IncludePoint(5, 7);
  EXPECT_EQ(BoxOf(r), (Box4{5, 7, 5, 7}));
  r.IncludePoint(-1, 9);
  r.IncludeCoordinate(std::make_unique<T2DCoordinate>(6, 0).get());
  EXPECT_EQ(BoxOf(r), (Box4{-1, 0, 6, 9}));
  std::unique_ptr<TRectangle> empty(new TRectangle), marker(Rect(0, 0, 1e30, 5)), valid(Rect(-2, 3, 0, 40));
  r.IncludeRect(empty.get());
  r.IncludeRect(marker.get());  // ordered corners, but one at the empty marker
  EXPECT_EQ(BoxOf(r), (Box4{-1, 0, 6, 9}));
  r.IncludeRect(valid.get());
  EXPECT_EQ(BoxOf(r), (Box4{-2, 0, 6, 40}));
  r.Clear();
  EXPECT_FALSE(r.IsValid());
  r.SetWidth(5);
  EXPECT_EQ(r.MaxX(), 1e30 + 5);
  EXPECT_FALSE(r.IsValid());

  const struct {
    Box4 box;
    bool valid;
  } cases[] = {{{0, 0, 10, 10}, true},      {{0, -1e30, 10, 10}, false}, {{0, -9.99e29, 10, 10}, true},
               {{0, 0, -1, 10}, false},     {{0, 0, 0, 0}, true}};
  for (const auto& c : cases) {
    std::unique_ptr<TRectangle> t(Rect(c.box[0], c.box[1], c.box[2], c.box[3]));
    EXPECT_EQ(t->IsValid(), c.valid) << ::testing::PrintToString(c.box);
  }
}

TEST_F(GeometryElementsTest, RectangleIntersectionNormalisingCentreMarginAndCopies) {
  std::unique_ptr<TRectangle> a(Rect(0, 0, 10, 10)), b(Rect(10, 2, 20, 8)), corner(Rect(10, 10, 11, 11));
  EXPECT_TRUE(a->Intersects(b.get()));
  EXPECT_TRUE(b->Intersects(a.get()));
  EXPECT_TRUE(a->Intersects(corner.get()));
  b->MoveBy(0.001, 0);
  EXPECT_FALSE(a->Intersects(b.get()));
  EXPECT_EQ(BoxOf(*b), (Box4{10.001, 2, 20.001, 8}));

  std::unique_ptr<TRectangle> r(Rect(5, 2, 1, 8));
  r->Normalize();
  EXPECT_EQ(BoxOf(*r), (Box4{1, 2, 5, 8}));
  r->SetMinY(9);
  r->Normalize();
  EXPECT_EQ(BoxOf(*r), (Box4{1, 8, 5, 9}));

  std::unique_ptr<TRectangle> s(Rect(2, 4, 6, 10));
  TRealPoint c;
  s->GetCenter(c);
  EXPECT_EQ(c.X, 4.0);
  EXPECT_EQ(c.Y, 7.0);
  TRealRect m;
  s->GetMarginRect(m);
  EXPECT_EQ(BoxOf(m), (Box4{-8, -6, 16, 20}));
  EXPECT_EQ(s->GetPropertyText("Width"), "4");
  s->SetPropertyText("Width", "10");
  s->SetPropertyText("Height", "1");
  EXPECT_EQ(BoxOf(*s), (Box4{2, 4, 12, 5}));

  T2DCoordinate other(7, 7);
  s->Assign(&other);  // only rectangles are taken
  EXPECT_EQ(BoxOf(*s), (Box4{2, 4, 12, 5}));
  s->Assign(a.get());
  EXPECT_EQ(BoxOf(*s), (Box4{0, 0, 10, 10}));
  std::unique_ptr<TRectangle> copy(s->CreateCopy());
  std::unique_ptr<TElement> envelope(s->CreateEnvelope());
  for (const TElement* e : {static_cast<const TElement*>(copy.get()), static_cast<const TElement*>(envelope.get())}) {
    const auto* t = DynamicCast<TRectangle>(e);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(BoxOf(*t), (Box4{0, 0, 10, 10}));
    EXPECT_NE(t->MinCorner(), s->MinCorner());
  }
  T2DCoordinate point;
  EXPECT_EQ(s->GetSize(), static_cast<int>(TRectangle::StaticClass()->InstanceSize) + 2 * point.GetSize());
}

// Each row starts from Box() and ends with the box and the relative anchor.
TEST_F(GeometryElementsTest, RectEntityAnchorAlignmentAndSizeWrites) {
  const struct {
    const char* name;
    std::function<void(TRectEntity&)> act;
    Box4 box;
    double relX, relY;
  } cases[] = {
      {"HorizAllign center", [](TRectEntity& e) { e.SetPropertyText("HorizAllign", "center"); },
       {-50, 0, 50, 50}, 0.5, 0},
      {"Top then right; a Czech name is ignored",
       [](TRectEntity& e) {
         e.SetPropertyText("VertAllign", "Top");
         e.SetPropertyText("HorizAllign", "STŘED");
         e.SetPropertyText("HorizAllign", "right");
       },
       {-100, -50, 0, 0}, 1, 1},
      {"AbsRefX moves the anchor, not the box", [](TRectEntity& e) { e.SetPropertyText("AbsRefX", "25"); },
       {0, 0, 100, 50}, 0.25, 0},
      {"AbsRefY", [](TRectEntity& e) { e.SetAbsRefY(50); }, {0, 0, 100, 50}, 0, 1},
      {"RefPosition 9", [](TRectEntity& e) { e.SetPropertyInteger("RefPosition", 9); }, {-100, -50, 0, 0}, 1, 1},
      {"RefPosition 0 and 10 are ignored",
       [](TRectEntity& e) {
         e.SetRefPosition(0);
         e.SetRefPosition(10);
       },
       {0, 0, 100, 50}, 0, 0},
      {"RefPosition 4", [](TRectEntity& e) { e.SetRefPosition(4); }, {-50, 0, 50, 50}, 0.5, 0},
      {"RefPosition 2", [](TRectEntity& e) { e.SetRefPosition(2); }, {0, -25, 100, 25}, 0, 0.5},
      {"DeltaRefX is a fraction of the width", [](TRectEntity& e) { e.SetDeltaRefX(25); }, {-25, 0, 75, 50}, 0.25, 0},
      {"Width keeps the anchor",
       [](TRectEntity& e) {
         e.SetRelRefX(0.5);
         e.SetPropertyText("Width", "200");
       },
       {-50, 0, 150, 50}, 0.25, 0},
      {"Height keeps the anchor",
       [](TRectEntity& e) {
         e.SetRelRefY(1);
         e.SetHeight(25);
       },
       {0, -50, 100, -25}, 0, 2},
      {"DeltaX and DeltaY move the box",
       [](TRectEntity& e) {
         e.SetPropertyText("DeltaX", "5");
         e.SetPropertyText("DeltaY", "-2");
       },
       {5, -2, 105, 48}, 0, 0},
      {"Own bounds and anchor handed back are kept",
       [](TRectEntity& e) {
         e.SetRelRefX(0.5);
         e.SetBoundRect(e.BoundRect());
         e.SetRelRefPoint(e.RelRefPoint());
       },
       {-50, 0, 50, 50}, 0.5, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto e = Box();
    c.act(*e);
    EXPECT_EQ(BoxOf(*e), c.box);
    EXPECT_EQ(e->GetRelRefX(), c.relX);
    EXPECT_EQ(e->GetRelRefY(), c.relY);
  }
}

TEST_F(GeometryElementsTest, RectEntityReadsItsAnchorAsAlignmentCodeAndText) {
  TRectEntity fresh;
  EXPECT_FALSE(fresh.IsValid());
  EXPECT_EQ(fresh.GetPropertyText("HorizAllign"), "LEFT");
  EXPECT_EQ(fresh.GetPropertyText("VertAllign"), "DOWN");
  EXPECT_EQ(fresh.GetPropertyInteger("RefPosition"), 1);
  fresh.SetPropertyText("X", "10");
  fresh.SetPropertyText("Y", "20");
  EXPECT_EQ(BoxOf(fresh), (Box4{10, 20, 10, 20}));  // the first X and Y make a point box
  fresh.SetRelRef(1, 1);
  fresh.SetBounds({0, 0, 4, 2});
  fresh.SetX(10);
  fresh.SetY(20);
  EXPECT_EQ(BoxOf(fresh), (Box4{6, 18, 10, 20}));

  auto e = Box();
  e->SetRelRef(0.5, 1);
  EXPECT_EQ(e->GetHorizAllign(), "CENTER");
  EXPECT_EQ(e->GetRefPosition(), 6);
  EXPECT_EQ(e->GetPropertyText("X"), "0");
  EXPECT_EQ(e->GetPropertyText("CenterY"), "-25");
  e->SetRelRefX(0.25);
  EXPECT_EQ(e->GetHorizAllign(), "OTHER");
  EXPECT_EQ(e->GetRefPosition(), 0);
  EXPECT_EQ(e->GetDeltaRefX(), 25.0);

  TRectEntity flat;  // no size to measure against: the anchor stays
  flat.SetBounds({5, 5, 5, 5});
  flat.SetRelRefY(0.5);
  flat.SetAbsRefX(100);
  flat.SetPropertyText("DeltaRefY", "3");
  EXPECT_EQ(flat.GetRelRefX(), 0.0);
  EXPECT_EQ(flat.GetRelRefY(), 0.0);
}

TEST_F(GeometryElementsTest, RectEntityIntersectionAndContainmentCountEdgesAsInside) {
  TRectEntity e;
  e.SetBounds({0, 0, 10, 10});
  const struct {
    TRealRect with;
    Box4 out;
  } cuts[] = {{{10, 0, 20, 10}, {0, 0, 0, 0}}, {{5, 5, 20, 20}, {5, 5, 10, 10}}, {{2, 10, 8, 30}, {0, 0, 0, 0}}};
  for (const auto& c : cuts) {
    TRealRect out{1, 1, 1, 1};
    e.GetIntersection(c.with, out);
    EXPECT_EQ(BoxOf(out), c.out) << ::testing::PrintToString(BoxOf(c.with));
  }
  EXPECT_TRUE(e.IntersectsRect(10, 10, 20, 20));
  EXPECT_FALSE(e.IntersectsRect(10.5, 0, 20, 20));
  EXPECT_TRUE(e.ContainsPoint(10, 0));
  EXPECT_FALSE(e.ContainsPoint(10, -0.1));
  EXPECT_TRUE(e.IsInsideRect(0, 0, 10, 10));
  EXPECT_FALSE(e.IsInsideRect(0, 0, 9, 10));
  EXPECT_TRUE(e.ContainsRect(0, 0, 10, 10));
  EXPECT_FALSE(e.ContainsRect(-1, 0, 10, 10));
  e.SetMaxY(30);
  EXPECT_EQ(e.GetMaxSide(), 30.0);
}

TEST_F(GeometryElementsTest, RectEntityExtentFollowsCoordinateAndRectChildrenOnly) {
  TRectEntity owner;
  owner.AddElement(new TOwnerEntity);
  owner.UpdateRect();
  EXPECT_FALSE(owner.IsValid());
  owner.AddEntity(new T2DCoordinate(3, 4));
  EXPECT_EQ(BoxOf(owner), (Box4{3, 4, 3, 4}));
  auto* child = new TRectEntity;
  child->SetBounds({-1, 0, 2, 10});
  owner.AddEntity(child);
  owner.AddEntity(new TRectEntity);  // empty: no effect
  owner.AddEntity(nullptr);
  EXPECT_EQ(owner.GetCount(), 4);
  EXPECT_EQ(BoxOf(owner), (Box4{-1, 0, 3, 10}));
  owner.SetBounds({-50, -50, 50, 50});
  owner.SetPropertyBoolean("UpdateNoReset", true);
  EXPECT_EQ(BoxOf(owner), (Box4{-50, -50, 50, 50}));
  owner.UpdateRect();
  EXPECT_EQ(BoxOf(owner), (Box4{-1, 0, 3, 10}));
  owner.SetPropertyBoolean("UpdateNoReset", false);
  EXPECT_FALSE(owner.IsValid());

  TText text;  // a text box ignores its children
  text.SetBounds({0, 0, 40, 10});
  text.SetRelRefY(0.5);
  text.AddElement(new T2DCoordinate(100, 100));
  text.SetPropertyBoolean("UpdateNoReset", true);
  EXPECT_EQ(BoxOf(text), (Box4{0, -5, 40, 5}));
}

TEST_F(GeometryElementsTest, RectEntityCopiesAndSize) {
  auto source = Box();
  source->Index = 7;
  source->SetRelRef(0.5, 0.5);
  source->SetName("okno");
  auto* shared = new TOwnerElement;
  source->AddElement(shared);
  TRectEntity target;
  target.Assign(source.get());
  EXPECT_EQ(target.Index, 7);
  EXPECT_EQ(BoxOf(target), (Box4{-50, -25, 50, 25}));
  EXPECT_EQ(target.GetRelRefX(), 0.0);  // the anchor is not copied
  EXPECT_NE(target.BoundRect(), source->BoundRect());
  TRectangle notAnEntity;
  target.Assign(&notAnEntity);
  EXPECT_EQ(target.Index, 7);

  std::unique_ptr<TElement> copy(source->CreateEnvelope());
  auto* envelope = DynamicCast<TRectEntity>(copy.get());
  ASSERT_NE(envelope, nullptr);
  EXPECT_EQ(envelope->GetName(), "Obálka: okno");
  EXPECT_EQ(BoxOf(*envelope), (Box4{-50, -25, 50, 25}));
  ASSERT_EQ(envelope->GetCount(), 1);
  EXPECT_EQ(envelope->GetElement(0), shared);

  TRectEntity e;
  const int bare = e.GetSize();
  e.BoundRect();
  EXPECT_EQ(e.GetSize(), bare + TRectangle().GetSize());
  e.RelRefPoint();
  e.SetBoundRect(nullptr);
  EXPECT_EQ(e.GetSize(), bare + T2DCoordinate().GetSize());
  EXPECT_FALSE(e.IsValid());
}

TEST_F(GeometryElementsTest, StoredPropertiesAppliedInOrderRestoreBoxAndAnchor) {
  auto source = Box();
  source->SetRelRef(0.5, 1);
  TRectEntity loaded;
  for (const std::string& name : StoredPropertyNames(*source))
    loaded.SetPropertyText(name, source->GetPropertyText(name));
  EXPECT_EQ(BoxOf(loaded), (Box4{-50, -50, 50, 0}));
  EXPECT_EQ(loaded.GetRelRefX(), 0.5);
  EXPECT_EQ(loaded.GetRelRefY(), 1.0);
}

TEST_F(GeometryElementsTest, DrawRectangleTextAndSelectionEnvelopesAndLinks) {
  TDrawRectangle r;
  EXPECT_EQ(r.GetPropertyText("PenStyle"), "psSolid");
  r.SetPropertyText("PenStyle", "psDashDot");
  r.SetPropertyText("BrushStyle", "bsDiagCross");
  r.PenWidth = 0.5;
  r.PenColor = 0xFF;
  r.BrushColor = 0xFF00;
  std::unique_ptr<TElement> rCopy(r.CreateEnvelope());
  auto* draw = DynamicCast<TDrawRectangle>(rCopy.get());
  ASSERT_NE(draw, nullptr);
  EXPECT_EQ(draw->PenStyle, psDashDot);
  EXPECT_EQ(draw->BrushStyle, bsDiagCross);
  EXPECT_EQ(draw->PenWidth, 0.5);
  EXPECT_EQ(draw->PenColor, 0xFF);
  EXPECT_EQ(draw->BrushColor, 0xFF00);

  TText t;
  t.SetBounds({0, 0, 40, 10});
  t.Text = "Lesní správa";
  t.FontName = "Arial";
  t.FontStyle = fsBold | fsUnderline;
  t.Charset = 238;
  t.Color = 0x123456;
  t.Orientation = 1.5;
  EXPECT_EQ(t.GetPropertyText("FontStyle"), "5");
  std::unique_ptr<TElement> tCopy(t.CreateEnvelope());
  auto* text = DynamicCast<TText>(tCopy.get());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Text, "Lesní správa");
  EXPECT_EQ(text->FontName, "Arial");
  EXPECT_EQ(text->FontStyle, fsBold | fsUnderline);
  EXPECT_EQ(text->Charset, 238);
  EXPECT_EQ(text->Color, 0x123456);
  EXPECT_EQ(text->Orientation, 1.5);
  EXPECT_DOUBLE_EQ(text->GetHeight(), 10.0);

  TSelectedElement s;
  auto* selected = new TOwnerEntity;
  selected->SetName("Porost 12");
  s.SetSelected(selected);
  EXPECT_EQ(s.GetPropertyText("SelectName"), "Porost 12");
  delete selected;
  EXPECT_EQ(s.GetSelectName(), "");
}

TEST_F(GeometryElementsTest, PointRecordsHoldTheirSystemSixteenRawBytesAndAHeight) {
  T2DCoordinate c(3.5, -2);
  c.ID = 7;
  c.CS = 2;
  const Bytes plane = Record()
                          .Str("T2DCoordinate")
                          .Int8(7)
                          .Int8(2)
                          .Raw({0, 0, 0, 0, 0, 0, 0x0C, 0x40, 0, 0, 0, 0, 0, 0, 0, 0xC0})
                          .bytes();
  EXPECT_EQ(WrittenRecord(c), plane);
  T2DCoordinate read;
  ReadRecord(plane, read, map);
  EXPECT_EQ(read.ID, 7);
  EXPECT_EQ(read.CS, 2);
  EXPECT_EQ(read.GetX(), 3.5);
  EXPECT_EQ(read.GetY(), -2.0);

  T3DCoordinate h;
  h.SetZ(10);
  const Bytes space = Record().Str("T3DCoordinate").Int8(-1).Int8(0).Raw(Bytes(16, 0)).Raw(kExtendedTen).bytes();
  EXPECT_EQ(WrittenRecord(h), space);
  T3DCoordinate readH;
  readH.SetX(9);
  ReadRecord(space, readH, map);
  EXPECT_EQ(readH.GetX(), 0.0);
  EXPECT_EQ(readH.GetZ(), 10.0);
}

TEST_F(GeometryElementsTest, ARectangleRecordHoldsFourFloatValuesAndKeepsEmptiness) {
  std::unique_ptr<TRectangle> r(Rect(1, -2.5, 10, 100));
  const Bytes expected = Record()
                             .Str("TRectangle")
                             .Int8(-1)
                             .Raw(kExtendedOne)
                             .Raw(kExtendedMinus2_5)
                             .Raw(kExtendedTen)
                             .Raw(kExtendedHundred)
                             .bytes();
  EXPECT_EQ(WrittenRecord(*r), expected);
  TRectangle read;
  ReadRecord(expected, read, map);
  EXPECT_EQ(BoxOf(read), (Box4{1, -2.5, 10, 100}));
  TRectangle empty;
  ReadRecord(WrittenRecord(empty), read, map);
  EXPECT_EQ(BoxOf(read), (Box4{1e30, 1e30, -1e30, -1e30}));
}

TEST_F(GeometryElementsTest, ARectEntityRecordFollowsTheNamedEntityWithItsBounds) {
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
  EXPECT_EQ(BoxOf(read), (Box4{-50, 0, 50, 50}));
  EXPECT_EQ(read.GetRelRefX(), 0.0);  // the anchor is not stored
  EXPECT_EQ(read.Index, 0);
  while (map.GetCount() > 0) map.RemoveElement(map.GetElement(0));
}

TEST_F(GeometryElementsTest, ATextRecordAddsTextOrientationAndHeightAndOthersAddNothing) {
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
  EXPECT_EQ(BoxOf(read), (Box4{0, 0, 100, 10}));

  // Both records carry their class name twice: as the record's head and as the unnamed entity's name.
  TDrawRectangle draw;
  draw.PenWidth = 3;
  TSelectedElement selection;
  const std::size_t plain = WrittenRecord(TRectEntity()).size();
  EXPECT_EQ(WrittenRecord(draw).size() - plain, 2 * (sizeof("TDrawRectangle") - sizeof("TRectEntity")));
  EXPECT_EQ(WrittenRecord(selection).size() - plain, 2 * (sizeof("TSelectedElement") - sizeof("TRectEntity")));
}

}  // namespace
